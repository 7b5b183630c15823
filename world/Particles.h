// Square particles released by emitters: fixed pools that never grow, updated
// once per step and drawn as one batch.
#pragma once

#include <array>
#include <cstdint>

#include <SFML/Graphics/Color.hpp>

struct Particle {
    float vx = 0.f;
    float vy = 0.f;
    float x = 0.f;
    float y = 0.f;
    float size = 1.f;
    float drag = 0.98f;
    float fall = 1.f;
    std::int32_t life = 0;
    std::int32_t maxLife = 1;
    bool dead = false;
    sf::Color color = sf::Color::Black;
};

struct Emitter {
    std::int32_t emitSteps = 0;
    float x = 0.f;
    float y = 0.f;
    float unusedA = 0.f;
    float fall = 1.0f;
    std::int32_t sizeMax = 3;
    std::int32_t sizeMin = 1;
    float speed = 1.5f;
    float unusedB = 0.f;
    sf::Color color = sf::Color::Black;
    std::int32_t countMax = 10;
    std::int32_t countMin = 1;
    bool dead = false;
    bool unusedFlag = true;
    std::int32_t offsetXMax = 2;
    std::int32_t offsetXMin = -2;
    std::int32_t offsetYMax = 2;
    std::int32_t offsetYMin = -2;
    std::int32_t lifeMax = 70;
    std::int32_t lifeMin = 30;
    float angle = 0.f;
    bool randomAngle = true;
    bool randomSpeed = true;
    float drag = 0.98f;
    std::int32_t speedMinPercent = 1;
};

class ParticleSystem {
public:
    static constexpr int maxParticles = 2048;
    static constexpr int maxEmitters = 256;

    // Queues an emitter; ignored while effects are off. A full pool keeps
    // overwriting its last two slots until emitters die.
    void emit(const Emitter& emitter);
    // A full pool keeps overwriting its last two slots.
    void addParticle(const Particle& particle);
    // Spawns from emitters, moves particles, then drops the dead ones.
    void update();
    void clear();

    int particleCount() const { return m_particleCount; }
    int emitterCount() const { return m_emitterCount; }
    const Particle& particle(int i) const { return m_particles[static_cast<std::size_t>(i)]; }
    const Emitter& emitter(int i) const { return m_emitters[static_cast<std::size_t>(i)]; }

    bool enabled = true;

private:
    void spawnFrom(Emitter& emitter);

    std::array<Particle, maxParticles> m_particles{};
    int m_particleCount = 0;
    std::array<Emitter, maxEmitters> m_emitters{};
    int m_emitterCount = 0;
};

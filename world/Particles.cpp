#include "world/Particles.h"

#include <cmath>

#include "world/Random.h"

void ParticleSystem::emit(const Emitter& emitter)
{
    if (!enabled)
        return;
    m_emitters[static_cast<std::size_t>(m_emitterCount)] = emitter;
    ++m_emitterCount;
    if (m_emitterCount >= maxEmitters)
        m_emitterCount = maxEmitters - 2;
}

void ParticleSystem::addParticle(const Particle& particle)
{
    m_particles[static_cast<std::size_t>(m_particleCount)] = particle;
    ++m_particleCount;
    if (m_particleCount > maxParticles - 1)
        m_particleCount = maxParticles - 2;
}

void ParticleSystem::spawnFrom(Emitter& e)
{
    const int n = randomRange(e.countMin, e.countMax);
    for (int i = 0; i < n; ++i) {
        Particle p;
        p.x = e.x + static_cast<float>(randomRange(e.offsetXMin, e.offsetXMax));
        p.y = e.y + static_cast<float>(randomRange(e.offsetYMin, e.offsetYMax));
        p.size = static_cast<float>(randomRange(e.sizeMin, e.sizeMax));
        if (e.randomAngle)
            e.angle = static_cast<float>(randomReal() * 6.2832);
        if (e.randomSpeed) {
            const int k1 = randomRange(e.speedMinPercent, 100);
            const int k2 = randomRange(e.speedMinPercent, 100);
            p.vx = std::cos(e.angle) * 0.01f * e.speed * static_cast<float>(k1);
            p.vy = std::sin(e.angle) * 0.01f * e.speed * static_cast<float>(k2);
        } else {
            p.vx = e.speed * std::cos(e.angle);
            p.vy = e.speed * std::sin(e.angle);
        }
        p.life = randomRange(e.lifeMin, e.lifeMax);
        p.maxLife = p.life + 1;
        p.fall = e.fall;
        p.drag = e.drag;
        p.color = e.color;
        addParticle(p);
    }
}

void ParticleSystem::update()
{
    for (int i = 0; i < m_emitterCount; ++i) {
        Emitter& e = m_emitters[static_cast<std::size_t>(i)];
        if (e.emitSteps < 1) {
            e.dead = true;
            continue;
        }
        e.emitSteps -= 1;
        spawnFrom(e);
    }
    for (int i = 0; i < m_particleCount; ++i) {
        Particle& p = m_particles[static_cast<std::size_t>(i)];
        if (p.life < 1) {
            p.dead = true;
            continue;
        }
        p.life -= 1;
        p.x += p.vx;
        p.y += p.vy + p.fall;
        p.vx *= p.drag;
        p.vy *= p.drag;
    }
    for (int i = 0; i < m_emitterCount;) {
        if (m_emitters[static_cast<std::size_t>(i)].dead) {
            m_emitters[static_cast<std::size_t>(i)] = m_emitters[static_cast<std::size_t>(m_emitterCount - 1)];
            --m_emitterCount;
        } else {
            ++i;
        }
    }
    for (int i = 0; i < m_particleCount;) {
        if (m_particles[static_cast<std::size_t>(i)].dead) {
            m_particles[static_cast<std::size_t>(i)] = m_particles[static_cast<std::size_t>(m_particleCount - 1)];
            --m_particleCount;
        } else {
            ++i;
        }
    }
}

void ParticleSystem::clear()
{
    m_particleCount = 0;
    m_emitterCount = 0;
}

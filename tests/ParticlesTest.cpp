// The particle pools are fixed: emitters and particles live a set number of
// steps, and a full pool overwrites its last slots instead of growing.
#include <memory>

#include <gtest/gtest.h>

#include "world/Effects.h"
#include "world/Particles.h"
#include "world/Random.h"

namespace {

// One particle per step, long-lived, so counts tell the steps apart.
Emitter steadyEmitter(int emitSteps)
{
    Emitter e;
    e.emitSteps = emitSteps;
    e.countMin = e.countMax = 1;
    e.lifeMin = e.lifeMax = 100;
    return e;
}

class Particles : public ::testing::Test {
protected:
    void SetUp() override { gameRandom().seed32(0); }
    // The system is large; keep it off the stack.
    std::unique_ptr<ParticleSystem> system = std::make_unique<ParticleSystem>();
    ParticleSystem& ps = *system;
};

TEST_F(Particles, DisabledSystemIgnoresEmittersAndDrawsNothing)
{
    ps.enabled = false;
    effects::burst(ps, 100.f, 100.f, sf::Color::Red);
    ps.emit(steadyEmitter(3));
    for (int i = 0; i < 5; ++i)
        ps.update();
    EXPECT_EQ(ps.emitterCount(), 0);
    EXPECT_EQ(ps.particleCount(), 0);
}

TEST_F(Particles, EffectsShiftTheGameplayRandomSequence)
{
    // The same step with effects on and off leaves the game's generator in
    // different places: effects draw from it.
    auto nextGameplayDraw = [](bool enabled) {
        gameRandom().seed32(0);
        auto system = std::make_unique<ParticleSystem>();
        system->enabled = enabled;
        effects::burst(*system, 100.f, 100.f, sf::Color::Red);
        system->update();
        return gameRandom().raw();
    };
    gameRandom().seed32(0);
    const std::uint32_t untouched = gameRandom().raw();
    EXPECT_EQ(nextGameplayDraw(false), untouched);
    EXPECT_NE(nextGameplayDraw(true), untouched);
}

TEST_F(Particles, TheTwoHundredFiftySeventhEmitterOverwritesSlot254)
{
    for (int i = 0; i < 257; ++i) {
        Emitter e = steadyEmitter(1);
        e.x = static_cast<float>(i);
        ps.emit(e);
    }
    EXPECT_EQ(ps.emitterCount(), 255);
    EXPECT_EQ(ps.emitter(253).x, 253.f);
    EXPECT_EQ(ps.emitter(254).x, 256.f);
    EXPECT_EQ(ps.emitter(255).x, 255.f);
}

TEST_F(Particles, TheTwoThousandFortyNinthParticleOverwritesSlot2046)
{
    for (int i = 0; i < 2049; ++i) {
        Particle p;
        p.x = static_cast<float>(i);
        p.life = 10;
        ps.addParticle(p);
    }
    EXPECT_EQ(ps.particleCount(), 2047);
    EXPECT_EQ(ps.particle(2045).x, 2045.f);
    EXPECT_EQ(ps.particle(2046).x, 2048.f);
    EXPECT_EQ(ps.particle(2047).x, 2047.f);
}

TEST_F(Particles, FullPoolsStayBoundedUnderUpdate)
{
    for (int i = 0; i < 300; ++i) {
        Emitter e = steadyEmitter(50);
        e.countMin = e.countMax = 10;
        ps.emit(e);
    }
    for (int i = 0; i < 20; ++i) {
        ps.update();
        ASSERT_LE(ps.particleCount(), ParticleSystem::maxParticles);
        ASSERT_LE(ps.emitterCount(), ParticleSystem::maxEmitters);
    }
    EXPECT_GE(ps.particleCount(), 2046);
}

TEST_F(Particles, EmitterOfThreeStepsSpawnsThriceAndGoesOnTheFourth)
{
    ps.emit(steadyEmitter(3));
    const int expectedParticles[] = {1, 2, 3, 3};
    const int expectedEmitters[] = {1, 1, 1, 0};
    for (int step = 0; step < 4; ++step) {
        ps.update();
        EXPECT_EQ(ps.particleCount(), expectedParticles[step]) << "step " << step + 1;
        EXPECT_EQ(ps.emitterCount(), expectedEmitters[step]) << "step " << step + 1;
    }
}

TEST_F(Particles, LastLifeMovesOnceMoreThenGoes)
{
    Particle p;
    p.x = 10.f;
    p.y = 20.f;
    p.vx = 2.f;
    p.vy = -1.f;
    p.fall = 0.5f;
    p.drag = 0.5f;
    p.life = 1;
    ps.addParticle(p);

    ps.update();
    ASSERT_EQ(ps.particleCount(), 1);
    EXPECT_FLOAT_EQ(ps.particle(0).x, 12.f);
    EXPECT_FLOAT_EQ(ps.particle(0).y, 19.5f);
    EXPECT_FLOAT_EQ(ps.particle(0).vx, 1.f);
    EXPECT_EQ(ps.particle(0).life, 0);

    ps.update();
    EXPECT_EQ(ps.particleCount(), 0);
}

TEST_F(Particles, SpawnedParticlesKeepToTheEmitterRanges)
{
    Emitter e;
    e.emitSteps = 1;
    e.x = 100.f;
    e.y = 200.f;
    e.countMin = e.countMax = 200;
    e.offsetXMin = -16;
    e.offsetXMax = 16;
    e.sizeMin = 2;
    e.sizeMax = 4;
    e.lifeMin = 30;
    e.lifeMax = 70;
    ps.emit(e);
    ps.update();
    ASSERT_EQ(ps.particleCount(), 200);
    for (int i = 0; i < ps.particleCount(); ++i) {
        const Particle& p = ps.particle(i);
        // Spawned and moved in the same update: one step of life already gone.
        EXPECT_GE(p.size, 2.f);
        EXPECT_LE(p.size, 4.f);
        EXPECT_GE(p.maxLife, 31);
        EXPECT_LE(p.maxLife, 71);
        EXPECT_EQ(p.life, p.maxLife - 2);
    }
}

TEST_F(Particles, ClearEmptiesBothPools)
{
    ps.emit(steadyEmitter(3));
    ps.update();
    ps.clear();
    EXPECT_EQ(ps.emitterCount(), 0);
    EXPECT_EQ(ps.particleCount(), 0);
}

}  // namespace

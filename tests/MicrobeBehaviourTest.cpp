// What a microbe does on its own, step by step: the pull and push of types 8
// and 9 (the burst itself included), the wandering kicks of types 14 and 15,
// the kicks of a fuse that moves, the white flashing and the shield. Every
// expected number comes from the rule and the standard Mersenne Twister, not
// from the game's own code: impulse / (density 5 * pi * r^2) with r the
// physical radius (drawn radius + 2 px) in metres.
#include <cmath>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include <box2d/box2d.h>
#include <gtest/gtest.h>

#include "world/Bursts.h"
#include "world/MicrobePool.h"
#include "world/Random.h"

namespace {

constexpr float pi = 3.14159265f;
constexpr std::uint32_t seed = 2024;

// Mass of a microbe body of the given drawn radius, in kg.
float massOf(float radiusPx)
{
    const float r = (radiusPx + 2.f) / 30.f;
    return 5.f * pi * r * r;
}

// The standard generator with the game's masked draw in [0, 100].
struct ReferenceDraws {
    std::mt19937 mt{seed};
    float upTo100()
    {
        for (;;) {
            const std::uint32_t v = mt() & 127u;
            if (v <= 100)
                return static_cast<float>(v);
        }
    }
};

struct Placed {
    int type;
    float x;  // pixels
    float y;
};

// A pool in a world of its own; one step is every microbe's behaviour in pool
// order, then the world's step.
struct TinyField {
    explicit TinyField(const std::vector<Placed>& microbes)
    {
        pool.world = &world;
        for (const Placed& p : microbes)
            pool.addMicrobe(p.type, p.x, p.y, 0.f, 0.f);
        gameRandom().seed32(seed);
    }
    void step(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            for (Microbe& m : pool.microbes)
                microbeStep(m, pool);
            world.Step(1.f / 60.f, 3, 3);
        }
    }
    b2Vec2 velocity(std::size_t i) { return pool.at(i).body->GetLinearVelocity(); }

    b2World world{b2Vec2(0.f, 10.f)};
    MicrobePool pool;
};

struct BehaviourCase {
    std::string name;
    std::vector<Placed> microbes;
    bool burstFirst;  // microbe 0 is hit before the first step
    int steps;
    // The velocity of each microbe after the steps, in m/s.
    std::function<std::vector<b2Vec2>(ReferenceDraws&)> expected;
};

void PrintTo(const BehaviourCase& c, std::ostream* out)
{
    *out << c.name;
}

// Skips the fuse: the burst grows from the first step on.
void burstNow(Microbe& m)
{
    hitMicrobe(m, 1);
    m.hasFuse = false;
}

class MicrobeBehaviour : public ::testing::TestWithParam<BehaviourCase> {};

TEST_P(MicrobeBehaviour, MovesAsTheRuleSays)
{
    const BehaviourCase& c = GetParam();
    TinyField field(c.microbes);
    if (c.burstFirst)
        burstNow(field.pool.at(0));
    field.step(c.steps);
    ReferenceDraws draws;
    const std::vector<b2Vec2> expected = c.expected(draws);
    ASSERT_EQ(expected.size(), field.pool.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const b2Vec2 v = field.velocity(i);
        EXPECT_NEAR(v.x, expected[i].x, 1e-4f) << c.name << ", microbe " << i;
        EXPECT_NEAR(v.y, expected[i].y, 1e-4f) << c.name << ", microbe " << i;
    }
}

const float diagonal = 0.05f * std::sqrt(0.5f);

INSTANTIATE_TEST_SUITE_P(
    Rules, MicrobeBehaviour,
    ::testing::Values(
        // A pulling burst: the neighbours to its right and below move toward
        // it; the burst, held still, then takes its own pull to the right.
        BehaviourCase{"pull",
                      {{8, 500.f, 300.f}, {3, 600.f, 300.f}, {3, 500.f, 400.f}},
                      true, 1,
                      [](ReferenceDraws&) {
                          return std::vector<b2Vec2>{{0.05f / massOf(3.f), 0.f},
                                                     {-0.05f / massOf(5.f), 0.f},
                                                     {0.f, -0.05f / massOf(5.f)}};
                      }},
        // A pushing burst: the neighbour up and to the left flies further
        // up-left; the burst's own push is to the right too, never the left.
        BehaviourCase{"push",
                      {{9, 500.f, 300.f}, {3, 400.f, 200.f}},
                      true, 1,
                      [](ReferenceDraws&) {
                          return std::vector<b2Vec2>{{0.05f / massOf(6.f), 0.f},
                                                     {-diagonal / massOf(5.f), -diagonal / massOf(5.f)}};
                      }},
        // Two steps of pushing: twice the impulse on the neighbour. The burst
        // keeps moving, so its own pushes add up, the second one on the body
        // of its grown circle (radius 6.2 after the first step's growth).
        BehaviourCase{"push twice",
                      {{9, 500.f, 300.f}, {3, 600.f, 300.f}},
                      true, 2,
                      [](ReferenceDraws&) {
                          return std::vector<b2Vec2>{{0.05f / massOf(6.f) + 0.05f / massOf(6.2f), 0.f},
                                                     {0.1f / massOf(5.f), 0.f}};
                      }},
        // Type 14 waits 90 steps, then takes a kick uniform in [-4, 4] per axis.
        BehaviourCase{"wander 14 before its period", {{14, 500.f, 300.f}}, false, 89,
                      [](ReferenceDraws&) { return std::vector<b2Vec2>{{0.f, 0.f}}; }},
        BehaviourCase{"wander 14",
                      {{14, 500.f, 300.f}},
                      false, 90,
                      [](ReferenceDraws& d) {
                          const float kx = -4.f + 8.f * 0.01f * d.upTo100();
                          const float ky = -4.f + 8.f * 0.01f * d.upTo100();
                          return std::vector<b2Vec2>{{kx / massOf(4.2f), ky / massOf(4.2f)}};
                      }},
        // Type 15 every 10 steps, in [-0.5, 0.5]; two kicks by step 20.
        BehaviourCase{"wander 15",
                      {{15, 500.f, 300.f}},
                      false, 20,
                      [](ReferenceDraws& d) {
                          float kx = 0.f;
                          float ky = 0.f;
                          for (int k = 0; k < 2; ++k) {
                              kx += -0.5f + 0.01f * d.upTo100();
                              ky += -0.5f + 0.01f * d.upTo100();
                          }
                          return std::vector<b2Vec2>{{kx / massOf(4.f), ky / massOf(4.f)}};
                      }}),
    [](const ::testing::TestParamInfo<BehaviourCase>& info) {
        std::string name;
        for (char ch : info.param.name)
            name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return name;
    });

TEST(MicrobeBehaviourFuse, AMovingFuseIsKickedEveryStepAndAStillOneStaysPut)
{
    // Type 6 moves while its fuse burns: each step the kick
    // (0.03 r1 - 1.5, 0.03 r2 - 1.5) N s, r in [0, 100]. Type 4 is held still.
    TinyField field({{6, 300.f, 300.f}, {4, 700.f, 300.f}});
    hitMicrobe(field.pool.at(0), 1);
    hitMicrobe(field.pool.at(1), 1);
    for (Microbe& m : field.pool.microbes)
        microbeStep(m, field.pool);
    ReferenceDraws d;
    const float kx = 0.03f * d.upTo100() - 1.5f;
    const float ky = 0.03f * d.upTo100() - 1.5f;
    EXPECT_NEAR(field.velocity(0).x, kx / massOf(4.f), 1e-4f);
    EXPECT_NEAR(field.velocity(0).y, ky / massOf(4.f), 1e-4f);
    EXPECT_EQ(field.velocity(1), b2Vec2(0.f, 0.f));
    EXPECT_EQ(field.pool.at(0).fuse, 44);

    // When the 45-step fuse is out the kicks stop and the burst stands still.
    field.world.Step(1.f / 60.f, 3, 3);
    field.step(44);
    EXPECT_FALSE(field.pool.at(0).hasFuse);
    EXPECT_EQ(field.velocity(0), b2Vec2(0.f, 0.f));
}

TEST(MicrobeBehaviourFlash, WhiteForSevenOfEveryFifteenSteps)
{
    // Type 12's fuse lasts 120 steps, long enough to watch several cycles.
    TinyField field({{12, 500.f, 300.f}});
    Microbe& m = field.pool.at(0);
    const sf::Color own(163, 127, 180, 255);
    const sf::Color white(252, 252, 252, 255);
    hitMicrobe(m, 1);
    int whiteSteps = 0;
    for (int s = 1; s <= 105; ++s) {
        field.step();
        // blinkCounter k = s: white while k mod 15 is 0 to 6.
        EXPECT_EQ(m.color, s % 15 <= 6 ? white : own) << "step " << s;
        whiteSteps += m.color == white ? 1 : 0;
    }
    // Steps 1-6, then 7 in each of the six cycles that start at 15, 30, ... 90.
    EXPECT_EQ(whiteSteps, 6 + 7 * 6 + 1);
}

TEST(MicrobeBehaviourShield, HitsAreIgnoredUntilTheShieldRunsOut)
{
    TinyField field({{3, 500.f, 300.f}});
    Microbe& m = field.pool.at(0);
    m.shielded = true;
    m.shieldSteps = 3;
    for (int s = 1; s <= 2; ++s) {
        field.step();
        hitMicrobe(m, 1);
        EXPECT_TRUE(m.shielded) << "step " << s;
        EXPECT_FALSE(m.bursting) << "step " << s;
        EXPECT_EQ(m.hitPoints, 1);
    }
    field.step();
    EXPECT_FALSE(m.shielded);
    hitMicrobe(m, 1);
    EXPECT_TRUE(m.bursting);
    EXPECT_EQ(m.hitPoints, 0);
}

}  // namespace

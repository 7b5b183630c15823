// What hits are worth: the combo that bubble hits build and paddle bounces
// take down, microbes that need two hits, fragments that never count, single
// step bursts, and the catcher at the top of the field.
#include <vector>

#include "tests/FieldTestSupport.h"

namespace {

using fieldtest::categoryOf;
using fieldtest::FieldTest;
using fieldtest::placed;
using fieldtest::spreadOut;

class Scoring : public FieldTest {
protected:
    // Whether a bubble is touching a fragment this step.
    bool bubbleTouchesAFragment()
    {
        for (b2Contact* c = field->physics().GetContactList(); c; c = c->GetNext()) {
            if (!c->IsTouching())
                continue;
            const b2Body* a = c->GetFixtureA()->GetBody();
            const b2Body* b = c->GetFixtureB()->GetBody();
            if (isFragment(a) && isBubble(b))
                return true;
            if (isFragment(b) && isBubble(a))
                return true;
        }
        return false;
    }

private:
    bool isBubble(const b2Body* body) const
    {
        for (const Bubble& bubble : field->bubbles)
            if (bubble.body == body)
                return true;
        return false;
    }
    bool isFragment(const b2Body* body) const
    {
        for (const Microbe& m : field->pool.microbes)
            if (m.body == body)
                return m.type > 1000;
        return false;
    }
};

// The column under the launch point holds the target; a second microbe far
// away keeps the field from counting as cleared.
constexpr fieldtest::Placement farAway{3, 950.f, 650.f};

TEST_F(Scoring, FirstBubbleHitIsWorthItsPointsAndStartsTheCombo)
{
    build(placed({{3, 512.f, 250.f}, farAway}));
    throwToward(512, 700);
    ASSERT_GT(stepUntil([&] { return ctx.score > 0; }, 120), 0);
    EXPECT_EQ(ctx.score, 5);
    EXPECT_EQ(field->comboCount, 1);
    EXPECT_EQ(ctx.remainingMicrobes, 1);
    EXPECT_FLOAT_EQ(ctx.remainingFraction, 0.5f);
    EXPECT_TRUE(microbe(0).bursting);
    EXPECT_EQ(field->bubbles.back().hitColor, sf::Color(180, 180, 255));
    ASSERT_EQ(field->popups.size(), 1u);
    EXPECT_EQ(field->popups.back().value, 5);
}

struct ComboCase {
    const char* name;
    std::vector<HitSource> hits;  // one per step, each on a fresh microbe
    std::vector<int> gains;
    std::vector<int> combos;
};

class Combo : public Scoring, public ::testing::WithParamInterface<ComboCase> {};

TEST_P(Combo, MultipliesTheHitsThatFollow)
{
    const ComboCase c = GetParam();
    build(spreadOut(3, 10));
    for (std::size_t i = 0; i < c.hits.size(); ++i) {
        const int before = ctx.score;
        touch(microbe(i), c.hits[i]);
        step();
        EXPECT_EQ(ctx.score - before, c.gains[i]) << c.name << ", hit " << i + 1;
        EXPECT_EQ(field->comboCount, c.combos[i]) << c.name << ", hit " << i + 1;
        EXPECT_EQ(field->popups.back().value, c.gains[i]);
    }
    EXPECT_EQ(ctx.remainingMicrobes, 10 - static_cast<int>(c.hits.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Hits, Combo,
    ::testing::Values(ComboCase{"one bubble hit", {HitByBubble}, {5}, {1}},
                      ComboCase{"two bubble hits", {HitByBubble, HitByBubble}, {5, 100}, {1, 2}},
                      ComboCase{"chain burst at combo 2", {HitByBubble, HitByBubble, HitByBurst}, {5, 100, 100}, {1, 2, 2}},
                      ComboCase{"three bubble hits", {HitByBubble, HitByBubble, HitByBubble}, {5, 100, 150}, {1, 2, 3}},
                      ComboCase{"burst with no combo", {HitByBurst}, {5}, {0}}));

struct BounceCase {
    int combo;
    int after;
    bool puff;
};

class PaddleBounce : public Scoring, public ::testing::WithParamInterface<BounceCase> {};

TEST_P(PaddleBounce, LowersTheComboAndPuffsWhenItIsLost)
{
    const BounceCase c = GetParam();
    ctx.settings.particles = true;
    build();
    Bubble& bubble = throwToward(512, 700);  // straight onto the paddle
    const sf::Color hit(10, 20, 30);
    bubble.hitColor = hit;
    field->comboCount = c.combo;
    ASSERT_GT(stepUntil([&] { return field->comboCount != c.combo; }, 200), 0);
    EXPECT_EQ(field->comboCount, c.after);
    bool puffed = false;
    for (int i = 0; i < field->particles.emitterCount(); ++i) {
        const Emitter& e = field->particles.emitter(i);
        puffed = puffed || (e.emitSteps == 3 && e.color == hit);
    }
    EXPECT_EQ(puffed, c.puff);
    EXPECT_TRUE(field->bubbleInPlay) << "the paddle keeps the bubble in play";
}

INSTANTIATE_TEST_SUITE_P(Combos, PaddleBounce,
                         ::testing::Values(BounceCase{2, 0, true}, BounceCase{3, 2, false}, BounceCase{1, 0, true},
                                           BounceCase{5, 4, false}));

TEST_F(Scoring, TwoHitPointMicrobeCountsTheHitButStaysAliveAndMoving)
{
    build(placed({{4, 512.f, 250.f}, farAway}));
    Microbe& m = microbe(0);
    m.hitPoints = 2;
    throwToward(512, 700);
    ASSERT_GT(stepUntil([&] { return ctx.remainingMicrobes == 1; }, 120), 0);
    EXPECT_EQ(m.hitPoints, 1);
    EXPECT_FALSE(m.bursting);
    EXPECT_EQ(categoryOf(m.body), BodyCategory::Microbe);
    EXPECT_LT(m.body->GetLinearDamping(), 1000.f);
    EXPECT_EQ(ctx.score, 5);
    EXPECT_EQ(field->comboCount, 1);
    step(3);
    EXPECT_GT(m.body->GetLinearVelocity().Length(), 0.5f) << "the bubble's push carries it on";
}

class SingleStepBurst : public Scoring, public ::testing::WithParamInterface<int> {};

TEST_P(SingleStepBurst, DiesOnItsFirstGrowingStep)
{
    build(placed({{GetParam(), 300.f, 300.f}, farAway}));
    Microbe& m = microbe(0);
    touch(m, HitByBurst);
    step();
    EXPECT_TRUE(m.dead);
    EXPECT_FALSE(m.bursting);
    EXPECT_EQ(m.body->GetFixtureList(), nullptr);
    EXPECT_EQ(m.body->GetLinearDamping(), 10.f);
    EXPECT_EQ(field->burstingCount, 0);
}

INSTANTIATE_TEST_SUITE_P(PlayerColours, SingleStepBurst, ::testing::Values(100, 101, 102, 103));

TEST_F(Scoring, FragmentsAreNeverTouchedAndNeverCount)
{
    // Type 1 releases three fragments when the bubble bursts it.
    build(placed({{1, 512.f, 300.f}, farAway}));
    throwToward(512, 700);
    bool touchedFragment = false;
    for (int i = 0; i < 400; ++i) {
        step();
        touchedFragment = touchedFragment || bubbleTouchesAFragment();
    }
    ASSERT_EQ(field->pool.size(), 5u);
    for (std::size_t i = 2; i < 5; ++i) {
        EXPECT_EQ(microbe(i).type, 1002);
        EXPECT_TRUE(microbe(i).dead) << "fragment " << i << " burst out";
    }
    EXPECT_FALSE(touchedFragment);
    EXPECT_EQ(ctx.score, 5);
    EXPECT_EQ(ctx.remainingMicrobes, 1);
    EXPECT_EQ(ctx.totalMicrobes, 2);
    EXPECT_EQ(field->popups.size(), 1u);
}

class CatcherSensor : public Scoring {
protected:
    // A bubble sent up from above the view: it passes the catcher, bounces off
    // the far ceiling, passes it again on the way down and falls out of the
    // field. Answers how often the catcher's timer started.
    int timerStartsDuringAFlight()
    {
        Bubble& bubble = throwToward(200, 700);
        bubble.body->SetTransform(b2Vec2(200.f / 30.f, -400.f / 30.f), 0.f);
        bubble.body->SetLinearVelocity(b2Vec2(0.f, -25.f));
        int starts = 0;
        for (int i = 0; i < 600 && !field->bubbles.empty(); ++i) {
            const int before = field->catcher.timer;
            step();
            starts += field->catcher.timer > before ? 1 : 0;
        }
        EXPECT_TRUE(field->bubbles.empty()) << "the flight ends at the bottom";
        return starts;
    }
};

TEST_F(CatcherSensor, TimerStartsOncePerArming)
{
    build();
    EXPECT_EQ(timerStartsDuringAFlight(), 1) << "up and down through the sensor";
    EXPECT_GT(field->catcher.timer, 0);
    EXPECT_FALSE(field->catcher.armed);

    ASSERT_GT(stepUntil([&] { return field->catcher.timer == 0; }, 600), 0);
    EXPECT_EQ(timerStartsDuringAFlight(), 0) << "ran out, not re-armed";

    testing::internal::CaptureStdout();
    field->Reset(ctx);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(field->catcher.armed);
    EXPECT_EQ(timerStartsDuringAFlight(), 1) << "re-armed by Reset";
}

}  // namespace

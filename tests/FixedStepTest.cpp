// The field advances in whole 1/60 s steps whatever the frame time, and draws
// its bodies between the last two steps.
#include "tests/FieldTestSupport.h"

namespace {

using fieldtest::FieldTest;

class FixedStep : public FieldTest {
protected:
    void SetUp() override
    {
        FieldTest::SetUp();
        FieldRules rules;
        // Three microbes drifting in different directions.
        rules.populate = [](MicrobePool& pool, GameContext&) {
            pool.addMicrobe(3, 300.f, 300.f, 2.f, 1.f);
            pool.addMicrobe(5, 500.f, 400.f, -1.f, 2.f);
            pool.addMicrobe(9, 700.f, 200.f, 1.5f, -2.f);
        };
        build(rules);
    }

    static float lerp(float a, float b, double t)
    {
        const float f = static_cast<float>(t);
        return (1.f - f) * a + f * b;
    }
};

TEST_F(FixedStep, ZeroFrameTimeRunsNoStepAndDrawsThePreviousPositions)
{
    step();
    ASSERT_EQ(field->stepCount, 1);
    field->Update(ctx, 0.0);
    EXPECT_EQ(field->stepCount, 1);
    EXPECT_EQ(field->alpha, 0.0);
    for (const Microbe& m : field->pool.microbes) {
        EXPECT_EQ(m.current.x, m.previous.x);
        EXPECT_EQ(m.current.y, m.previous.y);
        EXPECT_NE(m.current.x, m.body->GetPosition().x) << "the body has moved on since";
    }
}

TEST_F(FixedStep, FortyMillisecondsRunTwoStepsAndCarryTheRest)
{
    field->Update(ctx, 0.04);
    EXPECT_EQ(field->stepCount, 2);
    const double carried = 0.04 - 2.0 / 60.0;
    EXPECT_NEAR(field->accumulator, carried, 1e-12);
    EXPECT_NEAR(field->alpha, carried * 60.0, 1e-9);
    for (const Microbe& m : field->pool.microbes) {
        const b2Vec2 p = m.body->GetPosition();
        EXPECT_FLOAT_EQ(m.current.x, lerp(m.previous.x, p.x, field->alpha));
        EXPECT_FLOAT_EQ(m.current.y, lerp(m.previous.y, p.y, field->alpha));
    }

    // The carried time counts towards the next frame: 0.0067 + 0.01 is one
    // more step.
    field->Update(ctx, 0.01);
    EXPECT_EQ(field->stepCount, 3);
    EXPECT_NEAR(field->accumulator, carried + 0.01 - 1.0 / 60.0, 1e-12);
}

TEST_F(FixedStep, CappedFrameAfterAStallRunsAtMostTwoSteps)
{
    // Run caps a frame at 0.025 s, so a stall never turns into a burst of steps.
    for (int frame = 0; frame < 10; ++frame) {
        const int before = field->stepCount;
        field->Update(ctx, 0.025);
        EXPECT_GE(field->stepCount - before, 1);
        EXPECT_LE(field->stepCount - before, 2);
    }
    EXPECT_NEAR(field->stepCount, 15, 1);
}

TEST_F(FixedStep, WhileTheViewFollowsABubbleOnlyXIsInterpolated)
{
    field->scrollCurrent = -40.f;
    field->Update(ctx, 0.025);
    ASSERT_GT(field->alpha, 0.0);
    for (const Microbe& m : field->pool.microbes) {
        const b2Vec2 p = m.body->GetPosition();
        EXPECT_FLOAT_EQ(m.current.x, lerp(m.previous.x, p.x, field->alpha));
        EXPECT_EQ(m.current.y, m.previous.y);
    }
    EXPECT_FLOAT_EQ(field->scrollDrawn, -40.f);
}

TEST_F(FixedStep, PaddleIsDrawnBetweenItsLastTwoPositions)
{
    ctx.settings.inputDevice = DeviceKeyboard;
    field->held.right = true;
    step();  // the push gives the paddle its speed after this step's physics
    field->Update(ctx, 0.025);
    const b2Vec2 p = field->paddle()->GetPosition();
    EXPECT_GT(p.x, field->paddlePrevious.x);
    EXPECT_FLOAT_EQ(field->paddleDrawn.x, lerp(field->paddlePrevious.x, p.x, field->alpha));
}

}  // namespace

// Aiming and throwing from the launch point, and steering the paddle with the
// mouse, a joystick or the keyboard.
#include <cmath>
#include <numbers>

#include "tests/FieldTestSupport.h"

namespace {

using fieldtest::FieldTest;
using fieldtest::pixelsOf;

class ThrowAndInput : public FieldTest {
protected:
    void SetUp() override
    {
        FieldTest::SetUp();
        build();
    }

    float paddleSpeed() const { return field->paddle()->GetLinearVelocity().x; }
};

struct AimCase {
    const char* name;
    int aimX, aimY;
    float angle;  // radians, y downward
};

class ThrowDirection : public ThrowAndInput, public ::testing::WithParamInterface<AimCase> {};

TEST_P(ThrowDirection, LaunchesFromTheTopCentreTowardsTheAim)
{
    const AimCase c = GetParam();
    const Bubble& bubble = throwToward(c.aimX, c.aimY);
    const b2Vec2 v = bubble.body->GetLinearVelocity();
    EXPECT_NEAR(std::atan2(v.y, v.x), c.angle, 2e-3f) << c.name;
    // An impulse of 4.5 N s on the 10 px bubble: about 15.2 m/s.
    EXPECT_NEAR(v.Length() * bubble.body->GetMass(), 4.5f, 1e-3f);
    EXPECT_NEAR(v.Length(), 15.17f, 0.01f);
    EXPECT_NEAR(pixelsOf(bubble.body).x, 512.f, 1e-3f);
    EXPECT_NEAR(pixelsOf(bubble.body).y, 31.9488f, 1e-3f);
    EXPECT_EQ(ctx.throwCount, 1);
    EXPECT_TRUE(field->bubbleInPlay);
}

INSTANTIATE_TEST_SUITE_P(
    Aims, ThrowDirection,
    ::testing::Values(AimCase{"straight down the launch column", 512, 700, std::numbers::pi_v<float> / 2},
                      AimCase{"just below the launch point", 512, 32, std::numbers::pi_v<float> / 2},
                      AimCase{"level to the right", 1000, 32, 0.f},
                      AimCase{"up and to the left", 12, -468, -3.f * std::numbers::pi_v<float> / 4}));

TEST_F(ThrowAndInput, RequestWhileABubbleIsInPlayIsIgnoredNotQueued)
{
    throwToward(512, 700);
    field->buttonPressed();
    EXPECT_TRUE(field->buttonHeld);
    EXPECT_FALSE(field->throwRequested);
    step(5);
    EXPECT_EQ(field->bubbles.size(), 1u);
    EXPECT_EQ(ctx.throwCount, 1);
    field->buttonReleased();
    EXPECT_FALSE(field->buttonHeld);
}

TEST_F(ThrowAndInput, BubbleLostAtTheBottomSplashesAndFreesTheNextThrow)
{
    ctx.settings.particles = true;
    throwToward(100, 768);  // wide of the paddle
    ASSERT_GT(stepUntil([&] { return field->bubbles.empty(); }, 400), 0);
    EXPECT_FALSE(field->bubbleInPlay);
    EXPECT_EQ(field->particles.emitterCount(), 2) << "the two splash emitters";
    field->buttonPressed();
    EXPECT_TRUE(field->throwRequested);
    step();
    EXPECT_EQ(field->bubbles.size(), 1u);
    EXPECT_EQ(ctx.throwCount, 2);
}

struct AxisCase {
    float axis;
    bool moves;
};

class JoystickAxis : public ThrowAndInput, public ::testing::WithParamInterface<AxisCase> {};

TEST_P(JoystickAxis, DeadZoneEndsAtTwenty)
{
    const AxisCase c = GetParam();
    ctx.settings.inputDevice = 1;  // the second joystick
    field->aimY = 400;
    field->held.joystickX[1] = c.axis;
    field->held.joystickX[0] = 100.f;  // another player's stick changes nothing
    step();
    if (c.moves) {
        EXPECT_EQ(field->aimX, 512 + static_cast<int>(c.axis));
        EXPECT_EQ(field->aimY, 768);
        EXPECT_FLOAT_EQ(paddleSpeed(), 1.2f * c.axis / 30.f);
        EXPECT_FLOAT_EQ(ctx.paddleTarget, 1.2f * c.axis * 0.9f);
    } else {
        EXPECT_EQ(field->aimX, 512);
        EXPECT_EQ(field->aimY, 400);
        EXPECT_EQ(paddleSpeed(), 0.f);
        EXPECT_EQ(ctx.paddleTarget, 0.f);
    }
}

INSTANTIATE_TEST_SUITE_P(Axis, JoystickAxis,
                         ::testing::Values(AxisCase{19.f, false}, AxisCase{-19.f, false}, AxisCase{0.f, false},
                                           AxisCase{20.f, true}, AxisCase{-20.f, true}, AxisCase{100.f, true}));

TEST_F(ThrowAndInput, JoystickButtonAndControlKeyThrow)
{
    struct {
        int device;
        void (*press)(HeldInput&);
    } cases[] = {
        {0, [](HeldInput& h) { h.joystickButton0[0] = true; }},
        {3, [](HeldInput& h) { h.joystickButton0[3] = true; }},
        {DeviceKeyboard, [](HeldInput& h) { h.control = true; }},
    };
    for (const auto& c : cases) {
        build();
        ctx.throwCount = 0;
        ctx.settings.inputDevice = c.device;
        c.press(field->held);
        step();
        EXPECT_EQ(field->bubbles.size(), 1u) << "device " << c.device;
        step(3);  // held on: still the one bubble
        EXPECT_EQ(ctx.throwCount, 1) << "device " << c.device;
    }
}

class ArrowKey : public ThrowAndInput, public ::testing::WithParamInterface<bool> {};

TEST_P(ArrowKey, TenStepsPushTwelveHundredFiftyThenTheDriftDecays)
{
    const bool left = GetParam();
    const float sign = left ? -1.f : 1.f;
    ctx.settings.inputDevice = DeviceKeyboard;
    (left ? field->held.left : field->held.right) = true;
    step(10);
    EXPECT_EQ(field->aimX, 512 + static_cast<int>(sign * 1250.f));
    EXPECT_EQ(field->aimY, 768);
    EXPECT_GT(sign * paddleSpeed(), 0.f);

    field->held = HeldInput{};
    float speed = paddleSpeed();
    for (int i = 0; i < 5; ++i) {
        step();
        // Released: the paddle keeps drifting, a tenth slower every step.
        EXPECT_NEAR(paddleSpeed(), 0.9f * speed, 1e-4f);
        EXPECT_GT(sign * paddleSpeed(), 0.f);
        speed = paddleSpeed();
    }
}

INSTANTIATE_TEST_SUITE_P(LeftOrRight, ArrowKey, ::testing::Bool());

TEST_F(ThrowAndInput, MousePaddleChasesThePointerWithAPullToTheCentre)
{
    ctx.settings.inputDevice = DeviceMouse;
    ctx.settings.windowWidth = 1024;
    ctx.settings.windowHeight = 768;
    field->pointerMoved(ctx, 768, 300);
    EXPECT_EQ(field->aimX, 768);
    EXPECT_EQ(field->aimY, 300);
    EXPECT_EQ(ctx.paddleTarget, 768.f);
    step();
    // 256 px to the pointer plus (768 - 512) / 4096.
    EXPECT_NEAR(paddleSpeed(), 256.0625f, 1e-3f);
}

TEST_F(ThrowAndInput, ComputerDeviceLeavesThePaddleStill)
{
    ctx.paddleTarget = 900.f;
    field->held.left = true;
    step(3);
    EXPECT_EQ(paddleSpeed(), 0.f);
    EXPECT_EQ(field->aimX, 512);
}

}  // namespace

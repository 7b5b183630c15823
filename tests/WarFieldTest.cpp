// The war arena, headless: the countdown and the one bubble, the seats'
// paddles round their corners, elimination and the end of a round.
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <box2d/box2d.h>
#include <gtest/gtest.h>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "app/RequestedPage.h"
#include "app/Settings.h"
#include "world/Bursts.h"
#include "world/Units.h"
#include "world/WarField.h"

namespace {

constexpr float cornerX[4] = {15.f, 1009.f, 15.f, 1009.f};
constexpr float cornerY[4] = {107.f, 107.f, 706.f, 706.f};

sf::Vector2f pixelsOf(const b2Body* body)
{
    const b2Vec2 p = body->GetPosition();
    return {p.x * pixelsPerMetre, p.y * pixelsPerMetre};
}

float distance(sf::Vector2f a, sf::Vector2f b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

class WarFieldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetPending = false;
        testing::internal::CaptureStdout();
        field = std::make_unique<WarField>(ctx);
        testing::internal::GetCapturedStdout();
    }

    // One fixed step as the screen runs it: Update, then the frame's banner.
    void step(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            field->Update(ctx, field->timeStep);
            field->holdBanner();
        }
    }

    // Steps until the bubble is launched; answers the steps taken, or -1.
    int stepUntilLaunch(int limit = 1000)
    {
        for (int i = 1; i <= limit; ++i) {
            step();
            if (field->bubbleInPlay)
                return i;
        }
        return -1;
    }

    // Bursts every standing microbe of the given seats, as a burst touching them would.
    void burstSeats(const std::set<int>& seats)
    {
        for (Microbe& m : field->pool.microbes) {
            if (seats.count(m.type - 100) && !m.bursting) {
                hitMicrobe(m, 1);
                m.hitBy = HitByBurst;
            }
        }
    }

    GameContext ctx;
    std::unique_ptr<WarField> field;
};

TEST_F(WarFieldTest, EachSeatStartsWithEightMicrobesAroundItsCorner)
{
    ASSERT_EQ(field->pool.size(), 32u);
    for (std::size_t i = 0; i < field->pool.size(); ++i) {
        const Microbe& m = field->pool.at(i);
        const int seat = static_cast<int>(i / 8);
        EXPECT_EQ(m.type, 100 + seat);
        const float r = distance(pixelsOf(m.body), {cornerX[seat], cornerY[seat]});
        EXPECT_TRUE(std::abs(r - 100.f) < 0.1f || std::abs(r - 50.f) < 0.1f) << "microbe " << i << " at " << r;
    }
    step();
    for (int s = 0; s < 4; ++s)
        EXPECT_EQ(ctx.warCounts[static_cast<std::size_t>(s)], 8);
}

TEST_F(WarFieldTest, TheBubbleComesOnlyAsGoFadesAndFliesWithoutGravity)
{
    int stagesSeen = 0;
    int lastStage = -1;
    for (int i = 0; i < 1000 && !field->bubbleInPlay; ++i) {
        if (field->countdownStage != lastStage) {
            lastStage = field->countdownStage;
            ++stagesSeen;
        }
        step();
    }
    ASSERT_TRUE(field->bubbleInPlay);
    EXPECT_EQ(stagesSeen, 3) << "Ready, Set and GO! each show before the launch";
    EXPECT_EQ(field->countdownStage, 0);
    EXPECT_EQ(field->bannerFade, 1) << "launched as the GO! banner fades out";
    ASSERT_EQ(field->bubbles.size(), 1u);

    b2Body* bubble = field->bubbles.front().body;
    EXPECT_EQ(bubble->GetGravityScale(), 0.f);
    EXPECT_EQ(bubble->GetFixtureList()->GetFilterData().maskBits, 21);
    EXPECT_LT(distance(pixelsOf(bubble), {512.f, 384.f}), 15.f);
    const b2Vec2 v = bubble->GetLinearVelocity();
    const float degrees = std::atan2(v.y, v.x) * 180.f / 3.14159265f;
    const float fromDiagonal = std::fmod(degrees + 360.f - 7.f, 45.f);
    EXPECT_TRUE(fromDiagonal < 0.5f || fromDiagonal > 44.5f) << degrees;

    // With no gravity and nothing in the way the flight keeps its speed.
    const float speed = v.Length();
    step(5);
    EXPECT_NEAR(bubble->GetLinearVelocity().Length(), speed, 0.05f * speed);

    // One bubble a round, however long it flies.
    step(600);
    EXPECT_LE(field->bubbles.size(), 1u);
}

TEST_F(WarFieldTest, PaddlesCircleTheirCornersTowardsTheAimBeforeTheBubbleComes)
{
    // Aim points straight right, straight down and diagonally from each corner.
    struct Case {
        int seat;
        int aimX;
        int aimY;
    };
    const std::vector<Case> cases = {{0, 800, 107}, {1, 1009, 600}, {2, 300, 421}, {3, 724, 421}};
    for (const Case& c : cases) {
        Seat& seat = ctx.seats[static_cast<std::size_t>(c.seat)];
        seat.device = 99;  // no local device: the aim stays where the test put it
        seat.aimX = c.aimX;
        seat.aimY = c.aimY;
    }
    step(90);
    EXPECT_FALSE(field->bubbleInPlay);
    for (const Case& c : cases) {
        const float phi = std::atan2(static_cast<float>(c.aimY) - cornerY[c.seat],
                                     static_cast<float>(c.aimX) - cornerX[c.seat]);
        const sf::Vector2f expected(cornerX[c.seat] + 150.f * std::cos(phi), cornerY[c.seat] + 150.f * std::sin(phi));
        const sf::Vector2f at = pixelsOf(field->warBodies[static_cast<std::size_t>(c.seat)].body);
        EXPECT_LT(distance(at, expected), 2.f) << "seat " << c.seat;
    }
}

TEST_F(WarFieldTest, ComputerPlayersFollowTheBubbleAndStayInTheirCorners)
{
    ASSERT_GT(stepUntilLaunch(), 0);
    for (int i = 0; i < 900 && !field->roundOver; ++i) {
        step();
        if (!field->bubbleInPlay)
            break;
        const sf::Vector2f bubble = pixelsOf(field->bubbles.front().body);
        for (int s = 0; s < 4; ++s) {
            const Seat& seat = ctx.seats[static_cast<std::size_t>(s)];
            if (!field->warBodies[static_cast<std::size_t>(s)].out) {
                EXPECT_NEAR(seat.aimX, bubble.x + 3.f, 1.5f);
                EXPECT_NEAR(seat.aimY, bubble.y + 3.f, 1.5f);
            }
            const float r = distance(pixelsOf(field->warBodies[static_cast<std::size_t>(s)].body),
                                     {cornerX[s], cornerY[s]});
            ASSERT_NEAR(r, 150.f, 25.f) << "seat " << s << " after " << i << " steps";
        }
    }
}

TEST_F(WarFieldTest, KeyboardSeatsShareOneTurnSpeedAndStartAtRadianAngles)
{
    ctx.seats[0].device = DeviceKeyboard;
    ctx.seats[1].device = DeviceKeyboard;
    field->held.left = true;
    step();
    // Seat 0 turned with -15, the speed decayed to -13.5, seat 1 turned with -28.5.
    EXPECT_NEAR(ctx.seats[0].aimAngle, 0.015f, 1e-5f);
    EXPECT_NEAR(ctx.seats[1].aimAngle, 90.f + 0.0285f, 1e-4f);
    EXPECT_NEAR(field->keyboardTurnSpeed, -25.65f, 1e-3f);
    EXPECT_EQ(ctx.seats[1].aimX, static_cast<int>(std::lround(800.f * std::cos(ctx.seats[1].aimAngle) + 1009.f)));
    EXPECT_EQ(ctx.seats[1].aimY, static_cast<int>(std::lround(800.f * std::sin(ctx.seats[1].aimAngle) + 107.f)));
}

TEST_F(WarFieldTest, SeatsGoOutWithTheirLastMicrobeAndThreeOutEndTheRound)
{
    struct Case {
        std::set<int> burst;
        bool roundOver;
    };
    const std::vector<Case> cases = {
        {{0}, false}, {{1, 3}, false}, {{0, 1, 2}, true}, {{1, 2, 3}, true}, {{0, 1, 2, 3}, true}};
    for (const Case& c : cases) {
        SetUp();
        step(5);
        burstSeats(c.burst);
        step();
        for (int s = 0; s < 4; ++s) {
            const bool out = c.burst.count(s) > 0;
            EXPECT_EQ(field->warBodies[static_cast<std::size_t>(s)].out, out) << "seat " << s;
            EXPECT_EQ(ctx.warCounts[static_cast<std::size_t>(s)], out ? 0 : 8);
        }
        EXPECT_EQ(field->roundOver, c.roundOver) << c.burst.size() << " seats out";
    }
}

TEST_F(WarFieldTest, ASeatThatIsOutStopsAimingButItsPaddleStillMoves)
{
    ctx.seats[0].device = DeviceMouse;
    field->pointerX = 15;  // along the left wall
    field->pointerY = 700;
    step(30);
    burstSeats({0});
    step();
    ASSERT_TRUE(field->warBodies[0].out);
    const sf::Vector2i lastAim(ctx.seats[0].aimX, ctx.seats[0].aimY);
    field->pointerX = 1000;  // the mouse moves on...
    field->pointerY = 107;
    step(30);
    EXPECT_EQ(sf::Vector2i(ctx.seats[0].aimX, ctx.seats[0].aimY), lastAim) << "...but the aim stays";
    // The paddle is still driven towards that last aim, 150 px from the corner.
    EXPECT_LT(distance(pixelsOf(field->warBodies[0].body), WarField::paddleTarget(ctx.seats[0], 0)), 2.f);
    EXPECT_NEAR(distance(pixelsOf(field->warBodies[0].body), {cornerX[0], cornerY[0]}), 150.f, 2.f);
}

TEST_F(WarFieldTest, AnEndedRoundHandsOverAfterThreeSecondsAndResetStartsAfresh)
{
    step(5);
    burstSeats({0, 2, 3});
    testing::internal::CaptureStdout();
    step(179);
    EXPECT_FALSE(resetPending);
    step();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Level over\n");
    EXPECT_TRUE(resetPending);
    EXPECT_EQ(ctx.requestedPage, PageRoundOver);
    EXPECT_EQ(ctx.warCounts[1], 8) << "the winner still stands";
    EXPECT_FALSE(field->warBodies[1].out);
    // A slow frame that runs more steps before the screen hands over still
    // finishes the round once.
    testing::internal::CaptureStdout();
    field->Update(ctx, 2.0 * field->timeStep);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    testing::internal::CaptureStdout();
    field->Reset(ctx);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Reset!\n");
    EXPECT_FALSE(resetPending);
    EXPECT_FALSE(field->roundOver);
    EXPECT_EQ(field->pool.size(), 32u);
    for (int s = 0; s < 4; ++s)
        EXPECT_FALSE(field->warBodies[static_cast<std::size_t>(s)].out);
    EXPECT_EQ(field->countdownStage, 2);
    EXPECT_EQ(field->countdownTicks, 60);
}

}  // namespace

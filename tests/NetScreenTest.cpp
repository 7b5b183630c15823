// The networked war screen and arena without a network: the chat line's
// typing rules, keys while typing, and how a client's bubble follows the
// server's reports.
#include <algorithm>
#include <cmath>
#include <string>

#include <box2d/box2d.h>
#include <gtest/gtest.h>
#include <SFML/Window/Event.hpp>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "net/NetWarField.h"
#include "screens/screen_7.h"

namespace {

struct OpenScreen : screen_7 {
    using screen_7::screen_7;
    using screen_7::handleEvent;
};

sf::Event keyPressed(sf::Keyboard::Key key)
{
    sf::Event e{};
    e.type = sf::Event::KeyPressed;
    e.key.code = key;
    return e;
}

class NetScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetPending = false;
        ctx.settings.playerName = "Ana";
        ctx.net.isHost = true;
        ctx.net.playerNames = {"Ana", "Bo", "Cy", "Di"};
        testing::internal::CaptureStdout();
        screen = std::make_unique<OpenScreen>(ctx);
        testing::internal::GetCapturedStdout();
    }

    void type(const std::string& text)
    {
        for (const char c : text)
            screen->typed(static_cast<unsigned char>(c), ctx);
    }

    GameContext ctx;
    std::unique_ptr<OpenScreen> screen;
};

}  // namespace

TEST_F(NetScreen, TypingStopsAt194AndWrapsEvery64)
{
    type("\r");
    ASSERT_EQ(screen->chatMode, 1);
    type(std::string(300, 'a'));
    const std::string& line = screen->chatInput;
    EXPECT_EQ(line.size(), 194u);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 3);
    EXPECT_EQ(line[64], '\n');
    EXPECT_EQ(line[128], '\n');
    EXPECT_EQ(line[192], '\n');
    type("\b");
    EXPECT_EQ(line.size(), 193u);
}

TEST_F(NetScreen, EnterSendsEvenAnEmptyLineAndSpaceWhileTypingIsText)
{
    for (int s = 1; s < 4; ++s) {
        ctx.netSeats[static_cast<std::size_t>(s)].joined = true;
        ctx.netSeats[static_cast<std::size_t>(s)].ready = true;
    }
    type("\r");
    screen->handleEvent(keyPressed(sf::Keyboard::Space), ctx);
    type(" ");
    EXPECT_FALSE(ctx.netSeats[0].ready) << "space while typing does not toggle ready";
    EXPECT_EQ(screen->chatInput, " ");
    type("\b\r");
    EXPECT_EQ(screen->chatMode, 0);
    EXPECT_EQ(ctx.net.chatLines.back(), "Ana: ") << "an empty line is sent all the same";
    screen->handleEvent(keyPressed(sf::Keyboard::Space), ctx);
    EXPECT_TRUE(ctx.netSeats[0].ready) << "not typing, space readies the host";
}

// A client's bubble and the server's report of where it is.
class BubbleCorrection : public ::testing::TestWithParam<float> {};

TEST_P(BubbleCorrection, JumpsBeyond48PixelsMovesATenthBeyond4AndIgnoresLess)
{
    resetPending = false;
    GameContext ctx;
    testing::internal::CaptureStdout();
    NetWarField arena(ctx);
    testing::internal::GetCapturedStdout();
    // Play as if started: the countdown runs and the bubble is launched.
    ctx.net.started = true;
    arena.netStep = NetWarField::playStep;
    arena.countdownTicks = 60;
    arena.countdownStage = 2;
    for (int i = 0; i < 600 && !arena.bubbleInPlay; ++i) {
        arena.Update(ctx, arena.timeStep);
        arena.holdBanner();
    }
    ASSERT_TRUE(arena.bubbleInPlay);
    b2Body* body = arena.bubbles.front().body;
    const b2Vec2 before = body->GetPosition();
    const b2Vec2 v = body->GetLinearVelocity();

    const float gap = GetParam();
    ctx.net.hostBubbleX = 30.f * before.x + gap;
    ctx.net.hostBubbleY = 30.f * before.y;
    ctx.net.hostBubbleVX = 1.f;
    ctx.net.hostBubbleVY = -2.f;
    arena.correctBubble(ctx.net);
    const float moved = 30.f * (body->GetPosition().x - before.x);
    if (gap * gap > 2304.f) {
        EXPECT_NEAR(moved, gap, 0.01f) << "snaps to the server's position";
    } else if (gap * gap > 16.f) {
        EXPECT_NEAR(moved, 0.1f * gap, 0.01f) << "a tenth of the way";
    } else {
        EXPECT_NEAR(moved, 0.f, 1e-4f) << "close enough is left alone";
        EXPECT_EQ(body->GetLinearVelocity(), v);
        return;
    }
    EXPECT_EQ(body->GetLinearVelocity(), b2Vec2(1.f, -2.f)) << "and takes the server's velocity";
}

INSTANTIATE_TEST_SUITE_P(Gaps, BubbleCorrection, ::testing::Values(60.f, 49.f, 20.f, 4.5f, 3.f, 0.f));

// The 4:3 picture in any window, the pointer mapped back to the logical area,
// and the screen loop that hands the window from screen to screen.
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "app/ScreenLoop.h"
#include "app/Viewport.h"
#include "app/cScreen.h"
#include "gfx/GraphicsResources.h"

namespace {

// --- viewport and pointer -------------------------------------------------

TEST(Viewport, WideWindowShowsACentredColumn)
{
    const sf::FloatRect v = viewportFor(1280, 720);
    EXPECT_NEAR(v.left * 1280.f, 160.f, 0.01f);
    EXPECT_NEAR(v.width * 1280.f, 960.f, 0.01f);
    EXPECT_FLOAT_EQ(v.top, 0.f);
    EXPECT_FLOAT_EQ(v.height, 1.f);
}

TEST(Viewport, NarrowOrExactWindowIsFilledWhole)
{
    for (const sf::Vector2i size : {sf::Vector2i{800, 800}, sf::Vector2i{640, 480}, sf::Vector2i{1024, 768}}) {
        const sf::FloatRect v = viewportFor(size.x, size.y);
        EXPECT_EQ(v, sf::FloatRect(0.f, 0.f, 1.f, 1.f)) << size.x << " x " << size.y;
    }
}

struct PointerCase {
    int windowW, windowH;
    int x, y;
    int logicalX, logicalY;
};

class PointerMapping : public ::testing::TestWithParam<PointerCase> {};

TEST_P(PointerMapping, LandsOnTheLogicalPoint)
{
    const PointerCase c = GetParam();
    const sf::Vector2i p = windowToLogical(c.x, c.y, c.windowW, c.windowH, viewportFor(c.windowW, c.windowH));
    EXPECT_EQ(p, sf::Vector2i(c.logicalX, c.logicalY));
    // The game screens' aim lands on the same point.
    EXPECT_EQ(pointerToLogical(c.x, c.y, c.windowW, c.windowH, logicalAspect), sf::Vector2i(c.logicalX, c.logicalY));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, PointerMapping,
    ::testing::Values(
        // the corners of the column in a 16:9 window
        PointerCase{1280, 720, 160, 0, 0, 0}, PointerCase{1280, 720, 1119, 719, 1022, 766},
        PointerCase{1280, 720, 640, 360, 512, 384},
        // a square window stretches the picture over the whole window
        PointerCase{800, 800, 400, 400, 512, 384}, PointerCase{800, 800, 799, 799, 1022, 767},
        PointerCase{1024, 768, 1023, 767, 1023, 767}));

// --- background atlas -----------------------------------------------------

TEST(BackgroundTiles, TileNineIsSecondRowSecondColumn)
{
    EXPECT_EQ(GraphicsResources::tileRect(9), sf::IntRect(32, 32, 32, 32));
    EXPECT_EQ(GraphicsResources::tileRect(0), sf::IntRect(0, 0, 32, 32));
    EXPECT_EQ(GraphicsResources::tileRect(63), sf::IntRect(224, 224, 32, 32));
}

// --- screen loop ----------------------------------------------------------

// A screen that answers a fixed list of next screens and counts its calls.
class ScriptedScreen : public cScreen {
public:
    ScriptedScreen(std::vector<int> answers, bool isGame) : m_answers(std::move(answers)), m_isGame(isGame) {}

    int Run(GraphicsResources&, GameContext&) override
    {
        const int next = runs < static_cast<int>(m_answers.size()) ? m_answers[static_cast<std::size_t>(runs)] : -1;
        ++runs;
        if (beforeAnswer)
            beforeAnswer(runs);
        return next;
    }

    // The game screens start a new round and drop the flag; title and menu do
    // nothing.
    void Reset(GameContext&) override
    {
        ++resets;
        flagAtReset.push_back(resetPending);
        if (m_isGame)
            resetPending = false;
    }

    std::function<void(int run)> beforeAnswer;
    int runs = 0;
    int resets = 0;
    std::vector<bool> flagAtReset;

private:
    std::vector<int> m_answers;
    bool m_isGame;
};

class ScreenLoop : public ::testing::Test {
protected:
    void SetUp() override { resetPending = false; }
    void TearDown() override { resetPending = false; }

    void run() { runScreenLoop({&title, &menu, &game}, gfx, ctx); }

    GameContext ctx;
    GraphicsResources gfx{1024, 768};
    ScriptedScreen title{{1}, false};
    ScriptedScreen menu{{2, 2, -1}, false};
    ScriptedScreen game{{1, 1}, true};
};

TEST_F(ScreenLoop, NegativeAnswerEndsAtOnceWithoutReset)
{
    title = ScriptedScreen{{-1}, false};
    title.beforeAnswer = [](int) { resetPending = true; };
    run();
    EXPECT_EQ(title.runs, 1);
    EXPECT_EQ(menu.runs + game.runs, 0);
    EXPECT_EQ(title.resets + menu.resets + game.resets, 0);
}

TEST_F(ScreenLoop, WithoutPendingResetScreensKeepTheirState)
{
    run();
    EXPECT_EQ(title.runs, 1);
    EXPECT_EQ(menu.runs, 3);
    EXPECT_EQ(game.runs, 2);
    EXPECT_EQ(title.resets + menu.resets + game.resets, 0);
}

TEST_F(ScreenLoop, FinishedRoundResetsTheGameWhenItIsEnteredAgain)
{
    // The first round ends: the game asks for a reset and goes to the menu.
    game.beforeAnswer = [](int run) {
        if (run == 1)
            resetPending = true;
    };
    run();
    // The menu's own Reset runs on the way in and leaves the flag alone...
    ASSERT_EQ(menu.resets, 1);
    EXPECT_TRUE(menu.flagAtReset[0]);
    // ...so the game is reset when the menu goes back to it, and only then.
    ASSERT_EQ(game.resets, 1);
    EXPECT_TRUE(game.flagAtReset[0]);
    EXPECT_FALSE(resetPending);
    EXPECT_EQ(title.resets, 0);
    EXPECT_EQ(game.runs, 2);
}

TEST_F(ScreenLoop, QuitWhileResetPendingSkipsTheReset)
{
    game = ScriptedScreen{{-1}, true};
    game.beforeAnswer = [](int) { resetPending = true; };
    run();
    EXPECT_EQ(game.resets + menu.resets + title.resets, 0);
    EXPECT_TRUE(resetPending);
}

}  // namespace

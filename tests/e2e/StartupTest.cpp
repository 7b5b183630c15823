// The game as a player starts it: a fresh directory, the real binary, a real
// window on the test display.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Harness.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {

// Each line must appear after the one before it.
void expectInOrder(const std::string& output, const std::vector<std::string>& lines)
{
    std::size_t from = 0;
    for (const std::string& line : lines) {
        const std::size_t at = output.find(line, from);
        ASSERT_NE(at, std::string::npos) << "missing or out of order: " << line << "\nin:\n" << output;
        from = at + line.size();
    }
}

}  // namespace

TEST(Startup, PrintsItsLinesDrawsAndQuitsWhenClosed)
{
    GameProcess game(windowed());
    ASSERT_TRUE(game.waitForOutput("starting main message loop\n"));
    const std::string out = game.output();
    // The tutorial and Infinite screens each build the seed-0 field while starting up.
    const std::vector<std::string> seedZero = {"new_type: 1\n", "new_type: 4\n", "tmax: 2\n",
                                               "difficulty level = 12 # types = 2\n"};
    std::vector<std::string> expected = {"Texture data loaded\n", "constructing screen 1\n"};
    for (int screen = 0; screen < 2; ++screen)
        expected.insert(expected.end(), seedZero.begin(), seedZero.end());
    expected.push_back("starting main message loop\n");
    expectInOrder(out, expected);
    EXPECT_EQ(out.find("Texture load fail"), std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 27), "starting main message loop\n");

    ASSERT_NE(game.window(), 0u);
    game.pause(500ms);
    const sf::Image shot = game.screenshot();
    EXPECT_EQ(shot.getSize().x, 1024u);
    EXPECT_GT(litShare(shot), 0.5) << "the first screen should show the lit slide, not a black window";

    game.closeWindow();
    EXPECT_EQ(game.waitForExit(), 0);
}

TEST(Startup, WithoutResourcesReportsWhatIsMissingAndStillRuns)
{
    LaunchOptions bare = windowed();
    bare.withResources = false;
    GameProcess game(bare);
    ASSERT_TRUE(game.waitForOutput("starting main message loop\n"));
    expectInOrder(game.output(), {"Texture load fail\n", "shader load fail\n", "failed to load proj.png\n",
                                  "Texture data loaded\n", "starting main message loop\n"});
    ASSERT_NE(game.window(), 0u);
    game.closeWindow();
    EXPECT_EQ(game.waitForExit(), 0);
}

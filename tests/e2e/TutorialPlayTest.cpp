// A new player's first game: the tutorial is the default mode, its first
// instruction shows, and a throw that hits a microbe completes the first step.
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Flows.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {

// Lighter than the dark slide and the panels' dark glass: text and outlines.
int lit(const sf::Image& shot, sf::IntRect area)
{
    int count = 0;
    for (int y = area.top; y < area.top + area.height; ++y)
        for (int x = area.left; x < area.left + area.width; ++x) {
            const sf::Color c = shot.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
            if (c.r + c.g + c.b > 450)
                ++count;
        }
    return count;
}

// The green microbe nearest the launcher, from a screenshot.
sf::Vector2i nearestGreen(const sf::Image& shot)
{
    sf::Vector2i best{512, 400};
    double bestDistance = 1e9;
    for (int y = 110; y < 600; ++y)
        for (int x = 20; x < 1004; ++x) {
            const sf::Color c = shot.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
            if (std::abs(c.r - 133) > 30 || std::abs(c.g - 227) > 30 || std::abs(c.b - 114) > 30)
                continue;
            const double d = (x - 512.0) * (x - 512.0) + (y - 32.0) * (y - 32.0);
            if (d < bestDistance) {
                bestDistance = d;
                best = {x, y};
            }
        }
    return best;
}

std::string settingsLine(const GameProcess& game, int number)
{
    std::ifstream file(game.directory() + "/settings.cfg");
    std::string line;
    for (int i = 0; i < number && std::getline(file, line); ++i) {
    }
    return line;
}

}  // namespace

TEST(TutorialPlay, FirstInstructionThenAHitAsksToContinue)
{
    LaunchOptions options = windowed();
    options.settings = "3\n1024\n768\n32\n4\n50\n0\n0\n0\n0\n1\n1\n1\n0\n10\n1000\n3\n3\nTester\n\n";
    GameProcess game(options);
    ASSERT_TRUE(game.waitForOutput("starting main message loop\n"));
    game.window();
    game.pause(500ms);
    enterMode(game, 0);  // the default mode is the tutorial
    game.pause(300ms);

    const sf::IntRect firstPanel{552, 10, 245, 76};
    const sf::IntRect continuePanel{812, 10, 200, 76};
    const sf::Image before = game.screenshot();
    EXPECT_GT(lit(before, firstPanel), 150) << "the first instruction should show at the top";
    EXPECT_LT(lit(before, continuePanel), 40);

    // Throw at the nearest green microbe, aiming a little high for the drop.
    for (int attempt = 0; attempt < 4 && settingsLine(game, 8) != "1"; ++attempt) {
        const sf::Vector2i target = nearestGreen(game.screenshot());
        game.moveMouse(target.x, target.y - 10);
        game.pause(200ms);
        game.click(target.x, target.y - 10);
        game.pause(3500ms);
    }
    ASSERT_EQ(settingsLine(game, 8), "1") << "the first step's advance records that the tutorial was played";
    game.pause(1500ms);
    const sf::Image frozen = game.screenshot();
    EXPECT_GT(lit(frozen, continuePanel), 60) << "\"Click to continue.\" should show";

    game.closeWindow();
    EXPECT_EQ(game.waitForExit(), 0);
}

// Playing the Infinite mode with the real binary: aim, throw, pause.
#include <gtest/gtest.h>

#include "Flows.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {

const sf::Color green(133, 227, 114);  // type 1 of the seed-0 field
const sf::Color blue(120, 180, 240);   // type 4 of the seed-0 field

// Pixels clearly lighter than the dark slide (channel sum above the limit).
int lighterThan(const sf::Image& shot, int limit, sf::IntRect area)
{
    int count = 0;
    for (int y = area.top; y < area.top + area.height; ++y)
        for (int x = area.left; x < area.left + area.width; ++x) {
            const sf::Color c = shot.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
            if (c.r + c.g + c.b > limit)
                ++count;
        }
    return count;
}

// Near-white pixels: the bubble's rim (the microbes are all coloured).
int whitish(const sf::Image& shot, sf::IntRect area)
{
    int count = 0;
    for (int y = area.top; y < area.top + area.height; ++y)
        for (int x = area.left; x < area.left + area.width; ++x) {
            const sf::Color c = shot.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
            if (c.r > 190 && c.g > 190 && c.b > 190)
                ++count;
        }
    return count;
}

int microbePixels(const sf::Image& shot)
{
    const sf::IntRect field{0, 100, 1024, 620};
    return countNear(shot, green, 40, field) + countNear(shot, blue, 40, field);
}

}  // namespace

TEST(Infinite, AimThrowAndPause)
{
    GameProcess game(windowed());
    ASSERT_TRUE(game.waitForOutput("starting main message loop\n"));
    enterInfinite(game);

    // Aim down and to the right: the guide bends away from the launcher.
    game.moveMouse(800, 500);
    game.pause(400ms);
    const sf::Image aiming = game.screenshot();
    EXPECT_GT(microbePixels(aiming), 200) << "the seed-0 microbes should be on the field";
    const sf::IntRect launcher{492, 12, 40, 40};
    const int launcherLit = lighterThan(aiming, 200, launcher);
    EXPECT_GT(launcherLit, 60) << "the launcher ring and marker should show while aiming";
    const sf::IntRect guidePath{530, 45, 250, 200};
    EXPECT_GT(lighterThan(aiming, 200, guidePath), 40) << "the guide dots should lead towards the pointer";
    const sf::IntRect field{0, 60, 1024, 640};
    const int whiteBefore = whitish(aiming, field);

    game.click(800, 500);
    game.pause(250ms);
    const sf::Image thrown = game.screenshot();
    EXPECT_LT(lighterThan(thrown, 200, launcher), launcherLit / 2) << "the guide hides while the bubble is in play";
    EXPECT_GT(whitish(thrown, field), whiteBefore + 20) << "the bubble should be in flight";

    game.key("Escape");
    game.pause(400ms);
    const sf::Image paused = game.screenshot();
    EXPECT_LT(microbePixels(paused), 20) << "Escape leaves the field for the menu";

    game.closeWindow();
    EXPECT_EQ(game.waitForExit(), 0);
}

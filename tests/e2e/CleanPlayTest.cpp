// Clean mode with the real binary: chosen in the menu, played at Casual, the
// murky layer lies over the field with the microbes above it, finished bursts
// wipe it, and pausing measures the cleaned share.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "Flows.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {

// From the title to a running clean-mode wave at Casual.
void enterClean(GameProcess& game)
{
    enterMode(game, 3);  // mode: Tutorial -> Infinite -> Course -> Clean
}

// The slide is blue-green; seen through the brown dirt its red catches up
// with its blue. Answers the share of sampled pixels that look dirty.
double dirtyShare(const sf::Image& shot, sf::IntRect area)
{
    int dirty = 0;
    int sampled = 0;
    for (int y = area.top; y < area.top + area.height; y += 3)
        for (int x = area.left; x < area.left + area.width; x += 3) {
            const sf::Color c = shot.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
            ++sampled;
            if (c.r + 12 >= c.b)
                ++dirty;
        }
    return sampled ? static_cast<double>(dirty) / sampled : 0.0;
}

bool isMicrobeRing(sf::Color c)
{
    const int high = std::max({c.r, c.g, c.b});
    const int low = std::min({c.r, c.g, c.b});
    return high > 150 && high - low > 80;
}

// The microbe ring pixel nearest the launcher, or the field's middle.
sf::Vector2i nearestMicrobe(const sf::Image& shot, int* ringPixels)
{
    sf::Vector2i best{512, 400};
    double bestDistance = 1e12;
    *ringPixels = 0;
    for (int y = 110; y < 700; ++y)
        for (int x = 20; x < 1004; ++x) {
            if (!isMicrobeRing(shot.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y))))
                continue;
            ++*ringPixels;
            const double d = (x - 512.0) * (x - 512.0) + (y - 32.0) * (y - 32.0);
            if (d < bestDistance) {
                bestDistance = d;
                best = {x, y};
            }
        }
    return best;
}

const sf::IntRect field{20, 110, 984, 590};
const sf::IntRect aboveField{20, 20, 70, 60};

}  // namespace

TEST(CleanPlay, MurkyLayerOverTheFieldIsWipedByBurstsAndMeasuredOnPause)
{
    GameProcess game(windowed());
    ASSERT_TRUE(game.waitForOutput("starting main message loop\n"));
    EXPECT_NE(game.output().find("constructing screen 5: clean mode\n"), std::string::npos);
    enterClean(game);

    game.moveMouse(512, 400);
    game.pause(300ms);
    const sf::Image playing = game.screenshot();
    EXPECT_GT(dirtyShare(playing, field), 0.9) << "the dirt should cover the field";
    EXPECT_LT(dirtyShare(playing, aboveField), 0.1) << "and only the field";
    int ringPixels = 0;
    const sf::Vector2i target = nearestMicrobe(playing, &ringPixels);
    EXPECT_GT(ringPixels, 100) << "the microbes should show above the dirt";

    // Throw at the microbe nearest the launcher, again every few seconds,
    // until finished bursts have wiped patches of the dirt. A burst takes
    // about five seconds of play to grow and finish; on a busy machine the
    // capped frame time makes that much longer in wall time, so allow a minute.
    const double dirtyAtStart = dirtyShare(playing, field);
    double dirtyNow = dirtyAtStart;
    for (int look = 0; look < 60 && dirtyNow >= dirtyAtStart - 0.005; ++look) {
        if (look % 4 == 0) {
            const sf::Vector2i aim = look == 0 ? target : nearestMicrobe(game.screenshot(), &ringPixels);
            game.moveMouse(aim.x, aim.y);
            game.click(aim.x, aim.y);
        }
        game.pause(1000ms);
        dirtyNow = dirtyShare(game.screenshot(), field);
    }
    EXPECT_LT(dirtyNow, dirtyAtStart - 0.005) << "finished bursts should have wiped patches of the dirt";

    game.key("Escape");
    ASSERT_TRUE(game.waitForOutput("/623170   ", 5s)) << game.output();
    const std::string out = game.output();
    EXPECT_EQ(out.find("Cleared: 623170/623170"), std::string::npos) << "some dirt should be gone: " << out;

    game.closeWindow();
    EXPECT_EQ(game.waitForExit(), 0);
}

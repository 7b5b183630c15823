// Local war with the real binary: four computer players, chosen on the menu's
// input page, count down, launch the one bubble and defend their corners.
#include <string>

#include <gtest/gtest.h>

#include "Flows.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {

// Ring pixels of a seat's colour inside its corner's quarter of the field.
int cornerPixels(const sf::Image& shot, sf::Color colour, int seat)
{
    const int left = seat % 2 == 0 ? 0 : 904;
    const int top = seat < 2 ? 95 : 600;
    return countNear(shot, colour, 30, {left, top, 120, 115});
}

}  // namespace

TEST(WarPlay, FourComputerPlayersDefendTheirCornersAgainstTheBubble)
{
    GameProcess game(windowed());
    ASSERT_NE(game.window(), 0ul);
    game.pause(500ms);
    leaveTitle(game);
    for (int i = 0; i < 4; ++i)
        clickMenuLine(game, 2);  // Tutorial -> Infinite -> Course -> Clean -> War Local
    clickMenuLine(game, 1);      // "Play": the input page, every seat on cpu
    clickMenuLine(game, 5);      // "Start"
    game.pause(1900ms);          // the menu slides out

    // During the countdown the four clusters stand and nothing flies yet.
    const sf::Image countdown = game.screenshot();
    // Ready, Set and GO! take about five seconds; then the bubble flies.
    game.pause(6500ms);
    const sf::Image shot = game.screenshot();
    // Kept for a look when the run keeps its directory (FROTHLET_KEEP_E2E).
    shot.saveToFile(game.directory() + "/war_play.png");
    countdown.saveToFile(game.directory() + "/war_countdown.png");

    const sf::Color seatColours[4] = {{250, 100, 100}, {100, 250, 100}, {100, 100, 250}, {250, 250, 100}};
    for (int s = 0; s < 4; ++s) {
        EXPECT_GT(cornerPixels(countdown, seatColours[s], s), 40) << "seat " << s << " before the launch";
        EXPECT_GT(cornerPixels(shot, seatColours[s], s), 20) << "seat " << s << " in play";
    }
    // The bubble: bright pixels away from the corners, the HUD and the bumpers
    // that were not there during the countdown.
    int appeared = 0;
    for (unsigned y = 130; y < 660; y += 1)
        for (unsigned x = 140; x < 884; x += 1) {
            const sf::Color a = countdown.getPixel(x, y);
            const sf::Color b = shot.getPixel(x, y);
            if (b.r + b.g + b.b > 600 && a.r + a.g + a.b < 450)
                ++appeared;
        }
    EXPECT_GT(appeared, 30) << "a bubble is in flight";
    EXPECT_TRUE(game.running());

    game.key("Escape");  // pause: back to the menu
    game.pause(1000ms);
    game.closeWindow();
    EXPECT_EQ(game.waitForExit(), 0);
}

// The front end with the real binary and real clicks: the title, the menu's
// pages, starting the Infinite mode, pausing and going on, an option that is
// saved, and leaving the game from anywhere.
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Flows.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {

// The menu takes a second to come in and a second to slide out and fade.
constexpr auto menuEnters = 1400ms;
constexpr auto menuLeaves = 1900ms;

const sf::Color green(133, 227, 114);  // type 1 of the seed-0 field
const sf::Color blue(120, 180, 240);   // type 4 of the seed-0 field
// The frosted card behind the menu items, over the dark slide.
const sf::Color card(196, 210, 208);

int microbePixels(const sf::Image& shot)
{
    return countNear(shot, green, 40, {0, 100, 1024, 620}) + countNear(shot, blue, 40, {0, 100, 1024, 620});
}

int cardPixels(const sf::Image& shot, sf::IntRect area = {110, 200, 310, 300})
{
    return countNear(shot, card, 28, area);
}

// Below the fifth item: the main page's card reaches here, the pause page's not.
const sf::IntRect belowFiveItems{110, 532, 310, 40};

std::vector<std::string> settingsLines(const GameProcess& game)
{
    std::ifstream file(game.directory() + "/settings.cfg");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

void startGame(GameProcess& game)
{
    ASSERT_TRUE(game.waitForOutput("starting main message loop\n"));
    ASSERT_NE(game.window(), 0u);
    game.pause(500ms);
}

}  // namespace

TEST(FrontEnd, TitleToInfiniteThenPauseAndContinue)
{
    GameProcess game(windowed());
    startGame(game);
    EXPECT_NE(game.output().find("Constructing Screen 0\n"), std::string::npos);
    EXPECT_NE(game.output().find("Constructing Screen 1\n"), std::string::npos);
    const sf::Image title = game.screenshot();
    EXPECT_GT(litShare(title), 0.5);
    EXPECT_LT(cardPixels(title), 500) << "no menu on the title";

    leaveTitle(game);
    const sf::Image main = game.screenshot();
    EXPECT_GT(cardPixels(main), 30000) << "the main menu's card should show";
    EXPECT_GT(cardPixels(main, belowFiveItems), 3000) << "the main page has six lines";

    clickMenuLine(game, 2);  // the mode item: Tutorial -> Infinite
    clickMenuLine(game, 1);  // "Play"
    clickMenuLine(game, 1);  // "Casual"
    game.pause(menuLeaves);
    const sf::Image field = game.screenshot();
    EXPECT_GT(microbePixels(field), 200) << "the Infinite field should be running";
    EXPECT_LT(cardPixels(field), 500);

    game.key("Escape");
    game.pause(menuEnters);
    const sf::Image paused = game.screenshot();
    EXPECT_LT(microbePixels(paused), microbePixels(field) / 5) << "Escape leaves the field for the menu";
    EXPECT_GT(cardPixels(paused), 30000);
    // A sixth line would fill thousands of these pixels; rising bubbles and
    // the field behind may tint a few hundred.
    EXPECT_LT(cardPixels(paused, belowFiveItems), 1500) << "the pause page has five lines";

    clickMenuLine(game, 1);  // "Continue"
    game.pause(menuLeaves);
    EXPECT_GT(microbePixels(game.screenshot()), 200) << "Continue goes back to the field";

    game.closeWindow();
    EXPECT_EQ(game.waitForExit(), 0);
}

TEST(FrontEnd, SoundVolumeChangesAreSaved)
{
    GameProcess game(windowed());
    startGame(game);
    leaveTitle(game);
    clickMenuLine(game, 3);  // "Options"
    clickMenuLine(game, 1);  // "Sound Volume", left button: quieter
    ASSERT_EQ(settingsLines(game).size(), 21u);
    EXPECT_EQ(settingsLines(game)[5], "40");
    clickMenuLine(game, 1, 3);
    clickMenuLine(game, 1, 3);  // right button: louder
    EXPECT_EQ(settingsLines(game)[5], "60");
    EXPECT_EQ(settingsLines(game)[18], "Tester") << "the rest of the file is kept";

    game.closeWindow();
    EXPECT_EQ(game.waitForExit(), 0);

    // The next start picks the saved volume up: one step down from 60 is 50.
    std::string saved;
    for (const std::string& line : settingsLines(game))
        saved += line + "\n";
    LaunchOptions again = windowed();
    again.settings = saved;
    GameProcess next(again);
    startGame(next);
    leaveTitle(next);
    clickMenuLine(next, 3);  // "Options"
    clickMenuLine(next, 1);  // "Sound Volume", quieter
    EXPECT_EQ(settingsLines(next)[5], "50");
    next.closeWindow();
    EXPECT_EQ(next.waitForExit(), 0);
}

// Closing the window ends the game cleanly wherever the player is, and so
// does "Exit".
class FrontEndLeaving : public ::testing::TestWithParam<int> {};

TEST_P(FrontEndLeaving, EndsWithStatusZero)
{
    GameProcess game(windowed());
    startGame(game);
    const int where = GetParam();
    if (where >= 1)
        leaveTitle(game);
    if (where == 2)
        clickMenuLine(game, 1);  // "Play": the difficulty page
    if (where == 3)
        clickMenuLine(game, 6);  // "Exit"
    else
        game.closeWindow();
    EXPECT_EQ(game.waitForExit(), 0);
}

std::string placeName(const ::testing::TestParamInfo<int>& info)
{
    static const char* const names[] = {"CloseOnTitle", "CloseOnMainMenu", "CloseOnDifficulty",
                                        "ExitItem"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Pages, FrontEndLeaving, ::testing::Values(0, 1, 2, 3), placeName);

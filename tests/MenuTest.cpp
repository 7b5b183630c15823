// The menu without a window: which item the pointer is over, what every kind
// of item does to the game's context, and the way the screen's states hand
// over to a game.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <SFML/Window/Context.hpp>
#include <gtest/gtest.h>

#include "app/GameContext.h"
#include "app/cScreen.h"
#include "frontend/Menu.h"

namespace fs = std::filesystem;

namespace {

struct HoverCase {
    int x;
    int y;
    int expected;
};

class HoverTest : public ::testing::TestWithParam<HoverCase> {};

TEST_P(HoverTest, PointerHitsOnlyTheItemBoxes)
{
    const std::vector<MenuPage> pages = buildMenuPages();
    const HoverCase c = GetParam();
    EXPECT_EQ(hoverAt(pages[PageMainMenu], c.x, c.y), c.expected) << c.x << ", " << c.y;
}

INSTANTIATE_TEST_SUITE_P(MainPage, HoverTest,
                         ::testing::Values(HoverCase{109, 230, 0},   // left of every box
                                           HoverCase{421, 230, 0},   // right of every box
                                           HoverCase{110, 162, 0},   // the title never hovers
                                           HoverCase{110, 223, 1},   // item 1 spans 222.72..257.72
                                           HoverCase{420, 257, 1},
                                           HoverCase{300, 222, 0},   // the top edge is outside
                                           HoverCase{300, 258, 0},   // the gap below item 1
                                           HoverCase{300, 290, 2},
                                           HoverCase{300, 530, 6}));

TEST(MenuLayout, ItemsSlideOutFasterAndFaster)
{
    const float offScreen = 1024.f - menuLayout::itemX;
    EXPECT_EQ(menuLayout::slideOffset(0), 0.f);
    EXPECT_FLOAT_EQ(menuLayout::slideOffset(10), 10.f);
    EXPECT_LT(menuLayout::slideOffset(21), offScreen);
    EXPECT_GT(menuLayout::slideOffset(22), offScreen);
    EXPECT_EQ(menuLayout::slideOffset(23), 1443.f) << "capped once past 1442";
    EXPECT_EQ(menuLayout::slideOffset(59), 1443.f);
}

class MenuTest : public ::testing::Test {
protected:
    // One display connection for the suite keeps Xvfb up between tests (the
    // size option asks for the desktop's size).
    static void SetUpTestSuite() { s_display = std::make_unique<sf::Context>(); }
    static void TearDownTestSuite() { s_display.reset(); }

    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "frothlet-menu-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_directory = pattern;
        ctx = std::make_unique<GameContext>();
        ctx->settingsPrefix = m_directory + "/";
        ctx->modeList = {2, 3, 4, 5, 6, 7};
        menu = std::make_unique<Menu>(*ctx);
    }

    void TearDown() override { fs::remove_all(m_directory); }

    // The index of the item with this label on a page.
    int itemOn(int page, const std::string& label) const
    {
        const MenuPage items = buildMenuPages()[static_cast<std::size_t>(page)];
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].label == label)
                return static_cast<int>(i);
        ADD_FAILURE() << "no item " << label << " on page " << page;
        return 0;
    }

    int press(int page, const std::string& label, bool left = true)
    {
        menu->page = page;
        return menu->perform(itemOn(page, label), left);
    }

    std::string valueOf(int page, const std::string& label)
    {
        menu->page = page;
        return menu->valueOf(itemOn(page, label));
    }

    std::vector<std::string> savedLines() const
    {
        std::ifstream file(m_directory + "/settings.cfg");
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);)
            lines.push_back(line);
        return lines;
    }

    void stepUntilInteractive()
    {
        for (int i = 0; i < Menu::stateSteps && menu->state != MenuState::Interactive; ++i)
            menu->step();
        ASSERT_EQ(menu->state, MenuState::Interactive);
    }

    static inline std::unique_ptr<sf::Context> s_display;
    std::string m_directory;
    std::unique_ptr<GameContext> ctx;
    std::unique_ptr<Menu> menu;
};

TEST_F(MenuTest, UpdateItemShowsOnlyWhenANewerVersionExists)
{
    const MenuPage& main = menu->currentPage();
    const int y = static_cast<int>(menuLayout::itemY(Menu::mainItemUpdate)) + 10;
    ASSERT_EQ(main[Menu::mainItemUpdate].label, "Update");

    menu->state = MenuState::Interactive;
    menu->pointerMoved(200, y);
    EXPECT_EQ(menu->hovered, 0);
    EXPECT_FALSE(menu->itemShown(Menu::mainItemUpdate));

    ctx->newerVersionAvailable = true;
    menu->pointerMoved(200, y);
    EXPECT_EQ(menu->hovered, Menu::mainItemUpdate);
    EXPECT_TRUE(menu->itemShown(Menu::mainItemUpdate));

    ctx->newerVersionAvailable = false;
    menu->page = PageOptions;
    for (int i = 0; i < static_cast<int>(menu->currentPage().size()); ++i)
        EXPECT_TRUE(menu->itemShown(i)) << "every line of the other pages shows, title too";
}

TEST_F(MenuTest, SizeCyclingWrapsBothWaysAndIsSaved)
{
    ctx->settings.sizeIndex = 7;
    press(PageGraphicsOptions, "Size: ", true);
    EXPECT_EQ(ctx->settings.sizeIndex, 0);
    EXPECT_EQ(valueOf(PageGraphicsOptions, "Size: "), "Desktop");
    ASSERT_EQ(savedLines().size(), 21u);
    EXPECT_EQ(savedLines()[0], "0");

    press(PageGraphicsOptions, "Size: ", false);
    EXPECT_EQ(ctx->settings.sizeIndex, 7);
    EXPECT_EQ(valueOf(PageGraphicsOptions, "Size: "), "1920x1080");
    EXPECT_EQ(ctx->settings.windowWidth, 1920);
    EXPECT_EQ(savedLines()[0], "7");
    EXPECT_EQ(savedLines()[1], "1920");
}

TEST_F(MenuTest, SensitivityStopsAtBothEndsWithItsBar)
{
    ctx->settings.sensitivityIndex = 0;
    press(PageControllerOptions, "Sensitivity: ", true);
    EXPECT_EQ(ctx->settings.sensitivityIndex, 0);
    EXPECT_EQ(valueOf(PageControllerOptions, "Sensitivity: "), ".........");

    for (int i = 0; i < 12; ++i)
        press(PageControllerOptions, "Sensitivity: ", false);
    EXPECT_EQ(ctx->settings.sensitivityIndex, 9);
    EXPECT_FLOAT_EQ(ctx->settings.sensitivity, 0.7f);
    EXPECT_EQ(valueOf(PageControllerOptions, "Sensitivity: "), "|||||||||");
    EXPECT_EQ(savedLines()[13], "9");
}

struct DeviceCase {
    int page;
    const char* label;
    int from;
    bool left;
    int to;
    const char* shown;
};

class MenuDeviceTest : public MenuTest, public ::testing::WithParamInterface<DeviceCase> {};

TEST_P(MenuDeviceTest, CyclesThroughItsDevices)
{
    const DeviceCase c = GetParam();
    int* device = c.page == PageInputSelection ? &ctx->seats[0].device
                  : c.page == PageNetworkSetup ? &ctx->net.localDevice
                                               : &ctx->settings.inputDevice;
    *device = c.from;
    press(c.page, c.label, c.left);
    EXPECT_EQ(*device, c.to);
    EXPECT_EQ(valueOf(c.page, c.label), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, MenuDeviceTest,
    ::testing::Values(DeviceCase{PageInputSelection, "Player 1: ", 0, false, 12, "\t[ cpu ]"},
                      DeviceCase{PageInputSelection, "Player 1: ", 12, true, 0, "\t[ joy1 ]"},
                      DeviceCase{PageInputSelection, "Player 1: ", 10, false, 3, "\t[ joy4 ]"},
                      DeviceCase{PageInputSelection, "Player 1: ", 11, true, 12, "\t[ cpu ]"},
                      DeviceCase{PageControllerOptions, "Input: ", 11, true, 0, "\t[ joy1 ]"},
                      DeviceCase{PageControllerOptions, "Input: ", 0, false, 11, "\t[ keyboard ]"},
                      DeviceCase{PageNetworkSetup, "Input: ", 3, true, 10, "\t[ mouse ]"},
                      DeviceCase{PageNetworkSetup, "Input: ", 0, false, 11, "\t[ keyboard ]"}));

TEST_F(MenuTest, ChangingTheInputLetsGoOfTheOldDevicesPaddleTarget)
{
    // The mouse left the pointer's x (900 px) there; the keyboard would read
    // it as a push of 30 m/s to the right.
    ctx->settings.inputDevice = DeviceMouse;
    ctx->paddleTarget = 900.f;
    press(PageControllerOptions, "Input: ", true);
    ASSERT_EQ(ctx->settings.inputDevice, DeviceKeyboard);
    EXPECT_EQ(ctx->paddleTarget, 0.f);
}

TEST_F(MenuTest, OtherSeatsKeepTheirDevices)
{
    press(PageInputSelection, "Player 3: ", true);
    EXPECT_EQ(ctx->seats[2].device, 0);
    EXPECT_EQ(ctx->seats[0].device, 12);
    EXPECT_EQ(ctx->seats[1].device, 12);
    EXPECT_EQ(ctx->seats[3].device, 12);
}

TEST_F(MenuTest, UpgradeCostsThreeCoinsAndIsRefusedWithout)
{
    ctx->coins = 3;
    testing::internal::CaptureStdout();
    press(PageUpgrade, "Wall");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "counts left 0");
    EXPECT_EQ(ctx->coins, 0);
    EXPECT_EQ(ctx->upgradeBits, 1);
    EXPECT_EQ(menu->coinsLine(), "Coins: 0");

    testing::internal::CaptureStdout();
    press(PageUpgrade, "Freeze");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(ctx->coins, 0);
    EXPECT_EQ(ctx->upgradeBits, 1);
}

TEST_F(MenuTest, ModeItemCyclesBothWaysAndWraps)
{
    ctx->modeIndex = 0;
    ctx->selectedMode = 2;
    press(PageMainMenu, "Mode", true);
    EXPECT_EQ(ctx->selectedMode, 3);
    EXPECT_EQ(menu->labelOf(2), "Mode   [Infinite]");

    press(PageMainMenu, "Mode", false);
    press(PageMainMenu, "Mode", false);
    EXPECT_EQ(ctx->selectedMode, 7);
    EXPECT_EQ(ctx->modeIndex, 5);
    EXPECT_EQ(menu->labelOf(2), "Mode   [War Net]");
    press(PageMainMenu, "Mode", true);
    EXPECT_EQ(ctx->selectedMode, 2);
}

TEST_F(MenuTest, PlayLeadsToTheModesOwnSetupPage)
{
    const std::vector<std::pair<int, int>> modeToPage = {
        {2, PageDifficulty},    {3, PageDifficulty},     {4, PageCourseOptions},
        {5, PageDifficulty},    {6, PageInputSelection}, {7, PageNetworkSetup}};
    for (const auto& [mode, page] : modeToPage) {
        ctx->selectedMode = mode;
        press(PageMainMenu, "Play");
        EXPECT_EQ(menu->page, page) << "mode " << mode;
        EXPECT_EQ(menu->previousPage, PageMainMenu);
    }
    // The course's "Start" goes on to the difficulties, not back to its own page.
    ctx->selectedMode = 4;
    press(PageCourseOptions, "Start");
    EXPECT_EQ(menu->page, PageDifficulty);
}

TEST_F(MenuTest, BackReturnsToThePageThatOpenedOptions)
{
    press(PagePauseMenu, "Options");
    EXPECT_EQ(menu->page, PageOptions);
    menu->perform(itemOn(PageOptions, "Graphics Options"), true);
    menu->perform(itemOn(PageGraphicsOptions, "Back"), true);
    EXPECT_EQ(menu->page, PageOptions);
    menu->perform(itemOn(PageOptions, "Back"), true);
    EXPECT_EQ(menu->page, PagePauseMenu);
}

TEST_F(MenuTest, DifficultyComesFromTheItemsPosition)
{
    press(PageDifficulty, "Hard");
    EXPECT_EQ(ctx->difficulty, Hard);
    EXPECT_EQ(menu->state, MenuState::Leaving);
    press(PageInputSelection, "Start");
    EXPECT_EQ(ctx->difficulty, 4);
    press(PageNetworkSetup, "Host");
    EXPECT_TRUE(ctx->net.isHost);
    EXPECT_EQ(ctx->difficulty, Hard);
    press(PageNetworkSetup, "Connect");
    EXPECT_FALSE(ctx->net.isHost);
}

TEST_F(MenuTest, VolumesStepByTenAndAreSaved)
{
    ctx->audio.setSoundVolume(50.f);
    press(PageOptions, "Sound Volume", true);
    EXPECT_EQ(ctx->audio.soundVolume(), 40.f);
    EXPECT_EQ(valueOf(PageOptions, "Sound Volume"), "||||......");
    EXPECT_EQ(savedLines()[5], "40");

    ctx->audio.setMusicVolume(95.f, true);
    press(PageOptions, "Music Volume", false);
    EXPECT_EQ(ctx->audio.musicVolume(), 100.f);
    EXPECT_EQ(valueOf(PageOptions, "Music Volume"), "||||||||||");
    EXPECT_EQ(savedLines()[6], "100");
}

TEST_F(MenuTest, AFadeAfterLeavingAGameNeverReachesTheSettingsFile)
{
    // The player plays with the music at 60 and pauses: the game music fades out.
    ctx->audio.setMusicVolume(60.f, true);
    ctx->audio.startMenuTune();
    ctx->audio.startGameMusic();
    for (int i = 0; i < 120; ++i)
        ctx->audio.fadeStep();
    ctx->audio.enterMenuMusic();
    for (int i = 0; i < 40; ++i)
        menu->step();
    ASSERT_EQ(ctx->audio.musicVolume(), 40.f) << "still fading";

    press(PageGraphicsOptions, "Particles: ");
    EXPECT_EQ(savedLines()[6], "60");
    EXPECT_EQ(valueOf(PageOptions, "Music Volume"), "||||||....");
    press(PageOptions, "Music Volume", false);
    EXPECT_EQ(savedLines()[6], "70");
    EXPECT_EQ(valueOf(PageOptions, "Music Volume"), "|||||||...");
}

TEST_F(MenuTest, DailyCourseKeepsTheBestOfTheDayNextToTheSettings)
{
    testing::internal::CaptureStdout();
    press(PageCourseOptions, "Daily Course");
    EXPECT_TRUE(ctx->restartRequested);
    EXPECT_EQ(ctx->course.dailyDate(), isoDate(todayUtc()));
    EXPECT_EQ(ctx->course.code(), "9-" + std::to_string(dailySeed(todayUtc())) + "-1");
    EXPECT_EQ(menu->dailyBestLine(), "Best of the day: not played yet");

    // The course screen plays the nine levels and hands over "Course Over".
    for (int level = 0; level < 9; ++level) {
        ctx->course.levelThrows.push_back(2);
        ctx->course.levelPoints.push_back(100);
        ctx->course.currentLevel += 1;
    }
    ctx->requestedPage = PageCourseOverMenu;
    menu->state = MenuState::Entering;
    stepUntilInteractive();
    std::ifstream file(m_directory + "/daily.cfg");
    std::string date, throws, points;
    std::getline(file, date);
    std::getline(file, throws);
    std::getline(file, points);
    EXPECT_EQ(date, isoDate(todayUtc()));
    EXPECT_EQ(throws, "18");
    EXPECT_EQ(points, "900");
    EXPECT_EQ(menu->dailyBestLine(), "Best of the day: 18 throws, 900 points");

    // Again the same day: the course starts over, the best stays.
    press(PageCourseOptions, "Daily Course");
    EXPECT_EQ(ctx->course.currentLevel, 0);
    EXPECT_TRUE(ctx->course.levelThrows.empty());
    EXPECT_EQ(menu->dailyBestLine(), "Best of the day: 18 throws, 900 points");
    press(PageCourseOptions, "New Course");
    EXPECT_EQ(menu->dailyBestLine(), "");
    testing::internal::GetCapturedStdout();
}

TEST_F(MenuTest, SymbolsToggleIsSavedAsTheTwentyFirstLine)
{
    EXPECT_EQ(valueOf(PageGraphicsOptions, "Symbols: "), "Off");
    press(PageGraphicsOptions, "Symbols: ");
    EXPECT_TRUE(ctx->settings.symbols);
    EXPECT_EQ(valueOf(PageGraphicsOptions, "Symbols: "), "On");
    ASSERT_EQ(savedLines().size(), 21u);
    EXPECT_EQ(savedLines()[20], "1");
    press(PageGraphicsOptions, "Symbols: ");
    EXPECT_EQ(savedLines()[20], "0");
}

TEST_F(MenuTest, TogglesFlipAndAreSaved)
{
    const bool before = ctx->settings.particles;
    press(PageGraphicsOptions, "Particles: ");
    EXPECT_NE(ctx->settings.particles, before);
    EXPECT_EQ(valueOf(PageGraphicsOptions, "Particles: "), before ? "Off" : "On");
    EXPECT_EQ(savedLines()[12], before ? "0" : "1");
}

TEST_F(MenuTest, TypedNameIsStoredAndSavedOnEnter)
{
    press(PageNetworkSetup, "Name: ");
    ASSERT_TRUE(menu->editor.active());
    for (char c : std::string("Dr Froth"))
        menu->typed(static_cast<unsigned>(c));
    EXPECT_EQ(valueOf(PageNetworkSetup, "Name: "), "Dr Froth");
    menu->state = MenuState::Interactive;
    EXPECT_EQ(menu->click(true), Menu::stay) << "clicks are ignored while typing";
    menu->typed(LineEditor::enterKey);
    EXPECT_FALSE(menu->editor.active());
    EXPECT_EQ(ctx->settings.playerName, "Dr Froth");
    EXPECT_EQ(savedLines()[18], "Dr Froth");
}

TEST_F(MenuTest, TypedCourseCodeRebuildsTheCourse)
{
    press(PageCourseOptions, "Course Code: ");
    for (char c : std::string("5-77-3"))
        menu->typed(static_cast<unsigned>(c));
    menu->typed(LineEditor::enterKey);
    EXPECT_EQ(ctx->course.code(), "5-77-1");
    EXPECT_EQ(ctx->course.levels.size(), 5u);
    EXPECT_EQ(valueOf(PageCourseOptions, "Course Code: "), "5-77-1");
}

TEST_F(MenuTest, CourseItemsRegenerateAndAskForAFreshRound)
{
    ctx->selectedMode = 4;
    ctx->course.generate(9, 4660);
    press(PageCourseOptions, "Rounds: ", true);
    EXPECT_EQ(ctx->course.rounds, 10);
    EXPECT_EQ(ctx->course.seed, 4660u);
    EXPECT_TRUE(ctx->restartRequested);

    ctx->course.generate(30, 4660);
    press(PageCourseOptions, "Rounds: ", true);
    EXPECT_EQ(ctx->course.rounds, 1) << "wraps round to one";
    press(PageCourseOptions, "Rounds: ", false);
    EXPECT_EQ(ctx->course.rounds, 30);

    press(PageCourseOptions, "New Course");
    EXPECT_GE(ctx->course.seed, 1u);
    EXPECT_EQ(ctx->course.rounds, 30);

    press(PagePauseMenu, "Restart");
    EXPECT_TRUE(ctx->course.restarted);
    press(PageCourseOverMenu, "Retry Course");
    EXPECT_FALSE(ctx->course.restarted);

    ctx->restartRequested = false;
    press(PageRoundOverMenu, "Main Menu");
    EXPECT_EQ(ctx->course.rounds, 9);
    EXPECT_LE(ctx->course.seed, 65535u);
    EXPECT_TRUE(ctx->restartRequested);
    EXPECT_EQ(menu->page, PageMainMenu);
}

TEST_F(MenuTest, MainMenuFromCleanModeLaysAFreshLayerOfDirt)
{
    ctx->selectedMode = ScreenClean;
    ASSERT_TRUE(ctx->dirtLayer.create(16, 16));
    ctx->dirtLayer.clear(sf::Color::Transparent);  // as if wiped clean
    ctx->dirtLayer.display();
    ctx->cleanedPercent = 55.f;
    ctx->restartRequested = false;
    press(PageRoundOverMenu, "Main Menu");
    EXPECT_EQ(ctx->dirtLayer.getTexture().copyToImage().getPixel(8, 8), sf::Color(97, 83, 48, 100));
    EXPECT_TRUE(ctx->dirtLayer.isSmooth());
    EXPECT_EQ(ctx->cleanedPercent, 0.f);
    EXPECT_TRUE(ctx->restartRequested);
    EXPECT_EQ(menu->page, PageMainMenu);
}

TEST_F(MenuTest, ExitStopsTheMenuTuneAndQuits)
{
    ctx->audio.startMenuTune();
    EXPECT_EQ(press(PageMainMenu, "Exit"), -1);
    EXPECT_FALSE(ctx->audio.menuTunePlaying());
}

TEST_F(MenuTest, ShowsTheRequestedPageAfterEntering)
{
    ctx->requestedPage = PagePause;
    stepUntilInteractive();
    EXPECT_EQ(menu->page, PagePauseMenu);
    EXPECT_EQ(ctx->requestedPage, -1);
    EXPECT_GT(menu->particles.particleCount(), 0) << "bubbles rise while the menu enters";
}

TEST_F(MenuTest, StartingAGameSlidesFadesAndHandsOver)
{
    ctx->requestedPage = PageMainMenu;
    ctx->selectedMode = ScreenInfinite;
    stepUntilInteractive();
    menu->pointerMoved(200, static_cast<int>(menuLayout::itemY(1)) + 10);
    EXPECT_EQ(menu->click(true), Menu::stay);
    ASSERT_EQ(menu->page, PageDifficulty);
    menu->pointerMoved(200, static_cast<int>(menuLayout::itemY(1)) + 10);
    EXPECT_EQ(menu->click(true), Menu::stay);
    ASSERT_EQ(menu->state, MenuState::Leaving);
    EXPECT_EQ(ctx->difficulty, Casual);

    int started = Menu::stay;
    int steps = 0;
    while (started == Menu::stay && steps++ < 200) {
        started = menu->step().startMode;
        if (menu->state == MenuState::FadingOut) {
            EXPECT_EQ(menu->slideOffset(), 1443.f) << "the items stay out of sight while the menu fades";
        }
    }
    EXPECT_EQ(started, ScreenInfinite);
    EXPECT_EQ(steps, Menu::stateSteps + 12) << "60 steps of slide, then the fade passes 254";
    ASSERT_EQ(ctx->statistics.events().size(), 1u);
    EXPECT_EQ(ctx->statistics.events()[0].name, "start game");
    EXPECT_EQ(ctx->statistics.events()[0].value, ScreenInfinite);
    EXPECT_TRUE(ctx->audio.gameMusicOn());
    EXPECT_EQ(menu->state, MenuState::Entering);
    EXPECT_EQ(menu->page, PageRoundOverMenu) << "a game that asks for no page finds Round Over";
}

TEST_F(MenuTest, EveryGameStartIsLoggedInOrder)
{
    for (const int mode : {ScreenInfinite, ScreenClean, ScreenCourse}) {
        ctx->selectedMode = mode;
        stepUntilInteractive();
        press(PageDifficulty, "Casual");
        int started = Menu::stay;
        for (int i = 0; i < 200 && started == Menu::stay; ++i)
            started = menu->step().startMode;
        EXPECT_EQ(started, mode);
    }
    const auto& events = ctx->statistics.events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].value, ScreenInfinite);
    EXPECT_EQ(events[1].value, ScreenClean);
    EXPECT_EQ(events[2].value, ScreenCourse);
    for (const auto& e : events)
        EXPECT_EQ(e.name, "start game");
}

TEST_F(MenuTest, RedoTutorialStartsItAfreshAndSelectsIt)
{
    ctx->selectedMode = ScreenInfinite;
    ctx->modeIndex = 1;
    stepUntilInteractive();
    press(PageTutorialCompleteMenu, "Redo Tutorial");
    EXPECT_EQ(ctx->selectedMode, ScreenTutorial);
    EXPECT_EQ(ctx->modeIndex, 0) << "the mode item goes on from the tutorial";
    EXPECT_TRUE(ctx->restartRequested) << "from step 0, not where an earlier run stopped";
    EXPECT_EQ(menu->state, MenuState::Leaving);
}

TEST_F(MenuTest, ClicksOnNothingAndBeforeEnteringDoNothing)
{
    EXPECT_EQ(menu->click(true), Menu::stay);
    EXPECT_EQ(menu->page, PageMainMenu);
    stepUntilInteractive();
    menu->pointerMoved(700, 400);
    EXPECT_EQ(menu->click(true), Menu::stay);
    EXPECT_EQ(menu->page, PageMainMenu);
}

TEST_F(MenuTest, DifficultyHelpFollowsTheMode)
{
    menu->page = PageDifficulty;
    ctx->selectedMode = ScreenInfinite;
    EXPECT_TRUE(menu->descriptionOf(1).toAnsiString().starts_with("Casual - Clear 80% of the microbes"));
    ctx->selectedMode = ScreenClean;
    EXPECT_EQ(menu->descriptionOf(3).toAnsiString(), "Hard - Clear 90% of the background \ncomplete each level");
}

}  // namespace

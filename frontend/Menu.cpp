#include "frontend/Menu.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <span>

#include <SFML/Graphics/RenderWindow.hpp>

#include "app/GameContext.h"
#include "app/cScreen.h"
#include "app/Settings.h"
#include "frontend/WebSite.h"
#include "screens/DailyBest.h"
#include "world/Effects.h"
#include "world/Recording.h"

namespace {

const char* const mainMenuHelp = "Back to Main Menu. All progress will\nbe lost.";

MenuItem title(const char* label)
{
    return {label, "", ActionPageTitle, 0};
}

MenuItem item(const char* label, int action, int parameter = 0, const char* description = "")
{
    return {label, description, action, parameter};
}

MenuItem mainMenuItem()
{
    return item("Main Menu", ActionMainMenu, 0, mainMenuHelp);
}

MenuItem watchReplayItem()
{
    return item("Watch Replay", ActionWatchReplay, 0,
                "Watch the round again as it was played.\n\nSpace doubles the speed, Escape\nreturns here.");
}

MenuPage mainPage()
{
    return {title("Main Menu"),
            item("Play", ActionOpenPage, PageDifficulty, "Start the game."),
            item("Mode", ActionCycleMode),
            item("Options", ActionOpenPage, PageOptions),
            item("Help", ActionHelpPage, 0,
                 "Opens the default web browser to\nthe online help page."),
            item("Newsletter", ActionNewsletterPage, 0,
                 "Receive updates about development.\n\nOpens the default web browser to\n"
                 "the newsletter sign up page."),
            item("Exit", ActionExit),
            item("Update", ActionUpdatePage, 0,
                 "A new version is available. Update now!\n\nOpens the default web browser to\n"
                 "the update page.")};
}

MenuPage difficultyPage()
{
    return {title("Difficulty"),
            item("Casual", ActionStartAtDifficulty, 0,
                 "Casual - Clear 80% of the microbes to \ncomplete each level, a very relaxing \n"
                 "easy going way to play"),
            item("Normal", ActionStartAtDifficulty, 0,
                 "Normal - Clear 90% of the microbes to \ncomplete each level"),
            item("Hard", ActionStartAtDifficulty, 0,
                 "Hard - Clear 100% of the microbes\nto complete each level."),
            item("Back", ActionOpenPage, PageMainMenu)};
}

// In clean mode the difficulties ask for a share of the background instead.
const std::array<const char*, 3> cleanDifficultyHelp = {
    "Casual - Clear 30% of the background \ncomplete each level",
    "Normal - Clear 60% of the background \ncomplete each level",
    "Hard - Clear 90% of the background \ncomplete each level",
};

}  // namespace

std::vector<MenuPage> buildMenuPages()
{
    std::vector<MenuPage> pages(menuPageCount);
    pages[PageMainMenu] = mainPage();
    pages[PageUpgrade] = {title("Upgrade"), item("Wall", ActionBuyUpgrade, 1),
                          item("Grav", ActionBuyUpgrade, 2), item("Freeze", ActionBuyUpgrade, 4),
                          item("Back", ActionOpenPage, PageMainMenu)};
    pages[PageOptions] = {title("Options"),
                          item("Sound Volume", ActionSoundVolume),
                          item("Music Volume", ActionMusicVolume),
                          item("Lock Mouse: ", ActionLockMouse),
                          item("Auto Pause: ", ActionAutoPause),
                          // Keeping the previous page lets "Back" on Options still
                          // find the page that opened it after a visit to these.
                          item("Graphics Options", ActionOpenPageKeepPrevious, PageGraphicsOptions),
                          item("Control Options", ActionOpenPageKeepPrevious, PageControllerOptions),
                          item("Back", ActionBack)};
    pages[PagePauseMenu] = {title("Pause"),
                            item("Continue", ActionContinue),
                            item("Restart", ActionRestart, 0,
                                 "Restarts the current level. \n\nWARNING: This will disqualify "
                                 "your score \nand remove the share code!"),
                            item("Options", ActionOpenPage, PageOptions),
                            mainMenuItem(),
                            item("Exit", ActionExit)};
    pages[PageDifficulty] = difficultyPage();
    pages[PageRoundOverMenu] = {title("Round Over"), item("Continue", ActionContinue),
                                mainMenuItem(), item("Exit", ActionExit), watchReplayItem()};
    pages[PageInputSelection] = {title("Input Selection"),
                                 item("Player 1: ", ActionSeatDevice, 0),
                                 item("Player 2: ", ActionSeatDevice, 1),
                                 item("Player 3: ", ActionSeatDevice, 2),
                                 item("Player 4: ", ActionSeatDevice, 3),
                                 item("Start", ActionStartAtDifficulty),
                                 item("Back", ActionBack)};
    pages[PageNetworkSetup] = {title("Network Setup"),
                               item("Input: ", ActionNetDevice),
                               item("Name: ", ActionPlayerName),
                               item("Host Address: ", ActionHostAddress),
                               item("Connect", ActionConnect),
                               item("Host", ActionHost),
                               item("Back", ActionBack)};
    pages[PageCourseOptions] = {title("Course Options"),
                                item("Start", ActionOpenPage, PageDifficulty),
                                item("Rounds: ", ActionRounds),
                                item("Course Code: ", ActionCourseCode),
                                item("New Course", ActionNewCourse),
                                item("Daily Course", ActionDailyCourse, 0,
                                     "Today's course: the same nine levels\nfor every player until midnight UTC.\n\nCompare your best with a friend's\nby its course code."),
                                item("Back", ActionBack)};
    pages[PageCourseOverMenu] = {title("Course Over"), item("Retry Course", ActionRetryCourse),
                                 mainMenuItem(), item("Exit", ActionExit), watchReplayItem()};
    pages[PageGraphicsOptions] = {title("Graphics Options"),
                                  item("Size: ", ActionWindowSize),
                                  item("", ActionNone),
                                  item("Vsync: ", ActionVsync),
                                  item("Show Mouse: ", ActionShowMouse),
                                  item("Particles: ", ActionParticles),
                                  item("Symbols: ", ActionSymbols, 0,
                                       "Draws a small symbol inside every\nmicrobe, one for each kind, so no\nrule of the game needs colour vision."),
                                  item("", ActionNone),
                                  item("Back", ActionOpenPageKeepPrevious, PageOptions)};
    pages[PageControllerOptions] = {title("Controller Options"),
                                    item("Input: ", ActionInputDevice),
                                    item("Sensitivity: ", ActionSensitivity),
                                    item("Back", ActionOpenPageKeepPrevious, PageOptions)};
    pages[PageTutorialCompleteMenu] = {title("Tutorial Complete"),
                                       item("Redo Tutorial", ActionRedoTutorial), mainMenuItem()};
    return pages;
}

std::string deviceLabel(int device)
{
    switch (device) {
    case 0: return "\t[ joy1 ]";
    case 1: return "\t[ joy2 ]";
    case 2: return "\t[ joy3 ]";
    case 3: return "\t[ joy4 ]";
    case DeviceMouse: return "\t[ mouse ]";
    case DeviceKeyboard: return "\t[ keyboard ]";
    case DeviceComputer: return "\t[ cpu ]";
    default: return {};
    }
}

std::string barText(int filled, int width)
{
    filled = std::clamp(filled, 0, width);
    return std::string(static_cast<std::size_t>(filled), '|') +
           std::string(static_cast<std::size_t>(width - filled), '.');
}

std::string modeLabel(int screen)
{
    switch (screen) {
    case 2: return "Mode   [Tutorial]";
    case 3: return "Mode   [Infinite]";
    case 4: return "Mode   [Course]";
    case 5: return "Mode   [Clean]";
    case 6: return "Mode   [War Local]";
    case 7: return "Mode   [War Net]";
    default: return "Mode";
    }
}

std::string modeDescription(int screen)
{
    switch (screen) {
    case 2: return "Tutorial Mode - How to play the game.";
    case 3:
        return "Infinite Mode - Play a continual game\nthat never ends, great way to pass \nthe "
               "time. Launch the bubble and keep it \naloft using the bottom paddle, bursting\nas "
               "many microbes as you can.";
    case 4:
        return "Course Mode - 9 levels are generated \nfor you and you must complete them \nusing "
               "the least amount of bubbles.";
    case 5:
        return "Cleaning Mode - Clear the area using \nchain reactions using the least \namount of "
               "bubbles.";
    case 6:
        return "War Mode - Combat four other\nplayers for total domination.\nThis is the local "
               "multiplayer mode.";
    case 7:
        return "War Mode Net - Combat four other\nplayers for total domination.\nThis is the "
               "networked multiplayer mode.";
    default: return {};
    }
}

namespace {

constexpr std::array<int, 6> playerDevices = {0, 1, 2, 3, DeviceMouse, DeviceKeyboard};
constexpr std::array<int, 7> seatDevices = {0, 1, 2, 3, DeviceMouse, DeviceKeyboard, DeviceComputer};

// The next (or previous) device of a cycle; a device not in it starts the
// cycle over.
int cycleDevice(int device, std::span<const int> cycle, bool forward)
{
    const auto found = std::find(cycle.begin(), cycle.end(), device);
    const int count = static_cast<int>(cycle.size());
    if (found == cycle.end())
        return forward ? cycle.front() : cycle.back();
    const int at = static_cast<int>(found - cycle.begin());
    return cycle[static_cast<std::size_t>((at + (forward ? 1 : count - 1)) % count)];
}

std::string onOff(bool flag)
{
    return flag ? "On" : "Off";
}

}  // namespace

Menu::Menu(GameContext& ctx) : m_ctx(ctx), m_pages(buildMenuPages())
{
    m_coinsLine = "Coins: " + std::to_string(ctx.coins);
}

bool Menu::itemShown(int item) const
{
    const int hidden = hiddenItem();
    return hidden == 0 || item != hidden;
}

int Menu::hiddenItem() const
{
    // "Update" appears only once the site has told of a newer version.
    return page == PageMainMenu && !m_ctx.newerVersionAvailable ? mainItemUpdate : 0;
}

std::string Menu::labelOf(int item) const
{
    const MenuItem& it = currentPage()[static_cast<std::size_t>(item)];
    if (it.action == ActionCycleMode)
        return modeLabel(m_ctx.selectedMode);
    return it.label;
}

std::string Menu::valueOf(int item) const
{
    const MenuItem& it = currentPage()[static_cast<std::size_t>(item)];
    const GameSettings& s = m_ctx.settings;
    const auto typedOr = [&](LineEditor::Mode mode, const std::string& stored) {
        return editor.mode() == mode ? editor.buffer() : stored;
    };
    switch (it.action) {
    case ActionLockMouse: return onOff(s.lockMouse);
    case ActionAutoPause: return onOff(s.autoPause);
    case ActionVsync: return onOff(s.vsync);
    case ActionShowMouse: return onOff(s.showMouse);
    case ActionParticles: return onOff(s.particles);
    case ActionSymbols: return onOff(s.symbols);
    case ActionWindowSize:
        if (s.sizeIndex <= 0 || s.sizeIndex > 7)
            return "Desktop";
        return std::to_string(m_ctx.windowWidths[static_cast<std::size_t>(s.sizeIndex)]) + "x" +
               std::to_string(m_ctx.windowHeights[static_cast<std::size_t>(s.sizeIndex)]);
    case ActionInputDevice: return deviceLabel(s.inputDevice);
    case ActionNetDevice: return deviceLabel(m_ctx.net.localDevice);
    case ActionSeatDevice:
        return deviceLabel(m_ctx.seats[static_cast<std::size_t>(it.parameter)].device);
    case ActionSensitivity: return barText(s.sensitivityIndex, 9);
    case ActionSoundVolume:
        return barText(static_cast<int>(std::trunc(m_ctx.audio.soundVolume() / 10.f)), 10);
    case ActionMusicVolume:
        return barText(static_cast<int>(std::trunc(m_ctx.audio.chosenMusicVolume() / 10.f)), 10);
    case ActionPlayerName: return typedOr(LineEditor::PlayerName, s.playerName);
    case ActionHostAddress: return typedOr(LineEditor::HostAddress, s.hostAddress);
    case ActionCourseCode: return typedOr(LineEditor::CourseCode, m_ctx.course.code());
    case ActionRounds: return std::to_string(m_ctx.course.rounds);
    default: return {};
    }
}

sf::String Menu::descriptionOf(int item) const
{
    if (item <= 0 || item >= static_cast<int>(currentPage().size()))
        return {};
    const MenuItem& it = currentPage()[static_cast<std::size_t>(item)];
    if (it.action == ActionCycleMode)
        return modeDescription(m_ctx.selectedMode);
    if (page == PageDifficulty && m_ctx.selectedMode == ScreenClean && item <= 3)
        return cleanDifficultyHelp[static_cast<std::size_t>(item - 1)];
    return it.description;
}

float Menu::slideOffset() const
{
    // The items stay out of sight through the fade that follows the slide.
    if (state == MenuState::FadingOut)
        return menuLayout::slideOffset(stateSteps);
    return state == MenuState::Leaving ? menuLayout::slideOffset(leaveStep) : 0.f;
}

std::string Menu::dailyBestPath() const
{
    return m_ctx.settingsPrefix + dailyBestFileName;
}

void Menu::keepDailyResult()
{
    // Coming back from the last level of the day's course: its result goes
    // to the file when it beats the day's best. Offering it again is harmless.
    if (const std::optional<DailyResult> result = dailyResultOf(m_ctx.course))
        offerDailyResult(dailyBestPath(), *result);
    if (!m_ctx.course.dailyDate().empty())
        m_dailyBest = readDailyBest(dailyBestPath());
}

std::string Menu::dailyBestLine() const
{
    const std::string date = m_ctx.course.dailyDate();
    if (date.empty())
        return {};
    if (!m_dailyBest || m_dailyBest->date != date)
        return "Best of the day: not played yet";
    return "Best of the day: " + std::to_string(m_dailyBest->throws) + " throws, " +
           std::to_string(m_dailyBest->points) + " points";
}

bool Menu::showsCoursePanel() const
{
    return state == MenuState::Interactive && m_ctx.selectedMode == ScreenCourse;
}

bool Menu::showsCleanPanel() const
{
    return state == MenuState::Interactive && m_ctx.selectedMode == ScreenClean;
}

void Menu::pointerMoved(int x, int y)
{
    if (editor.active())
        return;
    pointerX = x;
    pointerY = y;
    refreshHover();
}

void Menu::refreshHover()
{
    if (state == MenuState::Interactive && !editor.active())
        hovered = hoverAt(currentPage(), pointerX, pointerY, hiddenItem());
}

int Menu::click(bool leftButton)
{
    if (state != MenuState::Interactive || editor.active())
        return stay;
    refreshHover();
    if (hovered == 0) {
        m_ctx.audio.play(AudioPlayer::Effect::Error);
        return stay;
    }
    m_ctx.audio.play(AudioPlayer::Effect::MenuClick);
    return perform(hovered, leftButton);
}

void Menu::typed(unsigned code)
{
    commitText(editor.typeCharacter(code));
}

void Menu::commitText(const LineEditor::Committed& committed)
{
    switch (committed.mode) {
    case LineEditor::PlayerName:
        m_ctx.settings.playerName = committed.text;
        saveSettings(m_ctx);
        break;
    case LineEditor::HostAddress:
        m_ctx.settings.hostAddress = committed.text;
        saveSettings(m_ctx);
        break;
    case LineEditor::CourseCode:
        m_ctx.course.readCode(committed.text);
        // A new course must not go on from the old one's field.
        m_ctx.restartRequested = true;
        break;
    case LineEditor::None:
        break;
    }
}

void Menu::openPage(int number, bool rememberPrevious)
{
    if (rememberPrevious)
        previousPage = page;
    page = number;
    hovered = 0;
}

void Menu::watchReplay()
{
    // A file that cannot be played is refused here, and the page stays.
    const std::string path = m_ctx.settingsPrefix + replay::lastRoundFile;
    const std::optional<std::string> bytes = replay::readFile(path);
    const std::optional<replay::Recording> recording =
        bytes ? replay::decode(*bytes, m_ctx.localVersion) : std::nullopt;
    if (!recording) {
        std::fputs(replay::refusedLine, stdout);
        std::fflush(stdout);
        return;
    }
    ReplayRequest& watch = m_ctx.replayRequest;
    watch.pending = true;
    watch.path = path;
    watch.returnPage = page;
    // After a course's level, that level; after the whole course, all of it.
    watch.firstLevel = page == PageRoundOverMenu ? recording->levels.size() - 1 : 0;
    startLeaving();
}

void Menu::startLeaving()
{
    state = MenuState::Leaving;
    leaving = true;
    leaveStep = 0;
}

int Menu::playPage() const
{
    // The modes that need setting up first have pages of their own.
    switch (m_ctx.selectedMode) {
    case ScreenCourse: return PageCourseOptions;
    case ScreenWarLocal: return PageInputSelection;
    case ScreenWarNet: return PageNetworkSetup;
    default: return PageDifficulty;
    }
}

int Menu::perform(int itemIndex, bool leftButton)
{
    const MenuItem& it = currentPage()[static_cast<std::size_t>(itemIndex)];
    GameSettings& s = m_ctx.settings;
    switch (it.action) {
    case ActionOpenPage:
        openPage(page == PageMainMenu && it.parameter == PageDifficulty ? playPage() : it.parameter,
                 true);
        break;
    case ActionOpenPageKeepPrevious: openPage(it.parameter, false); break;
    case ActionBack: openPage(previousPage, false); break;
    case ActionStartAtDifficulty:
        m_ctx.difficulty = itemIndex - 1;
        startLeaving();
        break;
    case ActionContinue: startLeaving(); break;
    case ActionRestart:
        m_ctx.restartRequested = true;
        if (m_ctx.selectedMode == ScreenCourse)
            m_ctx.course.restarted = true;
        startLeaving();
        break;
    case ActionRetryCourse:
        startLeaving();
        m_ctx.course.generate(m_ctx.course.rounds, m_ctx.course.seed);
        m_ctx.restartRequested = true;
        break;
    case ActionNewCourse: newCourse(); break;
    case ActionDailyCourse:
        // Again the same day: the same course from its first level.
        m_ctx.course.generateDaily(todayUtc());
        m_ctx.restartRequested = true;
        m_dailyBest = readDailyBest(dailyBestPath());
        break;
    case ActionCourseCode: editor.beginTextEntry(LineEditor::CourseCode); break;
    case ActionRounds: changeRounds(leftButton); break;
    case ActionRedoTutorial:
        // From step 0, whatever was left of an earlier run.
        m_ctx.selectedMode = ScreenTutorial;
        for (std::size_t i = 0; i < m_ctx.modeList.size(); ++i)
            if (m_ctx.modeList[i] == ScreenTutorial)
                m_ctx.modeIndex = static_cast<int>(i);
        m_ctx.restartRequested = true;
        startLeaving();
        break;
    case ActionMainMenu: backToMainMenu(); break;
    case ActionWatchReplay: watchReplay(); break;
    case ActionExit:
        m_ctx.audio.stopMenuTune();
        return -1;
    case ActionCycleMode: cycleMode(leftButton); break;
    case ActionSoundVolume:
        leftButton ? m_ctx.audio.soundVolumeDown() : m_ctx.audio.soundVolumeUp();
        saveSettings(m_ctx);
        break;
    case ActionMusicVolume:
        leftButton ? m_ctx.audio.musicVolumeDown() : m_ctx.audio.musicVolumeUp();
        saveSettings(m_ctx);
        break;
    case ActionWindowSize: changeSize(leftButton); break;
    case ActionLockMouse: toggle(s.lockMouse); break;
    case ActionAutoPause: toggle(s.autoPause); break;
    case ActionShowMouse: toggle(s.showMouse); break;
    case ActionParticles: toggle(s.particles); break;
    case ActionSymbols: toggle(s.symbols); break;
    case ActionVsync:
        s.vsync = !s.vsync;
        if (m_ctx.window != nullptr)
            m_ctx.window->setVerticalSyncEnabled(s.vsync);
        saveSettings(m_ctx);
        break;
    case ActionSensitivity: changeSensitivity(leftButton); break;
    case ActionInputDevice:
        s.inputDevice = cycleDevice(s.inputDevice, playerDevices, leftButton);
        // The mouse keeps the pointer's x there, the keys and sticks a
        // decaying push: one device's value would fling the next one's paddle.
        m_ctx.paddleTarget = 0.f;
        saveSettings(m_ctx);
        break;
    case ActionNetDevice:
        m_ctx.net.localDevice = cycleDevice(m_ctx.net.localDevice, playerDevices, leftButton);
        break;
    case ActionSeatDevice: {
        int& device = m_ctx.seats[static_cast<std::size_t>(it.parameter)].device;
        device = cycleDevice(device, seatDevices, leftButton);
        break;
    }
    case ActionPlayerName: editor.beginTextEntry(LineEditor::PlayerName); break;
    case ActionHostAddress: editor.beginTextEntry(LineEditor::HostAddress); break;
    case ActionConnect:
    case ActionHost:
        m_ctx.difficulty = Hard;
        m_ctx.net.isHost = it.action == ActionHost;
        startLeaving();
        break;
    case ActionBuyUpgrade: buyUpgrade(it.parameter); break;
    case ActionHelpPage: web::openHelp(m_ctx.resourceDir); break;
    case ActionNewsletterPage: web::openPage("/signup.php"); break;
    case ActionUpdatePage:
        if (m_ctx.newerVersionAvailable)
            web::openPage("/frothlet/update.php");
        break;
    default: break;
    }
    return stay;
}

void Menu::toggle(bool& flag)
{
    flag = !flag;
    saveSettings(m_ctx);
}

void Menu::cycleMode(bool forward)
{
    const int count = static_cast<int>(m_ctx.modeList.size());
    if (count == 0)
        return;
    m_ctx.modeIndex = (m_ctx.modeIndex + (forward ? 1 : count - 1)) % count;
    m_ctx.selectedMode = m_ctx.modeList[static_cast<std::size_t>(m_ctx.modeIndex)];
}

void Menu::changeSize(bool leftButton)
{
    int& index = m_ctx.settings.sizeIndex;
    index = (index + (leftButton ? 1 : 7)) % 8;
    applyWindowSize(m_ctx);
    saveSettings(m_ctx);
}

void Menu::changeSensitivity(bool leftButton)
{
    GameSettings& s = m_ctx.settings;
    s.sensitivityIndex = std::clamp(s.sensitivityIndex + (leftButton ? -1 : 1), 0, 9);
    s.sensitivity = sensitivityTable[s.sensitivityIndex];
    saveSettings(m_ctx);
}

void Menu::changeRounds(bool leftButton)
{
    // Steps through 1..30 and wraps, so one button reaches every count.
    Course& course = m_ctx.course;
    const int span = Course::menuMaxRounds;
    const int current = std::clamp(course.rounds, Course::minRounds, span);
    const int next = (current - 1 + (leftButton ? 1 : span - 1)) % span + 1;
    course.generate(next, course.seed);
    m_ctx.restartRequested = true;
}

void Menu::newCourse()
{
    const auto seed = static_cast<std::uint32_t>(std::rand() % 2147483646 + 1);
    m_ctx.course.generate(m_ctx.course.rounds, seed);
    m_ctx.restartRequested = true;
}

void Menu::buyUpgrade(int bit)
{
    if (m_ctx.coins <= 2)
        return;
    m_ctx.upgradeBits |= bit;
    m_ctx.coins -= 3;
    std::printf("counts left %d", m_ctx.coins);
    std::fflush(stdout);
    m_coinsLine = "Coins: " + std::to_string(m_ctx.coins);
}

void Menu::serviceNetwork()
{
    // A network game rests on a menu page between rounds: its connections
    // are kept alive meanwhile, and a lost host ends the game here too.
    NetSession& net = m_ctx.net;
    if (!net.host)
        return;
    net.context = &m_ctx;
    net.pump();
    if (net.hostLost()) {
        net.close();
        if (state == MenuState::Interactive)
            openPage(PageMainMenu, false);
        else
            m_ctx.requestedPage = PageMainMenu;
    }
}

void Menu::backToMainMenu()
{
    if (m_ctx.selectedMode == ScreenWarNet && m_ctx.net.host) {
        // Out of a network game: say goodbye instead of timing out.
        m_ctx.net.context = &m_ctx;
        m_ctx.net.leave();
    }
    if (m_ctx.selectedMode == ScreenCourse) {
        m_ctx.course.generateRandom(Course::defaultRounds);
        m_ctx.restartRequested = true;
    } else if (m_ctx.selectedMode == ScreenClean) {
        if (m_ctx.dirtLayer.getSize().x > 0) {
            m_ctx.dirtLayer.clear(sf::Color(97, 83, 48, 100));
            m_ctx.dirtLayer.setSmooth(true);
            m_ctx.dirtLayer.display();
        }
        m_ctx.cleanedPercent = 0.f;
        m_ctx.restartRequested = true;
    }
    openPage(PageMainMenu, true);
}

Menu::StepResult Menu::step()
{
    StepResult result;
    serviceNetwork();
    m_ctx.audio.fadeStep();
    m_ctx.audio.nextTrackIfEnding();
    switch (state) {
    case MenuState::Entering:
        effects::risingBubble(particles);
        if (++enterStep >= stateSteps) {
            enterStep = 0;
            if (m_ctx.requestedPage >= 0) {
                openPage(m_ctx.requestedPage, true);
                m_ctx.requestedPage = -1;
            }
            state = MenuState::Interactive;
            result.becameInteractive = true;
            keepDailyResult();
        }
        break;
    case MenuState::Interactive: refreshHover(); break;
    case MenuState::Leaving:
        effects::fastRisingBubble(particles);
        if (++leaveStep >= stateSteps) {
            leaveStep = 0;
            state = MenuState::FadingOut;
        }
        break;
    case MenuState::FadingOut: stepFadingOut(result); break;
    }
    particles.update();
    return result;
}

void Menu::stepFadingOut(StepResult& result)
{
    fade += 23;
    if (fade <= 254)
        return;
    fade = 0;
    leaving = false;
    state = MenuState::Entering;
    if (m_ctx.replayRequest.pending) {
        // The replay screen asks for the page it was called from on its way back.
        m_ctx.audio.startGameMusic();
        result.startMode = ScreenReplay;
        return;
    }
    m_ctx.statistics.logEvent("start game", m_ctx.selectedMode);
    // A game that comes back without asking for a page finds "Round Over".
    openPage(PageRoundOverMenu, true);
    m_ctx.paused = false;
    m_ctx.audio.startGameMusic();
    result.startMode = m_ctx.selectedMode;
}

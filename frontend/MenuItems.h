// The menu is built from pages of items: a page is a list of lines, line 0
// its title. This file holds the item record, what a click on an item does
// (its action code), where items sit on the 1024 x 768 area, which item the
// pointer is over, and the small line editor for names, addresses and
// course codes.
#pragma once

#include <string>
#include <vector>

#include <SFML/System/String.hpp>

enum MenuAction : int {
    ActionOpenPage = 1,  // remembers the page it came from
    ActionStartAtDifficulty = 2,
    ActionExit = 3,
    ActionContinue = 4,
    ActionCycleMode = 5,
    ActionBack = 6,
    ActionRestart = 7,
    ActionOpenPageKeepPrevious = 8,
    ActionBuyUpgrade = 10,
    ActionMainMenu = 11,
    ActionRedoTutorial = 12,
    ActionRetryCourse = 13,
    ActionWatchReplay = 14,
    ActionSoundVolume = 20,
    ActionMusicVolume = 21,
    ActionWindowSize = 22,
    ActionLockMouse = 23,
    ActionAutoPause = 24,
    ActionVsync = 25,
    ActionShowMouse = 26,
    ActionParticles = 27,
    ActionSymbols = 28,
    ActionHelpPage = 33,
    ActionNewsletterPage = 35,
    ActionUpdatePage = 36,
    ActionRounds = 41,
    ActionCourseCode = 42,
    ActionNewCourse = 43,
    ActionNone = 44,
    ActionDailyCourse = 45,
    ActionSeatDevice = 50,
    ActionNetDevice = 51,
    ActionInputDevice = 52,
    ActionSensitivity = 53,
    ActionPlayerName = 60,
    ActionHostAddress = 61,
    ActionConnect = 81,
    ActionHost = 82,
    ActionPageTitle = 200,  // never hovered, never acts
};

struct MenuItem {
    std::string label;
    sf::String description;
    int action = ActionNone;
    int parameter = 0;  // a page number, an upgrade bit or a seat
};

using MenuPage = std::vector<MenuItem>;

namespace menuLayout {

constexpr float itemX = 0.134f * 1024.f;
constexpr unsigned itemCharacterSize = 20;
constexpr int hoverLeft = 110;
constexpr int hoverRight = 420;
constexpr float hoverHeight = 35.f;
constexpr float descriptionX = 590.f;
constexpr float descriptionY = 138.f;
constexpr int slideSteps = 60;

// Top of item i (0: the title).
constexpr float itemY(int i)
{
    return (0.21f + 0.08f * static_cast<float>(i)) * 768.f;
}

// How far the items have slid right at step k of the leaving slide: slow at
// first, then fast enough to leave the area after about 23 steps.
float slideOffset(int step);

}  // namespace menuLayout

// The hovered item of a page at a logical pointer position, or 0 for none.
// `hiddenItem` (when not 0) is an item that is not shown and so can't be hit.
int hoverAt(const MenuPage& page, int x, int y, int hiddenItem = 0);

// One line of typed text: a player name, a host address or a course code.
class LineEditor {
public:
    enum Mode : int { None = 0, PlayerName = 1, HostAddress = 2, CourseCode = 3 };
    static constexpr std::size_t maxLength = 16;
    static constexpr unsigned enterKey = 13;
    static constexpr unsigned backspaceKey = 8;
    static constexpr unsigned escapeKey = 27;

    void beginTextEntry(Mode mode);
    // Feeds one typed character. Answers the finished text and its mode when
    // Enter commits it; otherwise mode None.
    struct Committed {
        Mode mode = None;
        std::string text;
    };
    Committed typeCharacter(unsigned code);

    Mode mode() const { return m_mode; }
    bool active() const { return m_mode != None; }
    const std::string& buffer() const { return m_buffer; }

private:
    void finish();

    Mode m_mode = None;
    std::string m_buffer;
};

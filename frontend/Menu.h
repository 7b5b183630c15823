// What the menu screen decides, without a window: the thirteen pages, what
// every item does, the values the items show, and the four states of the
// screen (entering, interactive, leaving, fading out). The menu screen feeds
// it the pointer, clicks and typed text, steps it 60 times a second and
// draws what it holds. Everything it decides for the next game is handed
// over in GameContext.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <SFML/System/String.hpp>

#include "app/RequestedPage.h"
#include "frontend/MenuItems.h"
#include "screens/DailyBest.h"
#include "world/Particles.h"

struct GameContext;

// The pages by number; those a game screen may ask for are its requests.
enum MenuPageNumber : int {
    PageMainMenu = PageMain,
    PageUpgrade = 1,
    PageOptions = 2,
    PagePauseMenu = PagePause,
    PageDifficulty = 4,
    PageRoundOverMenu = PageRoundOver,
    PageInputSelection = 6,
    PageNetworkSetup = 7,
    PageCourseOptions = 8,
    PageCourseOverMenu = PageCourseOver,
    PageGraphicsOptions = 10,
    PageControllerOptions = 11,
    PageTutorialCompleteMenu = PageTutorialComplete,
    menuPageCount = 13,
};

enum class MenuState : int { Entering = 1, Interactive = 2, Leaving = 3, FadingOut = 4 };

// The pages with their items, in page-number order.
std::vector<MenuPage> buildMenuPages();

// "\t[ joy1 ]" ... "\t[ cpu ]" for a device code; empty for any other code.
std::string deviceLabel(int device);
// `filled` bars followed by dots, `width` characters in all.
std::string barText(int filled, int width);

// The mode item's label and description for a mode's screen number.
std::string modeLabel(int screen);
std::string modeDescription(int screen);

class Menu {
public:
    // The screen stays where it is (what the input calls answer otherwise).
    static constexpr int stay = -100;
    static constexpr int stateSteps = 60;
    static constexpr int mainItemUpdate = 7;

    explicit Menu(GameContext& ctx);

    // A pointer position in logical pixels; ignored while text is typed.
    void pointerMoved(int x, int y);
    // A mouse button pressed: acts on the hovered item. Answers the next
    // screen (-1: quit) or `stay`.
    int click(bool leftButton);
    // A typed character, for the line editor.
    void typed(unsigned code);
    // The window was closed.
    int closed() const { return -1; }

    // What one step changed that the screen must act on.
    struct StepResult {
        bool becameInteractive = false;  // free and show the pointer
        int startMode = stay;            // the fade is over: start this screen
    };
    StepResult step();

    // Performs an item's action as a click with that button would.
    int perform(int item, bool leftButton);

    // For drawing.
    const MenuPage& currentPage() const { return m_pages[static_cast<std::size_t>(page)]; }
    bool itemShown(int item) const;
    std::string labelOf(int item) const;
    std::string valueOf(int item) const;
    sf::String descriptionOf(int item) const;
    float slideOffset() const;
    std::string coinsLine() const { return m_coinsLine; }
    bool showsCoursePanel() const;
    // The line under the course panel while the course of the day is laid.
    std::string dailyBestLine() const;
    bool showsCleanPanel() const;

    int page = PageMainMenu;
    int hovered = 0;
    int previousPage = PageMainMenu;
    LineEditor editor;
    MenuState state = MenuState::Entering;
    bool leaving = false;
    int enterStep = 0;
    int leaveStep = 0;
    int fade = 0;
    int pointerX = 0;
    int pointerY = 0;
    ParticleSystem particles;

private:
    GameContext& m_ctx;
    std::vector<MenuPage> m_pages;
    std::string m_coinsLine;
    std::optional<DailyResult> m_dailyBest;

    void openPage(int number, bool rememberPrevious);
    void startLeaving();
    void refreshHover();
    int hiddenItem() const;
    int playPage() const;
    void commitText(const LineEditor::Committed& committed);
    void stepFadingOut(StepResult& result);

    void cycleMode(bool forward);
    void changeSize(bool leftButton);
    void changeSensitivity(bool leftButton);
    void changeRounds(bool leftButton);
    void buyUpgrade(int bit);
    void backToMainMenu();
    void serviceNetwork();
    void watchReplay();
    void newCourse();
    void toggle(bool& flag);
    std::string dailyBestPath() const;
    void keepDailyResult();
};

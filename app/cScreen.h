// Every screen owns the window while its Run lasts and answers with the number
// of the screen that comes next (negative: quit).
#pragma once

class GraphicsResources;
struct GameContext;

class cScreen {
public:
    virtual ~cScreen() = default;
    virtual int Run(GraphicsResources& gfx, GameContext& ctx) = 0;
    virtual void Reset(GameContext& ctx) = 0;

    int logicalHeight = 768;
    int logicalWidth = 1024;
};

// Screen numbers, the index into the screen table.
enum ScreenNumber : int {
    ScreenTitle = 0,
    ScreenMenu = 1,
    ScreenTutorial = 2,
    ScreenInfinite = 3,
    ScreenCourse = 4,
    ScreenClean = 5,
    ScreenWarLocal = 6,
    ScreenWarNet = 7,
    // Plays a recorded round again, from the round-over pages.
    ScreenReplay = 8,
};

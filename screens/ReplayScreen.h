// Screen 8: plays a recorded round again in the game's own screen, with its
// drawing, at the speed it was played (Space doubles it). Escape, or the end
// of the recording, returns to the page it was called from. The game that
// was being played is left exactly as it was.
#pragma once

#include "app/cScreen.h"

struct GameContext;

class ReplayScreen : public cScreen {
public:
    explicit ReplayScreen(GameContext&) {}

    int Run(GraphicsResources& gfx, GameContext& ctx) override;
    // A round ended before the menu sent the player here; that round's screen resets it.
    void Reset(GameContext&) override {}
};

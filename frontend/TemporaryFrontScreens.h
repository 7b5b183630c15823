// TEMPORARY stand-ins for the title and menu screens until the real front end
// lands: the title waits for any key or click, the menu starts the Infinite
// mode on a click. Both are replaced by the front end and then removed.
#pragma once

#include <SFML/Graphics/Text.hpp>

#include "app/cScreen.h"

class TemporaryTitleScreen : public cScreen {
public:
    int Run(GraphicsResources& gfx, GameContext& ctx) override;
    void Reset(GameContext&) override {}
};

class TemporaryMenuScreen : public cScreen {
public:
    int Run(GraphicsResources& gfx, GameContext& ctx) override;
    void Reset(GameContext&) override {}
};

// A mode whose screen is not built yet goes straight back to the menu.
class UnbuiltModeScreen : public cScreen {
public:
    int Run(GraphicsResources&, GameContext&) override { return ScreenMenu; }
    void Reset(GameContext&) override;
};

// A mode whose screen is not built yet goes straight back to the menu.
#pragma once

#include "app/cScreen.h"

class UnbuiltModeScreen : public cScreen {
public:
    int Run(GraphicsResources&, GameContext&) override { return ScreenMenu; }
    void Reset(GameContext&) override;
};

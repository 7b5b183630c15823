#include "app/ScreenLoop.h"

#include "app/Globals.h"
#include "app/cScreen.h"

void runScreenLoop(const std::vector<cScreen*>& screens, GraphicsResources& gfx, GameContext& ctx)
{
    int current = ScreenTitle;
    while (current >= 0 && current < static_cast<int>(screens.size())) {
        current = screens[current]->Run(gfx, ctx);
        if (resetPending && current >= 0 && current < static_cast<int>(screens.size()))
            screens[current]->Reset(ctx);
    }
}

#include "screens/UnbuiltModeScreen.h"

#include "app/Globals.h"

void UnbuiltModeScreen::Reset(GameContext&)
{
    resetPending = false;
}

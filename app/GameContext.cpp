#include "app/GameContext.h"

GameContext::GameContext()
{
    audio.load(resourceDir);
    net.context = this;
}

#include "app/GameContext.h"

#include "app/GameFiles.h"

GameContext::GameContext()
{
    const GameFileLocations files = locateGameFiles();
    settingsPrefix = files.writeDir;
    resourceDir = files.resourceDir;
    audio.load(resourceDir);
    net.context = this;
}

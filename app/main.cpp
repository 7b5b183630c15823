// Frothlet: start-up, the screen loop and an orderly shutdown.
#include <cstdio>
#include <memory>
#include <vector>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include "app/GameContext.h"
#include "app/GameWindow.h"
#include "app/Globals.h"
#include "app/ScreenLoop.h"
#include "app/Settings.h"
#include "app/cScreen.h"
#include "gfx/GraphicsResources.h"
#include "screens/ScreenTable.h"

namespace {

void say(const char* line)
{
    std::fputs(line, stdout);
    std::fflush(stdout);
}

void openWindow(sf::RenderWindow& window, GameContext& ctx)
{
    const sf::ContextSettings context =
        windowContextSettings(ctx.settings.depthBits, ctx.settings.antialiasingLevel);
    const sf::VideoMode mode(static_cast<unsigned>(ctx.settings.windowWidth),
                             static_cast<unsigned>(ctx.settings.windowHeight), 32);
    window.create(mode, "Frothlet", sf::Style::Titlebar | sf::Style::Close, context);
    ctx.window = &window;
    ctx.window2 = &window;

    sf::Image icon;
    if (icon.loadFromFile(ctx.resourceDir + "icon.png") && icon.getSize().x == 128 &&
        icon.getSize().y == 128)
        window.setIcon(128, 128, icon.getPixelsPtr());

    window.setVerticalSyncEnabled(ctx.settings.vsync);
    window.clear(sf::Color::Black);
    window.display();
}

// The game screens' off-screen pictures need the window's graphics context.
// (The full-window picture is never drawn into, so it is not made: a picture
// the size of the window costs its pixels in memory on every renderer.)
void createContextTextures(GameContext& ctx)
{
    ctx.dirtLayer.create(1010, 617);
    ctx.dirtLayer.clear(sf::Color(97, 83, 48, 100));
    ctx.dirtLayer.setSmooth(true);
    ctx.dirtLayer.display();
}

}  // namespace

int main()
{
    auto ctx = std::make_unique<GameContext>();
    loadSettings(*ctx);
    viewWidth = 1024;
    viewHeight = 768;

    auto window = std::make_unique<sf::RenderWindow>();
    openWindow(*window, *ctx);
    createContextTextures(*ctx);
    ctx->audio.startMenuTune();

    auto gfx = std::make_unique<GraphicsResources>(1024, 768);
    gfx->load(ctx->resourceDir);
    gfx->buildBackground(0);
    gfx->smoothEdges = window->getSettings().antialiasingLevel == 0;

    auto screens = std::make_unique<ScreenTable>(*ctx);
    ctx->modeList = {2, 3, 4, 5, 6, 7};
    ctx->modeIndex = 0;
    ctx->selectedMode = ctx->modeList.front();
    say("starting main message loop\n");

    runScreenLoop(screens->table(), *gfx, *ctx);

    screens.reset();
    gfx.reset();
    window.reset();
    ctx.reset();
    return 0;
}

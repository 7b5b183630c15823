#include "frontend/TemporaryFrontScreens.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Window/Event.hpp>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "app/platform.h"
#include "gfx/GraphicsResources.h"
#include "screens/FieldDrawing.h"

namespace {

constexpr int keepRunning = -100;

// Shows the background with one line of text until a click (or, on the title,
// a key) answers a screen number.
int waitForClick(GraphicsResources& gfx, GameContext& ctx, const char* line, int onClick, bool keysToo)
{
    sf::RenderWindow& window = *ctx.window;
    sf::View view(sf::FloatRect(0.f, 0.f, 1024.f, 768.f));
    view.setViewport(ctx.viewport.width > 0.f ? ctx.viewport : sf::FloatRect(0.f, 0.f, 1.f, 1.f));
    sf::Text text(line, gfx.font, 40);
    const sf::FloatRect bounds = text.getLocalBounds();
    text.setPosition(512.f - bounds.width / 2.f, 560.f);
    sf::Sprite logo;
    while (window.isOpen()) {
        sf::Event event;
        int next = keepRunning;
        while (window.pollEvent(event)) {
            if (event.type == sf::Event::Closed)
                return -1;
            if (event.type == sf::Event::MouseButtonPressed || (keysToo && event.type == sf::Event::KeyPressed))
                next = onClick;
        }
        if (next != keepRunning)
            return next;
        window.setView(view);
        window.clear(sf::Color::Black);
        draw::background(window, gfx);
        window.draw(text);
        window.display();
    }
    return -1;
}

}  // namespace

int TemporaryTitleScreen::Run(GraphicsResources& gfx, GameContext& ctx)
{
    return waitForClick(gfx, ctx, "Click To Start", ScreenMenu, true);
}

int TemporaryMenuScreen::Run(GraphicsResources& gfx, GameContext& ctx)
{
    ctx.window->setMouseCursorVisible(true);
    platform::lockPointer(*ctx.window, false);
    const int next = waitForClick(gfx, ctx, "Click to play Infinite", ScreenInfinite, false);
    if (next == ScreenInfinite) {
        ctx.paused = false;
        ctx.audio.startGameMusic();
    } else if (next < 0) {
        ctx.audio.stopMenuTune();
    }
    return next;
}

void UnbuiltModeScreen::Reset(GameContext&)
{
    resetPending = false;
}

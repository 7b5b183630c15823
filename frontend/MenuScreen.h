// Screen 1: the menu. It draws the pages of the headless Menu over the
// scrolling background, feeds it the pointer, clicks and typed text, and
// leaves towards the selected game when the Menu says so.
#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/System/Clock.hpp>

#include "app/cScreen.h"
#include "frontend/Menu.h"
#include "screens/FieldDrawing.h"

namespace sf {
class RenderTarget;
class Event;
}  // namespace sf

class screen_1 : public cScreen {
public:
    explicit screen_1(GameContext& ctx);

    int Run(GraphicsResources& gfx, GameContext& ctx) override;
    void Reset(GameContext&) override {}

    Menu menu;

private:
    int handleEvent(const sf::Event& event, GameContext& ctx);
    // Runs the fixed steps the frame owes; answers a screen or Menu::stay.
    int update(GameContext& ctx);
    void draw(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx);
    void drawItems(sf::RenderTarget& target, GraphicsResources& gfx);
    void drawCard(sf::RenderTarget& target, sf::FloatRect box);
    void drawItem(sf::RenderTarget& target, int item, float slide);
    void drawDescription(sf::RenderTarget& target, GraphicsResources& gfx);
    void drawCoursePanel(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx);
    void drawCleanPanel(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx);
    void drawFade(sf::RenderTarget& target);

    GameContext* m_ctx;
    sf::Clock m_clock;
    double m_accumulator = 0.0;
    sf::Text m_text;
    draw::DrawBatches m_batches;
};

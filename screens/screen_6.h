// Local war: four players on one machine, each with the device its seat was
// given on the menu. The screen feeds the seats' input to the war arena, steps
// it and draws it.
#pragma once

#include <SFML/Graphics/Text.hpp>
#include <SFML/System/Clock.hpp>

#include "app/cScreen.h"
#include "world/WarField.h"

namespace sf {
class RenderTarget;
class Event;
}  // namespace sf

class screen_6 : public cScreen {
public:
    explicit screen_6(GameContext& ctx);

    int Run(GraphicsResources& gfx, GameContext& ctx) override;
    void Reset(GameContext& ctx) override { field.Reset(ctx); }

    int Update(GameContext& ctx, double frameSeconds) { return field.Update(ctx, frameSeconds); }
    int Logic(GameContext& ctx, float timeStep) { return field.Logic(ctx, timeStep); }

    WarField field;

private:
    // Answers the next screen number, or keepRunning to stay.
    int handleEvent(const sf::Event& event, GameContext& ctx);
    void sampleHeldInput(const GameContext& ctx);
    void draw(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx);
    void drawMicrobes(sf::RenderTarget& target) const;
    void drawBubbles(sf::RenderTarget& target, const GraphicsResources& gfx) const;
    void drawWarBodies(sf::RenderTarget& target, const GraphicsResources& gfx) const;
    void drawBanner(sf::RenderTarget& target, const GraphicsResources& gfx);
    void drawCounts(sf::RenderTarget& target, const GameContext& ctx);

    sf::Clock frameClock;
    sf::Text bannerText;
    sf::Text countText;
};

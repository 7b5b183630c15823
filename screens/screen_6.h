// Local war: four players on one machine, each with the device its seat was
// given on the menu. The screen feeds the seats' input to the war arena, steps
// it and draws it.
#pragma once

#include <memory>

#include <SFML/Graphics/Text.hpp>
#include <SFML/System/Clock.hpp>

#include <string>

#include "app/cScreen.h"
#include "screens/FieldDrawing.h"
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

protected:
    static constexpr int keepRunning = -100;

    // The networked war screen plays its own arena on the same screen.
    screen_6(GameContext& ctx, std::unique_ptr<WarField> arena);

    // Answers the next screen number, or keepRunning to stay.
    virtual int handleEvent(const sf::Event& event, GameContext& ctx);
    // The players' counts in the corners (each through drawCount, which
    // gathers them for one draw).
    virtual void drawCounts(sf::RenderTarget& target, const GameContext& ctx);
    // Drawn last, over everything else.
    virtual void drawOverlay(sf::RenderTarget&, GraphicsResources&, GameContext&) {}
    // After each frame's steps: a screen number to leave for, or keepRunning.
    virtual int afterFrame(GameContext&) { return keepRunning; }
    void drawCount(sf::RenderTarget& target, int seat, const std::string& label);

private:
    std::unique_ptr<WarField> owned;

public:
    WarField& field;

private:
    void sampleHeldInput(GameContext& ctx);
    void draw(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx);
    void drawWarBodies(sf::RenderTarget& target, const GraphicsResources& gfx);
    void drawBanner(sf::RenderTarget& target, const GraphicsResources& gfx);

    sf::Clock frameClock;
    sf::Text bannerText;
    sf::Text countText;
    draw::DrawBatches batches;
};

// The clean mode screen: the shared game screen with a murky layer over the
// field that finished bursts wipe away, the throw counter and the cleaned share.
#pragma once

#include <vector>

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/System/Vector3.hpp>

#include "app/GameContext.h"
#include "app/cScreen.h"
#include "screens/CleanMode.h"
#include "screens/GameScreen.h"

namespace sf {
class RenderTarget;
}

// Every finished burst wipes the layer under its final disc (its radius plus
// the ring's outline), wherever it drifts; living and bursting microbes do not.
void wipeUnderFinishedBursts(sf::RenderTarget& layer, const MicrobePool& pool);

class screen_5 : public GameScreen {
public:
    explicit screen_5(GameContext& ctx) : screen_5(ctx, ctx.dirtLayer) {}
    // Wipes the given layer instead of the game's own (a replay's).
    screen_5(GameContext& ctx, sf::RenderTexture& layer);

    // The menu may have laid fresh dirt meanwhile: every finished burst wipes anew.
    int Run(GraphicsResources& gfx, GameContext& ctx) override
    {
        m_wipedDiscs.clear();
        return GameScreen::Run(gfx, ctx);
    }

    CleanMode clean;

protected:
    void resetRound(GameContext& ctx) override { clean.Reset(ctx); }
    int modeNumber() const override { return ScreenClean; }
    replay::ModeParts modeParts() override { return {nullptr, &clean}; }
    void onKeyPressed(int sfKeyCode, GameContext& ctx) override;
    void beforePause(PauseCause cause, GameContext& ctx) override;
    // A won round has already started the menu tune.
    bool menuMusicOnRoundOver() const override { return false; }
    void drawUnderMicrobes(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx) override;
    void drawAfterMicrobes(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx) override;
    void drawOverlay(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx) override;
    std::string clearedBannerLine(const GameContext& ctx) const override;

private:
    sf::Text throwsText;
    // The finished bursts (position in metres, radius) last wiped off the layer.
    std::vector<sf::Vector3f> m_wipedDiscs;
    sf::RenderTexture& m_layer;
};

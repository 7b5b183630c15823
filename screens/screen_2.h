// The tutorial screen: the shared game screen with the tutorial's rules, its
// instruction panels and "Click to continue.".
#pragma once

#include <SFML/Graphics/RenderTexture.hpp>

#include "app/RequestedPage.h"
#include "app/cScreen.h"
#include "screens/GameScreen.h"
#include "screens/Tutorial.h"

class screen_2 : public GameScreen {
public:
    explicit screen_2(GameContext& ctx);

    Tutorial tutorial;

protected:
    void resetRound(GameContext& ctx) override { tutorial.Reset(ctx); }
    int modeNumber() const override { return ScreenTutorial; }
    replay::ModeParts modeParts() override { return {&tutorial, nullptr}; }
    // A finished tutorial starts again the next time it is chosen.
    bool needsFreshRound(const GameContext& ctx) const override;
    void afterButtonPressed(GameContext& ctx) override { tutorial.dismiss(ctx); }
    int roundOverPage(const GameContext&) const override { return PageTutorialComplete; }
    void drawOverlay(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx) override;

private:
    sf::RenderTexture tutorialToast;
    sf::Text panelText;
};

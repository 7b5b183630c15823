// The course screen: the shared game screen playing the course's levels, with
// a throw counter.
#pragma once

#include <SFML/Graphics/Text.hpp>

#include "screens/CourseMode.h"
#include "screens/GameScreen.h"

class screen_4 : public GameScreen {
public:
    explicit screen_4(GameContext& ctx);

    void Reset(GameContext& ctx) override { course.Reset(ctx); }

    CourseMode course;

protected:
    // The first course of a run has no level laid yet: lay it on entering.
    bool needsFreshRound(const GameContext& ctx) const override;
    void onKeyPressed(int sfKeyCode, GameContext& ctx) override;
    int roundOverPage(const GameContext& ctx) const override { return CourseMode::pageAfterLevel(ctx); }
    // The level's end has already started the menu tune.
    bool menuMusicOnRoundOver() const override { return false; }
    void drawOverlay(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx) override;

private:
    sf::Text throwsText;
};

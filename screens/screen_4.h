// The course screen: the shared game screen playing the course's levels, with
// a throw counter.
#pragma once

#include <SFML/Graphics/Text.hpp>

#include <cstdint>

#include "app/cScreen.h"
#include "screens/CourseMode.h"
#include "screens/GameScreen.h"

class screen_4 : public GameScreen {
public:
    explicit screen_4(GameContext& ctx);

    CourseMode course;

protected:
    void resetRound(GameContext& ctx) override { course.Reset(ctx); }
    int modeNumber() const override { return ScreenCourse; }
    // A course's replay holds its levels one after the other, and counts as
    // a result only once the course is over without a restart.
    void startRecording(GameContext& ctx) override;
    bool recordingComplete(const GameContext& ctx) const override;
    // The first course of a run has no level laid yet: lay it on entering.
    bool needsFreshRound(const GameContext& ctx) const override;
    void onKeyPressed(int sfKeyCode, GameContext& ctx) override;
    int roundOverPage(const GameContext& ctx) const override { return CourseMode::pageAfterLevel(ctx); }
    // The level's end has already started the menu tune.
    bool menuMusicOnRoundOver() const override { return false; }
    void drawOverlay(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx) override;

private:
    sf::Text throwsText;
    std::uint32_t recordedCourse = 0;  // the course generation the recording belongs to
};

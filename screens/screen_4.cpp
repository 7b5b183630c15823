#include "screens/screen_4.h"

#include <string>

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Window/Keyboard.hpp>

#include "app/GameContext.h"
#include "gfx/GraphicsResources.h"

namespace {
FieldRules courseConstruction()
{
    FieldRules rules;
    CourseMode::prepareConstruction(rules);
    return rules;
}
}  // namespace

screen_4::screen_4(GameContext& ctx) : GameScreen(ctx, courseConstruction()), course(field) {}

bool screen_4::needsFreshRound(const GameContext& ctx) const
{
    // A course made while another mode was played (which took the restart
    // request) must not go on from the old course's field and score.
    return ctx.restartRequested || (field.pool.size() == 0 && !ctx.course.isOver()) ||
           course.fieldIsStale(ctx);
}

void screen_4::startRecording(GameContext& ctx)
{
    replay::Recording& r = recorder.recording;
    if (r.mode == ScreenCourse && recordedCourse == ctx.course.generation) {
        // The next level, or a restarted one in place of its first try.
        while (!r.levels.empty() && r.levels.back().courseLevel >= ctx.course.currentLevel)
            r.levels.pop_back();
        if (!r.levels.empty()) {
            recorder.beginLevel(field, ctx, {}, true);
            return;
        }
    }
    recordedCourse = ctx.course.generation;
    GameScreen::startRecording(ctx);
}

bool screen_4::recordingComplete(const GameContext& ctx) const
{
    return GameScreen::recordingComplete(ctx) && ctx.course.isOver() && !ctx.course.restarted;
}

void screen_4::onKeyPressed(int sfKeyCode, GameContext& ctx)
{
    if (sfKeyCode == sf::Keyboard::B || sfKeyCode == sf::Keyboard::V)
        ctx.audio.musicVolumeDown();
}

void screen_4::drawOverlay(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx)
{
    throwsText.setFont(gfx.font);
    throwsText.setString("Throws: " + std::to_string(ctx.throwCount));
    throwsText.setPosition(180.f, 723.f);
    target.draw(throwsText);
}

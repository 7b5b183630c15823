#include "screens/Tutorial.h"

#include <cstdio>
#include <cstdlib>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "app/cScreen.h"
#include "world/GameField.h"
#include "world/MicrobeTypes.h"

namespace {

// Every practice field is the same field: seed 2, 15 to 25 microbes.
void practiceField(MicrobePool& pool, GameContext&)
{
    generateField(pool, 2u, 10);
}

}  // namespace

Tutorial::Tutorial(GameField& field) : m_field(field)
{
    FieldRules& rules = field.rules;
    rules.populate = practiceField;
    rules.hitRaisesCombo = [this](const Microbe& m) { return tutorialStep == 3 && m.type <= 999; };
    rules.onHit = [this](GameContext& ctx, const Microbe& m, int hitBy) { onHit(ctx, m, hitBy); };
    rules.onPaddleTouch = [this](GameContext& ctx) {
        if (tutorialStep == 2)
            advance(ctx, 2);
    };
    rules.roundEnd = [this](GameContext& ctx) { roundEnd(ctx); };
    rules.fixedStep = [this](GameContext& ctx) { fixedStep(ctx); };
    m_field.comboCount = 0;
}

void Tutorial::Reset(GameContext& ctx)
{
    endCountdown = 300;
    if (restartTutorial) {
        tutorialStep = 0;
        stepsDone = 0;
        toastShowing = false;
        // A slow-down under way belongs to the old run.
        toastPending = false;
        slowStep = normalStep;
    }
    restartTutorial = true;
    m_field.Reset(ctx);
}

void Tutorial::advance(GameContext& ctx, int from)
{
    stepsDone |= stepBits[from];
    tutorialStep = from + 1;
    toastPending = true;
    if (stepsDone != 0 && ctx.settings.tutorialPlayed == 0) {
        ctx.settings.tutorialPlayed = 1;
        saveSettings(ctx);
    }
}

void Tutorial::onHit(GameContext& ctx, const Microbe& m, int hitBy)
{
    if (tutorialStep == 0 && hitBy == HitByBubble && m.points > 0)
        advance(ctx, 0);
    else if (tutorialStep == 1 && hitBy == HitByBurst)
        advance(ctx, 1);
    else if (tutorialStep == 3 && m_field.comboCount >= 2)
        advance(ctx, 3);
}

void Tutorial::fixedStep(GameContext& ctx)
{
    if (toastShowing)
        return;  // frozen until the player clicks
    if (!toastPending) {
        m_field.Logic(ctx, static_cast<float>(m_field.timeStep));
        return;
    }
    m_field.Logic(ctx, slowStep);
    slowStep *= 0.9f;
    if (slowStep >= frozenBelow)
        return;
    if (tutorialStep == 4) {
        // The closing message: the game runs on at a sixtieth of its speed.
        toastShowing = false;
        m_field.roundWon = true;
        slowStep = frozenBelow;
        toastPending = true;
        return;
    }
    toastShowing = true;
    toastPending = false;
    slowStep = normalStep;
}

void Tutorial::dismiss(GameContext& ctx)
{
    if (!toastShowing)
        return;
    toastShowing = false;
    restartTutorial = false;
    if (m_field.tap)
        m_field.tap->dismissed();
    Reset(ctx);
}

void Tutorial::roundEnd(GameContext& ctx)
{
    if (m_field.clearedAndQuiet(ctx) && !resetPending && endCountdown == 300) {
        // A cleared practice field is simply laid out again; the step stays.
        restartTutorial = false;
        Reset(ctx);
    }
    if (tutorialStep == 4)
        m_field.roundWon = true;
    if (!m_field.roundWon)
        return;
    if (endCountdown == 300) {
        ctx.audio.play(AudioPlayer::Effect::Win);
        ctx.audio.beginFadeOut();
    }
    --endCountdown;
    if (endCountdown == 0)
        finish(ctx);
}

void Tutorial::finish(GameContext& ctx)
{
    std::fputs("Level over\n", stdout);
    std::fflush(stdout);
    resetPending = true;
    m_field.hue = std::rand() % 360;
    for (Microbe& m : m_field.pool.microbes) {
        m.dead = true;
        m.bursting = false;
    }
    ctx.requestedPage = PageTutorialComplete;
    ctx.selectedMode = ScreenInfinite;
    for (std::size_t i = 0; i < ctx.modeList.size(); ++i)
        if (ctx.modeList[i] == ScreenInfinite)
            ctx.modeIndex = static_cast<int>(i);
    toastShowing = false;
    toastPending = false;
    slowStep = normalStep;
    ctx.audio.playMenuTune();
}

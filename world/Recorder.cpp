#include "world/Recorder.h"

#include "app/GameContext.h"
#include "app/Globals.h"

namespace replay {

StepInput inputOf(const GameField& field, const GameContext& ctx)
{
    StepInput in;
    in.aimX = field.aimX;
    in.aimY = field.aimY;
    in.paddleTarget = ctx.paddleTarget;
    in.throwRequested = field.throwRequested;
    in.buttonHeld = field.buttonHeld;
    in.held = field.held;
    in.device = ctx.settings.inputDevice;
    in.sensitivity = ctx.settings.sensitivity;
    in.particles = ctx.settings.particles;
    in.velocityIterations = ctx.settings.velocityIterations;
    in.positionIterations = ctx.settings.positionIterations;
    in.hue = field.hue;
    in.cleanedPercent = ctx.cleanedPercent;
    return in;
}

void applyInput(const StepInput& in, GameField& field, GameContext& ctx)
{
    field.aimX = in.aimX;
    field.aimY = in.aimY;
    ctx.paddleTarget = in.paddleTarget;
    field.throwRequested = in.throwRequested;
    field.buttonHeld = in.buttonHeld;
    field.held = in.held;
    ctx.settings.inputDevice = in.device;
    ctx.settings.sensitivity = in.sensitivity;
    ctx.settings.particles = in.particles;
    ctx.settings.velocityIterations = in.velocityIterations;
    ctx.settings.positionIterations = in.positionIterations;
    field.hue = in.hue;
    ctx.cleanedPercent = in.cleanedPercent;
}

// ---- recording -------------------------------------------------------------

void RoundRecorder::beginLevel(const GameField& field, const GameContext& ctx, const TutorialStart& tutorial,
                               bool measurePending)
{
    m_active = field.stepCount == 0;
    if (!m_active)
        return;  // a round already under way cannot be replayed from here
    LevelRecording next;
    next.difficulty = ctx.difficulty;
    next.levelSeed = ctx.levelSeed;
    next.score = ctx.score;
    next.throwCount = ctx.throwCount;
    next.catcherTimer = field.catcher.timer;
    next.catcherArmed = field.catcher.armed;
    next.measurePending = measurePending;
    next.courseLevel = ctx.course.currentLevel;
    next.spawns = field.roundStart().spawns;
    next.paddle = field.roundStart().paddle;
    next.random = gameRandom().state();
    next.tutorial = tutorial;
    next.finalHash = stateHash(field, ctx);
    next.finalScore = ctx.score;
    recording.levels.push_back(std::move(next));
    m_randomAfterLast = level().random;
    m_dismissPending = false;
    m_insideStep = false;
}

void RoundRecorder::beforeStep(GameField& field, GameContext& ctx)
{
    if (!m_active)
        return;
    if (level().steps.size() >= maxSteps) {
        m_active = false;
        return;
    }
    StepInput in = inputOf(field, ctx);
    in.dismiss = m_dismissPending;
    m_dismissPending = false;
    const auto step = static_cast<std::uint32_t>(level().steps.size());
    const MersenneTwister::State now = gameRandom().state();
    if (!(now == m_randomAfterLast))
        level().jumps.push_back({step, now});
    level().steps.push_back(in);
    m_roundsOverBefore = field.roundsOver;
    m_insideStep = true;
}

void RoundRecorder::afterStep(GameField& field, GameContext& ctx)
{
    if (!m_active)
        return;
    m_insideStep = false;
    m_randomAfterLast = gameRandom().state();
    LevelRecording& current = level();
    current.finalHash = stateHash(field, ctx);
    current.finalScore = ctx.score;
    if (current.steps.size() % hashInterval == 0)
        current.hashes.push_back(current.finalHash);
    if (resetPending) {
        // The round is over. Its score is the one it ended with, before a
        // mode's round-over steps put the counter back to 0.
        if (field.roundsOver != m_roundsOverBefore)
            current.finalScore = field.scoreAtRoundOver;
        current.finished = true;
        m_active = false;
    }
}

void RoundRecorder::measured(std::uint64_t dirty, std::uint64_t total)
{
    // A measurement between steps (on pausing) only shows the share; the
    // next step's input carries it.
    if (!m_active || !m_insideStep)
        return;
    const auto step = static_cast<std::uint32_t>(level().steps.size() - 1);
    level().measurements.push_back({step, dirty, total});
}

// ---- playing back ----------------------------------------------------------

void LevelPlayback::beforeStep(GameField& field, GameContext& ctx)
{
    if (done())
        return;
    const StepInput& in = m_level.steps[m_step];
    if (in.dismiss && dismiss)
        dismiss(ctx);
    while (m_nextJump < m_level.jumps.size() && m_level.jumps[m_nextJump].step <= m_step) {
        gameRandom().restore(m_level.jumps[m_nextJump].state);
        ++m_nextJump;
    }
    applyInput(in, field, ctx);
}

void LevelPlayback::afterStep(GameField& field, GameContext& ctx)
{
    if (done())
        return;
    ++m_step;
    // Measurements left over from this step mean the round went another way.
    if (m_nextMeasurement < m_level.measurements.size() && m_level.measurements[m_nextMeasurement].step < m_step)
        diverge();
    const bool kept = m_step % hashInterval == 0;
    if (!kept && !done())
        return;
    const std::uint64_t hash = stateHash(field, ctx);
    m_computed.push_back(hash);
    const std::size_t i = m_step / hashInterval;
    if (kept && i >= 1 && i - 1 < m_level.hashes.size() && hash != m_level.hashes[i - 1])
        diverge();
    if (done() && hash != m_level.finalHash)
        diverge();
}

std::optional<Measurement> LevelPlayback::nextMeasurement()
{
    if (m_nextMeasurement >= m_level.measurements.size() ||
        m_level.measurements[m_nextMeasurement].step != m_step) {
        diverge();
        return std::nullopt;
    }
    return m_level.measurements[m_nextMeasurement++];
}

}  // namespace replay

#include "screens/RoundReplay.h"

#include "app/GameContext.h"
#include "world/SafeFile.h"
#include "app/Globals.h"
#include "app/cScreen.h"
#include "screens/CleanMode.h"
#include "screens/CourseMode.h"
#include "screens/Tutorial.h"
#include "world/GameField.h"

namespace replay {

TutorialStart tutorialStartOf(const Tutorial* tutorial)
{
    if (!tutorial)
        return {};
    return {tutorial->tutorialStep,    tutorial->stepsDone,       tutorial->toastPending, tutorial->toastShowing,
            tutorial->slowStep,        tutorial->restartTutorial, tutorial->endCountdown};
}

bool measurePendingOf(const CleanMode* clean)
{
    return clean ? clean->measurePending : true;
}

void layLevelStart(GameField& field, GameContext& ctx, const LevelRecording& level, ModeParts parts)
{
    ctx.difficulty = level.difficulty;
    ctx.levelSeed = level.levelSeed;
    field.placePaddle(level.paddle);
    field.layNextRoundFrom(level.spawns);
    field.Reset(ctx);
    ctx.score = level.score;
    ctx.throwCount = level.throwCount;
    field.catcher.timer = level.catcherTimer;
    field.catcher.armed = level.catcherArmed;
    if (Tutorial* t = parts.tutorial) {
        const TutorialStart& s = level.tutorial;
        t->tutorialStep = s.step;
        t->stepsDone = s.stepsDone;
        t->toastPending = s.toastPending;
        t->toastShowing = s.toastShowing;
        t->slowStep = s.slowStep;
        t->restartTutorial = s.restartTutorial;
        t->endCountdown = s.endCountdown;
    }
    if (CleanMode* c = parts.clean)
        c->measurePending = level.measurePending;
    gameRandom().restore(level.random);
}

void connect(LevelPlayback& playback, ModeParts parts)
{
    if (Tutorial* t = parts.tutorial)
        playback.dismiss = [t](GameContext& ctx) { t->dismiss(ctx); };
}

namespace {

FieldRules rulesFor(int mode)
{
    if (mode == ScreenClean)
        return cleanFieldRules();
    FieldRules rules;
    if (mode == ScreenCourse)
        CourseMode::prepareConstruction(rules);
    return rules;
}

}  // namespace

ModeField::ModeField(GameContext& ctx, int mode) : m_field(std::make_unique<GameField>(ctx, rulesFor(mode)))
{
    if (mode == ScreenTutorial)
        m_tutorial = std::make_unique<Tutorial>(*m_field);
    if (mode == ScreenCourse)
        m_course = std::make_unique<CourseMode>(*m_field);
    if (mode == ScreenClean) {
        m_clean = std::make_unique<CleanMode>(*m_field, DirtLayerAccess{});
        m_clean->countWith([this]() -> std::optional<DirtCount> {
            if (!m_playback)
                return std::nullopt;
            const std::optional<Measurement> m = m_playback->nextMeasurement();
            if (!m)
                return DirtCount{1, 1};  // the recorded round measured nothing here: all dirt
            return DirtCount{m->dirty, m->total};
        });
    }
}

ModeField::~ModeField() = default;

void ModeField::resetRound(GameContext& ctx)
{
    if (m_tutorial)
        m_tutorial->Reset(ctx);
    else if (m_clean)
        m_clean->Reset(ctx);
    else if (m_course)
        m_course->Reset(ctx);
    else
        m_field->Reset(ctx);
}

namespace {

// Plays one level on a fresh field; answers whether it matched, and adds the
// hashes it computed.
bool verifyLevel(const LevelRecording& level, int mode, Verdict& verdict)
{
    GameContext ctx;
    // The replay must never write the player's settings.
    ctx.settings.tutorialPlayed = 1;
    ModeField mode_field(ctx, mode);
    GameField& field = mode_field.field();
    layLevelStart(field, ctx, level, mode_field.parts());
    LevelPlayback playback(level);
    connect(playback, mode_field.parts());
    mode_field.measureFrom(&playback);
    field.tap = &playback;

    std::uint32_t roundsOverBefore = field.roundsOver;
    while (!playback.done() && !playback.divergedAt()) {
        roundsOverBefore = field.roundsOver;
        field.Update(ctx, field.timeStep);
    }
    field.tap = nullptr;
    verdict.hashes.insert(verdict.hashes.end(), playback.computedHashes().begin(), playback.computedHashes().end());

    const std::int32_t score =
        level.finished && field.roundsOver != roundsOverBefore ? field.scoreAtRoundOver : ctx.score;
    const bool ended = resetPending;
    resetPending = false;
    if (playback.divergedAt()) {
        verdict.divergedAt = *playback.divergedAt();
        return false;
    }
    if (score != level.finalScore || ended != level.finished) {
        verdict.divergedAt = playback.stepsPlayed();
        return false;
    }
    verdict.score = mode == ScreenCourse ? verdict.score + score : score;
    return true;
}

}  // namespace

void keepRecording(const Recording& recording, const std::string& directoryPrefix, bool bestCandidate)
{
    if (recording.levels.empty())
        return;
    const std::string bytes = encode(recording);
    replaceFileSafely(directoryPrefix + lastRoundFile, bytes);
    if (!bestCandidate)
        return;
    const std::string bestPath = directoryPrefix + bestFileName(recording.mode);
    std::optional<Recording> best;
    if (const std::optional<std::string> old = readFile(bestPath))
        best = decode(*old, recording.gameVersion);
    if (!best || best->score() < recording.score())
        replaceFileSafely(bestPath, bytes);
}

Verdict verify(const Recording& recording)
{
    Verdict verdict;
    const MersenneTwister::State random = gameRandom().state();
    verdict.ok = true;
    for (std::size_t i = 0; i < recording.levels.size(); ++i) {
        verdict.level = i;
        if (!verifyLevel(recording.levels[i], recording.mode, verdict)) {
            verdict.ok = false;
            break;
        }
    }
    gameRandom().restore(random);
    return verdict;
}

}  // namespace replay

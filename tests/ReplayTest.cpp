// Replays: a scripted player plays rounds of every single-player mode while
// the recorder writes them down; the file made from that recording must play
// back to the same hashes and score, a changed input must show up where it
// was changed, and damaged files must be refused.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>

#include <box2d/box2d.h>
#include <gtest/gtest.h>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "app/cScreen.h"
#include "screens/CleanMode.h"
#include "screens/RoundReplay.h"
#include "screens/Tutorial.h"
#include "world/Recorder.h"

namespace {

using replay::Recording;

// Keeps the field's report lines out of the test's output, however the test ends.
struct QuietOutput {
    QuietOutput() { testing::internal::CaptureStdout(); }
    ~QuietOutput() { testing::internal::GetCapturedStdout(); }
};

// Plays like a patient player with a mouse: throws at a microbe that is
// still alive, and keeps the paddle under the bubble.
void scriptedInput(GameField& f, GameContext& ctx, int step, bool followBubble)
{
    if (followBubble && !f.bubbles.empty() && f.bubbles.back().body)
        ctx.paddleTarget = f.bubbles.back().body->GetPosition().x * 30.f;
    if (f.bubbleInPlay || f.throwBlocked || step % 30 != 0)
        return;
    for (const Microbe& m : f.pool.microbes) {
        if (!m.body || m.bursting || m.dead || m.points == 0)
            continue;
        f.aimX = static_cast<int>(m.body->GetPosition().x * 30.f);
        f.aimY = static_cast<int>(m.body->GetPosition().y * 30.f);
        f.buttonPressed();
        f.buttonReleased();
        return;
    }
}

// The scripted player's session in one mode: levels played one after the
// other, with a pause in the menu part way through each (its rising bubbles
// draw from the game's random source, and the player moves the pointer).
struct Session {
    explicit Session(int mode) : mode(mode)
    {
        resetPending = false;
        ctx.difficulty = Casual;
        ctx.settings.inputDevice = DeviceMouse;
        ctx.settings.tutorialPlayed = 1;
        ctx.settings.particles = true;
        if (mode == ScreenCourse)
            ctx.course.generate(2, 4660);
        play = std::make_unique<replay::ModeField>(ctx, mode);
        if (replay::ModeParts parts = play->parts(); parts.clean) {
            // The dirt wiped so far, as a picture of the layer would show it.
            parts.clean->countWith([this] {
                cleaned = std::min<std::uint64_t>(cleaned + 90000, 623170);
                return DirtCount{623170 - cleaned, 623170};
            });
        }
        recorder.recording.mode = mode;
        recorder.recording.gameVersion = ctx.localVersion;
    }

    // Plays up to the given steps per level, or until the levels are done.
    void run(int levels, int stepsPerLevel)
    {
        GameField& f = play->field();
        f.tap = &recorder;
        for (int level = 0; level < levels; ++level) {
            play->resetRound(ctx);
            const replay::ModeParts parts = play->parts();
            recorder.beginLevel(f, ctx, replay::tutorialStartOf(parts.tutorial), replay::measurePendingOf(parts.clean));
            for (int step = 0; step < stepsPerLevel && recorder.active(); ++step) {
                if (step == stepsPerLevel / 3)
                    pauseInTheMenu();
                if (parts.tutorial && parts.tutorial->toastShowing && step % 50 == 0)
                    parts.tutorial->dismiss(ctx);
                scriptedInput(f, ctx, step, followBubble);
                f.Update(ctx, f.timeStep);
            }
            recorder.stop();
            if (!resetPending)
                break;
        }
        f.tap = nullptr;
    }

    void pauseInTheMenu()
    {
        for (int i = 0; i < 37; ++i)
            randomRaw();
        play->field().aimX = 100;
        ctx.settings.particles = !ctx.settings.particles;
    }

    int mode;
    GameContext ctx;
    std::unique_ptr<replay::ModeField> play;
    replay::RoundRecorder recorder;
    std::uint64_t cleaned = 0;
    bool followBubble = true;
};

// The first step from `from` on that made a throw: a request is only ever
// taken while no bubble is in play.
std::size_t firstThrow(const replay::LevelRecording& level, std::size_t from)
{
    for (std::size_t i = from; i < level.steps.size(); ++i)
        if (level.steps[i].throwRequested)
            return i;
    return level.steps.size();
}

Recording throughTheFile(const Recording& r)
{
    std::optional<Recording> read = replay::decode(replay::encode(r), GameContext().localVersion);
    EXPECT_TRUE(read.has_value());
    return read ? *read : Recording{};
}

class EveryMode : public ::testing::TestWithParam<int> {};

TEST_P(EveryMode, RecordedRoundsReplayToTheSameHashesAndScore)
{
    std::optional<QuietOutput> quiet(std::in_place);
    Session session(GetParam());
    session.run(GetParam() == ScreenCourse ? 2 : 1, 5000);
    const Recording recorded = session.recorder.recording;
    const std::int32_t playedScore = session.ctx.score;
    const Recording read = throughTheFile(recorded);
    const replay::Verdict first = replay::verify(read);
    const replay::Verdict second = replay::verify(read);
    quiet.reset();

    ASSERT_FALSE(recorded.levels.empty());
    const replay::LevelRecording& last = recorded.levels.back();
    EXPECT_GT(last.steps.size(), 300u);
    EXPECT_FALSE(last.jumps.empty()) << "the pause in the menu moved the random source";
    EXPECT_TRUE(first.ok) << "level " << first.level << " diverged at step " << first.divergedAt;
    EXPECT_EQ(first.score, read.score());
    if (!last.finished && GetParam() != ScreenCourse) {
        EXPECT_EQ(first.score, playedScore);
    }
    EXPECT_GT(read.score(), 0);
    // The same recording plays back to the same hashes, bit for bit.
    EXPECT_EQ(first.hashes, second.hashes);
    EXPECT_GE(first.hashes.size(), last.hashes.size());
    if (GetParam() == ScreenCourse) {
        EXPECT_EQ(recorded.levels.size(), 2u) << "the scripted player finishes the first level";
        EXPECT_TRUE(recorded.levels.front().finished);
    }
    if (GetParam() == ScreenTutorial) {
        EXPECT_TRUE(std::any_of(last.steps.begin(), last.steps.end(),
                                [](const replay::StepInput& s) { return s.dismiss; }));
    }
    if (GetParam() == ScreenClean) {
        EXPECT_FALSE(last.measurements.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, EveryMode,
                         ::testing::Values(ScreenTutorial, ScreenInfinite, ScreenCourse, ScreenClean),
                         [](const auto& info) {
                             switch (info.param) {
                             case ScreenTutorial:
                                 return std::string("Tutorial");
                             case ScreenCourse:
                                 return std::string("Course");
                             case ScreenClean:
                                 return std::string("Clean");
                             default:
                                 return std::string("Infinite");
                             }
                         });

TEST(Replay, AChangedInputDivergesAtTheFirstHashAfterIt)
{
    std::optional<QuietOutput> quiet(std::in_place);
    Session session(ScreenInfinite);
    // A player who lets the bubble fall, so throws follow one another.
    session.followBubble = false;
    session.run(1, 1500);
    Recording changed = session.recorder.recording;
    replay::LevelRecording& level = changed.levels.front();
    const std::size_t at = firstThrow(level, 100);
    if (at < level.steps.size())
        level.steps[at].aimX += 40;
    const replay::Verdict verdict = replay::verify(throughTheFile(changed));
    const replay::Verdict untouched = replay::verify(throughTheFile(session.recorder.recording));
    quiet.reset();

    ASSERT_LT(at, level.steps.size());
    EXPECT_TRUE(untouched.ok);
    EXPECT_FALSE(verdict.ok);
    // The throw at step `at` flies elsewhere; the next kept hash tells.
    EXPECT_EQ(verdict.divergedAt, (at / replay::hashInterval + 1) * replay::hashInterval) << "changed step " << at;
}

TEST(Replay, DamagedTruncatedAndForeignFilesAreRefused)
{
    std::optional<QuietOutput> quiet(std::in_place);
    Session session(ScreenInfinite);
    session.run(1, 400);
    quiet.reset();
    const std::string version = session.ctx.localVersion;
    const std::string bytes = replay::encode(session.recorder.recording);
    ASSERT_TRUE(replay::decode(bytes, version));

    for (std::size_t cut : {std::size_t{0}, std::size_t{7}, std::size_t{8}, std::size_t{20}, bytes.size() / 2,
                            bytes.size() - 9, bytes.size() - 1})
        EXPECT_FALSE(replay::decode(bytes.substr(0, cut), version)) << "cut to " << cut;
    std::string flipped = bytes;
    flipped[bytes.size() / 3] ^= 0x10;
    EXPECT_FALSE(replay::decode(flipped, version));
    EXPECT_FALSE(replay::decode(bytes + "x", version));
    EXPECT_FALSE(replay::decode(bytes, version + "b")) << "a replay of another version";
    std::mt19937 noise(7);
    std::string garbage(bytes.size(), '\0');
    for (char& c : garbage)
        c = static_cast<char>(noise());
    EXPECT_FALSE(replay::decode(garbage, version));
    EXPECT_FALSE(replay::decode("FROTHREC" + garbage, version));
}

TEST(Replay, TheLastRoundIsKeptAndTheBestOnlyWhenBeaten)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "frothlet-replay-keep";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string prefix = dir.string() + "/";
    const std::string version = GameContext().localVersion;
    auto scored = [&](std::int32_t score) {
        Recording r;
        r.gameVersion = version;
        r.levels.emplace_back();
        r.levels.back().finished = true;
        r.levels.back().finalScore = score;
        return r;
    };
    auto scoreIn = [&](const char* name) -> std::int64_t {
        const auto bytes = replay::readFile(prefix + name);
        const auto r = bytes ? replay::decode(*bytes, version) : std::nullopt;
        return r ? r->score() : -1;
    };

    replay::keepRecording(scored(300), prefix, true);
    replay::keepRecording(scored(100), prefix, true);
    EXPECT_EQ(scoreIn("last-round.frothrec"), 100);
    EXPECT_EQ(scoreIn("best-infinite.frothrec"), 300);
    replay::keepRecording(scored(900), prefix, false);
    EXPECT_EQ(scoreIn("best-infinite.frothrec"), 300) << "an unfinished round is never the best";
    replay::keepRecording(scored(500), prefix, true);
    EXPECT_EQ(scoreIn("best-infinite.frothrec"), 500);
    EXPECT_FALSE(std::filesystem::exists(prefix + "last-round.frothrec.tmp"));
    std::filesystem::remove_all(dir);
}

}  // namespace

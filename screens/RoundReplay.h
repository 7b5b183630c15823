// Replaying a recorded round with the rules of its mode: laying a level's
// start on a field, wiring the mode's own inputs (the tutorial's click, clean
// mode's measurements) into the playback, and checking a whole recording
// without a window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "world/Recorder.h"

struct GameContext;
class GameField;
class Tutorial;
class CleanMode;
class CourseMode;

namespace replay {

// The mode objects a field plays under, if any.
struct ModeParts {
    Tutorial* tutorial = nullptr;
    CleanMode* clean = nullptr;
};

// The tutorial's progress and clean mode's measuring flag, for the recorder.
TutorialStart tutorialStartOf(const Tutorial* tutorial);
bool measurePendingOf(const CleanMode* clean);

// Lays the level's start on the field: the same microbes, paddle, counters,
// mode state and random source as when the level began.
void layLevelStart(GameField& field, GameContext& ctx, const LevelRecording& level, ModeParts parts);
// Lets the playback make the tutorial's clicks.
void connect(LevelPlayback& playback, ModeParts parts);

// A field of one mode, built without a window, for replaying.
class ModeField {
public:
    ModeField(GameContext& ctx, int mode);
    ~ModeField();

    GameField& field() { return *m_field; }
    // A new round as the mode's screen lays it.
    void resetRound(GameContext& ctx);
    ModeParts parts() const { return {m_tutorial.get(), m_clean.get()}; }
    // Clean mode's measurements come from this playback while it is set.
    void measureFrom(LevelPlayback* playback) { m_playback = playback; }

private:
    std::unique_ptr<GameField> m_field;
    std::unique_ptr<Tutorial> m_tutorial;
    std::unique_ptr<CleanMode> m_clean;
    std::unique_ptr<CourseMode> m_course;
    LevelPlayback* m_playback = nullptr;
};

// Writes the recording as the last round's replay, in the directory the
// settings are kept in; a finished round that beats the mode's best replay
// (or a best replay that cannot be read) also becomes the best one.
void keepRecording(const Recording& recording, const std::string& directoryPrefix, bool bestCandidate);

struct Verdict {
    bool ok = false;
    std::uint32_t divergedAt = 0;  // steps into the level that diverged
    std::size_t level = 0;         // which level, from 0
    std::int64_t score = 0;
    std::vector<std::uint64_t> hashes;  // every hash the replay computed, in order
};

// Replays every level of the recording, each on a fresh field, and compares
// every recorded hash, the final state and the final score.
Verdict verify(const Recording& recording);

}  // namespace replay

// A recorded single-player round: how it began, what the player did on every
// fixed step, and hashes of the field along the way, so that the round can be
// played again exactly and checked against what was played. Also the
// ".frothrec" file that holds it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "world/GameField.h"
#include "world/Random.h"

namespace replay {

// A hash of the field is kept every this many steps, and once more at the end.
inline constexpr std::uint32_t hashInterval = 60;
// The most steps one level may hold: four hours of play.
inline constexpr std::uint32_t maxSteps = 60u * 60u * 60u * 4u;
// The most levels one file may hold (a course's longest).
inline constexpr std::uint32_t maxLevels = 99;

// Everything one fixed step took from outside the field: the player's aim,
// throw and paddle, the held keys and joystick, the settings the step reads,
// and the few values drawn with the cosmetic generator that the field keeps.
struct StepInput {
    std::int32_t aimX = 512;
    std::int32_t aimY = 768;
    float paddleTarget = 0.f;
    bool throwRequested = false;
    bool buttonHeld = false;
    HeldInput held;
    std::int32_t device = 10;
    float sensitivity = 4096.f;
    bool particles = false;
    std::int32_t velocityIterations = 3;
    std::int32_t positionIterations = 3;
    std::int32_t hue = 0;
    float cleanedPercent = 0.f;
    // The tutorial's "Click to continue." was clicked before this step.
    bool dismiss = false;
};

// The game's random source was moved by something outside the field (the
// menu's rising bubbles while the game was paused) before step `step`.
struct RandomJump {
    std::uint32_t step = 0;
    MersenneTwister::State state;
};

// A measurement of clean mode's dirt layer made inside step `step`.
struct Measurement {
    std::uint32_t step = 0;
    std::uint64_t dirty = 0;
    std::uint64_t total = 0;
};

// The tutorial's own progress when the level began.
struct TutorialStart {
    std::int32_t step = 0;
    std::int32_t stepsDone = 0;
    bool toastPending = false;
    bool toastShowing = false;
    float slowStep = 0.016666668f;
    bool restartTutorial = true;
    std::int32_t endCountdown = 300;
};

// One level: a whole round of the Infinite mode, the tutorial or clean mode,
// or one level of a course.
struct LevelRecording {
    // how it began
    std::int32_t difficulty = 0;
    std::uint32_t levelSeed = 0;
    std::int32_t score = 0;
    std::int32_t throwCount = 0;
    std::int32_t catcherTimer = 0;
    bool catcherArmed = true;
    bool measurePending = true;
    std::int32_t courseLevel = 0;
    std::vector<Spawn> spawns;
    PaddlePose paddle;
    MersenneTwister::State random;
    TutorialStart tutorial;

    // what happened
    std::vector<StepInput> steps;
    std::vector<RandomJump> jumps;
    std::vector<Measurement> measurements;
    std::vector<std::uint64_t> hashes;  // after steps 60, 120, ...

    // how it ended
    bool finished = false;  // the round ended, rather than being left
    std::uint64_t finalHash = 0;
    std::int32_t finalScore = 0;
};

struct Recording {
    std::int32_t mode = 3;  // the game screen: 2 tutorial, 3 Infinite, 4 course, 5 clean
    std::string gameVersion;
    std::vector<LevelRecording> levels;

    // The score the recording is kept for: a course's points over all its
    // levels, otherwise the round's score.
    std::int64_t score() const;
};

// The field's deciding state in 64 bits: every microbe's and bubble's motion,
// hit points and burst state, the paddle, score, combo, counters and the
// game's random source.
std::uint64_t stateHash(const GameField& field, const GameContext& ctx);

// The file's bytes: magic, format version, game version, the recording, and a
// checksum over all of it.
std::string encode(const Recording& recording);
// Answers the recording, or nothing for a file that is damaged, cut short,
// of another format or of another game version.
std::optional<Recording> decode(const std::string& bytes, const std::string& gameVersion);

// The start of every file of this format and game version, and the
// checksum that closes it: for tools that build files by hand.
std::string fileHeader(const std::string& gameVersion);
std::string sealed(std::string body);

// The one line a refused file is reported with.
inline constexpr const char* refusedLine = "Replay file refused: damaged or not from this version\n";

// Reads a whole file; nothing when it cannot be read.
std::optional<std::string> readFile(const std::string& path);

// The file names, in the directory the settings are kept in.
inline constexpr const char* lastRoundFile = "last-round.frothrec";
std::string bestFileName(int mode);

}  // namespace replay

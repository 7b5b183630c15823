// Records a round while it is played, and plays a recorded level back into a
// field, step by step, checking the field against the recorded hashes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "world/Recording.h"

namespace replay {

// What a step takes from outside the field, as it stands now.
StepInput inputOf(const GameField& field, const GameContext& ctx);
// Puts a recorded step's input where the step reads it.
void applyInput(const StepInput& input, GameField& field, GameContext& ctx);

class RoundRecorder : public StepTap {
public:
    // Starts a new level from the field as it stands: it must not have
    // stepped since it was laid.
    void beginLevel(const GameField& field, const GameContext& ctx, const TutorialStart& tutorial,
                    bool measurePending);
    // Forgets everything recorded (a course starts over).
    void clear() { recording.levels.clear(); m_active = false; }
    // Stops recording the current level where it stands; it stays in the recording.
    void stop() { m_active = false; }
    bool active() const { return m_active; }

    void beforeStep(GameField& field, GameContext& ctx) override;
    void afterStep(GameField& field, GameContext& ctx) override;
    void dismissed() override { m_dismissPending = true; }
    // A measurement of clean mode's dirt layer; those inside a step decide the wave.
    void measured(std::uint64_t dirty, std::uint64_t total) override;

    Recording recording;

private:
    LevelRecording& level() { return recording.levels.back(); }

    bool m_active = false;
    bool m_insideStep = false;
    bool m_dismissPending = false;
    std::uint32_t m_roundsOverBefore = 0;
    MersenneTwister::State m_randomAfterLast;
};

// Drives a field through one recorded level. The level's start must already
// be laid on the field; then every step of the field takes the recorded input.
class LevelPlayback : public StepTap {
public:
    explicit LevelPlayback(const LevelRecording& level) : m_level(level) {}

    void beforeStep(GameField& field, GameContext& ctx) override;
    void afterStep(GameField& field, GameContext& ctx) override;
    bool allowsStep() const override { return !done(); }
    // The next measurement the recorded round made inside the current step.
    std::optional<Measurement> nextMeasurement();

    bool done() const { return m_step >= m_level.steps.size(); }
    std::uint32_t stepsPlayed() const { return m_step; }
    // The first step at which the field no longer matched the recording.
    std::optional<std::uint32_t> divergedAt() const { return m_diverged; }
    // The hashes the playback computed: one every 60 steps, and the last.
    const std::vector<std::uint64_t>& computedHashes() const { return m_computed; }

    // The tutorial's "Click to continue." click, which only the mode knows how to make.
    std::function<void(GameContext&)> dismiss;

private:
    void diverge() { if (!m_diverged) m_diverged = m_step; }

    const LevelRecording& m_level;
    std::uint32_t m_step = 0;
    std::size_t m_nextJump = 0;
    std::size_t m_nextMeasurement = 0;
    std::optional<std::uint32_t> m_diverged;
    std::vector<std::uint64_t> m_computed;
};

}  // namespace replay

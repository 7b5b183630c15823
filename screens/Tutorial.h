// The tutorial's rules on top of a game field: four steps on a fixed practice
// field, a slow-down to a standstill after each, and a closing slow motion.
#pragma once

#include <cstdint>

struct GameContext;
class GameField;
struct Microbe;

class Tutorial {
public:
    static constexpr float normalStep = 0.016666668f;  // 1/60 s
    static constexpr float frozenBelow = 0.00027777778f;  // 1/3600 s
    static constexpr std::int32_t stepBits[4] = {0x1, 0x10, 0x100, 0x1000};

    // Installs the tutorial's hooks on the field. The field's first field,
    // built before this, stays the Infinite one until the first Reset.
    explicit Tutorial(GameField& field);

    // A fresh practice field; starts over at step 0 when restartTutorial is set.
    void Reset(GameContext& ctx);
    // One fixed step: the field's step, slowed down after an advance.
    void fixedStep(GameContext& ctx);
    // A click while "Click to continue." shows: fresh field, same step.
    void dismiss(GameContext& ctx);

    // The closing countdown has run out: the next visit starts afresh.
    bool finished() const { return endCountdown <= 0; }
    bool stepDone(int step) const { return step < 4 && (stepsDone & stepBits[step]) != 0; }

    std::int32_t tutorialStep = 0;
    std::int32_t stepsDone = 0;
    bool toastPending = false;
    bool toastShowing = false;
    float slowStep = normalStep;
    bool restartTutorial = true;
    std::int32_t endCountdown = 300;

private:
    void advance(GameContext& ctx, int from);
    void onHit(GameContext& ctx, const Microbe& m, int hitBy);
    void roundEnd(GameContext& ctx);
    void finish(GameContext& ctx);

    GameField& m_field;
};

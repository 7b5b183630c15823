// One game field: the physics world with its walls, fences, paddle and catcher,
// the microbes, the thrown bubbles, scoring and the end of a round. It is
// headless: the game screens feed it input, step it and draw what it holds.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include <SFML/Graphics/View.hpp>

#include "world/ContactListener.h"
#include "world/Microbe.h"
#include "world/MicrobePool.h"
#include "world/Particles.h"

struct GameContext;
class b2World;
class b2Body;

// Held joystick and keyboard state, sampled by the screen each frame.
struct HeldInput {
    float joystickX[4]{};
    bool joystickButton0[4]{};
    bool left = false;
    bool right = false;
    bool control = false;
};

// What a mode changes about the field. Every hook is optional; an empty one
// keeps the Infinite mode's rule.
struct FieldRules {
    // Fills the empty pool with the round's microbes; by default the field of
    // the context's level seed.
    std::function<void(MicrobePool&, GameContext&)> populate;
    // Whether a bubble hit on a microbe worth points raises the combo.
    std::function<bool(const Microbe&)> hitRaisesCombo;
    // Told after a hit has been scored (hitBy: 1 the bubble, 2 a burst).
    std::function<void(GameContext&, const Microbe&, int hitBy)> onHit;
    // Told when the bubble touches the paddle.
    std::function<void(GameContext&)> onPaddleTouch;
    // Replaces the cleared-field celebration and the end of the round.
    std::function<void(GameContext&)> roundEnd;
    // Runs one fixed step in place of Logic with the normal step length.
    std::function<void(GameContext&)> fixedStep;
    // Told once a won round's celebration is over: before "Level over" is
    // written, and after the field-over steps.
    std::function<void(GameContext&)> beforeRoundOver;
    std::function<void(GameContext&)> onRoundOver;
    // Whether the end of a round starts the menu tune.
    bool menuTuneOnRoundOver = true;

    // What the constructor reports.
    const char* constructionLine = "constructing screen 1\n";
    bool printsDifficultyLine = true;
    // The far ceiling's height in pixels, unless it lies one view above the field.
    float ceilingY = 0.f;
    bool ceilingAboveView = true;
    // Whether winning fades the game music out while the celebration runs.
    bool fadeOutOnWin = true;
    // What Reset leaves alone.
    bool resetKeepsThrowCount = false;
    bool resetKeepsCatcher = false;
    bool resetKeepsComboBanner = false;
};

class GameField;

// Watches or drives every fixed step of a field: the recorder of a round and
// the replay that plays it back.
class StepTap {
public:
    virtual ~StepTap() = default;
    virtual void beforeStep(GameField&, GameContext&) {}
    virtual void afterStep(GameField&, GameContext&) {}
    // The player started the field afresh between steps (the tutorial's click).
    virtual void dismissed() {}
    // Whether the next fixed step may run (a replay stops at its last step).
    virtual bool allowsStep() const { return true; }
    // Clean mode measured its dirt layer: so many of so many pixels still dirty.
    virtual void measured(std::uint64_t /*dirty*/, std::uint64_t /*total*/) {}
};

// The paddle's whole motion, carried from one round's world into the next.
struct PaddlePose {
    float x = 0.f;  // metres
    float y = 0.f;
    float angle = 0.f;
    float vx = 0.f;
    float vy = 0.f;
    float spin = 0.f;
};

// How the current round was laid: its microbes and the paddle it began with.
struct RoundStart {
    std::vector<Spawn> spawns;
    PaddlePose paddle;
};

class GameField {
public:
    GameField(GameContext& ctx, FieldRules rules = {});
    ~GameField();
    GameField(const GameField&) = delete;
    GameField& operator=(const GameField&) = delete;

    // Runs as many fixed steps as the frame time owes, then interpolates.
    int Update(GameContext& ctx, double frameSeconds);
    // One fixed step of the whole field.
    void Logic(GameContext& ctx, float dt);
    // A fresh round in the same world: new field, counters back to the start.
    void Reset(GameContext& ctx);

    // Pointer and buttons, from the window's events (mouse device).
    void pointerMoved(GameContext& ctx, int windowX, int windowY);
    void buttonPressed();
    void buttonReleased() { buttonHeld = false; }

    // Difficulty's share of microbes that may stay: 0.2, 0.1 or 0.
    static float clearThreshold(int difficulty);
    // Launch point in view pixels.
    sf::Vector2f launchPoint() const;
    // Angle of a throw towards the current aim.
    float aimAngle() const;
    // The bubble pitch rule: 1.3, or 1.8 when rand() gave 1.
    static float bopPitch(int r);
    // Whether the field is cleared and nothing that matters still bursts.
    bool clearedAndQuiet(const GameContext& ctx) const;

    b2World& physics() { return *world; }
    b2Body* paddle() const { return paddleBody; }
    PaddlePose paddlePose() const;
    void placePaddle(const PaddlePose& pose);
    // Lays the given microbes instead of the mode's next field, once.
    void layNextRoundFrom(std::vector<Spawn> spawns) { nextSpawns = std::move(spawns); layFromSpawns = true; }
    const RoundStart& roundStart() const { return lastStart; }

    // Told before and after every fixed step, when set.
    StepTap* tap = nullptr;
    // The score as the last round ended, before a mode's round-over steps
    // could clear it.
    std::int32_t scoreAtRoundOver = 0;
    std::uint32_t roundsOver = 0;

    GameContext* context = nullptr;
    FieldRules rules;
    HeldInput held;

    sf::View fieldView;
    std::int32_t counter = 0;
    Catcher catcher;

    bool throwRequested = false;
    bool buttonHeld = false;
    bool bubbleInPlay = false;
    bool secondInPlay = false;
    bool throwBlocked = false;
    bool roundWon = false;
    std::int32_t aimX = 512;
    std::int32_t aimY = 768;
    std::int32_t stepCount = 0;
    std::int32_t comboCount = 0;
    std::int32_t celebrationCountdown = 180;
    std::int32_t viewShake = 0;
    float scrollDrawn = 0.f;
    float scrollPrevious = 0.f;
    float scrollCurrent = 0.f;
    float clearedBannerOffset = -1024.f;
    float comboBannerOffset = -1024.f;
    std::int32_t bannerHold = 0;
    float spiralAngle = 0.f;
    bool spiralOn = false;
    float lastBubbleX = 0.f;
    float lastBubbleY = 0.f;
    std::int32_t burstingCount = 0;

    std::deque<Bubble> bubbles;
    std::deque<ScorePopup> popups;

    double timeStep = 1.0 / 60.0;
    Pose paddlePrevious;
    Pose paddleDrawn;

    MicrobePool pool;
    ParticleSystem particles;
    double accumulator = 0.0;
    double alpha = 0.0;

    std::int32_t hue = 0;
    float zoomFactor = 1.f;
    float displayFactor = 1.f;

private:
    void buildWorld(const PaddlePose& paddle);
    void buildBounds();
    void buildPaddle(const PaddlePose& pose);
    void buildCatcher();
    void populate(GameContext& ctx);

    void steerPaddle(GameContext& ctx);
    void throwBubble(GameContext& ctx);
    void upkeepBubbles(GameContext& ctx);
    void upkeepPopups();
    void microbeLoop(GameContext& ctx);
    void scoreHit(GameContext& ctx, Microbe& m);
    void roundEnd(GameContext& ctx);
    void celebrate(GameContext& ctx);
    void finishRound(GameContext& ctx);
    void upkeepHud(GameContext& ctx);
    void destroyBubbles();

    RoundStart lastStart;
    std::vector<Spawn> nextSpawns;
    bool layFromSpawns = false;

    std::unique_ptr<b2World> world;
    cContactListener listener;
    b2Body* paddleBody = nullptr;
};

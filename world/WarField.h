// The war arena: four players in the four corners, each with a cluster of
// microbes and a small paddle circling its corner. One bubble, launched after
// a countdown, flies without gravity and bursts whatever it touches. Headless:
// the war screen feeds it input, steps it and draws what it holds.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>

#include <SFML/Graphics/View.hpp>

#include "world/ContactListener.h"
#include "world/Microbe.h"
#include "world/MicrobePool.h"
#include "world/Particles.h"
#include "world/Random.h"

struct GameContext;
struct Seat;
class b2World;
class b2Body;

// A paddle (records 0 to 3, one per seat) or an edge bumper (records 4 to 7).
struct WarBody {
    bool out = false;  // paddles only: the seat has lost all its microbes
    b2Body* body = nullptr;
    float drawRadius = 0.f;  // pixels
};

// Held joystick and keyboard state, sampled by the screen each frame.
struct WarHeldInput {
    std::array<float, 4> joystickX{};
    bool left = false;
    bool right = false;
};

class WarField {
public:
    static constexpr int seatCount = 4;
    static constexpr int firstBumper = 4;
    static constexpr int microbesPerSeat = 8;

    explicit WarField(GameContext& ctx);
    virtual ~WarField();
    WarField(const WarField&) = delete;
    WarField& operator=(const WarField&) = delete;

    // Runs as many fixed steps as the frame time owes, then interpolates.
    int Update(GameContext& ctx, double frameSeconds);
    // One fixed step of war.
    int Logic(GameContext& ctx, float dt);
    // A fresh round in the same world.
    virtual void Reset(GameContext& ctx);

    // The screen calls this every drawn frame: a countdown banner on show holds
    // its fade at full until its stage is over.
    void holdBanner()
    {
        if (countdownTicks >= 1)
            bannerFade = 45;
    }

    // The mouse pointer in window pixels, turned into logical pixels.
    void pointerMoved(const GameContext& ctx, int windowX, int windowY);

    // Where a seat's paddle heads for: 150 px from its corner towards its aim.
    static sf::Vector2f paddleTarget(const Seat& seat, int s);
    // The four seats this arena plays: the local war's, unless a mode keeps
    // its own.
    virtual std::array<Seat, 4>& seatsOf(GameContext& ctx);
    // The bubble's flight direction in degrees for a draw k in 0..7.
    static float launchDegrees(int k) { return 45.f * static_cast<float>(k) + 7.f; }
    // The eight start points of a seat's cluster, in pixels.
    static std::array<sf::Vector2f, microbesPerSeat> clusterPoints(int seat);

    b2World& physics() { return *world; }

    WarHeldInput held;
    std::array<WarBody, 8> warBodies{};

    std::int32_t countdownTicks = 60;
    std::int32_t countdownStage = 2;
    std::int32_t bannerFade = 0;
    float bannerSlide = -1024.f;

    bool bubbleInPlay = false;
    bool roundOver = false;
    std::int32_t roundOverTicks = 180;
    float keyboardTurnSpeed = 0.f;
    std::int32_t pointerX = 512;
    std::int32_t pointerY = 384;

    // Above this speed (m/s) the bubble gets the fast damping; the joystick
    // turns the aim by its axis times this rate (radians).
    float fastSpeed = 65.f;
    float joystickTurnRate = 0.00105f;

    std::int32_t stepCount = 0;
    std::int32_t comboCount = 0;
    std::int32_t viewShake = 0;
    float scroll = 0.f;

    sf::View fieldView;
    Catcher catcher;
    std::deque<Bubble> bubbles;
    std::deque<ScorePopup> popups;
    MicrobePool pool;
    ParticleSystem particles;
    double timeStep = 1.0 / 60.0;
    double accumulator = 0.0;
    double alpha = 0.0;

protected:
    // What the networked arena does differently; the local arena does nothing
    // more. networkPhase runs right after the countdown timers, afterStep at
    // the end of every step.
    virtual void networkPhase(GameContext&) {}
    virtual float launchRadians(GameContext&)
    {
        return launchDegrees(static_cast<int>(randomInt(7))) * 0.017453292f;
    }
    // False holds a hit back: the microbe waits for somebody else's say-so.
    virtual bool takeHit(GameContext&, std::size_t /*index*/, Microbe&) { return true; }
    virtual void beforeCounting(GameContext&) {}
    virtual void afterStep(GameContext&) {}
    virtual void roundFinished(GameContext&) {}

    void buildArena();
    void buildWarBodies();
    void buildCatcher();
    void populate(GameContext& ctx);

    void startSequence();
    void launch(GameContext& ctx);
    void aim(GameContext& ctx);
    void aimSeat(GameContext& ctx, int seat);
    void drivePaddles(GameContext& ctx);
    void upkeepBubbles(GameContext& ctx);
    void upkeepPopups();
    void microbeLoop(GameContext& ctx);
    void scoreHit(GameContext& ctx, Microbe& m);
    void countAndEnd(GameContext& ctx);
    void finishRound(GameContext& ctx);
    void upkeepView(const GameContext& ctx);
    void destroyBubbles();

    std::unique_ptr<b2World> world;

private:
    cContactListener listener;
};

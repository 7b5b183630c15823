// The records of the field's moving things: microbes, thrown bubbles and the
// catcher at the top of the field.
#pragma once

#include <cstdint>

#include <SFML/Graphics/Color.hpp>

#include "world/Random.h"

class b2Body;

// A position kept for interpolated drawing, in metres.
struct Pose {
    float x = 0.f;
    float y = 0.f;
    float angle = 0.f;
};

struct Microbe {
    MersenneTwister rng{1};
    std::int32_t unused0 = 0;
    std::int32_t type = 0;
    std::int32_t hitPoints = 1;
    std::int32_t points = 5;
    std::int32_t difficulty = 0;
    std::int32_t blinkCounter = 0;
    float pixelX = 0.f;
    float pixelY = 0.f;
    float radius = 5.0f;
    float burstRadius = 40.0f;
    float burstGrowth = 0.2f;
    std::int32_t childType = 0;
    std::int32_t childCount = 0;
    std::int32_t fuse = 0;
    std::int32_t shieldSteps = 0;
    std::int32_t unused1 = 0;
    std::int32_t unused2 = 0;
    std::int32_t unused3 = 0;
    bool marked = false;
    bool spawnsChildren = false;
    bool unusedFlag = false;
    bool dead = false;
    bool bursting = false;
    bool hasFuse = false;
    bool movesWhileFused = false;
    bool keepsMoving = false;
    bool shielded = false;
    bool attracts = false;
    bool repels = false;
    bool ambient = false;
    bool wanders = false;
    bool ownedByOther = false;
    std::int32_t wanderCount = 0;
    std::int32_t hitBy = 0;  // 0 none, 1 the bubble, 2 a burst
    sf::Color color{180, 180, 255, 255};
    sf::Color savedColor{180, 180, 255, 255};
    b2Body* body = nullptr;
    Pose previous;
    Pose current;
    std::int32_t wanderPeriod = 24;
    float wanderScale = 1.0f;
    float wanderBase = -0.5f;
    float wanderOffsetX = 0.f;
    float wanderOffsetY = 0.f;
};

enum HitSource : std::int32_t { NotHit = 0, HitByBubble = 1, HitByBurst = 2 };

struct Bubble {
    std::int32_t unused0 = 0;
    float radius = 0.f;
    std::int32_t unusedFields[6]{};
    std::int32_t power = 0;
    std::int32_t unused1 = 1;
    std::int32_t unused2[3]{};
    bool finished = false;
    bool touchedPaddle = false;
    bool trailOn = true;
    sf::Color color;
    sf::Color hitColor;
    b2Body* body = nullptr;
    std::int32_t unused3 = 0;
    Pose previous;
    Pose current;
};

struct Catcher {
    std::int32_t timer = 0;
    b2Body* body = nullptr;
    bool armed = true;
};

struct ScorePopup {
    std::int32_t unused0 = 0;
    std::int32_t unused1 = 1;
    std::int32_t value = 0;
    std::int32_t life = 60;
    float x = 0.f;
    float y = 0.f;
    float unused2 = 2.0f;
    bool unusedFlag = false;
    bool done = false;
    float unused3 = 5.0f;
    std::int32_t unused4 = 0;
    float unused5 = 1.0f;
    sf::Color color{250, 250, 108, 255};

    // One step: the pop-up drifts up, fades over its last steps and is done.
    void age()
    {
        life -= 1;
        y -= 0.5f;
        if (life < 15)
            color.a = static_cast<sf::Uint8>(static_cast<int>(static_cast<float>(color.a) * 0.9f));
        if (life < 1)
            done = true;
    }
};

// A screen's microbes. Records live in a deque so their addresses stay put
// while bodies point at them.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "world/Microbe.h"

class b2World;

// How one microbe was laid: enough for a replay to lay the very same one.
struct Spawn {
    std::int32_t type = 0;
    float x = 0.f;  // pixels
    float y = 0.f;
    float impulseX = 0.f;
    float impulseY = 0.f;
    bool ambient = false;
};

class MicrobePool {
public:
    // Builds a microbe of the given type at (x, y) pixels, gives it its body
    // and pushes it with the impulse. Fragments (types above 1000) start
    // bursting at once.
    Microbe& addMicrobe(int type, float x, float y, float impulseX, float impulseY);
    // Sum of the microbes' difficulty weights.
    int difficultyLevel() const;
    // Copies every body's position into previous and current.
    void snapPositions();
    Microbe& at(std::size_t i) { return microbes[i]; }
    const Microbe& at(std::size_t i) const { return microbes[i]; }
    std::size_t size() const { return microbes.size(); }
    // Destroys every body and forgets every microbe and type.
    void clear();

    std::deque<Microbe> microbes;
    std::deque<std::int32_t> types;
    std::int32_t spawnedTotal = 0;
    std::int32_t spawnedLive = 0;
    float density = 5.0f;
    std::int32_t fieldWidth = 1024;
    std::int32_t fieldHeight = 768;
    bool noMicrobeCollision = false;
    b2World* world = nullptr;
    // When set, every added microbe is also written down here.
    std::vector<Spawn>* spawnLog = nullptr;
};

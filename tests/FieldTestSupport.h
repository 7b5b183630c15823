// Shared helpers for the headless field tests: a fixture that owns a context
// and a field, steps it one fixed step at a time, and places or hits microbes
// the way the contact listener would.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <box2d/box2d.h>
#include <gtest/gtest.h>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "world/Bursts.h"
#include "world/GameField.h"
#include "world/Units.h"

namespace fieldtest {

struct Placement {
    int type;
    float x;  // pixels
    float y;
};

// A round made of the given microbes, each placed at rest.
inline FieldRules placed(std::vector<Placement> microbes)
{
    FieldRules rules;
    rules.populate = [microbes](MicrobePool& pool, GameContext&) {
        for (const Placement& p : microbes)
            pool.addMicrobe(p.type, p.x, p.y, 0.f, 0.f);
    };
    return rules;
}

inline FieldRules emptyField()
{
    return placed({});
}

// n microbes of one type on a grid wide enough that no burst reaches a
// neighbour, so every hit is one the test made.
inline FieldRules spreadOut(int type, int n)
{
    std::vector<Placement> microbes;
    for (int i = 0; i < n; ++i)
        microbes.push_back({type, 100.f + 160.f * static_cast<float>(i % 6), 140.f + 110.f * static_cast<float>(i / 6)});
    return placed(microbes);
}

inline unsigned short categoryOf(const b2Body* body)
{
    const b2Fixture* f = body->GetFixtureList();
    return f ? f->GetFilterData().categoryBits : 0;
}

inline sf::Vector2f pixelsOf(const b2Body* body)
{
    const b2Vec2 p = body->GetPosition();
    return {p.x * pixelsPerMetre, p.y * pixelsPerMetre};
}

class FieldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetPending = false;
        // A device that leaves the paddle where it is, unless a test drives it.
        ctx.settings.inputDevice = DeviceComputer;
    }

    GameField& build(FieldRules rules = emptyField())
    {
        testing::internal::CaptureStdout();
        field = std::make_unique<GameField>(ctx, std::move(rules));
        constructionOutput = testing::internal::GetCapturedStdout();
        return *field;
    }

    // One fixed step, through Update as the screen runs it.
    void step(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            field->Update(ctx, field->timeStep);
    }

    // Steps until the condition holds; answers the steps taken, or -1.
    int stepUntil(const std::function<bool()>& done, int limit)
    {
        for (int i = 1; i <= limit; ++i) {
            step();
            if (done())
                return i;
        }
        return -1;
    }

    // Requests a throw towards (x, y) view pixels and runs the step that
    // performs it.
    Bubble& throwToward(int x, int y)
    {
        field->aimX = x;
        field->aimY = y;
        field->throwRequested = true;
        step();
        return field->bubbles.back();
    }

    // What the contact listener does to a microbe that something touched.
    static void touch(Microbe& m, HitSource source)
    {
        hitMicrobe(m, 1);
        m.hitBy = source;
    }

    Microbe& microbe(std::size_t i) { return field->pool.at(i); }

    GameContext ctx;
    std::unique_ptr<GameField> field;
    std::string constructionOutput;
};

}  // namespace fieldtest

#include "world/Bursts.h"

#include <cmath>

#include <box2d/box2d.h>

#include "world/Fixtures.h"
#include "world/Microbe.h"
#include "world/MicrobePool.h"
#include "world/Random.h"
#include "world/Units.h"

namespace {

void setFilterOnAll(b2Body* body, unsigned short category, unsigned short maskBits)
{
    for (b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext()) {
        b2Filter filter;
        filter.categoryBits = category;
        filter.maskBits = maskBits;
        filter.groupIndex = 0;
        f->SetFilterData(filter);
    }
}

void destroyFixtures(b2Body* body)
{
    b2Fixture* f = body->GetFixtureList();
    while (f) {
        b2Fixture* next = f->GetNext();
        body->DestroyFixture(f);
        f = next;
    }
}

void attachGrowthFixture(Microbe& m)
{
    attachCircle(m.body, {(m.radius + 2.f) / pixelsPerMetre, 0.f, 1.0f, 5.0f, BodyCategory::Burst, mask::burstGrowth});
}

void flash(Microbe& m)
{
    m.blinkCounter += 1;
    const int k = m.blinkCounter % 15;
    if (k == 0)
        m.savedColor = m.color;
    if (k <= 6)
        m.color = sf::Color(252, 252, 252, 255);
    else
        m.color = m.savedColor;
}

void burnFuse(Microbe& m)
{
    b2Body* body = m.body;
    body->SetLinearDamping(2.0f);
    if (m.movesWhileFused) {
        const float r1 = static_cast<float>(randomInt(100));
        const float r2 = static_cast<float>(randomInt(100));
        body->ApplyLinearImpulse(b2Vec2(0.03f * r1 - 1.5f, 0.03f * r2 - 1.5f), body->GetPosition(), true);
    }
    m.fuse -= 1;
    if (m.fuse <= 0) {
        m.hasFuse = false;
        m.keepsMoving = false;
        if (body->GetType() != b2_staticBody)
            body->SetLinearVelocity(b2Vec2(0.f, 0.f));
    }
}

// Pulls every living microbe toward the burst, or pushes it away. The burst
// itself is among them: its own offset is (0, 0), so it is nudged to the
// right either way. Each difference is taken in its own order (never as a
// negated one), because atan2 of -0 and -0 would point left instead.
void pushNeighbours(const Microbe& m, MicrobePool& pool)
{
    const b2Vec2 here = m.body->GetPosition();
    for (Microbe& other : pool.microbes) {
        if (other.dead || !other.body || other.body->GetType() != b2_dynamicBody)
            continue;
        const b2Vec2 there = other.body->GetPosition();
        const b2Vec2 from = m.attracts ? there : here;
        const b2Vec2 to = m.attracts ? here : there;
        const float d = std::atan2((to.y - from.y) * pixelsPerMetre, (to.x - from.x) * pixelsPerMetre);
        other.body->ApplyLinearImpulse(b2Vec2(0.05f * std::cos(d), 0.05f * std::sin(d)), there, true);
    }
}

void grow(Microbe& m, MicrobePool& pool)
{
    if (m.attracts || m.repels)
        pushNeighbours(m, pool);
    m.radius += m.burstGrowth;
    destroyFixtures(m.body);
    attachGrowthFixture(m);
    if (m.radius >= m.burstRadius) {
        m.bursting = false;
        m.dead = true;
        destroyFixtures(m.body);
    }
}

void wander(Microbe& m)
{
    m.wanderCount += 1;
    if (m.wanderPeriod == 0 || m.wanderCount % m.wanderPeriod != 0)
        return;
    const float r1 = static_cast<float>(randomInt(100));
    const float r2 = static_cast<float>(randomInt(100));
    if (m.body->GetType() != b2_dynamicBody)
        return;
    const b2Vec2 kick(m.wanderOffsetX + m.wanderBase + m.wanderScale * 0.01f * r1,
                      m.wanderOffsetY + m.wanderBase + m.wanderScale * 0.01f * r2);
    m.body->ApplyLinearImpulse(kick, m.body->GetPosition(), true);
}

}  // namespace

void hitMicrobe(Microbe& m, int amount)
{
    if (m.dead || m.shielded || m.ownedByOther)
        return;
    m.hitPoints -= amount;
    if (m.hitPoints < 1) {
        if (m.body)
            setFilterOnAll(m.body, BodyCategory::Burst, mask::burstHit);
        m.hitPoints = 0;
        m.bursting = true;
    }
}

void microbeStep(Microbe& m, MicrobePool& pool)
{
    if (!m.body)
        return;
    if (m.shielded) {
        m.shieldSteps -= 1;
        if (m.shieldSteps <= 0)
            m.shielded = false;
    }
    const b2Vec2 v = m.body->GetLinearVelocity();
    m.body->SetLinearDamping(v.x * v.x + v.y * v.y > 44.f ? 3.0f : 0.f);

    if (m.bursting) {
        flash(m);
        if (!m.keepsMoving && !m.movesWhileFused && m.body->GetType() != b2_staticBody)
            m.body->SetLinearVelocity(b2Vec2(0.f, 0.f));
        if (m.hasFuse)
            burnFuse(m);
        else
            grow(m, pool);
    }
    if (!m.dead && m.wanders)
        wander(m);
}

void spawnChildren(MicrobePool& pool, int type, int count, float x, float y)
{
    for (int i = 0; i < count; ++i) {
        const float u1 = static_cast<float>(static_cast<double>(randomRaw()) * 8.0 / 4294967295.0 - 4.0);
        const float u2 = static_cast<float>(static_cast<double>(randomRaw()) * 8.0 / 4294967295.0 - 4.0);
        pool.addMicrobe(type, x, y, u1, u2);
    }
}

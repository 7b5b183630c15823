#include "world/FieldParts.h"

#include <cstdlib>

#include <box2d/box2d.h>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "world/Bursts.h"
#include "world/Effects.h"
#include "world/MicrobePool.h"
#include "world/Units.h"

namespace fieldparts {

std::unique_ptr<b2World> makeWorld(b2ContactListener& listener)
{
    auto world = std::make_unique<b2World>(b2Vec2(0.f, 10.f));
    world->SetAllowSleeping(true);
    world->SetAutoClearForces(false);
    world->SetContactListener(&listener);
    return world;
}

void attachPool(MicrobePool& pool, b2World& world)
{
    pool.world = &world;
    pool.fieldWidth = viewWidth;
    pool.fieldHeight = viewHeight;
}

b2Body* staticBox(b2World& world, float xPixels, float yPixels, float halfW, float halfH,
                  unsigned short category, unsigned short maskBits)
{
    b2BodyDef def;
    def.position.Set(xPixels * metresPerPixel, yPixels * metresPerPixel);
    b2Body* body = world.CreateBody(&def);
    b2PolygonShape box;
    box.SetAsBox(halfW, halfH);
    b2FixtureDef fixture;
    fixture.shape = &box;
    fixture.friction = 0.001f;
    fixture.restitution = 0.f;
    fixture.density = 0.f;
    fixture.filter.categoryBits = category;
    fixture.filter.maskBits = maskBits;
    body->CreateFixture(&fixture);
    return body;
}

void buildCatcher(b2World& world, Catcher& catcher)
{
    const float w = static_cast<float>(viewWidth);
    const float h = static_cast<float>(viewHeight);
    b2BodyDef def;
    def.gravityScale = 0.f;
    def.position.Set(w / 2.f * metresPerPixel, (10.f - h) * metresPerPixel);
    catcher.body = world.CreateBody(&def);
    b2PolygonShape box;
    box.SetAsBox(w / 30.f, 0.0015000001f * h);
    b2FixtureDef fixture;
    fixture.shape = &box;
    fixture.isSensor = true;
    fixture.filter.categoryBits = BodyCategory::Burst;
    fixture.filter.maskBits = mask::catcher;
    catcher.body->CreateFixture(&fixture);
    catcher.body->GetUserData().pointer = reinterpret_cast<uintptr_t>(&catcher);
}

float bopPitch(int r)
{
    // 1 div r is 1 only for r = 1; r = 0 has no value and takes the common pitch.
    if (r == 0)
        return 1.3f;
    return 0.8f + 0.5f * static_cast<float>(1 + ((1 / r) % 100));
}

void scoreHit(GameContext& ctx, Microbe& m, bool raisesCombo, const HitScoring& field)
{
    if (m.type < 1000) {
        ctx.remainingMicrobes -= 1;
        ctx.remainingFraction = ctx.totalMicrobes > 0
                                    ? static_cast<float>(ctx.remainingMicrobes) / static_cast<float>(ctx.totalMicrobes)
                                    : 0.f;
    }
    const b2Vec2 p = m.body->GetPosition();
    effects::burst(field.particles, p.x * 30.f, p.y * 30.f, m.color);
    if (m.hitBy == HitByBubble && m.points > 0 && raisesCombo) {
        ++field.comboCount;
        if (field.catcher.timer > 0)
            field.viewShake = 12;
    }
    const float pitch = bopPitch(std::rand());
    if (!m.marked)
        ctx.audio.play(AudioPlayer::Effect::Bop, pitch);
    const int gained = field.comboCount < 2 ? m.points : field.comboCount * m.points * 10;
    ctx.score += gained;
    m.hitBy = NotHit;
    if (m.points > 0) {
        ScorePopup popup;
        popup.value = gained;
        popup.x = p.x * 30.f;
        popup.y = p.y * 30.f - 5.f;
        field.popups.push_back(popup);
    }
}

void dampBubble(b2Body& body, const GameContext& ctx, float fastSpeed, const Catcher& catcher)
{
    const float speed = body.GetLinearVelocity().Length();
    if (speed > fastSpeed)
        body.SetLinearDamping(ctx.fastDamping);
    else if (speed <= 25.f || catcher.timer != 0)
        body.SetLinearDamping(0.f);
    else
        body.SetLinearDamping(ctx.cruiseDamping);
}

void microbeEffects(ParticleSystem& particles, const Microbe& m)
{
    const b2Vec2 p = m.body->GetPosition();
    if (!m.bursting && !m.dead && m.ambient)
        effects::idleShimmer(particles, p.x * 30.f, p.y * 30.f, m.color);
    if (m.repels && m.bursting && m.blinkCounter == 15)
        effects::repelRing(particles, p.x * 30.f, p.y * 30.f);
    if (m.attracts && m.bursting && m.blinkCounter == 5)
        effects::attractRing(particles, p.x * 30.f, p.y * 30.f);
}

Microbe& advanceMicrobe(MicrobePool& pool, std::size_t i)
{
    Microbe& m = pool.at(i);
    microbeStep(m, pool);
    if (m.bursting && m.spawnsChildren) {
        const b2Vec2 at = m.body->GetPosition();
        m.spawnsChildren = false;
        spawnChildren(pool, m.childType, m.childCount, at.x * 30.f, at.y * 30.f);
    }
    Microbe& same = pool.at(i);
    if (same.dead)
        same.body->SetLinearDamping(10.f);
    return same;
}

bool dropIfGone(GameContext& ctx, b2World& world, ParticleSystem& particles, std::deque<Bubble>& bubbles,
                std::size_t i, float x, float y)
{
    Bubble& b = bubbles[i];
    if (y <= static_cast<float>(viewHeight) - 0.0390625f && !b.finished)
        return false;
    if (b.trailOn) {
        effects::splash(particles, x, y);
        ctx.audio.play(AudioPlayer::Effect::Lose);
    }
    b.finished = true;
    world.DestroyBody(b.body);
    bubbles.erase(bubbles.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
}

void destroyBubbles(b2World& world, std::deque<Bubble>& bubbles)
{
    for (Bubble& b : bubbles) {
        b.finished = true;
        if (b.body)
            world.DestroyBody(b.body);
        b.body = nullptr;
    }
    bubbles.clear();
}

void snapshot(MicrobePool& pool, std::deque<Bubble>& bubbles)
{
    pool.snapPositions();
    for (Bubble& b : bubbles) {
        const b2Vec2 p = b.body->GetPosition();
        b.previous = {p.x, p.y, b.body->GetAngle()};
        b.current = b.previous;
    }
}

void interpolate(MicrobePool& pool, std::deque<Bubble>& bubbles, float alpha, bool followY)
{
    auto between = [alpha, followY](Pose& previous, Pose& current, b2Body* body) {
        if (!body)
            return;
        const b2Vec2 p = body->GetPosition();
        current.x = (1.f - alpha) * previous.x + alpha * p.x;
        if (followY)
            current.y = (1.f - alpha) * previous.y + alpha * p.y;
    };
    for (Microbe& m : pool.microbes)
        between(m.previous, m.current, m.body);
    for (Bubble& b : bubbles)
        between(b.previous, b.current, b.body);
}

}  // namespace fieldparts

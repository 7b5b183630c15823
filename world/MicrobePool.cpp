#include "world/MicrobePool.h"

#include <algorithm>

#include <box2d/box2d.h>

#include "world/Bursts.h"
#include "world/Fixtures.h"
#include "world/MicrobeTypes.h"
#include "world/Units.h"

Microbe& MicrobePool::addMicrobe(int type, float x, float y, float impulseX, float impulseY)
{
    Microbe record;
    setType(record, type);
    record.pixelX = x;
    record.pixelY = y;
    record.ownedByOther = noMicrobeCollision;

    b2BodyDef bodyDef;
    bodyDef.type = b2_dynamicBody;
    bodyDef.position.Set(x * metresPerPixel, y * metresPerPixel);
    bodyDef.gravityScale = 0.f;
    bodyDef.bullet = false;
    bodyDef.fixedRotation = true;
    b2Body* body = world->CreateBody(&bodyDef);

    attachCircle(body, {(record.radius + 2.f) / pixelsPerMetre, 0.01f, 1.0f, density, BodyCategory::Microbe,
                        noMicrobeCollision ? mask::microbeNoCollide : mask::microbe});
    body->ApplyLinearImpulse(b2Vec2(impulseX, impulseY), body->GetPosition(), true);
    record.body = body;
    const b2Vec2 p = body->GetPosition();
    record.previous = {p.x, p.y, 0.f};
    record.current = record.previous;

    if (type > 1000)
        hitMicrobe(record, 1);

    microbes.push_back(record);
    Microbe& stored = microbes.back();
    body->GetUserData().pointer = reinterpret_cast<uintptr_t>(&stored);
    ++spawnedTotal;
    ++spawnedLive;
    if (std::find(types.begin(), types.end(), type) == types.end())
        types.push_back(type);
    if (spawnLog)
        spawnLog->push_back({type, x, y, impulseX, impulseY, false});
    return stored;
}

int MicrobePool::difficultyLevel() const
{
    int level = 0;
    for (const Microbe& m : microbes)
        level += m.difficulty;
    return level;
}

void MicrobePool::snapPositions()
{
    for (Microbe& m : microbes) {
        if (!m.body)
            continue;
        const b2Vec2 p = m.body->GetPosition();
        m.previous = {p.x, p.y, m.body->GetAngle()};
        m.current = m.previous;
    }
}

void MicrobePool::clear()
{
    for (Microbe& m : microbes) {
        if (m.body && world)
            world->DestroyBody(m.body);
        m.body = nullptr;
    }
    microbes.clear();
    types.clear();
    spawnedTotal = 0;
    spawnedLive = 0;
}

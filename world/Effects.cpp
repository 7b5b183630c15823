#include "world/Effects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "world/Particles.h"
#include "world/Random.h"

namespace effects {

namespace {
// An emitter that releases a single particle on one step.
Emitter oneParticle(float x, float y)
{
    Emitter e;
    e.x = x;
    e.y = y;
    e.emitSteps = 1;
    e.countMax = 1;
    e.countMin = 1;
    return e;
}
}  // namespace

void burst(ParticleSystem& ps, float x, float y, sf::Color color)
{
    Emitter e;
    e.x = x;
    e.y = y;
    e.emitSteps = 3;
    e.color = color;
    ps.emit(e);
}

void comboTrail(ParticleSystem& ps, float x, float y, int comboCount, bool longTrail, sf::Color color)
{
    Emitter e;
    e.x = x;
    e.y = y;
    e.emitSteps = 1;
    e.countMax = std::min(comboCount, 3);
    e.countMin = 1;
    e.sizeMax = 4;
    e.sizeMin = 1;
    e.speed = 0.1f;
    e.fall = -0.2f;
    if (longTrail) {
        e.lifeMax = comboCount * 16 + 30;
        e.lifeMin = (comboCount * 5 + 5) * 2;
    }
    e.color = color;
    ps.emit(e);
}

void idleShimmer(ParticleSystem& ps, float x, float y, sf::Color color)
{
    Emitter e = oneParticle(x, y);
    e.sizeMax = 2;
    e.sizeMin = 1;
    e.speed = 0.1f;
    e.lifeMax = 10;
    e.lifeMin = 1;
    e.fall = 0.f;
    e.color = sf::Color(color.r, color.g, color.b, 15);
    // Now and then a speck drifts off slowly. The choice comes from the game's
    // random source: a longer life is drawn from a wider range, which takes a
    // different number of draws, so a cosmetic choice here would shift every
    // later gameplay draw. With particles off nothing is drawn at all.
    if (ps.enabled && randomInt(999) > 995) {
        e.lifeMax = 200;
        e.lifeMin = 175;
        e.fall = -0.2f;
    }
    ps.emit(e);
}

void splash(ParticleSystem& ps, float x, float y)
{
    Emitter first;
    first.x = x;
    first.y = y + 10.f;
    first.emitSteps = 3;
    first.countMax = 18;
    first.countMin = 15;
    first.sizeMax = 4;
    first.sizeMin = 2;
    first.speed = 5.1f;
    first.unusedB = 0.1f;
    first.lifeMax = 420;
    first.lifeMin = 10;
    first.color = sf::Color(255, 214, 104, 15);
    first.drag = 0.98f;
    ps.emit(first);

    Emitter second;
    second.x = x;
    second.y = y + 12.f;
    second.emitSteps = 3;
    second.countMax = 13;
    second.countMin = 11;
    second.sizeMax = 4;
    second.sizeMin = 2;
    second.speed = 5.08f;
    second.unusedB = 0.5f;
    second.offsetXMax = 16;
    second.offsetXMin = -16;
    second.offsetYMax = 16;
    second.offsetYMin = -16;
    second.randomSpeed = false;
    second.lifeMax = 400;
    second.lifeMin = 75;
    second.color = sf::Color(255, 214, 104, 15);
    second.drag = 0.98f;
    ps.emit(second);
}

namespace {
// The repel ring scatters each point on its own per axis; the attract ring
// moves it along its ray (one distance for both axes). The scatter is drawn
// from the game's random source like every particle, so a replay shows it again.
Emitter ringEmitter(const ParticleSystem& ps, float x, float y, float k, float spread, bool perAxis)
{
    const auto scatter = [&ps] { return ps.enabled ? static_cast<float>(randomInt(99) + 1) : 1.f; };
    const float a = scatter();
    const float b = perAxis ? scatter() : a;
    Emitter e = oneParticle(x + spread * a * std::cos(k), y + spread * b * std::sin(k));
    e.angle = k;
    e.fall = 0.f;
    e.randomAngle = false;
    e.randomSpeed = false;
    return e;
}
}  // namespace

void repelRing(ParticleSystem& ps, float x, float y)
{
    for (int k = 0; k <= 345; k += 15) {
        Emitter e = ringEmitter(ps, x, y, static_cast<float>(k), 0.049999997f, true);
        e.sizeMax = 3;
        e.sizeMin = 3;
        e.speed = 0.5f;
        e.lifeMax = 100;
        e.lifeMin = 90;
        e.drag = 1.02f;
        e.color = sf::Color(250, 250, 250, 255);
        ps.emit(e);
    }
}

void attractRing(ParticleSystem& ps, float x, float y)
{
    for (int k = 0; k <= 330; k += 30) {
        Emitter e = ringEmitter(ps, x, y, static_cast<float>(k), 2.f, false);
        e.sizeMax = 7;
        e.sizeMin = 3;
        e.speed = -0.4f;
        e.unusedFlag = false;
        e.lifeMax = 55;
        e.lifeMin = 45;
        e.drag = 1.03f;
        e.color = sf::Color(1, 1, 1, 255);
        ps.emit(e);
    }
}

void celebrationSparks(ParticleSystem& ps, float x, float y, float angleRadians)
{
    Emitter e = oneParticle(x, y);
    e.sizeMax = 4;
    e.sizeMin = 2;
    e.speed = 1.0f;
    e.fall = 0.01f;
    e.drag = 1.0f;
    e.lifeMax = 50;
    e.lifeMin = 30;
    e.randomAngle = false;
    e.angle = angleRadians;
    e.randomSpeed = true;
    e.color = sf::Color(255, 136, 30, 255);
    ps.emit(e);
    e.randomSpeed = false;
    e.color = sf::Color(248, 207, 103, 255);
    ps.emit(e);
}

namespace {
void risingBubbleWith(ParticleSystem& ps, float fall)
{
    Emitter e = oneParticle(0.f, 800.f);
    e.sizeMax = 20;
    e.sizeMin = 3;
    e.speed = 0.f;
    e.fall = fall;
    e.unusedFlag = false;
    e.offsetXMax = 1025;
    e.offsetXMin = 0;
    e.offsetYMax = 11;
    e.offsetYMin = -5;
    e.lifeMax = 1200;
    e.lifeMin = 90;
    e.color = sf::Color(250, 250, 250, 255);
    ps.emit(e);
}
}  // namespace

void risingBubble(ParticleSystem& ps)
{
    risingBubbleWith(ps, -0.035f * static_cast<float>(std::rand() % 101));
}

void fastRisingBubble(ParticleSystem& ps)
{
    risingBubbleWith(ps, -0.085f * static_cast<float>(std::rand() % 101) - 3.f);
}

}  // namespace effects

// Pieces that every playing field is made of, whether the single-player
// slide or the war arena: static walls, the catcher sensor, the bookkeeping
// of a scored hit, and the fixed-step snapshots and interpolation of bodies.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "world/Microbe.h"

class b2World;
class b2ContactListener;
class b2Body;
struct GameContext;
class MicrobePool;
class ParticleSystem;

namespace fieldparts {

// The physics world of a field: gravity 10 m/s² downwards, sleeping allowed,
// forces cleared by the fixed-step driver, contacts reported to the listener.
std::unique_ptr<b2World> makeWorld(b2ContactListener& listener);

// Lets the pool put its microbes' bodies into the world, within the view.
void attachPool(MicrobePool& pool, b2World& world);

// A static box of half-extents in metres at a point in pixels.
b2Body* staticBox(b2World& world, float xPixels, float yPixels, float halfW, float halfH,
                  unsigned short category, unsigned short maskBits);

// The thin sensor above the view that notices a bubble leaving upwards.
void buildCatcher(b2World& world, Catcher& catcher);

// The pitch of the "bop" for a draw r of rand(): 1.3 nearly always.
float bopPitch(int r);

// What scoring a hit changes on a field.
struct HitScoring {
    ParticleSystem& particles;
    std::deque<ScorePopup>& popups;
    std::int32_t& comboCount;
    std::int32_t& viewShake;
    const Catcher& catcher;
};

// Scores a hit microbe: one fewer on the meter (fragments do not count), its
// burst of particles, the combo (a bubble's hit on a microbe worth points,
// when the mode lets it count), the "bop", the points and their pop-up.
// Clears the microbe's hit.
void scoreHit(GameContext& ctx, Microbe& m, bool raisesCombo, const HitScoring& field);

// The bubble's damping bands: fast above fastSpeed (m/s), none at 25 m/s or
// less or while the catcher runs, cruising in between.
void dampBubble(b2Body& body, const GameContext& ctx, float fastSpeed, const Catcher& catcher);

// A microbe's own particles: the idle shimmer of a live one, the rings of a
// pushing or pulling burst.
void microbeEffects(ParticleSystem& particles, const Microbe& m);

// The rest of microbe i's step once its hit is scored: the burst moves on,
// fragments are released and a finished burst is slowed. Answers the record
// again, since releasing fragments may move the pool's records.
Microbe& advanceMicrobe(MicrobePool& pool, std::size_t i);

// Bubble i once it is below the field at (x, y) pixels or finished: the
// splash and "lose.wav" if it still shows, and its body goes. Answers whether
// it went (bubble i is then the next one).
bool dropIfGone(GameContext& ctx, b2World& world, ParticleSystem& particles, std::deque<Bubble>& bubbles,
                std::size_t i, float x, float y);

// Destroys every bubble's body and forgets the bubbles.
void destroyBubbles(b2World& world, std::deque<Bubble>& bubbles);

// Before a fixed step: every microbe and bubble remembers where it was.
void snapshot(MicrobePool& pool, std::deque<Bubble>& bubbles);

// After the steps: draw poses between the last two, alpha of the way.
// Vertical positions hold still while followY is false (the view scrolls).
void interpolate(MicrobePool& pool, std::deque<Bubble>& bubbles, float alpha, bool followY = true);

}  // namespace fieldparts

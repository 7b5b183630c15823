// Pieces that every playing field is made of, whether the single-player
// slide or the war arena: static walls, the catcher sensor, the bookkeeping
// of a scored hit, and the fixed-step snapshots and interpolation of bodies.
#pragma once

#include <deque>

#include "world/Microbe.h"

class b2World;
class b2Body;
struct GameContext;
class MicrobePool;

namespace fieldparts {

// A static box of half-extents in metres at a point in pixels.
b2Body* staticBox(b2World& world, float xPixels, float yPixels, float halfW, float halfH,
                  unsigned short category, unsigned short maskBits);

// The thin sensor above the view that notices a bubble leaving upwards.
void buildCatcher(b2World& world, Catcher& catcher);

// The pitch of the "bop" for a draw r of rand(): 1.3 nearly always.
float bopPitch(int r);

// One microbe fewer on the meter (fragments do not count).
void countHit(GameContext& ctx, const Microbe& m);

// A score pop-up rising from a hit microbe at (x, y) pixels.
void popUp(std::deque<ScorePopup>& popups, int value, float x, float y);

// Destroys every bubble's body and forgets the bubbles.
void destroyBubbles(b2World& world, std::deque<Bubble>& bubbles);

// Before a fixed step: every microbe and bubble remembers where it was.
void snapshot(MicrobePool& pool, std::deque<Bubble>& bubbles);

// After the steps: draw poses between the last two, alpha of the way.
// Vertical positions hold still while followY is false (the view scrolls).
void interpolate(MicrobePool& pool, std::deque<Bubble>& bubbles, float alpha, bool followY = true);

}  // namespace fieldparts

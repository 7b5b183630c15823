// Bursts and chain reactions: a hit microbe flashes through its fuse, then
// grows as a circle that hits whatever live microbe it touches.
#pragma once

struct Microbe;
class MicrobePool;

// Takes hit points off a microbe; at zero it turns into a burst.
void hitMicrobe(Microbe& microbe, int amount);

// The microbe's per-step behaviour: shield, speed limit, flashing, fuse,
// growth, death, pulls and pushes, and wandering.
void microbeStep(Microbe& microbe, MicrobePool& pool);

// Releases fragments at (x, y) pixels, each with a random push.
void spawnChildren(MicrobePool& pool, int type, int count, float x, float y);

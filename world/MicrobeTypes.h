// The microbe types and how a field of them is generated from a seed.
#pragma once

#include <cstdint>
#include <vector>

struct Microbe;
class MicrobePool;

// The symbol drawn inside a live microbe for players who cannot tell the
// colours apart: one per family of the type table, so that no rule of the
// game needs colour vision. The families go by the table's flags (fragments,
// moving fuse, pull, push, wandering) and, among the plain bursts, by its
// colour groups, split where a group's fuse or size plays differently. The
// war colours show their seat's number.
enum class MicrobeSymbol {
    None,      // fragments and unknown types
    Dot,       // a plain burst: 3, 10
    Bar,       // a small, slow burst: 2
    Square,    // the blue ones, quick or big: 4, 5, 7
    Diamond,   // a long fuse: 11, 12
    Star,      // releases fragments: 1, 13
    Plus,      // moves while its fuse burns: 6
    Ring,      // pulls its neighbours in: 8
    Cross,     // pushes them away: 9
    Triangle,  // wanders: 14, 15
    Seat1,     // war, seats 1 to 4: the digit
    Seat2,
    Seat3,
    Seat4,
};

MicrobeSymbol symbolOf(int type);

// Gives a microbe its type's values; an unknown type keeps the defaults.
void setType(Microbe& microbe, int type);

// Scatters n microbes of a type over the field with small random pushes.
void addRandomMicrobes(MicrobePool& pool, int type, int n);

// Draws one to three types (the same type may come twice) from the game's
// random source and prints them.
std::vector<int> drawFieldTypes();

// Adds count microbes, cycling through the types, each with its idle shimmer
// on or off.
void addFieldMicrobes(MicrobePool& pool, const std::vector<int>& types, int count, bool ambient);

// Seeds the game's random source and fills the pool with 15 to 30 microbes of
// one to three types. Prints the drawn types; returns the type list. With
// extraMax set, the count is 15 plus a draw in [0, extraMax] instead.
std::vector<int> generateField(MicrobePool& pool, std::uint32_t seed, int extraMax = -1);

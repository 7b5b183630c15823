// The microbe types and how a field of them is generated from a seed.
#pragma once

#include <cstdint>
#include <vector>

struct Microbe;
class MicrobePool;

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

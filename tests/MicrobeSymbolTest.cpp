// The colour-blind symbols: one per family of types, and different wherever
// red-green colour blindness makes two types look alike that other players
// tell apart by colour.
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include <SFML/Graphics/VertexArray.hpp>
#include <gtest/gtest.h>

#include "screens/SymbolDrawing.h"
#include "world/Microbe.h"
#include "world/MicrobeTypes.h"

namespace {

TEST(MicrobeSymbols, EachFamilyHasItsOwn)
{
    using S = MicrobeSymbol;
    const std::map<int, S> expected = {
        {1, S::Star},     {2, S::Bar},      {3, S::Dot},      {4, S::Square},   {5, S::Square},
        {6, S::Plus},     {7, S::Square},   {8, S::Ring},     {9, S::Cross},    {10, S::Dot},
        {11, S::Diamond}, {12, S::Diamond}, {13, S::Star},    {14, S::Triangle}, {15, S::Triangle},
        {100, S::Seat1},  {101, S::Seat2},  {102, S::Seat3},  {103, S::Seat4},
        {1002, S::None},  {1003, S::None},  {1004, S::None},  {0, S::None},     {77, S::None},
    };
    for (const auto& [type, symbol] : expected)
        EXPECT_EQ(symbolOf(type), symbol) << "type " << type;
}

// Machado, Oliveira and Fernandes (2009), full severity, applied to sRGB.
using Matrix = float[3][3];
const Matrix protanopia = {{0.152286f, 1.052583f, -0.204868f},
                           {0.114503f, 0.786281f, 0.099216f},
                           {-0.003882f, -0.048116f, 1.051998f}};
const Matrix deuteranopia = {{0.367322f, 0.860646f, -0.227968f},
                             {0.280085f, 0.672501f, 0.047413f},
                             {-0.011820f, 0.042940f, 0.968881f}};

struct Rgb {
    float r, g, b;
};

Rgb colourOf(int type)
{
    Microbe m;
    setType(m, type);
    return {static_cast<float>(m.color.r), static_cast<float>(m.color.g), static_cast<float>(m.color.b)};
}

Rgb seenWith(const Matrix& m, Rgb c)
{
    auto row = [&](int i) { return std::clamp(m[i][0] * c.r + m[i][1] * c.g + m[i][2] * c.b, 0.f, 255.f); };
    return {row(0), row(1), row(2)};
}

float distance(Rgb a, Rgb b)
{
    return std::sqrt((a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b));
}

TEST(MicrobeSymbols, TypesThatRedGreenBlindnessMergesLookDifferent)
{
    // Types of one field (1 to 15) or of the arena (100 to 103).
    const std::vector<std::vector<int>> fields = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
                                                  {100, 101, 102, 103}};
    int merged = 0;
    for (const Matrix* vision : {&protanopia, &deuteranopia})
        for (const std::vector<int>& types : fields)
            for (int a : types)
                for (int b : types) {
                    if (a >= b || distance(colourOf(a), colourOf(b)) < 40.f)
                        continue;  // the same colour (or nearly) to everybody
                    if (distance(seenWith(*vision, colourOf(a)), seenWith(*vision, colourOf(b))) >= 45.f)
                        continue;
                    ++merged;
                    EXPECT_NE(symbolOf(a), symbolOf(b)) << "types " << a << " and " << b;
                }
    EXPECT_GT(merged, 5) << "the check should have pairs to look at";
}

TEST(MicrobeSymbols, EveryLiveTypeDrawsInsideItsRing)
{
    for (int type : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 100, 101, 102, 103}) {
        Microbe m;
        setType(m, type);
        sf::VertexArray triangles(sf::Triangles);
        draw::addSymbol(triangles, type, {100.f, 100.f}, m.radius, draw::symbolOnField);
        ASSERT_GT(triangles.getVertexCount(), 0u) << "type " << type;
        const sf::FloatRect box = triangles.getBounds();
        // The ring's outline starts at the radius; a pixel of stroke may reach it.
        EXPECT_LE(std::max({100.f - box.left, box.left + box.width - 100.f, 100.f - box.top,
                            box.top + box.height - 100.f}),
                  m.radius + 1.f)
            << "type " << type;
    }
    sf::VertexArray none(sf::Triangles);
    draw::addSymbol(none, 1002, {0.f, 0.f}, 3.f, draw::symbolOnField);
    EXPECT_EQ(none.getVertexCount(), 0u);
}

}  // namespace

#include "screens/SymbolDrawing.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include "world/MicrobePool.h"
#include "world/MicrobeTypes.h"

namespace draw {

namespace {

constexpr float pi = 3.14159265f;

void triangle(sf::VertexArray& out, sf::Vector2f a, sf::Vector2f b, sf::Vector2f c, sf::Color colour)
{
    out.append(sf::Vertex(a, colour));
    out.append(sf::Vertex(b, colour));
    out.append(sf::Vertex(c, colour));
}

// A straight stroke of the given width from a to b.
void stroke(sf::VertexArray& out, sf::Vector2f a, sf::Vector2f b, float width, sf::Color colour)
{
    const sf::Vector2f d = b - a;
    const float length = std::sqrt(d.x * d.x + d.y * d.y);
    if (length <= 0.f)
        return;
    const sf::Vector2f n(-d.y / length * width * 0.5f, d.x / length * width * 0.5f);
    triangle(out, a + n, b + n, b - n, colour);
    triangle(out, a + n, b - n, a - n, colour);
}

// A stroke through the centre at the given angle, reaching `reach` each way.
void spoke(sf::VertexArray& out, sf::Vector2f c, float degrees, float reach, float width, sf::Color colour)
{
    const float a = degrees * pi / 180.f;
    const sf::Vector2f d(std::cos(a) * reach, std::sin(a) * reach);
    stroke(out, c - d, c + d, width, colour);
}

// A filled shape with its corners at the given angles on a circle.
void polygon(sf::VertexArray& out, sf::Vector2f c, float reach, std::initializer_list<float> degrees,
             sf::Color colour)
{
    sf::Vector2f first;
    sf::Vector2f previous;
    bool started = false;
    for (float deg : degrees) {
        const float a = deg * pi / 180.f;
        const sf::Vector2f p(c.x + std::cos(a) * reach, c.y + std::sin(a) * reach);
        if (!started)
            first = p;
        else
            triangle(out, c, previous, p, colour);
        previous = p;
        started = true;
    }
    triangle(out, c, previous, first, colour);
}

// The outline of a shape with its corners at the given angles.
void outline(sf::VertexArray& out, sf::Vector2f c, float reach, int corners, float startDegrees, float width,
             sf::Color colour)
{
    for (int i = 0; i < corners; ++i) {
        const float a0 = (startDegrees + 360.f * static_cast<float>(i) / static_cast<float>(corners)) * pi / 180.f;
        const float a1 = (startDegrees + 360.f * static_cast<float>(i + 1) / static_cast<float>(corners)) * pi / 180.f;
        // Each side runs half a width past its corners, so the corners close.
        const sf::Vector2f p0(c.x + std::cos(a0) * reach, c.y + std::sin(a0) * reach);
        const sf::Vector2f p1(c.x + std::cos(a1) * reach, c.y + std::sin(a1) * reach);
        const sf::Vector2f d = p1 - p0;
        const float length = std::sqrt(d.x * d.x + d.y * d.y);
        const sf::Vector2f overhang = d * (width * 0.5f / length);
        stroke(out, p0 - overhang, p1 + overhang, width, colour);
    }
}

// A digit of seven strokes in a box 0.6 s wide and s high around c:
// segments a (top), b, c (right, top to bottom), d (bottom), e, f (left,
// bottom to top), g (middle).
void digit(sf::VertexArray& out, sf::Vector2f c, int value, float s, float w, sf::Color colour)
{
    static const char* const segments[] = {"", "bc", "abged", "abgcd", "fgbc"};
    const float hx = 0.3f * s;
    const float hy = 0.5f * s;
    const sf::Vector2f tl(c.x - hx, c.y - hy), tr(c.x + hx, c.y - hy);
    const sf::Vector2f ml(c.x - hx, c.y), mr(c.x + hx, c.y);
    const sf::Vector2f bl(c.x - hx, c.y + hy), br(c.x + hx, c.y + hy);
    const sf::Vector2f half(w * 0.5f, 0.f);
    for (const char* seg = segments[value]; *seg; ++seg) {
        switch (*seg) {
        case 'a': stroke(out, tl - half, tr + half, w, colour); break;
        case 'b': stroke(out, tr, mr, w, colour); break;
        case 'c': stroke(out, mr, br, w, colour); break;
        case 'd': stroke(out, bl - half, br + half, w, colour); break;
        case 'e': stroke(out, bl, ml, w, colour); break;
        case 'f': stroke(out, ml, tl, w, colour); break;
        case 'g': stroke(out, ml - half, mr + half, w, colour); break;
        default: break;
        }
    }
}

}  // namespace

void addSymbol(sf::VertexArray& out, int type, sf::Vector2f c, float radius, sf::Color colour)
{
    // Big enough to read on the smallest microbes (radius 3), never past the ring.
    const float s = std::max(radius * 0.8f, 2.6f);
    const float w = std::max(radius * 0.3f, 1.2f);
    switch (symbolOf(type)) {
    case MicrobeSymbol::None: break;
    case MicrobeSymbol::Dot: polygon(out, c, s * 0.45f, {0, 45, 90, 135, 180, 225, 270, 315}, colour); break;
    case MicrobeSymbol::Bar: stroke(out, c - sf::Vector2f(s, 0.f), c + sf::Vector2f(s, 0.f), w * 1.3f, colour); break;
    case MicrobeSymbol::Square: outline(out, c, s * 0.9f, 4, 45.f, w, colour); break;
    case MicrobeSymbol::Diamond: polygon(out, c, s * 0.9f, {-90, 0, 90, 180}, colour); break;
    case MicrobeSymbol::Star:
        for (float deg : {90.f, 30.f, 150.f})
            spoke(out, c, deg, s, w * 0.85f, colour);
        break;
    case MicrobeSymbol::Plus:
        spoke(out, c, 0.f, s, w, colour);
        spoke(out, c, 90.f, s, w, colour);
        break;
    case MicrobeSymbol::Ring: outline(out, c, s * 0.7f, 10, 0.f, w * 0.8f, colour); break;
    case MicrobeSymbol::Cross:
        spoke(out, c, 45.f, s, w, colour);
        spoke(out, c, 135.f, s, w, colour);
        break;
    case MicrobeSymbol::Triangle: polygon(out, c + sf::Vector2f(0.f, s * 0.15f), s, {-90, 30, 150}, colour); break;
    case MicrobeSymbol::Seat1: digit(out, c, 1, s * 1.3f, w * 0.8f, colour); break;
    case MicrobeSymbol::Seat2: digit(out, c, 2, s * 1.3f, w * 0.8f, colour); break;
    case MicrobeSymbol::Seat3: digit(out, c, 3, s * 1.3f, w * 0.8f, colour); break;
    case MicrobeSymbol::Seat4: digit(out, c, 4, s * 1.3f, w * 0.8f, colour); break;
    }
}

void microbeSymbols(sf::RenderTarget& target, const MicrobePool& pool)
{
    sf::VertexArray triangles(sf::Triangles);
    for (const Microbe& m : pool.microbes) {
        if (m.dead || m.bursting)
            continue;
        addSymbol(triangles, m.type, {m.current.x * 30.f, m.current.y * 30.f}, m.radius, symbolOnField);
    }
    if (triangles.getVertexCount() > 0)
        target.draw(triangles);
}

}  // namespace draw

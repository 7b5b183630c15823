#include "gfx/VertexBatch.h"

#include <algorithm>
#include <cmath>
#include <map>

#include <SFML/Graphics/RenderTarget.hpp>

namespace {

// Half the width of the fade at a smooth edge, in pixels.
constexpr float edgeHalfWidth = 0.5f;

// Unit directions of a circle's corners, first corner at the top, as
// sf::CircleShape places them. Built once per corner count.
const std::vector<sf::Vector2f>& corners(unsigned points)
{
    static std::map<unsigned, std::vector<sf::Vector2f>> tables;
    std::vector<sf::Vector2f>& table = tables[points];
    if (table.empty()) {
        constexpr float pi = 3.141592654f;
        table.reserve(points);
        for (unsigned i = 0; i < points; ++i) {
            const float angle = static_cast<float>(i) * 2.f * pi / static_cast<float>(points) - pi / 2.f;
            table.emplace_back(std::cos(angle), std::sin(angle));
        }
    }
    return table;
}

// How far out along a corner's direction a mitred outline of thickness 1
// reaches: the two edge normals added and scaled as sf::Shape does.
float mitre(unsigned points)
{
    const float pi = 3.141592654f;
    return 1.f / std::cos(pi / static_cast<float>(points));
}

sf::Color withAlpha(sf::Color c, float share)
{
    c.a = static_cast<sf::Uint8>(std::clamp(static_cast<float>(c.a) * share, 0.f, 255.f));
    return c;
}

}  // namespace

void VertexBatch::triangle(const sf::Vertex& a, const sf::Vertex& b, const sf::Vertex& c)
{
    m_vertices.push_back(a);
    m_vertices.push_back(b);
    m_vertices.push_back(c);
}

void VertexBatch::band(sf::Vector2f centre, unsigned points, float innerRadius, sf::Color inner, float outerRadius,
                       sf::Color outer)
{
    const std::vector<sf::Vector2f>& dir = corners(points);
    for (unsigned i = 0; i < points; ++i) {
        const sf::Vector2f d0 = dir[i];
        const sf::Vector2f d1 = dir[(i + 1) % points];
        const sf::Vertex a(centre + d0 * innerRadius, inner);
        const sf::Vertex b(centre + d0 * outerRadius, outer);
        const sf::Vertex c(centre + d1 * innerRadius, inner);
        const sf::Vertex d(centre + d1 * outerRadius, outer);
        triangle(a, b, c);
        triangle(c, b, d);
    }
}

void VertexBatch::disc(sf::Vector2f centre, float radius, sf::Color colour, unsigned points)
{
    if (colour.a == 0 || radius <= 0.f)
        return;
    const std::vector<sf::Vector2f>& dir = corners(points);
    const float solid = m_smoothEdges ? std::max(radius - edgeHalfWidth, 0.f) : radius;
    for (unsigned i = 0; i < points; ++i)
        triangle(sf::Vertex(centre, colour), sf::Vertex(centre + dir[i] * solid, colour),
                 sf::Vertex(centre + dir[(i + 1) % points] * solid, colour));
    if (m_smoothEdges)
        band(centre, points, solid, colour, radius + edgeHalfWidth, withAlpha(colour, 0.f));
}

void VertexBatch::ring(sf::Vector2f centre, float radius, float thickness, sf::Color colour, unsigned points)
{
    if (colour.a == 0 || thickness == 0.f)
        return;
    const float reach = radius + thickness * mitre(points);
    const float low = std::max(std::min(radius, reach), 0.f);
    const float high = std::max(radius, reach);
    if (!m_smoothEdges) {
        band(centre, points, low, colour, high, colour);
        return;
    }
    // Fade in over a pixel at the inner border and out at the outer one; a
    // band thinner than the fades keeps its coverage with a fainter middle.
    const sf::Color clear = withAlpha(colour, 0.f);
    float middleLow = low + edgeHalfWidth;
    float middleHigh = high - edgeHalfWidth;
    sf::Color middle = colour;
    if (middleLow > middleHigh) {
        middleLow = middleHigh = 0.5f * (low + high);
        middle = withAlpha(colour, (high - low) / (2.f * edgeHalfWidth));
    }
    band(centre, points, std::max(low - edgeHalfWidth, 0.f), clear, middleLow, middle);
    if (middleHigh > middleLow)
        band(centre, points, middleLow, middle, middleHigh, middle);
    band(centre, points, middleHigh, middle, high + edgeHalfWidth, clear);
}

void VertexBatch::rect(sf::FloatRect box, sf::Color colour)
{
    const sf::Vertex a({box.left, box.top}, colour);
    const sf::Vertex b({box.left + box.width, box.top}, colour);
    const sf::Vertex c({box.left + box.width, box.top + box.height}, colour);
    const sf::Vertex d({box.left, box.top + box.height}, colour);
    triangle(a, b, c);
    triangle(a, c, d);
}

void VertexBatch::sprite(const sf::Transform& transform, sf::Vector2f size, sf::IntRect textureRect,
                         sf::Color colour)
{
    const auto u0 = static_cast<float>(textureRect.left);
    const auto v0 = static_cast<float>(textureRect.top);
    const float u1 = u0 + static_cast<float>(textureRect.width);
    const float v1 = v0 + static_cast<float>(textureRect.height);
    const sf::Vertex a(transform.transformPoint(0.f, 0.f), colour, {u0, v0});
    const sf::Vertex b(transform.transformPoint(size.x, 0.f), colour, {u1, v0});
    const sf::Vertex c(transform.transformPoint(size.x, size.y), colour, {u1, v1});
    const sf::Vertex d(transform.transformPoint(0.f, size.y), colour, {u0, v1});
    triangle(a, b, c);
    triangle(a, c, d);
}

void VertexBatch::draw(sf::RenderTarget& target, const sf::RenderStates& states) const
{
    if (!m_vertices.empty())
        target.draw(m_vertices.data(), m_vertices.size(), sf::Triangles, states);
}

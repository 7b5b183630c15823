// Shapes gathered into one list of triangles and drawn in one call: the
// circles, rings, bars and textured squares of a frame, kept in the order they
// were added (so overlaps blend exactly as separate draws would). Clearing
// keeps the memory, so a batch that lives with its screen allocates only while
// the scene grows.
#pragma once

#include <vector>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/Transform.hpp>
#include <SFML/Graphics/Vertex.hpp>

namespace sf {
class RenderTarget;
}

class VertexBatch {
public:
    // With smooth edges, discs and rings fade out over one pixel at their
    // borders, for windows without multisampling.
    explicit VertexBatch(bool smoothEdges = false) : m_smoothEdges(smoothEdges) {}

    void setSmoothEdges(bool smooth) { m_smoothEdges = smooth; }
    bool smoothEdges() const { return m_smoothEdges; }

    void clear() { m_vertices.clear(); }
    bool empty() const { return m_vertices.empty(); }
    std::size_t vertexCount() const { return m_vertices.size(); }

    // The filled inside of a circle of `points` corners around the centre,
    // as an sf::CircleShape of that radius draws it.
    void disc(sf::Vector2f centre, float radius, sf::Color colour, unsigned points = 30);
    // The outline of such a circle: thickness outwards from the radius
    // (inwards when negative), mitred at the corners as sf::Shape does.
    void ring(sf::Vector2f centre, float radius, float thickness, sf::Color colour, unsigned points = 30);
    void rect(sf::FloatRect box, sf::Color colour);
    // A textured rectangle of the given local size, placed by the transform
    // (position, rotation, origin), showing the texture's rectangle.
    void sprite(const sf::Transform& transform, sf::Vector2f size, sf::IntRect textureRect, sf::Color colour);

    // Draws everything added since the last clear in one call.
    void draw(sf::RenderTarget& target, const sf::RenderStates& states = sf::RenderStates::Default) const;

private:
    // A band between two polygons around the centre, radii along each corner's
    // own direction, colour fading from one edge to the other.
    void band(sf::Vector2f centre, unsigned points, float innerRadius, sf::Color inner, float outerRadius,
              sf::Color outer);
    void triangle(const sf::Vertex& a, const sf::Vertex& b, const sf::Vertex& c);

    std::vector<sf::Vertex> m_vertices;
    bool m_smoothEdges;
};

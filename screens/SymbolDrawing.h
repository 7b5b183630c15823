// The colour-blind symbols: a small shape inside every live microbe, by the
// family of its type (see symbolOf), drawn in one batch per call.
#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

namespace sf {
class RenderTarget;
class VertexArray;
}  // namespace sf

class MicrobePool;

namespace draw {

// Light symbols for the microbe rings on the dark field, dark ones for the
// filled dots of the course panel.
inline const sf::Color symbolOnField(250, 250, 250, 235);
inline const sf::Color symbolOnDot(16, 22, 28, 255);

// Adds the type's symbol, centred at `centre` and fitting a circle of
// `radius` pixels, to a list of triangles. Types without a symbol add nothing.
void addSymbol(sf::VertexArray& triangles, int type, sf::Vector2f centre, float radius, sf::Color colour);

// The symbols of every microbe of the pool that is neither bursting nor done,
// at its drawn position.
void microbeSymbols(sf::RenderTarget& target, const MicrobePool& pool);

}  // namespace draw

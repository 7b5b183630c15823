// Texts of one font and character size gathered into one list of glyph
// squares and drawn in one call, each looking exactly as the sf::Text it was
// taken from (position, colour, kerning, line breaks).
#pragma once

#include <vector>

#include <SFML/Graphics/Vertex.hpp>

namespace sf {
class RenderTarget;
class Text;
class Texture;
}  // namespace sf

class TextBatch {
public:
    void clear();
    // Adds the text's glyphs. Every text of a batch uses the same font and
    // character size (they share one glyph texture).
    void add(const sf::Text& text);
    void draw(sf::RenderTarget& target) const;

private:
    std::vector<sf::Vertex> m_vertices;
    const sf::Texture* m_texture = nullptr;
};

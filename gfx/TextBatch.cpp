#include "gfx/TextBatch.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Text.hpp>

void TextBatch::clear()
{
    m_vertices.clear();
    m_texture = nullptr;
}

void TextBatch::add(const sf::Text& text)
{
    const sf::Font* font = text.getFont();
    const sf::String& string = text.getString();
    if (!font || string.isEmpty())
        return;
    const unsigned size = text.getCharacterSize();
    const bool bold = (text.getStyle() & sf::Text::Bold) != 0;
    const sf::Transform& transform = text.getTransform();
    const sf::Color colour = text.getFillColor();
    // The pen moves as sf::Text moves it; the glyph square gets sf::Text's
    // one-pixel margin so the smoothed glyph edges come out the same.
    constexpr float padding = 1.f;
    sf::Uint32 previous = 0;
    for (std::size_t i = 0; i < string.getSize(); ++i) {
        const sf::Uint32 c = string[i];
        const float kerning = i > 0 ? font->getKerning(previous, c, size) : 0.f;
        previous = c;
        if (c == U' ' || c == U'\n' || c == U'\t')
            continue;
        const sf::Glyph& glyph = font->getGlyph(c, size, bold);
        const sf::Vector2f pen = transform.getInverse().transformPoint(text.findCharacterPos(i)) +
                                 sf::Vector2f(kerning, static_cast<float>(size));
        const float left = pen.x + glyph.bounds.left - padding;
        const float top = pen.y + glyph.bounds.top - padding;
        const float right = pen.x + glyph.bounds.left + glyph.bounds.width + padding;
        const float bottom = pen.y + glyph.bounds.top + glyph.bounds.height + padding;
        const float u1 = static_cast<float>(glyph.textureRect.left) - padding;
        const float v1 = static_cast<float>(glyph.textureRect.top) - padding;
        const float u2 = static_cast<float>(glyph.textureRect.left + glyph.textureRect.width) + padding;
        const float v2 = static_cast<float>(glyph.textureRect.top + glyph.textureRect.height) + padding;
        const sf::Vertex a(transform.transformPoint(left, top), colour, {u1, v1});
        const sf::Vertex b(transform.transformPoint(right, top), colour, {u2, v1});
        const sf::Vertex d(transform.transformPoint(left, bottom), colour, {u1, v2});
        const sf::Vertex e(transform.transformPoint(right, bottom), colour, {u2, v2});
        m_vertices.insert(m_vertices.end(), {a, b, d, d, b, e});
    }
    m_texture = &font->getTexture(size);
}

void TextBatch::draw(sf::RenderTarget& target) const
{
    if (m_vertices.empty())
        return;
    target.draw(m_vertices.data(), m_vertices.size(), sf::Triangles, sf::RenderStates(m_texture));
}

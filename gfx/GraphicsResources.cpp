#include "gfx/GraphicsResources.h"

#include <cstdio>

#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/Sprite.hpp>

namespace {
void say(const char* line)
{
    std::fputs(line, stdout);
    std::fflush(stdout);
}
}  // namespace

GraphicsResources::GraphicsResources(int w, int h) : width(w), height(h) {}

sf::IntRect GraphicsResources::tileRect(int tile)
{
    const int column = tile % 8;
    const int row = tile / 8;
    return {32 * column, 32 * row, 32, 32};
}

sf::VertexArray GraphicsResources::tileGrid(int tile) const
{
    const sf::IntRect rect = tileRect(tile);
    const float u0 = static_cast<float>(rect.left);
    const float v0 = static_cast<float>(rect.top);
    const float u1 = u0 + 32.f;
    const float v1 = v0 + 32.f;
    const int columns = width / 32;
    const int rows = 2 * height / 32;
    sf::VertexArray grid(sf::Quads);
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            const float x = 32.f * static_cast<float>(c);
            const float y = 32.f * static_cast<float>(r);
            grid.append(sf::Vertex({x, y}, {u0, v0}));
            grid.append(sf::Vertex({x + 32.f, y}, {u1, v0}));
            grid.append(sf::Vertex({x + 32.f, y + 32.f}, {u1, v1}));
            grid.append(sf::Vertex({x, y + 32.f}, {u0, v1}));
        }
    }
    return grid;
}

void GraphicsResources::loadTexture(sf::Texture& texture, unsigned w, unsigned h,
                                    const std::string& file, const char* failLine)
{
    texture.create(w, h);
    if (!texture.loadFromFile(resourceDir + file) && failLine)
        say(failLine);
    texture.setSmooth(true);
}

void GraphicsResources::createStrip(sf::RenderTexture& target, unsigned w, unsigned h,
                                    sf::Color clear, const char* failLine)
{
    if (!target.create(w, h))
        say(failLine);
    target.clear(clear);
    target.display();
}

void GraphicsResources::load(const std::string& dir)
{
    resourceDir = dir;
    font.loadFromFile(resourceDir + "Roboto-Bold.ttf");

    backgroundTiles.create(256, 256);
    if (!backgroundTiles.loadFromFile(resourceDir + "backmap.png"))
        say("Texture load fail\n");

    if (!background.create(static_cast<unsigned>(width), static_cast<unsigned>(2 * height)))
        say("Texture create fail\n");
    background.clear(sf::Color::Black);

    if (!gradientShader.loadFromFile(resourceDir + "gradiant.frag", sf::Shader::Fragment))
        say("shader load fail\n");
    else
        gradientShader.setUniform("texture", sf::Shader::CurrentTexture);

    background.draw(tileGrid(0), sf::RenderStates(&backgroundTiles));
    background.display();

    linesShader.loadFromFile(resourceDir + "lines.frag", sf::Shader::Fragment);

    const auto barWidth = static_cast<unsigned>(0.24f * static_cast<float>(width));
    createStrip(uiStrip, static_cast<unsigned>(width), 36, sf::Color(5, 5, 5, 55),
                "failed to create texui\n");
    createStrip(uiBar, barWidth, static_cast<unsigned>(0.035f * static_cast<float>(height)),
                sf::Color(220, 220, 220, 120), "failed to creat ui bar texture\n");
    createStrip(toast, barWidth, static_cast<unsigned>(0.1f * static_cast<float>(height)),
                sf::Color(5, 5, 5, 75), "failed to creat toast texture\n");

    loadTexture(projectile, 512, 512, "proj.png", "failed to load proj.png\n");
    loadTexture(paddle, 1024, 128, "pad.png", nullptr);
    loadTexture(meterBase, 816, 20, "MeterBase.png", nullptr);
    loadTexture(meterFill, 816, 20, "MeterFill.png", nullptr);
    loadTexture(bumper, 320, 320, "bumper.png", nullptr);

    say("Texture data loaded\n");
}

void GraphicsResources::buildBackground(int tile)
{
    background.draw(tileGrid(tile), sf::RenderStates(&backgroundTiles));
    background.display();
    lightBackground();
}

void GraphicsResources::lightBackground()
{
    // The lamp depends on the picture alone, so the slide is shaded once here
    // (through a picture that lives only for the shading) instead of for every
    // pixel of every frame. The tiles are opaque, so a later tile grid drawn
    // over the lit picture replaces it whole.
    if (!sf::Shader::isAvailable() || !gradientShader.getNativeHandle())
        return;
    const sf::Vector2u size = background.getSize();
    sf::RenderTexture lit;
    if (size.x == 0 || !lit.create(size.x, size.y))
        return;
    lit.clear(sf::Color::Black);
    lit.draw(sf::Sprite(background.getTexture()), sf::RenderStates(&gradientShader));
    lit.display();
    background.draw(sf::Sprite(lit.getTexture()), sf::RenderStates(sf::BlendNone));
    background.display();
}

// The shared pictures, font and shaders every screen draws with. Built once at
// start-up for the logical area; screens only read and draw them.
#pragma once

#include <array>
#include <string>

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

class GraphicsResources {
public:
    GraphicsResources(int width, int height);

    void load(const std::string& resourceDir);
    // Redraws the scrolling background as a grid of one atlas tile.
    void buildBackground(int tile);
    // Shades the background through the gradient shader once; the screens
    // then show it as a plain picture.
    void lightBackground();

    // The atlas rectangle of a background tile (8 x 8 tiles of 32 x 32).
    static sf::IntRect tileRect(int tile);
    // The 32 x 48 grid of 32 px quads that covers the 1024 x 1536 background.
    sf::VertexArray tileGrid(int tile) const;

    sf::Texture texture0;
    sf::Texture backgroundTiles;
    sf::Texture texture2;
    sf::Texture projectile;
    sf::Texture paddle;
    sf::Texture bumper;
    sf::Texture meterBase;
    sf::Texture meterFill;
    sf::RenderTexture uiStrip;  // "texui"
    sf::RenderTexture uiBar;
    sf::RenderTexture toast;
    sf::RenderTexture background;
    sf::RenderTexture overlay;  // not created: nothing draws into it
    sf::RenderTexture renderTexture5;
    sf::Shader gradientShader;
    sf::Shader shader1;
    sf::Shader linesShader;
    sf::Sprite backgroundSprite;
    std::array<sf::Sprite, 6> sprites;
    sf::Font font;
    std::string resourceDir;
    int width;
    int height;
    // Whether shapes smooth their own edges: the window has no multisampling.
    bool smoothEdges = false;

private:
    void loadTexture(sf::Texture& texture, unsigned w, unsigned h, const std::string& file,
                     const char* failLine);
    void createStrip(sf::RenderTexture& target, unsigned w, unsigned h, sf::Color clear,
                     const char* failLine);
};

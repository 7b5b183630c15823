// The logical 1024 x 768 area keeps its 4:3 shape in any window: a wider
// window shows it in a centred column with black bars, a narrower one
// stretches it over the whole window.
#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

constexpr float logicalAspect = 1.3333334f;

// Viewport as fractions of the window (left, top, width, height).
sf::FloatRect viewportFor(int windowWidth, int windowHeight);

// The mouse pointer in logical coordinates for the game screens: measured
// against the centred 4:3 column of a wide window, against the whole window
// of a narrower one (where the picture is stretched over all of it).
sf::Vector2i pointerToLogical(int x, int y, int windowWidth, int windowHeight, float aspect);

// A window pixel mapped to logical coordinates, truncated toward zero.
sf::Vector2i windowToLogical(int x, int y, int windowWidth, int windowHeight,
                             const sf::FloatRect& viewport);

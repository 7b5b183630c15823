// The logical 1024 x 768 area keeps its 4:3 shape in any window: a wider
// window shows it in a centred column with black bars, a narrower one
// stretches it over the whole window.
#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

constexpr float logicalAspect = 1.3333334f;

// Viewport as fractions of the window (left, top, width, height).
sf::FloatRect viewportFor(int windowWidth, int windowHeight);

// A window pixel mapped to logical coordinates, truncated toward zero.
sf::Vector2i windowToLogical(int x, int y, int windowWidth, int windowHeight,
                             const sf::FloatRect& viewport);

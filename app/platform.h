// The few things that depend on the desktop we run on, kept in one place so the
// rest of the game never asks which system it is on.
#pragma once

#include <string>

#include <SFML/System/Vector2.hpp>

namespace sf {
class Window;
}

namespace platform {

// Size of the desktop in pixels (the primary screen's current video mode).
sf::Vector2i desktopSize();

// Confine the pointer to the game window, or free it again.
void lockPointer(sf::Window& window, bool locked);

// Open a web page in the player's browser; output is discarded and a failure
// is ignored, as if the page had never been asked for.
void openUrl(const std::string& url);

}  // namespace platform

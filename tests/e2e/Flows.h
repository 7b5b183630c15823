// Ways through the front end that several end-to-end tests share.
#pragma once

#include "Harness.h"

namespace e2e {

// From a fresh start (title screen) to a running Infinite field.
void enterInfinite(GameProcess& game);

// Pixels close to a colour (each channel within the tolerance).
int countNear(const sf::Image& image, sf::Color colour, int tolerance, sf::IntRect area = {});

}  // namespace e2e

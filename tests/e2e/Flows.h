// Ways through the front end that several end-to-end tests share.
#pragma once

#include "Harness.h"

namespace e2e {

// Clicks menu line i (0: the page title) in a 1024 x 768 window.
void clickMenuLine(GameProcess& game, int line, int button = 1);

// From the title screen to the main menu, once it has come in.
void leaveTitle(GameProcess& game);

// From a fresh start (title screen) to a running game at Casual, after
// stepping the mode item forward from the tutorial the given times (1:
// Infinite, 3: Clean).
void enterMode(GameProcess& game, int modeSteps);

// From a fresh start (title screen) to a running Infinite field.
inline void enterInfinite(GameProcess& game)
{
    enterMode(game, 1);
}

// Pixels close to a colour (each channel within the tolerance).
int countNear(const sf::Image& image, sf::Color colour, int tolerance, sf::IntRect area = {});

}  // namespace e2e

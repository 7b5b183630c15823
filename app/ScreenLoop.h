#pragma once

#include <vector>

#include <SFML/System/Clock.hpp>

class cScreen;
class GraphicsResources;
struct GameContext;

// Runs screens one after another, starting with the title, until one answers a
// negative number. A switch made while resetPending is set resets the screen
// that comes next, so a finished round starts afresh.
void runScreenLoop(const std::vector<cScreen*>& screens, GraphicsResources& gfx, GameContext& ctx);

// The time since the last frame, restarting the clock, capped at 0.025 s so
// that one slow frame runs at most two fixed steps.
inline double cappedFrameSeconds(sf::Clock& frameClock)
{
    const double elapsed = frameClock.restart().asSeconds();
    return elapsed < 0.025 ? elapsed : 0.025;
}

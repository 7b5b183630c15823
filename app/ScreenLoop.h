#pragma once

#include <vector>

class cScreen;
class GraphicsResources;
struct GameContext;

// Runs screens one after another, starting with the title, until one answers a
// negative number. A switch made while resetPending is set resets the screen
// that comes next, so a finished round starts afresh.
void runScreenLoop(const std::vector<cScreen*>& screens, GraphicsResources& gfx, GameContext& ctx);

// Drawing a game field. Every function reads the field and never changes it.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>

namespace sf {
class RenderTarget;
class Text;
}  // namespace sf

class GameField;
class GraphicsResources;
class ParticleSystem;
class MicrobePool;
struct Bubble;
struct Catcher;
struct GameContext;

namespace draw {

void background(sf::RenderTarget& target, GraphicsResources& gfx);
void aimingGuide(sf::RenderTarget& target, const GameField& field, const GraphicsResources& gfx, int pulse);
void popups(sf::RenderTarget& target, const GameField& field, sf::Text& text);
void microbes(sf::RenderTarget& target, const MicrobePool& pool);
void paddle(sf::RenderTarget& target, const GameField& field, const GraphicsResources& gfx,
            const std::array<float, 3>& layerFactors);
// All particles as one batch of quads.
void particles(sf::RenderTarget& target, const ParticleSystem& system);
void fieldFrame(sf::RenderTarget& target);
void bottomPanel(sf::RenderTarget& target, GraphicsResources& gfx, std::int64_t frameCounter);
void meter(sf::RenderTarget& target, const GraphicsResources& gfx, float remainingFraction, float threshold);
// Bubbles show red while the catcher's timer runs.
void bubbles(sf::RenderTarget& target, const std::deque<Bubble>& bubbles, const Catcher& catcher,
             const GraphicsResources& gfx);
void catcherStrip(sf::RenderTarget& target, const GameField& field, GraphicsResources& gfx);
// The cleared banner, or else the combo banner (also while it fades).
void banners(sf::RenderTarget& target, const GameField& field, const GraphicsResources& gfx,
             const GameContext& ctx, sf::Text& text, int lastShownCombo, const std::string& clearedLine = {});
// Whether the combo banner shows this frame (it then holds for 25 steps).
bool comboBannerShown(const GameField& field, const GameContext& ctx);

}  // namespace draw

// Drawing a game field. Every function reads the field and never changes it.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>

#include <SFML/Graphics/Text.hpp>

#include "gfx/TextBatch.h"
#include "gfx/VertexBatch.h"

namespace sf {
class Font;
class RenderTarget;
}  // namespace sf

class GameField;
class GraphicsResources;
class ParticleSystem;
class MicrobePool;
struct Bubble;
struct Catcher;
struct GameContext;
struct Microbe;

namespace draw {

// The lists a screen draws its frames with, kept from frame to frame so
// that drawing stops allocating once the busiest scene has been seen. Each
// function below clears what it uses, fills it and draws it in one call.
struct DrawBatches {
    explicit DrawBatches(bool smoothEdges = false) : shapes(smoothEdges) {}
    void setSmoothEdges(bool smooth) { shapes.setSmoothEdges(smooth); }

    VertexBatch shapes;   // untextured: rings, discs, bars, particles
    VertexBatch sprites;  // one texture at a time
    TextBatch text;       // one font size at a time
    sf::Text scratchText;
};

void background(sf::RenderTarget& target, GraphicsResources& gfx);
void aimingGuide(sf::RenderTarget& target, const GameField& field, const GraphicsResources& gfx, int pulse,
                 DrawBatches& batches);
void popups(sf::RenderTarget& target, const GameField& field, const sf::Font& font, DrawBatches& batches);
// One microbe's rings (and the marked dot), added in drawing order.
void addMicrobe(VertexBatch& batch, const Microbe& microbe);
// Every microbe of the pool in pool order, in one draw.
void microbes(sf::RenderTarget& target, const MicrobePool& pool, DrawBatches& batches);
void paddle(sf::RenderTarget& target, const GameField& field, const GraphicsResources& gfx,
            const std::array<float, 3>& layerFactors, DrawBatches& batches);
// All particles in one draw.
void particles(sf::RenderTarget& target, const ParticleSystem& system, DrawBatches& batches);
void addParticles(VertexBatch& batch, const ParticleSystem& system);
// The four thin bars around the field.
void addFieldFrame(VertexBatch& batch);
void bottomPanel(sf::RenderTarget& target, GraphicsResources& gfx, std::int64_t frameCounter);
void meter(sf::RenderTarget& target, const GraphicsResources& gfx, float remainingFraction, float threshold);
// Bubbles show red while the catcher's timer runs.
void bubbles(sf::RenderTarget& target, const std::deque<Bubble>& bubbles, const Catcher& catcher,
             const GraphicsResources& gfx, DrawBatches& batches);
void catcherStrip(sf::RenderTarget& target, const GameField& field, GraphicsResources& gfx);
// The cleared banner, or else the combo banner (also while it fades).
void banners(sf::RenderTarget& target, const GameField& field, const GraphicsResources& gfx,
             const GameContext& ctx, sf::Text& text, int lastShownCombo, const std::string& clearedLine = {});
// Whether the combo banner shows this frame (it then holds for 25 steps).
bool comboBannerShown(const GameField& field, const GameContext& ctx);

}  // namespace draw

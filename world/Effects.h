// The game's particle effects, each a preset emitter released where the game
// needs it.
#pragma once

#include <SFML/Graphics/Color.hpp>

class ParticleSystem;

namespace effects {

// A hit microbe, the combo-lost puff and the cleared-field flash.
void burst(ParticleSystem& ps, float x, float y, sf::Color color);
// Sparks behind a bubble carrying a combo.
void comboTrail(ParticleSystem& ps, float x, float y, int comboCount, bool longTrail, sf::Color color);
// The faint glitter of an idle microbe.
void idleShimmer(ParticleSystem& ps, float x, float y, sf::Color color);
// A bubble lost at the bottom: two emitters at (x, y + 10) and (x, y + 12).
void splash(ParticleSystem& ps, float x, float y);
// The white ring of a pushing burst and the dark ring of a pulling one.
void repelRing(ParticleSystem& ps, float x, float y);
void attractRing(ParticleSystem& ps, float x, float y);
// One step of the cleared-field spiral: a pair of sparks at a point.
void celebrationSparks(ParticleSystem& ps, float x, float y, float angleRadians);
// Bubbles drifting up the title and menu backgrounds.
void risingBubble(ParticleSystem& ps);
void fastRisingBubble(ParticleSystem& ps);

}  // namespace effects

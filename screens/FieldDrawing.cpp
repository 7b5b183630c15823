#include "screens/FieldDrawing.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <box2d/box2d.h>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

#include "app/GameContext.h"
#include "gfx/GraphicsResources.h"
#include "world/GameField.h"

namespace draw {

namespace {

// A circle as sf::CircleShape draws it: its fill, then its outline.
void circle(VertexBatch& batch, sf::Vector2f centre, float radius, sf::Color fill, sf::Color outline,
            float thickness)
{
    batch.disc(centre, radius, fill);
    batch.ring(centre, radius, thickness, outline);
}

// A textured square of the given side turned about the point of the texture
// that is `origin` pixels in, as an sf::RectangleShape with that origin.
void turnedSprite(VertexBatch& batch, sf::Vector2f at, float side, float origin, float degrees,
                  sf::IntRect textureRect, sf::Color colour)
{
    sf::Transform transform;
    transform.translate(at).rotate(degrees).translate(-origin, -origin);
    batch.sprite(transform, {side, side}, textureRect, colour);
}

}  // namespace

void background(sf::RenderTarget& target, GraphicsResources& gfx)
{
    // The slide is already lit (shaded once when it was built) and opaque, so
    // it is copied, not blended.
    sf::Sprite sprite(gfx.background.getTexture());
    sprite.setPosition(0.f, -static_cast<float>(gfx.height));
    target.draw(sprite, sf::RenderStates(sf::BlendNone));
}

void aimingGuide(sf::RenderTarget& target, const GameField& field, const GraphicsResources& gfx, int q,
                 DrawBatches& batches)
{
    VertexBatch& shapes = batches.shapes;
    shapes.clear();
    const float w = 1024.f;
    const float h = 768.f;
    const sf::Vector2f launch = field.launchPoint();
    const float r = static_cast<float>(q) * 0.33333334f + 8.f;
    const auto ringAlpha = static_cast<sf::Uint8>(((4560 - 240 * q) / 19) % 256);
    circle(shapes, {0.5f * w, 0.0416f * h}, r, sf::Color(10, 240, 10, 7), sf::Color(254, 214, 107, ringAlpha), 2.f);

    const float a = field.aimAngle();
    const float dx = w * 0.0146484375f * std::cos(a);
    const float dy = h * 0.01953125f * std::sin(a);
    float x = launch.x + dx;
    float y = launch.y + dy;
    float s = dy;
    for (int i = 0; i < 20; ++i) {
        x += dx;
        y += s;
        s += 0.33f;
        const sf::Color outline =
            i == q ? sf::Color(254, 214, 107, static_cast<sf::Uint8>((20 - i) * 9.5f + 20.f))
                   : sf::Color(240, 235, 231, static_cast<sf::Uint8>((20 - i) * 5 + 28));
        circle(shapes, {x, y}, 2.f, sf::Color(10, 240, 10, 7), outline, 2.f);
    }
    shapes.draw(target);

    VertexBatch& sprites = batches.sprites;
    sprites.clear();
    turnedSprite(sprites, launch, 20.f, 10.f, 45.f, {0, 0, 20, 20}, sf::Color::White);
    sprites.draw(target, sf::RenderStates(&gfx.projectile));
}

void popups(sf::RenderTarget& target, const GameField& field, const sf::Font& font, DrawBatches& batches)
{
    sf::Text& text = batches.scratchText;
    text.setFont(font);
    text.setCharacterSize(10);
    batches.text.clear();
    for (const ScorePopup& p : field.popups) {
        if (p.done)
            continue;
        text.setString("+" + std::to_string(p.value));
        text.setFillColor(p.color);
        text.setPosition(p.x, p.y);
        batches.text.add(text);
    }
    batches.text.draw(target);
}

void addMicrobe(VertexBatch& batch, const Microbe& m)
{
    const sf::Vector2f p(m.current.x * 30.f, m.current.y * 30.f);
    // A soft halo ring, a dark one once the microbe is gone.
    batch.ring(p, std::max(m.radius - 2.f, 0.f), 6.f, m.dead ? sf::Color(5, 5, 5, 23) : sf::Color(255, 255, 255, 23));
    if (m.dead)
        return;
    batch.ring(p, m.radius, 2.f, m.color);
    if (m.marked && !m.bursting)
        batch.ring(p, 1.f, 2.f, sf::Color(250, 250, 108, 120));
}

void microbes(sf::RenderTarget& target, const MicrobePool& pool, DrawBatches& batches)
{
    VertexBatch& shapes = batches.shapes;
    shapes.clear();
    for (const Microbe& m : pool.microbes)
        addMicrobe(shapes, m);
    shapes.draw(target);
}

void paddle(sf::RenderTarget& target, const GameField& field, const GraphicsResources& gfx,
            const std::array<float, 3>& layerFactors, DrawBatches& batches)
{
    VertexBatch& sprites = batches.sprites;
    sprites.clear();
    const float x = field.paddleDrawn.x * 30.f;
    const sf::Vector2f at(x, field.paddleDrawn.y * 30.f);
    if (!field.bubbleInPlay) {
        turnedSprite(sprites, at, 128.f, 64.f, 0.f, {896, 0, 128, 128}, sf::Color::White);
    } else {
        for (int layer = 0; layer < 3; ++layer)
            turnedSprite(sprites, at, 128.f, 64.f, x * layerFactors[static_cast<std::size_t>(layer)] * 0.3515625f,
                         {128 * layer, 0, 128, 128}, sf::Color::White);
    }
    sprites.draw(target, sf::RenderStates(&gfx.paddle));
}

void particles(sf::RenderTarget& target, const ParticleSystem& system, DrawBatches& batches)
{
    batches.shapes.clear();
    addParticles(batches.shapes, system);
    batches.shapes.draw(target);
}

void addParticles(VertexBatch& batch, const ParticleSystem& system)
{
    const int count = system.particleCount();
    for (int i = 0; i < count; ++i) {
        const Particle& p = system.particle(i);
        const float share = p.maxLife > 0 ? static_cast<float>(p.life) / static_cast<float>(p.maxLife) : 0.f;
        // The coloured square, then a faint white wash a pixel larger all round.
        const auto alpha = static_cast<sf::Uint8>(static_cast<int>(share * 245.f) + 10);
        batch.rect({p.x, p.y, p.size, p.size}, sf::Color(p.color.r, p.color.g, p.color.b, alpha));
        const auto glowAlpha = static_cast<sf::Uint8>(static_cast<int>(share * 13.f) + 10);
        batch.rect({p.x - 1.f, p.y - 1.f, p.size + 2.f, p.size + 2.f}, sf::Color(255, 255, 255, glowAlpha));
    }
}

void addFieldFrame(VertexBatch& batch)
{
    const float w = 1024.f;
    const float h = 768.f;
    const sf::Color colour(240, 240, 240, 25);
    batch.rect({0.005f * w, 95.f, 0.99f * w, 2.f}, colour);
    batch.rect({0.005f * w, 0.9348958f * h, 0.99f * w, 2.f}, colour);
    batch.rect({0.003f * w, 100.f, 2.f, 0.8f * h}, colour);
    batch.rect({0.995f * w, 100.f, 2.f, 0.8f * h}, colour);
}

void bottomPanel(sf::RenderTarget& target, GraphicsResources& gfx, std::int64_t frameCounter)
{
    // The UI strip: its colour drawn through the lines shader, which makes the
    // picture from the vertex colour alone (so no texture is bound).
    sf::RectangleShape strip({1024.f, 36.f});
    strip.setFillColor(sf::Color(5, 5, 5, 55));
    strip.setPosition(0.f, 0.9427083f * 768.f);
    sf::RenderStates states;
    if (sf::Shader::isAvailable()) {
        gfx.linesShader.setUniform("time", static_cast<float>(frameCounter) * (1.f / 60.f));
        gfx.linesShader.setUniform("resolution", sf::Glsl::Vec2(1024.f, 34.f));
        states.shader = &gfx.linesShader;
    }
    target.draw(strip, states);
}

void meter(sf::RenderTarget& target, const GraphicsResources& gfx, float remainingFraction, float threshold)
{
    sf::Sprite base(gfx.meterBase);
    base.setPosition(104.f, 86.f);
    target.draw(base);
    const float share = (remainingFraction - threshold) / (1.f - (threshold >= 1.f ? 0.f : threshold));
    const int width = std::clamp(static_cast<int>(share * 816.f), 0, 816);
    sf::Sprite fill(gfx.meterFill, {0, 0, width, 20});
    fill.setPosition(104.f, 86.f);
    target.draw(fill);
}

void bubbles(sf::RenderTarget& target, const std::deque<Bubble>& bubbles, const Catcher& catcher,
             const GraphicsResources& gfx, DrawBatches& batches)
{
    VertexBatch& sprites = batches.sprites;
    sprites.clear();
    const sf::Color tint = catcher.timer > 0 ? sf::Color(245, 65, 65, 220) : sf::Color(255, 255, 255, 220);
    for (const Bubble& b : bubbles) {
        if (!b.trailOn || !b.body)
            continue;
        turnedSprite(sprites, {b.current.x * 30.f, b.current.y * 30.f}, 2.f * b.radius, 10.f,
                     b.body->GetAngle() * 57.29578f + 45.f, {0, 0, 20, 20}, tint);
    }
    sprites.draw(target, sf::RenderStates(&gfx.projectile));
}

void catcherStrip(sf::RenderTarget& target, const GameField& field, GraphicsResources& gfx)
{
    if (!field.catcher.armed && field.catcher.timer == 0)
        return;
    if (!field.catcher.armed)
        return;
    const b2Vec2 at = field.catcher.body->GetPosition();
    sf::RectangleShape strip({1024.f, 0.045f * 768.f});
    strip.setFillColor(field.catcher.timer > 0 ? sf::Color(245, 45, 45, 120) : sf::Color(5, 5, 5, 55));
    strip.setPosition(at.x * 0.029296875f * 1024.f - 512.f, at.y * 0.0390625f * 768.f);
    sf::RenderStates states;
    if (sf::Shader::isAvailable()) {
        gfx.linesShader.setUniform("time", static_cast<float>(field.stepCount) / 60.f);
        gfx.linesShader.setUniform("resolution", sf::Glsl::Vec2(1024.f, 34.f));
        states.shader = &gfx.linesShader;
    }
    target.draw(strip, states);
}

bool comboBannerShown(const GameField& field, const GameContext& ctx)
{
    return ctx.remainingFraction > GameField::clearThreshold(ctx.difficulty) && field.comboCount > 1;
}

namespace {

const char* clearedLine(int difficulty)
{
    switch (difficulty) {
    case Casual:
        return "Cleared 80%";
    case Normal:
        return "Cleared 90%";
    default:
        return "Cleared 100%";
    }
}

const char* praise(int combo)
{
    if (combo == 3)
        return "Super!";
    if (combo == 5)
        return "Awesome";
    if (combo >= 7)
        return "Incredible";
    return "";
}

void label(sf::RenderTarget& target, sf::Text& text, const std::string& s, unsigned size, float x, float y,
           sf::Uint8 alpha)
{
    text.setString(s);
    text.setCharacterSize(size);
    text.setFillColor(sf::Color(255, 255, 255, alpha));
    text.setPosition(x, y);
    target.draw(text);
}

}  // namespace

void banners(sf::RenderTarget& target, const GameField& field, const GraphicsResources& gfx,
             const GameContext& ctx, sf::Text& text, int lastShownCombo, const std::string& clearedOverride)
{
    const float w = 1024.f;
    sf::Sprite banner(gfx.bumper);
    if (ctx.remainingFraction <= GameField::clearThreshold(ctx.difficulty)) {
        float y0 = 10.f;
        if (field.throwBlocked && field.spiralOn) {
            y0 = std::min(field.lastBubbleY * 30.f - 38.f, 668.f);
            if (y0 >= 0.f && y0 < 100.f)
                y0 = 10.f;
        }
        const float offset = field.clearedBannerOffset;
        banner.setPosition(0.76f * w + offset, y0);
        target.draw(banner);
        if (!clearedOverride.empty()) {
            label(target, text, clearedOverride, 30, 0.77f * w + offset, 27.f, 255);
            return;
        }
        label(target, text, "Round Over", 30, 0.77f * w + offset, y0 + 17.f, 255);
        label(target, text, clearedLine(ctx.difficulty), 12, 0.77f * w + offset + 102.f, y0 + 54.f, 255);
        return;
    }
    const float offset = field.comboBannerOffset;
    sf::Uint8 alpha = 255;
    if (field.comboCount <= 1) {
        if (field.bannerHold <= 0)
            return;
        alpha = static_cast<sf::Uint8>(static_cast<int>(static_cast<float>(field.bannerHold - 1) * 10.2f));
    }
    banner.setColor(sf::Color(255, 255, 255, alpha));
    banner.setPosition(0.76f * w + offset, 10.f);
    target.draw(banner);
    // A fading banner keeps showing the combo it last showed.
    const int combo = field.comboCount > 1 ? field.comboCount : lastShownCombo;
    label(target, text, std::to_string(combo) + "x Combo", 30, 0.77f * w + offset, 27.f, alpha);
    if (combo > 2)
        label(target, text, praise(combo), 12, 0.77f * w + offset + 125.f, 62.f, alpha);
}

}  // namespace draw

#include "screens/screen_5.h"

#include <string>
#include <vector>

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Window/Keyboard.hpp>

#include "app/GameContext.h"
#include "gfx/GraphicsResources.h"
#include "gfx/VertexBatch.h"
#include "world/MicrobePool.h"

namespace {

// Where the layer's top-left corner sits on the field.
const sf::Vector2f layerOrigin(7.f, 99.f);

DirtLayerAccess layerOf(sf::RenderTexture& layer)
{
    DirtLayerAccess access;
    access.read = [&layer] {
        if (layer.getSize().x == 0)
            return sf::Image();
        layer.display();
        return layer.getTexture().copyToImage();
    };
    access.makeFresh = [&layer] {
        layer.clear(sf::Color(97, 83, 48, 100));
        layer.setSmooth(true);
        layer.display();
    };
    return access;
}

}  // namespace

void wipeUnderFinishedBursts(sf::RenderTarget& layer, const MicrobePool& pool)
{
    // Multiplying by (0, 0, 0, 1) leaves nothing: the disc becomes clean and
    // transparent, and wiping it again changes nothing.
    // All discs go out in one draw; the edges stay hard, as the count of
    // clean pixels reads the layer exactly.
    const sf::Color wipe(0, 0, 0, 1);
    VertexBatch discs;
    for (const Microbe& m : pool.microbes) {
        if (!m.dead || !m.body)
            continue;
        const sf::Vector2f centre = sf::Vector2f(m.current.x * 30.f, m.current.y * 30.f) - layerOrigin;
        discs.disc(centre, m.radius - 2.f, wipe);
        discs.ring(centre, m.radius - 2.f, 6.f, wipe);
    }
    discs.draw(layer, sf::RenderStates(sf::BlendMultiply));
}

screen_5::screen_5(GameContext& ctx, sf::RenderTexture& layer)
    : GameScreen(ctx, cleanFieldRules()), clean(field, layerOf(layer)), m_layer(layer)
{
}

void screen_5::onKeyPressed(int sfKeyCode, GameContext& ctx)
{
    if (sfKeyCode == sf::Keyboard::V)
        ctx.audio.musicVolumeDown();
}

void screen_5::beforePause(PauseCause cause, GameContext& ctx)
{
    // The menu shows the share, so pausing measures it; the middle button is a quick pause.
    if (cause != PauseCause::MiddleButton)
        clean.measure(ctx);
}

void screen_5::drawUnderMicrobes(sf::RenderTarget& target, GraphicsResources&, GameContext&)
{
    if (m_layer.getSize().x == 0)
        return;
    sf::Sprite layer(m_layer.getTexture());
    layer.setPosition(layerOrigin);
    target.draw(layer);
}

void screen_5::drawAfterMicrobes(sf::RenderTarget&, GraphicsResources&, GameContext&)
{
    if (m_layer.getSize().x == 0)
        return;
    // Wiping the same discs again changes nothing, so the layer is only
    // touched when a finished burst appeared, moved or went: drawing into it
    // in the middle of a frame stalls a software renderer.
    std::vector<sf::Vector3f> discs;
    for (const Microbe& m : field.pool.microbes)
        if (m.dead && m.body)
            discs.emplace_back(m.current.x, m.current.y, m.radius);
    if (discs == m_wipedDiscs)
        return;
    m_wipedDiscs = std::move(discs);
    wipeUnderFinishedBursts(m_layer, field.pool);
    m_layer.display();
}

void screen_5::drawOverlay(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx)
{
    throwsText.setFont(gfx.font);
    throwsText.setString("Throws: " + std::to_string(ctx.throwCount));
    throwsText.setPosition(180.f, 723.f);
    target.draw(throwsText);
}

std::string screen_5::clearedBannerLine(const GameContext& ctx) const
{
    return cleanedShareText(ctx.cleanedPercent);
}

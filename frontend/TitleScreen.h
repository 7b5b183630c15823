// Screen 0: the title. The logo on its strip, "Click To Start", the version
// line, rolling credits and the message of the day, over rising bubbles. Any
// key or click leads to the menu. Building it starts the two web fetches and
// waits for them, never longer than a few seconds.
#pragma once

#include <memory>
#include <string>

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/System/Clock.hpp>

#include "app/cScreen.h"
#include "frontend/Credits.h"
#include "frontend/WebSite.h"
#include "screens/FieldDrawing.h"
#include "world/Particles.h"

namespace sf {
class RenderTarget;
}

class screen_0 : public cScreen {
public:
    explicit screen_0(GameContext& ctx);

    int Run(GraphicsResources& gfx, GameContext& ctx) override;
    void Reset(GameContext&) override {}

private:
    void step(GameContext& ctx);
    void draw(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx);

    sf::Clock m_clock;
    sf::RenderTexture m_logoStrip;
    sf::Texture m_logo;
    sf::Sprite m_logoSprite;
    sf::Sprite m_stripSprite;
    sf::Text m_clickText;
    sf::Text m_versionText;
    sf::Text m_creditsText;
    sf::Text m_messageText;
    std::string m_message;
    std::string m_latestVersion;
    ParticleSystem m_particles;
    draw::DrawBatches m_batches;
    CreditsRoll m_credits;
    double m_accumulator = 0.0;
    std::unique_ptr<web::StartupFetches> m_fetches;
    int m_pointerX = 0;
    int m_pointerY = 0;
};

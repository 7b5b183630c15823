#include "frontend/TitleScreen.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "app/Viewport.h"
#include "gfx/GraphicsResources.h"
#include "screens/FieldDrawing.h"
#include "world/Effects.h"

namespace {

constexpr double stepSeconds = 1.0 / 60.0;
constexpr double longestFrame = 0.25;
const sf::Color stripColour(13, 15, 17, 191);

void say(const char* line)
{
    std::fputs(line, stdout);
    std::fflush(stdout);
}

}  // namespace

screen_0::screen_0(GameContext& ctx)
{
    say("Constructing Screen 0\n");
    viewWidth = 1024;
    viewHeight = 768;
    // Both fetches run at once; the title waits for them, but never longer
    // than the budget, so a site that never answers can't hold the game.
    m_fetches = std::make_unique<web::StartupFetches>(web::messageTarget(), web::versionTarget());
    const auto deadline = std::chrono::steady_clock::now() + web::startupFetchBudget;

    m_logoStrip.create(1024, 230);
    if (!m_logo.loadFromFile(ctx.resourceDir + "logo2.png"))
        say("failed to load logo2.png\n");
    m_logo.setSmooth(true);
    m_logoSprite.setTexture(m_logo, true);
    m_logoSprite.setPosition(102.f, 10.f);
    // The strip never changes: the logo is laid on it once.
    m_logoStrip.clear(stripColour);
    m_logoStrip.draw(m_logoSprite);
    m_logoStrip.display();
    m_stripSprite.setTexture(m_logoStrip.getTexture(), true);
    m_stripSprite.setPosition(0.f, 0.2f * 768.f);

    m_fetches->waitUntil(deadline);
    m_message = m_fetches->takeMessage();
    m_latestVersion = m_fetches->takeLatestVersion();
}

int screen_0::Run(GraphicsResources& gfx, GameContext& ctx)
{
    sf::RenderWindow& window = *ctx.window;
    m_clock.restart();
    while (window.isOpen()) {
        sf::Event event;
        while (window.pollEvent(event)) {
            switch (event.type) {
            case sf::Event::Closed:
                return -1;
            case sf::Event::KeyPressed:
            case sf::Event::MouseButtonPressed:
                return ScreenMenu;
            case sf::Event::MouseMoved: {
                const sf::Vector2u size = window.getSize();
                const sf::Vector2i p =
                    windowToLogical(event.mouseMove.x, event.mouseMove.y, static_cast<int>(size.x),
                                    static_cast<int>(size.y), ctx.viewport);
                m_pointerX = p.x;
                m_pointerY = p.y;
                break;
            }
            default:
                break;
            }
        }
        m_accumulator += std::min(static_cast<double>(m_clock.restart().asSeconds()), longestFrame);
        while (m_accumulator >= stepSeconds) {
            m_accumulator -= stepSeconds;
            step(ctx);
        }
        draw(window, gfx, ctx);
        window.display();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

void screen_0::step(GameContext& ctx)
{
    m_credits.step();
    if (std::rand() % 1000 > 990)
        effects::risingBubble(m_particles);
    m_particles.update();
    // A fetch that answered after the title stopped waiting still counts.
    if (std::string late = m_fetches->takeMessage(); !late.empty())
        m_message = std::move(late);
    if (std::string late = m_fetches->takeLatestVersion(); !late.empty())
        m_latestVersion = std::move(late);
    web::checkVersion(ctx, m_latestVersion);
}

void screen_0::draw(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx)
{
    target.clear(sf::Color::Black);
    sf::View view(sf::FloatRect(0.f, 0.f, 1024.f, 768.f));
    view.setViewport(ctx.viewport.width > 0.f ? ctx.viewport : sf::FloatRect(0.f, 0.f, 1.f, 1.f));
    target.setView(view);
    draw::background(target, gfx);
    m_batches.setSmoothEdges(gfx.smoothEdges);
    draw::particles(target, m_particles, m_batches);
    target.draw(m_stripSprite);

    m_clickText.setFont(gfx.font);
    m_clickText.setCharacterSize(24);
    m_clickText.setString("Click To Start");
    m_clickText.setPosition(0.415f * 1024.f, 0.8f * 768.f);
    target.draw(m_clickText);

    m_versionText.setFont(gfx.font);
    m_versionText.setCharacterSize(8);
    m_versionText.setString(ctx.newerVersionAvailable
                                ? "local: " + ctx.localVersion + "   latest: " + ctx.latestVersion
                                : ctx.localVersion);
    m_versionText.setPosition(4.f, 756.f);
    target.draw(m_versionText);

    m_creditsText.setFont(gfx.font);
    m_creditsText.setCharacterSize(12);
    m_creditsText.setString(m_credits.text);
    m_creditsText.setFillColor(
        sf::Color(250, 250, 250, static_cast<sf::Uint8>(255.f * std::clamp(m_credits.alpha, 0.f, 1.f))));
    m_creditsText.setPosition(720.f, 768.f + m_credits.offset);
    target.draw(m_creditsText);

    m_messageText.setFont(gfx.font);
    m_messageText.setCharacterSize(12);
    m_messageText.setString(sf::String::fromUtf8(m_message.begin(), m_message.end()));
    m_messageText.setFillColor(sf::Color(255, 144, 34, 255));
    m_messageText.setPosition(0.06f * 1024.f, 0.77f * 768.f);
    target.draw(m_messageText);
}

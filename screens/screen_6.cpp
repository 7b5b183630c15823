#include "screens/screen_6.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include <box2d/box2d.h>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Joystick.hpp>
#include <SFML/Window/Keyboard.hpp>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "app/RequestedPage.h"
#include "app/ScreenLoop.h"
#include "app/Settings.h"
#include "gfx/GraphicsResources.h"
#include "screens/FieldDrawing.h"
#include "screens/SymbolDrawing.h"

namespace {

sf::Vector2f pixelsOf(const b2Body* body)
{
    const b2Vec2 p = body->GetPosition();
    return {p.x * 30.f, p.y * 30.f};
}

}  // namespace

screen_6::screen_6(GameContext& ctx) : screen_6(ctx, std::make_unique<WarField>(ctx)) {}

screen_6::screen_6(GameContext&, std::unique_ptr<WarField> arena) : owned(std::move(arena)), field(*owned)
{
    frameClock.restart();
}

int screen_6::handleEvent(const sf::Event& event, GameContext& ctx)
{
    switch (event.type) {
    case sf::Event::Closed:
        return -1;
    case sf::Event::KeyPressed:
        if (event.key.code == sf::Keyboard::Escape || event.key.code == sf::Keyboard::Space) {
            ctx.requestedPage = PagePause;
            ctx.audio.enterMenuMusic();
            ctx.paused = true;
            return ScreenMenu;
        }
        if (event.key.code == sf::Keyboard::V)
            ctx.audio.musicVolumeDown();
        break;
    case sf::Event::MouseMoved:
        field.pointerMoved(ctx, event.mouseMove.x, event.mouseMove.y);
        break;
    default:
        // Mouse buttons do nothing in war: the one bubble launches by itself.
        break;
    }
    return keepRunning;
}

void screen_6::sampleHeldInput(GameContext& ctx)
{
    WarHeldInput& held = field.held;
    held.joystickX.fill(0.f);
    held.left = held.right = false;
    for (const Seat& seat : field.seatsOf(ctx)) {
        if (seat.device >= DeviceJoystick1 && seat.device <= DeviceJoystick1 + 3) {
            const auto joystick = static_cast<unsigned>(seat.device);
            // An unplugged joystick reads 0 and so does not turn.
            held.joystickX[joystick] = sf::Joystick::isConnected(joystick)
                                           ? sf::Joystick::getAxisPosition(joystick, sf::Joystick::X)
                                           : 0.f;
        }
        if (seat.device == DeviceKeyboard) {
            held.left = sf::Keyboard::isKeyPressed(sf::Keyboard::Left);
            held.right = sf::Keyboard::isKeyPressed(sf::Keyboard::Right);
        }
    }
}

int screen_6::Run(GraphicsResources& gfx, GameContext& ctx)
{
    sf::RenderWindow& window = *ctx.window;
    if (ctx.restartRequested)
        Reset(ctx);
    bannerText.setFont(gfx.font);
    countText.setFont(gfx.font);
    window.setMouseCursorVisible(ctx.settings.showMouse);
    field.fieldView.setViewport(ctx.viewport);
    frameClock.restart();

    while (window.isOpen()) {
        sf::Event event;
        while (window.pollEvent(event)) {
            const int next = handleEvent(event, ctx);
            if (next != keepRunning)
                return next;
        }
        sampleHeldInput(ctx);
        const double dt = cappedFrameSeconds(frameClock);
        Update(ctx, dt);
        if (const int next = afterFrame(ctx); next != keepRunning)
            return next;
        if (resetPending) {
            ctx.requestedPage = PageRoundOver;
            return ScreenMenu;
        }
        draw(window, gfx, ctx);
        window.display();
    }
    return -1;
}

void screen_6::draw(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx)
{
    target.clear(sf::Color::Black);
    target.setView(field.fieldView);
    batches.setSmoothEdges(gfx.smoothEdges);
    draw::background(target, gfx);
    draw::microbes(target, field.pool, batches);
    if (ctx.settings.symbols)
        draw::microbeSymbols(target, field.pool);
    draw::bubbles(target, field.bubbles, field.catcher, gfx, batches);
    draw::particles(target, field.particles, batches);
    drawWarBodies(target, gfx);
    drawBanner(target, gfx);
    // The corner counts share one size, so they go out in one draw.
    batches.text.clear();
    drawCounts(target, ctx);
    batches.text.draw(target);
    drawOverlay(target, gfx, ctx);
}

void screen_6::drawWarBodies(sf::RenderTarget& target, const GraphicsResources& gfx)
{
    VertexBatch& sprites = batches.sprites;
    sprites.clear();
    for (int s = 0; s < WarField::seatCount; ++s) {
        const WarBody& paddle = field.warBodies[static_cast<std::size_t>(s)];
        const sf::Vector2f p = pixelsOf(paddle.body);
        sprites.sprite(sf::Transform().translate(p.x - 32.f, p.y - 32.f), {64.f, 64.f},
                       paddle.out ? sf::IntRect(896, 0, 128, 128) : sf::IntRect(0, 0, 128, 128), sf::Color::White);
    }
    sprites.draw(target, sf::RenderStates(&gfx.paddle));
    // The bumper picture is a translucent panel whose edge strips read as
    // stray bars, so the bumpers are drawn as the round caps they are.
    VertexBatch& shapes = batches.shapes;
    shapes.clear();
    for (int e = WarField::firstBumper; e < 8; ++e) {
        const WarBody& bumper = field.warBodies[static_cast<std::size_t>(e)];
        const sf::Vector2f centre = pixelsOf(bumper.body);
        shapes.disc(centre, bumper.drawRadius, sf::Color(60, 90, 140, 90), 90);
        shapes.ring(centre, bumper.drawRadius, -3.f, sf::Color(180, 210, 255, 160), 90);
    }
    shapes.draw(target);
}

void screen_6::drawBanner(sf::RenderTarget& target, const GraphicsResources& gfx)
{
    static const char* const stageLines[] = {"  GO!", "  Set", "Ready"};
    const int stage = std::clamp(field.countdownStage, 0, 2);
    const float w = static_cast<float>(viewWidth);
    sf::Sprite banner(gfx.bumper);
    bannerText.setString(stageLines[stage]);
    bannerText.setCharacterSize(30);
    if (field.countdownTicks >= 1) {
        banner.setPosition(0.76f * w + field.bannerSlide, 260.f);
        bannerText.setPosition(0.77f * w + field.bannerSlide + 70.f, 277.f);
        bannerText.setFillColor(sf::Color::White);
        target.draw(banner);
        target.draw(bannerText);
        field.holdBanner();
        return;
    }
    if (field.bannerFade <= 0)
        return;
    const auto alpha = static_cast<sf::Uint8>(std::lround(static_cast<float>(field.bannerFade - 1) * 5.666667f));
    banner.setColor(sf::Color(255, 255, 255, alpha));
    banner.setPosition(0.76f * w + field.bannerSlide, 260.f);
    bannerText.setFillColor(sf::Color(255, 255, 255, alpha));
    bannerText.setPosition(0.77f * w + field.bannerSlide, 277.f);
    target.draw(banner);
    target.draw(bannerText);
    bannerText.setFillColor(sf::Color::White);
}

void screen_6::drawCounts(sf::RenderTarget& target, const GameContext& ctx)
{
    for (int s = 0; s < WarField::seatCount; ++s)
        drawCount(target, s, "Player " + std::to_string(s + 1) + ": " +
                                 std::to_string(ctx.warCounts[static_cast<std::size_t>(s)]));
}

void screen_6::drawCount(sf::RenderTarget&, int seat, const std::string& label)
{
    static constexpr float countX[WarField::seatCount] = {15.f, 904.f, 15.f, 904.f};
    static constexpr float countY[WarField::seatCount] = {65.f, 65.f, 721.f, 721.f};
    countText.setCharacterSize(20);
    countText.setString(sf::String::fromUtf8(label.begin(), label.end()));
    countText.setPosition(countX[seat], countY[seat]);
    batches.text.add(countText);
}

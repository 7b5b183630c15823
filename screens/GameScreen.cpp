#include "screens/GameScreen.h"

#include <algorithm>

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Joystick.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "app/ScreenLoop.h"
#include "app/platform.h"
#include "gfx/GraphicsResources.h"
#include "screens/FieldDrawing.h"
#include "screens/SymbolDrawing.h"

namespace {
constexpr int keepRunning = -100;
}

GameScreen::GameScreen(GameContext& ctx, FieldRules rules) : field(ctx, std::move(rules))
{
    field.tap = &recorder;
    frameClock.restart();
    secondClock.restart();
}

bool GameScreen::needsFreshRound(const GameContext& ctx) const
{
    return ctx.restartRequested;
}

bool GameScreen::recordingComplete(const GameContext&) const
{
    const replay::Recording& r = recorder.recording;
    return !r.levels.empty() && r.levels.back().finished;
}

void GameScreen::startRecording(GameContext& ctx)
{
    recorder.clear();
    recorder.recording.mode = modeNumber();
    recorder.recording.gameVersion = ctx.localVersion;
    const replay::ModeParts parts = modeParts();
    recorder.beginLevel(field, ctx, replay::tutorialStartOf(parts.tutorial), replay::measurePendingOf(parts.clean));
}

void GameScreen::keepRecording(GameContext& ctx, bool roundOver)
{
    replay::keepRecording(recorder.recording, ctx.settingsPrefix, roundOver && recordingComplete(ctx));
}

int GameScreen::pause(GameContext& ctx, PauseCause cause)
{
    beforePause(cause, ctx);
    // A round left here may never be taken up again: keep it as played so far.
    keepRecording(ctx, false);
    ctx.requestedPage = PagePause;
    // Pausing by itself leaves the music alone, as the focus stand-in of a timer.
    if (cause != PauseCause::Focus)
        ctx.audio.enterMenuMusic();
    ctx.paused = true;
    return ScreenMenu;
}

int GameScreen::handleEvent(const sf::Event& event, GameContext& ctx)
{
    switch (event.type) {
    case sf::Event::Closed:
        return -1;
    case sf::Event::KeyPressed:
        if (event.key.code == sf::Keyboard::Escape || event.key.code == sf::Keyboard::Space)
            return pause(ctx, PauseCause::Key);
        onKeyPressed(event.key.code, ctx);
        break;
    case sf::Event::LostFocus:
        // Leaving the window pauses the game, unless a cleared field is celebrating.
        if (ctx.settings.autoPause && !field.throwBlocked)
            return pause(ctx, PauseCause::Focus);
        break;
    case sf::Event::MouseMoved:
        if (ctx.settings.inputDevice == DeviceMouse)
            field.pointerMoved(ctx, event.mouseMove.x, event.mouseMove.y);
        break;
    case sf::Event::MouseButtonPressed:
        if (event.mouseButton.button == sf::Mouse::Middle)
            return pause(ctx, PauseCause::MiddleButton);
        field.buttonPressed();
        afterButtonPressed(ctx);
        break;
    case sf::Event::MouseButtonReleased:
        field.buttonReleased();
        break;
    default:
        break;
    }
    return keepRunning;
}

void GameScreen::sampleHeldInput(GameContext& ctx)
{
    HeldInput& held = field.held;
    const int device = ctx.settings.inputDevice;
    if (device >= DeviceJoystick1 && device <= DeviceJoystick4) {
        const auto joystick = static_cast<unsigned>(device);
        held.joystickX[device] = sf::Joystick::getAxisPosition(joystick, sf::Joystick::X);
        held.joystickButton0[device] = sf::Joystick::isButtonPressed(joystick, 0);
    }
    if (device == DeviceKeyboard) {
        held.left = sf::Keyboard::isKeyPressed(sf::Keyboard::Left);
        held.right = sf::Keyboard::isKeyPressed(sf::Keyboard::Right);
        held.control = sf::Keyboard::isKeyPressed(sf::Keyboard::LControl) ||
                       sf::Keyboard::isKeyPressed(sf::Keyboard::RControl);
    }
}

int GameScreen::Run(GraphicsResources& gfx, GameContext& ctx)
{
    sf::RenderWindow& window = *ctx.window;
    if (needsFreshRound(ctx))
        Reset(ctx);
    if (roundFresh) {
        startRecording(ctx);
        roundFresh = false;
    }
    beginShowing(gfx, ctx);
    // Aim where the pointer already is, not where it was when the game was left.
    if (ctx.settings.inputDevice == DeviceMouse) {
        const sf::Vector2i pointer = sf::Mouse::getPosition(window);
        field.pointerMoved(ctx, pointer.x, pointer.y);
    }
    frameClock.restart();

    while (window.isOpen()) {
        sf::Event event;
        while (window.pollEvent(event)) {
            const int next = handleEvent(event, ctx);
            if (next == -1)
                keepRecording(ctx, false);
            if (next != keepRunning)
                return next;
        }
        sampleHeldInput(ctx);
        const double dt = cappedFrameSeconds(frameClock);
        field.Update(ctx, dt);
        if (resetPending) {
            keepRecording(ctx, true);
            ctx.requestedPage = roundOverPage(ctx);
            if (menuMusicOnRoundOver())
                ctx.audio.enterMenuMusic();
            return ScreenMenu;
        }
        presentFrame(window, gfx, ctx);
    }
    return -1;
}

void GameScreen::beginShowing(GraphicsResources& gfx, GameContext& ctx)
{
    sf::RenderWindow& window = *ctx.window;
    scoreText.setFont(gfx.font);
    scoreText.setCharacterSize(24);
    batches.setSmoothEdges(gfx.smoothEdges);
    bannerText.setFont(gfx.font);
    window.setMouseCursorVisible(ctx.settings.showMouse);
    platform::lockPointer(window, ctx.settings.lockMouse);
    field.fieldView.setViewport(ctx.viewport);
}

void GameScreen::presentFrame(sf::RenderWindow& window, GraphicsResources& gfx, GameContext& ctx)
{
    if (draw::comboBannerShown(field, ctx)) {
        field.bannerHold = 25;
        lastShownCombo = field.comboCount;
    }
    ++frameCounter;
    draw(window, gfx, ctx);
    window.display();
}

void GameScreen::draw(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx)
{
    target.clear(sf::Color::Black);
    target.setView(field.fieldView);
    draw::background(target, gfx);
    drawUnderMicrobes(target, gfx, ctx);
    if (!field.bubbleInPlay && !field.throwBlocked)
        draw::aimingGuide(target, field, gfx, ctx.aimPulse, batches);
    draw::popups(target, field, gfx.font, batches);
    draw::microbes(target, field.pool, batches);
    if (ctx.settings.symbols)
        draw::microbeSymbols(target, field.pool);
    drawAfterMicrobes(target, gfx, ctx);
    draw::paddle(target, field, gfx, paddleLayerFactors, batches);
    // The particles and then the frame over them, in one draw.
    batches.shapes.clear();
    draw::addParticles(batches.shapes, field.particles);
    draw::addFieldFrame(batches.shapes);
    batches.shapes.draw(target);
    draw::bottomPanel(target, gfx, frameCounter);
    scoreText.setString(std::to_string(ctx.score));
    scoreText.setPosition(0.80078125f * 1024.f, 0.94140625f * 768.f);
    target.draw(scoreText);
    draw::meter(target, gfx, ctx.remainingFraction, GameField::clearThreshold(ctx.difficulty));
    draw::bubbles(target, field.bubbles, field.catcher, gfx, batches);
    draw::catcherStrip(target, field, gfx);
    draw::banners(target, field, gfx, ctx, bannerText, lastShownCombo, clearedBannerLine(ctx));
    drawOverlay(target, gfx, ctx);
}

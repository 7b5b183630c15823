#include "world/WarField.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <box2d/box2d.h>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "app/RequestedPage.h"
#include "app/Settings.h"
#include "app/Viewport.h"
#include "world/Bursts.h"
#include "world/Effects.h"
#include "world/FieldParts.h"
#include "world/Fixtures.h"
#include "world/Random.h"
#include "world/Units.h"

namespace {


// The corners the seats sit in, in pixels.
constexpr float cornerX[WarField::seatCount] = {15.f, 1009.f, 15.f, 1009.f};
constexpr float cornerY[WarField::seatCount] = {107.f, 107.f, 706.f, 706.f};

// Edge bumper centres (left, bottom, right, top), well outside the field so
// that only a shallow cap reaches in.
constexpr float bumperX[4] = {-125.f, 512.f, 1149.f, 512.f};
constexpr float bumperY[4] = {384.f, 848.f, 384.f, -28.f};

void say(const char* line)
{
    std::fputs(line, stdout);
    std::fflush(stdout);
}

b2Body* heavyCircle(b2World& world, float xPixels, float yPixels, float radiusMetres)
{
    b2BodyDef def;
    def.type = b2_dynamicBody;
    def.bullet = true;
    def.gravityScale = 0.f;
    def.position.Set(xPixels * metresPerPixel, yPixels * metresPerPixel);
    b2Body* body = world.CreateBody(&def);
    // They meet only bubbles: the microbes and walls pass through them.
    attachCircle(body, {radiusMetres, 1.0f, 0.9f, 9000.f, BodyCategory::Paddle, BodyCategory::Bubble});
    return body;
}

float bopPitch()
{
    return fieldparts::bopPitch(std::rand());
}

}  // namespace

WarField::WarField(GameContext& ctx)
{
    fieldView.reset(sf::FloatRect(0.f, 0.f, static_cast<float>(viewWidth), static_cast<float>(viewHeight)));
    world = fieldparts::makeWorld(listener);
    buildArena();
    buildWarBodies();
    buildCatcher();
    fieldparts::attachPool(pool, *world);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    populate(ctx);
}

WarField::~WarField()
{
    world->SetContactListener(nullptr);
}

void WarField::buildArena()
{
    const float w = static_cast<float>(viewWidth);
    const float h = static_cast<float>(viewHeight);
    auto wall = [this](float x, float y, float halfW, float halfH) {
        fieldparts::staticBox(*world, x, y, halfW, halfH, BodyCategory::Wall, mask::wall);
    };
    wall(-104.f, 0.f, 3.5f, h / 15.f);
    wall(104.f + w, 0.f, 3.5f, h / 15.f);
    // Thick top and bottom bars close the arena; their faces lie at 95 and 723 px.
    wall(w / 2.f, -5.f, w / 30.f, 3.3333333f);
    wall(w / 2.f, -100.f - h, w / 30.f, 1.f / 6.f);
    wall(w / 2.f, h + 55.f, w / 30.f, 3.3333333f);
}

void WarField::buildWarBodies()
{
    const float w = static_cast<float>(viewWidth);
    const float h = static_cast<float>(viewHeight);
    for (int s = 0; s < seatCount; ++s) {
        // The paddles start together near the bottom and fly to their corners.
        warBodies[static_cast<std::size_t>(s)] = {false, heavyCircle(*world, w / 2.f, 0.032133333f * h * 30.f, 0.7f),
                                                  21.f};
    }
    for (int e = 0; e < 4; ++e)
        warBodies[static_cast<std::size_t>(firstBumper + e)] = {false, heavyCircle(*world, bumperX[e], bumperY[e], 5.f),
                                                                150.f};
}

void WarField::buildCatcher()
{
    fieldparts::buildCatcher(*world, catcher);
}

std::array<sf::Vector2f, WarField::microbesPerSeat> WarField::clusterPoints(int seat)
{
    // Five points on a quarter circle of 100 px round the top-left corner, three
    // on one of 50 px; the other seats mirror them.
    static constexpr float baseX[microbesPerSeat] = {115.f,   107.3956f, 85.7388f, 53.3235f,
                                                     15.0796f, 65.f,      50.3694f, 15.0398f};
    static constexpr float baseY[microbesPerSeat] = {107.f,      145.25f, 177.6825f, 199.3651f,
                                                     207.f,      107.f,   142.3413f, 157.f};
    std::array<sf::Vector2f, microbesPerSeat> points{};
    for (int i = 0; i < microbesPerSeat; ++i) {
        float x = baseX[i];
        float y = baseY[i];
        if (seat == 1 || seat == 3)
            x = 1024.f - x;
        if (seat == 2 || seat == 3)
            y = 813.f - y;
        points[static_cast<std::size_t>(i)] = {x, y};
    }
    return points;
}

void WarField::populate(GameContext& ctx)
{
    for (int s = 0; s < seatCount; ++s)
        for (const sf::Vector2f& p : clusterPoints(s))
            pool.addMicrobe(100 + s, p.x, p.y, 0.f, 0.f);
    ctx.totalMicrobes = pool.spawnedTotal;
    ctx.remainingMicrobes = pool.spawnedTotal;
    ctx.remainingFraction = 1.0f;
    for (int s = 0; s < seatCount; ++s)
        ctx.warCounts[static_cast<std::size_t>(s)] = microbesPerSeat;
}

void WarField::Reset(GameContext& ctx)
{
    say("Reset!\n");
    ctx.restartRequested = false;
    ctx.throwCount = 0;
    roundOver = false;
    stepCount = 0;
    viewShake = 0;
    comboCount = 0;
    roundOverTicks = 180;
    bubbleInPlay = false;
    countdownTicks = 60;
    countdownStage = 2;
    bannerFade = 0;
    bannerSlide = -1024.f;
    scroll = 0.f;
    pool.clear();
    particles.clear();
    for (int s = 0; s < seatCount; ++s)
        warBodies[static_cast<std::size_t>(s)].out = false;
    popups.clear();
    destroyBubbles();
    resetPending = false;
    populate(ctx);
}

void WarField::pointerMoved(const GameContext& ctx, int windowX, int windowY)
{
    if (ctx.settings.windowWidth <= 0 || ctx.settings.windowHeight <= 0)
        return;
    const sf::Vector2i p =
        pointerToLogical(windowX, windowY, ctx.settings.windowWidth, ctx.settings.windowHeight, ctx.aspect);
    pointerX = p.x;
    pointerY = p.y;
}

int WarField::Update(GameContext& ctx, double frameSeconds)
{
    accumulator += frameSeconds;
    while (accumulator >= timeStep) {
        fieldparts::snapshot(pool, bubbles);
        Logic(ctx, static_cast<float>(timeStep));
        accumulator -= timeStep;
    }
    world->ClearForces();
    alpha = accumulator / timeStep;
    fieldparts::interpolate(pool, bubbles, static_cast<float>(alpha));
    return 1;
}

int WarField::Logic(GameContext& ctx, float dt)
{
    startSequence();
    networkPhase(ctx);
    world->Step(dt, ctx.settings.velocityIterations, ctx.settings.positionIterations);
    particles.enabled = ctx.settings.particles;
    particles.update();
    ctx.audio.nextTrackIfEnding();
    ctx.audio.fadeStep();
    if (catcher.timer > 0)
        --catcher.timer;
    ++stepCount;
    launch(ctx);
    aim(ctx);
    drivePaddles(ctx);
    upkeepBubbles(ctx);
    upkeepPopups();
    microbeLoop(ctx);
    beforeCounting(ctx);
    countAndEnd(ctx);
    upkeepView(ctx);
    afterStep(ctx);
    return 1;
}

void WarField::startSequence()
{
    if (countdownTicks > 0)
        --countdownTicks;
    if (bannerFade < 1) {
        if (countdownTicks < 1 && countdownStage > 0) {
            --countdownStage;
            countdownTicks = 60;
        }
    } else {
        --bannerFade;
    }
    if (bannerFade >= 1)
        bannerSlide *= bannerSlide >= -90.f ? 0.97087383f : 0.9302325f;
    else
        bannerSlide = -1024.f;
}

void WarField::launch(GameContext& ctx)
{
    if (countdownStage != 0 || bannerFade != 1 || bubbleInPlay)
        return;
    comboCount = 0;
    Bubble record;
    record.radius = 10.0f;
    record.power = 100;

    b2BodyDef def;
    def.type = b2_dynamicBody;
    def.bullet = true;
    def.allowSleep = true;
    def.awake = true;
    def.gravityScale = 0.f;
    def.position.Set(512.f * metresPerPixel, 384.f * metresPerPixel);
    b2Body* body = world->CreateBody(&def);
    record.body = body;
    record.previous = {def.position.x, def.position.y, 0.f};
    record.current = record.previous;
    // It meets microbes, walls and paddles only: no fences, no catcher.
    attachCircle(body, {record.radius / 30.f, 0.1f, 1.0f, 0.85f, BodyCategory::Bubble,
                        BodyCategory::Microbe | BodyCategory::Wall | BodyCategory::Paddle});

    const float a = launchRadians(ctx);
    const float strength = 135.f * record.radius / 300.f;
    body->ApplyLinearImpulse(b2Vec2(strength * std::cos(a), strength * std::sin(a)), body->GetPosition(), true);

    bubbles.push_back(record);
    body->GetUserData().pointer = reinterpret_cast<uintptr_t>(&bubbles.back());
    bubbleInPlay = true;
}

void WarField::aim(GameContext& ctx)
{
    for (int s = 0; s < seatCount; ++s)
        if (!warBodies[static_cast<std::size_t>(s)].out)
            aimSeat(ctx, s);
}

void WarField::aimSeat(GameContext& ctx, int s)
{
    Seat& seat = seatsOf(ctx)[static_cast<std::size_t>(s)];
    // The lower seats look up the field, so a turn goes the other way for them.
    const float sign = s < 2 ? -1.f : 1.f;
    const int device = seat.device;
    if (device >= DeviceJoystick1 && device <= DeviceJoystick1 + 3) {
        const float axis = held.joystickX[static_cast<std::size_t>(device)];
        const float turn = (axis > 30.f || axis < -30.f) ? axis * joystickTurnRate : 0.f;
        seat.aimAngle += sign * turn;
    } else if (device == DeviceKeyboard) {
        if (held.left)
            keyboardTurnSpeed -= 15.f;
        else if (held.right)
            keyboardTurnSpeed += 15.f;
        keyboardTurnSpeed = std::fmax(-100.f, std::fmin(100.f, keyboardTurnSpeed));
        seat.aimAngle += sign * 0.001f * keyboardTurnSpeed;
        keyboardTurnSpeed *= 0.9f;
        if (keyboardTurnSpeed > -1.f && keyboardTurnSpeed < 1.f)
            keyboardTurnSpeed = 0.f;
    } else if (device == DeviceMouse) {
        seat.aimX = pointerX;
        seat.aimY = pointerY;
        return;
    } else if (device == DeviceComputer) {
        // The computer watches the bubble and keeps its paddle between it and home.
        if (!bubbles.empty() && bubbles.front().body) {
            const b2Vec2 p = bubbles.front().body->GetPosition();
            seat.aimX = static_cast<int>(30.f * p.x + 3.f);
            seat.aimY = static_cast<int>(30.f * p.y + 3.f);
        }
        return;
    } else {
        return;
    }
    seat.aimX = static_cast<int>(std::lround(800.f * std::cos(seat.aimAngle) + seat.pivotX));
    seat.aimY = static_cast<int>(std::lround(800.f * std::sin(seat.aimAngle) + seat.pivotY));
}

std::array<Seat, 4>& WarField::seatsOf(GameContext& ctx)
{
    return ctx.seats;
}

sf::Vector2f WarField::paddleTarget(const Seat& seat, int s)
{
    const float cx = cornerX[s];
    const float cy = cornerY[s];
    const float phi = std::atan2(static_cast<float>(seat.aimY) - cy, static_cast<float>(seat.aimX) - cx);
    return {cx + 0.14648438f * static_cast<float>(viewWidth) * std::cos(phi),
            cy + 0.1953125f * static_cast<float>(viewHeight) * std::sin(phi)};
}

void WarField::drivePaddles(GameContext& ctx)
{
    // Eliminated seats keep driving towards their last aim point.
    for (int s = 0; s < seatCount; ++s) {
        b2Body* body = warBodies[static_cast<std::size_t>(s)].body;
        if (!body || body->GetType() == b2_staticBody)
            continue;
        const sf::Vector2f target = paddleTarget(seatsOf(ctx)[static_cast<std::size_t>(s)], s);
        const b2Vec2 p = body->GetPosition();
        // Pixels of gap become metres per second: the gap closes in 1/20 s.
        const b2Vec2 v((target.x - 30.f * p.x) * 0.6666667f, (target.y - 30.f * p.y) * 0.6666667f);
        body->SetLinearVelocity(v);
        if (v.x != 0.f || v.y != 0.f)
            body->SetAwake(true);
    }
}

void WarField::upkeepBubbles(GameContext& ctx)
{
    for (std::size_t i = 0; i < bubbles.size();) {
        Bubble& b = bubbles[i];
        b2Body* body = b.body;
        if (b.touchedPaddle) {
            ctx.audio.play(AudioPlayer::Effect::Bop, bopPitch());
            b.touchedPaddle = false;
            if (comboCount > 0)
                --comboCount;
            if (catcher.timer > 0)
                viewShake = 12;
        }
        // Without gravity the bubble may run faster than in the single-player field.
        fieldparts::dampBubble(*body, ctx, fastSpeed, catcher);
        const float x = b.current.x * 30.f;
        const float y = b.current.y * 30.f;
        if (comboCount > 0 && b.trailOn)
            effects::comboTrail(particles, x, y, comboCount, ctx.comboTrail, b.hitColor);
        if (fieldparts::dropIfGone(ctx, *world, particles, bubbles, i, x, y)) {
            bubbleInPlay = false;
            comboCount = 0;
            continue;
        }
        ++i;
    }
}

void WarField::upkeepPopups()
{
    for (ScorePopup& p : popups)
        p.age();
    while (!popups.empty() && popups.front().done)
        popups.pop_front();
}

void WarField::microbeLoop(GameContext& ctx)
{
    for (std::size_t i = 0; i < pool.size(); ++i) {
        Microbe& m = pool.at(i);
        if (!m.body)
            continue;
        fieldparts::microbeEffects(particles, m);
        if (m.hitBy != NotHit && takeHit(ctx, i, m))
            scoreHit(ctx, m);
        fieldparts::advanceMicrobe(pool, i);
    }
}

void WarField::scoreHit(GameContext& ctx, Microbe& m)
{
    fieldparts::scoreHit(ctx, m, true, {particles, popups, comboCount, viewShake, catcher});
}

void WarField::countAndEnd(GameContext& ctx)
{
    ctx.warCounts.fill(0);
    for (const Microbe& m : pool.microbes)
        if (!m.dead && !m.bursting && m.type >= 100 && m.type <= 103)
            ++ctx.warCounts[static_cast<std::size_t>(m.type - 100)];
    int emptySeats = 0;
    for (int s = 0; s < seatCount; ++s) {
        if (ctx.warCounts[static_cast<std::size_t>(s)] != 0)
            continue;
        warBodies[static_cast<std::size_t>(s)].out = true;
        ++emptySeats;
    }
    if (emptySeats >= 3)
        roundOver = true;
    if (!roundOver)
        return;
    if (roundOverTicks == 180) {
        ctx.audio.play(AudioPlayer::Effect::Win);
        ctx.audio.beginFadeOut();
    }
    --roundOverTicks;
    scroll = scroll < 0.f ? scroll * 0.75f : 0.f;
    // Once: a frame that runs two steps must not finish the round twice.
    if (roundOverTicks == 0)
        finishRound(ctx);
}

void WarField::finishRound(GameContext& ctx)
{
    say("Level over\n");
    resetPending = true;
    bubbleInPlay = false;
    stepCount = 0;
    countdownTicks = 60;
    countdownStage = 2;
    bannerFade = 0;
    bannerSlide = -1024.f;
    destroyBubbles();
    for (Microbe& m : pool.microbes) {
        m.dead = true;
        m.bursting = false;
    }
    ctx.requestedPage = PageRoundOver;
    ctx.audio.playMenuTune();
    roundFinished(ctx);
}

void WarField::destroyBubbles()
{
    fieldparts::destroyBubbles(*world, bubbles);
    bubbleInPlay = false;
}

void WarField::upkeepView(const GameContext& ctx)
{
    fieldView.reset(sf::FloatRect(0.f, 0.f, 1024.f, 768.f));
    fieldView.move(0.f, scroll);
    if (viewShake > 0) {
        const float k = static_cast<float>(viewShake);
        const float a = static_cast<float>(std::rand() % 100 + 1);
        const float b = static_cast<float>(std::rand() % 100 + 1);
        fieldView.move((a * 0.01f - 0.5f) * k, (b * 0.01f - 0.5f) * k);
        --viewShake;
    }
    fieldView.setViewport(ctx.viewport);
}

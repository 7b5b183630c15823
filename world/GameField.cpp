#include "world/GameField.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <box2d/box2d.h>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "app/Viewport.h"
#include "world/Bursts.h"
#include "world/Effects.h"
#include "world/FieldParts.h"
#include "world/Fixtures.h"
#include "world/MicrobeTypes.h"
#include "world/Units.h"

namespace {

// Above this speed (m/s) the bubble gets the fast damping.
constexpr float fastSpeed = 45.f;

void say(const char* line)
{
    std::fputs(line, stdout);
    std::fflush(stdout);
}

void defaultPopulate(MicrobePool& pool, GameContext& ctx)
{
    generateField(pool, ctx.levelSeed);
}

void playBop(GameContext& ctx)
{
    ctx.audio.play(AudioPlayer::Effect::Bop, GameField::bopPitch(std::rand()));
}

}  // namespace

GameField::GameField(GameContext& ctx, FieldRules fieldRules) : rules(std::move(fieldRules))
{
    if (!rules.populate)
        rules.populate = defaultPopulate;
    hue = std::rand() % 360;
    fieldView.reset(sf::FloatRect(0.f, 0.f, static_cast<float>(viewWidth), static_cast<float>(viewHeight)));
    say(rules.constructionLine);

    PaddlePose start;
    start.x = static_cast<float>(viewWidth) / 2.f * metresPerPixel;
    start.y = 0.032133333f * static_cast<float>(viewHeight);
    buildWorld(start);

    std::srand(static_cast<unsigned>(std::time(nullptr)));
    populate(ctx);
    context = &ctx;
    if (rules.printsDifficultyLine) {
        std::printf("difficulty level = %d # types = %d\n", pool.difficultyLevel(),
                    static_cast<int>(pool.types.size()));
        std::fflush(stdout);
    }
    celebrationCountdown = 180;
    counter = 0;
}

GameField::~GameField()
{
    // The world owns every body; dropping it releases them all at once.
    world->SetContactListener(nullptr);
}

// Every round gets a world of its own, built in the same order each time, so
// that what a round does depends on the round alone and not on the bodies
// earlier rounds left in the physics engine's bookkeeping: a replay then
// plays it again exactly.
void GameField::buildWorld(const PaddlePose& paddle)
{
    if (world)
        world->SetContactListener(nullptr);
    paddleBody = nullptr;
    catcher.body = nullptr;
    world.reset();
    world = fieldparts::makeWorld(listener);
    buildBounds();
    buildPaddle(paddle);
    buildCatcher();
    fieldparts::attachPool(pool, *world);
}

PaddlePose GameField::paddlePose() const
{
    if (!paddleBody)
        return {};
    const b2Vec2 p = paddleBody->GetPosition();
    const b2Vec2 v = paddleBody->GetLinearVelocity();
    return {p.x, p.y, paddleBody->GetAngle(), v.x, v.y, paddleBody->GetAngularVelocity()};
}

void GameField::placePaddle(const PaddlePose& pose)
{
    if (!paddleBody)
        return;
    paddleBody->SetTransform(b2Vec2(pose.x, pose.y), pose.angle);
    paddleBody->SetLinearVelocity(b2Vec2(pose.vx, pose.vy));
    paddleBody->SetAngularVelocity(pose.spin);
}

void GameField::buildBounds()
{
    const float w = static_cast<float>(viewWidth);
    const float h = static_cast<float>(viewHeight);
    fieldparts::staticBox(*world, -104.f, 0.f, 3.5f, h / 15.f, BodyCategory::Wall, mask::wall);
    fieldparts::staticBox(*world, 104.f + w, 0.f, 3.5f, h / 15.f, BodyCategory::Wall, mask::wall);
    fieldparts::staticBox(*world, w / 2.f, 95.f, w / 30.f, 1.f / 6.f, BodyCategory::Fence, mask::fence);
    const float ceiling = rules.ceilingAboveView ? -100.f - h : rules.ceilingY;
    fieldparts::staticBox(*world, w / 2.f, ceiling, w / 30.f, 1.f / 6.f, BodyCategory::Wall, mask::wall);
    fieldparts::staticBox(*world, w / 2.f, h - 45.f, w / 30.f, 1.f / 6.f, BodyCategory::Fence, mask::fence);
}

void GameField::buildPaddle(const PaddlePose& pose)
{
    b2BodyDef def;
    def.type = b2_dynamicBody;
    def.bullet = true;
    def.gravityScale = 0.f;
    def.position.Set(pose.x, pose.y);
    def.angle = pose.angle;
    def.linearVelocity.Set(pose.vx, pose.vy);
    def.angularVelocity = pose.spin;
    paddleBody = world->CreateBody(&def);
    attachCircle(paddleBody, {1.4f, 1.0f, 0.9f, 9000.f, BodyCategory::Paddle, mask::paddle});
    const b2Vec2 p = paddleBody->GetPosition();
    paddlePrevious = {p.x, p.y, 0.f};
    paddleDrawn = paddlePrevious;
}

void GameField::buildCatcher()
{
    fieldparts::buildCatcher(*world, catcher);
}

void GameField::populate(GameContext& ctx)
{
    lastStart.spawns.clear();
    lastStart.paddle = paddlePose();
    pool.spawnLog = &lastStart.spawns;
    if (layFromSpawns) {
        for (const Spawn& s : nextSpawns)
            pool.addMicrobe(s.type, s.x, s.y, s.impulseX, s.impulseY).ambient = s.ambient;
        layFromSpawns = false;
        nextSpawns.clear();
    } else {
        rules.populate(pool, ctx);
    }
    pool.spawnLog = nullptr;
    for (std::size_t i = 0; i < lastStart.spawns.size() && i < pool.size(); ++i)
        lastStart.spawns[i].ambient = pool.at(i).ambient;
    ctx.totalMicrobes = pool.spawnedTotal;
    ctx.remainingMicrobes = pool.spawnedTotal;
    ctx.remainingFraction = 1.0f;
}

float GameField::clearThreshold(int difficulty)
{
    switch (difficulty) {
    case Casual:
        return 0.2f;
    case Normal:
        return 0.1f;
    default:
        return 0.0f;
    }
}

sf::Vector2f GameField::launchPoint() const
{
    return {0.5f * static_cast<float>(viewWidth), 0.0416f * static_cast<float>(viewHeight)};
}

float GameField::aimAngle() const
{
    const sf::Vector2f launch = launchPoint();
    return std::atan2(static_cast<float>(aimY) - launch.y, static_cast<float>(aimX) - launch.x);
}

float GameField::bopPitch(int r)
{
    return fieldparts::bopPitch(r);
}

void GameField::pointerMoved(GameContext& ctx, int windowX, int windowY)
{
    if (ctx.settings.windowWidth <= 0 || ctx.settings.windowHeight <= 0)
        return;
    const sf::Vector2i p =
        pointerToLogical(windowX, windowY, ctx.settings.windowWidth, ctx.settings.windowHeight, ctx.aspect);
    aimX = p.x;
    aimY = p.y;
    ctx.paddleTarget = static_cast<float>(aimX);
}

void GameField::buttonPressed()
{
    buttonHeld = true;
    if (!bubbleInPlay && !throwBlocked)
        throwRequested = true;
}

int GameField::Update(GameContext& ctx, double frameSeconds)
{
    accumulator += frameSeconds;
    while (accumulator >= timeStep && (!tap || tap->allowsStep())) {
        if (tap)
            tap->beforeStep(*this, ctx);
        if (paddleBody) {
            const b2Vec2 p = paddleBody->GetPosition();
            paddlePrevious = {p.x, p.y, paddleBody->GetAngle()};
            paddleDrawn = paddlePrevious;
        }
        fieldparts::snapshot(pool, bubbles);
        scrollPrevious = scrollDrawn = scrollCurrent;
        if (rules.fixedStep)
            rules.fixedStep(ctx);
        else
            Logic(ctx, static_cast<float>(timeStep));
        accumulator -= timeStep;
        if (tap)
            tap->afterStep(*this, ctx);
    }
    world->ClearForces();
    alpha = accumulator / timeStep;
    const float a = static_cast<float>(alpha);
    if (paddleBody) {
        const b2Vec2 p = paddleBody->GetPosition();
        paddleDrawn.x = (1.f - a) * paddlePrevious.x + a * p.x;
        paddleDrawn.y = (1.f - a) * paddlePrevious.y + a * p.y;
    }
    fieldparts::interpolate(pool, bubbles, a, scrollCurrent == 0.f);
    scrollDrawn = (1.f - a) * scrollPrevious + a * scrollCurrent;
    return 1;
}

void GameField::Logic(GameContext& ctx, float dt)
{
    world->Step(dt, ctx.settings.velocityIterations, ctx.settings.positionIterations);
    particles.enabled = ctx.settings.particles;
    particles.update();
    ctx.audio.nextTrackIfEnding();
    ctx.audio.fadeStep();
    if (catcher.timer > 0)
        --catcher.timer;
    if (bannerHold > 0)
        --bannerHold;
    ++stepCount;
    if (stepCount == 1) {
        ctx.totalMicrobes = pool.spawnedTotal;
        ctx.remainingMicrobes = pool.spawnedTotal;
        ctx.remainingFraction = 1.0f;
    }
    steerPaddle(ctx);
    throwBubble(ctx);
    upkeepBubbles(ctx);
    upkeepPopups();
    microbeLoop(ctx);
    roundEnd(ctx);
    upkeepHud(ctx);
}

void GameField::steerPaddle(GameContext& ctx)
{
    const int device = ctx.settings.inputDevice;
    float v = 0.f;
    if (device >= DeviceJoystick1 && device <= DeviceJoystick4) {
        const float p = held.joystickX[device];
        if (p >= 20.f || p <= -20.f) {
            ctx.paddleTarget += 1.2f * p;
            aimX = static_cast<int>(static_cast<float>(aimX) + p);
            aimY = 768;
        }
        if (held.joystickButton0[device] && !bubbleInPlay && !throwBlocked)
            throwRequested = true;
    } else if (device == DeviceKeyboard) {
        if (held.left) {
            ctx.paddleTarget -= 125.f;
            aimX -= 125;
            aimY = 768;
        }
        if (held.right) {
            ctx.paddleTarget += 125.f;
            aimX += 125;
            aimY = 768;
        }
        if (held.control && !bubbleInPlay && !throwBlocked)
            throwRequested = true;
    }
    if (!paddleBody)
        return;
    const float px = paddleBody->GetPosition().x;
    if (device == DeviceMouse) {
        v = (ctx.paddleTarget - 30.f * px) + (ctx.paddleTarget - 512.f) / ctx.settings.sensitivity;
    } else if ((device >= DeviceJoystick1 && device <= DeviceJoystick4) || device == DeviceKeyboard) {
        v = ctx.paddleTarget / 30.f;
        ctx.paddleTarget *= 0.9f;
    }
    // The walls let the paddle through, so keep it inside the field here.
    const float minX = 42.f * metresPerPixel;
    const float maxX = (static_cast<float>(viewWidth) - 42.f) * metresPerPixel;
    if ((px <= minX && v < 0.f) || (px >= maxX && v > 0.f)) {
        v = 0.f;
        paddleBody->SetTransform(b2Vec2(std::clamp(px, minX, maxX), paddleBody->GetPosition().y), 0.f);
    }
    if (v * v > 0.f && !paddleBody->IsAwake())
        paddleBody->SetAwake(true);
    paddleBody->SetLinearVelocity(b2Vec2(v, 0.f));
}

void GameField::throwBubble(GameContext& ctx)
{
    if (!throwRequested || bubbleInPlay || throwBlocked)
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
    def.gravityScale = 1.f;
    def.position.Set(static_cast<float>(viewWidth) / 60.f, 0.0013866668f * static_cast<float>(viewHeight));
    b2Body* body = world->CreateBody(&def);
    record.body = body;
    record.previous = {def.position.x, def.position.y, 0.f};
    record.current = record.previous;

    attachCircle(body, {record.radius / 30.f, 0.1f, 1.0f, 0.85f, BodyCategory::Bubble, mask::bubble});

    const float a = aimAngle();
    const float strength = record.radius * 0.0033333336f * 135.f;
    body->ApplyLinearImpulse(b2Vec2(strength * std::cos(a), strength * std::sin(a)), body->GetPosition(), true);

    bubbles.push_back(record);
    body->GetUserData().pointer = reinterpret_cast<uintptr_t>(&bubbles.back());
    bubbleInPlay = true;
    ++ctx.throwCount;
    throwRequested = false;
}

void GameField::upkeepBubbles(GameContext& ctx)
{
    const float h = static_cast<float>(viewHeight);
    for (std::size_t i = 0; i < bubbles.size();) {
        Bubble& b = bubbles[i];
        b2Body* body = b.body;
        if (b.touchedPaddle) {
            playBop(ctx);
            b.touchedPaddle = false;
            if (rules.onPaddleTouch)
                rules.onPaddleTouch(ctx);
            if (comboCount > 0) {
                --comboCount;
                if (comboCount == 1)
                    comboCount = 0;
                if (comboCount == 0)
                    effects::burst(particles, body->GetPosition().x * 30.f, body->GetPosition().y * 30.f,
                                   b.hitColor);
            }
            if (catcher.timer > 0)
                viewShake = 12;
        }
        const b2Vec2 v = body->GetLinearVelocity();
        fieldparts::dampBubble(*body, ctx, fastSpeed, catcher);
        const float x = b.current.x * 30.f;
        const float y = b.current.y * 30.f;
        if (comboCount > 0 && b.trailOn)
            effects::comboTrail(particles, x, y, comboCount, ctx.comboTrail, b.hitColor);
        if (y < 10.f) {
            const float rise = 1.578f * static_cast<float>(timeStep) * v.y * h / 30.f;
            scrollCurrent += rise;
            scrollDrawn += rise;
        } else {
            zoomFactor = 1.f;
            scrollCurrent = scrollPrevious = scrollDrawn = 0.f;
        }
        if (fieldparts::dropIfGone(ctx, *world, particles, bubbles, i, x, y)) {
            bubbleInPlay = false;
            comboCount = 0;
            continue;
        }
        ++i;
    }
}

void GameField::upkeepPopups()
{
    for (ScorePopup& p : popups)
        p.age();
}

void GameField::microbeLoop(GameContext& ctx)
{
    burstingCount = 0;
    for (std::size_t i = 0; i < pool.size(); ++i) {
        Microbe& m = pool.at(i);
        if (!m.body)
            continue;
        fieldparts::microbeEffects(particles, m);
        if (m.hitBy != NotHit)
            scoreHit(ctx, m);
        if (fieldparts::advanceMicrobe(pool, i).bursting)
            ++burstingCount;
    }
}

void GameField::scoreHit(GameContext& ctx, Microbe& m)
{
    const int hitBy = m.hitBy;
    const bool raisesCombo = !rules.hitRaisesCombo || rules.hitRaisesCombo(m);
    fieldparts::scoreHit(ctx, m, raisesCombo, {particles, popups, comboCount, viewShake, catcher});
    if (rules.onHit)
        rules.onHit(ctx, m, hitBy);
}

bool GameField::clearedAndQuiet(const GameContext& ctx) const
{
    const bool quiet = burstingCount == 0 || (ctx.difficulty == Hard && burstingCount == 1);
    return quiet && ctx.remainingFraction <= clearThreshold(ctx.difficulty);
}

void GameField::roundEnd(GameContext& ctx)
{
    if (rules.roundEnd) {
        rules.roundEnd(ctx);
        return;
    }
    const float threshold = clearThreshold(ctx.difficulty);
    const bool quiet = burstingCount == 0 || (ctx.difficulty == Hard && burstingCount == 1);
    if (ctx.remainingFraction <= threshold) {
        for (Bubble& b : bubbles) {
            if (b.finished)
                continue;
            ctx.audio.play(AudioPlayer::Effect::Death);
            lastBubbleX = b.body->GetPosition().x;
            lastBubbleY = b.body->GetPosition().y;
            b.finished = true;
            b.trailOn = false;
            if (bubbleInPlay) {
                spiralOn = true;
                effects::burst(particles, lastBubbleX * 30.f, lastBubbleY * 30.f, sf::Color(248, 207, 103, 255));
            }
        }
        throwBlocked = true;
        celebrate(ctx);
        if (quiet)
            roundWon = true;
    } else if (throwBlocked) {
        celebrate(ctx);
    }
    if (!roundWon)
        return;
    if (celebrationCountdown == 180) {
        ctx.audio.play(AudioPlayer::Effect::Win);
        if (rules.fadeOutOnWin)
            ctx.audio.beginFadeOut();
    }
    --celebrationCountdown;
    if (celebrationCountdown == 0)
        finishRound(ctx);
}

void GameField::celebrate(GameContext&)
{
    if (spiralAngle >= 210.f || !spiralOn)
        return;
    spiralAngle += 5.f;
    const float radius = spiralAngle + 1.f;
    const float cx = lastBubbleX * 30.f;
    const float cy = lastBubbleY * 30.f;
    for (float degrees : {spiralAngle + static_cast<float>(hue), 180.f + spiralAngle + static_cast<float>(hue)}) {
        const float a = degrees * 3.14159265f / 180.f;
        effects::celebrationSparks(particles, cx + radius * std::cos(a), cy + radius * std::sin(a), a);
    }
}

void GameField::finishRound(GameContext& ctx)
{
    scoreAtRoundOver = ctx.score;
    ++roundsOver;
    if (rules.beforeRoundOver)
        rules.beforeRoundOver(ctx);
    say("Level over\n");
    resetPending = true;
    ctx.levelSeed += 1;
    hue = std::rand() % 360;
    spiralOn = false;
    destroyBubbles();
    comboCount = 0;
    for (Microbe& m : pool.microbes) {
        m.dead = true;
        m.bursting = false;
    }
    ctx.requestedPage = PageRoundOver;
    if (rules.menuTuneOnRoundOver)
        ctx.audio.playMenuTune();
    if (rules.onRoundOver)
        rules.onRoundOver(ctx);
}

void GameField::destroyBubbles()
{
    fieldparts::destroyBubbles(*world, bubbles);
    bubbleInPlay = false;
}

void GameField::upkeepHud(GameContext& ctx)
{
    const float threshold = clearThreshold(ctx.difficulty);
    auto slide = [](float& offset) { offset *= offset < -90.f ? 0.9302325f : 0.97087383f; };
    if (threshold < ctx.remainingFraction)
        clearedBannerOffset = -1024.f;
    else
        slide(clearedBannerOffset);
    if (comboCount < 2 && bannerHold < 1)
        comboBannerOffset = -1024.f;
    else
        slide(comboBannerOffset);

    fieldView.reset(sf::FloatRect(0.f, 0.f, 1024.f, 768.f));
    fieldView.move(0.f, scrollDrawn);
    if (viewShake > 0) {
        const float k = static_cast<float>(viewShake);
        const float a = static_cast<float>(std::rand() % 100 + 1);
        const float b = static_cast<float>(std::rand() % 100 + 1);
        fieldView.move((a * 0.01f - 0.5f) * k, (b * 0.01f - 0.5f) * k);
        --viewShake;
    }
    fieldView.setViewport(ctx.viewport);
    if (stepCount % 5 == 0)
        ctx.aimPulse = ctx.aimPulse >= 19 ? 0 : ctx.aimPulse + 1;
}

void GameField::Reset(GameContext& ctx)
{
    say("Reset!\n");
    ctx.restartRequested = false;
    stepCount = 0;
    viewShake = 0;
    comboCount = 0;
    roundWon = false;
    throwBlocked = false;
    scrollDrawn = scrollPrevious = scrollCurrent = 0.f;
    celebrationCountdown = 180;
    if (!rules.resetKeepsComboBanner) {
        comboBannerOffset = -1024.f;
        bannerHold = 0;
    }
    spiralAngle = 0.f;
    spiralOn = false;
    zoomFactor = 1.f;
    displayFactor = 0.f;
    hue = std::rand() % 360;
    pool.clear();
    if (!rules.resetKeepsCatcher) {
        catcher.timer = 0;
        catcher.armed = true;
    }
    particles.clear();
    popups.clear();
    destroyBubbles();
    throwRequested = false;
    buttonHeld = false;
    secondInPlay = false;
    resetPending = false;
    if (!rules.resetKeepsThrowCount)
        ctx.throwCount = 0;
    buildWorld(paddlePose());
    populate(ctx);
}

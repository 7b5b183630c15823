#include "net/NetWarField.h"

#include <chrono>
#include <thread>

#include <box2d/box2d.h>

#include "app/GameContext.h"
#include "net/NetSession.h"
#include "world/Bursts.h"

namespace {

// A hit the server announced; it scores like a bubble's but adds no combo.
constexpr std::int32_t HitByServer = 5;

}  // namespace

NetWarField::NetWarField(GameContext& ctx) : WarField(ctx)
{
    fastSpeed = 45.f;
    joystickTurnRate = 0.001f;
    waitInLobby();
    markOwnership(!ctx.net.isHost);
}

void NetWarField::Reset(GameContext& ctx)
{
    WarField::Reset(ctx);
    netStep = 0;
    lostHostSteps = -1;
    sessionSeen = ctx.net.closings;
    // Bursts still waiting belong to the round that just ended.
    ctx.net.pendingBursts.clear();
    waitInLobby();
    // The same 32 microbes in the same order on every machine, so an index
    // names the same microbe everywhere.
    markOwnership(!ctx.net.isHost);
}

void NetWarField::waitInLobby()
{
    // No banner and no launch until the server starts the game.
    countdownTicks = -1;
    countdownStage = -1;
}

void NetWarField::markOwnership(bool ownedByOther)
{
    for (Microbe& m : pool.microbes)
        m.ownedByOther = ownedByOther;
}

void NetWarField::networkPhase(GameContext& ctx)
{
    NetSession& net = ctx.net;
    net.context = &ctx;
    ++netStep;
    if (netStep == 1) {
        // The menu may have switched between Host and Connect since the last visit.
        if (net.roleChanged()) {
            net.close();
            sessionSeen = net.closings;
        }
        if (!net.active) {
            if (net.isHost)
                net.openLobby();
            else
                net.joinLobby();
        }
        if (net.token >= 0 && net.token < 4)
            ctx.netSeats[static_cast<std::size_t>(net.token)].device = net.localDevice;
        markOwnership(!net.isHost);
        return;
    }
    watchHost(net);
    if (netStep < playStep) {
        net.pump();
        // A burst that comes in the lobby is late news of a finished round.
        net.pendingBursts.clear();
        if (net.isHost) {
            // Every joined guest readied, then the host: the seats nobody
            // took are the computer's.
            if (!net.started && net.everyoneReady()) {
                net.sendStart();
                netStep = playStep;
            } else {
                netStep = lobbyStep;
            }
        } else {
            netStep = net.started ? playStep : lobbyStep;
        }
        if (netStep == playStep) {
            countdownTicks = 60;
            countdownStage = 2;
        }
        return;
    }
    if (net.started)
        pumpWhilePlaying(ctx);
}

void NetWarField::pumpWhilePlaying(GameContext& ctx)
{
    NetSession& net = ctx.net;
    bool paused = false;
    net.pump([this, &net, &paused] {
        if (net.isHost || !bubbleInPlay)
            return;
        if (net.hostStep >= netStep) {
            correctBubble(net);
        } else if (!paused) {
            // Ahead of the server: let it catch up, once a step at most, so
            // that no host can hold this game's frames for longer.
            std::this_thread::sleep_for(catchUpPause);
            paused = true;
        }
    });
}

void NetWarField::correctBubble(const NetSession& net)
{
    if (bubbles.empty() || !bubbles.front().body)
        return;
    b2Body* body = bubbles.front().body;
    const b2Vec2 p = body->GetPosition();
    const float dx = net.hostBubbleX - 30.f * p.x;
    const float dy = net.hostBubbleY - 30.f * p.y;
    const float d2 = dx * dx + dy * dy;
    if (d2 > net.snapDistanceSquared) {
        body->SetTransform(b2Vec2(net.hostBubbleX / 30.f, net.hostBubbleY / 30.f), body->GetAngle());
    } else if (d2 > 16.f) {
        body->SetTransform(b2Vec2((30.f * p.x + 0.1f * dx) / 30.f, (30.f * p.y + 0.1f * dy) / 30.f),
                           body->GetAngle());
    } else {
        return;
    }
    body->SetLinearVelocity(b2Vec2(net.hostBubbleVX, net.hostBubbleVY));
    body->SetAwake(true);
}

float NetWarField::launchRadians(GameContext& ctx)
{
    return ctx.net.launchAngle;
}

bool NetWarField::takeHit(GameContext& ctx, std::size_t index, Microbe& m)
{
    NetSession& net = ctx.net;
    if (net.isHost) {
        net.sendBurst(static_cast<std::uint32_t>(index), netStep);
        return true;
    }
    if (!m.ownedByOther)
        return true;
    // The server decides: freeze it where it was touched and wait.
    m.body->SetLinearDamping(10000.f);
    m.body->SetLinearVelocity(b2Vec2(0.f, 0.f));
    return false;
}

void NetWarField::beforeCounting(GameContext& ctx)
{
    NetSession& net = ctx.net;
    if (!net.started) {
        net.pendingBursts.clear();
        return;
    }
    while (!net.pendingBursts.empty()) {
        const std::int32_t index = net.pendingBursts.front();
        net.pendingBursts.pop_front();
        if (index < 0 || static_cast<std::size_t>(index) >= pool.size())
            continue;
        Microbe& m = pool.at(static_cast<std::size_t>(index));
        if (!m.body)
            continue;
        m.ownedByOther = false;
        if (!bubbles.empty())
            bubbles.front().hitColor = m.color;
        hitMicrobe(m, 1);
        m.hitBy = HitByServer;
        comboCount = 1;
    }
}

void NetWarField::afterStep(GameContext& ctx)
{
    NetSession& net = ctx.net;
    net.sendCounter += net.sendIncrement;
    if (net.sendCounter < net.sendThreshold || !net.started)
        return;
    if (!net.isHost) {
        if (net.token >= 0 && net.token < seatCount && !warBodies[static_cast<std::size_t>(net.token)].out) {
            const Seat& seat = ctx.netSeats[static_cast<std::size_t>(net.token)];
            net.sendAim(seat.aimX, seat.aimY);
        }
        return;
    }
    if (bubbleInPlay && !bubbles.empty() && bubbles.front().body) {
        const b2Body* body = bubbles.front().body;
        const b2Vec2 p = body->GetPosition();
        const b2Vec2 v = body->GetLinearVelocity();
        net.sendGameState(30.f * p.x, 30.f * p.y, v.x, v.y, netStep);
    }
}

void NetWarField::roundFinished(GameContext& ctx)
{
    ++ctx.levelSeed;
    waitInLobby();
    ctx.net.started = false;
    ctx.net.pendingBursts.clear();
    for (Seat& seat : ctx.netSeats)
        seat.ready = false;
    ctx.net.roundEnded();
}

std::array<Seat, 4>& NetWarField::seatsOf(GameContext& ctx)
{
    return ctx.netSeats;
}

void NetWarField::watchHost(const NetSession& net)
{
    if (!net.hostLost())
        return;
    // The game goes on for a moment, with the line on show, then leaves.
    if (lostHostSteps < 0)
        lostHostSteps = lostHostWait;
    else if (lostHostSteps > 0)
        --lostHostSteps;
}

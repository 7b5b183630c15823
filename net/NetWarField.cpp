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
        if (net.roleChanged())
            net.close();
        if (!net.active) {
            if (net.isHost)
                net.openLobby();
            else
                net.joinLobby();
        }
        if (net.token >= 0 && net.token < 4)
            ctx.seats[static_cast<std::size_t>(net.token)].device = net.localDevice;
        markOwnership(!net.isHost);
        return;
    }
    if (netStep < playStep) {
        net.pump();
        if (net.isHost) {
            if (net.lastJoinSeat == 3 && !net.started && net.everyoneReady()) {
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
    net.pump([this, &net] {
        if (net.isHost || !bubbleInPlay)
            return;
        if (net.hostStep >= netStep) {
            correctBubble(net);
        } else {
            // Ahead of the server: let it catch up before the next event.
            std::this_thread::sleep_for(std::chrono::milliseconds(70));
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
            const Seat& seat = ctx.seats[static_cast<std::size_t>(net.token)];
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
    for (Seat& seat : ctx.seats)
        seat.ready = false;
}

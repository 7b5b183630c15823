// Four networked war arenas in one process, joined over real ENet sockets on
// loopback: they start together, fly the same bubble and burst the same
// microbes, the server deciding.
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>

#include <box2d/box2d.h>
#include <gtest/gtest.h>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "net/NetWarField.h"
#include "world/Random.h"

namespace {

using namespace std::chrono_literals;

struct Machine {
    std::unique_ptr<GameContext> ctx = std::make_unique<GameContext>();
    std::unique_ptr<NetWarField> arena;
};

class NetWar : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetPending = false;
        const std::array<const char*, 4> names{"Ana", "Bo", "Cy", "Di"};
        for (std::size_t i = 0; i < machines.size(); ++i) {
            machines[i].ctx->settings.playerName = names[i];
            machines[i].ctx->settings.hostAddress = "127.0.0.1";
            machines[i].ctx->net.isHost = i == 0;
        }
        testing::internal::CaptureStdout();
        for (Machine& m : machines)
            m.arena = std::make_unique<NetWarField>(*m.ctx);
        // The first step of each arena opens or joins the lobby; a joining
        // client waits for the server, which runs on its own thread meanwhile.
        server().arena->Logic(*server().ctx, step);
        const std::string serverOutput = testing::internal::GetCapturedStdout();
        ASSERT_TRUE(server().ctx->net.active) << "the server could not take port 30035\n" << serverOutput;
        for (std::size_t i = 1; i < machines.size(); ++i) {
            std::atomic<bool> done{false};
            std::thread serverSide([&] {
                while (!done) {
                    server().ctx->net.pump();
                    std::this_thread::sleep_for(1ms);
                }
            });
            machines[i].arena->Logic(*machines[i].ctx, step);
            done = true;
            serverSide.join();
        }
    }

    Machine& server() { return machines[0]; }

    // One fixed step on every machine, the server first, as the screens run it.
    void stepAll()
    {
        for (Machine& m : machines) {
            m.arena->Update(*m.ctx, m.arena->timeStep);
            m.arena->holdBanner();
        }
    }

    bool burstOrGone(const Machine& m, std::size_t i) const
    {
        const Microbe& microbe = m.arena->pool.at(i);
        return microbe.bursting || microbe.dead;
    }

    static constexpr float step = 1.f / 60.f;
    std::array<Machine, 4> machines;
};

TEST_F(NetWar, EveryMachineStartsFliesAndBurstsAsTheServerSays)
{
    // Every player holds the paddle along its side wall, leaving the way to
    // its microbes open.
    for (std::size_t i = 0; i < machines.size(); ++i) {
        machines[i].arena->pointerX = i % 2 == 0 ? 15 : 1009;
        machines[i].arena->pointerY = 384;
    }
    for (int i = 0; i < 30; ++i)
        stepAll();
    for (std::size_t i = 1; i < machines.size(); ++i) {
        ASSERT_TRUE(machines[i].ctx->net.active) << "client " << i << " should have joined";
        EXPECT_TRUE(machines[i].arena->pool.at(0).ownedByOther) << "a client's microbes wait for the server";
        machines[i].ctx->net.toggleReady();
    }
    for (int i = 0; i < 30; ++i)
        stepAll();
    EXPECT_FALSE(server().ctx->net.started) << "not before the server readies";
    // A fixed draw makes the launch direction, and so the whole flight, the same every run.
    gameRandom().seed32(7);
    server().ctx->net.toggleReady();
    stepAll();
    for (const Machine& m : machines) {
        EXPECT_TRUE(m.ctx->net.started);
        EXPECT_EQ(m.arena->netStep, NetWarField::playStep);
        EXPECT_EQ(m.arena->countdownStage, 2) << "Ready, Set, GO! everywhere";
    }

    // The countdown runs alike everywhere and the bubble leaves in the
    // server's direction.
    int steps = 0;
    while (!server().arena->bubbleInPlay && steps++ < 600)
        stepAll();
    ASSERT_TRUE(server().arena->bubbleInPlay);
    for (const Machine& m : machines)
        ASSERT_TRUE(m.arena->bubbleInPlay);

    // Play until the server has burst a few microbes, checking that the
    // clients' bubbles follow the server's.
    float worstGap = 0.f;
    int played = 0;
    auto serverBursts = [&] {
        int n = 0;
        for (std::size_t i = 0; i < server().arena->pool.size(); ++i)
            n += burstOrGone(server(), i) ? 1 : 0;
        return n;
    };
    while (serverBursts() < 3 && played++ < 3600 && server().arena->bubbleInPlay) {
        stepAll();
        const b2Vec2 s = server().arena->bubbles.front().body->GetPosition();
        for (std::size_t i = 1; i < machines.size(); ++i) {
            const b2Vec2 c = machines[i].arena->bubbles.front().body->GetPosition();
            worstGap = std::max(worstGap, 30.f * (s - c).Length());
        }
    }
    ASSERT_GE(serverBursts(), 3) << "the bubble should have burst microbes within a minute of play";
    EXPECT_LT(worstGap, 48.f) << "the clients' bubbles stay close to the server's";

    // Messages settle within a few steps: the same microbes have burst on
    // every machine and nothing burst that the server did not burst.
    for (int i = 0; i < 10; ++i)
        stepAll();
    for (std::size_t i = 1; i < machines.size(); ++i)
        for (std::size_t k = 0; k < server().arena->pool.size(); ++k)
            EXPECT_EQ(burstOrGone(machines[i], k), burstOrGone(server(), k))
                << "microbe " << k << " on client " << i;
}

}  // namespace

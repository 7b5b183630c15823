// The networked war game over real ENet sockets on the loopback interface:
// joining, names, chat, ready toggles and the start; a foreign version; a
// server that is not there; and hostile packets that must change nothing.
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <SFML/Network/Packet.hpp>
#include <SFML/System/String.hpp>
#include <gtest/gtest.h>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "net/NetSession.h"
#include "net/NetWarField.h"
#include "world/Random.h"

namespace {

using namespace std::chrono_literals;

bool contains(const std::deque<std::string>& lines, const std::string& line)
{
    for (const std::string& l : lines)
        if (l == line)
            return true;
    return false;
}

class NetLobby : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetPending = false;
        server.settings.playerName = "Ana";
        server.net.isHost = true;
        server.net.openLobby();
        ASSERT_TRUE(server.net.active) << "the server could not take port 30035";
        const std::array<const char*, 3> names{"Bo", "Cy", "Di"};
        for (std::size_t i = 0; i < clients.size(); ++i) {
            clients[i] = std::make_unique<GameContext>();
            clients[i]->settings.playerName = names[i];
            clients[i]->settings.hostAddress = "127.0.0.1";
        }
    }

    // A client's connect blocks until the server answers, so the server is
    // pumped on a second thread meanwhile (the game runs them on two machines).
    void join(GameContext& client)
    {
        std::atomic<bool> done{false};
        std::thread serverSide([&] {
            while (!done) {
                server.net.pump();
                std::this_thread::sleep_for(1ms);
            }
        });
        client.net.joinLobby();
        done = true;
        serverSide.join();
        pumpUntil([&] { return client.net.active; });
    }

    void joinAll()
    {
        for (auto& c : clients)
            join(*c);
    }

    void pumpAll()
    {
        server.net.pump();
        for (auto& c : clients)
            c->net.pump();
    }

    // Pumps every endpoint until the condition holds or two seconds pass.
    bool pumpUntil(const std::function<bool()>& condition)
    {
        for (int i = 0; i < 400; ++i) {
            pumpAll();
            if (condition())
                return true;
            std::this_thread::sleep_for(5ms);
        }
        return condition();
    }

    GameContext server;
    std::array<std::unique_ptr<GameContext>, 3> clients;
};

TEST_F(NetLobby, FourPlayersTakeTheirSeatsLearnEveryNameChatAndStartTogether)
{
    joinAll();
    for (std::size_t i = 0; i < clients.size(); ++i) {
        const GameContext& c = *clients[i];
        EXPECT_EQ(c.net.token, static_cast<int>(i) + 1);
        EXPECT_EQ(c.netSeats[i + 1].device, c.net.localDevice) << "a client steers its own seat";
        EXPECT_TRUE(contains(c.net.diagnosticLog, "Mytoken: " + std::to_string(i + 1) + "\n"));
        EXPECT_EQ(server.netSeats[i + 1].device, NetSession::remoteDevice);
        EXPECT_TRUE(server.netSeats[i + 1].joined);
    }
    EXPECT_EQ(server.net.lastJoinSeat, 3);
    EXPECT_TRUE(contains(server.net.diagnosticLog, "Cy connected. [2] demo1\n"));
    EXPECT_TRUE(contains(server.net.chatLines, "*** Di has joined."));
    // Every join sends all names again, so the first client learns the later ones.
    ASSERT_TRUE(pumpUntil([&] { return clients[0]->net.playerNames.size() == 4; }));
    EXPECT_EQ(clients[0]->net.playerNames, (std::deque<std::string>{"Ana", "Bo", "Cy", "Di"}));
    EXPECT_EQ(clients[0]->netSeats[0].device, NetSession::remoteDevice);
    EXPECT_EQ(clients[0]->netSeats[3].device, NetSession::remoteDevice);
    EXPECT_TRUE(contains(clients[0]->net.chatLines, "*** Di has joined."));
    EXPECT_EQ(clients[0]->net.chatLines.size(), NetSession::chatLineCount);

    // A client's chat line comes back to everyone through the server.
    clients[1]->net.sendChat("hello there");
    ASSERT_TRUE(pumpUntil([&] { return contains(clients[1]->net.chatLines, "Cy: hello there"); }));
    EXPECT_TRUE(contains(server.net.chatLines, "Cy: hello there"));
    server.net.sendChat("");
    ASSERT_TRUE(pumpUntil([&] { return contains(clients[2]->net.chatLines, "Ana: "); }));

    // Ready toggles: twice is not ready; the server readies last.
    clients[0]->net.toggleReady();
    ASSERT_TRUE(pumpUntil([&] { return contains(clients[2]->net.chatLines, "*** Bo is ready."); }));
    clients[0]->net.toggleReady();
    ASSERT_TRUE(pumpUntil([&] { return contains(server.net.chatLines, "*** Bo is NOT ready."); }));
    server.net.toggleReady();
    EXPECT_FALSE(server.netSeats[0].ready) << "the server cannot ready before the others";
    for (auto& c : clients)
        c->net.toggleReady();
    const std::string everyone = "*** Everyone is ready, push space to start the game.";
    ASSERT_TRUE(pumpUntil([&] { return contains(server.net.chatLines, everyone); }));
    EXPECT_FALSE(server.net.everyoneReady());
    server.net.toggleReady();
    EXPECT_TRUE(server.net.everyoneReady());
    pumpUntil([] { return false; });
    for (auto& c : clients)
        EXPECT_FALSE(contains(c->net.chatLines, everyone)) << "only the server is told";

    server.net.sendStart();
    ASSERT_TRUE(pumpUntil([&] {
        for (auto& c : clients)
            if (!c->net.started)
                return false;
        return true;
    }));
    for (auto& c : clients) {
        EXPECT_EQ(c->net.launchAngle, server.net.launchAngle);
        EXPECT_EQ(c->net.diagnosticLog.back().find("] got start packet\n") != std::string::npos, true);
    }
    const double k = (server.net.launchAngle / 0.017453292 - 7.0) / 45.0;
    EXPECT_NEAR(k, std::round(k), 1e-3);
}

TEST_F(NetLobby, AClientSpeaksOnlyForItsOwnSeat)
{
    joinAll();
    GameContext& bo = *clients[0];  // seat 1
    bo.net.token = 2;               // pretends to be Cy
    bo.net.sendAim(77, 88);
    bo.net.sendChat("I am Cy");
    bo.net.token = 0;  // and the host
    bo.net.toggleReady();
    bo.net.token = 1;  // then itself again
    bo.net.sendAim(11, 22);
    ASSERT_TRUE(pumpUntil([&] { return server.netSeats[1].aimX == 11; }));
    pumpUntil([] { return false; });
    EXPECT_NE(server.netSeats[2].aimX, 77);
    EXPECT_FALSE(contains(server.net.chatLines, "Cy: I am Cy"));
    EXPECT_FALSE(server.netSeats[0].ready);
    EXPECT_EQ(server.netSeats[1].aimY, 22);
}

TEST_F(NetLobby, TheHostAloneNeverStarts)
{
    resetPending = false;
    NetWarField arena(server);
    arena.netStep = 1;
    server.net.toggleReady();
    for (int i = 0; i < 60; ++i)
        arena.Logic(server, 1.f / 60.f);
    EXPECT_EQ(arena.netStep, NetWarField::lobbyStep);
    EXPECT_FALSE(server.net.started) << "a round needs at least one guest";
    EXPECT_FALSE(arena.bubbleInPlay);
}

TEST_F(NetLobby, AnotherVersionIsTurnedAway)
{
    clients[0]->localVersion = "demo2";
    std::atomic<bool> done{false};
    std::thread serverSide([&] {
        while (!done) {
            server.net.pump();
            std::this_thread::sleep_for(1ms);
        }
    });
    clients[0]->net.joinLobby();
    done = true;
    serverSide.join();
    pumpUntil([&] { return contains(server.net.diagnosticLog, "Bo Version mismatch.\n"); });
    EXPECT_TRUE(contains(server.net.diagnosticLog, "Bo Version mismatch.\n"));
    EXPECT_FALSE(clients[0]->net.active);
    EXPECT_FALSE(server.netSeats[1].joined);
    EXPECT_EQ(server.net.playerNames[1], "CPU") << "the seat stays the computer's";
}

TEST(NetClient, WithoutAServerStaysAloneInTheLobby)
{
    GameContext client;
    client.settings.playerName = "Eve";
    client.settings.hostAddress = "127.0.0.1";
    NetWarField arena(client);
    for (int i = 0; i < 10; ++i)
        arena.Logic(client, 1.f / 60.f);
    EXPECT_FALSE(client.net.active);
    EXPECT_TRUE(client.net.playerNames.empty()) << "nobody welcomed it";
    EXPECT_EQ(arena.netStep, NetWarField::lobbyStep);
    EXPECT_EQ(arena.countdownTicks, -1) << "no countdown in the lobby";
    EXPECT_TRUE(contains(client.net.diagnosticLog, "NET :: client, connecting to host.."));
    // A second visit keeps the same host instead of making another.
    ENetHost* host = client.net.host;
    arena.Reset(client);
    arena.Logic(client, 1.f / 60.f);
    EXPECT_EQ(client.net.host, host);
}

// Packets that are short, lie about their lengths, name seats that do not
// exist or carry numbers that are not numbers: none may crash the game or
// change what it holds.
TEST(NetMessages, HostilePacketsChangeNothing)
{
    auto packet = [](const std::function<void(sf::Packet&)>& fill) {
        sf::Packet p;
        fill(p);
        return std::string(static_cast<const char*>(p.getData()), p.getDataSize());
    };
    const float nan = std::nanf("");
    struct Hostile {
        Hostile(std::string b, bool s = false) : bytes(std::move(b)), serverOnly(s) {}
        std::string bytes;
        bool serverOnly;  // a well-formed welcome for a client
    };
    const std::vector<Hostile> hostile = {
        std::string(),
        std::string("\x00\x00", 2),
        packet([](sf::Packet& p) { p << std::int32_t{1} << std::int32_t{-1} << 5 << 5; }),
        packet([](sf::Packet& p) { p << std::int32_t{1} << std::int32_t{4} << 5 << 5; }),
        packet([](sf::Packet& p) { p << std::int32_t{1} << std::int32_t{2}; }),
        packet([](sf::Packet& p) { p << std::int32_t{30} << std::int32_t{-7}; }),
        packet([](sf::Packet& p) { p << std::int32_t{30} << std::int32_t{2}; }),  // nobody sits there
        packet([](sf::Packet& p) { p << std::int32_t{20} << std::int32_t{9} << std::string("x"); }),
        packet([](sf::Packet& p) { p << std::int32_t{20} << std::int32_t{0} << std::uint32_t{0xffffffffu}; }),
        packet([](sf::Packet& p) { p << std::int32_t{0} << std::uint32_t{4000000000u} << std::string("x"); }),
        {packet([](sf::Packet& p) { p << std::int32_t{0} << std::string("Mal") << std::uint32_t{0x40000000u}; }),
         true},
        packet([](sf::Packet& p) { p << std::int32_t{0} << std::int32_t{-3}; }),
        packet([](sf::Packet& p) { p << std::int32_t{2} << std::int32_t{-1} << std::string("Mal"); }),
        packet([&](sf::Packet& p) {
            p << std::int32_t{3};
            for (int i = 0; i < 8; ++i)
                p << std::int32_t{666};
            p << nan << 1.f << 1.f << 1.f << std::int32_t{9};
        }),
        packet([](sf::Packet& p) { p << std::int32_t{3} << std::int32_t{666}; }),
        packet([&](sf::Packet& p) { p << std::int32_t{4} << nan; }),
        packet([](sf::Packet& p) { p << std::int32_t{4}; }),
        packet([](sf::Packet& p) { p << std::int32_t{5} << std::uint32_t{7}; }),
        packet([](sf::Packet& p) { p << std::int32_t{21} << std::int32_t{3} << std::string("who?"); }),
        packet([](sf::Packet& p) { p << std::int32_t{99} << std::int32_t{1}; }),
    };
    for (const bool host : {true, false}) {
        GameContext ctx;
        ctx.settings.playerName = "Ana";
        ctx.net.isHost = host;
        ctx.net.playerNames = {"Ana", "Bo"};
        const auto seats = ctx.netSeats;
        for (const auto& [bytes, serverOnly] : hostile) {
            if (serverOnly && !host)
                continue;
            SCOPED_TRACE(testing::Message() << (host ? "server" : "client") << " packet of " << bytes.size()
                                            << " bytes");
            ctx.net.handleData(bytes.data(), bytes.size(), nullptr);
            for (std::size_t s = 0; s < 4; ++s) {
                EXPECT_EQ(ctx.netSeats[s].aimX, seats[s].aimX);
                EXPECT_EQ(ctx.netSeats[s].ready, seats[s].ready);
                EXPECT_EQ(ctx.netSeats[s].device, seats[s].device);
            }
            EXPECT_EQ(ctx.net.playerNames.size(), 2u);
            EXPECT_FALSE(ctx.net.started);
            EXPECT_FALSE(ctx.net.active);
            EXPECT_EQ(ctx.net.token, 0);
            EXPECT_EQ(ctx.net.chatLines, std::deque<std::string>(NetSession::chatLineCount));
            EXPECT_TRUE(ctx.net.pendingBursts.empty());
        }
    }
}

}  // namespace

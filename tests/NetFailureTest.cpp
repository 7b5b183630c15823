// The networked war game when the network or the people on it misbehave,
// over real ENet sockets on loopback: players who vanish (a guest or the host
// killed outright in another process), a connect to nobody, guests who join
// twice or too many, late bursts, floods, forged lines and wild aim points.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include <SFML/Network/Packet.hpp>
#include <SFML/System/String.hpp>
#include <gtest/gtest.h>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "net/NetSession.h"
#include "net/NetWarField.h"
#include "world/Bursts.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool contains(const std::deque<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool anyLineHas(const std::deque<std::string>& lines, const std::string& part)
{
    for (const std::string& l : lines)
        if (l.find(part) != std::string::npos)
            return true;
    return false;
}

ENetPacket* packetOf(const sf::Packet& p)
{
    return enet_packet_create(p.getData(), p.getDataSize(), ENET_PACKET_FLAG_RELIABLE);
}

sf::Packet joinMessage(const std::string& name)
{
    sf::Packet join;
    join << std::int32_t{0} << name << sf::String("demo1");
    return join;
}

// A guest of another process: raw ENet, no game. It joins, readies and then
// keeps answering until it is killed. Never returns.
[[noreturn]] void rawGuestProcess()
{
    enet_initialize();
    ENetHost* host = enet_host_create(nullptr, 1, 2, 0, 0);
    ENetAddress address{};
    enet_address_set_host(&address, "127.0.0.1");
    address.port = NetSession::port;
    ENetPeer* peer = enet_host_connect(host, &address, 2, 0);
    ENetEvent event;
    for (;;) {
        while (enet_host_service(host, &event, 5) > 0) {
            if (event.type == ENET_EVENT_TYPE_CONNECT)
                enet_peer_send(peer, 0, packetOf(joinMessage("Mal")));
            if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                sf::Packet in;
                in.append(event.packet->data, event.packet->dataLength);
                std::int32_t type = -1;
                std::int32_t seat = -1;
                if (in >> type >> seat && type == 0) {
                    sf::Packet ready;
                    ready << std::int32_t{30} << seat;
                    enet_peer_send(peer, 0, packetOf(ready));
                }
                enet_packet_destroy(event.packet);
            }
            if (event.type == ENET_EVENT_TYPE_DISCONNECT)
                _exit(3);
        }
    }
}

// A host of another process: raw ENet, welcomes one guest to seat 1 and
// keeps answering until it is killed. Never returns.
[[noreturn]] void rawHostProcess()
{
    enet_initialize();
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = NetSession::port;
    ENetHost* host = enet_host_create(&address, 4, 2, 0, 0);
    if (!host)
        _exit(2);
    ENetEvent event;
    for (;;) {
        while (enet_host_service(host, &event, 5) > 0) {
            if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                sf::Packet welcome;
                welcome << std::int32_t{0} << std::int32_t{1};
                enet_peer_send(event.peer, 0, packetOf(welcome));
                enet_packet_destroy(event.packet);
            }
        }
    }
}

// The bubble touches every microbe of the seats on the server, as a hit in
// play does: the server bursts them and tells its clients. (Computer seats
// defend so well that a round left to itself runs for many minutes.)
void touchSeats(NetWarField& server, std::initializer_list<int> seats)
{
    for (std::size_t i = 0; i < server.pool.size(); ++i) {
        Microbe& m = server.pool.at(i);
        for (const int seat : seats)
            if (m.type == 100 + seat && !m.dead && !m.bursting) {
                hitMicrobe(m, m.hitPoints);
                m.hitBy = HitByBubble;
            }
    }
}

class ChildProcess {
public:
    explicit ChildProcess(void (*body)())
    {
        std::fflush(stdout);
        m_pid = ::fork();
        if (m_pid == 0)
            body();
    }
    ~ChildProcess() { killNow(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void killNow()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
};

// One machine of the game: a context and its networked arena.
struct Machine {
    explicit Machine(const std::string& name, bool host)
    {
        ctx->settings.playerName = name;
        ctx->settings.hostAddress = "127.0.0.1";
        ctx->net.isHost = host;
        ctx->net.context = ctx.get();
        arena = std::make_unique<NetWarField>(*ctx);
    }
    // One fixed step, as the screen runs it.
    void step()
    {
        arena->Update(*ctx, arena->timeStep);
        arena->holdBanner();
    }
    std::unique_ptr<GameContext> ctx = std::make_unique<GameContext>();
    std::unique_ptr<NetWarField> arena;
};

class NetFailure : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetPending = false;
        testing::internal::CaptureStdout();
    }
    void TearDown() override
    {
        printed += testing::internal::GetCapturedStdout();
        if (HasFailure())
            std::fputs(printed.c_str(), stderr);
    }

    // Everything the session printed so far (the capture starts again).
    const std::string& output()
    {
        printed += testing::internal::GetCapturedStdout();
        testing::internal::CaptureStdout();
        return printed;
    }

    // Steps every machine in real time (60 a second) until the condition
    // holds or the time is up.
    bool stepUntil(std::initializer_list<Machine*> machines, const std::function<bool()>& condition,
                   std::chrono::milliseconds limit, bool realTime = true)
    {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            for (Machine* m : machines)
                m->step();
            if (condition())
                return true;
            if (realTime)
                std::this_thread::sleep_for(16ms);
        }
        return condition();
    }

    // A server lobby whose first step has run.
    std::unique_ptr<Machine> openServer(const std::string& name = "Ana")
    {
        auto server = std::make_unique<Machine>(name, true);
        server->step();
        EXPECT_TRUE(server->ctx->net.active) << "the server could not take port 30035";
        return server;
    }

    // A client that has joined the server's lobby.
    std::unique_ptr<Machine> joined(Machine& server, const std::string& name)
    {
        auto client = std::make_unique<Machine>(name, false);
        EXPECT_TRUE(stepUntil({&server, client.get()}, [&] { return client->ctx->net.active; }, 3s, false));
        return client;
    }

    std::string printed;
};

TEST_F(NetFailure, AGuestKilledMidRoundIsPlayedByTheComputerAndTheRoundEnds)
{
    auto server = openServer();
    NetWarField& arena = *server->arena;
    // The host's own paddle rests by the wall, so the round comes to an end.
    arena.pointerX = 15;
    arena.pointerY = 384;
    ChildProcess guest(rawGuestProcess);
    ASSERT_TRUE(stepUntil({server.get()}, [&] { return server->ctx->netSeats[1].ready; }, 5s));
    EXPECT_EQ(server->ctx->netSeats[1].device, NetSession::remoteDevice);
    server->ctx->net.toggleReady();
    ASSERT_TRUE(stepUntil({server.get()}, [&] { return arena.bubbleInPlay; }, 10s, false));
    EXPECT_EQ(server->ctx->netSeats[2].device, NetSession::computerDevice) << "empty seats play as the computer";
    EXPECT_NE(output().find("NET :: computer plays seat 3\n"), std::string::npos);

    guest.killNow();
    const auto killed = Clock::now();
    ASSERT_TRUE(stepUntil({server.get()}, [&] { return !server->ctx->netSeats[1].joined; }, 8s));
    const double noticed = std::chrono::duration<double>(Clock::now() - killed).count();
    EXPECT_LT(noticed, 6.0) << "a silent guest is noticed within five seconds";
    EXPECT_NE(output().find("NET :: Mal left\n"), std::string::npos);
    EXPECT_TRUE(contains(server->ctx->net.chatLines, "*** Mal left the game."));
    EXPECT_EQ(server->ctx->netSeats[1].device, NetSession::computerDevice);
    EXPECT_EQ(server->ctx->net.playerNames[1], "CPU");

    // The computer plays the seat on; the round ends as any round does.
    stepUntil({server.get()}, [] { return false; }, 500ms, false);
    EXPECT_TRUE(arena.bubbleInPlay);
    touchSeats(arena, {1, 2, 3});
    ASSERT_TRUE(stepUntil({server.get()}, [&] { return resetPending; }, 10s, false));
    EXPECT_NE(output().find("Level over\n"), std::string::npos);
    EXPECT_FALSE(server->ctx->netSeats[1].joined) << "the lobby has the seat free again";
}

TEST_F(NetFailure, AKilledHostSendsItsGuestBackToTheMenuWithTheSessionTornDown)
{
    ChildProcess host(rawHostProcess);
    Machine client("Bo", false);
    ASSERT_TRUE(stepUntil({&client}, [&] { return client.ctx->net.active; }, 5s));
    host.killNow();
    ASSERT_TRUE(stepUntil({&client}, [&] { return client.ctx->net.hostLost(); }, 8s));
    EXPECT_NE(output().find("NET :: lost the host\n"), std::string::npos);
    EXPECT_TRUE(contains(client.ctx->net.chatLines, "*** Lost the connection to the host."));
    // Three seconds on, the screen goes back to the menu.
    for (int i = 0; i < NetWarField::lostHostWait - 1; ++i)
        client.step();
    EXPECT_FALSE(client.arena->timeToLeave());
    client.step();
    client.step();
    EXPECT_TRUE(client.arena->timeToLeave());
    client.ctx->net.leave();
    EXPECT_EQ(client.ctx->net.host, nullptr) << "the next Connect starts clean";
    EXPECT_FALSE(client.ctx->net.active);
    EXPECT_FALSE(client.ctx->net.hostLost());
}

TEST_F(NetFailure, ConnectingToNobodyNeverHoldsAStepAndGivesUpAfterFiveSeconds)
{
    Machine client("Eve", false);
    double slowest = 0.0;
    const auto began = Clock::now();
    const bool gaveUp = stepUntil(
        {&client},
        [&] {
            static auto last = Clock::now();
            const auto now = Clock::now();
            slowest = std::max(slowest, std::chrono::duration<double>(now - last).count());
            last = now;
            return anyLineHas(client.ctx->net.chatLines, "*** Could not reach 127.0.0.1.");
        },
        8s);
    ASSERT_TRUE(gaveUp);
    const double waited = std::chrono::duration<double>(Clock::now() - began).count();
    EXPECT_LT(slowest, 1.0) << "no step waits for the connection";
    EXPECT_GT(waited, 3.5);
    EXPECT_LT(waited, 6.5);
    EXPECT_TRUE(contains(client.ctx->net.chatLines, "Connecting to 127.0.0.1..."));
    EXPECT_NE(output().find("NET :: could not reach 127.0.0.1\n"), std::string::npos);
    EXPECT_FALSE(client.ctx->net.active);
    EXPECT_EQ(client.arena->netStep, NetWarField::lobbyStep) << "the player stays in the lobby";

    // A name that does not resolve says so at once.
    Machine lost("Eve", false);
    lost.ctx->settings.hostAddress = "no such host.invalid";
    lost.step();
    EXPECT_TRUE(contains(lost.ctx->net.chatLines, "*** Could not find no such host.invalid."));
}

TEST_F(NetFailure, TwoPlayersAndTwoComputerSeatsPlayARoundToItsEnd)
{
    auto server = openServer();
    auto client = joined(*server, "Bo");
    // Both humans rest their paddles by the walls, so the round comes to an end.
    server->arena->pointerX = 15;
    server->arena->pointerY = 384;
    client->arena->pointerX = 1009;
    client->arena->pointerY = 384;
    server->ctx->net.toggleReady();
    EXPECT_FALSE(server->ctx->netSeats[0].ready) << "the guest readies first";
    client->ctx->net.toggleReady();
    ASSERT_TRUE(stepUntil({server.get(), client.get()},
                          [&] { return contains(server->ctx->net.chatLines,
                                                "*** Everyone is ready, push space to start the game."); },
                          3s, false));
    server->ctx->net.toggleReady();
    ASSERT_TRUE(stepUntil({server.get(), client.get()}, [&] { return client->ctx->net.started; }, 3s, false));
    EXPECT_EQ(client->ctx->net.playerNames, (std::deque<std::string>{"Ana", "Bo", "CPU", "CPU"}));
    EXPECT_EQ(client->ctx->netSeats[2].device, NetSession::remoteDevice) << "the server plays the computer seats";

    // A little play, then the bubble takes out the host and both computers.
    ASSERT_TRUE(stepUntil({server.get(), client.get()}, [&] { return client->arena->bubbleInPlay; }, 10s, false));
    stepUntil({server.get(), client.get()}, [] { return false; }, 1s);
    touchSeats(*server->arena, {0, 2, 3});
    int serverEnded = -1;
    int clientEnded = -1;
    for (int i = 0; i < 3000 && (serverEnded < 0 || clientEnded < 0); ++i) {
        resetPending = false;
        server->step();
        if (resetPending && serverEnded < 0)
            serverEnded = i;
        resetPending = false;
        client->step();
        if (resetPending && clientEnded < 0)
            clientEnded = i;
        if (i % 8 == 0)
            std::this_thread::sleep_for(1ms);  // lets the loopback deliver
    }
    ASSERT_GE(serverEnded, 0) << "the server's round ends";
    ASSERT_GE(clientEnded, 0) << "the client's round ends";
    std::size_t levelOvers = 0;
    for (std::size_t at = output().find("Level over\n"); at != std::string::npos;
         at = printed.find("Level over\n", at + 1))
        ++levelOvers;
    EXPECT_EQ(levelOvers, 2u);
    EXPECT_FALSE(server->ctx->net.started);
    EXPECT_FALSE(client->ctx->net.started);
    EXPECT_EQ(server->ctx->netSeats[1].device, NetSession::remoteDevice) << "the guest keeps its seat";
}

TEST_F(NetFailure, JoinsAgainAndAFifthJoinerChangeNoSeatAndALeaverFreesOne)
{
    auto server = openServer();
    std::array<std::unique_ptr<Machine>, 3> guests;
    const std::array<const char*, 3> names{"Bo", "Cy", "Di"};
    guests[0] = joined(*server, names[0]);
    // The same connection asks again: it keeps its one seat.
    for (int i = 0; i < 3; ++i)
        enet_peer_send(guests[0]->ctx->net.peer, 0, packetOf(joinMessage("Bo" + std::to_string(i))));
    guests[1] = joined(*server, names[1]);
    guests[2] = joined(*server, names[2]);
    stepUntil({server.get()}, [] { return false; }, 200ms, false);
    EXPECT_EQ(server->ctx->net.playerNames, (std::deque<std::string>{"Ana", "Bo", "Cy", "Di"}));
    EXPECT_EQ(guests[2]->ctx->net.token, 3);

    Machine fifth("Eve", false);
    ASSERT_TRUE(stepUntil({server.get(), &fifth},
                          [&] { return contains(fifth.ctx->net.chatLines, "*** The game is full."); }, 3s, false));
    EXPECT_FALSE(fifth.ctx->net.active);
    EXPECT_NE(output().find("NET :: Eve refused, the game is full\n"), std::string::npos);
    EXPECT_EQ(server->ctx->net.lastJoinSeat, 3);

    // The lobby still starts.
    for (auto& g : guests)
        g->ctx->net.toggleReady();
    stepUntil({server.get(), guests[0].get(), guests[1].get(), guests[2].get()},
              [&] { return server->ctx->net.guestsReady(); }, 2s, false);
    server->ctx->net.toggleReady();
    EXPECT_TRUE(server->ctx->net.everyoneReady());
    server->ctx->netSeats[0].ready = false;

    // Cy leaves with Escape: the seat is free and the next joiner takes it.
    guests[1]->ctx->net.leave();
    EXPECT_NE(output().find("NET :: left the game\n"), std::string::npos);
    ASSERT_TRUE(stepUntil({server.get()}, [&] { return !server->ctx->netSeats[2].joined; }, 2s, false));
    EXPECT_NE(output().find("NET :: Cy left\n"), std::string::npos);
    EXPECT_FALSE(server->ctx->netSeats[2].ready) << "a departed guest is no longer ready";
    ASSERT_TRUE(stepUntil({server.get(), guests[0].get()},
                          [&] { return contains(guests[0]->ctx->net.chatLines, "*** Cy left the game."); }, 2s,
                          false));
    EXPECT_EQ(guests[0]->ctx->net.playerNames[2], "CPU");
    Machine again("Fay", false);
    ASSERT_TRUE(stepUntil({server.get(), &again}, [&] { return again.ctx->net.active; }, 3s, false));
    EXPECT_EQ(again.ctx->net.token, 2);
}

TEST_F(NetFailure, BurstsOfAFinishedRoundNeverReachTheNextOne)
{
    auto server = openServer();
    auto client = joined(*server, "Bo");
    // In the lobby, a burst from the last round arrives late.
    server->ctx->net.sendBurst(3, 900);
    stepUntil({server.get(), client.get()}, [] { return false; }, 300ms);
    EXPECT_TRUE(client->ctx->net.pendingBursts.empty());
    EXPECT_FALSE(client->arena->pool.at(3).bursting);
    EXPECT_FALSE(client->arena->pool.at(3).dead);
    // One still queued when the round is rebuilt goes with the old round.
    client->ctx->net.pendingBursts.push_back(4);
    client->arena->Reset(*client->ctx);
    EXPECT_TRUE(client->ctx->net.pendingBursts.empty());
}

TEST_F(NetFailure, NamesAndChatCannotForgeLinesAndAimsStayInTheView)
{
    auto server = openServer();
    auto client = joined(*server, "Bo\n*** Ana is ready.");
    EXPECT_EQ(server->ctx->net.playerNames[1], "Bo*** Ana is ready.");
    client->ctx->net.sendChat("hi\n*** Ana is ready.\x07");
    client->ctx->net.sendAim(2000000000, -5);
    ASSERT_TRUE(stepUntil({server.get(), client.get()},
                          [&] { return anyLineHas(client->ctx->net.chatLines, ": hi*** Ana is ready."); }, 2s,
                          false));
    for (const auto* lines : {&server->ctx->net.chatLines, &client->ctx->net.chatLines})
        for (const std::string& line : *lines) {
            EXPECT_NE(line, "*** Ana is ready.");
            EXPECT_EQ(line.find_first_of("\n\r\x07"), std::string::npos);
        }
    EXPECT_EQ(server->ctx->netSeats[1].aimX, 1024);
    EXPECT_EQ(server->ctx->netSeats[1].aimY, 0);

    // A name from the settings file is a short line whatever its length.
    GameContext fromFile;
    fromFile.settings.playerName = std::string(1 << 20, 'n');
    fromFile.net.context = &fromFile;
    EXPECT_EQ(NetSession::cleanText(fromFile.settings.playerName, NetSession::longestName).size(),
              NetSession::longestName);
}

TEST_F(NetFailure, AFloodingGuestGetsOnlyItsShareRelayed)
{
    auto server = openServer();
    auto flooder = joined(*server, "Mal");
    auto honest = joined(*server, "Bo");
    stepUntil({server.get(), flooder.get(), honest.get()}, [] { return false; }, 200ms, false);
    const auto began = Clock::now();
    for (int i = 0; i < 2000; ++i) {
        flooder->ctx->net.sendChat("spam " + std::to_string(i));
        flooder->ctx->net.sendAim(i % 1024, 300);
    }
    // What the honest guest is shown, collected every step.
    std::set<std::string> relayed;
    stepUntil({server.get(), flooder.get(), honest.get()},
              [&] {
                  for (const std::string& l : honest->ctx->net.chatLines)
                      if (l.rfind("Mal: spam ", 0) == 0)
                          relayed.insert(l);
                  return false;
              },
              1500ms);
    const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
    EXPECT_GT(relayed.size(), 0u) << "some lines get through";
    EXPECT_LE(relayed.size(),
              static_cast<std::size_t>(NetSession::linesPerGuestBurst + NetSession::linesPerGuestSecond * seconds) + 1);
    // The honest guest is still heard at once.
    honest->ctx->net.sendChat("still here");
    EXPECT_TRUE(stepUntil({server.get(), flooder.get(), honest.get()},
                          [&] { return contains(honest->ctx->net.chatLines, "Bo: still here"); }, 2s, false));
}

TEST_F(NetFailure, AClientAheadOfItsHostPausesOnceAStepAtMost)
{
    auto server = openServer();
    auto client = joined(*server, "Bo");
    // The client plays as if started, far ahead of a server that reports step 0.
    NetWarField& arena = *client->arena;
    client->ctx->net.started = true;
    arena.netStep = NetWarField::playStep;
    arena.countdownTicks = 60;
    arena.countdownStage = 2;
    for (int i = 0; i < 600 && !arena.bubbleInPlay; ++i)
        client->step();
    ASSERT_TRUE(arena.bubbleInPlay);
    for (int i = 0; i < 40; ++i)
        server->ctx->net.sendGameState(512.f, 384.f, 0.f, 0.f, 0);
    std::this_thread::sleep_for(100ms);
    const auto began = Clock::now();
    client->step();
    const double took = std::chrono::duration<double>(Clock::now() - began).count();
    EXPECT_LT(took, 0.5) << "forty waiting states would have held the step for 2.8 s";
}

}  // namespace

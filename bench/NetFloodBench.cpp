// A hostile guest floods the host: 10,000 reliable chat lines and 10,000 aim
// messages sent as fast as ENet takes them, while an honest guest sits in the
// lobby. Reports the host's slowest and mean step (one pump of its session),
// the packets relayed to the honest guest, and how much the host's memory
// grew. Real ENet on loopback, port 30035: run it inside `unshare -n` with
// the loopback interface up. Figures only; nothing here fails.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include <SFML/Network/Packet.hpp>
#include <SFML/System/String.hpp>
#include <benchmark/benchmark.h>
#include <enet/enet.h>

#include "app/GameContext.h"
#include "net/NetSession.h"

namespace {

using Clock = std::chrono::steady_clock;

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

void send(ENetPeer* peer, const sf::Packet& p)
{
    enet_peer_send(peer, 0, enet_packet_create(p.getData(), p.getDataSize(), ENET_PACKET_FLAG_RELIABLE));
}

// A raw guest on its own thread: joins, then (when hostile) floods; counts
// what the host sends it.
struct Guest {
    explicit Guest(bool hostile) : hostile(hostile) {}

    void run(const std::atomic<bool>& stop)
    {
        ENetHost* host = enet_host_create(nullptr, 1, 2, 0, 0);
        ENetAddress address{};
        enet_address_set_host(&address, "127.0.0.1");
        address.port = NetSession::port;
        ENetPeer* peer = enet_host_connect(host, &address, 2, 0);
        bool flooded = false;
        ENetEvent event;
        while (!stop) {
            while (enet_host_service(host, &event, 1) > 0) {
                if (event.type == ENET_EVENT_TYPE_CONNECT) {
                    sf::Packet join;
                    join << std::int32_t{0} << std::string(hostile ? "Mal" : "Bo") << sf::String("demo1");
                    send(peer, join);
                }
                if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                    ++received;
                    sf::Packet in;
                    in.append(event.packet->data, event.packet->dataLength);
                    std::int32_t type = -1;
                    in >> type;
                    std::int32_t given = -1;
                    if (type == 0 && in >> given)
                        seat = given;
                    enet_packet_destroy(event.packet);
                }
            }
            if (hostile && seat > 0 && !flooded) {
                const std::string line(120, 'x');
                const std::int32_t mine = seat;
                for (int i = 0; i < 10000; ++i) {
                    sf::Packet chat;
                    chat << std::int32_t{20} << mine << line;
                    send(peer, chat);
                    sf::Packet aim;
                    aim << std::int32_t{1} << mine << std::int32_t{i} << std::int32_t{i};
                    send(peer, aim);
                }
                enet_host_flush(host);
                flooded = true;
            }
        }
        enet_peer_disconnect_now(peer, 0);
        enet_host_destroy(host);
    }

    bool hostile;
    std::atomic<int> seat{-1};
    std::atomic<int> received{0};
};

void BM_HostStepUnderFlood(benchmark::State& state)
{
    for (auto _ : state) {
        GameContext server;
        server.settings.playerName = "Ana";
        server.net.isHost = true;
        {
            // Keep the session's diagnostic lines out of the report.
            std::fflush(stdout);
            const int saved = ::dup(STDOUT_FILENO);
            const int devNull = ::open("/dev/null", O_WRONLY);
            ::dup2(devNull, STDOUT_FILENO);
            server.net.context = &server;
            server.net.openLobby();
            std::fflush(stdout);
            ::dup2(saved, STDOUT_FILENO);
            ::close(devNull);
            ::close(saved);
        }
        if (!server.net.active) {
            state.SkipWithError("port 30035 is taken");
            return;
        }
        std::atomic<bool> stop{false};
        Guest honest(false);
        Guest hostile(true);
        std::thread honestThread([&] { honest.run(stop); });
        const auto joinBy = Clock::now() + std::chrono::seconds(3);
        while (honest.seat < 0 && Clock::now() < joinBy) {
            server.net.pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        const long before = residentKilobytes();
        const int honestBefore = honest.received;
        std::thread hostileThread([&] { hostile.run(stop); });

        // Four seconds of host steps at 60 a second.
        double slowest = 0.0;
        double total = 0.0;
        int steps = 0;
        const auto end = Clock::now() + std::chrono::seconds(4);
        while (Clock::now() < end) {
            const auto t0 = Clock::now();
            {
                const int saved = ::dup(STDOUT_FILENO);
                const int devNull = ::open("/dev/null", O_WRONLY);
                std::fflush(stdout);
                ::dup2(devNull, STDOUT_FILENO);
                server.net.pump();
                std::fflush(stdout);
                ::dup2(saved, STDOUT_FILENO);
                ::close(devNull);
                ::close(saved);
            }
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            slowest = std::max(slowest, ms);
            total += ms;
            ++steps;
            std::this_thread::sleep_for(std::chrono::microseconds(16667));
        }
        stop = true;
        hostileThread.join();
        honestThread.join();
        state.counters["slowest_step_ms"] = slowest;
        state.counters["mean_step_ms"] = steps > 0 ? total / steps : 0.0;
        state.counters["relayed_to_honest_guest"] = honest.received - honestBefore;
        state.counters["memory_growth_MB"] = static_cast<double>(residentKilobytes() - before) / 1024.0;
    }
}
BENCHMARK(BM_HostStepUnderFlood)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

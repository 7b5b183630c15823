// Any bytes at all as a packet from the network, to a server or a client:
// reading it must never crash, and whatever it says the lobby stays within
// its bounds and the client's arena can apply the bursts it announced.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "net/NetSession.h"
#include "net/NetWarField.h"

namespace {

bool knownDevice(std::int32_t device)
{
    return (device >= 0 && device <= 3) || (device >= 10 && device <= 13);
}

struct Machine {
    explicit Machine(bool host)
    {
        ctx.settings.playerName = "Ana";
        ctx.net.isHost = host;
        arena = std::make_unique<NetWarField>(ctx);
    }
    GameContext ctx;
    std::unique_ptr<NetWarField> arena;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static Machine server(true);
    static Machine client(false);
    Machine& m = (data[0] & 1) ? server : client;
    m.ctx.net.handleData(data + 1, size - 1, nullptr);

    const NetSession& net = m.ctx.net;
    if (net.chatLines.size() != NetSession::chatLineCount || net.playerNames.size() > 64 ||
        net.pendingBursts.size() > 4096)
        __builtin_trap();
    for (const Seat& seat : m.ctx.netSeats)
        if (!knownDevice(seat.device))
            __builtin_trap();

    // One lobby step: the client applies whatever bursts were announced.
    resetPending = false;
    m.arena->netStep = NetWarField::lobbyStep;
    m.arena->Logic(m.ctx, 1.f / 60.f);
    if (!m.ctx.net.pendingBursts.empty())
        __builtin_trap();
    return 0;
}

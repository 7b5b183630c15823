#include "net/NetSession.h"

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include <SFML/Network/Packet.hpp>
#include <SFML/System/String.hpp>

#include "app/GameContext.h"
#include "app/Version.h"
#include "world/Random.h"

namespace {

// Longest texts taken from the wire: longer names and chat lines are cut so
// that a hostile peer cannot flood the chat overlay.
constexpr std::size_t longestName = 64;
constexpr std::size_t longestText = 256;
// Received bursts waiting to be applied; a round has 32 microbes.
constexpr std::size_t mostPendingBursts = 4096;
// No message of the game comes near this; bigger packets are refused by ENet.
constexpr std::size_t largestPacket = 16 * 1024;
constexpr std::size_t longestDiagnosticLog = 256;
// Four seats and a few onlookers; a peer that keeps joining again is not
// worth another name (each join sends every name to everybody).
constexpr std::size_t mostPlayerNames = 64;

void say(const char* line)
{
    std::fputs(line, stdout);
    std::fflush(stdout);
}

bool readText(sf::Packet& in, std::string& text, std::size_t longest)
{
    if (!(in >> text))
        return false;
    if (text.size() > longest)
        text.resize(longest);
    return true;
}

// A bubble coordinate from the wire: finite and inside a generous box round
// the field, or the whole message is ignored.
bool sane(float value)
{
    return std::isfinite(value) && std::fabs(value) < 100000.f;
}

bool inSeats(std::int32_t seat)
{
    return seat >= 0 && seat < 4;
}

}  // namespace

NetSession::NetSession()
{
    for (std::size_t i = 0; i < chatLineCount; ++i)
        chatLines.emplace_back();
}

NetSession::~NetSession()
{
    destroyHost();
}

void NetSession::destroyHost()
{
    if (!host)
        return;
    // An orderly goodbye so that the other side does not wait for a time-out.
    for (std::size_t i = 0; i < host->peerCount; ++i)
        if (host->peers[i].state == ENET_PEER_STATE_CONNECTED)
            enet_peer_disconnect_now(&host->peers[i], 0);
    enet_host_destroy(host);
    host = nullptr;
    peer = nullptr;
}

void NetSession::close()
{
    destroyHost();
    active = false;
    started = false;
    lastJoinSeat = 0;
    token = 0;
    playerNames.clear();
    pendingBursts.clear();
    if (context)
        for (Seat& seat : context->seats) {
            seat.joined = false;
            seat.ready = false;
        }
}

void NetSession::start()
{
    static bool registered = false;
    if (enet_initialize() != 0)
        say("NET :: Net init failed!\n");
    if (!registered) {
        std::atexit(enet_deinitialize);
        registered = true;
    }
    // A host from an earlier visit in the same role is kept; one made for the
    // other role is replaced.
    if (host && hostIsServer != isHost)
        destroyHost();
    if (isHost) {
        if (!host) {
            address.host = ENET_HOST_ANY;
            address.port = port;
            host = enet_host_create(&address, 4, 2, 0, 0);
        }
        active = host != nullptr;
        if (!host)
            say("NET :: Network server creation failed\n");
    } else if (!host) {
        host = enet_host_create(nullptr, 1, 2, 14400, 14400);
        if (!host)
            say("NET :: client creation failed\n");
    }
    if (host) {
        host->maximumPacketSize = largestPacket;
        hostIsServer = isHost;
    }
}

void NetSession::connect(const std::string& name, const std::string& hostAddress)
{
    if (!host)
        return;  // the client host could not be made; the player stays alone
    if (enet_address_set_host(&address, hostAddress.c_str()) != 0) {
        addDiagnostic("NET :: unknown host address " + hostAddress + "\n");
        return;
    }
    address.port = port;
    if (peer)
        enet_peer_reset(peer);
    peer = enet_host_connect(host, &address, 2, 0);
    if (!peer) {
        // The host's only peer slot is busy: stay alone rather than quit the game.
        addDiagnostic("NET :: no connection slot free\n");
        return;
    }
    if (enet_host_service(host, &event, 5000) > 0 && event.type == ENET_EVENT_TYPE_CONNECT) {
        sf::Packet join;
        join << static_cast<std::int32_t>(MsgJoin) << name << sf::String(localVersion());
        sendTo(peer, join);
        flush();
        return;
    }
    if (event.type == ENET_EVENT_TYPE_RECEIVE && event.packet)
        enet_packet_destroy(event.packet);
    event = ENetEvent{};
    enet_peer_reset(peer);
}

void NetSession::openLobby()
{
    addDiagnostic("NET :: host, waiting for clients to connect\n");
    start();
    lastJoinSeat = 0;
    token = 0;
    // A lobby opened again after a failed start begins its names afresh.
    playerNames.clear();
    playerNames.push_back(localName());
    if (context) {
        context->seats[0].joined = true;
        context->seats[0].device = localDevice;
    }
}

void NetSession::joinLobby()
{
    addDiagnostic("NET :: client, connecting to host..");
    start();
    if (context)
        connect(context->settings.playerName, context->settings.hostAddress);
}

void NetSession::handleMessage(const ENetEvent& received)
{
    if (received.packet)
        handleData(received.packet->data, received.packet->dataLength, received.peer);
}

void NetSession::handleData(const void* data, std::size_t size, ENetPeer* from)
{
    if (!data || size == 0)
        return;
    sf::Packet in;
    in.append(data, size);
    std::int32_t type = -1;
    if (!(in >> type))
        return;
    if (isHost) {
        switch (type) {
        case MsgJoin: onJoin(in, from); break;
        case MsgAim: onAim(in, from); break;
        case MsgChatRequest: onChatRequest(in, from); break;
        case MsgReadyToggle: onReadyToggle(in, from); break;
        default: break;
        }
        return;
    }
    switch (type) {
    case MsgWelcome: onWelcome(in); break;
    case MsgPlayerName: onPlayerName(in); break;
    case MsgGameState: onGameState(in); break;
    case MsgStart: onStart(in); break;
    case MsgBurst: onBurst(in); break;
    case MsgChatLine: onChatLine(in); break;
    case MsgSystemLine: onSystemLine(in); break;
    default: break;
    }
}

// --- the server's side -------------------------------------------------------

void NetSession::onJoin(sf::Packet& in, ENetPeer* from)
{
    std::string name;
    sf::String version;
    if (!readText(in, name, longestName) || playerNames.size() >= mostPlayerNames)
        return;
    // A join without a readable version is as foreign as one with another version.
    if (!(in >> version) || version != sf::String(localVersion())) {
        addDiagnostic(name + " Version mismatch.\n");
        if (from)
            enet_peer_disconnect(from, 0);
        return;
    }
    std::int32_t seat = 4;
    if (context)
        for (std::int32_t s = 0; s < 4; ++s)
            if (!context->seats[static_cast<std::size_t>(s)].joined) {
                context->seats[static_cast<std::size_t>(s)].joined = true;
                seat = s;
                break;
            }
    lastJoinSeat = seat;
    addDiagnostic(name + " connected. [" + std::to_string(seat) + "] " + version.toAnsiString() + "\n");
    playerNames.push_back(name);
    if (seat < 4 && context)
        context->seats[static_cast<std::size_t>(seat)].device = remoteDevice;
    // Remember the connection's seat; 0 stands for none (seat 0 is the server's).
    if (from)
        from->data = reinterpret_cast<void*>(static_cast<std::intptr_t>(seat < 4 ? seat + 1 : 0));

    sf::Packet welcome;
    welcome << static_cast<std::int32_t>(MsgWelcome) << seat;
    sendTo(from, welcome);
    for (std::size_t i = 0; i < playerNames.size(); ++i) {
        sf::Packet names;
        names << static_cast<std::int32_t>(MsgPlayerName) << static_cast<std::int32_t>(i) << playerNames[i];
        broadcast(names, true);
    }
    addChatLine("*** " + name + " has joined.");
    sf::Packet joined;
    joined << static_cast<std::int32_t>(MsgSystemLine) << std::int32_t{0} << (name + " has joined.");
    broadcast(joined, true);
    flush();
}

bool NetSession::speaksFor(const ENetPeer* from, std::int32_t seat)
{
    if (!from)
        return true;
    const auto given = reinterpret_cast<std::intptr_t>(from->data);
    return given != 0 && given - 1 == seat;
}

void NetSession::onAim(sf::Packet& in, ENetPeer* from)
{
    std::int32_t seat = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    if (!(in >> seat >> x >> y) || !inSeats(seat) || !speaksFor(from, seat) || !context)
        return;
    context->seats[static_cast<std::size_t>(seat)].aimX = x;
    context->seats[static_cast<std::size_t>(seat)].aimY = y;
}

void NetSession::onChatRequest(sf::Packet& in, ENetPeer* from)
{
    std::int32_t seat = 0;
    std::string text;
    if (!(in >> seat) || !readText(in, text, longestText) || !speaksFor(from, seat))
        return;
    const std::string* name = nameOf(seat);
    if (!name)
        return;
    addChatLine(*name + ": " + text);
    sf::Packet line;
    line << static_cast<std::int32_t>(MsgChatLine) << seat << text;
    broadcast(line, true);
    flush();
}

void NetSession::onReadyToggle(sf::Packet& in, ENetPeer* from)
{
    std::int32_t seat = 0;
    if (!(in >> seat) || !inSeats(seat) || !speaksFor(from, seat) || !context)
        return;
    const std::string* name = nameOf(seat);
    if (!name)
        return;  // nobody has that seat yet
    Seat& s = context->seats[static_cast<std::size_t>(seat)];
    s.ready = !s.ready;
    const std::string what = s.ready ? " is ready." : " is NOT ready.";
    addChatLine("*** " + *name + what);
    sf::Packet line;
    line << static_cast<std::int32_t>(MsgSystemLine) << std::int32_t{0} << (*name + what);
    broadcast(line, true);
    flush();
    if (context->seats[1].ready && context->seats[2].ready && context->seats[3].ready)
        addChatLine("*** Everyone is ready, push space to start the game.");
}

// --- the client's side -------------------------------------------------------

void NetSession::onWelcome(sf::Packet& in)
{
    std::int32_t seat = 0;
    if (!(in >> seat) || seat < 0)
        return;
    token = seat;
    lastJoinSeat += 1;
    active = true;
    if (seat < 4 && context)
        context->seats[static_cast<std::size_t>(seat)].device = localDevice;
    addDiagnostic("Mytoken: " + std::to_string(seat) + "\n");
}

void NetSession::onPlayerName(sf::Packet& in)
{
    std::int32_t index = 0;
    std::string name;
    if (!(in >> index) || index < 0 || !readText(in, name, longestName))
        return;
    if (static_cast<std::size_t>(index) < playerNames.size())
        playerNames[static_cast<std::size_t>(index)] = name;
    else if (playerNames.size() < mostPlayerNames)
        playerNames.push_back(name);
    if (index < 4 && context)
        context->seats[static_cast<std::size_t>(index)].device = index == token ? localDevice : remoteDevice;
    addDiagnostic("player: " + name + "[" + std::to_string(index) + "]\n");
}

void NetSession::onGameState(sf::Packet& in)
{
    std::int32_t aims[8] = {};
    for (std::int32_t& a : aims)
        in >> a;
    float x = 0.f;
    float y = 0.f;
    float vx = 0.f;
    float vy = 0.f;
    std::int32_t step = 0;
    in >> x >> y >> vx >> vy >> step;
    if (!in || !sane(x) || !sane(y) || !sane(vx) || !sane(vy))
        return;
    if (context)
        for (std::size_t s = 0; s < 4; ++s) {
            context->seats[s].aimX = aims[2 * s];
            context->seats[s].aimY = aims[2 * s + 1];
        }
    hostBubbleX = x;
    hostBubbleY = y;
    hostBubbleVX = vx;
    hostBubbleVY = vy;
    hostStep = step;
}

void NetSession::onStart(sf::Packet& in)
{
    float angle = 0.f;
    if (!(in >> angle) || !std::isfinite(angle))
        return;
    launchAngle = angle;
    started = true;
    std::ostringstream line;
    line << "[" << angle << "] got start packet\n";
    addDiagnostic(line.str());
}

void NetSession::onBurst(sf::Packet& in)
{
    std::uint32_t index = 0;
    std::int32_t step = 0;
    if (!(in >> index >> step))
        return;
    // Indices outside the pool are skipped when the bursts are applied.
    if (pendingBursts.size() < mostPendingBursts)
        pendingBursts.push_back(static_cast<std::int32_t>(index > 0x7fffffffu ? 0x7fffffffu : index));
    hostStep = step;
}

void NetSession::onChatLine(sf::Packet& in)
{
    std::int32_t seat = 0;
    std::string text;
    if (!(in >> seat) || !readText(in, text, longestText))
        return;
    if (const std::string* name = nameOf(seat))
        addChatLine(*name + ": " + text);
}

void NetSession::onSystemLine(sf::Packet& in)
{
    std::int32_t zero = 0;
    std::string text;
    if (!(in >> zero) || !readText(in, text, longestText))
        return;
    addChatLine("*** " + text);
}

// --- sending -----------------------------------------------------------------

void NetSession::sendAim(std::int32_t x, std::int32_t y)
{
    if (isHost)
        return;
    sf::Packet aim;
    aim << static_cast<std::int32_t>(MsgAim) << token << x << y;
    sendTo(peer, aim);
    flush();
}

void NetSession::sendChat(const std::string& text)
{
    sf::Packet line;
    if (isHost) {
        addChatLine((playerNames.empty() ? localName() : playerNames[0]) + ": " + text);
        line << static_cast<std::int32_t>(MsgChatLine) << std::int32_t{0} << text;
        broadcast(line, true);
    } else {
        line << static_cast<std::int32_t>(MsgChatRequest) << token << text;
        sendTo(peer, line);
    }
    flush();
}

void NetSession::toggleReady()
{
    if (isHost) {
        // The server readies last, once every client has.
        if (context && context->seats[1].ready && context->seats[2].ready && context->seats[3].ready)
            context->seats[0].ready = true;
        return;
    }
    sf::Packet toggle;
    toggle << static_cast<std::int32_t>(MsgReadyToggle) << token;
    sendTo(peer, toggle);
    flush();
}

bool NetSession::everyoneReady() const
{
    if (!isHost || !context)
        return false;
    for (const Seat& seat : context->seats)
        if (!seat.ready)
            return false;
    return true;
}

void NetSession::sendStart()
{
    const auto k = static_cast<float>(randomInt(7));
    launchAngle = (45.f * k + 7.f) * 0.017453292f;
    sf::Packet start;
    start << static_cast<std::int32_t>(MsgStart) << launchAngle;
    broadcast(start, true);
    flush();
    started = true;
}

void NetSession::sendGameState(float bubbleX, float bubbleY, float bubbleVX, float bubbleVY, std::int32_t step)
{
    sf::Packet state;
    state << static_cast<std::int32_t>(MsgGameState);
    for (std::size_t s = 0; s < 4; ++s) {
        const Seat* seat = context ? &context->seats[s] : nullptr;
        state << (seat ? seat->aimX : 0) << (seat ? seat->aimY : 0);
    }
    state << bubbleX << bubbleY << bubbleVX << bubbleVY << step;
    broadcast(state, false);
    flush();
}

void NetSession::sendBurst(std::uint32_t microbeIndex, std::int32_t step)
{
    sf::Packet burst;
    burst << static_cast<std::int32_t>(MsgBurst) << microbeIndex << step;
    broadcast(burst, true);
    flush();
}

void NetSession::broadcast(const sf::Packet& message, bool reliable)
{
    if (!host)
        return;
    ENetPacket* packet = enet_packet_create(message.getData(), message.getDataSize(),
                                            reliable ? ENET_PACKET_FLAG_RELIABLE : ENET_PACKET_FLAG_UNSEQUENCED);
    if (packet)
        enet_host_broadcast(host, 0, packet);
}

void NetSession::sendTo(ENetPeer* to, const sf::Packet& message)
{
    if (!host || !to)
        return;
    ENetPacket* packet = enet_packet_create(message.getData(), message.getDataSize(), ENET_PACKET_FLAG_RELIABLE);
    if (packet && enet_peer_send(to, 0, packet) < 0)
        enet_packet_destroy(packet);  // not connected: nothing took the packet
}

void NetSession::flush()
{
    if (host)
        enet_host_flush(host);
}

// --- lines and names -----------------------------------------------------------

void NetSession::addChatLine(const std::string& line)
{
    chatLines.pop_front();
    chatLines.push_back(line);
}

void NetSession::addDiagnostic(const std::string& line)
{
    if (diagnosticLog.size() >= longestDiagnosticLog)
        diagnosticLog.pop_front();
    diagnosticLog.push_back(line);
}

const std::string* NetSession::nameOf(std::int32_t seat) const
{
    if (seat < 0 || static_cast<std::size_t>(seat) >= playerNames.size())
        return nullptr;
    return &playerNames[static_cast<std::size_t>(seat)];
}

const std::string& NetSession::localName() const
{
    static const std::string nobody;
    return context ? context->settings.playerName : nobody;
}

const std::string& NetSession::localVersion() const
{
    static const std::string fallback = networkVersionToken;
    return context ? context->localVersion : fallback;
}

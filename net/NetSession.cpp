#include "net/NetSession.h"

#include <algorithm>
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

// Received bursts waiting to be applied; a round has 32 microbes.
constexpr std::size_t mostPendingBursts = 4096;
// No message of the game comes near this; bigger packets are refused by ENet.
constexpr std::size_t largestPacket = 16 * 1024;
// What one connection may leave waiting in ENet's queues before its packets
// are dropped (ENet's own default is 32 MB).
constexpr std::size_t mostWaitingData = 256 * 1024;
constexpr std::size_t longestDiagnosticLog = 256;
// Four seats and a few onlookers of an older host; more names are not kept.
constexpr std::size_t mostPlayerNames = 64;
constexpr std::size_t longestHostAddress = 255;
// The logical view: aim points from the wire are kept inside it.
constexpr std::int32_t viewRight = 1024;
constexpr std::int32_t viewBottom = 768;

void say(const std::string& line)
{
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
}

bool readText(sf::Packet& in, std::string& text, std::size_t longest)
{
    if (!(in >> text))
        return false;
    text = NetSession::cleanText(text, longest);
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

void clampAim(std::int32_t& x, std::int32_t& y)
{
    x = std::clamp(x, std::int32_t{0}, viewRight);
    y = std::clamp(y, std::int32_t{0}, viewBottom);
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
    ++closings;
    active = false;
    started = false;
    lastJoinSeat = 0;
    token = 0;
    hostStep = 0;
    launchAngle = 0.f;
    m_connecting = false;
    m_hostLost = false;
    playerNames.clear();
    pendingBursts.clear();
    for (std::string& line : chatLines)
        line.clear();
    if (context)
        for (Seat& seat : context->netSeats) {
            seat.joined = false;
            seat.ready = false;
            seat.device = computerDevice;
        }
}

void NetSession::leave()
{
    if (host) {
        bool waiting = false;
        for (std::size_t i = 0; i < host->peerCount; ++i)
            if (host->peers[i].state != ENET_PEER_STATE_DISCONNECTED) {
                enet_peer_disconnect(&host->peers[i], 0);
                waiting = true;
            }
        // The goodbyes are answered within a round trip; a peer that does not
        // answer is dropped when the host goes.
        const auto deadline = std::chrono::steady_clock::now() + leaveWait;
        while (waiting && std::chrono::steady_clock::now() < deadline) {
            ENetEvent goodbye{};
            if (enet_host_service(host, &goodbye, 10) > 0 && goodbye.type == ENET_EVENT_TYPE_RECEIVE)
                enet_packet_destroy(goodbye.packet);
            waiting = false;
            for (std::size_t i = 0; i < host->peerCount; ++i)
                waiting = waiting || host->peers[i].state != ENET_PEER_STATE_DISCONNECTED;
        }
        say("NET :: left the game\n");
    }
    close();
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
        host->maximumWaitingData = mostWaitingData;
        hostIsServer = isHost;
    }
}

void NetSession::connect(const std::string& /*name*/, const std::string& hostAddress)
{
    if (!host)
        return;  // the client host could not be made; the player stays alone
    m_hostName = cleanText(hostAddress, longestHostAddress);
    if (enet_address_set_host(&address, hostAddress.c_str()) != 0) {
        addDiagnostic("NET :: unknown host address " + m_hostName + "\n");
        addChatLine("*** Could not find " + m_hostName + ".");
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
    enet_peer_timeout(peer, 0, peerTimeoutMinimum, peerTimeoutMaximum);
    enet_host_flush(host);
    // The pump sends the join once the host answers.
    m_connecting = true;
    m_connectDeadline = std::chrono::steady_clock::now() + connectWait;
    addDiagnostic("NET :: connecting to " + m_hostName + "\n");
    addChatLine("Connecting to " + m_hostName + "...");
}

void NetSession::giveUpConnectingIfLate()
{
    if (!m_connecting || std::chrono::steady_clock::now() < m_connectDeadline)
        return;
    m_connecting = false;
    if (peer)
        enet_peer_reset(peer);
    peer = nullptr;
    addDiagnostic("NET :: could not reach " + m_hostName + "\n");
    addChatLine("*** Could not reach " + m_hostName + ".");
}

void NetSession::onConnect(ENetPeer* from)
{
    if (!from)
        return;
    // A connection slot used again has no seat until its join.
    from->data = nullptr;
    enet_peer_timeout(from, 0, peerTimeoutMinimum, peerTimeoutMaximum);
    if (isHost) {
        const auto slot = static_cast<std::size_t>(from - host->peers);
        if (slot < m_allowance.size())
            m_allowance[slot] = Allowance{linesPerGuestBurst, std::chrono::steady_clock::now()};
        return;
    }
    if (!m_connecting || from != peer)
        return;
    m_connecting = false;
    sf::Packet join;
    join << static_cast<std::int32_t>(MsgJoin) << localName() << sf::String(localVersion());
    sendTo(peer, join);
    flush();
}

void NetSession::onDisconnect(ENetPeer* from)
{
    if (!from)
        return;
    const std::int32_t seat = seatOf(from);
    from->data = nullptr;
    if (isHost) {
        if (seat > 0)
            onGuestLeft(seat);
        return;
    }
    if (from != peer)
        return;
    peer = nullptr;  // ENet has reset it
    if (m_connecting) {
        m_connecting = false;
        addDiagnostic("NET :: could not reach " + m_hostName + "\n");
        addChatLine("*** Could not reach " + m_hostName + ".");
    } else if (active) {
        m_hostLost = true;
        addDiagnostic("NET :: lost the host\n");
        addChatLine("*** Lost the connection to the host.");
    } else {
        // Turned away before a welcome: another version, or a full game.
        addDiagnostic("NET :: the host closed the connection\n");
        addChatLine("*** The host closed the connection.");
    }
}

void NetSession::onGuestLeft(std::int32_t seat)
{
    const std::string name = playerNames.size() > static_cast<std::size_t>(seat)
                                 ? playerNames[static_cast<std::size_t>(seat)]
                                 : std::string(computerName);
    if (context) {
        // The computer plays the seat for the rest of the round; in the lobby
        // it is free for the next joiner.
        Seat& s = context->netSeats[static_cast<std::size_t>(seat)];
        s.joined = false;
        s.ready = false;
        s.device = computerDevice;
    }
    if (playerNames.size() > static_cast<std::size_t>(seat))
        playerNames[static_cast<std::size_t>(seat)] = computerName;
    addDiagnostic("NET :: " + name + " left\n");
    if (started)
        addDiagnostic("NET :: computer plays seat " + std::to_string(seat) + "\n");
    sf::Packet names;
    names << static_cast<std::int32_t>(MsgPlayerName) << seat << std::string(computerName);
    broadcast(names, true);
    addChatLine("*** " + name + " left the game.");
    sf::Packet left;
    left << static_cast<std::int32_t>(MsgSystemLine) << std::int32_t{0} << (name + " left the game.");
    broadcast(left, true);
    flush();
}

void NetSession::openLobby()
{
    addDiagnostic("NET :: host, waiting for clients to connect\n");
    start();
    lastJoinSeat = 0;
    token = 0;
    // A lobby opened again after a failed start begins its names afresh;
    // the seats nobody has taken are the computer's.
    playerNames.assign(4, computerName);
    playerNames[0] = cleanText(localName(), longestName);
    if (context)
        for (std::size_t s = 0; s < context->netSeats.size(); ++s) {
            Seat& seat = context->netSeats[s];
            seat.joined = s == 0;
            seat.ready = false;
            seat.device = s == 0 ? localDevice : computerDevice;
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
    // A connection joins once; one that is seated or on its way out is not
    // heard again.
    if (from && (seatOf(from) >= 0 || from->state != ENET_PEER_STATE_CONNECTED))
        return;
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
    std::int32_t seat = -1;
    if (context)
        for (std::int32_t s = 1; s < 4 && seat < 0; ++s)
            if (!context->netSeats[static_cast<std::size_t>(s)].joined)
                seat = s;
    if (seat < 0) {
        addDiagnostic("NET :: " + name + " refused, the game is full\n");
        refuse(from, "The game is full.");
        return;
    }
    Seat& taken = context->netSeats[static_cast<std::size_t>(seat)];
    taken.joined = true;
    taken.ready = false;
    // One who joins during a round plays from the next; the computer goes on
    // with the seat until then.
    taken.device = started ? computerDevice : remoteDevice;
    lastJoinSeat = seat;
    addDiagnostic(name + " connected. [" + std::to_string(seat) + "] " +
                  cleanText(version.toAnsiString(), longestName) + "\n");
    if (playerNames.size() < 4)
        playerNames.resize(4, computerName);
    playerNames[static_cast<std::size_t>(seat)] = name;
    // Remember the connection's seat; 0 stands for none (seat 0 is the server's).
    if (from)
        from->data = reinterpret_cast<void*>(static_cast<std::intptr_t>(seat + 1));

    sf::Packet welcome;
    welcome << static_cast<std::int32_t>(MsgWelcome) << seat;
    sendTo(from, welcome);
    sendNames();
    addChatLine("*** " + name + " has joined.");
    sf::Packet joined;
    joined << static_cast<std::int32_t>(MsgSystemLine) << std::int32_t{0} << (name + " has joined.");
    broadcast(joined, true);
    flush();
}

void NetSession::sendNames()
{
    for (std::size_t i = 0; i < playerNames.size(); ++i) {
        sf::Packet names;
        names << static_cast<std::int32_t>(MsgPlayerName) << static_cast<std::int32_t>(i) << playerNames[i];
        broadcast(names, true);
    }
}

void NetSession::refuse(ENetPeer* from, const std::string& why)
{
    if (!from)
        return;
    sf::Packet line;
    line << static_cast<std::int32_t>(MsgSystemLine) << std::int32_t{0} << why;
    sendTo(from, line);
    // The line goes out first, then the goodbye.
    enet_peer_disconnect_later(from, 0);
    flush();
}

std::int32_t NetSession::seatOf(const ENetPeer* peer)
{
    if (!peer)
        return -1;
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(peer->data)) - 1;
}

bool NetSession::speaksFor(const ENetPeer* from, std::int32_t seat)
{
    if (!from)
        return true;
    const std::int32_t given = seatOf(from);
    return given > 0 && given == seat;
}

bool NetSession::mayRelay(const ENetPeer* from)
{
    if (!from || !host)
        return true;
    const auto slot = static_cast<std::size_t>(from - host->peers);
    if (slot >= m_allowance.size())
        return false;
    Allowance& a = m_allowance[slot];
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - a.topped).count();
    a.lines = std::min(linesPerGuestBurst, a.lines + seconds * linesPerGuestSecond);
    a.topped = now;
    if (a.lines < 1.0)
        return false;
    a.lines -= 1.0;
    return true;
}

void NetSession::onAim(sf::Packet& in, ENetPeer* from)
{
    std::int32_t seat = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    if (!(in >> seat >> x >> y) || !inSeats(seat) || !speaksFor(from, seat) || !context)
        return;
    clampAim(x, y);
    context->netSeats[static_cast<std::size_t>(seat)].aimX = x;
    context->netSeats[static_cast<std::size_t>(seat)].aimY = y;
}

void NetSession::onChatRequest(sf::Packet& in, ENetPeer* from)
{
    std::int32_t seat = 0;
    std::string text;
    if (!(in >> seat) || !readText(in, text, longestText) || !speaksFor(from, seat))
        return;
    const std::string* name = nameOf(seat);
    if (!name || !mayRelay(from))
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
    Seat& s = context->netSeats[static_cast<std::size_t>(seat)];
    if (!name || (from && !s.joined) || !mayRelay(from))
        return;  // nobody has that seat, or its player has said enough
    s.ready = !s.ready;
    const std::string what = s.ready ? " is ready." : " is NOT ready.";
    addChatLine("*** " + *name + what);
    sf::Packet line;
    line << static_cast<std::int32_t>(MsgSystemLine) << std::int32_t{0} << (*name + what);
    broadcast(line, true);
    flush();
    if (guestsReady())
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
        context->netSeats[static_cast<std::size_t>(seat)].device = localDevice;
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
        context->netSeats[static_cast<std::size_t>(index)].device = index == token ? localDevice : remoteDevice;
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
            clampAim(aims[2 * s], aims[2 * s + 1]);
            context->netSeats[s].aimX = aims[2 * s];
            context->netSeats[s].aimY = aims[2 * s + 1];
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
    pendingBursts.clear();
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
    // A burst belongs to the round it came in: one that arrives after this
    // client's round has ended is of no later round.
    if (!started)
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
        addChatLine((playerNames.empty() ? cleanText(localName(), longestName) : playerNames[0]) + ": " +
                    cleanText(text, longestText));
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
        // The server readies last, once every guest has.
        if (context && guestsReady())
            context->netSeats[0].ready = true;
        return;
    }
    sf::Packet toggle;
    toggle << static_cast<std::int32_t>(MsgReadyToggle) << token;
    sendTo(peer, toggle);
    flush();
}

bool NetSession::guestsReady() const
{
    if (!isHost || !context)
        return false;
    int guests = 0;
    for (std::size_t s = 1; s < context->netSeats.size(); ++s) {
        const Seat& seat = context->netSeats[s];
        if (!seat.joined)
            continue;  // the computer's seat is always ready
        if (!seat.ready)
            return false;
        ++guests;
    }
    return guests > 0;
}

bool NetSession::everyoneReady() const
{
    return guestsReady() && context->netSeats[0].ready;
}

void NetSession::sendStart()
{
    if (context)
        for (std::size_t s = 1; s < context->netSeats.size(); ++s)
            if (!context->netSeats[s].joined) {
                context->netSeats[s].device = computerDevice;
                addDiagnostic("NET :: computer plays seat " + std::to_string(s) + "\n");
            }
    const auto k = static_cast<float>(randomInt(7));
    launchAngle = (45.f * k + 7.f) * 0.017453292f;
    sf::Packet start;
    start << static_cast<std::int32_t>(MsgStart) << launchAngle;
    broadcast(start, true);
    flush();
    started = true;
}

void NetSession::roundEnded()
{
    if (!isHost || !context)
        return;
    for (std::size_t s = 1; s < context->netSeats.size(); ++s)
        context->netSeats[s].device = context->netSeats[s].joined ? remoteDevice : computerDevice;
}

void NetSession::sendGameState(float bubbleX, float bubbleY, float bubbleVX, float bubbleVY, std::int32_t step)
{
    sf::Packet state;
    state << static_cast<std::int32_t>(MsgGameState);
    for (std::size_t s = 0; s < 4; ++s) {
        const Seat* seat = context ? &context->netSeats[s] : nullptr;
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

std::string NetSession::cleanText(const std::string& text, std::size_t longest)
{
    std::string clean;
    clean.reserve(std::min(text.size(), longest));
    for (const char c : text) {
        if (clean.size() >= longest)
            break;
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 32 && byte != 127)
            clean.push_back(c);
    }
    return clean;
}

void NetSession::addChatLine(const std::string& line)
{
    // Long lines wrap into indented rows of their own.
    std::size_t from = 0;
    do {
        const bool first = from == 0;
        const std::size_t room = first ? chatRowLength : chatRowLength - 4;
        chatLines.pop_front();
        chatLines.push_back((first ? "" : "    ") + line.substr(from, room));
        from += room;
    } while (from < line.size());
}

void NetSession::addDiagnostic(const std::string& line)
{
    if (diagnosticLog.size() >= longestDiagnosticLog)
        diagnosticLog.pop_front();
    diagnosticLog.push_back(line);
    // On standard output every line ends with its line feed.
    say(!line.empty() && line.back() == '\n' ? line : line + "\n");
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

// The one network endpoint of the game: an ENet host that is either the server
// of a four-player war game or a client connected to one. Built with the game
// context, it outlives every visit to the networked war screen, so a second
// visit reuses the host and the connection.
//
// Everything runs on the main thread: the war screen pumps the host once per
// step and sends from its step and its event handling.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include <enet/enet.h>

struct GameContext;
namespace sf {
class Packet;
}

// The message types of the war protocol. Every message is one packet on
// channel 0: an int32 type, then its fields. int32 and uint32 are 4 bytes
// big-endian; float is the 4 IEEE bytes in the sender's order (little-endian
// here); string is a uint32 byte count then the bytes; wide string is a
// uint32 count then each character as a big-endian uint32. Type 0 is a join
// when the server receives it and a welcome when a client does.
enum NetMessage : std::int32_t {
    MsgJoin = 0,         // client -> server: string name, wide string version token
    MsgWelcome = 0,      // server -> the joining client: int32 seat (4: no seat free)
    MsgAim = 1,          // client -> server: int32 seat, int32 aim x, int32 aim y (logical pixels)
    MsgPlayerName = 2,   // server -> all: int32 seat index, string name
    MsgGameState = 3,    // server -> all, unsequenced: int32 aim x, y of seats 0..3 (8 values),
                         // float bubble x, y (pixels), float bubble vx, vy (m/s), int32 server step
    MsgStart = 4,        // server -> all: float launch angle (radians)
    MsgBurst = 5,        // server -> all: uint32 microbe index, int32 server step
    MsgChatRequest = 20, // client -> server: int32 seat, string text
    MsgChatLine = 21,    // server -> all: int32 seat, string text
    MsgSystemLine = 22,  // server -> all: int32 0, string text
    MsgReadyToggle = 30, // client -> server: int32 seat
};

class NetSession {
public:
    static constexpr std::uint16_t port = 30035;
    static constexpr std::size_t chatLineCount = 15;
    static constexpr int remoteDevice = 13;

    NetSession();
    ~NetSession();
    NetSession(const NetSession&) = delete;
    NetSession& operator=(const NetSession&) = delete;

    // Initialises ENet and creates the host: four peers on port 30035 for a
    // server, one throttled peer for a client.
    void start();
    // Client handshake: connects to the server and sends the join message.
    // Blocks for up to five seconds; on failure the client stays alone.
    void connect(const std::string& name, const std::string& hostAddress);

    // True when the menu switched between Host and Connect since the host was
    // made; close() then drops the old connection and the lobby it held.
    bool roleChanged() const { return host != nullptr && hostIsServer != isHost; }
    void close();

    // The first step of the networked war screen: the server opens the lobby
    // and takes seat 0, a client starts its host and connects.
    void openLobby();
    void joinLobby();

    // Takes every waiting event off the host without blocking; received
    // messages go to handleMessage. `afterEach` runs after each event taken
    // (the client's bubble correction hooks in there).
    template <typename AfterEach>
    void pump(AfterEach afterEach)
    {
        if (!host)
            return;
        while (enet_host_service(host, &event, 0) > 0) {
            // A connection slot used again has no seat until its join.
            if (event.type == ENET_EVENT_TYPE_CONNECT || event.type == ENET_EVENT_TYPE_DISCONNECT)
                event.peer->data = nullptr;
            if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                handleMessage(event);
                enet_packet_destroy(event.packet);
                event.packet = nullptr;
            }
            afterEach();
        }
    }
    void pump()
    {
        pump([] {});
    }

    // One received packet. The bytes are checked field by field: a short,
    // garbled or hostile packet is dropped or ignored, never trusted.
    void handleMessage(const ENetEvent& received);
    void handleData(const void* data, std::size_t size, ENetPeer* from);

    // Senders used by the war screen.
    void sendAim(std::int32_t x, std::int32_t y);
    void sendChat(const std::string& text);
    void toggleReady();
    bool everyoneReady() const;
    // Server: the start of play with a random launch direction.
    void sendStart();
    // Server: the periodic state of the aim points and the bubble.
    void sendGameState(float bubbleX, float bubbleY, float bubbleVX, float bubbleVY, std::int32_t step);
    // Server: a microbe burst it decided.
    void sendBurst(std::uint32_t microbeIndex, std::int32_t step);

    void addChatLine(const std::string& line);
    void addDiagnostic(const std::string& line);

    ENetAddress address{};
    ENetHost* host = nullptr;
    ENetPeer* peer = nullptr;
    ENetEvent event{};
    std::int32_t lastJoinSeat = 0;
    std::int32_t token = 0;
    std::int32_t localDevice = 10;  // the mouse
    bool active = false;
    bool isHost = false;
    bool started = false;
    float launchAngle = 0.f;
    GameContext* context = nullptr;
    float hostBubbleX = 0.f;
    float hostBubbleY = 0.f;
    float hostBubbleVX = 0.f;
    float hostBubbleVY = 0.f;
    float snapDistanceSquared = 2304.f;  // 48 px
    std::int32_t sendCounter = 0;
    std::int32_t sendIncrement = 1;
    std::int32_t sendThreshold = 3;
    std::int32_t hostStep = 0;
    std::deque<std::string> diagnosticLog;
    std::deque<std::string> playerNames;
    std::deque<std::int32_t> pendingBursts;
    std::deque<std::string> chatLines;

private:
    void onJoin(sf::Packet& in, ENetPeer* from);
    void onAim(sf::Packet& in, ENetPeer* from);
    void onChatRequest(sf::Packet& in, ENetPeer* from);
    void onReadyToggle(sf::Packet& in, ENetPeer* from);
    // The seat a message names must be the seat its connection was given
    // at join: a client speaks for itself only. A message handed in without
    // a connection (tests, the fuzzer) is taken at its word.
    static bool speaksFor(const ENetPeer* from, std::int32_t seat);
    void onWelcome(sf::Packet& in);
    void onPlayerName(sf::Packet& in);
    void onGameState(sf::Packet& in);
    void onStart(sf::Packet& in);
    void onBurst(sf::Packet& in);
    void onChatLine(sf::Packet& in);
    void onSystemLine(sf::Packet& in);

    void broadcast(const sf::Packet& message, bool reliable);
    void sendTo(ENetPeer* to, const sf::Packet& message);
    void flush();
    void destroyHost();
    const std::string* nameOf(std::int32_t seat) const;
    const std::string& localName() const;
    const std::string& localVersion() const;

    bool hostIsServer = false;  // the role the current host was made for
};

// The one network endpoint of the game: an ENet host that is either the server
// of a four-player war game or a client connected to one. Built with the game
// context, it outlives every visit to the networked war screen, so a second
// visit reuses the host and the connection.
//
// Everything runs on the main thread: the war screen pumps the host once per
// step and sends from its step and its event handling.
#pragma once

#include <array>
#include <chrono>
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
    MsgWelcome = 0,      // server -> the joining client: int32 seat
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
    static constexpr int computerDevice = 12;
    // The label of a seat nobody plays: the computer does.
    static constexpr const char* computerName = "CPU";
    // Longest player name and chat text taken anywhere; longer ones are cut.
    static constexpr std::size_t longestName = 32;
    static constexpr std::size_t longestText = 194;
    // A peer silent for this long (milliseconds) is dropped: ENet pings
    // every half second, so a lost player is noticed within five seconds.
    static constexpr std::uint32_t peerTimeoutMinimum = 1000;
    static constexpr std::uint32_t peerTimeoutMaximum = 4000;
    // How long a connect waits for the host, and a leave for its goodbye.
    static constexpr std::chrono::milliseconds connectWait{5000};
    static constexpr std::chrono::milliseconds leaveWait{1000};
    // The most events one pump takes off the host: a flood waits for the
    // next step instead of stalling this one.
    static constexpr int eventsPerPump = 64;
    // Chat lines and ready toggles a guest may have relayed: a burst of this
    // many, then this many per second.
    static constexpr double linesPerGuestBurst = 8.0;
    static constexpr double linesPerGuestSecond = 4.0;

    NetSession();
    ~NetSession();
    NetSession(const NetSession&) = delete;
    NetSession& operator=(const NetSession&) = delete;

    // Initialises ENet and creates the host: four peers on port 30035 for a
    // server, one throttled peer for a client.
    void start();
    // Client handshake: starts connecting to the server and returns at once.
    // The pump sends the join message when the host answers; after five
    // seconds without an answer the client gives up and stays alone.
    void connect(const std::string& name, const std::string& hostAddress);
    bool connecting() const { return m_connecting; }

    // Leaves the game in an orderly way: says goodbye to every connection,
    // waits up to a second for the answers, then tears the session down.
    void leave();
    // A client whose host went away (a goodbye or a time-out); the war
    // screen shows it for a moment and then goes back to the menu.
    bool hostLost() const { return m_hostLost; }

    // True when the menu switched between Host and Connect since the host was
    // made; close() then drops the old connection and the lobby it held.
    bool roleChanged() const { return host != nullptr && hostIsServer != isHost; }
    // Drops the host and everything the lobby held, so that the next
    // "Connect" or "Host" starts clean.
    void close();

    // The first step of the networked war screen: the server opens the lobby
    // and takes seat 0, a client starts its host and connects.
    void openLobby();
    void joinLobby();

    // Takes every waiting event off the host without blocking; received
    // messages go to handleMessage. `afterEach` runs after each event taken
    // (the client's bubble correction hooks in there).
    // At most eventsPerPump events are taken in one call.
    template <typename AfterEach>
    void pump(AfterEach afterEach)
    {
        for (int taken = 0; host && taken < eventsPerPump && enet_host_service(host, &event, 0) > 0; ++taken) {
            switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT: onConnect(event.peer); break;
            case ENET_EVENT_TYPE_DISCONNECT: onDisconnect(event.peer); break;
            case ENET_EVENT_TYPE_RECEIVE:
                handleMessage(event);
                enet_packet_destroy(event.packet);
                event.packet = nullptr;
                break;
            default: break;
            }
            afterEach();
        }
        giveUpConnectingIfLate();
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
    // Server: every joined guest is ready (and there is at least one), so
    // the host's own ready key may start the round.
    bool guestsReady() const;
    // Server: the start of play with a random launch direction. Every seat
    // without a player is played by the computer.
    void sendStart();
    // Server, at the end of a round: seats that were joined during it get
    // their players back from the computer.
    void roundEnded();
    // Server: the periodic state of the aim points and the bubble.
    void sendGameState(float bubbleX, float bubbleY, float bubbleVX, float bubbleVY, std::int32_t step);
    // Server: a microbe burst it decided.
    void sendBurst(std::uint32_t microbeIndex, std::int32_t step);

    // A chat line wraps into rows of chatRowLength; a continued row is
    // indented, so no text can pass for a line of its own.
    static constexpr std::size_t chatRowLength = 72;
    void addChatLine(const std::string& line);
    // A diagnostic line goes to the log and to standard output.
    void addDiagnostic(const std::string& line);
    // Text from the wire or the settings file: control characters dropped,
    // cut to `longest` bytes.
    static std::string cleanText(const std::string& text, std::size_t longest);

    ENetAddress address{};
    ENetHost* host = nullptr;
    ENetPeer* peer = nullptr;
    ENetEvent event{};
    std::int32_t lastJoinSeat = 0;
    std::int32_t token = 0;
    std::int32_t localDevice = 10;  // the mouse
    bool active = false;
    bool isHost = false;
    std::uint32_t closings = 0;  // how often close() tore the session down
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
    void onConnect(ENetPeer* from);
    void onDisconnect(ENetPeer* from);
    void onGuestLeft(std::int32_t seat);
    void refuse(ENetPeer* from, const std::string& why);
    // A guest's allowance of relayed lines; false when it is spent.
    bool mayRelay(const ENetPeer* from);
    void giveUpConnectingIfLate();
    void sendNames();
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
    static std::int32_t seatOf(const ENetPeer* peer);
    const std::string& localName() const;
    const std::string& localVersion() const;

    bool hostIsServer = false;  // the role the current host was made for
    bool m_connecting = false;
    bool m_hostLost = false;
    std::chrono::steady_clock::time_point m_connectDeadline{};
    std::string m_hostName;  // the address a client connects to, as typed
    // Per connection slot of the server: the relay allowance and when it
    // was last topped up.
    struct Allowance {
        double lines = linesPerGuestBurst;
        std::chrono::steady_clock::time_point topped{};
    };
    std::array<Allowance, 4> m_allowance{};
};

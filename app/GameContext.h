// The one game-wide object: settings, sound, the hand-over between the menu and
// the game screens, and the counters the game screens share. Built first,
// destroyed last, passed by reference to every screen.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Texture.hpp>

#include "app/RequestedPage.h"
#include "app/Settings.h"
#include "app/Statistics.h"
#include "app/Version.h"
#include "audio/AudioPlayer.h"
#include "net/NetSession.h"
#include "screens/Course.h"

namespace sf {
class RenderWindow;
}


enum Difficulty : int { Casual = 0, Normal = 1, Hard = 2 };

// One player of the war game: the menu picks the device, the war screens aim
// from the seat's corner.
struct Seat {
    std::int32_t aimX = 512;
    std::int32_t aimY = 384;
    float aimAngle = 0.f;      // radians, for joystick and keyboard aiming
    std::int32_t device = 12;  // a computer player until the menu says otherwise
    float pivotX = 0.f;
    float pivotY = 0.f;
    bool ready = false;
    bool joined = false;
};

// The menu's request to watch a recorded round, for the replay screen.
struct ReplayRequest {
    bool pending = false;
    std::string path;
    int returnPage = PageRoundOver;  // the page to come back to
    std::size_t firstLevel = 0;      // a course's replay may start at its last level
};

struct GameContext {
    GameContext();

    // versions and mode selection
    std::string localVersion = networkVersionToken;
    int selectedMode = 2;
    std::deque<int> modeList;
    int modeIndex = 0;

    GameSettings settings;

    // hand-over between the menu and the game screens
    int difficulty = Casual;
    bool restartRequested = false;
    int requestedPage = PageMain;
    int coins = 0;
    int upgradeBits = 0;

    std::string latestVersion;
    bool newerVersionAvailable = false;

    // game-world counters shared by the game screens
    std::int32_t score = 0;
    std::int32_t throwCount = 0;
    std::uint32_t levelSeed = 0;
    std::int32_t totalMicrobes = 0;
    std::int32_t remainingMicrobes = 0;
    float remainingFraction = 1.f;
    float fastDamping = 8.0f;
    float cruiseDamping = 0.5f;
    float paddleTarget = 0.f;
    bool paused = false;
    bool comboTrail = true;
    int aimPulse = 0;

    Course course;
    ReplayRequest replayRequest;
    float cleanedPercent = 0.f;
    std::array<int, 4> warCounts{};
    // Players 1 to 4 in the corners: top left, top right, bottom left, bottom right.
    std::array<Seat, 4> seats{Seat{512, 384, 0.f, 12, 15.f, 107.f},
                              Seat{512, 384, 90.f, 12, 1009.f, 107.f},
                              Seat{512, 384, 225.f, 12, 15.f, 706.f},
                              Seat{512, 384, 135.f, 12, 1009.f, 706.f}};
    // The networked war's own seats, so that a network game never changes
    // the devices the local war's "Input Selection" page chose.
    std::array<Seat, 4> netSeats = seats;
    // The network endpoint of the networked war game; the "Network Setup"
    // page sets its role and the local player's device.
    NetSession net;

    // window sizes of the size option (index 0: the desktop)
    std::array<int, 8> windowWidths{0, 640, 800, 1024, 1280, 1366, 1600, 1920};
    std::array<int, 8> windowHeights{0, 480, 600, 768, 720, 768, 900, 1080};
    int desktopMarginX = 6;
    int desktopMarginY = 28;
    float aspect = 1.3333334f;
    sf::FloatRect viewport{0.f, 0.f, 0.f, 0.f};

    // off-screen pictures of the game screens; created once the window exists
    sf::RenderTexture fullScreenTexture;
    sf::RenderTexture dirtLayer;
    sf::Texture texture;

    AudioPlayer audio;
    StatisticsLog statistics;

    // The working directory's resources/ and settings, or an install's data
    // and the player's config directory (app/GameFiles.h).
    std::string settingsPrefix;
    std::string resourceDir = "resources/";

    sf::RenderWindow* window = nullptr;
    sf::RenderWindow* window2 = nullptr;
    bool pointerLocked = false;

    std::string modeDescription;
    std::string creditsText;
};

// The player's settings: kept in GameContext, mirrored in "settings.cfg".
#pragma once

#include <string>

struct GameContext;

struct GameSettings {
    int sizeIndex = 0;           // 0 desktop, 1..7 the size table
    int windowWidth = 0;         // computed from sizeIndex
    int windowHeight = 0;
    int depthBits = 32;
    int antialiasingLevel = 4;
    int tutorialPlayed = 0;
    bool lockMouse = false;
    bool autoPause = true;
    bool vsync = true;
    bool showMouse = true;
    bool particles = false;
    int sensitivityIndex = 0;
    float sensitivity = 4096.f;  // divisor of the mouse paddle's pull to the centre
    int inputDevice = 10;        // 0..3 joystick, 10 mouse, 11 keyboard, 12 computer
    int storedValue = 1000;      // kept and written back untouched
    int velocityIterations = 3;
    int positionIterations = 3;
    std::string playerName;
    std::string hostAddress;
    bool symbols = false;        // colour-blind symbols inside the microbes
};

// Input device codes shared by the menu, the settings and the game screens.
enum InputDevice : int {
    DeviceJoystick1 = 0,
    DeviceJoystick4 = 3,
    DeviceMouse = 10,
    DeviceKeyboard = 11,
    DeviceComputer = 12,
    DeviceRemote = 13,
};

extern const float sensitivityTable[10];

void loadSettings(GameContext& ctx);
void saveSettings(GameContext& ctx);
void applyWindowSize(GameContext& ctx);

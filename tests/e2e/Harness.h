// Runs the real game binary as a player would: in a fresh working directory,
// on the X display of the test run, driven by xdotool, watched through its
// standard output and screenshots.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <SFML/Graphics/Image.hpp>

namespace e2e {

struct LaunchOptions {
    bool withResources = true;
    // Contents of settings.cfg; empty means no file.
    std::string settings;
    // Extra environment entries, "NAME=value".
    std::vector<std::string> environment;
    // The game to start; empty means the one this build made.
    std::string binary;
};

// A settings file for a 1024 x 768 window (so window pixels are logical
// pixels), effects on, auto pause off, the given input device.
std::string windowedSettings(int inputDevice = 10, bool autoPause = false);

// A start with resources and the windowed settings above.
LaunchOptions windowed();

class GameProcess {
public:
    explicit GameProcess(const LaunchOptions& options = {});
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    const std::string& directory() const { return m_dir; }
    std::string output() const;
    // Waits until standard output holds the text.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // The game window's id, once it is mapped (0 when it never appears).
    unsigned long window();

    void moveMouse(int x, int y);
    void click(int x, int y, int button = 1);
    void key(const std::string& keysym);
    void pause(std::chrono::milliseconds time);
    sf::Image screenshot();
    // Raises and focuses the window, for tests that run more than one game.
    void bringToFront();
    // Asks the window to close, as the title bar's close button does.
    void closeWindow();
    // The exit status, or -1 when the game did not end in time.
    int waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(15));
    // Ends the game at once, as a crash or a pulled plug would: no goodbye.
    void killNow();
    bool running();

private:
    int m_pid = -1;
    int m_status = -1;
    bool m_exited = false;
    unsigned long m_window = 0;
    std::string m_dir;
};

// Runs a command line without a shell, returns its exit status.
int runCommand(const std::vector<std::string>& argv, std::string* output = nullptr);

// Share of pixels in the image brighter than a small threshold.
double litShare(const sf::Image& image);

}  // namespace e2e

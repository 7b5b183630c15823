#include "app/platform.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include <SFML/Window/VideoMode.hpp>
#include <SFML/Window/Window.hpp>

extern char** environ;

namespace platform {

sf::Vector2i desktopSize()
{
    const sf::VideoMode mode = sf::VideoMode::getDesktopMode();
    return {static_cast<int>(mode.width), static_cast<int>(mode.height)};
}

void lockPointer(sf::Window& window, bool locked)
{
    window.setMouseCursorGrabbed(locked);
}

void openUrl(const std::string& url)
{
    if (url.empty())
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string program = "xdg-open";
    std::string argument = url;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", &actions, nullptr, argv, environ) == 0) {
        // Reap it in the background so no zombie is left behind.
        std::thread([pid] {
            int status = 0;
            waitpid(pid, &status, 0);
        }).detach();
    }
    posix_spawn_file_actions_destroy(&actions);
}

}  // namespace platform

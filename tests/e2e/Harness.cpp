#include "Harness.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

namespace e2e {

namespace {

// Windows of the games this test run has started and not yet ended: all
// are called "Frothlet", so a new game's window is the one nobody has claimed.
std::set<unsigned long>& claimedWindows()
{
    static std::set<unsigned long> windows;
    return windows;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    for (std::string& s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

std::string makeTempDir()
{
    std::string pattern = (fs::temp_directory_path() / "frothlet-e2e-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return {};
    return pattern;
}

}  // namespace

std::string windowedSettings(int inputDevice, bool autoPause)
{
    std::ostringstream s;
    s << "3\n1024\n768\n32\n4\n50\n0\n1\n0\n" << (autoPause ? 1 : 0) << "\n1\n1\n1\n0\n"
      << inputDevice << "\n1000\n3\n3\nTester\n\n";
    return s.str();
}

LaunchOptions windowed()
{
    LaunchOptions options;
    options.settings = windowedSettings();
    return options;
}

int runCommand(const std::vector<std::string>& argv, std::string* output)
{
    std::vector<std::string> args = argv;
    std::vector<char*> raw = pointers(args);
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, raw[0], &actions, nullptr, raw.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string text;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    if (output)
        *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

GameProcess::GameProcess(const LaunchOptions& options) : m_dir(makeTempDir())
{
    if (options.withResources)
        fs::copy(FROTHLET_RESOURCES, fs::path(m_dir) / "resources", fs::copy_options::recursive);
    if (!options.settings.empty())
        std::ofstream(fs::path(m_dir) / "settings.cfg", std::ios::binary) << options.settings;

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    bool hasAudioDriver = false;
    for (const std::string& extra : options.environment) {
        // A test's own entry replaces one inherited under the same name.
        const std::string name = extra.substr(0, extra.find('=') + 1);
        std::erase_if(env, [&](const std::string& e) { return e.rfind(name, 0) == 0; });
        env.push_back(extra);
        hasAudioDriver = hasAudioDriver || extra.rfind("ALSOFT_", 0) == 0;
    }
    if (!hasAudioDriver)
        env.emplace_back("ALSOFT_DRIVERS=null");
    std::vector<char*> envp = pointers(env);
    const std::string binary = options.binary.empty() ? FROTHLET_BINARY : options.binary;
    std::vector<std::string> args{binary};
    std::vector<char*> argv = pointers(args);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, m_dir.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (m_dir + "/stdout.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (m_dir + "/stderr.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    if (posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0)
        m_pid = pid;
    posix_spawn_file_actions_destroy(&actions);
}

GameProcess::~GameProcess()
{
    claimedWindows().erase(m_window);
    if (running()) {
        kill(m_pid, SIGKILL);
        waitForExit(std::chrono::seconds(5));
    }
    std::error_code ignored;
    if (!std::getenv("FROTHLET_KEEP_E2E"))
        fs::remove_all(m_dir, ignored);
}

std::string GameProcess::output() const
{
    std::ifstream in(m_dir + "/stdout.txt", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool GameProcess::waitForOutput(const std::string& text, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (output().find(text) != std::string::npos)
            return true;
        if (!running())
            return output().find(text) != std::string::npos;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

unsigned long GameProcess::window()
{
    if (m_window)
        return m_window;
    for (int attempt = 0; attempt < 200 && running(); ++attempt) {
        std::string out;
        runCommand({"xdotool", "search", "--onlyvisible", "--name", "^Frothlet$"}, &out);
        std::istringstream found(out);
        unsigned long id = 0;
        while (found >> id && claimedWindows().count(id) != 0)
            id = 0;
        if (id != 0) {
            m_window = id;
            claimedWindows().insert(id);
            runCommand({"xdotool", "windowmove", std::to_string(m_window), "0", "0"});
            runCommand({"xdotool", "windowfocus", std::to_string(m_window)});
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            return m_window;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
}

void GameProcess::moveMouse(int x, int y)
{
    runCommand({"xdotool", "mousemove", "--window", std::to_string(window()), std::to_string(x), std::to_string(y)});
}

void GameProcess::click(int x, int y, int button)
{
    moveMouse(x, y);
    pause(std::chrono::milliseconds(100));
    runCommand({"xdotool", "click", std::to_string(button)});
    pause(std::chrono::milliseconds(150));
}

void GameProcess::key(const std::string& keysym)
{
    runCommand({"xdotool", "key", "--window", std::to_string(window()), keysym});
    pause(std::chrono::milliseconds(150));
}

void GameProcess::pause(std::chrono::milliseconds time)
{
    std::this_thread::sleep_for(time);
}

void GameProcess::bringToFront()
{
    const std::string id = std::to_string(window());
    runCommand({"xdotool", "windowraise", id});
    runCommand({"xdotool", "windowfocus", id});
    // A frame or two to draw what was hidden.
    pause(std::chrono::milliseconds(300));
}

sf::Image GameProcess::screenshot()
{
    // With two games on the display the other one may cover this window.
    if (claimedWindows().size() > 1)
        bringToFront();
    const std::string file = m_dir + "/shot.png";
    runCommand({"import", "-window", std::to_string(window()), file});
    sf::Image image;
    image.loadFromFile(file);
    return image;
}

void GameProcess::closeWindow()
{
    const unsigned long id = window();
    Display* display = XOpenDisplay(nullptr);
    if (!display || !id)
        return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = id;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", True);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, id, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
}

bool GameProcess::running()
{
    if (m_pid <= 0 || m_exited)
        return false;
    int status = 0;
    const pid_t r = waitpid(m_pid, &status, WNOHANG);
    if (r == m_pid) {
        m_exited = true;
        // Its window is gone, and the server may hand the same id to the next game.
        claimedWindows().erase(m_window);
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return r == 0;
}

int GameProcess::waitForExit(std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (!running())
            return m_exited ? m_status : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
}

void GameProcess::killNow()
{
    if (!running())
        return;
    kill(m_pid, SIGKILL);
    waitForExit(std::chrono::seconds(5));
}

double litShare(const sf::Image& image)
{
    const sf::Vector2u size = image.getSize();
    if (size.x == 0 || size.y == 0)
        return 0.0;
    std::size_t lit = 0;
    for (unsigned y = 0; y < size.y; y += 2)
        for (unsigned x = 0; x < size.x; x += 2) {
            const sf::Color c = image.getPixel(x, y);
            if (c.r + c.g + c.b > 24)
                ++lit;
        }
    return static_cast<double>(lit) / static_cast<double>(((size.x + 1) / 2) * ((size.y + 1) / 2));
}

}  // namespace e2e

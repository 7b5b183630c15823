// "settings.cfg": twenty lines, one value a line. Read once at start-up,
// rewritten whole after every change the player makes in the menu.
#include "app/Settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <SFML/Graphics/RenderWindow.hpp>

#include "app/GameContext.h"
#include "app/Viewport.h"
#include "app/platform.h"

const float sensitivityTable[10] = {4096.f, 1024.f, 512.f, 256.f, 10.f,
                                    5.f,    1.f,    0.9f,  0.8f,  0.7f};

namespace {

const char* const settingsFileName = "settings.cfg";

// The numeric lines 1 to 18, by position in the file.
enum NumberLine : int {
    LineSizeIndex,
    LineTableWidth,
    LineTableHeight,
    LineDepthBits,
    LineAntialiasing,
    LineSoundVolume,
    LineMusicVolume,
    LineTutorialPlayed,
    LineLockMouse,
    LineAutoPause,
    LineVsync,
    LineShowMouse,
    LineParticles,
    LineSensitivityIndex,
    LineInputDevice,
    LineStoredValue,
    LineVelocityIterations,
    LinePositionIterations,
    NumberLineCount
};

// The file's contents as written, before any of it reaches the game.
struct SettingsRecord {
    std::array<int, NumberLineCount> numbers{};
    std::string playerName;
    std::string hostAddress;
};

constexpr int sizeCount = 8;
constexpr int sensitivityCount = 10;
constexpr int defaultSoundVolume = 50;
constexpr int defaultMusicVolume = 0;
// Fewer than one solver pass does nothing; many more stall every world step.
constexpr int minIterations = 1;
// The longest host name DNS allows.
constexpr std::size_t longestHostAddress = 253;
constexpr int maxIterations = 50;

bool isSizeIndex(int index)
{
    return index >= 0 && index < sizeCount;
}

// The window size of a size choice as the file records it: the desktop
// choice writes 0 x 0, since the desktop decides it at every start.
sf::Vector2i tableSize(const GameContext& ctx, int sizeIndex)
{
    if (!isSizeIndex(sizeIndex))
        return {0, 0};
    return {ctx.windowWidths[sizeIndex], ctx.windowHeights[sizeIndex]};
}

SettingsRecord recordOf(const GameSettings& s, int soundVolume, int musicVolume,
                        sf::Vector2i sizeInTable)
{
    SettingsRecord record;
    record.numbers = {s.sizeIndex,     sizeInTable.x,       sizeInTable.y,
                      32,              4,                   soundVolume,
                      musicVolume,     s.tutorialPlayed,    s.lockMouse,
                      s.autoPause,     s.vsync,             s.showMouse,
                      s.particles,     s.sensitivityIndex,  s.inputDevice,
                      s.storedValue,   s.velocityIterations, s.positionIterations};
    record.playerName = s.playerName;
    record.hostAddress = s.hostAddress;
    return record;
}

// What a first start without a file gets; also what a damaged file falls
// back to from the first value that fails to parse.
SettingsRecord defaultRecord()
{
    return recordOf(GameSettings{}, defaultSoundVolume, defaultMusicVolume, {0, 0});
}

SettingsRecord recordOf(const GameContext& ctx)
{
    // Volumes are stored as whole numbers, truncated toward zero; the music's
    // is the player's choice, never the level of a fade under way.
    return recordOf(ctx.settings, static_cast<int>(ctx.audio.soundVolume()),
                    static_cast<int>(ctx.audio.chosenMusicVolume()),
                    tableSize(ctx, ctx.settings.sizeIndex));
}

// Reads over `record`: the values up to the first one that fails to parse
// replace the record's, that one and all later ones stay as they were.
SettingsRecord readRecord(std::istream& in, SettingsRecord record)
{
    for (int& number : record.numbers) {
        int value = 0;
        if (!(in >> value))
            return record;
        number = value;
    }
    std::string restOfLastNumber;
    std::getline(in, restOfLastNumber);
    // Names are whole lines, spaces and all; a missing line leaves them empty.
    std::getline(in, record.playerName);
    std::getline(in, record.hostAddress);
    return record;
}

std::string formatRecord(const SettingsRecord& record)
{
    std::string text;
    for (int number : record.numbers)
        text += std::to_string(number) + '\n';
    text += record.playerName + '\n';
    text += record.hostAddress + '\n';
    return text;
}

// Window size for the size choice; any choice outside the table means the
// desktop, less room for the window frame and title bar.
sf::Vector2i windowSizeFor(const GameContext& ctx)
{
    const int index = ctx.settings.sizeIndex;
    if (index > 0 && index < sizeCount)
        return tableSize(ctx, index);
    const sf::Vector2i desktop = platform::desktopSize();
    return {desktop.x - ctx.desktopMarginX, desktop.y - ctx.desktopMarginY};
}

void fitWindowToSizeIndex(GameContext& ctx)
{
    const sf::Vector2i size = windowSizeFor(ctx);
    ctx.settings.windowWidth = size.x;
    ctx.settings.windowHeight = size.y;
    ctx.viewport = viewportFor(size.x, size.y);
}

void applyVolumes(GameContext& ctx, const SettingsRecord& record)
{
    const auto volume = [&](NumberLine line) {
        return static_cast<float>(std::clamp(record.numbers[line], 0, 100));
    };
    // The music first, so the menu tune already plays at the saved level.
    ctx.audio.setMusicVolume(volume(LineMusicVolume), true);
    ctx.audio.setSoundVolume(volume(LineSoundVolume));
}

// Values the menu would never produce are pulled back into range, so a
// hand-edited or damaged file can't index past a table or stall the physics.
void applyRecord(GameContext& ctx, const SettingsRecord& record, bool fileRead)
{
    const auto& n = record.numbers;
    GameSettings& s = ctx.settings;
    s.sizeIndex = isSizeIndex(n[LineSizeIndex]) ? n[LineSizeIndex] : 0;
    fitWindowToSizeIndex(ctx);
    // The window's context settings are unsigned: keep them to what a card offers.
    s.depthBits = std::clamp(n[LineDepthBits], 0, 32);
    s.antialiasingLevel = std::clamp(n[LineAntialiasing], 0, 16);
    // Without a file no volume is handed over: the menu tune keeps the sound
    // library's full volume on a first start.
    if (fileRead)
        applyVolumes(ctx, record);
    // A name is a short line of plain text however long the file's line is.
    s.playerName = NetSession::cleanText(record.playerName, NetSession::longestName);
    s.hostAddress = NetSession::cleanText(record.hostAddress, longestHostAddress);
    s.tutorialPlayed = n[LineTutorialPlayed];
    s.lockMouse = n[LineLockMouse] != 0;
    s.autoPause = n[LineAutoPause] != 0;
    s.vsync = n[LineVsync] != 0;
    s.showMouse = n[LineShowMouse] != 0;
    s.particles = n[LineParticles] != 0;
    s.sensitivityIndex = std::clamp(n[LineSensitivityIndex], 0, sensitivityCount - 1);
    s.sensitivity = sensitivityTable[s.sensitivityIndex];
    // Kept as read: a code no device answers to (the computer's among them)
    // leaves the paddle where it is, and the menu cycles on from it.
    s.inputDevice = n[LineInputDevice];
    s.storedValue = n[LineStoredValue];
    s.velocityIterations = std::clamp(n[LineVelocityIterations], minIterations, maxIterations);
    s.positionIterations = std::clamp(n[LinePositionIterations], minIterations, maxIterations);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    bool valid() const { return m_fd >= 0; }
    int get() const { return m_fd; }

    // Closing can report a write that failed late (on some file systems).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, const std::string& text)
{
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += static_cast<std::size_t>(count);
    }
    return true;
}

// True only once the text is on the disk, not merely in the page cache.
bool writeDurably(const std::string& path, const std::string& text)
{
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    return file.valid() && writeAll(file.get(), text) && ::fsync(file.get()) == 0 &&
           file.close();
}

// Makes the rename itself survive a power cut. Failing here is harmless:
// the new file is already in place for this run.
void syncDirectoryOf(const std::string& path)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::filesystem::path directory = parent.empty() ? std::filesystem::path(".") : parent;
    FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
}

// The old file is only ever replaced by a complete new one, so a crash or a
// full disk in the middle of a save never costs the player their settings.
bool replaceFile(const std::string& path, const std::string& text)
{
    const std::string temporary = path + ".tmp";
    if (!writeDurably(temporary, text) || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncDirectoryOf(path);
    return true;
}

}  // namespace

void loadSettings(GameContext& ctx)
{
    // No file reads as a file whose first value is missing: all defaults.
    std::ifstream file(ctx.settingsPrefix + settingsFileName);
    applyRecord(ctx, readRecord(file, defaultRecord()), file.is_open());
}

void saveSettings(GameContext& ctx)
{
    // A save that fails keeps the change in memory for this run, silently.
    replaceFile(ctx.settingsPrefix + settingsFileName, formatRecord(recordOf(ctx)));
}

void applyWindowSize(GameContext& ctx)
{
    fitWindowToSizeIndex(ctx);
    if (ctx.window == nullptr)
        return;
    ctx.window->setPosition({0, 0});
    ctx.window->setSize({static_cast<unsigned>(ctx.settings.windowWidth),
                         static_cast<unsigned>(ctx.settings.windowHeight)});
}

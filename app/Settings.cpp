// "settings.cfg": twenty lines, one value a line, and the symbols flag as a
// 21st. Read once at start-up, rewritten whole after every change the
// player makes in the menu.
#include "app/Settings.h"


#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <string>

#include <SFML/Graphics/RenderWindow.hpp>

#include "app/GameContext.h"
#include "app/Viewport.h"
#include "app/platform.h"
#include "world/SafeFile.h"

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
    // Line 21, after the twenty lines of the original layout: a file
    // without it (or with a damaged one) reads as Off.
    bool symbols = false;
};

constexpr int sizeCount = 8;
constexpr int sensitivityCount = 10;
constexpr int defaultSoundVolume = 50;
constexpr int defaultMusicVolume = 0;
// Fewer than one solver pass does nothing; many more stall every world step.
constexpr int minIterations = 1;
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
    record.symbols = s.symbols;
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

// A flag on a line of its own: a whole number, nonzero meaning On; anything
// else (an empty or damaged line) means Off.
bool flagLine(const std::string& line)
{
    int value = 0;
    const char* end = line.data() + line.size();
    const auto [stop, error] = std::from_chars(line.data(), end, value);
    return error == std::errc() && stop == end && value != 0;
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
    std::string symbolsLine;
    std::getline(in, symbolsLine);
    record.symbols = flagLine(symbolsLine);
    return record;
}

std::string formatRecord(const SettingsRecord& record)
{
    std::string text;
    for (int number : record.numbers)
        text += std::to_string(number) + '\n';
    text += record.playerName + '\n';
    text += record.hostAddress + '\n';
    text += record.symbols ? "1\n" : "0\n";
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
    s.playerName = record.playerName;
    s.hostAddress = record.hostAddress;
    s.symbols = record.symbols;
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
    replaceFileSafely(ctx.settingsPrefix + settingsFileName, formatRecord(recordOf(ctx)));
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

// The settings file on a real disk: each test gets its own empty directory.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Context.hpp>
#include <gtest/gtest.h>

#include "app/GameContext.h"
#include "app/Settings.h"
#include "app/Viewport.h"
#include "app/platform.h"

namespace fs = std::filesystem;

namespace {

// A file the menu could have written, every value away from its default so a
// value that was not read shows up.
const std::vector<std::string> sampleLines = {
    "3", "1024", "768", "32", "4", "80", "40", "1", "1", "0",
    "0", "0", "1", "5", "11", "999", "8", "6", "Dr Froth", "127.0.0.1",
};

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    return text;
}

std::vector<std::string> sampleWith(int lineNumber, const std::string& text)
{
    std::vector<std::string> lines = sampleLines;
    lines[lineNumber - 1] = text;
    return lines;
}

std::vector<std::string> firstSampleLines(int count)
{
    return {sampleLines.begin(), sampleLines.begin() + count};
}

sf::Vector2i desktopMinusMargins()
{
    const sf::Vector2i desktop = platform::desktopSize();
    return {desktop.x - 6, desktop.y - 28};
}

void expectWindow(const GameContext& ctx, sf::Vector2i size)
{
    EXPECT_EQ(ctx.settings.windowWidth, size.x);
    EXPECT_EQ(ctx.settings.windowHeight, size.y);
    EXPECT_EQ(ctx.viewport, viewportFor(size.x, size.y));
}

class SettingsTest : public ::testing::Test {
protected:
    // Xvfb resets itself whenever its last client leaves, and a context built
    // during that reset cannot open the display; one connection held for the
    // whole suite keeps the server up between tests.
    static void SetUpTestSuite() { s_display = std::make_unique<sf::Context>(); }
    static void TearDownTestSuite() { s_display.reset(); }

    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "frothlet-settings-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_directory = pattern;
        ctx = freshContext();
    }

    void TearDown() override { fs::remove_all(m_directory); }

    std::unique_ptr<GameContext> freshContext() const
    {
        auto context = std::make_unique<GameContext>();
        context->settingsPrefix = m_directory + "/";
        return context;
    }

    // A new start of the game reading what the last one saved.
    std::unique_ptr<GameContext> restart() const
    {
        auto context = freshContext();
        loadSettings(*context);
        return context;
    }

    std::string filePath() const { return m_directory + "/settings.cfg"; }

    void writeFile(const std::string& text) const
    {
        std::ofstream(filePath(), std::ios::binary) << text;
    }

    std::string readFile() const
    {
        std::ifstream file(filePath(), std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::vector<std::string> fileLines() const
    {
        std::istringstream text(readFile());
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }

    static inline std::unique_ptr<sf::Context> s_display;
    std::string m_directory;
    std::unique_ptr<GameContext> ctx;
};

TEST_F(SettingsTest, FirstStartWithoutFileUsesDesktopAndDefaultVolumes)
{
    loadSettings(*ctx);

    expectWindow(*ctx, desktopMinusMargins());
    EXPECT_EQ(ctx->audio.soundVolume(), 50.f);
    EXPECT_EQ(ctx->audio.musicVolume(), 0.f);
    EXPECT_EQ(ctx->audio.menuTuneVolume(), 100.f) << "no volume is handed to the menu tune without a file";
    EXPECT_TRUE(ctx->settings.vsync);
    EXPECT_TRUE(ctx->settings.showMouse);
    EXPECT_EQ(ctx->settings.depthBits, 32);
    EXPECT_EQ(ctx->settings.antialiasingLevel, 4);
    EXPECT_FALSE(fs::exists(filePath())) << "loading never creates the file";
}

TEST_F(SettingsTest, DesktopChoiceStoresZeroSizeAndIgnoresStoredSizeOnLoad)
{
    ctx->settings.sizeIndex = 0;
    saveSettings(*ctx);
    const std::vector<std::string> lines = fileLines();
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[1], "0");
    EXPECT_EQ(lines[2], "0");

    // Lines 2 and 3 are never trusted: the desktop decides at every start.
    std::vector<std::string> stale = sampleWith(1, "0");
    stale[1] = "640";
    stale[2] = "480";
    writeFile(joinLines(stale));
    expectWindow(*restart(), desktopMinusMargins());
}

TEST_F(SettingsTest, NameAndHostWithSpacesSurviveWhole)
{
    std::vector<std::string> lines = sampleWith(19, "  Dr  Froth the 3rd ");
    lines[19] = "my host . lan";
    writeFile(joinLines(lines));

    const auto loaded = restart();
    EXPECT_EQ(loaded->settings.playerName, "  Dr  Froth the 3rd ");
    EXPECT_EQ(loaded->settings.hostAddress, "my host . lan");

    saveSettings(*loaded);
    lines.push_back("0");  // the symbols line, off
    EXPECT_EQ(readFile(), joinLines(lines)) << "saved back byte for byte";
}

TEST_F(SettingsTest, FileEndingAfterLine18GivesEmptyNameAndHost)
{
    writeFile(joinLines(firstSampleLines(18)));
    ctx->settings.playerName = "left over";
    ctx->settings.hostAddress = "left over";

    loadSettings(*ctx);

    EXPECT_EQ(ctx->settings.playerName, "");
    EXPECT_EQ(ctx->settings.hostAddress, "");
    EXPECT_EQ(ctx->settings.positionIterations, 6) << "line 18 itself is still read";
}

TEST_F(SettingsTest, AnyNonzeroFlagIsOnAndIsSavedAsOne)
{
    writeFile(joinLines(sampleWith(11, "2")));
    loadSettings(*ctx);
    EXPECT_TRUE(ctx->settings.vsync);

    saveSettings(*ctx);
    EXPECT_EQ(fileLines().at(10), "1");
}

TEST_F(SettingsTest, EveryStoredFieldSurvivesASaveAndARestart)
{
    GameSettings& s = ctx->settings;
    s.sizeIndex = 4;
    s.tutorialPlayed = 1;
    s.lockMouse = true;
    s.autoPause = false;
    s.vsync = false;
    s.showMouse = false;
    s.particles = true;
    s.sensitivityIndex = 7;
    s.inputDevice = DeviceKeyboard;
    s.storedValue = 1234;
    s.velocityIterations = 12;
    s.positionIterations = 9;
    s.playerName = "Ana Maria";
    s.hostAddress = "127.0.0.1";
    ctx->audio.setSoundVolume(73.9f);
    ctx->audio.setMusicVolume(12.f, false);

    saveSettings(*ctx);
    const auto loaded = restart();
    const GameSettings& r = loaded->settings;

    expectWindow(*loaded, {1280, 720});
    EXPECT_EQ(loaded->viewport, sf::FloatRect(0.125f, 0.f, 0.75f, 1.f));
    EXPECT_EQ(loaded->audio.soundVolume(), 73.f) << "volumes are stored truncated";
    EXPECT_EQ(loaded->audio.musicVolume(), 12.f);
    EXPECT_EQ(r.sizeIndex, 4);
    EXPECT_EQ(r.tutorialPlayed, 1);
    EXPECT_TRUE(r.lockMouse);
    EXPECT_FALSE(r.autoPause);
    EXPECT_FALSE(r.vsync);
    EXPECT_FALSE(r.showMouse);
    EXPECT_TRUE(r.particles);
    EXPECT_EQ(r.sensitivityIndex, 7);
    EXPECT_EQ(r.sensitivity, 0.9f);
    EXPECT_EQ(r.inputDevice, DeviceKeyboard);
    EXPECT_EQ(r.storedValue, 1234);
    EXPECT_EQ(r.velocityIterations, 12);
    EXPECT_EQ(r.positionIterations, 9);
    EXPECT_EQ(r.playerName, "Ana Maria");
    EXPECT_EQ(r.hostAddress, "127.0.0.1");

    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(m_directory))
        files.insert(entry.path().filename().string());
    EXPECT_EQ(files, std::set<std::string>{"settings.cfg"}) << "no temporary file is left behind";
}

TEST_F(SettingsTest, SymbolsAreATwentyFirstLineThatOlderFilesReadAsOff)
{
    // A file of the twenty lines loads as before, with the symbols off, and
    // the next save writes the same twenty lines with the new one after them.
    writeFile(joinLines(sampleLines));
    auto loaded = restart();
    EXPECT_FALSE(loaded->settings.symbols);
    EXPECT_EQ(loaded->settings.playerName, "Dr Froth");
    EXPECT_EQ(loaded->settings.hostAddress, "127.0.0.1");
    saveSettings(*loaded);
    std::vector<std::string> expected = sampleLines;
    expected.push_back("0");
    EXPECT_EQ(fileLines(), expected);

    loaded->settings.symbols = true;
    saveSettings(*loaded);
    expected.back() = "1";
    EXPECT_EQ(fileLines(), expected);
    EXPECT_TRUE(restart()->settings.symbols);

    struct Line21 {
        std::string text;
        bool on;
    };
    for (const Line21& row : {Line21{"1", true}, Line21{"0", false}, Line21{"2", true}, Line21{"", false},
                              Line21{"On", false}, Line21{"1x", false}, Line21{" ", false},
                              Line21{std::string("\0", 1), false}, Line21{"99999999999999999999", false}}) {
        std::vector<std::string> lines = sampleLines;
        lines.push_back(row.text);
        writeFile(joinLines(lines));
        loaded = restart();
        EXPECT_EQ(loaded->settings.symbols, row.on) << "line 21: \"" << row.text << "\"";
        EXPECT_EQ(loaded->settings.hostAddress, "127.0.0.1") << "the twenty lines are read as before";
    }
}

TEST_F(SettingsTest, DamagedFileKeepsDefaultsFromTheFirstBadValue)
{
    struct Damaged {
        const char* what;
        std::string text;
        int sizeIndex;  // what was read before the damage
        float soundVolume;
        float musicVolume;
    };
    const std::vector<Damaged> table = {
        {"empty file", "", 0, 50.f, 0.f},
        {"words", "froth\nbubbles\n", 0, 50.f, 0.f},
        {"binary bytes", std::string("\0\xff\x10\n\x7f", 5), 0, 50.f, 0.f},
        {"number too large", "99999999999999999999\n", 0, 50.f, 0.f},
        {"cut off inside line 3", "3\n1024\n76", 3, 50.f, 0.f},
        {"cut off after line 6", joinLines(firstSampleLines(6)), 3, 80.f, 0.f},
        {"word on line 7", joinLines(sampleWith(7, "loud")), 3, 80.f, 0.f},
    };
    const GameSettings defaults;
    for (const Damaged& row : table) {
        SCOPED_TRACE(row.what);
        writeFile(row.text);
        const auto loaded = restart();
        const GameSettings& s = loaded->settings;

        EXPECT_EQ(s.sizeIndex, row.sizeIndex);
        expectWindow(*loaded, row.sizeIndex == 0 ? desktopMinusMargins() : sf::Vector2i(1024, 768));
        EXPECT_EQ(loaded->audio.soundVolume(), row.soundVolume);
        EXPECT_EQ(loaded->audio.musicVolume(), row.musicVolume);
        EXPECT_EQ(s.depthBits, 32);
        EXPECT_EQ(s.antialiasingLevel, 4);
        EXPECT_EQ(s.tutorialPlayed, defaults.tutorialPlayed);
        EXPECT_EQ(s.lockMouse, defaults.lockMouse);
        EXPECT_EQ(s.autoPause, defaults.autoPause);
        EXPECT_EQ(s.vsync, defaults.vsync);
        EXPECT_EQ(s.showMouse, defaults.showMouse);
        EXPECT_EQ(s.particles, defaults.particles);
        EXPECT_EQ(s.sensitivityIndex, defaults.sensitivityIndex);
        EXPECT_EQ(s.sensitivity, defaults.sensitivity);
        EXPECT_EQ(s.inputDevice, defaults.inputDevice);
        EXPECT_EQ(s.storedValue, defaults.storedValue);
        EXPECT_EQ(s.velocityIterations, defaults.velocityIterations);
        EXPECT_EQ(s.positionIterations, defaults.positionIterations);
        EXPECT_EQ(s.playerName, defaults.playerName);
        EXPECT_EQ(s.hostAddress, defaults.hostAddress);
    }
}

TEST_F(SettingsTest, OutOfRangeValuesArePulledIntoRange)
{
    using Read = float (*)(const GameContext&);
    const Read sizeIndex = [](const GameContext& c) { return float(c.settings.sizeIndex); };
    const Read windowWidth = [](const GameContext& c) { return float(c.settings.windowWidth); };
    const Read sound = [](const GameContext& c) { return c.audio.soundVolume(); };
    const Read music = [](const GameContext& c) { return c.audio.musicVolume(); };
    const Read sensitivityIndex = [](const GameContext& c) {
        return float(c.settings.sensitivityIndex);
    };
    const Read sensitivity = [](const GameContext& c) { return c.settings.sensitivity; };
    const Read velocity = [](const GameContext& c) { return float(c.settings.velocityIterations); };
    const Read position = [](const GameContext& c) { return float(c.settings.positionIterations); };
    const Read depth = [](const GameContext& c) { return float(c.settings.depthBits); };
    const Read antialiasing = [](const GameContext& c) { return float(c.settings.antialiasingLevel); };
    const Read device = [](const GameContext& c) { return float(c.settings.inputDevice); };
    const Read tutorial = [](const GameContext& c) { return float(c.settings.tutorialPlayed); };
    const float desktopWidth = float(desktopMinusMargins().x);

    struct OutOfRange {
        int line;
        const char* text;
        Read read;
        float expected;
    };
    const std::vector<OutOfRange> table = {
        {1, "8", sizeIndex, 0.f},         {1, "-1", sizeIndex, 0.f},
        {1, "9", windowWidth, desktopWidth},
        {6, "150", sound, 100.f},         {6, "-5", sound, 0.f},
        {7, "101", music, 100.f},         {7, "-1", music, 0.f},
        {14, "10", sensitivityIndex, 9.f}, {14, "10", sensitivity, 0.7f},
        {14, "-3", sensitivity, 4096.f},
        {17, "0", velocity, 1.f},         {17, "-4", velocity, 1.f},
        {17, "2000000000", velocity, 50.f},
        {18, "0", position, 1.f},         {18, "51", position, 50.f},
        {4, "-8", depth, 0.f},            {5, "-1", antialiasing, 0.f},
        {5, "4096", antialiasing, 16.f},  {8, "7", tutorial, 7.f},
        {15, "12", device, 12.f},         {15, "-2", device, -2.f},
        {15, "11", device, 11.f},
    };
    for (const OutOfRange& row : table) {
        SCOPED_TRACE("line " + std::to_string(row.line) + " holding " + row.text);
        writeFile(joinLines(sampleWith(row.line, row.text)));
        EXPECT_EQ(row.read(*restart()), row.expected);
    }
}

TEST_F(SettingsTest, FailedSaveLeavesThePreviousFileIntact)
{
    // Both tricks work for root too, which ignores read-only directories.
    struct Failure {
        const char* what;
        void (*breakTemporaryPath)(const fs::path&);
    };
    const std::vector<Failure> table = {
        {"temporary path taken by a directory", [](const fs::path& p) { fs::create_directory(p); }},
        {"disk full", [](const fs::path& p) { fs::create_symlink("/dev/full", p); }},
    };
    ctx->settings.playerName = "before";
    saveSettings(*ctx);
    const std::string before = readFile();
    ASSERT_FALSE(before.empty());

    for (const Failure& row : table) {
        SCOPED_TRACE(row.what);
        const fs::path temporary = filePath() + ".tmp";
        row.breakTemporaryPath(temporary);
        ctx->settings.playerName = "after";
        ctx->audio.setSoundVolume(90.f);

        testing::internal::CaptureStdout();
        saveSettings(*ctx);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

        // Never read through a link to /dev/full: it has no end.
        ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(filePath())));
        EXPECT_EQ(readFile(), before);
        EXPECT_EQ(ctx->settings.playerName, "after") << "the change stays for this run";
        EXPECT_EQ(ctx->audio.soundVolume(), 90.f);
        std::error_code ignored;
        fs::remove(temporary, ignored);
    }
}

TEST_F(SettingsTest, SizeChangeResizesAndMovesTheOpenWindow)
{
    sf::RenderWindow window(sf::VideoMode(640, 480), "Frothlet", sf::Style::Titlebar);
    ctx->window = &window;
    ctx->settings.sizeIndex = 2;

    applyWindowSize(*ctx);

    expectWindow(*ctx, {800, 600});
    EXPECT_EQ(window.getSize(), sf::Vector2u(800, 600));

    ctx->settings.sizeIndex = 4;
    applyWindowSize(*ctx);
    EXPECT_EQ(ctx->viewport, sf::FloatRect(0.125f, 0.f, 0.75f, 1.f));
    EXPECT_EQ(window.getSize(), sf::Vector2u(1280, 720));
}

}  // namespace

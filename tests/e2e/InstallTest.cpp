// The game as a distribution installs it: `cmake --install` into a fresh
// prefix, started from an empty directory by a player whose home is new.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Harness.h"

using namespace e2e;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

std::string makeTempDir(const char* name)
{
    std::string pattern = (fs::temp_directory_path() / name).string() + "-XXXXXX";
    if (!mkdtemp(pattern.data()))
        return {};
    return pattern;
}

std::vector<std::string> readLines(const fs::path& file)
{
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A window pixel for a logical point, for any window size the desktop gave
// (the same 4:3 fitting the game draws with).
sf::Vector2i windowPoint(sf::Vector2u window, float x, float y)
{
    const float w = static_cast<float>(window.x), h = static_cast<float>(window.y);
    const float aspect = w / h;
    const float share = aspect > 4.f / 3.f ? (4.f / 3.f) / aspect : 1.f;
    const float left = (1.f - share) / 2.f * w;
    return {static_cast<int>(left + x / 1024.f * share * w), static_cast<int>(y / 768.f * h)};
}

void clickLine(GameProcess& game, sf::Vector2u window, int line, int button = 1)
{
    const sf::Vector2i at = windowPoint(window, 250.f, static_cast<float>((0.21 + 0.08 * line) * 768.0) + 17.f);
    game.click(at.x, at.y, button);
    game.pause(250ms);
}

class InstalledGame : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_prefix = makeTempDir("frothlet-prefix");
        std::string log;
        s_installed = runCommand({FROTHLET_CMAKE, "--install", FROTHLET_BUILD_DIR, "--prefix", s_prefix}, &log) == 0;
        if (!s_installed)
            std::cerr << log;
    }
    static void TearDownTestSuite()
    {
        std::error_code ignored;
        fs::remove_all(s_prefix, ignored);
    }

    void SetUp() override { ASSERT_TRUE(s_installed) << "cmake --install into " << s_prefix; }

    static fs::path prefix() { return s_prefix; }

private:
    static inline std::string s_prefix;
    static inline bool s_installed = false;
};

}  // namespace

TEST_F(InstalledGame, TreeHoldsTheGameItsDataAndValidDesktopFiles)
{
    std::vector<fs::path> expected = {"bin/frothlet",
                                      "share/applications/org.ombrelux.frothlet.desktop",
                                      "share/metainfo/org.ombrelux.frothlet.metainfo.xml",
                                      "share/man/man6/frothlet.6.gz"};
    for (const char* size : {"16x16", "32x32", "48x48", "64x64", "128x128", "256x256", "512x512"})
        expected.push_back(fs::path("share/icons/hicolor") / size / "apps/frothlet.png");
    // Every file the build generated, the font and the help page among them.
    for (const auto& entry : fs::directory_iterator(FROTHLET_RESOURCES))
        if (entry.path().filename() != ".generated")
            expected.push_back(fs::path("share/frothlet/resources") / entry.path().filename());
    for (const fs::path& file : expected)
        EXPECT_TRUE(fs::is_regular_file(prefix() / file)) << file;
    EXPECT_TRUE(fs::is_regular_file(prefix() / "share/frothlet/resources/help.html"));
    EXPECT_TRUE(fs::is_regular_file(prefix() / "share/frothlet/resources/Roboto-Bold.ttf"));

    const sf::Image icon48 = [&] {
        sf::Image image;
        image.loadFromFile((prefix() / "share/icons/hicolor/48x48/apps/frothlet.png").string());
        return image;
    }();
    EXPECT_EQ(icon48.getSize(), sf::Vector2u(48, 48));

    std::string out;
    EXPECT_EQ(runCommand({"desktop-file-validate", (prefix() / expected[1]).string()}, &out), 0) << out;
    EXPECT_EQ(out, "") << "no warnings either";
    EXPECT_EQ(runCommand({"appstreamcli", "validate", "--no-net", "--pedantic", (prefix() / expected[2]).string()},
                         &out),
              0)
        << out;
    EXPECT_NE(out.find("Validation was successful"), std::string::npos) << out;
    EXPECT_EQ(out.find("W:"), std::string::npos) << out;
}

TEST_F(InstalledGame, StartsAnywhereKeepsSettingsInTheConfigDirectoryAndOpensTheBundledHelp)
{
    const fs::path home = makeTempDir("frothlet-home");
    // xdg-open as the desktop would run it: here it notes the address it is asked for.
    const fs::path stubs = home / "stubs";
    fs::create_directories(stubs);
    const fs::path opened = home / "opened.txt";
    std::ofstream(stubs / "xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << opened.string() << "'\n";
    fs::permissions(stubs / "xdg-open", fs::perms::owner_all);
    const char* path = std::getenv("PATH");

    LaunchOptions options;
    options.withResources = false;
    options.binary = (prefix() / "bin/frothlet").string();
    options.environment = {"HOME=" + home.string(), "XDG_CONFIG_HOME=",
                           "PATH=" + stubs.string() + ":" + (path ? path : "/usr/bin:/bin")};
    GameProcess game(options);
    ASSERT_TRUE(game.waitForOutput("starting main message loop\n"));
    EXPECT_EQ(game.output().find("Texture load fail"), std::string::npos) << game.output();
    EXPECT_EQ(game.output().find("fail"), std::string::npos) << game.output();
    ASSERT_NE(game.window(), 0u);
    game.pause(500ms);
    const sf::Image title = game.screenshot();
    EXPECT_GT(litShare(title), 0.5) << "the installed data draws the lit slide";
    const fs::path config = home / ".config/frothlet";
    EXPECT_FALSE(fs::exists(config)) << "created on the first save, not before";

    const sf::Vector2u window = title.getSize();
    const sf::Vector2i start = windowPoint(window, 512.f, 600.f);
    game.click(start.x, start.y);  // title: click to start
    game.pause(1400ms);
    game.screenshot().saveToFile(game.directory() + "/menu.png");

    clickLine(game, window, 4);  // "Help"
    const std::string page = "file://" + (prefix() / "share/frothlet/resources/help.html").string();
    for (int i = 0; i < 40 && readLines(opened).empty(); ++i)
        game.pause(50ms);
    EXPECT_EQ(readLines(opened), std::vector<std::string>{page});

    clickLine(game, window, 3);  // "Options"
    clickLine(game, window, 1);  // "Sound Volume", left button: quieter
    const std::vector<std::string> lines = readLines(config / "settings.cfg");
    ASSERT_EQ(lines.size(), 21u);  // the symbols line came as the 21st
    EXPECT_EQ(lines[0], "0") << "a first start keeps the desktop size";
    EXPECT_EQ(lines[5], "40");
    struct stat info {};
    ASSERT_EQ(stat(config.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "the config directory is the player's own";
    EXPECT_FALSE(fs::exists(fs::path(game.directory()) / "settings.cfg")) << "nothing lands where it was started";

    game.closeWindow();
    EXPECT_EQ(game.waitForExit(), 0);

    // The next start reads what the last one saved: one step down from 40.
    GameProcess next(options);
    ASSERT_TRUE(next.waitForOutput("starting main message loop\n"));
    ASSERT_NE(next.window(), 0u);
    next.pause(500ms);
    next.click(start.x, start.y);
    next.pause(1400ms);
    clickLine(next, window, 3);
    clickLine(next, window, 1);
    EXPECT_EQ(readLines(config / "settings.cfg").at(5), "30");
    next.closeWindow();
    EXPECT_EQ(next.waitForExit(), 0);

    std::error_code ignored;
    if (!std::getenv("FROTHLET_KEEP_E2E"))
        fs::remove_all(home, ignored);
}

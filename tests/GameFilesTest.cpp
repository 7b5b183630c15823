// Where the game finds its data and writes its files, on real directories:
// a folder holding resources/, an install tree beside a fake executable, and
// the config directories the desktop's rules name.
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/GameContext.h"
#include "app/GameFiles.h"
#include "world/SafeFile.h"
#include "app/Settings.h"
#include "frontend/WebSite.h"
#include "tools/Generators.h"

namespace fs = std::filesystem;

namespace {

class GameFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "frothlet-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path dir() const { return m_dir; }

    // An install tree under the temporary directory: prefix/bin/frothlet
    // and prefix/share/frothlet/resources/.
    fs::path makeInstall() const
    {
        const fs::path prefix = m_dir / "prefix";
        fs::create_directories(prefix / "bin");
        fs::create_directories(prefix / "share/frothlet/resources");
        std::ofstream(prefix / "bin/frothlet") << "";
        return prefix;
    }

private:
    fs::path m_dir;
};

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(ConfigDirectory, FollowsXdgConfigHomeThenHome)
{
    struct Case {
        const char* xdg;
        const char* home;
        std::string expected;
    };
    const std::vector<Case> table = {
        {"/x/config", "/home/p", "/x/config/frothlet/"},
        {"/x/config/", "/home/p", "/x/config/frothlet/"},
        {nullptr, "/home/p", "/home/p/.config/frothlet/"},
        {"", "/home/p", "/home/p/.config/frothlet/"},
        {"relative/config", "/home/p", "/home/p/.config/frothlet/"},  // ignored, as the rules ask
        {nullptr, nullptr, ""},
        {nullptr, "", ""},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(std::string(c.xdg ? c.xdg : "(unset)") + " / " + (c.home ? c.home : "(unset)"));
        EXPECT_EQ(configDirectory(c.xdg, c.home), c.expected);
    }
}

TEST_F(GameFilesTest, WorkingDirectoryWithResourcesWinsOverAnInstall)
{
    const fs::path prefix = makeInstall();
    fs::create_directories(dir() / "work/resources");
    const GameFileLocations found = locateGameFiles(dir() / "work", prefix / "bin/frothlet", nullptr, "/home/p");
    EXPECT_EQ(found.resourceDir, "resources/");
    EXPECT_EQ(found.writeDir, "") << "settings stay in the working directory";
    EXPECT_FALSE(found.installed);
}

TEST_F(GameFilesTest, InstallIsFoundBesideTheExecutableAndWritesToTheConfigDirectory)
{
    const fs::path prefix = makeInstall();
    fs::create_directories(dir() / "empty");
    const GameFileLocations found = locateGameFiles(dir() / "empty", prefix / "bin/frothlet", "/x/cfg", "/home/p");
    EXPECT_EQ(found.resourceDir, (prefix / "share/frothlet/resources").string() + "/");
    EXPECT_EQ(found.writeDir, "/x/cfg/frothlet/");
    EXPECT_TRUE(found.installed);
}

TEST_F(GameFilesTest, WithNeitherTheGameLooksInTheWorkingDirectoryAsBefore)
{
    fs::create_directories(dir() / "bin");
    for (const fs::path& executable : {dir() / "bin/frothlet", fs::path()}) {
        const GameFileLocations found = locateGameFiles(dir(), executable, "/x/cfg", "/home/p");
        EXPECT_EQ(found.resourceDir, "resources/");
        EXPECT_EQ(found.writeDir, "");
        EXPECT_FALSE(found.installed);
    }
}

TEST_F(GameFilesTest, ThisBuildPlaysFromItsOwnFolder)
{
    // The tests run in the build folder, which holds the generated resources/.
    const GameFileLocations found = locateGameFiles();
    EXPECT_EQ(found.resourceDir, "resources/");
    EXPECT_EQ(found.writeDir, "");
    const GameContext ctx;
    EXPECT_EQ(ctx.resourceDir, "resources/");
    EXPECT_EQ(ctx.settingsPrefix, "");
}

TEST_F(GameFilesTest, FirstSaveCreatesTheMissingConfigDirectoryForThePlayerAlone)
{
    GameContext ctx;
    ctx.settingsPrefix = configDirectory(nullptr, dir().c_str());
    ctx.settings.playerName = "Dr Froth";
    saveSettings(ctx);

    const fs::path file = dir() / ".config/frothlet/settings.cfg";
    std::istringstream text(readFile(file));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 21u);  // the symbols line came as the 21st
    EXPECT_EQ(lines[18], "Dr Froth");
    for (const fs::path& made : {dir() / ".config", dir() / ".config/frothlet"}) {
        struct stat info {};
        ASSERT_EQ(stat(made.c_str(), &info), 0) << made;
        EXPECT_EQ(info.st_mode & 0777, 0700u) << made;
    }
    EXPECT_FALSE(fs::exists(file.string() + ".tmp"));

    GameContext next;
    next.settingsPrefix = ctx.settingsPrefix;
    loadSettings(next);
    EXPECT_EQ(next.settings.playerName, "Dr Froth");
}

TEST_F(GameFilesTest, ADirectoryThatCannotBeMadeFailsTheSaveQuietly)
{
    std::ofstream(dir() / "taken") << "a file, not a directory";
    testing::internal::CaptureStdout();
    EXPECT_FALSE(replaceFileSafely((dir() / "taken/frothlet/settings.cfg").string(), "x\n"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(readFile(dir() / "taken"), "a file, not a directory");
}

TEST_F(GameFilesTest, HelpOpensTheBundledPageWithoutASite)
{
    if (!web::siteHost().empty())
        GTEST_SKIP() << "built with a site: Help opens the site's page";
    EXPECT_EQ(web::helpUrl(dir().string() + "/"), "") << "no page, nothing to open";

    const fs::path data = dir() / "my games/data#1";
    fs::create_directories(data);
    std::ofstream(data / "help.html") << "<p>help</p>";
    EXPECT_EQ(web::helpUrl(data.string() + "/"), "file://" + dir().string() + "/my%20games/data%231/help.html");

    // A relative data directory is made absolute from the working directory.
    EXPECT_EQ(web::fileUrl("resources/help.html"), "file://" + fs::current_path().string() + "/resources/help.html");
}

TEST_F(GameFilesTest, HelpPageTellsTheRulesAPlayerNeeds)
{
    ASSERT_TRUE(resgen::writeHelp(dir().string() + "/"));
    const std::string page = readFile(dir() / "help.html");
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    for (const char* rule : {"Controls", "Modes", "Scoring", "Course codes", "Network play", "9-4660-1", "30035",
                             "80&nbsp;%", "combo &times; points &times; 10", FROTHLET_VERSION}) {
        EXPECT_NE(page.find(rule), std::string::npos) << rule;
    }
    EXPECT_EQ(page, readFile("resources/help.html")) << "the build ships the same page";
}

TEST_F(GameFilesTest, IconsComeAtEveryThemeSize)
{
    ASSERT_TRUE(resgen::writeIcons(dir().string()));
    for (const int size : resgen::iconSizes) {
        const std::string sized = std::to_string(size) + "x" + std::to_string(size);
        sf::Image icon;
        ASSERT_TRUE(icon.loadFromFile((dir() / "hicolor" / sized / "apps/frothlet.png").string())) << sized;
        EXPECT_EQ(icon.getSize(), sf::Vector2u(static_cast<unsigned>(size), static_cast<unsigned>(size)));
        // Round: the corners are clear, the middle is solid.
        EXPECT_EQ(icon.getPixel(0, 0).a, 0) << sized;
        EXPECT_EQ(icon.getPixel(static_cast<unsigned>(size / 2), static_cast<unsigned>(size / 2)).a, 255) << sized;
    }
    sf::Image big;
    sf::Image window;
    ASSERT_TRUE(big.loadFromFile((dir() / "hicolor/128x128/apps/frothlet.png").string()));
    ASSERT_TRUE(window.loadFromFile("resources/icon.png"));
    EXPECT_TRUE(std::equal(big.getPixelsPtr(), big.getPixelsPtr() + 128 * 128 * 4, window.getPixelsPtr()))
        << "the launcher shows the window's own icon";
}

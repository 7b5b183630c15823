#include "app/GameFiles.h"

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const char* const gameName = "frothlet";
// Where an install keeps the data, seen from the executable's directory.
const char* const installedResources = "../share/frothlet/resources";

bool isDirectory(const fs::path& path)
{
    std::error_code ignored;
    return fs::is_directory(path, ignored);
}

std::string withSlash(std::string dir)
{
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
}

}  // namespace

std::string configDirectory(const char* xdgConfigHome, const char* home)
{
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/')
        return withSlash((fs::path(xdgConfigHome) / gameName).string());
    if (home != nullptr && home[0] == '/')
        return withSlash((fs::path(home) / ".config" / gameName).string());
    return {};
}

GameFileLocations locateGameFiles(const fs::path& workingDir, const fs::path& executable,
                                  const char* xdgConfigHome, const char* home)
{
    GameFileLocations found;
    if (isDirectory(workingDir / "resources"))
        return found;
    if (executable.empty())
        return found;
    const fs::path data = (executable.parent_path() / installedResources).lexically_normal();
    if (!isDirectory(data))
        return found;  // neither: look in the working directory, as before
    found.resourceDir = withSlash(data.string());
    found.writeDir = configDirectory(xdgConfigHome, home);
    found.installed = true;
    return found;
}

GameFileLocations locateGameFiles()
{
    std::error_code ignored;
    const fs::path executable = fs::read_symlink("/proc/self/exe", ignored);
    return locateGameFiles(fs::path("."), executable, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

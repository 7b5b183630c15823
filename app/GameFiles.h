// Where the game reads its data and where it writes its own files.
//
// Played from a folder that holds "resources/" (the build folder, the tests)
// everything stays in that folder, as it always has. Played from an install,
// the data comes from the install's share/frothlet/resources/, found next to
// the executable, and the settings (and every other file the game writes)
// go to the player's config directory, $XDG_CONFIG_HOME/frothlet/ or
// ~/.config/frothlet/. No command line or environment setting is needed.
#pragma once

#include <filesystem>
#include <string>

struct GameFileLocations {
    // The data directory, ending in '/': "resources/" or an absolute path.
    std::string resourceDir = "resources/";
    // Prefix of every file the game writes, ending in '/', or empty for the
    // working directory.
    std::string writeDir;
    // True when the data came from an install rather than the working directory.
    bool installed = false;
};

// What the game finds from `workingDir` and its own `executable`, with the
// two environment values (either may be null).
GameFileLocations locateGameFiles(const std::filesystem::path& workingDir,
                                  const std::filesystem::path& executable, const char* xdgConfigHome,
                                  const char* home);
// The same for this process: its working directory, /proc/self/exe, its environment.
GameFileLocations locateGameFiles();

// "$XDG_CONFIG_HOME/frothlet/" (when that is an absolute path), else
// "$HOME/.config/frothlet/", else empty when neither is known.
std::string configDirectory(const char* xdgConfigHome, const char* home);


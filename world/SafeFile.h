// Files the game keeps for the player (settings, the best of the day) are
// replaced whole and safely: written beside the old one, flushed to the disk,
// then renamed over it.
#pragma once

#include <string>

// True once `text` is the whole of the file at `path`. On failure the old
// file is left as it was and the half-written one removed.
bool replaceFileSafely(const std::string& path, const std::string& text);

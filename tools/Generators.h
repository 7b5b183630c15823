// The resource generator writes every file of resources/ from code, so a build
// never depends on hand-made art or downloads. Each writer is deterministic:
// the same build yields the same bytes. Each returns false (after printing the
// reason to standard error) when a file cannot be written.
#pragma once

#include <string>

namespace resgen {

// backmap.png, proj.png, pad.png, bumper.png, MeterBase.png, MeterFill.png,
// logo2.png, icon.png
bool writeImages(const std::string& dir);

// gradiant.frag, lines.frag
bool writeShaders(const std::string& dir);

// the eight effects (*.wav) and the six music tracks (*.ogg)
bool writeSounds(const std::string& dir);

// help.html: the game's own help page, from the rules of the game
bool writeHelp(const std::string& dir);

// The desktop's icon theme: hicolor/<n>x<n>/apps/frothlet.png at every size
// a launcher or software centre asks for.
inline constexpr int iconSizes[] = {16, 24, 32, 48, 64, 128, 256, 512};
bool writeIcons(const std::string& dir);

}  // namespace resgen

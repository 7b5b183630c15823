// Writes every generated file of resources/ into the directory given on the
// command line, and, given a second directory, the desktop icons into it.
// Run by the build; never at game time.
#include <cstdio>
#include <string>

#include "tools/Generators.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: frothlet_resgen <resources dir> [<icons dir>]\n");
        return 2;
    }
    std::string dir = argv[1];
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    const bool images = resgen::writeImages(dir);
    const bool shaders = resgen::writeShaders(dir);
    const bool sounds = resgen::writeSounds(dir);
    const bool help = resgen::writeHelp(dir);
    const bool icons = argc < 3 || resgen::writeIcons(argv[2]);
    return images && shaders && sounds && help && icons ? 0 : 1;
}

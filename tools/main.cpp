// Writes every generated file of resources/ into the directory given on the
// command line. Run by the build; never at game time.
#include <cstdio>
#include <string>

#include "tools/Generators.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: frothlet_resgen <resources dir>\n");
        return 2;
    }
    std::string dir = argv[1];
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    const bool images = resgen::writeImages(dir);
    const bool shaders = resgen::writeShaders(dir);
    const bool sounds = resgen::writeSounds(dir);
    return images && shaders && sounds ? 0 : 1;
}

// Any bytes at all as "settings.cfg": loading must never crash and must leave
// every setting the game indexes or loops with inside its range.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/GameContext.h"
#include "app/Settings.h"
#include "app/Viewport.h"

namespace {

// A directory of our own for the file, removed when the fuzzer exits.
class ScratchDirectory {
public:
    ScratchDirectory()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "frothlet-settings-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            __builtin_trap();
        m_path = pattern;
    }
    ~ScratchDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

void writeSettingsFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        __builtin_trap();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        __builtin_trap();
    std::fclose(file);
}

bool within(float value, float low, float high)
{
    return value >= low && value <= high;
}

bool settingsInRange(const GameContext& ctx)
{
    const GameSettings& s = ctx.settings;
    const bool tables = s.sizeIndex >= 0 && s.sizeIndex <= 7 && s.sensitivityIndex >= 0 &&
                        s.sensitivityIndex <= 9 &&
                        s.sensitivity == sensitivityTable[s.sensitivityIndex];
    const bool solver = s.velocityIterations >= 1 && s.velocityIterations <= 50 &&
                        s.positionIterations >= 1 && s.positionIterations <= 50;
    const bool volumes = within(ctx.audio.soundVolume(), 0.f, 100.f) &&
                         within(ctx.audio.musicVolume(), 0.f, 100.f);
    const bool window = s.windowWidth > 0 && s.windowHeight > 0 &&
                        ctx.viewport == viewportFor(s.windowWidth, s.windowHeight);
    return tables && solver && volumes && window;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ScratchDirectory directory;
    static GameContext ctx;
    ctx.settingsPrefix = directory.path() + "/";
    writeSettingsFile(ctx.settingsPrefix + "settings.cfg", data, size);
    loadSettings(ctx);
    if (!settingsInRange(ctx))
        __builtin_trap();
    return 0;
}

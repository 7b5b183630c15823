// The running game really plays its menu tune: OpenAL Soft's wave writer
// records what the game sends to the sound card.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <SFML/Audio/InputSoundFile.hpp>

#include "Harness.h"

using namespace e2e;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// Peak of the recording's samples after its first half second.
int peakAfterStart(const std::string& file)
{
    sf::InputSoundFile in;
    if (!in.openFromFile(file))
        return -1;
    const std::uint64_t skip = in.getSampleRate() * in.getChannelCount() / 2;
    std::vector<sf::Int16> samples(4096);
    std::uint64_t seen = 0;
    int peak = 0;
    while (const std::uint64_t n = in.read(samples.data(), samples.size())) {
        for (std::uint64_t i = 0; i < n; ++i, ++seen)
            if (seen >= skip)
                peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    }
    return peak;
}

}  // namespace

TEST(Sound, MenuTunePlaysFromStartUp)
{
    const fs::path dir = fs::temp_directory_path() / ("frothlet-wave-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string wave = (dir / "out.wav").string();
    const std::string conf = (dir / "alsoft.conf").string();
    std::ofstream(conf) << "[general]\ndrivers=wave\nsample-type=int16\nchannels=stereo\n[wave]\nfile=" << wave << "\n";
    {
        // No settings file: the menu tune plays at the library's full volume.
        LaunchOptions recorded;
        recorded.environment = {"ALSOFT_CONF=" + conf, "ALSOFT_DRIVERS=wave"};
        GameProcess game(recorded);
        ASSERT_TRUE(game.waitForOutput("starting main message loop\n"));
        game.pause(3s);
        game.closeWindow();
        EXPECT_EQ(game.waitForExit(), 0);
    }
    ASSERT_TRUE(fs::exists(wave));
    EXPECT_GT(peakAfterStart(wave), 1000) << "the recording should hold the menu tune, not silence";
    fs::remove_all(dir);
}

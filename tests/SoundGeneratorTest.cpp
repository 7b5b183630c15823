// The generated sounds, decoded as the game will decode them: every file is
// there, has a sensible length, never reaches full scale, and the six pieces of
// music play at the same loudness.
#include <gtest/gtest.h>

#include <SFML/Audio/InputSoundFile.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tools/Generators.h"

namespace {

namespace fs = std::filesystem;

struct Measured {
    bool opened = false;
    float seconds = 0.f;
    unsigned channels = 0;
    double peak = 0.0; // 1.0 = full scale
    double rmsDb = -200.0;
};

Measured measure(const std::string& path)
{
    Measured m;
    sf::InputSoundFile file;
    if (!file.openFromFile(path))
        return m;
    m.opened = true;
    m.seconds = file.getDuration().asSeconds();
    m.channels = file.getChannelCount();
    std::vector<sf::Int16> chunk(1 << 16);
    double squares = 0.0;
    sf::Uint64 count = 0;
    int peak = 0;
    while (const sf::Uint64 read = file.read(chunk.data(), chunk.size())) {
        for (sf::Uint64 i = 0; i < read; ++i) {
            const int v = chunk[i];
            peak = std::max(peak, std::abs(v));
            squares += static_cast<double>(v) * v;
        }
        count += read;
    }
    m.peak = peak / 32768.0;
    if (count > 0 && squares > 0.0)
        m.rmsDb = 20.0 * std::log10(std::sqrt(squares / static_cast<double>(count)) / 32768.0);
    return m;
}

struct Expected {
    const char* name;
    float minSeconds, maxSeconds;
};

const Expected kEffects[] = {
    { "bop.wav", 0.05f, 0.5f },
    { "Powerup2.wav", 0.2f, 2.f },
    { "drop.wav", 0.1f, 1.f },
    { "win.wav", 0.5f, 3.f },
    { "lose.wav", 0.5f, 3.f },
    { "menu1.wav", 0.02f, 0.3f },
    { "death2.wav", 0.1f, 1.f },
    { "error.wav", 0.1f, 1.f },
};

const Expected kMusic[] = {
    { "OrbMT.ogg", 20.f, 120.f },
    { "OrbBGT1.ogg", 60.f, 180.f },
    { "OrbBGT2.ogg", 60.f, 180.f },
    { "OrbBGT3.ogg", 60.f, 180.f },
    { "OrbBGT4.ogg", 60.f, 180.f },
    { "OrbBGT5.ogg", 60.f, 180.f },
};

class SoundGeneratorTest : public ::testing::Test {
protected:
    // Generating and decoding take seconds, so the suite does it once.
    static void SetUpTestSuite()
    {
        std::string pattern = (fs::temp_directory_path() / "frothlet_sounds_XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            return;
        dir_ = pattern;
        written_ = resgen::writeSounds(dir_.string() + "/");
        for (const auto& list : { std::vector<Expected>(std::begin(kEffects), std::end(kEffects)),
                 std::vector<Expected>(std::begin(kMusic), std::end(kMusic)) })
            for (const Expected& e : list)
                measured_[e.name] = measure((dir_ / e.name).string());
    }
    static void TearDownTestSuite()
    {
        if (!dir_.empty())
            fs::remove_all(dir_);
    }

    static void checkFile(const Expected& e, unsigned channels)
    {
        SCOPED_TRACE(e.name);
        const Measured& m = measured_[e.name];
        ASSERT_TRUE(m.opened);
        EXPECT_EQ(m.channels, channels);
        EXPECT_GE(m.seconds, e.minSeconds);
        EXPECT_LE(m.seconds, e.maxSeconds);
        EXPECT_GT(m.peak, 0.1) << "audible";
        EXPECT_LT(m.peak, 0.9) << "well below full scale, never clipped";
    }

    static inline fs::path dir_;
    static inline bool written_ = false;
    static inline std::map<std::string, Measured> measured_;
};

TEST_F(SoundGeneratorTest, WritesEveryEffectAsShortMonoSound)
{
    ASSERT_TRUE(written_);
    for (const Expected& e : kEffects)
        checkFile(e, 1);
}

TEST_F(SoundGeneratorTest, WritesEveryTrackAsStereoMusic)
{
    ASSERT_TRUE(written_);
    for (const Expected& e : kMusic)
        checkFile(e, 2);
}

TEST_F(SoundGeneratorTest, MusicTracksShareOneLoudness)
{
    double quietest = 0.0, loudest = -200.0;
    for (const Expected& e : kMusic) {
        const double rms = measured_[e.name].rmsDb;
        quietest = std::min(quietest, rms);
        loudest = std::max(loudest, rms);
    }
    EXPECT_LE(loudest - quietest, 2.0);
    EXPECT_GT(quietest, -30.0) << "not whisper-quiet";
}

} // namespace

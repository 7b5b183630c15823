// The audio player against real files: short tones written to a temporary
// resource directory, played through OpenAL's null device (ALSOFT_DRIVERS=null).
#include <gtest/gtest.h>

#include <SFML/Audio/OutputSoundFile.hpp>

#include <cmath>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "audio/AudioPlayer.h"

namespace {

namespace fs = std::filesystem;

// A quiet sine tone of the given length, in the format the file name asks for.
void writeTone(const fs::path& path, float seconds)
{
    constexpr unsigned rate = 22050;
    std::vector<sf::Int16> samples(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i]
            = static_cast<sf::Int16>(3000.0 * std::sin(2.0 * 3.14159265 * 440.0 * static_cast<double>(i) / rate));
    sf::OutputSoundFile file;
    ASSERT_TRUE(file.openFromFile(path.string(), rate, 1));
    file.write(samples.data(), samples.size());
}

class AudioPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "frothlet_audio_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        writeTone(dir_ / "OrbMT.ogg", 1.f);
        writeTone(dir_ / "bop.wav", 0.1f);
        for (int i = 1; i <= AudioPlayer::trackCount; ++i)
            writeTone(dir_ / ("OrbBGT" + std::to_string(i) + ".wav"), 10.f);
        writeTone(dir_ / "short.wav", 0.5f);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string resources() const { return dir_.string() + "/"; }

    // Five game tracks from the same file.
    std::deque<std::string> tracksOf(const std::string& name) const
    {
        return std::deque<std::string>(AudioPlayer::trackCount, (dir_ / name).string());
    }
    std::deque<std::string> longTracks() const
    {
        std::deque<std::string> paths;
        for (int i = 1; i <= AudioPlayer::trackCount; ++i)
            paths.push_back((dir_ / ("OrbBGT" + std::to_string(i) + ".wav")).string());
        return paths;
    }

    // The player as the game leaves it after loading settings and starting up.
    void startUp(float musicVolume)
    {
        audio_.load(resources());
        audio_.openGameTracks(longTracks());
        audio_.setMusicVolume(musicVolume, true);
        audio_.startMenuTune();
    }

    void fadeSteps(int steps)
    {
        for (int i = 0; i < steps; ++i)
            audio_.fadeStep();
    }

    fs::path dir_;
    AudioPlayer audio_;
};

TEST_F(AudioPlayerTest, VolumeStepsStayWithinZeroToHundred)
{
    struct Case {
        const char* name;
        bool music;
        float start;
        bool up;
        float expected;
    };
    const Case cases[] = {
        { "music down from 5", true, 5.f, false, 0.f },
        { "music up from 95", true, 95.f, true, 100.f },
        { "music down from 50", true, 50.f, false, 40.f },
        { "sound down from 5", false, 5.f, false, 0.f },
        { "sound up from 95", false, 95.f, true, 100.f },
        { "sound up from 50", false, 50.f, true, 60.f },
    };
    audio_.load(resources());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.music) {
            audio_.setMusicVolume(c.start, true);
            c.up ? audio_.musicVolumeUp() : audio_.musicVolumeDown();
            EXPECT_EQ(audio_.musicVolume(), c.expected);
            // The menu's volume items are heard at once and survive a fade.
            EXPECT_EQ(audio_.savedMusicVolume(), c.expected);
            EXPECT_EQ(audio_.volumeInUse(), c.expected);
            EXPECT_FLOAT_EQ(audio_.menuTuneVolume(), c.expected);
            EXPECT_FLOAT_EQ(audio_.trackVolume(0), c.expected);
        } else {
            audio_.setSoundVolume(c.start);
            c.up ? audio_.soundVolumeUp() : audio_.soundVolumeDown();
            EXPECT_EQ(audio_.soundVolume(), c.expected);
            EXPECT_FLOAT_EQ(audio_.effectVolume(AudioPlayer::Effect::Bop), c.expected);
        }
    }
}

TEST_F(AudioPlayerTest, SettingsVolumesAreClamped)
{
    audio_.load(resources());
    audio_.setMusicVolume(250.f, true);
    audio_.setSoundVolume(-20.f);
    EXPECT_EQ(audio_.musicVolume(), 100.f);
    EXPECT_EQ(audio_.soundVolume(), 0.f);
}

TEST_F(AudioPlayerTest, WithoutSettingsMenuTunePlaysAtDefaultVolumeAndGameTracksStaySilent)
{
    audio_.load(resources());
    audio_.openGameTracks(longTracks());
    audio_.startMenuTune(); // no settings file: no volume was ever applied

    EXPECT_TRUE(audio_.menuTunePlaying());
    EXPECT_FLOAT_EQ(audio_.menuTuneVolume(), 100.f);
    EXPECT_EQ(audio_.musicVolume(), 0.f);
    EXPECT_EQ(audio_.soundVolume(), 50.f);

    audio_.startGameMusic();
    fadeSteps(30);
    EXPECT_FALSE(audio_.menuTunePlaying());
    EXPECT_FALSE(audio_.isFadingIn());
    EXPECT_EQ(audio_.musicVolume(), 0.f);
    EXPECT_TRUE(audio_.trackPlaying(audio_.currentTrack()));
    EXPECT_FLOAT_EQ(audio_.trackVolume(audio_.currentTrack()), 0.f);
}

TEST_F(AudioPlayerTest, FadeInRisesHalfAPointPerStepAndStopsAtTheSavedVolume)
{
    startUp(10.f);
    audio_.startGameMusic();
    EXPECT_FALSE(audio_.menuTunePlaying());
    EXPECT_TRUE(audio_.isFadingIn());
    EXPECT_EQ(audio_.fadeTarget(), 10.f);
    EXPECT_EQ(audio_.musicVolume(), 0.f);

    fadeSteps(1);
    EXPECT_EQ(audio_.musicVolume(), 0.5f);
    fadeSteps(18);
    EXPECT_EQ(audio_.musicVolume(), 9.5f);
    EXPECT_TRUE(audio_.isFadingIn());
    fadeSteps(1);
    EXPECT_EQ(audio_.musicVolume(), 10.f);
    EXPECT_FALSE(audio_.isFadingIn());
    fadeSteps(10);
    EXPECT_EQ(audio_.musicVolume(), 10.f);
    EXPECT_FLOAT_EQ(audio_.trackVolume(audio_.currentTrack()), 10.f);
}

TEST_F(AudioPlayerTest, FadeOutPausesTheTrackAndRestoresTheSavedVolume)
{
    startUp(10.f);
    audio_.startGameMusic();
    fadeSteps(20);
    const int track = audio_.currentTrack();

    audio_.enterMenuMusic();
    EXPECT_TRUE(audio_.menuTunePlaying());
    EXPECT_TRUE(audio_.isFadingOut());
    EXPECT_EQ(audio_.fadeTarget(), 0.f);

    fadeSteps(19);
    EXPECT_EQ(audio_.musicVolume(), 0.5f);
    EXPECT_TRUE(audio_.isFadingOut());
    EXPECT_TRUE(audio_.trackPlaying(track));

    fadeSteps(1);
    EXPECT_FALSE(audio_.isFadingOut());
    EXPECT_FALSE(audio_.trackPlaying(track));
    EXPECT_EQ(audio_.musicVolume(), 10.f);
    EXPECT_FLOAT_EQ(audio_.trackVolume(track), 0.f);

    // The next game resumes the same track and fades it in again.
    audio_.startGameMusic();
    EXPECT_EQ(audio_.currentTrack(), track);
    EXPECT_TRUE(audio_.trackPlaying(track));
    EXPECT_FALSE(audio_.menuTunePlaying());
    fadeSteps(20);
    EXPECT_EQ(audio_.musicVolume(), 10.f);
}

TEST_F(AudioPlayerTest, BeginFadeOutLeavesTheMenuTuneAlone)
{
    startUp(10.f);
    audio_.startGameMusic();
    fadeSteps(20);
    audio_.beginFadeOut();
    EXPECT_TRUE(audio_.isFadingOut());
    EXPECT_FALSE(audio_.menuTunePlaying());
}

TEST_F(AudioPlayerTest, ASecondFadeOutDuringTheFirstKeepsTheChosenVolume)
{
    // A won round fades the music out while it celebrates; handing over to
    // the menu then starts the fade-out again, part of the way down.
    startUp(60.f);
    audio_.startGameMusic();
    fadeSteps(120);
    audio_.beginFadeOut();
    fadeSteps(100);
    EXPECT_EQ(audio_.musicVolume(), 10.f);
    EXPECT_EQ(audio_.chosenMusicVolume(), 60.f);
    audio_.enterMenuMusic();
    fadeSteps(20);
    EXPECT_FALSE(audio_.isFadingOut());
    EXPECT_EQ(audio_.musicVolume(), 60.f);
    audio_.startGameMusic();
    EXPECT_EQ(audio_.fadeTarget(), 60.f);
}

TEST_F(AudioPlayerTest, VolumeStepsDuringAFadeStartFromTheChosenVolume)
{
    struct Case {
        const char* when;
        bool fadingIn;
        bool up;
        float chosen;  // after the step
    };
    for (const Case c : {Case{"fading in", true, false, 50.f}, Case{"fading in", true, true, 70.f},
                         Case{"fading out", false, false, 50.f}, Case{"fading out", false, true, 70.f}}) {
        SCOPED_TRACE(std::string(c.when) + (c.up ? ", up" : ", down"));
        AudioPlayer audio;
        audio.load(resources());
        audio.setMusicVolume(60.f, true);
        audio.startMenuTune();
        audio.startGameMusic();
        for (int i = 0; i < (c.fadingIn ? 40 : 120); ++i)
            audio.fadeStep();
        if (!c.fadingIn) {
            audio.enterMenuMusic();
            for (int i = 0; i < 40; ++i)
                audio.fadeStep();
        }
        ASSERT_EQ(audio.musicVolume(), c.fadingIn ? 20.f : 40.f);
        c.up ? audio.musicVolumeUp() : audio.musicVolumeDown();
        EXPECT_EQ(audio.chosenMusicVolume(), c.chosen);
        EXPECT_EQ(audio.menuTuneVolume(), c.chosen);
        // The fade still runs and ends at the new choice.
        for (int i = 0; i < 200; ++i)
            audio.fadeStep();
        EXPECT_EQ(audio.musicVolume(), c.chosen);
    }
}

TEST_F(AudioPlayerTest, TrackIsReplacedOnlyWhenLessThanOneSecondIsLeft)
{
    struct Case {
        const char* file;
        bool replaced;
    };
    for (const Case c : { Case { "short.wav", true }, Case { "OrbBGT1.wav", false } }) {
        SCOPED_TRACE(c.file);
        AudioPlayer audio;
        audio.load(resources());
        audio.openGameTracks(tracksOf(c.file));
        audio.startGameMusic();
        const int current = audio.currentTrack();
        const int next = audio.nextTrack();

        audio.nextTrackIfEnding();
        if (c.replaced) {
            EXPECT_EQ(audio.previousTrack(), current);
            EXPECT_EQ(audio.currentTrack(), next);
            EXPECT_TRUE(audio.trackPlaying(next));
        } else {
            EXPECT_EQ(audio.currentTrack(), current);
            EXPECT_EQ(audio.nextTrack(), next);
        }
    }
}

TEST_F(AudioPlayerTest, ShuffleNeverPicksTheCurrentOrPreviousTrack)
{
    audio_.load(resources());
    audio_.openGameTracks(tracksOf("short.wav")); // every step switches track
    audio_.nextTrackIfEnding();
    EXPECT_EQ(audio_.currentTrack(), 0) << "no switching before the first game";

    audio_.startGameMusic();
    EXPECT_NE(audio_.nextTrack(), audio_.currentTrack());
    std::set<int> drawn;
    for (int step = 0; step < 150; ++step) {
        const int current = audio_.currentTrack();
        const int next = audio_.nextTrack();
        audio_.nextTrackIfEnding();
        ASSERT_EQ(audio_.currentTrack(), next);
        ASSERT_EQ(audio_.previousTrack(), current);
        ASSERT_NE(audio_.nextTrack(), audio_.currentTrack());
        ASSERT_NE(audio_.nextTrack(), audio_.previousTrack());
        drawn.insert(audio_.nextTrack());
    }
    EXPECT_EQ(drawn.size(), 5u) << "every track comes round";
}

TEST_F(AudioPlayerTest, MissingFilesStaySilentAndQuiet)
{
    testing::internal::CaptureStdout();
    audio_.load(resources() + "missing/");
    audio_.setSoundVolume(70.f);
    audio_.startMenuTune();
    audio_.play(AudioPlayer::Effect::Bop, 1.3f);
    audio_.play(AudioPlayer::Effect::Win);
    audio_.startGameMusic();
    audio_.fadeStep();
    audio_.nextTrackIfEnding();
    audio_.enterMenuMusic();
    audio_.stopMenuTune();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(audio_.effectLoaded(AudioPlayer::Effect::Bop));
    EXPECT_FALSE(audio_.menuTunePlaying());
}

TEST_F(AudioPlayerTest, LoadsEffectsThatArePresent)
{
    audio_.load(resources());
    EXPECT_TRUE(audio_.effectLoaded(AudioPlayer::Effect::Bop));
    EXPECT_FALSE(audio_.effectLoaded(AudioPlayer::Effect::Error));
    EXPECT_FLOAT_EQ(audio_.effectVolume(AudioPlayer::Effect::Bop), 50.f);
    ASSERT_EQ(audio_.trackList().size(), 5u);
    EXPECT_EQ(audio_.trackList().front(), resources() + "OrbBGT1.ogg");
    audio_.startMenuTune();
    EXPECT_TRUE(audio_.menuTunePlaying());
    audio_.stopMenuTune();
    EXPECT_FALSE(audio_.menuTunePlaying());
}

} // namespace

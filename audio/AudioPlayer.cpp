#include "audio/AudioPlayer.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace {

constexpr const char* effectFiles[AudioPlayer::effectCount]
    = { "bop.wav", "Powerup2.wav", "drop.wav", "win.wav", "lose.wav", "menu1.wav", "death2.wav", "error.wav" };

constexpr const char* trackFiles[AudioPlayer::trackCount]
    = { "OrbBGT1.ogg", "OrbBGT2.ogg", "OrbBGT3.ogg", "OrbBGT4.ogg", "OrbBGT5.ogg" };

constexpr const char* menuTuneFile = "OrbMT.ogg";

constexpr float volumeStep = 10.f; // one click of the menu's volume items
constexpr float fadeStepSize = 0.5f; // per 1/60 s: a fade from 100 takes 200 steps
const sf::Time endingMargin = sf::seconds(1.f);

float clampVolume(float volume) { return std::clamp(volume, 0.f, 100.f); }

// A missing sound is simply not heard; checking first keeps the audio
// library from complaining about it on the console.
bool present(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}

// Starting a track that never opened would only print a complaint.
void playIfOpen(sf::Music& music)
{
    if (music.getChannelCount() > 0)
        music.play();
}

} // namespace

void AudioPlayer::load(const std::string& resourceDir)
{
    resourceDir_ = resourceDir;
    currentTrack_ = 0;
    nextTrack_ = 1;
    musicVolume_ = 0.f;
    soundVolume_ = 0.f;
    fadingIn_ = false;
    fadingOut_ = false;
    fadeTarget_ = 0.f;
    savedMusicVolume_ = 0.f;

    // A missing effect keeps an empty buffer, so playing it is silent.
    for (std::size_t i = 0; i < effectBuffers_.size(); ++i) {
        const std::string path = resourceDir_ + effectFiles[i];
        if (present(path))
            effectBuffers_[i].loadFromFile(path);
        effects_[i].setBuffer(effectBuffers_[i]);
    }

    std::deque<std::string> paths;
    for (const char* name : trackFiles)
        paths.push_back(resourceDir_ + name);

    if (present(resourceDir_ + menuTuneFile))
        menuTune_.openFromFile(resourceDir_ + menuTuneFile);
    openGameTracks(paths);
    menuTune_.setLoop(true);

    soundVolume_ = 50.f;
    applyToEffects(soundVolume_);
}

void AudioPlayer::openGameTracks(const std::deque<std::string>& paths)
{
    trackList_ = paths;
    const std::size_t count = std::min(trackList_.size(), gameTracks_.size());
    for (std::size_t i = 0; i < count; ++i)
        if (present(trackList_[i]))
            gameTracks_[i].openFromFile(trackList_[i]);
}

void AudioPlayer::setMusicVolume(float volume, bool applyToMenuTune)
{
    musicVolume_ = clampVolume(volume);
    applyToGameTracks(musicVolume_);
    if (applyToMenuTune) {
        menuTune_.setVolume(musicVolume_);
        volumeInUse_ = musicVolume_;
    }
}

void AudioPlayer::setSoundVolume(float volume)
{
    soundVolume_ = clampVolume(volume);
    applyToEffects(soundVolume_);
}

float AudioPlayer::chosenMusicVolume() const
{
    if (fadingIn_)
        return fadeTarget_;
    if (fadingOut_)
        return savedMusicVolume_;
    return musicVolume_;
}

void AudioPlayer::stepMusicVolume(float delta)
{
    // Steps from the level the player chose, not from where a fade has got to.
    const float chosen = clampVolume(chosenMusicVolume() + delta);
    savedMusicVolume_ = chosen;
    menuTune_.setVolume(chosen);
    volumeInUse_ = chosen;
    if (fadingIn_ || fadingOut_) {
        // The fade goes on, towards the new level; it never plays louder than it.
        if (fadingIn_)
            fadeTarget_ = chosen;
        musicVolume_ = std::min(musicVolume_, chosen);
        applyToGameTracks(musicVolume_);
        return;
    }
    musicVolume_ = chosen;
    applyToGameTracks(chosen);
}

void AudioPlayer::musicVolumeDown() { stepMusicVolume(-volumeStep); }

void AudioPlayer::musicVolumeUp() { stepMusicVolume(volumeStep); }

void AudioPlayer::soundVolumeDown() { setSoundVolume(soundVolume_ - volumeStep); }

void AudioPlayer::soundVolumeUp() { setSoundVolume(soundVolume_ + volumeStep); }

void AudioPlayer::startMenuTune()
{
    savedMusicVolume_ = musicVolume_;
    playIfOpen(menuTune_);
}

void AudioPlayer::playMenuTune()
{
    if (!menuTunePlaying())
        playIfOpen(menuTune_);
}

void AudioPlayer::stopMenuTune() { menuTune_.stop(); }

void AudioPlayer::startGameMusic()
{
    // A game started while the last fade-out still runs must not have that
    // fade pause the track it is about to fade in.
    fadeTarget_ = chosenMusicVolume();
    savedMusicVolume_ = fadeTarget_;
    fadingOut_ = false;
    fadingIn_ = true;
    musicVolume_ = 0.f;
    applyToGameTracks(0.f);

    if (menuTunePlaying())
        menuTune_.stop();

    if (!gameMusicOn_) {
        gameMusicOn_ = true;
        // The shuffle is cosmetic, so the clock-seeded rand() is right here.
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        currentTrack_ = std::rand() % trackCount;
        previousTrack_ = currentTrack_;
        nextTrack_ = drawNextTrack();
        playIfOpen(gameTracks_[currentTrack_]);
    } else if (gameTracks_[currentTrack_].getStatus() != sf::SoundSource::Playing) {
        // Resumes where the fade-out paused it.
        playIfOpen(gameTracks_[currentTrack_]);
    }
}

void AudioPlayer::enterMenuMusic()
{
    beginFadeOut();
    playMenuTune();
}

void AudioPlayer::beginFadeOut()
{
    // Leaving in the middle of a fade, in or out (a won round starts its
    // fade-out before the menu asks for another), keeps the level the player
    // chose, not the level the fade had reached.
    savedMusicVolume_ = chosenMusicVolume();
    fadingIn_ = false;
    fadeTarget_ = 0.f;
    fadingOut_ = true;
}

void AudioPlayer::fadeStep()
{
    if (fadingIn_) {
        if (musicVolume_ < fadeTarget_) {
            musicVolume_ = std::min(musicVolume_ + fadeStepSize, fadeTarget_);
            applyToGameTracks(musicVolume_);
        }
        if (musicVolume_ >= fadeTarget_)
            fadingIn_ = false;
    }
    if (fadingOut_) {
        musicVolume_ = std::max(musicVolume_ - fadeStepSize, 0.f);
        applyToGameTracks(musicVolume_);
        if (musicVolume_ <= fadeTarget_) {
            fadingOut_ = false;
            gameTracks_[currentTrack_].pause();
            musicVolume_ = savedMusicVolume_;
        }
    }
}

void AudioPlayer::nextTrackIfEnding()
{
    if (!gameMusicOn_)
        return;
    const sf::Music& current = gameTracks_[currentTrack_];
    if (current.getDuration() - current.getPlayingOffset() >= endingMargin)
        return;
    previousTrack_ = currentTrack_;
    currentTrack_ = nextTrack_;
    playIfOpen(gameTracks_[currentTrack_]);
    nextTrack_ = drawNextTrack();
}

int AudioPlayer::drawNextTrack() const
{
    int track = std::rand() % trackCount;
    while (track == currentTrack_ || track == previousTrack_)
        track = std::rand() % trackCount;
    return track;
}

void AudioPlayer::play(Effect effect) { effects_[index(effect)].play(); }

void AudioPlayer::play(Effect effect, float pitch)
{
    sf::Sound& sound = effects_[index(effect)];
    sound.setPitch(pitch);
    sound.play();
}

bool AudioPlayer::trackPlaying(int track) const { return gameTracks_[track].getStatus() == sf::SoundSource::Playing; }

bool AudioPlayer::effectLoaded(Effect effect) const { return effectBuffers_[index(effect)].getSampleCount() > 0; }

void AudioPlayer::applyToGameTracks(float volume)
{
    for (sf::Music& track : gameTracks_)
        track.setVolume(volume);
}

void AudioPlayer::applyToEffects(float volume)
{
    for (sf::Sound& effect : effects_)
        effect.setVolume(volume);
}

// The audio player owns every sound of the game: eight short effects, the
// looping menu tune and five game tracks played in a shuffled order. It keeps
// the two volumes of the settings, fades the game music in when a game starts
// and out when the menu returns, and moves on to the next game track shortly
// before the current one ends, so the music never plays into silence.
//
// Missing files leave their sound silent; nothing is reported and play goes
// on. Every call comes from the main thread; the music streams on the audio
// library's own threads.
#pragma once

#include <SFML/Audio/Music.hpp>
#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>

#include <array>
#include <deque>
#include <string>

class AudioPlayer {
public:
    // In the order of the effect files, so an effect's value is its index.
    enum class Effect { Bop, Powerup, Drop, Win, Lose, MenuClick, Death, Error };

    static constexpr int trackCount = 5;
    static constexpr int effectCount = 8;

    // Reads every effect and track from the resource directory ("resources/").
    void load(const std::string& resourceDir);
    // Replaces the game track list and opens each track from it; load() calls
    // this with the five game tracks of the resource directory.
    void openGameTracks(const std::deque<std::string>& paths);

    // Clamps to 0..100 and applies to the game tracks, and to the menu tune
    // when applyToMenuTune is set.
    void setMusicVolume(float volume, bool applyToMenuTune);
    void setSoundVolume(float volume);
    void musicVolumeDown();
    void musicVolumeUp();
    void soundVolumeDown();
    void soundVolumeUp();

    // Start-up: remember the music volume for the fades and start the menu tune.
    void startMenuTune();
    // A finished round: the menu tune starts (if it is not playing yet).
    void playMenuTune();
    // The menu's "Exit": silence the menu tune before the program ends.
    void stopMenuTune();

    // A game starts: stop the menu tune and fade the game music in.
    void startGameMusic();
    // A game hands over to the menu: fade the game music out, play the menu tune.
    void enterMenuMusic();
    // The same fade-out, without the menu tune.
    void beginFadeOut();

    // Per fixed step (1/60 s): move a fade on by 0.5.
    void fadeStep();
    // Per fixed step: switch to the next track when less than a second is left.
    void nextTrackIfEnding();

    void play(Effect effect);
    void play(Effect effect, float pitch);

    // The level the music plays at now; a fade moves it.
    float musicVolume() const { return musicVolume_; }
    // The level the player chose, which a fade starts from or ends at: what
    // the settings keep and the menu shows and steps.
    float chosenMusicVolume() const;
    float soundVolume() const { return soundVolume_; }
    float savedMusicVolume() const { return savedMusicVolume_; }
    float volumeInUse() const { return volumeInUse_; }
    float fadeTarget() const { return fadeTarget_; }
    bool isFadingIn() const { return fadingIn_; }
    bool isFadingOut() const { return fadingOut_; }
    bool gameMusicOn() const { return gameMusicOn_; }
    int currentTrack() const { return currentTrack_; }
    int nextTrack() const { return nextTrack_; }
    int previousTrack() const { return previousTrack_; }
    const std::deque<std::string>& trackList() const { return trackList_; }

    bool menuTunePlaying() const { return menuTune_.getStatus() == sf::SoundSource::Playing; }
    float menuTuneVolume() const { return menuTune_.getVolume(); }
    bool trackPlaying(int track) const;
    float trackVolume(int track) const { return gameTracks_[track].getVolume(); }
    float effectVolume(Effect effect) const { return effects_[index(effect)].getVolume(); }
    bool effectLoaded(Effect effect) const;

private:
    static std::size_t index(Effect effect) { return static_cast<std::size_t>(effect); }
    void stepMusicVolume(float delta);
    void applyToGameTracks(float volume);
    void applyToEffects(float volume);
    int drawNextTrack() const;

    bool gameMusicOn_ = false;
    bool fadingOut_ = false;
    bool fadingIn_ = false;
    float volumeInUse_ = 0.f;
    float fadeTarget_ = 0.f;
    float savedMusicVolume_ = 0.f;
    float musicVolume_ = 0.f;
    float soundVolume_ = 50.f;
    int currentTrack_ = 0;
    int nextTrack_ = 1;
    int previousTrack_ = 0;
    std::string resourceDir_;
    std::deque<std::string> trackList_;
    // No spare music object: nothing would ever play it.
    std::array<sf::Music, trackCount> gameTracks_;
    sf::Music menuTune_;
    std::array<sf::SoundBuffer, effectCount> effectBuffers_;
    std::array<sf::Sound, effectCount> effects_;
};

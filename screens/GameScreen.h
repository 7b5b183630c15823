// The game screen shared by the single-player modes: it owns a field, feeds it
// the player's input, steps it and draws it. A mode is this screen with other
// field rules.
#pragma once

#include <array>
#include <string>

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/System/Clock.hpp>

#include "app/RequestedPage.h"
#include "app/cScreen.h"
#include "screens/FieldDrawing.h"
#include "screens/RoundReplay.h"
#include "world/GameField.h"
#include "world/Recorder.h"

namespace sf {
class RenderTarget;
class RenderWindow;
class Event;
}  // namespace sf

class GameScreen : public cScreen {
public:
    GameScreen(GameContext& ctx, FieldRules rules = {});

    int Run(GraphicsResources& gfx, GameContext& ctx) override;
    // A new round: the mode lays it, and its recording starts with its first step.
    void Reset(GameContext& ctx) final
    {
        resetRound(ctx);
        roundFresh = true;
    }

    // Gets the window and the texts ready to show the field.
    void beginShowing(GraphicsResources& gfx, GameContext& ctx);
    // Draws the field as it stands and shows the frame.
    void presentFrame(sf::RenderWindow& window, GraphicsResources& gfx, GameContext& ctx);
    // The mode objects the field plays under, for a replay.
    virtual replay::ModeParts modeParts() { return {}; }

    GameField field;
    // The round being played, step by step, for its replay.
    replay::RoundRecorder recorder;

protected:
    enum class PauseCause { Key, Focus, MiddleButton };

    // What a mode adds to the shared screen.
    virtual void resetRound(GameContext& ctx) { field.Reset(ctx); }
    // The screen number the mode's replays are kept under.
    virtual int modeNumber() const { return 3; }
    // Whether the recording holds a whole result worth keeping as the best.
    virtual bool recordingComplete(const GameContext&) const;
    // Whether Run must start the round afresh before play.
    virtual bool needsFreshRound(const GameContext& ctx) const;
    virtual void afterButtonPressed(GameContext&) {}
    virtual void onKeyPressed(int /*sfKeyCode*/, GameContext&) {}
    virtual void beforePause(PauseCause, GameContext&) {}
    virtual int roundOverPage(const GameContext&) const { return PageRoundOver; }
    // Whether handing over after a round fades the game music into the menu tune.
    virtual bool menuMusicOnRoundOver() const { return true; }
    virtual void drawUnderMicrobes(sf::RenderTarget&, GraphicsResources&, GameContext&) {}
    virtual void drawAfterMicrobes(sf::RenderTarget&, GraphicsResources&, GameContext&) {}
    virtual void drawOverlay(sf::RenderTarget&, GraphicsResources&, GameContext&) {}
    // A line shown on the cleared banner instead of "Round Over" and the target.
    virtual std::string clearedBannerLine(const GameContext&) const { return {}; }

    // Answers the next screen number, or keepRunning to stay on this screen.
    int handleEvent(const sf::Event& event, GameContext& ctx);
    int pause(GameContext& ctx, PauseCause cause);
    void sampleHeldInput(GameContext& ctx);
    void draw(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx);
    // Starts recording a freshly laid round (a course goes on with its levels).
    virtual void startRecording(GameContext& ctx);
    // Writes the replay files; roundOver when the round has just ended.
    void keepRecording(GameContext& ctx, bool roundOver);

    bool roundFresh = true;

    sf::Clock frameClock;
    sf::Clock secondClock;
    sf::Text scoreText;
    sf::Text bannerText;
    draw::DrawBatches batches;
    std::int64_t frameCounter = 0;
    int lastShownCombo = 2;
    // Turns of the three stacked paddle layers per pixel of travel.
    std::array<float, 3> paddleLayerFactors{1.0f, -0.62f, 0.37f};
};

// The Infinite mode: field after field from an increasing seed.
class screen_3 : public GameScreen {
public:
    explicit screen_3(GameContext& ctx) : GameScreen(ctx) {}
};

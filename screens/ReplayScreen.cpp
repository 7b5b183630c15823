#include "screens/ReplayScreen.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/System/Clock.hpp>
#include <SFML/Window/Event.hpp>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "app/ScreenLoop.h"
#include "screens/CleanMode.h"
#include "screens/GameScreen.h"
#include "screens/RoundReplay.h"
#include "screens/screen_2.h"
#include "screens/screen_4.h"
#include "screens/screen_5.h"

namespace {

// How long the last picture of a level stays before the next one (or the page).
constexpr double holdSeconds = 2.0;

// Everything of the game that a replayed field writes to, put back as it was
// once the replay is over: the round the player left is the one they go on with.
class KeptGame {
public:
    explicit KeptGame(GameContext& ctx)
        : m_ctx(ctx), m_settings(ctx.settings), m_course(ctx.course), m_random(gameRandom().state()),
          m_resetPending(resetPending)
    {
        m_counts = {ctx.score, ctx.throwCount, ctx.totalMicrobes, ctx.remainingMicrobes, ctx.difficulty,
                    ctx.requestedPage, ctx.selectedMode, ctx.modeIndex, ctx.aimPulse};
        m_levelSeed = ctx.levelSeed;
        m_remainingFraction = ctx.remainingFraction;
        m_paddleTarget = ctx.paddleTarget;
        m_cleanedPercent = ctx.cleanedPercent;
        m_restartRequested = ctx.restartRequested;
        m_paused = ctx.paused;
        // A replayed tutorial must not write the settings file.
        ctx.settings.tutorialPlayed = 1;
    }
    ~KeptGame()
    {
        GameContext& ctx = m_ctx;
        ctx.settings = m_settings;
        ctx.course = m_course;
        gameRandom().restore(m_random);
        resetPending = m_resetPending;
        ctx.score = m_counts[0];
        ctx.throwCount = m_counts[1];
        ctx.totalMicrobes = m_counts[2];
        ctx.remainingMicrobes = m_counts[3];
        ctx.difficulty = m_counts[4];
        ctx.requestedPage = m_counts[5];
        ctx.selectedMode = m_counts[6];
        ctx.modeIndex = m_counts[7];
        ctx.aimPulse = m_counts[8];
        ctx.levelSeed = m_levelSeed;
        ctx.remainingFraction = m_remainingFraction;
        ctx.paddleTarget = m_paddleTarget;
        ctx.cleanedPercent = m_cleanedPercent;
        ctx.restartRequested = m_restartRequested;
        ctx.paused = m_paused;
    }
    KeptGame(const KeptGame&) = delete;
    KeptGame& operator=(const KeptGame&) = delete;

private:
    GameContext& m_ctx;
    GameSettings m_settings;
    Course m_course;
    MersenneTwister::State m_random;
    bool m_resetPending;
    std::array<int, 9> m_counts{};
    std::uint32_t m_levelSeed = 0;
    float m_remainingFraction = 1.f;
    float m_paddleTarget = 0.f;
    float m_cleanedPercent = 0.f;
    bool m_restartRequested = false;
    bool m_paused = false;
};

std::unique_ptr<GameScreen> screenFor(int mode, GameContext& ctx, sf::RenderTexture& layer)
{
    switch (mode) {
    case ScreenTutorial: return std::make_unique<screen_2>(ctx);
    case ScreenCourse: return std::make_unique<screen_4>(ctx);
    case ScreenClean: return std::make_unique<screen_5>(ctx, layer);
    default: return std::make_unique<screen_3>(ctx);
    }
}

// A fresh dirt layer, as a clean round starts on.
void layFreshDirt(sf::RenderTexture& layer)
{
    if (layer.getSize().x == 0 && !layer.create(1010, 617))
        return;
    layer.clear(sf::Color(97, 83, 48, 100));
    layer.setSmooth(true);
    layer.display();
}

enum class Watch { Ended, Escaped, Closed };

// Plays one level to its end and holds its last picture a moment.
Watch watchLevel(GameScreen& screen, const replay::LevelRecording& level, GraphicsResources& gfx, GameContext& ctx,
                 int& speed)
{
    sf::RenderWindow& window = *ctx.window;
    const replay::ModeParts parts = screen.modeParts();
    replay::layLevelStart(screen.field, ctx, level, parts);
    replay::LevelPlayback playback(level);
    replay::connect(playback, parts);
    if (parts.clean)
        parts.clean->countWith([&playback]() -> std::optional<DirtCount> {
            const std::optional<replay::Measurement> m = playback.nextMeasurement();
            return m ? DirtCount{m->dirty, m->total} : DirtCount{1, 1};
        });
    screen.field.tap = &playback;
    screen.beginShowing(gfx, ctx);
    sf::Clock frameClock;
    double held = 0.0;
    Watch result = Watch::Ended;
    while (window.isOpen()) {
        sf::Event event;
        bool leave = false;
        while (window.pollEvent(event)) {
            if (event.type == sf::Event::Closed) {
                result = Watch::Closed;
                leave = true;
            } else if (event.type == sf::Event::KeyPressed && event.key.code == sf::Keyboard::Escape) {
                result = Watch::Escaped;
                leave = true;
            } else if (event.type == sf::Event::KeyPressed && event.key.code == sf::Keyboard::Space) {
                speed = speed == 1 ? 2 : 1;
            }
        }
        if (leave)
            break;
        const double dt = cappedFrameSeconds(frameClock) * speed;
        if (!playback.done())
            screen.field.Update(ctx, dt);
        else if ((held += dt) >= holdSeconds * speed)
            break;
        screen.presentFrame(window, gfx, ctx);
    }
    screen.field.tap = nullptr;
    if (parts.clean)
        parts.clean->countWith({});
    return result;
}

}  // namespace

int ReplayScreen::Run(GraphicsResources& gfx, GameContext& ctx)
{
    const ReplayRequest request = ctx.replayRequest;
    ctx.replayRequest.pending = false;
    std::optional<replay::Recording> recording;
    if (const std::optional<std::string> bytes = replay::readFile(request.path))
        recording = replay::decode(*bytes, ctx.localVersion);
    Watch how = Watch::Ended;
    if (!recording) {
        std::fputs(replay::refusedLine, stdout);
        std::fflush(stdout);
    } else {
        KeptGame kept(ctx);
        sf::RenderTexture layer;
        if (recording->mode == ScreenClean)
            layFreshDirt(layer);
        std::unique_ptr<GameScreen> screen = screenFor(recording->mode, ctx, layer);
        int speed = 1;
        const std::size_t first = std::min(request.firstLevel, recording->levels.size() - 1);
        for (std::size_t i = first; i < recording->levels.size() && how == Watch::Ended; ++i)
            how = watchLevel(*screen, recording->levels[i], gfx, ctx, speed);
    }
    if (how == Watch::Closed)
        return -1;
    ctx.requestedPage = request.returnPage;
    ctx.audio.enterMenuMusic();
    return ScreenMenu;
}

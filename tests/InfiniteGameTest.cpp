// The end of a field and the Infinite game as a whole: a field counts as
// cleared at its difficulty's share, the win waits for the bursts, "Level over"
// follows three seconds later, and the screen loop's reset brings the next
// seed's field with the score carried over.
#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "app/ScreenLoop.h"
#include "app/cScreen.h"
#include "gfx/GraphicsResources.h"
#include "tests/FieldTestSupport.h"
#include "world/MicrobeTypes.h"

namespace {

using fieldtest::FieldTest;
using fieldtest::spreadOut;

struct ClearCase {
    const char* name;
    int difficulty;
    int hitsToClear;          // of 20 microbes
    int burstingWhenWon;      // Hard does not wait for the last burst
};

class RoundEnd : public FieldTest, public ::testing::WithParamInterface<ClearCase> {};

TEST_P(RoundEnd, ClearsAtTheShareWinsWhenQuietAndEndsThreeSecondsLater)
{
    const ClearCase c = GetParam();
    ctx.difficulty = c.difficulty;
    build(spreadOut(3, 20));
    for (int i = 0; i < c.hitsToClear; ++i) {
        EXPECT_FALSE(field->throwBlocked) << c.name << ": cleared before hit " << i + 1;
        touch(microbe(static_cast<std::size_t>(i)), HitByBurst);
        step();
    }
    EXPECT_TRUE(field->throwBlocked) << c.name;
    EXPECT_EQ(ctx.remainingMicrobes, 20 - c.hitsToClear);
    EXPECT_FALSE(field->roundWon) << "bursts are still burning";
    field->buttonPressed();
    EXPECT_FALSE(field->throwRequested) << "no throws once cleared";

    ASSERT_GT(stepUntil([&] { return field->roundWon; }, 400), 0);
    EXPECT_EQ(field->burstingCount, c.burstingWhenWon) << c.name;

    testing::internal::CaptureStdout();
    const int stepsToOver = stepUntil([&] { return resetPending; }, 400);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(stepsToOver + 1, 180) << "counting the winning step";
    EXPECT_EQ(out, "Level over\n");
    EXPECT_EQ(ctx.levelSeed, 1u);
    EXPECT_EQ(ctx.requestedPage, PageRoundOver);
    for (const Microbe& m : field->pool.microbes) {
        EXPECT_TRUE(m.dead);
        EXPECT_FALSE(m.bursting);
    }
}

INSTANTIATE_TEST_SUITE_P(Difficulties, RoundEnd,
                         ::testing::Values(ClearCase{"Casual", Casual, 16, 0}, ClearCase{"Normal", Normal, 18, 0},
                                           ClearCase{"Hard", Hard, 20, 1}));

using HardException = FieldTest;

TEST_F(HardException, HardWinsAtOnceWhenTheLastHitIsTheOnlyBurst)
{
    for (const int difficulty : {Hard, Normal}) {
        ctx.difficulty = difficulty;
        build(spreadOut(3, 3));
        touch(microbe(0), HitByBurst);
        touch(microbe(1), HitByBurst);
        ASSERT_GT(stepUntil([&] { return microbe(0).dead && microbe(1).dead; }, 400), 0);
        touch(microbe(2), HitByBurst);
        step();
        EXPECT_TRUE(field->throwBlocked);
        EXPECT_TRUE(microbe(2).bursting);
        EXPECT_EQ(field->roundWon, difficulty == Hard) << "difficulty " << difficulty;
    }
}

// --- a whole game ---------------------------------------------------------

// A player who throws at a live microbe whenever no bubble is in play and
// keeps the paddle under the bubble.
class ScriptedPlayer {
public:
    static constexpr int maxThrowsPerField = 150;
    static constexpr int maxStepsPerField = 60 * 60 * 8;

    // Plays until the field is over; false when the budget ran out first.
    bool playField(GameField& field, GameContext& ctx)
    {
        throwsThisField = 0;
        int quietSteps = 0;
        int lastScore = ctx.score;
        for (int steps = 0; steps < maxStepsPerField; ++steps) {
            if (!field.bubbleInPlay && !field.throwBlocked) {
                if (throwsThisField == maxThrowsPerField || !aimAtALiveMicrobe(field))
                    return false;
                field.buttonPressed();
                field.buttonReleased();
                ++throwsThisField;
                quietSteps = 0;
            }
            quietSteps = ctx.score == lastScore ? quietSteps + 1 : 0;
            lastScore = ctx.score;
            if (!field.bubbles.empty())
                ctx.paddleTarget = paddleAimFor(field.bubbles.front(), quietSteps);
            field.Update(ctx, field.timeStep);
            if (resetPending)
                return true;
        }
        return false;
    }

    int throwsThisField = 0;

private:
    // Keeps the paddle under the bubble while it still finds microbes; after
    // ten quiet seconds (or with the bubble wedged against a wall) the paddle
    // steps aside so the bubble drops and a fresh throw can be aimed.
    static float paddleAimFor(const Bubble& bubble, int quietSteps)
    {
        const float x = bubble.body->GetPosition().x * pixelsPerMetre;
        if (quietSteps < 600)
            return x;
        return x < 512.f ? 1000.f : 24.f;
    }

    // Aims above the live microbe nearest to the launch point by the drop the
    // bubble will have on its way there, taking turns so a target that keeps
    // being missed is not tried forever.
    bool aimAtALiveMicrobe(GameField& field)
    {
        const sf::Vector2f launch = field.launchPoint();
        std::vector<std::pair<float, sf::Vector2f>> targets;
        for (const Microbe& m : field.pool.microbes) {
            if (m.dead || m.bursting || m.type > 999 || !m.body)
                continue;
            const sf::Vector2f p = fieldtest::pixelsOf(m.body);
            targets.emplace_back(std::hypot(p.x - launch.x, p.y - launch.y), p);
        }
        if (targets.empty())
            return false;
        std::sort(targets.begin(), targets.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        const auto& [distance, target] = targets[static_cast<std::size_t>(throwsThisField) % targets.size()];
        constexpr float launchSpeed = 455.f;  // px/s
        constexpr float gravity = 300.f;      // px/s²
        const float t = distance / launchSpeed;
        field.aimX = static_cast<int>(target.x);
        field.aimY = static_cast<int>(target.y - 0.5f * gravity * t * t);
        return true;
    }
};

class Placeholder : public cScreen {
public:
    int Run(GraphicsResources&, GameContext&) override { return -1; }
    void Reset(GameContext&) override {}
};

// The title hands over to the menu at once.
class TitleStandIn : public Placeholder {
public:
    int Run(GraphicsResources&, GameContext&) override { return ScreenMenu; }
};

// The menu's round-over page: "Continue" until enough fields were played.
class MenuStandIn : public Placeholder {
public:
    explicit MenuStandIn(int fields) : m_fields(fields) {}
    int Run(GraphicsResources&, GameContext&) override { return entered++ < m_fields ? ScreenInfinite : -1; }
    int entered = 0;

private:
    int m_fields;
};

struct FieldRecord {
    std::uint32_t seed;
    int throwsAtStart;
    int scoreAtStart;
    int throws;
    int score;
    bool finished;
};

// The Infinite screen without a window: its Run plays the field with the
// scripted player and goes to the menu when the field is over.
class HeadlessInfinite : public cScreen {
public:
    explicit HeadlessInfinite(GameContext& ctx) : field(ctx) {}

    int Run(GraphicsResources&, GameContext& ctx) override
    {
        FieldRecord record{ctx.levelSeed, ctx.throwCount, ctx.score, 0, 0, false};
        record.finished = player.playField(field, ctx);
        record.throws = ctx.throwCount;
        record.score = ctx.score;
        fields.push_back(record);
        return record.finished ? ScreenMenu : -1;
    }

    void Reset(GameContext& ctx) override { field.Reset(ctx); }

    GameField field;
    ScriptedPlayer player;
    std::vector<FieldRecord> fields;
};

std::string fieldLines(std::uint32_t seed)
{
    b2World world(b2Vec2(0.f, 10.f));
    MicrobePool pool;
    pool.world = &world;
    testing::internal::CaptureStdout();
    generateField(pool, seed);
    return testing::internal::GetCapturedStdout();
}

struct PlayedGame {
    std::vector<FieldRecord> fields;
    std::string output;  // standard output of the screen loop
    std::uint32_t levelSeed;
};

// Five fields of the Infinite mode through the real screen loop: title, menu,
// game, menu, game...
PlayedGame playFiveFields(bool effects)
{
    resetPending = false;
    GameContext ctx;
    ctx.settings.inputDevice = DeviceMouse;
    ctx.settings.particles = effects;

    testing::internal::CaptureStdout();
    HeadlessInfinite game(ctx);
    testing::internal::GetCapturedStdout();

    Placeholder unused;
    TitleStandIn title;
    MenuStandIn menu(5);
    GraphicsResources gfx(1024, 768);
    testing::internal::CaptureStdout();
    runScreenLoop({&title, &menu, &unused, &game}, gfx, ctx);
    PlayedGame played{game.fields, testing::internal::GetCapturedStdout(), ctx.levelSeed};
    resetPending = false;
    return played;
}

class InfiniteGame : public ::testing::TestWithParam<bool> {};

TEST_P(InfiniteGame, ScriptedPlayerClearsSeedsZeroToFourInOrder)
{
    const PlayedGame game = playFiveFields(GetParam());
    ASSERT_EQ(game.fields.size(), 5u);
    int lastScore = 0;
    std::string expected;
    for (std::size_t k = 0; k < game.fields.size(); ++k) {
        const FieldRecord& f = game.fields[k];
        SCOPED_TRACE("field " + std::to_string(k));
        EXPECT_TRUE(f.finished) << "seed " << f.seed << " not cleared in " << f.throws << " throws";
        EXPECT_EQ(f.seed, k);
        EXPECT_EQ(f.throwsAtStart, 0) << "throws count per field";
        EXPECT_EQ(f.scoreAtStart, lastScore) << "score carries over";
        EXPECT_GT(f.throws, 0);
        EXPECT_GT(f.score, f.scoreAtStart);
        lastScore = f.score;
        expected += "Level over\n";
        if (k + 1 < game.fields.size())
            expected += "Reset!\n" + fieldLines(static_cast<std::uint32_t>(k + 1));
    }
    EXPECT_EQ(game.output, expected);
    EXPECT_EQ(game.levelSeed, 5u);
}

INSTANTIATE_TEST_SUITE_P(EffectsOffAndOn, InfiniteGame, ::testing::Bool());

TEST(InfiniteGameReplay, WithoutEffectsTheSameThrowsReplayTheSameGame)
{
    const PlayedGame first = playFiveFields(false);
    const PlayedGame second = playFiveFields(false);
    ASSERT_EQ(first.fields.size(), second.fields.size());
    for (std::size_t k = 0; k < first.fields.size(); ++k) {
        EXPECT_EQ(first.fields[k].throws, second.fields[k].throws) << "field " << k;
        EXPECT_EQ(first.fields[k].score, second.fields[k].score) << "field " << k;
    }
}

}  // namespace

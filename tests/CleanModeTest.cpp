// Clean mode: measuring the dirt layer, wiping it under finished bursts, waves
// that follow one another until the target share is clean, and the low ceiling.
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTexture.hpp>

#include "screens/CleanMode.h"
#include "screens/screen_5.h"
#include "tests/FieldTestSupport.h"
#include "world/MicrobeTypes.h"
#include "world/Random.h"

using namespace fieldtest;

namespace {

constexpr unsigned layerWidth = 1010;
constexpr unsigned layerHeight = 617;
constexpr std::uint64_t layerPixels = 623170;
const sf::Color freshDirt(97, 83, 48, 100);

// A layer whose first `dirty` pixels are still dirty and the rest wiped.
sf::Image layerWithDirt(std::uint64_t dirty)
{
    sf::Image image;
    image.create(layerWidth, layerHeight, sf::Color(0, 0, 0, 0));
    for (std::uint64_t i = 0; i < dirty; ++i)
        image.setPixel(static_cast<unsigned>(i % layerWidth), static_cast<unsigned>(i / layerWidth), freshDirt);
    return image;
}

std::unique_ptr<sf::RenderTexture> freshLayer()
{
    auto layer = std::make_unique<sf::RenderTexture>();
    EXPECT_TRUE(layer->create(layerWidth, layerHeight));
    layer->clear(freshDirt);
    layer->setSmooth(true);
    return layer;
}

sf::Image readBack(sf::RenderTexture& layer)
{
    layer.display();
    return layer.getTexture().copyToImage();
}

int occurrences(const std::string& text, const std::string& part)
{
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

}  // namespace

TEST(CleanLayer, FreshLayerIsAllDirtAndAFullyWipedOneIsClean)
{
    auto layer = freshLayer();
    const DirtCount fresh = countDirt(readBack(*layer));
    EXPECT_EQ(fresh.dirty, layerPixels);
    EXPECT_EQ(fresh.total, layerPixels);
    EXPECT_EQ(cleanedPercentOf(fresh), 0.f);
    EXPECT_EQ(clearedReport(fresh), "Cleared: 623170/623170   100%\n");

    sf::RectangleShape everything({static_cast<float>(layerWidth), static_cast<float>(layerHeight)});
    everything.setFillColor(sf::Color(0, 0, 0, 1));
    layer->draw(everything, sf::RenderStates(sf::BlendMultiply));
    const DirtCount wiped = countDirt(readBack(*layer));
    EXPECT_EQ(wiped.dirty, 0u);
    EXPECT_EQ(cleanedPercentOf(wiped), 100.f);
    EXPECT_EQ(clearedReport(wiped), "Cleared: 0/623170   0%\n");
}

TEST(CleanRules, TargetShareByDifficulty)
{
    const struct {
        int difficulty;
        float target;
    } cases[] = {{Casual, 30.f}, {Normal, 60.f}, {Hard, 90.f}, {3, 0.f}, {-1, 0.f}};
    for (const auto& c : cases)
        EXPECT_EQ(cleanTarget(c.difficulty), c.target) << "difficulty " << c.difficulty;
}

TEST(CleanRules, ClearedShareTextHasTwoSignificantDigits)
{
    const struct {
        float percent;
        const char* text;
    } cases[] = {{5.3f, "5.3% Clear"}, {45.67f, "46% Clear"}, {100.f, "1e+02% Clear"}, {0.f, "0% Clear"}};
    for (const auto& c : cases)
        EXPECT_EQ(cleanedShareText(c.percent), c.text);
}

class CleanWipe : public FieldTest {};

TEST_F(CleanWipe, FinishedBurstClearsItsDiscPlusTheRingAndNothingElse)
{
    build(placed({{3, 300.f, 300.f}, {3, 600.f, 400.f}, {3, 800.f, 300.f}}));
    microbe(0).dead = true;
    microbe(0).radius = 40.f;
    microbe(1).bursting = true;  // still growing
    microbe(1).radius = 30.f;
    field->pool.snapPositions();
    auto layer = freshLayer();

    wipeUnderFinishedBursts(*layer, field->pool);
    const sf::Image once = readBack(*layer);
    const sf::Vector2f centre(300.f - 7.f, 300.f - 99.f);
    int wrong = 0;
    for (unsigned y = 0; y < layerHeight; ++y)
        for (unsigned x = 0; x < layerWidth; ++x) {
            const float d = std::hypot(static_cast<float>(x) + 0.5f - centre.x, static_cast<float>(y) + 0.5f - centre.y);
            const sf::Color c = once.getPixel(x, y);
            if (d <= 43.f && c != sf::Color(0, 0, 0, 0))
                ++wrong;
            if (d >= 45.f && c != freshDirt)
                ++wrong;
        }
    EXPECT_EQ(wrong, 0) << "a disc of radius 44 is clean, everything else untouched";

    // A dead microbe resting in one place keeps wiping the same disc.
    wipeUnderFinishedBursts(*layer, field->pool);
    EXPECT_EQ(countDirt(readBack(*layer)).dirty, countDirt(once).dirty);
}

class CleanWave : public FieldTest {
protected:
    void start(int difficulty, std::uint64_t dirty)
    {
        ctx.difficulty = difficulty;
        FieldRules rules = cleanFieldRules();
        rules.populate = spreadOut(4, 5).populate;
        build(std::move(rules));
        layer = layerWithDirt(dirty);
        freshLayers = 0;
        clean = std::make_unique<CleanMode>(*field, DirtLayerAccess{[this] { return layer; },
                                                                    [this] {
                                                                        ++freshLayers;
                                                                        layer = layerWithDirt(layerPixels);
                                                                    }});
    }

    // Throws once, bursts every microbe and steps until the wave has ended;
    // answers what the game printed meanwhile.
    std::string playWave()
    {
        testing::internal::CaptureStdout();
        throwToward(200, 700);
        for (Microbe& m : field->pool.microbes)
            touch(m, HitByBubble);
        step();
        EXPECT_EQ(ctx.remainingFraction, 0.f);
        EXPECT_GT(stepUntil([this] { return ctx.remainingFraction == 1.f; }, 600), 0) << "the wave should end";
        return testing::internal::GetCapturedStdout();
    }

    sf::Image layer;
    int freshLayers = 0;
    std::unique_ptr<CleanMode> clean;
};

TEST_F(CleanWave, RoundIsWonOnceTheShareReachesTheTarget)
{
    const struct {
        int difficulty;
        std::uint64_t dirty;
        const char* report;
    } cases[] = {
        {Casual, 436219, "Cleared: 436219/623170   70%\n"},  // exactly 30 % clean
        {3, layerPixels, "Cleared: 623170/623170   100%\n"},  // no target at all
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.difficulty);
        start(c.difficulty, c.dirty);
        const std::string out = playWave();
        EXPECT_EQ(occurrences(out, "Cleared: "), 2) << "once when the wave is cleared, once at its end";
        EXPECT_LT(out.rfind(c.report), out.find("Level over\n")) << out;
        EXPECT_TRUE(resetPending) << "the round-over page follows";
        EXPECT_EQ(freshLayers, 1);
        EXPECT_EQ(ctx.cleanedPercent, 0.f);
        EXPECT_EQ(ctx.score, 0);
        EXPECT_EQ(ctx.throwCount, 0);
        EXPECT_TRUE(ctx.audio.menuTunePlaying());
        EXPECT_TRUE(ctx.audio.isFadingOut());
        resetPending = false;
    }
}

TEST_F(CleanWave, MissedTargetStartsTheNextWaveAtOnce)
{
    start(Casual, 436220);  // a pixel short of 30 %
    const std::string out = playWave();
    EXPECT_NE(out.find("Level over\n"), std::string::npos);
    EXPECT_NE(out.find("Reset!\n"), std::string::npos);
    EXPECT_FALSE(resetPending) << "the player stays in the game";
    EXPECT_EQ(freshLayers, 0);
    EXPECT_LT(ctx.cleanedPercent, 30.f);
    EXPECT_GT(ctx.score, 0);
    EXPECT_EQ(ctx.throwCount, 1);
    EXPECT_FALSE(ctx.audio.menuTunePlaying()) << "the game music plays on";
    EXPECT_FALSE(ctx.audio.isFadingOut());
    EXPECT_TRUE(clean->measurePending);
    ASSERT_EQ(field->pool.size(), 5u);
    EXPECT_FALSE(microbe(0).dead);

    throwToward(200, 700);
    EXPECT_EQ(ctx.throwCount, 2) << "the throw counter runs over all waves";
}

TEST_F(CleanWave, BubbleThrownStraightUpComesBackWithinTheView)
{
    FieldRules rules = cleanFieldRules();
    rules.populate = emptyField().populate;
    build(std::move(rules));
    const Bubble& bubble = throwToward(512, 0);
    const b2Body* body = bubble.body;
    float highest = pixelsOf(body).y;
    const int steps = stepUntil(
        [&] {
            highest = std::min(highest, pixelsOf(body).y);
            return pixelsOf(body).y > 200.f;
        },
        300);
    EXPECT_GT(steps, 0) << "the bubble should fall back into the field";
    EXPECT_LT(highest, 12.f) << "it should reach the top edge";
    EXPECT_GT(highest, 0.f) << "and bounce off it inside the view";
    EXPECT_EQ(field->catcher.timer, 0) << "it never reaches the catcher";
}

TEST(CleanScreen, ConstructorReportsTheModeAndLaysOutAWave)
{
    GameContext ctx;
    testing::internal::CaptureStdout();
    screen_5 screen(ctx);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("constructing screen 5: clean mode\n", 0), 0u) << out;
    EXPECT_NE(out.find("tmax: "), std::string::npos);
    EXPECT_NE(out.find("difficulty level = "), std::string::npos);
    EXPECT_TRUE(screen.clean.measurePending);
}

TEST_F(CleanWave, WavesContinueTheRandomSourceWithoutShimmer)
{
    build(emptyField());
    testing::internal::CaptureStdout();
    gameRandom().seed32(77);
    generateWave(field->pool);
    const int firstType = microbe(0).type;
    const b2Vec2 firstAt = microbe(0).body->GetPosition();
    std::vector<std::size_t> counts;
    for (int wave = 0; wave < 12; ++wave) {
        counts.push_back(field->pool.size());
        for (const Microbe& m : field->pool.microbes)
            EXPECT_FALSE(m.ambient);
        field->pool.clear();
        generateWave(field->pool);
    }
    gameRandom().seed32(77);
    field->pool.clear();
    generateWave(field->pool);
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(field->pool.size(), counts.front()) << "the same generator state gives the same wave";
    EXPECT_EQ(microbe(0).type, firstType);
    EXPECT_EQ(microbe(0).body->GetPosition(), firstAt);
    for (std::size_t n : counts) {
        EXPECT_GE(n, 14u);
        EXPECT_LE(n, 21u);
    }
    EXPECT_NE(std::adjacent_find(counts.begin(), counts.end(), std::not_equal_to<>()), counts.end())
        << "successive waves are not the same wave";
}

// Fields come from the level seed: the same seed must rebuild the same field,
// and every field must keep to the rules of counts, types and placement.
#include <algorithm>
#include <sstream>
#include <vector>

#include "tests/FieldTestSupport.h"
#include "world/MicrobeTypes.h"

namespace {

// A pool in a world of its own, as the field builds it.
struct Generated {
    explicit Generated(std::uint32_t seed)
    {
        pool.world = &world;
        testing::internal::CaptureStdout();
        list = generateField(pool, seed);
        output = testing::internal::GetCapturedStdout();
    }

    b2World world{b2Vec2(0.f, 10.f)};
    MicrobePool pool;
    std::vector<int> list;
    std::string output;
};

struct Snapshot {
    int type;
    float x, y, vx, vy;
    bool operator==(const Snapshot&) const = default;
};

std::vector<Snapshot> snapshot(const MicrobePool& pool)
{
    std::vector<Snapshot> out;
    for (const Microbe& m : pool.microbes) {
        const b2Vec2 v = m.body->GetLinearVelocity();
        out.push_back({m.type, m.pixelX, m.pixelY, v.x, v.y});
    }
    return out;
}

TEST(FieldGeneration, SameSeedGivesTheSameFieldBitForBit)
{
    const Generated first(0);
    const Generated again(0);
    EXPECT_EQ(first.list, again.list);
    EXPECT_EQ(first.output, again.output);
    EXPECT_EQ(snapshot(first.pool), snapshot(again.pool));
    EXPECT_NE(snapshot(Generated(1).pool), snapshot(first.pool));
}

// Fields worked out by hand from the type table and the generation rules
// (with a separate little Mersenne Twister), never by running the game.
struct KnownField {
    std::uint32_t seed;
    int count;
    std::vector<int> list;
    int difficulty;
};

TEST(FieldGeneration, KnownSeedsLayTheFieldsWorkedOutByHand)
{
    const KnownField known[] = {
        // 27 slots alternate 1, 4: 14 of type 1 (-1 each), 13 of type 4 (2 each).
        {0, 27, {1, 4}, 12},
        // 20 of type 9 at 2 each.
        {1, 20, {9}, 40},
        // 20 slots cycle 7, 1, 2: seven of 7 (2), seven of 1 (-1), six of 2 (-2).
        {26, 20, {7, 1, 2}, -5},
    };
    for (const KnownField& k : known) {
        const Generated g(k.seed);
        EXPECT_EQ(static_cast<int>(g.pool.size()), k.count) << "seed " << k.seed;
        EXPECT_EQ(g.list, k.list) << "seed " << k.seed;
        EXPECT_EQ(g.pool.difficultyLevel(), k.difficulty) << "seed " << k.seed;
    }
    // Seed 0 draws 2357136044 (& 15 = 12: 27 microbes), 2546248239 (& 3 = 3:
    // drawn again), 3071714933 (& 3 = 1: two types), 3626093760 (& 15 = 0:
    // type 1) and 2588848963 (& 15 = 3: type 4); the first microbe then takes
    // 3684848379 and 2340255427 as u for 15 + 980 u and 105 + 490 u pixels.
    const Generated zero(0);
    EXPECT_NEAR(zero.pool.at(0).pixelX, 855.787f, 0.001f);
    EXPECT_NEAR(zero.pool.at(0).pixelY, 371.993f, 0.001f);
}

TEST(FieldGeneration, EverySeedKeepsTheFieldRules)
{
    for (std::uint32_t seed = 0; seed < 300; ++seed) {
        const Generated g(seed);
        const std::size_t count = g.pool.size();
        ASSERT_GE(count, 15u);
        ASSERT_LE(count, 30u);
        ASSERT_GE(g.list.size(), 1u);
        ASSERT_LE(g.list.size(), 3u);

        std::ostringstream expected;
        for (int t : g.list)
            expected << "new_type: " << t << "\n";
        expected << "tmax: " << g.list.size() << "\n";
        EXPECT_EQ(g.output, expected.str()) << "seed " << seed;

        std::vector<int> distinct;
        for (std::size_t i = 0; i < count; ++i) {
            const Microbe& m = g.pool.at(i);
            ASSERT_EQ(m.type, g.list[i % g.list.size()]) << "seed " << seed << " slot " << i;
            ASSERT_GE(m.type, 1);
            ASSERT_LE(m.type, 15);
            EXPECT_TRUE(m.ambient);
            EXPECT_GE(m.pixelX, 15.f);
            EXPECT_LE(m.pixelX, 995.f);
            EXPECT_GE(m.pixelY, 105.f);
            EXPECT_LE(m.pixelY, 595.f);
            if (std::find(distinct.begin(), distinct.end(), m.type) == distinct.end())
                distinct.push_back(m.type);
        }
        EXPECT_EQ(std::vector<int>(g.pool.types.begin(), g.pool.types.end()), distinct);
        EXPECT_EQ(g.pool.spawnedTotal, static_cast<int>(count));
    }
}

TEST(FieldGeneration, RepeatedTypeTakesItsShareOfSlotsAndCountsOnce)
{
    // Find a seed whose three-entry list draws one type twice.
    std::uint32_t seed = 0;
    for (;; ++seed) {
        ASSERT_LT(seed, 2000u) << "no seed repeats a type";
        const Generated g(seed);
        if (g.list.size() == 3 && (g.list[0] == g.list[1] || g.list[1] == g.list[2] || g.list[0] == g.list[2]))
            break;
    }
    const Generated g(seed);
    const int doubled = std::count(g.list.begin(), g.list.end(), g.list[0]) == 2 ? g.list[0] : g.list[1];
    // Two of every three slots belong to the doubled type.
    for (std::size_t i = 0; i + 3 <= g.pool.size(); i += 3) {
        int ofDoubled = 0;
        for (std::size_t k = i; k < i + 3; ++k)
            ofDoubled += g.pool.at(k).type == doubled ? 1 : 0;
        EXPECT_EQ(ofDoubled, 2) << "slots " << i << ".." << i + 2;
    }
    EXPECT_EQ(g.pool.types.size(), 2u);

    // The constructor's line reports the distinct count.
    GameContext ctx;
    ctx.levelSeed = seed;
    testing::internal::CaptureStdout();
    GameField field(ctx);
    const std::string out = testing::internal::GetCapturedStdout();
    std::ostringstream line;
    line << "difficulty level = " << field.pool.difficultyLevel() << " # types = 2\n";
    EXPECT_NE(out.find(line.str()), std::string::npos) << out;
    EXPECT_EQ(out.substr(0, 22), "constructing screen 1\n");
}

TEST(FieldGeneration, ThirtyTypeTwoMicrobesMakeDifficultyMinusSixty)
{
    FieldRules rules;
    rules.populate = [](MicrobePool& pool, GameContext&) { addRandomMicrobes(pool, 2, 30); };
    GameContext ctx;
    testing::internal::CaptureStdout();
    GameField field(ctx, rules);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(field.pool.difficultyLevel(), -60);
    EXPECT_EQ(out, "constructing screen 1\ndifficulty level = -60 # types = 1\n");
    EXPECT_EQ(ctx.totalMicrobes, 30);
    EXPECT_EQ(ctx.remainingMicrobes, 30);
}

TEST(FieldGeneration, EmptyPoolHasNoDifficulty)
{
    EXPECT_EQ(MicrobePool{}.difficultyLevel(), 0);
}

TEST(FieldGeneration, UnknownTypeKeepsTheDefaults)
{
    Microbe m;
    setType(m, 77);
    const Microbe defaults;
    EXPECT_EQ(m.type, 77);
    EXPECT_EQ(m.radius, defaults.radius);
    EXPECT_EQ(m.burstRadius, defaults.burstRadius);
    EXPECT_EQ(m.color, defaults.color);
    EXPECT_EQ(m.points, 5);
    EXPECT_FALSE(m.hasFuse);
}

}  // namespace

// The course screen's rules on a real field: levels built from the course,
// per-level results, and the end of the course.
#include "FieldTestSupport.h"
#include "screens/CourseMode.h"

using namespace fieldtest;

namespace {

class CourseModeTest : public FieldTest {
protected:
    void SetUp() override
    {
        FieldTest::SetUp();
        ctx.course.generate(2, 4660);
        FieldRules rules;
        CourseMode::prepareConstruction(rules);
        build(rules);
        mode = std::make_unique<CourseMode>(*field);
    }

    // Hits every microbe of the level and runs the field until it is over.
    void clearLevel()
    {
        for (Microbe& m : field->pool.microbes)
            if (!m.bursting && !m.dead)
                touch(m, HitByBurst);
        stepUntil([] { return resetPending; }, 2000);
    }

    std::unique_ptr<CourseMode> mode;
};

}  // namespace

TEST_F(CourseModeTest, ConstructionBuildsNoFieldAndPrintsNoDifficulty)
{
    EXPECT_EQ(constructionOutput, "constructing screen 1\n");
    EXPECT_EQ(field->pool.size(), 0u);
}

TEST_F(CourseModeTest, ANewCourseMakesTheFieldStaleUntilItIsLaidAgain)
{
    EXPECT_TRUE(mode->fieldIsStale(ctx)) << "nothing laid yet";
    testing::internal::CaptureStdout();
    mode->Reset(ctx);
    EXPECT_FALSE(mode->fieldIsStale(ctx));
    // "Main Menu" makes a new course; another mode may then take the restart request.
    ctx.course.generateRandom(Course::defaultRounds);
    EXPECT_TRUE(mode->fieldIsStale(ctx));
    mode->Reset(ctx);
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(mode->fieldIsStale(ctx));
}

TEST_F(CourseModeTest, ResetLaysTheCurrentLevelsGroupsAndZeroesTheLevelsCounts)
{
    ctx.score = 900;
    ctx.throwCount = 4;
    testing::internal::CaptureStdout();
    mode->Reset(ctx);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Reset!\n");

    std::vector<int> expected;
    for (const MicrobeGroup& g : ctx.course.levels[0])
        for (int i = 0; i < g.count; ++i)
            expected.push_back(g.type);
    std::vector<int> laid;
    for (const Microbe& m : field->pool.microbes) {
        laid.push_back(m.type);
        EXPECT_TRUE(m.ambient);
    }
    EXPECT_EQ(laid, expected);
    EXPECT_EQ(ctx.totalMicrobes, static_cast<int>(expected.size()));
    EXPECT_EQ(ctx.score, 0);
    EXPECT_EQ(ctx.throwCount, 0);
}

TEST_F(CourseModeTest, EachLevelRecordsItsThrowsAndPointsThenTheCourseEnds)
{
    testing::internal::CaptureStdout();
    mode->Reset(ctx);
    ctx.throwCount = 3;
    clearLevel();
    ASSERT_TRUE(resetPending);
    EXPECT_EQ(ctx.course.levelThrows, std::vector<int>{3});
    EXPECT_EQ(ctx.course.levelPoints.size(), 1u);
    EXPECT_GT(ctx.course.levelPoints[0], 0);
    EXPECT_EQ(ctx.score, 0);
    EXPECT_EQ(ctx.course.currentLevel, 1);
    EXPECT_EQ(ctx.requestedPage, PageRoundOver);

    mode->Reset(ctx);
    ctx.throwCount = 5;
    clearLevel();
    ASSERT_TRUE(resetPending);
    EXPECT_EQ(ctx.course.levelThrows, (std::vector<int>{3, 5}));
    EXPECT_TRUE(ctx.course.isOver());
    EXPECT_EQ(ctx.requestedPage, PageCourseOver);

    // After the last level the field stays empty.
    mode->Reset(ctx);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(field->pool.size(), 0u);
    EXPECT_EQ(ctx.totalMicrobes, 0);
    resetPending = false;
}

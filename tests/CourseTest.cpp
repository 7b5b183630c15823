// The course record: levels drawn from one seed, the code that passes a
// course on, and reading a typed code back.
#include <algorithm>
#include <cstdint>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "screens/Course.h"
#include "world/Random.h"

namespace {

using Groups = std::vector<std::pair<int, int>>;

// The make-up of every level, in playing order, as (count, type) pairs.
std::vector<Groups> makeUp(const Course& course)
{
    std::vector<Groups> levels;
    for (const CourseLevel& level : course.levels) {
        Groups groups;
        for (const MicrobeGroup& g : level)
            groups.emplace_back(g.count, g.type);
        levels.push_back(groups);
    }
    return levels;
}

Course generated(std::int32_t rounds, std::uint32_t seed)
{
    testing::internal::CaptureStdout();  // one empty line per level
    Course course;
    course.generate(rounds, seed);
    testing::internal::GetCapturedStdout();
    return course;
}

TEST(Course, SameRoundsAndSeedGiveTheSameLevels)
{
    const Course first = generated(9, 4660);
    for (int i = 0; i < 1000; ++i)
        randomRaw();
    const Course second = generated(9, 4660);
    EXPECT_EQ(makeUp(first), makeUp(second));
    EXPECT_NE(makeUp(first), makeUp(generated(9, 4661)));
}

TEST(Course, TheLevelDrawnFirstIsPlayedLast)
{
    // A one-level course draws only what a longer one draws first.
    const auto first = makeUp(generated(1, 4660));
    const auto nine = makeUp(generated(9, 4660));
    ASSERT_EQ(nine.size(), 9u);
    EXPECT_EQ(nine.back(), first.front());
    EXPECT_NE(nine.front(), first.front());
}

TEST(Course, GenerationWritesOneLinePerLevel)
{
    testing::internal::CaptureStdout();
    Course course;
    course.generate(4, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n\n\n\n");
}

TEST(Course, EveryLevelFollowsTheGroupRules)
{
    for (std::uint32_t seed : {0u, 1u, 7u, 4660u, 65535u, 2147483646u, 4294967295u}) {
        const Course course = generated(30, seed);
        ASSERT_EQ(course.levels.size(), 30u);
        for (const Groups& level : makeUp(course)) {
            ASSERT_GE(level.size(), 1u);
            ASSERT_LE(level.size(), 3u);
            int total = 0;
            for (const auto& [count, type] : level) {
                EXPECT_EQ(count, level.front().first) << "groups of a level are equal";
                EXPECT_GE(type, 1);
                EXPECT_LE(type, 15);
                total += count;
            }
            // 16..25 microbes before the remainder of the division is dropped.
            const int groups = static_cast<int>(level.size());
            EXPECT_GE(total, (16 / groups) * groups);
            EXPECT_LE(total, (25 / groups) * groups);
        }
    }
}

TEST(Course, CodeJoinsRoundsSeedAndVersion)
{
    EXPECT_EQ(generated(9, 4660).code(), "9-4660-1");
    EXPECT_EQ(generated(1, 4294967295u).code(), "1-4294967295-1");
}

TEST(Course, PrintedCodesReadBackToTheSameCourse)
{
    for (const auto& [rounds, seed] : std::vector<std::pair<int, std::uint32_t>>{
             {9, 4660}, {1, 0}, {30, 123456789}, {99, 4294967295u}}) {
        const Course original = generated(rounds, seed);
        Course read;
        testing::internal::CaptureStdout();
        read.readCode(original.code());
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(read.code(), original.code());
        EXPECT_EQ(makeUp(read), makeUp(original));
    }
}

struct CodeCase {
    const char* text;
    std::int32_t rounds;
    std::uint32_t seed;
};

class CourseCodeTest : public ::testing::TestWithParam<CodeCase> {};

TEST_P(CourseCodeTest, TypedCodesAlwaysMakeASensibleCourse)
{
    const CodeCase c = GetParam();
    Course course = generated(3, 3);
    course.restarted = true;
    course.levelThrows = {4};
    testing::internal::CaptureStdout();
    course.readCode(c.text);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(course.rounds, c.rounds) << c.text;
    EXPECT_EQ(course.seed, c.seed) << c.text;
    EXPECT_EQ(course.codeVersion, 1);
    EXPECT_EQ(course.levels.size(), static_cast<std::size_t>(c.rounds));
    EXPECT_EQ(course.currentLevel, 0);
    EXPECT_FALSE(course.restarted);
    EXPECT_TRUE(course.levelThrows.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CourseCodeTest,
    ::testing::Values(CodeCase{"9-4660-7", 9, 4660},          // any version reads as 1
                      CodeCase{"4294967295-1-1", 99, 1},      // absurd round counts are capped
                      CodeCase{"99999999999999-5-1", 99, 5},  // too big even for 32 bits
                      CodeCase{"0-5-1", 1, 5},                // at least one round
                      CodeCase{" 12abc-77x-1", 12, 77},       // read as far as the digits go
                      CodeCase{"3", 3, 0},                    // no seed reads as 0
                      CodeCase{"", 1, 0}, CodeCase{"--", 1, 0},
                      CodeCase{"5-99999999999-1", 5, 4294967295u},
                      CodeCase{"4-8-1-2-3", 4, 8}));

TEST(Course, RandomCoursesHaveSmallSeeds)
{
    testing::internal::CaptureStdout();
    Course course;
    course.generateRandom(9);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(course.rounds, 9);
    EXPECT_LE(course.seed, 65535u);
    EXPECT_EQ(course.levels.size(), 9u);
    // The seed comes from the clock's second: made again at once, it is the same.
    testing::internal::CaptureStdout();
    const auto second = std::time(nullptr);
    Course again;
    again.generateRandom(9);
    Course third;
    third.generateRandom(9);
    testing::internal::GetCapturedStdout();
    if (std::time(nullptr) == second) {
        EXPECT_EQ(again.seed, third.seed);
    }
}

TEST(Course, IsOverOnceEveryLevelIsPlayed)
{
    Course course = generated(2, 5);
    EXPECT_FALSE(course.isOver());
    course.currentLevel = 2;
    EXPECT_TRUE(course.isOver());
}

}  // namespace

namespace {

Course daily(CalendarDate date)
{
    testing::internal::CaptureStdout();
    Course course;
    course.generateDaily(date);
    testing::internal::GetCapturedStdout();
    return course;
}

TEST(DailyCourse, EachDayHasItsOwnCourseTheSameForEveryone)
{
    const Course today = daily({2026, 12, 11});
    EXPECT_EQ(today.rounds, 9);
    EXPECT_EQ(today.dailyDate(), "2026-12-11");
    // The day's seed, worked out with MurmurHash3's finaliser on 20261211.
    EXPECT_EQ(today.seed, 111678116u);
    EXPECT_EQ(today.code(), "9-111678116-1");
    EXPECT_EQ(makeUp(daily({2026, 12, 11})), makeUp(today));
    for (const CalendarDate other : {CalendarDate{2026, 12, 12}, CalendarDate{2026, 11, 12}, CalendarDate{2027, 12, 11}}) {
        const Course course = daily(other);
        EXPECT_NE(course.seed, today.seed) << isoDate(other);
        EXPECT_NE(makeUp(course), makeUp(today)) << isoDate(other);
    }
}

TEST(DailyCourse, ItsCodeTypedOnAnotherDayLaysTheSameLevels)
{
    const Course today = daily({2026, 12, 11});
    testing::internal::CaptureStdout();
    Course later;
    later.generateDaily({2026, 12, 20});
    later.readCode(today.code());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(makeUp(later), makeUp(today));
    EXPECT_EQ(later.code(), today.code());
}

TEST(DailyCourse, KeepsItsTitleOnlyWhileItIsThatCourse)
{
    Course course = daily({2026, 1, 2});
    testing::internal::CaptureStdout();
    course.levelThrows = {3};
    course.generate(course.rounds, course.seed);  // "Retry Course"
    EXPECT_EQ(course.dailyDate(), "2026-01-02");
    EXPECT_TRUE(course.levelThrows.empty());
    course.generate(8, course.seed);  // "Rounds: " 8
    EXPECT_EQ(course.dailyDate(), "");
    course.generate(9, course.seed);
    EXPECT_EQ(course.dailyDate(), "2026-01-02");
    course.generate(9, course.seed + 1);  // "New Course"
    EXPECT_EQ(course.dailyDate(), "");
    course.generateDaily({2026, 1, 2});
    course.generateRandom(9);  // "Main Menu"
    EXPECT_EQ(course.dailyDate(), "");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(isoDate({987, 3, 4}), "0987-03-04");
}

}  // namespace

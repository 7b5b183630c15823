// The best of the day in its file on a real disk: fewest throws, then most
// points, one day at a time, replaced whole.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "screens/Course.h"
#include "screens/DailyBest.h"

namespace fs = std::filesystem;

namespace {

class DailyBestTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "frothlet-daily-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_directory = pattern;
    }
    void TearDown() override { fs::remove_all(m_directory); }

    std::string path() const { return m_directory + "/" + dailyBestFileName; }
    std::string contents() const
    {
        std::ifstream file(path(), std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::string m_directory;
};

TEST_F(DailyBestTest, KeepsTheDaysBestAndOnlyThat)
{
    struct Offer {
        DailyResult result;
        bool kept;
        const char* file;  // after the offer
    };
    const Offer offers[] = {
        {{"2026-12-11", 14, 900}, true, "2026-12-11\n14\n900\n"},
        {{"2026-12-11", 15, 5000}, false, "2026-12-11\n14\n900\n"},    // more throws lose
        {{"2026-12-11", 14, 800}, false, "2026-12-11\n14\n900\n"},     // same throws, fewer points
        {{"2026-12-11", 14, 900}, true, "2026-12-11\n14\n900\n"},      // the same result again
        {{"2026-12-11", 14, 1200}, true, "2026-12-11\n14\n1200\n"},    // same throws, more points
        {{"2026-12-11", 11, 10}, true, "2026-12-11\n11\n10\n"},        // fewer throws win
        {{"2026-12-10", 2, 99999}, false, "2026-12-11\n11\n10\n"},     // yesterday's course, late
        {{"2026-12-12", 30, 0}, true, "2026-12-12\n30\n0\n"},          // a new day starts afresh
    };
    for (const Offer& o : offers) {
        EXPECT_EQ(offerDailyResult(path(), o.result), o.kept) << o.result.date << " " << o.result.throws;
        EXPECT_EQ(contents(), o.file);
    }
    EXPECT_EQ(readDailyBest(path()), (DailyResult{"2026-12-12", 30, 0}));
    for (const auto& entry : fs::directory_iterator(m_directory))
        EXPECT_EQ(entry.path().filename(), dailyBestFileName) << "nothing half-written is left";
}

TEST_F(DailyBestTest, AMissingOrDamagedFileHoldsNoResultAndGivesWay)
{
    EXPECT_FALSE(readDailyBest(path()));
    for (const char* damaged : {"", "2026-12-11\n14\n", "2026-12-11\nfourteen\n900\n", "11.12.2026\n14\n900\n",
                                "2026-12-11\n-3\n900\n", "2026-12-11\n14\n900x\n"}) {
        std::ofstream(path(), std::ios::binary) << damaged;
        EXPECT_FALSE(readDailyBest(path())) << damaged;
        EXPECT_TRUE(offerDailyResult(path(), {"2026-12-11", 20, 1}));
        EXPECT_EQ(contents(), "2026-12-11\n20\n1\n");
    }
}

TEST_F(DailyBestTest, OnlyAWholeUnrestartedDailyCourseHasAResult)
{
    testing::internal::CaptureStdout();
    Course course;
    course.generateDaily({2026, 12, 11});
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(dailyResultOf(course)) << "not played yet";
    for (int level = 0; level < course.rounds; ++level) {
        course.levelThrows.push_back(2);
        course.levelPoints.push_back(100 + level);
        course.currentLevel += 1;
    }
    EXPECT_EQ(dailyResultOf(course), (DailyResult{"2026-12-11", 18, 936}));
    course.restarted = true;
    EXPECT_FALSE(dailyResultOf(course));
    course.restarted = false;
    course.seed += 1;  // no longer the day's course
    EXPECT_FALSE(dailyResultOf(course));
}

}  // namespace

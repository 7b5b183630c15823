// The statistics log keeps the run's events in memory, in order, and never
// writes its file.
#include <filesystem>

#include <gtest/gtest.h>

#include "app/Statistics.h"

namespace fs = std::filesystem;

TEST(Statistics, GameStartsAreKeptInOrderAndNoFileIsWritten)
{
    const fs::path dir = fs::temp_directory_path() / ("frothlet-stats-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path before = fs::current_path();
    fs::current_path(dir);
    {
        StatisticsLog log;
        for (int mode : {3, 2, 4})
            log.logEvent("start game", mode);
        ASSERT_EQ(log.events().size(), 3u);
        EXPECT_EQ(log.events()[0].value, 3);
        EXPECT_EQ(log.events()[1].value, 2);
        EXPECT_EQ(log.events()[2].value, 4);
        for (const StatisticsEvent& e : log.events())
            EXPECT_EQ(e.name, "start game");
        EXPECT_EQ(log.fileName(), "stats.dat");
        log.saveStatistics();
    }
    EXPECT_FALSE(fs::exists(dir / "stats.dat"));
    fs::current_path(before);
    fs::remove_all(dir);
}

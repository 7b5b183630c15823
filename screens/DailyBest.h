// The best result of the course of the day, kept in a small text file next
// to the settings ("daily.cfg"): the day, then the throws, then the points,
// one a line. Fewest throws win; between equal throws, most points.
#pragma once

#include <optional>
#include <string>

class Course;

struct DailyResult {
    std::string date;  // "YYYY-MM-DD"
    int throws = 0;
    int points = 0;
    bool operator==(const DailyResult&) const = default;
};

extern const char* const dailyBestFileName;

// Whether `a` beats `b` (results of the same day).
bool betterResult(const DailyResult& a, const DailyResult& b);

// The result of a course of the day played through without a restart.
std::optional<DailyResult> dailyResultOf(const Course& course);

// The file's result; none when the file is missing or damaged.
std::optional<DailyResult> readDailyBest(const std::string& path);

// Keeps `result` when the file holds nothing better for its day (a result of
// an earlier day gives way, one of a later day stays). Answers whether the
// file now holds `result`.
bool offerDailyResult(const std::string& path, const DailyResult& result);

// The course: a fixed run of generated levels that one 32-bit seed decides,
// so a course can be passed to another player as a short code such as
// "9-4660-1" (rounds, seed, version). The menu makes, regenerates and shows
// it; the course screen plays it level by level and records the results.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// `count` microbes of one microbe type.
struct MicrobeGroup {
    std::int32_t count = 0;
    std::int32_t type = 0;
};

using CourseLevel = std::deque<MicrobeGroup>;

// A day of the calendar, as the clock gives it in UTC.
struct CalendarDate {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
};

// "YYYY-MM-DD".
std::string isoDate(const CalendarDate& date);
// Today in UTC: the same day for every player on the planet.
CalendarDate todayUtc();
// The seed of a day's course: a hash of YYYYMMDD in 1..2147483646, the range
// of the seeds "New Course" draws, so every day's code is an ordinary one.
std::uint32_t dailySeed(const CalendarDate& date);

class Course {
public:
    // Fewer levels than one make no course; more than this would only make
    // the player wait while thousands of levels are drawn.
    static constexpr std::int32_t minRounds = 1;
    static constexpr std::int32_t maxRounds = 99;
    // The rounds the menu's "Rounds: " item steps through.
    static constexpr std::int32_t menuMaxRounds = 30;
    static constexpr std::int32_t defaultRounds = 9;

    // Rebuilds every level from the seed; results and the restart mark are
    // cleared and play starts again at the first level.
    void generate(std::int32_t rounds, std::uint32_t seed);
    // A course from a fresh seed in 0..65535, picked from the clock.
    void generateRandom(std::int32_t rounds);
    // The course of the day: nine levels from the day's seed.
    void generateDaily(const CalendarDate& date);
    // "YYYY-MM-DD" while this is the course of that day (regenerating it,
    // as "Retry Course" does, keeps it so); empty for any other course.
    std::string dailyDate() const;
    // "rounds-seed-version", digits and two dashes only.
    std::string code() const;
    // Takes rounds and seed from a typed code and regenerates. Never fails:
    // what is not a number reads as far as it goes.
    void readCode(const std::string& text);
    bool isOver() const { return currentLevel >= rounds; }

    std::int32_t rounds = 0;
    std::int32_t currentLevel = 0;
    std::uint32_t seed = 1;
    std::int32_t codeVersion = 1;
    bool restarted = false;
    // Counts the courses made, so a screen can tell that its field belongs
    // to an older one.
    std::uint32_t generation = 0;
    std::deque<CourseLevel> levels;
    std::vector<std::int32_t> levelThrows;
    std::vector<std::int32_t> levelPoints;

private:
    // The day last laid by generateDaily, with its seed.
    std::string m_dailyDate;
    std::uint32_t m_dailySeed = 0;
};

// One piece of a course code read like a stream reads an unsigned number:
// blanks skipped, then digits up to the first other character. No digits
// read as 0; a number too large for 32 bits reads as the largest one.
std::uint32_t readCodeNumber(const std::string& piece);

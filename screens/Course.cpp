#include "screens/Course.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>

#include "world/Random.h"

namespace {

// How many groups a level's microbes come in, from a roll of 1..100.
int groupCountFor(std::uint32_t roll)
{
    if (roll <= 30)
        return 3;
    if (roll <= 80)
        return 2;
    return 1;
}

CourseLevel drawLevel()
{
    const auto total = static_cast<std::int32_t>(randomInt(9) + 16);
    const int groups = groupCountFor(randomInt(99) + 1);
    // The remainder is dropped: 25 microbes in 3 groups make 3 groups of 8.
    const std::int32_t perGroup = total / groups;
    CourseLevel level;
    for (int g = 0; g < groups; ++g) {
        const auto type = static_cast<std::int32_t>(randomInt(14) + 1);
        level.push_front({perGroup, type});
    }
    return level;
}

std::vector<std::string> splitAtDashes(const std::string& text)
{
    std::vector<std::string> pieces(1);
    for (char c : text) {
        if (c == '-')
            pieces.emplace_back();
        else
            pieces.back() += c;
    }
    return pieces;
}

}  // namespace

std::string isoDate(const CalendarDate& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", std::clamp(date.year, 0, 9999),
                  std::clamp(date.month, 0, 99), std::clamp(date.day, 0, 99));
    return text;
}

CalendarDate todayUtc()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    if (gmtime_r(&now, &utc) == nullptr)
        return {};
    return {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday};
}

std::uint32_t dailySeed(const CalendarDate& date)
{
    // The mixing steps of MurmurHash3's finaliser: neighbouring days give
    // unrelated seeds, and the result is the same on every machine.
    auto h = static_cast<std::uint32_t>(date.year * 10000 + date.month * 100 + date.day);
    h ^= h >> 16;
    h *= 0x85ebca6bu;
    h ^= h >> 13;
    h *= 0xc2b2ae35u;
    h ^= h >> 16;
    return h % 2147483646u + 1u;
}

std::uint32_t readCodeNumber(const std::string& piece)
{
    std::size_t i = 0;
    while (i < piece.size() && std::isspace(static_cast<unsigned char>(piece[i])))
        ++i;
    if (i < piece.size() && piece[i] == '+')
        ++i;
    constexpr std::uint64_t largest = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    for (; i < piece.size() && std::isdigit(static_cast<unsigned char>(piece[i])); ++i)
        value = std::min(largest, value * 10 + static_cast<std::uint64_t>(piece[i] - '0'));
    return static_cast<std::uint32_t>(value);
}

void Course::generate(std::int32_t newRounds, std::uint32_t newSeed)
{
    seed = newSeed;
    gameRandom().seed32(newSeed);
    levels.clear();
    levelThrows.clear();
    levelPoints.clear();
    rounds = std::min(newRounds, maxRounds);
    currentLevel = 0;
    restarted = false;
    ++generation;
    for (std::int32_t i = 0; i < rounds; ++i) {
        CourseLevel level = drawLevel();
        std::fputs("\n", stdout);
        // The level drawn last is played first.
        levels.push_front(std::move(level));
    }
    std::fflush(stdout);
}

void Course::generateRandom(std::int32_t newRounds)
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    std::uint32_t randomSeed = 0;
    for (int nibble = 0; nibble < 4; ++nibble)
        randomSeed |= static_cast<std::uint32_t>(std::rand() % 16) << (4 * nibble);
    m_dailyDate.clear();
    generate(newRounds, randomSeed);
}

void Course::generateDaily(const CalendarDate& date)
{
    m_dailyDate = isoDate(date);
    m_dailySeed = dailySeed(date);
    codeVersion = 1;
    generate(defaultRounds, m_dailySeed);
}

std::string Course::dailyDate() const
{
    const bool stillThatCourse = rounds == defaultRounds && seed == m_dailySeed;
    return stillThatCourse ? m_dailyDate : std::string();
}

std::string Course::code() const
{
    return std::to_string(rounds) + "-" + std::to_string(seed) + "-" + std::to_string(codeVersion);
}

void Course::readCode(const std::string& text)
{
    const std::vector<std::string> pieces = splitAtDashes(text);
    const std::uint32_t typedRounds = readCodeNumber(pieces[0]);
    const std::uint32_t typedSeed = pieces.size() > 1 ? readCodeNumber(pieces[1]) : 0;
    // The version piece is read past: every code made here is version 1.
    codeVersion = 1;
    const auto clampedRounds = static_cast<std::int32_t>(
        std::clamp<std::uint32_t>(typedRounds, minRounds, maxRounds));
    generate(clampedRounds, typedSeed);
}

#include "screens/DailyBest.h"

#include <charconv>
#include <fstream>
#include <vector>

#include "screens/Course.h"
#include "world/SafeFile.h"

const char* const dailyBestFileName = "daily.cfg";

namespace {

// A whole line that is a whole number, and nothing else.
std::optional<int> wholeNumber(const std::string& line)
{
    int value = 0;
    const char* end = line.data() + line.size();
    const auto [stop, error] = std::from_chars(line.data(), end, value);
    if (error != std::errc() || stop != end || line.empty())
        return std::nullopt;
    return value;
}

bool looksLikeDate(const std::string& text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i != 4 && i != 7 && (text[i] < '0' || text[i] > '9'))
            return false;
    return true;
}

}  // namespace

bool betterResult(const DailyResult& a, const DailyResult& b)
{
    if (a.throws != b.throws)
        return a.throws < b.throws;
    return a.points > b.points;
}

std::optional<DailyResult> dailyResultOf(const Course& course)
{
    const std::string date = course.dailyDate();
    if (date.empty() || course.restarted || !course.isOver() || course.levelThrows.empty())
        return std::nullopt;
    DailyResult result{date, 0, 0};
    for (int t : course.levelThrows)
        result.throws += t;
    for (int p : course.levelPoints)
        result.points += p;
    return result;
}

std::optional<DailyResult> readDailyBest(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; lines.size() < 3 && std::getline(file, line);)
        lines.push_back(line);
    if (lines.size() < 3 || !looksLikeDate(lines[0]))
        return std::nullopt;
    const std::optional<int> throws = wholeNumber(lines[1]);
    const std::optional<int> points = wholeNumber(lines[2]);
    if (!throws || !points || *throws < 0)
        return std::nullopt;
    return DailyResult{lines[0], *throws, *points};
}

bool offerDailyResult(const std::string& path, const DailyResult& result)
{
    const std::optional<DailyResult> kept = readDailyBest(path);
    if (kept && (kept->date > result.date || (kept->date == result.date && !betterResult(result, *kept))))
        return kept == result;
    const std::string text =
        result.date + "\n" + std::to_string(result.throws) + "\n" + std::to_string(result.points) + "\n";
    return replaceFileSafely(path, text);
}

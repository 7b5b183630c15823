// Any text typed as a course code: reading it must never crash, must build a
// course of 1 to 99 levels that follows the group rules, and the code the
// course then shows must read back to the very same course.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "screens/Course.h"

namespace {

bool levelsFollowTheRules(const Course& course)
{
    if (course.rounds < Course::minRounds || course.rounds > Course::maxRounds ||
        course.levels.size() != static_cast<std::size_t>(course.rounds) || course.currentLevel != 0 ||
        course.codeVersion != 1 || course.restarted)
        return false;
    for (const CourseLevel& level : course.levels) {
        if (level.empty() || level.size() > 3)
            return false;
        for (const MicrobeGroup& group : level)
            if (group.type < 1 || group.type > 15 || group.count < 5 || group.count > 25)
                return false;
    }
    return true;
}

bool sameLevels(const Course& a, const Course& b)
{
    if (a.levels.size() != b.levels.size())
        return false;
    for (std::size_t i = 0; i < a.levels.size(); ++i) {
        if (a.levels[i].size() != b.levels[i].size())
            return false;
        for (std::size_t g = 0; g < a.levels[i].size(); ++g)
            if (a.levels[i][g].count != b.levels[i][g].count || a.levels[i][g].type != b.levels[i][g].type)
                return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Generating a course writes a line per level; keep the fuzzer's log readable.
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        return 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The menu's line editor never holds more than 16 characters, but the
    // reader must cope with any text.
    const std::string typed(reinterpret_cast<const char*>(data), size);
    Course course;
    course.readCode(typed);
    if (!levelsFollowTheRules(course))
        __builtin_trap();
    Course again;
    again.readCode(course.code());
    if (again.code() != course.code() || !sameLevels(again, course))
        __builtin_trap();
    return 0;
}

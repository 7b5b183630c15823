#include "screens/CourseMode.h"

#include "app/GameContext.h"
#include "world/GameField.h"
#include "world/MicrobeTypes.h"

CourseMode::CourseMode(GameField& field) : m_field(field)
{
    field.rules.populate = populateLevel;
    field.rules.onRoundOver = recordLevel;
    field.rules.resetKeepsComboBanner = true;
}

void CourseMode::prepareConstruction(FieldRules& rules)
{
    rules.populate = [](MicrobePool&, GameContext&) {};
    rules.printsDifficultyLine = false;
}

void CourseMode::Reset(GameContext& ctx)
{
    builtFor = ctx.course.generation;
    m_field.Reset(ctx);
    // A course counts every level on its own.
    ctx.score = 0;
    ctx.throwCount = 0;
}

bool CourseMode::fieldIsStale(const GameContext& ctx) const
{
    return builtFor != ctx.course.generation;
}

void CourseMode::populateLevel(MicrobePool& pool, GameContext& ctx)
{
    const Course& course = ctx.course;
    if (course.isOver() || course.currentLevel < 0 ||
        course.currentLevel >= static_cast<int>(course.levels.size()))
        return;
    // The generator is not reseeded: the level's make-up is fixed, the
    // positions differ from one play to the next.
    for (const MicrobeGroup& group : course.levels[static_cast<std::size_t>(course.currentLevel)]) {
        for (int i = 0; i < group.count; ++i) {
            addRandomMicrobes(pool, group.type, 1);
            pool.at(pool.size() - 1).ambient = true;
        }
    }
}

void CourseMode::recordLevel(GameContext& ctx)
{
    Course& course = ctx.course;
    course.levelThrows.push_back(ctx.throwCount);
    course.levelPoints.push_back(ctx.score);
    ctx.score = 0;
    course.currentLevel += 1;
    ctx.requestedPage = pageAfterLevel(ctx);
}

int CourseMode::pageAfterLevel(const GameContext& ctx)
{
    return ctx.course.isOver() ? PageCourseOver : PageRoundOver;
}

// The course's rules on top of a game field: each level's microbes come from
// the course, each level counts its own throws and points, and the course
// ends after its last level.
#pragma once

#include <cstdint>

struct FieldRules;
struct GameContext;
class GameField;
class MicrobePool;

class CourseMode {
public:
    // Installs the course's hooks on the field; the pool stays empty until
    // the first Reset.
    explicit CourseMode(GameField& field);

    // The current level from its start (or an empty field after the last).
    void Reset(GameContext& ctx);
    // The field holds a level of an older course than the context's.
    bool fieldIsStale(const GameContext& ctx) const;
    // The page the menu shows after a level: the next level's, or the end.
    static int pageAfterLevel(const GameContext& ctx);

    // The rules the field must be built with: no field, no difficulty line.
    static void prepareConstruction(FieldRules& rules);

private:
    static void populateLevel(MicrobePool& pool, GameContext& ctx);
    static void recordLevel(GameContext& ctx);

    GameField& m_field;
    std::uint32_t builtFor = 0;  // the course generation the field was laid from
};

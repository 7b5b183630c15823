#include "world/MicrobeTypes.h"

#include <cstdio>

#include "world/Microbe.h"
#include "world/MicrobePool.h"
#include "world/Random.h"

namespace {

struct TypeRow {
    int type;
    int fuse;
    bool hasFuse;
    bool keepsMoving;
    float radius;       // 0: keep the default
    float burstRadius;  // 0: keep the default
    float burstGrowth;  // 0: keep the default
    sf::Color color;
    int difficulty;
};

// clang-format off
const TypeRow typeTable[] = {
    {1,    60,  true,  false, 0.f, 0.f,  0.f,  {133, 227, 114}, -1},
    {2,    30,  true,  true,  3.f, 32.f, 0.09f,{220, 210, 55},  -2},
    {3,    30,  true,  true,  5.f, 0.f,  0.f,  {180, 180, 255},  1},
    {4,    8,   true,  false, 4.f, 64.f, 3.0f, {120, 180, 240},  2},
    {5,    15,  true,  true,  6.f, 0.f,  0.f,  {120, 180, 240},  2},
    {6,    45,  true,  false, 4.f, 0.f,  0.f,  {255, 133, 25},   2},
    {7,    45,  true,  true,  4.f, 50.f, 0.25f,{120, 180, 240},  2},
    {8,    15,  true,  false, 3.f, 25.f, 0.45f,{120, 120, 120}, -1},
    {9,    15,  true,  true,  6.f, 0.f,  0.f,  {220, 220, 220},  2},
    {10,   15,  true,  true,  6.f, 0.f,  0.f,  {120, 180, 140},  2},
    {11,   90,  true,  true,  4.f, 0.f,  0.f,  {212, 140, 245},  2},
    {12,   120, true,  false, 6.f, 0.f,  0.f,  {163, 127, 180},  2},
    {13,   15,  true,  true,  6.f, 0.f,  0.f,  {120, 180, 140},  1},
    {14,   15,  false, false, 4.2f,0.f,  0.f,  {240, 60, 60},    3},
    {15,   15,  false, false, 4.f, 0.f,  0.f,  {130, 220, 41},   3},
    {100,  10,  false, false, 4.f, 4.f,  0.f,  {250, 100, 100},  1},
    {101,  10,  false, false, 4.f, 4.f,  0.f,  {100, 250, 100},  1},
    {102,  10,  false, false, 4.f, 4.f,  0.f,  {100, 100, 250},  1},
    {103,  10,  false, false, 4.f, 4.f,  0.f,  {250, 250, 100},  1},
    {1002, 30,  true,  true,  3.f, 16.f, 0.f,  {180, 180, 255},  0},
    {1003, 30,  true,  true,  3.f, 32.f, 0.f,  {180, 180, 255},  0},
    {1004, 30,  true,  true,  3.f, 16.f, 0.f,  {255, 133, 25},   0},
};
// clang-format on

void applyExtras(Microbe& m, int type)
{
    switch (type) {
    case 1:
        m.spawnsChildren = true;
        m.childType = 1002;
        m.childCount = 3;
        break;
    case 6:
        m.movesWhileFused = true;
        break;
    case 8:
        m.attracts = true;
        break;
    case 9:
        m.repels = true;
        break;
    case 10:
        // Carries fragments it never releases: it does not spawn children.
        m.childType = 1003;
        m.childCount = 3;
        break;
    case 13:
        m.spawnsChildren = true;
        m.childType = 1004;
        m.childCount = 3;
        break;
    case 14:
        m.wanders = true;
        m.wanderPeriod = 90;
        m.wanderScale = 8.0f;
        m.wanderBase = -4.0f;
        break;
    case 15:
        m.wanders = true;
        m.wanderPeriod = 10;
        m.wanderScale = 1.0f;
        m.wanderBase = -0.5f;
        break;
    case 1002:
    case 1003:
        m.points = 0;
        break;
    case 1004:
        m.points = 0;
        m.movesWhileFused = true;
        m.ambient = true;
        break;
    default:
        break;
    }
}

}  // namespace

MicrobeSymbol symbolOf(int type)
{
    switch (type) {
    case 3:
    case 10: return MicrobeSymbol::Dot;
    case 2: return MicrobeSymbol::Bar;
    case 4:
    case 5:
    case 7: return MicrobeSymbol::Square;
    case 11:
    case 12: return MicrobeSymbol::Diamond;
    case 1:
    case 13: return MicrobeSymbol::Star;
    case 6: return MicrobeSymbol::Plus;
    case 8: return MicrobeSymbol::Ring;
    case 9: return MicrobeSymbol::Cross;
    case 14:
    case 15: return MicrobeSymbol::Triangle;
    case 100: return MicrobeSymbol::Seat1;
    case 101: return MicrobeSymbol::Seat2;
    case 102: return MicrobeSymbol::Seat3;
    case 103: return MicrobeSymbol::Seat4;
    default: return MicrobeSymbol::None;
    }
}

void setType(Microbe& m, int type)
{
    m.type = type;
    for (const TypeRow& row : typeTable) {
        if (row.type != type)
            continue;
        m.fuse = row.fuse;
        m.hasFuse = row.hasFuse;
        m.keepsMoving = row.keepsMoving;
        if (row.radius > 0.f)
            m.radius = row.radius;
        if (row.burstRadius > 0.f)
            m.burstRadius = row.burstRadius;
        if (row.burstGrowth > 0.f)
            m.burstGrowth = row.burstGrowth;
        m.color = row.color;
        m.savedColor = row.color;
        m.difficulty = row.difficulty;
        applyExtras(m, type);
        return;
    }
}

void addRandomMicrobes(MicrobePool& pool, int type, int n)
{
    const double w = pool.fieldWidth;
    const double h = pool.fieldHeight;
    for (int i = 0; i < n; ++i) {
        const double x = w * 0.0146484375 + (w * 0.9716796875 - w * 0.0146484375) * randomReal();
        const double y = h * 0.13671875 + (h * 0.7747395634651184 - h * 0.13671875) * randomReal();
        const double impulseX = static_cast<double>(randomRaw()) * 8.0 / 4294967295.0 - 4.0;
        const double impulseY = static_cast<double>(randomRaw()) * 8.0 / 4294967295.0 - 4.0;
        pool.addMicrobe(type, static_cast<float>(x), static_cast<float>(y),
                        static_cast<float>(impulseX), static_cast<float>(impulseY));
    }
}

std::vector<int> drawFieldTypes()
{
    const int typeCount = 1 + static_cast<int>(randomInt(2));
    std::vector<int> list;
    for (int i = 0; i < typeCount; ++i) {
        const int t = 1 + static_cast<int>(randomInt(14));
        list.push_back(t);
        std::printf("new_type: %d\n", t);
    }
    std::printf("tmax: %d\n", static_cast<int>(list.size()));
    std::fflush(stdout);
    return list;
}

void addFieldMicrobes(MicrobePool& pool, const std::vector<int>& types, int count, bool ambient)
{
    for (int i = 0; i < count; ++i) {
        addRandomMicrobes(pool, types[static_cast<std::size_t>(i) % types.size()], 1);
        pool.at(pool.size() - 1).ambient = ambient;
    }
}

std::vector<int> generateField(MicrobePool& pool, std::uint32_t seed, int extraMax)
{
    gameRandom().seed32(seed);
    const int extra = extraMax < 0 ? static_cast<int>(randomRaw() & 15u)
                                   : static_cast<int>(randomInt(static_cast<std::uint32_t>(extraMax)));
    const int count = 15 + extra;
    std::vector<int> list = drawFieldTypes();
    addFieldMicrobes(pool, list, count, true);
    return list;
}

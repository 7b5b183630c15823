#include "screens/CleanMode.h"

#include <cstdio>
#include <sstream>

#include "app/GameContext.h"
#include "app/Globals.h"
#include "world/MicrobePool.h"
#include "world/MicrobeTypes.h"
#include "world/Random.h"

DirtCount countDirt(const sf::Image& layer)
{
    const sf::Vector2u size = layer.getSize();
    DirtCount count;
    count.total = static_cast<std::uint64_t>(size.x) * size.y;
    const sf::Uint8* pixels = layer.getPixelsPtr();
    for (std::uint64_t i = 0; i < count.total; ++i)
        if (pixels[4 * i] == dirtRed)
            ++count.dirty;
    return count;
}

float cleanedPercentOf(DirtCount count)
{
    if (count.total == 0)
        return 0.f;
    return static_cast<float>(100.0 - 100.0 * static_cast<double>(count.dirty) / static_cast<double>(count.total));
}

std::string clearedReport(DirtCount count)
{
    const std::uint64_t dirtyPercent = count.total == 0 ? 0 : 100 * count.dirty / count.total;
    std::ostringstream line;
    line << "Cleared: " << count.dirty << "/" << count.total << "   " << dirtyPercent << "%\n";
    return line.str();
}

std::string cleanedShareText(float percent)
{
    std::ostringstream text;
    text.precision(2);
    text << percent << "% Clear";
    return text.str();
}

float cleanTarget(int difficulty)
{
    switch (difficulty) {
    case Casual:
        return 30.f;
    case Normal:
        return 60.f;
    case Hard:
        return 90.f;
    default:
        return 0.f;
    }
}

void generateWave(MicrobePool& pool)
{
    const int count = 14 + static_cast<int>(randomRaw() & 7u);
    const std::vector<int> types = drawFieldTypes();
    addFieldMicrobes(pool, types, count, false);
}

FieldRules cleanFieldRules()
{
    FieldRules rules;
    rules.populate = [](MicrobePool& pool, GameContext&) { generateWave(pool); };
    rules.constructionLine = "constructing screen 5: clean mode\n";
    // The bubble bounces off the top edge instead of flying up to the catcher.
    rules.ceilingAboveView = false;
    rules.ceilingY = -7.f;
    // A wave's end is not the end of the music: the next wave may follow at once.
    rules.fadeOutOnWin = false;
    rules.menuTuneOnRoundOver = false;
    rules.resetKeepsThrowCount = true;
    rules.resetKeepsCatcher = true;
    return rules;
}

CleanMode::CleanMode(GameField& field, DirtLayerAccess layer) : m_field(field), m_layer(std::move(layer))
{
    field.rules.fixedStep = [this](GameContext& ctx) { fixedStep(ctx); };
    field.rules.beforeRoundOver = [this](GameContext& ctx) { measure(ctx); };
    field.rules.onRoundOver = [this](GameContext& ctx) { endWave(ctx); };
}

void CleanMode::Reset(GameContext& ctx)
{
    measurePending = true;
    m_field.Reset(ctx);
}

void CleanMode::measure(GameContext& ctx)
{
    std::optional<DirtCount> counted;
    if (m_count)
        counted = m_count();
    else if (m_layer.read)
        counted = countDirt(m_layer.read());
    if (!counted || counted->total == 0)
        return;  // no layer yet: nothing to measure
    const DirtCount count = *counted;
    ctx.cleanedPercent = cleanedPercentOf(count);
    std::fputs(clearedReport(count).c_str(), stdout);
    std::fflush(stdout);
    if (m_field.tap)
        m_field.tap->measured(count.dirty, count.total);
}

void CleanMode::fixedStep(GameContext& ctx)
{
    m_field.Logic(ctx, static_cast<float>(m_field.timeStep));
    if (measurePending && ctx.remainingFraction <= GameField::clearThreshold(ctx.difficulty)) {
        measurePending = false;
        measure(ctx);
    }
}

void CleanMode::endWave(GameContext& ctx)
{
    if (ctx.cleanedPercent < cleanTarget(ctx.difficulty)) {
        // Not clean enough: the next wave comes at once, over the same layer,
        // and the game music plays on.
        Reset(ctx);
        return;
    }
    winRound(ctx);
}

void CleanMode::winRound(GameContext& ctx)
{
    ctx.audio.enterMenuMusic();
    if (m_layer.makeFresh)
        m_layer.makeFresh();
    ctx.cleanedPercent = 0.f;
    Reset(ctx);
    ctx.score = 0;
    ctx.throwCount = 0;
    resetPending = true;
}

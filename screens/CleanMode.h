// Clean mode's rules on top of a game field: a murky layer lies over the field,
// finished bursts wipe it, and waves of microbes follow one another over the
// same layer until the cleaned share reaches the difficulty's target.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <SFML/Graphics/Image.hpp>

#include "world/GameField.h"

struct GameContext;
class MicrobePool;

// A fresh layer's colour; a pixel is dirty exactly while its red is still 97.
inline constexpr std::uint8_t dirtRed = 97;

// How much of the layer is still dirty.
struct DirtCount {
    std::uint64_t dirty = 0;
    std::uint64_t total = 0;
};

DirtCount countDirt(const sf::Image& layer);
// The cleaned share in percent; 0 for an empty layer.
float cleanedPercentOf(DirtCount count);
// The report line of a measurement: the dirty pixels and their whole percent.
std::string clearedReport(DirtCount count);
// The banner's text: the share at two significant digits and "% Clear".
std::string cleanedShareText(float percent);
// The cleaned share that wins a round: 30, 60 or 90 percent; 0 for any other difficulty.
float cleanTarget(int difficulty);

// A wave: 14 to 21 microbes of one to three types, drawn from where the game's
// random source stands (waves do not repeat), without the idle shimmer.
void generateWave(MicrobePool& pool);

// The field as clean mode builds it: the ceiling just above the view, waves
// instead of seeded fields, and a Reset that keeps the throw count and the catcher.
FieldRules cleanFieldRules();

// The dirt layer as the rules see it. The screen reads it back from the
// graphics card; tests hand in pictures.
struct DirtLayerAccess {
    std::function<sf::Image()> read;
    std::function<void()> makeFresh;
};

class CleanMode {
public:
    // Installs the wave-end and measuring hooks on a field built with cleanFieldRules().
    CleanMode(GameField& field, DirtLayerAccess layer);

    // A new wave over the same layer; score and throw count carry on.
    void Reset(GameContext& ctx);
    // One fixed step: the field's step plus the measurements that belong to it.
    void fixedStep(GameContext& ctx);
    // Reads the layer, stores the cleaned share and reports it.
    void measure(GameContext& ctx);
    // Takes the counts from here instead of reading the layer: a replay
    // measures what the recorded round measured.
    void countWith(std::function<std::optional<DirtCount>()> count) { m_count = std::move(count); }

    // Set for every wave until the first measurement once the wave's microbes are cleared.
    bool measurePending = true;

private:
    void endWave(GameContext& ctx);
    void winRound(GameContext& ctx);

    GameField& m_field;
    DirtLayerAccess m_layer;
    std::function<std::optional<DirtCount>()> m_count;
};

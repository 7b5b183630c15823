// The game's one random source. Everything that decides a field or an effect
// draws from the global Mersenne Twister below, so a level seed replays a field
// bit for bit on every machine. Cosmetic choices (pitch, hue, shake) use rand().
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// 32-bit Mersenne Twister with the standard seeding rules.
class MersenneTwister {
public:
    // Seeds from /dev/urandom (624 words, array seeding), or from time() and
    // clock() when the device cannot be read.
    MersenneTwister();
    explicit MersenneTwister(std::uint32_t seed) { seed32(seed); }

    void seed32(std::uint32_t seed);
    void seedArray(const std::vector<std::uint32_t>& key);

    // The tempered 32-bit output.
    std::uint32_t raw();
    // An integer in [0, n]: masked with the smallest all-ones mask not below n,
    // drawn again while above n.
    std::uint32_t below(std::uint32_t n);
    // A real in [0, 1]: raw / 4294967295.
    double real();

    // The whole generator, so a replay can start exactly where a round did.
    struct State {
        std::array<std::uint32_t, 624> words{};
        std::int32_t index = 624;
        bool operator==(const State&) const = default;
    };
    State state() const { return {m_state, m_index}; }
    // Answers false, changing nothing, for an index a generator never holds.
    bool restore(const State& s);

private:
    void twist();

    std::array<std::uint32_t, 624> m_state{};
    int m_index = 624;
};

MersenneTwister& gameRandom();

inline std::uint32_t randomRaw() { return gameRandom().raw(); }
inline std::uint32_t randomInt(std::uint32_t n) { return gameRandom().below(n); }
inline double randomReal() { return gameRandom().real(); }
// An integer in [a, b] (a <= b), as a + a masked draw in [0, b - a].
std::int32_t randomRange(std::int32_t a, std::int32_t b);

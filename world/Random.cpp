#include "world/Random.h"

#include <cstdio>
#include <ctime>

namespace {
constexpr int N = 624;
constexpr int M = 397;
constexpr std::uint32_t matrixA = 0x9908b0dfu;
constexpr std::uint32_t upperMask = 0x80000000u;
constexpr std::uint32_t lowerMask = 0x7fffffffu;

std::uint32_t hashSeed(std::uint32_t t, std::uint32_t c)
{
    // Mix the two clocks so that neighbouring start times give unrelated seeds.
    std::uint32_t h = t * 2654435761u;
    h ^= c + 0x9e3779b9u + (h << 6) + (h >> 2);
    return h;
}
}  // namespace

MersenneTwister::MersenneTwister()
{
    std::vector<std::uint32_t> words(N);
    bool ok = false;
    if (std::FILE* device = std::fopen("/dev/urandom", "rb")) {
        ok = std::fread(words.data(), sizeof(std::uint32_t), words.size(), device) == words.size();
        std::fclose(device);
    }
    if (ok)
        seedArray(words);
    else
        seed32(hashSeed(static_cast<std::uint32_t>(std::time(nullptr)),
                        static_cast<std::uint32_t>(std::clock())));
}

void MersenneTwister::seed32(std::uint32_t seed)
{
    m_state[0] = seed;
    for (int i = 1; i < N; ++i) {
        const std::uint32_t prev = m_state[i - 1];
        m_state[i] = 1812433253u * (prev ^ (prev >> 30)) + static_cast<std::uint32_t>(i);
    }
    m_index = N;
}

void MersenneTwister::seedArray(const std::vector<std::uint32_t>& key)
{
    seed32(19650218u);
    int i = 1;
    std::size_t j = 0;
    const std::size_t length = key.empty() ? 1 : key.size();
    for (std::size_t k = (N > length ? N : length); k > 0; --k) {
        const std::uint32_t prev = m_state[i - 1];
        const std::uint32_t keyWord = key.empty() ? 0u : key[j];
        m_state[i] = (m_state[i] ^ ((prev ^ (prev >> 30)) * 1664525u)) + keyWord +
                     static_cast<std::uint32_t>(j);
        ++i;
        ++j;
        if (i >= N) {
            m_state[0] = m_state[N - 1];
            i = 1;
        }
        if (j >= length)
            j = 0;
    }
    for (int k = N - 1; k > 0; --k) {
        const std::uint32_t prev = m_state[i - 1];
        m_state[i] = (m_state[i] ^ ((prev ^ (prev >> 30)) * 1566083941u)) - static_cast<std::uint32_t>(i);
        ++i;
        if (i >= N) {
            m_state[0] = m_state[N - 1];
            i = 1;
        }
    }
    m_state[0] = 0x80000000u;
    m_index = N;
}

void MersenneTwister::twist()
{
    for (int i = 0; i < N; ++i) {
        const std::uint32_t y = (m_state[i] & upperMask) | (m_state[(i + 1) % N] & lowerMask);
        std::uint32_t next = m_state[(i + M) % N] ^ (y >> 1);
        if (y & 1u)
            next ^= matrixA;
        m_state[i] = next;
    }
    m_index = 0;
}

std::uint32_t MersenneTwister::raw()
{
    if (m_index >= N)
        twist();
    std::uint32_t y = m_state[m_index++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
}

std::uint32_t MersenneTwister::below(std::uint32_t n)
{
    std::uint32_t mask = n;
    mask |= mask >> 1;
    mask |= mask >> 2;
    mask |= mask >> 4;
    mask |= mask >> 8;
    mask |= mask >> 16;
    std::uint32_t value = 0;
    do {
        value = raw() & mask;
    } while (value > n);
    return value;
}

bool MersenneTwister::restore(const State& s)
{
    if (s.index < 0 || s.index > N)
        return false;
    m_state = s.words;
    m_index = s.index;
    return true;
}

double MersenneTwister::real()
{
    return static_cast<double>(raw()) / 4294967295.0;
}

MersenneTwister& gameRandom()
{
    static MersenneTwister generator;
    return generator;
}

std::int32_t randomRange(std::int32_t a, std::int32_t b)
{
    // A one-value range still takes its draw, so that the sequence stays in step.
    if (b < a)
        return a;
    const auto span = static_cast<std::uint32_t>(static_cast<std::int64_t>(b) - a);
    return static_cast<std::int32_t>(static_cast<std::int64_t>(a) + randomInt(span));
}

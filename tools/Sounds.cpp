// The game's sounds, synthesised from code: eight short effects and six pieces
// of calm music (the looping menu tune and five game tracks) for a microscope
// slide under soft light. A tiny sequencer writes each piece bar by bar from a
// chord progression: soft pads, a bass line, an arpeggio, a melody built from
// repeated motifs, light percussion and the odd bubble blip, all through a
// gentle delay and reverb. Every random choice comes from a fixed-seed
// generator, and the Ogg writer's stream serial from a fixed std::srand, so
// every build writes the same bytes.
#include <SFML/Audio/OutputSoundFile.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/Generators.h"

namespace {

constexpr unsigned kRate = 44100;
constexpr float kRateF = static_cast<float>(kRate);
constexpr float kPi = 3.14159265358979f;

using Samples = std::vector<float>;

struct StereoSamples {
    Samples left, right;
};

// ---------------------------------------------------------------------------
// Building blocks

// xorshift32: small, fast and the same on every machine.
class Noise {
public:
    explicit Noise(std::uint32_t seed)
        : state_(seed ? seed : 1u)
    {
    }
    std::uint32_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    float unit() { return static_cast<float>(next() >> 8) * (1.f / 16777216.f); }
    float bipolar() { return unit() * 2.f - 1.f; }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
    bool chance(float p) { return unit() < p; }

private:
    std::uint32_t state_;
};

// Sine by table lookup: the synthesiser calls it millions of times per track.
class SineTable {
public:
    static constexpr int size = 4096;
    SineTable()
    {
        for (int i = 0; i <= size; ++i)
            table_[i] = static_cast<float>(std::sin(2.0 * 3.14159265358979323846 * i / size));
    }
    // phase in cycles, any real value
    float at(float phase) const
    {
        const float x = phase * size;
        int whole = static_cast<int>(x);
        if (x < static_cast<float>(whole))
            --whole; // floor for negative phases too
        const float f = x - static_cast<float>(whole);
        const int i = whole & (size - 1);
        return table_[i] + f * (table_[i + 1] - table_[i]);
    }

private:
    std::array<float, size + 1> table_ {};
};

const SineTable sineTable;

inline float sine(float phase) { return sineTable.at(phase); }

float midiToHz(float midi) { return 440.f * std::pow(2.f, (midi - 69.f) / 12.f); }

int samplesFor(float seconds) { return static_cast<int>(seconds * kRateF); }

// Per-sample factor of an exponential decay with time constant tau seconds.
float decayFactor(float tau) { return std::exp(-1.f / (tau * kRateF)); }

// One-pole low-pass coefficient for a cutoff in Hz.
float lowPassCoefficient(float hz) { return 1.f - std::exp(-2.f * kPi * hz / kRateF); }

// A phase accumulator in cycles, kept in [0, 1).
struct Phase {
    float value = 0.f;
    float advance(float hz)
    {
        const float now = value;
        value += hz / kRateF;
        if (value >= 1.f)
            value -= std::floor(value);
        return now;
    }
};

// PolyBLEP correction: removes most of the aliasing of a naive saw or pulse.
float polyBlep(float t, float dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.f;
    }
    if (t > 1.f - dt) {
        t = (t - 1.f) / dt;
        return t * t + t + t + 1.f;
    }
    return 0.f;
}

float softSaw(float phase, float dt) { return 2.f * phase - 1.f - polyBlep(phase, dt); }

float triangle(float phase) { return 1.f - 4.f * std::fabs(phase - 0.5f); }

// An exponential decay advanced one sample at a time (cheaper than exp()).
struct Decay {
    Decay() = default;
    explicit Decay(float tau)
        : factor(decayFactor(tau))
    {
    }
    float next()
    {
        const float now = value;
        value *= factor;
        return now;
    }
    float value = 1.f;
    float factor = 1.f;
};

// Attack ramp, then hold, then an exponential release after the note ends.
class Envelope {
public:
    Envelope(float attack, int holdSamples, float release)
        : attackSamples_(std::max(1, samplesFor(attack)))
        , hold_(holdSamples)
        , releaseFactor_(decayFactor(release))
    {
    }
    float at(int i)
    {
        float gain = i < attackSamples_ ? static_cast<float>(i) / attackSamples_ : 1.f;
        if (i >= hold_)
            releaseLevel_ *= releaseFactor_;
        return gain * releaseLevel_;
    }

private:
    int attackSamples_;
    int hold_;
    float releaseFactor_;
    float releaseLevel_ = 1.f;
};

// ---------------------------------------------------------------------------
// Instruments: each renders one note into a mono buffer

enum class Timbre {
    Kalimba,
    ElectricPiano,
    Flute,
    Marimba,
    GlassBell,
    SoftSquare,
    SawPad,
    WarmPad,
    Pluck,
    Bass,
};

struct NoteShape {
    float attack;
    float release;
    float tail; // seconds rendered after the note ends
};

NoteShape shapeOf(Timbre timbre)
{
    switch (timbre) {
    case Timbre::Flute:
        return { 0.07f, 0.12f, 0.6f };
    case Timbre::SoftSquare:
        return { 0.015f, 0.12f, 0.6f };
    case Timbre::SawPad:
        return { 0.6f, 0.5f, 2.f };
    case Timbre::WarmPad:
        return { 0.8f, 0.6f, 2.5f };
    case Timbre::Bass:
        return { 0.006f, 0.05f, 0.3f };
    case Timbre::Pluck:
        return { 0.002f, 0.08f, 0.4f };
    default:
        return { 0.003f, 0.25f, 1.2f };
    }
}

// Oscillator of each timbre, one sample at a time.
class Voice {
public:
    Voice(Timbre timbre, float hz, float velocity)
        : timbre_(timbre)
        , hz_(hz)
        , velocity_(velocity)
        , filter_(lowPassCoefficient(std::min(hz * 5.f, 4000.f)))
        , padFilter_(lowPassCoefficient(900.f + 500.f * velocity))
    {
        switch (timbre) {
        case Timbre::Kalimba:
            setDecays(0.9f, 0.15f, 0.04f);
            break;
        case Timbre::ElectricPiano:
            setDecays(1.6f, 0.45f, 1.f);
            break;
        case Timbre::GlassBell:
            setDecays(1.8f, 0.6f, 1.f);
            break;
        case Timbre::Pluck:
            setDecays(0.35f, 0.08f, 1.f);
            break;
        case Timbre::Marimba:
            setDecays(0.45f, 0.03f, 0.01f);
            break;
        case Timbre::SoftSquare:
            setDecays(1.5f, 1.f, 1.f);
            break;
        case Timbre::Bass:
            setDecays(1.5f, 0.1f, 1.f);
            break;
        default:
            break;
        }
    }

    float sample(float t)
    {
        switch (timbre_) {
        case Timbre::Kalimba:
            return kalimba();
        case Timbre::ElectricPiano:
            return fm(1.f, 1.5f * velocity_);
        case Timbre::GlassBell:
            return fm(3.5f, 1.1f * velocity_);
        case Timbre::Pluck:
            return fm(2.f, 0.9f);
        case Timbre::Flute:
            return flute(t);
        case Timbre::Marimba:
            return marimba();
        case Timbre::SoftSquare:
            return softSquare();
        case Timbre::SawPad:
            return sawPad(t);
        case Timbre::WarmPad:
            return warmPad();
        case Timbre::Bass:
            return bass();
        }
        return 0.f;
    }

private:
    void setDecays(float first, float second, float third)
    {
        d1_ = Decay(first);
        d2_ = Decay(second);
        d3_ = Decay(third);
    }
    float kalimba()
    {
        const float p = a_.advance(hz_);
        return d1_.next() * (sine(p) + 0.3f * d2_.next() * sine(2.f * p) + 0.12f * d3_.next() * sine(5.4f * p));
    }
    // Two-operator FM: the modulation fades faster than the tone, so notes
    // start bright and settle into a soft sine.
    float fm(float ratio, float index)
    {
        const float p = a_.advance(hz_);
        const float m = b_.advance(hz_ * ratio);
        // index in radians; the table's phase is in cycles
        const float depth = (index * d2_.next() + 0.1f) * (1.f / (2.f * kPi));
        return d1_.next() * sine(p + depth * sine(m));
    }
    float flute(float t)
    {
        const float vibrato = t > 0.25f ? 0.004f * sine(c_.advance(5.f)) : 0.f;
        const float p = a_.advance(hz_ * (1.f + vibrato));
        const float raw = 0.6f * triangle(p) + 0.5f * sine(p) + 0.03f * breath_.bipolar();
        state_ += filter_ * (raw - state_);
        return state_;
    }
    float marimba()
    {
        const float p = a_.advance(hz_);
        return d1_.next() * (sine(p) + 0.25f * d2_.next() * sine(4.f * p) + 0.08f * d3_.next() * sine(9.9f * p));
    }
    float softSquare()
    {
        const float dt = hz_ / kRateF;
        const float p = a_.advance(hz_);
        const float shifted = p < 0.5f ? p + 0.5f : p - 0.5f;
        const float square = (p < 0.5f ? 1.f : -1.f) + polyBlep(p, dt) - polyBlep(shifted, dt);
        state_ += filter_ * (0.5f * square - state_);
        return state_ * (0.6f + 0.4f * d1_.next());
    }
    float sawPad(float t)
    {
        const float dt = hz_ / kRateF;
        const float raw = softSaw(a_.advance(hz_ * 1.0035f), dt) + softSaw(b_.advance(hz_ * 0.9965f), dt);
        // A slow breathing of the filter keeps the pad alive.
        const float sweep = 1.f + 0.35f * sine(t * 0.15f);
        state_ += padFilter_ * sweep * (0.35f * raw - state_);
        state2_ += padFilter_ * (state_ - state2_);
        return state2_;
    }
    float warmPad()
    {
        const float p = a_.advance(hz_);
        const float raw
            = 0.5f * triangle(p) + 0.35f * sine(b_.advance(hz_ * 0.5f)) + 0.25f * sine(c_.advance(hz_ * 1.002f));
        state_ += padFilter_ * (raw - state_);
        return state_;
    }
    float bass()
    {
        const float p = a_.advance(hz_);
        const float raw = sine(p) + 0.3f * sine(2.f * p) + 0.08f * d2_.next() * sine(3.f * p);
        return d1_.next() * raw / (1.f + 0.25f * std::fabs(raw));
    }

    Timbre timbre_;
    float hz_;
    float velocity_;
    float filter_;
    float padFilter_;
    Phase a_, b_, c_;
    Decay d1_, d2_, d3_;
    float state_ = 0.f, state2_ = 0.f;
    Noise breath_ { 0x5eed1234u };
};

void renderNote(Samples& out, Timbre timbre, float midi, float seconds, float velocity)
{
    const NoteShape shape = shapeOf(timbre);
    const int hold = samplesFor(seconds);
    out.assign(static_cast<std::size_t>(hold + samplesFor(shape.tail)), 0.f);
    Voice voice(timbre, midiToHz(midi), velocity);
    Envelope envelope(shape.attack, hold, shape.release);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / kRateF;
        out[i] = velocity * envelope.at(static_cast<int>(i)) * voice.sample(t);
    }
}

// Percussion: soft and short, so it keeps time without waking anyone.
enum class Drum { Kick, Shaker, Rim, Blip };

void renderDrum(Samples& out, Drum drum, float velocity, Noise& noise, float pitch = 0.f)
{
    const float seconds = drum == Drum::Kick ? 0.45f : drum == Drum::Blip ? 0.3f : 0.16f;
    out.assign(static_cast<std::size_t>(samplesFor(seconds)), 0.f);
    Phase phase;
    float low = 0.f, band = 0.f;
    const float shakerLow = lowPassCoefficient(4500.f), shakerHigh = lowPassCoefficient(9000.f);
    const float rimHigh = lowPassCoefficient(3200.f), rimLow = lowPassCoefficient(900.f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / kRateF;
        const float attack = std::min(1.f, t / 0.002f);
        float v = 0.f;
        switch (drum) {
        case Drum::Kick:
            v = std::exp(-t / 0.16f) * sine(phase.advance(48.f + 70.f * std::exp(-t / 0.03f)));
            break;
        case Drum::Shaker: {
            // band-passed noise: no hiss above the shaker's own sizzle
            band += shakerHigh * (noise.bipolar() - band);
            low += shakerLow * (band - low);
            v = 1.5f * std::min(1.f, t / 0.004f) * std::exp(-t / 0.035f) * (band - low);
            break;
        }
        case Drum::Rim: {
            const float n = noise.bipolar();
            band += rimHigh * (n - band);
            low += rimLow * (band - low);
            v = std::exp(-t / 0.03f) * (band - low) * 1.5f + 0.4f * std::exp(-t / 0.02f) * sine(phase.advance(420.f));
            break;
        }
        case Drum::Blip:
            // A tiny rising bubble: the microbes' world between the beats.
            v = std::exp(-t / 0.06f) * sine(phase.advance(pitch * (1.f + 0.8f * std::min(1.f, t / 0.04f))));
            break;
        }
        out[i] = velocity * attack * v;
    }
}

// ---------------------------------------------------------------------------
// Mixing: a stereo dry bus, a reverb send and a delay send

struct Channel {
    float gain;
    float pan; // -1 left .. +1 right
    float reverb;
    float delay;
};

class Mixer {
public:
    explicit Mixer(int frames)
        : left(frames, 0.f)
        , right(frames, 0.f)
        , reverbSend(frames, 0.f)
        , delaySend(frames, 0.f)
    {
    }

    void add(const Samples& note, double startSeconds, const Channel& channel)
    {
        // Nothing starts before the first sample: a loop's first beat must
        // begin cleanly, not halfway through its attack.
        const long start = std::max(0L, std::lround(startSeconds * kRate));
        const float angle = (channel.pan + 1.f) * kPi / 4.f;
        const float l = channel.gain * std::cos(angle), r = channel.gain * std::sin(angle);
        const float rev = channel.gain * channel.reverb, del = channel.gain * channel.delay;
        for (std::size_t i = 0; i < note.size(); ++i) {
            const long at = start + static_cast<long>(i);
            if (at >= static_cast<long>(left.size()))
                break;
            const float v = note[i];
            left[at] += l * v;
            right[at] += r * v;
            reverbSend[at] += rev * v;
            delaySend[at] += del * v;
        }
    }

    Samples left, right, reverbSend, delaySend;
};

// Ping-pong echo with a darkening feedback path.
void applyDelay(Mixer& mix, float seconds, float feedback, float wet)
{
    const std::size_t length = static_cast<std::size_t>(samplesFor(seconds));
    Samples bufferL(length, 0.f), bufferR(length, 0.f);
    const float damp = lowPassCoefficient(2500.f);
    float toneL = 0.f, toneR = 0.f;
    std::size_t at = 0;
    for (std::size_t i = 0; i < mix.left.size(); ++i) {
        const float outL = bufferL[at], outR = bufferR[at];
        toneL += damp * (outL - toneL);
        toneR += damp * (outR - toneR);
        bufferL[at] = mix.delaySend[i] + feedback * toneR;
        bufferR[at] = feedback * toneL;
        mix.left[i] += wet * outL;
        mix.right[i] += wet * outR;
        mix.reverbSend[i] += 0.5f * wet * (outL + outR);
        if (++at == length)
            at = 0;
    }
}

// A Schroeder-Moorer reverb (eight damped combs, four all-passes per side).
class Reverb {
public:
    Reverb(int spread, float roomSize, float damping)
    {
        static constexpr int combLengths[8] = { 1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617 };
        static constexpr int allPassLengths[4] = { 556, 441, 341, 225 };
        for (int i = 0; i < 8; ++i)
            combs_[i].buffer.assign(static_cast<std::size_t>(combLengths[i] + spread), 0.f);
        for (int i = 0; i < 4; ++i)
            allPasses_[i].buffer.assign(static_cast<std::size_t>(allPassLengths[i] + spread), 0.f);
        feedback_ = roomSize;
        damping_ = damping;
    }

    float process(float input)
    {
        float out = 0.f;
        for (Delay& comb : combs_) {
            const float y = comb.buffer[comb.at];
            comb.store = y * (1.f - damping_) + comb.store * damping_;
            comb.buffer[comb.at] = input + comb.store * feedback_;
            comb.step();
            out += y;
        }
        for (Delay& pass : allPasses_) {
            const float y = pass.buffer[pass.at];
            pass.buffer[pass.at] = out + y * 0.5f;
            pass.step();
            out = y - out;
        }
        return out;
    }

private:
    struct Delay {
        Samples buffer;
        std::size_t at = 0;
        float store = 0.f;
        void step()
        {
            if (++at == buffer.size())
                at = 0;
        }
    };
    std::array<Delay, 8> combs_;
    std::array<Delay, 4> allPasses_;
    float feedback_;
    float damping_;
};

StereoSamples finishMix(Mixer& mix, float reverbWet)
{
    Reverb left(0, 0.86f, 0.35f), right(23, 0.86f, 0.35f);
    StereoSamples out { std::move(mix.left), std::move(mix.right) };
    for (std::size_t i = 0; i < out.left.size(); ++i) {
        const float send = mix.reverbSend[i] * 0.015f;
        out.left[i] += reverbWet * left.process(send);
        out.right[i] += reverbWet * right.process(send);
    }
    return out;
}

// ---------------------------------------------------------------------------
// Level and files

float peakOf(const Samples& s)
{
    float peak = 0.f;
    for (float v : s)
        peak = std::max(peak, std::fabs(v));
    return peak;
}

double sumOfSquares(const Samples& s)
{
    double sum = 0.0;
    for (float v : s)
        sum += static_cast<double>(v) * v;
    return sum;
}

float dbToGain(float db) { return std::pow(10.f, db / 20.f); }

void scale(Samples& s, float gain)
{
    for (float& v : s)
        v *= gain;
}

// Equal loudness across the tracks, but never above the peak ceiling.
void normaliseMusic(StereoSamples& music, float rmsDb, float peakDb)
{
    const double frames = static_cast<double>(music.left.size());
    const float rms
        = static_cast<float>(std::sqrt((sumOfSquares(music.left) + sumOfSquares(music.right)) / (2.0 * frames)));
    const float peak = std::max(peakOf(music.left), peakOf(music.right));
    if (rms <= 0.f || peak <= 0.f)
        return;
    const float gain = std::min(dbToGain(rmsDb) / rms, dbToGain(peakDb) / peak);
    scale(music.left, gain);
    scale(music.right, gain);
}

sf::Int16 toPcm(float v) { return static_cast<sf::Int16>(std::lround(std::clamp(v, -1.f, 1.f) * 32767.f)); }

bool writeWav(const std::string& path, const Samples& mono)
{
    sf::OutputSoundFile file;
    if (!file.openFromFile(path, kRate, 1)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    std::vector<sf::Int16> pcm(mono.size());
    std::transform(mono.begin(), mono.end(), pcm.begin(), toPcm);
    file.write(pcm.data(), pcm.size());
    return true;
}

// The Ogg writer draws its stream serial from std::rand(); seeding it right
// before opening keeps the bytes fixed. The lock keeps that pair together when
// two tracks are written at once.
std::mutex oggOpenLock;

bool writeOgg(const std::string& path, const StereoSamples& music, unsigned serialSeed)
{
    sf::OutputSoundFile file;
    {
        std::lock_guard<std::mutex> guard(oggOpenLock);
        std::srand(serialSeed);
        if (!file.openFromFile(path, kRate, 2)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return false;
        }
    }
    std::vector<sf::Int16> pcm(music.left.size() * 2);
    for (std::size_t i = 0; i < music.left.size(); ++i) {
        pcm[2 * i] = toPcm(music.left[i]);
        pcm[2 * i + 1] = toPcm(music.right[i]);
    }
    file.write(pcm.data(), pcm.size());
    return true;
}

// ---------------------------------------------------------------------------
// Effects

Samples sized(float seconds) { return Samples(static_cast<std::size_t>(samplesFor(seconds)), 0.f); }

// Adds a bell-like tone (sine with a fading octave) starting at `start`.
void addBell(Samples& out, float start, float midi, float tau, float level)
{
    Phase phase;
    const float hz = midiToHz(midi);
    for (std::size_t i = static_cast<std::size_t>(samplesFor(start)); i < out.size(); ++i) {
        const float t = static_cast<float>(i) / kRateF - start;
        const float p = phase.advance(hz);
        const float env = std::min(1.f, t / 0.004f) * std::exp(-t / tau);
        out[i] += level * env * (sine(p) + 0.25f * std::exp(-t / 0.2f) * sine(2.f * p) + 0.08f * sine(3.f * p));
    }
}

// The hit sound: a soft rising "bloop", short enough to stay clean when the
// game plays it faster and higher.
Samples bop()
{
    Samples out = sized(0.16f);
    Phase phase;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / kRateF;
        const float hz = 330.f * (1.f + 1.5f * (1.f - std::exp(-t / 0.025f)));
        const float p = phase.advance(hz);
        const float env = std::min(1.f, t / 0.003f) * std::exp(-t / 0.04f);
        out[i] = env * (sine(p) + 0.12f * sine(2.f * p));
    }
    return out;
}

Samples powerUp()
{
    Samples out = sized(1.2f);
    const float notes[] = { 72.f, 76.f, 79.f, 84.f, 88.f };
    for (int n = 0; n < 5; ++n)
        addBell(out, 0.07f * n, notes[n], 0.35f, 0.6f);
    return out;
}

Samples drop()
{
    Samples out = sized(0.4f);
    Phase phase;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / kRateF;
        const float hz = 220.f + 680.f * std::exp(-t / 0.08f);
        const float env = std::min(1.f, t / 0.003f) * std::exp(-t / 0.1f);
        out[i] = env * sine(phase.advance(hz));
    }
    return out;
}

// A field cleared: a rising major arpeggio that rings out.
Samples win()
{
    Samples out = sized(2.2f);
    const float notes[] = { 72.f, 76.f, 79.f, 84.f };
    for (int n = 0; n < 4; ++n)
        addBell(out, 0.12f * n, notes[n], n == 3 ? 0.6f : 0.3f, n == 3 ? 0.8f : 0.6f);
    addBell(out, 0.36f, 79.f, 0.6f, 0.25f);
    addBell(out, 0.36f, 76.f, 0.6f, 0.25f);
    return out;
}

// A bubble lost: three falling notes, the last one sagging.
Samples lose()
{
    Samples out = sized(1.3f);
    const float notes[] = { 67.f, 63.f, 60.f };
    for (int n = 0; n < 3; ++n) {
        Phase phase;
        const float start = 0.18f * n;
        const float length = n == 2 ? 0.9f : 0.2f;
        for (std::size_t i = static_cast<std::size_t>(samplesFor(start)); i < out.size(); ++i) {
            const float t = static_cast<float>(i) / kRateF - start;
            const float sag = n == 2 ? -1.5f * std::min(1.f, t / length) : 0.f;
            const float p = phase.advance(midiToHz(notes[n] + sag));
            const float release = t > length ? std::exp(-(t - length) / 0.05f) : 1.f;
            const float env = std::min(1.f, t / 0.01f) * std::exp(-t / 0.5f) * release;
            out[i] += 0.6f * env * (0.7f * triangle(p) + 0.5f * sine(p));
        }
    }
    return out;
}

Samples menuTick()
{
    Samples out = sized(0.07f);
    Phase a, b;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / kRateF;
        const float attack = std::min(1.f, t / 0.001f);
        out[i] = attack
            * (std::exp(-t / 0.012f) * sine(a.advance(1400.f))
                + 0.3f * std::exp(-t / 0.005f) * sine(b.advance(2900.f)));
    }
    return out;
}

// Each bubble vanishing: a soft fizz over a small low pop.
Samples death()
{
    Samples out = sized(0.32f);
    Noise noise(0xd1e5u);
    Phase pop;
    float high = 0.f, low = 0.f;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / kRateF;
        const float n = noise.bipolar();
        high += lowPassCoefficient(1500.f + 3000.f * std::exp(-t / 0.08f)) * (n - high);
        low += lowPassCoefficient(700.f) * (high - low);
        const float fizz = std::min(1.f, t / 0.005f) * std::exp(-t / 0.07f) * (high - low);
        const float thump = std::min(1.f, t / 0.002f) * std::exp(-t / 0.03f)
            * sine(pop.advance(200.f - 60.f * std::min(1.f, t / 0.04f)));
        out[i] = 1.4f * fizz + 0.5f * thump;
    }
    return out;
}

// A click that hits nothing: two short, muffled low buzzes.
Samples errorBuzz()
{
    Samples out = sized(0.34f);
    const float lowPass = lowPassCoefficient(700.f);
    for (float start : { 0.f, 0.17f }) {
        Phase a, b;
        float state = 0.f;
        for (std::size_t i = static_cast<std::size_t>(samplesFor(start)); i < out.size(); ++i) {
            const float t = static_cast<float>(i) / kRateF - start;
            const float buzz = softSaw(a.advance(196.f), 196.f / kRateF) + softSaw(b.advance(207.f), 207.f / kRateF);
            state += lowPass * (buzz - state);
            const float env = std::min(1.f, t / 0.008f) * (t < 0.11f ? 1.f : std::exp(-(t - 0.11f) / 0.015f));
            out[i] += env * state;
        }
    }
    return out;
}

// Whatever still rings when the buffer ends fades out instead of clicking.
void fadeLast(Samples& s, float seconds)
{
    const std::size_t frames = std::min(s.size(), static_cast<std::size_t>(samplesFor(seconds)));
    const std::size_t start = s.size() - frames;
    for (std::size_t i = 0; i < frames; ++i)
        s[start + i] *= 1.f - static_cast<float>(i + 1) / static_cast<float>(frames);
}

struct EffectFile {
    const char* name;
    Samples (*make)();
    float peakDb;
};

bool writeEffects(const std::string& dir)
{
    // Soft effects, and the ones that come in swarms softer still.
    const EffectFile effects[] = {
        { "bop.wav", bop, -4.f },
        { "Powerup2.wav", powerUp, -4.f },
        { "drop.wav", drop, -4.f },
        { "win.wav", win, -3.f },
        { "lose.wav", lose, -3.5f },
        { "menu1.wav", menuTick, -8.f },
        { "death2.wav", death, -7.f },
        { "error.wav", errorBuzz, -7.f },
    };
    bool ok = true;
    for (const EffectFile& effect : effects) {
        Samples s = effect.make();
        fadeLast(s, std::min(0.06f, 0.2f * static_cast<float>(s.size()) / kRateF));
        scale(s, dbToGain(effect.peakDb) / peakOf(s));
        ok = writeWav(dir + effect.name, s) && ok;
    }
    return ok;
}

// ---------------------------------------------------------------------------
// Music

using Scale = std::array<int, 7>;
constexpr Scale kMajor = { 0, 2, 4, 5, 7, 9, 11 };
constexpr Scale kLydian = { 0, 2, 4, 6, 7, 9, 11 };
constexpr Scale kMixolydian = { 0, 2, 4, 5, 7, 9, 10 };
constexpr Scale kDorian = { 0, 2, 3, 5, 7, 9, 10 };
constexpr Scale kAeolian = { 0, 2, 3, 5, 7, 8, 10 };

struct Song {
    const char* file;
    int key; // MIDI note of the tonic, around middle C
    Scale scale;
    float bpm;
    std::vector<int> progression; // chord root degree per bar
    std::vector<int> bridge; // the B section's progression
    Timbre lead, pad, arp;
    int arpPattern;
    int bassPattern;
    bool busyShaker; // 16ths instead of 8ths
    float swing; // how late the off-beat 8ths fall, in 8ths
    float delayBeats;
    std::uint32_t seed;
    bool loops;
};

// One section of the arrangement.
struct Section {
    int bars;
    int melody; // 0 none, 1 theme A, 2 theme B, 3 closing cadence
    int drums; // 0 none, 1 light, 2 full
    bool bass;
    int arp; // 0 none, 1 soft, 2 fuller
    bool bridge;
};

const std::vector<Section> kGameForm = {
    { 4, 0, 0, false, 1, false }, // intro: pad and arpeggio
    { 8, 1, 1, true, 1, false }, // theme A
    { 8, 2, 2, true, 2, true }, // theme B over the bridge
    { 8, 1, 2, true, 1, false }, // theme A again
    { 4, 3, 0, true, 1, false }, // closing
};

const std::vector<Section> kLoopForm = {
    { 8, 1, 1, true, 1, false },
    { 8, 2, 1, true, 2, true },
};

// One melody note inside a bar: 8th-note grid position and length, and a
// diatonic step above the bar's chord root.
struct MotifNote {
    int slot;
    int length;
    int step;
};
using Motif = std::vector<MotifNote>;

// Calm rhythms on the 8th-note grid: x starts a note, - holds it, . rests.
const char* const kRhythms[] = {
    "x--x--x-",
    "x-x-x---",
    "x---x-x-",
    "x--xx---",
    "x-xxx---",
    "x---x---",
    "..x-x-x-",
    "x--x-xx-",
    ".xx-x---",
    "x-x---x-",
};

bool isChordTone(int step)
{
    const int inOctave = ((step % 7) + 7) % 7;
    return inOctave == 0 || inOctave == 2 || inOctave == 4;
}

// A one-bar motif: chord tones on the strong beats, stepwise motion between.
Motif makeMotif(Noise& rng, int startStep, int direction)
{
    const std::string rhythm = kRhythms[rng.below(static_cast<int>(std::size(kRhythms)))];
    Motif motif;
    int step = startStep;
    bool first = true;
    for (int slot = 0; slot < 8; ++slot) {
        if (rhythm[slot] != 'x')
            continue;
        int length = 1;
        while (slot + length < 8 && rhythm[slot + length] == '-')
            ++length;
        if (!first) {
            if (rng.chance(0.25f))
                direction = -direction;
            const int move = rng.chance(0.2f) ? 2 : rng.chance(0.15f) ? 0 : 1;
            step += direction * move;
        }
        if (slot % 4 == 0)
            while (!isChordTone(step))
                step += direction;
        step = std::clamp(step, -3, 10);
        motif.push_back({ slot, length, step });
        first = false;
    }
    return motif;
}

struct Theme {
    Motif first, second;
    int lift; // steps added to the whole theme (theme B sits higher)
};

class Composer {
public:
    Composer(const Song& song, double seconds)
        : song_(song)
        , rng_(song.seed)
        , mix_(samplesFor(static_cast<float>(seconds)))
        , beat_(60.0 / song.bpm)
    {
        themes_[0] = { makeMotif(rng_, 2, 1), makeMotif(rng_, 4, -1), 0 };
        themes_[1] = { makeMotif(rng_, 4, 1), makeMotif(rng_, 7, -1), 2 };
    }

    // Writes the whole arrangement; returns the mix for the effects.
    Mixer& compose(const std::vector<Section>& form)
    {
        int bar = 0;
        for (std::size_t s = 0; s < form.size(); ++s) {
            const Section& section = form[s];
            const bool last = s + 1 == form.size();
            for (int i = 0; i < section.bars; ++i, ++bar) {
                const bool finalBar = last && i == section.bars - 1 && !song_.loops;
                const int chord = finalBar ? 0 : chordOf(section, i);
                writeBar(section, bar, i, chord, finalBar);
            }
        }
        return mix_;
    }

    double barSeconds() const { return 4.0 * beat_; }

private:
    int chordOf(const Section& section, int barInSection) const
    {
        const std::vector<int>& chords = section.bridge && !song_.bridge.empty() ? song_.bridge : song_.progression;
        return chords[static_cast<std::size_t>(barInSection) % chords.size()];
    }

    // Seconds from the start of the piece to an 8th slot, with swing.
    double timeOf(int bar, double slot) const
    {
        const double swing = static_cast<int>(slot) % 2 == 1 ? song_.swing : 0.0;
        return bar * barSeconds() + (slot + swing) * beat_ / 2.0;
    }

    int pitchOfDegree(int degree) const
    {
        const int octave = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
        const int inScale = degree - 7 * octave;
        return song_.key + 12 * octave + song_.scale[static_cast<std::size_t>(inScale)];
    }

    // The chord tones (root, third, fifth, seventh) as pitch classes above the key.
    std::array<int, 4> chordPitches(int chord) const
    {
        return { pitchOfDegree(chord), pitchOfDegree(chord + 2), pitchOfDegree(chord + 4), pitchOfDegree(chord + 6) };
    }

    void writeBar(const Section& section, int bar, int barInSection, int chord, bool finalBar)
    {
        const std::array<int, 4> voicing = voiceLead(chord);
        writePad(bar, voicing, finalBar);
        if (section.arp > 0)
            writeArpeggio(bar, voicing, section.arp, finalBar);
        if (section.bass)
            writeBass(bar, chord, finalBar);
        if (section.drums > 0)
            writeDrums(bar, section.drums, barInSection == section.bars - 1);
        if (section.melody == 1 || section.melody == 2)
            writeMelody(bar, barInSection, chord, themes_[section.melody - 1]);
        if (section.melody == 3 && barInSection == section.bars - 2)
            writeClosingNote(bar, chord);
        if (section.drums < 2 || rng_.chance(0.25f))
            writeBubbles(bar, chord);
    }

    // Keeps the pad's four voices close to where they were, as a player would.
    std::array<int, 4> voiceLead(int chord)
    {
        const std::array<int, 4> tones = chordPitches(chord);
        std::array<int, 4> best {};
        int bestDistance = 1 << 30;
        for (int inversion = 0; inversion < 4; ++inversion) {
            std::array<int, 4> candidate {};
            for (int v = 0; v < 4; ++v)
                candidate[static_cast<std::size_t>(v)] = tones[static_cast<std::size_t>((v + inversion) % 4)];
            // Stack the voices upwards, starting in the pad's register.
            while (candidate[0] >= song_.key - 2)
                candidate[0] -= 12;
            while (candidate[0] < song_.key - 14)
                candidate[0] += 12;
            for (int v = 1; v < 4; ++v)
                while (candidate[static_cast<std::size_t>(v)] <= candidate[static_cast<std::size_t>(v - 1)])
                    candidate[static_cast<std::size_t>(v)] += 12;
            int distance = 0;
            for (int v = 0; v < 4; ++v)
                distance
                    += std::abs(candidate[static_cast<std::size_t>(v)] - lastVoicing_[static_cast<std::size_t>(v)]);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = candidate;
            }
        }
        lastVoicing_ = best;
        return best;
    }

    void writePad(int bar, const std::array<int, 4>& voicing, bool finalBar)
    {
        const float length = static_cast<float>(barSeconds() * (finalBar ? 1.5 : 1.0));
        for (std::size_t v = 0; v < voicing.size(); ++v) {
            renderNote(note_, song_.pad, static_cast<float>(voicing[v]), length, 0.55f);
            const float pan = v % 2 == 0 ? -0.45f : 0.45f;
            mix_.add(note_, timeOf(bar, 0), { 0.22f, pan, 0.8f, 0.f });
        }
    }

    void writeArpeggio(int bar, const std::array<int, 4>& voicing, int level, bool finalBar)
    {
        static constexpr int patterns[3][8]
            = { { 0, 1, 2, 3, 4, 3, 2, 1 }, { 0, 2, 1, 3, 2, 4, 3, 1 }, { 0, 2, 4, 2, 1, 3, 4, 3 } };
        const int* pattern = patterns[song_.arpPattern % 3];
        const int slots = finalBar ? 1 : 8;
        for (int slot = 0; slot < slots; ++slot) {
            if (level == 1 && slot % 2 == 1 && rng_.chance(0.35f))
                continue;
            const int index = pattern[slot];
            const int pitch = index == 4 ? voicing[0] + 12 : voicing[static_cast<std::size_t>(index)];
            const float velocity
                = (slot % 2 == 0 ? 0.75f : 0.55f) * (level == 2 ? 1.f : 0.8f) * (0.9f + 0.2f * rng_.unit());
            renderNote(note_, song_.arp, static_cast<float>(pitch + 12), static_cast<float>(beat_ * 0.45), velocity);
            mix_.add(note_, timeOf(bar, slot) + 0.004 * rng_.bipolar(), { 0.16f, -0.35f, 0.7f, 0.25f });
        }
    }

    void writeBass(int bar, int chord, bool finalBar)
    {
        struct Hit {
            int slot, length, interval; // interval: 0 root, 4 fifth, 7 octave
        };
        static const std::vector<Hit> patterns[3] = { { { 0, 3, 0 }, { 3, 1, 0 }, { 4, 3, 4 }, { 7, 1, 7 } },
            { { 0, 6, 0 }, { 6, 2, 4 } }, { { 0, 2, 0 }, { 2, 2, 7 }, { 4, 2, 4 }, { 6, 2, 0 } } };
        int root = pitchOfDegree(chord);
        while (root >= song_.key - 15)
            root -= 12;
        const std::vector<Hit>& pattern = finalBar ? patterns[1] : patterns[song_.bassPattern % 3];
        const int fifth = pitchOfDegree(chord + 4) - pitchOfDegree(chord);
        for (const Hit& hit : pattern) {
            const int lifted = root + (hit.interval == 7 ? 12 : hit.interval == 4 ? fifth : 0);
            const double length = hit.length * beat_ / 2.0 * 0.92;
            renderNote(note_, Timbre::Bass, static_cast<float>(lifted), static_cast<float>(length),
                hit.slot == 0 ? 0.9f : 0.75f);
            mix_.add(note_, timeOf(bar, hit.slot), { 0.5f, 0.f, 0.15f, 0.f });
        }
    }

    void writeDrums(int bar, int level, bool fill)
    {
        drum(Drum::Kick, bar, 0, 0.8f, { 0.55f, 0.f, 0.1f, 0.f });
        if (level == 2) {
            drum(Drum::Kick, bar, 4, 0.65f, { 0.55f, 0.f, 0.1f, 0.f });
            drum(Drum::Rim, bar, 2, 0.6f, { 0.22f, 0.15f, 0.5f, 0.f });
            drum(Drum::Rim, bar, 6, 0.6f, { 0.22f, 0.15f, 0.5f, 0.f });
            if (fill)
                drum(Drum::Rim, bar, 7, 0.35f, { 0.22f, 0.15f, 0.5f, 0.f });
        }
        const bool sixteenths = song_.busyShaker && level == 2;
        for (double slot = 0; slot < 8; slot += sixteenths ? 0.5 : 1.0) {
            const bool offBeat = static_cast<int>(slot * 2) % 2 == 1 || static_cast<int>(slot) % 2 == 1;
            const float velocity = (offBeat ? 0.8f : 0.5f) * (level == 2 ? 1.f : 0.75f) * (0.8f + 0.3f * rng_.unit());
            drum(Drum::Shaker, bar, slot, velocity, { 0.2f, 0.4f, 0.35f, 0.f });
        }
    }

    void drum(Drum kind, int bar, double slot, float velocity, const Channel& channel)
    {
        renderDrum(note_, kind, velocity, rng_);
        mix_.add(note_, timeOf(bar, slot) + 0.003 * rng_.bipolar(), channel);
    }

    // Theme bars: first motif, second motif, first motif, then a long note
    // that asks a question the first time and answers it the second time.
    void writeMelody(int bar, int barInSection, int chord, const Theme& theme)
    {
        const int phraseBar = barInSection % 4;
        const bool answer = barInSection % 8 >= 4;
        const int rootShift = chord <= 3 ? chord : chord - 7; // follow the chord the short way
        Motif motif;
        if (phraseBar == 0 || phraseBar == 2)
            motif = theme.first;
        else if (phraseBar == 1)
            motif = theme.second;
        else
            motif = { { 0, 6, answer ? 0 : 2 }, { 6, 2, answer ? 1 : 4 } };
        if (phraseBar == 2 && answer && !motif.empty())
            motif.back().step += motif.back().step > 2 ? -1 : 1; // small variation on the way back
        for (const MotifNote& n : motif) {
            const int degree = 7 + rootShift + theme.lift + n.step;
            const float velocity = (n.slot % 4 == 0 ? 0.85f : 0.7f) * (0.9f + 0.2f * rng_.unit());
            renderNote(note_, song_.lead, static_cast<float>(pitchOfDegree(degree)),
                static_cast<float>(n.length * beat_ / 2.0 * 0.9), velocity);
            mix_.add(note_, timeOf(bar, n.slot) + 0.005 * rng_.bipolar(), { 0.34f, 0.1f, 0.55f, 0.35f });
        }
    }

    void writeClosingNote(int bar, int chord)
    {
        const int rootShift = chord <= 3 ? chord : chord - 7;
        renderNote(note_, song_.lead, static_cast<float>(pitchOfDegree(7 + rootShift + 2)),
            static_cast<float>(barSeconds() * 0.9), 0.75f);
        mix_.add(note_, timeOf(bar, 0), { 0.34f, 0.1f, 0.55f, 0.35f });
        renderNote(
            note_, song_.lead, static_cast<float>(pitchOfDegree(7)), static_cast<float>(barSeconds() * 1.5), 0.7f);
        mix_.add(note_, timeOf(bar + 1, 0), { 0.34f, 0.1f, 0.55f, 0.35f });
    }

    // Now and then a tiny bubble rises somewhere on the slide.
    void writeBubbles(int bar, int chord)
    {
        if (!rng_.chance(0.6f))
            return;
        const int count = 1 + rng_.below(3);
        for (int b = 0; b < count; ++b) {
            const int tone = chordPitches(chord)[static_cast<std::size_t>(rng_.below(3))] + 24 + 12 * rng_.below(2);
            renderDrum(note_, Drum::Blip, 0.5f + 0.3f * rng_.unit(), rng_, midiToHz(static_cast<float>(tone)));
            mix_.add(note_, timeOf(bar, rng_.below(8)), { 0.12f, rng_.bipolar() * 0.8f, 0.9f, 0.6f });
        }
    }

    const Song& song_;
    Noise rng_;
    Mixer mix_;
    double beat_;
    std::array<Theme, 2> themes_;
    std::array<int, 4> lastVoicing_ { 48, 55, 60, 64 };
    Samples note_;
};

constexpr float kTailSeconds = 5.f; // reverb and echo ring-out after the last bar
constexpr float kMusicRmsDb = -20.f;
constexpr float kMusicPeakDb = -3.2f;

int barsOf(const std::vector<Section>& form)
{
    int bars = 0;
    for (const Section& s : form)
        bars += s.bars;
    return bars;
}

// A loop is exactly its bars long; what rings past the end (the reverb and
// echo tails) is laid over the start, so the join cannot be heard.
void wrapTail(StereoSamples& music, std::size_t loopFrames)
{
    for (std::size_t i = loopFrames; i < music.left.size(); ++i) {
        music.left[i - loopFrames] += music.left[i];
        music.right[i - loopFrames] += music.right[i];
    }
    music.left.resize(loopFrames);
    music.right.resize(loopFrames);
}

// A game track ends in silence, not in the middle of its reverb.
void fadeOutEnd(StereoSamples& music, float seconds)
{
    const std::size_t frames = std::min(music.left.size(), static_cast<std::size_t>(samplesFor(seconds)));
    const std::size_t start = music.left.size() - frames;
    for (std::size_t i = 0; i < frames; ++i) {
        const float gain = 1.f - static_cast<float>(i) / static_cast<float>(frames);
        music.left[start + i] *= gain * gain;
        music.right[start + i] *= gain * gain;
    }
}

StereoSamples renderSong(const Song& song)
{
    const std::vector<Section>& form = song.loops ? kLoopForm : kGameForm;
    const double barSeconds = 4.0 * 60.0 / song.bpm;
    const double length = barsOf(form) * barSeconds;
    Composer composer(song, length + kTailSeconds);
    Mixer& mix = composer.compose(form);
    applyDelay(mix, static_cast<float>(song.delayBeats * 60.0 / song.bpm), 0.38f, 0.45f);
    StereoSamples music = finishMix(mix, 0.9f);
    if (song.loops)
        wrapTail(music, static_cast<std::size_t>(std::lround(length * kRate)));
    else
        fadeOutEnd(music, 1.5f);
    normaliseMusic(music, kMusicRmsDb, kMusicPeakDb);
    return music;
}

std::vector<Song> songs()
{
    return {
        // The menu tune: kalimba over a warm pad in D major, a seamless loop.
        { "OrbMT.ogg", 62, kMajor, 84.f, { 0, 5, 3, 4 }, { 3, 4, 2, 5 }, Timbre::Kalimba, Timbre::WarmPad,
            Timbre::Pluck, 1, 1, false, 0.f, 1.5f, 0x0b0e1u, true },
        // Electric piano in F lydian, a floating, bright feel.
        { "OrbBGT1.ogg", 65, kLydian, 96.f, { 0, 1, 5, 4 }, { 3, 4, 0, 1 }, Timbre::ElectricPiano, Timbre::SawPad,
            Timbre::Pluck, 0, 0, false, 0.12f, 0.75f, 0x51ed1u, false },
        // Flute in A minor, slower and darker, the deep end of the dish.
        { "OrbBGT2.ogg", 57, kAeolian, 80.f, { 0, 5, 2, 6 }, { 3, 0, 5, 4 }, Timbre::Flute, Timbre::WarmPad,
            Timbre::Kalimba, 2, 1, false, 0.f, 1.5f, 0x7a11eu, false },
        // Marimba in Eb major with a busier shaker.
        { "OrbBGT3.ogg", 63, kMajor, 104.f, { 0, 4, 5, 3 }, { 5, 3, 0, 4 }, Timbre::Marimba, Timbre::SawPad,
            Timbre::GlassBell, 1, 2, true, 0.f, 0.75f, 0x3a1b7u, false },
        // Soft square lead in E dorian, a gentle groove.
        { "OrbBGT4.ogg", 64, kDorian, 90.f, { 0, 3, 0, 3, 6, 2, 3, 4 }, { 2, 3, 6, 0 }, Timbre::SoftSquare,
            Timbre::WarmPad, Timbre::Marimba, 0, 2, false, 0.15f, 1.f, 0x40d0eu, false },
        // Glass bells in G mixolydian, swaying, with a flat seventh chord.
        { "OrbBGT5.ogg", 55, kMixolydian, 100.f, { 0, 6, 3, 0 }, { 5, 3, 6, 4 }, Timbre::GlassBell, Timbre::SawPad,
            Timbre::Pluck, 2, 0, true, 0.18f, 1.5f, 0x9e11au, false },
    };
}

bool writeMusic(const std::string& dir)
{
    const std::vector<Song> all = songs();
    std::atomic<std::size_t> nextSong { 0 };
    std::atomic<bool> ok { true };
    auto worker = [&] {
        for (std::size_t i = nextSong++; i < all.size(); i = nextSong++) {
            const StereoSamples music = renderSong(all[i]);
            if (!writeOgg(dir + all[i].file, music, 0xf207u + static_cast<unsigned>(i)))
                ok = false;
        }
    };
    // Two workers: the build shares the machine, and each track is independent.
    std::thread helper(worker);
    worker();
    helper.join();
    return ok;
}

} // namespace

namespace resgen {

bool writeSounds(const std::string& dir)
{
    const std::string prefix = dir.empty() || dir.back() == '/' ? dir : dir + '/';
    const bool effects = writeEffects(prefix);
    const bool music = writeMusic(prefix);
    return effects && music;
}

} // namespace resgen

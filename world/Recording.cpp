#include "world/Recording.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include <box2d/box2d.h>

#include "app/GameContext.h"

namespace replay {

namespace {

constexpr char magic[8] = {'F', 'R', 'O', 'T', 'H', 'R', 'E', 'C'};
constexpr std::uint16_t formatVersion = 1;
constexpr std::uint32_t maxSpawns = 4096;
constexpr std::uint32_t maxEvents = maxSteps;
// The same limits the settings file keeps the physics iterations in.
constexpr std::int32_t minIterations = 1;
constexpr std::int32_t maxIterations = 50;

// 64-bit FNV-1a: small, and the same on every machine.
struct Fnv {
    std::uint64_t h = 0xcbf29ce484222325ull;
    void bytes(const void* p, std::size_t n)
    {
        const auto* b = static_cast<const unsigned char*>(p);
        for (std::size_t i = 0; i < n; ++i) {
            h ^= b[i];
            h *= 0x100000001b3ull;
        }
    }
    template <typename T>
    void add(T value)
    {
        static_assert(std::is_arithmetic_v<T>);
        bytes(&value, sizeof value);
    }
};

// ---- writing ---------------------------------------------------------------

class Writer {
public:
    void u8(std::uint8_t v) { out.push_back(static_cast<char>(v)); }
    void u16(std::uint16_t v) { little(v, 2); }
    void u32(std::uint32_t v) { little(v, 4); }
    void u64(std::uint64_t v) { little(v, 8); }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f32(float v)
    {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    void flag(bool v) { u8(v ? 1 : 0); }
    void text(const std::string& s)
    {
        u8(static_cast<std::uint8_t>(s.size()));
        out.append(s, 0, std::min<std::size_t>(s.size(), 255));
    }
    void random(const MersenneTwister::State& s)
    {
        for (std::uint32_t w : s.words)
            u32(w);
        i32(s.index);
    }

    std::string out;

private:
    void little(std::uint64_t v, int n)
    {
        for (int i = 0; i < n; ++i)
            u8(static_cast<std::uint8_t>(v >> (8 * i)));
    }
};

// Which parts of a step differ from the step before: only those are written.
enum StepPart : std::uint16_t {
    PartAimX = 1 << 0,
    PartAimY = 1 << 1,
    PartPaddleTarget = 1 << 2,
    PartFlags = 1 << 3,
    PartJoystickAxes = 1 << 4,
    PartJoystickButtons = 1 << 5,
    PartDevice = 1 << 6,
    PartSensitivity = 1 << 7,
    PartIterations = 1 << 8,
    PartHue = 1 << 9,
    PartCleaned = 1 << 10,
    AllParts = (1 << 11) - 1,
};

std::uint8_t flagsOf(const StepInput& s)
{
    return static_cast<std::uint8_t>(s.throwRequested | s.buttonHeld << 1 | s.held.left << 2 |
                                     s.held.right << 3 | s.held.control << 4 | s.particles << 5 |
                                     s.dismiss << 6);
}

std::uint8_t buttonsOf(const StepInput& s)
{
    std::uint8_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint8_t>(s.held.joystickButton0[i] << i);
    return bits;
}

bool sameAxes(const StepInput& a, const StepInput& b)
{
    return std::memcmp(a.held.joystickX, b.held.joystickX, sizeof a.held.joystickX) == 0;
}

bool sameFloat(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void writeStep(Writer& w, const StepInput& s, const StepInput& previous)
{
    // The click is news on its own step only: the reader starts every step without it.
    StepInput before = previous;
    before.dismiss = false;
    std::uint16_t parts = 0;
    parts |= s.aimX != before.aimX ? PartAimX : 0;
    parts |= s.aimY != before.aimY ? PartAimY : 0;
    parts |= !sameFloat(s.paddleTarget, before.paddleTarget) ? PartPaddleTarget : 0;
    parts |= flagsOf(s) != flagsOf(before) ? PartFlags : 0;
    parts |= !sameAxes(s, before) ? PartJoystickAxes : 0;
    parts |= buttonsOf(s) != buttonsOf(before) ? PartJoystickButtons : 0;
    parts |= s.device != before.device ? PartDevice : 0;
    parts |= !sameFloat(s.sensitivity, before.sensitivity) ? PartSensitivity : 0;
    parts |= s.velocityIterations != before.velocityIterations || s.positionIterations != before.positionIterations
                 ? PartIterations
                 : 0;
    parts |= s.hue != before.hue ? PartHue : 0;
    parts |= !sameFloat(s.cleanedPercent, before.cleanedPercent) ? PartCleaned : 0;
    w.u16(parts);
    if (parts & PartAimX)
        w.i32(s.aimX);
    if (parts & PartAimY)
        w.i32(s.aimY);
    if (parts & PartPaddleTarget)
        w.f32(s.paddleTarget);
    if (parts & PartFlags)
        w.u8(flagsOf(s));
    if (parts & PartJoystickAxes)
        for (float x : s.held.joystickX)
            w.f32(x);
    if (parts & PartJoystickButtons)
        w.u8(buttonsOf(s));
    if (parts & PartDevice)
        w.i32(s.device);
    if (parts & PartSensitivity)
        w.f32(s.sensitivity);
    if (parts & PartIterations) {
        w.i32(s.velocityIterations);
        w.i32(s.positionIterations);
    }
    if (parts & PartHue)
        w.i32(s.hue);
    if (parts & PartCleaned)
        w.f32(s.cleanedPercent);
}

void writeLevel(Writer& w, const LevelRecording& level)
{
    w.i32(level.difficulty);
    w.u32(level.levelSeed);
    w.i32(level.score);
    w.i32(level.throwCount);
    w.i32(level.catcherTimer);
    w.flag(level.catcherArmed);
    w.flag(level.measurePending);
    w.i32(level.courseLevel);
    const PaddlePose& p = level.paddle;
    for (float v : {p.x, p.y, p.angle, p.vx, p.vy, p.spin})
        w.f32(v);
    w.random(level.random);
    const TutorialStart& t = level.tutorial;
    w.i32(t.step);
    w.i32(t.stepsDone);
    w.flag(t.toastPending);
    w.flag(t.toastShowing);
    w.f32(t.slowStep);
    w.flag(t.restartTutorial);
    w.i32(t.endCountdown);

    w.u32(static_cast<std::uint32_t>(level.spawns.size()));
    for (const Spawn& s : level.spawns) {
        w.i32(s.type);
        w.f32(s.x);
        w.f32(s.y);
        w.f32(s.impulseX);
        w.f32(s.impulseY);
        w.flag(s.ambient);
    }
    w.u32(static_cast<std::uint32_t>(level.steps.size()));
    StepInput before;
    for (const StepInput& s : level.steps) {
        writeStep(w, s, before);
        before = s;
    }
    w.u32(static_cast<std::uint32_t>(level.jumps.size()));
    for (const RandomJump& j : level.jumps) {
        w.u32(j.step);
        w.random(j.state);
    }
    w.u32(static_cast<std::uint32_t>(level.measurements.size()));
    for (const Measurement& m : level.measurements) {
        w.u32(m.step);
        w.u64(m.dirty);
        w.u64(m.total);
    }
    w.u32(static_cast<std::uint32_t>(level.hashes.size()));
    for (std::uint64_t h : level.hashes)
        w.u64(h);
    w.flag(level.finished);
    w.u64(level.finalHash);
    w.i32(level.finalScore);
}

// ---- reading ---------------------------------------------------------------

// Reads from a byte string; any read past the end, or any value a recording
// never holds, spoils the whole read.
class Reader {
public:
    explicit Reader(const std::string& bytes, std::size_t end) : in(bytes), limit(end) {}

    bool ok = true;

    std::uint8_t u8()
    {
        if (!ok || pos >= limit) {
            ok = false;
            return 0;
        }
        return static_cast<std::uint8_t>(in[pos++]);
    }
    std::uint16_t u16() { return static_cast<std::uint16_t>(little(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(little(4)); }
    std::uint64_t u64() { return little(8); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::int32_t i32In(std::int32_t lo, std::int32_t hi)
    {
        const std::int32_t v = i32();
        check(v >= lo && v <= hi);
        return v;
    }
    float f32()
    {
        const std::uint32_t bits = u32();
        float v = 0.f;
        std::memcpy(&v, &bits, 4);
        check(std::isfinite(v));
        return v;
    }
    float f32Within(float bound)
    {
        const float v = f32();
        check(std::fabs(v) <= bound);
        return v;
    }
    bool flag()
    {
        const std::uint8_t v = u8();
        check(v <= 1);
        return v == 1;
    }
    std::string text()
    {
        const std::size_t n = u8();
        if (!ok || limit - pos < n) {
            ok = false;
            return {};
        }
        std::string s = in.substr(pos, n);
        pos += n;
        return s;
    }
    MersenneTwister::State random()
    {
        MersenneTwister::State s;
        for (std::uint32_t& w : s.words)
            w = u32();
        s.index = i32In(0, 624);
        return s;
    }
    // A count of records of at least minBytes each, no more than the bytes left allow.
    std::uint32_t count(std::uint32_t max, std::size_t minBytes)
    {
        const std::uint32_t n = u32();
        check(n <= max && (minBytes == 0 || n <= (limit - pos) / minBytes));
        return ok ? n : 0;
    }
    void check(bool condition)
    {
        if (!condition)
            ok = false;
    }
    bool atEnd() const { return pos == limit; }

private:
    std::uint64_t little(int n)
    {
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= static_cast<std::uint64_t>(u8()) << (8 * i);
        return v;
    }

    const std::string& in;
    std::size_t limit;
    std::size_t pos = 0;
};

// Positions and pushes stay well inside what the field can hold.
constexpr float maxPixels = 100000.f;
constexpr float maxImpulse = 1000.f;
constexpr float maxSpeed = 100000.f;

void readStep(Reader& r, StepInput& s)
{
    const std::uint16_t parts = r.u16();
    r.check((parts & ~AllParts) == 0);
    s.dismiss = false;
    if (parts & PartAimX)
        s.aimX = r.i32();
    if (parts & PartAimY)
        s.aimY = r.i32();
    if (parts & PartPaddleTarget)
        s.paddleTarget = r.f32();
    if (parts & PartFlags) {
        const std::uint8_t f = r.u8();
        r.check(f < 128);
        s.throwRequested = f & 1;
        s.buttonHeld = f & 2;
        s.held.left = f & 4;
        s.held.right = f & 8;
        s.held.control = f & 16;
        s.particles = f & 32;
        s.dismiss = f & 64;
    }
    if (parts & PartJoystickAxes)
        for (float& x : s.held.joystickX)
            x = r.f32Within(100.f);
    if (parts & PartJoystickButtons) {
        const std::uint8_t b = r.u8();
        r.check(b < 16);
        for (int i = 0; i < 4; ++i)
            s.held.joystickButton0[i] = (b >> i) & 1;
    }
    if (parts & PartDevice)
        s.device = r.i32();
    if (parts & PartSensitivity) {
        s.sensitivity = r.f32();
        r.check(s.sensitivity > 0.f);
    }
    if (parts & PartIterations) {
        s.velocityIterations = r.i32In(minIterations, maxIterations);
        s.positionIterations = r.i32In(minIterations, maxIterations);
    }
    if (parts & PartHue)
        s.hue = r.i32In(0, 359);
    if (parts & PartCleaned)
        s.cleanedPercent = r.f32Within(100.f);
}

template <typename Event>
bool inOrderWithin(const std::vector<Event>& events, std::size_t steps)
{
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i].step > steps || (i > 0 && events[i].step < events[i - 1].step))
            return false;
    }
    return true;
}

bool readLevel(Reader& r, LevelRecording& level)
{
    level.difficulty = r.i32();
    level.levelSeed = r.u32();
    level.score = r.i32();
    level.throwCount = r.i32In(0, 0x7fffffff);
    level.catcherTimer = r.i32In(0, 0x7fffffff);
    level.catcherArmed = r.flag();
    level.measurePending = r.flag();
    level.courseLevel = r.i32In(0, maxLevels);
    PaddlePose& p = level.paddle;
    for (float* v : {&p.x, &p.y, &p.angle, &p.vx, &p.vy, &p.spin})
        *v = r.f32Within(maxSpeed);
    level.random = r.random();
    TutorialStart& t = level.tutorial;
    t.step = r.i32In(0, 4);
    t.stepsDone = r.i32In(0, 0x1111);
    t.toastPending = r.flag();
    t.toastShowing = r.flag();
    t.slowStep = r.f32Within(1.f);
    t.restartTutorial = r.flag();
    t.endCountdown = r.i32In(0, 300);

    const std::uint32_t spawns = r.count(maxSpawns, 21);
    level.spawns.resize(spawns);
    for (Spawn& s : level.spawns) {
        s.type = r.i32In(0, 2000);
        s.x = r.f32Within(maxPixels);
        s.y = r.f32Within(maxPixels);
        s.impulseX = r.f32Within(maxImpulse);
        s.impulseY = r.f32Within(maxImpulse);
        s.ambient = r.flag();
    }
    const std::uint32_t steps = r.count(maxSteps, 2);
    level.steps.resize(steps);
    StepInput before;
    for (StepInput& s : level.steps) {
        s = before;
        readStep(r, s);
        before = s;
        if (!r.ok)
            return false;
    }
    level.jumps.resize(r.count(maxEvents, 4 + 4 * 625));
    for (RandomJump& j : level.jumps) {
        j.step = r.u32();
        j.state = r.random();
    }
    level.measurements.resize(r.count(maxEvents, 20));
    for (Measurement& m : level.measurements) {
        m.step = r.u32();
        m.dirty = r.u64();
        m.total = r.u64();
        r.check(m.dirty <= m.total && m.total > 0 && m.total <= 100000000u);
    }
    level.hashes.resize(r.count(maxSteps / hashInterval + 1, 8));
    for (std::uint64_t& h : level.hashes)
        h = r.u64();
    level.finished = r.flag();
    level.finalHash = r.u64();
    level.finalScore = r.i32();
    r.check(level.hashes.size() == steps / hashInterval);
    r.check(inOrderWithin(level.jumps, steps) && inOrderWithin(level.measurements, steps));
    return r.ok;
}

}  // namespace

std::int64_t Recording::score() const
{
    if (levels.empty())
        return 0;
    if (mode != 4)
        return levels.back().finalScore;
    std::int64_t total = 0;
    for (const LevelRecording& level : levels)
        total += level.finalScore;
    return total;
}

std::uint64_t stateHash(const GameField& field, const GameContext& ctx)
{
    Fnv f;
    auto motion = [&f](const b2Body* body) {
        if (!body) {
            f.add(std::uint8_t{0});
            return;
        }
        const b2Vec2 p = body->GetPosition();
        const b2Vec2 v = body->GetLinearVelocity();
        for (float x : {p.x, p.y, body->GetAngle(), v.x, v.y, body->GetAngularVelocity()})
            f.add(x);
    };
    f.add(static_cast<std::uint64_t>(field.pool.size()));
    for (const Microbe& m : field.pool.microbes) {
        for (std::int32_t v : {m.type, m.hitPoints, m.points, m.blinkCounter, m.fuse, m.shieldSteps,
                               m.wanderCount, m.hitBy, m.childCount})
            f.add(v);
        for (float v : {m.radius, m.burstRadius, m.burstGrowth})
            f.add(v);
        for (bool b : {m.dead, m.bursting, m.shielded, m.marked, m.hasFuse})
            f.add(static_cast<std::uint8_t>(b));
        motion(m.body);
    }
    f.add(static_cast<std::uint64_t>(field.bubbles.size()));
    for (const Bubble& b : field.bubbles) {
        for (bool v : {b.finished, b.touchedPaddle, b.trailOn})
            f.add(static_cast<std::uint8_t>(v));
        motion(b.body);
    }
    motion(field.paddle());
    for (std::int32_t v : {field.stepCount, field.comboCount, field.celebrationCountdown, field.catcher.timer,
                           field.burstingCount, ctx.score, ctx.throwCount, ctx.totalMicrobes, ctx.remainingMicrobes})
        f.add(v);
    for (bool v : {field.bubbleInPlay, field.throwBlocked, field.roundWon, field.catcher.armed})
        f.add(static_cast<std::uint8_t>(v));
    f.add(ctx.levelSeed);
    f.add(ctx.remainingFraction);
    f.add(ctx.cleanedPercent);
    const MersenneTwister::State random = gameRandom().state();
    f.bytes(random.words.data(), random.words.size() * sizeof(std::uint32_t));
    f.add(random.index);
    return f.h;
}

std::string fileHeader(const std::string& gameVersion)
{
    Writer w;
    w.out.append(magic, sizeof magic);
    w.u16(formatVersion);
    w.text(gameVersion);
    return w.out;
}

std::string sealed(std::string body)
{
    Fnv sum;
    sum.bytes(body.data(), body.size());
    Writer w;
    w.out = std::move(body);
    w.u64(sum.h);
    return w.out;
}

std::string encode(const Recording& recording)
{
    Writer w;
    w.out = fileHeader(recording.gameVersion);
    w.i32(recording.mode);
    w.u32(static_cast<std::uint32_t>(recording.levels.size()));
    for (const LevelRecording& level : recording.levels)
        writeLevel(w, level);
    return sealed(std::move(w.out));
}

std::optional<Recording> decode(const std::string& bytes, const std::string& gameVersion)
{
    if (bytes.size() < sizeof magic + 8 || bytes.compare(0, sizeof magic, magic, sizeof magic) != 0)
        return std::nullopt;
    const std::size_t body = bytes.size() - 8;
    Fnv sum;
    sum.bytes(bytes.data(), body);
    std::uint64_t stored = 0;
    for (int i = 0; i < 8; ++i)
        stored |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[body + i])) << (8 * i);
    if (stored != sum.h)
        return std::nullopt;

    Reader r(bytes, body);
    for (std::size_t i = 0; i < sizeof magic; ++i)
        r.u8();
    if (r.u16() != formatVersion)
        return std::nullopt;
    Recording recording;
    recording.gameVersion = r.text();
    if (!r.ok || recording.gameVersion != gameVersion)
        return std::nullopt;
    recording.mode = r.i32In(2, 5);
    const std::uint32_t levels = r.count(maxLevels, 1);
    r.check(levels >= 1);
    recording.levels.resize(levels);
    for (LevelRecording& level : recording.levels)
        if (!readLevel(r, level))
            return std::nullopt;
    if (!r.ok || !r.atEnd())
        return std::nullopt;
    return recording;
}

std::optional<std::string> readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return std::nullopt;
    // No recording comes near this; a larger file is not one of ours.
    constexpr std::streamoff largest = 256 << 20;
    if (file.tellg() > largest)
        return std::nullopt;
    file.seekg(0);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    if (file.bad())
        return std::nullopt;
    return bytes.str();
}

std::string bestFileName(int mode)
{
    switch (mode) {
    case 2:
        return "best-tutorial.frothrec";
    case 4:
        return "best-course.frothrec";
    case 5:
        return "best-clean.frothrec";
    default:
        return "best-infinite.frothrec";
    }
}

}  // namespace replay

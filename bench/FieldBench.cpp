// How fast the field is built and stepped: generating fields from seeds, a
// step of full particle pools, and a Logic step of the busiest field we can
// make. Run under Xvfb (the context's textures want a display) with
// ALSOFT_DRIVERS=null. Figures only; nothing here fails.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include <benchmark/benchmark.h>
#include <box2d/box2d.h>

#include "app/GameContext.h"
#include "world/Bursts.h"
#include "world/GameField.h"
#include "world/MicrobeTypes.h"
#include "world/Particles.h"

namespace {

// The field prints its diagnostic lines; keep them out of the report.
class QuietStdout {
public:
    QuietStdout() : m_saved(::dup(STDOUT_FILENO))
    {
        std::fflush(stdout);
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, STDOUT_FILENO);
        ::close(devNull);
    }
    ~QuietStdout()
    {
        std::fflush(stdout);
        ::dup2(m_saved, STDOUT_FILENO);
        ::close(m_saved);
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int m_saved;
};

void BM_GenerateField(benchmark::State& state)
{
    QuietStdout quiet;
    b2World world(b2Vec2(0.f, 10.f));
    MicrobePool pool;
    pool.world = &world;
    std::uint32_t seed = 0;
    for (auto _ : state) {
        generateField(pool, seed);
        state.PauseTiming();
        pool.clear();
        seed = (seed + 1) % 1000;
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("one field per iteration, seeds 0..999 in turn");
}
BENCHMARK(BM_GenerateField)->Iterations(5000)->Unit(benchmark::kMicrosecond);

// A full particle pool of long-lived particles, and optionally every emitter
// slot spawning into it on every step.
void fillPools(ParticleSystem& ps, bool withEmitters)
{
    for (int i = 0; i < ParticleSystem::maxParticles; ++i) {
        Particle p;
        p.x = static_cast<float>(i % 1024);
        p.y = static_cast<float>(i % 768);
        p.vx = 0.5f;
        p.life = 1 << 30;
        ps.addParticle(p);
    }
    for (int i = 0; withEmitters && i < ParticleSystem::maxEmitters; ++i) {
        Emitter e;
        e.x = static_cast<float>(4 * i);
        e.y = 300.f;
        e.emitSteps = 1 << 30;
        e.lifeMin = e.lifeMax = 1 << 30;
        ps.emit(e);
    }
}

void BM_ParticleUpdateFullPools(benchmark::State& state)
{
    auto ps = std::make_unique<ParticleSystem>();
    fillPools(*ps, state.range(0) != 0);
    for (auto _ : state) {
        ps->update();
        benchmark::DoNotOptimize(ps->particleCount());
    }
    state.counters["particles"] = ps->particleCount();
    state.counters["emitters"] = ps->emitterCount();
}
// 0: the particles only; 1: plus 254 emitters spawning ten particles a step.
BENCHMARK(BM_ParticleUpdateFullPools)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Thirty microbes packed tight (short fuses, wide bursts, pushers and
// pullers) so one hit sets the whole field off.
void busyField(MicrobePool& pool, GameContext&)
{
    const int types[] = {4, 9, 7, 8, 5};
    for (int i = 0; i < 30; ++i) {
        const float x = 300.f + 45.f * static_cast<float>(i % 6);
        const float y = 200.f + 45.f * static_cast<float>(i / 6);
        pool.addMicrobe(types[i % 5], x, y, 0.5f, -0.5f);
        pool.at(pool.size() - 1).ambient = true;
    }
}

void BM_LogicBusiestField(benchmark::State& state)
{
    constexpr int stepsPerRound = 120;
    QuietStdout quiet;
    GameContext ctx;
    ctx.settings.particles = true;
    ctx.settings.inputDevice = DeviceComputer;
    FieldRules rules;
    rules.populate = busyField;
    GameField field(ctx, rules);
    const float dt = static_cast<float>(field.timeStep);
    int bursting = 0;
    for (auto _ : state) {
        state.PauseTiming();
        field.Reset(ctx);
        fillPools(field.particles, false);
        hitMicrobe(field.pool.at(0), 1);
        field.pool.at(0).hitBy = HitByBurst;
        field.aimX = 400;
        field.aimY = 300;
        field.throwRequested = true;
        state.ResumeTiming();
        for (int i = 0; i < stepsPerRound; ++i) {
            field.Logic(ctx, dt);
            bursting += field.burstingCount;
        }
    }
    state.SetItemsProcessed(state.iterations() * stepsPerRound);
    state.counters["time_per_step"] =
        benchmark::Counter(static_cast<double>(state.iterations() * stepsPerRound),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
    state.counters["bursting_avg"] = static_cast<double>(bursting) / static_cast<double>(state.iterations() * stepsPerRound);
    state.counters["microbes"] = static_cast<double>(field.pool.size());
}
BENCHMARK(BM_LogicBusiestField)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// How long the busiest field takes to draw in a real window (run it under
// Xvfb for the software renderer): the whole frame, and the particle batch
// alone with both pools full. Figures only; nothing here fails a build.
#include <benchmark/benchmark.h>

#include <memory>

#include <SFML/Graphics/RenderWindow.hpp>

#include "app/GameContext.h"
#include "gfx/GraphicsResources.h"
#include "screens/FieldDrawing.h"
#include "world/Bursts.h"
#include "world/Effects.h"
#include "world/GameField.h"
#include "world/MicrobeTypes.h"

namespace {

struct Scene {
    Scene()
    {
        window.create(sf::VideoMode(1024, 768), "Frothlet bench", sf::Style::Titlebar);
        window.setVerticalSyncEnabled(false);
        ctx.window = &window;
        ctx.settings.particles = true;
        ctx.viewport = {0.f, 0.f, 1.f, 1.f};
        gfx.load("resources/");
        FieldRules rules;
        rules.populate = [](MicrobePool& pool, GameContext&) {
            gameRandom().seed32(7);
            for (int i = 0; i < 30; ++i)
                addRandomMicrobes(pool, 1 + i % 15, 1);
        };
        field = std::make_unique<GameField>(ctx, rules);
        // Set a chain going and fill the particle pool.
        for (int i = 0; i < 10; ++i) {
            hitMicrobe(field->pool.at(static_cast<std::size_t>(i)), 1);
            field->pool.at(static_cast<std::size_t>(i)).hitBy = 2;
        }
        for (int i = 0; i < 120; ++i)
            effects::splash(field->particles, 100.f + 7.f * static_cast<float>(i), 400.f);
        for (int i = 0; i < 20; ++i)
            field->Update(ctx, field->timeStep);
    }

    sf::RenderWindow window;
    GameContext ctx;
    GraphicsResources gfx{1024, 768};
    std::unique_ptr<GameField> field;
    draw::DrawBatches batches;
};

Scene& scene()
{
    static Scene s;
    return s;
}

void drawField(Scene& s)
{
    s.window.clear();
    s.window.setView(s.field->fieldView);
    draw::background(s.window, s.gfx);
    draw::aimingGuide(s.window, *s.field, s.gfx, 3, s.batches);
    draw::microbes(s.window, s.field->pool, s.batches);
    draw::paddle(s.window, *s.field, s.gfx, {1.f, -0.62f, 0.37f}, s.batches);
    s.batches.shapes.clear();
    draw::addParticles(s.batches.shapes, s.field->particles);
    draw::addFieldFrame(s.batches.shapes);
    s.batches.shapes.draw(s.window);
    draw::bottomPanel(s.window, s.gfx, 10);
    draw::meter(s.window, s.gfx, 0.6f, 0.2f);
    draw::bubbles(s.window, s.field->bubbles, s.field->catcher, s.gfx, s.batches);
}

void BM_DrawBusyFrame(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state) {
        drawField(s);
        s.window.display();
    }
    state.counters["particles"] = s.field->particles.particleCount();
}
BENCHMARK(BM_DrawBusyFrame)->Unit(benchmark::kMillisecond);

void BM_DrawParticleBatch(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state) {
        s.window.clear();
        draw::particles(s.window, s.field->particles, s.batches);
        s.window.display();
    }
    state.counters["particles"] = s.field->particles.particleCount();
}
BENCHMARK(BM_DrawParticleBatch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

#include "clock/elapsed_time.h"
#include "world/world.h"

#include <benchmark/benchmark.h>

namespace {

constexpr float kFrameSeconds = 1.0f / 60.0f;

// Planets spread over the field in rows, well away from the ship.
void addPlanets(World& world, int count) {
    for (int i = 0; i < count; ++i) {
        Planet* planet = new Planet();
        world.addPlanet(planet);
        const float x = -45.0f + static_cast<float>(i % 10) * 9.0f;
        const float y = 3.0f + static_cast<float>(i / 10) * 7.0f;
        planet->setX(x);
        planet->setY(y);
        planet->computePolarAngle(x, y);
        planet->setSize(4.0f + static_cast<float>(i % 7));
        planet->form();
    }
}

void worldUpdate(benchmark::State& state) {
    driveElapsedMilliseconds(0);
    World world;
    world.begin();
    addPlanets(world, static_cast<int>(state.range(0)));
    world.ship().setX(-48.0f);
    world.ship().setY(73.0f);
    for (auto _ : state) {
        world.update(kFrameSeconds);
    }
    state.counters["planets"] = static_cast<double>(world.planets().size());
    releaseElapsedMilliseconds();
}

} // namespace

BENCHMARK(worldUpdate)->Arg(0)->Arg(12)->Arg(100);

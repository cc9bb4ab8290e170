// One frame of physics for the busiest standard scene (level 9: four figures, the main ball
// and the four obstacles of arena 5), in our step and in Box2D side by side.
#include "box2d_scene.h"
#include "scene.h"
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

const std::string figurefile = std::string(VANTORIX_MEDIA_DIR) + "/man.txt";

// The figures chase the main ball the way computer players do: a push of their speed
// towards it every frame.
void steer(Scene& scene) {
    for (auto& man : scene.figures) {
        Tball& head = *man->balls[0];
        double dx = scene.mainball->x - head.x, dy = scene.mainball->y - head.y;
        double d = std::hypot(dx, dy) + 1e-9;
        head.vx += man->speed * dx / d;
        head.vy += man->speed * dy / d;
    }
}

// Both engines start from the same settled scene.
bool settledscene(Scene& scene) {
    if (!buildscene(scene, figurefile, 4, 5)) return false;
    for (int frame = 0; frame < 120; ++frame) stepscene(scene);
    return true;
}

void OurStep(benchmark::State& state) {
    Scene scene;
    if (!settledscene(scene)) return state.SkipWithError("figure file missing");
    for (auto _ : state) {
        steer(scene);
        stepscene(scene);
        benchmark::DoNotOptimize(scene.mainball->x);
    }
}

void Box2DStep(benchmark::State& state) {
    Scene scene;
    if (!settledscene(scene)) return state.SkipWithError("figure file missing");
    Box2DScene box = buildbox2d(scene);
    for (auto _ : state) {
        stepbox2d(box);
        benchmark::DoNotOptimize(box.mainball->GetPosition());
    }
}

} // namespace

BENCHMARK(OurStep)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(Box2DStep)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();

// What the start-up pays for the display: opening the offscreen OpenGL surface, reading an
// 800 x 800 picture (the size of the big title ball), turning it into a mipmapped texture, and
// rasterising the game font at 128 px into its atlas. Every iteration opens a fresh surface,
// so first-use costs inside Mesa count as they do when the game starts. Last, the runtime's
// whole start without a window, with no gamecontrollerdb.txt and with one of 58 408 mappings of
// every system (4 MiB, the size of the community database's largest copies).
#include "runtime/graphics.h"
#include "runtime/pngio.h"
#include "runtime/runtime.h"
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const char* FONT = "/usr/share/fonts/truetype/play/Play-Bold.ttf";

// An 800 x 800 shaded ball with a soft edge, written once as a PNG.
const std::string& BallPath() {
    static const std::string path = [] {
        Pixels p;
        p.width = p.height = 800;
        for (int y = 0; y < 800; ++y) {
            for (int x = 0; x < 800; ++x) {
                double dx = (x + 0.5) / 800 - 0.5, dy = (y + 0.5) / 800 - 0.5;
                double r = 2.0 * std::sqrt(dx * dx + dy * dy);
                double a = std::clamp((1.0 - r) * 20.0, 0.0, 1.0);
                p.rgba.push_back(static_cast<uint8_t>(255 * (1 - 0.6 * r)));
                p.rgba.push_back(static_cast<uint8_t>(120 + 100 * dx));
                p.rgba.push_back(static_cast<uint8_t>(40 + 200 * (0.5 + dy) * (1 - r)));
                p.rgba.push_back(static_cast<uint8_t>(a * 255));
            }
        }
        auto dir = std::filesystem::temp_directory_path() / "vantorix-bench-load";
        std::filesystem::create_directories(dir);
        std::string file = (dir / "bigball.png").string();
        if (!WritePng(file, p)) std::abort();
        return file;
    }();
    return path;
}

bool Open(benchmark::State& state) {
    if (OpenGraphics(1024, 768, 0, 60, 0)) return true;
    state.SkipWithError("no offscreen OpenGL surface");
    return false;
}

void OpenSurface(benchmark::State& state) {
    for (auto _ : state) {
        if (!Open(state)) return;
        state.PauseTiming();
        CloseGraphics();
        state.ResumeTiming();
    }
}

void ReadPicture(benchmark::State& state) {
    for (auto _ : state) {
        Pixels pixels;
        bool alpha = false;
        std::string error;
        if (!ReadPng(BallPath(), pixels, alpha, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(pixels.rgba.data());
    }
}

// With the flags the game loads its pictures with (7: masked, filtered, mipmapped) and without
// mipmaps (3), which shows what building the smaller levels costs.
void LoadPicture(benchmark::State& state) {
    BallPath();
    for (auto _ : state) {
        state.PauseTiming();
        if (!Open(state)) return;
        state.ResumeTiming();
        TImage image = LoadImage(BallPath(), static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(image.get());
        state.PauseTiming();
        image.reset();
        CloseGraphics();
        state.ResumeTiming();
    }
}

void LoadGameFont(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        if (!Open(state)) return;
        state.ResumeTiming();
        TFont font = LoadFont(FONT, 128, 4);
        if (!font) state.SkipWithError("font missing");
        state.PauseTiming();
        font.reset();
        CloseGraphics();
        state.ResumeTiming();
    }
}

// The runtime started and stopped in a folder of its own (pads opened, no window), with a
// gamecontrollerdb.txt of that many made-up mappings, a third each for Linux, Windows and
// Mac OS X.
void StartRuntimeWithPadDatabase(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "vantorix-bench-pads";
    std::filesystem::create_directories(dir);
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    {
        std::ofstream db("gamecontrollerdb.txt", std::ios::trunc);
        const char* systems[] = {"Linux", "Windows", "Mac OS X"};
        char guid[40];
        for (long i = 0; i < state.range(0); ++i) {
            std::snprintf(guid, sizeof guid, "%032lx", 0x5a17e000L + i * 7919);
            db << guid << ",Pad " << i << ",a:b0,b:b1,platform:" << systems[i % 3] << ",\n";
        }
    }
    RuntimeOptions options;
    options.video = VideoMode::None;
    options.sound = false;
    for (auto _ : state) {
        if (!InitRuntime(options)) state.SkipWithError("the runtime did not start");
        ShutdownRuntime();
    }
    std::filesystem::current_path(before);
    std::filesystem::remove_all(dir);
}

} // namespace

BENCHMARK(OpenSurface)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadPicture)->Arg(7)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(StartRuntimeWithPadDatabase)
    ->Arg(0)
    ->Arg(58408)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(LoadGameFont)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    RuntimeOptions options;
    options.video = VideoMode::Offscreen;
    options.sound = false;
    if (!InitRuntime(options)) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ShutdownRuntime();
    return 0;
}

// One main-menu frame at 1024 x 768: clear, eight lines of the game font (rasterised at 128 px)
// drawn at scales 0.25 to 0.7, three pictures, and an unpaced flip. The target is 2 ms of CPU
// time per frame, so the menus leave most of a 60 Hz frame free even without a GPU.
#include "runtime/graphics.h"
#include "runtime/pngio.h"
#include "runtime/runtime.h"
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// A soft disc of the given size written as a PNG, standing in for the game's pictures.
std::string WriteDisc(const std::filesystem::path& dir, const char* name, int width, int height) {
    Pixels p;
    p.width = width;
    p.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double dx = (x + 0.5) / width - 0.5, dy = (y + 0.5) / height - 0.5;
            double a = std::max(0.0, 1.0 - 2.0 * std::sqrt(dx * dx + dy * dy));
            for (int c = 0; c < 3; ++c) p.rgba.push_back(255);
            p.rgba.push_back(static_cast<uint8_t>(a * 255));
        }
    }
    std::string path = (dir / name).string();
    WritePng(path, p);
    return path;
}

void MenuFrame(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    RuntimeOptions options;
    options.video = VideoMode::Offscreen;
    options.sound = false;
    if (!InitRuntime(options) || !OpenGraphics(1024, 768, 0, 60, 0)) {
        state.SkipWithError("no offscreen OpenGL surface");
        return;
    }
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "vantorix-bench-runtime";
    std::filesystem::create_directories(dir);
    SetBlendMode(BLEND_ALPHA);
    SetAutoImageFlags(7);
    TImage logo = LoadImage(WriteDisc(dir, "logo.png", 205, 275));
    TImage ball = LoadImage(WriteDisc(dir, "ball.png", 300, 300));
    TImage spark = LoadImage(WriteDisc(dir, "spark.png", 64, 64));
    MidHandleImage(ball);
    MidHandleImage(spark);
    TFont font = LoadFont("/usr/share/fonts/truetype/play/Play-Bold.ttf", 128, 4);
    if (!font || !logo) {
        state.SkipWithError("font or pictures missing");
        return;
    }
    SetFont(font);
    const char* lines[] = {"VANTORIX", "SINGLE PLAYER", "MULTIPLAYER", "OPTIONS",
                           "SCORES",   "HELP",          "QUIT",        "HIGH SCORE 123450"};
    auto frame = [&] {
        ClearScreen();
        for (int i = 0; i < 8; ++i) {
            float scale = 0.25f + 0.45f * i / 7.0f;
            SetDrawScale(scale, scale);
            SetDrawColor(100 + 20 * i, 100, 255 - 20 * i);
            DrawText(lines[i], (1024 - TextWidth(lines[i]) * scale) / 2, 30 + 90.0f * i);
        }
        SetDrawScale(1, 1);
        SetDrawColor(255, 255, 255);
        DrawImage(logo, 409, 196);
        DrawImage(ball, 150, 600);
        SetBlendMode(BLEND_LIGHT);
        DrawImage(spark, 870, 600);
        SetBlendMode(BLEND_ALPHA);
        FlipFrame(0);
    };
    frame(); // the first frame builds Mesa's shaders and the mipmaps
    for (auto _ : state) frame();
    font.reset();
    logo.reset();
    ball.reset();
    spark.reset();
    ShutdownRuntime();
    std::filesystem::remove_all(dir);
}

} // namespace

BENCHMARK(MenuFrame)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(MenuFrame)->Name("MenuFrame/MainThreadCPU")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

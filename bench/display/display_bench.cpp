// The cost of drawing one full frame of a won game at 1024 x 768 on the offscreen OpenGL
// surface: grid, arena, figures, main ball, three bursts of fireworks (1200 sparks), a
// high-quality trail, the bars and the win tally. Run with SDL_VIDEODRIVER=offscreen.
#include "effects/burst.h"
#include "effects/trailitem.h"
#include "gamefolder.h"
#include "match/match.h"
#include "physics/arena.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include "runtime/graphics.h"
#include "runtime/random.h"
#include "runtime/runtime.h"
#include <GL/gl.h>
#include <benchmark/benchmark.h>

namespace {
std::unique_ptr<Tmatch> wonmatch() {
    StartWithSurface(VideoMode::Offscreen);
    // Pictures as the game loads them: keyed, filtered and mipmapped.
    SetAutoImageFlags(IMAGE_MASKED | IMAGE_FILTERED | IMAGE_MIPMAPPED);
    auto centred = [](const char* file) {
        TImage image = LoadImage(file);
        MidHandleImage(image);
        return image;
    };
    auto m = std::make_unique<Tmatch>();
    m->screenwidth = 1024, m->screenheight = 768;
    m->trailimage = LoadImage("media/scia.png");
    m->mezballimage = LoadImage("media/mezball2.png");
    m->bigballimage = centred("media/bigball.png");
    m->ballimage = centred("media/ball.png");
    m->mainballimage = centred("media/mainball+0.png");
    m->rectimage = centred("media/rect.png");
    m->sparkimage = centred("media/spark.png");
    SetFont(LoadFont("media/zekton__.ttf", 128, 4));
    SeedRandom(m->random, 5);
    Tcustomsettings custom;
    custom.players = 3;
    m->mode = "custom";
    m->setupcustom(custom);
    m->trailitems = CreateList<Ttrailitem>();
    m->rockets = CreateList<Tburst>();
    m->trail = 2;
    m->showfireworks = true;
    m->winner = 1;
    m->frame = 400;
    m->stateframe = 100;
    for (int k = 1; k <= 3; ++k) m->man(k).bar = 600.0f * k;
    m->updatecamera();
    return m;
}

// Keeps this many bursts alive, each at a different age.
void topupbursts(Tmatch& m, int bursts) {
    while (m.rockets->count() < bursts) {
        auto burst = std::make_shared<Tburst>();
        burst->explode(GameRandom(), float(RandomInt(-1500, 1500)), float(RandomInt(-800, 800)),
                       -2000, 0, 0, 20, RandomInt(0, 255), RandomInt(0, 255), RandomInt(0, 255),
                       400, m.sparkimage);
        for (int i = 0; i < 30 * m.rockets->count(); ++i) burst->update(GameRandom());
        m.rockets->addLast(burst);
    }
}

// Moves the figures and the ball sideways; the camera follows them.
void shiftscene(Tmatch& m, double dx) {
    for (int k = 1; k <= m.mancount; ++k)
        for (auto& ball : m.man(k).balls) ball->x += dx, ball->oldx += dx;
    m.mainballs[0]->x += dx, m.mainballs[0]->oldx += dx;
}

void drawframe(Tmatch& m) {
    ClearScreen();
    m.backcamera = m.camera();
    m.updatefireworks(); // the bursts age; none is launched with the fireworks off
    m.drawbackground();
    m.updatecamera();
    const Camera cam{m.camerax, m.cameray, m.zoom, 1024.0, 768.0};
    for (int k = 1; k <= m.mancount; ++k) m.man(k).draw(cam);
    m.mainballs[0]->paint();
    m.mainballs[0]->draw(cam);
    m.updatetrail();
    m.drawtrail();
    m.drawbars();
    m.drawbanner(0.5);
    m.drawwinner(m.frame - m.stateframe);
    FlipFrame(0);
    // The offscreen surface is never shown, so make sure the frame is really rasterised, as a
    // window's presentation would.
    glFinish();
}
} // namespace

static void BM_FullMatchFrame(benchmark::State& state) {
    static std::unique_ptr<Tmatch> m = wonmatch();
    const int bursts = int(state.range(0));
    // Near the right end the grey round-end picture fills much of the screen.
    m->updatecamera();
    const double radius = (m->world.bounds.bottom - m->world.bounds.top) / 2;
    const double shift = state.range(1) ? m->world.bounds.rightend + radius * 0.7 - m->camerax : 0;
    shiftscene(*m, shift);
    m->trailitems->clear();
    m->rockets->clear();
    // Warm up: fill the trail to its steady length and load every glyph.
    m->fireworks = 0;
    for (int i = 0; i < 60; ++i) {
        topupbursts(*m, bursts);
        drawframe(*m);
    }
    for (auto _ : state) {
        topupbursts(*m, bursts);
        drawframe(*m);
    }
    state.counters["trail"] = m->trailitems->count();
    shiftscene(*m, -shift);
}
// The arguments are the number of bursts alive (0 shows what the fireworks add) and whether
// the play is at the stadium's right end rather than in the middle.
void framecases(benchmark::internal::Benchmark* b) {
    b->Args({3, 0})->Args({0, 0})->Args({3, 1})->Args({0, 1});
    b->Unit(benchmark::kMillisecond)->MinTime(2.0);
}
// Read the "CPU" column twice: first the game's thread (building the vertex arrays, and
// llvmpipe's vertex stage and binning, which run on the caller), then the whole process, which
// adds the rasterising that llvmpipe does on threads of its own. "Time" is the wall clock.
// LP_NUM_THREADS=0 rasterises on the caller, which shows the work without thread overhead.
BENCHMARK(BM_FullMatchFrame)->Apply(framecases);
BENCHMARK(BM_FullMatchFrame)->Apply(framecases)->MeasureProcessCPUTime();

BENCHMARK_MAIN();

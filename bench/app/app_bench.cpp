// How long the player waits from start-up to the first main-menu frame (media, font and music
// loading included, the two seconds of the logo left out), from the build folder and as an
// installed game, and what one main-menu frame costs at 1024 x 768 under Mesa's llvmpipe. Run
// with SDL_VIDEODRIVER=offscreen on a headless machine.
#include "app/app.h"
#include "app/gamefolder.h"
#include "gamefolder.h"
#include "runtime/folders.h"
#include "runtime/runtime.h"
#include "runtime/script.h"
#include "runtime/testing.h"
#include "tempfolder.h"
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>

namespace {

void prepare() {
    StartInTempGameFolder(VideoMode::Offscreen);
    // A preferences file, so start-up asks nothing.
    Prefs prefs;
    saveprefs(prefs);
}

// Enter arrives right after the next flip, so the main menu shows exactly one frame.
void confirmafteroneframe() {
    Script script;
    ScriptEvent down{ScriptEvent::Down, 1, 13, ""};
    ScriptEvent up{ScriptEvent::Up, 2, 13, ""};
    script.events = {down, up};
    TestPlayScript(std::move(script));
}

// The saves read, the display opened and the music loaded, in the order of Tapp::run.
void startup(Tapp& app) {
    app.musicchannel = AllocChannel();
    defaultscores(*app.scores);
    loadscores(*app.scores);
    app.seedrandom();
    app.defaults();
    app.loadprefs();
    app.loadsettings();
    app.setupdisplay(app.prefs.fullscreen, app.prefs.resolution, 1);
    app.sounds[MUSICSLOT] = LoadSound(MediaPath("tutto.ogg"), 0);
}

// Start-up in the order of Tapp::run without the logo's two seconds.
void BM_StartupToFirstMenuFrame(benchmark::State& state) {
    for (auto _ : state) {
        Tapp app;
        startup(app);
        confirmafteroneframe();
        benchmark::DoNotOptimize(app.mainmenu(SINGLEPLAYER));
    }
}
BENCHMARK(BM_StartupToFirstMenuFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// An installed game started from another folder: the media found from the executable through
// share/vantorix/media, the saves in the player's data folder, and every sound loaded, the
// effects included, as Tapp::run does.
void BM_InstalledStartupToFirstMenuFrame(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path root = MakeTempFolder("vantorix-installed-");
    fs::create_directories(root / "usr/bin");
    fs::create_directories(root / "usr/share/vantorix");
    fs::create_directory_symlink(VANTORIX_MEDIA_DIR, root / "usr/share/vantorix/media");
    fs::create_directories(root / "elsewhere");
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    const fs::path before = fs::current_path();
    bool first = true;
    for (auto _ : state) {
        GameFolders folders = findgamefolders(root / "elsewhere", root / "usr/bin/vantorix",
                                              [](const fs::path&) { return false; });
        if (!entergamefolders(folders)) state.SkipWithError("no saves folder");
        if (first) saveprefs(Prefs{}), first = false;
        Tapp app;
        startup(app);
        app.loadeffects();
        confirmafteroneframe();
        benchmark::DoNotOptimize(app.mainmenu(SINGLEPLAYER));
    }
    fs::current_path(before);
    SetMediaFolder("media");
    unsetenv("XDG_DATA_HOME");
    fs::remove_all(root);
}
BENCHMARK(BM_InstalledStartupToFirstMenuFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same without the music, to show what opening the track costs.
void BM_StartupWithoutMusic(benchmark::State& state) {
    for (auto _ : state) {
        Tapp app;
        app.defaults();
        app.loadprefs();
        app.setupdisplay(app.prefs.fullscreen, app.prefs.resolution, 1);
        confirmafteroneframe();
        benchmark::DoNotOptimize(app.mainmenu(SINGLEPLAYER));
    }
}
BENCHMARK(BM_StartupWithoutMusic)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MainMenuFrame(benchmark::State& state) {
    Tapp app;
    app.defaults();
    app.setupdisplay(0, 3, 1);
    for (auto _ : state) {
        confirmafteroneframe();
        benchmark::DoNotOptimize(app.mainmenu(SINGLEPLAYER));
    }
}
// Process CPU time: Mesa rasterises on threads of its own.
BENCHMARK(BM_MainMenuFrame)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

} // namespace

int main(int argc, char** argv) {
    prepare();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ShutdownRuntime();
    return 0;
}

// The program entry: reads the command line, finds the media and moves to the saves folder,
// starts the runtime in the right mode and hands over to the application object.
#include "app/app.h"
#include "app/commandline.h"
#include "app/gamefolder.h"
#include "match/synctest.h"
#include "match/trace.h"
#include "runtime/runtime.h"
#include <cstdio>
#include <memory>

namespace {

RuntimeOptions runtimeoptions(const CommandLine& cl) {
    RuntimeOptions options;
    options.maxFrames = cl.frames;
    options.windowWidth = cl.windowwidth;
    options.windowHeight = cl.windowheight;
    if (!cl.script.empty()) {
        options.scriptPath = cl.script;
        options.realtime = cl.realtime;
        options.virtualClock = !cl.realtime;
        options.video = cl.nodraw            ? VideoMode::None
                        : DisplayAvailable() ? VideoMode::Live
                                             : VideoMode::Offscreen;
    } else if (cl.launch.kind == Launch::Demo) {
        // Headless, the demo draws offscreen on a virtual clock so its screenshots come at
        // once; with a display it plays in a window in real time.
        options.video = DisplayAvailable() ? VideoMode::Live : VideoMode::Offscreen;
        options.virtualClock = !DisplayAvailable();
    }
    return options;
}

// The game itself, with its tools, until the program ends.
void play(const CommandLine& cl, Synctest* synctest) {
    std::unique_ptr<MatchTrace> trace;
    if (!cl.trace.empty()) {
        trace = std::make_unique<MatchTrace>(cl.trace);
        if (!trace->isopen()) {
            std::fprintf(stderr, "vantorix: could not open the trace file %s\n", cl.trace.c_str());
            EndProgram(1);
        }
    }
    Tapp app;
    app.launch = cl.launch;
    app.tools.autopilot = cl.autopilot;
    app.tools.trace = trace.get();
    app.tools.synctest = synctest;
    app.tools.record = cl.record;
    app.tools.netsim = cl.netsim;
    app.tools.netstats = cl.netstats;
    app.tools.server = cl.server;
    app.tools.localplayers = cl.localplayers;
    app.tools.inputdelay = cl.inputdelay;
    app.tools.seeded = cl.seeded;
    app.tools.seed = cl.seed;
    app.run();
}

} // namespace

int main(int argc, char** argv) {
    UseParentConsole();
    CatchStopSignals();
    CommandLine cl;
    std::string error;
    if (!parsecommandline(std::vector<std::string>(argv + 1, argv + argc), cl, error)) {
        std::fprintf(stderr, "vantorix: %s\n%s", error.c_str(), usagetext().c_str());
        return 2;
    }
    if (cl.help) {
        std::fputs(usagetext().c_str(), stdout);
        return 0;
    }
    if (cl.version) {
        std::puts("vantorix " VANTORIX_VERSION);
        return 0;
    }
    GameFolders folders = findgamefolders();
    entergamefolders(folders);
    if (!InitRuntime(runtimeoptions(cl))) return 1;

    std::unique_ptr<Synctest> synctest;
    if (cl.synctest > 0) synctest = std::make_unique<Synctest>(cl.synctest);
    int status = 0;
    // However the program ends (QUIT, a closed window, the frame limit, a signal, a failure),
    // it unwinds to here, so every object on the way is destroyed properly.
    try {
        play(cl, synctest.get());
    } catch (const ProgramEnd& end) {
        status = end.status;
    }
    if (synctest) {
        std::fprintf(stderr,
                     "vantorix: synctest: %ld frames checked, each played again from %d back\n",
                     synctest->checked(), synctest->depth());
    }
    ShutdownRuntime();
    std::fflush(nullptr);
    return status;
}

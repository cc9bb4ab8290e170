// Start-up and shutdown of the runtime layer and the choice of how it is driven: live, or
// scripted with the virtual clock; drawing through OpenGL in a window or offscreen, into a
// log, or nowhere.
#include "runtime/runtime.h"
#include "runtime/audio_device.h"
#include "runtime/context.h"
#include "runtime/graphics.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

[[maybe_unused]] bool EnvSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// SDL quietly falls back to its invisible offscreen (or dummy) driver when no display server
// answers; a live game must not run unseen forever, so those count as no display.
bool RealDisplayDriver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

bool StartVideo(VideoMode mode) {
    if (mode == VideoMode::Recording || mode == VideoMode::None) return true;
    if (mode == VideoMode::Live && !DisplayAvailable()) {
        std::fprintf(stderr, "vantorix: no display found; run headless with --script FILE "
                             "(see README)\n");
        return false;
    }
    if (mode == VideoMode::Offscreen) SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
    // The game keeps running when another window takes the focus.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "vantorix: no video: %s\n", SDL_GetError());
        return false;
    }
    rt().platform.videoReady = true;
    return true;
}

// The backends of this run, chosen once from the options (see context.h).
void ChooseBackends(Platform& p) {
    const RuntimeOptions& o = p.options;
    p.clock = o.virtualClock ? &virtualclock : &liveclock;
    p.dialogs = o.scripted() ? &scripteddialogs : &livedialogs;
    p.input = !p.videoReady ? &noinput : o.scripted() ? &scriptedinput : &liveinput;
    p.renderers = o.video == VideoMode::Recording ? &recordingrenderer
                  : o.video == VideoMode::None    ? &nullrenderer
                                                  : &glrenderer;
}

} // namespace

bool InitRuntime(const RuntimeOptions& options) {
    if (rt().platform.initialised) return true;
    // The game's own main() starts the program on every system (on Windows, SDL would
    // otherwise ask for its SDL_main in place of it).
    SDL_SetMainReady();
#ifdef __EMSCRIPTEN__
    // In a page the game waits for the browser itself, at the waits it knows (browser_web.h):
    // SDL must not, inside its own functions, which the game reaches through pointers.
    SDL_SetHint(SDL_HINT_EMSCRIPTEN_ASYNCIFY, "0");
#endif
    // A restarted runtime starts from scratch.
    Platform fresh;
    rt().platform = std::move(fresh);
    Platform& p = rt().platform;
    p.options = options;
    if (!options.scriptPath.empty()) {
        Script script;
        std::string error;
        if (!LoadScript(options.scriptPath, script, error)) {
            std::fprintf(stderr, "vantorix: %s\n", error.c_str());
            return false;
        }
        p.script.start(std::move(script));
        p.options.virtualClock = !options.realtime;
    }
    // Scripted runs must not depend on a sound card, nor play through one. SDL's disk driver,
    // asked for by name, plays through no card either: it writes the mix to a file, which is
    // how the sound tests listen to a scripted game.
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    const bool disk = driver && std::strcmp(driver, "disk") == 0;
    if (p.options.scripted() && !disk) SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!StartVideo(options.video)) return false;
    ChooseBackends(p);
    OpenPads();
    if (options.sound) OpenAudio();
    rt().keys.flush();
    rt().keys.takeClose();
    p.initialised = true;
    p.script.deliver(0, ApplyScriptEvent);
    return true;
}

void ShutdownRuntime() {
    Platform& p = rt().platform;
    if (!p.initialised) return;
    CloseGraphics();
    CloseAudio();
    ClosePads();
    if (p.videoReady) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
    p.input = &noinput;
    p.videoReady = false;
    p.initialised = false;
}

void EndProgram(int status) {
#ifdef __EMSCRIPTEN__
    // The page's game is built without catching exceptions: an exception caught on the way
    // would make ASYNCIFY instrument nearly every function for the waits between frames. The
    // browser's game has no online game to leave, and exit closes its files.
    ShutdownRuntime();
    std::exit(status);
#else
    throw ProgramEnd{status};
#endif
}

RecordingRenderer* Recorder() {
    if (rt().platform.renderers != &recordingrenderer) return nullptr;
    return static_cast<RecordingRenderer*>(rt().renderer.get());
}

bool DisplayAvailable() {
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
    if (!EnvSet("DISPLAY") && !EnvSet("WAYLAND_DISPLAY")) return false;
#endif
    if (SDL_WasInit(SDL_INIT_VIDEO)) return RealDisplayDriver();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    bool real = RealDisplayDriver();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return real;
}

long FramesPresented() {
    return rt().platform.presented;
}

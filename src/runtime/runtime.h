// Start-up and shutdown of the runtime layer, and the ways to drive it: live (real window,
// clock, keyboard and sound), scripted (virtual clock and input from a script, offscreen video
// when there is no display) and the drawing backends used by tests.
#pragma once
#include <string>

class RecordingRenderer;

enum class VideoMode {
    Live,      // a real window: x11 or wayland; refuses to start without a display
    Offscreen, // SDL's offscreen driver with real OpenGL (Mesa) and no visible window
    Recording, // no window; every draw call is logged with its state (tests)
    None,      // no window, nothing drawn at all (long simulations)
};

struct RuntimeOptions {
    VideoMode video = VideoMode::Live;
    bool virtualClock = false; // time moves only through Delay and FlipFrame pacing
    bool realtime = false;     // a script's run on the real clock (benchmarks of live play)
    bool sound = true;         // false: no audio device is opened (silent)
    std::string scriptPath;    // input script; empty for none
    long maxFrames = -1;       // end the program with status 0 after this many frames
    // The size a window opens at, in the desktop's units; 0 x 0: the largest whole multiple
    // of the game's size that fits the desktop (Live), the game's size (Offscreen). The
    // game's own size never changes with it.
    int windowWidth = 0, windowHeight = 0;

    // A script's run, or one on the virtual clock: no keys of the machine, no questions asked,
    // no sound card, no pads but the script's.
    bool scripted() const { return virtualClock || !scriptPath.empty(); }
};

// Initialises the layer once; false with a message on stderr when that is impossible
// (for instance no display in live mode, or an unreadable script).
bool InitRuntime(const RuntimeOptions& options);
// Closes graphics and sound; safe to call more than once.
void ShutdownRuntime();
// What EndProgram throws: the program ends by unwinding to main, which catches it, shuts the
// runtime down and returns the status, so every object on the way is destroyed properly (an
// online game tells the others and keeps its replay, a trace file is closed). The browser's
// game, which has no online play and catches no exceptions, exits where it is instead.
struct ProgramEnd {
    int status = 0;
};
// Ends the program with the status, from wherever it is called.
[[noreturn]] void EndProgram(int status);
// From now on SIGINT and SIGTERM end the program at its next look at the events or its next
// frame, drawn or not, with status 128 + the signal (a run of the game looks several times a
// frame). Called first thing, before SDL starts.
void CatchStopSignals();
// Ends the program now if one of those signals came.
void EndIfStopped();
// On Windows, where the game is a GUI program that gets no console of its own, what it prints
// goes to the console it was started from, if any (--help, --version, its messages).
#ifdef _WIN32
void UseParentConsole();
#else
inline void UseParentConsole() {}
#endif
// The drawing log when the video mode is Recording, else null.
RecordingRenderer* Recorder();
// True when a display server is reachable (x11 or wayland; always on Windows).
bool DisplayAvailable();
// Number of frames presented since the runtime started.
long FramesPresented();
// Frames sent to OpenGL that its rasteriser has not been seen to finish; 0 without OpenGL.
// FlipFrame keeps this at two at most.
int FramesInFlight();

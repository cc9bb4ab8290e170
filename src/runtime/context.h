// The one runtime context: everything the services of this layer share, and the backends they
// go through. Only src/runtime includes this header; game code sees the plain functions of
// graphics.h, keyboard.h and friends, and tests the functions of testing.h.
//
// How the runtime is driven is decided once, by InitRuntime, which picks one entry from each
// small table of backends below (as SDL picks a driver from its bootstrap table): the clock
// (live or virtual), the input (live, scripted or none), the message boxes (live or scripted)
// and the renderer (OpenGL, recording or nothing). The services call the chosen backend and
// never ask which one they have.
#pragma once
#include "runtime/drawstate.h"
#include "runtime/graphics.h"
#include "runtime/keyboard_state.h"
#include "runtime/mixer.h"
#include "runtime/pacing.h"
#include "runtime/pads.h"
#include "runtime/random.h"
#include "runtime/renderer.h"
#include "runtime/runtime.h"
#include "runtime/script.h"
#include <SDL.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct ClockBackend {
    const char* name;
    unsigned (*now)();     // milliseconds, wrapping at 2^32
    void (*sleep)(int ms); // only ever asked for ms > 0
    bool real;             // a real clock: timing the display's refresh means something
};

struct InputBackend {
    const char* name;
    void (*pump)(); // delivers every pending window event into the keyboard state
};

struct DialogBackend {
    const char* name;
    int (*ask)(const std::string& text, int serious);
    void (*notify)(const std::string& text, int serious); // the text is on stderr already
};

struct RendererBackend {
    const char* name;
    // A renderer for a surface of the game size, with its window when it needs one; null
    // (with a line on stderr) when none can be had.
    std::unique_ptr<Renderer> (*open)(int width, int height, bool fullScreen);
};

extern const ClockBackend liveclock, virtualclock;
extern const InputBackend liveinput, scriptedinput, noinput;
extern const DialogBackend livedialogs, scripteddialogs;
extern const RendererBackend glrenderer, recordingrenderer, nullrenderer;

// What one InitRuntime sets up and ShutdownRuntime takes down again; a restarted runtime
// starts from a fresh one.
struct Platform {
    RuntimeOptions options;
    bool initialised = false;
    const ClockBackend* clock = &liveclock;
    const InputBackend* input = &noinput;
    const DialogBackend* dialogs = &livedialogs;
    const RendererBackend* renderers = &nullrenderer;

    // The virtual clock only moves through Delay.
    unsigned virtualMs = 0;
    bool insideFlip = false; // Delay called by FlipFrame's pacing
    long pauseMs60 = 0;      // ms x 60 waited outside FlipFrame since the last frame

    // Frames. presented counts flips; frame also counts the frames of a paused game.
    long presented = 0;
    long frame = 0;
    ScriptPlayer script;
    // Taken inside the next flip, before showing: the file, and whether of the whole window.
    std::vector<std::pair<std::string, bool>> pendingShots;
    bool screenshotKey = false; // F12 pressed: save a numbered screenshot

    // The window, while graphics are open with the OpenGL renderer.
    SDL_Window* window = nullptr;
    SDL_GLContext gl = nullptr;
    bool videoReady = false; // SDL's video subsystem is initialised
    int hertz = 0;
    int swapInterval = -1; // last value given to SDL, -1 unknown
    FramePacer pacer;

    // Pads, by their number (entry 0 unused).
    struct Pad {
        SDL_GameController* controller = nullptr; // null once unplugged
        SDL_JoystickID id = -1;
        std::string name, identity;
        PadState state;
    };
    Pad pads[MAX_PADS + 1];
    int padcount = 0;
    bool padsReady = false; // SDL's game controller subsystem is initialised
    // Scripted runs: the script's pad n is SDL's virtual joystick here (null when detached).
    struct ScriptPad {
        SDL_Joystick* joystick = nullptr;
        int rumbles = 0, player = -1; // what the game asked of it
    };
    ScriptPad scriptpads[MAX_PADS + 1];
    SDL_AudioDeviceID audio = 0; // the open output device, 0 for none (silence)
    bool audioWanted = false;    // sound asked for: SDL's audio is up, devices are followed
};

struct RuntimeContext {
    Platform platform;
    std::string title = "Vantorix";    // may be set before the runtime starts
    std::string mediaFolder = "media"; // see folders.h; may be set before the runtime starts

    // Drawing.
    std::unique_ptr<Renderer> renderer; // null while no graphics are open
    DrawState state;
    int autoImageFlags = 3;
    TFont font; // null: built-in font (draws nothing)
    bool graphicsOpen = false;
    int width = 0, height = 0;
    unsigned long rendererSerials = 0; // the last serial handed to a renderer

    std::function<void(int)> fullScreenHandler; // see OnFullScreenToggle

    KeyboardState keys;
    int batches = 0; // EventBatch objects alive: no events are delivered meanwhile
    // Called each time pending events are delivered; tests act through it while the game waits.
    std::function<void()> pumpHook;

    Mixer mixer;
    RandomGenerator random;
};

// Never destroyed: the audio thread may still be mixing while the program's static objects
// are torn down at exit.
RuntimeContext& rt();

// The renderer the primitives draw with: null while no graphics are open.
Renderer* DrawingRenderer();
// Delivers pending window (or script) events: the chosen input backend, then the test hook.
void PumpEvents();

// Counts one frame: delivers the script's events of the new frame and ends the program when
// the frame limit is reached. Called after every flip, and by the pause rule: when the game
// waits with Delay outside FlipFrame for 1000/60 ms in total since the last frame (a paused
// game polling the keyboard), that wait counts as a frame too, so a script can unpause it and
// --frames always ends a test.
void AdvanceFrame();
// Applies one scripted event (keys, characters, close request, pictures to take).
void ApplyScriptEvent(const ScriptEvent& event);
// Applies the key press of a real or scripted key (F12 also asks for a screenshot; Enter with
// Alt held switches full screen instead of reaching the game).
void PressKey(int code);

// Pads (pads.cpp): the subsystem opened with the runtime and closed with it; SDL's pad events,
// true when the event was one; the script's pad events; a flush of every pad's state.
void OpenPads();
void ClosePads();
bool PadEvent(const SDL_Event& e);
void ScriptPadEvent(const ScriptEvent& e);
void FlushPads();
// Alt+Enter: the window to full screen or back, the renderer fitted to its new drawable and
// the game's handler told.
void ToggleFullScreen();

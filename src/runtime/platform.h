// The platform side of the runtime: the state of the window, the clock, the frame count and
// the script, shared by the SDL backends of this folder (video, events, frame, clock, dialog,
// audio). Only src/runtime includes this header.
#pragma once
#include "runtime/pacing.h"
#include "runtime/runtime.h"
#include "runtime/script.h"
#include <SDL.h>
#include <string>
#include <vector>

struct PlatformContext {
    RuntimeOptions options;
    bool initialised = false;

    // Clock. The virtual clock only moves through Delay.
    unsigned virtualMs = 0;
    bool insideFlip = false; // Delay called by FlipFrame's pacing
    long pauseMs60 = 0;      // ms x 60 waited outside FlipFrame since the last frame

    // Frames. presented counts flips; frame also counts the frames of a paused game (below).
    long presented = 0;
    long frame = 0;

    ScriptPlayer script;
    std::vector<std::string> pendingShots; // taken inside the next flip, before showing
    bool screenshotKey = false;            // F12 pressed: save a numbered screenshot

    // Window.
    std::string title;
    SDL_Window* window = nullptr;
    SDL_GLContext gl = nullptr;
    bool videoReady = false;                // SDL's video subsystem is initialised
    class GlRenderer* glRenderer = nullptr; // rt().renderer when it draws with OpenGL
    int hertz = 0;
    int swapInterval = -1; // last value given to SDL, -1 unknown
    FramePacer pacer;

    SDL_AudioDeviceID audio = 0;

    // Scripted runs (a script, or the virtual clock) never wait for a person.
    bool scripted() const { return options.virtualClock; }
};

PlatformContext& platform();

// Counts one frame: delivers the script's events of the new frame and ends the program when
// the frame limit is reached. Called after every flip, and by the pause rule: when the game
// waits with Delay outside FlipFrame for 1000/60 ms in total since the last frame (a paused
// game polling the keyboard), that wait counts as a frame too, so a script can unpause it and
// --frames always ends a test.
void AdvanceFrame();
// Applies one scripted event (keys, characters, close request, pictures to take).
void ApplyScriptEvent(const ScriptEvent& event);
// Applies the key press of a real or scripted key (F12 also asks for a screenshot).
void PressKey(int code);

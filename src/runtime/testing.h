// What tests and benchmarks may do with the runtime that the game itself never does: press
// and release keys, type characters and ask to close without a window, act whenever the game
// polls its events, hand a script to a running runtime, and look at the drawing side (the
// renderer, its state, the font). Everything else goes through the game's own services.
#pragma once
#include "runtime/drawstate.h"
#include "runtime/graphics.h"
#include "runtime/renderer.h"
#include "runtime/script.h"
#include <functional>
#include <memory>

// Input as if it came from the window.
void TestKeyDown(int code);
void TestKeyUp(int code);
void TestTypeChar(int code);
void TestRequestClose();

// Called every time the game's queries deliver pending events (null for none): a test acts
// through it while the game waits, in a pause say.
void TestOnEvents(std::function<void()> hook);

// What the game asked of the script's pad n: how many rumbles, and the player (1..4, 0 none)
// it was told it plays for.
int TestPadRumbles(int scriptpad);
int TestPadPlayer(int scriptpad);
// The audio device the mixer plays through, 0 for none.
unsigned TestAudioDevice();

// Frames counted since the runtime started (flips, and the frames of a paused game).
long TestFrame();
// Plays the script on the running runtime, its frame numbers counted from now.
void TestPlayScript(Script script);

// The drawing state, the automatic image flags and the font as opening graphics leaves them.
void TestResetDrawing();
// Draws with this renderer from now on, without a window (null: none).
void TestUseRenderer(std::unique_ptr<Renderer> renderer);
// The renderer of the open surface (null when none), its drawing state and the font in use.
Renderer* TestRenderer();
const DrawState& TestDrawState();
const TFontData* TestFont();
int TestAutoImageFlags();

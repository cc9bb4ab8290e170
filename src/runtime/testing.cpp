// The runtime's test interface; see testing.h.
#include "runtime/testing.h"
#include "runtime/context.h"

void TestKeyDown(int code) {
    PressKey(code);
}
void TestKeyUp(int code) {
    rt().keys.release(code);
}
void TestTypeChar(int code) {
    rt().keys.typed(code);
}
void TestRequestClose() {
    rt().keys.requestClose();
}

void TestOnEvents(std::function<void()> hook) {
    rt().pumpHook = std::move(hook);
}

int TestPadRumbles(int scriptpad) {
    return scriptpad >= 1 && scriptpad <= MAX_PADS ? rt().platform.scriptpads[scriptpad].rumbles
                                                   : 0;
}

int TestPadPlayer(int scriptpad) {
    if (scriptpad < 1 || scriptpad > MAX_PADS) return 0;
    return rt().platform.scriptpads[scriptpad].player + 1;
}

unsigned TestAudioDevice() {
    return rt().platform.audio;
}

long TestFrame() {
    return rt().platform.frame;
}

void TestPlayScript(Script script) {
    for (ScriptEvent& event : script.events) event.frame += rt().platform.frame;
    rt().platform.script.start(std::move(script));
}

void TestResetDrawing() {
    rt().state = DrawState{};
    rt().autoImageFlags = 3;
    rt().font = nullptr;
}

void TestUseRenderer(std::unique_ptr<Renderer> renderer) {
    rt().renderer = std::move(renderer);
}

Renderer* TestRenderer() {
    return rt().renderer.get();
}
const DrawState& TestDrawState() {
    return rt().state;
}
const TFontData* TestFont() {
    return rt().font.get();
}
int TestAutoImageFlags() {
    return rt().autoImageFlags;
}

// The drawing surface's life and its frames: OpenGraphics/CloseGraphics, ClearScreen,
// FlipFrame with pacing, screenshots and the frame count that drives scripts.
#include "runtime/clock.h"
#include "runtime/context.h"
#include "runtime/graphics.h"
#include "runtime/screenshot.h"
#include "runtime/video.h"

namespace {

// Pictures asked for by the script or F12, taken just before the frame is shown.
void TakeScreenshots() {
    Platform& p = rt().platform;
    for (const auto& [path, window] : p.pendingShots) SaveScreenshot(path, window);
    p.pendingShots.clear();
    if (p.screenshotKey) {
        p.screenshotKey = false;
        SaveScreenshot(NextScreenshotName("."));
    }
}

// In full screen the display may already refresh at the game's rate; then the vertical blank
// paces the frames, which shows each one whole, instead of the timer. Up to a second of
// flips is timed to find out. Scripted runs keep the timer: their clock is virtual.
bool RefreshIsTheGameRate(int hertz) {
    // Unsigned differences stay right across the clock's wrap.
    RefreshProbe probe(hertz);
    const unsigned start = static_cast<unsigned>(Millisecs());
    unsigned last = start;
    while (static_cast<unsigned>(Millisecs()) - start < 1000u) {
        SwapWindow(true);
        const unsigned now = static_cast<unsigned>(Millisecs());
        if (probe.add(static_cast<int>(now - last))) return true;
        last = now;
    }
    return false;
}

} // namespace

// The renderer was chosen with the runtime; nothing to choose here.
void UseOpenGLDriver() {}

void WindowTitle(const std::string& title) {
    rt().title = title;
    if (rt().platform.window) SDL_SetWindowTitle(rt().platform.window, title.c_str());
}

int OpenGraphics(int width, int height, int depth, int hertz, int /*flags*/) {
    CloseGraphics();
    Platform& p = rt().platform;
    std::unique_ptr<Renderer> renderer = p.renderers->open(width, height, depth == 32);
    if (!renderer) return 0;
    rt().renderer = std::move(renderer);
    rt().renderer->resize(width, height);
    rt().state = DrawState{};
    rt().font = nullptr;
    rt().autoImageFlags = 3;
    rt().width = width;
    rt().height = height;
    rt().graphicsOpen = true;
    if (p.window) {
        // Both buffers start black.
        for (int i = 0; i < 2; ++i) {
            rt().renderer->clear();
            SwapWindow(false);
        }
        int windowWidth = 0, windowHeight = 0;
        SDL_GetWindowSize(p.window, &windowWidth, &windowHeight);
        SDL_WarpMouseInWindow(p.window, windowWidth / 2, windowHeight / 2);
    }
    p.hertz = hertz;
#ifdef __EMSCRIPTEN__
    // A page is paced by the browser's frames, which most displays give at the game's rate.
    const bool display = true;
#else
    const bool display = depth == 32;
#endif
    const bool vblank =
        display && hertz > 0 && p.window && p.clock->real && RefreshIsTheGameRate(hertz);
    p.pacer.open(vblank ? 0 : hertz, Millisecs());
    return 1;
}

void CloseGraphics() {
    rt().font = nullptr;
    rt().renderer.reset(); // before its GL context goes
    CloseWindow();
    rt().graphicsOpen = false;
    rt().width = rt().height = 0;
}

int GraphicsWidth() {
    return rt().width;
}
int GraphicsHeight() {
    return rt().height;
}

void ClearScreen() {
    if (Renderer* renderer = DrawingRenderer()) renderer->clear();
}

void FlipFrame(int sync) {
    Platform& p = rt().platform;
    if (rt().renderer) rt().renderer->flush();
    TakeScreenshots();
    bool vsync = sync == 1;
    if (sync == -1) {
        // Timer mode whenever a rate was given, unless full screen found the display already
        // refreshing at that rate; otherwise the vertical blank paces.
        vsync = !p.pacer.active();
        p.insideFlip = true;
        Delay(p.pacer.waitFor(Millisecs()));
        p.insideFlip = false;
    }
    SwapWindow(vsync);
    // Nothing else holds the game back from the rasteriser on the offscreen surface.
    if (rt().renderer) rt().renderer->endFrame();
    p.pauseMs60 = 0;
    ++p.presented;
    AdvanceFrame();
}

int FramesInFlight() {
    return rt().renderer ? rt().renderer->framesInFlight() : 0;
}

void OnFullScreenToggle(std::function<void(int)> handler) {
    rt().fullScreenHandler = std::move(handler);
}

void ToggleFullScreen() {
    if (!SetWindowFullScreen(!WindowFullScreen())) return;
    // The size event follows later; the next frame must already fit the new drawable.
    if (rt().renderer) {
        int width = 0, height = 0;
        DrawableSize(width, height);
        rt().renderer->setDrawableSize(width, height);
    }
    if (rt().fullScreenHandler) rt().fullScreenHandler(WindowFullScreen() ? 1 : 0);
}

void ShowPointer() {
    if (rt().platform.videoReady) SDL_ShowCursor(SDL_ENABLE);
}

void HidePointer() {
    if (rt().platform.videoReady) SDL_ShowCursor(SDL_DISABLE);
}

void HoldPacing(int ms) {
    Platform& p = rt().platform;
    if (p.pacer.active()) {
        p.pacer.hold(ms);
    } else {
        Delay(ms);
    }
}

void AdvanceFrame() {
    EndIfStopped();
    Platform& p = rt().platform;
    ++p.frame;
    p.script.deliver(p.frame, ApplyScriptEvent);
    if (p.options.maxFrames >= 0 && p.frame >= p.options.maxFrames) EndProgram(0);
}

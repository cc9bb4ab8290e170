// SDL window and GL context; see video.h.
#include "runtime/video.h"
#include "runtime/context.h"
#include "runtime/gl.h"
#include "runtime/letterbox.h"
#include <cstdio>
#ifdef __EMSCRIPTEN__
#include "runtime/browser_web.h"
#endif
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include <dlfcn.h>
#include <link.h>
#endif

namespace {

// Keeps every library loaded so far (SDL's GL loader, Mesa's driver and their helpers) in
// memory for the rest of the run, although SDL unloads them when its video closes. Reopening
// the display after an options change then needs no driver reload, and leak checkers can
// still name the driver behind its own allocations instead of an unloaded, unknown module.
// (Windows and the browser have no such leak checkers, nor drivers to load.)
void KeepGraphicsLibrariesLoaded() {
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name && info->dlpi_name[0])
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
#endif
}

// The window's size for a game of width x height: the size asked for at start-up, else on a
// real display the largest whole multiple of the game that fits the free part of the desktop,
// so the pixels stay square and sharp. An offscreen window has no desktop to fill: it keeps
// the game's size.
void WindowSize(int& width, int& height) {
    const RuntimeOptions& o = rt().platform.options;
    if (o.windowWidth > 0 && o.windowHeight > 0) {
        width = o.windowWidth, height = o.windowHeight;
        return;
    }
    if (o.video != VideoMode::Live) return;
    SDL_Rect desktop{0, 0, width, height};
    if (SDL_GetDisplayUsableBounds(0, &desktop) != 0) return;
    const int k = WindowMultiple(desktop.w, desktop.h, width, height);
    width *= k, height *= k;
}

// A window the player may resize, drawn at the full resolution of HiDPI displays; the game
// draws its own size into it, scaled and letterboxed (see letterbox.h).
SDL_Window* CreateWindow(int width, int height, bool fullScreen) {
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI |
                   (fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    WindowSize(width, height);
    return SDL_CreateWindow(rt().title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                            width, height, flags);
}

} // namespace

bool OpenWindow(int width, int height, bool fullScreen) {
    Platform& p = rt().platform;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    // Everything is drawn in painter's order, so no depth or stencil buffer. Asking for none
    // matters: with one attached, Mesa's software rasteriser fills about ten times slower even
    // though the depth test is off.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    p.window = CreateWindow(width, height, fullScreen);
    if (!p.window && fullScreen) p.window = CreateWindow(width, height, false);
    if (!p.window) {
        std::fprintf(stderr, "vantorix: cannot open a window: %s\n", SDL_GetError());
        return false;
    }
    p.gl = SDL_GL_CreateContext(p.window);
    if (!p.gl) {
        std::fprintf(stderr, "vantorix: no OpenGL 2.1: %s\n", SDL_GetError());
        CloseWindow();
        return false;
    }
    SDL_GL_MakeCurrent(p.window, p.gl);
    if (!LoadGlFunctions()) {
        std::fprintf(stderr, "vantorix: no OpenGL 2.1: its functions are missing\n");
        CloseWindow();
        return false;
    }
    KeepGraphicsLibrariesLoaded();
    p.swapInterval = -1;
    SDL_StartTextInput();
    return true;
}

void CloseWindow() {
    Platform& p = rt().platform;
    if (p.gl) SDL_GL_DeleteContext(p.gl);
    if (p.window) SDL_DestroyWindow(p.window);
    p.gl = nullptr;
    p.window = nullptr;
}

bool SetWindowFullScreen(bool on) {
    SDL_Window* window = rt().platform.window;
    if (!window) return false;
    return SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
}

bool WindowFullScreen() {
    SDL_Window* window = rt().platform.window;
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

void DrawableSize(int& width, int& height) {
    SDL_GL_GetDrawableSize(rt().platform.window, &width, &height);
}

void SwapWindow(bool vsync) {
    Platform& p = rt().platform;
    if (!p.window) return;
    const int interval = vsync ? 1 : 0;
    if (interval != p.swapInterval) {
        SDL_GL_SetSwapInterval(interval);
        p.swapInterval = interval;
    }
    SDL_GL_SwapWindow(p.window);
#ifdef __EMSCRIPTEN__
    // The page shows the frame once the game gives the browser its turn; waiting for the
    // browser's next frame is the page's vertical blank.
    if (vsync) {
        WaitForBrowserFrame();
    } else {
        YieldToBrowser();
    }
#endif
}

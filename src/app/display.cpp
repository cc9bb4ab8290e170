// Opening the display with its media, and the logo screen shown once at start-up.
#include "app/app.h"
#include "match/routines.h"
#include "runtime/clock.h"
#include "runtime/dialog.h"
#include "runtime/folders.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/runtime.h"
#include <cstdio>

namespace {

// The game cannot run without a picture or its font: say once which file and why (one line
// on stderr, and a message box in a live run), then stop.
[[noreturn]] void missingmedia(const std::string& problem) {
    Notify("vantorix: could not load media: " + problem, 1);
    EndProgram(1);
}

TImage loadimage(const std::string& path) {
    std::string problem;
    TImage image = LoadImage(path, -1, &problem);
    if (!image) missingmedia(problem);
    return image;
}

void showpointer(int fullscreen) {
    if (fullscreen == 1) {
        HidePointer();
    } else {
        ShowPointer();
    }
}

} // namespace

void Tapp::setupdisplay(int fullscreen, int resolution, int reopen) {
    if (reopen) CloseGraphics();
    UseOpenGLDriver();
    switch (resolution) {
    case 1:
        screenwidth = 640, screenheight = 480;
        break;
    case 2:
        screenwidth = 800, screenheight = 600;
        break;
    case 3:
        screenwidth = 1024, screenheight = 768;
        break;
    default:
        break;
    }
    if (!OpenGraphics(screenwidth, screenheight, fullscreen == 1 ? 32 : 0, 60, 0)) {
        std::fprintf(stderr, "vantorix: could not open a %d x %d display\n", screenwidth,
                     screenheight);
        EndProgram(1);
    }
    showpointer(fullscreen);
    SetBlendMode(BLEND_ALPHA);
    SetAutoImageFlags(IMAGE_MASKED | IMAGE_FILTERED | IMAGE_MIPMAPPED);
    // Replacing a field releases the image loaded for the display that was closed.
    bigballimage = loadimage(MediaPath("bigball.png"));
    mainballimage = loadimage(MediaPath("mainball+0.png"));
    ballimage = loadimage(MediaPath("ball.png"));
    rectimage = loadimage(MediaPath("rect.png"));
    mezballimage = loadimage(MediaPath("mezball2.png"));
    sparkimage = loadimage(MediaPath("spark.png"));
    logoimage = loadimage(MediaPath("logo.png"));
    trailimage = loadimage(MediaPath("scia.png"));
    for (const TImage& image : {bigballimage, mainballimage, ballimage, rectimage, sparkimage}) {
        MidHandleImage(image);
    }
    showpointer(fullscreen);
    std::string problem;
    font = LoadFont(MediaPath("zekton__.ttf"), 128, 4, &problem);
    if (!font) missingmedia(problem);
    SetFont(font);
}

void Tapp::splash() {
    const int start = Millisecs();
    for (;;) {
        ClearScreen();
        SetDrawColor(255, 255, 255);
        DrawImage(logoimage, (screenwidth - 205) / 2, (screenheight - 275) / 2 - 50);
        FlipFrame(-1);
        checkclose();
        if (Millisecs() - start > 2000) return;
        if (KeyDown(KEY_SPACE) || KeyDown(KEY_ENTER) || KeyDown(KEY_ESCAPE)) return;
    }
}

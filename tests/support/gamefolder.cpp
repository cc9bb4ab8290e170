#include "gamefolder.h"
#include "runtime/graphics.h"
#include "tempfolder.h"
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {
[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "test set-up: %s\n", what);
    std::abort();
}
} // namespace

void StartInTempGameFolder(VideoMode video, bool withMedia) {
    std::filesystem::current_path(MakeTempFolder("vantorix-"));
    if (withMedia) LinkFolder(VANTORIX_MEDIA_DIR, "media");
    RuntimeOptions options;
    options.video = video;
    options.virtualClock = true;
    options.sound = false;
    if (!InitRuntime(options)) fail("the runtime did not start");
}

void StartWithSurface(VideoMode video, bool withMedia) {
    StartInTempGameFolder(video, withMedia);
    if (OpenGraphics(1024, 768, 0, 60, 0) != 1) fail("no 1024 x 768 drawing surface");
}

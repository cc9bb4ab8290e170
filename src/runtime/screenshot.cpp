// Screenshots through the renderer's read-back; see screenshot.h.
#include "runtime/screenshot.h"
#include "runtime/context.h"
#include "runtime/folders.h"
#include "runtime/pngio.h"
#include <cstdio>
#include <filesystem>

bool SaveScreenshot(const std::string& path, bool window) {
    Pixels pixels;
    Renderer* renderer = rt().renderer.get();
    if (!renderer || !(window ? renderer->readWindow(pixels) : renderer->readPixels(pixels))) {
        std::fprintf(stderr, "vantorix: no picture to save as %s\n", path.c_str());
        return false;
    }
    if (!WritePng(path, pixels)) {
        std::fprintf(stderr, "vantorix: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

std::string NextScreenshotName(const std::string& folder) {
    // Three digits sort well in a file browser; past 999 the numbers simply grow longer.
    for (long n = 1;; ++n) {
        char name[48];
        std::snprintf(name, sizeof name, "screenshot-%03ld.png", n);
        const std::filesystem::path path = PathFromText(folder) / name;
        std::error_code error;
        // A folder that cannot be looked into ends the search; saving there then says why.
        if (!std::filesystem::exists(path, error) || error) return TextFromPath(path);
    }
}

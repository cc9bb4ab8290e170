#include "recording.h"
#include "runtime/pngio.h"
#include "runtime/runtime.h"
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {
bool opened = false;

void open() {
    // Tests run in a temporary folder of their own; the picture is written there.
    char folder[] = "/tmp/effects_tests_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::filesystem::current_path(folder);
    RuntimeOptions options;
    options.video = VideoMode::Recording;
    options.virtualClock = true;
    options.sound = false;
    ASSERT_TRUE(InitRuntime(options));
    ASSERT_EQ(OpenGraphics(1024, 768, 0, 60, 0), 1);
    Pixels white{8, 8, std::vector<uint8_t>(8 * 8 * 4, 255)};
    ASSERT_TRUE(WritePng("blob.png", white));
    opened = true;
}
} // namespace

RecordingRenderer& recording() {
    if (!opened) open();
    Recorder()->calls.clear();
    return *Recorder();
}

const TImage& blob() {
    // Kept to the end of the process: pictures must not outlive the drawing surface.
    static TImage& image = *new TImage;
    if (!image) {
        recording();
        image = LoadImage("blob.png");
        MidHandleImage(image);
    }
    return image;
}

std::vector<DrawCall> callsof(DrawCall::Kind kind) {
    std::vector<DrawCall> found;
    for (const DrawCall& call : Recorder()->calls)
        if (call.kind == kind) found.push_back(call);
    return found;
}

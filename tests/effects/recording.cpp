#include "recording.h"
#include "gamefolder.h"
#include "runtime/pngio.h"
#include "runtime/runtime.h"
#include <gtest/gtest.h>

namespace {
bool opened = false;

void open() {
    // The picture is written in the temporary game folder.
    StartWithSurface(VideoMode::Recording, false);
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

// The physics tests draw into the runtime's recording renderer and never open a window.
#include "runtime/graphics.h"
#include "runtime/runtime.h"
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    RuntimeOptions options;
    options.video = VideoMode::Recording;
    options.virtualClock = true;
    options.sound = false;
    if (!InitRuntime(options) || OpenGraphics(800, 600, 0, 60, 0) != 1) return 1;
    int result = RUN_ALL_TESTS();
    ShutdownRuntime();
    return result;
}

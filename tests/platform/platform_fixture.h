// Shared set-up of the platform tests: a fresh runtime in a temporary folder.
#pragma once
#include "runtime/runtime.h"
#include "runtime/testing.h"
#include "tempfixture.h"
#include <string>

class RuntimeTest : public TempFolderTest {
  protected:
    void TearDown() override {
        ShutdownRuntime();
        TempFolderTest::TearDown();
    }
    // Starts the runtime without sound in the given mode (scripted runs: the virtual clock).
    bool start(VideoMode video, const std::string& script = "", long maxFrames = -1) {
        RuntimeOptions options;
        options.video = video;
        options.virtualClock = true;
        options.sound = false;
        options.scriptPath = script;
        options.maxFrames = maxFrames;
        return InitRuntime(options);
    }
};

// Shared set-up of the platform tests: a fresh runtime in a temporary folder.
#pragma once
#include "runtime/context.h"
#include "runtime/runtime.h"
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

class RuntimeTest : public ::testing::Test {
  protected:
    std::filesystem::path dir;

    void SetUp() override {
        char name[] = "/tmp/vantorix-platform-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
    }
    void TearDown() override {
        ShutdownRuntime();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    std::string path(const std::string& file) const { return (dir / file).string(); }
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

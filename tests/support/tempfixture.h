// The GoogleTest fixture of a test in its own temporary folder (see tempfolder.h).
#pragma once
#include "tempfolder.h"
#include <gtest/gtest.h>

// A test in its own temporary folder. An entered folder is also the current folder while the
// test runs: it then stands in for the game folder, where the game reads and writes its files.
class TempFolderTest : public ::testing::Test {
  protected:
    explicit TempFolderTest(bool entered = false) : entered_(entered) {}
    void SetUp() override {
        folder = MakeTempFolder("vantorix-test-");
        if (entered_) {
            previous_ = std::filesystem::current_path();
            std::filesystem::current_path(folder);
        }
    }
    void TearDown() override {
        if (entered_) std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string path(const std::string& file) const { return (folder / file).string(); }
    static void writefile(const std::string& file, const std::string& bytes) {
        WriteFileBytes(file, bytes);
    }
    static std::string readfile(const std::string& file) { return ReadFileBytes(file); }

    std::filesystem::path folder;

  private:
    bool entered_;
    std::filesystem::path previous_;
};

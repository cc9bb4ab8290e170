// A fresh temporary folder per test, removed afterwards, so file tests never touch the
// game folder or each other.
#pragma once
#include <filesystem>
#include <gtest/gtest.h>

class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/vantorix-runtime-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string path(const char* file) const { return (folder / file).string(); }

    std::filesystem::path folder;
};

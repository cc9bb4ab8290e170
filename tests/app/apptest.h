// The fixture of the application's unit tests: one runtime for the whole test program with the
// recording renderer and the virtual clock, a fresh temporary game folder (media linked in), and
// key input fed to the blocking screens through a script counted from the current frame.
#pragma once
#include "app/app.h"
#include "runtime/renderer.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Input events as in a script file, with frame numbers counted from now: "1 tap 38" is
    // seen by the frame after the next flip.
    void input(const std::string& script);
    // Opens the display of the given resolution and forgets what was drawn so far.
    void opendisplay(int resolution);
    // What was drawn since the last opendisplay or forget, one entry per cleared frame.
    std::vector<std::vector<DrawCall>> frames() const;
    void forget();
    // Lines of a text file in the game folder.
    static std::vector<std::string> filelines(const std::string& path);

    Tapp app;
};

// The text call drawing exactly this text in the frame, or null.
const DrawCall* findtext(const std::vector<DrawCall>& frame, const std::string& text);
// The text call whose text starts with the prefix, or null.
const DrawCall* findprefix(const std::vector<DrawCall>& frame, const std::string& prefix);
bool isgrey(const DrawCall& call);

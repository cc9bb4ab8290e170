// Every match test runs in a fresh temporary folder holding a small figure file of its own,
// with the runtime driven headless on a virtual clock and without sound.
#pragma once
#include "match/match.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include "runtime/clock.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/random.h"
#include "runtime/runtime.h"
#include "runtime/testing.h"
#include "tempfixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

// A four-ball figure: head (the steered ball), hips, two feet. Ball radius 20, so 11.2 at the
// game's size 0.5 and width factor 1.12. Its centre in the file is (0, 5).
inline const char* const testfigure = "New Ball\n1\n1\n0\n-60\n20\n0\n0\n0\nnormal\n0\n0\n"
                                      "New Ball\n2\n1\n0\n0\n20\n0\n0\n0\nnormal\n0\n0\n"
                                      "New Ball\n3\n1\n-40\n40\n20\n0\n0\n0\nnormal\n0\n0\n"
                                      "New Ball\n4\n1\n40\n40\n20\n0\n0\n0\nnormal\n0\n0\n"
                                      "New Link\n1\n2\n60\n5\nnormal\n0\n"
                                      "New Link\n2\n3\n56.5685\n5\nnormal\n0\n"
                                      "New Link\n2\n4\n56.5685\n5\nnormal\n0\n"
                                      "New Link\n3\n4\n80\n5\nnormal\n0\n";

class MatchFolder : public TempFolderTest {
  protected:
    MatchFolder() : TempFolderTest(true) {}

    static void SetUpTestSuite() {
        static bool started = false;
        if (started) return;
        RuntimeOptions options;
        options.video = VideoMode::None;
        options.virtualClock = true;
        options.sound = false;
        ASSERT_TRUE(InitRuntime(options));
        ASSERT_EQ(OpenGraphics(1024, 768, 0, 60, 0), 1);
        started = true;
    }

    void SetUp() override {
        TempFolderTest::SetUp();
        std::filesystem::create_directory("media");
        writefigure(testfigure);
        FlushKeys();
        SeedRandom(1234);
    }
    void TearDown() override {
        FlushKeys();
        TempFolderTest::TearDown();
    }

    static void writefigure(const std::string& text) {
        std::ofstream("media/man.txt", std::ios::binary) << text;
    }

    // A match as a series driver would hand it over: its random numbers go on from where the
    // runtime's generator stands.
    static void prepare(Tmatch& m) {
        m.screenwidth = 1024;
        m.screenheight = 768;
        m.random = GameRandom();
    }
};

// A match whose keys are pressed by the test at the start of each frame (the set-up flushes
// the keyboard, so keys must go in after it). A runaway game is left after 10000 frames.
class KeyedMatch : public Tmatch {
  public:
    std::function<void(Tmatch&)> keys;
    void checkpause() override {
        if (keys) keys(*this);
        if (frame > 10000) TestKeyDown(27);
        Tmatch::checkpause();
    }
};

// For frames played undrawn with their record already in place: the source is asked nothing
// but to forget keys, which it has none of.
class Given : public InputSource {
  public:
    MatchInput read(const Tmatch&) override { return {}; }
    bool leaving(const Tmatch&) override { return false; }
    void flush() override {}
    void discardpresses() override {}
};

// A file's lines, the line ends left out.
inline std::vector<std::string> filelines(const std::string& file) {
    std::vector<std::string> all;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) all.push_back(line);
    return all;
}

// Centre of a figure from its balls.
inline double centrex(const ragobject& body) {
    double s = 0;
    for (const auto& b : body.balls) s += b->x;
    return s / double(body.balls.size());
}

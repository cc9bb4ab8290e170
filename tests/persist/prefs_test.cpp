// Preferences: the first-run question, the forgiving reading of short, damaged and hand-edited
// files, and the CR LF file the game writes.
#include "persist/prefs.h"
#include "runtime/runtime.h"
#include "tempfolder.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Prefs6 = std::vector<int>;

Prefs6 fields(const Prefs& p) {
    return {p.resolution, p.fullscreen, p.trail, p.fireworks, p.musicvolume, p.unlockedlevel};
}

class PrefsTest : public TempFolder {
  protected:
    // Start-up as the game does it: defaults, then the file. Counts the questions asked.
    PrefsStart start(Prefs& prefs, int answer) {
        defaults(prefs);
        return loadprefs(prefs, [&] {
            ++questions;
            return answer;
        });
    }
    int questions = 0;
};

TEST_F(PrefsTest, FirstRunAsksOnceAndWritesTheAnswer) {
    Prefs prefs;
    ASSERT_EQ(start(prefs, 1), PrefsStart::Ready);
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(fields(prefs), (Prefs6{3, 1, 1, 1, 5, 1}));
    EXPECT_EQ(readfile("prefs.txt"), "3\r\n1\r\n1\r\n1\r\n5\r\n1\r\n");
    EXPECT_FALSE(std::filesystem::exists("prefs.txt.tmp"));

    Prefs next;
    ASSERT_EQ(start(next, -1), PrefsStart::Ready);
    EXPECT_EQ(questions, 1) << "the second run must not ask again";
    EXPECT_EQ(fields(next), fields(prefs));

    std::filesystem::remove("prefs.txt");
    Prefs windowed;
    ASSERT_EQ(start(windowed, 0), PrefsStart::Ready);
    EXPECT_EQ(readfile("prefs.txt"), "3\r\n0\r\n1\r\n1\r\n5\r\n1\r\n");
}

TEST_F(PrefsTest, CancelEndsWithoutWritingAndAsksAgainNextTime) {
    Prefs prefs;
    EXPECT_EQ(start(prefs, -1), PrefsStart::Quit);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    EXPECT_EQ(start(prefs, -1), PrefsStart::Quit);
    EXPECT_EQ(questions, 2);
}

// The real question box of a scripted run, answered Yes, then Cancel.
TEST_F(PrefsTest, TheQuestionGoesThroughTheRuntime) {
    writefile("answers.txt", "answer yes\nanswer cancel\n");
    RuntimeOptions options;
    options.video = VideoMode::None;
    options.sound = false;
    options.scriptPath = "answers.txt";
    ASSERT_TRUE(InitRuntime(options));
    Prefs prefs;
    EXPECT_EQ(loadprefs(prefs), PrefsStart::Ready);
    EXPECT_EQ(prefs.fullscreen, 1);
    std::filesystem::remove("prefs.txt");
    EXPECT_EQ(loadprefs(prefs), PrefsStart::Quit);
    EXPECT_FALSE(std::filesystem::exists("prefs.txt"));
    ShutdownRuntime();
}

TEST_F(PrefsTest, ExistingFilesAreReadWithoutAQuestion) {
    struct Case {
        const char* bytes;
        Prefs6 expected;
    };
    const Case cases[] = {
        {"", {3, 0, 1, 1, 5, 1}},
        {"2\r\n", {2, 0, 1, 1, 5, 1}},
        {"0\r\n", {3, 0, 1, 1, 5, 1}},
        {"4\r\n", {3, 0, 1, 1, 5, 1}},
        {"1\r\n2\r\n", {1, 0, 1, 1, 5, 1}},
        {"1\r\n-1\r\n", {1, 0, 1, 1, 5, 1}},
        {"2\r\n1\r\n0\r\n0\r\n7\r\n6\r\n", {2, 1, 0, 0, 7, 6}},
        {"2\n1\n0\n0\n7\n6\n", {2, 1, 0, 0, 7, 6}},
        {"2\r\n1\r\n0\r\n0\r\n7\r\n6\r\n3\r\n9\r\n", {2, 1, 0, 0, 7, 6}},
        {"2abc\r\n\r\n 2x\r\n\r\n$A\r\n+11", {2, 0, 2, 0, 10, 11}},
    };
    for (const Case& c : cases) {
        writefile("prefs.txt", c.bytes);
        Prefs prefs;
        ASSERT_EQ(start(prefs, 1), PrefsStart::Ready);
        EXPECT_EQ(fields(prefs), c.expected) << "file: " << ::testing::PrintToString(c.bytes);
    }
    EXPECT_EQ(questions, 0);
}

// Values the game's screens and matches were never built for are brought to the nearest valid
// one: starting levels are unlocked in steps of five, 1 to 36.
TEST_F(PrefsTest, HandEditedValuesComeBackIntoRange) {
    struct Case {
        const char* lines3to6;
        Prefs6 expected;
    };
    const Case cases[] = {
        {"3\r\n-4\r\n12\r\n23", {2, 0, 10, 21}},      {"-1\r\n5\r\n-7\r\n24", {0, 1, 0, 26}},
        {"9\r\n0\r\n10\r\n99", {2, 0, 10, 36}},       {"0\r\n1\r\n0\r\n3", {0, 1, 0, 1}},
        {"0\r\n1\r\n0\r\n-2147483648", {0, 1, 0, 1}}, {"0\r\n1\r\n0\r\n2147483647", {0, 1, 0, 36}},
    };
    for (const Case& c : cases) {
        writefile("prefs.txt", std::string("1\r\n0\r\n") + c.lines3to6 + "\r\n");
        Prefs prefs;
        ASSERT_EQ(start(prefs, 1), PrefsStart::Ready);
        Prefs6 expected = {1, 0};
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        EXPECT_EQ(fields(prefs), expected) << c.lines3to6;
    }
    for (int level = 1; level <= 36; level += 5) {
        writefile("prefs.txt", "1\r\n0\r\n1\r\n1\r\n5\r\n" + std::to_string(level) + "\r\n");
        Prefs prefs;
        start(prefs, 1);
        EXPECT_EQ(prefs.unlockedlevel, level);
    }
}

TEST_F(PrefsTest, FailedSaveKeepsTheOldFile) {
    Prefs prefs;
    prefs.unlockedlevel = 11;
    ASSERT_TRUE(saveprefs(prefs));
    const std::string before = readfile("prefs.txt");
    EXPECT_EQ(before, "3\r\n0\r\n1\r\n1\r\n5\r\n11\r\n");

    // A folder in the way of the temporary file makes every write fail.
    std::filesystem::create_directories("prefs.txt.tmp/blocked");
    prefs.unlockedlevel = 16;
    EXPECT_FALSE(saveprefs(prefs));
    EXPECT_EQ(readfile("prefs.txt"), before);
}

} // namespace

// The real program started on bad media in its game folder: a FIFO, a header bomb, a font cut
// in half, music that lies about its rate or length. A picture or the font ends the start with
// exit 1 and one line naming the file; bad music leaves the game playing in silence with one
// line. Every run must end within seconds and, where the build allows, within 1 GiB of
// address space.
#include "badmedia.h"
#include "gamerun.h"
#include <algorithm>
#include <sys/stat.h>

namespace {

struct Outcome {
    int status = -1;    // exit status, 128 + signal, or -1 when killed at the deadline
    long peakKiB = 0;   // peak resident memory
    std::string errors; // what it wrote to stderr
};

// A game folder whose media can be replaced one file at a time; every run is bounded to 5 s
// and, where the build allows, to 1 GiB of address space.
class MediaFolder : public GameFolder {
  public:
    void fifo(const std::string& name) { ASSERT_EQ(mkfifo(replace(name).c_str(), 0600), 0); }
    std::string replace(const std::string& name) { return withoutmedia(name).string(); }
    // A copy of the built file to be damaged.
    std::string copy(const std::string& name) {
        const std::string to = replace(name);
        fs::copy_file(fs::path(VANTORIX_MEDIA_DIR) / name, to);
        return to;
    }
    Outcome run(int frames, bool nodraw = false) {
        std::vector<std::string> args = {"--frames", std::to_string(frames)};
        if (nodraw) args.push_back("--nodraw");
        RunOptions options;
        options.seconds = 5;
        options.limited = true;
        Outcome outcome;
        outcome.status = GameFolder::run("answer no\n", args, options);
        outcome.peakKiB = peakKiB;
        // Its lines as they are on Linux (the Windows game ends them with \r\n).
        for (const std::string& line : lines("stderr.txt")) outcome.errors += line + "\n";
        return outcome;
    }
};

// Exit 1 with exactly one line, and that line names the file.
void expectStopNaming(const Outcome& outcome, const std::string& file, const std::string& why) {
    EXPECT_NE(outcome.status, -1) << "still running after 5 s";
    EXPECT_EQ(outcome.status, 1) << outcome.errors;
    EXPECT_EQ(std::count(outcome.errors.begin(), outcome.errors.end(), '\n'), 1) << outcome.errors;
    EXPECT_NE(outcome.errors.find("media/" + file), std::string::npos) << outcome.errors;
    EXPECT_NE(outcome.errors.find(why), std::string::npos) << outcome.errors;
}

// Exit 0 after the frames, with one line saying the music is off and why.
void expectSilentPlay(const Outcome& outcome, const std::string& why) {
    EXPECT_NE(outcome.status, -1) << "still running after 5 s";
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_EQ(outcome.errors, "vantorix: playing without music: media/tutto.ogg" + why + "\n");
}

void reportMemory(const char* what, const Outcome& outcome) {
    std::printf("%s: peak resident memory %ld MiB%s\n", what, outcome.peakKiB / 1024,
                ADDRESS_LIMIT ? ", under a 1 GiB address-space limit"
                              : " (no address-space limit in this build)");
    EXPECT_LT(outcome.peakKiB, 300 * 1024);
}

} // namespace

TEST(BadMedia, fifoInPlaceOfAPictureOrTheFontStopsNamingIt) {
    for (const char* file : {"ball.png", "zekton__.ttf"}) {
        SCOPED_TRACE(file);
        MediaFolder game;
        game.fifo(file);
        expectStopNaming(game.run(300), file, ": not a regular file");
    }
}

TEST(BadMedia, fifoInPlaceOfTheMusicPlaysSilently) {
    MediaFolder game;
    game.fifo("tutto.ogg");
    expectSilentPlay(game.run(200, true), ": not a regular file");
}

TEST(BadMedia, pictureHeaderBombStopsNamingIt) {
    MediaFolder game;
    ASSERT_TRUE(WriteBytes(game.replace("ball.png"), PngHeaderBomb(16383, 65535)));
    const Outcome outcome = game.run(300);
    expectStopNaming(outcome, "ball.png", "16383 x 65535");
    reportMemory("header bomb", outcome);
}

TEST(BadMedia, fontCutInHalfStopsNamingIt) {
    MediaFolder game;
    const std::string font = game.copy("zekton__.ttf");
    fs::resize_file(font, fs::file_size(font) / 2);
    expectStopNaming(game.run(300), "zekton__.ttf", "cannot draw");
}

// Music whose header claims an hour at 192 kHz plays what it really holds, in the memory of
// what it holds; a rate no recording has is refused.
TEST(BadMedia, musicThatLiesAboutItsRateOrLength) {
    {
        MediaFolder game;
        ASSERT_TRUE(PatchOgg(game.copy("tutto.ogg"), 192000, int64_t{3600} * 192000));
        const Outcome outcome = game.run(200, true);
        EXPECT_NE(outcome.status, -1);
        EXPECT_EQ(outcome.status, 0) << outcome.errors;
        EXPECT_EQ(outcome.errors, "");
        reportMemory("music claiming an hour at 192 kHz", outcome);
    }
    {
        MediaFolder game;
        ASSERT_TRUE(PatchOgg(game.copy("tutto.ogg"), 1000000, -1));
        const Outcome outcome = game.run(200, true);
        expectSilentPlay(outcome, " has a sample rate of 1000000 Hz, outside 8000 to 192000");
        reportMemory("music at 1 MHz", outcome);
    }
}

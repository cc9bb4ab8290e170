// The real program started on bad media in its game folder: a FIFO, a header bomb, a font cut
// in half, music that lies about its rate or length. A picture or the font ends the start with
// exit 1 and one line naming the file; bad music leaves the game playing in silence with one
// line. Every run must end within seconds and, where the build allows, within 1 GiB of
// address space.
#include "badmedia.h"
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer reserves terabytes of shadow memory up front: no address-space limit fits.
constexpr bool ADDRESS_LIMIT = false;
#else
constexpr bool ADDRESS_LIMIT = true;
#endif
constexpr rlim_t ADDRESS_SPACE = rlim_t{1} << 30;
constexpr auto DEADLINE = std::chrono::seconds(5);

struct Outcome {
    bool ended = false; // by itself, before the deadline
    int status = -1;    // exit status, or 128 + signal
    long peakKiB = 0;   // peak resident memory
    std::string errors; // what it wrote to stderr
};

// A fresh game folder whose media/ links every built file, so that one can be replaced.
class MediaFolder {
  public:
    MediaFolder() {
        char name[] = "/tmp/vantorix-media-XXXXXX";
        folder = mkdtemp(name);
        fs::create_directory(folder / "media");
        for (const auto& entry : fs::directory_iterator(VANTORIX_MEDIA_DIR)) {
            fs::create_symlink(entry.path(), folder / "media" / entry.path().filename());
        }
        std::ofstream(folder / "script.txt") << "answer no\n";
    }
    ~MediaFolder() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    // Takes the link to the built file away; returns the path to put the bad file at.
    std::string replace(const std::string& name) {
        fs::remove(folder / "media" / name);
        return (folder / "media" / name).string();
    }
    void fifo(const std::string& name) { ASSERT_EQ(mkfifo(replace(name).c_str(), 0600), 0); }
    // A copy of the built file to be damaged.
    std::string copy(const std::string& name) {
        const std::string to = replace(name);
        fs::copy_file(fs::path(VANTORIX_MEDIA_DIR) / name, to);
        return to;
    }

    // Runs the game in scripted mode for the frames; kills it at the deadline.
    Outcome run(int frames, bool nodraw = false) {
        std::vector<std::string> args = {VANTORIX_EXE, "--script", "script.txt", "--frames",
                                         std::to_string(frames)};
        if (nodraw) args.push_back("--nodraw");
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(folder.c_str()) != 0) _exit(100);
            if (!std::freopen("stderr.txt", "w", stderr)) _exit(101);
            const rlimit limit{ADDRESS_SPACE, ADDRESS_SPACE};
            if (ADDRESS_LIMIT && setrlimit(RLIMIT_AS, &limit) != 0) _exit(103);
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(VANTORIX_EXE, argv.data());
            _exit(102);
        }
        Outcome outcome;
        int status = 0;
        rusage usage{};
        const auto end = std::chrono::steady_clock::now() + DEADLINE;
        pid_t done = 0;
        while ((done = wait4(pid, &status, WNOHANG, &usage)) == 0 &&
               std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        outcome.ended = done == pid;
        if (!outcome.ended) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
        }
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        outcome.peakKiB = usage.ru_maxrss;
        std::ifstream in(folder / "stderr.txt");
        std::stringstream text;
        text << in.rdbuf();
        outcome.errors = text.str();
        return outcome;
    }

    fs::path folder;
};

// Exit 1 with exactly one line, and that line names the file.
void expectStopNaming(const Outcome& outcome, const std::string& file, const std::string& why) {
    EXPECT_TRUE(outcome.ended) << "still running after " << DEADLINE.count() << " s";
    EXPECT_EQ(outcome.status, 1) << outcome.errors;
    EXPECT_EQ(std::count(outcome.errors.begin(), outcome.errors.end(), '\n'), 1) << outcome.errors;
    EXPECT_NE(outcome.errors.find("media/" + file), std::string::npos) << outcome.errors;
    EXPECT_NE(outcome.errors.find(why), std::string::npos) << outcome.errors;
}

// Exit 0 after the frames, with one line saying the music is off and why.
void expectSilentPlay(const Outcome& outcome, const std::string& why) {
    EXPECT_TRUE(outcome.ended) << "still running after " << DEADLINE.count() << " s";
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
        EXPECT_TRUE(outcome.ended);
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

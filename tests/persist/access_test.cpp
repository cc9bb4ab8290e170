// Save files that fight back: a file that is there but cannot be read is never replaced by
// the defaults; a link or file planted at the temporary name is never written through; a
// crash's leftover is cleared; a save kept elsewhere through a link stays there.
// Permissions mean nothing to root, so those cases run in a child that has given up root.
#include "persist/prefs.h"
#include "persist/scores.h"
#include "tempfolder.h"

#include <algorithm>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t NOBODY = 65534;

struct Child {
    int status = -1;  // what the body returned, 77 when the child could not leave root
    std::string said; // its stderr
};

// Runs the body in a child process that is not root (nobody, when the test runs as root).
Child notroot(const std::function<int()>& body) {
    int pipefd[2];
    if (pipe(pipefd) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipefd[0]);
        dup2(pipefd[1], 2);
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(NOBODY) != 0 || setuid(NOBODY) != 0)) {
            _exit(77);
        }
        _exit(body());
    }
    close(pipefd[1]);
    Child child;
    char buffer[4096];
    for (ssize_t n; (n = read(pipefd[0], buffer, sizeof buffer)) > 0;) child.said.append(buffer, n);
    close(pipefd[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    child.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return child;
}

int lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// Reads prefs.txt as start-up does: 0 when it was found unreadable, nothing was asked and
// every option kept its default.
int readprefsunreadable() {
    Prefs prefs;
    defaults(prefs);
    const PrefsStart start = loadprefs(prefs, [] { return 1; });
    Prefs fresh;
    defaults(fresh);
    const bool kept = prefs.resolution == fresh.resolution && prefs.fullscreen == 0 &&
                      prefs.unlockedlevel == 1 && prefs.musicvolume == 5;
    return start == PrefsStart::Unreadable && kept ? 0 : 1;
}

// The same for scores.txt: 0 when it was found unreadable and the table kept its defaults.
int readscoresunreadable() {
    TList<Tscore> scores;
    defaultscores(scores);
    if (loadscores(scores)) return 1;
    for (const auto& entry : scores)
        if (entry->name != "NOBODY" || entry->score != 0) return 2;
    return 0;
}

// The two save files with their readers.
struct Save {
    const char* file;
    int (*read)();
};
constexpr Save saves[] = {{"prefs.txt", readprefsunreadable}, {"scores.txt", readscoresunreadable}};

class SaveAccess : public TempFolder {
  protected:
    void SetUp() override {
        TempFolder::SetUp();
        // The child that gave up root must reach the folder and could write in it, so a
        // save that wrongly happens would show.
        std::filesystem::permissions(folder, std::filesystem::perms::all);
    }

    // A player's file and how it was made unreadable; checks both save files that way.
    void expectleftalone(const std::function<void(const std::string&)>& spoil,
                         const std::string& reason) {
        const std::string prefs = "2\r\n1\r\n0\r\n0\r\n7\r\n36\r\n", scores = "ACE\r\n9000\r\n";
        writefile("prefs.txt", prefs);
        writefile("scores.txt", scores);
        spoil("prefs.txt");
        spoil("scores.txt");
        for (auto [file, read] : saves) {
            const Child child = notroot(read);
            if (child.status == 77) GTEST_SKIP() << "cannot give up root here";
            EXPECT_EQ(child.status, 0) << file << " " << reason << ": " << child.said;
            EXPECT_NE(child.said.find(file + std::string(": ") + reason), std::string::npos)
                << child.said;
            EXPECT_EQ(lines(child.said), 1) << child.said;
        }
        for (const char* file : {"prefs.txt", "scores.txt"}) {
            std::filesystem::permissions(file, std::filesystem::perms::owner_read,
                                         std::filesystem::perm_options::add);
        }
        EXPECT_EQ(readfile("prefs.txt"), prefs) << reason;
        EXPECT_EQ(readfile("scores.txt"), scores) << reason;
    }
};

TEST_F(SaveAccess, AFileWithoutReadPermissionIsNeverReplaced) {
    expectleftalone(
        [](const std::string& file) {
            if (geteuid() == 0 && chown(file.c_str(), NOBODY, NOBODY) != 0) FAIL();
            chmod(file.c_str(), 0);
        },
        "Permission denied");
}

TEST_F(SaveAccess, AnotherUsersPrivateFileIsNeverReplaced) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to own the file";
    expectleftalone([](const std::string& file) { chmod(file.c_str(), 0600); },
                    "Permission denied");
}

// A link that points at itself cannot be opened, and says so with a reason of its own.
TEST_F(SaveAccess, ALinkThatLeadsNowhereIsNeverReplaced) {
    for (const char* file : {"prefs.txt", "scores.txt"}) {
        std::filesystem::create_symlink(file, file);
    }
    for (auto [file, read] : saves) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(read(), 0) << file;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(file + std::string(": Too many levels of symbolic links")),
                  std::string::npos)
            << said;
        EXPECT_TRUE(std::filesystem::is_symlink(file));
    }
}

// A FIFO would block the start for ever, a folder is no file and a file of megabytes is not
// the game's: each is reported and left where it is.
TEST_F(SaveAccess, WhatIsNoSaveFileIsReportedAndLeftAlone) {
    struct Case {
        std::function<void(const std::string&)> make;
        const char* reason;
    } cases[] = {
        {[](const std::string& f) { mkfifo(f.c_str(), 0600); }, "not a regular file"},
        {[](const std::string& f) { std::filesystem::create_directory(f); }, "not a regular file"},
        {[](const std::string& f) {
             writefile(f, "1\r\n");
             std::filesystem::resize_file(f, 2 * 1024 * 1024);
         },
         "larger than 1 MiB"},
    };
    for (const Case& c : cases) {
        for (auto [file, read] : saves) {
            std::filesystem::remove(file);
            c.make(file);
            const auto type = std::filesystem::symlink_status(file).type();
            testing::internal::CaptureStderr();
            EXPECT_EQ(read(), 0) << file << " " << c.reason;
            const std::string said = testing::internal::GetCapturedStderr();
            EXPECT_NE(said.find(file + std::string(": ") + c.reason), std::string::npos) << said;
            EXPECT_EQ(lines(said), 1) << said;
            EXPECT_EQ(std::filesystem::symlink_status(file).type(), type);
        }
    }
    EXPECT_EQ(std::filesystem::file_size("prefs.txt"), 2u * 1024 * 1024);
}

TEST_F(SaveAccess, APlantedTemporaryIsNeverFollowedAndAStaleOneIsCleared) {
    writefile("victim.txt", "keep me");
    std::filesystem::create_symlink("victim.txt", "prefs.txt.tmp");
    Prefs prefs;
    prefs.unlockedlevel = 21;
    ASSERT_TRUE(saveprefs(prefs));
    EXPECT_EQ(readfile("victim.txt"), "keep me");
    EXPECT_EQ(readfile("prefs.txt"), "3\r\n0\r\n1\r\n1\r\n5\r\n21\r\n");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status("prefs.txt.tmp")));

    // What a crash leaves behind is gone after the next start, links included.
    writefile("scores.txt.tmp", "half a tab");
    std::filesystem::create_symlink("victim.txt", "prefs.txt.tmp");
    defaults(prefs);
    EXPECT_EQ(loadprefs(prefs, [] { return 0; }), PrefsStart::Ready);
    TList<Tscore> scores;
    defaultscores(scores);
    EXPECT_TRUE(loadscores(scores));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status("prefs.txt.tmp")));
    EXPECT_FALSE(std::filesystem::exists("scores.txt.tmp"));
    EXPECT_EQ(readfile("victim.txt"), "keep me");
}

// Players keep their saves in a dotfile repository and link them into the game folder.
TEST_F(SaveAccess, ALinkedSaveIsWrittenThroughToItsFile) {
    std::filesystem::create_directory("dotfiles");
    writefile("dotfiles/prefs", "1\r\n0\r\n1\r\n1\r\n5\r\n6\r\n");
    std::filesystem::permissions("dotfiles/prefs", std::filesystem::perms::owner_read |
                                                       std::filesystem::perms::owner_write);
    std::filesystem::create_symlink("dotfiles/prefs", "prefs.txt");
    std::filesystem::create_symlink("dotfiles/scores", "scores.txt"); // not there yet
    Prefs prefs;
    defaults(prefs);
    ASSERT_EQ(loadprefs(prefs, [] { return 0; }), PrefsStart::Ready);
    EXPECT_EQ(prefs.unlockedlevel, 6);
    prefs.unlockedlevel = 11;
    ASSERT_TRUE(saveprefs(prefs));
    TList<Tscore> scores;
    defaultscores(scores);
    ASSERT_TRUE(loadscores(scores)); // none yet: the defaults are written, through the link
    addscore("ACE", 500, scores);
    ASSERT_TRUE(savescores(scores));

    EXPECT_TRUE(std::filesystem::is_symlink("prefs.txt"));
    EXPECT_TRUE(std::filesystem::is_symlink("scores.txt"));
    EXPECT_EQ(readfile("dotfiles/prefs"), "1\r\n0\r\n1\r\n1\r\n5\r\n11\r\n");
    EXPECT_EQ(crlflines("dotfiles/scores").at(0), "ACE");
    EXPECT_EQ(std::filesystem::status("dotfiles/prefs").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
        << "a private save stays private";
    EXPECT_FALSE(std::filesystem::exists("dotfiles/prefs.tmp"));
}

} // namespace

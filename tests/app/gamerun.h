// Running the real program for end-to-end tests: a fresh game folder with the built media
// linked in, the game started there in a child process, its exit status, files and pictures.
#pragma once
#include "runtime/pngio.h"
#include "tempfolder.h"
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer reserves terabytes of shadow memory up front: no address-space limit fits.
constexpr bool ADDRESS_LIMIT = false;
#else
constexpr bool ADDRESS_LIMIT = true;
#endif

// How a run is started besides its script and arguments.
struct RunOptions {
    std::vector<std::string> unsetenv;  // variables the game must not see
    int seconds = 240;                  // killed after this long: run() then gives -1
    bool asnobody = false;              // give up root first (when the test runs as root)
    bool limited = false;               // within 1 GiB of address space (where the build allows it)
    const char* program = VANTORIX_EXE; // the game, or the server beside it
    bool linuxgame = false;             // the Linux game even when the tests play the Windows one
};

// Under ./test --windows: the Windows game (VANTORIX_WINDOWS_GAME), which the tests play under
// Wine (VANTORIX_WINE) in place of the Linux one; else null.
inline char* windowsgame() {
    return std::getenv("VANTORIX_WINE") ? std::getenv("VANTORIX_WINDOWS_GAME") : nullptr;
}

// The exit status when the child could not give up root: the test skips.
constexpr int NOT_NOBODY = 103;

// UDP ports of their own for every test program run (n from 0 to 7), so two runs at once do
// not meet.
inline int testport(int n) {
    return 20000 + int(getpid() % 5000) * 8 + n;
}

class GameFolder {
  public:
    GameFolder() {
        folder = MakeTempFolder("vantorix-e2e-");
        fs::create_directory_symlink(VANTORIX_MEDIA_DIR, folder / "media");
    }
    ~GameFolder() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    // Runs the game with the script (if any) and the arguments; returns the exit status, 128
    // plus the signal when it died of one, or -1 when it was still running after the time.
    int run(const std::string& script, std::vector<std::string> args,
            const RunOptions& options = {}) {
        return finish(spawn(script, std::move(args), options), options);
    }
    // The same in two halves, for games that play with each other: the child started, and
    // later its end waited for.
    pid_t spawn(const std::string& script, std::vector<std::string> args,
                const RunOptions& options = {}) {
        if (!script.empty()) {
            std::ofstream(folder / "script.txt") << script;
            args.insert(args.begin(), {"--script", "script.txt"});
        }
        const pid_t pid = fork();
        if (pid == 0) start(args, options);
        return pid;
    }
    int finish(pid_t pid, const RunOptions& options = {}) {
        int status = 0;
        rusage usage{};
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(options.seconds);
        while (wait4(pid, &status, WNOHANG, &usage) == 0) {
            if (std::chrono::steady_clock::now() > end) {
                kill(pid, SIGKILL);
                wait4(pid, &status, 0, &usage);
                keep(usage);
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        keep(usage);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    int run(const std::string& script, std::vector<std::string> args,
            const std::vector<std::string>& unsetenv) {
        return run(script, std::move(args), RunOptions{unsetenv});
    }

    // Replaces the media link by a folder of links to every built file but the one named, and
    // returns the path where that one would be.
    fs::path withoutmedia(const std::string& name) {
        fs::remove(folder / "media");
        fs::create_directory(folder / "media");
        for (const auto& entry : fs::directory_iterator(VANTORIX_MEDIA_DIR)) {
            if (entry.path().filename() != name)
                fs::create_symlink(entry.path(), folder / "media" / entry.path().filename());
        }
        return folder / "media" / name;
    }

    std::string text(const std::string& file) const {
        std::ifstream in(folder / file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::vector<std::string> lines(const std::string& file) const {
        std::vector<std::string> result;
        std::istringstream in(text(file));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            result.push_back(line);
        }
        return result;
    }
    Pixels shot(const std::string& file) const {
        Pixels pixels;
        bool alpha = false;
        std::string error;
        EXPECT_TRUE(ReadPng((folder / file).string(), pixels, alpha, error)) << error;
        return pixels;
    }

    // The files of a folder in it, by name.
    std::vector<fs::path> files(const std::string& sub) const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(folder / sub))
            found.push_back(entry.path());
        std::sort(found.begin(), found.end());
        return found;
    }

    fs::path folder;
    long peakKiB = 0;      // peak resident memory of the last run
    double cpuSeconds = 0; // processor time of the last run, user and system

  private:
    void keep(const rusage& usage) {
        peakKiB = usage.ru_maxrss;
        auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
        cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    }
    // The child: environment, folder, stdout and stderr to stdout.txt and stderr.txt, then the
    // game.
    [[noreturn]] void start(std::vector<std::string>& args, const RunOptions& options) {
        for (const std::string& name : options.unsetenv) ::unsetenv(name.c_str());
        if (options.asnobody && geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(NOT_NOBODY);
        }
        // A program that gave up root is not traceable by itself, and the leak checker works
        // by tracing its own threads: it would crash at exit. Leaks are checked in every other
        // run.
        if (options.asnobody) {
            const char* asan = std::getenv("ASAN_OPTIONS");
            const std::string value = std::string(asan ? asan : "") + ":detect_leaks=0";
            ::setenv("ASAN_OPTIONS", value.c_str(), 1);
        }
        if (chdir(folder.c_str()) != 0) _exit(100);
        FILE* err = std::freopen("stderr.txt", "w", stderr);
        FILE* out = std::freopen("stdout.txt", "w", stdout);
        if (!err || !out) _exit(101);
        // Wine reserves more address space than that before it starts a program.
        const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};
        if (options.limited && ADDRESS_LIMIT && !windowsgame() && setrlimit(RLIMIT_AS, &limit) != 0)
            _exit(104);
        std::vector<char*> argv = {const_cast<char*>(options.program)};
        if (windowsgame() && !options.linuxgame && std::string(options.program) == VANTORIX_EXE)
            argv = {std::getenv("VANTORIX_WINE"), windowsgame()};
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(options.asnobody ? NOT_NOBODY : 102);
    }
};

// Waits up to ten seconds for a line of the file that begins with prefix; its rest.
inline std::string awaitline(const GameFolder& game, const std::string& file,
                             const std::string& prefix) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
        for (const std::string& line : game.lines(file))
            if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
}

// Waits up to two minutes until the game's trace holds that many frames; false when it never
// does.
inline bool reached(const GameFolder& game, size_t frames) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (game.lines("trace.txt").size() < frames) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

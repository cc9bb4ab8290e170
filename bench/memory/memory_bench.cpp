// Peak resident memory of a drawn game as scripted runs play it: level 9, seed 7, the
// computer steering figure 1, 1500 frames on the offscreen surface (Mesa's llvmpipe), the
// game started as a child process in a fresh game folder with an empty script. The counters
// are the child's peak RSS in MiB and its CPU time; "Time" is its wall clock, and the "CPU"
// column only this program's own waiting. Three ways: llvmpipe with its own rasteriser
// threads (the default), with none (LP_NUM_THREADS=0: everything rasterised on the game's
// thread) and --nodraw (no OpenGL at all), which shows what the game itself needs. Each child
// takes several seconds; three repetitions each.
//
// Then the replays that cost the most to read, played back without drawing: the longest game
// a replay may hold (six hours) with its steering changing every frame (1 296 000 runs), and
// the largest file the game opens, 64 MiB of one line. Run from anywhere: ./memory_bench.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

enum Way { Threads, NoThreads, NoDraw };

struct Run {
    bool ok = false;
    double wallSeconds = 0, cpuSeconds = 0;
    double peakMb = 0;
};

double Seconds(const timeval& t) {
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

// Runs the game in the folder with the script and the arguments (after the program's name);
// ok when it ended with the status.
Run PlayIn(const std::filesystem::path& folder, const std::string& script,
           std::vector<std::string> args, Way way, int expected = 0) {
    Run run;
    args.insert(args.begin(), {VANTORIX_GAME, "--script", script});
    if (way == NoDraw) args.push_back("--nodraw");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child == 0) {
        // The figure is the offscreen surface's, even where a display is reachable.
        if (chdir(folder.c_str()) != 0) _exit(126);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        if (way == NoThreads)
            setenv("LP_NUM_THREADS", "0", 1);
        else
            unsetenv("LP_NUM_THREADS");
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1), dup2(quiet, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    const bool waited = child > 0 && wait4(child, &status, 0, &usage) == child;
    clock_gettime(CLOCK_MONOTONIC, &end);
    if (!waited || !WIFEXITED(status) || WEXITSTATUS(status) != expected) return run;
    run.ok = true;
    run.wallSeconds = double(end.tv_sec - start.tv_sec) + double(end.tv_nsec - start.tv_nsec) / 1e9;
    run.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    run.peakMb = double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    return run;
}

// A fresh game folder with the media linked in and an empty script; removed by the caller.
std::filesystem::path GameFolder() {
    char name[] = "/tmp/vantorix-memory-XXXXXX";
    if (!mkdtemp(name)) return {};
    const std::filesystem::path folder = name;
    std::error_code error;
    std::filesystem::create_directory_symlink(VANTORIX_MEDIA_DIR, folder / "media", error);
    std::ofstream(folder / "empty.txt").close();
    return folder;
}

Run PlayLevel(Way way) {
    const std::filesystem::path folder = GameFolder();
    const Run run =
        PlayIn(folder, "empty.txt",
               {"--level", "9", "--seed", "7", "--autopilot", "5", "--frames", "1500"}, way);
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    return run;
}

enum Worst { SixHours, OneLine };

// The worst replays, with the header of a game this build recorded (its version and figure
// hash), so the whole file is read.
Run PlayWorstReplay(Worst worst) {
    const std::filesystem::path folder = GameFolder();
    // A game left with Escape, so that it is recorded.
    std::ofstream(folder / "leave.txt") << "answer no\n150 tap 27\n";
    Run run = PlayIn(folder, "leave.txt",
                     {"--custom", "players=2", "--record", "short.txt", "--frames", "300"}, NoDraw);
    std::ifstream in(folder / "short.txt");
    std::string header, line;
    while (std::getline(in, line) && line.rfind("inputs ", 0) != 0) header += line + "\n";
    std::ofstream out(folder / "worst.txt");
    if (worst == SixHours) {
        out << header << "inputs 1296000\n";
        for (int i = 0; i < 1296000; ++i) out << (i % 2 ? "1 1\n" : "1 2\n");
        out << "hashes 0\nend\n";
    } else {
        out << header.substr(0, header.find("\nmode ")) << "\nmode ";
        const std::string block(1 << 20, 'x');
        for (int i = 0; i < 63; ++i) out << block;
    }
    out.close();
    if (run.ok && !header.empty()) {
        run = worst == SixHours ? PlayIn(folder, "empty.txt",
                                         {"--replay", "worst.txt", "--frames", "3000"}, NoDraw)
                                : PlayIn(folder, "empty.txt", {"--replay", "worst.txt"}, NoDraw, 1);
    }
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    return run;
}

void BM_WorstReplayPeakMemory(benchmark::State& state) {
    const Worst worst = Worst(state.range(0));
    Run run;
    for (auto _ : state) {
        run = PlayWorstReplay(worst);
        if (!run.ok) {
            state.SkipWithError("the replay was not played or refused as it should be");
            return;
        }
        state.SetIterationTime(run.wallSeconds);
    }
    state.counters["peak_MiB"] = run.peakMb;
    state.SetLabel(worst == SixHours ? "six hours, 1 296 000 runs" : "64 MiB of one line");
}

void BM_DrawnLevelPeakMemory(benchmark::State& state) {
    const Way way = Way(state.range(0));
    Run run;
    for (auto _ : state) {
        run = PlayLevel(way);
        if (!run.ok) {
            state.SkipWithError("the game did not run to its frame limit");
            return;
        }
        state.SetIterationTime(run.wallSeconds);
    }
    state.counters["peak_MiB"] = run.peakMb;
    state.counters["cpu_s"] = run.cpuSeconds;
    state.SetLabel(way == Threads     ? "llvmpipe threads"
                   : way == NoThreads ? "LP_NUM_THREADS=0"
                                      : "--nodraw");
}

} // namespace

BENCHMARK(BM_DrawnLevelPeakMemory)
    ->Arg(Threads)
    ->Arg(NoThreads)
    ->Arg(NoDraw)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_WorstReplayPeakMemory)
    ->Arg(SixHours)
    ->Arg(OneLine)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

BENCHMARK_MAIN();

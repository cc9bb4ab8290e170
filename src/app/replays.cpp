// Every game of a series is recorded: its replay goes to replays/ in the saves folder under
// the date and the mode, and only the newest REPLAYSKEPT files stay there. A replay that
// cannot be written is said on stderr and the game goes on; nothing else depends on it.
#include "app/replays.h"
#include "app/app.h"
#include "match/match.h"
#include "match/recordedinput.h"
#include "match/routines.h"
#include "runtime/files.h"
#include "runtime/random.h"
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// "replays/2026-12-09-061530-custom.txt", or "...-custom-2.txt" when that one exists.
std::string newreplayname(const std::string& mode) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
    const std::string base = std::string(REPLAYFOLDER) + "/" + stamp + "-" + mode;
    std::string name = base + ".txt";
    for (int n = 2; fs::exists(name); ++n) name = base + "-" + std::to_string(n) + ".txt";
    return name;
}

void prunereplays() {
    std::vector<fs::path> replays = replayfiles();
    if (replays.size() <= REPLAYSKEPT) return;
    std::error_code ec;
    for (size_t i = 0; i + REPLAYSKEPT < replays.size(); ++i) fs::remove(replays[i], ec);
}

} // namespace

void savereplay(const Replay& replay, std::string& record) {
    std::string path = record, error;
    record.clear();
    std::error_code ec;
    if (path.empty()) {
        fs::create_directories(REPLAYFOLDER, ec);
        path = newreplayname(replay.start.mode);
    }
    if (!ReplaceFileContents(path, replaytext(replay), error)) {
        std::fprintf(stderr, "vantorix: the replay was not saved: %s\n", error.c_str());
        return;
    }
    if (path.rfind(REPLAYFOLDER, 0) == 0) prunereplays();
}

std::vector<fs::path> replayfiles() {
    std::vector<fs::path> found;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(REPLAYFOLDER, ec)) {
        if (entry.is_regular_file(ec) && entry.path().extension() == ".txt") {
            found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

uint64_t gamefigures() {
    std::string bytes;
    return ReadWholeFile(figurefile(), 16 * MiB, bytes) ? figurehash(bytes) : 0;
}

Replay replaystart(const Tmatch& match, const MatchStart& start, const std::array<int, 4>& wins) {
    Replay replay;
    replay.version = VANTORIX_VERSION;
    replay.figures = gamefigures();
    replay.start = start;
    replay.fireworks = match.fireworks;
    replay.random = RandomState();
    replay.wins = wins;
    replay.autopilot = match.autopilot;
    replay.startscore = match.startscore;
    replay.entrythreshold = match.entrythreshold;
    return replay;
}

int Tapp::playrecorded(Tmatch& match, const MatchStart& start, std::array<int, 4>& wins) {
    InputSource* const players = match.source;
    RecordingInput recorder(*players);
    Replay& replay = recorder.replay;
    replay = replaystart(match, start, wins);
    match.source = &recorder;
    const int result = match.rungame(start.mode, start.level, &start.multi, &start.custom, wins);
    match.source = players;
    if (!replay.runs.empty()) savereplay(replay, tools.record);
    return result;
}

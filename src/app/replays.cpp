// Every game of a series is recorded: its replay goes to replays/ in the saves folder under
// the date and the mode, and only the newest REPLAYSKEPT files stay there. A replay that
// cannot be written is said on stderr and the game goes on; nothing else depends on it.
#include "app/replays.h"
#include "app/app.h"
#include "match/match.h"
#include "match/recordedinput.h"
#include "match/routines.h"
#include "runtime/files.h"
#include "runtime/folders.h"
#include "runtime/random.h"
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr size_t STAMP = 17; // "2026-12-09-061530"
const char* const MODES[] = {"levels", "custom", "multiplayer"};

bool digits(const std::string& text, size_t from, size_t count) {
    if (from + count > text.size() || count == 0) return false;
    for (size_t i = from; i < from + count; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

// Oldest first: the stamp, then the number of a second replay in the same second.
std::pair<std::string, long> age(const std::string& name) {
    const size_t dash = name.rfind('-'), dot = name.rfind('.');
    const bool counted = dash > STAMP && digits(name, dash + 1, dot - dash - 1);
    return {name.substr(0, STAMP), counted ? std::stol(name.substr(dash + 1, dot - dash - 1)) : 1};
}

// "replays/2026-12-09-061530-custom.txt", or "...-custom-2.txt" when that one exists. Empty,
// with ec set, when the folder cannot be looked into.
std::string newreplayname(const std::string& mode, std::error_code& ec) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
    const std::string base = std::string(REPLAYFOLDER) + "/" + stamp + "-" + mode;
    std::string name = base + ".txt";
    for (int n = 2; fs::exists(name, ec) && n < 1000; ++n) {
        name = base + "-" + std::to_string(n) + ".txt";
    }
    return ec ? std::string() : name;
}

void prunereplays() {
    const std::vector<fs::path> replays = replayfiles();
    std::error_code ec;
    for (size_t i = 0; i + REPLAYSKEPT < replays.size(); ++i) fs::remove(replays[i], ec);
}

} // namespace

bool isreplayname(const std::string& name) {
    const bool stamped = digits(name, 0, 4) && name[4] == '-' && digits(name, 5, 2) &&
                         name[7] == '-' && digits(name, 8, 2) && name[10] == '-' &&
                         digits(name, 11, 6) && name.size() > STAMP && name[STAMP] == '-';
    if (!stamped || name.size() < 4 || name.compare(name.size() - 4, 4, ".txt") != 0) return false;
    const std::string rest = name.substr(STAMP + 1, name.size() - STAMP - 5);
    for (const char* mode : MODES) {
        const std::string m = mode;
        if (rest == m) return true;
        if (rest.compare(0, m.size() + 1, m + "-") == 0 &&
            digits(rest, m.size() + 1, rest.size() - m.size() - 1) &&
            rest.size() - m.size() - 1 <= 3)
            return true;
    }
    return false;
}

void savereplay(const Replay& replay, MatchTools& tools) {
    std::string path = tools.record, error;
    const bool named = !path.empty();
    tools.record.clear();
    if (!named) {
        std::error_code ec;
        fs::create_directories(REPLAYFOLDER, ec);
        if (!ec) path = newreplayname(replay.start.mode, ec);
        if (ec) path.clear(), error = std::string(REPLAYFOLDER) + ": " + ec.message();
    }
    if (!path.empty() && ReplaceFileContents(path, replaytext(replay), error)) {
        if (!named) prunereplays();
        return;
    }
    if (named) {
        std::fprintf(stderr, "vantorix: the replay was not saved: %s\n", error.c_str());
    } else if (!tools.replaysrefused) {
        std::fprintf(stderr, "vantorix: replays cannot be kept: %s\n", error.c_str());
        tools.replaysrefused = true;
    }
}

std::vector<fs::path> replayfiles(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = TextFromPath(it->path().filename());
        // A link is not the game's own file, whatever it is called.
        if (isreplayname(name) && it->symlink_status(ec).type() == fs::file_type::regular)
            found.push_back(it->path());
    }
    std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
        return age(TextFromPath(a.filename())) < age(TextFromPath(b.filename()));
    });
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
    replay.random = match.random.state;
    replay.wins = wins;
    replay.autopilot = match.autopilot;
    replay.startscore = match.startscore;
    replay.entrythreshold = match.entrythreshold;
    return replay;
}

void setupfrom(const Replay& replay, Tmatch& match) {
    match.fireworks = replay.fireworks;
    match.autopilot = replay.autopilot;
    match.startscore = match.score = replay.startscore;
    match.entrythreshold = replay.entrythreshold;
    match.random.state = replay.random;
}

int Tapp::playrecorded(Tmatch& match, const MatchStart& start, std::array<int, 4>& wins) {
    InputSource* const players = match.source;
    RecordingInput recorder(*players);
    Replay& replay = recorder.replay;
    replay = replaystart(match, start, wins);
    match.source = &recorder;
    const int result = match.rungame(start.mode, start.level, &start.multi, &start.custom, wins);
    endmatch(match);
    match.source = players;
    if (!replay.runs.empty()) savereplay(replay, tools);
    return result;
}

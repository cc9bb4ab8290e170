// Watching a replay: the recorded game played again from its start and its records, drawn and
// heard like the original, checked against the recorded state hashes as it goes, so a replay
// that goes differently stops and says where instead of showing a wrong game. The same player
// runs the main menu's attract mode, silently and until any key.
#include "app/app.h"
#include "app/replays.h"
#include "match/match.h"
#include "match/recordedinput.h"
#include "match/routines.h"
#include "runtime/dialog.h"
#include "runtime/files.h"
#include "runtime/folders.h"
#include "runtime/keyboard.h"
#include "runtime/random.h"
#include "runtime/text.h"

namespace {

constexpr int FASTSPEED = 4;          // frames a shown frame stands for with Space
constexpr int ATTRACTRESULT = 360;    // an attract game leaves a result screen after 6 s
constexpr long ATTRACTFRAMES = 36000; // a computer game for attract mode lasts 10 minutes
constexpr long NOTSETUP = -2;         // playback: the game could not be set up
// Attract mode plays only replays of an ordinary size (an hour of play takes about 100 KiB), so
// the idle menu never spends time or memory on a file someone left there.
constexpr long long ATTRACTLIMIT = MiB;

// The recorded records, and the watcher's own keys: Escape leaves and Space switches the
// speed; in attract mode any key or button leaves.
class Watching : public ReplayInput {
  public:
    Watching(Replay replay, bool attract) : ReplayInput(std::move(replay)), attract_(attract) {}
    bool leaving(const Tmatch& match) override {
        if (attract_ ? AnyInput() : KeyDown(KEY_ESCAPE) != 0) left = true;
        if (!attract_ && KeyHits(KEY_SPACE)) fast = !fast;
        return left || ReplayInput::leaving(match);
    }
    bool recordingover(const Tmatch& match) { return ReplayInput::leaving(match); }

    bool fast = false;
    bool left = false; // the watcher left

  private:
    bool attract_;
};

bool refuse(const std::string& text, bool quiet) {
    if (!quiet) Notify("vantorix: " + text, 1);
    return false;
}

// Reads a replay of at most limit bytes and checks that this game can play it; false with the
// reason said (unless quiet).
bool loadreplay(const std::string& path, long long limit, Replay& replay, bool quiet) {
    std::string error;
    FileProblem problem;
    File file = OpenRegularFile(path, limit, &problem);
    if (!file) return refuse(DescribeProblem(path, problem), quiet);
    FileInput in(std::move(file));
    if (!parsereplay(in, replay, error)) return refuse(path + " " + error, quiet);
    if (in.failed()) return refuse(path + ": " + READ_BROKE_OFF, quiet);
    if (replay.version != VANTORIX_VERSION) {
        return refuse(path + ": recorded by version " + Printable(replay.version) +
                          ", this game is version " VANTORIX_VERSION,
                      quiet);
    }
    if (replay.figures != gamefigures()) {
        return refuse(path + ": recorded with another figure file than " + figurefile(), quiet);
    }
    return true;
}

// Plays the recorded game. The frame whose state first differed from the recording, -1 when
// none did, or NOTSETUP.
long playback(Tapp& app, Replay replay, bool attract) {
    Tmatch match;
    app.configurematch(match);
    setupfrom(replay, match);
    if (attract) {
        match.musicvolume = 0;
        match.listener = nullptr;
        match.trace = nullptr;
        match.synctest = nullptr;
    }
    const MatchStart start = replay.start;
    const std::array<int, 4> wins = replay.wins;
    Watching watching(std::move(replay), attract);
    match.source = &watching;
    if (!match.startgame(start.mode, start.level, &start.multi, &start.custom, wins)) {
        return NOTSETUP; // the figure file's own message was said
    }
    if (match.musicvolume > 0)
        startmusic(match.sounds, match.musicchannel, match.musicvolume / 10.0f);
    auto over = [&] {
        return match.state == "end" || (attract && match.state != "normal" &&
                                        match.frame - match.stateframe > ATTRACTRESULT);
    };
    for (;;) {
        match.playframe();
        if (match.input.leave || over()) break;
        // Faster: the frames in between are played without being drawn or heard.
        bool recordingover = false;
        for (int i = 1; watching.fast && i < FASTSPEED && !recordingover && !over(); ++i) {
            match.input = watching.read(match);
            match.playframe(false);
            recordingover = watching.recordingover(match);
        }
        if (recordingover || over()) break;
    }
    stopmusic(match.musicchannel);
    return watching.mismatch;
}

// For attract mode without replays: four computer figures, figure 1 too.
Replay computergame(const Tcustomsettings& settings) {
    Replay game;
    game.start.custom = settings;
    game.start.custom.players = 4;
    game.random = GameRandom().state;
    game.autopilot = 4;
    game.runs.emplace_back(MatchInput{}, ATTRACTFRAMES);
    return game;
}

} // namespace

int Tapp::watchreplay(const std::string& path) {
    Replay replay;
    if (!loadreplay(path, REPLAY_LIMIT, replay, false)) return 1;
    const long mismatch = playback(*this, std::move(replay), false);
    if (mismatch == NOTSETUP) return 1;
    endonsyncfailure();
    if (mismatch >= 0) {
        refuse(path + ": the game went differently from its recording by frame " +
                   std::to_string(mismatch),
               false);
        return 1;
    }
    return 0;
}

void Tapp::attract() {
    const std::vector<std::filesystem::path> replays = replayfiles();
    Replay replay;
    if (replays.empty() || !loadreplay(TextFromPath(replays.back()), ATTRACTLIMIT, replay, true)) {
        replay = computergame(customsettings);
    }
    playback(*this, std::move(replay), true);
    FlushKeys();
}

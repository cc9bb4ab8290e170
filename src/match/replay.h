// A recorded game as a value and as a text file. The game plays bit for bit the same from
// the same start and the same inputs, so a replay keeps only those: the game's version, a
// hash of the figure file, the mode, level and settings, the random generator's state before
// the set-up, the tally, then one MatchInput record per frame (run-length coded: a line per
// run of equal records) and a hash of the game's state every HASHEVERY frames, which is how a
// replay that goes differently is caught near the frame where it does.
#pragma once
#include "match/input.h"
#include "match/settings.h"
#include <array>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

inline constexpr int HASHEVERY = 60;
// A replay file is refused beyond this size (hours of play take a few hundred KiB), and one
// of a game longer than six hours at 60 frames a second (played back, its records are held
// in memory, 40 bytes a frame).
inline constexpr long long REPLAY_LIMIT = 64LL * 1024 * 1024;
inline constexpr long REPLAY_MOST_FRAMES = 6L * 3600 * 60;

// How a game was started: what the series driver hands to rungame.
struct MatchStart {
    std::string mode = "custom"; // "levels", "custom" or "multiplayer"
    int level = 1;
    Tcustomsettings custom;
    Tmultisettings multi;
};

// A record in a word: five bits per figure (left, right, up, down, diagonal), then the flags
// (pause, fillbar1, fillbar2, enter, space, next, leave). The typed character and the pad's
// pick are not in it. unpackinput is false for a word with bits no record has.
uint32_t packinput(const MatchInput& in);
bool unpackinput(uint32_t word, MatchInput& in);

// A run of equal records, packed: a six-hour game may hold a million runs, 12 bytes each.
struct InputRun {
    InputRun() = default;
    InputRun(const MatchInput& in, long frames);
    MatchInput input() const;

    uint32_t word = 0; // the record as packinput gives it
    int16_t pick = 0;  // and what the word leaves out
    uint8_t typed = 0;
    uint32_t count = 0; // frames
};

struct Replay {
    std::string version;
    uint64_t figures = 0; // figurehash of the figure file it was played with
    MatchStart start;
    int fireworks = 1; // the fireworks draw random numbers, so they are part of the game
    int random = 0;    // the generator's state just before the set-up
    std::array<int, 4> wins{};
    int autopilot = -1;
    int startscore = 0;
    int entrythreshold = 0;
    int levelclock = -1; // ms from a level's start to its win (the time bonus); -1 none
    std::vector<InputRun> runs;
    std::vector<uint64_t> hashes; // the state before frame HASHEVERY * (i + 1)

    long frames() const;
    // Appends one frame's record.
    void add(const MatchInput& input);
    // Changes the leave flag of the last frame's record (set once the frame was shown).
    void setleave(bool leave);
    // Every frame's record, in order.
    std::vector<MatchInput> records() const;
};

// The file's text.
std::string replaytext(const Replay& replay);
// The text of the replay's start alone: a replay of no records yet, whatever it holds.
std::string replaystarttext(const Replay& replay);
// Reads a replay line by line; false with "line N: reason" in error for a damaged file. Lines
// are short and every count is bounded, so no file takes more memory than a six-hour game.
bool parsereplay(std::istream& in, Replay& into, std::string& error);
bool parsereplay(const std::string& text, Replay& into, std::string& error);
// The hash a replay keeps of a figure file's bytes.
uint64_t figurehash(const std::string& bytes);

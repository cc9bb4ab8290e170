// The messages machines send each other, as bytes. Every reader checks sizes and ranges, so a
// packet cut short or made up by someone else is dropped, never trusted.
#pragma once
#include "match/input.h"
#include "match/replay.h"
#include "match/settings.h"
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class Message : uint8_t {
    Hello = 1, // a machine that wants to join: its version, figure hash and players
    Refuse,    // the host says no, and why
    Start,     // the host's settings, seed, the machines and which one the receiver is
    Parts,     // the parts of frames not yet acknowledged, and acknowledgements
    Hash,      // the state hash of a final frame
    Over,      // the series ends for everyone: a machine left, went silent or out of sync
    Echo,      // the host asks a joining machine to send it straight back: the round trip
    Watch,     // the host to a watching machine: a game of the series begins (its replay's start)
    Records,   // the host to a watching machine: final records of the game, in order
    Watchers,  // the host to every machine: how many machines watch the game
    Away,      // the host to the others: a machine is away, and how long it has to come back
    Resume,    // the host to a machine that came back: the game it is in and its own parts
};

struct Hello {
    std::string version;
    uint64_t figures = 0;
    uint8_t players = 1; // at that machine; 0 for a machine that only watches
    uint64_t token = 0;  // a machine coming back to its seat: the seat's token, else 0
};

struct Start {
    int32_t seed = 0;
    uint8_t machines = 2;
    uint8_t you = 1;
    Tmultisettings settings;                     // players: the figures in all
    std::array<int8_t, 4> seats{-1, -1, -1, -1}; // the machine of each figure, -1 for none
    // The host's FIREWORKS: bursts draw random numbers, so every machine plays the host's
    // choice (and shows them only if its own player wants them).
    uint8_t fireworks = 1;
    uint64_t token = 0; // what the receiver shows to take its seat back after losing it
};

// A run of frames of one machine's parts, from frame first on.
struct PartBlock {
    uint8_t origin = 0;
    int32_t first = 0;
    std::vector<MatchInput> parts;
};

struct Parts {
    uint32_t game = 0;
    int32_t frame = 0; // the frame the sender plays now: how far ahead of the others it is
    std::vector<std::pair<uint8_t, int32_t>> acks; // machine, the next frame wanted of it
    std::vector<PartBlock> blocks;
};

// A game of the series begins for a watching machine: its number and the start of its replay
// as the players' machines record it (the text of a replay with no records yet).
struct Watch {
    uint32_t game = 0;
    std::string start;
};

// The final records of a game from frame first on, run-length coded as a replay keeps them.
struct Records {
    uint32_t game = 0;
    int32_t first = 0;
    std::vector<InputRun> runs;
};
inline constexpr size_t MOSTRUNS = 512; // in one Records message

// A machine of the game is away: its seat, and the milliseconds it has left to come back (0:
// it is back).
struct Away {
    uint8_t seat = 0;
    uint32_t ms = 0;
};

// The host to a machine that took its seat back: the game of the series being played (its
// number and its replay's start), and how many frames of its own parts the others had (they
// come in the Parts that follow, with everyone else's from the game's first frame).
struct Resume {
    uint32_t game = 0;
    int32_t own = 0;
    std::string start;
};

struct Hash {
    uint32_t game = 0;
    int32_t frame = 0;
    uint64_t hash = 0;
};

// Why a series ended for everyone: a machine left, went silent or out of step, or the server
// that relays the game stopped answering.
enum class OverReason : uint8_t { Left = 1, Silent, OutOfSync, ServerLost };
struct Over {
    OverReason reason = OverReason::Left;
    uint8_t machine = 0; // the machine that left or went silent
};

std::vector<uint8_t> encode(const Hello& m);
std::vector<uint8_t> encode(const Start& m);
std::vector<uint8_t> encode(const Parts& m);
std::vector<uint8_t> encode(const Hash& m);
std::vector<uint8_t> encode(const Over& m);
std::vector<uint8_t> encode(const Watch& m);
std::vector<uint8_t> encode(const Records& m);
std::vector<uint8_t> encodewatchers(int watching);
std::vector<uint8_t> encode(const Away& m);
std::vector<uint8_t> encode(const Resume& m);
std::vector<uint8_t> encoderefusal(const std::string& reason);
// An echo: the host's clock when it asked.
std::vector<uint8_t> encodeecho(uint64_t stamp);

// The kind of a packet, when it has one.
std::optional<Message> kindof(const std::vector<uint8_t>& bytes);
bool decode(const std::vector<uint8_t>& bytes, Hello& m);
bool decode(const std::vector<uint8_t>& bytes, Start& m);
bool decode(const std::vector<uint8_t>& bytes, Parts& m);
bool decode(const std::vector<uint8_t>& bytes, Hash& m);
bool decode(const std::vector<uint8_t>& bytes, Over& m);
bool decode(const std::vector<uint8_t>& bytes, Watch& m);
bool decode(const std::vector<uint8_t>& bytes, Records& m);
bool decodewatchers(const std::vector<uint8_t>& bytes, int& watching);
bool decode(const std::vector<uint8_t>& bytes, Away& m);
bool decode(const std::vector<uint8_t>& bytes, Resume& m);
bool decoderefusal(const std::vector<uint8_t>& bytes, std::string& reason);
bool decodeecho(const std::vector<uint8_t>& bytes, uint64_t& stamp);

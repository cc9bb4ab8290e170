// Where replays are kept: the saves folder's replays/, the newest REPLAYSKEPT files.
#pragma once
#include "match/replay.h"
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class Tmatch;

inline constexpr const char* REPLAYFOLDER = "replays";
inline constexpr size_t REPLAYSKEPT = 50;

struct MatchTools;

// The game's own replays in the replays folder, oldest first: only files named as the game
// names them ("2026-12-09-061530-custom.txt", "...-custom-2.txt"), whatever else is there.
std::vector<std::filesystem::path> replayfiles(const std::filesystem::path& folder = REPLAYFOLDER);
// Whether a file name is one the game gives its replays.
bool isreplayname(const std::string& name);
// Writes the replay to the replays folder, or to tools.record when it names a file (then
// emptied, so only one game goes there). A replays folder that refuses it is said once a run
// (tools.replaysrefused) and the games play on.
void savereplay(const Replay& replay, MatchTools& tools);
// The start of a replay of the match about to start (set up by the series, not yet begun).
Replay replaystart(const Tmatch& match, const MatchStart& start, const std::array<int, 4>& wins);
// The match (configured by the app, not yet begun) set up as the replay's game began: its
// fireworks, computer steering, score and random generator.
void setupfrom(const Replay& replay, Tmatch& match);
// The hash of this game's figure file, as its replays keep it (0 when it cannot be read).
uint64_t gamefigures();

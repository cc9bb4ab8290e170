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

// The replays kept, oldest first (their names start with the date).
std::vector<std::filesystem::path> replayfiles();
// Writes the replay to the replays folder, or to record when it names a file (then emptied,
// so only one game goes there); a failure is said on stderr.
void savereplay(const Replay& replay, std::string& record);
// The start of a replay of the match about to start (set up by the series, not yet begun).
Replay replaystart(const Tmatch& match, const MatchStart& start, const std::array<int, 4>& wins);
// The hash of this game's figure file, as its replays keep it (0 when it cannot be read).
uint64_t gamefigures();

// Where replays are kept: the saves folder's replays/, the newest REPLAYSKEPT files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

inline constexpr const char* REPLAYFOLDER = "replays";
inline constexpr size_t REPLAYSKEPT = 50;

// The replays kept, oldest first (their names start with the date).
std::vector<std::filesystem::path> replayfiles();
// The hash of this game's figure file, as its replays keep it (0 when it cannot be read).
uint64_t gamefigures();

// libFuzzer target: any bytes as a replay file. Reading never crashes and never takes more
// than a six-hour game holds; a replay it reads is written out again as text that reads back
// to the same text.
#include "match/replay.h"
#include "match/snapshot.h"
#include <cstdint>
#include <cstdlib>
#include <sstream>

// The figure file's hash is no part of reading a replay.
uint64_t hashbytes(const void*, size_t, uint64_t hash) {
    return hash;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    Replay replay;
    std::string error;
    if (!parsereplay(in, replay, error)) {
        if (error.rfind("line ", 0) != 0 || error.size() > 400) std::abort();
        return 0;
    }
    const long frames = replay.frames();
    if (frames > REPLAY_MOST_FRAMES || long(replay.hashes.size()) > frames / HASHEVERY)
        std::abort();
    for (int wins : replay.wins)
        if (wins < 0 || wins > MOSTWINS) std::abort();
    const std::string text = replaytext(replay);
    Replay again;
    if (!parsereplay(text, again, error) || replaytext(again) != text) std::abort();
    return 0;
}

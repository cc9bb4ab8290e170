// Giving pads to players; see padplayers.h.
#include "match/padplayers.h"
#include "runtime/pads.h"

namespace {
constexpr int order[4] = {2, 3, 4, 1};
} // namespace

std::vector<std::pair<int, int>> PadPlayers::update(const std::vector<Seen>& pads) {
    std::vector<std::pair<int, int>> given;
    for (const Seen& seen : pads) {
        for (int p = 1; p <= 4; ++p) {
            Slot& slot = slots_[p];
            if (slot.pad == seen.pad && !seen.plugged) slot.pad = 0, slot.lost = true;
        }
    }
    for (const Seen& seen : pads) {
        if (seen.pad <= placed_) continue;
        placed_ = seen.pad;
        if (!seen.plugged) continue;
        int player = 0;
        for (int p = 1; p <= 4 && !player; ++p)
            if (slots_[p].lost && slots_[p].identity == seen.identity) player = p;
        for (int p : order)
            if (!player && slots_[p].pad == 0) player = p;
        if (!player) continue; // more pads than players
        slots_[player] = {seen.pad, false, seen.identity};
        given.emplace_back(seen.pad, player);
    }
    return given;
}

void PadPlayers::update() {
    std::vector<Seen> pads;
    const int count = PadCount();
    for (int n = 1; n <= count; ++n) pads.push_back({n, PadPlugged(n), PadIdentity(n)});
    for (auto [pad, player] : update(pads)) PadSetPlayer(pad, player);
}

int PadPlayers::padof(int player) const {
    return player >= 1 && player <= 4 ? slots_[player].pad : 0;
}

bool PadPlayers::lost(int player) const {
    return player >= 1 && player <= 4 && slots_[player].lost;
}

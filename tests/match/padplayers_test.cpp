// Pads given to players: in plug-in order to players 2, 3, 4 and then 1; a pad that comes back
// gets its player back; a new pad takes the place of one that is gone.
#include "match/padplayers.h"
#include <gtest/gtest.h>

namespace {

using Seen = PadPlayers::Seen;

std::vector<int> padsof(const PadPlayers& p) {
    return {p.padof(1), p.padof(2), p.padof(3), p.padof(4)};
}

} // namespace

TEST(PadPlayers, PlugInOrderComebacksAndFreeSlots) {
    PadPlayers players;
    auto given = players.update({{1, true, "a"}, {2, true, "b"}});
    EXPECT_EQ(given, (std::vector<std::pair<int, int>>{{1, 2}, {2, 3}}));
    players.update(
        {{1, true, "a"}, {2, true, "b"}, {3, true, "c"}, {4, true, "d"}, {5, true, "e"}});
    EXPECT_EQ(padsof(players), (std::vector<int>{4, 1, 2, 3})) << "player 1 last; a fifth waits";

    // Pad a (player 2) and pad c (player 4) are pulled out: both players lose their pads.
    std::vector<Seen> now = {
        {1, false, "a"}, {2, true, "b"}, {3, false, "c"}, {4, true, "d"}, {5, true, "e"}};
    players.update(now);
    EXPECT_TRUE(players.lost(2) && players.lost(4));
    EXPECT_EQ(players.padof(2), 0);
    EXPECT_FALSE(players.lost(3));

    // c comes back under a new number: it is player 4's again, not the first free player's.
    now.push_back({6, true, "c"});
    EXPECT_EQ(players.update(now), (std::vector<std::pair<int, int>>{{6, 4}}));
    EXPECT_FALSE(players.lost(4));
    // Another pad takes the place a is missing from.
    now.push_back({7, true, "f"});
    EXPECT_EQ(players.update(now), (std::vector<std::pair<int, int>>{{7, 2}}));
    EXPECT_FALSE(players.lost(2));
    EXPECT_EQ(padsof(players), (std::vector<int>{4, 7, 2, 6}));
    // Nothing new: nothing changes.
    EXPECT_TRUE(players.update(now).empty());
}

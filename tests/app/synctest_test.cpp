// The sync test through the real program: every frame played again from eight frames back
// must come out the same, over more than 20 000 frames of the levels campaign, a four-figure
// custom game won with fireworks, and a replay of it.
#include "gamerun.h"
#include <cstdlib>

namespace {

// The frames the run says it checked, -1 when it says nothing.
long checked(const GameFolder& game) {
    const std::string said = game.text("stderr.txt");
    const std::string head = "synctest: ", tail = " frames checked, each played again from 8 back";
    const size_t at = said.find(head), end = said.find(tail);
    if (at == std::string::npos || end == std::string::npos || end <= at) return -1;
    const std::string number = said.substr(at + head.size(), end - at - head.size());
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::atol(number.c_str());
}

} // namespace

TEST(Synctest, levelsCustomAndAReplayPlayTheSameTwice) {
    GameFolder game;
    // The computer plays the campaign from level 1; Enter every 400 frames closes the result
    // screens as they come.
    std::string enter = "answer no\n";
    for (int f = 400; f < 11000; f += 400) enter += std::to_string(f) + " tap 13\n";
    EXPECT_EQ(game.run(enter, {"--level", "1", "--autopilot", "3", "--seed", "5", "--nodraw",
                               "--synctest", "8", "--frames", "11000"}),
              0)
        << game.text("stderr.txt");
    const long levels = checked(game);
    EXPECT_GT(levels, 10000) << game.text("stderr.txt");

    // Four figures, figure 1's bar filled at frame 3200 (fireworks on, the default), the
    // tally left with Enter, the next game left with Escape; the first game recorded.
    const std::string won = "answer no\n200 down 37\n3200 down 49\n3200 down 52\n3202 up 49\n"
                            "3202 up 52\n3700 tap 13\n6000 tap 27\n";
    EXPECT_EQ(game.run(won, {"--custom", "players=4,arena=9", "--seed", "7", "--nodraw",
                             "--synctest", "8", "--record", "won.txt", "--frames", "6500"}),
              0)
        << game.text("stderr.txt");
    const long custom = checked(game);
    EXPECT_GT(custom, 5500) << game.text("stderr.txt");
    EXPECT_NE(game.text("won.txt").find("\nwins 0 0 0 0\n"), std::string::npos);

    EXPECT_EQ(game.run("#\n", {"--replay", "won.txt", "--nodraw", "--synctest", "8"}), 0)
        << game.text("stderr.txt");
    const long replay = checked(game);
    EXPECT_GT(replay, 3000) << game.text("stderr.txt");
    EXPECT_GE(levels + custom + replay, 20000);
}

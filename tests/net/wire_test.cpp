// The messages between machines: what goes in comes out, and a packet cut short, padded or
// made up is refused rather than trusted.
#include "net/wire.h"
#include <gtest/gtest.h>

namespace {

Parts sample() {
    Parts p;
    p.game = 7;
    p.frame = 131;
    p.acks = {{0, 120}, {2, 118}};
    PartBlock block;
    block.origin = 1;
    block.first = 100;
    MatchInput steer;
    steer.figures[1] = {true, false, true, false, true};
    steer.enter = steer.leave = true;
    for (int i = 0; i < 40; ++i) block.parts.push_back(i < 30 ? steer : MatchInput{});
    p.blocks = {block, PartBlock{3, 5, {}}};
    return p;
}

} // namespace

TEST(Wire, MessagesComeOutAsTheyWentIn) {
    const Parts p = sample();
    const std::vector<uint8_t> bytes = encode(p);
    // The header (game and frame) and two acknowledgements, then forty frames in two runs of
    // six bytes.
    EXPECT_LE(bytes.size(), 47u);
    Parts back;
    ASSERT_TRUE(decode(bytes, back));
    EXPECT_EQ(back.game, 7u);
    EXPECT_EQ(back.frame, 131);
    EXPECT_EQ(back.acks, p.acks);
    ASSERT_EQ(back.blocks.size(), 2u);
    EXPECT_EQ(back.blocks[0].first, 100);
    EXPECT_EQ(back.blocks[0].parts, p.blocks[0].parts);
    EXPECT_EQ(back.blocks[1].origin, 3);

    Start start{-5, 3, 2, {}, {0, 0, 1, 2}};
    start.settings.players = 4;
    start.settings.arenanumber = 15;
    Start s;
    ASSERT_TRUE(decode(encode(start), s));
    EXPECT_EQ(s.seed, -5);
    EXPECT_EQ(s.you, 2);
    EXPECT_EQ(s.settings.arenanumber, 15);
    EXPECT_EQ(s.seats, start.seats);
    EXPECT_EQ(s.fireworks, 1);
    start.fireworks = 0;
    ASSERT_TRUE(decode(encode(start), s));
    EXPECT_EQ(s.fireworks, 0);
    start.fireworks = 2;
    EXPECT_FALSE(decode(encode(start), s));
    Hello h;
    ASSERT_TRUE(decode(encode(Hello{"0.1.0", 0xfeedULL}), h));
    EXPECT_EQ(h.version, "0.1.0");
    EXPECT_EQ(h.figures, 0xfeedULL);
    std::string reason;
    ASSERT_TRUE(decoderefusal(encoderefusal("the game is full"), reason));
    EXPECT_EQ(reason, "the game is full");
}

TEST(Wire, DamagedPacketsAreRefused) {
    const std::vector<uint8_t> good = encode(sample());
    Parts p;
    for (size_t cut = 0; cut < good.size(); ++cut) {
        EXPECT_FALSE(decode(std::vector<uint8_t>(good.begin(), good.begin() + long(cut)), p))
            << "cut at " << cut;
    }
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(decode(longer, p));
    EXPECT_FALSE(kindof({}).has_value());
    EXPECT_FALSE(kindof({99}).has_value());
    Hash h;
    EXPECT_FALSE(decode(good, h)) << "another kind of message";

    // A start for a machine that is not in the game, with a figure of nobody's or of a machine
    // that is not there, one that gives the receiver no figure, or settings out of range.
    Start s;
    ASSERT_TRUE(decode(encode(Start{1, 2, 1, {}, {0, 1, -1, -1}}), s));
    EXPECT_FALSE(decode(encode(Start{1, 2, 2, {}, {0, 1, -1, -1}}), s));
    EXPECT_FALSE(decode(encode(Start{1, 2, 1, {}, {0, -1, -1, -1}}), s));
    EXPECT_FALSE(decode(encode(Start{1, 2, 1, {}, {0, 2, -1, -1}}), s));
    EXPECT_FALSE(decode(encode(Start{1, 2, 1, {}, {0, 0, -1, -1}}), s));
    EXPECT_FALSE(decode(encode(Start{1, 2, 1, {}, {0, 1, 1, -1}}), s)) << "three figures of two";
    Start four{1, 4, 1, {}, {0, 1, -1, -1}};
    EXPECT_FALSE(decode(encode(four), s)) << "four machines, two of them seated";
    four.settings.players = 4;
    four.seats = {0, 1, 2, 3};
    EXPECT_TRUE(decode(encode(four), s));
    // An end that names a machine no game has.
    Over over;
    EXPECT_TRUE(decode(encode(Over{OverReason::Left, 3}), over));
    EXPECT_FALSE(decode(encode(Over{OverReason::Left, 255}), over));
    std::vector<uint8_t> bad = encode(Start{1, 2, 1, {}, {0, 1, -1, -1}});
    bad[bad.size() - 14] = 99; // the arena, before the four seats, the fireworks and the token
    EXPECT_FALSE(decode(bad, s));
    // A record with bits no record has.
    std::vector<uint8_t> flags = encode(sample());
    flags[flags.size() - 8] = 0xff; // the top byte of the last run's record (before block 2)
    EXPECT_FALSE(decode(flags, p));
}

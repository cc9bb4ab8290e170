// The impairment: its settings read strictly, packets lost and doubled about as often as asked,
// late within delay +- jitter, and reliable ones never lost nor overtaken.
#include "net/netsim.h"
#include <gtest/gtest.h>

TEST(NetSim, SettingsAreReadStrictly) {
    NetSim sim;
    std::string error;
    ASSERT_TRUE(parsenetsim("delay=60,jitter=20,loss=5,dup=2,seed=9", sim, error)) << error;
    EXPECT_EQ(sim.delay, 60);
    EXPECT_EQ(sim.jitter, 20);
    EXPECT_EQ(sim.loss, 5);
    EXPECT_EQ(sim.dup, 2);
    EXPECT_EQ(sim.seed, 9u);
    EXPECT_FALSE(parsenetsim("loss=101", sim, error));
    EXPECT_NE(error.find("loss must be a whole number from 0 to 100"), std::string::npos);
    EXPECT_FALSE(parsenetsim("delay=-1", sim, error));
    EXPECT_FALSE(parsenetsim("delay=5ms", sim, error));
    EXPECT_FALSE(parsenetsim("latency=5", sim, error));
    EXPECT_NE(error.find("unknown setting 'latency=5'"), std::string::npos);
    EXPECT_EQ(sim.delay, 60) << "a refused setting changes nothing";
}

TEST(NetSim, PacketsAreLostDoubledAndLate) {
    NetSim sim;
    sim.delay = 100;
    sim.jitter = 40;
    sim.loss = 10;
    sim.dup = 5;
    ImpairedQueue queue(sim);
    constexpr int SENT = 10000;
    for (int i = 0; i < SENT; ++i) queue.push({0, false, {uint8_t(i)}}, 1000 + i);
    EXPECT_TRUE(queue.due(1000 + 59).empty()) << "nothing before delay - jitter";
    const std::vector<Outgoing> out = queue.due(1000 + SENT + 140);
    EXPECT_NEAR(queue.dropped, SENT / 10, SENT / 50);
    EXPECT_NEAR(double(out.size()), SENT * 0.9 * 1.05, SENT / 50);
    EXPECT_TRUE(queue.due(1000000).empty());

    // Reliable packets all arrive, in the order they were sent.
    ImpairedQueue reliable(sim);
    for (int i = 0; i < 500; ++i) reliable.push({0, true, {uint8_t(i)}}, i);
    const std::vector<Outgoing> all = reliable.due(1000000);
    ASSERT_EQ(all.size(), 500u);
    for (int i = 0; i < 500; ++i) EXPECT_EQ(all[size_t(i)].bytes[0], uint8_t(i));
}

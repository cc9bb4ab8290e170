// Online sessions in one process, over the in-process network on a virtual clock: a host and
// two joiners play a game whose parts come late, out of order, twice or not at all, and every
// machine keeps the same game; a machine that stops answering or leaves is noticed in the
// network's time, never the wall clock's; a machine of another version is refused.
#include "../match/fixture.h"
#include "match/rollback.h"
#include "match/trace.h"
#include "net/host.h"
#include "net/joiner.h"
#include "net/localnet.h"
#include <cstdlib>
#include <fstream>
#include <memory>

namespace {

const GameIdentity identity{"1.2.3", 0x5eed};

struct Machine {
    std::unique_ptr<Session> session;
    Tmatch match;
    Given given;
    std::unique_ptr<Rollback> rollback;
    std::unique_ptr<MatchTrace> trace;
    bool answering = true; // false: this machine does nothing any more
};

// Each machine steers its figure in a pattern of its own; the host leaves at frame 700.
MatchInput part(int seat, long frame) {
    MatchInput in;
    const long turn = (frame / (31 + 11 * seat) + seat) % 4;
    in.figures[size_t(seat)] = {turn == 0, turn == 2, turn == 1, turn == 3, true};
    in.leave = seat == 0 && frame == 700;
    return in;
}

class Table {
  public:
    explicit Table(const NetSim& sim) : net(sim) {
        Tmultisettings settings;
        settings.players = 3;
        settings.arenanumber = 4;
        add(std::make_unique<Host>(net.host(), identity, settings, 77, 1, 1));
        add(std::make_unique<Joiner>(net.join(), identity, 1));
        add(std::make_unique<Joiner>(net.join(), identity, 1));
    }

    // Ticks of 16 ms until every machine has the start; false if that never comes.
    bool meet() {
        for (int tick = 0; tick < 200; ++tick) {
            bool all = true;
            for (auto& m : machines) all = m->session->lobby() && all;
            if (all) return true;
            net.advance(16);
        }
        return false;
    }

    // Every answering machine's game set up from the start it got, its trace in a file.
    void begin() {
        for (size_t k = 0; k < machines.size(); ++k) {
            Machine& m = *machines[k];
            Session& s = *m.session;
            s.begingame();
            m.match.screenwidth = 1024;
            m.match.screenheight = 768;
            m.match.source = &m.given;
            SeedRandom(m.match.random, s.seed());
            m.rollback = std::make_unique<Rollback>(s.machines(), s.self(), s.seats());
            m.trace = std::make_unique<MatchTrace>("trace" + std::to_string(k));
            m.rollback->trace = m.trace.get();
            Tmultisettings multi = s.settings();
            ASSERT_TRUE(m.match.startgame("multiplayer", 1, &multi, nullptr, {}));
        }
    }

    // One tick of 16 ms: every answering machine looks at the network and plays a frame if
    // it may. True while some machine's game goes on.
    bool tick() {
        bool going = false;
        for (auto& m : machines) {
            if (!m->answering) continue;
            Session& s = *m->session;
            Rollback& r = *m->rollback;
            s.pump(r);
            r.correct(m->match);
            s.watch(r);
            if (!s.failure().empty() || s.left()) continue;
            going = going || !s.settled(r);
            if (!r.canplay()) continue;
            const MatchInput mine = part(s.self(), r.frame());
            s.played(r.frame(), mine);
            m->match.input = r.begin(m->match, mine);
            if (r.playing()) m->match.playframe(false);
            r.end(m->match);
        }
        net.advance(16);
        return going;
    }

    void add(std::unique_ptr<Session> session) {
        machines.push_back(std::make_unique<Machine>());
        machines.back()->session = std::move(session);
    }

    LocalNet net;
    std::vector<std::unique_ptr<Machine>> machines;
};

using Sessions = MatchFolder;

TEST_F(Sessions, ThreeMachinesOverABadNetworkPlayOneGame) {
    Table table(NetSim{60, 25, 8, 4, 3});
    ASSERT_TRUE(table.meet());
    table.begin();
    int ticks = 0;
    while (table.tick() && ticks < 5000) ++ticks;
    EXPECT_LT(ticks, 5000);
    for (auto& m : table.machines) {
        EXPECT_EQ(m->session->failure(), "");
        EXPECT_TRUE(m->rollback->over());
        EXPECT_TRUE(m->rollback->left());
        EXPECT_EQ(m->rollback->leaver(), 0);
        EXPECT_GT(m->rollback->stats.rollbacks, 10);
        m->trace.reset();
    }
    const std::vector<std::string> trace = filelines("trace0");
    EXPECT_EQ(trace.size(), 701u);
    EXPECT_EQ(filelines("trace1"), trace);
    EXPECT_EQ(filelines("trace2"), trace);
    EXPECT_GT(table.machines[0]->session->roundtrip(), 60);
}

// A joiner that stops dead at its frame 300: 5 s of the network's time later the host says it
// stopped answering and tells the other joiner, which says so too.
TEST_F(Sessions, AMachineThatStopsAnsweringIsNoticedAfterFiveSeconds) {
    Table table(NetSim{30, 10, 2, 0, 5});
    ASSERT_TRUE(table.meet());
    table.begin();
    long long stopped = -1, noticed = -1;
    for (int tick = 0; tick < 2000 && noticed < 0; ++tick) {
        Machine& quiet = *table.machines[1];
        if (stopped < 0 && quiet.rollback->frame() >= 300) {
            quiet.answering = false;
            stopped = table.net.now();
        }
        table.tick();
        if (!table.machines[0]->session->failure().empty()) noticed = table.net.now();
    }
    ASSERT_GE(stopped, 0);
    ASSERT_GE(noticed, 0);
    EXPECT_GE(noticed - stopped, SILENCE_MS);
    EXPECT_LT(noticed - stopped, SILENCE_MS + 500);
    EXPECT_EQ(table.machines[0]->session->failure(), "PLAYER 2 STOPPED ANSWERING");
    for (int tick = 0; tick < 50; ++tick) table.tick();
    EXPECT_EQ(table.machines[2]->session->failure(), "PLAYER 2 STOPPED ANSWERING");
}

// A joiner leaves: the host and the other joiner hear whose player left.
TEST_F(Sessions, AMachineThatLeavesIsNamedByTheOthers) {
    Table table(NetSim{40, 10, 5, 5, 7});
    ASSERT_TRUE(table.meet());
    table.begin();
    for (int tick = 0; tick < 200; ++tick) table.tick();
    table.machines[2]->session->leave();
    EXPECT_TRUE(table.machines[2]->session->left());
    for (int tick = 0; tick < 30; ++tick) table.tick();
    EXPECT_EQ(table.machines[0]->session->failure(), "PLAYER 3 LEFT THE GAME");
    EXPECT_EQ(table.machines[1]->session->failure(), "PLAYER 3 LEFT THE GAME");
    EXPECT_EQ(table.machines[2]->session->failure(), "");
}

// Another version is refused, and says why.
TEST_F(Sessions, AnotherVersionIsRefused) {
    LocalNet net(NetSim{20, 0, 0, 0, 1});
    Tmultisettings settings;
    Host host(net.host(), identity, settings, 1, 1, 1);
    Joiner other(net.join(), GameIdentity{"9.9.9", identity.figures}, 1);
    for (int tick = 0; tick < 20; ++tick) {
        host.lobby();
        other.lobby();
        net.advance(16);
    }
    EXPECT_EQ(other.failure(), "the host refused: the host plays version 1.2.3, this is 9.9.9");
    EXPECT_EQ(host.present(), 1);
}

// The host learns the round trip from an echo before it sends the start, and begins the first
// game when the start reaches the others: half a round trip (here 200 ms) after sending it.
TEST_F(Sessions, TheHostBeginsWhenTheStartReachesTheOthers) {
    Table table(NetSim{100, 0, 0, 0, 9});
    Session& host = *table.machines[0]->session;
    long long sent = -1, arrived = -1;
    for (int tick = 0; tick < 200 && arrived < 0; ++tick) {
        if (sent < 0 && host.lobby()) sent = table.net.now();
        if (table.machines[1]->session->lobby()) arrived = table.net.now();
        table.machines[2]->session->lobby();
        table.net.advance(16);
    }
    ASSERT_GE(sent, 0);
    ASSERT_GE(arrived, 0);
    EXPECT_GE(host.beginat() - sent, 100);
    EXPECT_LE(host.beginat() - sent, 100 + 32);
    EXPECT_LE(std::abs(host.beginat() - arrived), 32);
    EXPECT_EQ(table.machines[1]->session->beginat(), 0);
}

} // namespace

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
#include "net/watching.h"
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
        for (size_t k = 0; k < machines.size(); ++k) begin(k, "trace" + std::to_string(k));
    }
    void begin(size_t k, const std::string& trace) {
        {
            Machine& m = *machines[k];
            Session& s = *m.session;
            s.begingame();
            m.match.screenwidth = 1024;
            m.match.screenheight = 768;
            m.match.source = &m.given;
            SeedRandom(m.match.random, s.seed());
            m.rollback = std::make_unique<Rollback>(s.machines(), s.self(), s.seats());
            m.trace = std::make_unique<MatchTrace>(trace);
            m.rollback->trace = m.trace.get();
            Tmultisettings multi = s.settings();
            ASSERT_TRUE(m.match.startgame("multiplayer", 1, &multi, nullptr, {}));
        }
    }

    // One tick of 16 ms: every answering machine looks at the network and plays a frame if
    // it may. True while some machine's game goes on.
    bool tick() {
        bool going = false;
        for (auto& s : spectators)
            if (s) s->pump();
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
            // A machine that came back plays the frames before with its own parts of them.
            const bool again = r.frame() < s.resumed();
            if (again && !s.own(r.frame())) continue;
            const MatchInput mine = again ? *s.own(r.frame()) : part(s.self(), r.frame());
            if (!again) s.played(r.frame(), mine);
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

    // The host records the game's replay, as the game does: what it feeds spectators and
    // machines that come back.
    void record() {
        recorded.version = identity.version;
        recorded.figures = identity.figures;
        machines[0]->rollback->replay = &recorded;
    }

    LocalNet net;
    std::vector<std::unique_ptr<Machine>> machines;
    std::vector<std::unique_ptr<Spectator>> spectators;
    Replay recorded;
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

// A joiner that stops dead at its frame 300: 5 s of the network's time later the host counts
// it away and tells the other joiner, which counts down with it.
TEST_F(Sessions, AMachineThatStopsAnsweringIsNoticedAfterFiveSeconds) {
    Table table(NetSim{30, 10, 2, 0, 5});
    ASSERT_TRUE(table.meet());
    table.begin();
    long long stopped = -1, noticed = -1;
    Session& host = *table.machines[0]->session;
    for (int tick = 0; tick < 2000 && noticed < 0; ++tick) {
        Machine& quiet = *table.machines[1];
        if (stopped < 0 && quiet.rollback->frame() >= 300) {
            quiet.answering = false;
            stopped = table.net.now();
        }
        table.tick();
        if (host.awayseat() >= 0) noticed = table.net.now();
    }
    ASSERT_GE(stopped, 0);
    ASSERT_GE(noticed, 0);
    EXPECT_GE(noticed - stopped, SILENCE_MS);
    EXPECT_LT(noticed - stopped, SILENCE_MS + 500);
    EXPECT_EQ(host.awayseat(), 1);
    EXPECT_EQ(host.countdown(), REJOIN_MS / 1000);
    for (int tick = 0; tick < 50; ++tick) table.tick();
    EXPECT_EQ(table.machines[2]->session->awayseat(), 1);
    EXPECT_EQ(table.machines[2]->session->failure(), "");
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

// Nine machines ask to watch a game 300 frames old: eight get its start and every final
// record from its first frame, the ninth is refused; every machine hears how many watch, and
// one that goes away costs the players nothing.
TEST_F(Sessions, EightSpectatorsGetEveryRecordAndTheNinthIsRefused) {
    Table table(NetSim{40, 10, 5, 5, 11});
    ASSERT_TRUE(table.meet());
    table.begin();
    table.record();
    const Replay& recorded = table.recorded;
    Session& host = *table.machines[0]->session;
    Rollback& hosts = *table.machines[0]->rollback;
    bool gone = false;
    for (int tick = 0; tick < 3000 && table.tick(); ++tick) {
        if (hosts.frame() == 300 && table.spectators.empty()) {
            for (int k = 0; k < 9; ++k)
                table.spectators.push_back(std::make_unique<Spectator>(table.net.join(), identity));
        }
        // The hellos come in any order: one that was let in goes away.
        for (auto& s : table.spectators) {
            if (hosts.frame() < 500 || gone || !s->hasgame()) continue;
            s.reset();
            gone = true;
        }
    }
    host.feed(hosts); // the game's last records, as the game does once it is over
    for (int tick = 0; tick < 20; ++tick) table.tick();
    for (auto& m : table.machines) {
        EXPECT_EQ(m->session->failure(), "");
        EXPECT_TRUE(m->rollback->left());
        EXPECT_EQ(m->session->watching(), 7);
        m->trace.reset();
    }
    EXPECT_EQ(filelines("trace1"), filelines("trace0"));
    EXPECT_EQ(recorded.frames(), 701);
    int refused = 0, fed = 0;
    for (const auto& s : table.spectators) {
        if (!s) continue;
        if (!s->hasgame()) {
            refused += s->failure() == "the host refused: 8 machines watch the game already";
            continue;
        }
        EXPECT_EQ(s->failure(), "");
        EXPECT_EQ(s->watching(), 7);
        EXPECT_EQ(s->current().frames, recorded.frames());
        fed += s->current().replay.records() == recorded.records();
    }
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(fed, 7);
}

// A host that lies to a spectator, or goes away mid-game, ends the watching with a message and
// leaves it what it had.
TEST_F(Sessions, ASpectatorFedGarbageOrACutStreamStopsWithAMessage) {
    Replay game;
    game.version = identity.version;
    game.figures = identity.figures;
    const auto watch = [&](uint32_t n) { return encode(Watch{n, replaystarttext(game)}); };
    const auto records = [](uint32_t n, int first, long frames) {
        return encode(Records{n, first, {InputRun(MatchInput{}, frames)}});
    };
    Replay other = game;
    other.version = "9.9.9";
    const std::string unplayable = "THE HOST SENT WHAT THIS GAME CANNOT PLAY";
    const struct {
        std::vector<std::vector<uint8_t>> sent;
        std::string said;
        long frames; // of the game it keeps
    } cases[] = {
        {{{0xff, 1, 2}}, unplayable, -1},
        {{records(1, 0, 10)}, unplayable, -1},
        {{watch(1), records(1, 0, 10), records(1, 20, 10)}, unplayable, 10},
        {{watch(1), records(1, 0, 10), records(2, 10, 10)}, unplayable, 10},
        {{watch(1), records(1, 0, REPLAY_MOST_FRAMES), records(1, int(REPLAY_MOST_FRAMES), 1)},
         unplayable,
         REPLAY_MOST_FRAMES},
        {{watch(1), records(1, 0, 5), watch(2), records(2, 0, 5), watch(3)}, unplayable, 5},
        {{watch(1), watch(1)}, unplayable, 0},
        {{encode(Watch{1, replaystarttext(other)})},
         "the host plays another version or figure file",
         -1},
        {{encode(Watch{1, "vantorix replay\nversion"})}, unplayable, -1},
        {{encoderefusal("8 machines watch the game already")},
         "the host refused: 8 machines watch the game already",
         -1},
        {{watch(1), records(1, 0, 30)}, "THE HOST STOPPED SENDING THE GAME", 30},
    };
    for (const auto& c : cases) {
        LocalNet net(NetSim{10, 0, 0, 0, 1});
        std::unique_ptr<Transport> host = net.host();
        Spectator spectator(net.join(), identity);
        spectator.pump();
        net.advance(20);
        NetEvent hello = host->poll();
        while (hello.kind == NetEvent::Connected) hello = host->poll();
        Hello said;
        ASSERT_TRUE(decode(hello.bytes, said));
        EXPECT_EQ(said.players, 0);
        for (const auto& bytes : c.sent) host->send(1, bytes, true);
        net.advance(20);
        host.reset(); // the host goes away after what it sent
        net.advance(20);
        spectator.pump();
        EXPECT_TRUE(spectator.ended()) << c.said;
        EXPECT_EQ(spectator.failure(), c.said);
        EXPECT_EQ(spectator.hasgame() ? spectator.current().frames : -1, c.frames) << c.said;
    }
}

// A joiner that drops out mid-game is waited for: the game stands still on every machine,
// which counts down the time it has left to come back; after it the series ends as it would
// have at once before.
TEST_F(Sessions, AMachineAwayIsWaitedForThirtySecondsThenTheSeriesEnds) {
    Table table(NetSim{30, 10, 2, 0, 13});
    ASSERT_TRUE(table.meet());
    table.begin();
    Session &host = *table.machines[0]->session, &other = *table.machines[1]->session;
    long long away = -1;
    for (int tick = 0; tick < 5000 && host.failure().empty(); ++tick) {
        if (away < 0 && table.machines[2]->rollback->frame() >= 300) {
            table.machines[2]->answering = false;
            away = table.net.now();
        }
        table.tick();
        const long long since = table.net.now() - away;
        if (away >= 0 && since >= SILENCE_MS + 10000 && since < SILENCE_MS + 10016) {
            EXPECT_EQ(host.awayseat(), 2);
            EXPECT_EQ(other.awayseat(), 2);
            EXPECT_NEAR(host.countdown(), 20, 1);
            EXPECT_NEAR(other.countdown(), 20, 1);
            EXPECT_EQ(other.failure(), "");
        }
    }
    ASSERT_GE(away, 0);
    const long long ended = table.net.now() - away;
    EXPECT_GE(ended, SILENCE_MS + REJOIN_MS);
    EXPECT_LT(ended, SILENCE_MS + REJOIN_MS + 500);
    EXPECT_EQ(host.failure(), "PLAYER 3 STOPPED ANSWERING");
    for (int tick = 0; tick < 30; ++tick) table.tick();
    EXPECT_EQ(other.failure(), "PLAYER 3 STOPPED ANSWERING");
}

// A joiner whose game ends at frame 300 starts again with its token: it takes its seat back,
// plays the game from its first frame with its own parts of the frames before, and every
// machine's trace is the same to the end.
TEST_F(Sessions, AMachineThatComesBackWithItsTokenTakesItsSeat) {
    Table table(NetSim{30, 10, 3, 2, 17});
    ASSERT_TRUE(table.meet());
    table.begin();
    table.record();
    const uint64_t token = static_cast<Joiner&>(*table.machines[2]->session).token();
    EXPECT_NE(token, 0u);
    bool back = false;
    long long gone = -1;
    for (int tick = 0; tick < 6000 && table.tick(); ++tick) {
        Machine& third = *table.machines[2];
        if (gone < 0 && third.rollback->frame() >= 300) {
            third.trace.reset();
            third.session.reset(); // its connection closes with it
            third.answering = false;
            gone = table.net.now();
        } else if (!back && gone >= 0 && table.net.now() - gone >= 3000) {
            auto fresh = std::make_unique<Machine>();
            fresh->session = std::make_unique<Joiner>(table.net.join(), identity, 1, token);
            fresh->answering = false;
            table.machines[2] = std::move(fresh);
            Session& s = *table.machines[2]->session;
            for (int k = 0; k < 100 && !s.lobby(); ++k) table.tick();
            ASSERT_EQ(s.failure(), "");
            EXPECT_GT(s.resumed(), 250);
            table.begin(2, "trace2again");
            table.machines[2]->answering = true;
            back = true;
        }
    }
    EXPECT_TRUE(back);
    for (auto& m : table.machines) {
        EXPECT_EQ(m->session->failure(), "");
        EXPECT_TRUE(m->rollback->left());
        m->trace.reset();
    }
    const std::vector<std::string> trace = filelines("trace0");
    EXPECT_EQ(trace.size(), 701u);
    EXPECT_EQ(filelines("trace1"), trace);
    EXPECT_EQ(filelines("trace2again"), trace);
}

} // namespace

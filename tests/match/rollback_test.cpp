// One game on two machines, in one process: each plays at once with its own players' inputs
// and guesses the other's, the parts arriving late, out of order and twice; one pauses it. Going
// back and playing again wherever a guess was wrong, both write the same trace, frame for frame, as
// one machine that knew every input from the start.
#include "fixture.h"
#include "match/rollback.h"
#include "match/trace.h"
#include <map>
#include <random>

namespace {

// Machine 0 plays figures 1 and 2, machine 1 figures 3 and 4; each turns at its own pace.
// Machine 1 pauses the game at frame 300 and goes on at frame 340.
MatchInput part(int machine, long frame) {
    MatchInput in;
    in.pause = machine == 1 && (frame == 300 || frame == 340);
    for (int k = 2 * machine; k < 2 * machine + 2; ++k) {
        const long turn = (frame / (23 + 7 * k) + k) % 5;
        in.figures[k] = {turn == 0, turn == 2, turn == 1 || turn == 3, turn == 4, true};
    }
    return in;
}

MatchInput whole(long frame) {
    MatchInput in = part(0, frame);
    const MatchInput other = part(1, frame);
    in.figures[2] = other.figures[2];
    in.figures[3] = other.figures[3];
    in.pause = other.pause;
    return in;
}

struct Machine {
    explicit Machine(int self, const std::string& tracefile)
        : rollback(2, self, {0, 0, 1, 1}), trace(tracefile) {}
    Tmatch match;
    Given given;
    Rollback rollback;
    MatchTrace trace;
    Replay replay;
    std::multimap<long, std::pair<long, MatchInput>> inbox; // arrival tick: frame, part
};

void start(Tmatch& m, Given& given, MatchTrace& trace) {
    m.screenwidth = 1024;
    m.screenheight = 768;
    m.source = &given;
    Tmultisettings multi;
    multi.players = 4;
    multi.arenanumber = 6;
    SeedRandom(m.random, 5);
    ASSERT_TRUE(m.startgame("multiplayer", 1, &multi, nullptr, {}));
    trace.header(m);
}

using Rollbacks = MatchFolder;

TEST_F(Rollbacks, TwoMachinesWriteTheTraceOfOneThatKnewEverything) {
    constexpr long FRAMES = 900;
    std::vector<uint64_t> hashes; // of the state at the start of every 60th frame
    std::vector<MatchInput> records;
    {
        Tmatch reference;
        Given given;
        MatchTrace trace("reference.txt");
        start(reference, given, trace);
        // One machine that knew everything: the paused frames 300 to 339 are not played.
        for (long f = 0; f < FRAMES; ++f) {
            if (f >= 300 && f < 340) continue;
            if (!records.empty() && records.size() % HASHEVERY == 0) {
                hashes.push_back(statehash(reference));
            }
            reference.input = whole(f);
            records.push_back(reference.input);
            reference.playframe(false);
            trace.line(reference);
        }
    }
    {
        std::vector<std::unique_ptr<Machine>> machines;
        for (int self = 0; self < 2; ++self) {
            machines.push_back(std::make_unique<Machine>(self, "machine" + std::to_string(self)));
            Machine& m = *machines.back();
            start(m.match, m.given, m.trace);
            m.rollback.trace = &m.trace;
            m.rollback.replay = &m.replay;
        }
        std::mt19937 network(42);
        std::uniform_int_distribution<int> delay(0, 12), percent(0, 99);
        for (long tick = 0;
             machines[0]->rollback.final() < FRAMES || machines[1]->rollback.final() < FRAMES;
             ++tick) {
            ASSERT_LT(tick, 4 * FRAMES) << "the machines stopped playing";
            for (int self = 0; self < 2; ++self) {
                Machine& m = *machines[self];
                for (auto it = m.inbox.begin(); it != m.inbox.end() && it->first <= tick;) {
                    m.rollback.arrived(1 - self, it->second.first, it->second.second);
                    it = m.inbox.erase(it);
                }
                m.rollback.correct(m.match);
                const long f = m.rollback.frame();
                if (f < FRAMES && m.rollback.canplay()) {
                    m.match.input = m.rollback.begin(m.match, part(self, f));
                    if (m.rollback.playing()) m.match.playframe(false);
                    m.rollback.end(m.match);
                    // To the other machine, late by up to 12 frames, now and then twice.
                    Machine& other = *machines[1 - self];
                    other.inbox.insert({tick + delay(network), {f, part(self, f)}});
                    if (percent(network) < 10) {
                        other.inbox.insert({tick + delay(network), {f, part(self, f)}});
                    }
                } else if (f < FRAMES) {
                    m.rollback.stats.waits += 1;
                }
            }
        }
        for (const auto& m : machines) {
            EXPECT_GT(m->rollback.stats.rollbacks, 20);
            EXPECT_LE(m->rollback.stats.longest, MAXROLLBACK);
            EXPECT_GT(m->rollback.stats.waits, 0);
            // Its replay holds what was played in the end, and the same state hashes.
            EXPECT_EQ(m->replay.records(), records);
            EXPECT_EQ(m->rollback.hashes, hashes);
        }
    }
    const std::vector<std::string> reference = filelines("reference.txt");
    ASSERT_EQ(reference.size(), size_t(FRAMES - 40 + 1));
    EXPECT_EQ(filelines("machine0"), reference);
    EXPECT_EQ(filelines("machine1"), reference);
}

} // namespace

// Parts a lying machine sends past what any honest one could (far ahead, or before a gap it
// never fills) are not kept: however many arrive, what is known of it ends at the horizon.
TEST(RollbackWindow, PartsBeyondTheHorizonAreNotKept) {
    Rollback rollback(2, 0, {0, 1, -1, -1});
    MatchInput steer;
    steer.figures[1].left = true;
    for (long frame = 1; frame < 100000; ++frame) rollback.arrived(1, frame, steer);
    for (int again = 0; again < 1000; ++again) rollback.arrived(1, 1, steer);
    EXPECT_EQ(rollback.known(1), 0);
    rollback.arrived(1, 0, steer);
    EXPECT_EQ(rollback.known(1), rollback.horizon());
    EXPECT_EQ(rollback.horizon(), MAXROLLBACK + 1 + 2 * MAXINPUTDELAY);
}

// Spectators fed through the real server's rules, on a made-up network and clock: the host
// uploads each message once, however many watch, every spectator reads every message of the
// newest game in order (some datagrams lost on the way), a ninth is turned away, and a host
// that stops feeding is noticed.
#include "net/feeding.h"
#include "server/rooms.h"
#include <gtest/gtest.h>
#include <random>

namespace {

const Endpoint SERVER{0xCB007101, 24690}, HOST{0xC6336401, 30000};

Endpoint watcher(int k) {
    return {0xC6336500u + uint32_t(k), 31000};
}

std::vector<uint8_t> message(int n, size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = uint8_t(n * 7 + int(i));
    return bytes;
}

struct World {
    World() : server({}, 5, 6), host(SERVER, {HOST}, now), upload(SERVER) {}

    void deliver(const Endpoint& from, const Endpoint& to, const std::vector<uint8_t>& bytes) {
        if (loss(random) < lost) return;
        const auto m = decoderz(bytes.data(), bytes.size());
        ASSERT_TRUE(m.has_value());
        if (to == SERVER) {
            if (from == HOST) ++uploaded;
            std::vector<Datagram> out;
            server.receive(from, bytes.data(), bytes.size(), now, out);
            for (const Datagram& d : out) deliver(SERVER, d.to, d.bytes);
        } else if (to == HOST) {
            host.received(0, from, *m, now);
            upload.received(from, *m);
        } else {
            for (size_t k = 0; k < pulling.size(); ++k)
                if (to == watcher(int(k))) pulling[k].received(from, *m, now);
        }
    }
    void run(long long ms) {
        for (long long until = now + ms; now < until; now += 10) {
            host.tick(now);
            if (feeding) upload.tick(now, host.code());
            for (const Outbound& o : host.take()) deliver(HOST, o.to, o.bytes);
            for (const Outbound& o : upload.take()) deliver(HOST, o.to, o.bytes);
            for (size_t k = 0; k < pulling.size(); ++k) {
                pulling[k].tick(now);
                for (const Outbound& o : pulling[k].take()) deliver(watcher(int(k)), o.to, o.bytes);
                while (auto m = pulling[k].next()) read[k].push_back(*m);
            }
            if (now % 1000 == 0) server.expire(now);
        }
    }
    void watch() {
        pulling.emplace_back(SERVER, *host.code(), now);
        read.emplace_back();
    }

    long long now = 1000000;
    RoomServer server;
    Meeting host;
    Upload upload;
    bool feeding = true;
    std::vector<Pulling> pulling;
    std::vector<std::vector<std::vector<uint8_t>>> read;
    std::mt19937 random{7};
    std::uniform_real_distribution<double> loss{0, 1};
    double lost = 0;
    long uploaded = 0; // datagrams from the host to the server
};

} // namespace

TEST(Feeding, EveryWatcherReadsTheNewestGameInOrderWhileTheHostUploadsItOnce) {
    World w;
    w.run(200);
    ASSERT_TRUE(w.host.code());
    w.watch();
    w.run(500);
    EXPECT_TRUE(w.pulling[0].answered());
    EXPECT_EQ(w.upload.watchers(), 1);
    // Two games: a spectator that comes during the second is fed the second from its start.
    // The one there before the first game also reads what came before it (the host says how
    // many watch).
    std::vector<std::vector<uint8_t>> first{message(-1, 2)}, second;
    w.upload.feed(first.back(), false);
    for (int n = 0; n < 300; ++n) {
        first.push_back(message(n, size_t(n == 0 ? 3000 : 1 + n % 90)));
        w.upload.feed(first.back(), n == 0);
        w.run(60);
    }
    EXPECT_EQ(w.read[0].size(), first.size());
    w.lost = 0.1;
    for (int n = 0; n < 300; ++n) {
        second.push_back(message(1000 + n, size_t(n == 0 ? 500 : 40)));
        w.upload.feed(second.back(), n == 0);
        if (n == 100)
            for (int k = 0; k < 7; ++k) w.watch();
        if (n == 120) w.watch();
        w.run(60);
    }
    w.lost = 0;
    w.run(3000);
    EXPECT_TRUE(w.upload.done());
    std::vector<std::vector<uint8_t>> both = first;
    both.insert(both.end(), second.begin(), second.end());
    EXPECT_TRUE(w.read[0] == both) << w.read[0].size();
    for (size_t k = 1; k < 8; ++k) EXPECT_TRUE(w.read[k] == second) << k << " " << w.read[k].size();
    EXPECT_EQ(w.pulling[8].failure(), "8 MACHINES WATCH THAT GAME ALREADY");
    EXPECT_EQ(w.upload.watchers(), 8);
    // The host's upload is what it fed, whoever watches: 600 messages in as many pieces, the
    // tenth of the second game's lost sent again, and its requests (a second each).
    EXPECT_LT(w.uploaded, 750);
    // A host that stops feeding: its spectators hear so within seconds.
    w.feeding = false;
    w.run(6000);
    for (size_t k = 0; k < 8; ++k)
        EXPECT_EQ(w.pulling[k].failure(), "THE HOST STOPPED SENDING THE GAME") << k;
}

// What a lying host or server feeds ends the watching with a message, and holds nothing more:
// a length no message has, pieces from elsewhere or far beyond the window, a host gone.
TEST(Feeding, ALyingFeedEndsTheWatchingWithAMessage) {
    const RoomCode code{'A', 'B', 'C', 'D', 'E', 'F'};
    const auto piece = [&](uint32_t number, std::vector<uint8_t> bytes, uint8_t there = 1) {
        RzMessage m;
        m.kind = Rz::Piece;
        m.code = code;
        m.piece = number;
        m.bytes = std::move(bytes);
        m.flag = there;
        return m;
    };
    Pulling pulling(SERVER, code, 1000);
    pulling.received(SERVER, piece(5, {}), 1010);
    ASSERT_TRUE(pulling.answered());
    pulling.received(HOST, piece(5, {0, 0, 0, 1, 9}), 1020);
    pulling.received(SERVER, piece(5 + FEEDWINDOW, {0, 0, 0, 1, 9}), 1020);
    EXPECT_FALSE(pulling.next()) << "not from the server, or beyond what was asked";
    pulling.received(SERVER, piece(5, {0, 0, 0, 1, 7, 0, 1, 0, 1}), 1030);
    EXPECT_EQ(pulling.next(), std::vector<uint8_t>{7});
    EXPECT_EQ(pulling.next(), std::vector<uint8_t>{}) << "65 536 and 1 bytes: no message";
    EXPECT_EQ(pulling.failure(), "THE HOST SENT WHAT THIS GAME CANNOT PLAY");
    EXPECT_FALSE(pulling.next());

    Pulling cut(SERVER, code, 1000);
    cut.received(SERVER, piece(0, {}), 1010);
    cut.received(SERVER, piece(0, {0, 0, 0, 9, 1, 2}), 1020);
    EXPECT_FALSE(cut.next()) << "a message not yet whole";
    cut.received(SERVER, piece(1, {}, 0), 1030);
    EXPECT_EQ(cut.failure(), "THE HOST STOPPED SENDING THE GAME");
}

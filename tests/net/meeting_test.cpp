// Meeting through the real server's rules, on a made-up network and clock: the machines
// find each other by code and go direct when punches pass, through the relay when their
// routers let none through, and notice a server that stops answering.
#include "net/meeting.h"
#include "server/rooms.h"
#include <gtest/gtest.h>
#include <map>

namespace {

const Endpoint SERVER{0xCB007101, 24690};
const Endpoint HOSTPUBLIC{0xC6336401, 30000}, HOSTLOCAL{0xC0000202, 24680};
const Endpoint HOSTRELAY{0xC6336401, 30001};
const Endpoint JOINERPUBLIC{0xC6336402, 31000}, JOINERLOCAL{0xC0000203, 50000};

// Two machines in one home network and the server; what a machine sends out of the home
// leaves from its socket's public address. Punches between the machines pass only when the routers
// let them.
struct World {
    World() : server({}, 5, 6), host(SERVER, {HOSTLOCAL}, now) {}

    void joiner(const RoomCode& code) {
        guest.emplace(SERVER, code, std::vector{JOINERLOCAL}, now);
    }
    // A machine's socket by the address it is reached at.
    std::optional<std::pair<Meeting*, int>> at(const Endpoint& e) {
        if (e == HOSTPUBLIC || e == HOSTLOCAL) return std::pair{&host, 0};
        if (e == HOSTRELAY) return std::pair{&host, 1};
        if (guest && (e == JOINERPUBLIC || e == JOINERLOCAL)) return std::pair{&*guest, 0};
        return std::nullopt;
    }
    // Inside the home network (192.0.2.0/24) a datagram leaves from the local address.
    Endpoint from(Meeting* m, int socket, const Endpoint& to) const {
        const bool inside = to.ip >> 8 == 0xC00002;
        if (m == &host) return socket ? HOSTRELAY : inside ? HOSTLOCAL : HOSTPUBLIC;
        return inside ? JOINERLOCAL : JOINERPUBLIC;
    }
    void deliver(const Endpoint& from, const Endpoint& to, const std::vector<uint8_t>& bytes) {
        if (to == SERVER) {
            const auto m = decoderz(bytes.data(), bytes.size());
            if (!serverup || (m && m->kind == ignored)) return;
            if (liar) return deliver(SERVER, from, encode(RzMessage{}));
            std::vector<Datagram> out;
            server.receive(from, bytes.data(), bytes.size(), now, out);
            for (const Datagram& d : out) deliver(SERVER, d.to, d.bytes);
            return;
        }
        const auto target = at(to);
        if (!target) return;
        if (from != SERVER && !punchespass) return;
        if (const auto m = decoderz(bytes.data(), bytes.size())) {
            target->first->received(target->second, from, *m, now);
        } else {
            ++gamedatagrams[to];
        }
    }
    void flush(Meeting& m) {
        for (const Outbound& o : m.take()) deliver(from(&m, o.socket, o.to), o.to, o.bytes);
    }
    // Runs the machines for ms, ten at a time, the host opening relay sockets when asked.
    void run(long long ms) {
        for (long long until = now + ms; now < until; now += 10) {
            host.tick(now);
            if (const auto token = host.socketwanted()) host.opened(*token, 1, now);
            flush(host);
            if (guest) guest->tick(now), flush(*guest);
            if (now % 1000 == 0) server.expire(now);
        }
    }

    long long now = 1000000;
    RoomServer server;
    Meeting host;
    std::optional<Meeting> guest;
    bool punchespass = true, serverup = true;
    bool liar = false;          // the server answers every request with a new challenge
    Rz ignored = Rz::Challenge; // requests of this kind go unanswered
    std::map<Endpoint, int> gamedatagrams;
};

TEST(Meeting, FindsTheHostByCodeAndGoesDirectPreferringItsLocalAddress) {
    World w;
    w.run(100);
    ASSERT_TRUE(w.host.code().has_value());
    w.joiner(*w.host.code());
    w.run(500);
    ASSERT_TRUE(w.guest->path().has_value());
    EXPECT_FALSE(w.guest->path()->relayed);
    EXPECT_EQ(w.guest->path()->to, HOSTLOCAL);
    EXPECT_TRUE(w.guest->failure().empty());
    w.run(20000);
    EXPECT_FALSE(w.host.serverlost());
    EXPECT_EQ(w.server.rooms(), 1u) << "the host keeps its room";
}

TEST(Meeting, GoesThroughTheRelayWhenNoPunchPassesAndNoticesTheServerGone) {
    World w;
    w.punchespass = false;
    w.run(100);
    w.joiner(*w.host.code());
    w.run(DIRECT_MS - 100);
    EXPECT_FALSE(w.guest->path().has_value()) << "it punches for three seconds first";
    w.run(1000);
    ASSERT_TRUE(w.guest->path().has_value());
    EXPECT_TRUE(w.guest->path()->relayed);
    EXPECT_EQ(w.guest->path()->to, SERVER);
    EXPECT_TRUE(w.host.relaying());

    // The game's datagrams pass through the server both ways.
    w.deliver(JOINERPUBLIC, SERVER, {0x80, 1, 2});
    w.deliver(HOSTRELAY, SERVER, {0x80, 3, 4});
    EXPECT_EQ(w.gamedatagrams[HOSTRELAY], 1);
    EXPECT_EQ(w.gamedatagrams[JOINERPUBLIC], 1);

    w.run(10000);
    EXPECT_FALSE(w.host.serverlost() || w.guest->serverlost());
    w.serverup = false;
    w.run(KEEPRELAY_MS + SERVERSILENCE_MS + 100);
    EXPECT_TRUE(w.host.serverlost());
    EXPECT_TRUE(w.guest->serverlost());
}

TEST(Meeting, SaysWhyItCannotMeet) {
    World w;
    w.run(100);
    RoomCode wrong = *w.host.code();
    wrong[0] = wrong[0] == 'A' ? 'B' : 'A';
    w.joiner(wrong);
    w.run(1000);
    EXPECT_EQ(w.guest->failure(), "NO GAME HAS THAT ROOM CODE");

    World down;
    down.serverup = false;
    down.run(SERVERSILENCE_MS + 600);
    EXPECT_EQ(down.host.failure(), "THE SERVER DOES NOT ANSWER");
    EXPECT_FALSE(down.host.serverlost());

    // Lying servers: one that only ever challenges, one that finds the host and then never
    // opens the relay it is asked for.
    World challenging;
    challenging.liar = true;
    challenging.run(SERVERSILENCE_MS + 600);
    EXPECT_EQ(challenging.host.failure(), "THE SERVER DOES NOT ANSWER");
    World stuck;
    stuck.punchespass = false;
    stuck.ignored = Rz::Relay;
    stuck.run(100);
    stuck.joiner(*stuck.host.code());
    stuck.run(DIRECT_MS + SERVERSILENCE_MS + 600);
    EXPECT_EQ(stuck.guest->failure(), "THE SERVER STOPPED ANSWERING");
    EXPECT_FALSE(stuck.guest->path().has_value());
}

} // namespace

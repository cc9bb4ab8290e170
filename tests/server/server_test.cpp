// The rendezvous and relay server's rules, datagram by datagram on a made-up clock, and the
// real executable answering on 127.0.0.1.
#include "rzclient.h"
#include "server/rooms.h"
#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const Endpoint HOST{0xCB007105, 40000}, JOINER{0xC6336409, 50000}, HOSTRELAY{0xCB007105, 40001};

// A server and the machines talking to it, each answering its challenge as a game does.
struct Talk {
    explicit Talk(ServerLimits limits = {}) : server(limits, 1, 2) {}

    // What the server sent back to from, after proving the address when asked to.
    std::vector<Datagram> ask(const Endpoint& from, RzMessage m) {
        m.cookie = cookies[from];
        std::vector<uint8_t> bytes = encode(m);
        std::vector<Datagram> out;
        server.receive(from, bytes.data(), bytes.size(), now, out);
        if (out.size() == 1 && out[0].bytes.size() == CHALLENGESIZE) {
            cookies[from] = decoderz(out[0].bytes.data(), out[0].bytes.size())->cookie;
            return ask(from, m);
        }
        return out;
    }
    std::vector<Datagram> raw(const Endpoint& from, const std::vector<uint8_t>& bytes) {
        std::vector<Datagram> out;
        server.receive(from, bytes.data(), bytes.size(), now, out);
        return out;
    }
    RoomCode host(uint8_t open = 1, const Endpoint& at = HOST) {
        RzMessage m;
        m.kind = Rz::Register;
        m.open = open;
        m.locals = {{0xC0000202, 40000}};
        const auto out = ask(at, m);
        EXPECT_EQ(out.size(), 1u);
        return out.empty() ? RoomCode{} : message(out[0]).code;
    }
    std::vector<Datagram> join(const RoomCode& code, const Endpoint& from = JOINER) {
        RzMessage m;
        m.kind = Rz::Join;
        m.code = code;
        return ask(from, m);
    }
    static RzMessage message(const Datagram& d) {
        const auto m = decoderz(d.bytes.data(), d.bytes.size());
        EXPECT_TRUE(m.has_value());
        return m.value_or(RzMessage{});
    }
    static RzRefusal refusal(const std::vector<Datagram>& out) {
        EXPECT_EQ(out.size(), 1u);
        const RzMessage m = out.empty() ? RzMessage{} : message(out[0]);
        EXPECT_EQ(m.kind, Rz::Refused);
        return m.refusal;
    }

    RoomServer server;
    std::map<Endpoint, uint64_t> cookies;
    long long now = 1000000;
};

TEST(Keyed, IsSipHash24) {
    // The published vector for the key 00..0f and the message 00..0f.
    const Keyed keyed(0x0706050403020100ull, 0x0f0e0d0c0b0a0908ull);
    EXPECT_EQ(keyed.hash(0x0706050403020100ull, 0x0f0e0d0c0b0a0908ull), 0x3f2acc7f57c29bdbull);
}

RzMessage request(Rz kind, const RoomCode& code, uint64_t token = 0) {
    RzMessage m;
    m.kind = kind;
    m.code = code;
    m.token = token;
    return m;
}

TEST(RoomServer, FindsARoomByItsCodeAndRelaysOnlyBetweenTheTwoThatAsked) {
    Talk talk;
    const RoomCode code = talk.host();
    EXPECT_EQ(parsecode(describe(code)), code);
    EXPECT_EQ(talk.host(), code) << "registering again keeps the room";

    const auto found = talk.join(code);
    ASSERT_EQ(found.size(), 2u);
    const RzMessage toJoiner = Talk::message(found[0]), toHost = Talk::message(found[1]);
    EXPECT_EQ(found[0].to, JOINER);
    EXPECT_EQ(toJoiner.kind, Rz::Found);
    EXPECT_EQ(toJoiner.seen, JOINER);
    EXPECT_EQ(toJoiner.other, HOST);
    EXPECT_EQ(toJoiner.locals, (std::vector<Endpoint>{{0xC0000202, 40000}}));
    EXPECT_EQ(found[1].to, HOST);
    EXPECT_EQ(toHost.kind, Rz::Joining);
    EXPECT_EQ(toHost.other, JOINER);
    EXPECT_EQ(toHost.token, toJoiner.token);
    const uint64_t token = toJoiner.token;

    const std::vector<uint8_t> game{0x80, 0x01, 0x02, 0x03};
    EXPECT_TRUE(talk.raw(JOINER, game).empty()) << "no relay before it is asked for";
    EXPECT_TRUE(talk.ask(HOSTRELAY, request(Rz::Bind, code, token)).empty())
        << "no bind before the joiner asks for a relay";
    const auto asked = talk.ask(JOINER, request(Rz::Relay, code, token));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].to, HOST);
    EXPECT_EQ(Talk::message(asked[0]).other, JOINER);
    EXPECT_TRUE(talk.ask(HOSTRELAY, request(Rz::Bind, code, token + 1)).empty());
    const auto bound = talk.ask(HOSTRELAY, request(Rz::Bind, code, token));
    ASSERT_EQ(bound.size(), 2u);
    EXPECT_EQ(Talk::message(bound[0]).kind, Rz::Relaying);
    EXPECT_EQ(bound[1].to, JOINER);

    const auto there = talk.raw(JOINER, game), back = talk.raw(HOSTRELAY, game);
    ASSERT_EQ(there.size(), 1u);
    EXPECT_EQ(there[0].to, HOSTRELAY);
    EXPECT_EQ(there[0].bytes, game);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].to, JOINER);
    EXPECT_TRUE(talk.raw({0xCB007163, 40000}, game).empty());
    EXPECT_TRUE(talk.raw(HOST, game).empty()) << "the host's own socket is not the relay's";
    EXPECT_EQ(talk.server.relays(), 1u);

    talk.now += RELAYLIFE_MS + 1000;
    talk.host();
    talk.server.expire(talk.now);
    EXPECT_EQ(talk.server.relays(), 0u) << "a relay nobody uses closes";
    EXPECT_TRUE(talk.raw(JOINER, game).empty());
}

TEST(RoomServer, SendsNoAddressMoreThanItReceivedBeforeItShowsItsCookie) {
    Talk talk;
    std::mt19937 random(7);
    std::map<Endpoint, long long> in, out;
    for (int i = 0; i < 100000; ++i) {
        const Endpoint from{uint32_t(0xC6330000u + random() % 64), uint16_t(1000 + random() % 4)};
        std::vector<uint8_t> bytes(random() % 80);
        for (uint8_t& b : bytes) b = uint8_t(random());
        if (i % 2) { // half of them well-made requests that lack the cookie
            RzMessage m;
            m.kind = std::array{
                Rz::Register, Rz::Join, Rz::Relay, Rz::Bind, Rz::Feed, Rz::Pull}[random() % 6];
            m.code = {'A', 'B', 'C', 'D', 'E', 'F'};
            bytes = encode(m);
        }
        in[from] += long(bytes.size());
        for (const Datagram& d : talk.raw(from, bytes)) out[d.to] += long(d.bytes.size());
        if (i % 1000 == 0) talk.server.expire(talk.now += 100);
    }
    for (const auto& [to, sent] : out) EXPECT_LE(sent, in[to]) << describe(to);
    EXPECT_EQ(talk.server.rooms(), 0u) << "half-open registrations hold nothing";
    EXPECT_GT(talk.server.counts().challenged, 40000);
}

RzMessage feed(const RoomCode& code, uint32_t number, size_t size, bool gamestart = false) {
    RzMessage m = request(Rz::Feed, code);
    m.piece = number;
    m.bytes.assign(size, uint8_t(number));
    m.flag = gamestart;
    return m;
}

RzMessage pull(const RoomCode& code, uint32_t from, bool fresh = false) {
    RzMessage m = request(Rz::Pull, code);
    m.piece = from;
    m.flag = fresh;
    return m;
}

// A feed held all by the server, all rooms together, is bounded; beyond it a game cannot be
// watched until the next begins, and a room that closes frees its feed.
TEST(RoomServer, TakesAFeedOnlyFromItsHostAndHoldsABoundedPartOfIt) {
    Talk talk({1000, 1000, 4000, 1});
    const RoomCode code = talk.host();
    EXPECT_TRUE(talk.ask(JOINER, feed(code, 0, 100, true)).empty()) << "not the room's host";
    EXPECT_EQ(talk.server.feedbytes(), 0u);
    EXPECT_EQ(Talk::message(talk.ask(HOST, feed(code, 1, PIECESIZE))[0]).piece, 0u)
        << "a piece before its turn is kept, not taken";
    for (uint32_t n = 0; n < 1100; ++n) {
        const auto fed = talk.ask(HOST, feed(code, n, PIECESIZE, n == 0));
        ASSERT_EQ(fed.size(), 1u);
        EXPECT_EQ(Talk::message(fed[0]).piece, n == 0 ? 2u : std::max(n + 1, 2u));
    }
    EXPECT_LE(talk.server.feedbytes(), 1024u * 1024);
    const auto start = talk.ask(JOINER, pull(code, 0, true));
    ASSERT_EQ(start.size(), 2u);
    EXPECT_EQ(Talk::message(start[0]).kind, Rz::Fed) << "the host hears it is watched";
    EXPECT_EQ(Talk::message(start[0]).present, 1);
    EXPECT_EQ(Talk::message(start[1]).piece, 0u);
    EXPECT_EQ(Talk::refusal(talk.ask(JOINER, pull(code, 0))), RzRefusal::Unwatchable);

    talk.ask(HOST, feed(code, 1100, 10, true));
    EXPECT_GT(talk.server.feedbytes(), 10u) << "a new game is held again";
    EXPECT_LT(talk.server.feedbytes(), 100u) << "and only it";
    EXPECT_EQ(Talk::message(talk.ask(JOINER, pull(code, 0, true))[0]).piece, 1100u);
    const auto pieces = talk.ask(JOINER, pull(code, 1100));
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(Talk::message(pieces[0]).bytes, std::vector<uint8_t>(10, uint8_t(1100)));
    EXPECT_TRUE(Talk::message(pieces[1]).bytes.empty()) << "all there is, said";
    EXPECT_EQ(Talk::refusal(talk.ask(JOINER, pull(code, 5))), RzRefusal::Unwatchable);

    talk.now += ROOMLIFE_MS + 1000;
    talk.server.expire(talk.now);
    EXPECT_EQ(talk.server.feedbytes(), 0u);
    EXPECT_EQ(Talk::refusal(talk.ask(JOINER, pull(code, 1100))), RzRefusal::Closed);
}

TEST(RoomServer, RefusesWrongClosedAndFullRoomsAndGuessers) {
    Talk talk;
    EXPECT_EQ(Talk::refusal(talk.join({'A', 'B', 'C', 'D', 'E', 'F'})), RzRefusal::UnknownCode);
    const RoomCode full = talk.host(0);
    EXPECT_EQ(Talk::refusal(talk.join(full)), RzRefusal::Full);

    const Endpoint other{0xCB007106, 40000};
    const RoomCode gone = talk.host(1, other);
    talk.now += ROOMLIFE_MS - 1000;
    talk.host(0); // the first room keeps in touch, the second does not
    talk.server.expire(talk.now);
    EXPECT_EQ(Talk::refusal(talk.join(full)), RzRefusal::Full);
    talk.now += 2000;
    talk.server.expire(talk.now);
    EXPECT_EQ(Talk::refusal(talk.join(gone)), RzRefusal::Closed);

    const Endpoint guesser{0xC6336410, 1};
    const RoomCode open = talk.host(3, {0xCB007107, 1});
    for (int i = 0; i < WRONGCODES; ++i) {
        RoomCode wrong = open;
        wrong[0] = wrong[0] == 'A' ? 'B' : 'A';
        wrong[5] = CODEALPHABET[i];
        EXPECT_NE(Talk::refusal(talk.join(wrong, guesser)), RzRefusal::TooMany);
    }
    EXPECT_EQ(Talk::refusal(talk.join(open, guesser)), RzRefusal::TooMany);
    EXPECT_EQ(talk.join(open, {0xC6336411, 1}).size(), 2u) << "other addresses still join";
    talk.now += 60000;
    EXPECT_EQ(talk.join(open, guesser).size(), 2u) << "a minute later it may try again";
}

TEST(RoomServer, BoundsRoomsPerServerAndAddressAndTheRelayedBytes) {
    Talk talk({3, 8});
    for (uint32_t ip = 1; ip <= 3; ++ip) talk.host(1, {0xCB007100 + ip, 1});
    EXPECT_EQ(Talk::refusal(talk.ask({0xCB007110, 1}, request(Rz::Register, RoomCode{}))),
              RzRefusal::ServerFull);

    Talk many;
    for (uint16_t port = 1; port <= ROOMSPERADDRESS; ++port) many.host(1, {0xCB007101, port});
    EXPECT_EQ(Talk::refusal(many.ask({0xCB007101, 99}, request(Rz::Register, RoomCode{}))),
              RzRefusal::TooMany);

    // 8 kbit/s: a second's worth is 1000 bytes.
    Talk& t = talk;
    const RoomCode code = t.host(1, {0xCB007101, 1});
    const uint64_t token = Talk::message(t.join(code)[0]).token;
    t.ask(JOINER, request(Rz::Relay, code, token));
    t.ask(HOSTRELAY, request(Rz::Bind, code, token));
    const std::vector<uint8_t> game(200, 0x80);
    int passed = 0;
    for (int i = 0; i < 10; ++i) passed += int(t.raw(JOINER, game).size());
    EXPECT_EQ(passed, 5);
    t.now += 400;
    passed = 0;
    for (int i = 0; i < 10; ++i) passed += int(t.raw(HOSTRELAY, game).size());
    EXPECT_EQ(passed, 2);
    EXPECT_EQ(t.server.counts().overcap, 13);
}

// The server program on a free port of 127.0.0.1; it does not outlive the test.
struct ServerProcess {
    explicit ServerProcess(std::vector<std::string> args = {}) {
        int pipefd[2];
        if (pipe(pipefd) != 0) return;
        args.insert(args.begin(), {SERVER, "--port", "0"});
        pid = fork();
        if (pid == 0) {
            dup2(pipefd[1], 1);
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(SERVER, argv.data());
            _exit(127);
        }
        close(pipefd[1]);
        said = fdopen(pipefd[0], "r");
        char line[200] = "";
        int port = 0;
        if (std::fgets(line, sizeof line, said) &&
            std::sscanf(line, "vantorix-server: room codes and relays on UDP port %d", &port) == 1)
            at = {0x7F000001, uint16_t(port)};
    }
    ~ServerProcess() {
        if (pid > 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
        if (said) std::fclose(said);
    }
    // SIGTERM; the exit status.
    int stop() {
        int status = 0;
        kill(pid, SIGTERM);
        waitpid(pid, &status, 0);
        pid = 0;
        return status;
    }
    pid_t pid = 0;
    FILE* said = nullptr;
    Endpoint at;
};

TEST(ServerProgram, GivesARoomCodeOn127001AndEndsOnSigterm) {
    ServerProcess server;
    ASSERT_NE(server.at.port, 0);
    RzClient game;
    RzMessage m;
    m.kind = Rz::Register;
    m.open = 1;
    game.send(server.at, encode(m));
    const auto bytes = game.receive(2000);
    ASSERT_TRUE(bytes.has_value());
    const auto challenge = decoderz(bytes->data(), bytes->size());
    ASSERT_TRUE(challenge.has_value());
    EXPECT_EQ(challenge->kind, Rz::Challenge);
    const auto registered = game.ask(server.at, m, Rz::Registered);
    ASSERT_TRUE(registered.has_value());
    EXPECT_EQ(registered->kind, Rz::Registered);
    EXPECT_EQ(registered->seen, game.address());
    EXPECT_TRUE(parsecode(describe(registered->code)).has_value());
    const int status = server.stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// A relayed game goes on while the server takes 100 000 random datagrams, 10 000 wrong codes
// from one address and 1 000 registrations that never show their cookie; its memory stays
// small and the guessing address is refused from the 21st wrong code on.
TEST(ServerProgram, KeepsRelayingAGameUnderAttack) {
    ServerProcess server;
    ASSERT_NE(server.at.port, 0);
    RelayedPair game(0x7F000002, 0x7F000003);
    ASSERT_TRUE(game.open(server.at));
    const long before = residentkib(server.pid);

    std::mt19937 random(3);
    RzClient noise(0x7F000004), guesser(0x7F000005);
    RzMessage wrong;
    wrong.kind = Rz::Join;
    wrong.code = {'A', 'A', 'A', 'A', 'A', 'A'};
    ASSERT_TRUE(guesser.ask(server.at, wrong, Rz::Found).has_value());
    int relayed = 0, refused = 0;
    const std::vector<uint8_t> frame(60, 0x80);
    for (int round = 0; round < 1000; ++round) {
        for (int i = 0; i < 100; ++i) { // garbage, some of it shaped like requests
            std::vector<uint8_t> bytes(random() % 200);
            for (uint8_t& b : bytes) b = uint8_t(random());
            if (i % 3 == 0 && bytes.size() >= 12) bytes[0] = 'V', bytes[1] = 'X', bytes[2] = 'R';
            noise.send(server.at, bytes);
        }
        for (int i = 0; i < 10; ++i) {
            wrong.code[5] = CODEALPHABET[random() % 31];
            wrong.cookie = guesser.cookie;
            guesser.send(server.at, encode(wrong));
        }
        RzClient halfopen(0x7F010000 + uint32_t(round)); // a new address each time, silent after
        RzMessage m;
        m.kind = Rz::Register;
        halfopen.send(server.at, encode(m));
        // One frame each way through the relay.
        game.joiner.send(server.at, frame);
        game.relay.send(server.at, frame);
        relayed += game.relay.receive(200).has_value();
        relayed += game.joiner.receive(200).has_value();
        while (const auto answer = guesser.receive(0)) {
            const auto r = decoderz(answer->data(), answer->size());
            refused += r && r->kind == Rz::Refused && r->refusal == RzRefusal::TooMany;
        }
    }
    EXPECT_EQ(relayed, 2000) << "the game's frames all passed";
    EXPECT_GT(refused, 9000) << "the guesser was stopped";
    const long after = residentkib(server.pid);
    EXPECT_LT(after - before, 8 * 1024) << before << " KiB before, " << after << " after";
}

} // namespace

// The real program against machines that lie: a seated joiner that floods the host with parts
// it cannot use or sends nothing usable, connections that never say hello and made-up
// connection requests, a host that sends an impossible start, an end naming nobody and texts
// that would drive the terminal. Each gets a clear message, and costs the game no memory, no
// processor and no lock-out. The liars here speak the game's own messages over ENet on
// 127.0.0.1.
#include "gamerun.h"
#include "match/replay.h"
#include "net/wire.h"
#include <enet/enet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

using Clock = std::chrono::steady_clock;

// One ENet host of the test's own: a liar joining a game, a liar hosting one, or a made-up
// connection request from an address of 127.0.0.0/8 that never answers.
class Liar {
  public:
    // Joins (port > 0, then from the address given) or hosts (port < 0, on -port).
    explicit Liar(int port, uint32_t from = 0x7f000001) {
        static const bool ready = enet_initialize() == 0;
        EXPECT_TRUE(ready);
        ENetAddress address{};
        address.host = htonl(from);
        address.port = uint16_t(port < 0 ? -port : 0);
        host_ = enet_host_create(&address, port < 0 ? 4 : 1, 2, 0, 0);
        EXPECT_NE(host_, nullptr);
        if (!host_ || port < 0) return;
        ENetAddress to{};
        enet_address_set_host(&to, "127.0.0.1");
        to.port = uint16_t(port);
        peer_ = enet_host_connect(host_, &to, 2, 0);
        enet_host_flush(host_);
    }
    ~Liar() {
        if (host_) enet_host_destroy(host_);
    }
    Liar(const Liar&) = delete;
    Liar& operator=(const Liar&) = delete;

    void send(const std::vector<uint8_t>& bytes, bool reliable = false) {
        ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(),
                                                reliable ? ENET_PACKET_FLAG_RELIABLE : 0);
        if (enet_peer_send(peer_, reliable ? 0 : 1, packet) < 0) enet_packet_destroy(packet);
    }
    // Serves the connection for ms; true once it is connected. Packets received go to got.
    bool serve(int ms) {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        ENetEvent e;
        do {
            while (enet_host_service(host_, &e, 1) > 0) {
                if (e.type == ENET_EVENT_TYPE_CONNECT) connected = true, peer_ = e.peer;
                if (e.type == ENET_EVENT_TYPE_DISCONNECT) connected = false;
                if (e.type != ENET_EVENT_TYPE_RECEIVE) continue;
                got.emplace_back(e.packet->data, e.packet->data + e.packet->dataLength);
                enet_packet_destroy(e.packet);
            }
        } while (Clock::now() < end);
        return connected;
    }
    // Serves until a message of the kind came (false after the time).
    bool awaitmessage(Message kind, int seconds) {
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        while (Clock::now() < end) {
            for (const auto& bytes : got)
                if (kindof(bytes) == kind) return true;
            serve(10);
        }
        return false;
    }

    bool connected = false;
    std::vector<std::vector<uint8_t>> got;

  private:
    ENetHost* host_ = nullptr;
    ENetPeer* peer_ = nullptr;
};

Hello honesthello() {
    std::ifstream in(fs::path(VANTORIX_MEDIA_DIR) / "man.txt", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return Hello{VANTORIX_VERSION, figurehash(bytes.str()), 1};
}

std::vector<std::string> hosting(int port, int frames) {
    return {"--host",   std::to_string(port), "--multiplayer",       "players=2",
            "--nodraw", "--frames",           std::to_string(frames)};
}

// A liar seated at a game host: connected, said hello, got the start.
void seat(Liar& liar) {
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (!liar.connected && Clock::now() < end) liar.serve(10);
    ASSERT_TRUE(liar.connected);
    liar.send(encode(honesthello()), true);
    ASSERT_TRUE(liar.awaitmessage(Message::Start, 10));
}

Parts block(int32_t first, size_t count) {
    Parts p;
    p.game = 1;
    p.blocks.push_back({1, first, std::vector<MatchInput>(count)});
    return p;
}

// Waits for the text on the game's stderr; the seconds it took, or -1.
double awaittext(const GameFolder& game, const std::string& text, int seconds) {
    const auto start = Clock::now();
    while (game.text("stderr.txt").find(text) == std::string::npos) {
        if (Clock::now() - start > std::chrono::seconds(seconds)) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

// A seated joiner sends 3000 packets of parts the game cannot use yet (8 blocks of 1024
// frames from frame 1, then a million frames ahead), then frame 0 and leaves: the host takes
// it all at once, in little memory, and says who left.
TEST(HostilePeer, partsFarAheadCostTheHostNothing) {
    GameFolder game;
    const int port = testport(0);
    const pid_t pid = game.spawn("answer no\n", hosting(port, 1000000));
    Liar liar(port);
    seat(liar);
    Parts early = block(1, 1024);
    for (int k = 1; k < 8; ++k)
        early.blocks.push_back({1, 1 + 1024 * k, std::vector<MatchInput>(1024)});
    Parts ahead = block(1000000, 1024);
    for (int i = 0; i < 3000; ++i) {
        liar.send(encode(i % 2 ? early : ahead));
        if (i % 20 == 0) liar.serve(1);
    }
    liar.send(encode(block(0, 1)));
    liar.serve(200);
    liar.send(encode(Over{OverReason::Left, 1}), true);
    liar.serve(200);
    const double took = awaittext(game, "PLAYER 2 LEFT THE GAME", 20);
    kill(pid, SIGTERM);
    EXPECT_EQ(game.finish(pid), 128 + SIGTERM);
    EXPECT_GE(took, 0) << game.text("stderr.txt");
    EXPECT_LT(took, 3);
    EXPECT_LT(game.peakKiB, (ADDRESS_LIMIT ? 100 : 400) * 1024L);
}

// A seated joiner that keeps sending, but nothing the game can use: the host counts it silent
// (away, to be waited for) after 5 s, and spends almost no processor waiting for it meanwhile.
TEST(HostilePeer, chatterWithoutPartsIsSilence) {
    GameFolder game;
    const int port = testport(1);
    const auto started = Clock::now();
    const pid_t pid = game.spawn("answer no\n", hosting(port, 1000000));
    Liar liar(port);
    seat(liar);
    const auto end = Clock::now() + std::chrono::seconds(8);
    Parts nothing = block(0, 0);
    while (Clock::now() < end && game.text("stderr.txt").find("is away") == std::string::npos) {
        liar.send(encode(nothing));
        liar.send(encode(Hash{1, 60, 42}), true);
        liar.send({0xff, 0x00, 0x13});
        liar.serve(10);
    }
    const double waited = std::chrono::duration<double>(Clock::now() - started).count();
    kill(pid, SIGTERM);
    game.finish(pid);
    EXPECT_NE(game.text("stderr.txt").find("PLAYER 2 is away"), std::string::npos)
        << game.text("stderr.txt");
    EXPECT_LT(game.cpuSeconds / waited, 0.15) << game.cpuSeconds << " s of " << waited;
}

// Five connections that never say hello and eight made-up connection requests a second from
// addresses that never answer: the silent ones are dropped after 3 s, and a real machine that
// joins meanwhile gets in; the game is played on both machines alike.
TEST(HostilePeer, silentConnectionsAndMadeUpRequestsKeepNobodyOut) {
    GameFolder first, second;
    const int port = testport(2);
    // The host leaves the game with Escape, so both end it at the same frame.
    const std::string steer = "answer no\n700 down 37\n900 up 37\n920 down 38\n";
    const pid_t a = first.spawn(steer + "1600 down 27\n1602 up 27\n",
                                {"--host", std::to_string(port), "--multiplayer", "players=2",
                                 "--nodraw", "--trace", "trace.txt", "--frames", "1800"});
    std::vector<std::unique_ptr<Liar>> liars;
    for (int i = 0; i < 5; ++i) liars.push_back(std::make_unique<Liar>(port));
    for (auto& liar : liars) {
        const auto end = Clock::now() + std::chrono::seconds(10);
        while (!liar->connected && Clock::now() < end) liar->serve(10);
        ASSERT_TRUE(liar->connected);
    }
    pid_t b = 0;
    for (int s = 0; s < 7; ++s) {
        for (size_t k = 0; k < 5; ++k) liars[k]->serve(10);
        if (s == 4) {
            for (size_t k = 0; k < 5; ++k) EXPECT_FALSE(liars[k]->connected) << "silent " << k;
            b = second.spawn(steer, {"--join", "127.0.0.1:" + std::to_string(port), "--nodraw",
                                     "--trace", "trace.txt", "--frames", "1800"});
        }
        for (int i = 0; i < 8; ++i)
            liars.push_back(std::make_unique<Liar>(port, 0x7f000100 + 8 * s + i + 2));
        std::this_thread::sleep_for(std::chrono::milliseconds(900));
    }
    EXPECT_EQ(first.finish(a), 0) << first.text("stderr.txt");
    EXPECT_EQ(second.finish(b), 0) << second.text("stderr.txt");
    const std::vector<std::string> trace = first.lines("trace.txt");
    EXPECT_GT(trace.size(), 200u) << first.text("stderr.txt");
    EXPECT_EQ(second.lines("trace.txt"), trace);
}

// A host that lies to a joining machine: a start with machines that have no figure, a refusal
// that would drive the terminal, an end naming nobody or the joiner itself, then silence.
TEST(HostilePeer, aLyingHostIsRefusedOrOutlived) {
    const int port = testport(3);
    auto joinwith = [&](GameFolder& game, const std::function<void(Liar&)>& lie) {
        Liar host(-port);
        const pid_t pid = game.spawn("answer no\n", {"--join", "127.0.0.1:" + std::to_string(port),
                                                     "--nodraw", "--frames", "100000"});
        EXPECT_TRUE(host.awaitmessage(Message::Hello, 10));
        lie(host);
        return pid;
    };
    auto stop = [](GameFolder& game, pid_t pid) {
        kill(pid, SIGTERM);
        game.finish(pid);
    };

    GameFolder one;
    Start four{5, 4, 1, {}, {0, 1, -1, -1}};
    pid_t pid = joinwith(one, [&](Liar& host) { host.send(encode(four), true), host.serve(100); });
    EXPECT_GE(awaittext(one, "the host sent a start this game cannot play", 5), 0)
        << one.text("stderr.txt");
    stop(one, pid);

    GameFolder two;
    pid = joinwith(two, [&](Liar& host) {
        host.send(encoderefusal("\x1b]0;owned\x07\x1b[2J" + std::string(5000, 'x')), true);
        host.serve(100);
    });
    EXPECT_GE(awaittext(two, "the host refused: \\x1b]0;owned\\x07\\x1b[2Jxxx", 5), 0)
        << two.text("stderr.txt");
    stop(two, pid);
    const std::string said = two.text("stderr.txt");
    EXPECT_EQ(said.find('\x1b'), std::string::npos);
    EXPECT_LT(said.size(), 400u);

    GameFolder three;
    const auto begun = Clock::now();
    pid = joinwith(three, [&](Liar& host) {
        host.send(encode(Start{5, 2, 1, {}, {0, 1, -1, -1}}), true);
        host.send(encode(Over{OverReason::Left, 1}), true);
        host.serve(100);
        std::vector<uint8_t> nobody = encode(Over{OverReason::Left, 1});
        nobody.back() = 255;
        host.send(nobody, true);
        host.serve(200);
    });
    const double silent = awaittext(three, "PLAYER 1 STOPPED ANSWERING", 10);
    EXPECT_GE(silent, 0) << three.text("stderr.txt");
    EXPECT_GT(std::chrono::duration<double>(Clock::now() - begun).count(), 5.5);
    EXPECT_EQ(three.text("stderr.txt").find("PLAYER 2"), std::string::npos)
        << three.text("stderr.txt");
    stop(three, pid);
}

// A hello whose version would drive the terminal is refused and echoed as printable text; a
// port already in use ends a --host run with a failure.
TEST(HostilePeer, hostileHelloAndABusyPort) {
    GameFolder game;
    const int port = testport(4);
    const pid_t pid = game.spawn("answer no\n", hosting(port, 1000000));
    Liar liar(port);
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (!liar.connected && Clock::now() < end) liar.serve(10);
    Hello hello = honesthello();
    hello.version = "\x1b[31m\x07" + std::string(100000, 'v');
    liar.send(encode(hello), true);
    EXPECT_TRUE(liar.awaitmessage(Message::Refuse, 5));
    EXPECT_GE(awaittext(game, "could not join: the host plays version", 5), 0);
    kill(pid, SIGTERM);
    game.finish(pid);
    const std::string said = game.text("stderr.txt");
    EXPECT_NE(said.find("this is \\x1b[31m\\x07vvv"), std::string::npos) << said;
    EXPECT_EQ(said.find('\x1b'), std::string::npos);
    EXPECT_LT(said.size(), 400u);

    const int busy = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(testport(5)));
    ASSERT_EQ(bind(busy, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(game.run("answer no\n", hosting(testport(5), 1000)), 1);
    EXPECT_NE(game.text("stderr.txt").find("could not host on port"), std::string::npos);
    close(busy);
}

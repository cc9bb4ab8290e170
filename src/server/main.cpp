// vantorix-server: gives hosting games a room code, tells the machines of a room each other's
// addresses so they can reach each other directly, and relays a game's datagrams when they
// cannot. One UDP port, no files: everything it knows lives in memory and is bounded.
#include "server/rooms.h"
#include "server/sockaddress.h"
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/random.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopping = 0;

void stop(int) {
    stopping = 1;
}

long long now() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

constexpr const char* USAGE =
    "usage: vantorix-server [--port N] [--max-rooms N] [--relay-kbps N] [--watch-kbps N]\n"
    "                       [--feed-mb N]\n"
    "  --port N        the UDP port to serve (default 24690; 0 for any free one)\n"
    "  --max-rooms N   rooms held at once (default 1000)\n"
    "  --relay-kbps N  what one room's relay may pass on, kilobits a second (default 1000)\n"
    "  --watch-kbps N  what one room's spectators are sent, kilobits a second (default 4000)\n"
    "  --feed-mb N     the games held for spectators, all rooms together (default 256)\n";

struct Options {
    int port = 24690;
    ServerLimits limits;
};

bool number(const char* text, long least, long most, int& value) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno || end == text || *end || v < least || v > most) return false;
    value = int(v);
    return true;
}

// False with a message for anything it does not know. Every option but --help and --version
// takes a value.
bool parse(int argc, char** argv, Options& o, bool& done) {
    for (int i = 1; i < argc; i += 2) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool good = false;
        if (arg == "--help") {
            std::fputs(USAGE, stdout);
            return done = true;
        } else if (arg == "--version") {
            std::puts("vantorix-server " VANTORIX_VERSION);
            return done = true;
        } else if (arg == "--port" && value) {
            good = number(value, 0, 65535, o.port);
        } else if (arg == "--max-rooms" && value) {
            good = number(value, 1, 100000, o.limits.maxrooms);
        } else if (arg == "--relay-kbps" && value) {
            good = number(value, 1, 1000000, o.limits.relaykbps);
        } else if (arg == "--watch-kbps" && value) {
            good = number(value, 1, 1000000, o.limits.watchkbps);
        } else if (arg == "--feed-mb" && value) {
            good = number(value, 1, 65536, o.limits.feedmegabytes);
        }
        if (!good) {
            std::fprintf(stderr, "vantorix-server: cannot use '%s%s%s'\n%s", arg.c_str(),
                         value ? " " : "", value ? value : "", USAGE);
            return false;
        }
    }
    return true;
}

int opensocket(int port) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in a = addressof({INADDR_ANY, uint16_t(port)});
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        std::fprintf(stderr, "vantorix-server: cannot serve UDP port %d: %s\n", port,
                     std::strerror(errno));
        std::exit(1);
    }
    // Room for a burst of relayed datagrams while the server is busy.
    const int buffer = 4 << 20;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    return fd;
}

// Takes what came, up to a batch at a time, and sends the answers.
void serve(int fd, RoomServer& server) {
    constexpr int BATCH = 64;
    static uint8_t buffers[BATCH][LARGESTRELAYED + 1];
    sockaddr_in from[BATCH];
    iovec io[BATCH];
    mmsghdr in[BATCH];
    for (int i = 0; i < BATCH; ++i) {
        io[i] = {buffers[i], sizeof buffers[i]};
        in[i] = {};
        in[i].msg_hdr.msg_iov = &io[i];
        in[i].msg_hdr.msg_iovlen = 1;
        in[i].msg_hdr.msg_name = &from[i];
        in[i].msg_hdr.msg_namelen = sizeof from[i];
    }
    std::vector<Datagram> out;
    long long tidied = now();
    while (!stopping) {
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 1000);
        const long long t = now();
        const int n = recvmmsg(fd, in, BATCH, MSG_DONTWAIT, nullptr);
        for (int i = 0; i < n; ++i) {
            server.receive(endpointof(from[i]), buffers[i], in[i].msg_len, t, out);
            in[i].msg_hdr.msg_namelen = sizeof from[i];
        }
        for (const Datagram& d : out) {
            const sockaddr_in to = addressof(d.to);
            sendto(fd, d.bytes.data(), d.bytes.size(), MSG_DONTWAIT,
                   reinterpret_cast<const sockaddr*>(&to), sizeof to);
        }
        out.clear();
        if (t - tidied >= 1000) server.expire(t), tidied = t;
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    bool done = false;
    if (!parse(argc, argv, options, done)) return 2;
    if (done) return 0;
    uint64_t key[2];
    if (getrandom(key, sizeof key, 0) != sizeof key) {
        std::fputs("vantorix-server: no random numbers for the key\n", stderr);
        return 1;
    }
    const int fd = opensocket(options.port);
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    std::signal(SIGINT, stop);
    std::signal(SIGTERM, stop);
    std::printf("vantorix-server: room codes and relays on UDP port %d\n", ntohs(bound.sin_port));
    std::fflush(stdout);
    RoomServer server(options.limits, key[0], key[1]);
    serve(fd, server);
    close(fd);
    return 0;
}

// The rendezvous server under load, on 127.0.0.1: one process makes relayed two-machine
// rooms (each machine on a loopback address of its own) and sends 60 datagrams a second each
// way through every relay, then as many as it can. It reports the server's share of one core,
// its memory per room, the datagrams it passed on a second and those lost.
//   server_load [rooms (500)] [seconds at 60 a second (10)] [seconds flat out (3)]
#include "rzclient.h"
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// The server on a free port; its pid and address.
pid_t startserver(Endpoint& at) {
    int out[2];
    if (pipe(out) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        execl(SERVER, SERVER, "--port", "0", "--max-rooms", "1000", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    char line[200] = "";
    FILE* said = fdopen(out[0], "r");
    int port = 0;
    if (!std::fgets(line, sizeof line, said) ||
        std::sscanf(line, "vantorix-server: room codes and relays on UDP port %d", &port) != 1)
        return -1;
    at = {0x7F000001, uint16_t(port)};
    return pid;
}

struct Counts {
    long sent = 0, received = 0;
};

// Every relay end sends `each` datagrams; every socket is then emptied.
void tick(std::vector<std::unique_ptr<RelayedPair>>& rooms, const Endpoint& server, int each,
          Counts& c) {
    static const std::vector<uint8_t> frame(60, 0x80); // about a game's packet with ENet's header
    for (auto& room : rooms) {
        for (int k = 0; k < each; ++k) {
            room->joiner.send(server, frame);
            room->relay.send(server, frame);
            c.sent += 2;
        }
    }
    uint8_t buffer[2048];
    for (auto& room : rooms) {
        for (const RzClient* end : {&room->joiner, &room->relay}) {
            for (ssize_t n; (n = recv(end->socket(), buffer, sizeof buffer, MSG_DONTWAIT)) > 0;)
                c.received += n == ssize_t(frame.size()); // the server's own news not counted
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const int rooms = argc > 1 ? std::atoi(argv[1]) : 500;
    const double steady = argc > 2 ? std::atof(argv[2]) : 10,
                 flat = argc > 3 ? std::atof(argv[3]) : 3;
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);

    Endpoint server;
    const pid_t pid = startserver(server);
    if (pid <= 0) return std::fputs("server_load: the server did not start\n", stderr), 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const long emptykib = residentkib(pid);
    std::vector<std::unique_ptr<RelayedPair>> pairs;
    for (int i = 0; i < rooms; ++i) {
        const uint32_t low = uint32_t(i / 250) << 8 | uint32_t(i % 250 + 1);
        pairs.push_back(std::make_unique<RelayedPair>(0x7F010000 | low, 0x7F020000 | low));
        if (!pairs.back()->open(server)) {
            std::fprintf(stderr, "server_load: room %d could not be made\n", i);
            kill(pid, SIGKILL);
            return 1;
        }
    }
    const long fullkib = residentkib(pid);

    // 60 datagrams a second each way through every relay.
    Counts paced;
    double cpu = processorseconds(pid);
    auto start = Clock::now();
    for (int t = 0; since(start) < steady; ++t) {
        tick(pairs, server, 1, paced);
        std::this_thread::sleep_until(start + std::chrono::microseconds(16667 * (t + 1)));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    tick(pairs, server, 0, paced);
    const double pacedshare = (processorseconds(pid) - cpu) / since(start);

    // Flat out: what the server passes on when it is the bottleneck (or the sender is).
    Counts saturated;
    cpu = processorseconds(pid);
    start = Clock::now();
    while (since(start) < flat) tick(pairs, server, 4, saturated);
    const double seconds = since(start);
    const double flatshare = (processorseconds(pid) - cpu) / seconds;

    std::printf("server_load: %d relayed rooms, 60 datagrams/s each way: server %.1f %% of a core, "
                "%.2f %% lost (%ld of %ld); memory %ld KiB empty, %ld KiB with the rooms "
                "(%.2f KiB a room); flat out: %.0f datagrams/s passed on, %.1f %% lost, server "
                "%.0f %% of a core\n",
                rooms, pacedshare * 100,
                100.0 * double(paced.sent - paced.received) / double(paced.sent),
                paced.sent - paced.received, paced.sent, emptykib, fullkib,
                double(fullkib - emptykib) / rooms, double(saturated.received) / seconds,
                100.0 * double(saturated.sent - saturated.received) / double(saturated.sent),
                flatshare * 100);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return 0;
}

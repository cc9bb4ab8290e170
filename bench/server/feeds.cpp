// What the server's feeds for spectators cost it, in one process without sockets: many rooms
// each fed a five-minute game's stream as a host sends it (15 pieces a second of 40 bytes),
// and eight spectators of each taking all of it from its first piece. It reports the time per
// piece taken from a host and per request of a spectator, and the memory a fed room holds.
//   server_feeds [rooms (500, at most 1800)]
#include "server/rooms.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// This process's resident memory, in kilobytes.
long residentkb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

// Made-up addresses of the documentation ranges (no datagram leaves the process): eight rooms
// to a host address, as the server allows, and the spectators spread over another range.
Endpoint hostof(int room) {
    return {0xC6336400u + uint32_t(room / 8), uint16_t(1000 + room % 8)};
}

Endpoint watcherof(int room, int k) {
    const int n = room * 8 + k;
    return {0xCB007100u + uint32_t(n % 256), uint16_t(2000 + n / 256)};
}

// Sends a request as its address with its cookie, learning the cookie first when the server
// challenges it.
std::vector<Datagram> ask(RoomServer& server, const Endpoint& from, uint64_t& cookie, RzMessage m,
                          long long now) {
    std::vector<Datagram> out;
    for (int tries = 0; tries < 2; ++tries) {
        m.cookie = cookie;
        const std::vector<uint8_t> bytes = encode(m);
        out.clear();
        server.receive(from, bytes.data(), bytes.size(), now, out);
        const auto challenge =
            out.size() == 1 ? decoderz(out[0].bytes.data(), out[0].bytes.size()) : std::nullopt;
        if (!challenge || challenge->kind != Rz::Challenge) break;
        cookie = challenge->cookie;
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    const int rooms = std::min(argc > 1 ? std::atoi(argv[1]) : 500, 1800);
    constexpr uint32_t PIECES = 15 * 300; // five minutes
    ServerLimits limits;
    limits.maxrooms = rooms;
    limits.watchkbps = 1000000; // the time is what is measured, not the allowance
    RoomServer server(limits, 1, 2);
    const long long now = 1000000;
    std::vector<RoomCode> codes;
    std::vector<uint64_t> cookies(size_t(rooms) * 9, 0); // each host's, then its 8 watchers'
    for (int r = 0; r < rooms; ++r) {
        RzMessage reg;
        reg.kind = Rz::Register;
        const auto out = ask(server, hostof(r), cookies[size_t(r) * 9], reg, now);
        const auto answer = decoderz(out.back().bytes.data(), out.back().bytes.size());
        if (!answer || answer->kind != Rz::Registered) return std::puts("no room"), 1;
        codes.push_back(answer->code);
    }
    const long before = residentkb();
    RzMessage piece;
    piece.kind = Rz::Feed;
    piece.bytes.assign(40, 0x55);
    std::vector<Datagram> out;
    const auto feeding = Clock::now();
    long taken = 0;
    for (uint32_t n = 0; n < PIECES; ++n) {
        for (int r = 0; r < rooms; ++r) {
            piece.code = codes[size_t(r)];
            piece.piece = n;
            piece.flag = n == 0;
            out = ask(server, hostof(r), cookies[size_t(r) * 9], piece, now);
            taken += long(out.size());
        }
    }
    const double feedtime = since(feeding);
    const long after = residentkb();
    RzMessage pull;
    pull.kind = Rz::Pull;
    long requests = 0, sent = 0;
    const auto pulling = Clock::now();
    for (int r = 0; r < rooms; ++r) {
        pull.code = codes[size_t(r)];
        for (int k = 0; k < 8; ++k) {
            for (uint32_t from = 0; from < PIECES; from += FEEDWINDOW) {
                pull.piece = from;
                sent += long(
                    ask(server, watcherof(r, k), cookies[size_t(r) * 9 + 1 + size_t(k)], pull, now)
                        .size());
                ++requests;
            }
        }
    }
    const double pulltime = since(pulling);
    std::printf("%d rooms fed %u pieces each (%zu bytes held in all): %.2f us a piece taken, "
                "%ld answered\n",
                rooms, PIECES, server.feedbytes(), feedtime * 1e6 / double(PIECES) / rooms, taken);
    std::printf("memory held: %.1f KB a fed room (%.0f bytes a piece)\n",
                double(after - before) / rooms, double(after - before) * 1024 / PIECES / rooms);
    std::printf("8 spectators a room took it all: %.2f us a request of %u pieces, %ld pieces "
                "sent\n",
                pulltime * 1e6 / double(requests), FEEDWINDOW, sent);
    return 0;
}

// libFuzzer target: any datagrams, as if from the server or from other machines, to a hosting
// and a joining machine's side of the meeting, with time passing between them. Neither
// crashes, both send only well-made messages, and what they send or ask for stays bounded
// whatever a lying server says.
#include "net/meeting.h"
#include <cstdlib>

namespace {

void check(bool good) {
    if (!good) std::abort();
}

const Endpoint SERVER{0xCB007101, 24690};

void drain(Meeting& m, size_t& sent) {
    for (const Outbound& o : m.take()) {
        check(o.socket >= 0 && o.socket <= 8 && o.bytes.size() <= REQUESTSIZE);
        check(decoderz(o.bytes.data(), o.bytes.size()).has_value());
        ++sent;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    long long now = 1000000;
    Meeting host(SERVER, {{0xC0000202, 24680}}, now);
    Meeting joiner(SERVER, {'A', 'B', 'C', 'D', 'E', 'F'}, {{0xC0000203, 5000}}, now);
    size_t sent = 0, steps = 0;
    int sockets = 0;
    // Each datagram: flags (who sends it, to which socket, how long after the last), length,
    // bytes.
    for (size_t at = 0; at + 2 <= size; ++steps) {
        const uint8_t flags = data[at];
        const size_t length = std::min<size_t>(data[at + 1], size - at - 2);
        const uint8_t* bytes = data + at + 2;
        at += 2 + length;
        const Endpoint from = flags & 1 ? SERVER : Endpoint{0xC6336400u + (flags >> 1 & 3), 24680};
        now += (flags >> 4) * 50;
        // To the host (on its newest relay socket when the sender bits are all set) or the
        // joiner.
        if (const auto m = decoderz(bytes, length)) {
            if (flags & 8) {
                host.received((flags & 6) == 6 ? sockets : 0, from, *m, now);
            } else {
                joiner.received(0, from, *m, now);
            }
        }
        host.tick(now);
        joiner.tick(now);
        while (const auto token = host.socketwanted()) host.opened(*token, ++sockets, now);
        check(sockets <= 8);
        drain(host, sent);
        drain(joiner, sent);
    }
    // Requests, keeping the room and punching: a few a step at most.
    check(sent <= 64 * (steps + 1));
    return 0;
}

// libFuzzer target: any datagrams, as if from the server or from other machines, to a hosting
// and a joining machine's side of the meeting, and to a host's feed for its spectators and a
// spectator's side of it, with time passing between them. None crashes, all send only
// well-made messages, and what they send, ask for or hand on stays bounded whatever a lying
// server says.
#include "net/feeding.h"
#include "net/meeting.h"
#include <cstdlib>

namespace {

void check(bool good) {
    if (!good) std::abort();
}

const Endpoint SERVER{0xCB007101, 24690};

template <class Side> void drain(Side& side, size_t& sent, size_t largest = REQUESTSIZE) {
    for (const Outbound& o : side.take()) {
        check(o.socket >= 0 && o.socket <= 8 && o.bytes.size() <= largest);
        check(decoderz(o.bytes.data(), o.bytes.size()).has_value());
        ++sent;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    long long now = 1000000;
    Meeting host(SERVER, {{0xC0000202, 24680}}, now);
    Meeting joiner(SERVER, {'A', 'B', 'C', 'D', 'E', 'F'}, {{0xC0000203, 5000}}, now);
    Upload upload(SERVER);
    Pulling pulling(SERVER, {'A', 'B', 'C', 'D', 'E', 'F'}, now);
    size_t sent = 0, steps = 0, read = 0;
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
                upload.received(from, *m);
            } else {
                joiner.received(0, from, *m, now);
                pulling.received(from, *m, now);
            }
        }
        // The host feeds its spectators the datagram's bytes too, now and then as a game's
        // start.
        upload.feed(std::vector<uint8_t>(bytes, bytes + length), flags & 4);
        host.tick(now);
        joiner.tick(now);
        upload.tick(now, host.code());
        pulling.tick(now);
        while (const auto message = pulling.next()) {
            check(message->size() <= LARGESTFED);
            read += message->size() + 4;
        }
        while (const auto token = host.socketwanted()) host.opened(*token, ++sockets, now);
        check(sockets <= 8);
        drain(host, sent);
        drain(joiner, sent);
        drain(upload, sent, LARGESTRZ);
        drain(pulling, sent);
    }
    // Requests, keeping the room, punching, pieces of the feed: a few dozen a step at most;
    // a spectator hands on no more than the pieces it was sent.
    check(sent <= 64 * (steps + 1));
    check(read <= size);
    return 0;
}

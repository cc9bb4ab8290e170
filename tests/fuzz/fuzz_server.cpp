// libFuzzer target: any datagrams, from a few addresses at made-up times, to the rendezvous
// and relay server. A flag in each datagram's first byte puts the address's true cookie in,
// so the fuzzer reaches rooms, joins and relays, not only the challenge. The server never
// crashes, sends only well-made messages of its own (or relays what it was given), keeps
// within its room limit, and any message it reads encodes back to the same message.
#include "server/rooms.h"
#include <cstdlib>

namespace {

void check(bool good) {
    if (!good) std::abort();
}

bool same(const RzMessage& a, const RzMessage& b) {
    return a.kind == b.kind && a.cookie == b.cookie && a.code == b.code && a.token == b.token &&
           a.open == b.open && a.answer == b.answer && a.refusal == b.refusal && a.seen == b.seen &&
           a.other == b.other && a.locals == b.locals && a.name == b.name &&
           a.present == b.present && a.wanted == b.wanted && a.piece == b.piece &&
           a.bytes == b.bytes && a.flag == b.flag;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ServerLimits limits;
    limits.maxrooms = 4;
    limits.relaykbps = 64;
    RoomServer server(limits, 11, 22);
    const Keyed keyed(11, 22);
    long long now = 100000;
    std::vector<Datagram> out;
    // Each datagram: flags (address, cookie), milliseconds to wait, length, bytes.
    for (size_t at = 0; at + 3 <= size;) {
        const uint8_t flags = data[at], wait = data[at + 1];
        const size_t length = std::min<size_t>(data[at + 2], size - at - 3);
        std::vector<uint8_t> bytes(data + at + 3, data + at + 3 + length);
        at += 3 + length;
        const Endpoint from{0xC0000200u + (flags & 7), uint16_t(1000 + (flags >> 3 & 3))};
        now += wait * 100;
        if (flags & 0x80 && bytes.size() >= 12) {
            const uint64_t cookie = keyed.cookie(from, now / 30000);
            for (int i = 0; i < 8; ++i) bytes[size_t(4 + i)] = uint8_t(cookie >> (8 * (7 - i)));
        }
        if (const auto m = decoderz(bytes.data(), bytes.size())) {
            const std::vector<uint8_t> again = encode(*m);
            const auto back = decoderz(again.data(), again.size());
            check(back && same(*back, *m));
        }
        out.clear();
        server.receive(from, bytes.data(), bytes.size(), now, out);
        for (const Datagram& d : out)
            check(!isrendezvous(d.bytes.data(), d.bytes.size()) ||
                  decoderz(d.bytes.data(), d.bytes.size()));
        if (flags & 0x40) server.expire(now);
        check(server.rooms() <= 4);
    }
    return 0;
}

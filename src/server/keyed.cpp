// SipHash-2-4 of two 64-bit words (the reference algorithm, for a fixed 16-byte message).
#include "server/keyed.h"

namespace {

uint64_t rotl(uint64_t x, int b) {
    return x << b | x >> (64 - b);
}

struct State {
    uint64_t v0, v1, v2, v3;
    void round() {
        v0 += v1, v1 = rotl(v1, 13), v1 ^= v0, v0 = rotl(v0, 32);
        v2 += v3, v3 = rotl(v3, 16), v3 ^= v2;
        v0 += v3, v3 = rotl(v3, 21), v3 ^= v0;
        v2 += v1, v1 = rotl(v1, 17), v1 ^= v2, v2 = rotl(v2, 32);
    }
    void absorb(uint64_t m) {
        v3 ^= m;
        round(), round();
        v0 ^= m;
    }
};

} // namespace

uint64_t Keyed::hash(uint64_t a, uint64_t b) const {
    State s{k0_ ^ 0x736f6d6570736575ull, k1_ ^ 0x646f72616e646f6dull, k0_ ^ 0x6c7967656e657261ull,
            k1_ ^ 0x7465646279746573ull};
    s.absorb(a);
    s.absorb(b);
    s.absorb(uint64_t(16) << 56); // the message's length in the last byte, no bytes left over
    s.v2 ^= 0xff;
    s.round(), s.round(), s.round(), s.round();
    return s.v0 ^ s.v1 ^ s.v2 ^ s.v3;
}

uint64_t Keyed::cookie(const Endpoint& from, long long period) const {
    return hash(uint64_t(from.ip) << 16 | from.port, uint64_t(period) | 1ull << 63);
}

uint64_t Keyed::next() {
    return hash(++drawn_, 0);
}

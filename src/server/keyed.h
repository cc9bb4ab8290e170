// Numbers nobody else can make: SipHash-2-4 under the server's secret key, drawn at start.
// The cookie of an address proves a request came from where it says (only that address got
// it); room codes and tokens are keyed hashes of a counter, so none foretells another.
#pragma once
#include "net/rendezvous.h"
#include <cstdint>

class Keyed {
  public:
    Keyed(uint64_t k0, uint64_t k1) : k0_(k0), k1_(k1) {}
    // The cookie of an address in one period of time.
    uint64_t cookie(const Endpoint& from, long long period) const;
    // A fresh unforeseeable number.
    uint64_t next();
    // SipHash-2-4 of the 16 bytes of a and b (each little-endian).
    uint64_t hash(uint64_t a, uint64_t b) const;

  private:
    uint64_t k0_, k1_;
    uint64_t drawn_ = 0;
};

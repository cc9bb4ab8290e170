// A client of vantorix-server for the tests and the load benchmark: a UDP socket on a
// loopback address of its own (127.0.0.0/8 is all this machine's, so every client can be a
// different address to the server's per-address limits), and requests that carry the cookie
// the server gives.
#pragma once
#include "net/rendezvous.h"
#include <optional>
#include <vector>

class RzClient {
  public:
    explicit RzClient(uint32_t ip = 0x7F000001);
    ~RzClient();
    RzClient(const RzClient&) = delete;
    RzClient& operator=(const RzClient&) = delete;

    Endpoint address() const { return address_; }
    int socket() const { return fd_; }
    void send(const Endpoint& to, const std::vector<uint8_t>& bytes) const;
    // The next datagram, waiting at most ms.
    std::optional<std::vector<uint8_t>> receive(int ms) const;
    // Sends the request with this address's cookie (answering a challenge) until an answer
    // of the kind wanted or a refusal comes, within a second.
    std::optional<RzMessage> ask(const Endpoint& server, RzMessage m, Rz wanted);
    uint64_t cookie = 0;

  private:
    int fd_ = -1;
    Endpoint address_;
};

// A relayed room as two machines make it: the host registers, the joiner joins and asks for
// the relay, the host binds a socket of its own for it. Then datagrams from the joiner reach
// the relay socket through the server, and back.
struct RelayedPair {
    RelayedPair(uint32_t hostip, uint32_t joinerip)
        : host(hostip), relay(hostip), joiner(joinerip) {}
    bool open(const Endpoint& server);
    RzClient host, relay, joiner;
};

// The server's resident memory, KiB (0 when it cannot be read).
long residentkib(int pid);
// Processor time the process used so far, seconds.
double processorseconds(int pid);

// The connection between machines, over ENet (UDP): one host that others connect to, packets
// sent reliably (the talk before and around a game) or not (the parts of frames, sent again
// until acknowledged), every outgoing packet through the --netsim impairment. Machines are
// numbered by the host: 0 for itself, then the first free number for each connection; a
// joining machine only talks to the host (machine 0).
//
// The host has room for many more connections than a game has machines, and a connection
// still shaking hands after HANDSHAKE_MS is dropped, so neither silent connections (which the
// session drops) nor made-up connection requests can keep a real machine out.
#pragma once
#include "net/netsim.h"
#include <memory>
#include <string>
#include <vector>

// Connections at the host, a game's machines and refused or silent ones included.
inline constexpr int HOSTPEERS = 64;
// A connection must finish ENet's handshake in this time.
inline constexpr long long HANDSHAKE_MS = 3000;

struct NetEvent {
    enum Kind { None, Connected, Received, Disconnected } kind = None;
    int machine = 0;
    std::vector<uint8_t> bytes;
};

struct LinkStats {
    long long bytessent = 0; // payload of the unreliable packets
    long packetslost = 0;    // dropped by the impairment
};

class Link {
  public:
    explicit Link(const NetSim& sim);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Hosts on the port; false with the reason.
    bool host(int port, std::string& error);
    // Starts connecting to HOST:PORT; Connected comes through poll.
    bool join(const std::string& address, std::string& error);
    void send(int machine, const std::vector<uint8_t>& bytes, bool reliable);
    // The next thing that happened, None when nothing did. Sends what the impairment lets go.
    NetEvent poll();
    // Sleeps on the socket until a packet comes or ms pass (less when the impairment holds a
    // packet due sooner): a waiting machine uses no processor.
    void wait(int ms);
    // Closes the connection to the machine at once.
    void drop(int machine);
    LinkStats stats() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Milliseconds of the real clock: the network lives in real time even when the game runs on
// a script's virtual clock.
long long NetNow();

// The connection between machines, over ENet (UDP): one host that others connect to, packets
// sent reliably (the talk before and around a game) or not (the parts of frames, sent again
// until acknowledged), every outgoing packet through the --netsim impairment. Machines are
// numbered by the host: 0 for itself, 1, 2, 3 for the others in the order they connected; a
// joining machine only talks to the host (machine 0).
#pragma once
#include "net/netsim.h"
#include <memory>
#include <string>
#include <vector>

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

    // Hosts on the port for up to the given number of other machines; false with the reason.
    bool host(int port, int others, std::string& error);
    // Starts connecting to HOST:PORT; Connected comes through poll.
    bool join(const std::string& address, std::string& error);
    void send(int machine, const std::vector<uint8_t>& bytes, bool reliable);
    // The next thing that happened, None when nothing did. Sends what the impairment lets go.
    NetEvent poll();
    LinkStats stats() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Milliseconds of the real clock: the network lives in real time even when the game runs on
// a script's virtual clock.
long long NetNow();

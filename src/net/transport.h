// What an online session needs of a network: packets to and from numbered machines, sent
// reliably (the talk before and around a game) or not (the parts of frames, sent again until
// acknowledged), a clock, and a way to wait for the next packet. The host numbers the other
// machines 1, 2, ...; a joining machine knows only the host, machine 0. ENet over UDP is one
// transport (link.h); an in-process network on a virtual clock is the other (localnet.h).
#pragma once
#include <cstdint>
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

class Transport {
  public:
    virtual ~Transport() = default;
    virtual void send(int machine, const std::vector<uint8_t>& bytes, bool reliable) = 0;
    // The next thing that happened, None when nothing did.
    virtual NetEvent poll() = 0;
    // Sleeps until a packet comes or ms pass: a waiting machine uses no processor.
    virtual void wait(int ms) = 0;
    // Closes the connection to the machine at once.
    virtual void drop(int machine) = 0;
    // Milliseconds of the network's clock: real time for a real network, whatever clock the
    // game runs on.
    virtual long long now() const = 0;
    virtual LinkStats stats() const = 0;

    // Meeting through a server or on the local network (link.h). The room's code once the
    // server gave it; why the meeting failed (refused, no answer); whether a machine's packets
    // go through the server's relay; the host's players there and wanted in all (what it
    // tells machines looking for games, and the server, which turns away more); and whether
    // the server that relays some of this machine's packets stopped answering.
    virtual std::string room() const { return {}; }
    virtual std::string trouble() const { return {}; }
    // The trouble is the server's refusal (not its silence): trying again will not help.
    virtual bool refused() const { return false; }
    virtual bool relayed(int /*machine*/) const { return false; }
    virtual void lobby(int /*present*/, int /*wanted*/) {}
    virtual bool serverlost() const { return false; }

    // A host's spectators fed through the server (feeding.h): how many the server feeds, as
    // it last said, and a message for all of them (a game's start flagged).
    virtual int watchers() const { return 0; }
    virtual void feedwatchers(const std::vector<uint8_t>& /*message*/, bool /*gamestart*/) {}
};

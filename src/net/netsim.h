// A bad network on demand: this process's outgoing packets held back by a delay with jitter,
// dropped or doubled at random, as --netsim says. Tests and players trying the game over a
// poor line use it; packets that must arrive (the reliable ones) are only delayed.
#pragma once
#include <climits>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

struct NetSim {
    int delay = 0, jitter = 0; // ms
    int loss = 0, dup = 0;     // percent
    unsigned seed = 1;
};

// Milliseconds of the real clock: the network, and the impairment with it, lives in real time
// even when the game runs on a script's virtual clock.
long long NetNow();

// "delay=MS,jitter=MS,loss=PERCENT,dup=PERCENT,seed=S", any of them; false with the reason.
bool parsenetsim(const std::string& text, NetSim& out, std::string& error);

struct Outgoing {
    int peer = 0;
    bool reliable = false;
    std::vector<uint8_t> bytes;
};

class ImpairedQueue {
  public:
    explicit ImpairedQueue(const NetSim& sim) : sim_(sim), random_(sim.seed) {}
    // A packet handed to the network at nowms: lost, held back, or twice.
    void push(Outgoing packet, long long nowms);
    // The packets whose time has come, in the order they leave.
    std::vector<Outgoing> due(long long nowms);
    bool empty() const { return held_.empty(); }
    // When the next held packet is due; far in the future when none is held.
    long long nextdue() const { return held_.empty() ? LLONG_MAX : held_.begin()->first; }
    long dropped = 0;

  private:
    long long when(long long nowms);
    NetSim sim_;
    std::mt19937 random_;
    std::multimap<long long, Outgoing> held_;
};

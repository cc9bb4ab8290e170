// A network of machines in one process on a virtual clock: sessions play against each other
// over it without sockets and without waiting, so their tests assert nothing about wall-clock
// time. Every machine's outgoing packets go through its own --netsim impairment (delay,
// jitter, loss, doubles, from a seed: the same run every time); reliable packets are only
// delayed and keep their order. The clock moves only when advance is called.
#pragma once
#include "net/netsim.h"
#include "net/transport.h"
#include <deque>
#include <memory>
#include <vector>

class LocalNet {
  public:
    // The impairment of every machine's packets; each machine draws from its own seed.
    explicit LocalNet(const NetSim& sim);
    ~LocalNet();
    LocalNet(const LocalNet&) = delete;
    LocalNet& operator=(const LocalNet&) = delete;

    // The host's end of the network (once), and the end of a machine that joins it: both hear
    // Connected at once. The ends must not outlive the net.
    std::unique_ptr<Transport> host();
    std::unique_ptr<Transport> join();
    // Moves the clock on by ms, delivering what comes due on the way.
    void advance(long long ms);
    long long now() const { return now_; }

  private:
    friend class LocalEnd;
    struct End {
        explicit End(const NetSim& sim) : out(sim) {}
        ImpairedQueue out;          // on its way from this end, by the machine it goes to
        std::deque<NetEvent> inbox; // arrived, not yet polled
        std::vector<bool> linked;   // by machine number: a connection open at this end
        LinkStats stats;
        bool open = true;
    };
    // The end a machine number at this end means, and the number this end has at that one.
    int endof(int from, int machine) const { return from == 0 ? machine : 0; }
    int numberat(int to, int from) const { return to == 0 ? from : 0; }
    // A connection event at an end, now.
    void tell(int end, NetEvent::Kind kind, int machine);
    void close(int end);

    NetSim sim_;
    long long now_ = 0;
    std::vector<std::unique_ptr<End>> ends_;
};

// The in-process network; see localnet.h.
#include "net/localnet.h"

// One machine's end: what it sends waits in its impairment until the net's clock lets it go.
class LocalEnd : public Transport {
  public:
    LocalEnd(LocalNet& net, int end) : net_(net), end_(end) {}
    ~LocalEnd() override { net_.close(end_); }

    void send(int machine, const std::vector<uint8_t>& bytes, bool reliable) override {
        LocalNet::End& me = *net_.ends_[size_t(end_)];
        if (machine < 0 || size_t(machine) >= me.linked.size() || !me.linked[size_t(machine)])
            return;
        if (!reliable) me.stats.bytessent += static_cast<long long>(bytes.size());
        me.out.push({machine, reliable, bytes}, net_.now_);
    }
    NetEvent poll() override {
        std::deque<NetEvent>& inbox = net_.ends_[size_t(end_)]->inbox;
        if (inbox.empty()) return {};
        NetEvent e = std::move(inbox.front());
        inbox.pop_front();
        return e;
    }
    // The clock is the test's to move.
    void wait(int) override {}
    void drop(int machine) override {
        LocalNet::End& me = *net_.ends_[size_t(end_)];
        if (machine < 0 || size_t(machine) >= me.linked.size() || !me.linked[size_t(machine)])
            return;
        me.linked[size_t(machine)] = false;
        const int other = net_.endof(end_, machine);
        net_.ends_[size_t(other)]->linked[size_t(net_.numberat(other, end_))] = false;
        net_.tell(other, NetEvent::Disconnected, net_.numberat(other, end_));
    }
    long long now() const override { return net_.now_; }
    LinkStats stats() const override {
        LinkStats s = net_.ends_[size_t(end_)]->stats;
        s.packetslost += net_.ends_[size_t(end_)]->out.dropped;
        return s;
    }

  private:
    LocalNet& net_;
    int end_;
};

LocalNet::LocalNet(const NetSim& sim) : sim_(sim) {}

LocalNet::~LocalNet() = default;

std::unique_ptr<Transport> LocalNet::host() {
    ends_.push_back(std::make_unique<End>(sim_));
    ends_.back()->linked.assign(1, false);
    return std::make_unique<LocalEnd>(*this, 0);
}

std::unique_ptr<Transport> LocalNet::join() {
    const int end = int(ends_.size());
    NetSim sim = sim_;
    sim.seed = sim_.seed + unsigned(end) * 7919;
    ends_.push_back(std::make_unique<End>(sim));
    ends_.back()->linked = {true};
    End& host = *ends_[0];
    if (host.linked.size() <= size_t(end)) host.linked.resize(size_t(end) + 1, false);
    host.linked[size_t(end)] = true;
    tell(0, NetEvent::Connected, end);
    tell(end, NetEvent::Connected, 0);
    return std::make_unique<LocalEnd>(*this, end);
}

void LocalNet::tell(int end, NetEvent::Kind kind, int machine) {
    if (!ends_[size_t(end)]->open) return;
    NetEvent e;
    e.kind = kind;
    e.machine = machine;
    ends_[size_t(end)]->inbox.push_back(std::move(e));
}

void LocalNet::close(int end) {
    End& me = *ends_[size_t(end)];
    me.open = false;
    for (size_t machine = 0; machine < me.linked.size(); ++machine) {
        if (!me.linked[machine]) continue;
        me.linked[machine] = false;
        const int other = endof(end, int(machine));
        ends_[size_t(other)]->linked[size_t(numberat(other, end))] = false;
        tell(other, NetEvent::Disconnected, numberat(other, end));
    }
}

void LocalNet::advance(long long ms) {
    for (long long step = 0; step < ms; ++step) {
        ++now_;
        for (size_t from = 0; from < ends_.size(); ++from) {
            for (Outgoing& packet : ends_[from]->out.due(now_)) {
                const int to = endof(int(from), packet.peer);
                End& there = *ends_[size_t(to)];
                // What was on its way when the connection closed is lost with it.
                const int number = numberat(to, int(from));
                if (!there.open || size_t(number) >= there.linked.size() ||
                    !there.linked[size_t(number)])
                    continue;
                NetEvent e;
                e.kind = NetEvent::Received;
                e.machine = number;
                e.bytes = std::move(packet.bytes);
                there.inbox.push_back(std::move(e));
            }
        }
    }
}

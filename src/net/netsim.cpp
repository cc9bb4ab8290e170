// The impairment of outgoing packets; see netsim.h.
#include "net/netsim.h"
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>

long long NetNow() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool parsenetsim(const std::string& text, NetSim& out, std::string& error) {
    NetSim sim;
    std::istringstream items(text);
    for (std::string item; std::getline(items, item, ',');) {
        const size_t eq = item.find('=');
        const std::string key = item.substr(0, eq);
        char* end = nullptr;
        const long value =
            eq == std::string::npos ? -1 : std::strtol(item.c_str() + eq + 1, &end, 10);
        const bool number = eq != std::string::npos && eq + 1 < item.size() && *end == '\0';
        struct Field {
            const char* key;
            long hi;
            int* to;
        };
        int seed = 0;
        const Field fields[] = {{"delay", 10000, &sim.delay},
                                {"jitter", 10000, &sim.jitter},
                                {"loss", 100, &sim.loss},
                                {"dup", 100, &sim.dup},
                                {"seed", 2147483647, &seed}};
        const Field* found = nullptr;
        for (const Field& f : fields)
            if (key == f.key) found = &f;
        if (!found) {
            error = "--netsim: unknown setting '" + item + "'";
            return false;
        }
        if (!number || value < 0 || value > found->hi) {
            error = "--netsim " + key + " must be a whole number from 0 to " +
                    std::to_string(found->hi) + ", not '" + item.substr(eq + 1) + "'";
            return false;
        }
        *found->to = int(value);
        if (found->to == &seed) sim.seed = unsigned(seed);
    }
    out = sim;
    return true;
}

long long ImpairedQueue::when(long long nowms) {
    const int spread = sim_.jitter;
    std::uniform_int_distribution<int> jitter(-spread, spread);
    return nowms + std::max(0, sim_.delay + jitter(random_));
}

void ImpairedQueue::push(Outgoing packet, long long nowms) {
    std::uniform_int_distribution<int> percent(0, 99);
    const bool lose = percent(random_) < sim_.loss, twice = percent(random_) < sim_.dup;
    if (!packet.reliable && lose) {
        ++dropped;
        return;
    }
    if (!packet.reliable && twice) held_.insert({when(nowms), packet});
    // Reliable packets keep their order: none leaves before one sent earlier.
    long long at = when(nowms);
    if (packet.reliable && !held_.empty()) at = std::max(at, held_.rbegin()->first);
    held_.insert({at, std::move(packet)});
}

std::vector<Outgoing> ImpairedQueue::due(long long nowms) {
    std::vector<Outgoing> out;
    while (!held_.empty() && held_.begin()->first <= nowms) {
        out.push_back(std::move(held_.begin()->second));
        held_.erase(held_.begin());
    }
    return out;
}

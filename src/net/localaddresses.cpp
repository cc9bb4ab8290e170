// The interfaces' addresses, by getifaddrs; the name, by gethostname.
#include "net/localaddresses.h"
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <unistd.h>

namespace {

// Every up IPv4 interface that is not the loopback: its address or broadcast address.
std::vector<uint32_t> interfaces(bool broadcast) {
    std::vector<uint32_t> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return found;
    for (ifaddrs* i = list; i && found.size() < MOSTLOCALS; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
        if (!(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK)) continue;
        const sockaddr* a = i->ifa_addr;
        if (broadcast) {
            if (!(i->ifa_flags & IFF_BROADCAST) || !i->ifa_broadaddr) continue;
            a = i->ifa_broadaddr;
        }
        found.push_back(ntohl(reinterpret_cast<const sockaddr_in*>(a)->sin_addr.s_addr));
    }
    freeifaddrs(list);
    return found;
}

} // namespace

std::vector<Network> localnetworks() {
    std::vector<Network> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return found;
    for (ifaddrs* i = list; i && found.size() < 16; i = i->ifa_next) {
        if (!i->ifa_addr || !i->ifa_netmask || i->ifa_addr->sa_family != AF_INET) continue;
        if (!(i->ifa_flags & IFF_UP)) continue;
        const auto ip = [](const sockaddr* a) {
            return ntohl(reinterpret_cast<const sockaddr_in*>(a)->sin_addr.s_addr);
        };
        found.push_back({ip(i->ifa_addr), ip(i->ifa_netmask)});
    }
    freeifaddrs(list);
    return found;
}

std::vector<Endpoint> localaddresses(uint16_t port) {
    std::vector<Endpoint> found;
    for (uint32_t ip : interfaces(false)) found.push_back({ip, port});
    return found;
}

std::vector<uint32_t> broadcastaddresses() {
    return interfaces(true);
}

std::string machinename() {
    char name[256] = "";
    gethostname(name, sizeof name - 1);
    std::string printable;
    for (const char* c = name; *c && printable.size() < NAMELENGTH; ++c)
        if (*c >= ' ' && *c <= '~') printable += *c;
    return printable.empty() ? "VANTORIX" : printable;
}

// The interfaces' addresses, by getifaddrs.
#include "net/localaddresses.h"
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

std::vector<Endpoint> localaddresses(uint16_t port) {
    std::vector<Endpoint> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return found;
    for (ifaddrs* i = list; i && found.size() < MOSTLOCALS; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
        if (!(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK)) continue;
        const auto* a = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
        found.push_back({ntohl(a->sin_addr.s_addr), port});
    }
    freeifaddrs(list);
    return found;
}

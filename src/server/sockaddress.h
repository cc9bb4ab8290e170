// An Endpoint as a POSIX IPv4 socket address and back: what the server's socket and its test
// clients hand the system.
#pragma once
#include "net/rendezvous.h"
#include <arpa/inet.h>
#include <netinet/in.h>

inline Endpoint endpointof(const sockaddr_in& a) {
    return {ntohl(a.sin_addr.s_addr), ntohs(a.sin_port)};
}

inline sockaddr_in addressof(const Endpoint& e) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(e.ip);
    a.sin_port = htons(e.port);
    return a;
}

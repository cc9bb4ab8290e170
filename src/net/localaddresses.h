// This machine on its networks: its own IPv4 addresses (not the loopback) with a port, what a
// machine behind the same router can reach it at; the broadcast addresses of those networks;
// and its name, as the games hosted here are listed to machines looking for them.
#pragma once
#include "net/rendezvous.h"
#include <string>
#include <vector>

std::vector<Endpoint> localaddresses(uint16_t port);
std::vector<uint32_t> broadcastaddresses();
// The networks this machine is on, as address and mask (the loopback's included): a machine
// whose address lies in one of them is on the local network.
struct Network {
    uint32_t address = 0, mask = 0;
    bool holds(uint32_t ip) const { return (ip & mask) == (address & mask); }
};
std::vector<Network> localnetworks();
// Printable, at most NAMELENGTH characters; "VANTORIX" when it has none.
std::string machinename();

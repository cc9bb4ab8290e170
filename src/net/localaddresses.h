// This machine on its networks: its own IPv4 addresses (not the loopback) with a port, what a
// machine behind the same router can reach it at; the broadcast addresses of those networks;
// and its name, as the games hosted here are listed to machines looking for them.
#pragma once
#include "net/rendezvous.h"
#include <string>
#include <vector>

std::vector<Endpoint> localaddresses(uint16_t port);
std::vector<uint32_t> broadcastaddresses();
// Printable, at most NAMELENGTH characters; "VANTORIX" when it has none.
std::string machinename();

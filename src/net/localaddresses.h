// This machine's own IPv4 addresses on its networks (not the loopback), with a port: what a
// machine behind the same router as another can be reached at.
#pragma once
#include "net/rendezvous.h"
#include <vector>

std::vector<Endpoint> localaddresses(uint16_t port);

// One datagram sent from an ENet socket outside ENet's own protocol: the rendezvous messages,
// punches and the look for games on the local network.
#pragma once
#include <cstdint>
#include <enet/enet.h>
#include <vector>

inline void senddatagram(ENetSocket socket, const ENetAddress& to,
                         const std::vector<uint8_t>& bytes) {
    ENetBuffer buffer; // its fields' order differs between systems
    buffer.data = const_cast<uint8_t*>(bytes.data());
    buffer.dataLength = bytes.size();
    enet_socket_send(socket, &to, &buffer, 1);
}

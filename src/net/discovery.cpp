// Looking for games on the local network over a UDP socket of ENet's; see discovery.h.
#include "net/discovery.h"
#include "net/datagram.h"
#include "net/link.h"
#include "net/localaddresses.h"
#include <algorithm>
#include <enet/enet.h>
#include <random>

namespace {

constexpr long long ASK_MS = 1000, FORGET_MS = 3000;
constexpr int PORTS = 4;

} // namespace

struct Discovery::Impl {
    ENetSocket socket = ENET_SOCKET_NULL;
    int port = 0;
    uint64_t token = 0;
    long long asked = 0;
};

Discovery::Discovery(int port) : impl_(new Impl) {
    impl_->port = port;
    impl_->token = (uint64_t(std::random_device{}()) << 32) | std::random_device{}();
    if (enet_initialize() != 0) return;
    impl_->socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    ENetAddress any{};
    any.host = ENET_HOST_ANY;
    if (impl_->socket == ENET_SOCKET_NULL || enet_socket_bind(impl_->socket, &any) != 0) return;
    enet_socket_set_option(impl_->socket, ENET_SOCKOPT_NONBLOCK, 1);
    enet_socket_set_option(impl_->socket, ENET_SOCKOPT_BROADCAST, 1);
}

Discovery::~Discovery() {
    if (impl_->socket != ENET_SOCKET_NULL) enet_socket_destroy(impl_->socket);
    enet_deinitialize();
    delete impl_;
}

void Discovery::look(long long now, int ms) {
    if (impl_->socket == ENET_SOCKET_NULL) return;
    if (now - impl_->asked >= ASK_MS) {
        impl_->asked = now;
        RzMessage ask;
        ask.kind = Rz::Discover;
        ask.token = impl_->token;
        const std::vector<uint8_t> bytes = encode(ask);
        std::vector<uint32_t> targets = broadcastaddresses();
        targets.push_back(0xFFFFFFFF);
        for (uint32_t ip : targets) {
            for (int p = 0; p < PORTS; ++p) {
                ENetAddress to{};
                to.host = ENET_HOST_TO_NET_32(ip);
                to.port = uint16_t(impl_->port + p);
                senddatagram(impl_->socket, to, bytes);
            }
        }
    }
    enet_uint32 readable = ENET_SOCKET_WAIT_RECEIVE;
    enet_socket_wait(impl_->socket, &readable, enet_uint32(ms));
    uint8_t data[128];
    for (int taken = 0; taken < 64; ++taken) {
        ENetAddress from{};
        ENetBuffer buffer;
        buffer.data = data;
        buffer.dataLength = sizeof data;
        const int n = enet_socket_receive(impl_->socket, &from, &buffer, 1);
        if (n <= 0) break;
        const auto m = decoderz(data, size_t(n));
        if (!m || m->kind != Rz::Here || m->token != impl_->token) continue;
        const Endpoint at{ENET_NET_TO_HOST_32(from.host), from.port};
        auto game = std::find_if(games_.begin(), games_.end(),
                                 [&](const LocalGame& g) { return g.at == at; });
        if (game == games_.end()) {
            if (games_.size() >= LOCALGAMES) continue;
            game = games_.insert(games_.end(), LocalGame{});
            game->at = at;
        }
        game->name = m->name;
        game->present = m->present;
        game->wanted = m->wanted;
        game->ping = int(NetNow() - impl_->asked);
        game->heard = now;
    }
    std::erase_if(games_, [&](const LocalGame& g) { return now - g.heard > FORGET_MS; });
}

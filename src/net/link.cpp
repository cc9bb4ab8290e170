// ENet behind the Link; see link.h.
#include "net/link.h"
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <enet/enet.h>

namespace {

constexpr int CHANNELS = 2; // 0 reliable, 1 unreliable
// Connections from one address: a household behind one router brings three at most.
constexpr size_t FROMONEADDRESS = 8;
// No message of the game comes near this; ENet's own limit is 32 MB a packet.
constexpr size_t LARGESTPACKET = 64 * 1024;
// What one connection may have waiting to be read.
constexpr size_t MOSTWAITING = 256 * 1024;

bool handshaking(const ENetPeer& peer) {
    return peer.state == ENET_PEER_STATE_ACKNOWLEDGING_CONNECT ||
           peer.state == ENET_PEER_STATE_CONNECTION_PENDING ||
           peer.state == ENET_PEER_STATE_CONNECTION_SUCCEEDED;
}

} // namespace

long long NetNow() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct Link::Impl {
    explicit Impl(const NetSim& sim) : queue(sim) {}
    ENetHost* host = nullptr;
    std::vector<ENetPeer*> peers; // by machine number; null where none
    ImpairedQueue queue;
    LinkStats stats;
    bool started = false;
    bool hosting = false;
    std::vector<long long> handshakes; // when each ENet peer began its handshake, 0 for none
    ENetEvent pending{};               // what wait() received, for the next poll
    bool haspending = false;

    int machineof(ENetPeer* peer) const {
        for (size_t i = 0; i < peers.size(); ++i)
            if (peers[i] == peer) return int(i);
        return -1;
    }
    void flush() {
        for (Outgoing& out : queue.due(NetNow())) {
            if (out.peer < 0 || size_t(out.peer) >= peers.size() || !peers[size_t(out.peer)])
                continue;
            ENetPacket* packet = enet_packet_create(out.bytes.data(), out.bytes.size(),
                                                    out.reliable ? ENET_PACKET_FLAG_RELIABLE : 0);
            // A peer that is no longer connected takes nothing: the packet is ours to free.
            if (packet && enet_peer_send(peers[size_t(out.peer)], out.reliable ? 0 : 1, packet) < 0)
                enet_packet_destroy(packet);
        }
        if (host) enet_host_flush(host);
    }
    // Drops the connections that have been shaking hands too long: made-up requests from
    // addresses that never answer, which would otherwise hold the host's room for half a
    // minute each.
    void reap() {
        if (!hosting) return;
        const long long now = NetNow();
        for (size_t i = 0; i < host->peerCount; ++i) {
            ENetPeer& peer = host->peers[i];
            if (!handshaking(peer)) {
                handshakes[i] = 0;
            } else if (handshakes[i] == 0) {
                handshakes[i] = now;
            } else if (now - handshakes[i] > HANDSHAKE_MS) {
                enet_peer_reset(&peer);
                handshakes[i] = 0;
            }
        }
    }
    NetEvent take(ENetEvent& event);
};

NetEvent Link::Impl::take(ENetEvent& event) {
    NetEvent out;
    int machine = machineof(event.peer);
    switch (event.type) {
    case ENET_EVENT_TYPE_CONNECT:
        if (machine < 0) { // a new machine at the host: the first free number
            for (size_t i = 1; i < peers.size() && machine < 0; ++i)
                if (!peers[i]) peers[i] = event.peer, machine = int(i);
        }
        if (machine < 0) {
            enet_peer_disconnect_now(event.peer, 0);
            return out;
        }
        // Silence is noticed by the game itself after 5 s; ENet waits a little longer.
        enet_peer_timeout(event.peer, 0, 6000, 8000);
        out.kind = NetEvent::Connected;
        break;
    case ENET_EVENT_TYPE_RECEIVE:
        out.kind = machine >= 0 ? NetEvent::Received : NetEvent::None;
        out.bytes.assign(event.packet->data, event.packet->data + event.packet->dataLength);
        enet_packet_destroy(event.packet);
        break;
    case ENET_EVENT_TYPE_DISCONNECT:
        out.kind = machine >= 0 ? NetEvent::Disconnected : NetEvent::None;
        if (machine >= 0) peers[size_t(machine)] = nullptr;
        break;
    default:
        break;
    }
    out.machine = machine < 0 ? 0 : machine;
    return out;
}

Link::Link(const NetSim& sim) : impl_(std::make_unique<Impl>(sim)) {
    impl_->started = enet_initialize() == 0;
}

Link::~Link() {
    // What is still held back by the impairment goes first (the last word of a series, say),
    // then each connection is closed once ENet has sent what it queued.
    const long long until = NetNow() + 1000;
    while (impl_->host && !impl_->queue.empty() && NetNow() < until) {
        impl_->flush();
        enet_host_service(impl_->host, nullptr, 1);
    }
    int open = 0;
    for (ENetPeer* peer : impl_->peers)
        if (peer) enet_peer_disconnect_later(peer, 0), ++open;
    ENetEvent event;
    const long long closing = NetNow() + 200;
    while (impl_->host && open > 0 && NetNow() < closing) {
        if (enet_host_service(impl_->host, &event, 10) <= 0) continue;
        if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
        if (event.type == ENET_EVENT_TYPE_DISCONNECT) --open;
    }
    if (impl_->haspending && impl_->pending.type == ENET_EVENT_TYPE_RECEIVE)
        enet_packet_destroy(impl_->pending.packet);
    if (impl_->host) enet_host_destroy(impl_->host);
    if (impl_->started) enet_deinitialize();
}

bool Link::host(int port, std::string& error) {
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = uint16_t(port);
    impl_->host = impl_->started ? enet_host_create(&address, HOSTPEERS, CHANNELS, 0, 0) : nullptr;
    if (!impl_->host) {
        error = "could not host on port " + std::to_string(port) + " (is it in use?)";
        return false;
    }
    impl_->host->duplicatePeers = FROMONEADDRESS;
    impl_->host->maximumPacketSize = LARGESTPACKET;
    impl_->host->maximumWaitingData = MOSTWAITING;
    impl_->hosting = true;
    impl_->handshakes.assign(HOSTPEERS, 0);
    impl_->peers.assign(HOSTPEERS + 1, nullptr);
    return true;
}

bool Link::join(const std::string& where, std::string& error) {
    const size_t colon = where.rfind(':');
    char* end = nullptr;
    const long port =
        colon == std::string::npos ? 0 : std::strtol(where.c_str() + colon + 1, &end, 10);
    if (colon == std::string::npos || *end != '\0' || port < 1 || port > 65535) {
        error = "--join takes HOST:PORT, not '" + where + "'";
        return false;
    }
    ENetAddress address{};
    if (!impl_->started || enet_address_set_host(&address, where.substr(0, colon).c_str()) != 0) {
        error = "unknown host '" + where.substr(0, colon) + "'";
        return false;
    }
    address.port = uint16_t(port);
    impl_->host = enet_host_create(nullptr, 1, CHANNELS, 0, 0);
    if (impl_->host) {
        impl_->host->maximumPacketSize = LARGESTPACKET;
        impl_->host->maximumWaitingData = MOSTWAITING;
    }
    ENetPeer* peer = impl_->host ? enet_host_connect(impl_->host, &address, CHANNELS, 0) : nullptr;
    if (!peer) {
        error = "could not connect to " + where;
        return false;
    }
    impl_->peers = {peer};
    return true;
}

void Link::send(int machine, const std::vector<uint8_t>& bytes, bool reliable) {
    if (!reliable) {
        impl_->stats.bytessent += static_cast<long long>(bytes.size());
    }
    impl_->queue.push({machine, reliable, bytes}, NetNow());
}

NetEvent Link::poll() {
    impl_->flush();
    if (!impl_->host) return {};
    impl_->reap();
    ENetEvent event;
    if (impl_->haspending) {
        event = impl_->pending;
        impl_->haspending = false;
    } else if (enet_host_service(impl_->host, &event, 0) <= 0) {
        return {};
    }
    return impl_->take(event);
}

void Link::wait(int ms) {
    impl_->flush();
    if (!impl_->host || impl_->haspending) return;
    const long long due = impl_->queue.nextdue() - NetNow();
    const int most = int(std::clamp<long long>(due, 0, ms));
    impl_->haspending = enet_host_service(impl_->host, &impl_->pending, enet_uint32(most)) > 0;
}

void Link::drop(int machine) {
    if (machine < 1 || size_t(machine) >= impl_->peers.size() || !impl_->peers[size_t(machine)])
        return;
    enet_peer_disconnect_now(impl_->peers[size_t(machine)], 0);
    impl_->peers[size_t(machine)] = nullptr;
}

long long Link::now() const {
    return NetNow();
}

LinkStats Link::stats() const {
    LinkStats s = impl_->stats;
    s.packetslost += impl_->queue.dropped;
    return s;
}

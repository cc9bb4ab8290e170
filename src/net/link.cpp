// ENet behind the Link; see link.h.
#include "net/link.h"
#include "net/datagram.h"
#include "net/feeding.h"
#include "net/localaddresses.h"
#include "net/meeting.h"
#include "runtime/text.h"
#include <algorithm>
#include <cstdlib>
#include <enet/enet.h>
#include <optional>

namespace {

constexpr int CHANNELS = 2; // 0 reliable, 1 unreliable
// Connections from one address: a household behind one router brings three players' machines
// and eight spectators at most, and one of them coming back.
constexpr size_t FROMONEADDRESS = 12;
// No message of the game comes near this; ENet's own limit is 32 MB a packet.
constexpr size_t LARGESTPACKET = 64 * 1024;
// What one connection may have waiting to be read.
constexpr size_t MOSTWAITING = 256 * 1024;

// Machines that come through the relay: one socket each, three at most.
constexpr size_t MOSTRELAYS = 11; // three players' machines and eight spectators

Endpoint endpointof(const ENetAddress& a) {
    return {ENET_NET_TO_HOST_32(a.host), a.port};
}

ENetAddress addressof(const Endpoint& e) {
    ENetAddress a{};
    a.host = ENET_HOST_TO_NET_32(e.ip);
    a.port = e.port;
    return a;
}

// HOST:PORT, the host by name or number; false with the reason.
bool resolve(const std::string& where, const char* what, ENetAddress& address, std::string& error) {
    const size_t colon = where.rfind(':');
    char* end = nullptr;
    const long port =
        colon == std::string::npos ? 0 : std::strtol(where.c_str() + colon + 1, &end, 10);
    if (colon == std::string::npos || *end != '\0' || port < 1 || port > 65535) {
        error = std::string(what) + " takes HOST:PORT, not '" + where + "'";
        return false;
    }
    if (enet_address_set_host(&address, where.substr(0, colon).c_str()) != 0) {
        error = "unknown host '" + where.substr(0, colon) + "'";
        return false;
    }
    address.port = uint16_t(port);
    return true;
}

// A host on any free port, of room for a few peers, bounded like the others.
ENetHost* openhost(size_t peers) {
    ENetAddress any{};
    any.host = ENET_HOST_ANY;
    ENetHost* host = enet_host_create(&any, peers, CHANNELS, 0, 0);
    if (host) {
        host->maximumPacketSize = LARGESTPACKET;
        host->maximumWaitingData = MOSTWAITING;
    }
    return host;
}

bool handshaking(const ENetPeer& peer) {
    return peer.state == ENET_PEER_STATE_ACKNOWLEDGING_CONNECT ||
           peer.state == ENET_PEER_STATE_CONNECTION_PENDING ||
           peer.state == ENET_PEER_STATE_CONNECTION_SUCCEEDED;
}

} // namespace

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
    std::optional<Meeting> meeting;
    std::optional<Upload> upload;   // a host meeting through a server feeds its spectators
    std::optional<Pulling> pulling; // a spectator fed by the server
    bool toldconnected = false, toldgone = false; // what the pulling's events said
    // The game's socket (host) first, then the host's socket for each machine through the relay:
    // their numbers are the meeting's socket numbers.
    std::vector<ENetHost*> sockets;
    std::vector<bool> viarelay; // by machine number
    bool connecting = false;    // a joiner meeting by code has connected over its path

    uint8_t present = 1, wanted = 2; // the host's lobby, for machines looking for games
    std::string unmet;               // why a host could not even begin to meet its server
    std::vector<Network> networks;   // the host's, whose machines may look for its game
    std::string name;                // the host's, as the machines looking for games see it

    // ENet hands every datagram it receives to this first: the rendezvous ones are the
    // meeting's (or a look for games on the local network, which a host answers), the rest
    // ENet's own.
    inline static thread_local Impl* servicing = nullptr;
    static int ENET_CALLBACK intercept(ENetHost* host, ENetEvent*) {
        Impl* impl = servicing;
        if (!impl || !isrendezvous(host->receivedData, host->receivedDataLength)) return 0;
        const auto m = decoderz(host->receivedData, host->receivedDataLength);
        if (m && m->kind == Rz::Discover && impl->hosting && host == impl->host) {
            // Only machines on this machine's own networks learn its name.
            const uint32_t from = endpointof(host->receivedAddress).ip;
            const auto& nets = impl->networks;
            if (std::any_of(nets.begin(), nets.end(),
                            [&](const Network& n) { return n.holds(from); }))
                impl->answer(host->receivedAddress, m->token);
        } else if (m && impl->pulling) {
            impl->pulling->received(endpointof(host->receivedAddress), *m, NetNow());
        } else if (m && impl->meeting) {
            const Endpoint from = endpointof(host->receivedAddress);
            if (impl->upload && host == impl->host) impl->upload->received(from, *m);
            impl->meeting->received(impl->socketof(host), from, *m, NetNow());
        }
        return 1;
    }
    // Here: this machine's name and lobby, no longer than the request it answers.
    void answer(const ENetAddress& to, uint64_t token) {
        RzMessage here;
        here.kind = Rz::Here;
        here.token = token;
        here.name = name;
        here.present = present;
        here.wanted = wanted;
        senddatagram(host->socket, to, encode(here));
    }
    int service(ENetHost* h, ENetEvent* event, enet_uint32 ms) {
        servicing = this;
        const int got = enet_host_service(h, event, ms);
        servicing = nullptr;
        return got;
    }
    int socketof(ENetHost* h) const {
        return int(std::find(sockets.begin(), sockets.end(), h) - sockets.begin());
    }
    void meet();
    // A socket of this machine's own to talk to the server at HOST:PORT through; false with
    // the reason.
    bool through(const std::string& server, Endpoint& at, std::string& error);
    void sendall(const std::vector<Outbound>& all) {
        for (const Outbound& out : all)
            if (size_t(out.socket) < sockets.size())
                senddatagram(sockets[size_t(out.socket)]->socket, addressof(out.to), out.bytes);
    }
    NetEvent fed();

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
        if (viarelay.size() < peers.size()) viarelay.resize(peers.size(), false);
        if (hosting) viarelay[size_t(machine)] = event.peer->host != host;
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

// A spectator fed by the server: the feed's messages as if the host had sent them, after a
// connection once the server answered, and a disconnection when the feed stops.
NetEvent Link::Impl::fed() {
    const long long now = NetNow();
    pulling->tick(now);
    sendall(pulling->take());
    ENetEvent event;
    service(host, &event, 0);
    NetEvent out;
    if (!toldconnected && pulling->answered()) {
        toldconnected = true;
        out.kind = NetEvent::Connected;
    } else if (auto message = toldconnected ? pulling->next() : std::nullopt) {
        out.kind = NetEvent::Received;
        out.bytes = std::move(*message);
    } else if (!toldgone && toldconnected && !pulling->failure().empty()) {
        toldgone = true;
        out.kind = NetEvent::Disconnected;
    }
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
    // The server's spectators are sent the rest of the feed (the series' last word).
    while (impl_->upload && !impl_->upload->done() && NetNow() < until) {
        impl_->meet();
        enet_host_service(impl_->host, nullptr, 5);
    }
    int open = 0;
    for (ENetPeer* peer : impl_->peers)
        if (peer) enet_peer_disconnect_later(peer, 0), ++open;
    ENetEvent event;
    const long long closing = NetNow() + 200;
    while (impl_->host && open > 0 && NetNow() < closing) {
        for (ENetHost* h : impl_->sockets) {
            if (enet_host_service(h, &event, 5) <= 0) continue;
            if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
            if (event.type == ENET_EVENT_TYPE_DISCONNECT) --open;
        }
    }
    if (impl_->haspending && impl_->pending.type == ENET_EVENT_TYPE_RECEIVE)
        enet_packet_destroy(impl_->pending.packet);
    for (ENetHost* h : impl_->sockets) enet_host_destroy(h);
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
    impl_->host->intercept = Impl::intercept;
    impl_->sockets = {impl_->host};
    impl_->hosting = true;
    impl_->networks = localnetworks();
    impl_->name = machinename();
    impl_->handshakes.assign(HOSTPEERS, 0);
    impl_->peers.assign(HOSTPEERS + 1, nullptr);
    return true;
}

bool Link::meet(const std::string& server, std::string& error) {
    ENetAddress address{};
    if (!impl_->host || !resolve(server, "--server", address, error)) {
        impl_->unmet = UpperCase(Printable(error, 60));
        return false;
    }
    impl_->meeting.emplace(endpointof(address), localaddresses(impl_->host->address.port),
                           NetNow());
    impl_->upload.emplace(endpointof(address));
    return true;
}

bool Link::join(const std::string& where, std::string& error) {
    ENetAddress address{};
    if (!impl_->started || !resolve(where, "--join", address, error)) return false;
    impl_->host = openhost(1);
    if (impl_->host) impl_->sockets = {impl_->host};
    ENetPeer* peer = impl_->host ? enet_host_connect(impl_->host, &address, CHANNELS, 0) : nullptr;
    if (!peer) {
        error = "could not connect to " + where;
        return false;
    }
    impl_->peers = {peer};
    return true;
}

bool Link::joinroom(const std::string& server, const RoomCode& code, std::string& error,
                    bool noseat) {
    Endpoint at;
    if (!impl_->through(server, at, error)) return false;
    impl_->meeting.emplace(at, code, localaddresses(impl_->host->address.port), NetNow(), noseat);
    return true;
}

bool Link::watchroom(const std::string& server, const RoomCode& code, std::string& error) {
    Endpoint at;
    if (!impl_->through(server, at, error)) return false;
    impl_->pulling.emplace(at, code, NetNow());
    return true;
}

bool Link::Impl::through(const std::string& server, Endpoint& at, std::string& error) {
    ENetAddress address{};
    if (!started || !resolve(server, "--server", address, error)) return false;
    host = openhost(1);
    if (!host) {
        error = "could not open a socket to meet through " + server;
        return false;
    }
    host->intercept = intercept;
    sockets = {host};
    at = endpointof(address);
    return true;
}

// The meeting's timers, what it sends, a relay socket for each machine it is asked for, and
// the joiner's connection once it knows its path.
void Link::Impl::meet() {
    if (!meeting) return;
    const long long now = NetNow();
    meeting->tick(now);
    while (const auto token = meeting->socketwanted()) {
        ENetHost* relay = sockets.size() <= MOSTRELAYS ? openhost(2) : nullptr;
        if (!relay) continue;
        relay->intercept = intercept;
        sockets.push_back(relay);
        meeting->opened(*token, int(sockets.size()) - 1, now);
    }
    sendall(meeting->take());
    if (upload) {
        upload->tick(now, meeting->code());
        sendall(upload->take());
    }
    const auto& path = meeting->path();
    if (hosting || connecting || !path) return;
    connecting = true;
    const ENetAddress to = addressof(path->to);
    ENetPeer* peer = enet_host_connect(host, &to, CHANNELS, 0);
    peers = {peer};
    viarelay = {path->relayed};
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
    if (impl_->pulling) return impl_->fed();
    impl_->meet();
    impl_->reap();
    ENetEvent event;
    if (impl_->haspending) {
        impl_->haspending = false;
        return impl_->take(impl_->pending);
    }
    for (ENetHost* h : impl_->sockets)
        if (impl_->service(h, &event, 0) > 0) return impl_->take(event);
    return {};
}

void Link::wait(int ms) {
    impl_->flush();
    if (!impl_->host || impl_->haspending) return;
    const long long due = impl_->queue.nextdue() - NetNow();
    const int most = int(std::clamp<long long>(due, 0, ms));
    if (impl_->sockets.size() == 1) {
        impl_->haspending = impl_->service(impl_->host, &impl_->pending, enet_uint32(most)) > 0;
        return;
    }
    // Several sockets: sleep until one of them has something, and let poll take it.
    ENetSocketSet set;
    ENET_SOCKETSET_EMPTY(set);
    ENetSocket highest = impl_->host->socket;
    for (ENetHost* h : impl_->sockets) {
        ENET_SOCKETSET_ADD(set, h->socket);
        highest = std::max(highest, h->socket);
    }
    enet_socketset_select(highest, &set, nullptr, enet_uint32(most));
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

std::string Link::room() const {
    const Impl& i = *impl_;
    return i.hosting && i.meeting && i.meeting->code() ? describe(*i.meeting->code()) : "";
}

std::string Link::trouble() const {
    if (impl_->pulling) return impl_->pulling->failure();
    return impl_->meeting ? impl_->meeting->failure() : impl_->unmet;
}

bool Link::refused() const {
    return impl_->meeting && impl_->meeting->refused();
}

bool Link::relayed(int machine) const {
    return machine >= 0 && size_t(machine) < impl_->viarelay.size() &&
           impl_->viarelay[size_t(machine)];
}

void Link::lobby(int present, int wanted) {
    impl_->present = uint8_t(std::clamp(present, 0, 4));
    impl_->wanted = uint8_t(std::clamp(wanted, 0, 4));
    if (impl_->meeting) impl_->meeting->awaiting(wanted - present);
}

bool Link::serverlost() const {
    const Impl& i = *impl_;
    if (!i.meeting || !i.meeting->serverlost()) return false;
    for (size_t m = 0; m < i.viarelay.size() && m < i.peers.size(); ++m)
        if (i.viarelay[m] && i.peers[m]) return true;
    return false;
}

int Link::watchers() const {
    return impl_->upload ? impl_->upload->watchers() : 0;
}

void Link::feedwatchers(const std::vector<uint8_t>& message, bool gamestart) {
    if (impl_->upload) impl_->upload->feed(message, gamestart);
}

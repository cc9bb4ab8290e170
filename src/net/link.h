// The transport over ENet (UDP): one host that others connect to, every outgoing packet
// through the --netsim impairment. Machines are numbered by the host: 0 for itself, then the
// first free number for each connection; a joining machine only talks to the host (machine 0).
//
// The host has room for many more connections than a game has machines, and a connection
// still shaking hands after HANDSHAKE_MS is dropped, so neither silent connections (which the
// session drops) nor made-up connection requests can keep a real machine out.
//
// With a server, the machines meet by room code (meeting.h): the rendezvous datagrams share
// ENet's socket (ENet hands every datagram to an intercept first), a joiner connects over the
// path the punches opened or through the server's relay, and a host opens a socket of its
// own for each machine that comes through the relay; its spectators are fed through the
// server (feeding.h), and a spectator by room code is fed by it. A hosting machine answers the
// broadcasts of machines looking for games on the local network (discovery.h) the same way.
#pragma once
#include "net/netsim.h"
#include "net/rendezvous.h"
#include "net/transport.h"
#include <memory>
#include <string>
#include <vector>

// Connections at the host, a game's machines and refused or silent ones included.
inline constexpr int HOSTPEERS = 64;
// A connection must finish ENet's handshake in this time.
inline constexpr long long HANDSHAKE_MS = 3000;

class Link : public Transport {
  public:
    explicit Link(const NetSim& sim);
    ~Link() override;
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Hosts on the port; false with the reason.
    bool host(int port, std::string& error);
    // After host(): registers a room with the server at HOST:PORT and keeps it; false with the
    // reason (then also the trouble()) when the server's name is unknown.
    bool meet(const std::string& server, std::string& error);
    // Starts connecting to HOST:PORT; Connected comes through poll.
    bool join(const std::string& address, std::string& error);
    // Starts meeting the host of the room through the server at HOST:PORT; Connected comes
    // through poll once a path is open.
    bool joinroom(const std::string& server, const RoomCode& code, std::string& error,
                  bool noseat = false);
    // Starts watching the room's game through the server at HOST:PORT, which feeds it: the
    // feed's messages come through poll as the host's, and nothing is sent to the host.
    bool watchroom(const std::string& server, const RoomCode& code, std::string& error);
    void send(int machine, const std::vector<uint8_t>& bytes, bool reliable) override;
    // Also sends what the impairment lets go.
    NetEvent poll() override;
    // Sleeps on the socket, less when the impairment holds a packet due sooner.
    void wait(int ms) override;
    void drop(int machine) override;
    long long now() const override;
    LinkStats stats() const override;
    std::string room() const override;
    std::string trouble() const override;
    bool refused() const override;
    bool relayed(int machine) const override;
    void lobby(int present, int wanted) override;
    bool serverlost() const override;
    int watchers() const override;
    void feedwatchers(const std::vector<uint8_t>& message, bool gamestart) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

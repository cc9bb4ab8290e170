// The server's client for tests and benchmarks; see rzclient.h.
#include "rzclient.h"
#include "server/sockaddress.h"
#include <arpa/inet.h>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

RzClient::RzClient(uint32_t ip) : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in a = addressof({ip, 0});
    bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t length = sizeof a;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &length);
    address_ = endpointof(a);
}

RzClient::~RzClient() {
    close(fd_);
}

void RzClient::send(const Endpoint& to, const std::vector<uint8_t>& bytes) const {
    const sockaddr_in a = addressof(to);
    sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&a), sizeof a);
}

std::optional<std::vector<uint8_t>> RzClient::receive(int ms) const {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, ms) != 1) return std::nullopt;
    std::vector<uint8_t> bytes(2048);
    const ssize_t n = recv(fd_, bytes.data(), bytes.size(), 0);
    if (n < 0) return std::nullopt;
    bytes.resize(size_t(n));
    return bytes;
}

std::optional<RzMessage> RzClient::ask(const Endpoint& server, RzMessage m, Rz wanted) {
    m.cookie = cookie;
    send(server, encode(m));
    for (int tries = 0; tries < 100; ++tries) {
        const auto bytes = receive(10);
        if (!bytes) continue;
        const auto answer = decoderz(bytes->data(), bytes->size());
        if (!answer) continue;
        if (answer->kind == Rz::Challenge) {
            m.cookie = cookie = answer->cookie;
            send(server, encode(m));
        } else if (answer->kind == wanted || answer->kind == Rz::Refused) {
            return answer;
        }
    }
    return std::nullopt;
}

bool RelayedPair::open(const Endpoint& server) {
    RzMessage m;
    m.kind = Rz::Register;
    m.open = 1;
    const auto registered = host.ask(server, m, Rz::Registered);
    if (!registered || registered->kind != Rz::Registered) return false;
    m.kind = Rz::Join;
    m.code = registered->code;
    const auto found = joiner.ask(server, m, Rz::Found);
    if (!found || found->kind != Rz::Found) return false;
    m.kind = Rz::Relay;
    m.token = found->token;
    m.cookie = joiner.cookie;
    joiner.send(server, encode(m));
    m.kind = Rz::Bind;
    const auto bound = relay.ask(server, m, Rz::Relaying);
    while (host.receive(0)) {
    } // the server's news for the host: a joiner, a relay wanted
    while (joiner.receive(0)) {
    }
    return bound && bound->kind == Rz::Relaying;
}

long residentkib(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

double processorseconds(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The fields after the command's closing parenthesis; utime and stime are the 12th and
    // 13th of them, in clock ticks.
    std::istringstream rest(text.substr(text.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 1; i <= 13 && rest >> field; ++i)
        if (i >= 12) ticks += std::stol(field);
    return double(ticks) / double(sysconf(_SC_CLK_TCK));
}

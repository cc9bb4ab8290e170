// The transport of a game built without ENet (the browser's, and a Windows build where ENet's
// source could not be had): every way online fails at once with the one reason, and no game is
// found on the local network, so the menus say why instead of waiting for machines that cannot
// come.
#include "net/discovery.h"
#include "net/link.h"
#include "net/localaddresses.h"

namespace {

#ifdef __EMSCRIPTEN__
// A browser cannot send the game's UDP packets.
const char* const UNLINKED =
    "online play needs the desktop game: a browser cannot send its packets";
#else
const char* const UNLINKED = "this build of the game has no online play";
#endif

bool unlinked(std::string& error) {
    error = UNLINKED;
    return false;
}

} // namespace

struct Link::Impl {};

Link::Link(const NetSim&) {}
Link::~Link() = default;
bool Link::host(int, std::string& error) {
    return unlinked(error);
}
bool Link::meet(const std::string&, std::string& error) {
    return unlinked(error);
}
bool Link::join(const std::string&, std::string& error) {
    return unlinked(error);
}
bool Link::joinroom(const std::string&, const RoomCode&, std::string& error, bool) {
    return unlinked(error);
}
bool Link::watchroom(const std::string&, const RoomCode&, std::string& error) {
    return unlinked(error);
}
void Link::send(int, const std::vector<uint8_t>&, bool) {}
NetEvent Link::poll() {
    return {};
}
void Link::wait(int) {}
void Link::drop(int) {}
long long Link::now() const {
    return NetNow();
}
LinkStats Link::stats() const {
    return {};
}
std::string Link::room() const {
    return {};
}
std::string Link::trouble() const {
    return UNLINKED;
}
bool Link::refused() const {
    return true;
}
bool Link::relayed(int) const {
    return false;
}
void Link::lobby(int, int) {}
bool Link::serverlost() const {
    return false;
}
int Link::watchers() const {
    return 0;
}
void Link::feedwatchers(const std::vector<uint8_t>&, bool) {}

Discovery::Discovery(int) : impl_(nullptr) {}
Discovery::~Discovery() = default;
void Discovery::look(long long, int) {}

std::vector<Endpoint> localaddresses(uint16_t) {
    return {};
}
std::vector<uint32_t> broadcastaddresses() {
    return {};
}
std::vector<Network> localnetworks() {
    return {};
}
std::string machinename() {
    return "VANTORIX";
}

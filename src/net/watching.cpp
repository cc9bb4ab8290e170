// A machine watching an online series; see watching.h.
#include "net/watching.h"
#include "runtime/text.h"

namespace {

constexpr size_t MOSTGAMES = 2; // the game watched and the next
const char* const UNPLAYABLE = "THE HOST SENT WHAT THIS GAME CANNOT PLAY";

} // namespace

Spectator::Spectator(std::unique_ptr<Transport> transport, const GameIdentity& identity)
    : transport_(std::move(transport)), identity_(identity) {}

void Spectator::pump() {
    int events = 0;
    for (NetEvent e = transport_->poll(); e.kind != NetEvent::None && !ended_;
         e = ++events < MOSTEVENTS ? transport_->poll() : NetEvent{})
        handle(e);
    if (!ended_ && !begun_ && !transport_->trouble().empty()) refuse(transport_->trouble());
}

void Spectator::refuse(const std::string& why) {
    if (failure_.empty()) failure_ = why;
    ended_ = true;
}

void Spectator::handle(const NetEvent& e) {
    std::string reason;
    int watching = 0;
    if (e.kind == NetEvent::Connected) {
        transport_->send(0, encode(Hello{identity_.version, identity_.figures, 0}), true);
    } else if (e.kind == NetEvent::Disconnected) {
        refuse(begun_ ? "THE HOST STOPPED SENDING THE GAME" : "the host is not there");
    } else if (e.kind != NetEvent::Received) {
        return;
    } else if (decoderefusal(e.bytes, reason)) {
        // Before the series the host refuses; during it, it says why the series ended.
        refuse(begun_ ? Printable(reason) : "the host refused: " + Printable(reason));
    } else if (kindof(e.bytes) == Message::Watch) {
        begin(e.bytes);
    } else if (kindof(e.bytes) == Message::Records) {
        take(e.bytes);
    } else if (!decodewatchers(e.bytes, watching)) {
        refuse(UNPLAYABLE);
    }
    watching_ = watching > 0 ? watching : watching_;
}

// A game begins: a replay's start of this game's version and figure file, with no records,
// numbered after the games before it.
void Spectator::begin(const std::vector<uint8_t>& bytes) {
    Watch watch;
    Game game;
    std::string error;
    if (!decode(bytes, watch) || !parsereplay(watch.start, game.replay, error) ||
        !game.replay.runs.empty() || (begun_ && watch.game <= games_.back().number) ||
        games_.size() >= MOSTGAMES)
        return refuse(UNPLAYABLE);
    if (game.replay.version != identity_.version || game.replay.figures != identity_.figures)
        return refuse("the host plays another version or figure file");
    if (!games_.empty() && games_.back().frames == 0) return refuse(UNPLAYABLE);
    game.number = watch.game;
    games_.push_back(std::move(game));
    begun_ = true;
}

// Records of the newest game, from the frame after the last ones received.
void Spectator::take(const std::vector<uint8_t>& bytes) {
    Records records;
    if (!decode(bytes, records) || games_.empty()) return refuse(UNPLAYABLE);
    Game& game = games_.back();
    if (records.game != game.number || records.first != game.frames) return refuse(UNPLAYABLE);
    for (const InputRun& run : records.runs) {
        if (game.frames + long(run.count) > REPLAY_MOST_FRAMES) return refuse(UNPLAYABLE);
        game.replay.runs.push_back(run);
        game.frames += long(run.count);
    }
}

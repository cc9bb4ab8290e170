// The spectators' feed through the server: the host's upload and the spectator's pulling. See
// feeding.h.
#include "net/feeding.h"
#include <algorithm>

namespace {

void putlength(std::vector<uint8_t>& to, size_t n) {
    for (int shift = 24; shift >= 0; shift -= 8) to.push_back(uint8_t(n >> shift));
}

} // namespace

void Upload::feed(const std::vector<uint8_t>& message, bool gamestart) {
    if (givenup_) return;
    if (gamestart && !open_.empty()) cut(openstart_);
    if (open_.empty()) openstart_ = gamestart;
    putlength(open_, message.size());
    open_.insert(open_.end(), message.begin(), message.end());
    if (queued_ + open_.size() > MOSTUNHELD) giveup();
}

// The server takes nothing: its spectators see the host stop feeding them.
void Upload::giveup() {
    givenup_ = true;
    queue_.clear();
    open_.clear();
}

void Upload::cut(bool gamestart) {
    for (size_t at = 0; at < open_.size(); at += PIECESIZE) {
        const size_t n = std::min(PIECESIZE, open_.size() - at);
        queue_.push_back(
            {numbered_++, gamestart && at == 0,
             std::vector<uint8_t>(open_.begin() + long(at), open_.begin() + long(at + n))});
        queued_ += n;
    }
    open_.clear();
}

void Upload::received(const Endpoint& from, const RzMessage& m) {
    if (from != server_) return;
    if (m.kind == Rz::Challenge) {
        cookie_ = m.cookie;
        for (Piece& p : queue_) p.sent = 0;
        asked_ = 0;
    } else if (m.kind == Rz::Fed) {
        while (!queue_.empty() && queue_.front().number < m.piece) {
            queued_ -= queue_.front().bytes.size();
            queue_.pop_front();
        }
        watchers_ = m.present;
        // The server still waits for the first piece after later ones came: it was lost.
        if (!queue_.empty() && queue_.front().number == m.piece && queue_.size() > 1 &&
            queue_[1].sent > queue_.front().sent)
            queue_.front().sent = 0;
    }
}

void Upload::send(const RoomCode& code, const Piece& piece) {
    RzMessage m;
    m.kind = Rz::Feed;
    m.cookie = cookie_;
    m.code = code;
    m.piece = piece.number;
    m.flag = piece.gamestart;
    m.bytes = piece.bytes;
    out_.push_back({0, server_, encode(m)});
}

void Upload::tick(long long now, const std::optional<RoomCode>& code) {
    if (!code || givenup_) return;
    if (!open_.empty()) cut(openstart_);
    bool sent = false;
    for (size_t i = 0; i < queue_.size() && i < FEEDWINDOW; ++i) {
        Piece& p = queue_[i];
        if (p.sent != 0 && now - p.sent < RESEND_MS) continue;
        send(*code, p);
        p.sent = now;
        sent = true;
    }
    if (sent) {
        asked_ = now;
    } else if (asked_ == 0 || now - asked_ >= KEEPFEED_MS) {
        send(*code, {numbered_, false, {}});
        asked_ = now;
    }
}

Pulling::Pulling(const Endpoint& server, const RoomCode& code, long long now)
    : server_(server), code_(code), heard_(now) {
    pull(now);
}

void Pulling::pull(long long now) {
    RzMessage m;
    m.kind = Rz::Pull;
    m.cookie = cookie_;
    m.code = code_;
    m.piece = want_;
    m.flag = !start_;
    out_.push_back({0, server_, encode(m)});
    askedfrom_ = want_;
    due_ = now + RESEND_MS;
}

void Pulling::received(const Endpoint& from, const RzMessage& m, long long now) {
    if (from != server_ || !failure_.empty()) return;
    if (m.kind == Rz::Challenge) {
        cookie_ = m.cookie;
        return pull(now);
    }
    if (m.kind == Rz::Refused) return void(failure_ = refusaltext(m.refusal));
    if (m.kind != Rz::Piece || m.code != code_) return;
    heard_ = now;
    if (!m.flag) return void(failure_ = "THE HOST STOPPED SENDING THE GAME");
    if (!start_) {
        start_ = want_ = m.piece;
        return pull(now);
    }
    if (m.bytes.empty()) {
        // The server holds nothing newer: ask again in a moment.
        due_ = std::min(due_, now + PULLIDLE_MS);
        return;
    }
    if (m.piece < want_ || m.piece - want_ >= FEEDWINDOW) return;
    early_.emplace(m.piece, m.bytes);
    for (auto at = early_.find(want_); at != early_.end(); at = early_.find(want_)) {
        append(at->second);
        early_.erase(at);
        ++want_;
    }
    // The whole window came: ask for the next at once.
    if (early_.empty() && want_ - askedfrom_ >= FEEDWINDOW) due_ = now;
}

void Pulling::append(const std::vector<uint8_t>& bytes) {
    if (read_ > 0 && read_ >= stream_.size() / 2) {
        stream_.erase(stream_.begin(), stream_.begin() + long(read_));
        read_ = 0;
    }
    stream_.insert(stream_.end(), bytes.begin(), bytes.end());
}

void Pulling::tick(long long now) {
    if (!failure_.empty()) return;
    if (now - heard_ > SERVERSILENCE_MS) {
        failure_ = start_ ? "THE SERVER STOPPED ANSWERING" : "THE SERVER DOES NOT ANSWER";
        return;
    }
    // A long message waiting to be read holds the asking back, so what is kept stays bounded.
    if (now >= due_ && stream_.size() - read_ <= LARGESTFED + 4) pull(now);
}

std::optional<std::vector<uint8_t>> Pulling::next() {
    const size_t unread = stream_.size() - read_;
    if (broken_ || unread < 4) return std::nullopt;
    size_t n = 0;
    for (size_t i = 0; i < 4; ++i) n = n << 8 | stream_[read_ + i];
    if (n > LARGESTFED) {
        failure_ = "THE HOST SENT WHAT THIS GAME CANNOT PLAY";
        broken_ = true;
        return std::vector<uint8_t>{};
    }
    if (unread < 4 + n) return std::nullopt;
    std::vector<uint8_t> message(stream_.begin() + long(read_ + 4),
                                 stream_.begin() + long(read_ + 4 + n));
    read_ += 4 + n;
    return message;
}

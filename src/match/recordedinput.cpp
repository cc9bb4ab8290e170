// Recording and replaying a game's input records; see recordedinput.h. Both sides take the
// state hash at the same moment: before the frame's record is read, every HASHEVERY frames.
#include "match/recordedinput.h"
#include "match/snapshot.h"

MatchInput RecordingInput::read(const Tmatch& match) {
    if (frames_ > 0 && frames_ % HASHEVERY == 0) replay.hashes.push_back(statehash(match));
    ++frames_;
    const MatchInput in = from_.read(match);
    replay.add(in);
    return in;
}

bool RecordingInput::leaving(const Tmatch& match) {
    const bool leave = from_.leaving(match);
    replay.setleave(leave);
    // The time a level took to win, once the game has it.
    replay.levelclock = match.levelclock;
    return leave;
}

ReplayInput::ReplayInput(const std::vector<MatchInput>& records, std::vector<uint64_t> hashes,
                         int levelclock)
    : hashes_(std::move(hashes)), levelclock_(levelclock) {
    Replay replay;
    for (const MatchInput& in : records) replay.add(in);
    runs_ = std::move(replay.runs);
}

MatchInput ReplayInput::read(const Tmatch& match) {
    const size_t check = next_ / HASHEVERY;
    if (mismatch < 0 && next_ > 0 && next_ % HASHEVERY == 0 && check <= hashes_.size() &&
        statehash(match) != hashes_[check - 1]) {
        mismatch = long(next_);
    }
    ++next_;
    if (mismatch >= 0 || finished()) {
        MatchInput end;
        end.leave = leave_ = true;
        return end;
    }
    MatchInput in = runs_[run_].input();
    in.clock = levelclock_;
    if (++inrun_ == long(runs_[run_].count)) ++run_, inrun_ = 0;
    leave_ = in.leave;
    return in;
}

bool ReplayInput::leaving(const Tmatch&) {
    return mismatch >= 0 || leave_;
}

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
    return leave;
}

int RecordingInput::levelclock(const Tmatch& match) {
    replay.levelclock = from_.levelclock(match);
    return replay.levelclock;
}

MatchInput ReplayInput::read(const Tmatch& match) {
    const size_t check = next / HASHEVERY;
    if (mismatch < 0 && next > 0 && next % HASHEVERY == 0 && check <= hashes_.size() &&
        statehash(match) != hashes_[check - 1]) {
        mismatch = long(next);
    }
    if (mismatch >= 0 || next >= records_.size()) {
        ++next;
        MatchInput end;
        end.leave = true;
        return end;
    }
    return records_[next++];
}

bool ReplayInput::leaving(const Tmatch&) {
    return mismatch >= 0 || next > records_.size() || (next > 0 && records_[next - 1].leave);
}

// Recording and replaying a game's input records; see recordedinput.h.
#include "match/recordedinput.h"

MatchInput RecordingInput::read(const Tmatch& match) {
    records.push_back(from_.read(match));
    return records.back();
}

bool RecordingInput::leaving(const Tmatch& match) {
    const bool leave = from_.leaving(match);
    if (!records.empty()) records.back().leave = leave;
    return leave;
}

MatchInput ReplayInput::read(const Tmatch&) {
    if (next >= records_.size()) {
        ++next;
        MatchInput end;
        end.leave = true;
        return end;
    }
    return records_[next++];
}

bool ReplayInput::leaving(const Tmatch&) {
    return next > records_.size() || (next > 0 && records_[next - 1].leave);
}

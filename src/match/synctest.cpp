// The sync test; see synctest.h.
#include "match/synctest.h"
#include "match/match.h"
#include <algorithm>

Synctest::Synctest(int depth)
    : depth_(std::clamp(depth, 1, SYNCTEST_MOST)), states_(size_t(depth_)),
      records_(size_t(depth_)) {}

void Synctest::before(const Tmatch& m) {
    if (m.frame == 0) kept_ = 0;
    const size_t at = size_t(kept_ % depth_);
    savesnapshot(m, states_[at]);
    records_[at] = m.input;
}

bool Synctest::after(Tmatch& m) {
    if (++kept_ < depth_ || !failure_.empty()) return failure_.empty();
    savesnapshot(m, first_);
    const long from = kept_ - depth_;
    restoresnapshot(m, states_[size_t(from % depth_)]);
    for (long f = from; f < kept_; ++f) {
        m.input = records_[size_t(f % depth_)];
        m.advance();
    }
    savesnapshot(m, second_);
    ++checked_;
    const std::string part = statedifference(first_, second_);
    if (part.empty()) return true;
    failure_ = "frame " + std::to_string(m.frame) + ": the " + part + " differ";
    return false;
}

std::string statedifference(const MatchSnapshot& a, const MatchSnapshot& b) {
    if (a.balls != b.balls) return "balls";
    if (a.objects != b.objects) return "bodies";
    if (a.figures != b.figures) return "figures";
    if (a.mainballs != b.mainballs) return "main balls";
    if (a.rockets != b.rockets) return "bursts";
    if (a.trailitems != b.trailitems) return "trail";
    if (a.match.random != b.match.random) return "generator";
    if (!(a.match == b.match)) return "match fields";
    return "";
}

// The listener of a match's sound effects; see soundeffects.h.
#include "match/soundeffects.h"
#include "effects/burst.h"
#include "match/match.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include <algorithm>
#include <cmath>

void Tvoices::play(const TSound& sound, float volume, float pitch) {
    if (!sound || volume <= 0.0f) return;
    TChannel& channel = channels_[next_];
    next_ = (next_ + 1) % count;
    if (!channel) channel = AllocChannel();
    CueSound(sound, channel);
    SetChannelVolume(channel, volume);
    SetChannelPitch(channel, pitch);
    ResumeChannel(channel);
}

float thudpitch(double impact) {
    // A kick changes the ball's speed by 5 to 30 units a step; a figure steered at it by
    // about 6.
    const double t = std::clamp(impact / 30.0, 0.0, 1.0);
    return static_cast<float>(0.7 + 0.9 * std::sqrt(t));
}

Theard lookat(const Tmatch& m) {
    Theard seen;
    seen.frame = m.frame;
    for (int b = 0; b < m.mainballcount && b < 2; ++b) {
        seen.owners[b] = m.mainballs[b]->owner;
        seen.vx[b] = m.mainballs[b]->vx;
        seen.vy[b] = m.mainballs[b]->vy;
    }
    for (int k = 1; k <= m.mancount && k <= 7; ++k)
        seen.pastgoal[k - 1] = m.men[k - 1]->bar > m.goal;
    if (m.rockets) {
        for (const std::shared_ptr<Tburst>& burst : *m.rockets) seen.bursts.push_back(burst.get());
    }
    return seen;
}

void Tmatchsounds::hear(const Tmatch& m) {
    Theard now = lookat(m);
    // Only a frame that follows the last one heard is compared with it: a new match, or a game
    // played again after a restore, starts the listening afresh.
    const bool follows = last_.frame >= 0 && now.frame == last_.frame + 1;
    if (follows) {
        for (int b = 0; b < 2; ++b) {
            if (now.owners[b] == 0 || now.owners[b] == last_.owners[b]) continue;
            // heard only
            const double impact = std::hypot(now.vx[b] - last_.vx[b], now.vy[b] - last_.vy[b]);
            voices_.play(sounds[THUDSLOT], volume, thudpitch(impact));
        }
        for (size_t k = 0; k < now.pastgoal.size(); ++k) {
            if (now.pastgoal[k] && !last_.pastgoal[k]) voices_.play(sounds[GOALSLOT], volume);
        }
        for (const Tburst* burst : now.bursts) {
            if (std::find(last_.bursts.begin(), last_.bursts.end(), burst) == last_.bursts.end())
                voices_.play(sounds[POPSLOT], volume);
        }
    }
    last_ = std::move(now);
}

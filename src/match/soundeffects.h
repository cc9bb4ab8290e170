// The sound effects of a match, played by a listener that watches the match and never takes
// part in it: after every frame that is shown it compares the match with what it saw after the
// last one and plays what happened in between. It reads the match only, so no effect can
// change a random draw or anything else of the game, and a replayed game stays the same.
//   - a soft thud when a figure takes the main ball from its owner (or first touches it), the
//     harder the hit the higher the thud;
//   - a rising chord when a bar passes the goal;
//   - a pop for every firework burst.
// Frames the match plays again with drawing off (after a restore) are never heard: when the
// frame the listener sees does not follow the one it saw last, it only looks again.
#pragma once
#include "runtime/sound.h"
#include <array>
#include <vector>

class Tmatch;
class Tburst;

// The slots of the sounds handed to every match: 0 the music, then the effects.
enum SoundSlot : int { MUSICSLOT = 0, THUDSLOT = 1, GOALSLOT = 2, POPSLOT = 3 };

// A few channels that effects take turns on, so a second effect does not cut the first one
// short. The channels are made on the first play.
class Tvoices {
  public:
    static constexpr int count = 6;
    // volume 0-1 (0 plays nothing); pitch 1 as the sound was made.
    void play(const TSound& sound, float volume, float pitch = 1.0f);

  private:
    std::array<TChannel, count> channels_;
    int next_ = 0;
};

// The pitch of the thud for a change of the ball's speed by this much (world units per step):
// from 0.7 for a graze up to 1.6 for the hardest hits.
float thudpitch(double impact);

// What the listener saw of a match after a shown frame.
struct Theard {
    int frame = -1;
    std::array<int, 2> owners{};
    std::array<double, 2> vx{}, vy{}; // the main balls' velocities
    std::array<bool, 7> pastgoal{};
    std::vector<const Tburst*> bursts;
};

class Tmatchsounds {
  public:
    // The match's sounds by slot (THUDSLOT, GOALSLOT, POPSLOT); volume 0-1.
    std::array<TSound, 4> sounds;
    float volume = 0.5f;

    // Called after every shown frame of a match, before it is shown.
    void hear(const Tmatch& m);

  private:
    Theard last_;
    Tvoices voices_;
};

// What the match shows now, as the listener keeps it.
Theard lookat(const Tmatch& m);

// A game's evolving state as a value: everything that changes from frame to frame and decides
// what happens next (the bodies' balls and means, the figures' bars and histories, the main
// balls' owners and histories, the match's state, colours, camera and contact history, the
// fireworks and the trail, the random generator). Media, settings, the music channel and the
// structure of the bodies (which balls, links and springs exist) never change during a game
// and stay where they are. Restoring a snapshot and playing the same inputs again gives the
// same game, bit for bit: this is what replays check and what online play rolls back with.
#pragma once
#include "effects/burst.h"
#include "effects/trailitem.h"
#include "match/match.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include <vector>

struct MatchSnapshot {
    Tmatchstate match;
    std::vector<Tballstate> balls;       // every ball of every object, in stepping order
    std::vector<ragobjectstate> objects; // each object's means, in stepping order
    std::vector<Tmanstate> figures;
    std::vector<Tmainballstate> mainballs;
    std::vector<Tburst> rockets;
    std::vector<Ttrailitem> trailitems;
    int random = 0;
};

// Saves the game into the snapshot, reusing its storage.
void savesnapshot(const Tmatch& m, MatchSnapshot& into);
// Puts the game back as it was when the snapshot was taken (of this same match).
void restoresnapshot(Tmatch& m, const MatchSnapshot& from);

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
#include <cstddef>
#include <cstdint>
#include <vector>

struct MatchSnapshot {
    Tmatchstate match;
    std::vector<Tballstate> balls;       // every ball of every object, in stepping order
    std::vector<ragobjectstate> objects; // each object's means, in stepping order
    std::vector<Tmanstate> figures;
    std::vector<Tmainballstate> mainballs;
    std::vector<Tburst> rockets;
    std::vector<Ttrailitem> trailitems;
};

// Saves the game into the snapshot, reusing its storage.
void savesnapshot(const Tmatch& m, MatchSnapshot& into);
// Puts the game back as it was when the snapshot was taken (of this same match).
void restoresnapshot(Tmatch& m, const MatchSnapshot& from);

// FNV-1a, 64 bits, over bytes, going on from hash (the start value for none).
inline constexpr uint64_t HASHSTART = 0xcbf29ce484222325ULL;
uint64_t hashbytes(const void* data, size_t size, uint64_t hash = HASHSTART);

// A 64-bit hash of what decides the rest of the game: every ball's place and speed, the
// figures' bars and wins, the main balls' owners, the random generator, the frame, the
// state, the winner and the score. Two runs of one game agree on it frame by frame; what
// only shows (camera, colours, effects placed by the screen size) is left out, so a game
// watched at another resolution still agrees.
uint64_t statehash(const Tmatch& m);
uint64_t statehash(const MatchSnapshot& s);

// The game's sound effects, synthesised like the music: short, soft sounds that sit under the
// track without fighting it. Each is mono in the middle of the stereo field, its loudest
// sample well below full scale, so several can play at once without clipping.
#pragma once
#include "synth.h"
#include <string>
#include <vector>

struct SoundEffect {
    std::string name; // file name in the media folder
    StereoBuffer sound;
};

// A soft thud: a sine falling from 140 Hz to 55 Hz under a short felt-like knock. The game
// plays it faster or slower by how hard the ball was hit.
StereoBuffer makeThud();
// A short high tick for moving through a menu.
StereoBuffer makeTick();
// Two quick rising notes for a confirmed menu choice.
StereoBuffer makeConfirm();
// A rising major chord, note after note, for a bar passing the goal.
StereoBuffer makeGoalChord();
// A firework shell bursting far away: a noise crack with a low boom and a crackling tail.
StereoBuffer makePop();

// Every effect with its file name.
std::vector<SoundEffect> makeSoundEffects();

// Random numbers: the Park–Miller "minimal standard" generator (multiplier 48271, Schrage's
// method). The exact sequence matters: set-ups, computer players, possession tests and
// fireworks all draw from it, and a seeded match must replay bit for bit.
//
// A generator is a value. Every match owns one and draws only from it, so two matches can
// live side by side and a saved game carries its generator along; the runtime keeps one more
// for what lies outside a match (the menus' colours, the seed a new match starts from).
#pragma once

struct RandomGenerator {
    int state = 0x1234;

    bool operator==(const RandomGenerator&) const = default;
};

// state := seed & 0x7FFFFFFF; 0 and 0x7FFFFFFF fall back to the initial state 4660.
void SeedRandom(RandomGenerator& g, int seed);
// Uniform value in [0, 1) built from two generator steps.
double RandomUnit(RandomGenerator& g);
// A value between lo and hi, whichever order the bounds come in.
double RandomReal(RandomGenerator& g, double lo, double hi);
// An int between lo and hi. The sum is truncated toward zero, so a range straddling 0
// returns 0 twice as often and its negative bound almost never.
int RandomInt(RandomGenerator& g, int lo, int hi);

// The runtime's own generator, for what lies outside a match.
RandomGenerator& GameRandom();
// The same draws from it.
void SeedRandom(int seed);
double RandomReal(double lo, double hi);
int RandomInt(int lo, int hi);
// Its whole state, so a new match can start from it and a saved game go on with exactly the
// numbers it would have drawn.
int RandomState();
void SetRandomState(int state);

// Random numbers: one Park–Miller "minimal standard" generator (multiplier 48271, Schrage's
// method) shared by the whole game. The exact sequence matters: set-ups, computer players,
// possession tests and fireworks all draw from it, and a seeded match must replay bit for bit.
#pragma once

// The generator's state. The game has one, owned by the runtime; it is a value, so a saved
// game carries it along.
struct RandomGenerator {
    int state = 0x1234;
};
// The game's one generator, which the functions below draw from.
RandomGenerator& GameRandom();

// state := seed & 0x7FFFFFFF; 0 and 0x7FFFFFFF fall back to the initial state 4660.
void SeedRandom(int seed);
// Uniform value in [0, 1) built from two generator steps.
double RandomUnit();
// A value between lo and hi, whichever order the bounds come in.
double RandomReal(double lo, double hi);
// The generator's whole state, so a saved game can go on with exactly the numbers it would
// have drawn.
int RandomState();
void SetRandomState(int state);
// An int between lo and hi. The sum is truncated toward zero, so a range straddling 0
// returns 0 twice as often and its negative bound almost never.
int RandomInt(int lo, int hi);

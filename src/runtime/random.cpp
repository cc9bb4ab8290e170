// Park–Miller with multiplier 48271, stepped by Schrage's method so the product never
// overflows 32 bits; the sequence is part of the game's replays.
#include "runtime/random.h"

namespace {

constexpr int INITIAL_STATE = 0x1234;
constexpr int MODULUS = 2147483647;

int step(RandomGenerator& g) {
    int& state = g.state;
    state = (state % 44488) * 48271 - (state / 44488) * 3399;
    if (state < 0) state += MODULUS;
    return state;
}

} // namespace

void SeedRandom(RandomGenerator& g, int seed) {
    g.state = seed & 0x7FFFFFFF;
    if (g.state == 0 || g.state == 0x7FFFFFFF) g.state = INITIAL_STATE;
}

double RandomUnit(RandomGenerator& g) {
    double a = step(g) & 0x1FFFFFFC;
    double b = step(g) & 0x1FFFFFF8;
    return (a + b / 134217728.0) / 536870912.0; // (a + b / 2^27) / 2^29
}

double RandomReal(RandomGenerator& g, double lo, double hi) {
    double r = RandomUnit(g);
    return hi > lo ? lo + r * (hi - lo) : hi + r * (lo - hi);
}

int RandomInt(RandomGenerator& g, int lo, int hi) {
    double r = RandomUnit(g);
    // In double, so bounds far apart cannot overflow the range; the truncation of the whole
    // sum toward zero is what makes 0 come up twice as often across a range straddling it.
    double range = static_cast<double>(hi) - lo;
    double value = range > 0 ? lo + r * (range + 1) : hi + r * (1 - range);
    return static_cast<int>(value);
}

void SeedRandom(int seed) {
    SeedRandom(GameRandom(), seed);
}

double RandomReal(double lo, double hi) {
    return RandomReal(GameRandom(), lo, hi);
}

int RandomInt(int lo, int hi) {
    return RandomInt(GameRandom(), lo, hi);
}

int RandomState() {
    return GameRandom().state;
}

void SetRandomState(int saved) {
    GameRandom().state = saved;
}

#include "effects/colourdrift.h"
#include <cmath>

void drift(RandomGenerator& random, float v[3], float s[3]) {
    for (int c = 0; c < 3; ++c) {
        if (RandomReal(random, 0, 1000) > 990) s[c] = -s[c];
        if (v[c] >= 253) s[c] = -std::fabs(s[c]);
        if (!(v[c] > 3)) s[c] = std::fabs(s[c]);
        v[c] += s[c];
    }
}

void animatecolours(RandomGenerator& random, float colours[][3], float speeds[][3], int rows) {
    for (int i = 0; i < rows; ++i) drift(random, colours[i], speeds[i]);
}

void resetcolourspeeds(float speeds[][3], int rows) {
    for (int i = 0; i < rows; ++i)
        for (int c = 0; c < 3; ++c) speeds[i][c] = 2;
}

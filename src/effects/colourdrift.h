// Slowly wandering colours: each channel climbs or falls by its speed every frame, turns at
// the ends of the range 3..253 and reverses at random about once in a hundred frames. The grid,
// the win tally, the menu colour table and the spark bursts all move this way.
#pragma once

#include "runtime/random.h"

// Steps one colour triple v with its per-channel speeds s, channel 0 to 2 in turn, drawing
// from the generator.
void drift(RandomGenerator& random, float v[3], float s[3]);
// Steps every row of a colour table, row by row, exactly like drift.
void animatecolours(RandomGenerator& random, float colours[][3], float speeds[][3], int rows);
// Sets every speed of every row to 2.
void resetcolourspeeds(float speeds[][3], int rows);

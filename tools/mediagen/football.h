// The panels of a classic football (twelve dark pentagons among twenty light hexagons) on the
// main ball, so that its turning is easy to follow.
#pragma once

// Surface colour 0-1 (grey level) of the football at the unit-sphere point (x, y, z) as seen
// in the picture: x right, y down, z towards the viewer. Seams between panels are dark.
float footballSurface(float x, float y, float z);

// The football's grey level for picture pixel (x, y) of a ball of the given radius centred at
// (cx, cy), averaged over a 4 x 4 grid inside the pixel so that the seams stay smooth.
float footballPixel(int x, int y, float cx, float cy, float radius);

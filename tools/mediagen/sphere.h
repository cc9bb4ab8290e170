// Lighting of a ball seen from the front, shared by every round picture so that players, main
// ball, obstacles and the logo all look lit by the same lamp (above left, in front).
#pragma once

struct SphereLight {
    float diffuse;  // ambient plus lambert light, multiplies the surface colour
    float specular; // white highlight added on top
};

// (nx, ny) is the point on the disc in units of the radius, y downward; points beyond the rim
// are lit as the rim itself.
SphereLight lightSphere(float nx, float ny);

// A grey sphere of the given radius centred at (cx, cy), antialiased at the rim: the pictures
// are white and grey so that the drawing colour tints them.
class Canvas;
void paintGreySphere(Canvas& canvas, float cx, float cy, float radius);

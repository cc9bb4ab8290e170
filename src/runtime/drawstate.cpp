// The rotation and scale matrix of the drawing state.
#include "runtime/drawstate.h"
#include <cmath>

void DrawState::updateMatrix() {
    // Degrees; with y growing downward a positive angle turns clockwise on screen.
    double radians = rotation * 3.14159265358979323846 / 180.0;
    float c = static_cast<float>(std::cos(radians));
    float s = static_cast<float>(std::sin(radians));
    ix = c * scaleX;
    iy = -s * scaleY;
    jx = s * scaleX;
    jy = c * scaleY;
}

// The drawing state every primitive is drawn with, and the 2x2 rotation+scale matrix built
// from it. Portable: the renderers read it, the public setters in graphics.cpp write it.
#pragma once

struct DrawState {
    int r = 255, g = 255, b = 255;
    float alpha = 1.0f;
    int blend = 1;
    float lineWidth = 1.0f;
    float rotation = 0.0f;
    float scaleX = 1.0f, scaleY = 1.0f;
    float originX = 0.0f, originY = 0.0f;
    float handleX = 0.0f, handleY = 0.0f;
    // Matrix: a point (u, v) relative to the drawing position lands at
    // (x + u*ix + v*iy, y + u*jx + v*jy).
    float ix = 1.0f, iy = 0.0f, jx = 0.0f, jy = 1.0f;

    // Rebuilds ix, iy, jx, jy from rotation and scale.
    void updateMatrix();
};

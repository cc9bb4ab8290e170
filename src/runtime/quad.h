// Screen geometry of the drawing primitives: where the four corners of an image, a rectangle,
// a line or a glyph land once the drawing state (handles, scale, rotation, origin) is applied.
// Pure arithmetic shared by the OpenGL renderer (which only batches these quads) and the tests.
//
// Corners come in the order top-left, top-right, bottom-right, bottom-left of the untransformed
// shape, so a texture maps onto them the same way whatever the rotation.
#pragma once
#include "drawstate.h"
#include "renderer.h"
#include <string_view>
#include <vector>

struct Vec2 {
    float x = 0, y = 0;
};

struct Quad {
    Vec2 corner[4];
};

struct TexturedQuad {
    Quad quad;
    float u0 = 0, v0 = 0, u1 = 0, v1 = 0; // place in the texture, 0..1
};

// The image rectangle, offset by minus the image handle plus the global handle, turned and
// scaled by the matrix and placed at (x, y) + origin.
Quad ImageQuad(const TImageData& image, float x, float y, const DrawState& state);
// The rectangle from the global handle to handle + (w, h), transformed and placed at (x, y).
Quad RectQuad(float x, float y, float w, float h, const DrawState& state);
// A band of the line width along the pixel centres from (x1, y1) to the transformed second
// point. It covers the first pixel and, when drawLast is set, the end pixel too; a line of
// length 0 with drawLast is a single dot.
Quad LineQuad(float x1, float y1, float x2, float y2, bool drawLast, const DrawState& state);
// Edges along the axes with u along x: an unturned shape, possibly mirrored.
bool Unturned(const Quad& quad);
// Cuts a quad to the drawing area 0..width x 0..height before it reaches the rasteriser, which
// clips slowly (Mesa's software one spends about ten microseconds on each primitive that
// crosses the edge of the view, and the grid lines all do). A quad with its edges along the
// axes (unturned or turned by quarters; u0..u1 maps corner 0 to 1, v0..v1 corner 0 to 3) is
// cut to the area with its texture coordinates moved along; any other is left whole. False
// when nothing of it is inside.
bool ClipQuad(Quad& quad, float& u0, float& v0, float& u1, float& v1, float width, float height);
// One quad per glyph with a bitmap (spaces advance without a quad), appended to out. The pen
// moves by the glyph advances truncated after each glyph, exactly as TextWidth counts them.
void TextQuads(const TFontData& font, std::string_view text, float x, float y,
               const DrawState& state, std::vector<TexturedQuad>& out);

// Screen corners of the drawing primitives; see quad.h.
#include "runtime/quad.h"
#include <algorithm>
#include <cmath>

namespace {

// Cuts the span from a (texture t0) to b (texture t1) to 0..length; false when it lies outside.
bool clipSpan(float& a, float& b, float& t0, float& t1, float length) {
    if (std::max(a, b) <= 0 || std::min(a, b) >= length) return false;
    if (a == b) return true;
    const float na = std::clamp(a, 0.0f, length), nb = std::clamp(b, 0.0f, length);
    const float ta = t0 + (t1 - t0) * ((na - a) / (b - a));
    const float tb = t0 + (t1 - t0) * ((nb - a) / (b - a));
    a = na, b = nb, t0 = ta, t1 = tb;
    return true;
}

// A point (u, v) relative to the drawing position, through the matrix, placed at (x, y).
Vec2 place(float u, float v, float x, float y, const DrawState& s) {
    return {x + s.originX + u * s.ix + v * s.iy, y + s.originY + u * s.jx + v * s.jy};
}

Quad box(float u0, float v0, float u1, float v1, float x, float y, const DrawState& s) {
    return {{place(u0, v0, x, y, s), place(u1, v0, x, y, s), place(u1, v1, x, y, s),
             place(u0, v1, x, y, s)}};
}

} // namespace

bool Unturned(const Quad& quad) {
    const Vec2* c = quad.corner;
    return c[0].y == c[1].y && c[3].y == c[2].y && c[0].x == c[3].x && c[1].x == c[2].x;
}

bool ClipQuad(Quad& quad, float& u0, float& v0, float& u1, float& v1, float width, float height) {
    Vec2* c = quad.corner;
    // u runs from corner 0 to corner 1 and v from corner 0 to corner 3: along x and y for an
    // unturned shape, along y and x for one turned a quarter (a vertical line is one).
    const bool uAlongX = Unturned(quad);
    const bool uAlongY =
        c[0].x == c[1].x && c[3].x == c[2].x && c[0].y == c[3].y && c[1].y == c[2].y;
    if (uAlongX) {
        float left = c[0].x, right = c[1].x, top = c[0].y, bottom = c[3].y;
        if (!clipSpan(left, right, u0, u1, width) || !clipSpan(top, bottom, v0, v1, height))
            return false;
        c[0] = {left, top}, c[1] = {right, top}, c[2] = {right, bottom}, c[3] = {left, bottom};
        return true;
    }
    if (uAlongY) {
        float top = c[0].y, bottom = c[1].y, left = c[0].x, right = c[3].x;
        if (!clipSpan(top, bottom, u0, u1, height) || !clipSpan(left, right, v0, v1, width))
            return false;
        c[0] = {left, top}, c[1] = {left, bottom}, c[2] = {right, bottom}, c[3] = {right, top};
        return true;
    }
    float minX = c[0].x, maxX = c[0].x, minY = c[0].y, maxY = c[0].y;
    for (int i = 1; i < 4; ++i) {
        minX = std::min(minX, c[i].x), maxX = std::max(maxX, c[i].x);
        minY = std::min(minY, c[i].y), maxY = std::max(maxY, c[i].y);
    }
    return maxX > 0 && minX < width && maxY > 0 && minY < height;
}

Quad ImageQuad(const TImageData& image, float x, float y, const DrawState& state) {
    float u0 = state.handleX - image.handleX;
    float v0 = state.handleY - image.handleY;
    return box(u0, v0, u0 + image.width, v0 + image.height, x, y, state);
}

Quad RectQuad(float x, float y, float w, float h, const DrawState& state) {
    return box(state.handleX, state.handleY, state.handleX + w, state.handleY + h, x, y, state);
}

Quad LineQuad(float x1, float y1, float x2, float y2, bool drawLast, const DrawState& state) {
    // Ends on pixel centres, so a one-pixel line at whole coordinates fills whole pixels.
    Vec2 a = place(state.handleX, state.handleY, x1 + 0.5f, y1 + 0.5f, state);
    Vec2 b = place(state.handleX + x2 - x1, state.handleY + y2 - y1, x1 + 0.5f, y1 + 0.5f, state);
    float dx = b.x - a.x, dy = b.y - a.y;
    float length = std::sqrt(dx * dx + dy * dy);
    // A zero-length line has no direction; any will do for its single pixel.
    if (length > 0)
        dx /= length, dy /= length;
    else
        dx = 1, dy = 0;
    float endReach = drawLast ? 0.5f : -0.5f;
    Vec2 start{a.x - dx * 0.5f, a.y - dy * 0.5f};
    Vec2 end{b.x + dx * endReach, b.y + dy * endReach};
    float half = state.lineWidth * 0.5f;
    Vec2 side{-dy * half, dx * half}; // the line's normal, half a width long
    return {{{start.x - side.x, start.y - side.y},
             {end.x - side.x, end.y - side.y},
             {end.x + side.x, end.y + side.y},
             {start.x + side.x, start.y + side.y}}};
}

void TextQuads(const TFontData& font, std::string_view text, float x, float y,
               const DrawState& state, std::vector<TexturedQuad>& out) {
    int pen = 0;
    for (unsigned char c : text) {
        const Glyph& g = font.glyphs[c];
        if (g.width > 0 && g.height > 0) {
            float u0 = state.handleX + pen + g.left;
            float v0 = state.handleY + g.top;
            out.push_back(
                {box(u0, v0, u0 + g.width, v0 + g.height, x, y, state), g.u0, g.v0, g.u1, g.v1});
        }
        pen = static_cast<int>(pen + g.advance);
    }
}

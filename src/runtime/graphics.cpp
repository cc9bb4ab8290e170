// The drawing state setters and the primitives. The state lives in the runtime context; each
// primitive goes, with the state of the moment, to the renderer of the open surface. Without
// one (no graphics open, or a run with no video) drawing does nothing.
#include "runtime/context.h"
#include <algorithm>

namespace {

// The built-in font: no glyphs, so text draws nothing and measures 0, but the call still
// reaches the renderer (a recording renderer logs it).
const TFontData& currentFont() {
    static const TFontData builtIn;
    return rt().font ? *rt().font : builtIn;
}

} // namespace

void SetDrawColor(int r, int g, int b) {
    DrawState& s = rt().state;
    s.r = std::clamp(r, 0, 255);
    s.g = std::clamp(g, 0, 255);
    s.b = std::clamp(b, 0, 255);
}

void SetDrawAlpha(float alpha) {
    // Written so that NaN ends up as 0: the comparison fails and the value is replaced.
    rt().state.alpha = alpha > 0.0f ? std::min(alpha, 1.0f) : 0.0f;
}

void SetBlendMode(int mode) {
    // Only the modes a renderer knows; anything else leaves the current mode.
    if (mode >= BLEND_MASK && mode <= BLEND_SHADE) rt().state.blend = mode;
}

void SetLineWidth(float width) {
    rt().state.lineWidth = width > 0.0f ? width : 0.0f;
}

void SetDrawRotation(float degrees) {
    rt().state.rotation = degrees;
    rt().state.updateMatrix();
}

void SetDrawScale(float sx, float sy) {
    rt().state.scaleX = sx;
    rt().state.scaleY = sy;
    rt().state.updateMatrix();
}

void DrawImage(const TImage& image, float x, float y, int) {
    // Every picture has the one frame 0, so the frame number selects nothing.
    if (Renderer* renderer = DrawingRenderer(); image && renderer)
        renderer->drawImage(*image, x, y, rt().state);
}

void DrawRect(float x, float y, float w, float h) {
    if (Renderer* renderer = DrawingRenderer()) renderer->drawRect(x, y, w, h, rt().state);
}

void DrawLine(float x1, float y1, float x2, float y2, int drawLast) {
    if (Renderer* renderer = DrawingRenderer())
        renderer->drawLine(x1, y1, x2, y2, drawLast != 0, rt().state);
}

void DrawText(std::string_view text, float x, float y) {
    if (Renderer* renderer = DrawingRenderer())
        renderer->drawText(currentFont(), text, x, y, rt().state);
}

int TextWidth(std::string_view text) {
    const TFontData& font = currentFont();
    int width = 0;
    for (unsigned char c : text) width = static_cast<int>(width + font.glyphs[c].advance);
    return width;
}

int TextHeight() {
    return currentFont().height;
}

void SetFont(const TFont& font) {
    rt().font = font;
}

// The drawing log used by tests: every primitive with the state it was drawn in.
#include "runtime/renderer.h"

void RecordingRenderer::clear() {
    DrawCall call;
    call.kind = DrawCall::Clear;
    calls.push_back(call);
}

void RecordingRenderer::drawImage(const TImageData& image, float x, float y,
                                  const DrawState& state) {
    calls.push_back({DrawCall::Image, image.path, x, y, 0, 0, state});
}

void RecordingRenderer::drawRect(float x, float y, float w, float h, const DrawState& state) {
    calls.push_back({DrawCall::Rect, "", x, y, w, h, state});
}

void RecordingRenderer::drawLine(float x1, float y1, float x2, float y2, bool,
                                 const DrawState& state) {
    calls.push_back({DrawCall::Line, "", x1, y1, x2, y2, state});
}

void RecordingRenderer::drawText(const TFontData&, std::string_view text, float x, float y,
                                 const DrawState& state) {
    calls.push_back({DrawCall::Text, std::string(text), x, y, 0, 0, state});
}

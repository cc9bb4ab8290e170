// The renderer backends: OpenGL in a window (live or SDL's offscreen driver), the recording
// renderer of the tests, and the renderer that draws nothing.
#include "runtime/context.h"
#include "runtime/gl_renderer.h"
#include "runtime/null_renderer.h"
#include "runtime/video.h"

namespace {

std::unique_ptr<Renderer> opengl(int width, int height, bool fullScreen) {
    if (!rt().platform.videoReady || !OpenWindow(width, height, fullScreen)) return nullptr;
    int drawableWidth = 0, drawableHeight = 0;
    DrawableSize(drawableWidth, drawableHeight);
    return std::make_unique<GlRenderer>(drawableWidth, drawableHeight);
}

std::unique_ptr<Renderer> recording(int, int, bool) {
    return std::make_unique<RecordingRenderer>();
}

std::unique_ptr<Renderer> nothing(int, int, bool) {
    return std::make_unique<NullRenderer>();
}

} // namespace

const RendererBackend glrenderer = {"opengl", opengl};
const RendererBackend recordingrenderer = {"recording", recording};
const RendererBackend nullrenderer = {"none", nothing};

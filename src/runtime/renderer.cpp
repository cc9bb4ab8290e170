// What every renderer shares; see renderer.h.
#include "runtime/renderer.h"

TextureId Renderer::createCoverageTexture(const Coverage& coverage, int flags) {
    Pixels pixels;
    pixels.width = coverage.width;
    pixels.height = coverage.height;
    pixels.rgba.reserve(coverage.alpha.size() * 4);
    for (uint8_t a : coverage.alpha) pixels.rgba.insert(pixels.rgba.end(), {255, 255, 255, a});
    return createTexture(pixels, flags);
}

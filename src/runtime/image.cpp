// Pictures: PNG files decoded to RGBA, keyed by the mask colour when asked, and handed to the
// renderer of the open surface as one texture each.
#include "runtime/context.h"
#include "runtime/pngio.h"
#include <algorithm>
#include <cstdio>

namespace {

bool isMaskColour(const uint8_t* p) {
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

// Black pixels become transparent, everything else opaque. A transparent pixel takes the
// average colour of its non-black neighbours, so a filtered edge blends towards the picture's
// own colours instead of a dark fringe.
void applyMask(Pixels& pixels) {
    const int w = pixels.width, h = pixels.height;
    const std::vector<uint8_t> source = pixels.rgba;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* out = &pixels.rgba[(static_cast<size_t>(y) * w + x) * 4];
            if (!isMaskColour(&source[(static_cast<size_t>(y) * w + x) * 4])) {
                out[3] = 255;
                continue;
            }
            int sum[3] = {0, 0, 0}, count = 0;
            for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, h - 1); ++ny) {
                for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, w - 1); ++nx) {
                    const uint8_t* n = &source[(static_cast<size_t>(ny) * w + nx) * 4];
                    if (isMaskColour(n)) continue;
                    for (int c = 0; c < 3; ++c) sum[c] += n[c];
                    ++count;
                }
            }
            for (int c = 0; c < 3; ++c) out[c] = count ? static_cast<uint8_t>(sum[c] / count) : 0;
            out[3] = 0;
        }
    }
}

} // namespace

TImageData::~TImageData() {
    Renderer* renderer = rt().renderer.get();
    if (texture && renderer && renderer->serial == rendererSerial) {
        renderer->destroyTexture(texture);
    }
}

void SetAutoImageFlags(int flags) {
    rt().autoImageFlags = flags;
}

TImage LoadImage(const std::string& path, int flags, std::string* error) {
    if (flags == -1) flags = rt().autoImageFlags;
    Pixels pixels;
    bool hasAlpha = false;
    std::string problem;
    if (!ReadPng(path, pixels, hasAlpha, problem)) {
        if (error) {
            *error = problem;
        } else {
            std::fprintf(stderr, "LoadImage: %s\n", problem.c_str());
        }
        return nullptr;
    }
    if ((flags & IMAGE_MASKED) && !hasAlpha) applyMask(pixels);
    auto image = std::make_shared<TImageData>();
    image->path = path;
    image->width = pixels.width;
    image->height = pixels.height;
    image->flags = flags;
    if (Renderer* renderer = rt().renderer.get()) {
        image->texture = renderer->createTexture(pixels, flags);
        image->rendererSerial = renderer->serial;
    }
    return image;
}

void MidHandleImage(const TImage& image) {
    if (!image) return;
    image->handleX = image->width * 0.5f;
    image->handleY = image->height * 0.5f;
}

int ImageWidth(const TImage& image) {
    return image ? image->width : 0;
}
int ImageHeight(const TImage& image) {
    return image ? image->height : 0;
}

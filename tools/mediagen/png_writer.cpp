#include "png_writer.h"

#include <cmath>
#include <cstdio>
#include <png.h>
#include <vector>

namespace {

unsigned char toByte(float v) {
    return static_cast<unsigned char>(std::lround(clamp01(v) * 255.0f));
}

std::vector<unsigned char> toBytes(const Canvas& canvas) {
    std::vector<unsigned char> bytes;
    bytes.reserve(static_cast<size_t>(canvas.width()) * canvas.height() * 4);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            Colour c = canvas.get(x, y);
            for (float v : {c.r, c.g, c.b, c.a}) bytes.push_back(toByte(v));
        }
    }
    return bytes;
}

} // namespace

bool writePng(const std::string& path, const Canvas& canvas) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "mediagen: cannot write %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<unsigned char> bytes = toBytes(canvas);
    std::vector<png_bytep> rows(canvas.height());
    for (int y = 0; y < canvas.height(); ++y)
        rows[y] = &bytes[static_cast<size_t>(y) * canvas.width() * 4];
    bool ok = png && info && setjmp(png_jmpbuf(png)) == 0;
    if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, canvas.width(), canvas.height(), 8, PNG_COLOR_TYPE_RGBA,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) std::fprintf(stderr, "mediagen: failed writing %s\n", path.c_str());
    return ok;
}

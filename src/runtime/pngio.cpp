// PNG files through libpng's simplified interface: every colour type, bit depth and
// transparency chunk arrives as 8-bit RGBA.
#include "runtime/pngio.h"
#include <png.h>

bool ReadPng(const std::string& path, Pixels& out, bool& hasAlpha, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    // The file's own format: a transparency chunk counts as alpha too.
    hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_RGBA;
    Pixels pixels;
    pixels.width = static_cast<int>(image.width);
    pixels.height = static_cast<int>(image.height);
    pixels.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.rgba.data(), 0, nullptr)) {
        error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    out = std::move(pixels);
    return true;
}

bool WritePng(const std::string& path, const Pixels& pixels, bool withAlpha) {
    if (pixels.width <= 0 || pixels.height <= 0 ||
        pixels.rgba.size() != static_cast<size_t>(pixels.width) * pixels.height * 4) {
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(pixels.width);
    image.height = static_cast<png_uint_32>(pixels.height);
    image.format = PNG_FORMAT_RGBA;
    const void* data = pixels.rgba.data();
    std::vector<uint8_t> rgb;
    if (!withAlpha) {
        image.format = PNG_FORMAT_RGB;
        rgb.reserve(pixels.rgba.size() / 4 * 3);
        for (size_t i = 0; i < pixels.rgba.size(); i += 4) {
            rgb.insert(rgb.end(), pixels.rgba.begin() + i, pixels.rgba.begin() + i + 3);
        }
        data = rgb.data();
    }
    bool ok = png_image_write_to_file(&image, path.c_str(), 0, data, 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

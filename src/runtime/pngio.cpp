// PNG files through libpng's simplified interface: every colour type, bit depth and
// transparency chunk arrives as 8-bit RGBA.
#include "runtime/pngio.h"
#include "runtime/files.h"
#include <algorithm>
#include <cstring>
#include <png.h>
#include <sys/stat.h>

namespace {

// No picture of the game comes near these; they only stop a damaged or hostile file.
constexpr long long MAX_FILE_BYTES = 64 * MiB;
constexpr png_uint_32 MAX_SIDE = 8192;
// Deflate cannot shrink data by more than about 1032 to 1 (zlib's own figure), so a file must
// be at least that fraction of the image data its header promises.
constexpr long long MAX_DEFLATE_RATIO = 1032;

// What the header chunk says about the file's own pixel format, read before libpng does.
struct Header {
    bool valid = false;
    int bitDepth = 0, colourType = 0;
};

Header readHeader(std::FILE* file) {
    unsigned char bytes[26];
    Header header;
    if (std::fread(bytes, 1, sizeof bytes, file) == sizeof bytes &&
        std::memcmp(bytes + 12, "IHDR", 4) == 0) {
        header = {true, bytes[24], bytes[25]};
    }
    std::rewind(file);
    return header;
}

// Bytes of image data, before compression, that the header promises: every row at the file's
// own bit depth plus its filter byte (an interlaced file has a few more).
long long promisedBytes(png_uint_32 width, png_uint_32 height, const Header& header) {
    // Samples per pixel of each colour type; libpng itself refuses the types marked 0.
    const int samples[] = {1, 0, 3, 1, 2, 0, 4};
    const int perPixel =
        std::max(header.colourType <= 6 ? samples[header.colourType] * header.bitDepth : 0, 1);
    const long long rowBytes = (static_cast<long long>(width) * perPixel + 7) / 8 + 1;
    return rowBytes * height;
}

} // namespace

bool ReadPng(const std::string& path, Pixels& out, bool& hasAlpha, std::string& error) {
    FileProblem problem;
    File file = OpenRegularFile(path, MAX_FILE_BYTES, &problem);
    if (!file) {
        error = DescribeProblem(path, problem);
        return false;
    }
    const Header header = readHeader(file.get());
    struct stat info;
    const long long fileBytes = fstat(fileno(file.get()), &info) == 0 ? info.st_size : 0;

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_stdio(&image, file.get())) {
        error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    // Only the header has been read: a file that claims more pixels than any picture could
    // have, or more than its bytes can hold, is refused before anything is allocated for them.
    if (image.width == 0 || image.height == 0 || image.width > MAX_SIDE ||
        image.height > MAX_SIDE) {
        error = path + " claims " + std::to_string(image.width) + " x " +
                std::to_string(image.height) + " pixels; a picture has 1 to " +
                std::to_string(MAX_SIDE) + " on a side";
        png_image_free(&image);
        return false;
    }
    if (header.valid &&
        promisedBytes(image.width, image.height, header) > fileBytes * MAX_DEFLATE_RATIO + 4096) {
        error = path + " claims " + std::to_string(image.width) + " x " +
                std::to_string(image.height) + " pixels but is far too small to hold them";
        png_image_free(&image);
        return false;
    }
    // The file's own format: a transparency chunk counts as alpha too.
    hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_RGBA;
    Pixels pixels;
    pixels.width = static_cast<int>(image.width);
    pixels.height = static_cast<int>(image.height);
    // At most 8192 x 8192 x 4 bytes: no overflow, worked out in 64 bits all the same.
    pixels.rgba.resize(static_cast<size_t>(uint64_t{image.width} * image.height * 4));
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

#include "badmedia.h"
#include <algorithm>
#include <fstream>
#include <iterator>
#include <ogg/ogg.h>
#include <zlib.h>

namespace {

void putBig32(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift);
}

void putChunk(std::string& out, const char* type, const std::string& data) {
    putBig32(out, static_cast<uint32_t>(data.size()));
    const std::string body = type + data;
    out += body;
    putBig32(out, static_cast<uint32_t>(
                      crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
}

// Header and body of the page that starts at offset `at`.
size_t pageBytes(const std::string& data, size_t at) {
    const auto* header = reinterpret_cast<const unsigned char*>(&data[at]);
    size_t bytes = 27 + header[26];
    for (int s = 0; s < header[26] && at + 27 + s < data.size(); ++s) bytes += header[27 + s];
    return bytes;
}

// Sets the checksum of the page that starts at offset `at`.
void resealPage(std::string& data, size_t at) {
    auto* header = reinterpret_cast<unsigned char*>(&data[at]);
    ogg_page page;
    page.header = header;
    page.header_len = 27 + header[26];
    long body = 0;
    for (int s = 0; s < header[26]; ++s) body += header[27 + s];
    page.body = header + page.header_len;
    page.body_len = body;
    ogg_page_checksum_set(&page);
}

} // namespace

std::string PngHeaderBomb(uint32_t width, uint32_t height) {
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    putBig32(header, width);
    putBig32(header, height);
    header += std::string("\x08\x06\x00\x00\x00", 5); // 8 bits, RGBA, deflate, no interlace
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", std::string("\x78\x9c\x62\x60\x00\x00\x00\x00", 8));
    putChunk(png, "IEND", "");
    return png;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

bool PatchOgg(const std::string& path, long rate, int64_t granule) {
    std::string data;
    {
        std::ifstream in(path, std::ios::binary);
        if (!in) return false;
        data.assign(std::istreambuf_iterator<char>(in), {});
    }
    // The first page holds the identification header: 0x01 "vorbis", version, channels, rate.
    if (data.size() < 28 || data.compare(0, 4, "OggS") != 0) return false;
    const size_t first = 27 + static_cast<unsigned char>(data[26]);
    if (data.size() < first + 16 || data.compare(first, 7, "\x01vorbis") != 0) return false;
    if (rate > 0) {
        for (int b = 0; b < 4; ++b) data[first + 12 + b] = static_cast<char>(rate >> (8 * b));
        resealPage(data, 0);
    }
    if (granule >= 0) {
        // Walked page by page: "OggS" may also occur inside the compressed data.
        size_t last = 0;
        for (size_t at = 0; at + 27 <= data.size() && data.compare(at, 4, "OggS") == 0;) {
            last = at;
            at += pageBytes(data, at);
        }
        if (last == 0) return false;
        for (int b = 0; b < 8; ++b) data[last + 6 + b] = static_cast<char>(granule >> (8 * b));
        resealPage(data, last);
    }
    return WriteBytes(path, data);
}

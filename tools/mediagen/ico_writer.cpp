#include "ico_writer.h"
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

void put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

} // namespace

bool writeIco(const std::string& path, const std::vector<IcoPicture>& pictures) {
    std::vector<std::vector<uint8_t>> pngs;
    for (const IcoPicture& picture : pictures) {
        std::ifstream in(picture.pngPath, std::ios::binary);
        pngs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) pngs.back().clear();
        if (pngs.back().empty() || picture.size < 1 || picture.size > 256) {
            std::fprintf(stderr, "mediagen: cannot put %s in an icon\n", picture.pngPath.c_str());
            return false;
        }
    }
    // The header, one entry a picture, then the pictures; a side of 256 is written as 0.
    std::vector<uint8_t> out;
    put16(out, 0);
    put16(out, 1);
    put16(out, unsigned(pictures.size()));
    uint32_t offset = uint32_t(6 + 16 * pictures.size());
    for (size_t i = 0; i < pictures.size(); ++i) {
        out.push_back(uint8_t(pictures[i].size & 0xff));
        out.push_back(uint8_t(pictures[i].size & 0xff));
        out.push_back(0); // no palette
        out.push_back(0);
        put16(out, 1);  // planes
        put16(out, 32); // bits a pixel
        put32(out, uint32_t(pngs[i].size()));
        put32(out, offset);
        offset += uint32_t(pngs[i].size());
    }
    for (const std::vector<uint8_t>& png : pngs) out.insert(out.end(), png.begin(), png.end());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    if (!file.flush()) {
        std::fprintf(stderr, "mediagen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

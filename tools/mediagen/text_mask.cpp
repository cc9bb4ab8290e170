#include "text_mask.h"

#include <algorithm>
#include <cstdio>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

struct Glyph {
    int left, top, width, rows, pen;
    std::vector<unsigned char> bitmap;
};

// Renders every glyph at one pixel size, remembering where on the pen line each one goes.
std::vector<Glyph> renderGlyphs(FT_Face face, const std::string& text, int pixels) {
    FT_Set_Pixel_Sizes(face, 0, pixels);
    std::vector<Glyph> glyphs;
    int pen = 0;
    for (char ch : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(ch), FT_LOAD_RENDER)) continue;
        FT_GlyphSlot g = face->glyph;
        Glyph glyph{g->bitmap_left,
                    g->bitmap_top,
                    static_cast<int>(g->bitmap.width),
                    static_cast<int>(g->bitmap.rows),
                    pen,
                    {}};
        for (int y = 0; y < glyph.rows; ++y) {
            const unsigned char* row = g->bitmap.buffer + y * g->bitmap.pitch;
            glyph.bitmap.insert(glyph.bitmap.end(), row, row + glyph.width);
        }
        glyphs.push_back(std::move(glyph));
        pen += static_cast<int>(g->advance.x >> 6);
    }
    return glyphs;
}

TextMask toMask(const std::vector<Glyph>& glyphs) {
    int minX = 1 << 20, maxX = -(1 << 20), minY = 1 << 20, maxY = -(1 << 20);
    for (const Glyph& g : glyphs) {
        if (g.width == 0) continue;
        minX = std::min(minX, g.pen + g.left);
        maxX = std::max(maxX, g.pen + g.left + g.width);
        minY = std::min(minY, -g.top);
        maxY = std::max(maxY, -g.top + g.rows);
    }
    TextMask mask;
    if (maxX <= minX) return mask;
    mask.width = maxX - minX;
    mask.height = maxY - minY;
    mask.coverage.assign(static_cast<size_t>(mask.width) * mask.height, 0.0f);
    for (const Glyph& g : glyphs) {
        for (int y = 0; y < g.rows; ++y) {
            for (int x = 0; x < g.width; ++x) {
                float& c = mask.coverage[static_cast<size_t>(y - g.top - minY) * mask.width +
                                         (g.pen + g.left + x - minX)];
                c = std::max(c, g.bitmap[static_cast<size_t>(y) * g.width + x] / 255.0f);
            }
        }
    }
    return mask;
}

} // namespace

std::optional<TextMask> rasteriseText(const std::string& fontPath, const std::string& text,
                                      int maxWidth) {
    FT_Library library;
    if (FT_Init_FreeType(&library)) return std::nullopt;
    FT_Face face;
    if (FT_New_Face(library, fontPath.c_str(), 0, &face)) {
        std::fprintf(stderr, "mediagen: cannot read font %s\n", fontPath.c_str());
        FT_Done_FreeType(library);
        return std::nullopt;
    }
    TextMask best;
    for (int pixels = 8; pixels <= 200; ++pixels) {
        TextMask mask = toMask(renderGlyphs(face, text, pixels));
        if (mask.width > maxWidth) break;
        best = std::move(mask);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return best;
}

// The image font: a TrueType face rasterised once, at one pixel size, into a single texture
// atlas. Glyphs are white with their coverage in alpha, so the drawing colour tints them and
// text is never rasterised again while drawing.
#include "runtime/context.h"
#include "runtime/files.h"
#include <algorithm>
#include <cstdio>
#include <ft2build.h>
#include <string>
#include <string_view>
#include FT_FREETYPE_H

namespace {

constexpr int ATLAS_WIDTH = 2048;
// Far above any real font; only stops a damaged file or a device from being read whole.
constexpr long long MAX_FONT_BYTES = 64 * MiB;
// What the game writes: its texts in capitals and digits, and the signs a player may type in a
// name. A face that cannot draw these would leave every screen black.
constexpr std::string_view DRAWN =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!@#$%^&*()-_+=[]{}<>,.?/\\|:;'";
// Empty space around each glyph, so the smaller mipmap levels of the scaled-down text do not
// bleed neighbouring glyphs into each other.
constexpr int PADDING = 8;

struct Bitmap {
    int width = 0, height = 0;
    std::vector<uint8_t> coverage;
};

// Rasterises byte c (read as Latin-1) into glyph and bitmap; bytes without a glyph in the
// face stay empty with no advance.
void rasterise(FT_Face face, int c, Glyph& glyph, Bitmap& bitmap, int ascent) {
    FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(c));
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0) return;
    FT_GlyphSlot slot = face->glyph;
    // Unhinted advance with its fraction: TextWidth truncates the running sum itself.
    glyph.advance = slot->linearHoriAdvance / 65536.0f;
    glyph.left = slot->bitmap_left;
    glyph.top = ascent - slot->bitmap_top;
    const FT_Bitmap& b = slot->bitmap;
    if (b.pixel_mode != FT_PIXEL_MODE_GRAY) return;
    bitmap.width = static_cast<int>(b.width);
    bitmap.height = static_cast<int>(b.rows);
    bitmap.coverage.resize(static_cast<size_t>(bitmap.width) * bitmap.height);
    for (int y = 0; y < bitmap.height; ++y) {
        std::copy_n(b.buffer + static_cast<ptrdiff_t>(y) * b.pitch, bitmap.width,
                    bitmap.coverage.begin() + static_cast<ptrdiff_t>(y) * bitmap.width);
    }
}

// Shelf packing: glyphs left to right in rows as tall as their tallest glyph. Fills in the
// atlas positions (in pixels for now) and returns the height used.
int pack(const Bitmap (&bitmaps)[256], int (&px)[256], int (&py)[256]) {
    int x = PADDING, y = PADDING, rowHeight = 0;
    for (int c = 0; c < 256; ++c) {
        const Bitmap& b = bitmaps[c];
        if (b.width == 0 || b.height == 0) continue;
        if (x + b.width + PADDING > ATLAS_WIDTH) {
            x = PADDING;
            y += rowHeight + PADDING;
            rowHeight = 0;
        }
        px[c] = x, py[c] = y;
        x += b.width + PADDING;
        rowHeight = std::max(rowHeight, b.height);
    }
    return y + rowHeight + PADDING;
}

// The characters of DRAWN without a glyph to show, in quotes, with the space if it has no
// advance either; empty when the face can draw every text of the game.
std::string undrawable(const TFontData& font, const Bitmap (&bitmaps)[256]) {
    std::string missing;
    for (char c : DRAWN) {
        const auto i = static_cast<unsigned char>(c);
        if (bitmaps[i].width == 0 || bitmaps[i].height == 0 || !(font.glyphs[i].advance > 0)) {
            missing += c;
        }
    }
    std::string text;
    if (!missing.empty()) text = "\"" + missing + "\"";
    if (!(font.glyphs[static_cast<unsigned char>(' ')].advance > 0))
        text += text.empty() ? "a space" : " nor a space";
    return text;
}

int powerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n) p *= 2;
    return p;
}

// Builds the atlas coverage and the glyphs' texture coordinates.
Coverage buildAtlas(TFontData& font, const Bitmap (&bitmaps)[256]) {
    int px[256] = {}, py[256] = {};
    Coverage atlas;
    atlas.width = ATLAS_WIDTH;
    atlas.height = powerOfTwoAtLeast(pack(bitmaps, px, py));
    atlas.alpha.resize(static_cast<size_t>(atlas.width) * atlas.height);
    for (int c = 0; c < 256; ++c) {
        const Bitmap& b = bitmaps[c];
        Glyph& g = font.glyphs[c];
        if (b.width == 0 || b.height == 0) continue;
        for (int y = 0; y < b.height; ++y) {
            std::copy_n(b.coverage.begin() + static_cast<ptrdiff_t>(y) * b.width, b.width,
                        atlas.alpha.begin() + static_cast<ptrdiff_t>(py[c] + y) * atlas.width +
                            px[c]);
        }
        g.width = b.width;
        g.height = b.height;
        g.u0 = static_cast<float>(px[c]) / atlas.width;
        g.v0 = static_cast<float>(py[c]) / atlas.height;
        g.u1 = static_cast<float>(px[c] + b.width) / atlas.width;
        g.v1 = static_cast<float>(py[c] + b.height) / atlas.height;
    }
    font.atlasWidth = atlas.width;
    font.atlasHeight = atlas.height;
    return atlas;
}

} // namespace

TFontData::~TFontData() {
    if (!atlas) return; // the built-in font may outlive the runtime context
    Renderer* renderer = rt().renderer.get();
    if (renderer && renderer->serial == rendererSerial) renderer->destroyTexture(atlas);
}

TFont LoadFont(const std::string& path, int size, int style, std::string* error) {
    auto fail = [&](const std::string& problem) {
        if (error) {
            *error = problem;
        } else {
            std::fprintf(stderr, "LoadFont: %s\n", problem.c_str());
        }
        return nullptr;
    };
    if (size <= 0) return fail(path + ": no font size given");
    // Read whole, so a FIFO or a device in its place is refused instead of read without end;
    // FreeType reads the face from these bytes, which must outlive it.
    std::string bytes;
    FileProblem problem;
    if (!ReadWholeFile(path, MAX_FONT_BYTES, bytes, &problem)) {
        return fail(DescribeProblem(path, problem));
    }
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) return fail(path + ": FreeType did not start");
    FT_Face face;
    if (FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(bytes.data()),
                           static_cast<FT_Long>(bytes.size()), 0, &face) != 0 ||
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) != 0) {
        FT_Done_FreeType(library); // also releases a face that was opened
        return fail(path + " is not a font that can be read");
    }
    auto font = std::make_shared<TFontData>();
    font->path = path;
    font->size = size;
    font->height = size;
    font->ascent = static_cast<int>(face->size->metrics.ascender / 64);
    static Bitmap bitmaps[256]; // large: kept off the stack
    for (int c = 0; c < 256; ++c) {
        bitmaps[c] = Bitmap{};
        rasterise(face, c, font->glyphs[c], bitmaps[c], font->ascent);
    }
    FT_Done_FreeType(library);
    const std::string missing = undrawable(*font, bitmaps);
    if (!missing.empty()) return fail(path + " cannot draw " + missing);
    Coverage atlas = buildAtlas(*font, bitmaps);
    if (Renderer* renderer = rt().renderer.get()) {
        // Style bit 4 is "smooth".
        int flags = (style & 4) ? IMAGE_FILTERED | IMAGE_MIPMAPPED : 0;
        font->atlas = renderer->createCoverageTexture(atlas, flags);
        font->rendererSerial = renderer->serial;
    }
    return font;
}

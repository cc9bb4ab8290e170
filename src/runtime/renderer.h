// The drawing backend behind graphics.h. The portable layer keeps the drawing state, loads
// pictures and glyphs and hands each primitive, with the state it is drawn in, to exactly one
// renderer: OpenGL (live and offscreen), a recorder (tests) or nothing at all.
#pragma once
#include "drawstate.h"
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A decoded RGBA picture, 8 bits per channel, rows from the top.
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// A coverage map, one byte per texel, rows from the top: the font's glyphs.
struct Coverage {
    int width = 0, height = 0;
    std::vector<uint8_t> alpha;
};

using TextureId = unsigned int; // 0 = none

struct TImageData {
    std::string path;
    int width = 0, height = 0;
    float handleX = 0.0f, handleY = 0.0f;
    int flags = 0;
    TextureId texture = 0;
    unsigned long rendererSerial = 0; // the renderer that made the texture
    ~TImageData();
};

struct Glyph {
    float advance = 0;         // at the font's own size, in pixels
    int left = 0, top = 0;     // bitmap offset from the pen position (top below the line top)
    int width = 0, height = 0; // bitmap size
    float u0 = 0, v0 = 0, u1 = 0, v1 = 0; // place in the font's atlas texture
};

struct TFontData {
    std::string path;
    int size = 0;
    int height = 0; // TextHeight
    int ascent = 0;
    Glyph glyphs[256]; // indexed by byte value
    TextureId atlas = 0;
    int atlasWidth = 0, atlasHeight = 0;
    unsigned long rendererSerial = 0; // the renderer that made the atlas
    ~TFontData();
};

// One logged primitive (recording renderer).
struct DrawCall {
    enum Kind { Image, Rect, Line, Text, Clear } kind = Image;
    std::string what;                 // image path or the text
    float x = 0, y = 0, w = 0, h = 0; // position; rect size or line end
    DrawState state;
};

// The next serial of a renderer: one more than the last ever given.
unsigned long NextRendererSerial();

class Renderer {
  public:
    virtual ~Renderer() = default;
    // Unique per renderer ever made. Textures belong to the renderer that made them: an image
    // kept from a closed surface must not free a texture of the next one with the same id.
    const unsigned long serial = NextRendererSerial();
    // Surface size in game pixels.
    virtual void resize(int width, int height) = 0;
    virtual TextureId createTexture(const Pixels& pixels, int flags) = 0;
    // A texture white everywhere with the coverage as its alpha, so the drawing colour tints
    // it. This one builds the RGBA picture for createTexture; OpenGL keeps the alpha alone.
    virtual TextureId createCoverageTexture(const Coverage& coverage, int flags);
    virtual void destroyTexture(TextureId texture) = 0;
    virtual void clear() = 0;
    virtual void drawImage(const TImageData& image, float x, float y, const DrawState& state) = 0;
    virtual void drawRect(float x, float y, float w, float h, const DrawState& state) = 0;
    virtual void drawLine(float x1, float y1, float x2, float y2, bool drawLast,
                          const DrawState& state) = 0;
    virtual void drawText(const TFontData& font, std::string_view text, float x, float y,
                          const DrawState& state) = 0;
    // Sends everything drawn since the last call to the back buffer (before a read or a swap).
    virtual void flush() = 0;
    // The back buffer as RGBA rows from the top; false when there is none.
    virtual bool readPixels(Pixels& out) = 0;
    // The whole window as it is shown: the scaled game picture with its bars, in the window's
    // real pixels. Renderers without a window give the game picture.
    virtual bool readWindow(Pixels& out) { return readPixels(out); }
    // The window's drawable changed size (renderers without a window ignore it).
    virtual void setDrawableSize(int, int) {}
    // After the frame was shown: a renderer that runs ahead of its rasteriser waits here.
    virtual void endFrame() {}
    // Frames sent that may not be finished yet.
    virtual int framesInFlight() { return 0; }
};

class RecordingRenderer : public Renderer {
  public:
    std::vector<DrawCall> calls;
    int width = 0, height = 0;
    void resize(int w, int h) override { width = w, height = h; }
    TextureId createTexture(const Pixels&, int) override { return ++lastTexture; }
    void destroyTexture(TextureId) override {}
    void clear() override;
    void drawImage(const TImageData& image, float x, float y, const DrawState& state) override;
    void drawRect(float x, float y, float w, float h, const DrawState& state) override;
    void drawLine(float x1, float y1, float x2, float y2, bool drawLast,
                  const DrawState& state) override;
    void drawText(const TFontData& font, std::string_view text, float x, float y,
                  const DrawState& state) override;
    void flush() override {}
    bool readPixels(Pixels&) override { return false; }

  private:
    TextureId lastTexture = 0;
};

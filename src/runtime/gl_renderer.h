// The OpenGL renderer, for OpenGL 2.1 and OpenGL ES 2 / WebGL 1 alike: every primitive becomes
// a textured quad from quad.h, collected in a vertex buffer and drawn as two triangles a quad,
// in one glDrawElements per run of quads that share a texture and a blend mode, through one
// shader (gl_program.h). Mipmapped pictures are level atlases (levels.h). Rectangles and lines
// use a 1x1 white texture, so everything goes through the same path; their runs are drawn
// untextured, and unblended when fully opaque, which gives the same pixels and lets Mesa's
// software rasteriser go faster. Texture ids are GL
// texture names. Needs a current GL context for its whole life; the textures, buffers and
// program go with the context.
#pragma once
#include "runtime/coverage.h"
#include "runtime/gl.h"
#include "runtime/gl_frames.h"
#include "runtime/gl_program.h"
#include "runtime/letterbox.h"
#include "runtime/levels.h"
#include "runtime/renderer.h"
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class GlRenderer : public Renderer {
  public:
    // The window's drawable size in real pixels.
    GlRenderer(int drawableWidth, int drawableHeight);
    GlRenderer(const GlRenderer&) = delete;
    GlRenderer& operator=(const GlRenderer&) = delete;

    void resize(int width, int height) override;
    // The window changed size: the game surface is letterboxed anew.
    void setDrawableSize(int width, int height) override;
    TextureId createTexture(const Pixels& pixels, int flags) override;
    TextureId createCoverageTexture(const Coverage& coverage, int flags) override;
    void destroyTexture(TextureId texture) override;
    void clear() override;
    void drawImage(const TImageData& image, float x, float y, const DrawState& state) override;
    void drawRect(float x, float y, float w, float h, const DrawState& state) override;
    void drawLine(float x1, float y1, float x2, float y2, bool drawLast,
                  const DrawState& state) override;
    void drawText(const TFontData& font, std::string_view text, float x, float y,
                  const DrawState& state) override;
    void flush() override;
    bool readPixels(Pixels& out) override;
    bool readWindow(Pixels& out) override;
    // After the swap: waits until no more than FrameFences::maxInFlight frames are unfinished.
    void endFrame() override { frames_.endFrame(); }
    // Frames sent that the rasteriser has not been seen to finish.
    int framesInFlight() override { return frames_.inFlight(); }

  private:
    // (u, v, mix) is the place in the nearer level and the farther level's weight; (u2, v2)
    // the place in the farther one. Only level atlases use the last three.
    struct Vertex {
        float x, y, u, v, mix, u2, v2;
        uint8_t rgba[4];
    };

    // A texture of width x height texels, `channels` bytes each in the given GL format.
    TextureId upload(const std::vector<uint8_t>& texels, int width, int height, int channels,
                     GLenum format, int flags);
    // Starts a new run when the texture or the blend mode changes.
    void use(TextureId texture, int blend);
    // Cut to the game area first; see ClipQuad.
    void addQuad(struct Quad quad, float u0, float v0, float u1, float v1, const DrawState& state);
    // Draws a big picture in strips when that gives the same pixels; false when it does not.
    bool drawInStrips(const TImageData& image, const Quad& quad, const DrawState& state);
    void applyBlend(int blend);
    // Puts the variant of the program in use, built the first time (see gl_program.h).
    void useProgram(int kind);
    void setupView();

    int gameWidth_ = 0, gameHeight_ = 0;
    int drawableWidth_ = 0, drawableHeight_ = 0;
    Viewport viewport_;
    TextureId white_ = 0;
    // Where the big pictures show anything; see coverage.h.
    std::unordered_map<TextureId, CoverageBands> bigPictures_;
    // The layout of each level atlas (without its texels) and whether it is alpha only.
    struct Levels {
        LevelAtlas layout;
        bool alphaOnly = false;
    };
    std::unordered_map<TextureId, Levels> levelAtlases_;
    const Levels* runLevels_ = nullptr; // the run's texture is a level atlas
    std::unordered_set<TextureId> alphaTextures_;
    GlProgram programs_[PROGRAM_KINDS];
    bool tried_[PROGRAM_KINDS] = {};
    int appliedKind_ = -1;
    unsigned viewSerial_ = 1; // counts the views the game area had
    float view_[4] = {0, 0, 0, 0};
    GLuint vertexBuffer_ = 0, indexBuffer_ = 0;
    std::vector<Vertex> vertices_;
    TextureId runTexture_ = 0;
    int runBlend_ = 0;
    bool runOpaque_ = true; // every vertex of the run has alpha 255
    int appliedBlend_ = 0;  // blend state GL is in, 0 unknown
    FrameFences frames_;
};

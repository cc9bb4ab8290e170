// Batched OpenGL drawing of the game's quads; see gl_renderer.h.
#define GL_GLEXT_PROTOTYPES
#include "runtime/gl_renderer.h"
#include "runtime/graphics.h"
#include "runtime/quad.h"
#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// Pictures of at least this many texels are drawn in strips around what they show.
constexpr int bigpicture = 256 * 256;
constexpr int bandrows = 16;
// Texels a sample may reach from where it is taken: one for linear filtering, up to five on
// the half-size level of a mipmap whose sizes are not powers of two.
constexpr int samplereach = 8;
// A draw takes at most this many quads: their corners are numbered by 16-bit indices.
constexpr size_t quadsperdraw = 16384;

// Pixels are read from the picture being drawn (OpenGL ES reads nothing else).
void ReadBackBuffer() {
#ifndef __EMSCRIPTEN__
    glReadBuffer(GL_BACK);
#endif
}

uint8_t Channel(int value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

} // namespace

GlRenderer::GlRenderer(int drawableWidth, int drawableHeight)
    : drawableWidth_(drawableWidth), drawableHeight_(drawableHeight) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glClearColor(0, 0, 0, 1);
    // Two triangles a quad, numbered the same in every draw.
    std::vector<GLushort> corners;
    corners.reserve(quadsperdraw * 6);
    for (size_t quad = 0; quad < quadsperdraw; ++quad) {
        const auto first = static_cast<GLushort>(quad * 4);
        for (int corner : {0, 1, 2, 0, 2, 3}) corners.push_back(GLushort(first + corner));
    }
    glGenBuffers(1, &indexBuffer_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(corners.size() * sizeof(GLushort)),
                 corners.data(), GL_STATIC_DRAW);
    glGenBuffers(1, &vertexBuffer_);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    const auto at = [](size_t offset) { return reinterpret_cast<const void*>(offset); };
    glVertexAttribPointer(ATTRIB_PLACE, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          at(offsetof(Vertex, x)));
    glVertexAttribPointer(ATTRIB_TEXEL, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          at(offsetof(Vertex, u)));
    glVertexAttribPointer(ATTRIB_FAR, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          at(offsetof(Vertex, u2)));
    glVertexAttribPointer(ATTRIB_COLOUR, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                          at(offsetof(Vertex, rgba)));
    for (GLuint attribute : {ATTRIB_PLACE, ATTRIB_TEXEL, ATTRIB_FAR, ATTRIB_COLOUR})
        glEnableVertexAttribArray(attribute);
    Pixels white;
    white.width = white.height = 1;
    white.rgba = {255, 255, 255, 255};
    white_ = createTexture(white, 0);
    vertices_.reserve(4096);
}

void GlRenderer::resize(int width, int height) {
    flush();
    gameWidth_ = width;
    gameHeight_ = height;
    setupView();
}

void GlRenderer::setDrawableSize(int width, int height) {
    flush();
    drawableWidth_ = width;
    drawableHeight_ = height;
    setupView();
}

// Projection in game pixels, y downward, into the letterboxed part of the window.
void GlRenderer::setupView() {
    viewport_ = Letterbox(drawableWidth_, drawableHeight_, gameWidth_, gameHeight_);
    glViewport(viewport_.x, viewport_.y, viewport_.width, viewport_.height);
    const float width = float(std::max(1, gameWidth_)), height = float(std::max(1, gameHeight_));
    view_[0] = 2.0f / width, view_[1] = -2.0f / height, view_[2] = -1.0f, view_[3] = 1.0f;
    ++viewSerial_;
}

TextureId GlRenderer::createTexture(const Pixels& pixels, int flags) {
    const TextureId texture = upload(pixels.rgba, pixels.width, pixels.height, 4, GL_RGBA, flags);
    // Strips only pay off for big pictures.
    if (texture != 0 && pixels.width * pixels.height >= bigpicture)
        bigPictures_[texture] = FindCoverage(pixels, bandrows, samplereach);
    return texture;
}

// An alpha texture is drawn as white with its alpha: the same pixels as a white RGBA one at a
// quarter of the memory, which matters for the big font atlas.
TextureId GlRenderer::createCoverageTexture(const Coverage& coverage, int flags) {
    const TextureId texture =
        upload(coverage.alpha, coverage.width, coverage.height, 1, GL_ALPHA, flags);
    if (texture != 0) alphaTextures_.insert(texture);
    return texture;
}

TextureId GlRenderer::upload(const std::vector<uint8_t>& texels, int width, int height,
                             int channels, GLenum format, int flags) {
    if (width <= 0 || height <= 0) return 0;
    flush();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const bool filtered = flags & IMAGE_FILTERED, mipmapped = flags & IMAGE_MIPMAPPED;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filtered ? GL_LINEAR : GL_NEAREST);
    // A level atlas is sampled linearly within each level; see levels.h.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    filtered || mipmapped ? GL_LINEAR : GL_NEAREST);
    const auto internal = GLint(format); // OpenGL ES takes no other
    if (!mipmapped) {
        glTexImage2D(GL_TEXTURE_2D, 0, internal, width, height, 0, format, GL_UNSIGNED_BYTE,
                     texels.data());
        return name;
    }
    Levels& levels = levelAtlases_[name];
    levels.layout = BuildLevelAtlas(texels, width, height, channels);
    levels.alphaOnly = format == GL_ALPHA;
    glTexImage2D(GL_TEXTURE_2D, 0, internal, levels.layout.width, levels.layout.height, 0, format,
                 GL_UNSIGNED_BYTE, levels.layout.texels.data());
    levels.layout.texels = {};
    return name;
}

void GlRenderer::destroyTexture(TextureId texture) {
    if (texture == 0 || texture == white_) return;
    flush();
    bigPictures_.erase(texture);
    levelAtlases_.erase(texture);
    alphaTextures_.erase(texture);
    // Its name may come back for a new texture, which must not pass for the old one.
    if (texture == runTexture_) runTexture_ = 0, runLevels_ = nullptr;
    GLuint name = texture;
    glDeleteTextures(1, &name);
}

void GlRenderer::clear() {
    flush();
    glClear(GL_COLOR_BUFFER_BIT);
}

void GlRenderer::drawImage(const TImageData& image, float x, float y, const DrawState& state) {
    // A picture kept from an earlier surface has no texture here.
    if (image.texture == 0 || image.rendererSerial != serial) return;
    use(image.texture, state.blend);
    const Quad quad = ImageQuad(image, x, y, state);
    if (!drawInStrips(image, quad, state)) addQuad(quad, 0, 0, 1, 1, state);
}

bool GlRenderer::drawInStrips(const TImageData& image, const Quad& quad, const DrawState& state) {
    // Transparent texels change nothing in the mask, alpha and light modes.
    const bool clearIsNothing =
        state.blend == BLEND_MASK || state.blend == BLEND_ALPHA || state.blend == BLEND_LIGHT;
    const auto big = bigPictures_.find(image.texture);
    if (big == bigPictures_.end() || !clearIsNothing || !Unturned(quad)) return false;
    const CoverageBands& bands = big->second;
    if (levelAtlases_.count(image.texture)) {
        // Shrunk below half size, trilinear filtering reaches past the margin.
        const float toPixels = float(viewport_.width) / float(std::max(1, gameWidth_));
        const float wide = std::fabs(quad.corner[1].x - quad.corner[0].x) * toPixels;
        const float high = std::fabs(quad.corner[3].y - quad.corner[0].y) * toPixels;
        if (wide * 2 < float(bands.width) || high * 2 < float(bands.height)) return false;
    }
    thread_local std::vector<TexturedQuad> textured;
    thread_local std::vector<Quad> plain;
    textured.clear(), plain.clear();
    CoveredStrips(quad, bands, textured, plain);
    // The strips do not overlap, so their order among themselves does not matter.
    for (const TexturedQuad& s : textured) addQuad(s.quad, s.u0, s.v0, s.u1, s.v1, state);
    use(white_, state.blend);
    for (const Quad& q : plain) addQuad(q, 0, 0, 1, 1, state);
    return true;
}

void GlRenderer::drawRect(float x, float y, float w, float h, const DrawState& state) {
    use(white_, state.blend);
    addQuad(RectQuad(x, y, w, h, state), 0, 0, 1, 1, state);
}

void GlRenderer::drawLine(float x1, float y1, float x2, float y2, bool drawLast,
                          const DrawState& state) {
    use(white_, state.blend);
    addQuad(LineQuad(x1, y1, x2, y2, drawLast, state), 0, 0, 1, 1, state);
}

void GlRenderer::drawText(const TFontData& font, std::string_view text, float x, float y,
                          const DrawState& state) {
    if (font.atlas == 0 || font.rendererSerial != serial) return;
    thread_local std::vector<TexturedQuad> glyphs;
    glyphs.clear();
    TextQuads(font, text, x, y, state, glyphs);
    use(font.atlas, state.blend);
    for (const TexturedQuad& g : glyphs) addQuad(g.quad, g.u0, g.v0, g.u1, g.v1, state);
}

void GlRenderer::use(TextureId texture, int blend) {
    if (texture == runTexture_ && blend == runBlend_) return;
    flush();
    runTexture_ = texture;
    runBlend_ = blend;
    runOpaque_ = true;
    const auto levels = levelAtlases_.find(texture);
    runLevels_ = levels == levelAtlases_.end() ? nullptr : &levels->second;
}

void GlRenderer::addQuad(Quad quad, float u0, float v0, float u1, float v1,
                         const DrawState& state) {
    if (!ClipQuad(quad, u0, v0, u1, v1, static_cast<float>(gameWidth_),
                  static_cast<float>(gameHeight_)))
        return;
    // The drawing alpha only counts in the alpha and light modes; mask tests the texel alone.
    const bool blended = state.blend == BLEND_ALPHA || state.blend == BLEND_LIGHT;
    const uint8_t alpha =
        blended ? Channel(static_cast<int>(std::lround(state.alpha * 255.0f))) : 255;
    const uint8_t rgba[4] = {Channel(state.r), Channel(state.g), Channel(state.b), alpha};
    runOpaque_ = runOpaque_ && alpha == 255;
    const float u[4] = {u0, u1, u1, u0}, v[4] = {v0, v0, v1, v1};
    LevelMix mix;
    int farther = 0;
    if (runLevels_) {
        const LevelAtlas& layout = runLevels_->layout;
        // Texels per pixel of the window, which may be larger than the game: the spans are
        // scaled by game pixels per window pixel.
        const float perWindowPixel =
            float(std::max(1, gameWidth_)) / float(std::max(1, viewport_.width));
        mix = PickLevels(quad, (u1 - u0) * float(layout.levels[0].width) * perWindowPixel,
                         (v1 - v0) * float(layout.levels[0].height) * perWindowPixel,
                         int(layout.levels.size()));
        farther = std::min(mix.level + 1, int(layout.levels.size()) - 1);
    }
    for (int i = 0; i < 4; ++i) {
        Vertex vertex{quad.corner[i].x, quad.corner[i].y, u[i], v[i], mix.weight, 0, 0, {}};
        if (runLevels_) {
            const Vec2 nearPlace = AtlasPlace(runLevels_->layout, mix.level, u[i], v[i]);
            const Vec2 farPlace = AtlasPlace(runLevels_->layout, farther, u[i], v[i]);
            vertex.u = nearPlace.x, vertex.v = nearPlace.y;
            vertex.u2 = farPlace.x, vertex.v2 = farPlace.y;
        }
        std::copy(rgba, rgba + 4, vertex.rgba);
        vertices_.push_back(vertex);
    }
}

// Mask: alpha test, no blending. Solid: neither. Alpha: src*a + dst*(1-a). Light: dst + src*a.
// Shade: dst*src. The source alpha is the texel's alpha times the drawing alpha.
void GlRenderer::applyBlend(int blend) {
    if (blend == appliedBlend_) return;
    appliedBlend_ = blend;
    if (blend == BLEND_ALPHA || blend == BLEND_LIGHT || blend == BLEND_SHADE)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
    if (blend == BLEND_ALPHA) glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (blend == BLEND_LIGHT) glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    if (blend == BLEND_SHADE) glBlendFunc(GL_DST_COLOR, GL_ZERO);
}

void GlRenderer::useProgram(int kind) {
    GlProgram& program = programs_[kind];
    if (!tried_[kind]) {
        tried_[kind] = true;
        program = BuildGlProgram(kind);
    }
    if (kind != appliedKind_) glUseProgram(program.program);
    appliedKind_ = kind;
    if (program.viewSerial != viewSerial_) {
        glUniform4f(program.view, view_[0], view_[1], view_[2], view_[3]);
        program.viewSerial = viewSerial_;
    }
}

void GlRenderer::flush() {
    if (vertices_.empty()) return;
    // White texels change nothing, and an opaque colour over anything, or a mask test on
    // alpha 255, is a plain write.
    const bool plain = runTexture_ == white_;
    const bool solid = plain && (runBlend_ == 1 || (runBlend_ == 3 && runOpaque_));
    applyBlend(solid ? 2 : runBlend_);
    int kind = appliedBlend_ == BLEND_MASK ? PROGRAM_MASK : 0;
    if (!plain) {
        kind |= PROGRAM_TEXTURED;
        if (runLevels_) kind |= PROGRAM_LEVELS;
        if (alphaTextures_.count(runTexture_)) kind |= PROGRAM_ALPHA_ONLY;
        glBindTexture(GL_TEXTURE_2D, runTexture_);
    }
    useProgram(kind);
    // A draw's corners are numbered from 0: a longer run goes in several.
    for (size_t first = 0; first < vertices_.size(); first += quadsperdraw * 4) {
        const size_t count = std::min(vertices_.size() - first, quadsperdraw * 4);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(count * sizeof(Vertex)), &vertices_[first],
                     GL_STREAM_DRAW);
        glDrawElements(GL_TRIANGLES, GLsizei(count / 4 * 6), GL_UNSIGNED_SHORT, nullptr);
    }
    vertices_.clear();
}

// Reads the whole drawable, bars and all, as rows from the top with opaque alpha.
bool GlRenderer::readWindow(Pixels& out) {
    flush();
    if (drawableWidth_ <= 0 || drawableHeight_ <= 0) return false;
    const size_t row = static_cast<size_t>(drawableWidth_) * 4;
    std::vector<uint8_t> area(row * drawableHeight_);
    ReadBackBuffer();
    glReadPixels(0, 0, drawableWidth_, drawableHeight_, GL_RGBA, GL_UNSIGNED_BYTE, area.data());
    out.width = drawableWidth_;
    out.height = drawableHeight_;
    out.rgba.resize(area.size());
    for (int y = 0; y < drawableHeight_; ++y) {
        std::copy_n(&area[(drawableHeight_ - 1 - y) * row], row, &out.rgba[y * row]);
        for (size_t x = 3; x < row; x += 4) out.rgba[y * row + x] = 255;
    }
    return true;
}

// Reads the letterboxed game area, scaled back to the game's size when the window is larger
// (nearest pixel), as rows from the top with opaque alpha.
bool GlRenderer::readPixels(Pixels& out) {
    flush();
    const Viewport v = viewport_;
    if (v.width <= 0 || v.height <= 0 || gameWidth_ <= 0 || gameHeight_ <= 0) return false;
    std::vector<uint8_t> area(static_cast<size_t>(v.width) * v.height * 4);
    ReadBackBuffer();
    glReadPixels(v.x, v.y, v.width, v.height, GL_RGBA, GL_UNSIGNED_BYTE, area.data());
    out.width = gameWidth_;
    out.height = gameHeight_;
    out.rgba.resize(static_cast<size_t>(gameWidth_) * gameHeight_ * 4);
    for (int y = 0; y < gameHeight_; ++y) {
        const int sy =
            v.height - 1 - static_cast<int>(static_cast<long long>(y) * v.height / gameHeight_);
        for (int x = 0; x < gameWidth_; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x) * v.width / gameWidth_);
            const uint8_t* from = &area[(static_cast<size_t>(sy) * v.width + sx) * 4];
            uint8_t* to = &out.rgba[(static_cast<size_t>(y) * gameWidth_ + x) * 4];
            to[0] = from[0], to[1] = from[1], to[2] = from[2], to[3] = 255;
        }
    }
    return true;
}

#include "runtime/coverage.h"
#include "runtime/pngio.h"
#include "runtime/quad.h"
#include "runtime/testing.h"
#include "tempfixture.h"
#include <algorithm>
#include <cmath>

namespace {

// A drawing log that also keeps the texture traffic.
class TextureLog : public RecordingRenderer {
  public:
    Pixels lastPixels;
    int lastFlags = -1;
    std::vector<TextureId> destroyed;
    TextureId createTexture(const Pixels& pixels, int flags) override {
        lastPixels = pixels;
        lastFlags = flags;
        return RecordingRenderer::createTexture(pixels, flags);
    }
    void destroyTexture(TextureId texture) override { destroyed.push_back(texture); }
};

class DrawingTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        TestResetDrawing();
        TestUseRenderer(std::make_unique<TextureLog>());
    }
    void TearDown() override {
        TestResetDrawing();
        TestUseRenderer(nullptr);
        TempFolderTest::TearDown();
    }
    TextureLog& log() { return static_cast<TextureLog&>(*TestRenderer()); }
};

void expectCorner(const Vec2& corner, float x, float y) {
    EXPECT_NEAR(corner.x, x, 1e-3f);
    EXPECT_NEAR(corner.y, y, 1e-3f);
}

Pixels picture(int w, int h, std::vector<uint8_t> rgba) {
    return Pixels{w, h, std::move(rgba)};
}

} // namespace

TEST_F(DrawingTest, StateIsClampedAndReachesTheRenderer) {
    SetDrawColor(300, -5, 0);
    SetDrawAlpha(1.5f);
    SetBlendMode(9); // unknown: ignored
    DrawRect(1, 2, 3, 4);
    SetDrawAlpha(-1.0f);
    SetBlendMode(BLEND_LIGHT);
    DrawLine(0, 0, 5, 5);
    DrawImage(nullptr, 0, 0); // nothing to draw
    ASSERT_EQ(log().calls.size(), 2u);
    const DrawState& first = log().calls[0].state;
    EXPECT_EQ(first.r, 255);
    EXPECT_EQ(first.g, 0);
    EXPECT_EQ(first.b, 0);
    EXPECT_EQ(first.alpha, 1.0f);
    EXPECT_EQ(first.blend, 1);
    EXPECT_EQ(log().calls[1].state.alpha, 0.0f);
    EXPECT_EQ(log().calls[1].state.blend, BLEND_LIGHT);
}

// A 100 x 50 image, mid-handled, scaled by 2 and turned 90 degrees clockwise at (300, 200):
// its top edge becomes the right edge of a 100 x 200 box centred on the drawing position.
TEST_F(DrawingTest, ImageQuadTurnsAroundTheHandle) {
    TImageData image;
    image.width = 100, image.height = 50;
    image.handleX = 50, image.handleY = 25;
    SetDrawScale(2, 2);
    SetDrawRotation(90);
    Quad q = ImageQuad(image, 300, 200, TestDrawState());
    expectCorner(q.corner[0], 350, 100);
    expectCorner(q.corner[1], 350, 300);
    expectCorner(q.corner[2], 250, 300);
    expectCorner(q.corner[3], 250, 100);

    SetDrawRotation(0);
    SetDrawScale(0.5f, 0.5f);
    q = RectQuad(10, 20, 30, 40, TestDrawState());
    expectCorner(q.corner[0], 10, 20);
    expectCorner(q.corner[2], 25, 40);
}

TEST_F(DrawingTest, LineQuadCoversWholePixels) {
    Quad q = LineQuad(10, 10, 20, 10, false, TestDrawState());
    expectCorner(q.corner[0], 10, 10);
    expectCorner(q.corner[2], 20, 11);
    q = LineQuad(10, 10, 20, 10, true, TestDrawState());
    expectCorner(q.corner[2], 21, 11);
    SetLineWidth(3);
    q = LineQuad(5, 5, 5, 5, true, TestDrawState()); // a dot of the line width
    float xs[4], ys[4];
    for (int i = 0; i < 4; ++i) xs[i] = q.corner[i].x, ys[i] = q.corner[i].y;
    EXPECT_NEAR(*std::max_element(xs, xs + 4) - *std::min_element(xs, xs + 4), 1, 1e-4f);
    EXPECT_NEAR(*std::max_element(ys, ys + 4) - *std::min_element(ys, ys + 4), 3, 1e-4f);
    for (float v : xs) EXPECT_FALSE(std::isnan(v));
}

// Quads are cut to the drawing area before the rasteriser sees them; texture coordinates must
// follow the cut edges, whichever way the quad runs, and quads wholly outside are dropped.
TEST_F(DrawingTest, QuadsAreCutToTheAreaWithTheirTextureCoordinates) {
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
    Quad q = RectQuad(-10, 30, 40, 20, TestDrawState()); // 10 of 40 left of the area, 5 of 20 below
    ASSERT_TRUE(ClipQuad(q, u0, v0, u1, v1, 100, 45));
    expectCorner(q.corner[0], 0, 30);
    expectCorner(q.corner[2], 30, 45);
    EXPECT_FLOAT_EQ(u0, 0.25f);
    EXPECT_FLOAT_EQ(v1, 0.75f);

    u0 = 0, v0 = 0, u1 = 1, v1 = 1; // mirrored: u runs right to left
    q = {{{120, 0}, {80, 0}, {80, 10}, {120, 10}}};
    ASSERT_TRUE(ClipQuad(q, u0, v0, u1, v1, 100, 45));
    expectCorner(q.corner[0], 100, 0);
    EXPECT_FLOAT_EQ(u0, 0.5f);
    EXPECT_FLOAT_EQ(u1, 1.0f);

    u0 = 0, v0 = 0, u1 = 1, v1 = 1; // a quarter turn: u runs down, v runs left
    q = {{{11, 40}, {11, 60}, {10, 60}, {10, 40}}};
    ASSERT_TRUE(ClipQuad(q, u0, v0, u1, v1, 100, 45));
    expectCorner(q.corner[1], 11, 45);
    expectCorner(q.corner[3], 10, 40);
    EXPECT_FLOAT_EQ(u1, 0.25f);
    EXPECT_FLOAT_EQ(v1, 1.0f);

    Quad outside = RectQuad(100, 0, 5, 5, TestDrawState()); // touching the right edge only
    EXPECT_FALSE(ClipQuad(outside, u0, v0, u1, v1, 100, 45));
    SetDrawRotation(45);
    Quad turned = RectQuad(-3, 20, 10, 10, TestDrawState()); // partly in: left whole
    const Quad before = turned;
    ASSERT_TRUE(ClipQuad(turned, u0, v0, u1, v1, 100, 45));
    for (int i = 0; i < 4; ++i)
        expectCorner(turned.corner[i], before.corner[i].x, before.corner[i].y);
    turned = RectQuad(-30, 20, 10, 10, TestDrawState());
    EXPECT_FALSE(ClipQuad(turned, u0, v0, u1, v1, 100, 45));
}

// A 12 x 6 picture in bands of two rows with a margin of one: clear but for texel (3, 0) and
// a white block in columns 6..11 of rows 3..5 with one grey texel at (6, 3). A band's columns
// take in the rows and columns within the margin; its white body keeps the margin from
// anything else but not from the picture's edge; equal bands make one strip, and a band with
// nothing near it is left out.
TEST(Coverage, StripsHoldEveryTexelFilteringCanReach) {
    Pixels pixels{12, 6, std::vector<uint8_t>(12 * 6 * 4, 0)};
    auto texel = [&](int x, int y) { return &pixels.rgba[(y * 12 + x) * 4]; };
    texel(3, 0)[3] = 1;
    for (int y = 3; y < 6; ++y)
        for (int x = 6; x < 12; ++x) std::fill_n(texel(x, y), 4, 255);
    texel(6, 3)[0] = 128;
    const CoverageBands bands = FindCoverage(pixels, 2, 1);
    ASSERT_EQ(bands.spans.size(), 3u);
    EXPECT_EQ(bands.spans[0], (CoverageBands::Span{2, 5, 0, 0}));
    EXPECT_EQ(bands.spans[1], (CoverageBands::Span{5, 12, 0, 0}));  // row 1 is not white
    EXPECT_EQ(bands.spans[2], (CoverageBands::Span{5, 12, 8, 12})); // (6, 3) and its margin

    std::vector<TexturedQuad> textured;
    std::vector<Quad> plain;
    const Quad quad{{{10, 20}, {34, 20}, {34, 32}, {10, 32}}}; // drawn at scale 2
    CoveredStrips(quad, bands, textured, plain);
    ASSERT_EQ(textured.size(), 3u);
    expectCorner(textured[0].quad.corner[0], 14, 20);
    expectCorner(textured[0].quad.corner[2], 20, 24);
    EXPECT_FLOAT_EQ(textured[0].u0, 2 / 12.0f);
    EXPECT_FLOAT_EQ(textured[0].v1, 2 / 6.0f);
    expectCorner(textured[1].quad.corner[2], 34, 28); // the second band alone
    expectCorner(textured[2].quad.corner[0], 20, 28); // the third band's rim
    expectCorner(textured[2].quad.corner[2], 26, 32);
    ASSERT_EQ(plain.size(), 1u);
    expectCorner(plain[0].corner[0], 26, 28);
    expectCorner(plain[0].corner[2], 34, 32);

    pixels.rgba.assign(pixels.rgba.size(), 0);
    texel(1, 0)[3] = 9; // the top row only: out of the second band's reach
    textured.clear(), plain.clear();
    CoveredStrips(quad, FindCoverage(pixels, 2, 1), textured, plain);
    ASSERT_EQ(textured.size(), 1u);
    EXPECT_FLOAT_EQ(textured[0].v1, 2 / 6.0f);
    EXPECT_TRUE(plain.empty());
}

TEST_F(DrawingTest, FontMeasuresTruncatedAdvances) {
    EXPECT_EQ(TextWidth("ABC"), 0); // the built-in font has no glyphs
    TFont font = LoadFont(VANTORIX_TEST_FONT, 128, 4);
    ASSERT_TRUE(font);
    EXPECT_EQ(log().lastFlags, IMAGE_FILTERED | IMAGE_MIPMAPPED);
    SetFont(font);
    EXPECT_EQ(TextHeight(), 128);
    std::string printable;
    int sum = 0;
    for (int c = 32; c < 127; ++c) {
        printable += static_cast<char>(c);
        sum = static_cast<int>(sum + font->glyphs[c].advance);
    }
    EXPECT_EQ(TextWidth(printable), sum);
    EXPECT_GT(TextWidth("W"), TextWidth("i"));
    EXPECT_GT(TextWidth(" "), 0);
    // Truncation after each glyph: n equal glyphs are exactly n times one.
    EXPECT_EQ(TextWidth("iiiiiii"), 7 * TextWidth("i"));

    // The glyph quads follow the same pen, and every glyph lies inside the atlas.
    std::vector<TexturedQuad> quads;
    TextQuads(*font, "Hi", 10, 20, TestDrawState(), quads);
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_NEAR(quads[1].quad.corner[0].x,
                10 + TextWidth("H") + font->glyphs[static_cast<unsigned char>('i')].left, 1e-3f);
    EXPECT_GE(quads[0].quad.corner[0].y, 20);
    EXPECT_LE(quads[0].quad.corner[2].y, 20 + 128);
    for (const TexturedQuad& g : quads)
        EXPECT_TRUE(g.u0 < g.u1 && g.v0 < g.v1 && g.u1 <= 1 && g.v1 <= 1);

    EXPECT_FALSE(LoadFont(path("missing.ttf"), 128, 4));
    DrawText("Hi", 1, 2);
    ASSERT_FALSE(log().calls.empty());
    EXPECT_EQ(log().calls.back().what, "Hi");
}

// Colour keying applies only to pictures without alpha: black turns transparent and takes
// the average of its non-black neighbours; everything else becomes opaque.
TEST_F(DrawingTest, MaskedFlagKeysOutBlack) {
    Pixels source = picture(3, 3, {100, 0,  0,  255, 0, 0, 0, 255, 0, 200, 0,  255, //
                                   0,   0,  0,  255, 0, 0, 0, 255, 0, 0,   30, 255, //
                                   10,  10, 10, 255, 0, 0, 0, 255, 0, 0,   0,  255});
    ASSERT_TRUE(WritePng(path("rgb.png"), source, false));
    SetAutoImageFlags(IMAGE_MASKED | IMAGE_FILTERED);
    TImage image = LoadImage(path("rgb.png"));
    ASSERT_TRUE(image);
    EXPECT_EQ(ImageWidth(image), 3);
    EXPECT_EQ(image->flags, IMAGE_MASKED | IMAGE_FILTERED);
    const std::vector<uint8_t>& out = log().lastPixels.rgba;
    ASSERT_EQ(out.size(), 36u);
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + 16, out.begin() + 20),
              (std::vector<uint8_t>{27, 52, 10, 0})); // centre: 110/4, 210/4, 40/4
    EXPECT_EQ(out[3], 255);
    EXPECT_EQ(out[35], 0);
    ASSERT_TRUE(WritePng(path("black.png"), picture(1, 1, {0, 0, 0, 255}), false));
    LoadImage(path("black.png"), IMAGE_MASKED);
    EXPECT_EQ(log().lastPixels.rgba, (std::vector<uint8_t>{0, 0, 0, 0}));

    // With an alpha channel, or without the flag, the picture is left as it is.
    Pixels translucent = picture(2, 1, {0, 0, 0, 128, 9, 9, 9, 7});
    ASSERT_TRUE(WritePng(path("alpha.png"), translucent));
    LoadImage(path("alpha.png"), IMAGE_MASKED);
    EXPECT_EQ(log().lastPixels.rgba, translucent.rgba);
    LoadImage(path("black.png"), 0);
    EXPECT_EQ(log().lastPixels.rgba, (std::vector<uint8_t>{0, 0, 0, 255}));
    EXPECT_FALSE(LoadImage(path("missing.png")));

    MidHandleImage(image);
    EXPECT_EQ(image->handleX, 1.5f);
}

// Textures belong to the renderer that made them: an image outliving its surface must not
// free a texture of the next surface that happens to have the same id.
TEST_F(DrawingTest, TexturesAreFreedOnlyByTheirRenderer) {
    ASSERT_TRUE(WritePng(path("p.png"), picture(1, 1, {1, 2, 3, 255})));
    TImage kept = LoadImage(path("p.png"), 0);
    TImage dropped = LoadImage(path("p.png"), 0);
    TextureId id = dropped->texture;
    dropped.reset();
    EXPECT_EQ(log().destroyed, std::vector<TextureId>{id});
    TestUseRenderer(std::make_unique<TextureLog>());
    kept.reset();
    EXPECT_TRUE(log().destroyed.empty());
}

// Real pixels: the OpenGL renderer drawing through SDL's offscreen driver (Mesa llvmpipe).
#include "platform_fixture.h"
#include "runtime/graphics.h"
#include "runtime/mipmap.h"
#include "runtime/pngio.h"
#include "runtime/quad.h"
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <cstdlib>

namespace {

struct Rgb {
    int r, g, b;
};

class Pixels64 : public RuntimeTest {
  protected:
    Pixels shot;

    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_TRUE(start(VideoMode::Offscreen));
        ASSERT_EQ(OpenGraphics(64, 48, 0, 60, 0), 1);
        ClearScreen();
    }
    void read() {
        ASSERT_TRUE(TestRenderer()->readPixels(shot));
        ASSERT_EQ(shot.width, 64);
        ASSERT_EQ(shot.height, 48);
    }
    Rgb at(int x, int y) const {
        const uint8_t* p = &shot.rgba[(static_cast<size_t>(y) * shot.width + x) * 4];
        return {p[0], p[1], p[2]};
    }
    void expectNear(int x, int y, Rgb want, int tolerance = 2) const {
        Rgb got = at(x, y);
        EXPECT_TRUE(std::abs(got.r - want.r) <= tolerance &&
                    std::abs(got.g - want.g) <= tolerance && std::abs(got.b - want.b) <= tolerance)
            << "pixel " << x << "," << y << " is " << got.r << "," << got.g << "," << got.b
            << " instead of " << want.r << "," << want.g << "," << want.b;
    }
    // An 8 x 4 picture, left half red and right half white, loaded unfiltered.
    TImage barPicture() {
        Pixels picture{8, 4, {}};
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 8; ++x) {
                const uint8_t gb = x < 4 ? 0 : 255;
                for (uint8_t channel : {uint8_t(255), gb, gb, uint8_t(255)})
                    picture.rgba.push_back(channel);
            }
        }
        if (!WritePng(path("bar.png"), picture)) return {};
        return LoadImage(path("bar.png"), 0);
    }
    void fill(int r, int g, int b) {
        SetBlendMode(BLEND_SOLID);
        SetDrawColor(r, g, b);
        DrawRect(0, 0, 64, 48);
    }
};

const Rgb black{0, 0, 0}, white{255, 255, 255}, red{255, 0, 0};

} // namespace

// An 8 x 4 picture, left half red and right half white, mid-handled, drawn at (20, 20) with
// scale 2 and rotation 90: it stands 8 wide and 16 tall around (20, 20), its left half on top
// because positive angles turn clockwise on screen.
TEST_F(Pixels64, ImageTurnsAndScalesAroundItsHandle) {
    TImage image = barPicture();
    ASSERT_TRUE(image);
    MidHandleImage(image);
    SetDrawScale(2, 2);
    SetDrawRotation(90);
    DrawImage(image, 20, 20);
    read();
    expectNear(17, 13, red);
    expectNear(22, 19, red);
    expectNear(17, 21, white);
    expectNear(22, 27, white);
    expectNear(15, 20, black); // left of the 8-pixel width
    expectNear(24, 20, black); // right of it
    expectNear(20, 11, black); // above the 16-pixel height
    expectNear(20, 28, black); // below it
}

TEST_F(Pixels64, AlphaAndLightBlending) {
    fill(0, 0, 255);
    SetBlendMode(BLEND_ALPHA);
    SetDrawAlpha(0.5f);
    SetDrawColor(255, 0, 0);
    DrawRect(0, 0, 32, 48);
    SetBlendMode(BLEND_LIGHT);
    SetDrawColor(200, 100, 0);
    DrawRect(32, 0, 32, 48);
    SetDrawAlpha(1.0f);
    DrawRect(32, 24, 32, 24); // a second, full light saturates
    read();
    expectNear(10, 10, {128, 0, 127});
    expectNear(40, 10, {100, 50, 255});
    expectNear(40, 40, {255, 150, 255});
}

TEST_F(Pixels64, RectangleColourAndLineEndPixel) {
    SetBlendMode(BLEND_SOLID);
    SetDrawColor(10, 200, 30);
    DrawRect(30, 30, 5, 4);
    SetDrawColor(255, 255, 255);
    DrawLine(5, 5, 10, 5, 1);
    DrawLine(5, 8, 10, 8, 0);
    read();
    expectNear(30, 30, {10, 200, 30});
    expectNear(34, 33, {10, 200, 30});
    expectNear(35, 31, black);
    expectNear(31, 34, black);
    expectNear(5, 5, white);
    expectNear(10, 5, white); // the end pixel
    expectNear(11, 5, black);
    expectNear(9, 8, white);
    expectNear(10, 8, black); // left out without drawLast
    expectNear(7, 6, black);  // one pixel wide
}

// Drawing past the edges is cut before it reaches GL; what stays on screen must show the same
// texels as before: an 8 x 4 picture, red left half and white right half, pushed half off the
// left edge, its mirror half off the right edge, the picture turned a quarter half off the
// bottom, and a vertical line running off the bottom.
TEST_F(Pixels64, DrawingsCutAtTheEdgesKeepTheirTexels) {
    TImage image = barPicture();
    ASSERT_TRUE(image);
    SetBlendMode(BLEND_SOLID);
    DrawImage(image, -4, 2); // only the white half shows
    SetDrawScale(-1, 1);
    DrawImage(image, 68, 2); // mirrored: the white half lands on screen, the red is off
    SetDrawScale(1, 1);
    SetDrawRotation(90);
    DrawImage(image, 30, 44); // the red half runs down 44..47, the white is below the area
    SetDrawRotation(0);
    DrawLine(50, 40, 50, 60, 1);
    read();
    expectNear(0, 2, white);
    expectNear(3, 5, white);
    expectNear(4, 3, black);
    expectNear(63, 2, white);
    expectNear(60, 5, white);
    expectNear(59, 3, black);
    expectNear(27, 44, red);
    expectNear(29, 47, red);
    expectNear(50, 40, white);
    expectNear(50, 47, white);
    expectNear(51, 44, black);
}

// A big, mostly clear picture is drawn in strips around what it shows, its white body as
// plain fill. An opaque block, white inside a coloured rim three texels wide, with its top and
// left edges on a band's edge, must come out with the same blurred edges as from one whole
// quad (which a picture turned by a thousandth of a degree still gets): filtered and magnified,
// mipmapped and magnified, and mipmapped at three quarters, where trilinear filtering mixes in
// the half-size level.
TEST_F(Pixels64, BigClearPictureLooksTheSameDrawnInStrips) {
    Pixels picture{256, 256, std::vector<uint8_t>(256 * 256 * 4, 0)};
    for (int y = 96; y < 200; ++y) {
        for (int x = 100; x < 200; ++x) {
            const bool rim = x < 103 || y < 99 || x >= 197 || y >= 197;
            uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * 256 + x) * 4];
            p[0] = 255, p[1] = rim ? 60 : 255, p[2] = rim ? 90 : 255, p[3] = 255;
        }
    }
    ASSERT_TRUE(WritePng(path("block.png"), picture));
    // A surface the whole picture fits on, so neither drawing is cut at the edges.
    ASSERT_EQ(OpenGraphics(400, 400, 0, 60, 0), 1);
    // Plain copies: clang 14 lambdas cannot capture structured bindings.
    for (auto [flagsof, scaleof] : {std::pair{2, 1.5f}, {6, 1.5f}, {6, 0.75f}}) {
        const int flags = flagsof;
        const float scale = scaleof;
        TImage image = LoadImage(path("block.png"), flags);
        ASSERT_TRUE(image);
        auto draw = [&](float rotation) {
            SetBlendMode(BLEND_SOLID);
            SetDrawColor(0, 0, 90);
            DrawRect(0, 0, 400, 400);
            SetBlendMode(BLEND_ALPHA);
            SetDrawColor(200, 255, 50);
            SetDrawScale(scale, scale);
            SetDrawRotation(rotation);
            DrawImage(image, 4, 4);
            Pixels result;
            EXPECT_TRUE(TestRenderer()->readPixels(result));
            return result;
        };
        const Pixels strips = draw(0), whole = draw(0.001f);
        ASSERT_EQ(strips.rgba.size(), whole.rgba.size());
        int block = 0, differing = 0;
        for (size_t i = 0; i < strips.rgba.size(); i += 4) {
            block += strips.rgba[i + 1] > 200;
            for (int c = 0; c < 3; ++c)
                differing += std::abs(strips.rgba[i + c] - whole.rgba[i + c]) > 3;
        }
        EXPECT_GT(block, 500) << "flags " << flags << ", scale " << scale; // the body shows
        EXPECT_EQ(differing, 0) << "flags " << flags << ", scale " << scale;
    }
}

TEST_F(Pixels64, BatchedDrawsKeepTheirOrderAcrossTexturesAndModes) {
    Pixels picture;
    picture.width = picture.height = 2;
    picture.rgba.assign(16, 255);
    ASSERT_TRUE(WritePng(path("white.png"), picture));
    TImage image = LoadImage(path("white.png"), 0);
    ASSERT_TRUE(image);
    SetBlendMode(BLEND_SOLID);
    SetDrawColor(0, 0, 255);
    DrawRect(0, 0, 10, 10);
    SetDrawColor(0, 255, 0);
    SetDrawScale(2.5f, 2.5f);
    DrawImage(image, 0, 0); // over the rectangle's top-left quarter
    SetDrawScale(1, 1);
    SetBlendMode(BLEND_ALPHA);
    SetDrawAlpha(0.5f);
    SetDrawColor(255, 0, 0);
    DrawRect(0, 0, 4, 4); // over both
    read();
    expectNear(2, 2, {128, 127, 0});
    expectNear(4, 4, {0, 255, 0});
    expectNear(7, 2, {0, 0, 255});
    expectNear(7, 7, {0, 0, 255});
}

// A mipmapped picture drawn at an eighth shows the average of the texels it covers: with one
// red column in four, a quarter red and three quarters blue. Sampling the full-size picture
// instead would give half and half, and an incomplete chain of levels no texture at all.
TEST_F(Pixels64, MipmappedPictureShrinksToItsAverage) {
    Pixels picture;
    picture.width = picture.height = 16;
    for (int i = 0; i < 16 * 16; ++i) {
        const bool red = i % 4 == 0;
        picture.rgba.insert(picture.rgba.end(),
                            {uint8_t(red ? 255 : 0), 0, uint8_t(red ? 0 : 255), 255});
    }
    ASSERT_TRUE(WritePng(path("stripes.png"), picture));
    TImage image = LoadImage(path("stripes.png"), IMAGE_FILTERED | IMAGE_MIPMAPPED);
    ASSERT_TRUE(image);
    SetBlendMode(BLEND_SOLID);
    SetDrawScale(0.125f, 0.125f);
    DrawImage(image, 8, 8);
    read();
    expectNear(8, 8, {64, 0, 191}, 4);
    expectNear(9, 9, {64, 0, 191}, 4);
}

// The driver's own trilinear filtering from a full mipmap chain, as the reference for the
// level atlas: the quad drawn straight through the fixed pipeline into a game of game x game
// pixels, every GL setting restored.
void DrawTrilinear(const std::vector<uint8_t>& texels, int width, int height, bool alphaOnly,
                   bool filtered, const Quad& quad, int blend, const uint8_t rgba[4], int game) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, game, game, 0, -1, 1);
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glUseProgram(0);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filtered ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    const GLenum format = alphaOnly ? GL_ALPHA : GL_RGBA;
    std::vector<uint8_t> level = texels;
    for (int index = 0;; ++index) {
        glTexImage2D(GL_TEXTURE_2D, index, format, width, height, 0, format, GL_UNSIGNED_BYTE,
                     level.data());
        if (width == 1 && height == 1) break;
        level = HalfSize(level, width, height, alphaOnly ? 1 : 4);
        width = std::max(1, width / 2), height = std::max(1, height / 2);
    }
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, blend == BLEND_LIGHT ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    glColor4ub(rgba[0], rgba[1], rgba[2], rgba[3]);
    const float u[4] = {0, 1, 1, 0}, v[4] = {0, 0, 1, 1};
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        glTexCoord2f(u[i], v[i]);
        glVertex2f(quad.corner[i].x, quad.corner[i].y);
    }
    glEnd();
    glDeleteTextures(1, &name);
    glUseProgram(GLuint(program));
    glPopMatrix();
    glPopAttrib();
}

// Mipmapped pictures are drawn from a level atlas through a shader and must come out as
// trilinear filtering draws them: a noisy picture, and the same noise as an alpha texture (the
// font's kind), shrunk between levels, turned, magnified and down to two pixels, in the alpha
// and light modes over a coloured ground; filtered, and unfiltered, where only magnifying
// takes the nearest texel; and in a window twice the size of the game. Rounding leaves a few
// steps of 255 between the two; a wrong level leaves tens.
TEST_F(Pixels64, LevelAtlasDrawsLikeTrilinearFiltering) {
    ASSERT_EQ(OpenGraphics(96, 96, 0, 60, 0), 1);
    const int side = 40;
    Pixels noise{side, side, {}};
    Coverage coverage{side, side, {}};
    srand(7);
    for (int i = 0; i < side * side * 4; ++i) noise.rgba.push_back(uint8_t(rand() % 256));
    for (int i = 0; i < side * side; ++i) coverage.alpha.push_back(uint8_t(rand() % 256));
    Renderer& renderer = *TestRenderer();
    // The game area fills the window, then takes half of it each way: the level depends on
    // the window's pixels.
    for (auto [gameof, alphaonlyof, flagsof] :
         {std::tuple{96, false, 6}, {96, true, 6}, {96, false, 4}, {96, true, 4}, {48, false, 6}}) {
        const int game = gameof, flags = flagsof;
        const bool alphaOnly = alphaonlyof;
        renderer.resize(game, game);
        const float middle = game / 2.0f;
        TImageData image;
        image.width = image.height = side;
        image.handleX = image.handleY = side / 2.0f;
        image.texture = alphaOnly ? renderer.createCoverageTexture(coverage, flags)
                                  : renderer.createTexture(noise, flags);
        image.rendererSerial = renderer.serial;
        for (auto [scaleof, turnof, blendof] : {std::tuple{0.7f, 0.0f, BLEND_ALPHA},
                                                {0.3f, 30.0f, BLEND_LIGHT},
                                                {0.45f, 5.0f, BLEND_ALPHA},
                                                {1.6f, 0.0f, BLEND_ALPHA},
                                                {0.05f, 0.0f, BLEND_LIGHT}}) {
            const float scale = scaleof, turn = turnof;
            const int blend = blendof;
            auto draw = [&](bool reference) {
                SetDrawScale(1, 1);
                SetDrawRotation(0);
                SetBlendMode(BLEND_SOLID);
                SetDrawColor(40, 90, 160);
                DrawRect(0, 0, float(game), float(game));
                SetBlendMode(blend);
                SetDrawColor(250, 200, 120);
                SetDrawAlpha(0.8f);
                SetDrawScale(scale, scale);
                SetDrawRotation(turn);
                const uint8_t rgba[4] = {250, 200, 120, 204};
                renderer.flush();
                if (reference) {
                    DrawTrilinear(alphaOnly ? coverage.alpha : noise.rgba, side, side, alphaOnly,
                                  flags & IMAGE_FILTERED,
                                  ImageQuad(image, middle, middle, TestDrawState()), blend, rgba,
                                  game);
                } else {
                    renderer.drawImage(image, middle, middle, TestDrawState());
                }
                Pixels result;
                EXPECT_TRUE(renderer.readPixels(result));
                return result;
            };
            const Pixels atlas = draw(false), trilinear = draw(true);
            const uint8_t* ground = trilinear.rgba.data(); // the corner shows the ground alone
            int worst = 0, changed = 0;
            for (size_t i = 0; i < atlas.rgba.size(); ++i) {
                worst = std::max(worst, std::abs(atlas.rgba[i] - trilinear.rgba[i]));
                changed += trilinear.rgba[i] != ground[i % 4];
            }
            const std::string what = "scale " + std::to_string(scale) + " flags " +
                                     std::to_string(flags) + " game " + std::to_string(game);
            EXPECT_LE(worst, 6) << what << (alphaOnly ? " alpha" : " rgba");
            EXPECT_GT(changed, 0) << what << (alphaOnly ? " alpha" : " rgba");
        }
        SetDrawRotation(0);
        SetDrawScale(1, 1);
        SetDrawAlpha(1);
        renderer.destroyTexture(image.texture);
        image.texture = 0;
    }
}

// The game's font, rasterised at 128 px and mipmapped, drawn at a quarter: ink appears inside
// the measured box and nowhere else.
TEST_F(Pixels64, ScaledTextStaysInsideItsMeasuredBox) {
    TFont font = LoadFont("/usr/share/fonts/truetype/play/Play-Bold.ttf", 128, 4);
    ASSERT_TRUE(font);
    SetFont(font);
    SetBlendMode(BLEND_ALPHA);
    SetDrawScale(0.25f, 0.25f);
    DrawText("HI", 4, 6);
    read();
    const float right = 4 + TextWidth("HI") * 0.25f, bottom = 6 + TextHeight() * 0.25f;
    int inside = 0, outside = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            if (at(x, y).r < 64) continue;
            bool in = x >= 4 && x < right + 1 && y >= 6 && y < bottom + 1;
            ++(in ? inside : outside);
        }
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
}

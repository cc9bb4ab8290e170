// The pictures must have the sizes, transparency and colours the drawing code relies on:
// centred discs that fill their image, a round-end mask that lines up with the stadium, a glow
// that fades to nothing, and white/grey pictures that the drawing colour can tint.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <png.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Picture {
    int width = 0, height = 0;
    bool hasAlpha = false;
    std::vector<unsigned char> rgba;
    int alpha(int x, int y) const { return rgba[(static_cast<size_t>(y) * width + x) * 4 + 3]; }
    const unsigned char* pixel(int x, int y) const {
        return &rgba[(static_cast<size_t>(y) * width + x) * 4];
    }
};

Picture load(const std::string& name) {
    Picture p;
    std::string path = std::string(VANTORIX_MEDIA_DIR) + "/" + name;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << "cannot read " << path;
        return p;
    }
    p.width = static_cast<int>(image.width);
    p.height = static_cast<int>(image.height);
    p.hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_RGBA;
    p.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, p.rgba.data(), 0, nullptr))
        ADD_FAILURE() << "cannot decode " << path;
    return p;
}

std::vector<char> bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const char* const pictureNames[] = {"ball.png",     "bigball.png", "mainball+0.png", "rect.png",
                                    "mezball2.png", "spark.png",   "scia.png",       "logo.png"};

} // namespace

TEST(Pictures, HaveTheirSizesAndAnAlphaChannel) {
    const struct {
        const char* name;
        int width, height;
    } sizes[] = {{"ball.png", 300, 300}, {"bigball.png", 800, 800},   {"mainball+0.png", 300, 300},
                 {"rect.png", 280, 280}, {"mezball2.png", 500, 1000}, {"spark.png", 64, 64},
                 {"scia.png", 512, 32},  {"logo.png", 205, 275}};
    for (const auto& s : sizes) {
        Picture p = load(s.name);
        EXPECT_EQ(p.width, s.width) << s.name;
        EXPECT_EQ(p.height, s.height) << s.name;
        EXPECT_TRUE(p.hasAlpha) << s.name;
    }
}

// Ball pictures are drawn centred at radius / half their width, so the disc must reach the
// edges at the middle of each side and leave the corners clear.
TEST(Pictures, BallsAreDiscsFillingTheirImage) {
    for (const char* name : {"ball.png", "bigball.png", "mainball+0.png"}) {
        Picture p = load(name);
        int n = p.width, mid = n / 2;
        EXPECT_EQ(p.alpha(mid, mid), 255) << name;
        for (int corner : {0, n - 1}) {
            EXPECT_EQ(p.alpha(corner, corner), 0) << name;
            EXPECT_EQ(p.alpha(corner, n - 1 - corner), 0) << name;
        }
        // Two pixels in from each side's middle is still inside the disc.
        for (auto [x, y] : {std::pair{2, mid}, {n - 3, mid}, {mid, 2}, {mid, n - 3}})
            EXPECT_EQ(p.alpha(x, y), 255) << name << " at " << x << "," << y;
        // Just outside the rim along the diagonal is clear.
        int off = static_cast<int>(mid - mid / std::sqrt(2.0)) - 2;
        EXPECT_EQ(p.alpha(off, off), 0) << name;
    }
}

TEST(Pictures, RoundEndIsClearInsideTheHalfDiscAndOpaqueAround) {
    Picture p = load("mezball2.png");
    EXPECT_EQ(p.alpha(400, 500), 0);
    EXPECT_EQ(p.alpha(5, 500), 0);
    EXPECT_EQ(p.alpha(499, 5), 0);
    EXPECT_EQ(p.alpha(499, 994), 0);
    EXPECT_EQ(p.alpha(10, 10), 255);
    EXPECT_EQ(p.alpha(10, 990), 255);
    EXPECT_EQ(p.alpha(150, 100), 255); // 538 from the centre: outside the arc
    EXPECT_EQ(p.alpha(0, 0), 255);
    // The straight walls continue as flat rectangles of the drawing colour, so the surroundings
    // must be plain white for the two to meet without a seam.
    const unsigned char* corner = p.pixel(0, 0);
    EXPECT_EQ(corner[0] + corner[1] + corner[2], 3 * 255);
}

TEST(Pictures, SparkGlowFadesToNothingAtTheRim) {
    Picture p = load("spark.png");
    EXPECT_GE(p.alpha(32, 32), 230);
    int previous = 256;
    for (int x = 32; x < 64; ++x) { // falling steadily from the centre outwards
        EXPECT_LE(p.alpha(x, 32), previous) << x;
        previous = p.alpha(x, 32);
    }
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            double r = std::hypot(x + 0.5 - 32, y + 0.5 - 32);
            if (r >= 31) {
                EXPECT_LE(p.alpha(x, y), 2) << x << "," << y;
            }
        }
    }
}

// Links and colour bars are stretched to any length, so they must be solid along their length.
TEST(Pictures, BarsAreSolidAlongTheirLength) {
    Picture link = load("rect.png");
    for (int x : {0, 140, 279}) {
        EXPECT_EQ(link.alpha(x, 140), 255);
        EXPECT_EQ(link.alpha(x, 5), 255);
    }
    Picture strip = load("scia.png");
    for (int y = 0; y < 32; ++y) EXPECT_EQ(strip.alpha(0, y), 255) << y;
    for (int x = 0; x < 512; x += 37) EXPECT_EQ(strip.alpha(x, 16), 255) << x;
}

// Every picture but the logo is tinted by the drawing colour: it must carry no hue of its own,
// and its lit parts must be bright so that team colours show at full strength.
TEST(Pictures, TintablePicturesAreGreyAndBright) {
    for (const char* name : {"ball.png", "bigball.png", "mainball+0.png", "rect.png",
                             "mezball2.png", "spark.png", "scia.png"}) {
        Picture p = load(name);
        int brightest = 0;
        for (size_t i = 0; i < p.rgba.size(); i += 4) {
            ASSERT_EQ(p.rgba[i], p.rgba[i + 1]) << name;
            ASSERT_EQ(p.rgba[i], p.rgba[i + 2]) << name;
            if (p.rgba[i + 3] > 128) brightest = std::max(brightest, static_cast<int>(p.rgba[i]));
        }
        EXPECT_GE(brightest, 230) << name;
    }
}

TEST(Pictures, LogoIsAColouredBadge) {
    Picture p = load("logo.png");
    int coloured = 0;
    for (size_t i = 0; i < p.rgba.size(); i += 4) {
        int r = p.rgba[i], g = p.rgba[i + 1], b = p.rgba[i + 2];
        if (p.rgba[i + 3] > 128 &&
            std::max({std::abs(r - g), std::abs(g - b), std::abs(r - b)}) > 80)
            ++coloured;
    }
    EXPECT_GT(coloured, p.width * p.height / 10);
    EXPECT_EQ(p.alpha(102, 137), 255);
    EXPECT_EQ(p.alpha(0, 0), 0); // rounded corners
}

// The build must produce the same files every time, so that a rebuild changes nothing.
TEST(Pictures, GeneratorIsRepeatable) {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("mediagen-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string command = std::string("\"") + MEDIAGEN_PATH + "\" pictures \"" + folder.string() +
                          "\" \"" + MEDIAGEN_FONT + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const char* name : pictureNames)
        EXPECT_EQ(bytes(folder / name), bytes(std::filesystem::path(VANTORIX_MEDIA_DIR) / name))
            << name;
    std::filesystem::remove_all(folder);
}

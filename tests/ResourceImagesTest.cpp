// The generated images and shaders: the files the game loads at start-up must
// exist at the sizes the game cuts them by, come out byte-identical on every
// build, and carry the look the screens rely on (a seamless start-up slide, a
// visible bubble, shaders with the uniforms the game sets).
#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "tools/Generators.h"

namespace {

namespace fs = std::filesystem;

struct ImageSize {
    const char* name;
    unsigned width;
    unsigned height;
};

const ImageSize kImages[] = {
    {"backmap.png", 256, 256}, {"proj.png", 512, 512},       {"pad.png", 1024, 128},
    {"bumper.png", 320, 320},  {"MeterBase.png", 816, 20},   {"MeterFill.png", 816, 20},
    {"logo2.png", 820, 201},   {"icon.png", 128, 128},
};

const char* const kShaders[] = {"gradiant.frag", "lines.frag"};

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path freshDirectory(const std::string& tag)
{
    const fs::path dir = fs::temp_directory_path() / ("frothlet_images_" + tag + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

class ResourceImagesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = freshDirectory("a");
        s_imagesWritten = resgen::writeImages(s_dir.string() + "/");
        s_shadersWritten = resgen::writeShaders(s_dir.string() + "/");
    }

    static void TearDownTestSuite() { fs::remove_all(s_dir); }

    static sf::Image load(const char* name)
    {
        sf::Image image;
        EXPECT_TRUE(image.loadFromFile((s_dir / name).string())) << name;
        return image;
    }

    static fs::path s_dir;
    static bool s_imagesWritten;
    static bool s_shadersWritten;
};

fs::path ResourceImagesTest::s_dir;
bool ResourceImagesTest::s_imagesWritten = false;
bool ResourceImagesTest::s_shadersWritten = false;

TEST_F(ResourceImagesTest, WritesEveryImageAtTheSizeTheGameCutsItBy)
{
    ASSERT_TRUE(s_imagesWritten);
    for (const ImageSize& expected : kImages) {
        const sf::Image image = load(expected.name);
        EXPECT_EQ(image.getSize().x, expected.width) << expected.name;
        EXPECT_EQ(image.getSize().y, expected.height) << expected.name;
    }
}

TEST_F(ResourceImagesTest, SecondRunWritesIdenticalBytes)
{
    const fs::path again = freshDirectory("b");
    ASSERT_TRUE(resgen::writeImages(again.string()));  // no trailing slash: still the same files
    ASSERT_TRUE(resgen::writeShaders(again.string()));
    for (const ImageSize& image : kImages)
        EXPECT_EQ(readFile(s_dir / image.name), readFile(again / image.name)) << image.name;
    for (const char* shader : kShaders)
        EXPECT_EQ(readFile(s_dir / shader), readFile(again / shader)) << shader;
    fs::remove_all(again);
}

// Mean absolute channel difference between lines a and b (columns or rows)
// of the tile whose top-left corner is (left, top).
double lineDifference(const sf::Image& atlas, unsigned left, unsigned top, unsigned a, unsigned b, bool columns)
{
    double sum = 0.0;
    for (unsigned i = 0; i < 32; ++i) {
        const sf::Color p = columns ? atlas.getPixel(left + a, top + i) : atlas.getPixel(left + i, top + a);
        const sf::Color q = columns ? atlas.getPixel(left + b, top + i) : atlas.getPixel(left + i, top + b);
        sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
    }
    return sum / (32.0 * 3.0);
}

// The background repeats one 32 x 32 tile over the whole field: across the
// seam (last column to first) the picture must change no more than between
// neighbouring columns inside the tile.
TEST_F(ResourceImagesTest, EveryBackgroundTileJoinsItselfWithoutASeam)
{
    const sf::Image atlas = load("backmap.png");
    for (unsigned tile = 0; tile < 64; ++tile) {
        const unsigned left = (tile % 8) * 32, top = (tile / 8) * 32;
        for (bool columns : {true, false}) {
            double inside = 0.0;
            for (unsigned i = 0; i + 1 < 32; ++i)
                inside = std::max(inside, lineDifference(atlas, left, top, i, i + 1, columns));
            const double seam = lineDifference(atlas, left, top, 31, 0, columns);
            EXPECT_LE(seam, inside + 1.0) << "tile " << tile << (columns ? " left/right" : " top/bottom");
        }
    }
}

TEST_F(ResourceImagesTest, StartupTileIsADarkOpaqueSlide)
{
    const sf::Image atlas = load("backmap.png");
    double brightness = 0.0;
    for (unsigned y = 0; y < 32; ++y)
        for (unsigned x = 0; x < 32; ++x) {
            const sf::Color c = atlas.getPixel(x, y);
            ASSERT_EQ(c.a, 255);
            brightness += (c.r + c.g + c.b) / 3.0;
        }
    EXPECT_LT(brightness / (32 * 32), 50.0);
}

// The bubble (top-left 20 x 20 of proj.png) is a round, partly see-through
// disc with a bright rim: plenty of strong pixels, clear corners.
TEST_F(ResourceImagesTest, BubbleIsARoundVisibleDisc)
{
    const sf::Image proj = load("proj.png");
    int strong = 0;
    for (unsigned y = 0; y < 20; ++y)
        for (unsigned x = 0; x < 20; ++x)
            if (proj.getPixel(x, y).a >= 160)
                ++strong;
    EXPECT_GE(strong, 60);
    EXPECT_EQ(proj.getPixel(0, 0).a, 0);
    EXPECT_EQ(proj.getPixel(19, 19).a, 0);
    EXPECT_LT(proj.getPixel(12, 13).a, 230);  // the middle stays translucent
    EXPECT_GT(proj.getPixel(12, 13).a, 30);
}

TEST_F(ResourceImagesTest, ShadersDeclareTheUniformsTheGameSets)
{
    ASSERT_TRUE(s_shadersWritten);
    const std::string gradient = readFile(s_dir / "gradiant.frag");
    const std::string lines = readFile(s_dir / "lines.frag");
    EXPECT_NE(gradient.find("uniform sampler2D texture;"), std::string::npos);
    EXPECT_NE(lines.find("uniform float time;"), std::string::npos);
    EXPECT_NE(lines.find("uniform vec2 resolution;"), std::string::npos);
    for (const std::string* source : {&gradient, &lines}) {
        EXPECT_NE(source->find("void main()"), std::string::npos);
        EXPECT_NE(source->find("gl_FragColor"), std::string::npos);
    }
}

}  // namespace

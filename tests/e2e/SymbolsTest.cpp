// The colour-blind symbols with the real binary: switched on in the menu,
// saved as the settings file's 21st line, and drawn inside every microbe of
// the seed-0 field.
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Flows.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {

const sf::Color green(133, 227, 114);  // type 1 of the seed-0 field
const sf::Color blue(120, 180, 240);   // type 4 of the seed-0 field
// The field below the meter and the top fence, above the paddle.
const sf::IntRect field{0, 108, 1024, 607};

struct Blob {
    int pixels = 0;
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    double sumX = 0.0, sumY = 0.0;
};

// Connected groups (8 neighbours) of the pixels the test picks, in the field.
template <typename Pick>
std::vector<Blob> blobs(const sf::Image& shot, Pick pick)
{
    const int w = field.width;
    const int h = field.height;
    std::vector<char> seen(static_cast<std::size_t>(w * h), 0);
    auto at = [&](int x, int y) { return shot.getPixel(static_cast<unsigned>(field.left + x), static_cast<unsigned>(field.top + y)); };
    std::vector<Blob> found;
    for (int y0 = 0; y0 < h; ++y0)
        for (int x0 = 0; x0 < w; ++x0) {
            if (seen[static_cast<std::size_t>(y0 * w + x0)] || !pick(at(x0, y0)))
                continue;
            Blob blob;
            std::vector<std::pair<int, int>> todo{{x0, y0}};
            seen[static_cast<std::size_t>(y0 * w + x0)] = 1;
            while (!todo.empty()) {
                const auto [x, y] = todo.back();
                todo.pop_back();
                ++blob.pixels;
                blob.sumX += x;
                blob.sumY += y;
                blob.left = std::min(blob.left, x);
                blob.right = std::max(blob.right, x);
                blob.top = std::min(blob.top, y);
                blob.bottom = std::max(blob.bottom, y);
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx;
                        const int ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= w || ny >= h || seen[static_cast<std::size_t>(ny * w + nx)] ||
                            !pick(at(nx, ny)))
                            continue;
                        seen[static_cast<std::size_t>(ny * w + nx)] = 1;
                        todo.emplace_back(nx, ny);
                    }
            }
            found.push_back(blob);
        }
    return found;
}

bool near(sf::Color c, sf::Color target, int tolerance)
{
    return std::abs(c.r - target.r) <= tolerance && std::abs(c.g - target.g) <= tolerance &&
           std::abs(c.b - target.b) <= tolerance;
}

std::vector<std::string> lines(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(file, line);)
        out.push_back(line);
    return out;
}

}  // namespace

TEST(Symbols, SwitchedOnAndSavedThenShownInsideEveryMicrobe)
{
    const LaunchOptions options = windowed();
    GameProcess game(options);
    ASSERT_TRUE(game.waitForOutput("starting main message loop\n"));
    ASSERT_NE(game.window(), 0u);
    game.pause(500ms);
    leaveTitle(game);
    clickMenuLine(game, 3);  // "Options"
    clickMenuLine(game, 5);  // "Graphics Options"
    clickMenuLine(game, 6);  // "Symbols: " Off -> On

    // The 20 lines as they were, then the new one.
    std::vector<std::string> before;
    std::istringstream written(options.settings);
    for (std::string line; std::getline(written, line);)
        before.push_back(line);
    const std::vector<std::string> saved = lines(game.directory() + "/settings.cfg");
    ASSERT_EQ(saved.size(), 21u);
    EXPECT_EQ(std::vector<std::string>(saved.begin(), saved.begin() + 20), before);
    EXPECT_EQ(saved[20], "1");

    clickMenuLine(game, 8);  // "Back" to the options
    clickMenuLine(game, 7);  // "Back" to the main menu
    clickMenuLine(game, 2);  // the mode item: Tutorial -> Infinite
    clickMenuLine(game, 1);  // "Play"
    clickMenuLine(game, 1);  // "Casual"
    game.pause(1900ms);
    const sf::Image shot = game.screenshot();

    // Microbe rings (small specks are their idle shimmer) and light symbols.
    std::vector<Blob> rings = blobs(shot, [](sf::Color c) { return near(c, green, 40) || near(c, blue, 40); });
    std::erase_if(rings, [](const Blob& b) { return b.pixels < 12; });
    const std::vector<Blob> light = blobs(shot, [](sf::Color c) {
        const int low = std::min({c.r, c.g, c.b});
        const int high = std::max({c.r, c.g, c.b});
        return low > 140 && high - low < 60;
    });
    auto inside = [](const Blob& spot, const Blob& ring) {
        const double x = spot.sumX / spot.pixels;
        const double y = spot.sumY / spot.pixels;
        return x > ring.left && x < ring.right && y > ring.top && y < ring.bottom;
    };
    int ringsWithSymbol = 0;
    int lightInRings = 0;
    for (const Blob& ring : rings) {
        int pixels = 0;
        for (const Blob& spot : light)
            pixels += inside(spot, ring) ? spot.pixels : 0;
        lightInRings += pixels;
        if (pixels >= 4)
            ++ringsWithSymbol;
        else
            ADD_FAILURE() << "no symbol in the ring at " << ring.left << ", " << ring.top + field.top;
    }
    int lightElsewhere = 0;
    for (const Blob& spot : light)
        if (std::none_of(rings.begin(), rings.end(), [&](const Blob& ring) { return inside(spot, ring); }))
            lightElsewhere += spot.pixels;
    EXPECT_GE(rings.size(), 20u) << "the 27 microbes of the seed-0 field, a few touching";
    EXPECT_EQ(ringsWithSymbol, static_cast<int>(rings.size()));
    EXPECT_LT(lightElsewhere, lightInRings / 10) << "the light pixels are the symbols inside the microbes";

    game.closeWindow();
    EXPECT_EQ(game.waitForExit(), 0);
}

// The game's whole look, painted from code: a microscope slide under soft
// light. Every image is built on a float RGBA canvas from small per-pixel
// "shader" functions, then saved through sf::Image (no display needed).
// Randomness comes only from fixed-seed hashes, so every build writes the
// same bytes.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tools/Generators.h"

namespace {

constexpr float kPi = 3.14159265358979f;
const char* const kLogoFont = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Bold.ttf";

// ---------------------------------------------------------------------------
// Colour and canvas

// Straight (not premultiplied) alpha, every channel 0..1.
struct Colour {
    float r = 0.f, g = 0.f, b = 0.f, a = 0.f;
};

Colour rgb(int r, int g, int b, float a = 1.f)
{
    return {r / 255.f, g / 255.f, b / 255.f, a};
}

float clamp01(float v)
{
    return std::clamp(v, 0.f, 1.f);
}

float lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

float smooth(float edge0, float edge1, float x)
{
    const float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.f - 2.f * t);
}

// A soft band of half-width `width` around `centre`: 1 on the centre line.
float band(float value, float centre, float width)
{
    const float d = (value - centre) / width;
    return std::exp(-d * d);
}

Colour mix(Colour a, Colour b, float t)
{
    return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t), lerp(a.a, b.a, t)};
}

Colour fade(Colour c, float factor)
{
    c.a *= clamp01(factor);
    return c;
}

// Porter-Duff "source over destination".
Colour over(Colour src, Colour dst)
{
    const float outA = src.a + dst.a * (1.f - src.a);
    if (outA <= 0.f)
        return {};
    const float keep = dst.a * (1.f - src.a);
    return {(src.r * src.a + dst.r * keep) / outA, (src.g * src.a + dst.g * keep) / outA,
            (src.b * src.a + dst.b * keep) / outA, outA};
}

class Canvas {
public:
    Canvas(int width, int height, Colour fill = {})
        : m_width(width), m_height(height), m_pixels(static_cast<std::size_t>(width * height), fill)
    {
    }

    int width() const { return m_width; }
    int height() const { return m_height; }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

    Colour get(int x, int y) const { return m_pixels[index(x, y)]; }

    void blend(int x, int y, Colour c)
    {
        if (contains(x, y) && c.a > 0.f)
            m_pixels[index(x, y)] = over(c, m_pixels[index(x, y)]);
    }

    // Places another canvas with its top-left corner at (left, top).
    void blendCanvas(const Canvas& other, int left, int top)
    {
        for (int y = 0; y < other.height(); ++y)
            for (int x = 0; x < other.width(); ++x)
                blend(left + x, top + y, other.get(x, y));
    }

    sf::Image toImage() const
    {
        std::vector<sf::Uint8> bytes(m_pixels.size() * 4);
        for (std::size_t i = 0; i < m_pixels.size(); ++i) {
            const Colour& c = m_pixels[i];
            bytes[i * 4 + 0] = toByte(c.r);
            bytes[i * 4 + 1] = toByte(c.g);
            bytes[i * 4 + 2] = toByte(c.b);
            bytes[i * 4 + 3] = toByte(c.a);
        }
        sf::Image image;
        image.create(static_cast<unsigned>(m_width), static_cast<unsigned>(m_height), bytes.data());
        return image;
    }

private:
    std::size_t index(int x, int y) const { return static_cast<std::size_t>(y * m_width + x); }
    static sf::Uint8 toByte(float v) { return static_cast<sf::Uint8>(std::lround(clamp01(v) * 255.f)); }

    int m_width;
    int m_height;
    std::vector<Colour> m_pixels;
};

// Averages n x n samples of a colour function over one pixel, weighting by
// alpha so that transparent samples do not darken the edges.
template <class Fn>
Colour supersample(const Fn& fn, int px, int py, int n)
{
    float r = 0.f, g = 0.f, b = 0.f, a = 0.f;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const Colour c = fn(px + (i + 0.5f) / n, py + (j + 0.5f) / n);
            r += c.r * c.a;
            g += c.g * c.a;
            b += c.b * c.a;
            a += c.a;
        }
    if (a <= 0.f)
        return {};
    return {r / a, g / a, b / a, a / static_cast<float>(n * n)};
}

// Composites a colour function over a rectangle of the canvas, n x n samples
// per pixel (anti-aliased edges for the round shapes).
template <class Fn>
void paint(Canvas& canvas, int left, int top, int width, int height, int n, const Fn& fn)
{
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            canvas.blend(x, y, supersample(fn, x, y, n));
}

// ---------------------------------------------------------------------------
// Deterministic noise

std::uint32_t hash32(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

float hashUnit(int x, int y, std::uint32_t seed)
{
    const std::uint32_t h = hash32(static_cast<std::uint32_t>(x) * 0x8da6b343U ^
                                   hash32(static_cast<std::uint32_t>(y) * 0xd8163841U ^ seed));
    return static_cast<float>(h >> 8) / 16777215.f;
}

int wrapIndex(int i, int period)
{
    return ((i % period) + period) % period;
}

// Value noise in 0..1 on a lattice of `cell` pixels that repeats every
// `period` cells, so a tile made of it joins itself without a seam.
float periodicNoise(float x, float y, float cell, int period, std::uint32_t seed)
{
    const float gx = x / cell, gy = y / cell;
    const int ix = static_cast<int>(std::floor(gx)), iy = static_cast<int>(std::floor(gy));
    const float fx = smooth(0.f, 1.f, gx - ix), fy = smooth(0.f, 1.f, gy - iy);
    auto corner = [&](int dx, int dy) {
        return hashUnit(wrapIndex(ix + dx, period), wrapIndex(iy + dy, period), seed);
    };
    return lerp(lerp(corner(0, 0), corner(1, 0), fx), lerp(corner(0, 1), corner(1, 1), fx), fy);
}

// Shortest signed offset on a ring of length `period` (for wrapped features).
float wrapDelta(float d, float period)
{
    return d - period * std::round(d / period);
}

// ---------------------------------------------------------------------------
// Shared shapes

// A soap bubble of radius r centred at (cx, cy); `lightAngle` points from the
// centre towards the highlight. Light colours so the game can tint it.
Colour bubbleAt(float x, float y, float cx, float cy, float r, float lightAngle)
{
    const float dx = x - cx, dy = y - cy;
    const float d = std::sqrt(dx * dx + dy * dy);
    if (d > r)
        return {};
    const float t = d / r;
    // The film looks thicker towards the rim, as a real bubble does.
    Colour c = mix(rgb(150, 225, 240, 0.30f), rgb(205, 245, 255, 0.70f), t * t * t);
    // A faint rainbow sheen around the rim.
    const float angle = std::atan2(dy, dx);
    const Colour sheen = rgb(static_cast<int>(200 + 40 * std::sin(angle * 2.f)), 230,
                             static_cast<int>(215 + 40 * std::cos(angle * 2.f)), 0.55f);
    c = over(fade(sheen, smooth(0.55f, 0.85f, t) * (1.f - smooth(0.86f, 0.95f, t))), c);
    c = over(fade(rgb(240, 253, 255), smooth(0.72f, 0.90f, t)), c);
    const float hx = cx + std::cos(lightAngle) * r * 0.45f, hy = cy + std::sin(lightAngle) * r * 0.45f;
    const float hd = std::hypot(x - hx, y - hy) / r;
    c = over(fade(rgb(255, 255, 255), 1.f - smooth(0.14f, 0.34f, hd)), c);
    // A small reflected glint on the far side.
    const float gx = cx - std::cos(lightAngle) * r * 0.55f, gy = cy - std::sin(lightAngle) * r * 0.55f;
    c = over(fade(rgb(225, 250, 255), (1.f - smooth(0.04f, 0.13f, std::hypot(x - gx, y - gy) / r)) * 0.7f), c);
    return c;
}

// Separable box blur, run three times for a near-Gaussian soft glow.
std::vector<float> blurMask(const std::vector<float>& mask, int width, int height, int radius)
{
    std::vector<float> a = mask, b(mask.size());
    auto pass = [&](const std::vector<float>& src, std::vector<float>& dst, bool horizontal) {
        const int len = horizontal ? width : height, lines = horizontal ? height : width;
        for (int line = 0; line < lines; ++line)
            for (int i = 0; i < len; ++i) {
                float sum = 0.f;
                for (int k = -radius; k <= radius; ++k) {
                    const int j = i + k;
                    if (j < 0 || j >= len)
                        continue;
                    sum += horizontal ? src[static_cast<std::size_t>(line * width + j)]
                                      : src[static_cast<std::size_t>(j * width + line)];
                }
                const std::size_t at = horizontal ? static_cast<std::size_t>(line * width + i)
                                                  : static_cast<std::size_t>(i * width + line);
                dst[at] = sum / static_cast<float>(2 * radius + 1);
            }
    };
    for (int round = 0; round < 3; ++round) {
        pass(a, b, true);
        pass(b, a, false);
    }
    return a;
}

// ---------------------------------------------------------------------------
// backmap.png: 8 x 8 tiles of 32 x 32 of a dark slide

constexpr int kTile = 32;

struct TileStyle {
    Colour base;         // the slide's own colour
    Colour light;        // the colour that the noise lifts towards
    float noiseAmount;   // how cloudy the medium looks
    int ghostCells;      // faint out-of-focus cells drifting in the medium
    int dustMotes;       // tiny motes of dust
    bool countingGrid;   // the ruled grid of a counting slide
    std::uint32_t seed;
};

TileStyle tileStyle(int index)
{
    // Tile 0 is the start-up slide: the calmest, with a faint counting grid.
    static const std::array<Colour, 4> bases = {rgb(8, 27, 33), rgb(7, 22, 34), rgb(9, 30, 27), rgb(11, 24, 33)};
    static const std::array<Colour, 4> lights = {rgb(22, 66, 72), rgb(20, 52, 80), rgb(26, 72, 58),
                                                 rgb(34, 50, 78)};
    TileStyle style;
    style.base = bases[static_cast<std::size_t>(index % 4)];
    style.light = lights[static_cast<std::size_t>((index / 4 + index) % 4)];
    // Anything on a tile repeats every 32 px across the screen, so the
    // features stay faint and few: tile 0 carries none but the grid.
    style.noiseAmount = index == 0 ? 0.28f : 0.32f + 0.08f * static_cast<float>((index / 8) % 4);
    style.ghostCells = index == 0 ? 0 : (index / 2) % 3;
    style.dustMotes = index == 0 ? 0 : index % 4;
    style.countingGrid = index == 0 || index % 3 == 0;
    style.seed = 0x5EED0000U + static_cast<std::uint32_t>(index);
    return style;
}

struct Feature {
    float x, y, radius, strength;
};

std::vector<Feature> scatter(std::mt19937& rng, int count, float minRadius, float maxRadius)
{
    std::uniform_real_distribution<float> pos(0.f, static_cast<float>(kTile));
    std::uniform_real_distribution<float> size(minRadius, maxRadius);
    std::uniform_real_distribution<float> strength(0.5f, 1.f);
    std::vector<Feature> features;
    for (int i = 0; i < count; ++i) {
        Feature f{};
        f.x = pos(rng);
        f.y = pos(rng);
        f.radius = size(rng);
        f.strength = strength(rng);
        features.push_back(f);
    }
    return features;
}

float wrappedDistance(float x, float y, const Feature& f)
{
    return std::hypot(wrapDelta(x - f.x, kTile), wrapDelta(y - f.y, kTile));
}

// The ruled lines of a counting chamber: a line on the tile edge (shared by
// both sides of the seam) and a fainter one through the middle.
float countingGridLight(float x, float y)
{
    const float edge = std::max(band(wrapDelta(x, kTile), 0.f, 0.75f), band(wrapDelta(y, kTile), 0.f, 0.75f));
    const float middle = std::max(band(x, 16.f, 0.5f), band(y, 16.f, 0.5f));
    return edge + 0.25f * middle;
}

Canvas makeTile(const TileStyle& style)
{
    std::mt19937 rng(style.seed);
    const std::vector<Feature> cells = scatter(rng, style.ghostCells, 4.f, 9.f);
    const std::vector<Feature> dust = scatter(rng, style.dustMotes, 0.6f, 1.2f);
    Canvas tile(kTile, kTile);
    for (int py = 0; py < kTile; ++py)
        for (int px = 0; px < kTile; ++px) {
            const float x = px + 0.5f, y = py + 0.5f;
            const float cloud = 0.55f * periodicNoise(x, y, 16.f, 2, style.seed) +
                                0.30f * periodicNoise(x, y, 8.f, 4, style.seed + 17U) +
                                0.15f * periodicNoise(x, y, 4.f, 8, style.seed + 31U);
            Colour c = mix(style.base, style.light, style.noiseAmount * cloud);
            for (const Feature& f : cells) {
                const float d = wrappedDistance(x, y, f);
                const float membrane = band(d, f.radius, 0.9f) * 0.10f + (d < f.radius ? 0.03f : 0.f);
                c = over(fade(rgb(90, 200, 190), membrane * f.strength), c);
            }
            for (const Feature& f : dust) {
                const float d = wrappedDistance(x, y, f);
                c = over(fade(rgb(150, 190, 170), (1.f - smooth(0.f, f.radius + 0.8f, d)) * 0.35f * f.strength), c);
            }
            if (style.countingGrid)
                c = over(fade(rgb(110, 200, 205), 0.08f * countingGridLight(x, y)), c);
            c.a = 1.f;
            tile.blend(px, py, c);
        }
    return tile;
}

sf::Image makeBackmap()
{
    Canvas atlas(8 * kTile, 8 * kTile);
    for (int index = 0; index < 64; ++index)
        atlas.blendCanvas(makeTile(tileStyle(index)), (index % 8) * kTile, (index / 8) * kTile);
    return atlas.toImage();
}

// ---------------------------------------------------------------------------
// proj.png: the bubble in the top-left 20 x 20

sf::Image makeProjectile()
{
    Canvas canvas(512, 512);
    // The game turns the sprite 45 degrees clockwise, so a highlight on the
    // left of the texture shows at the upper left on screen.
    paint(canvas, 0, 0, 20, 20, 6, [](float x, float y) { return bubbleAt(x, y, 10.f, 10.f, 9.6f, kPi); });
    return canvas.toImage();
}

// ---------------------------------------------------------------------------
// pad.png: three paddle layers and the idle cell, 128 x 128 each

constexpr float kPadCentre = 64.f;
constexpr float kPadRadius = 42.f;  // the paddle's physical radius

struct Polar {
    float radius, angle;  // angle in radians, 0..2pi
};

Polar polarOf(float x, float y)
{
    const float dx = x - kPadCentre, dy = y - kPadCentre;
    float a = std::atan2(dy, dx);
    if (a < 0.f)
        a += 2.f * kPi;
    return {std::hypot(dx, dy), a};
}

float angleDistance(float a, float b)
{
    return std::fabs(wrapDelta(a - b, 2.f * kPi));
}

// Layer 0: the paddle cell's membrane, with an off-centre nucleus. Used alone
// as the war paddle, so it is a complete cell by itself.
Colour paddleMembrane(float x, float y)
{
    const Polar p = polarOf(x, y);
    const float rim = kPadRadius - 2.f;
    Colour c = fade(rgb(110, 235, 215), 0.45f * band(p.radius, rim + 1.f, 5.5f));  // soft glow
    if (p.radius < rim)
        c = over(mix(rgb(30, 120, 125, 0.30f), rgb(70, 190, 180, 0.55f), smooth(rim * 0.5f, rim, p.radius)), c);
    c = over(fade(rgb(185, 250, 235), band(p.radius, rim, 1.7f)), c);
    const float nucleus = std::hypot(x - (kPadCentre + 13.f), y - (kPadCentre - 9.f));
    c = over(fade(rgb(133, 227, 114), 0.55f * (1.f - smooth(8.f, 11.f, nucleus))), c);
    c = over(fade(rgb(210, 255, 190), 0.8f * band(nucleus, 10.f, 1.1f)), c);
    c = over(fade(rgb(235, 255, 220), 0.9f * (1.f - smooth(1.5f, 3.5f, std::hypot(x - 80.f, y - 52.f)))), c);
    return c;
}

// Layer 1: three golden arcs and a fringe of cilia, gapped so that the
// paddle's turning is easy to see.
Colour paddleCilia(float x, float y)
{
    const Polar p = polarOf(x, y);
    Colour c;
    const float arcCentre = p.angle - std::fmod(p.angle, 2.f * kPi / 3.f) + kPi / 3.f;
    const float arcHalf = 0.72f;
    const float arcAlong = 1.f - smooth(arcHalf - 0.12f, arcHalf, angleDistance(p.angle, arcCentre));
    c = over(fade(rgb(235, 222, 90), 0.85f * arcAlong * band(p.radius, 31.f, 1.6f)), c);
    const float ciliaCount = 24.f;
    const float tick = band(wrapDelta(p.angle * ciliaCount / (2.f * kPi), 1.f), 0.f, 0.18f);
    const float fringe = smooth(kPadRadius - 1.f, kPadRadius + 0.5f, p.radius) *
                         (1.f - smooth(kPadRadius + 3.5f, kPadRadius + 5.5f, p.radius));
    c = over(fade(rgb(200, 250, 235), 0.7f * tick * fringe), c);
    return c;
}

// Layer 2: violet and blue vacuoles on a spiral, and a glint of light.
Colour paddleVacuoles(float x, float y)
{
    Colour c;
    for (int i = 0; i < 6; ++i) {
        const float a = 0.9f + i * 1.05f;
        const float r = 10.f + i * 3.6f;
        const float size = 2.2f + 0.35f * static_cast<float>(i % 3);
        const float d = std::hypot(x - (kPadCentre + std::cos(a) * r), y - (kPadCentre + std::sin(a) * r));
        const Colour tint = i % 2 == 0 ? rgb(212, 140, 245) : rgb(120, 180, 240);
        c = over(fade(tint, 0.75f * (1.f - smooth(size - 0.8f, size + 0.6f, d))), c);
        c = over(fade(rgb(250, 240, 255), 0.6f * (1.f - smooth(0.3f, 1.0f, d + size * 0.4f - 0.9f))), c);
    }
    const Polar p = polarOf(x, y);
    const float glint = band(p.radius, 34.5f, 1.6f) * (1.f - smooth(0.25f, 0.55f, angleDistance(p.angle, 3.9f)));
    c = over(fade(rgb(255, 255, 255), 0.55f * glint), c);
    return c;
}

// Idle cell: the paddle at rest while the player aims, a dim dashed outline.
Colour paddleIdle(float x, float y)
{
    const Polar p = polarOf(x, y);
    const float rim = kPadRadius - 2.f;
    Colour c;
    if (p.radius < rim)
        c = rgb(40, 90, 100, 0.18f);
    const float dash = smooth(-0.1f, 0.1f, std::sin(p.angle * 16.f));
    c = over(fade(rgb(170, 215, 215), 0.7f * dash * band(p.radius, rim, 1.4f)), c);
    c = over(fade(rgb(150, 205, 200), 0.5f * (1.f - smooth(3.f, 5.f, p.radius))), c);
    c = over(fade(rgb(150, 205, 200), 0.45f * band(p.radius, 12.f, 0.9f)), c);
    return c;
}

sf::Image makePaddle()
{
    Canvas canvas(1024, 128);
    paint(canvas, 0, 0, 128, 128, 3, paddleMembrane);
    paint(canvas, 128, 0, 128, 128, 3, [](float x, float y) { return paddleCilia(x - 128.f, y); });
    paint(canvas, 256, 0, 128, 128, 3, [](float x, float y) { return paddleVacuoles(x - 256.f, y); });
    paint(canvas, 896, 0, 128, 128, 3, [](float x, float y) { return paddleIdle(x - 896.f, y); });
    return canvas.toImage();
}

// ---------------------------------------------------------------------------
// bumper.png: the glass banner behind "Round Over" and "x Combo"

// Signed distance to a rounded rectangle (negative inside).
float roundedBoxDistance(float x, float y, float left, float top, float right, float bottom, float radius)
{
    const float cx = (left + right) * 0.5f, cy = (top + bottom) * 0.5f;
    const float hx = (right - left) * 0.5f - radius, hy = (bottom - top) * 0.5f - radius;
    const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.f), std::max(qy, 0.f));
    return outside + std::min(std::max(qx, qy), 0.f) - radius;
}

Colour bannerPanel(float x, float y)
{
    // The panel runs past the right edge: the game shows its left 245 px.
    const float d = roundedBoxDistance(x, y, 2.f, 3.f, 360.f, 86.f, 16.f);
    Colour c = fade(rgb(90, 220, 210), 0.30f * std::exp(-std::max(d, 0.f) / 2.5f) * smooth(-1.f, 0.5f, d + 1.f));
    if (d < 0.f) {
        const float depth = (y - 3.f) / 83.f;
        c = over(mix(rgb(16, 62, 70, 0.72f), rgb(6, 24, 32, 0.78f), depth), c);
        c = over(fade(rgb(170, 245, 235), 0.10f * (1.f - smooth(0.f, 0.45f, depth))), c);  // glass sheen
    }
    c = over(fade(rgb(190, 250, 240), 0.85f * band(d, -1.f, 0.9f)), c);
    // A few bubbles rising at the right, clear of the texts.
    static const std::array<std::array<float, 3>, 4> bubbles = {
        {{226.f, 22.f, 7.f}, {212.f, 46.f, 4.5f}, {233.f, 62.f, 3.5f}, {218.f, 73.f, 2.5f}}};
    for (const auto& b : bubbles)
        c = over(bubbleAt(x, y, b[0], b[1], b[2], kPi * 1.25f), c);
    return c;
}

sf::Image makeBumper()
{
    Canvas canvas(320, 320);
    paint(canvas, 0, 0, 320, 100, 3, bannerPanel);
    return canvas.toImage();
}

// ---------------------------------------------------------------------------
// MeterBase.png and MeterFill.png: the remaining-microbes meter, 816 x 20

constexpr int kMeterWidth = 816;
constexpr int kMeterHeight = 20;

Colour meterTrack(float x, float y)
{
    const float d = roundedBoxDistance(x, y, 0.5f, 0.5f, kMeterWidth - 0.5f, kMeterHeight - 0.5f, 9.5f);
    if (d > 0.5f)
        return {};
    Colour c = mix(rgb(4, 16, 20, 0.72f), rgb(10, 34, 40, 0.72f), y / kMeterHeight);
    // Tenths of the field, like the marks of a pipette.
    const float tenth = kMeterWidth / 10.f;
    const float mark = band(wrapDelta(x, tenth), 0.f, 0.6f) * (std::fabs(x - kMeterWidth * 0.5f) < 400.f ? 1.f : 0.f);
    c = over(fade(rgb(150, 215, 210), 0.22f * mark), c);
    c = over(fade(rgb(160, 230, 220), 0.6f * band(d, -0.8f, 0.8f)), c);
    return fade(c, smooth(0.5f, -0.5f, d));
}

Colour meterFill(float x, float y)
{
    const float d = roundedBoxDistance(x, y, 3.f, 3.f, kMeterWidth - 3.f, kMeterHeight - 3.f, 7.f);
    if (d > 0.5f)
        return {};
    const float along = x / kMeterWidth;
    // Green at the start, through teal to blue: the colours of the microbes.
    Colour c = along < 0.5f ? mix(rgb(133, 227, 114), rgb(80, 215, 190), along * 2.f)
                            : mix(rgb(80, 215, 190), rgb(120, 180, 240), (along - 0.5f) * 2.f);
    c.a = 0.88f;
    const float v = (y - 3.f) / 14.f;
    c = over(fade(rgb(245, 255, 250), 0.45f * (1.f - smooth(0.05f, 0.45f, v))), c);  // gloss on top
    c = over(fade(rgb(5, 40, 45), 0.25f * smooth(0.6f, 1.f, v)), c);                // shade below
    // Tiny bubbles suspended in the fill.
    const float cell = 23.f;
    const int index = static_cast<int>(std::floor(x / cell));
    const float bx = (index + 0.3f + 0.4f * hashUnit(index, 0, 77U)) * cell;
    const float by = 6.f + 8.f * hashUnit(index, 1, 77U);
    const float size = 1.2f + 1.3f * hashUnit(index, 2, 77U);
    c = over(fade(rgb(240, 255, 250), 0.55f * band(std::hypot(x - bx, y - by), size, 0.5f)), c);
    return fade(c, smooth(0.5f, -0.5f, d));
}

sf::Image makeMeter(Colour (*shape)(float, float))
{
    Canvas canvas(kMeterWidth, kMeterHeight);
    paint(canvas, 0, 0, kMeterWidth, kMeterHeight, 3, shape);
    return canvas.toImage();
}

// ---------------------------------------------------------------------------
// logo2.png: the "Frothlet" wordmark, 820 x 201

constexpr int kLogoWidth = 820;
constexpr int kLogoHeight = 201;

struct GlyphMask {
    std::vector<float> coverage;  // kLogoWidth x kLogoHeight, 0..1
    bool ok = false;
};

// Closes the FreeType library and face on every way out.
struct FreeTypeSession {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FreeTypeSession()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

int textAdvance(FT_Face face, const std::string& text)
{
    int pen = 0;
    FT_UInt previous = 0;
    for (char ch : text) {
        const FT_UInt glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(ch));
        FT_Vector kern{0, 0};
        if (previous && FT_HAS_KERNING(face))
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) == 0)
            pen += static_cast<int>((kern.x + face->glyph->advance.x) >> 6) + 2;
        previous = glyph;
    }
    return pen;
}

void drawText(FT_Face face, const std::string& text, int penX, int baseline, std::vector<float>& mask)
{
    FT_UInt previous = 0;
    for (char ch : text) {
        const FT_UInt glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(ch));
        FT_Vector kern{0, 0};
        if (previous && FT_HAS_KERNING(face))
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
        penX += static_cast<int>(kern.x >> 6);
        previous = glyph;
        if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const int x = penX + slot->bitmap_left + static_cast<int>(col);
                const int y = baseline - slot->bitmap_top + static_cast<int>(row);
                if (x < 0 || y < 0 || x >= kLogoWidth || y >= kLogoHeight)
                    continue;
                const float v = bitmap.buffer[row * static_cast<unsigned>(bitmap.pitch) + col] / 255.f;
                float& dst = mask[static_cast<std::size_t>(y * kLogoWidth + x)];
                dst = std::max(dst, v);
            }
        penX += static_cast<int>(slot->advance.x >> 6) + 2;  // a touch of extra tracking
    }
}

GlyphMask renderWordmark(const std::string& text)
{
    GlyphMask result;
    result.coverage.assign(static_cast<std::size_t>(kLogoWidth * kLogoHeight), 0.f);
    FreeTypeSession ft;
    if (FT_Init_FreeType(&ft.library) != 0 || FT_New_Face(ft.library, kLogoFont, 0, &ft.face) != 0) {
        std::fprintf(stderr, "resgen: cannot open font %s for logo2.png\n", kLogoFont);
        return result;
    }
    FT_Set_Pixel_Sizes(ft.face, 0, 150);
    const int width = textAdvance(ft.face, text);
    // Cap height of Roboto is about 0.71 em: centre the capitals vertically.
    const int baseline = kLogoHeight / 2 + 53;
    drawText(ft.face, text, (kLogoWidth - width) / 2, baseline, result.coverage);
    result.ok = true;
    return result;
}

float maskAt(const std::vector<float>& mask, int x, int y)
{
    if (x < 0 || y < 0 || x >= kLogoWidth || y >= kLogoHeight)
        return 0.f;
    return mask[static_cast<std::size_t>(y * kLogoWidth + x)];
}

// Glow, dark outline, then the letters: aqua at the top turning to green,
// lit from above like a drop of water on the slide.
void paintLetters(Canvas& canvas, const std::vector<float>& mask)
{
    const std::vector<float> glow = blurMask(mask, kLogoWidth, kLogoHeight, 6);
    const std::vector<float> outline = blurMask(mask, kLogoWidth, kLogoHeight, 2);
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * kLogoWidth + x);
            Colour c = fade(rgb(90, 220, 215), std::min(1.f, glow[i] * 2.2f) * 0.55f);
            c = over(fade(rgb(8, 48, 56), smooth(0.02f, 0.22f, outline[i])), c);
            const float v = static_cast<float>(y - 40) / 115.f;
            Colour fill = mix(rgb(215, 252, 245), rgb(110, 222, 150), clamp01(v));
            const float litEdge = clamp01(mask[i] - maskAt(mask, x, y - 4));  // top edges catch the light
            fill = mix(fill, rgb(255, 255, 255), 0.35f * (1.f - litEdge));
            const float shadedEdge = clamp01(mask[i] - maskAt(mask, x, y + 4));
            fill = mix(fill, rgb(40, 150, 130), 0.4f * (1.f - shadedEdge));
            c = over(fade(fill, mask[i]), c);
            canvas.blend(x, y, c);
        }
}

// Bubbles rising around the word: a cluster at each end and a few drifting
// above and below, placed by hand so none hides a letter.
void paintLogoBubbles(Canvas& canvas)
{
    static const std::array<std::array<float, 3>, 20> bubbles = {{
        {70.f, 118.f, 18.f}, {104.f, 84.f, 9.f},   {62.f, 80.f, 5.f},    {100.f, 148.f, 6.f},
        {42.f, 136.f, 3.5f}, {112.f, 58.f, 3.f},  {730.f, 106.f, 19.f}, {766.f, 70.f, 8.f},
        {702.f, 150.f, 6.f}, {776.f, 132.f, 5.f}, {742.f, 42.f, 3.5f},  {784.f, 58.f, 2.5f},
        {300.f, 24.f, 4.f},  {452.f, 18.f, 5.5f}, {474.f, 36.f, 3.f},   {604.f, 22.f, 3.5f},
        {382.f, 30.f, 2.5f}, {252.f, 184.f, 3.f}, {522.f, 182.f, 4.f},  {640.f, 188.f, 2.5f},
    }};
    for (const auto& b : bubbles) {
        const float x = b[0], y = b[1], r = b[2];
        const int left = static_cast<int>(x - r - 1.f), top = static_cast<int>(y - r - 1.f);
        const int size = static_cast<int>(2.f * r + 3.f);
        paint(canvas, left, top, size, size, 4,
              [=](float px, float py) { return bubbleAt(px, py, x, y, r, kPi * 1.25f); });
    }
}

sf::Image makeLogo(bool& fontFound)
{
    Canvas canvas(kLogoWidth, kLogoHeight);
    const GlyphMask letters = renderWordmark("Frothlet");
    fontFound = letters.ok;
    if (letters.ok)
        paintLetters(canvas, letters.coverage);
    paintLogoBubbles(canvas);
    return canvas.toImage();
}

// ---------------------------------------------------------------------------
// icon.png: a bubble holding a microbe, 128 x 128

Colour iconPixel(float x, float y)
{
    const float c0 = 64.f;
    const float d = std::hypot(x - c0, y - c0);
    Colour c;
    if (d < 62.f)
        c = mix(rgb(14, 52, 60), rgb(5, 20, 27), d / 62.f);  // a round patch of slide
    c = over(fade(rgb(120, 220, 210), 0.8f * band(d, 61.f, 1.2f)), c);
    // The microbe: a green ring with a nucleus, drawn like the game's microbes.
    const float mx = 70.f, my = 72.f;
    const float md = std::hypot(x - mx, y - my);
    c = over(fade(rgb(133, 227, 114), 0.25f * (1.f - smooth(20.f, 22.f, md))), c);
    c = over(fade(rgb(133, 227, 114), band(md, 21.f, 1.8f)), c);
    c = over(fade(rgb(210, 255, 190), 0.9f * (1.f - smooth(5.f, 7.f, std::hypot(x - 64.f, y - 66.f)))), c);
    c = over(fade(rgb(212, 140, 245), 0.9f * (1.f - smooth(2.5f, 4.f, std::hypot(x - 78.f, y - 80.f)))), c);
    c = over(bubbleAt(x, y, c0, c0, 46.f, kPi * 1.25f), c);
    return c;
}

// The icon at any size: the 128-pixel design scaled, sampled finer when small
// so its thin rings stay smooth.
sf::Image makeIcon(int size = 128)
{
    Canvas canvas(size, size);
    const float scale = 128.f / static_cast<float>(size);
    const int samples = size < 64 ? 8 : 4;
    paint(canvas, 0, 0, size, size, samples,
          [scale](float x, float y) { return iconPixel(x * scale, y * scale); });
    return canvas.toImage();
}

// ---------------------------------------------------------------------------

std::string joinPath(const std::string& dir, const char* name)
{
    if (dir.empty() || dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

bool save(const sf::Image& image, const std::string& dir, const char* name)
{
    const std::string path = joinPath(dir, name);
    if (image.saveToFile(path))
        return true;
    std::fprintf(stderr, "resgen: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

namespace resgen {

bool writeImages(const std::string& dir)
{
    bool ok = true;
    ok = save(makeBackmap(), dir, "backmap.png") && ok;
    ok = save(makeProjectile(), dir, "proj.png") && ok;
    ok = save(makePaddle(), dir, "pad.png") && ok;
    ok = save(makeBumper(), dir, "bumper.png") && ok;
    ok = save(makeMeter(meterTrack), dir, "MeterBase.png") && ok;
    ok = save(makeMeter(meterFill), dir, "MeterFill.png") && ok;
    bool fontFound = false;
    ok = save(makeLogo(fontFound), dir, "logo2.png") && ok && fontFound;
    ok = save(makeIcon(), dir, "icon.png") && ok;
    return ok;
}

bool writeIcons(const std::string& dir)
{
    bool ok = true;
    for (const int size : iconSizes) {
        const std::string sized = std::to_string(size) + "x" + std::to_string(size);
        const std::string appsDir = joinPath(dir, "hicolor/") + sized + "/apps";
        std::error_code error;
        std::filesystem::create_directories(appsDir, error);
        ok = save(makeIcon(size), appsDir, "frothlet.png") && ok;
    }
    return ok;
}

}  // namespace resgen

// The batched shapes and texts must look exactly like the sf::CircleShape,
// sf::RectangleShape and sf::Text they stand in for: the same scene drawn
// both ways into off-screen pictures, compared pixel for pixel.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>

#include "app/GameWindow.h"
#include "gfx/TextBatch.h"
#include "gfx/VertexBatch.h"

namespace {

sf::Image drawn(const std::function<void(sf::RenderTarget&)>& scene)
{
    sf::RenderTexture target;
    target.create(256, 160);
    target.clear(sf::Color(20, 40, 60));
    scene(target);
    target.display();
    return target.getTexture().copyToImage();
}

// Pixels whose channels differ by more than the tolerance.
int differing(const sf::Image& a, const sf::Image& b, int tolerance)
{
    int count = 0;
    for (unsigned y = 0; y < a.getSize().y; ++y)
        for (unsigned x = 0; x < a.getSize().x; ++x) {
            const sf::Color p = a.getPixel(x, y);
            const sf::Color q = b.getPixel(x, y);
            if (std::abs(p.r - q.r) > tolerance || std::abs(p.g - q.g) > tolerance ||
                std::abs(p.b - q.b) > tolerance || std::abs(p.a - q.a) > tolerance)
                ++count;
        }
    return count;
}

struct Circle {
    sf::Vector2f centre;
    float radius;
    sf::Color fill;
    sf::Color outline;
    float thickness;
    unsigned points;
};

const Circle circles[] = {
    {{40.f, 40.f}, 18.f, sf::Color::Transparent, sf::Color(255, 255, 255, 90), 6.f, 30},  // halo ring
    {{44.f, 44.f}, 20.f, sf::Color::Transparent, sf::Color(133, 227, 114), 2.f, 30},       // microbe over it
    {{44.f, 44.f}, 1.f, sf::Color::Transparent, sf::Color(250, 250, 108, 120), 2.f, 30},    // marked dot
    {{120.f, 60.f}, 8.f, sf::Color(10, 240, 10, 70), sf::Color(254, 214, 107, 200), 2.f, 30},
    {{190.f, 80.f}, 40.f, sf::Color(60, 90, 140, 90), sf::Color(180, 210, 255, 160), -3.f, 90},  // bumper cap
};

}  // namespace

TEST(DrawBatch, CirclesRingsAndBarsMatchSfmlShapesInOneDraw)
{
    const sf::Image shapes = drawn([](sf::RenderTarget& target) {
        for (const Circle& c : circles) {
            sf::CircleShape shape(c.radius, c.points);
            shape.setFillColor(c.fill);
            shape.setOutlineColor(c.outline);
            shape.setOutlineThickness(c.thickness);
            shape.setPosition(c.centre - sf::Vector2f(c.radius, c.radius));
            target.draw(shape);
        }
        sf::RectangleShape bar({200.f, 2.f});
        bar.setPosition(10.5f, 140.f);
        bar.setFillColor(sf::Color(240, 240, 240, 25));
        target.draw(bar);
    });
    const sf::Image batched = drawn([](sf::RenderTarget& target) {
        VertexBatch batch;
        for (const Circle& c : circles) {
            batch.disc(c.centre, c.radius, c.fill, c.points);
            batch.ring(c.centre, c.radius, c.thickness, c.outline, c.points);
        }
        batch.rect({10.5f, 140.f, 200.f, 2.f}, sf::Color(240, 240, 240, 25));
        batch.draw(target);
    });
    // Edge pixels may round the other way where a triangle is split differently.
    EXPECT_LE(differing(shapes, batched, 2), 40);
    EXPECT_LE(differing(shapes, batched, 40), 6);
}

TEST(DrawBatch, SmoothEdgesKeepEveryRingWhereItWas)
{
    // Without multisampling the rings fade over a pixel at their borders:
    // the same rings, softer edges, nothing moved.
    VertexBatch hard;
    VertexBatch soft(true);
    for (VertexBatch* batch : {&hard, &soft})
        for (const Circle& c : circles) {
            batch->disc(c.centre, c.radius, c.fill, c.points);
            batch->ring(c.centre, c.radius, c.thickness, c.outline, c.points);
        }
    const sf::Image a = drawn([&](sf::RenderTarget& t) { hard.draw(t); });
    const sf::Image b = drawn([&](sf::RenderTarget& t) { soft.draw(t); });
    EXPECT_LE(differing(a, b, 100), 0) << "no pixel changes by more than an edge's share";
    EXPECT_GT(differing(a, b, 2), 50) << "the borders are softened";
}

TEST(DrawBatch, TextsMatchSfmlTextGlyphForGlyph)
{
    sf::Font font;
    ASSERT_TRUE(font.loadFromFile("resources/Roboto-Bold.ttf"));
    struct Line {
        const char* text;
        sf::Vector2f at;
        sf::Color colour;
    };
    const Line lines[] = {{"+125", {10.f, 10.f}, sf::Color(133, 227, 114)},
                          {"+5", {60.3f, 14.7f}, sf::Color(255, 144, 34, 200)},
                          {"Player 2: 17", {10.f, 60.f}, sf::Color::White},
                          {"AV To", {120.f, 90.f}, sf::Color(250, 250, 108)}};
    for (unsigned size : {10u, 20u}) {
        const sf::Image single = drawn([&](sf::RenderTarget& target) {
            for (const Line& l : lines) {
                sf::Text text(l.text, font, size);
                text.setFillColor(l.colour);
                text.setPosition(l.at);
                target.draw(text);
            }
        });
        const sf::Image batched = drawn([&](sf::RenderTarget& target) {
            TextBatch batch;
            for (const Line& l : lines) {
                sf::Text text(l.text, font, size);
                text.setFillColor(l.colour);
                text.setPosition(l.at);
                batch.add(text);
            }
            batch.draw(target);
        });
        EXPECT_EQ(differing(single, batched, 1), 0) << "character size " << size;
    }
}

TEST(GameWindow, SoftwareRasterizersGetNoMultisampling)
{
    const struct {
        const char* renderer;
        bool software;
    } cases[] = {{"llvmpipe (LLVM 15.0.6, 256 bits)", true},
                 {"softpipe", true},
                 {"Mesa DRI Intel(R) HD Graphics 520 (SKL GT2)", false},
                 {"Software Rasterizer", true},
                 {"GDI Generic", true},
                 {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)", false},
                 {"", false}};
    for (const auto& c : cases)
        EXPECT_EQ(isSoftwareRenderer(c.renderer), c.software) << c.renderer;
}

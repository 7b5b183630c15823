#include "app/Viewport.h"

sf::FloatRect viewportFor(int windowWidth, int windowHeight)
{
    if (windowWidth <= 0 || windowHeight <= 0)
        return {0.f, 0.f, 1.f, 1.f};
    const float aspect = static_cast<float>(windowWidth) / static_cast<float>(windowHeight);
    if (aspect > logicalAspect) {
        const float share = logicalAspect / aspect;
        return {(1.f - share) / 2.f, 0.f, share, 1.f};
    }
    return {0.f, 0.f, 1.f, 1.f};
}

sf::Vector2i pointerToLogical(int x, int y, int windowWidth, int windowHeight, float aspect)
{
    if (windowWidth <= 0 || windowHeight <= 0)
        return {0, 0};
    const float w = static_cast<float>(windowWidth);
    const float h = static_cast<float>(windowHeight);
    const float column = w >= aspect * h ? aspect * h : w;
    const int offset = static_cast<int>((w - column) * 0.5f);
    return {static_cast<int>(static_cast<float>(x - offset) / column * 1024.f),
            static_cast<int>(static_cast<float>(y) / h * 768.f)};
}

sf::Vector2i windowToLogical(int x, int y, int windowWidth, int windowHeight,
                             const sf::FloatRect& viewport)
{
    if (windowWidth <= 0 || windowHeight <= 0)
        return {0, 0};
    const float w = static_cast<float>(windowWidth);
    const float h = static_cast<float>(windowHeight);
    const float lx = (static_cast<float>(x) - viewport.left * w) / (viewport.width * w) * 1024.f;
    const float ly = static_cast<float>(y) / h * 768.f;
    return {static_cast<int>(lx), static_cast<int>(ly)};
}

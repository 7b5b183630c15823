// The field is simulated in metres at 30 pixels per metre; y grows downward
// both on screen and in the world.
#pragma once

constexpr float pixelsPerMetre = 30.f;
constexpr float metresPerPixel = 0.033333335f;

// A body's kind, told by the category bits of its fixtures.
struct BodyCategory {
    enum : unsigned short {
        Microbe = 1,
        Bubble = 2,
        Wall = 4,
        Fence = 8,
        Paddle = 16,
        Burst = 100,
    };
};

namespace mask {
constexpr unsigned short microbe = 31;
constexpr unsigned short microbeNoCollide = 30;  // microbes pass through each other
constexpr unsigned short bubble = 117;           // 0x75: microbes, walls, paddle, catcher
constexpr unsigned short wall = 3;
constexpr unsigned short fence = 0xFFFF;
constexpr unsigned short paddle = 3;
constexpr unsigned short burstHit = 13;    // a freshly hit microbe: microbes, walls' fences
constexpr unsigned short burstGrowth = 1;  // a growing burst: live microbes only
constexpr unsigned short catcher = 2;
}  // namespace mask

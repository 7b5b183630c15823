// The rolling credits of the title screen: eight pages (the last two blank)
// that rise from the bottom edge, fade in, drift up, fade out and give way to
// the next page.
#pragma once

#include <string>

// The text of a credits page, 0..7.
std::string creditsPage(int page);

class CreditsRoll {
public:
    static constexpr int pageCount = 8;

    // One step of 1/60 s.
    void step();

    int page = 0;
    int counter = 0;
    // Added to the bottom edge of the area (768) to place the text.
    float offset = 0.f;
    // 0..1, multiplies the text's full opacity.
    float alpha = 0.f;
    std::string text = "THIS IS THE CREDIT STRING";
};

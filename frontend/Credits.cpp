#include "frontend/Credits.h"

#include <array>

namespace {

const std::array<const char*, CreditsRoll::pageCount> pages = {
    "An Ombrelux Production\n\n",
    "Programming & Design\n"
    "Mara Quillfeather\n",
    "Music\n"
    "Tobias Renn\n"
    "Additional Orchestration\n"
    "Ilse Varga\n",
    "Testers\n"
    "Pim Okafor\n"
    "June Halloway\n"
    "Sandor Bright\n"
    "Noor Lindqvist\n",
    "Special Thanks\n"
    "Agnes Whitcombe\n"
    "The Tuesday Night Lab\n"
    "Everyone who played the early builds\n",
    "Made With\n"
    "SFML\n"
    "Box2d\n"
    "ENet\n\n",
    "",
    "",
};

constexpr int fadeInEnd = 44;
constexpr int driftEnd = 284;
constexpr int fadeOutEnd = 314;
constexpr int blankEnd = 345;

}  // namespace

std::string creditsPage(int page)
{
    if (page < 0 || page >= CreditsRoll::pageCount)
        return {};
    return pages[static_cast<std::size_t>(page)];
}

void CreditsRoll::step()
{
    text = creditsPage(page);
    ++counter;
    if (counter <= fadeInEnd) {
        // Rises from the bottom edge while it fades in.
        alpha = static_cast<float>(counter) / 45.f;
        offset += (alpha - 1.f) * 6.f;
    } else if (counter <= driftEnd) {
        offset -= 0.15f;
        alpha = 1.f;
    } else if (counter <= fadeOutEnd) {
        offset -= 0.1f;
        alpha = 1.f - static_cast<float>(counter - 285) / 30.f;
    } else if (counter <= blankEnd) {
        offset = 0.f;
        alpha = 0.f;
    } else {
        counter = 0;
        offset = 0.f;
        page = (page + 1) % pageCount;
    }
}

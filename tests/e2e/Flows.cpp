#include "Flows.h"

#include <cstdlib>

using namespace std::chrono_literals;

namespace e2e {

namespace {
// The middle of menu line i (0: the page title) in a 1024 x 768 window.
int menuLineY(int i)
{
    return static_cast<int>((0.21 + 0.08 * i) * 768.0) + 17;
}
}  // namespace

void clickMenuLine(GameProcess& game, int line, int button)
{
    game.click(250, menuLineY(line), button);
    game.pause(250ms);
}

void leaveTitle(GameProcess& game)
{
    game.click(512, 600);  // title: click to start
    game.pause(1400ms);    // the menu comes in
}

void enterMode(GameProcess& game, int modeSteps)
{
    game.window();
    game.pause(500ms);
    leaveTitle(game);
    for (int i = 0; i < modeSteps; ++i)
        clickMenuLine(game, 2);  // the mode item steps forward
    clickMenuLine(game, 1);  // "Play"
    clickMenuLine(game, 1);  // "Casual"
    game.pause(1900ms);      // the menu slides out and fades
}

int countNear(const sf::Image& image, sf::Color colour, int tolerance, sf::IntRect area)
{
    const sf::Vector2u size = image.getSize();
    if (area.width == 0)
        area = {0, 0, static_cast<int>(size.x), static_cast<int>(size.y)};
    int count = 0;
    for (int y = area.top; y < area.top + area.height && y < static_cast<int>(size.y); ++y)
        for (int x = area.left; x < area.left + area.width && x < static_cast<int>(size.x); ++x) {
            const sf::Color c = image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
            if (std::abs(c.r - colour.r) <= tolerance && std::abs(c.g - colour.g) <= tolerance &&
                std::abs(c.b - colour.b) <= tolerance)
                ++count;
        }
    return count;
}

}  // namespace e2e

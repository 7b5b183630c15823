#include "screens/screen_2.h"

#include <cstdio>

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>

#include "app/GameContext.h"
#include "gfx/GraphicsResources.h"

namespace {

struct Instruction {
    const char* text;
    float x;
    float y;
};

constexpr float W = 1024.f;

const Instruction instructions[5] = {
    {"Aim & then throw with Left Mouse Button\n\nTry to hit one of the green \nmicrobes floating around.",
     0.01f * W + 542.f, 10.f},
    {"Good! Now cause a chain reaction by\nscoring a hit near others.", 0.01f * W + 144.f, 10.f},
    {"Next, keep the frothlet in play by \nbouncing off the paddle near the \nbottom", 0.01f * W + 602.f, 550.f},
    {"Hit more than one microbe with the\nfrothlet to increase the combo count\nand your score!",
     0.01f * W + 144.f, 10.f},
    {"Congrats! \nYou're now ready to play Frothlet.", 0.01f * W + 402.f, 329.f},
};

}  // namespace

screen_2::screen_2(GameContext& ctx) : GameScreen(ctx), tutorial(field)
{
    if (!tutorialToast.create(static_cast<unsigned>(0.24f * W), static_cast<unsigned>(0.1f * 768.f))) {
        std::fputs("failed to creat tut toast texture\n", stdout);
        std::fflush(stdout);
    }
    tutorialToast.clear(sf::Color(0, 205, 0, 55));
    tutorialToast.display();
}

void screen_2::drawOverlay(sf::RenderTarget& target, GraphicsResources& gfx, GameContext&)
{
    const int step = tutorial.tutorialStep;
    panelText.setFont(gfx.font);
    panelText.setCharacterSize(12);
    if (step >= 0 && step <= 4) {
        const Instruction& instruction = instructions[step];
        const bool done = step < 4 && tutorial.stepDone(step);
        sf::Sprite panel(done ? tutorialToast.getTexture() : gfx.toast.getTexture());
        panel.setPosition(instruction.x, instruction.y);
        target.draw(panel);
        panelText.setString(instruction.text);
        panelText.setPosition(instruction.x + 0.01f * W, instruction.y + 10.f);
        target.draw(panelText);
    }
    if (tutorial.toastShowing) {
        sf::Sprite panel(gfx.toast.getTexture());
        panel.setPosition(0.01f * W + 802.f, 10.f);
        target.draw(panel);
        panelText.setString("Click to continue.");
        panelText.setPosition(0.02f * W + 802.f, 37.f);
        target.draw(panelText);
    }
}

bool screen_2::needsFreshRound(const GameContext& ctx) const
{
    return GameScreen::needsFreshRound(ctx) || tutorial.finished();
}

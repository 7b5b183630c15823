#include "screens/screen_7.h"

#include <algorithm>
#include <memory>

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Keyboard.hpp>

#include "app/GameContext.h"
#include "app/RequestedPage.h"
#include "gfx/GraphicsResources.h"

namespace {

// The leave card, in the menu's colours, in the middle of the field.
const sf::Color cardColour(222, 234, 232, 222);
const sf::Color titleBand(24, 78, 88, 240);
const sf::Color titleText(236, 248, 246, 255);
const sf::Color itemText(64, 64, 64, 255);
const sf::Color hoverBar(42, 140, 150, 235);
constexpr float cardLeft = 347.f;
constexpr float cardTop = 290.f;
constexpr float cardWidth = 330.f;
constexpr float rowHeight = 46.f;

float rowTop(int row)
{
    return cardTop + 8.f + rowHeight * static_cast<float>(row);
}

}  // namespace

screen_7::screen_7(GameContext& ctx)
    : screen_6(ctx, std::make_unique<NetWarField>(ctx)), arena(static_cast<NetWarField&>(field))
{
}

void screen_7::Reset(GameContext& ctx)
{
    arena.Reset(ctx);
}

int screen_7::Run(GraphicsResources& gfx, GameContext& ctx)
{
    // A finished round or a torn-down session is never resumed: the visit
    // starts at a fresh lobby.
    if (arena.sessionSeen != ctx.net.closings || (arena.netStep >= NetWarField::playStep && !ctx.net.started))
        Reset(ctx);
    return screen_6::Run(gfx, ctx);
}

screen_7::LeaveChoice screen_7::choiceAt(int x, int y)
{
    if (x < cardLeft || x > cardLeft + cardWidth)
        return ChoiceNone;
    for (const LeaveChoice choice : {ChoiceLeave, ChoiceStay})
        if (y >= rowTop(choice) && y < rowTop(choice) + rowHeight - 8.f)
            return choice;
    return ChoiceNone;
}

int screen_7::handleEvent(const sf::Event& event, GameContext& ctx)
{
    ctx.net.context = &ctx;
    if (event.type == sf::Event::Closed)
        return -1;  // the session says goodbye as the game ends
    if (confirmingLeave)
        return handleConfirmation(event, ctx);
    // Space toggles ready instead of pausing and Escape asks whether to
    // leave: the lobby and the round go on for everybody.
    if (event.type == sf::Event::KeyPressed) {
        if (chatMode != 0)
            return keepRunning;
        if (event.key.code == sf::Keyboard::Escape) {
            confirmingLeave = true;
            hoveredChoice = choiceAt(arena.pointerX, arena.pointerY);
        } else if (event.key.code == sf::Keyboard::Space) {
            ctx.net.toggleReady();
        } else if (event.key.code == sf::Keyboard::V) {
            ctx.audio.musicVolumeDown();
        }
        return keepRunning;
    }
    if (event.type == sf::Event::TextEntered) {
        typed(event.text.unicode, ctx);
        return keepRunning;
    }
    return screen_6::handleEvent(event, ctx);
}

int screen_7::handleConfirmation(const sf::Event& event, GameContext& ctx)
{
    switch (event.type) {
    case sf::Event::KeyPressed:
        if (event.key.code == sf::Keyboard::Escape)
            confirmingLeave = false;
        else if (event.key.code == sf::Keyboard::Return)
            return leaveGame(ctx);
        break;
    case sf::Event::MouseMoved:
        screen_6::handleEvent(event, ctx);
        hoveredChoice = choiceAt(arena.pointerX, arena.pointerY);
        break;
    case sf::Event::MouseButtonPressed:
        hoveredChoice = choiceAt(arena.pointerX, arena.pointerY);
        if (hoveredChoice == ChoiceLeave)
            return leaveGame(ctx);
        if (hoveredChoice == ChoiceStay)
            confirmingLeave = false;
        break;
    default:
        break;
    }
    return keepRunning;
}

int screen_7::leaveGame(GameContext& ctx)
{
    ctx.net.context = &ctx;
    ctx.net.leave();
    confirmingLeave = false;
    chatMode = 0;
    chatInput.clear();
    ctx.requestedPage = PageMain;
    ctx.audio.enterMenuMusic();
    return ScreenMenu;
}

int screen_7::afterFrame(GameContext& ctx)
{
    if (!arena.timeToLeave())
        return keepRunning;
    return leaveGame(ctx);
}

void screen_7::typed(std::uint32_t code, GameContext& ctx)
{
    if (chatMode == 0) {
        if (code == 13)
            chatMode = 1;
        return;
    }
    if (code == 13) {
        ctx.net.context = &ctx;
        ctx.net.sendChat(chatInput);
        chatMode = 0;
        chatInput.clear();
    } else if (code == 8) {
        if (!chatInput.empty())
            chatInput.pop_back();
    } else if (code >= 20 && code <= 127 && chatInput.size() <= longestChatInput - 1) {
        chatInput.push_back(static_cast<char>(code));
        // Long lines wrap every 64 characters.
        if (chatInput.size() % 64 == 0)
            chatInput.push_back('\n');
    }
}

void screen_7::drawCounts(sf::RenderTarget& target, const GameContext& ctx)
{
    const std::size_t known = std::min<std::size_t>(ctx.net.playerNames.size(), WarField::seatCount);
    for (std::size_t i = 0; i < known; ++i)
        drawCount(target, static_cast<int>(i),
                  ctx.net.playerNames[i] + ": " + std::to_string(ctx.warCounts[i]));
}

void screen_7::drawOverlay(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx)
{
    std::string lines;
    for (const std::string& line : ctx.net.chatLines)
        lines += line + "\n";
    if (chatMode > 0)
        lines += chatInput + "_";
    chatText.setFont(gfx.font);
    chatText.setCharacterSize(14);
    chatText.setFillColor(sf::Color(250, 250, 250, 185));
    chatText.setPosition(215.f, 160.f);
    chatText.setString(sf::String::fromUtf8(lines.begin(), lines.end()));
    const sf::FloatRect bounds = chatText.getGlobalBounds();
    sf::RectangleShape panel({bounds.width + 3.f, bounds.height + 3.f});
    panel.setPosition(bounds.left, bounds.top);
    panel.setFillColor(sf::Color(1, 1, 1, 145));
    target.draw(panel);
    target.draw(chatText);
    if (confirmingLeave)
        drawConfirmation(target, gfx);
}

void screen_7::drawConfirmation(sf::RenderTarget& target, GraphicsResources& gfx)
{
    sf::RectangleShape card({cardWidth, 3.f * rowHeight + 8.f});
    card.setPosition(cardLeft, cardTop);
    card.setFillColor(cardColour);
    target.draw(card);
    sf::RectangleShape band({cardWidth, rowHeight});
    band.setPosition(cardLeft, cardTop);
    band.setFillColor(titleBand);
    target.draw(band);
    static const char* const labels[] = {"Leave the game?", "Leave", "Stay"};
    sf::Text label("", gfx.font, 20);
    for (int row = 0; row < 3; ++row) {
        const bool hovered = row != 0 && row == hoveredChoice;
        if (hovered) {
            sf::RectangleShape bar({cardWidth - 20.f, rowHeight - 8.f});
            bar.setPosition(cardLeft + 10.f, rowTop(row) - 4.f);
            bar.setFillColor(hoverBar);
            target.draw(bar);
        }
        label.setString(labels[row]);
        label.setFillColor(row == 0 || hovered ? titleText : itemText);
        label.setPosition(cardLeft + 30.f, rowTop(row) + 2.f);
        target.draw(label);
    }
}

#include "screens/screen_7.h"

#include <algorithm>
#include <memory>

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Keyboard.hpp>

#include "app/GameContext.h"
#include "gfx/GraphicsResources.h"

screen_7::screen_7(GameContext& ctx)
    : screen_6(ctx, std::make_unique<NetWarField>(ctx)), arena(static_cast<NetWarField&>(field))
{
}

void screen_7::Reset(GameContext& ctx)
{
    arena.Reset(ctx);
}

int screen_7::handleEvent(const sf::Event& event, GameContext& ctx)
{
    // Escape and Space toggle ready instead of pausing: the lobby and the
    // round go on for everybody. Closing the window leaves the connection be.
    if (event.type == sf::Event::KeyPressed) {
        if (chatMode != 0)
            return keepRunning;
        if (event.key.code == sf::Keyboard::Escape || event.key.code == sf::Keyboard::Space) {
            ctx.net.context = &ctx;
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
}

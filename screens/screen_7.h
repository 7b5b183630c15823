// Networked war: the war screen with a lobby. Names, chat and ready toggles
// travel through the game's network session; the arena is the networked one.
#pragma once

#include <cstdint>
#include <string>

#include <SFML/Graphics/Text.hpp>

#include "net/NetWarField.h"
#include "screens/screen_6.h"

class screen_7 : public screen_6 {
public:
    static constexpr std::size_t longestChatInput = 194;

    explicit screen_7(GameContext& ctx);

    void Reset(GameContext& ctx) override;
    int Run(GraphicsResources& gfx, GameContext& ctx) override;

    // One typed character (the text event's code): Enter opens and sends a
    // chat line, Backspace takes back, printable characters are typed.
    void typed(std::uint32_t code, GameContext& ctx);

    // The small "Leave the game?" card that Escape opens over the game,
    // which goes on underneath: a network game never pauses.
    enum LeaveChoice : int { ChoiceNone = 0, ChoiceLeave = 1, ChoiceStay = 2 };
    static LeaveChoice choiceAt(int x, int y);

    NetWarField& arena;
    std::int32_t chatMode = 0;
    std::string chatInput;
    bool confirmingLeave = false;
    LeaveChoice hoveredChoice = ChoiceNone;

protected:
    int handleEvent(const sf::Event& event, GameContext& ctx) override;
    void drawCounts(sf::RenderTarget& target, const GameContext& ctx) override;
    void drawOverlay(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx) override;

private:
    int handleConfirmation(const sf::Event& event, GameContext& ctx);
    // Back to the menu's main page with the session torn down.
    int leaveGame(GameContext& ctx);
    int afterFrame(GameContext& ctx) override;
    void drawConfirmation(sf::RenderTarget& target, GraphicsResources& gfx);

    sf::Text chatText;
};

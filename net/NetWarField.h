// The war arena played over the network: every machine runs the whole war,
// the server decides the start, the launch direction and every burst, and
// streams the bubble so that the clients can steer their copies towards it.
#pragma once

#include <cstdint>
#include <string>

#include "world/WarField.h"

class NetSession;

class NetWarField : public WarField {
public:
    static constexpr std::int32_t lobbyStep = 2;
    static constexpr std::int32_t playStep = 600;

    explicit NetWarField(GameContext& ctx);

    void Reset(GameContext& ctx) override;

    // Steers the client's bubble towards the server's last reported one:
    // a jump beyond 48 px, a tenth of the way beyond 4 px, else nothing.
    void correctBubble(const NetSession& net);

    std::int32_t netStep = 0;

protected:
    void networkPhase(GameContext& ctx) override;
    float launchRadians(GameContext& ctx) override;
    bool takeHit(GameContext& ctx, std::size_t index, Microbe& m) override;
    void beforeCounting(GameContext& ctx) override;
    void afterStep(GameContext& ctx) override;
    void roundFinished(GameContext& ctx) override;

private:
    void waitInLobby();
    void markOwnership(bool ownedByOther);
    void pumpWhilePlaying(GameContext& ctx);
};

// The war arena played over the network: every machine runs the whole war,
// the server decides the start, the launch direction and every burst, and
// streams the bubble so that the clients can steer their copies towards it.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "world/WarField.h"

class NetSession;

class NetWarField : public WarField {
public:
    static constexpr std::int32_t lobbyStep = 2;
    static constexpr std::int32_t playStep = 600;
    // Steps between losing the host and going back to the menu: 3 seconds.
    static constexpr std::int32_t lostHostWait = 180;
    // The longest a client ahead of the server waits in one step.
    static constexpr std::chrono::milliseconds catchUpPause{70};

    explicit NetWarField(GameContext& ctx);

    void Reset(GameContext& ctx) override;

    // Steers the client's bubble towards the server's last reported one:
    // a jump beyond 48 px, a tenth of the way beyond 4 px, else nothing.
    void correctBubble(const NetSession& net);

    // True once the host has been gone for lostHostWait steps.
    bool timeToLeave() const { return lostHostSteps == 0; }

    std::array<Seat, 4>& seatsOf(GameContext& ctx) override;

    std::int32_t netStep = 0;
    std::int32_t lostHostSteps = -1;  // counting down once the host is lost
    std::uint32_t sessionSeen = 0;    // the session's closings at the last Reset

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
    void watchHost(const NetSession& net);
};

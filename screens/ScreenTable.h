// The eight screens, each built once at start-up and kept until the end.
#pragma once

#include <memory>
#include <vector>

#include "app/cScreen.h"

struct GameContext;

class ScreenTable {
public:
    // Builds the title screen first, then screens 1 to 8 in order.
    explicit ScreenTable(GameContext& ctx);
    // Destroys screens 8 down to 1, then the title screen.
    ~ScreenTable();

    const std::vector<cScreen*>& table() const { return m_table; }

private:
    std::vector<std::unique_ptr<cScreen>> m_owned;
    std::vector<cScreen*> m_table;
};

#include "screens/ScreenTable.h"

#include "frontend/TemporaryFrontScreens.h"
#include "screens/GameScreen.h"

ScreenTable::ScreenTable(GameContext& ctx)
{
    m_owned.push_back(std::make_unique<TemporaryTitleScreen>());
    m_owned.push_back(std::make_unique<TemporaryMenuScreen>());
    m_owned.push_back(std::make_unique<UnbuiltModeScreen>());
    m_owned.push_back(std::make_unique<screen_3>(ctx));
    m_owned.push_back(std::make_unique<UnbuiltModeScreen>());
    m_owned.push_back(std::make_unique<UnbuiltModeScreen>());
    m_owned.push_back(std::make_unique<UnbuiltModeScreen>());
    m_owned.push_back(std::make_unique<UnbuiltModeScreen>());
    for (auto& screen : m_owned) {
        screen->logicalHeight = 768;
        screen->logicalWidth = 1024;
        m_table.push_back(screen.get());
    }
}

ScreenTable::~ScreenTable()
{
    while (!m_owned.empty())
        m_owned.pop_back();
}

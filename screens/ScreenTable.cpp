#include "screens/ScreenTable.h"

#include "frontend/MenuScreen.h"
#include "frontend/TitleScreen.h"
#include "screens/GameScreen.h"
#include "screens/ReplayScreen.h"
#include "screens/screen_2.h"
#include "screens/screen_4.h"
#include "screens/screen_5.h"
#include "screens/screen_6.h"
#include "screens/screen_7.h"

ScreenTable::ScreenTable(GameContext& ctx)
{
    m_owned.push_back(std::make_unique<screen_0>(ctx));
    m_owned.push_back(std::make_unique<screen_1>(ctx));
    m_owned.push_back(std::make_unique<screen_2>(ctx));
    m_owned.push_back(std::make_unique<screen_3>(ctx));
    m_owned.push_back(std::make_unique<screen_4>(ctx));
    m_owned.push_back(std::make_unique<screen_5>(ctx));
    m_owned.push_back(std::make_unique<screen_6>(ctx));
    m_owned.push_back(std::make_unique<screen_7>(ctx));
    m_owned.push_back(std::make_unique<ReplayScreen>(ctx));
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

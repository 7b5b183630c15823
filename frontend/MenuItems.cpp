#include "frontend/MenuItems.h"

#include <cmath>

namespace menuLayout {

float slideOffset(int step)
{
    const float offset = 0.00001f * std::pow(static_cast<float>(step), 6.f);
    return offset > 1442.f ? 1443.f : offset;
}

}  // namespace menuLayout

int hoverAt(const MenuPage& page, int x, int y, int hiddenItem)
{
    if (x < menuLayout::hoverLeft || x > menuLayout::hoverRight)
        return 0;
    const float py = static_cast<float>(y);
    for (int i = 1; i < static_cast<int>(page.size()); ++i) {
        if (i == hiddenItem || page[static_cast<std::size_t>(i)].action == ActionPageTitle)
            continue;
        const float top = menuLayout::itemY(i);
        if (py > top && py < top + menuLayout::hoverHeight)
            return i;
    }
    return 0;
}

void LineEditor::beginTextEntry(Mode mode)
{
    m_mode = mode;
    m_buffer.clear();
}

LineEditor::Committed LineEditor::typeCharacter(unsigned code)
{
    if (m_mode == None)
        return {};
    if (code == enterKey) {
        Committed committed{m_mode, m_buffer};
        finish();
        return committed;
    }
    if (code == escapeKey) {
        finish();
    } else if (code == backspaceKey) {
        if (!m_buffer.empty())
            m_buffer.pop_back();
    } else if (code >= 20 && code <= 127 && m_buffer.size() < maxLength) {
        m_buffer += static_cast<char>(code);
    }
    return {};
}

void LineEditor::finish()
{
    m_mode = None;
    m_buffer.clear();
}

#include "gui/YLayoutItemButton.h"

#include "gui/YButton.h"
#include "gui/YDC.h"
#include "gui/YLayout.h"

IMPLEMENT_DYNAMIC(YLayoutItemButton, YLayoutItem)

YLayoutItemButton::YLayoutItemButton(int text, int buttonStyle)
    : m_window(nullptr), m_x(0), m_y(0), m_silent(0), m_text(text), m_value(0), m_buttonStyle(buttonStyle)
{
}

int YLayoutItemButton::FrameArgs() const
{
    return 5 + (m_text ? 1 : 0) + (m_buttonStyle == kRadio ? 1 : 0);
}

void YLayoutItemButton::Load(YDC* dc)
{
    if (m_layout && GetArgCount() >= 3) {
        const int count = GetArgCount();
        auto value = [&](int index) { return m_layout->ResolveValue(m_args[index], dc, m_parentGroup); };
        auto text = [&](int index) { return m_layout->ResolveText(m_args[index], dc); };
        m_window = nullptr;
        m_name = text(0);
        int i = 1;
        if (m_text && i < count) m_caption = text(i++);
        if (m_buttonStyle == kRadio && i < count) m_value = value(i++);
        // A radio or text button given three arguments has no y: 0.
        m_x = i < count ? value(i) : 0;
        m_y = i + 1 < count ? value(i + 1) : 0;
        if (i + 2 < count) m_command = text(i + 2);
        if (i + 3 < count) m_toolTip = text(i + 3);
        if (i + 4 < count) m_silent = value(i + 4) != 0;

        m_window = m_layout->GetButton(m_name, this);
        if (m_window) {
            m_window->SetName(m_caption);
            m_window->SetGroup(m_buttonStyle == kRadio ? m_value : 0);
            m_window->Enable(true);
            m_window->SetStyle(m_buttonStyle);
            if (m_buttonStyle != kRadio) m_window->SetCheck(false);
            m_window->m_clickSound = m_silent ? 0 : 1;
            m_layout->SetControlCommand(m_window, m_command);
            m_layout->SetControlTip(m_window, m_toolTip);
        }
    }
    m_loaded = 1;
}

int YLayoutItemButton::Draw(YDC* dc)
{
    const DWORD start = GetTickCount();
    if (!m_loaded || m_trailingR) Load(dc);
    if (m_layout && !m_window) {
        if (dc) dc->TextOut(m_x, m_y, m_name, m_name.GetLength());
    } else if (m_layout) {
        RECT own;
        m_window->GetRect(&own);
        const RECT at = {m_x, m_y, static_cast<LONG>(m_x + static_cast<int64_t>(own.right) - own.left),
                         static_cast<LONG>(m_y + static_cast<int64_t>(own.bottom) - own.top)};
        RECT group;
        const RECT placed = PlaceInGroup(dc, at, &group);
        m_window->MoveTo(&placed);
        m_window->m_visible = Inside(placed, group) ? 1 : 0;

        const int b = FrameArgs();
        const int count = GetArgCount();
        if (b < count) m_window->m_clickSound = m_layout->ResolveValue(m_args[b], dc, m_parentGroup) == 0 ? 1 : 0;
        if (b + 1 < count) m_window->Enable(m_layout->ResolveValue(m_args[b + 1], dc, m_parentGroup) == 0);
        if (b + 2 < count) m_window->SetCheck(m_layout->ResolveValue(m_args[b + 2], dc, m_parentGroup) != 0);
        m_layout->DrawControl(m_window, dc);
    }
    m_cost = static_cast<int32_t>(GetTickCount() - start);
    if (m_layout) m_layout->m_controlTime += m_cost;
    return 0;
}

void YLayoutItemButton::Hide()
{
    if (YWindow* window = LoadedControl(m_window)) window->m_visible = 0;
}

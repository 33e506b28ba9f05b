#include "gui/YLayoutItemSlider.h"

#include "gui/YDC.h"
#include "gui/YLayout.h"
#include "gui/YSlider.h"

IMPLEMENT_DYNAMIC(YLayoutItemSlider, YLayoutItem)

YLayoutItemSlider::YLayoutItemSlider()
    : m_window(nullptr), m_rect{0, 0, 0, 0}, m_minimum(1), m_maximum(100), m_step(1), m_value(1)
{
}

void YLayoutItemSlider::Load(YDC* dc)
{
    const int count = GetArgCount();
    if (m_layout && count >= 5) {
        auto value = [&](int index) { return m_layout->ResolveValue(m_args[index], dc, m_parentGroup); };
        m_window = nullptr;
        m_name = m_layout->ResolveText(m_args[0], dc);
        m_rect = RECT{value(1), value(2), value(3), value(4)};
        if (count > 5) m_command = m_layout->ResolveText(m_args[5], dc);
        if (count > 6) m_minimum = value(6);
        if (count > 7) m_maximum = value(7);
        if (count > 8) m_step = value(8);
        if (count > 9) m_value = value(9);
        m_window = m_layout->GetSlider(m_name, this);
        if (m_window) {
            m_window->SetStep(m_step);
            m_window->SetMin(m_minimum);
            m_window->SetMax(m_maximum);
            m_window->SetValue(m_value);
            m_layout->SetControlCommand(m_window, m_command);
        }
    }
    m_loaded = 1;
}

int YLayoutItemSlider::Draw(YDC* dc)
{
    const DWORD start = GetTickCount();
    if (!m_loaded || m_trailingR) Load(dc);
    if (m_layout && m_window) {
        PlaceControl(dc, m_window, m_rect);
        m_layout->DrawControl(m_window, dc);
    } else if (m_layout && dc) {
        const RECT placed = PlaceInGroup(dc, m_rect, nullptr);
        CBrush fill(kPlaceholderFill);
        CPen outline(PS_SOLID, 1, kPlaceholderOutline);
        dc->Rectangle(&placed, &fill, &outline);
        dc->TextOut(placed.left, placed.top, m_name, m_name.GetLength());
    }
    m_cost = static_cast<int32_t>(GetTickCount() - start);
    if (m_layout) m_layout->m_controlTime += m_cost;
    return 0;
}

void YLayoutItemSlider::Hide()
{
    if (YWindow* window = LoadedControl(m_window)) window->m_visible = 0;
}

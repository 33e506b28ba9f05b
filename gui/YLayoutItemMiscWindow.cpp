#include "gui/YLayoutItemMiscWindow.h"

#include "graphics2d/YFont.h"
#include "gui/YDC.h"
#include "gui/YLayout.h"
#include "gui/YWindow.h"

IMPLEMENT_DYNAMIC(YLayoutItemMiscWindow, YLayoutItem)

int YLayoutItemMiscWindow::s_count = 0;

YLayoutItemMiscWindow::YLayoutItemMiscWindow(int kind)
    : m_window(nullptr), m_rect{0, 0, 0, 0}, m_font(nullptr), m_spacing(0), m_kind(kind)
{
    m_name.Format("~Misc_Window_%d", s_count);
    s_count = (s_count + 1) % kNameCycle;
}

void YLayoutItemMiscWindow::Load(YDC* dc)
{
    m_window = nullptr;
    m_font = nullptr;
    m_spacing = 0;
    const int count = GetArgCount();
    if (m_layout && count >= 4) {
        auto value = [&](int index) { return m_layout->ResolveValue(m_args[index], dc, m_parentGroup); };
        m_rect = RECT{value(0), value(1), value(2), value(3)};
        int style = 0;
        int fontAt = 4;
        if (m_kind == TextField) {
            if (count > 4) style = value(4);
            fontAt = 5;
        }
        if (count > fontAt) m_font = m_layout->GetFont(m_layout->ResolveText(m_args[fontAt], dc));
        if (count > fontAt + 1) m_spacing = value(fontAt + 1);
        m_window = m_layout->GetMiscWindow(m_name, this, m_kind);
        if (m_window) {
            if (m_kind == TextField) m_window->SetStyle(style);
            if (m_font) {
                m_font->SetSpacing(m_spacing);
                m_window->SetFont(m_font);
            }
        }
    }
    m_loaded = 1;
}

int YLayoutItemMiscWindow::Draw(YDC* dc)
{
    const DWORD start = GetTickCount();
    if (!m_loaded || m_trailingR) Load(dc);
    if (m_layout && m_window) {
        PlaceControl(dc, m_window, m_rect);
        m_layout->DrawControl(m_window, dc);
    }
    m_cost = static_cast<int32_t>(GetTickCount() - start);
    if (m_layout) m_layout->m_controlTime += m_cost;
    return 0;
}

void YLayoutItemMiscWindow::Hide()
{
    if (YWindow* window = LoadedControl(m_window)) window->m_visible = 0;
}

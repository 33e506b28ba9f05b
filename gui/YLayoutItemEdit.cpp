#include "gui/YLayoutItemEdit.h"

#include "graphics2d/YFont.h"
#include "gui/YDC.h"
#include "gui/YEditBox.h"
#include "gui/YLayout.h"

IMPLEMENT_DYNAMIC(YLayoutItemEdit, YLayoutItem)

int YLayoutItemEdit::s_count = 0;

YLayoutItemEdit::YLayoutItemEdit(int kind)
    : m_window(nullptr), m_rect{0, 0, 0, 0}, m_font(nullptr), m_spacing(0), m_kind(kind), m_hideOnEnter(1)
{
    m_name.Format("Edit%d", s_count++);
}

void YLayoutItemEdit::Load(YDC* dc)
{
    m_window = nullptr;
    m_font = nullptr;
    m_spacing = 0;
    const int count = GetArgCount();
    auto value = [&](int index) { return m_layout->ResolveValue(m_args[index], dc, m_parentGroup); };
    auto text = [&](int index) { return m_layout->ResolveText(m_args[index], dc); };
    auto takeFont = [&]() {
        if (!m_window || !m_font) return;
        m_font->SetSpacing(m_spacing);
        m_window->SetFont(m_font);
    };
    if (m_layout && m_kind == Edit && count >= 5) {
        m_rect = RECT{value(1), value(2), value(3), value(4)};
        if (count > 5) m_command = text(5);
        if (count > 6) m_initialText = text(6);
        if (count > 7) m_font = m_layout->GetFont(text(7));
        if (count > 8) m_spacing = value(8);
        if (count > 9) m_hideOnEnter = value(9) != 0;
        m_window = m_layout->GetEditBox(m_name, this);
        if (m_window) {
            takeFont();
            m_window->SetStyle(kBoxStyle);
            m_window->SetName(m_initialText);
            m_layout->SetControlCommand(m_window, m_command);
            m_window->SetFocus();
        }
    } else if (m_layout && m_kind == EditField && count >= 4) {
        m_rect = RECT{value(0), value(1), value(2), value(3)};
        const int style = count > 4 && value(4) != 0 ? kBoxStyle : 0;
        if (count > 5) m_font = m_layout->GetFont(text(5));
        if (count > 6) m_spacing = value(6);
        m_window = m_layout->GetEditBox(m_name, this);
        if (m_window) {
            m_window->SetStyle(style);
            takeFont();
        }
    }
    m_loaded = 1;
}

int YLayoutItemEdit::Draw(YDC* dc)
{
    const DWORD start = GetTickCount();
    if (!m_loaded || m_trailingR) Load(dc);
    if (m_layout && m_window) {
        if (m_kind == Edit) {
            DrawEdit(dc);
        } else {
            PlaceControl(dc, m_window, m_rect);
            m_layout->DrawControl(m_window, dc);
        }
    }
    m_cost = static_cast<int32_t>(GetTickCount() - start);
    if (m_layout) m_layout->m_controlTime += m_cost;
    return 0;
}

void YLayoutItemEdit::DrawEdit(YDC* dc)
{
    const int open = GetArgCount() > 0 ? m_layout->ResolveValue(m_args[0], dc, m_parentGroup) : 0;
    const bool wasOpen = m_window->m_visible != 0;
    if (!wasOpen) {
        if (open == 0) return;
        // The box opens empty.
        m_window->SetName("");
    }
    if (PlaceControl(dc, m_window, m_rect)) m_window->SetName("");
    if (m_window->m_visible) {
        m_layout->KeyboardOn(false);
        if (!m_window->HasFocus(false)) {
            YWindow* parent = m_window->GetParent();
            YWindow* grandparent = parent ? parent->GetParent() : nullptr;
            if ((parent && parent->HasFocus(false)) || (grandparent && grandparent->HasFocus(false)))
                m_window->SetFocus();
        }
    } else {
        if (YWindow* owner = m_layout->GetParent()) owner->SetFocus();
        // Leaving the block closes the box: the game's keys come back.
        if (wasOpen) m_layout->KeyboardOn(true);
    }
    m_layout->DrawControl(m_window, dc);
}

void YLayoutItemEdit::Close()
{
    YWindow* window = LoadedControl(m_window);
    if (!window || !window->m_visible) return;
    window->m_visible = 0;
    if (m_kind == Edit) m_layout->KeyboardOn(true);
}

void YLayoutItemEdit::Hide() { Close(); }

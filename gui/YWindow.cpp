#include "gui/YWindow.h"

#include "gui/YDC.h"

IMPLEMENT_SERIAL(YWindow, YResource, 1)

YWindow* YWindow::s_focus = nullptr;
YWindow* YWindow::s_capture = nullptr;

YWindow::YWindow()
    : m_visible(1), m_modal(0), m_foreColour(0), m_style(0), m_rect{0, 0, 0, 0}, m_parent(nullptr),
      m_children(new CObList), m_created(0), m_windowId(0), m_drawBackground(1), m_lastDC(nullptr), m_font(nullptr)
{
}

YWindow::~YWindow()
{
    while (!m_children->IsEmpty()) {
        YWindow* child = static_cast<YWindow*>(m_children->GetHead());
        child->SetParent(nullptr);
        delete child;
    }
    delete m_children;
    SetParent(nullptr);
    if (s_focus == this) s_focus = nullptr;
    if (s_capture == this) s_capture = nullptr;
}

int YWindow::Create(int, const char* text, int style, const RECT* rect, YWindow* parent, int id, int)
{
    m_style = style;
    if (rect) m_rect = *rect;
    m_text = text ? text : "";
    if (parent) {
        OffsetRect(&m_rect, parent->m_rect.left, parent->m_rect.top);
        SetParent(parent);
    }
    m_windowId = id;
    m_created = 1;
    return 1;
}

void YWindow::SetFocus() { s_focus = this; }

int YWindow::SetStyle(int style)
{
    m_style = style;
    return m_style;
}

bool YWindow::HasFocus(bool selfOnly)
{
    if (!selfOnly)
        for (POSITION at = m_children->GetHeadPosition(); at;)
            if (static_cast<YWindow*>(m_children->GetNext(at))->HasFocus(false)) return true;
    return s_focus == this;
}

YFont* YWindow::SetFont(YFont* font)
{
    YFont* previous = m_font;
    m_font = font;
    return previous;
}

int YWindow::Draw(YDC* dc)
{
    if (!m_visible || !dc) return 0;
    YFont* old = m_font ? dc->SwapFont(m_font) : nullptr;
    if (m_drawBackground) DrawBackground(dc);
    DrawForeground(dc);
    for (POSITION at = m_children->GetHeadPosition(); at;) static_cast<YWindow*>(m_children->GetNext(at))->Draw(dc);
    m_lastDC = dc;
    if (m_font) dc->SwapFont(old);
    return 0;
}

void YWindow::AddChild(YWindow* child)
{
    if (child) m_children->AddTail(child);
}

RECT* YWindow::GetRect(RECT* out)
{
    if (out) *out = m_rect;
    return out;
}

void YWindow::MoveTo(const RECT* rect)
{
    if (!rect) return;
    const int dx = rect->left - m_rect.left, dy = rect->top - m_rect.top;
    for (POSITION at = m_children->GetHeadPosition(); at;) {
        YWindow* child = static_cast<YWindow*>(m_children->GetNext(at));
        RECT moved;
        child->GetRect(&moved);
        OffsetRect(&moved, dx, dy);
        child->MoveTo(&moved);
    }
    m_rect = *rect;
}

void YWindow::GetName(CString& out) { out = m_text; }

void YWindow::SetName(const char* text) { m_text = text ? text : ""; }

YWindow* YWindow::ChildFromPoint(int x, int y, int flags)
{
    if (!m_visible) return nullptr;
    for (POSITION at = m_children->GetHeadPosition(); at;)
        if (YWindow* hit = static_cast<YWindow*>(m_children->GetNext(at))->ChildFromPoint(x, y, flags)) return hit;
    POINT point = {x, y};
    return PtInRect(&m_rect, point) ? this : nullptr;
}

YDC* YWindow::GetLastDC() { return m_lastDC; }

void YWindow::ReleaseDC(YDC*) {}

COLORREF YWindow::GetForeColor() { return m_foreColour; }

int YWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_visible) return 0;
    const int x = static_cast<int>(LOWORD(lParam)), y = static_cast<int>(HIWORD(lParam));
    const int flags = static_cast<int>(wParam);
    auto under = [&]() -> YWindow* {
        YWindow* hit = ChildFromPoint(x, y, 0);
        return hit && hit->m_visible ? hit : nullptr;
    };
    switch (message) {
    case WM_MOUSEMOVE:
        (s_capture ? s_capture : this)->OnMouseMove(flags, x, y);
        break;
    case WM_LBUTTONDOWN:
        if (s_capture) {
            s_capture->OnLButtonDown(flags, x, y);
        } else if (YWindow* target = under()) {
            s_focus = target;
            target->OnLButtonDown(flags, x, y);
        }
        break;
    case WM_LBUTTONUP:
        if (s_capture) s_capture->OnLButtonUp(flags, x, y);
        else if (YWindow* target = under()) target->OnLButtonUp(flags, x, y);
        break;
    case WM_KEYDOWN:
        if (s_focus && s_focus->m_visible)
            s_focus->OnKeyDown(static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_CHAR:
        if (s_focus && s_focus->m_visible) s_focus->OnChar(static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_NOTIFY:
        OnNotify(static_cast<int>(wParam), static_cast<int>(lParam));
        break;
    default: break;
    }
    return 0;
}

void YWindow::OnMouseMove(int, int, int) {}

void YWindow::OnLButtonDown(int flags, int x, int y)
{
    if (m_parent && !IsDisabled()) m_parent->OnLButtonDown(flags, x, y);
}

void YWindow::OnLButtonUp(int flags, int x, int y)
{
    if (!m_parent || IsDisabled()) return;
    m_parent->OnLButtonUp(flags, x, y);
    m_parent->HandleMessage(WM_NOTIFY, static_cast<WPARAM>(m_windowId), static_cast<LPARAM>(kNotifyClicked));
}

void YWindow::OnKeyDown(int key, int repeat, int keyFlags)
{
    if (m_parent && !IsDisabled()) m_parent->OnKeyDown(key, repeat, keyFlags);
}

void YWindow::OnNotify(int id, int code)
{
    if (m_parent) m_parent->OnNotify(id, code);
}

int YWindow::OnChar(int ch, int repeat, int keyFlags)
{
    if (m_parent && !IsDisabled()) return m_parent->OnChar(ch, repeat, keyFlags);
    return 0;
}

void YWindow::DrawBackground(YDC*) {}

void YWindow::DrawForeground(YDC*) {}

YWindow* YWindow::SetParent(YWindow* parent)
{
    YWindow* old = m_parent;
    if (old) {
        POSITION at = old->m_children->Find(this);
        if (at) old->m_children->RemoveAt(at);
    }
    if (parent) parent->AddChild(this);
    m_parent = parent;
    return old;
}

void YWindow::Enable(bool on)
{
    if (on) m_style &= ~kDisabledStyle;
    else m_style |= kDisabledStyle;
}

YWindow* YWindow::GetChild(int index) const
{
    POSITION at = index >= 0 ? m_children->FindIndex(index) : nullptr;
    return at ? static_cast<YWindow*>(m_children->GetAt(at)) : nullptr;
}

#include "gui/YToolTipCtrl.h"

#include "graphics2d/YDXSurface.h"
#include "gui/YDC.h"

YToolTipCtrl::YToolTipCtrl() : YToolTipCtrl(RGB(255, 255, 255)) {}

YToolTipCtrl::YToolTipCtrl(COLORREF background)
    : m_tips(new YTipList), m_hoverStart(0), m_current(nullptr), m_background(new CBrush(background))
{
    m_drawBackground = 0;
}

YToolTipCtrl::~YToolTipCtrl()
{
    for (POSITION at = m_tips->GetHeadPosition(); at;) delete m_tips->GetNextTip(at);
    delete m_tips;
    m_tips = nullptr;
    delete m_background;
    m_background = nullptr;
}

int YToolTipCtrl::Create(YWindow* parent, int style)
{
    const RECT empty = {0, 0, 0, 0};
    return YWindow::Create(0, "", style, &empty, parent, 0, 0);
}

YToolTipCtrl::Tip* YToolTipCtrl::FindTip(YWindow* window)
{
    for (POSITION at = m_tips->GetHeadPosition(); at;) {
        Tip* tip = m_tips->GetNextTip(at);
        if (tip->m_window == window) return tip;
    }
    return nullptr;
}

YWindow* YToolTipCtrl::GetTipWindow(int index) const
{
    if (index < 0 || index >= GetTipCount()) return nullptr;
    POSITION at = m_tips->FindIndex(index);
    return at ? static_cast<Tip*>(m_tips->GetAt(at))->m_window : nullptr;
}

int YToolTipCtrl::AddTip(YWindow* window, const char* text, int, int)
{
    RemoveTip(window);
    m_tips->AddTail(new Tip(window, text));
    return 1;
}

void YToolTipCtrl::SetTip(YWindow* window, const char* text)
{
    if (Tip* tip = FindTip(window)) tip->m_text = text ? text : "";
    else AddTip(window, text, 0, 0);
}

int YToolTipCtrl::RemoveTip(YWindow* window)
{
    for (POSITION at = m_tips->GetHeadPosition(); at;) {
        POSITION here = at;
        Tip* tip = m_tips->GetNextTip(at);
        if (tip->m_window != window) continue;
        m_tips->RemoveAt(here);
        delete tip;
        if (m_current == window) m_current = nullptr;
        return 1;
    }
    return 0;
}

void YToolTipCtrl::SetBackground(COLORREF colour)
{
    CBrush* brush = new CBrush(colour);
    delete m_background;
    m_background = brush;
}

int YToolTipCtrl::DrawOverlay(YDC* dc)
{
    YWindow* hovered = s_hover;
    Tip* tip = hovered ? FindTip(hovered) : nullptr;
    if (!tip || tip->m_text.IsEmpty()) {
        m_current = nullptr;
        return 0;
    }
    const DWORD now = GetTickCount();
    if (tip->m_window != m_current) {
        m_hoverStart = now;
        m_current = tip->m_window;
    }
    if (now - m_hoverStart <= static_cast<DWORD>(kDelay) || !dc) return 0;
    YFont* old = m_font ? dc->SwapFont(m_font) : nullptr;
    SIZE size = {0, 0};
    dc->GetTextExtent(tip->m_text, &size);
    RECT at;
    hovered->GetRect(&at);
    long long left = at.left, top = static_cast<long long>(at.top) - size.cy - 6;
    long long right = left + size.cx + 4, bottom = at.top - 2LL;
    // Kept on the surface, one correction at most.
    if (YDXSurface* surface = dc->GetSurface()) {
        const long long width = surface->GetWidth(), height = surface->GetHeight();
        long long dx = 0, dy = 0;
        if (bottom >= height) dy = height - bottom;
        else if (right >= width) dx = width - right;
        else if (left < 0) dx = -left;
        else if (top < 0) dy = -top;
        left += dx, right += dx, top += dy, bottom += dy;
    }
    const RECT box = {Clamped(left), Clamped(top), Clamped(right), Clamped(bottom)};
    if (m_background) dc->Rectangle(&box, m_background, nullptr);
    dc->TextOut(Clamped(left + 2), Clamped(top + 2), tip->m_text, tip->m_text.GetLength());
    if (m_font) dc->SwapFont(old);
    return 0;
}

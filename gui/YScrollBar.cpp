#include "gui/YScrollBar.h"

#include <cstdint>

#include "foundation/YResourceVisitor.h"
#include "gui/YDC.h"

IMPLEMENT_SERIAL(YScrollBar, YWindow, 1)

YScrollBar::YScrollBar()
    : m_pos(0), m_min(0), m_max(0), m_pressedPart(kNoPart), m_pressPoint{0, 0}, m_arrow0Down(0), m_arrow1Down(0),
      m_callback(nullptr), m_posAtPress(0)
{
}

int YScrollBar::Create(int style, const RECT* rect, YWindow* parent, int id)
{
    return YWindow::Create(0, "", style, rect, parent, id, 0);
}

int YScrollBar::Accept(YResourceVisitor* visitor) { return visitor->VisitScrollBar(this); }

void YScrollBar::SetRange(int minimum, int maximum, int)
{
    m_min = minimum;
    m_max = maximum;
}

void YScrollBar::GetRange(int* minimum, int* maximum)
{
    if (minimum) *minimum = m_min;
    if (maximum) *maximum = m_max;
}

void YScrollBar::SetPos(int position, int) { m_pos = position; }

int YScrollBar::GetPos() { return m_pos; }

int YScrollBar::InRange(long long position) const
{
    if (position > m_max) position = m_max;
    if (position < m_min) position = m_min;
    return static_cast<int>(position);
}

// ------------------------------------------------------------------ parts

int YScrollBar::PartSize(int index, int fallback)
{
    YResource* image = GetResourceAt(index);
    if (!image) return fallback;
    return IsVertical() ? image->GetHeight() : image->GetWidth();
}

bool YScrollBar::GetPartRect(int part, RECT* out)
{
    if (!out || part < kArrowEnd || part > kThumb) return false;
    const bool vertical = IsVertical();
    const int a = PartSize(2, kDefaultArrow), b = PartSize(3, kDefaultArrow);
    const int h = GetResourceAt(1) ? PartSize(1, 0) / 2 : kDefaultHalfThumb;
    // Along the axis: start and end of the bar.
    const long long start = vertical ? m_rect.top : m_rect.left, end = vertical ? m_rect.bottom : m_rect.right;
    const long long track = end - start - a - b;
    const long long centre = start + a +
                             MulDivWide(track, static_cast<long long>(m_pos) - m_min,
                                        static_cast<long long>(m_max) - m_min) + 1;
    long long from = 0, to = 0;
    switch (part) {
    case kArrowEnd: from = end - b, to = end; break;
    case kArrowStart: from = start, to = start + a; break;
    case kPageEnd: from = centre + h + 1, to = end - b; break;
    case kPageStart: from = start + a, to = centre - h - 1; break;
    default: from = centre - h, to = centre + h; break;
    }
    if (vertical) *out = RECT{m_rect.left, Clamped(from), m_rect.right, Clamped(to)};
    else *out = RECT{Clamped(from), m_rect.top, Clamped(to), m_rect.bottom};
    return true;
}

int YScrollBar::PartFromPoint(int x, int y)
{
    static const int kOrder[] = {kArrowStart, kPageStart, kThumb, kPageEnd, kArrowEnd};
    const POINT point = {x, y};
    for (int part : kOrder) {
        RECT r;
        if (GetPartRect(part, &r) && PtInRect(&r, point)) return part;
    }
    return kNoPart;
}

// ------------------------------------------------------------------ mouse

void YScrollBar::OnLButtonDown(int, int x, int y)
{
    m_pressedPart = PartFromPoint(x, y);
    m_pressPoint = POINT{x, y};
    m_posAtPress = m_pos;
    s_capture = this;
    if (m_pressedPart == kNoPart) return;
    const long long range = static_cast<long long>(m_max) - m_min;
    long long step = 0;
    switch (m_pressedPart) {
    case kArrowEnd:
        step = range / 100;
        if (step < 1) step = 1;
        m_arrow0Down = 1;
        break;
    case kArrowStart:
        step = -(range / 100);
        if (step > -1) step = -1;
        m_arrow1Down = 1;
        break;
    case kPageEnd:
        step = range / 10;
        if (step < 1) step = 1;
        break;
    case kPageStart:
        step = -(range / 10);
        if (step > -1) step = -1;
        break;
    default: break;
    }
    m_pos = InRange(m_pos + step);
    if (m_callback) m_callback(m_pos);
    if (m_parent)
        m_parent->HandleMessage(WM_NOTIFY, static_cast<WPARAM>(m_windowId), static_cast<LPARAM>(m_pressedPart));
}

int YScrollBar::OnLButtonDblClk(int flags, int x, int y)
{
    OnLButtonDown(flags, x, y);
    return 0;
}

void YScrollBar::OnMouseMove(int, int x, int y)
{
    if (m_pressedPart != kThumb) return;
    const bool vertical = IsVertical();
    const long long origin = vertical ? m_rect.top : m_rect.left;
    const long long extent = (vertical ? m_rect.bottom : m_rect.right) - origin;
    // Wide, so that a thumb dragged past the end of a wide range stays at the end.
    m_pos = InRange(m_min + MulDivWide((vertical ? y : x) - origin, static_cast<long long>(m_max) - m_min, extent));
    if (m_callback) m_callback(m_pos);
}

void YScrollBar::OnLButtonUp(int, int, int)
{
    if (s_capture == this) s_capture = nullptr;
    m_arrow0Down = 0;
    m_arrow1Down = 0;
    m_pressedPart = kNoPart;
}

// ------------------------------------------------------------------ drawing

void YScrollBar::DrawBackground(YDC* dc)
{
    if (!DrawResource(dc, &m_rect, 0)) YWindow::DrawBackground(dc);
}

int YScrollBar::Draw(YDC* dc)
{
    if (!m_visible || !dc) return 0;
    DrawBackground(dc);
    RECT r;
    // Image 2 sizes the start arrow but is drawn over the end arrow.
    if (m_arrow0Down && GetPartRect(kArrowEnd, &r)) DrawResource(dc, &r, 2);
    if (m_arrow1Down && GetPartRect(kArrowStart, &r)) DrawResource(dc, &r, 3);
    if (GetPartRect(kThumb, &r)) DrawResource(dc, &r, 1);
    m_lastDC = dc;
    return 0;
}

// ------------------------------------------------------------------ archive

void YScrollBar::Serialize(CArchive& ar)
{
    YWindow::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_max) << static_cast<DWORD>(m_min);
    } else {
        DWORD maximum, minimum;
        ar >> maximum >> minimum;
        m_max = static_cast<int32_t>(maximum);
        m_min = static_cast<int32_t>(minimum);
    }
}

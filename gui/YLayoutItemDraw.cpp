#include "gui/YLayoutItemDraw.h"

#include <algorithm>

#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFont.h"
#include "gui/YDC.h"
#include "gui/YLayout.h"
#include "gui/YLayoutGroup.h"

IMPLEMENT_DYNAMIC(YLayoutItemDraw, YLayoutItem)

namespace {

COLORREF Colour(int red, int green, int blue)
{
    return static_cast<COLORREF>((red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16);
}

bool Inside(const RECT& rect, const RECT& group)
{
    RECT both;
    IntersectRect(&both, &rect, &group);
    return EqualRect(&both, &rect) != 0;
}

}  // namespace

YLayoutItemDraw::YLayoutItemDraw(int kind)
    : m_kind(kind), m_rect{0, 0, 0, 0}, m_font(nullptr), m_spacing(0), m_rate(kDefaultRate), m_repeat(1),
      m_shown(0), m_gridStepX(kDefaultGridStep), m_gridStepY(kDefaultGridStep), m_tickStart(0), m_colour(0)
{
}

int YLayoutItemDraw::Value(int index, YDC* dc) { return m_layout->ResolveValue(m_args[index], dc, m_parentGroup); }

CString YLayoutItemDraw::Text(int index, YDC* dc) { return m_layout->ResolveText(m_args[index], dc); }

YFont* YLayoutItemDraw::FontArg(int index, YDC* dc) { return m_layout->GetFont(Text(index, dc), nullptr); }

void YLayoutItemDraw::Load(YDC* dc)
{
    m_rect = RECT{0, 0, 0, 0};
    m_font = nullptr;
    m_spacing = 0;
    m_rate = kDefaultRate;
    m_repeat = 1;
    m_shown = 0;
    m_tickStart = GetTickCount();
    m_gridStepX = m_gridStepY = kDefaultGridStep;
    m_colour = 0;
    if (!m_layout) {
        m_loaded = 1;
        return;
    }
    const int count = GetArgCount();

    if (IsText()) {
        if (count >= 2) {
            m_text = Text(0, dc);
            if (m_kind <= TextMiddle) {
                m_rect.left = Value(1, dc);
                if (count > 2) m_rect.top = Value(2, dc);
                if (count > 3) m_font = FontArg(3, dc);
            } else if (count >= 5) {
                m_rect = RECT{Value(1, dc), Value(2, dc), Value(3, dc), Value(4, dc)};
                if (m_kind == TextBox) {
                    if (count > 5) m_font = FontArg(5, dc);
                } else {
                    if (count > 5) m_rate = Value(5, dc);
                    if (count > 6) m_repeat = Value(6, dc) != 0;
                    if (count > 7) m_font = FontArg(7, dc);
                }
            }
        }
        if (!m_font && dc) {
            // The context's own font lends its spacing; the item does not keep it yet.
            YFont* current = dc->SwapFont(nullptr);
            dc->SwapFont(current);
            if (current) m_spacing = current->GetSpacing();
        }
        const int spacingArg = m_kind <= TextMiddle ? 4 : m_kind == TextBox ? 6 : 8;
        if (count >= 2 && count > spacingArg) m_spacing = Value(spacingArg, dc);
    } else if (m_kind == GridRect) {
        if (count > 3) m_rect = RECT{Value(0, dc), Value(1, dc), Value(2, dc), Value(3, dc)};
        if (count > 5) {
            m_gridStepX = Value(4, dc);
            m_gridStepY = Value(5, dc);
        }
        if (count >= 9) m_colour = Colour(Value(6, dc), Value(7, dc), Value(8, dc));
    } else if (count >= 4) {
        m_rect = RECT{Value(0, dc), Value(1, dc), Value(2, dc), Value(3, dc)};
        if (count == 7) m_colour = Colour(Value(4, dc), Value(5, dc), Value(6, dc));
    }
    m_loaded = 1;
}

int YLayoutItemDraw::Draw(YDC* dc)
{
    const DWORD start = GetTickCount();
    if (!m_loaded || m_trailingR) Load(dc);
    if (!m_layout || !dc) {
        m_cost = static_cast<int32_t>(GetTickCount() - start);
        return 0;
    }

    RECT group;
    const RECT rect = PlaceInGroup(dc, m_rect, &group);

    if (IsText()) DrawString(dc, group, rect);
    else DrawShape(dc, group, rect);

    m_cost = static_cast<int32_t>(GetTickCount() - start);
    m_layout->m_textTime += m_cost;
    return 0;
}

void YLayoutItemDraw::DrawString(YDC* dc, const RECT& group, const RECT& rect)
{
    if (GetArgCount() > 0) m_text = Text(0, dc);
    // Without a named font the context's current one stays and becomes the item's.
    if (!m_font) m_font = dc->GetFont();
    YFont* previous = dc->SwapFont(m_font);
    int oldSpacing = 0;
    if (m_font) {
        oldSpacing = m_font->GetSpacing();
        m_font->SetSpacing(m_spacing);
    }

    CString text = m_text;
    if (m_kind == TextTicker && m_rate != 0 && !m_text.IsEmpty()) {
        const DWORD now = GetTickCount();
        const int length = m_text.GetLength();
        double shown = static_cast<double>(now - m_tickStart) * 0.001 * m_rate;
        shown = std::max(-1.0, std::min(shown, static_cast<double>(length)));
        m_shown = static_cast<int32_t>(shown);
        const int count = std::max(1, std::min<int>(m_shown, length));
        text = m_text.Left(count);
        if (count == length) {
            if (m_repeat) {
                m_shown = 0;
                m_tickStart = now;
            } else {
                m_rate = 0;
            }
        }
    }

    if (m_kind == TextBox || m_kind == TextTicker) {
        // A box cut by the group's edge, or no box at all, shows nothing.
        RECT box = rect;
        if (!IsRectEmpty(&box) && Inside(box, group)) dc->DrawText(text, &box, kWordBreak);
    } else {
        SIZE size = {0, 0};
        dc->GetTextExtent(text, &size);
        int64_t x = rect.left, y = rect.top;
        if (m_kind == TextCentred) x -= size.cx / 2;
        else if (m_kind == TextRight) x -= size.cx;
        else if (m_kind == TextMiddle) {
            x -= size.cx / 2;
            y -= size.cy / 2;
        }
        if (x >= group.left && x + size.cx <= group.right && y >= group.top && y + size.cy <= group.bottom)
            dc->TextOut(static_cast<int>(x), static_cast<int>(y), text, text.GetLength());
    }

    if (m_font) m_font->SetSpacing(oldSpacing);
    dc->SwapFont(previous);
}

void YLayoutItemDraw::DrawShape(YDC* dc, const RECT& group, const RECT& rect)
{
    CPen pen(PS_SOLID, 1, m_colour);
    CBrush brush(m_colour);
    if (m_kind == LineShape) {
        dc->DrawLine(rect.left, rect.top, rect.right, rect.bottom, &pen);
        return;
    }
    if (!Inside(rect, group)) return;
    if (m_kind == FramedRect) {
        dc->FrameRect(&rect, &brush);
    } else if (m_kind == FilledRect) {
        dc->Rectangle(&rect, &brush, &pen);
    } else if (m_kind == GridRect) {
        dc->FrameRect(&rect, &brush);
        // A step that does not move on would never end: the frame alone then.
        if (m_gridStepX <= 0 || m_gridStepY <= 0) return;
        // Lines off the target cannot show; a huge grid costs only what shows.
        int64_t right = rect.right, bottom = rect.bottom;
        int64_t firstX = rect.left, firstY = rect.top;
        if (YDXSurface* target = dc->GetSurface()) {
            right = std::min<int64_t>(right, target->GetWidth());
            bottom = std::min<int64_t>(bottom, target->GetHeight());
            if (firstX < 0) firstX += (-firstX / m_gridStepX) * m_gridStepX;
            if (firstY < 0) firstY += (-firstY / m_gridStepY) * m_gridStepY;
        }
        for (int64_t x = firstX; x <= right; x += m_gridStepX)
            dc->DrawLine(static_cast<int>(x), rect.top, static_cast<int>(x), rect.bottom, &pen);
        for (int64_t y = firstY; y <= bottom; y += m_gridStepY)
            dc->DrawLine(rect.left, static_cast<int>(y), rect.right, static_cast<int>(y), &pen);
    }
}

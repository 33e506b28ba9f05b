#include "gui/YSlider.h"

#include <cstdint>

#include "foundation/YResourceVisitor.h"
#include "gui/YDC.h"

IMPLEMENT_SERIAL(YSlider, YWindow, 1)

YSlider::YSlider()
    : m_state(0), m_step(30), m_min(0), m_max(255), m_value(0), m_callback(nullptr), m_pressPoint{0, 0}
{
}

int YSlider::Create(const char* text, int style, const RECT* rect, YWindow* parent, int id)
{
    return YWindow::Create(0, text, style, rect, parent, id, 0);
}

int YSlider::Accept(YResourceVisitor* visitor) { return visitor->VisitSlider(this); }

void YSlider::SetDragging(bool on)
{
    if (on) m_state |= kDraggingState;
    else m_state &= ~static_cast<uint32_t>(kDraggingState);
}

void YSlider::Notify(int code)
{
    if (m_parent) m_parent->HandleMessage(WM_NOTIFY, static_cast<WPARAM>(m_windowId), static_cast<LPARAM>(code));
}

// ------------------------------------------------------------------ value

void YSlider::SetValue(int value)
{
    if (value > m_max) value = m_max;
    if (value < m_min) value = m_min;
    m_value = value;
    if (m_callback) m_callback(m_value);
}

void YSlider::SetMin(int minimum)
{
    m_min = minimum;
    SetValue(m_value);
}

void YSlider::SetMax(int maximum)
{
    m_max = maximum;
    SetValue(m_value);
}

// Worked out wide: a range or a distance past 32 bits must not turn into
// MulDiv's -1 (a thumb dragged past the end would go to the minimum).
int YSlider::ValueToX(int value)
{
    return Clamped(m_rect.left + MulDivWide(WidthOf(m_rect), static_cast<long long>(value) - m_min,
                                            static_cast<long long>(m_max) - m_min));
}

int YSlider::XToValue(int x)
{
    return Clamped(m_min + MulDivWide(static_cast<long long>(x) - m_rect.left,
                                      static_cast<long long>(m_max) - m_min, WidthOf(m_rect)));
}

RECT YSlider::ThumbRect()
{
    YResource* thumb = GetResourceAt(1);
    const int width = thumb ? thumb->GetWidth() : kDefaultThumbWidth;
    const long long centre = ValueToX(m_value);
    long long left = centre - width / 2, right = centre + width / 2;
    if (left < m_rect.left) {
        right += m_rect.left - left;
        left = m_rect.left;
    } else if (right > m_rect.right) {
        left -= right - m_rect.right;
        right = m_rect.right;
    }
    return RECT{Clamped(left), m_rect.top, Clamped(right), m_rect.bottom};
}

// ------------------------------------------------------------------ drawing

int YSlider::Draw(YDC* dc)
{
    if (!m_visible) return 0;
    if (s_hover != this) SetDragging(false);
    if (!dc) return 0;
    if (m_drawBackground) DrawResource(dc, &m_rect, 0);
    const RECT thumb = ThumbRect();
    if (GetResourceCount() >= 2) DrawResource(dc, &thumb, 1);
    YWindow::Draw(dc);
    if (GetResourceCount() == 0) {
        CBrush track(0xFF0000), knob(0x0000FF);
        dc->Rectangle(&m_rect, &track, nullptr);
        dc->Rectangle(&thumb, &knob, nullptr);
    }
    return 0;
}

// ------------------------------------------------------------------ mouse

void YSlider::OnLButtonDown(int, int x, int y)
{
    if (IsDisabled()) return;
    s_capture = this;
    if (IsDragging()) {
        SetDragging(false);
    } else {
        SetDragging(true);
        Notify(kNotifyPressed);
    }
    m_pressPoint = POINT{x, y};
}

void YSlider::OnMouseMove(int, int x, int)
{
    if (!IsDragging()) return;
    int at = static_cast<int16_t>(static_cast<uint16_t>(x));
    if (at < 1) at = 0;
    int value = XToValue(at);
    if (value < 0) value = 0;
    SetValue(value);
    if (m_callback) m_callback(m_value);
}

void YSlider::OnLButtonUp(int flags, int x, int y)
{
    if (s_capture == this) s_capture = nullptr;
    if (IsDisabled()) {
        // Disabled during a drag: the drag ends without a value or a notification.
        SetDragging(false);
        return;
    }
    OnMouseMove(flags, x, y);
    SetDragging(false);
    Notify(kNotifyValueSet);
    YWindow::OnLButtonUp(flags, x, y);
}

// ------------------------------------------------------------------ copy and archive

YResource* YSlider::CopyTo(YResource* target)
{
    if (!target) target = new YSlider;
    else if (!target->IsKindOf(RUNTIME_CLASS(YSlider))) return nullptr;
    YSlider* slider = static_cast<YSlider*>(target);
    YWindow::CopyTo(slider);
    slider->m_state = m_state;
    slider->m_value = m_value;
    slider->m_min = m_min;
    slider->m_max = m_max;
    slider->m_step = m_step;
    return slider;
}

void YSlider::Serialize(CArchive& ar)
{
    YWindow::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_max) << static_cast<DWORD>(m_step) << static_cast<DWORD>(0)
           << static_cast<DWORD>(m_min);
        const BYTE zeros[8] = {};
        ar.Write(zeros, sizeof zeros);
    } else {
        DWORD maximum, step, zero, minimum;
        ar >> maximum >> step >> zero >> minimum;
        BYTE skipped[8];
        if (ar.Read(skipped, sizeof skipped) != sizeof skipped) AfxThrowArchiveException(CArchiveException::endOfFile);
        m_max = static_cast<int32_t>(maximum);
        m_step = static_cast<int32_t>(step);
        m_min = static_cast<int32_t>(minimum);
    }
}

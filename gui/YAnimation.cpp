#include "gui/YAnimation.h"

#include <cstdint>

#include "foundation/YResourceVisitor.h"
#include "gui/YDC.h"

IMPLEMENT_SERIAL(YAnimation, YWindow, 1)

YAnimation::YAnimation() : m_lastFrameTime(0), m_frame(0), m_loop(0), m_reserved(0), m_frameTime(kDefaultFrameTime)
{
}

int YAnimation::Accept(YResourceVisitor* visitor) { return visitor->VisitAnimation(this); }

int YAnimation::Create(int style, const RECT* rect, YWindow* parent, int id)
{
    m_lastFrameTime = GetTickCount();
    Reset();
    return YWindow::Create(0, "", style, rect, parent, id, 0);
}

void YAnimation::Reset() { m_frame = GetResourceCount() > 0 ? 0 : -1; }

int YAnimation::Draw(YDC* dc)
{
    if (!m_visible) return 0;
    const DWORD now = GetTickCount();
    // Wrapping ticks: the time since the last frame.
    if (m_frame >= 0 && static_cast<int64_t>(now - m_lastFrameTime) > static_cast<int64_t>(m_frameTime)) {
        m_lastFrameTime = now;
        // Past the last frame it shows nothing.
        if (m_frame < INT32_MAX) ++m_frame;
        if (m_frame == GetResourceCount() && m_loop) m_frame = 0;
    }
    if (m_frame >= 0 && dc) DrawResource(dc, &m_rect, m_frame);
    m_lastDC = dc;
    return 0;
}

void YAnimation::Serialize(CArchive& ar)
{
    YWindow::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_loop);
    } else {
        DWORD loop;
        ar >> loop;
        m_loop = static_cast<int32_t>(loop);
    }
    Reset();
}

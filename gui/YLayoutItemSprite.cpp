#include "gui/YLayoutItemSprite.h"

#include <algorithm>
#include <cmath>

#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFrame.h"
#include "graphics2d/YSprite.h"
#include "gui/YDC.h"
#include "gui/YLayout.h"
#include "gui/YLayoutGroup.h"

IMPLEMENT_DYNAMIC(YLayoutItemSprite, YLayoutItem)

namespace {
COLORREF Colour(int red, int green, int blue)
{
    return static_cast<COLORREF>((red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16);
}
}  // namespace

YLayoutItemSprite::YLayoutItemSprite(int kind)
    : m_kind(kind), m_x(0), m_y(0), m_keyColour(kKeyColour), m_frameOffset(0), m_speed(0.0f), m_loop(1),
      m_startTime(0), m_started(0)
{
}

int YLayoutItemSprite::Value(int index, YDC* dc) { return m_layout->ResolveValue(m_args[index], dc, m_parentGroup); }

void YLayoutItemSprite::Load(YDC* dc)
{
    m_x = m_y = 0;
    m_frameOffset = 0;
    m_keyColour = kKeyColour;
    m_speed = 0.0f;
    m_loop = 1;
    if (!m_started) {
        m_startTime = GetTickCount();
        m_started = 1;
    }
    const int count = GetArgCount();
    if (m_layout) {
        if (count > 2) {
            m_spriteName = m_layout->ResolveText(m_args[0], dc);
            m_x = Value(1, dc);
            m_y = Value(2, dc);
        }
        if (m_kind == Anim) {
            if (count > 3) m_speed = m_layout->ResolveFloat(m_args[3], dc, m_parentGroup);
            if (count > 4) m_loop = Value(4, dc) != 0;
        } else if (count > 4) {
            m_frameOffset = Value(4, dc);
        }
        if (count >= 8) m_keyColour = Colour(Value(5, dc), Value(6, dc), Value(7, dc));
    }
    m_loaded = 1;
}

int YLayoutItemSprite::AnimFrame(int frames, DWORD now) const
{
    if (frames <= 0) return -1;
    const double elapsed = static_cast<double>(static_cast<DWORD>(now - m_startTime)) * 0.001 * m_speed;
    if (!(elapsed == elapsed)) return -1;
    const double whole = std::trunc(std::min(elapsed, 9.0e15));
    if (whole < 0.0) return -1;
    if (whole <= frames - 1) return static_cast<int>(whole);
    return m_loop ? static_cast<int>(std::fmod(whole, static_cast<double>(frames))) : frames - 1;
}

int YLayoutItemSprite::DialFrame(int frames, int angle) const
{
    if (frames <= 0) return -1;
    int64_t a = angle;
    if (a < 0) a += ((-a + 359) / 360) * 360;
    if (a >= 360) a %= 360;
    // More than 360 frames would give a step of 0: one degree a frame then.
    const int64_t step = std::max(1, 360 / frames);
    int64_t frame = a / step + m_frameOffset;
    if (a % step > step / 2) ++frame;
    if (frame > frames - 1) frame -= frames;
    if (frame < 0) frame += frames;
    return frame >= 0 && frame < frames ? static_cast<int>(frame) : -1;
}

int YLayoutItemSprite::Draw(YDC* dc)
{
    const DWORD start = GetTickCount();
    if (!m_loaded || m_trailingR) Load(dc);
    YSprite* sprite = m_layout && dc ? m_layout->GetSprite(m_spriteName, nullptr) : nullptr;
    const int frames = sprite ? sprite->GetFrameCount() : 0;
    // A sprite without frames has nothing to show.
    if (sprite && frames > 0) {
        RECT group;
        const RECT anchor = PlaceInGroup(dc, RECT{m_x, m_y, m_x, m_y}, &group);
        int frame;
        if (m_kind == Anim) {
            frame = AnimFrame(frames, GetTickCount());
        } else {
            const int angle = GetArgCount() > 3 ? Value(3, dc) : 0;
            frame = DialFrame(frames, angle);
        }
        YFrame* shown = frame >= 0 ? sprite->GetFrame(frame) : nullptr;
        YDXSurface* target = dc->GetSurface();
        if (shown && target) {
            const POINT hot = shown->GetHotSpot();
            const int64_t left = static_cast<int64_t>(anchor.left) - hot.x;
            const int64_t top = static_cast<int64_t>(anchor.top) - hot.y;
            const int64_t right = left + (static_cast<int64_t>(shown->m_frameRect.right) - shown->m_frameRect.left);
            const int64_t bottom = top + (static_cast<int64_t>(shown->m_frameRect.bottom) - shown->m_frameRect.top);
            // A sprite loaded without a display gets its surface on the one it is drawn on.
            if (!sprite->GetSurface() && target->GetDisplay()) sprite->CreateSurfaces(target->GetDisplay());
            if (left >= group.left && top >= group.top && right <= group.right && bottom <= group.bottom) {
                sprite->SetCurrentFrame(frame);
                if (YDXSurface* picture = sprite->GetSurface()) picture->SetTransparentColor(m_keyColour);
                sprite->DrawAt(target, anchor.left, anchor.top);
            }
        }
    }
    m_cost = static_cast<int32_t>(GetTickCount() - start);
    if (m_layout) m_layout->m_spriteTime += m_cost;
    return 0;
}

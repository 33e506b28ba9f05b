#include "assets3d/YSMHandle.h"

namespace {
int16_t IndexIn(const CStringArray& names, const CString& name)
{
    for (int i = 0; i < names.GetSize() && i < INT16_MAX; ++i)
        if (names[i].CompareNoCase(name) == 0) return static_cast<int16_t>(i);
    return -1;
}
}  // namespace

int16_t YSMHandle::FindAnimationIndex(const CString& name) const { return IndexIn(m_animations, name); }

int16_t YSMHandle::FindGroup(const CString& name) const { return IndexIn(m_groups, name); }

int YSMHandle::PlayAnimation(int16_t index, float speed, int loop, int startFrame, int endFrame, float blend)
{
    if (index < 0 || index >= m_animations.GetSize()) return 0;
    m_playing = index;
    m_speed = speed;
    m_loop = loop;
    m_startFrame = startFrame;
    m_endFrame = endFrame;
    m_blend = blend;
    return 1;
}

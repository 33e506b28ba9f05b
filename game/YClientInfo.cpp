#include "game/YClientInfo.h"

#include "game/YPlane.h"

IMPLEMENT_DYNCREATE(YClientInfo, CObject)

YClientInfo::YClientInfo() : m_owned(new CObList(10))
{
    for (uint32_t& v : m_auxVector) v = 0;
    Reset();
}

YClientInfo::~YClientInfo()
{
    ClearItems();
    delete m_owned;
}

void YClientInfo::ClearItems()
{
    while (!m_owned->IsEmpty()) delete m_owned->RemoveHead();
    m_listCount = 0;
}

int32_t YClientInfo::GetAveragePing()
{
    if (!m_averageDirty) return m_averagePing;
    int64_t sum = 0;
    int32_t count = 0;
    for (int32_t sample : m_samples) {
        if (!sample) continue;
        sum += static_cast<uint32_t>(sample);
        ++count;
    }
    if (count) m_averagePing = static_cast<int32_t>(sum / count);
    m_averageDirty = 0;
    return m_averagePing;
}

void YClientInfo::Reset()
{
    m_plane = nullptr;
    m_secondActor = nullptr;
    m_controlledPlane = nullptr;
    m_aimActor = nullptr;
    m_bodyActor = nullptr;
    m_furtherActor = nullptr;
    m_indexA = -1;
    m_indexB = -1;
    m_valueA = 0.0f;
    m_handlingIndex = 0;
    m_range = 200.0f;
    m_active = 1;
    m_flagB = 0;
    m_auxPointerA = nullptr;
    m_auxWordA = 0;
    m_auxWordB = 1;
    m_factor = 0.2f;
    for (int32_t& w : m_words) w = 0;
    for (uint8_t& b : m_bytes) b = 0;
    ClearItems();
    for (int32_t& s : m_samples) s = 0;
    for (int32_t& s : m_extraSamples) s = 0;
    m_averagePing = 0;
    m_averageDirty = 1;
    m_auxPointerB = nullptr;
}

void YClientInfo::ForgetActor(YActor* actor)
{
    if (!actor) return;
    YActor* plane = m_plane;
    if (plane == actor) m_plane = nullptr;
    YActor* controlled = m_controlledPlane;
    if (controlled == actor) m_controlledPlane = nullptr;
    for (YActor** held : {&m_secondActor, &m_aimActor, &m_bodyActor, &m_furtherActor})
        if (*held == actor) *held = nullptr;
}

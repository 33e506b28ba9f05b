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
    EmptyOwned();
    delete m_owned;
}

void YClientInfo::EmptyOwned()
{
    while (!m_owned->IsEmpty()) delete m_owned->RemoveHead();
    m_listCount = 0;
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
    EmptyOwned();
    for (int32_t& s : m_samples) s = 0;
    for (int32_t& s : m_extraSamples) s = 0;
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

#include "world/YActorWorldUpdater.h"

#include "platform/win32.h"
#include "world/YActor.h"

IMPLEMENT_DYNCREATE(YActorWorldUpdater, CObject)

uint32_t YActorWorldUpdater::Update(YActorWorld*, float) { return 0; }

void YActorWorldUpdater::StartPass()
{
    m_passTime = GetTickCount();
    m_longestStep = 0;
}

uint32_t YActorWorldUpdater::EndPass()
{
    m_passTime = GetTickCount() - m_passTime;
    if (m_passTime > m_longestPass) m_longestPass = m_passTime;
    return m_passTime;
}

void YActorWorldUpdater::TimeStep(const YActor* actor, uint32_t started)
{
    const uint32_t took = GetTickCount() - started;
    if (took > m_longestStep) {
        m_longestStep = took;
        m_slowestActor = actor->m_name;
    }
    if (took > m_longestStepEver) {
        m_longestStepEver = took;
        m_slowestActorEver = actor->m_name;
    }
}

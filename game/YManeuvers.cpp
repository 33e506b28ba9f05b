#include "game/YManeuvers.h"

#include "game/YClientInfo.h"
#include "game/YPlane.h"
#include "world/YActor.h"

YManeuvers::YManeuvers(YActor* actor) : m_actor(actor), m_pilot(nullptr)
{
    if (!actor) return;
    m_pilot = new YClientInfo;
    m_pilot->m_bodyActor = actor;
    m_pilot->m_aimActor = actor;
    m_pilot->m_controlledPlane = (actor->m_flagsB & YActor::FlagPlaneKind) ? dynamic_cast<YPlane*>(actor) : nullptr;
}

YManeuvers::~YManeuvers()
{
    delete m_pilot;
    m_pilot = nullptr;
}

bool YManeuvers::Press(int verb, float value)
{
    if (!m_actor || !m_pilot || !m_table || !m_table->m_handler) return false;
    return DispatchControlVerb(verb, 0, value, m_pilot, "", 1, m_table);
}

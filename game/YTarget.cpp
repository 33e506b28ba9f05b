#include "game/YTarget.h"

#include "engine/YGameObjects.h"
#include "world/YActorWorld.h"

int YTarget::s_nameCounter = 0;

YTarget::YTarget() : m_hitByBot(0), m_hitByPlayer(0), m_points(100) {}

YTarget::YTarget(const YVector& position, bool resetNames) : YTarget()
{
    if (resetNames) s_nameCounter = 0;
    m_name.Format("Target%02d", s_nameCounter++);
    m_position = position;
    YGameObjects* engine = YGameObjects::Existing();
    m_world = engine ? engine->m_world : nullptr;
    SetModel("Ambient:WorldModels:YSM:target");
    if (m_world) m_world->AddActor(this, 1, -1);
    m_flagsB |= FlagFlying | FlagTargetKind;
    m_flagsA &= ~FlagPitchToSlope;
    m_flagsA |= FlagNoMech;
    BuildRenderInstance();
}

#include "game/YArrow.h"

#include "engine/YGameObjects.h"
#include "world/YActorWorld.h"

YArrow::YArrow()
{
    YGameObjects* engine = YGameObjects::Existing();
    if (!engine) return;
    if (YSMHandle* handle = engine->ModelHandleByName("Dynamic", "Planes", "YSM:arrow")) SetModelObject(handle);
    m_flagsA |= FlagVisible | FlagNoUpdates;
    m_position = YVector();
    if (engine->m_world) engine->m_world->AddActor(this, 1, -1);
}

#include "world/YThinkUpdater.h"

#include "engine/YGameObjects.h"

IMPLEMENT_DYNCREATE(YThinkUpdater, YActorWorldUpdater)

uint32_t YThinkUpdater::Update(YActorWorld* world, float dt)
{
    YGameObjects* engine = YGameObjects::Existing();
    const uint32_t clock = engine ? engine->m_gameClock : 0;
    return Walk(world, [&](YActor* actor) {
        if (actor->m_flagsA & YActor::FlagNoUpdates) return;
        actor->Update(dt);
        if (actor->m_nextThinkTime <= clock) actor->Think();
    });
}

#include "world/YSoundUpdater.h"

#include "engine/YGameObjects.h"
#include "sound/YSound.h"

IMPLEMENT_DYNCREATE(YSoundUpdater, YActorWorldUpdater)

uint32_t YSoundUpdater::Update(YActorWorld* world, float dt)
{
    YGameObjects* engine = YGameObjects::Existing();
    YSound* sound = engine ? engine->m_sound : nullptr;
    YActor* listener = engine && engine->m_world ? engine->m_world->GetViewActor() : nullptr;
    if (sound && listener) {
        YVector position, angles;
        listener->GetWorldTransform(position, angles);
        sound->SetListenerPosition(position);
        sound->SetListenerAngles(angles);
        const YActor* mover = listener->GetParent() ? listener->GetParent() : listener;
        sound->SetListenerVelocity(mover->m_velocity);
    }
    return Walk(world, [&](YActor* actor) {
        if (!(actor->m_flagsA & YActor::FlagNoUpdates)) actor->UpdateSounds(listener, dt);
    });
}

// What the mode actors use of the engine object: the rules, the local
// plane, named sounds and voice-over events.
#pragma once

#include "engine/YGameObjects.h"
#include "game/YClientInfo.h"
#include "game/YVoiceOvers.h"
#include "world/YGameCommands.h"
#include "world/YGameRules.h"

namespace YActorServices {

// Sound flags of the mode actors' cues.
const int kCueFlags = 2;

inline YGameObjects* Engine() { return YGameObjects::Existing(); }

inline YGameRules* Rules()
{
    YGameObjects* engine = Engine();
    return engine ? engine->m_rules : nullptr;
}

inline YPlane* LocalPlane()
{
    YGameObjects* engine = Engine();
    return engine && engine->m_localClient ? engine->m_localClient->m_plane : nullptr;
}

inline bool IsOpponent(const YActor* plane)
{
    YGameObjects* engine = Engine();
    return engine && plane && static_cast<const void*>(engine->m_opponentPlane) == static_cast<const void*>(plane);
}

inline void PlayAt(YActor* actor, const char* name, float nearDistance, float farDistance)
{
    YGameObjects* engine = Engine();
    if (engine && engine->m_gameCommands && actor)
        engine->m_gameCommands->PlayActorSound(actor, name, nearDistance, farDistance, kCueFlags);
}

inline void PlayTemp(const YVector& position, const char* name, float nearDistance, float farDistance)
{
    YGameObjects* engine = Engine();
    if (engine && engine->m_gameCommands)
        engine->m_gameCommands->PlayTempSound(position, name, nearDistance, farDistance, kCueFlags);
}

inline void VoiceEvent(int event)
{
    YGameObjects* engine = Engine();
    if (engine && engine->m_voiceOvers) engine->m_voiceOvers->OnEvent(event);
}

// Empties the list's entry of the actor: the entry stays, its pointer
// becomes null.
template <class List, class T>
void EmptyEntry(List* list, T* actor)
{
    if (!list || !actor) return;
    for (POSITION at = list->GetHeadPosition(); at;) {
        POSITION here = at;
        if (list->GetNext(at) == actor) list->SetAt(here, nullptr);
    }
}

}  // namespace YActorServices

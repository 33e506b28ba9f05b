// One named pass over an actor world, run every frame ("Mech", "Think",
// "Sound"); the passes keep their own timing statistics here.
#pragma once

#include <cstdint>

#include "foundation/YString.h"
#include "platform/mfc.h"
#include "platform/win32.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"

class YActorWorldUpdater : public CObject {
    DECLARE_DYNCREATE(YActorWorldUpdater)
public:
    YActorWorldUpdater() = default;
    explicit YActorWorldUpdater(const char* name) : m_name(name) {}

    // One pass with the frame time in seconds; the pass's duration in ms.
    virtual uint32_t Update(YActorWorld* world, float dt);

    YString m_name;
    uint32_t m_passTime = 0;  // start tick during the pass, then its duration
    uint32_t m_longestPass = 0;
    uint32_t m_longestStep = 0;  // this pass
    uint32_t m_longestStepEver = 0;
    YString m_slowestActor;
    YString m_slowestActorEver;

protected:
    // Walks every occupied slot up to the world's highest index, timing each
    // actor's step.
    template <class Step>
    uint32_t Walk(YActorWorld* world, Step step);
    void StartPass();
    uint32_t EndPass();
    void TimeStep(const YActor* actor, uint32_t started);
};

template <class Step>
uint32_t YActorWorldUpdater::Walk(YActorWorld* world, Step step)
{
    StartPass();
    for (int i = 0; world && i <= world->GetHighestIndex(); ++i) {
        YActor* actor = world->GetActor(i);
        if (!actor) continue;
        const uint32_t started = GetTickCount();
        step(actor);
        // An actor that took itself out of the world is not timed.
        if (world->GetActor(i) == actor) TimeStep(actor, started);
    }
    return EndPass();
}

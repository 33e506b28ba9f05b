// The rules of the current round; one class per game type derives from it.
#pragma once

#include <cstdint>

#include "world/YActor.h"

class YGameRules {
public:
    YGameRules() = default;
    virtual ~YGameRules() = default;
    virtual void Tick() {}
    // The pre-round phase.
    virtual void EnterPre() {}
    virtual void EnterRun() {}
    virtual void EnterPost() {}
    virtual void RoundOver() {}
    virtual void ModeEvent() {}

    // Flags the celebration, when there is one, for destruction.
    void FlagRemoval()
    {
        if (m_celebration) m_celebration->MarkForDestruction();
    }

    int32_t m_roundSeconds = 0;
    // Whole seconds to the end of the phase; refreshed by Tick.
    int32_t m_secondsLeft = 0;
    // The end-of-round celebration while it runs, else null; not owned.
    YActor* m_celebration = nullptr;
};


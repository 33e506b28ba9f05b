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

    // 0 dogfight, 1 air race, 2 tunnix, 3 balloon drop, 4 practice; -1 in the base.
    int32_t m_mode = -1;
    int32_t m_roundSeconds = 0;
    // The end-of-round celebration while it runs, else null; not owned.
    YActor* m_celebration = nullptr;
};


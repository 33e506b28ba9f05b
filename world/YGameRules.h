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

    // 0 dogfight, 1 air race, 2 tunnix, 3 balloon drop, 4 practice; -1 here.
    enum { ModePractice = 4 };
    // 2 while the round runs.
    enum { StateRunning = 2 };

    int32_t m_roundSeconds = 0;
    int32_t m_practiceMarker = 0;  // 1 in the practice rules
    int32_t m_mode = -1;
    int32_t m_state = 0;
    // The waypoint the air race expects next; the waypoints set it. Not owned.
    YActor* m_currentWaypoint = nullptr;
    // The end-of-round celebration while it runs, else null; not owned.
    YActor* m_celebration = nullptr;
};


// A computer pilot's hands: presses the control verbs for its actor the way
// the bindings do for the player, through a pilot record of its own.
#pragma once

#include <cstdint>

#include "game/YControlVerbs.h"

class YActor;
class YClientInfo;

class YManeuvers {
public:
    enum { VerbRollRight = 8, VerbRollLeft = 9, VerbPitchUp = 10, VerbPitchDown = 11 };

    // With an actor, a pilot record whose body, plane and aim are the actor.
    explicit YManeuvers(YActor* actor);
    virtual ~YManeuvers();
    YManeuvers(const YManeuvers&) = delete;
    YManeuvers& operator=(const YManeuvers&) = delete;

    // One first-press call of the verb's handler, clock 0, the value as the
    // frame time; never a release.
    void TRight(float value) { Press(VerbRollRight, value); }
    void TLeft(float value) { Press(VerbRollLeft, value); }
    void LUp(float value) { Press(VerbPitchUp, value); }
    void LDown(float value) { Press(VerbPitchDown, value); }
    // False when nothing was called.
    bool Press(int verb, float value);

    int32_t m_reserved = 0;
    YActor* m_actor;
    YClientInfo* m_pilot;  // owned
    uint32_t m_reservedWords[3] = {0, 0, 0};
    const YControlVerb* m_table = g_controlVerbs;  // the verb table pressed through
};

// The control verbs: a pilot's movement controls as a table of verb ids and
// handlers.  The handlers write inputs, impulses and velocities into the
// controlled actors; the flight step and the mechanical pass move them.
#pragma once

#include <cstdint>

class YClientInfo;

// Clock in milliseconds, frame step in seconds, the pilot record, the
// verb's argument text and the phase (1 press, 2 held, 3 release).
typedef void (*YControlVerbHandler)(uint32_t clock, float dt, YClientInfo* record, const char* argument, int phase);

struct YControlVerb {
    int32_t m_id;
    YControlVerbHandler m_handler;
};

// Ends with {0, nullptr}.
extern const YControlVerb g_controlVerbs[];

// Full deflection of an axis verb's argument (0.45 x 12700).
const int kControlAxisScale = 5715;

// Runs the first handler of the verb in the table; false when the table
// has none.
bool DispatchControlVerb(int id, uint32_t clock, float dt, YClientInfo* record, const char* argument, int phase,
                         const YControlVerb* table = g_controlVerbs);

// A control verb held or pressed by a pilot, run by the session tick.
#pragma once

#include <cstdint>

#include "foundation/YString.h"

class YClientInfo;

class YActiveVerb {
public:
    enum Phase { Pressed = 0, Running = 2, Released = 3 };

    int32_t m_id = 0;
    int32_t m_repeat = 0;  // 0 fire once, 1 every tick while held
    int32_t m_phase = Pressed;
    uint32_t m_pressTime = 0;    // game clock, ms
    uint32_t m_releaseTime = 0;  // game clock, ms
    YString m_text;
    YClientInfo* m_owner = nullptr;  // the pilot it acts for
};

// One sound of a map: a first and an optional second sound name and the
// values the map-sound accessors read.
#pragma once

#include "foundation/YString.h"
#include "platform/win32.h"

struct YMapVT3Sound_Output {
    YString m_firstName;
    YString m_secondName;  // empty when absent
    // As the sample maps fill them: a and c the position x and z, b the
    // height above the ground (whole map units); d and e the first and last
    // day of the year; f and g the nearest and farthest distance; h and i the
    // shortest and longest repeat delay (ms); j 1 to play once.
    DWORD m_a = 0, m_b = 0, m_c = 0;
    DWORD m_hasSecond = 0;  // 1 when the second name is present
    DWORD m_d = 0, m_e = 0, m_f = 0, m_g = 0, m_h = 0, m_i = 0, m_j = 0;
};

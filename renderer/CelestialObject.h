// A sun, moon or other object of a map's sky.
#pragma once

#include <vector>

#include "foundation/YString.h"
#include "platform/win32.h"

struct CelestialObject {
    BYTE m_byte0 = 0;
    WORD m_word0 = 0;
    DWORD m_values[3] = {0, 0, 0};
    DWORD m_zero = 0;  // set to 0 by the loader
    BYTE m_bytes[3] = {0, 0, 0};
    std::vector<YString> m_files;  // at most 255
    DWORD m_values2[3] = {0, 0, 0};
    BYTE m_bytes2[3] = {0, 0, 0};
    DWORD m_last = 0;
};

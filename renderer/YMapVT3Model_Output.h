// One model placed on a map.
#pragma once

#include "foundation/YString.h"
#include "platform/win32.h"

struct YMapVT3Model_Output {
    YString m_name;
    float m_x = 0, m_y = 0, m_z = 0;
    float m_pitch = 0, m_roll = 0, m_yaw = 0;  // radians
    float m_scale = 0;
    WORD m_word = 0;
    BYTE m_flag = 0;
    DWORD m_values[3] = {0, 0, 0};
};

// A cloud layer of a map's sky.
#pragma once

#include "foundation/YString.h"
#include "platform/win32.h"

struct CloudPlane {
    DWORD m_value0 = 0;
    YString m_texture;
    DWORD m_values[3] = {0, 0, 0};
    void* m_pointers[2] = {nullptr, nullptr};
};

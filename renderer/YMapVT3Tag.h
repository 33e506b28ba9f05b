// One named setting of a map ("skybox", "fog", ...).
#pragma once

#include "foundation/YString.h"
#include "platform/win32.h"

struct YMapVT3Tag {
    YString m_name;
    YString m_value;
    BYTE m_flag = 0;
};

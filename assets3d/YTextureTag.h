// One named text value of a texture, format, region or lock, with the
// 8-bit hash of its name.
#pragma once

#include <cstdint>

#include "foundation/YString.h"

struct YTextureTag {
    YString m_strName;
    YString m_strValue;
    uint8_t m_hash = 0;
};

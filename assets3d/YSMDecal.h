// A decal stuck on a model instance; the model-decal pass fills it and the
// instance owns it.
#pragma once

#include <cstdint>
#include <vector>

class YSMDecal {
public:
    YSMDecal() = default;
    virtual ~YSMDecal();

    uint8_t m_flags = 0;  // bit 0: kept for the instance
    uint8_t m_spare[3] = {0, 0, 0};
    std::vector<float> m_arrays[3];
    int32_t m_indexA = -1;
    int32_t m_indexB = -1;
    int16_t m_index = -1;
};

// One item slot of a map cell: a sprite tree or a model tree standing in it.
#pragma once

#include <cstdint>
#include <vector>

struct YCellItem {
    uint32_t m_flags = 0;     // low two bits: detail class 0 to 3
    uint8_t m_size = 255;     // size factor, read as m_size / 255
    int16_t m_type = -1;      // -1 none; k >= 0 type k enabled; -2 - k type k disabled
    uint16_t m_farType = 0;   // used instead of a model type far away
    float m_fixedDistance = 0.0f;
    float m_position[3] = {0.0f, 0.0f, 0.0f};
    float m_facing = 0.0f;    // about the vertical axis
    float m_treeSize = 0.0f;  // the kind's base size and a random part
    std::vector<uint8_t> m_work;  // 64 bytes of the frame renderer, made by tree placement
};

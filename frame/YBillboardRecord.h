// A camera-facing billboard of the scene-object pass: two base corners, the
// height, the sway at the top, two colours and how deep it stands in water.
#pragma once

#include <cstdint>

struct YBillboardRecord {
    float m_x0, m_base, m_z0;
    float m_x1, m_height, m_z1;
    float m_swayU, m_swayV;
    uint32_t m_colours[2];  // RGB; darkened under water
    float m_water;          // 0 dry .. 1 under water
};

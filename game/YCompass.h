// The compass of the game view: where the HUD draws it.
#pragma once

#include <cstdint>

class YCompass {
public:
    YCompass() = default;
    virtual ~YCompass() = default;

    float m_radius = 75.0f;
    int32_t m_centerY = 375;
    int32_t m_centerX = 540;
};

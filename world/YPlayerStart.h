// A start place of the map for a plane: position in metres on the ground
// plane (height 0) and a heading.
#pragma once

#include "foundation/YVector.h"

class YPlayerStart {
public:
    YPlayerStart(const YVector& position = YVector(), const YVector& angles = YVector())
        : m_position(position), m_angles(angles)
    {
    }
    virtual ~YPlayerStart() = default;

    YVector m_position;  // metres; y 0
    YVector m_angles;    // pitch, yaw, roll in degrees; pitch and roll 0
};

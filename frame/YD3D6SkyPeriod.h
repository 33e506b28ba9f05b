// One time-of-day period of a map's sky: its five sky-box faces, the
// minutes of the day it covers and its fog.
#pragma once

#include <cstdint>

class YD3D6Lock;

struct YD3D6SkyPeriod {
    enum { kFront, kLeft, kBack, kRight, kTop, kFaces };
    YD3D6Lock* faces[kFaces] = {nullptr, nullptr, nullptr, nullptr, nullptr};
    int32_t start = 0, end = 1440;  // minutes after midnight
    int32_t valid = 0;              // 1 once the fog was read
    uint8_t fog[3] = {0, 0, 0};
    uint32_t fogColour = 0;  // 0x00RRGGBB
    float fogNear = 0.0f, fogFar = 0.0f;
    uint32_t waterColour = 0;
};

// The frame lists' vertex: position, normal, diffuse colour and two
// texture-coordinate pairs (the device's 0x252 layout).
#pragma once

#include <cstdint>

struct YAlphaVertex {
    float x, y, z;
    float nx, ny, nz;
    uint32_t diffuse;  // ARGB
    float u0, v0;
    float u1, v1;
};
static_assert(sizeof(YAlphaVertex) == 44, "the device reads 44-byte vertices");

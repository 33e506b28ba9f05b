// A cloud layer of the map's sky: a textured disc overhead whose texture
// offsets drift a little every drawn frame.
#pragma once

#include <cstdint>

struct YD3D6CloudPlane {
    enum : uint16_t { kNoTexture = 0xFFFF };
    float speed = 0.0f;
    uint16_t texture = kNoTexture;
    float uScale = 1.0f, vScale = 1.0f;
    float height = 0.0f;  // percent of the sky radius
    float uOffset = 0.0f, vOffset = 0.0f;
};

// The scratch texture of one shadow size class: silhouettes are drawn into
// it, then copied into a pool entry's texture.
#pragma once

#include <cstdint>

class YD3D6Lock;

struct YD3D6ShadowWorkTexture {
    int32_t texture = -1;
    YD3D6Lock* lock = nullptr;
    int32_t size = 0;
    uint16_t state = 0;
};

// One slot of the renderer's shadow pool: its own texture, and the patch of
// lifted terrain triangles of the shadow cast into it.
#pragma once

#include <cstdint>
#include <vector>

class YD3D6Lock;

struct YD3D6ShadowEntry {
    enum : uint16_t { kFree = 0, kInUse = 1, kStale = 2 };
    struct Vertex {
        float position[3];
        float normal[3];
    };
    struct Triangle {
        uint16_t v[3];
        float uv[6];
    };
    int32_t texture = -1;  // low 16 bits: the sort key of its triangles
    YD3D6Lock* lock = nullptr;
    int32_t size = 0;
    int32_t sizeClass = -1;
    uint16_t state = kFree;
    float vectors[2][3] = {};
    int32_t triangleCount = 0;
    std::vector<Vertex> vertices;  // 3 per triangle
    std::vector<Triangle> triangles;
};

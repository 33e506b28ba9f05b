// A decal stuck on a model instance: the model triangles under it with
// their own texture pairs.  The model-decal pass fills it; the handle owns
// it.  A decal flagged as the shadow marker has no geometry.
#pragma once

#include <cstdint>
#include <vector>

class YSMDecal {
public:
    enum : uint8_t { kShadowMarker = 0x1 };
    // A decal corner: the model vertex and its texture pair.
    struct Vertex {
        int32_t vertex;
        float u, v;
    };
    // A kept model triangle: its three model vertices and their pairs.
    struct Triangle {
        int16_t v[3];
        float uv[6];
    };

    YSMDecal() = default;
    virtual ~YSMDecal();

    uint8_t m_flags = 0;  // bit 0: the shadow marker
    uint8_t m_spare[3] = {0, 0, 0};
    std::vector<Vertex> m_vertices;
    std::vector<uint16_t> m_indices;  // decal vertices, three per triangle
    std::vector<Triangle> m_triangles;
    int32_t m_triangleCount = -1;
    int32_t m_vertexCount = -1;
    int16_t m_texture = -1;
};

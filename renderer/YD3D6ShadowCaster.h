// A shadow caster record: one placed model whose shadow the frame's shadow
// tick casts.  The renderer keeps 80 of them for a map session; the model
// pass refills the first ones every frame.
#pragma once

#include <cstdint>

class YSMHandle;

struct YRenderInstance;
struct YTransformedVertex;

struct YD3D6ShadowCaster {
    float m_position[3] = {0.0f, 0.0f, 0.0f};  // render units
    YSMHandle* m_model = nullptr;
    int16_t m_kind = 0;  // shadow class, 0 or 1
    float m_transform[16] = {};
    float m_vectors[2][3] = {};
    void* m_drawItem = nullptr;
    uint32_t m_castTime = 0;  // milliseconds
    int32_t m_entry = -1;     // pool entry: -1 none, -2 a child of another caster
    // What the model drawing stored with it this frame: the attached
    // records and the instance's transformed vertices.
    uint16_t m_childCount = 0;
    YRenderInstance** m_children = nullptr;
    const YTransformedVertex* m_vertices = nullptr;
};

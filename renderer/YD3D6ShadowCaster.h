// A shadow caster record: one placed model whose shadow the frame's shadow
// tick casts.  The renderer keeps 80 of them for a map session; the model
// pass refills the first ones every frame.
#pragma once

#include <cstdint>
#include <vector>

#include "frame/YD3D6ShadowHit.h"

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
    // Record numbers of the attached models this frame (-1 none).
    std::vector<int16_t> m_attached;

    // Casting work.
    float m_projection[16] = {};  // row-major, translation in the fourth row
    float m_planes[6][4] = {};
    float m_groundMin[3] = {}, m_groundMax[3] = {};
    float m_boxMin[3] = {}, m_boxMax[3] = {};
    float m_corners[8][3] = {};
    std::vector<YD3D6ShadowHit> m_hits;
    float m_lightPitch = 0.0f, m_lightYaw = 0.0f;
    int32_t m_textureWidth = 0, m_textureHeight = 0;
};

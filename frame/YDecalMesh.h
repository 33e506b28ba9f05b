// The mesh of a ground mark: its vertices in world render units and its
// triangles as triples of vertex indices; it keeps its ring slot.
#pragma once

#include <cstdint>
#include <vector>

#include "frame/YAlphaVertex.h"

struct YDecalMesh {
    // Index words a mark's mesh may hold.
    enum { kIndexWords = 204 };

    int16_t m_triangleCount = 0;
    std::vector<YAlphaVertex> m_vertices;
    std::vector<int16_t> m_triangles;  // three per triangle
    int16_t m_slot = -1;

    void Clear()
    {
        m_triangleCount = 0;
        std::vector<YAlphaVertex>().swap(m_vertices);
        std::vector<int16_t>().swap(m_triangles);
    }
};

// The geometry of a primitive set of sub-kind 4: a small triangle mesh of
// ready alpha vertices, indexed by triples.
#pragma once

#include <cstdint>

#include "frame/YAlphaVertex.h"

struct YPrimitiveMesh {
    int16_t m_triangleCount = 0;
    const YAlphaVertex* m_vertices = nullptr;
    const int16_t* m_indices = nullptr;  // three a triangle
    int16_t m_vertexCount = 0;           // indices at or past it are skipped
};

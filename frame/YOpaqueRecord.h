// An opaque draw record of the frame lists, sorted by texture and drawn in
// batches by the model pass.
#pragma once

#include <cstdint>

struct YCellPolygon;

struct YOpaqueRecord {
    // Kinds: 1 and 6 billboards above and below the water line, 5 a terrain
    // polygon; 0, 2, 3, 4, 7, 8 the model drawing's.
    enum { kBillboard = 1, kTerrain = 5, kBillboardUnderWater = 6 };

    int16_t m_texture;
    uint16_t m_vertexCount;
    uint8_t m_kind;
    uint8_t m_sub;  // terrain: the layer
    union {
        const YCellPolygon* m_polygon;  // terrain
        uint32_t m_index;               // billboards: the billboard record
    };
};

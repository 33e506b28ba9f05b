// An opaque draw record of the frame lists, sorted by texture and drawn in
// batches by the model pass.
#pragma once

#include <cstdint>

struct YCellPolygon;

struct YOpaqueRecord {
    // Kinds: 1 and 6 billboards above and below the water line, 5 a terrain
    // polygon; 0, 2, 3, 4, 7, 8 the model drawing's.
    enum { kBillboard = 1, kTerrain = 5, kBillboardUnderWater = 6 };
    enum { kModelGroup = 0, kQuads = 2, kLines = 3, kMesh = 4, kShellGroup = 7, kDecal = 8 };
    // A shadow triangle: three ready vertices from the first alpha vertex m_index.
    enum { kShadow = 'G' };

    int16_t m_texture;
    uint16_t m_vertexCount;
    uint8_t m_kind;
    uint8_t m_sub;  // terrain: the layer
    union {
        const YCellPolygon* m_polygon;  // terrain
        uint32_t m_index;               // billboards: the billboard record; quads, lines: the first alpha vertex
        const void* m_mesh;             // a primitive mesh (YPrimitiveMesh)
        struct {
            uint16_t m_groupRecord;  // model kinds 0, 7, 8: the model-group record
            uint16_t m_group;        // and the group (kind 8: the decal)
        } m_model;
    };
};

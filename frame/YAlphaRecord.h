// A depth-keyed draw record of the frame lists: sorted far to near and
// drawn by the alpha pass.
#pragma once

#include <cstdint>

struct YAlphaRecord {
    // Kinds: 0 and 4 billboards above and below the water line, 1 a lit
    // triangle; 2 and 3 the model drawing's quads and lines.
    enum { kBillboard = 0, kTriangle = 1, kQuad = 2, kLine = 3, kBillboardUnderWater = 4 };

    float m_key;
    int16_t m_texture;
    uint16_t m_kind;
    const void* m_data;  // the first alpha vertex, or the billboard record
};

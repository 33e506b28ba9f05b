// One terrain polygon of a map cell: a triangle or a triangle strip over the
// renderer's master vertex list, with one plane per triangle and its
// texture layers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct YCellCorner {
    uint32_t m_vertex = 0;  // index into the master vertex list
    uint32_t m_colour = 0;  // red x 65536 + green x 256 + blue
};

// a x + b y + c z + d = 0
struct YCellPlane {
    float a = 0.0f, b = 0.0f, c = 0.0f, d = 0.0f;
};

struct YCellPolygon {
    enum { kTriangle = 1, kStrip = 2 };
    enum { kGround = 0x07, kWater = 0x43 };
    // Bits of the kind the frame reads.
    enum { kDrawn = 0x01, kTakesDecals = 0x04, kAnimated = 0x40 };

    uint8_t m_shape = kTriangle;
    uint8_t m_kind = kGround;
    std::vector<YCellCorner> m_corners;
    std::vector<YCellPlane> m_planes;
    std::vector<int16_t> m_layerTextures;            // the first is the ground texture
    std::vector<std::vector<float>> m_layerCoords;   // per layer, u and v per corner
    std::vector<std::vector<uint8_t>> m_layerAlpha;  // per layer, the alpha of each corner

    // Calls f(corner a, corner b, corner c, plane) for every triangle, in
    // order: a triangle is (0, 1, 2) with plane 0; a strip gives for
    // k = 0, 2, 4... (k, k+1, k+2) with plane k and (k+1, k+3, k+2) with
    // plane k+1.  Triangles without a plane and other shapes are skipped.
    template <class F>
    void ForEachTriangle(F f) const
    {
        const size_t n = m_corners.size();
        if (m_shape == kTriangle) {
            if (n >= 3 && !m_planes.empty()) f(m_corners[0], m_corners[1], m_corners[2], m_planes[0]);
            return;
        }
        if (m_shape != kStrip || n < 3) return;
        for (size_t k = 0; k < n - 2; k += 2) {
            if (k < m_planes.size()) f(m_corners[k], m_corners[k + 1], m_corners[k + 2], m_planes[k]);
            if (k + 1 < n - 2 && k + 1 < m_planes.size())
                f(m_corners[k + 1], m_corners[k + 3], m_corners[k + 2], m_planes[k + 1]);
        }
    }
};

// The terrain of a map as the "YMAP" stream carries it: vertices, groups of
// corners with texture layers, and per-cell lists of groups.
#pragma once

#include <vector>

#include "platform/win32.h"

struct YMapVT3Vertex {
    float m_x = 0, m_y = 0, m_z = 0;
    DWORD m_extra[3] = {0, 0, 0};  // copied unchanged by the renderer
};

struct YMapVT3Corner {
    DWORD m_vertex = 0;
    BYTE m_red = 0, m_green = 0, m_blue = 0;
    BYTE m_spare = 0;
};

struct YMapVT3LayerCorner {
    float m_u = 0, m_v = 0;
    BYTE m_alpha = 0;
};

struct YMapVT3Group {
    enum { kTriangle = 1, kStrip = 2 };
    enum { kGround = 0x07, kWater = 0x43 };
    BYTE m_kind = kTriangle;
    BYTE m_surface = kGround;
    std::vector<YMapVT3Corner> m_corners;
    std::vector<WORD> m_layerTextures;
    std::vector<std::vector<YMapVT3LayerCorner>> m_layerCorners;  // one per layer, one entry per corner
};

struct YMapVT3Cell {
    std::vector<DWORD> m_groups;  // at most 65,535
};

// A small hand-made map for the grid, ground and trace tests: 8 x 8 cells of
// 10 units, origin (0, 0, 0).  Left half (x 0..40): a ground slope y = x / 4
// (strip, texture 11).  Right half (x 40..80): water at y = 2 (strip, kind
// 0x43, texture 22) over a lake bed at y = -5 for x 40..60 only, so x 60..80
// is water only.  A bridge at y = 30 (one triangle, texture 33) spans
// (20..40, 20..40) over the slope.
#pragma once

#include <algorithm>
#include <cmath>

#include "renderer/YD3D6Parser.h"
#include "renderer/YMapVT3.h"

namespace handmade {

enum { kSlope = 0, kWater = 1, kBed = 2, kBridge = 3 };

inline void AddVertex(YMapVT3& map, float x, float y, float z)
{
    YMapVT3Vertex v;
    v.m_x = x, v.m_y = y, v.m_z = z;
    map.m_vertices.push_back(v);
}

inline void AddGroup(YMapVT3& map, BYTE kind, BYTE surface, std::initializer_list<DWORD> corners, WORD texture)
{
    YMapVT3Group g;
    g.m_kind = kind;
    g.m_surface = surface;
    std::vector<YMapVT3LayerCorner> layer;
    for (DWORD c : corners) {
        YMapVT3Corner corner;
        corner.m_vertex = c;
        g.m_corners.push_back(corner);
        YMapVT3LayerCorner lc;
        lc.m_u = map.m_vertices[c].m_x / 80.0f;  // u, v follow x and z
        lc.m_v = map.m_vertices[c].m_z / 80.0f;
        layer.push_back(lc);
    }
    g.m_layerTextures.push_back(texture);
    g.m_layerCorners.push_back(layer);
    map.m_groups.push_back(g);
}

// Lists every group in each cell its x-z bounds touch.
inline void ListGroupsInCells(YMapVT3& map)
{
    map.m_cells.assign(map.m_gridWidth * map.m_gridHeight, YMapVT3Cell());
    for (DWORD k = 0; k < map.m_groups.size(); ++k) {
        float x0 = 1e9f, x1 = -1e9f, z0 = 1e9f, z1 = -1e9f;
        for (const YMapVT3Corner& c : map.m_groups[k].m_corners) {
            const YMapVT3Vertex& v = map.m_vertices[c.m_vertex];
            x0 = std::min(x0, v.m_x), x1 = std::max(x1, v.m_x);
            z0 = std::min(z0, v.m_z), z1 = std::max(z1, v.m_z);
        }
        for (DWORD r = 0; r < map.m_gridHeight; ++r)
            for (DWORD c = 0; c < map.m_gridWidth; ++c) {
                const float cx0 = c * map.m_cellSize, cz0 = r * map.m_cellSize;
                if (x1 < cx0 || x0 > cx0 + map.m_cellSize || z1 < cz0 || z0 > cz0 + map.m_cellSize) continue;
                map.m_cells[r * map.m_gridWidth + c].m_groups.push_back(k);
            }
    }
}

inline void Build(YMapVT3& map)
{
    map.m_gridWidth = map.m_gridHeight = 8;
    map.m_cellSize = 10.0f;
    AddVertex(map, 0, 0, 0), AddVertex(map, 40, 10, 0), AddVertex(map, 0, 0, 80), AddVertex(map, 40, 10, 80);
    AddVertex(map, 40, 2, 0), AddVertex(map, 80, 2, 0), AddVertex(map, 40, 2, 80), AddVertex(map, 80, 2, 80);
    AddVertex(map, 40, -5, 0), AddVertex(map, 60, -5, 0), AddVertex(map, 40, -5, 80), AddVertex(map, 60, -5, 80);
    AddVertex(map, 20, 30, 20), AddVertex(map, 40, 30, 20), AddVertex(map, 20, 30, 40);
    AddGroup(map, YMapVT3Group::kStrip, YMapVT3Group::kGround, {0, 1, 2, 3}, 11);
    AddGroup(map, YMapVT3Group::kStrip, YMapVT3Group::kWater, {4, 5, 6, 7}, 22);
    AddGroup(map, YMapVT3Group::kStrip, YMapVT3Group::kGround, {8, 9, 10, 11}, 44);
    AddGroup(map, YMapVT3Group::kTriangle, YMapVT3Group::kGround, {12, 13, 14}, 33);
    ListGroupsInCells(map);
}

// A renderer with the hand-made grid in a map session, at the given scale.
inline void SetUp(YD3D6Parser& parser, float scale = 1.0f)
{
    YMapVT3 map;
    Build(map);
    parser.InitSession(2, nullptr, 99);
    parser.BuildTerrainCells(map, scale);
}

}  // namespace handmade

// What the strip builder makes of a map's terrain: welded vertices, one
// record per triangle and layer, clusters of records, and per-cell lists.
#pragma once

#include <vector>

#include "platform/win32.h"

struct StripVertex {
    float m_x = 0, m_y = 0, m_z = 0;
    DWORD m_extra[3] = {0, 0, 0};
    DWORD m_colour = 0;  // alpha, red, green, blue from the top byte down
    float m_u = 0, m_v = 0;
};

struct StripOutputRecord {
    DWORD m_surface = 0;
    DWORD m_vertices[3] = {0, 0, 0};
    WORD m_texture = 0;
    DWORD m_firstLayer = 0;
};

struct StripCluster {
    DWORD m_surface = 0;
    DWORD m_firstLayer = 0;
    WORD m_texture = 0;
    std::vector<DWORD> m_vertices;   // output-vertex indices
    std::vector<DWORD> m_triangles;  // three local indices per triangle
    int32_t m_marker = -1;           // the last cell that listed it
};

struct StripCell {
    enum { kFirstRecords, kMoreRecords, kFirstClusters, kMoreClusters, kLists };
    std::vector<DWORD> m_lists[kLists];
};

struct StripperOutput {
    std::vector<StripVertex> m_vertices;
    std::vector<StripOutputRecord> m_records;
    std::vector<StripCluster> m_clusters;
    std::vector<StripCell> m_cells;
};

bool operator==(const StripVertex& a, const StripVertex& b);
bool operator==(const StripOutputRecord& a, const StripOutputRecord& b);
bool operator==(const StripCluster& a, const StripCluster& b);
bool operator==(const StripCell& a, const StripCell& b);

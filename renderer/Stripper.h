// Turns a map's terrain into indexed-drawing form (see StripperOutput.h) and
// keeps the result in "StripBank.bin" on request.  Every group counts as one
// triangle made of its first three corners.
#pragma once

#include <vector>

#include "renderer/StripperOutput.h"
#include "renderer/YMapVT3Terrain.h"

class Stripper {
public:
    // One record per triangle and layer, with its neighbours across its edges.
    struct Record {
        DWORD m_surface = 0;
        DWORD m_firstLayer = 0;
        int32_t m_cluster = -1;
        DWORD m_vertices[3] = {0, 0, 0};
        WORD m_texture = 0;
        int32_t m_edges[3] = {-1, -1, -1};
        int32_t m_neighbours[3] = {-1, -1, -1};
        BYTE m_neighbourEdges[3] = {255, 255, 255};
    };

    Stripper();
    virtual ~Stripper();

    void Setup(const std::vector<YMapVT3Vertex>& vertices, const std::vector<YMapVT3Group>& groups,
               const std::vector<YMapVT3Cell>& cells);
    // Copies the results out; the builder keeps its own.
    void GetOutput(StripperOutput& out) const;
    // "StripBank.bin" in the current folder; false when it cannot be written
    // or read whole.  A bank that does not hang together is not taken.
    bool SaveBank(DWORD cellCount) const;
    bool LoadBank();

    const std::vector<StripVertex>& Vertices() const { return m_vertices; }
    const std::vector<Record>& Records() const { return m_records; }
    const std::vector<StripCluster>& Clusters() const { return m_clusters; }
    const std::vector<StripCell>& Cells() const { return m_cells; }

private:
    struct WorkVertex;
    struct WorkLayer;
    struct WorkGroup;
    struct Edge;
    class Buckets;

    void Build(std::vector<WorkVertex>& vertices, std::vector<WorkGroup>& groups,
               const std::vector<YMapVT3Cell>& cells);
    void MakeRecords(std::vector<WorkVertex>& vertices, std::vector<WorkGroup>& groups);
    void MatchEdges();
    void MakeClusters();
    void Walk(DWORD cluster, DWORD from, int edge, std::vector<DWORD>& members);
    void MakeCells(const std::vector<WorkGroup>& groups, const std::vector<YMapVT3Cell>& cells);
    bool Joins(const Record& seed, int32_t candidate) const;

    std::vector<Record> m_records;
    std::vector<StripVertex> m_vertices;
    std::vector<StripCluster> m_clusters;
    std::vector<StripCell> m_cells;
};

// The in-memory mesh set of the "YFMF" library: mesh nodes (kind 1 parts
// with progressive meshes, raw arrays, named lists) and named groups of
// frames.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "assets3d/IMESH.h"

class YFMFGroup;

// 16 bytes in the file.
struct YFMFRefineItem {
    uint32_t vertex = 0;
    uint32_t channel = 0;  // 1..9
    uint32_t coarsen = 0;  // value written when coarsening
    uint32_t refine = 0;   // value written when refining
};

struct YFMFRefineRecord {
    uint32_t values[2] = {0, 0};
    uint16_t deltaB = 0, deltaF = 0, deltaE = 0;
    uint16_t itemCount = 0;
    uint32_t firstItem = 0;  // index of its first item in the block's pool
};

struct YFMFRefineBlock {
    uint32_t value = 0;
    std::vector<YFMFRefineRecord> records;
    std::vector<YFMFRefineItem> pool;
    static int Free(YFMFRefineBlock* block);
};

// One mesh of a kind-1 node.  The three values are the flags word and the
// low and high detail percentages (floats).
struct YFMFMeshPart {
    uint32_t values[3] = {0, 0, 0};
    std::unique_ptr<YFMFRefineBlock> refine;
    std::unique_ptr<IMESH> mesh;
    uint32_t word = 0;
    uint32_t base = 0;  // first vertex within the model made of the node
    uint32_t Flags() const { return values[0]; }
    float LowPercent() const;
    float HighPercent() const;
};

struct YFMFNamedList {
    std::string name;
    std::vector<uint32_t> first;
    std::vector<uint32_t> second;
};

struct YFMFMeshNode {
    uint32_t id = 0;
    uint32_t itemCount = 0;
    uint32_t kind = 0;
    std::vector<YFMFMeshPart> parts;   // kind 1
    std::vector<uint8_t> bytes;        // kind 2 (x 12) and kind 3 (x 4)
    std::vector<YFMFNamedList> lists;  // kind 4
};

class YFMFMeshSet {
public:
    YFMFMeshSet();
    ~YFMFMeshSet();

    int AddMesh(YFMFMeshNode* node);
    int AddGroup(YFMFGroup* group);
    int RemoveMeshAt(int index);
    int RemoveGroupAt(int index);
    int FindById(uint32_t id) const;
    YFMFMeshNode* GetAt(int index) const;
    int FindGroup(const char* name) const;
    YFMFGroup* GetGroupAt(int index) const;
    void RemoveAll();
    void FreeAll();
    int GetMeshCount() const { return static_cast<int>(m_meshes.size()); }
    int GetGroupCount() const { return static_cast<int>(m_groups.size()); }

    // Steps a kind-1 node's part through its refine records.
    static void Refine(YFMFMeshNode* node, int part, int steps);
    static void Coarsen(YFMFMeshNode* node, int part, int steps);
    static void ApplyToMesh(YFMFMeshNode* node, int part, uint32_t level);

    uint32_t m_header[2] = {0, 0};
    uint32_t m_fileBytes = 0;  // the size of the file it was read from; 0 when built in memory
    std::vector<std::unique_ptr<YFMFMeshNode>> m_meshes;
    std::vector<std::unique_ptr<YFMFGroup>> m_groups;

private:
    YFMFMeshSet(const YFMFMeshSet&) = delete;
    YFMFMeshSet& operator=(const YFMFMeshSet&) = delete;
};

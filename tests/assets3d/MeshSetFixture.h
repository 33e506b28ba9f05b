// Small "YFMF" mesh sets built in memory.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "assets3d/YFMFGroup.h"
#include "assets3d/YFMFMeshSet.h"

namespace meshtest {

inline uint32_t Bits(float f)
{
    uint32_t b;
    memcpy(&b, &f, 4);
    return b;
}

// A mesh of a vertex row: vertex i at (i, i % 2, 0); triangles (i, i+1, i+2);
// uv pair i = (0.1 i, 0.2); one material per name.
inline YFMFMeshPart Part(const char* name, uint32_t vertices, std::vector<const char*> materials, float low = 100.0f,
                         float high = 100.0f, uint32_t flags = 0x2)
{
    YFMFMeshPart part;
    part.values[0] = flags;
    part.values[1] = Bits(low);
    part.values[2] = Bits(high);
    part.refine.reset(new YFMFRefineBlock);
    part.mesh.reset(new IMESH);
    IMESH& m = *part.mesh;
    strcpy(m.name, name);
    m.countB = vertices;
    m.countC = vertices >= 2 ? vertices - 2 : 0;
    m.countD = static_cast<uint32_t>(materials.size());
    m.flags = IMESH::kPolygonMaterials | IMESH::kTyped4;
    m.typed4.count = vertices;
    m.typed4.size = 8;
    m.Allocate(true);
    m.AllocateTypedData();
    for (uint32_t i = 0; i < vertices; ++i) {
        m.positions[i * 3] = static_cast<float>(i);
        m.positions[i * 3 + 1] = static_cast<float>(i % 2);
        float uv[2] = {0.1f * static_cast<float>(i), 0.2f};
        memcpy(&m.typed4.data[i * 8], uv, 8);
    }
    for (uint32_t p = 0; p < m.countC; ++p) {
        m.polygons[p].indexes = {p, p + 1, p + 2};
        m.polygonMaterials[p].material = 0;
        m.polygonMaterials[p].first = {p, p + 1, p + 2};
    }
    for (size_t d = 0; d < materials.size(); ++d) strcpy(reinterpret_cast<char*>(&m.materials[d * IMESH::kMaterialSize]), materials[d]);
    return part;
}

// Refine records adding one vertex each, from keep vertices up to all: the
// mesh starts fully refined (A = record count).
inline void Progressive(YFMFMeshPart& part, uint32_t keep)
{
    IMESH& m = *part.mesh;
    for (uint32_t v = keep; v < m.countB; ++v) {
        YFMFRefineRecord r;
        r.deltaB = 1;
        r.itemCount = 1;
        r.firstItem = static_cast<uint32_t>(part.refine->pool.size());
        part.refine->records.push_back(r);
        YFMFRefineItem item;
        item.vertex = v;
        item.channel = 2;  // y
        item.coarsen = Bits(-1.0f);
        item.refine = Bits(static_cast<float>(v % 2));
        part.refine->pool.push_back(item);
    }
    m.countA = static_cast<uint32_t>(part.refine->records.size());
}

inline YFMFMeshNode* PartsNode(std::vector<YFMFMeshPart> parts, uint32_t id = 1)
{
    YFMFMeshNode* node = new YFMFMeshNode;
    node->id = id;
    node->kind = 1;
    node->itemCount = static_cast<uint32_t>(parts.size());
    node->parts = std::move(parts);
    return node;
}

inline YFMFMeshNode* Positions(uint32_t vertices, float lift)
{
    YFMFMeshNode* node = new YFMFMeshNode;
    node->kind = 2;
    node->itemCount = vertices;
    std::vector<float> p(vertices * 3);
    for (uint32_t i = 0; i < vertices; ++i) p[i * 3] = static_cast<float>(i), p[i * 3 + 1] = lift;
    node->bytes.resize(p.size() * 4);
    if (!p.empty()) memcpy(node->bytes.data(), p.data(), node->bytes.size());
    return node;
}

// One frame group per mesh, frames named after the first group's.
inline void AddFrames(YFMFMeshSet& set, std::vector<uint32_t> meshVertices, std::vector<const char*> frames)
{
    for (size_t j = 0; j < meshVertices.size(); ++j) {
        YFMFGroup* group = new YFMFGroup;
        group->m_name = "frames" + std::to_string(j);
        group->m_type = YFMFGroup::kFrames;
        for (size_t k = 0; k < frames.size(); ++k) {
            YFMFFrame* frame = new YFMFFrame;
            frame->SetName(frames[k]);
            frame->SetId(static_cast<uint32_t>(k));
            frame->AddNode(Positions(meshVertices[j], static_cast<float>(k)));
            group->AddFrame(frame);
        }
        set.AddGroup(group);
    }
}

inline YFMFMeshNode* Animations(std::vector<YFMFNamedList> lists)
{
    YFMFMeshNode* node = new YFMFMeshNode;
    node->kind = 4;
    node->id = 9;
    node->itemCount = static_cast<uint32_t>(lists.size());
    node->lists = std::move(lists);
    return node;
}

inline YFMFNamedList List(const char* name, std::vector<uint32_t> frames, std::vector<float> durations)
{
    YFMFNamedList list;
    list.name = name;
    list.first = frames;
    for (float d : durations) list.second.push_back(Bits(d));
    return list;
}

// Two meshes ("Body" 5 vertices, "Prop" 3) over two frames and one animation.
inline void MakeSet(YFMFMeshSet& set)
{
    std::vector<YFMFMeshPart> parts;
    parts.push_back(Part("Body", 5, {"skin.ytx", "spare.ytx"}));
    parts.push_back(Part("Prop", 3, {"prop.ytx", "skin.ytx"}, 50.0f, 100.0f, 0x8));
    set.AddMesh(PartsNode(std::move(parts)));
    set.AddMesh(Animations({List("spin", {0, 1}, {0.1f, 0.3f})}));
    AddFrames(set, {5, 3}, {"one", "two"});
}

}  // namespace meshtest

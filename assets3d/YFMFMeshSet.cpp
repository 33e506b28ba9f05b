#include "assets3d/YFMFMeshSet.h"

#include <cstring>

#include "assets3d/YFMFGroup.h"

namespace {
float Bits(uint32_t value)
{
    float f;
    memcpy(&f, &value, 4);
    return f;
}

IMESH* PartMesh(YFMFMeshNode* node, int part, YFMFRefineBlock** block)
{
    if (!node || node->kind != 1 || part < 0 || static_cast<size_t>(part) >= node->parts.size()) return nullptr;
    YFMFMeshPart& p = node->parts[static_cast<size_t>(part)];
    if (!p.mesh || !p.refine) return nullptr;
    *block = p.refine.get();
    return p.mesh.get();
}

// Writes the item's value into its vertex; items outside the mesh are skipped.
void Apply(IMESH& mesh, const YFMFRefineItem& item, bool refining)
{
    const uint32_t value = refining ? item.refine : item.coarsen;
    const size_t v = item.vertex;
    if (item.channel >= 1 && item.channel <= 3) {
        if (v < mesh.VertexCapacity()) mesh.positions[v * 3 + item.channel - 1] = Bits(value);
    } else if (item.channel >= 4 && item.channel <= 9) {
        const size_t word = item.channel <= 6 ? item.channel + 1 : item.channel - 5;
        if (v < mesh.vertexRecords.size() / 8) mesh.vertexRecords[v * 8 + word] = value;
    }
}

bool Step(IMESH& mesh, const YFMFRefineBlock& block, bool refining)
{
    const size_t at = refining ? mesh.countA : static_cast<size_t>(mesh.countA) - 1;
    if (refining ? mesh.countA >= block.records.size() : mesh.countA == 0) return false;
    if (at >= block.records.size()) return false;
    const YFMFRefineRecord& r = block.records[at];
    if (static_cast<size_t>(r.firstItem) + r.itemCount > block.pool.size()) return false;
    if (refining) {
        if (static_cast<uint64_t>(mesh.countB) + r.deltaB > mesh.VertexCapacity()) return false;
    } else if (mesh.countB < r.deltaB || mesh.countE < r.deltaE || mesh.countF < r.deltaF) {
        return false;
    }
    for (uint32_t i = 0; i < r.itemCount; ++i) Apply(mesh, block.pool[r.firstItem + i], refining);
    if (refining) {
        mesh.countB += r.deltaB;
        mesh.countF += r.deltaF;
        mesh.countE += r.deltaE;
        ++mesh.countA;
    } else {
        mesh.countB -= r.deltaB;
        mesh.countF -= r.deltaF;
        mesh.countE -= r.deltaE;
        --mesh.countA;
    }
    return true;
}
}  // namespace

float YFMFMeshPart::LowPercent() const { return Bits(values[1]); }
float YFMFMeshPart::HighPercent() const { return Bits(values[2]); }

int YFMFRefineBlock::Free(YFMFRefineBlock* block)
{
    if (block) {
        block->records.clear();
        block->pool.clear();
        delete block;
    }
    return 1;
}

YFMFMeshSet::YFMFMeshSet() = default;
YFMFMeshSet::~YFMFMeshSet() = default;

int YFMFMeshSet::AddMesh(YFMFMeshNode* node)
{
    if (!node) return -1;
    m_meshes.emplace_back(node);
    return GetMeshCount();
}

int YFMFMeshSet::AddGroup(YFMFGroup* group)
{
    if (!group) return -1;
    m_groups.emplace_back(group);
    return GetGroupCount();
}

int YFMFMeshSet::RemoveMeshAt(int index)
{
    if (index < 0 || index >= GetMeshCount()) return -1;
    m_meshes.erase(m_meshes.begin() + index);
    return GetMeshCount();
}

int YFMFMeshSet::RemoveGroupAt(int index)
{
    if (index < 0 || index >= GetGroupCount()) return -1;
    m_groups.erase(m_groups.begin() + index);
    return GetGroupCount();
}

int YFMFMeshSet::FindById(uint32_t id) const
{
    for (size_t i = 0; i < m_meshes.size(); ++i)
        if (m_meshes[i]->id == id) return static_cast<int>(i);
    return -1;
}

YFMFMeshNode* YFMFMeshSet::GetAt(int index) const
{
    return index >= 0 && index < GetMeshCount() ? m_meshes[static_cast<size_t>(index)].get() : nullptr;
}

int YFMFMeshSet::FindGroup(const char* name) const
{
    for (size_t i = 0; i < m_groups.size(); ++i)
        if (name && m_groups[i]->m_name == name) return static_cast<int>(i);
    return -1;
}

YFMFGroup* YFMFMeshSet::GetGroupAt(int index) const
{
    return index >= 0 && index < GetGroupCount() ? m_groups[static_cast<size_t>(index)].get() : nullptr;
}

void YFMFMeshSet::RemoveAll()
{
    for (auto& group : m_groups) group->m_frames.clear();
}

void YFMFMeshSet::FreeAll()
{
    m_groups.clear();
    m_meshes.clear();
}

void YFMFMeshSet::Refine(YFMFMeshNode* node, int part, int steps)
{
    YFMFRefineBlock* block = nullptr;
    IMESH* mesh = PartMesh(node, part, &block);
    if (!mesh) return;
    for (int i = 0; i < steps && Step(*mesh, *block, true); ++i) {
    }
}

void YFMFMeshSet::Coarsen(YFMFMeshNode* node, int part, int steps)
{
    YFMFRefineBlock* block = nullptr;
    IMESH* mesh = PartMesh(node, part, &block);
    if (!mesh) return;
    for (int i = 0; i < steps && Step(*mesh, *block, false); ++i) {
    }
}

void YFMFMeshSet::ApplyToMesh(YFMFMeshNode* node, int part, uint32_t level)
{
    YFMFRefineBlock* block = nullptr;
    IMESH* mesh = PartMesh(node, part, &block);
    if (!mesh) return;
    // Each step moves A by one; a record that cannot apply ends the walk.
    while (mesh->countA < level && Step(*mesh, *block, true)) {
    }
    while (mesh->countA > level && Step(*mesh, *block, false)) {
    }
}

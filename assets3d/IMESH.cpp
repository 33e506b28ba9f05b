#include "assets3d/IMESH.h"

#include <algorithm>
#include <cstring>

void IMESH::Init()
{
    memset(name, 0, sizeof name);
    strcpy(name, "IMESH No Name");
    countA = countB = countC = countD = countE = countF = 0;
    flags = 0;
    Free(true);
}

void IMESH::Allocate(bool withMaterials)
{
    itemsA.assign(static_cast<size_t>(countA) * 12, 0);
    positions.assign(static_cast<size_t>(countB) * 3, 0.0f);
    polygons.assign(countC, IMESHPolygon());
    itemsE.assign(static_cast<size_t>(countE) * 8, 0);
    itemsF.assign(static_cast<size_t>(countF) * 12, 0);
    vertexRecords.assign((flags & kVertexRecords) ? static_cast<size_t>(countB) * 8 : 0, 0);
    polygonMaterials.assign((flags & kPolygonMaterials) ? countC : 0, IMESHPolygonMaterial());
    if (withMaterials) materials.assign(static_cast<size_t>(countD) * kMaterialSize, 0);
    IMESHArray* typed[] = {&typed4, &typed8, &typed16, &typed32};
    const uint32_t bits[] = {kTyped4, kTyped8, kTyped16, kTyped32};
    for (int i = 0; i < 4; ++i)
        if (!(flags & bits[i])) *typed[i] = IMESHArray();
}

void IMESH::AllocateTypedData()
{
    for (IMESHArray* a : {&typed4, &typed8, &typed16, &typed32})
        a->data.assign(static_cast<size_t>(a->count) * a->size, 0);
}

IMESH* IMESH::Clone() const { return new IMESH(*this); }

void IMESH::Free(bool withMaterials)
{
    itemsA.clear();
    positions.clear();
    polygons.clear();
    itemsE.clear();
    itemsF.clear();
    vertexRecords.clear();
    polygonMaterials.clear();
    if (withMaterials) materials.clear();
    typed4 = typed8 = typed16 = typed32 = IMESHArray();
}

const char* IMESH::MaterialName(uint32_t index, char out[kMaterialNameSize + 1]) const
{
    out[0] = 0;
    if (index >= countD || (static_cast<size_t>(index) + 1) * kMaterialSize > materials.size()) return out;
    memcpy(out, &materials[static_cast<size_t>(index) * kMaterialSize], kMaterialNameSize);
    out[kMaterialNameSize] = 0;
    return out;
}

bool IMESH::MaterialHasSecondList(uint32_t index) const
{
    if (index >= countD || (static_cast<size_t>(index) + 1) * kMaterialSize > materials.size()) return false;
    uint32_t word;
    memcpy(&word, &materials[static_cast<size_t>(index) * kMaterialSize + kMaterialSecondList], 4);
    return word != 0;
}

int IMESH::RegroupVertices(IMESH* mesh, uint32_t groups)
{
    if (!mesh || groups < 1) return 0;
    if (!(mesh->flags & kVertexRecords)) return 1;
    const uint32_t n = std::min(mesh->VertexCapacity(), static_cast<uint32_t>(mesh->vertexRecords.size() / 8));
    std::vector<float> positions;
    std::vector<uint32_t> records;
    for (uint32_t g = 0; g < groups; ++g) {
        for (uint32_t v = 0; v < n; ++v) {
            if (mesh->vertexRecords[static_cast<size_t>(v) * 8] != g) continue;
            positions.insert(positions.end(), &mesh->positions[v * 3], &mesh->positions[v * 3] + 3);
            records.insert(records.end(), &mesh->vertexRecords[v * 8], &mesh->vertexRecords[v * 8] + 8);
        }
    }
    mesh->positions.swap(positions);
    mesh->vertexRecords.swap(records);
    mesh->countB = mesh->VertexCapacity();
    return 1;
}

int IMESH::RegroupPolygons(IMESH* mesh, uint32_t groups)
{
    if (!mesh || groups < 1) return 0;
    if (!(mesh->flags & kPolygonMaterials)) return 1;
    std::vector<IMESHPolygon> polygons;
    std::vector<IMESHPolygonMaterial> entries;
    const size_t n = std::min(mesh->polygons.size(), mesh->polygonMaterials.size());
    for (uint32_t g = 0; g < groups; ++g) {
        for (size_t p = 0; p < n; ++p) {
            if (mesh->polygonMaterials[p].material != g) continue;
            polygons.push_back(mesh->polygons[p]);
            entries.push_back(mesh->polygonMaterials[p]);
        }
    }
    mesh->polygons.swap(polygons);
    mesh->polygonMaterials.swap(entries);
    mesh->countC = static_cast<uint32_t>(mesh->polygons.size());
    return 1;
}

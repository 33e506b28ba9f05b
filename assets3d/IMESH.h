// A mesh of the "YFMF" library: vertices, polygons, materials, optional
// per-vertex records and typed arrays, and the progressive-mesh counts.
#pragma once

#include <cstdint>
#include <vector>

// An optional array of count elements of size bytes each.
struct IMESHArray {
    uint32_t count = 0;
    uint32_t size = 0;
    std::vector<uint8_t> data;
};

struct IMESHPolygon {
    std::vector<uint32_t> indexes;
};

struct IMESHPolygonMaterial {
    uint32_t material = 0;
    std::vector<uint32_t> first;
    std::vector<uint32_t> second;
    bool hasSecond = false;
};

class IMESH {
public:
    enum : uint32_t {
        kVertexRecords = 0x1,
        kPolygonMaterials = 0x2,
        kTyped4 = 0x4,   // texture coordinates: pairs of floats
        kTyped8 = 0x8,
        kTyped16 = 0x10,
        kTyped32 = 0x20,
    };
    static const uint32_t kMaterialSize = 824;
    static const uint32_t kMaterialSecondList = 308;  // non-zero: polygons carry a second list
    static const uint32_t kMaterialNameSize = 256;     // the name leads the record

    IMESH() { Init(); }

    // The construction values: "IMESH No Name", every count 0, no arrays.
    void Init();
    // Sizes every array for the counts and flags.
    void Allocate(bool withMaterials);
    void AllocateTypedData();
    IMESH* Clone() const;
    // Frees the arrays (and materials when asked).
    void Free(bool materials);
    static int RegroupVertices(IMESH* mesh, uint32_t groups);
    static int RegroupPolygons(IMESH* mesh, uint32_t groups);

    // Vertices the position array has room for (B may be lower when coarsened).
    uint32_t VertexCapacity() const { return static_cast<uint32_t>(positions.size() / 3); }
    const char* GetName() const { return name; }
    // The material's name, or "" when index is out of range.
    const char* MaterialName(uint32_t index, char out[IMESH::kMaterialNameSize + 1]) const;
    bool MaterialHasSecondList(uint32_t index) const;

    char name[256];
    uint32_t countA, countB, countC, countD, countE, countF;
    uint32_t flags;
    IMESHArray typed4, typed8, typed16, typed32;
    std::vector<uint8_t> itemsA;          // A x 12
    std::vector<float> positions;         // B x 3
    std::vector<IMESHPolygon> polygons;   // C
    std::vector<uint8_t> itemsE;          // E x 8
    std::vector<uint8_t> itemsF;          // F x 12
    std::vector<uint32_t> vertexRecords;  // B x 8 when kVertexRecords; word 0 the group
    std::vector<IMESHPolygonMaterial> polygonMaterials;  // C when kPolygonMaterials
    std::vector<uint8_t> materials;       // D x 824
};

#include "assets3d/YFMFormat.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "assets3d/YFMFGroup.h"
#include "assets3d/YFMFMeshSet.h"
#include "platform/FilePath.h"

namespace {
const unsigned long kMaxFile = 64ul * 1024ul * 1024ul;

struct Short {};

class Reader {
public:
    Reader(const uint8_t* p, size_t n) : m_p(p), m_left(n) {}
    const uint8_t* Take(uint64_t n)
    {
        if (n > m_left) throw Short();
        const uint8_t* at = m_p;
        m_p += n;
        m_left -= static_cast<size_t>(n);
        return at;
    }
    uint32_t U32()
    {
        const uint8_t* b = Take(4);
        return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
               (static_cast<uint32_t>(b[3]) << 24);
    }
    uint16_t U16()
    {
        const uint8_t* b = Take(2);
        return static_cast<uint16_t>(b[0] | (b[1] << 8));
    }
    float F32()
    {
        uint32_t bits = U32();
        float f;
        memcpy(&f, &bits, 4);
        return f;
    }
    // count elements of at least minimum bytes each must fit in what is left.
    void Room(uint64_t count, uint64_t minimum)
    {
        if (minimum && count > m_left / minimum) throw Short();
    }
    std::string Name()
    {
        uint32_t n = U32();
        const uint8_t* b = Take(n);
        std::string s(reinterpret_cast<const char*>(b), n);
        return s.substr(0, strlen(s.c_str()));
    }
    template <typename T>
    void Array(std::vector<T>& out, uint64_t count)
    {
        const uint8_t* b = Take(count * sizeof(T));
        out.resize(static_cast<size_t>(count));
        if (count) memcpy(out.data(), b, static_cast<size_t>(count * sizeof(T)));
    }

private:
    const uint8_t* m_p;
    size_t m_left;
};

void ReadTypedHeader(Reader& in, IMESHArray& array)
{
    array.count = in.U32();
    array.size = in.U32();
    in.U32();  // the data pointer
    in.Room(static_cast<uint64_t>(array.count) * array.size, 1);
}

void ReadTypedData(Reader& in, IMESHArray& array)
{
    in.Array(array.data, static_cast<uint64_t>(array.count) * array.size);
}

void ReadPart(Reader& in, YFMFMeshPart& part)
{
    for (uint32_t& v : part.values) v = in.U32();
    in.Take(32);
    part.refine.reset(new YFMFRefineBlock);
    YFMFRefineBlock& block = *part.refine;
    uint32_t records = in.U32();
    block.value = in.U32();
    in.Room(records, 16);
    block.records.resize(records);
    uint64_t items = 0;
    for (YFMFRefineRecord& r : block.records) {
        r.values[0] = in.U32();
        r.values[1] = in.U32();
        r.deltaB = in.U16();
        r.deltaF = in.U16();
        r.deltaE = in.U16();
        r.itemCount = in.U16();
        r.firstItem = static_cast<uint32_t>(items);
        items += r.itemCount;
    }
    uint32_t pool = in.U32();
    // The records take their items from the pool: it must hold them all.
    if (items > pool) throw Short();
    in.Room(pool, 16);
    block.pool.resize(pool);
    for (YFMFRefineItem& item : block.pool) {
        item.vertex = in.U32();
        item.channel = in.U32();
        item.coarsen = in.U32();
        item.refine = in.U32();
    }
    in.Take(32);

    part.mesh.reset(new IMESH);
    IMESH& mesh = *part.mesh;
    memcpy(mesh.name, in.Take(256), 256);
    mesh.name[255] = 0;
    mesh.countA = in.U32();
    mesh.countB = in.U32();
    mesh.countD = in.U32();
    mesh.countE = in.U32();
    mesh.countF = in.U32();
    mesh.countC = in.U32();
    mesh.flags = in.U32();
    if (mesh.flags & IMESH::kTyped4) ReadTypedHeader(in, mesh.typed4);
    if (mesh.flags & IMESH::kTyped16) ReadTypedHeader(in, mesh.typed16);
    if (mesh.flags & IMESH::kTyped8) ReadTypedHeader(in, mesh.typed8);
    if (mesh.flags & IMESH::kTyped32) ReadTypedHeader(in, mesh.typed32);
    if (mesh.flags & IMESH::kTyped4) ReadTypedData(in, mesh.typed4);
    in.Array(mesh.itemsA, static_cast<uint64_t>(mesh.countA) * 12);
    in.Array(mesh.positions, static_cast<uint64_t>(mesh.countB) * 3);
    in.Array(mesh.materials, static_cast<uint64_t>(mesh.countD) * IMESH::kMaterialSize);
    in.Array(mesh.itemsE, static_cast<uint64_t>(mesh.countE) * 8);
    in.Array(mesh.itemsF, static_cast<uint64_t>(mesh.countF) * 12);
    if (mesh.flags & IMESH::kVertexRecords) in.Array(mesh.vertexRecords, static_cast<uint64_t>(mesh.countB) * 8);
    if (mesh.flags & IMESH::kTyped16) ReadTypedData(in, mesh.typed16);
    if (mesh.flags & IMESH::kTyped8) ReadTypedData(in, mesh.typed8);
    if (mesh.flags & IMESH::kTyped32) ReadTypedData(in, mesh.typed32);
    in.Room(mesh.countC, 4);
    mesh.polygons.resize(mesh.countC);
    for (IMESHPolygon& polygon : mesh.polygons) {
        uint32_t n = in.U32();
        in.Array(polygon.indexes, n);
    }
    if (mesh.flags & IMESH::kPolygonMaterials) {
        mesh.polygonMaterials.resize(mesh.countC);
        for (uint32_t p = 0; p < mesh.countC; ++p) {
            IMESHPolygonMaterial& entry = mesh.polygonMaterials[p];
            const uint64_t n = mesh.polygons[p].indexes.size();
            entry.material = in.U32();
            // The mesh's own material records say whether the second list follows.
            if (entry.material >= mesh.countD) throw Short();
            in.Array(entry.first, n);
            entry.hasSecond = mesh.MaterialHasSecondList(entry.material);
            if (entry.hasSecond) in.Array(entry.second, n);
        }
    }
}

YFMFMeshNode* ReadNode(Reader& in)
{
    std::unique_ptr<YFMFMeshNode> node(new YFMFMeshNode);
    node->id = in.U32();
    node->itemCount = in.U32();
    node->kind = in.U32();
    switch (node->kind) {
    case 1:
        in.Room(node->itemCount, 372);
        node->parts.resize(node->itemCount);
        for (YFMFMeshPart& part : node->parts) ReadPart(in, part);
        break;
    case 2:
        in.Array(node->bytes, static_cast<uint64_t>(node->itemCount) * 12);
        break;
    case 3:
        in.Array(node->bytes, static_cast<uint64_t>(node->itemCount) * 4);
        break;
    case 4:
        in.Room(node->itemCount, 8);
        node->lists.resize(node->itemCount);
        for (YFMFNamedList& list : node->lists) {
            list.name = in.Name();
            uint32_t pairs = in.U32();
            in.Room(pairs, 8);
            list.first.resize(pairs);
            list.second.resize(pairs);
            for (uint32_t i = 0; i < pairs; ++i) {
                list.first[i] = in.U32();
                list.second[i] = in.U32();
            }
        }
        break;
    default:
        break;
    }
    return node.release();
}
}  // namespace

bool YFMFormat::LoadFromMemory(YFMFMeshSet* set, const unsigned char* data, unsigned long size)
{
    if (!set || !data || size < 4 || memcmp(data, "YFMF", 4) != 0) return false;
    std::vector<std::unique_ptr<YFMFMeshNode>> meshes;
    std::vector<std::unique_ptr<YFMFGroup>> groups;
    uint32_t header[2];
    try {
        Reader in(data + 4, size - 4);
        header[0] = in.U32();
        header[1] = in.U32();
        int32_t meshCount = static_cast<int32_t>(in.U32());
        int32_t groupCount = static_cast<int32_t>(in.U32());
        if (meshCount < 0 || groupCount < 0) return false;
        in.Room(static_cast<uint32_t>(meshCount), 12);
        for (int32_t i = 0; i < meshCount; ++i) meshes.emplace_back(ReadNode(in));
        in.Room(static_cast<uint32_t>(groupCount), 16);
        for (int32_t g = 0; g < groupCount; ++g) {
            std::unique_ptr<YFMFGroup> group(new YFMFGroup);
            group->m_name = in.Name();
            group->m_type = in.U32();
            int32_t frames = static_cast<int32_t>(in.U32());
            int32_t nodes = static_cast<int32_t>(in.U32());
            if (frames < 0 || nodes < 0) return false;
            in.Room(static_cast<uint32_t>(frames), 12);
            for (int32_t f = 0; f < frames; ++f) {
                std::unique_ptr<YFMFFrame> frame(new YFMFFrame);
                frame->SetName(in.Name().c_str());
                frame->SetId(in.U32());
                frame->SetTime(in.F32());
                in.Room(static_cast<uint32_t>(nodes), 12);
                for (int32_t n = 0; n < nodes; ++n) frame->AddNode(ReadNode(in));
                group->AddFrame(frame.release());
            }
            groups.push_back(std::move(group));
        }
    } catch (const Short&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    set->m_header[0] = header[0];
    set->m_header[1] = header[1];
    set->m_fileBytes = static_cast<uint32_t>(size);
    for (auto& node : meshes) set->AddMesh(node.release());
    for (auto& group : groups) set->AddGroup(group.release());
    return true;
}

bool YFMFormat::LoadFromFile(YFMFMeshSet* set, const char* path)
{
    if (!set || !path) return false;
    // Game paths ("models\\tree.fmf") reach the disk through the platform.
    FILE* file = fopen(platform::ResolvePath(path).c_str(), "rb");
    if (!file) return false;
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + n);
        if (bytes.size() > kMaxFile) break;
    }
    fclose(file);
    if (bytes.size() > kMaxFile) return false;
    return LoadFromMemory(set, bytes.data(), static_cast<unsigned long>(bytes.size()));
}

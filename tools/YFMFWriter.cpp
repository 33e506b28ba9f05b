#include "tools/YFMFWriter.h"

#include <cstdio>
#include <algorithm>
#include <cstring>

#include "assets3d/YFMFGroup.h"
#include "assets3d/YFMFMeshSet.h"

namespace {
class Out {
public:
    explicit Out(std::vector<uint8_t>& out) : m_out(out) {}
    void U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i) m_out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void U16(uint16_t v)
    {
        m_out.push_back(static_cast<uint8_t>(v));
        m_out.push_back(static_cast<uint8_t>(v >> 8));
    }
    void F32(float f)
    {
        uint32_t bits;
        memcpy(&bits, &f, 4);
        U32(bits);
    }
    void Bytes(const void* p, size_t n)
    {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        m_out.insert(m_out.end(), b, b + n);
    }
    void Zeros(size_t n) { m_out.insert(m_out.end(), n, 0); }
    void Name(const std::string& s)
    {
        U32(static_cast<uint32_t>(s.size()));
        Bytes(s.data(), s.size());
    }
    template <typename T>
    void Array(const std::vector<T>& v)
    {
        if (!v.empty()) Bytes(v.data(), v.size() * sizeof(T));
    }
    // Exactly n bytes of the array: cut, or filled with zeros.
    template <typename T>
    void Sized(const std::vector<T>& v, size_t n)
    {
        const size_t have = std::min(n, v.size() * sizeof(T));
        if (have) Bytes(v.data(), have);
        Zeros(n - have);
    }

private:
    std::vector<uint8_t>& m_out;
};

void TypedHeader(Out& out, const IMESHArray& a)
{
    out.U32(a.count);
    out.U32(a.size);
    out.U32(0);
}

void Part(Out& out, const YFMFMeshPart& part)
{
    for (uint32_t v : part.values) out.U32(v);
    out.Zeros(32);
    const YFMFRefineBlock empty;
    const YFMFRefineBlock& block = part.refine ? *part.refine : empty;
    out.U32(static_cast<uint32_t>(block.records.size()));
    out.U32(block.value);
    for (const YFMFRefineRecord& r : block.records) {
        out.U32(r.values[0]);
        out.U32(r.values[1]);
        out.U16(r.deltaB);
        out.U16(r.deltaF);
        out.U16(r.deltaE);
        out.U16(r.itemCount);
    }
    out.U32(static_cast<uint32_t>(block.pool.size()));
    for (const YFMFRefineItem& item : block.pool) {
        out.U32(item.vertex);
        out.U32(item.channel);
        out.U32(item.coarsen);
        out.U32(item.refine);
    }
    out.Zeros(32);
    const IMESH& m = *part.mesh;
    out.Bytes(m.name, sizeof m.name);
    for (uint32_t c : {m.countA, m.countB, m.countD, m.countE, m.countF, m.countC}) out.U32(c);
    out.U32(m.flags);
    if (m.flags & IMESH::kTyped4) TypedHeader(out, m.typed4);
    if (m.flags & IMESH::kTyped16) TypedHeader(out, m.typed16);
    if (m.flags & IMESH::kTyped8) TypedHeader(out, m.typed8);
    if (m.flags & IMESH::kTyped32) TypedHeader(out, m.typed32);
    if (m.flags & IMESH::kTyped4) out.Array(m.typed4.data);
    // The counts say how much the reader takes (A is also the refinement level).
    out.Sized(m.itemsA, static_cast<size_t>(m.countA) * 12);
    out.Sized(m.positions, static_cast<size_t>(m.countB) * 12);
    out.Sized(m.materials, static_cast<size_t>(m.countD) * IMESH::kMaterialSize);
    out.Sized(m.itemsE, static_cast<size_t>(m.countE) * 8);
    out.Sized(m.itemsF, static_cast<size_t>(m.countF) * 12);
    if (m.flags & IMESH::kVertexRecords) out.Sized(m.vertexRecords, static_cast<size_t>(m.countB) * 32);
    if (m.flags & IMESH::kTyped16) out.Array(m.typed16.data);
    if (m.flags & IMESH::kTyped8) out.Array(m.typed8.data);
    if (m.flags & IMESH::kTyped32) out.Array(m.typed32.data);
    for (const IMESHPolygon& p : m.polygons) {
        out.U32(static_cast<uint32_t>(p.indexes.size()));
        out.Array(p.indexes);
    }
    if (m.flags & IMESH::kPolygonMaterials) {
        for (const IMESHPolygonMaterial& e : m.polygonMaterials) {
            out.U32(e.material);
            out.Array(e.first);
            if (m.MaterialHasSecondList(e.material)) out.Array(e.second);
        }
    }
}

void Node(Out& out, const YFMFMeshNode& node)
{
    out.U32(node.id);
    out.U32(node.itemCount);
    out.U32(node.kind);
    if (node.kind == 1) {
        for (const YFMFMeshPart& part : node.parts) Part(out, part);
    } else if (node.kind == 2 || node.kind == 3) {
        out.Array(node.bytes);
    } else if (node.kind == 4) {
        for (const YFMFNamedList& list : node.lists) {
            out.Name(list.name);
            out.U32(static_cast<uint32_t>(list.first.size()));
            for (size_t i = 0; i < list.first.size(); ++i) {
                out.U32(list.first[i]);
                out.U32(list.second[i]);
            }
        }
    }
}
}  // namespace

void YFMFWriter::Write(const YFMFMeshSet& set, std::vector<uint8_t>& bytes)
{
    Out out(bytes);
    out.Bytes("YFMF", 4);
    out.U32(set.m_header[0]);
    out.U32(set.m_header[1]);
    out.U32(static_cast<uint32_t>(set.m_meshes.size()));
    out.U32(static_cast<uint32_t>(set.m_groups.size()));
    for (const auto& node : set.m_meshes) Node(out, *node);
    for (const auto& group : set.m_groups) {
        out.Name(group->m_name);
        out.U32(group->m_type);
        out.U32(static_cast<uint32_t>(group->m_frames.size()));
        const int nodes = group->m_frames.empty() ? 0 : group->m_frames[0]->GetNodeCount();
        out.U32(static_cast<uint32_t>(nodes));
        for (const auto& frame : group->m_frames) {
            out.Name(frame->GetName());
            out.U32(frame->GetId());
            out.F32(frame->GetTime());
            for (int n = 0; n < nodes; ++n) Node(out, *frame->GetNodeAt(n));
        }
    }
}

bool YFMFWriter::WriteFile(const YFMFMeshSet& set, const std::string& path)
{
    std::vector<uint8_t> bytes;
    Write(set, bytes);
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

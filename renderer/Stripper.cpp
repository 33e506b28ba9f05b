#include "renderer/Stripper.h"

#include <algorithm>

#include "platform/mfc.h"

namespace {

const int kAxisBuckets = 16;
const DWORD kBuckets = 4096;
const UINT kArchiveBuffer = 0x40000;
const char kBankFile[] = "StripBank.bin";
const DWORD kNone = 0xFFFFFFFF;

DWORD PackColour(BYTE alpha, const YMapVT3Corner& corner)
{
    return (static_cast<DWORD>(alpha) << 24) | (static_cast<DWORD>(corner.m_red) << 16) |
           (static_cast<DWORD>(corner.m_green) << 8) | corner.m_blue;
}

// The bucket along one axis; a flat axis (size 0) and stray values land in 0 .. 15.
int AxisBucket(float value, float minimum, float size)
{
    if (!(size > 0.0f)) return 0;
    float t = (value - minimum) / size;
    if (!(t > 0.0f)) return 0;
    if (t >= kAxisBuckets - 1) return kAxisBuckets - 1;
    return static_cast<int>(t);
}

bool SamePlace(const StripVertex& a, const StripVertex& b)
{
    return a.m_x == b.m_x && a.m_y == b.m_y && a.m_z == b.m_z && a.m_u == b.m_u && a.m_v == b.m_v &&
           a.m_colour == b.m_colour;
}

template <class T>
void Put(CArchive& ar, const T& value)
{
    ar << value;
}

template <class T>
T Get(CArchive& ar)
{
    T value;
    ar >> value;
    return value;
}

void PutList(CArchive& ar, const std::vector<DWORD>& list)
{
    if (list.size() > 0xFFFF) AfxThrowArchiveException(CArchiveException::genericException);
    ar << static_cast<WORD>(list.size());
    for (DWORD value : list) ar << value;
}

// A u16 count and that many u32, each below `limit`.
std::vector<DWORD> GetList(CArchive& ar, DWORD limit)
{
    WORD count = Get<WORD>(ar);
    ar.EnsureCanRead(static_cast<ULONGLONG>(count) * 4);
    std::vector<DWORD> list(count);
    for (DWORD& value : list) {
        ar >> value;
        if (value >= limit) AfxThrowArchiveException(CArchiveException::badIndex);
    }
    return list;
}

// An i32 that is -1 or below `limit`.
int32_t GetIndex(CArchive& ar, DWORD limit)
{
    LONG value = Get<LONG>(ar);
    if (value != -1 && (value < 0 || static_cast<DWORD>(value) >= limit))
        AfxThrowArchiveException(CArchiveException::badIndex);
    return value;
}

}  // namespace

bool operator==(const StripVertex& a, const StripVertex& b)
{
    return SamePlace(a, b) && std::equal(a.m_extra, a.m_extra + 3, b.m_extra);
}

bool operator==(const StripOutputRecord& a, const StripOutputRecord& b)
{
    return a.m_surface == b.m_surface && std::equal(a.m_vertices, a.m_vertices + 3, b.m_vertices) &&
           a.m_texture == b.m_texture && a.m_firstLayer == b.m_firstLayer;
}

bool operator==(const StripCluster& a, const StripCluster& b)
{
    return a.m_surface == b.m_surface && a.m_firstLayer == b.m_firstLayer && a.m_texture == b.m_texture &&
           a.m_vertices == b.m_vertices && a.m_triangles == b.m_triangles && a.m_marker == b.m_marker;
}

bool operator==(const StripCell& a, const StripCell& b)
{
    return std::equal(a.m_lists, a.m_lists + StripCell::kLists, b.m_lists);
}

struct Stripper::WorkVertex {
    YMapVT3Vertex m_vertex;
    WORD m_key = 0;
    WORD m_uses = 0;
};

struct Stripper::WorkLayer {
    float m_u[3] = {0, 0, 0};
    float m_v[3] = {0, 0, 0};
    DWORD m_colours[3] = {0, 0, 0};
    WORD m_texture = 0;
    DWORD m_index = 0;  // the group, then the record made for this layer
};

struct Stripper::WorkGroup {
    bool m_triangle = false;  // false: fewer than three corners, no records
    DWORD m_corners[3] = {0, 0, 0};
    std::vector<WorkLayer> m_layers;
    DWORD m_surface = 0;
};

struct Stripper::Edge {
    DWORD m_low, m_high;  // output-vertex indices
    DWORD m_owner;        // record
};

Stripper::Stripper() = default;
Stripper::~Stripper() = default;

void Stripper::Setup(const std::vector<YMapVT3Vertex>& vertices, const std::vector<YMapVT3Group>& groups,
                     const std::vector<YMapVT3Cell>& cells)
{
    std::vector<WorkVertex> workVertices(vertices.size());
    for (size_t i = 0; i < vertices.size(); ++i) workVertices[i].m_vertex = vertices[i];

    std::vector<WorkGroup> workGroups(groups.size());
    for (size_t g = 0; g < groups.size(); ++g) {
        const YMapVT3Group& group = groups[g];
        WorkGroup& work = workGroups[g];
        work.m_surface = group.m_surface;
        work.m_triangle = group.m_corners.size() >= 3;
        for (int c = 0; c < 3 && work.m_triangle; ++c) {
            work.m_corners[c] = group.m_corners[c].m_vertex;
            if (work.m_corners[c] >= vertices.size()) work.m_triangle = false;
        }
        if (!work.m_triangle) continue;
        const size_t layers = std::min(group.m_layerTextures.size(), group.m_layerCorners.size());
        for (size_t l = 0; l < layers; ++l) {
            if (group.m_layerCorners[l].size() < 3) break;
            WorkLayer layer;
            for (int c = 0; c < 3; ++c) {
                const YMapVT3LayerCorner& lc = group.m_layerCorners[l][c];
                layer.m_u[c] = lc.m_u;
                layer.m_v[c] = lc.m_v;
                layer.m_colours[c] = PackColour(lc.m_alpha, group.m_corners[c]);
            }
            layer.m_texture = group.m_layerTextures[l];
            layer.m_index = static_cast<DWORD>(g);
            work.m_layers.push_back(layer);
        }
    }
    Build(workVertices, workGroups, cells);
}

void Stripper::Build(std::vector<WorkVertex>& vertices, std::vector<WorkGroup>& groups,
                     const std::vector<YMapVT3Cell>& cells)
{
    m_records.clear();
    m_vertices.clear();
    m_clusters.clear();
    m_cells.clear();
    MakeRecords(vertices, groups);
    MatchEdges();
    MakeClusters();
    MakeCells(groups, cells);
}

void Stripper::MakeRecords(std::vector<WorkVertex>& vertices, std::vector<WorkGroup>& groups)
{
    if (vertices.empty()) return;
    float low[3] = {vertices[0].m_vertex.m_x, vertices[0].m_vertex.m_y, vertices[0].m_vertex.m_z};
    float high[3] = {low[0], low[1], low[2]};
    for (const WorkVertex& w : vertices) {
        const float p[3] = {w.m_vertex.m_x, w.m_vertex.m_y, w.m_vertex.m_z};
        for (int a = 0; a < 3; ++a) {
            low[a] = std::min(low[a], p[a]);
            high[a] = std::max(high[a], p[a]);
        }
    }
    float size[3];
    for (int a = 0; a < 3; ++a) size[a] = (high[a] - low[a]) * 0.0625f;

    size_t recordCount = 0;
    for (const WorkGroup& g : groups) {
        if (!g.m_triangle) continue;
        recordCount += g.m_layers.size();
        for (DWORD corner : g.m_corners) {
            WorkVertex& w = vertices[corner];
            w.m_uses = static_cast<WORD>(std::min<size_t>(0xFFFF, w.m_uses + g.m_layers.size()));
        }
    }
    std::vector<std::vector<DWORD>> buckets(kBuckets);
    std::vector<size_t> room(kBuckets, 0);
    for (WorkVertex& w : vertices) {
        int x = AxisBucket(w.m_vertex.m_x, low[0], size[0]);
        int y = AxisBucket(w.m_vertex.m_y, low[1], size[1]);
        int z = AxisBucket(w.m_vertex.m_z, low[2], size[2]);
        w.m_key = static_cast<WORD>((z * kAxisBuckets + y) * kAxisBuckets + x);
        room[w.m_key] += w.m_uses;
    }
    for (DWORD b = 0; b < kBuckets; ++b) buckets[b].reserve(room[b]);
    m_records.reserve(recordCount);

    for (WorkGroup& g : groups) {
        if (!g.m_triangle) continue;
        for (size_t l = 0; l < g.m_layers.size(); ++l) {
            WorkLayer& layer = g.m_layers[l];
            Record record;
            record.m_surface = g.m_surface;
            record.m_firstLayer = l == 0 ? 1 : 0;
            record.m_texture = layer.m_texture;
            for (int c = 0; c < 3; ++c) {
                const WorkVertex& w = vertices[g.m_corners[c]];
                StripVertex candidate;
                candidate.m_x = w.m_vertex.m_x;
                candidate.m_y = w.m_vertex.m_y;
                candidate.m_z = w.m_vertex.m_z;
                std::copy(w.m_vertex.m_extra, w.m_vertex.m_extra + 3, candidate.m_extra);
                candidate.m_colour = layer.m_colours[c];
                candidate.m_u = layer.m_u[c];
                candidate.m_v = layer.m_v[c];
                std::vector<DWORD>& bucket = buckets[w.m_key];
                DWORD found = kNone;
                for (auto it = bucket.rbegin(); it != bucket.rend(); ++it) {
                    if (SamePlace(m_vertices[*it], candidate)) {
                        found = *it;
                        break;
                    }
                }
                if (found == kNone) {
                    found = static_cast<DWORD>(m_vertices.size());
                    m_vertices.push_back(candidate);
                    bucket.push_back(found);
                }
                record.m_vertices[c] = found;
            }
            layer.m_index = static_cast<DWORD>(m_records.size());
            m_records.push_back(record);
        }
    }
}

void Stripper::MatchEdges()
{
    std::vector<Edge> edges;
    edges.reserve(m_records.size() * 3);
    std::vector<std::vector<DWORD>> buckets(kBuckets);
    for (DWORD r = 0; r < m_records.size(); ++r) {
        for (int e = 0; e < 3; ++e) {
            Record& record = m_records[r];
            DWORD a = record.m_vertices[e], b = record.m_vertices[(e + 1) % 3];
            Edge edge{std::min(a, b), std::max(a, b), r};
            std::vector<DWORD>& bucket = buckets[edge.m_low % kBuckets];
            DWORD match = kNone;
            for (auto it = bucket.rbegin(); it != bucket.rend(); ++it) {
                const Edge& other = edges[*it];
                if (other.m_low == edge.m_low && other.m_high == edge.m_high &&
                    m_records[other.m_owner].m_texture == record.m_texture) {
                    match = *it;
                    break;
                }
            }
            if (match == kNone) {
                record.m_edges[e] = static_cast<int32_t>(edges.size());
                bucket.push_back(static_cast<DWORD>(edges.size()));
                edges.push_back(edge);
                continue;
            }
            Record& owner = m_records[edges[match].m_owner];
            int ownerEdge = 0;
            while (ownerEdge < 2 && owner.m_edges[ownerEdge] != static_cast<int32_t>(match)) ++ownerEdge;
            record.m_edges[e] = static_cast<int32_t>(match);
            record.m_neighbours[e] = static_cast<int32_t>(edges[match].m_owner);
            record.m_neighbourEdges[e] = static_cast<BYTE>(ownerEdge);
            owner.m_neighbours[ownerEdge] = static_cast<int32_t>(r);
            owner.m_neighbourEdges[ownerEdge] = static_cast<BYTE>(e);
        }
    }
}

bool Stripper::Joins(const Record& seed, int32_t candidate) const
{
    if (candidate < 0) return false;
    const Record& r = m_records[candidate];
    return r.m_cluster < 0 && r.m_surface == seed.m_surface && r.m_firstLayer == seed.m_firstLayer &&
           r.m_texture == seed.m_texture;
}

void Stripper::Walk(DWORD cluster, DWORD from, int edge, std::vector<DWORD>& members)
{
    const Record seed = m_records[from];
    DWORD current = from;
    int entered = -1;
    for (int added = 0; added < 4; ++added) {
        const int tries = entered < 0 ? 1 : 3;
        int32_t next = -1;
        int nextEntered = -1;
        for (int t = 0; t < tries && next < 0; ++t) {
            int e = entered < 0 ? edge : (entered + 1 + t) % 3;
            const Record& r = m_records[current];
            if (Joins(seed, r.m_neighbours[e])) {
                next = r.m_neighbours[e];
                nextEntered = r.m_neighbourEdges[e];
            }
        }
        if (next < 0) return;
        m_records[next].m_cluster = static_cast<int32_t>(cluster);
        members.push_back(static_cast<DWORD>(next));
        current = static_cast<DWORD>(next);
        entered = nextEntered;
    }
}

void Stripper::MakeClusters()
{
    for (DWORD r = 0; r < m_records.size(); ++r) {
        if (m_records[r].m_cluster >= 0) continue;
        const DWORD index = static_cast<DWORD>(m_clusters.size());
        m_records[r].m_cluster = static_cast<int32_t>(index);
        std::vector<DWORD> members{r};
        for (int e = 0; e < 3; ++e) Walk(index, r, e, members);

        StripCluster cluster;
        cluster.m_surface = m_records[r].m_surface;
        cluster.m_firstLayer = m_records[r].m_firstLayer;
        cluster.m_texture = m_records[r].m_texture;
        for (DWORD member : members) {
            for (DWORD v : m_records[member].m_vertices) {
                auto at = std::find(cluster.m_vertices.begin(), cluster.m_vertices.end(), v);
                cluster.m_triangles.push_back(static_cast<DWORD>(at - cluster.m_vertices.begin()));
                if (at == cluster.m_vertices.end()) cluster.m_vertices.push_back(v);
            }
        }
        m_clusters.push_back(std::move(cluster));
    }
}

void Stripper::MakeCells(const std::vector<WorkGroup>& groups, const std::vector<YMapVT3Cell>& cells)
{
    m_cells.resize(cells.size());
    for (size_t c = 0; c < cells.size(); ++c) {
        StripCell& cell = m_cells[c];
        for (DWORD g : cells[c].m_groups) {
            if (g >= groups.size() || !groups[g].m_triangle) continue;
            const std::vector<WorkLayer>& layers = groups[g].m_layers;
            for (size_t l = 0; l < layers.size(); ++l)
                cell.m_lists[l == 0 ? StripCell::kFirstRecords : StripCell::kMoreRecords].push_back(layers[l].m_index);
        }
        for (int list = StripCell::kFirstRecords; list <= StripCell::kMoreRecords; ++list) {
            for (DWORD r : cell.m_lists[list]) {
                StripCluster& cluster = m_clusters[m_records[r].m_cluster];
                if (cluster.m_marker == static_cast<int32_t>(c)) continue;
                cluster.m_marker = static_cast<int32_t>(c);
                cell.m_lists[list + 2].push_back(static_cast<DWORD>(m_records[r].m_cluster));
            }
        }
    }
}

void Stripper::GetOutput(StripperOutput& out) const
{
    out.m_vertices = m_vertices;
    out.m_records.resize(m_records.size());
    for (size_t r = 0; r < m_records.size(); ++r) {
        const Record& in = m_records[r];
        StripOutputRecord& o = out.m_records[r];
        o.m_surface = in.m_surface;
        std::copy(in.m_vertices, in.m_vertices + 3, o.m_vertices);
        o.m_texture = in.m_texture;
        o.m_firstLayer = in.m_firstLayer;
    }
    out.m_clusters = m_clusters;
    out.m_cells = m_cells;
}

bool Stripper::SaveBank(DWORD cellCount) const
{
    cellCount = static_cast<DWORD>(std::min<size_t>(cellCount, m_cells.size()));
    try {
        CFile file(kBankFile, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        CArchive ar(&file, CArchive::store, kArchiveBuffer);
        Put(ar, static_cast<DWORD>(m_vertices.size()));
        for (const StripVertex& v : m_vertices) {
            ar << v.m_x << v.m_y << v.m_z;
            for (DWORD e : v.m_extra) ar << e;
            ar << v.m_colour << v.m_u << v.m_v;
        }
        Put(ar, static_cast<DWORD>(m_records.size()));
        for (const Record& r : m_records) {
            ar << r.m_surface << r.m_firstLayer << static_cast<LONG>(r.m_cluster);
            for (DWORD v : r.m_vertices) ar << v;
            ar << r.m_texture << static_cast<WORD>(0);
            for (int32_t e : r.m_edges) ar << static_cast<LONG>(e);
            for (int32_t n : r.m_neighbours) ar << static_cast<LONG>(n);
            for (BYTE e : r.m_neighbourEdges) ar << e;
            ar << static_cast<BYTE>(0);
        }
        Put(ar, static_cast<DWORD>(m_clusters.size()));
        for (const StripCluster& c : m_clusters) {
            if (c.m_vertices.size() > 0xFFFF || c.m_triangles.size() / 3 > 0xFFFF)
                AfxThrowArchiveException(CArchiveException::genericException);
            ar << c.m_surface << c.m_firstLayer << c.m_texture << static_cast<WORD>(c.m_vertices.size());
            for (DWORD v : c.m_vertices) ar << v;
            ar << static_cast<WORD>(c.m_triangles.size() / 3);
            for (DWORD t : c.m_triangles) ar << t;
            ar << static_cast<DWORD>(c.m_marker);
        }
        Put(ar, cellCount);
        for (DWORD c = 0; c < cellCount; ++c)
            for (const std::vector<DWORD>& list : m_cells[c].m_lists) PutList(ar, list);
        ar.Close();
        file.Close();
    } catch (CException* e) {
        e->Delete();
        return false;
    }
    return true;
}

bool Stripper::LoadBank()
{
    std::vector<StripVertex> vertices;
    std::vector<Record> records;
    std::vector<StripCluster> clusters;
    std::vector<StripCell> cells;
    try {
        CFile file(kBankFile, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary);
        CArchive ar(&file, CArchive::load, kArchiveBuffer);
        DWORD count = Get<DWORD>(ar);
        ar.EnsureCanRead(static_cast<ULONGLONG>(count) * 36);
        vertices.resize(count);
        for (StripVertex& v : vertices) {
            ar >> v.m_x >> v.m_y >> v.m_z;
            for (DWORD& e : v.m_extra) ar >> e;
            ar >> v.m_colour >> v.m_u >> v.m_v;
        }
        count = Get<DWORD>(ar);
        ar.EnsureCanRead(static_cast<ULONGLONG>(count) * 56);
        records.resize(count);
        std::vector<LONG> recordClusters(count);
        for (DWORD r = 0; r < count; ++r) {
            Record& rec = records[r];
            ar >> rec.m_surface >> rec.m_firstLayer >> recordClusters[r];
            for (DWORD& v : rec.m_vertices) {
                ar >> v;
                if (v >= vertices.size()) AfxThrowArchiveException(CArchiveException::badIndex);
            }
            ar >> rec.m_texture;
            Get<WORD>(ar);
            for (int32_t& e : rec.m_edges) e = Get<LONG>(ar);
            for (int32_t& n : rec.m_neighbours) n = GetIndex(ar, count);
            for (BYTE& e : rec.m_neighbourEdges) {
                ar >> e;
                if (e != 255 && e > 2) AfxThrowArchiveException(CArchiveException::badIndex);
            }
            Get<BYTE>(ar);
        }
        count = Get<DWORD>(ar);
        ar.EnsureCanRead(static_cast<ULONGLONG>(count) * 18);
        clusters.resize(count);
        for (StripCluster& c : clusters) {
            ar >> c.m_surface >> c.m_firstLayer >> c.m_texture;
            WORD n = Get<WORD>(ar);
            ar.EnsureCanRead(static_cast<ULONGLONG>(n) * 4);
            c.m_vertices.resize(n);
            for (DWORD& v : c.m_vertices) {
                ar >> v;
                if (v >= vertices.size()) AfxThrowArchiveException(CArchiveException::badIndex);
            }
            WORD t = Get<WORD>(ar);
            ar.EnsureCanRead(static_cast<ULONGLONG>(t) * 12);
            c.m_triangles.resize(static_cast<size_t>(t) * 3);
            for (DWORD& v : c.m_triangles) {
                ar >> v;
                if (v >= n) AfxThrowArchiveException(CArchiveException::badIndex);
            }
            c.m_marker = static_cast<int32_t>(Get<DWORD>(ar));
        }
        for (size_t r = 0; r < records.size(); ++r) {
            LONG cluster = recordClusters[r];
            if (cluster != -1 && (cluster < 0 || static_cast<size_t>(cluster) >= clusters.size()))
                AfxThrowArchiveException(CArchiveException::badIndex);
            records[r].m_cluster = cluster;
        }
        count = Get<DWORD>(ar);
        ar.EnsureCanRead(static_cast<ULONGLONG>(count) * 8);
        cells.resize(count);
        for (StripCell& cell : cells) {
            cell.m_lists[StripCell::kFirstRecords] = GetList(ar, static_cast<DWORD>(records.size()));
            cell.m_lists[StripCell::kMoreRecords] = GetList(ar, static_cast<DWORD>(records.size()));
            cell.m_lists[StripCell::kFirstClusters] = GetList(ar, static_cast<DWORD>(clusters.size()));
            cell.m_lists[StripCell::kMoreClusters] = GetList(ar, static_cast<DWORD>(clusters.size()));
        }
    } catch (CException* e) {
        e->Delete();
        return false;
    }
    m_vertices.swap(vertices);
    m_records.swap(records);
    m_clusters.swap(clusters);
    m_cells.swap(cells);
    return true;
}

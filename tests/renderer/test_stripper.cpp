// The strip builder: welding, neighbours, clusters, cell lists and the bank.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "ScratchFolder.h"
#include "renderer/Stripper.h"

namespace {

struct Terrain {
    std::vector<YMapVT3Vertex> vertices;
    std::vector<YMapVT3Group> groups;
    std::vector<YMapVT3Cell> cells;

    void Vertex(float x, float y, float z)
    {
        YMapVT3Vertex v;
        v.m_x = x;
        v.m_y = y;
        v.m_z = z;
        vertices.push_back(v);
    }
    // A group over the corners; every layer has the given textures and uv = position.
    YMapVT3Group& Group(const std::vector<DWORD>& corners, const std::vector<WORD>& textures, BYTE surface = 7)
    {
        YMapVT3Group g;
        g.m_surface = surface;
        for (DWORD c : corners) {
            YMapVT3Corner corner;
            corner.m_vertex = c;
            corner.m_red = 200;
            g.m_corners.push_back(corner);
        }
        for (WORD t : textures) {
            g.m_layerTextures.push_back(t);
            std::vector<YMapVT3LayerCorner> layer;
            for (DWORD c : corners) layer.push_back({vertices[c].m_x, vertices[c].m_z, 255});
            g.m_layerCorners.push_back(layer);
        }
        groups.push_back(g);
        return groups.back();
    }
    // An n x n square of vertices, two triangles per square, one texture.
    void Field(int n, float height = 0.0f)
    {
        for (int z = 0; z <= n; ++z)
            for (int x = 0; x <= n; ++x) Vertex(float(x), height, float(z));
        auto at = [n](int x, int z) { return DWORD(z * (n + 1) + x); };
        for (int z = 0; z < n; ++z)
            for (int x = 0; x < n; ++x) {
                Group({at(x, z), at(x + 1, z), at(x, z + 1)}, {1});
                Group({at(x + 1, z), at(x + 1, z + 1), at(x, z + 1)}, {1});
                YMapVT3Cell cell;
                cell.m_groups = {DWORD(groups.size() - 2), DWORD(groups.size() - 1)};
                cells.push_back(cell);
            }
    }
    Stripper Build() const
    {
        Stripper s;
        s.Setup(vertices, groups, cells);
        return s;
    }
};

// Every record sits in exactly one cluster of its own kind, no cluster holds
// more than 13 triangles, and the local lists point at the record's vertices.
void ExpectClustersCover(const Stripper& s)
{
    for (size_t c = 0; c < s.Clusters().size(); ++c) {
        const StripCluster& cluster = s.Clusters()[c];
        ASSERT_LE(cluster.m_triangles.size(), 13u * 3);
        for (DWORD local : cluster.m_triangles) ASSERT_LT(local, cluster.m_vertices.size());
    }
    for (size_t r = 0; r < s.Records().size(); ++r) {
        const Stripper::Record& rec = s.Records()[r];
        ASSERT_GE(rec.m_cluster, 0);
        const StripCluster& cluster = s.Clusters()[rec.m_cluster];
        EXPECT_EQ(rec.m_texture, cluster.m_texture);
        EXPECT_EQ(rec.m_firstLayer, cluster.m_firstLayer);
    }
    size_t triangles = 0;
    for (const StripCluster& cluster : s.Clusters()) triangles += cluster.m_triangles.size() / 3;
    EXPECT_EQ(s.Records().size(), triangles);
}

TEST(Stripper, SharedEdgesMakeNeighboursOnlyWithTheSameTexture)
{
    const struct {
        WORD second;
        bool neighbours;
    } cases[] = {{1, true}, {2, false}};
    for (const auto& c : cases) {
        Terrain t;
        t.Vertex(0, 0, 0);
        t.Vertex(1, 0, 0);
        t.Vertex(0, 0, 1);
        t.Vertex(1, 0, 1);
        t.Group({0, 1, 2}, {1});
        t.Group({1, 3, 2}, {c.second});
        Stripper s = t.Build();
        ASSERT_EQ(2u, s.Records().size());
        EXPECT_EQ(4u, s.Vertices().size());  // corners 1 and 2 welded
        const Stripper::Record& a = s.Records()[0];
        const Stripper::Record& b = s.Records()[1];
        EXPECT_EQ(c.neighbours ? 1 : -1, a.m_neighbours[1]) << c.second;  // edge 1-2
        EXPECT_EQ(c.neighbours ? 0 : -1, b.m_neighbours[2]) << c.second;
        if (c.neighbours) {
            EXPECT_EQ(2, a.m_neighbourEdges[1]);
            EXPECT_EQ(1, b.m_neighbourEdges[2]);
        }
        EXPECT_EQ(c.neighbours ? 1u : 2u, s.Clusters().size());
    }
}

TEST(Stripper, StripGroupsGiveTheirFirstTriangleAndShortGroupsNothing)
{
    Terrain t;
    for (int i = 0; i < 5; ++i) t.Vertex(float(i), float(i % 2), 0);
    t.Group({0, 1, 2, 3, 4}, {1}).m_kind = YMapVT3Group::kStrip;
    t.Group({3, 4}, {1});
    t.Group({}, {1});
    t.cells.resize(1);
    t.cells[0].m_groups = {0, 1, 2, 7};
    Stripper s = t.Build();
    ASSERT_EQ(1u, s.Records().size());
    EXPECT_EQ((std::vector<DWORD>{0, 1, 2}),
              std::vector<DWORD>(s.Records()[0].m_vertices, s.Records()[0].m_vertices + 3));
    ASSERT_EQ(1u, s.Cells().size());
    EXPECT_EQ((std::vector<DWORD>{0}), s.Cells()[0].m_lists[StripCell::kFirstRecords]);
}

TEST(Stripper, LayersShareVerticesOnlyWhenTheirCornersAreEqual)
{
    for (bool equal : {true, false}) {
        Terrain t;
        t.Vertex(0, 0, 0);
        t.Vertex(1, 0, 0);
        t.Vertex(0, 0, 1);
        YMapVT3Group& g = t.Group({0, 1, 2}, {1, 2, 3});
        if (!equal) g.m_layerCorners[2][0].m_u = 0.5f;
        if (!equal) g.m_layerCorners[1][1].m_alpha = 7;
        t.cells.resize(1);
        t.cells[0].m_groups = {0};
        Stripper s = t.Build();
        ASSERT_EQ(3u, s.Records().size());
        EXPECT_EQ(equal ? 3u : 5u, s.Vertices().size());
        EXPECT_EQ(1u, s.Records()[0].m_firstLayer);
        EXPECT_EQ(0u, s.Records()[2].m_firstLayer);
        const StripCell& cell = s.Cells()[0];
        EXPECT_EQ((std::vector<DWORD>{0}), cell.m_lists[StripCell::kFirstRecords]);
        EXPECT_EQ((std::vector<DWORD>{1, 2}), cell.m_lists[StripCell::kMoreRecords]);
        EXPECT_EQ(1u, cell.m_lists[StripCell::kFirstClusters].size());
        EXPECT_EQ(2u, cell.m_lists[StripCell::kMoreClusters].size());
        EXPECT_EQ(0xFFC80000u, s.Vertices()[0].m_colour);  // alpha 255, red 200
    }
}

TEST(Stripper, FieldsMakeBoundedClustersListedOncePerCell)
{
    for (float height : {0.0f, 3.0f}) {  // flat terrain has no height to bucket by
        Terrain t;
        t.Field(8, height);
        Stripper s = t.Build();
        ASSERT_EQ(128u, s.Records().size());
        EXPECT_EQ(81u, s.Vertices().size());
        ExpectClustersCover(s);
        EXPECT_GT(s.Clusters().size(), 128u / 13);
        for (const StripCell& cell : s.Cells()) {
            const std::vector<DWORD>& clusters = cell.m_lists[StripCell::kFirstClusters];
            EXPECT_EQ(clusters.size(), std::set<DWORD>(clusters.begin(), clusters.end()).size());
            for (DWORD r : cell.m_lists[StripCell::kFirstRecords])
                EXPECT_NE(clusters.end(), std::find(clusters.begin(), clusters.end(), DWORD(s.Records()[r].m_cluster)));
        }
    }
}

TEST(Stripper, AllVerticesInOnePlaceAndEmptyInput)
{
    Terrain same;
    for (int i = 0; i < 3; ++i) same.Vertex(2, 2, 2);
    same.Group({0, 1, 2}, {1});
    Stripper s = same.Build();
    EXPECT_EQ(1u, s.Records().size());
    EXPECT_EQ(1u, s.Vertices().size());

    Stripper empty = Terrain().Build();
    StripperOutput out;
    empty.GetOutput(out);
    EXPECT_TRUE(out.m_vertices.empty() && out.m_records.empty() && out.m_clusters.empty() && out.m_cells.empty());
}

TEST(Stripper, BankSavesAndLoadsEqual)
{
    ScratchFolder folder(ScratchFolder::Enter);
    Terrain t;
    t.Field(5, 1.0f);
    t.Group({0, 1, 2}, {4, 5});
    t.cells[0].m_groups.push_back(DWORD(t.groups.size() - 1));
    Stripper s = t.Build();
    ASSERT_TRUE(s.SaveBank(DWORD(s.Cells().size())));
    Stripper loaded;
    ASSERT_TRUE(loaded.LoadBank());
    StripperOutput a, b;
    s.GetOutput(a);
    loaded.GetOutput(b);
    EXPECT_EQ(a.m_vertices, b.m_vertices);
    EXPECT_EQ(a.m_records, b.m_records);
    EXPECT_EQ(a.m_clusters, b.m_clusters);
    EXPECT_EQ(a.m_cells, b.m_cells);
    ASSERT_EQ(s.Records().size(), loaded.Records().size());
    for (size_t r = 0; r < s.Records().size(); ++r) {
        const Stripper::Record &x = s.Records()[r], &y = loaded.Records()[r];
        EXPECT_EQ(x.m_cluster, y.m_cluster);
        EXPECT_TRUE(std::equal(x.m_neighbours, x.m_neighbours + 3, y.m_neighbours));
        EXPECT_TRUE(std::equal(x.m_neighbourEdges, x.m_neighbourEdges + 3, y.m_neighbourEdges));
        EXPECT_TRUE(std::equal(x.m_edges, x.m_edges + 3, y.m_edges));
    }
}

TEST(Stripper, BrokenBanksAreRefusedAndChangeNothing)
{
    ScratchFolder folder(ScratchFolder::Enter);
    Terrain t;
    t.Field(2);
    Stripper s = t.Build();
    ASSERT_TRUE(s.SaveBank(DWORD(s.Cells().size())));
    const std::string whole = folder.Read("StripBank.bin");
    const size_t recordsAt = 4 + s.Vertices().size() * 36 + 4;
    auto withDword = [&](size_t at, uint32_t value) {
        std::string bytes = whole;
        for (int i = 0; i < 4; ++i) bytes[at + i] = char(value >> (8 * i));
        return bytes;
    };
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"cut short", whole.substr(0, whole.size() - 3)},
        {"huge vertex count", withDword(0, 0x7FFFFFFF)},
        {"vertex index out of range", withDword(recordsAt + 12, 9999)},
        {"cluster index out of range", withDword(recordsAt + 8, 9999)},
        {"neighbour out of range", withDword(recordsAt + 40, 12345)},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        folder.Write("StripBank.bin", c.bytes);
        Stripper target = t.Build();
        EXPECT_FALSE(target.LoadBank()) << c.what;
        EXPECT_EQ(s.Records().size(), target.Records().size()) << c.what;
        EXPECT_EQ(s.Vertices().size(), target.Vertices().size()) << c.what;
    }
    std::filesystem::remove(folder / "StripBank.bin");
    EXPECT_FALSE(Stripper().LoadBank());
}

}  // namespace

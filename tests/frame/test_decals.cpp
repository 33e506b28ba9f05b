// Ground marks: the ring of decal records, a mark laid from above cut along
// the terrain's edges, an oriented mark clipped to its square.
#include <gtest/gtest.h>

#include <cmath>

#include "FrameFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "frame/YDecalMesh.h"
#include "renderer/YD3D6TextureItem.h"

namespace {
// A renderer whose render-record array (the decal ring) has a given size.
class RingParser : public YD3D6Parser {
public:
    void Ring(int32_t capacity)
    {
        FreeDecalRing();
        delete[] m_renderRecords;
        m_renderRecords = new YRenderInstance[size_t(capacity) + 32];
        m_renderRecordCount = capacity;
    }
    YRenderInstance& Record(int32_t slot) { return m_renderRecords[slot]; }
};

const float kCell = 10.0f;
const int kCells = 6;

float Slope(float x, float z) { return 0.2f * x + 0.1f * z; }

// A 6 x 6 grid of 10-unit cells, each two triangles split along the
// diagonal from (x, z) to (x + 10, z + 10), over the slope y = 0.2 x + 0.1 z.
void BuildSlope(YMapVT3& map)
{
    map.m_gridWidth = map.m_gridHeight = kCells;
    map.m_cellSize = kCell;
    for (int j = 0; j <= kCells; ++j)
        for (int i = 0; i <= kCells; ++i)
            handmade::AddVertex(map, i * kCell, Slope(i * kCell, j * kCell), j * kCell);
    auto at = [](int i, int j) { return DWORD(j * (kCells + 1) + i); };
    for (int j = 0; j < kCells; ++j)
        for (int i = 0; i < kCells; ++i) {
            handmade::AddGroup(map, YMapVT3Group::kTriangle, YMapVT3Group::kGround,
                               {at(i, j), at(i + 1, j + 1), at(i + 1, j)}, 11);
            handmade::AddGroup(map, YMapVT3Group::kTriangle, YMapVT3Group::kGround,
                               {at(i, j), at(i, j + 1), at(i + 1, j + 1)}, 11);
        }
    handmade::ListGroupsInCells(map);
}

class Decals : public FrameTest {
protected:
    void SetUp() override
    {
        parser.reset(ring = new RingParser);
        FrameTest::SetUp();
        parser->InitSession(2, nullptr, 4);
        YMapVT3 map;
        BuildSlope(map);
        parser->BuildTerrainCells(map, 1.0f);
        ring->Ring(3);
        texture = AddTexture(16, 16);  // a mark of 4 x 4 at scale 1
    }
    int16_t AddTexture(int16_t width, int16_t height)
    {
        YD3D6TextureItem* item = new YD3D6TextureItem;
        item->m_lock = new YD3D6Lock;
        item->m_width = width, item->m_height = height;
        parser->m_textures.push_back(item);
        return int16_t(parser->m_textures.size() - 1);
    }
    YRenderInstance Request(float x, float z, float scale = 1.0f, float angle = 0.0f, int16_t slot = -1)
    {
        YRenderInstance r;
        r.m_typeIndex = texture;
        r.m_position[0] = x, r.m_position[2] = z;
        r.m_angles[1] = angle;
        r.m_scale = scale;
        r.m_index2 = slot;
        return r;
    }
    YDecalMesh& Mesh(int32_t slot) { return *parser->DecalMesh(slot); }
    int Registered(const void* record, float x, float z)
    {
        int n = 0;
        const uint32_t cell = uint32_t(int(z / kCell)) * kCells + uint32_t(int(x / kCell));
        for (const YCellActor* a = parser->GetCellActors(cell); a; a = a->m_next) n += a->m_id == record;
        return n;
    }
    // The terrain triangle (by its lower-left cell corner and half) that
    // holds all three points, with a little room at the borders.
    static bool InOneTerrainTriangle(const YAlphaVertex* p[3])
    {
        for (int j = 0; j < kCells; ++j)
            for (int i = 0; i < kCells; ++i)
                for (int half = 0; half < 2; ++half) {
                    bool all = true;
                    for (int k = 0; k < 3 && all; ++k) {
                        const float x = p[k]->x - i * kCell, z = p[k]->z - j * kCell, e = 0.02f;
                        all = x > -e && z > -e && x < kCell + e && z < kCell + e && (half ? z > x - e : x > z - e);
                    }
                    if (all) return true;
                }
        return false;
    }
    // Area in x and z of the mesh's triangles.
    static double Area(const YDecalMesh& mesh)
    {
        double sum = 0.0;
        for (size_t t = 0; t + 2 < mesh.m_triangles.size(); t += 3) {
            const YAlphaVertex& a = mesh.m_vertices[size_t(mesh.m_triangles[t])];
            const YAlphaVertex& b = mesh.m_vertices[size_t(mesh.m_triangles[t + 1])];
            const YAlphaVertex& c = mesh.m_vertices[size_t(mesh.m_triangles[t + 2])];
            sum += std::fabs((double(b.x) - a.x) * (double(c.z) - a.z) - (double(b.z) - a.z) * (double(c.x) - a.x)) / 2;
        }
        return sum;
    }
    RingParser* ring = nullptr;
    int16_t texture = -1;
};
}  // namespace

TEST_F(Decals, AMarkInsideOneTriangleKeepsItsTwo)
{
    // x 5..9, z 0.5..4.5: below the diagonal of cell (0, 0).
    YRenderInstance r = Request(7.0f, 2.5f);
    parser->ProjectOntoTerrain(&r);
    const YDecalMesh& mesh = Mesh(0);
    EXPECT_EQ(2, mesh.m_triangleCount);
    EXPECT_EQ(4u, mesh.m_vertices.size());
    for (const YAlphaVertex& v : mesh.m_vertices) EXPECT_NEAR(Slope(v.x, v.z) + 0.2f, v.y, 1e-3f);
    const YRenderInstance& record = ring->Record(0);
    EXPECT_EQ(YRenderInstance::KindTerrainDecal, record.m_kind);
    EXPECT_EQ(4, record.m_subKind);
    EXPECT_EQ(1u, record.m_flags);
    EXPECT_EQ(texture, record.m_textureIndex);
    EXPECT_EQ(0, record.m_decalSlot);
    EXPECT_EQ(&mesh, record.m_geometry);
    EXPECT_NEAR(Slope(7.0f, 2.5f) + 0.2f, record.m_position[1], 1e-3f);
    EXPECT_EQ(1, Registered(&record, 7.0f, 2.5f)) << "in the grid, for the cell-object pass";
}

TEST_F(Decals, EveryPieceOfAMarkLiesInOneTerrainTriangle)
{
    struct Case {
        const char* what;
        float x, z, scale, angle;
    } cases[] = {
        {"over four cells", 30.0f, 30.0f, 3.0f, 0.0f},
        {"turned a little", 25.0f, 33.0f, 2.5f, 0.4f},
        {"on a corner of the grid lines", 20.0f, 20.0f, 1.0f, 0.0f},
        {"turned along the diagonals", 35.0f, 25.0f, 2.0f, 0.785398f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        YRenderInstance r = Request(c.x, c.z, c.scale, c.angle);
        parser->ProjectOntoTerrain(&r);
        const YDecalMesh& mesh = Mesh(ring->Record(parser->m_decalNext - 1).m_decalSlot);
        ASSERT_GT(mesh.m_triangleCount, 2);
        EXPECT_LE(mesh.m_triangles.size(), size_t(YDecalMesh::kIndexWords));
        EXPECT_EQ(size_t(mesh.m_triangleCount) * 3, mesh.m_triangles.size());
        const float half = 16.0f * c.scale * 0.125f;
        EXPECT_NEAR(4.0 * half * half, Area(mesh), 0.02) << "the square, neither lost nor doubled";
        for (size_t t = 0; t < mesh.m_triangles.size(); t += 3) {
            const YAlphaVertex* p[3];
            for (int k = 0; k < 3; ++k) {
                ASSERT_LT(size_t(mesh.m_triangles[t + k]), mesh.m_vertices.size());
                p[k] = &mesh.m_vertices[size_t(mesh.m_triangles[t + k])];
                EXPECT_NEAR(Slope(p[k]->x, p[k]->z) + 0.2f, p[k]->y, 2e-3f) << "on the ground";
                EXPECT_GE(p[k]->u0, 0.0f);
                EXPECT_LE(p[k]->u0, 1.0f);
            }
            EXPECT_TRUE(InOneTerrainTriangle(p)) << "piece " << t / 3;
        }
    }
}

TEST_F(Decals, AHugeMarkStopsAtTheMeshLimit)
{
    YRenderInstance r = Request(30.0f, 30.0f, 12.0f);  // 48 x 48 over most of the map
    parser->ProjectOntoTerrain(&r);
    const YDecalMesh& mesh = Mesh(0);
    EXPECT_LE(mesh.m_triangles.size(), size_t(YDecalMesh::kIndexWords));
    EXPECT_GE(mesh.m_triangleCount, 64) << "filled up to the limit";
    for (int16_t i : mesh.m_triangles) EXPECT_LT(size_t(i), mesh.m_vertices.size());
    EXPECT_NEAR(48.0 * 48.0, Area(mesh), 0.1) << "still the whole square";
}

TEST_F(Decals, TheFourthMarkOfThreeReusesSlotZeroAndLeavesTheGridFirst)
{
    const float places[4][2] = {{7, 2.5f}, {17, 12.5f}, {27, 22.5f}, {47, 42.5f}};
    for (const auto& p : places) {
        YRenderInstance r = Request(p[0], p[1]);
        parser->ProjectOntoTerrain(&r);
    }
    EXPECT_EQ(3, parser->m_decalUsed);
    EXPECT_EQ(1, parser->m_decalNext);
    const YRenderInstance& first = ring->Record(0);
    EXPECT_EQ(0, Registered(&first, 7, 2.5f)) << "the old mark is gone from its cell";
    EXPECT_EQ(1, Registered(&first, 47, 42.5f));
    EXPECT_NEAR(47.0f, first.m_position[0], 1e-3f);
    EXPECT_EQ(0, static_cast<YDecalMesh*>(first.m_geometry)->m_slot);
    EXPECT_EQ(1, Registered(&ring->Record(1), 17, 12.5f));
}

TEST_F(Decals, AGivenSlotIsReusedOnlyWhenTheRingHasUsedIt)
{
    for (int i = 0; i < 2; ++i) {
        YRenderInstance r = Request(7, 2.5f);
        parser->ProjectOntoTerrain(&r);
    }
    YRenderInstance again = Request(27, 22.5f, 1.0f, 0.0f, 0);
    parser->ProjectOntoTerrain(&again);
    EXPECT_NEAR(27.0f, ring->Record(0).m_position[0], 1e-3f);
    EXPECT_EQ(2, parser->m_decalUsed);
    // Slot 7 was never used: the next slot is taken.
    YRenderInstance far = Request(37, 32.5f, 1.0f, 0.0f, 7);
    parser->ProjectOntoTerrain(&far);
    EXPECT_EQ(3, parser->m_decalUsed);
    EXPECT_NEAR(37.0f, ring->Record(2).m_position[0], 1e-3f);
}

TEST_F(Decals, NoMarkWithoutItsTextures)
{
    struct Case {
        const char* what;
        int16_t texture, sizer;
    } cases[] = {{"texture -1", -1, -1}, {"a texture beyond the table", 40, -1}, {"a size texture beyond it", 0, 99}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        YRenderInstance r = Request(7, 2.5f);
        r.m_typeIndex = c.texture;
        r.m_textureIndex = c.sizer;
        parser->ProjectOntoTerrain(&r);
        parser->ProjectOntoSurface(&r);
        EXPECT_EQ(0, parser->m_decalUsed);
    }
}

TEST_F(Decals, AMarkAtTheEdgeHasItsCentreInsideTheMap)
{
    YRenderInstance r = Request(0.5f, 59.5f);
    parser->ProjectOntoTerrain(&r);
    const YRenderInstance& record = ring->Record(0);
    EXPECT_NEAR(1.0f, record.m_position[0], 1e-3f) << "a margin of one unit";
    EXPECT_NEAR(59.0f, record.m_position[2], 1e-3f);
    EXPECT_NEAR(Slope(record.m_position[0], record.m_position[2]) + 0.2f, record.m_position[1], 1e-3f);
    EXPECT_GT(Mesh(0).m_triangleCount, 0);
}

TEST_F(Decals, AMirroredMarkHasItsTextureTurnedOver)
{
    YRenderInstance plain = Request(7, 2.5f), mirrored = Request(7, 2.5f, 1.0f, 3.1415927f);
    parser->ProjectOntoTerrain(&plain);
    parser->ProjectOntoTerrain(&mirrored);
    const YDecalMesh &a = Mesh(0), &b = Mesh(1);
    ASSERT_EQ(4u, a.m_vertices.size());
    ASSERT_EQ(4u, b.m_vertices.size());
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_NEAR(1.0f - a.m_vertices[k].u0, b.m_vertices[k].u0, 1e-6f) << k;
        EXPECT_EQ(a.m_vertices[k].v0, b.m_vertices[k].v0) << k;
        // Turned half round: the corner lies on the other side of the centre.
        EXPECT_NEAR(14.0f - a.m_vertices[k].x, b.m_vertices[k].x, 2e-2f) << k;
    }
    EXPECT_FLOAT_EQ(0.005f, a.m_vertices[0].u0);
}

TEST_F(Decals, TheDecalEntryLaysAMarkThroughTheRing)
{
    parser->AddTerrainDecal(texture, 7.0f, 0.0f, 2.5f, 1, 11, 22, -1, 0, 0, 0);
    ASSERT_EQ(1, parser->m_decalUsed);
    const YRenderInstance& record = ring->Record(0);
    EXPECT_FLOAT_EQ(3.1415927f, record.m_angles[1]) << "turned half round";
    EXPECT_EQ(11u, record.m_words[0]);
    EXPECT_EQ(22u, record.m_words[1]);
    EXPECT_EQ(2, Mesh(0).m_triangleCount);
}

TEST_F(Decals, AnOrientedMarkIsTheGroundItCoversClippedToItsSquare)
{
    struct Case {
        const char* what;
        float x, z, scale, roll;
    } cases[] = {{"small, inside a cell", 7, 2.5f, 1.0f, 0.0f},
                 {"over many triangles", 30, 30, 6.0f, 0.0f},
                 {"rolled", 30, 30, 3.0f, 30.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        YRenderInstance r = Request(c.x, c.z, c.scale);
        r.m_position[1] = Slope(c.x, c.z) + 50.0f;
        r.m_decalTarget[0] = c.x, r.m_decalTarget[1] = Slope(c.x, c.z), r.m_decalTarget[2] = c.z;
        r.m_decalRoll = c.roll;
        parser->ProjectOntoSurface(&r);
        const int32_t slot = (parser->m_decalNext + 2) % 3;
        const YDecalMesh& mesh = Mesh(slot);
        ASSERT_GT(mesh.m_triangleCount, 0);
        // Arrays sized by what was written.
        EXPECT_EQ(size_t(mesh.m_triangleCount) * 3, mesh.m_triangles.size());
        EXPECT_EQ(mesh.m_triangles.size(), mesh.m_vertices.size());
        EXPECT_LE(mesh.m_triangles.size(), size_t(YDecalMesh::kIndexWords));
        const float half = 16.0f * c.scale * 0.125f;
        // Seen from straight above, the square covers its area on the ground.
        if (mesh.m_triangles.size() < size_t(YDecalMesh::kIndexWords)) EXPECT_NEAR(4.0 * half * half, Area(mesh), 0.05);
        for (const YAlphaVertex& v : mesh.m_vertices) {
            EXPECT_GE(v.u0, -1e-5f);
            EXPECT_LE(v.u0, 1.0f + 1e-5f);
            EXPECT_GE(v.v0, -1e-5f);
            EXPECT_LE(v.v0, 1.0f + 1e-5f);
            EXPECT_EQ(1.0f, v.v1);
            EXPECT_NEAR(Slope(v.x, v.z) + 0.2f, v.y, 2e-3f);
        }
    }
}

TEST_F(Decals, AnOrientedMarkWithoutADirectionIsNoMark)
{
    YRenderInstance r = Request(7, 2.5f);
    r.m_decalTarget[0] = 7, r.m_decalTarget[2] = 2.5f;  // the same point
    parser->ProjectOntoSurface(&r);
    EXPECT_EQ(0, parser->m_decalUsed);
}

TEST_F(Decals, ClippingATriangleToTheUnitSquare)
{
    auto tri = [](float u0, float v0, float u1, float v1, float u2, float v2) {
        std::vector<YAlphaVertex> t(3);
        const float uv[3][2] = {{u0, v0}, {u1, v1}, {u2, v2}};
        for (int k = 0; k < 3; ++k) {
            t[size_t(k)] = {};
            t[size_t(k)].x = uv[k][0] * 10.0f, t[size_t(k)].z = uv[k][1] * 10.0f;
            t[size_t(k)].u0 = uv[k][0], t[size_t(k)].v0 = uv[k][1];
        }
        return t;
    };
    struct Case {
        const char* what;
        std::vector<YAlphaVertex> t;
        int pieces;
        double area;  // in u and v
    } cases[] = {
        {"inside", tri(0.1f, 0.1f, 0.9f, 0.1f, 0.1f, 0.9f), 1, 0.32},
        {"all u at or past 1", tri(1.0f, 0.1f, 2.0f, 0.1f, 1.5f, 0.9f), 0, 0.0},
        {"all v at or below 0", tri(0.1f, 0.0f, 0.9f, -1.0f, 0.5f, -0.5f), 0, 0.0},
        {"one corner out past u = 1", tri(0.5f, 0.2f, 1.5f, 0.2f, 0.5f, 0.8f), 2, 0.3 - 0.5 * 0.5 * 0.3},
        {"covering the square", tri(-1.0f, -1.0f, 3.0f, -1.0f, -1.0f, 3.0f), 2, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        YAlphaVertex out[15];
        const int n = YD3D6Parser::ClipDecalTriangle(c.t.data(), out);
        EXPECT_EQ(c.pieces, n);
        double area = 0.0;
        for (int i = 0; i < n; ++i) {
            const YAlphaVertex *a = &out[3 * i], *b = &out[3 * i + 1], *d = &out[3 * i + 2];
            area += std::fabs((b->u0 - a->u0) * (d->v0 - a->v0) - (b->v0 - a->v0) * (d->u0 - a->u0)) / 2;
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(out[3 * i + k].u0 * 10.0f, out[3 * i + k].x, 1e-4f) << "position follows";
                EXPECT_EQ(1.0f, out[3 * i + k].v1);
            }
        }
        EXPECT_NEAR(c.area, area, 1e-5);
    }
}

TEST_F(Decals, TheSessionsEndFreesTheRing)
{
    YRenderInstance r = Request(7, 2.5f);
    parser->ProjectOntoTerrain(&r);
    parser->FreeDecalRing();
    EXPECT_EQ(0, parser->m_decalUsed);
    EXPECT_EQ(nullptr, ring->Record(0).m_geometry);
    parser->ProjectOntoTerrain(&r);
    EXPECT_EQ(1, parser->m_decalUsed) << "a new ring starts at slot 0";
}

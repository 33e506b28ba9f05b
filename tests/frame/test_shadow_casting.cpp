// Casting one shadow over small hand-made grids: the ray walk to the
// ground, the hits, the light-view projection, the lifted triangles and
// the silhouette drawn into a 16-bit texture.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "FrameFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "renderer/CTexRen.h"
#include "renderer/HandMadeGrid.h"

bool ShadowPointInTriangle(float x, float y, float z, const YCellPlane& plane, const float* a, const float* b,
                           const float* c);
bool AddShadowHit(YD3D6ShadowCaster& caster, const YCellPolygon* item, const YCellPlane* plane, int32_t first,
                  int32_t second, int32_t third, const float* point);

namespace {
const float kLight[3] = {0.5773502f, 0.5773502f, 0.5773502f};

// A box model: eight corners, twelve faces in one group.
std::unique_ptr<YSMObject> BoxModel()
{
    std::unique_ptr<YSMObject> m(new YSMObject);
    YSMGroup* group = new YSMGroup;
    group->name = "Body";
    group->flags = 0x2;
    const int faces[12][3] = {{0, 1, 3}, {0, 3, 2}, {4, 6, 7}, {4, 7, 5}, {0, 4, 5}, {0, 5, 1},
                              {2, 3, 7}, {2, 7, 6}, {0, 2, 6}, {0, 6, 4}, {1, 5, 7}, {1, 7, 3}};
    for (int f = 0; f < 12; ++f) {
        YSMFace face = {};
        for (int k = 0; k < 3; ++k) face.v[k] = int16_t(faces[f][k]);
        m->m_faces.push_back(face);
        group->faces.push_back(uint16_t(f));
    }
    group->faceCount = 12;
    m->m_groups.emplace_back(group);
    m->m_vertexCount = 8;
    m->m_groupCount = 1;
    m->m_faceCount = 12;
    return m;
}

class Casting : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_EQ(1, MakeDevice());
        model = BoxModel();
        handle.reset(model->CreateHandle());
        handle->m_groupStates[0].flags |= YSMHandle::kGroupShown;
        handle->m_groupStates[0].slot = 0;
        caster.m_model = handle.get();
        caster.m_vertices = vertices;
        parser->m_softwareRasteriser = YD3D6Parser::CreateSoftwareRasteriser(0);
        parser->m_greyRamp = new uint16_t[256];
        YD3D6Parser::BuildGreyRamp(parser->m_greyRamp);
        const DDPIXELFORMAT k565 = RgbFormat(16, 0xF800, 0x07E0, 0x001F);
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(1, surfaces[i].CreateSurface(&display, 16, 16, DDSCAPS_OFFSCREENPLAIN, nullptr, 0, &k565));
            locks[i].m_pSurface = surfaces[i].GetSurface();
        }
        work.lock = &locks[0];
        work.size = 16;
        entry.lock = &locks[1];
        entry.size = 16;
        caster.m_textureWidth = caster.m_textureHeight = 16;
    }
    void TearDown() override
    {
        for (YD3D6Lock& lock : locks) lock.m_pSurface = nullptr;
        parser.reset();
        for (YDXSurface& s : surfaces) s.Release();
        FrameTest::TearDown();
    }
    // A grid of n x n cells of 10 units; ground y = slope x x as one strip.
    void Ground(int n, float slope = 0.0f)
    {
        YMapVT3 map;
        map.m_gridWidth = map.m_gridHeight = DWORD(n);
        map.m_cellSize = 10.0f;
        const float e = 10.0f * float(n);
        handmade::AddVertex(map, 0, 0, 0), handmade::AddVertex(map, e, slope * e, 0);
        handmade::AddVertex(map, 0, 0, e), handmade::AddVertex(map, e, slope * e, e);
        handmade::AddGroup(map, YMapVT3Group::kStrip, YMapVT3Group::kGround, {0, 1, 2, 3}, 11);
        handmade::ListGroupsInCells(map);
        parser->InitSession(2, nullptr, 99);
        ASSERT_EQ(1, parser->BuildTerrainCells(map, 1.0f));
    }
    // Strips of k quads along x, each one cell deep in z.
    void Strips(int n)
    {
        YMapVT3 map;
        map.m_gridWidth = map.m_gridHeight = DWORD(n);
        map.m_cellSize = 10.0f;
        for (int row = 0; row < n; ++row) {
            const DWORD base = DWORD(map.m_vertices.size());
            std::vector<DWORD> corners;
            for (int c = 0; c <= n; ++c) {
                handmade::AddVertex(map, 10.0f * float(c), 0, 10.0f * float(row));
                handmade::AddVertex(map, 10.0f * float(c), 0, 10.0f * float(row + 1));
                corners.push_back(base + DWORD(2 * c));
                corners.push_back(base + DWORD(2 * c + 1));
            }
            YMapVT3Group g;
            g.m_kind = YMapVT3Group::kStrip;
            g.m_surface = YMapVT3Group::kGround;
            for (DWORD c : corners) {
                YMapVT3Corner corner;
                corner.m_vertex = c;
                g.m_corners.push_back(corner);
            }
            g.m_layerTextures.push_back(11);
            g.m_layerCorners.push_back(std::vector<YMapVT3LayerCorner>(corners.size()));
            map.m_groups.push_back(g);
        }
        handmade::ListGroupsInCells(map);
        parser->InitSession(2, nullptr, 99);
        ASSERT_EQ(1, parser->BuildTerrainCells(map, 1.0f));
    }
    // The box's world vertices between lo and hi.
    void Box(const float lo[3], const float hi[3])
    {
        for (int k = 0; k < 8; ++k) {
            vertices[k] = YTransformedVertex{(k & 1) ? hi[0] : lo[0], (k & 2) ? hi[1] : lo[1], (k & 4) ? hi[2] : lo[2],
                                             0.0f, 1.0f, 0.0f};
        }
        for (int c = 0; c < 3; ++c) caster.m_position[c] = 0.5f * (lo[c] + hi[c]);
    }
    std::vector<uint16_t> Texels(YDXSurface& s)
    {
        std::vector<uint16_t> out;
        for (uint32_t p : Read(s)) out.push_back(uint16_t(p));
        return out;
    }
    std::unique_ptr<YSMObject> model;
    std::unique_ptr<YSMHandle> handle;
    YTransformedVertex vertices[8] = {};
    YD3D6ShadowCaster caster;
    YDXSurface surfaces[2] = {YDXSurface{"Work"}, YDXSurface{"Entry"}};
    YD3D6Lock locks[2];
    YD3D6ShadowWorkTexture work;
    YD3D6ShadowEntry entry;
};
}  // namespace

TEST_F(Casting, ABoxOnFlatGroundShadowsTheGroundAwayFromTheLight)
{
    Ground(4);
    const float lo[3] = {18, 2, 18}, hi[3] = {22, 6, 22};
    Box(lo, hi);
    parser->CastShadow(caster, kLight, &work, entry, 7);
    EXPECT_EQ(7, handle->m_shadowSlot);
    // Corners go down against the light: x and z move by their height.
    EXPECT_NEAR(12.0f, caster.m_groundMin[0], 1e-3);
    EXPECT_NEAR(20.0f, caster.m_groundMax[0], 1e-3);
    EXPECT_NEAR(12.0f, caster.m_groundMin[2], 1e-3);
    EXPECT_NEAR(0.0f, caster.m_groundMax[1], 1e-3);
    ASSERT_GT(entry.triangleCount, 0);
    ASSERT_EQ(size_t(entry.triangleCount) * 3, entry.vertices.size());
    for (const YD3D6ShadowEntry::Vertex& v : entry.vertices) EXPECT_FLOAT_EQ(0.25f, v.position[1]);
    for (const YD3D6ShadowEntry::Triangle& t : entry.triangles)
        for (float uv : t.uv) EXPECT_TRUE(std::isfinite(uv));
    // The silhouette: grey inside, the white border; copied into the entry.
    const std::vector<uint16_t> texels = Texels(surfaces[1]);
    int grey = 0;
    for (uint16_t t : texels) grey += t != 0xFFFF;
    EXPECT_GT(grey, 4);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(0xFFFF, texels[size_t(x)]) << x;
    EXPECT_EQ(Texels(surfaces[0]), texels);
    EXPECT_TRUE(caster.m_hits.empty()) << "nothing kept past the cast";
}

TEST_F(Casting, HiddenGroupsCastNothing)
{
    Ground(4);
    const float lo[3] = {18, 2, 18}, hi[3] = {22, 6, 22};
    Box(lo, hi);
    struct Case {
        const char* what;
        uint32_t flags;
    } cases[] = {{"hidden", 0}, {"flagged 0x800", YSMHandle::kGroupShown | 0x800}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        handle->m_groupStates[0].flags = c.flags;
        entry.triangleCount = 3;
        entry.vertices.resize(9);
        entry.triangles.resize(3);
        parser->CastShadow(caster, kLight, &work, entry, 2);
        EXPECT_EQ(0, entry.triangleCount);
        EXPECT_EQ(2, handle->m_shadowSlot);
    }
}

TEST_F(Casting, TheRayWalksToTheGround)
{
    Ground(4);
    struct Case {
        const char* what;
        float from[3], direction[3];
        float at[3];
    } cases[] = {
        {"zero x walks along z", {5, 20, 35}, {0.0f, -0.6f, -0.8f}, {5, 0, 35 - 80.0f / 3.0f}},
        {"from outside the grid", {-10, 15, 5}, {0.8f, -0.6f, 0.0f}, {10, 0, 5}},
        {"straight down", {25, 9, 15}, {0.0f, -1.0f, 0.0f}, {25, 0, 15}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        caster.m_hits.clear();
        ASSERT_TRUE(parser->TraceShadowRay(c.from, c.direction, 360000.0f, caster));
        ASSERT_EQ(1u, caster.m_hits.size());
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(c.at[k], caster.m_hits[0].point[k], 1e-3) << k;
    }
    // Leaving the grid for good: nothing within the distance.
    caster.m_hits.clear();
    const float away[3] = {-10, 5, 5}, out[3] = {-0.6f, 0.8f, 0.0f};
    EXPECT_FALSE(parser->TraceShadowRay(away, out, 360000.0f, caster));
}

TEST_F(Casting, ACellBoundaryDoesNotStallTheWalk)
{
    Strips(8);
    // Starting exactly on a row boundary, walking down along z over rows
    // whose strips do not reach the ground point.
    const float from[3] = {45.0f, 21.0f, 40.0f}, d[3] = {0.0f, -0.6f, -0.8f};
    ASSERT_TRUE(parser->TraceShadowRay(from, d, 360000.0f, caster));
    EXPECT_NEAR(45.0f, caster.m_hits[0].point[0], 1e-3);
    EXPECT_NEAR(12.0f, caster.m_hits[0].point[2], 1e-3);
}

TEST_F(Casting, StripTrianglesAreHitsOfTheirOwnAndNearDuplicatesAreOne)
{
    Strips(2);
    const YCellPolygon* strip = parser->m_cells[0].m_polygons[0];
    ASSERT_EQ(YCellPolygon::kStrip, strip->m_shape);
    const float p[3] = {1, 0, 1}, near[3] = {1.9f, 0, 1}, far[3] = {2.0f, 0, 1};
    EXPECT_TRUE(AddShadowHit(caster, strip, &strip->m_planes[0], 0, 1, 2, p));
    EXPECT_TRUE(AddShadowHit(caster, strip, &strip->m_planes[1], 1, 3, 2, p)) << "the strip's second triangle";
    EXPECT_FALSE(AddShadowHit(caster, strip, &strip->m_planes[0], 0, 1, 2, near)) << "within a unit";
    EXPECT_TRUE(AddShadowHit(caster, strip, &strip->m_planes[0], 0, 1, 2, far));
    EXPECT_FALSE(AddShadowHit(caster, strip, &strip->m_planes[0], 0, 1, 2, nullptr)) << "no point: same triangle";
    EXPECT_EQ(3u, caster.m_hits.size());
    // Receivers: every triangle under the box once, shared cells or not.
    caster.m_hits.clear();
    for (float(&plane)[4] : caster.m_planes) plane[0] = plane[1] = plane[2] = 0.0f, plane[3] = 1.0f;
    caster.m_groundMin[0] = caster.m_groundMin[2] = 1.0f;
    caster.m_groundMax[0] = caster.m_groundMax[2] = 15.0f;
    parser->CollectShadowReceivers(caster);
    EXPECT_EQ(8u, caster.m_hits.size()) << "two strips of two quads";
}

TEST_F(Casting, PointInTriangleOnCornersEdgesAndInside)
{
    const YCellPlane flat = {0.0f, 1.0f, 0.0f, 0.0f}, wall = {1.0f, 0.0f, 0.0f, 0.0f};
    const float a[3] = {0, 0, 0}, b[3] = {10, 0, 0}, c[3] = {0, 0, 10};
    struct Case {
        const char* what;
        float x, z;
        bool in;
    } cases[] = {{"inside", 2, 2, true},  {"corner", 10, 0, true},  {"on the long edge", 5, 5, true},
                 {"on the x edge", 4, 0, true}, {"outside", 6, 6, false}, {"beyond", -1, 2, false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        EXPECT_EQ(k.in, ShadowPointInTriangle(k.x, 0.0f, k.z, flat, a, b, c));
        EXPECT_FALSE(ShadowPointInTriangle(k.x, 0.0f, k.z, wall, a, b, c));
    }
}

TEST_F(Casting, TheFadeTableStaysWithinFullStrength)
{
    Ground(4);
    const float lo[3] = {18, 2, 18}, hi[3] = {22, 6, 22};
    Box(lo, hi);
    caster.m_hits.clear();
    for (int k = 0; k < 8; ++k)
        for (int c = 0; c < 3; ++c) caster.m_corners[k][c] = (k >> c) & 1 ? hi[c] : lo[c];
    parser->BuildShadowProjection(caster, kLight);
    for (float fade : {0.0f, -3.0f, 0.5f, 1.0f, 7.0f}) {
        SCOPED_TRACE(fade);
        parser->RenderShadowTexture(caster, &work, entry, fade, caster.m_projection);
        ASSERT_EQ(16u, parser->m_shadowFade.size());
        const float f = std::min(std::max(fade, 0.0f), 1.0f);
        const int n = int(16.0f * f);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(i < n ? uint16_t(float(n - 1 - i) * 255.0f * f / float(n)) : 0, parser->m_shadowFade[size_t(i)]);
        if (f == 0.0f) {
            // An all-zero table draws the silhouette at zero weight: white.
            for (uint16_t t : Texels(surfaces[1])) EXPECT_EQ(0xFFFF, t);
        }
    }
}

TEST_F(Casting, SilhouetteCoordinatesArePinnedToTheTexture)
{
    const float lo[3] = {0, 0, 0}, hi[3] = {1, 1, 1};
    Box(lo, hi);
    // A matrix that sends x to u = 3x - 1 and y to v = -2y + 0.5.
    float m[16] = {3, 0, 0, 0, 0, -2, 0, 0, 0, 0, 1, 0, -1, 0.5f, 0, 1};
    std::vector<int32_t> points, triangles;
    int32_t base = 0, count = 0;
    parser->ProjectCasterGeometry(caster, points, triangles, &base, &count, m, 1.0f, 1.0f);
    ASSERT_EQ(16u, points.size());
    EXPECT_EQ(12, count);
    EXPECT_EQ(8, base);
    for (int k = 0; k < 8; ++k) {
        const float u = (k & 1) ? 0.99f : 0.0f;
        const float v = (k & 2) ? 0.0f : 0.5f;
        EXPECT_EQ(int32_t(15.0f * u), points[size_t(2 * k)]) << k;
        EXPECT_EQ(int32_t(15.0f * v), points[size_t(2 * k + 1)]) << k;
    }
}

TEST_F(Casting, APointOrALineCasterStaysFiniteAndInsideTheTexture)
{
    Ground(4);
    struct Case {
        const char* what;
        float lo[3], hi[3];
    } cases[] = {{"one point", {20, 3, 20}, {20, 3, 20}},
                 {"a vertical line", {20, 1, 20}, {20, 8, 20}},
                 {"a line along the light", {20, 3, 20}, {23, 6, 23}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Box(c.lo, c.hi);
        parser->CastShadow(caster, kLight, &work, entry, 1);
        for (float v : caster.m_projection) EXPECT_TRUE(std::isfinite(v));
        for (const YD3D6ShadowEntry::Triangle& t : entry.triangles)
            for (float uv : t.uv) EXPECT_TRUE(std::isfinite(uv));
        std::vector<int32_t> points, triangles;
        int32_t base = 0, count = 0;
        parser->ProjectCasterGeometry(caster, points, triangles, &base, &count, caster.m_projection, 1.0f, 1.0f);
        for (int32_t p : points) {
            EXPECT_GE(p, 0);
            EXPECT_LT(p, 16);
        }
    }
}

// The world trace over the hand-made grid: the cells a segment collects,
// terrain, water and bridge hits, sprite-tree cylinders, the visited marks
// and degenerate segments.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <vector>

#include "HandMadeGrid.h"
#include "renderer/YTraceResult.h"

namespace {

struct Trace : ::testing::Test {
    YD3D6Parser parser;
    void SetUp() override { handmade::SetUp(parser); }

    int Run(float x0, float y0, float z0, float x1, float y1, float z1, DWORD flags, float r0 = 0, float r1 = 0)
    {
        const float from[3] = {x0, y0, z0}, to[3] = {x1, y1, z1};
        return parser.TraceWorld(to, from, r0, r1, flags);
    }
    const YTraceResult& Result() { return *parser.GetTraceResult(); }
    void ExpectMarksCleared()
    {
        EXPECT_TRUE(std::all_of(parser.m_visitedCells.begin(), parser.m_visitedCells.end(),
                                [](uint8_t b) { return b == 0; }));
        EXPECT_TRUE(std::all_of(parser.m_visitedKeys.begin(), parser.m_visitedKeys.end(),
                                [](uint8_t b) { return b == 0; }));
        EXPECT_TRUE(parser.m_visitedList.empty());
    }
};

TEST_F(Trace, OneCellCollectsItsBlockInOrder)
{
    EXPECT_EQ(1, Run(31, 50, 31, 39, 40, 39, 0));  // cell (3, 3), nothing asked for
    const std::vector<uint32_t> expect = {9,  10, 11, 12, 13, 17, 18, 19, 20, 21, 25, 26, 27,
                                          28, 29, 37, 36, 35, 34, 33, 45, 44, 43, 42, 41};
    EXPECT_EQ(expect, parser.GetTraceCells());
    ExpectMarksCleared();
}

TEST_F(Trace, NearTheBorderNothingIsCollected)
{
    EXPECT_EQ(1, Run(5, 50, 5, 15, -50, 75, 0x300));  // columns 0 and 1 only
    EXPECT_TRUE(parser.GetTraceCells().empty());
    EXPECT_EQ(15.0f, Result().m_hitPoint[0]);
    EXPECT_EQ(75.0f, Result().m_hitPoint[2]);
    EXPECT_EQ(0u, Result().m_hitCode);
}

TEST_F(Trace, WalksEveryCellOnceAlongTheSegment)
{
    const float segments[][4] = {{21, 21, 59, 59}, {59, 21, 21, 59}, {21, 59, 59, 21}, {21, 45, 59, 25}, {25, 21, 35, 59}};
    for (const auto& s : segments) {
        Run(s[0], 10, s[1], s[2], 10, s[3], 0);
        const std::vector<uint32_t>& cells = parser.GetTraceCells();
        EXPECT_EQ(cells.size(), std::set<uint32_t>(cells.begin(), cells.end()).size());
        // Both ends' blocks are in.
        for (const float* p : {s, s + 2}) {
            const uint32_t end = uint32_t(p[1] / 10) * 8 + uint32_t(p[0] / 10);
            EXPECT_NE(cells.end(), std::find(cells.begin(), cells.end(), end));
        }
        ExpectMarksCleared();
    }
}

TEST_F(Trace, TerrainWaterAndBridgeHits)
{
    const struct {
        float x, z;
        DWORD flags;
        int result;
        DWORD code;
        float y;
    } cases[] = {
        {25, 45, 0x100, 0, 0x100, 6.25f},   // slope (strip): at the surface
        {25, 45, 0x200, 1, 0, -20.0f},      // ground needs 0x100
        {55, 45, 0x100, 0, 0x100, -5.0f},   // the lake bed; water needs 0x200
        {55, 45, 0x200, 0, 0x400, 2.0f},    // water
        {55, 45, 0x300, 0, 0x400, 2.0f},    // the water is nearer
        {25, 25, 0x100, 0, 0x100, 30.01f},  // bridge (one triangle): 0.01 short of the deck
        {25, 45, 0x1, 1, 0, -20.0f},        // terrain not asked for
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(testing::Message() << t.x << ", " << t.z << " flags " << t.flags);
        EXPECT_EQ(t.result, Run(t.x, 50, t.z, t.x, -20, t.z, t.flags));
        EXPECT_EQ(t.code, Result().m_hitCode);
        EXPECT_NEAR(t.y, Result().m_hitPoint[1], 1e-3f);
        EXPECT_NEAR(t.x, Result().m_hitPoint[0], 1e-3f);
        if (t.code) {
            EXPECT_NEAR((50 - t.y) * (50 - t.y), Result().m_distance2, 0.05f);
            EXPECT_EQ(nullptr, Result().m_hitObject);
        }
        ExpectMarksCleared();
    }
    // The slope's normal comes with the hit, pointing up and back down the slope.
    Run(25, 50, 45, 25, -20, 45, 0x100);
    const float* n = Result().m_normal;
    EXPECT_NEAR(0.0f, n[2], 1e-6f);
    EXPECT_GT(n[1], 0.0f);
    EXPECT_NEAR(-4.0f, n[1] / n[0], 1e-4f);
}

TEST_F(Trace, ASegmentShortOfTheGroundHitsNothing)
{
    EXPECT_EQ(1, Run(25, 50, 45, 25, 7, 45, 0x300));
    EXPECT_EQ(7.0f, Result().m_hitPoint[1]);
}

TEST_F(Trace, DegenerateSegmentsGiveNoNaN)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(1, Run(25, 50, 45, 25, 50, 45, 0x301));  // zero length: no direction
    EXPECT_EQ(0.0f, Result().m_distance2);
    const float far[][6] = {{25, 50, 45, 1e30f, -20, 1e30f}, {-1e30f, 50, 45, 25, -20, 45}, {nan, 50, 45, 25, -20, 45}};
    for (const auto& f : far) {
        Run(f[0], f[1], f[2], f[3], f[4], f[5], 0x301);
        EXPECT_LE(parser.GetTraceCells().size(), 64u);
        ExpectMarksCleared();
    }
}

TEST_F(Trace, SpriteTreesBlockAsCylinders)
{
    parser.m_spriteTypeCount = 1;
    parser.m_treeFactorA = {6.0f};   // width: radius 6 / 3
    parser.m_treeFactorB = {20.0f};  // height
    parser.m_mapSettings[3] = 0;
    YCellItem tree;
    tree.m_type = 0;
    tree.m_position[0] = 35, tree.m_position[1] = 0, tree.m_position[2] = 35;
    parser.m_cells[3 * 8 + 3].m_items.push_back(tree);
    tree.m_flags = 1;  // detail class 1: off unless session word 3 is set
    tree.m_position[2] = 38;
    parser.m_cells[3 * 8 + 3].m_items.push_back(tree);

    const struct {
        float x0, y0, z0, x1, y1, z1;
        int result;
        float hitX;
    } cases[] = {
        {25, 5, 35, 45, 5, 35, 0, 33.0f},   // through the trunk
        {45, 5, 35, 25, 5, 35, 0, 37.0f},   // the other way
        {25, 25, 35, 45, 25, 35, 1, 45.0f}, // over the top
        {36, 5, 35, 45, 5, 35, 1, 45.0f},   // starting inside, moving away
        {25, 5, 38, 45, 5, 38, 1, 45.0f},   // the class-1 tree is not tested
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(testing::Message() << t.x0 << " -> " << t.x1 << " at y " << t.y0);
        EXPECT_EQ(t.result, Run(t.x0, t.y0, t.z0, t.x1, t.y1, t.z1, 0x1));
        EXPECT_NEAR(t.hitX, Result().m_hitPoint[0], 1e-3f);
        if (!t.result) {
            EXPECT_EQ(5u, Result().m_hitCode);
            EXPECT_EQ(5u, Result().m_detail);
            EXPECT_EQ(20.0f, Result().m_objectHeight);
            EXPECT_EQ(uint32_t(27), Result().m_cell);
            EXPECT_EQ(0, Result().m_itemSlot);
            EXPECT_EQ(35.0f, Result().m_objectPosition[0]);
        }
    }
    // Session word 3 turns detail class 1 on.
    parser.m_mapSettings[3] = 1;
    EXPECT_EQ(0, Run(25, 5, 38, 45, 5, 38, 0x1));
    EXPECT_EQ(1, Result().m_itemSlot);
    // Without 0x1 the trunks are not tested and the segment passes over the slope.
    EXPECT_EQ(1, Run(25, 9, 35, 45, 12, 35, 0x100));
}

TEST_F(Trace, NearestHitWinsBetweenTreeAndTerrain)
{
    parser.m_spriteTypeCount = 1;
    parser.m_treeFactorA = {6.0f};
    parser.m_treeFactorB = {20.0f};
    YCellItem tree;
    tree.m_type = 0;
    tree.m_position[0] = 30, tree.m_position[2] = 45;
    parser.m_cells[4 * 8 + 3].m_items.push_back(tree);
    // Descending along x over the slope y = x / 4: the trunk at x 28 comes first.
    EXPECT_EQ(0, Run(22, 9, 45, 38, 6, 45, 0x101));
    EXPECT_EQ(5u, Result().m_hitCode);
    EXPECT_NEAR(28.0f, Result().m_hitPoint[0], 1e-3f);
}

TEST(SegmentTests, RayTrianglePointSegmentAndCircle)
{
    const float a[3] = {0, 0, 0}, b[3] = {10, 0, 0}, c[3] = {0, 0, 10};
    const float down[3] = {0, -1, 0}, along[3] = {1, 0, 0};
    const float o[3] = {2, 5, 2}, off[3] = {9, 5, 9};
    float t = -1, u, v;
    EXPECT_EQ(1, YD3D6Parser::IntersectRayTriangle(o, down, a, b, c, &t, &u, &v));
    EXPECT_FLOAT_EQ(5.0f, t);
    EXPECT_EQ(0, YD3D6Parser::IntersectRayTriangle(off, down, a, b, c, &t, &u, &v));
    EXPECT_EQ(0, YD3D6Parser::IntersectRayTriangle(o, along, a, b, c, &t, &u, &v));  // parallel: det 0
    const float zero[3] = {0, 0, 0};
    EXPECT_EQ(0, YD3D6Parser::IntersectRayTriangle(o, zero, a, b, c, &t, &u, &v));

    float d2 = -1;
    const float p[3] = {5, 3, 0}, seg[3] = {10, 0, 0};
    EXPECT_EQ(1, YD3D6Parser::PointSegmentDistance(p, seg, &t, &d2));
    EXPECT_FLOAT_EQ(0.5f, t);
    EXPECT_FLOAT_EQ(9.0f, d2);
    const float behind[3] = {-1, 0, 0};
    EXPECT_EQ(0, YD3D6Parser::PointSegmentDistance(behind, seg, &t, &d2));
    EXPECT_EQ(0, YD3D6Parser::PointSegmentDistance(p, zero, &t, &d2));  // zero delta

    const float s0[3] = {0, 0, 0}, s1[3] = {10, 0, 0}, centre[3] = {5, 0, 0}, miss[3] = {5, 0, 3};
    EXPECT_EQ(1, YD3D6Parser::SegmentCircleXZ(s0, s1, centre, 1.0f, &t));
    EXPECT_FLOAT_EQ(0.4f, t);
    EXPECT_EQ(0, YD3D6Parser::SegmentCircleXZ(s0, s1, miss, 1.0f, &t));
    EXPECT_EQ(0, YD3D6Parser::SegmentCircleXZ(s0, s0, s0, 1.0f, &t));  // zero delta
}

TEST(SegmentTests, EpsilonFormsInBothPrecisions)
{
    const float a[3] = {0, 0, 0}, b[3] = {10, 0, 0}, c[3] = {0, 0, 10}, o[3] = {2, 5, 2}, down[3] = {0, -1, 0};
    const float grazing[3] = {1, -1e-12f, 0};
    float t = -1;
    EXPECT_EQ(1, YD3D6Parser::IntersectRayTriangleEps(o, down, a, b, c, &t, nullptr, nullptr));
    EXPECT_FLOAT_EQ(5.0f, t);
    EXPECT_EQ(0, YD3D6Parser::IntersectRayTriangleEps(o, grazing, a, b, c, &t, nullptr, nullptr));
    const double da[3] = {0, 0, 0}, db[3] = {10, 0, 0}, dc[3] = {0, 0, 10}, dorg[3] = {2, 5, 2}, ddown[3] = {0, -1, 0};
    double dt = -1, du = -1, dv = -1;
    EXPECT_EQ(1, YD3D6Parser::IntersectRayTriangleEps(dorg, ddown, da, db, dc, &dt, &du, &dv));
    EXPECT_DOUBLE_EQ(5.0, dt);
    EXPECT_NEAR(0.2, du, 1e-12);
    EXPECT_NEAR(0.2, dv, 1e-12);
}

TEST(SegmentTests, SegmentBoxFacesAndInsides)
{
    const float size[3] = {4, 2, 6};
    const struct {
        float s[3], e[3];
        int result;
        float p[3];
    } cases[] = {
        {{-1, 1, 3}, {5, 1, 3}, 1, {0, 1, 3}},     // enters through x = 0
        {{5, 1, 3}, {-1, 1, 3}, 2, {4, 1, 3}},     // through x = size
        {{2, 1, -2}, {2, 1, 8}, 3, {2, 1, 0}},     // z = 0
        {{2, 1, 9}, {2, 1, 1}, 4, {2, 1, 6}},      // z = size
        {{2, -1, 3}, {2, 1, 3}, 5, {2, 0, 3}},     // y = 0
        {{2, 3, 3}, {2, 1, 3}, 6, {2, 2, 3}},      // y = size
        {{-1, 1, 3}, {-2, 1, 5}, 0, {0, 0, 0}},    // both beyond x = 0
        {{1, 1, 1}, {2, 1, 2}, -1, {0, 0, 0}},     // both inside
        {{1, 1, 1}, {9, 1, 1}, -2, {0, 0, 0}},     // leaves the box
        {{-1, 5, -1}, {5, 5, 7}, 0, {0, 0, 0}},    // above it
        {{-1, 1, -1}, {-1, 1, -1}, 0, {0, 0, 0}},  // zero length, outside
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(testing::Message() << t.s[0] << "," << t.s[1] << "," << t.s[2]);
        float p[3] = {0, 0, 0};
        EXPECT_EQ(t.result, YD3D6Parser::SegmentBox(t.s, t.e, size, p));
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(t.p[i], p[i], 1e-5f);
    }
}

TEST(VisitedMarks, MarkListAndClear)
{
    YD3D6Parser parser;
    handmade::SetUp(parser);
    EXPECT_EQ(0, parser.MarkVisited(2));
    EXPECT_EQ(1, parser.MarkVisited(2));
    EXPECT_EQ(0, parser.MarkVisitedWithValue(3, 77));
    EXPECT_EQ(0, parser.MarkVisited(4000));  // no such group: never marked
    EXPECT_EQ(0, parser.MarkVisited(4000));
    EXPECT_EQ((std::vector<uint32_t>{2, 3}), parser.m_visitedList);
    EXPECT_EQ(77u, parser.m_visitedValues[1]);
    parser.ClearVisitedList();
    EXPECT_EQ(0, parser.MarkVisited(2));
    parser.ResetVisitedBitmap();
    EXPECT_EQ(0, parser.MarkVisited(2));
    parser.ClearVisitedMarks();
    EXPECT_TRUE(parser.m_visitedList.empty());
}

TEST(TraceNone, WithoutAGridNothingIsHit)
{
    YD3D6Parser parser;
    const float from[3] = {0, 10, 0}, to[3] = {0, -10, 0};
    EXPECT_EQ(1, parser.TraceWorld(to, from, 0, 0, 0x301));
    ASSERT_NE(nullptr, parser.GetTraceResult());
    EXPECT_EQ(-10.0f, parser.GetTraceResult()->m_hitPoint[1]);
}

}  // namespace

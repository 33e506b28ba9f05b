// Ground height and surface queries over the hand-made grid: bridges over a
// slope, a lake with its bed, water-only points, border clamping.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "HandMadeGrid.h"

namespace {

struct Ground : ::testing::Test {
    YD3D6Parser parser;
    void SetUp() override { handmade::SetUp(parser); }
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST_F(Ground, HeightsOfBridgesSlopesLakesAndBorders)
{
    const struct {
        double x, y, z;
        float height, below, surface;
    } cases[] = {
        // x, y, z          ground  below y  surface
        {8, 100, 50, 2.0f, 2.0f, 2.0f},            // slope y = x / 4
        {25, 100, 25, 30.0f, 30.0f, 30.0f},        // bridge over the slope: the upper
        {25, 20, 25, 30.0f, 6.25f, 30.0f},         // below the bridge deck: the slope
        {25, 1, 25, 30.0f, YParser::kNoGround, 30.0f},
        {50, 100, 50, -5.0f, -5.0f, 2.0f},         // lake: the bed; the surface is the water
        {70, 100, 50, 0.0f, YParser::kNoGround, 2.0f},  // water only
        {-100, 100, 50, 0.0f, YParser::kNoGround, 0.0f},  // clamped to column 0: outside the slope's triangles
        {80, 100, 50, 0.0f, YParser::kNoGround, 2.0f},    // the far edge: the last column's water
        {1e300, 100, 50, 0.0f, YParser::kNoGround, 0.0f}, // the last column, but outside its triangles
        {kNaN, 100, 50, 0.0f, YParser::kNoGround, 0.0f},  // NaN: column 0
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(testing::Message() << t.x << ", " << t.y << ", " << t.z);
        EXPECT_FLOAT_EQ(t.height, parser.GetGroundHeight(t.x, t.z));
        EXPECT_FLOAT_EQ(t.below, parser.GetGroundHeightBelow(t.x, t.y, t.z));
        EXPECT_FLOAT_EQ(t.surface, float(parser.GetSurfaceHeight(t.x, t.z)));
    }
}

TEST_F(Ground, GroundInfoAndTheBelowForms)
{
    const struct {
        double x, y, z;
        double ground, water;        // GetGroundInfo
        double belowGround, belowWater;  // GetGroundAndWaterBelow at y
    } cases[] = {
        {50, 100, 50, -5, 2, -5, 2},
        {50, 0, 50, -5, 2, -5, -5},     // limit y + 1 = 1: the bed only, the water copied from it
        {70, 100, 50, 2, 2, 2, 2},      // water only: both are the water
        {8, 100, 50, 2, 2, 2, 2},       // ground only: both are the ground
        {25, 10, 25, 30, 30, 6.25, 6.25},
        {25, -50, 25, 30, 30, 30, 30},  // nothing below the limit: ground info without it
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(testing::Message() << t.x << ", " << t.y << ", " << t.z);
        double info[2] = {-1, -1};
        parser.GetGroundInfo(t.x, t.z, info);
        EXPECT_DOUBLE_EQ(t.ground, info[0]);
        EXPECT_DOUBLE_EQ(t.water, info[1]);
        double below[2] = {-1, -1}, normals[6] = {9, 9, 9, 9, 9, 9};
        parser.GetGroundAndWaterBelow(t.x, t.y, t.z, below, normals);
        EXPECT_NEAR(t.belowGround, below[0], 1e-5);
        EXPECT_NEAR(t.belowWater, below[1], 1e-5);
        double heights[2] = {-1, -1};
        parser.GetGroundAndWaterHeightBelow(t.x, t.y, t.z, heights);
        EXPECT_EQ(below[0], heights[0]);
        EXPECT_EQ(below[1], heights[1]);
    }
    // The normals come with the hits: the flat bed and water point up.
    double below[2], normals[6] = {9, 9, 9, 9, 9, 9};
    parser.GetGroundAndWaterBelow(50, 100, 50, below, normals);
    EXPECT_NEAR(1.0, normals[1], 1e-6);
    EXPECT_NEAR(1.0, normals[4], 1e-6);
    EXPECT_NEAR(0.0, normals[0], 1e-6);
}

TEST_F(Ground, NothingUnderThePointLeavesTheOutputsAlone)
{
    double info[2] = {-7, -8};
    parser.GetGroundInfo(-100, 50, info);
    EXPECT_EQ(-7, info[0]);
    EXPECT_EQ(-8, info[1]);
    double u = 5, v = 6;
    parser.GetGroundTexCoords(70, 50, &u, &v);
    EXPECT_EQ(5, u);
    EXPECT_EQ(6, v);
}

TEST(FlagMask, Modes)
{
    YD3D6Parser parser;
    const struct {
        DWORD value, mask;
        int mode;
        bool result;
    } cases[] = {
        {0x43, 0x43, 0, true}, {0x43, 0x03, 0, false}, {0x43, 0x03, 1, true}, {0x43, 0x07, 1, false},
        {0x43, 0x04, 2, false}, {0x43, 0x41, 2, true}, {0x43, 0x43, 3, false}, {0x07, 0x07, -1, false},
    };
    for (const auto& t : cases)
        EXPECT_EQ(t.result, parser.TestFlagMask(t.value, t.mask, t.mode)) << t.value << " " << t.mask << " " << t.mode;
}

TEST_F(Ground, HeightsByFlagsPerClassWithTheLimit)
{
    const uint8_t masks[3] = {0x07, 0x43, 0x40};
    const uint8_t modes[3] = {0, 0, 2};
    double h[3], n[9];
    EXPECT_EQ(7u, parser.GetGroundHeightsByFlags(50, 0.0, 50, 3, h, masks, modes, n));  // y 0: no limit
    EXPECT_DOUBLE_EQ(-5, h[0]);
    EXPECT_DOUBLE_EQ(2, h[1]);
    EXPECT_DOUBLE_EQ(2, h[2]);
    EXPECT_EQ(1u, parser.GetGroundHeightsByFlags(50, 1.0, 50, 3, h, masks, modes, n));
    EXPECT_DOUBLE_EQ(-5, h[0]);
    // Nothing in any class: every class gets the highest hit of all.
    const uint8_t none[1] = {0x10};
    const uint8_t mode0[1] = {0};
    EXPECT_EQ(0u, parser.GetGroundHeightsByFlags(25, 0.0, 25, 1, h, none, mode0, n));
    EXPECT_DOUBLE_EQ(30, h[0]);
    EXPECT_NEAR(1.0, n[1], 1e-6);
    // Nothing under the point at all: no-ground heights and zero normals.
    EXPECT_EQ(0u, parser.GetGroundHeightsByFlags(-100, 0.0, 50, 1, h, none, mode0, n));
    EXPECT_FLOAT_EQ(YParser::kNoGround, float(h[0]));
    EXPECT_EQ(0.0, n[0]);
    EXPECT_EQ(0.0, n[1]);
    EXPECT_EQ(0u, parser.GetGroundHeightsByFlags(50, 0.0, 50, 0, h, masks, modes, n));
}

TEST(GroundLimit, ATriangleJustAboveYCountsWithinAHundredth)
{
    YMapVT3 map;
    map.m_gridWidth = map.m_gridHeight = 1;
    map.m_cellSize = 10;
    handmade::AddVertex(map, 0, 10.005f, 0), handmade::AddVertex(map, 10, 10.005f, 0),
        handmade::AddVertex(map, 0, 10.005f, 10);
    handmade::AddVertex(map, 0, 10.02f, 0), handmade::AddVertex(map, 10, 10.02f, 0),
        handmade::AddVertex(map, 0, 10.02f, 10);
    handmade::AddGroup(map, YMapVT3Group::kTriangle, YMapVT3Group::kGround, {0, 1, 2}, 1);
    handmade::AddGroup(map, YMapVT3Group::kTriangle, YMapVT3Group::kGround, {3, 4, 5}, 2);
    handmade::AddGroup(map, YMapVT3Group::kStrip, YMapVT3Group::kGround, {0, 1}, 3);  // two corners: no triangle
    handmade::ListGroupsInCells(map);
    YD3D6Parser parser;
    ASSERT_EQ(1, parser.BuildTerrainCells(map, 1.0f));
    const uint8_t mask[1] = {7}, mode[1] = {0};
    double h[1], n[3];
    EXPECT_EQ(1u, parser.GetGroundHeightsByFlags(2, 10.0, 2, 1, h, mask, mode, n));
    EXPECT_NEAR(10.005, h[0], 1e-5);
    EXPECT_NEAR(10.02, parser.GetGroundHeight(2, 2), 1e-5);
}

TEST_F(Ground, TexCoordsAndTheDecalPoint)
{
    double u = -1, v = -1;
    parser.GetGroundTexCoords(20, 60, &u, &v);  // the slope: u = x / 80, v = z / 80
    EXPECT_NEAR(0.25, u, 1e-6);
    EXPECT_NEAR(0.75, v, 1e-6);
    YD3D6Parser::YGroundPoint p{};
    p.uv[0] = 0.5f, p.uv[1] = 0.25f;
    EXPECT_EQ(1, parser.WalkCellTriangles(25, 25, &p));
    EXPECT_EQ(30.0f, p.position[1]);
    EXPECT_EQ(0.5f, p.uv2[0]);
    EXPECT_EQ(0.25f, p.uv2[1]);
    EXPECT_EQ(0, parser.WalkCellTriangles(70, 50, &p));
}

TEST(TriangleUV, SolvesThePointOffThePlane)
{
    const float p0[3] = {0, 0, 0}, p1[3] = {10, 0, 0}, p2[3] = {0, 0, 10};
    const float t0[2] = {0, 0}, t1[2] = {1, 0}, t2[2] = {0, 1};
    const float q[3] = {2, 5, 3};  // 5 above the plane: projected along the normal
    float out[2];
    YD3D6Parser::InterpolateTriangleUV(p0, p1, p2, q, t0, t1, t2, out);
    EXPECT_NEAR(0.2f, out[0], 1e-6f);
    EXPECT_NEAR(0.3f, out[1], 1e-6f);
    YD3D6Parser::InterpolateTriangleUV(p0, p0, p0, q, t1, t0, t2, out);  // no area: the first pair
    EXPECT_EQ(1.0f, out[0]);
}

TEST(GroundNone, WithoutAGridTheQueriesFindNoGround)
{
    YD3D6Parser parser;
    EXPECT_EQ(0.0f, parser.GetGroundHeight(1, 1));
    EXPECT_EQ(YParser::kNoGround, parser.GetGroundHeightBelow(1, 1, 1));
    EXPECT_EQ(0.0, parser.GetSurfaceHeight(1, 1));
}

}  // namespace

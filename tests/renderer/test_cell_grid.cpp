// The map cell grid: cell look-up, the cell-triangle test, picking the
// ground texture under a point, the item slot accessors and the collection
// of actors near a cell, over a hand-made grid.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "HandMadeGrid.h"

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

struct CellGrid : ::testing::Test {
    YD3D6Parser parser;
    void SetUp() override { handmade::SetUp(parser); }
};

TEST(CellTriangle, InsideEdgesCornersAndVerticalPlanes)
{
    const float a[3] = {0, 0, 0}, b[3] = {10, 0, 0}, c[3] = {0, 0, 10};
    const YCellPlane flat{0, 1, 0, -4};  // y = 4
    const YCellPlane vertical{1, 0, 0, 0};
    const struct {
        float x, z;
        YCellPlane plane;
        int hit;
    } cases[] = {
        {2, 2, flat, 1},       // inside
        {0, 0, flat, 1},       // on a corner
        {5, 0, flat, 1},       // on the edge along x
        {0, 5, flat, 1},       // on the edge along z
        {5, 5, flat, 1},       // on the slanted edge
        {6, 6, flat, 0},       // beyond the slanted edge
        {-1, 2, flat, 0},      // left of every corner
        {2, 11, flat, 0},      // beyond every corner in z
        {2, 2, vertical, 0},   // a vertical triangle never contains a point
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(testing::Message() << t.x << ", " << t.z);
        float y = -99;
        EXPECT_EQ(t.hit, YD3D6Parser::TestCellTriangle(t.x, t.z, t.plane, a, b, c, &y));
        EXPECT_EQ(t.hit ? 4.0f : -99.0f, y);
    }
}

TEST(CellTriangle, DegenerateTriangleGivesNoNaNHit)
{
    // All three corners on the point, off the plane's height: a zero-length
    // edge may not divide its way into a hit.
    const float p[3] = {3, 0, 3};
    const YCellPlane raised{0, 1, 0, -1};
    float y = -99;
    EXPECT_EQ(0, YD3D6Parser::TestCellTriangle(3, 3, raised, p, p, p, &y));
    EXPECT_EQ(-99.0f, y);
}

TEST_F(CellGrid, CellLookUpTruncatesAndClampsInFloatingPoint)
{
    const struct {
        float x, z;
        int32_t cell;
    } cases[] = {
        {5, 5, 0},
        {-5, 5, 0},                // between origin - cell size and origin: column 0
        {-10, 5, -1},
        {79.9f, 79.9f, 63},
        {80, 5, -1},
        {15, 25, 2 * 8 + 1},
        {1e30f, 5, -1},            // would overflow an int
        {-1e30f, 5, -1},
        {kNaN, 25, 2 * 8},         // NaN counts as 0
        {std::numeric_limits<float>::infinity(), 5, -1},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(testing::Message() << t.x << ", " << t.z);
        EXPECT_EQ(t.cell, parser.CellIndexOf(t.x, t.z));
    }
}

TEST_F(CellGrid, PickFindsTheFirstGroundPolygonUnderThePoint)
{
    const struct {
        float x, z;
        int16_t texture;
    } cases[] = {
        {5, 5, 11},     // slope
        {-5, 5, -1},    // column 0 though left of the origin: outside the slope's triangles
        {25, 25, 11},   // under the bridge: the slope comes first in the cell
        {50, 50, 44},   // the lake bed (the water is not kind 7)
        {70, 50, -1},   // water only
        {90, 50, -1},   // outside the grid
        {1e30f, 1e30f, -1},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(testing::Message() << t.x << ", " << t.z);
        EXPECT_EQ(t.texture, parser.PickCellItem(t.x, t.z));
    }
    // On the shared edge of the slope's two triangles the point is inside both.
    EXPECT_EQ(11, parser.PickCellItem(20, 40));
}

TEST_F(CellGrid, PickExSetsOnlyTheFirstLayerOfTheCellsPolygon)
{
    EXPECT_EQ(1, parser.PickCellItemEx(5, 5, 77));
    EXPECT_EQ(77, parser.PickCellItem(5, 5));
    EXPECT_EQ(0, parser.PickCellItemEx(70, 50, 77));
    EXPECT_EQ(0, parser.PickCellItemEx(-100, 5, 77));
    EXPECT_EQ(-1, parser.PickCellItem(70, 50));
}

TEST_F(CellGrid, PolygonWithoutLayersIsNeverDereferenced)
{
    for (YCellPolygon* p : parser.m_cells[0].m_polygons) p->m_layerTextures.clear();
    EXPECT_EQ(-1, parser.PickCellItem(5, 5));
    EXPECT_EQ(0, parser.PickCellItemEx(5, 5, 3));
}

TEST_F(CellGrid, ItemSlotAccessorsCheckCellItemAndType)
{
    parser.m_treeFactorC = {2.0f, 4.0f};
    parser.m_treeFactorD = {8.0f};
    parser.m_spriteTypeCount = 2;
    parser.m_spriteTextures = {5, 0xFFFF};
    YCellItem tree;
    tree.m_type = 1;
    tree.m_size = 51;  // 0.2
    tree.m_position[0] = 12, tree.m_position[2] = 34;
    YCellItem none;
    YCellItem unknown;
    unknown.m_type = 300;  // no such type
    parser.m_cells[9].m_items = {tree, none, unknown};

    EXPECT_EQ(3, parser.GetCellItemCount(9));
    EXPECT_EQ(3, parser.GetCellItemCount(9 + 0x10000));  // only the low 16 bits count
    EXPECT_EQ(0, parser.GetCellItemCount(64));            // past the grid
    EXPECT_EQ(1, parser.GetCellItemMaterial(9, 0));
    EXPECT_EQ(-1, parser.GetCellItemMaterial(9, 7));
    EXPECT_EQ(-1, parser.GetCellItemMaterial(1000, 0));
    float x = -1, z = -1;
    parser.GetCellItemPosition(9, 0, &x, &z);
    EXPECT_EQ(12, x);
    EXPECT_EQ(34, z);
    x = z = -1;
    parser.GetCellItemPosition(9, 5, &x, &z);
    EXPECT_EQ(-1, x);
    EXPECT_NEAR(0.8f, parser.GetCellItemFactor(9, 0), 1e-6f);
    EXPECT_EQ(0.0f, parser.GetCellItemFactor(9, 1));
    EXPECT_EQ(0.0f, parser.GetCellItemFactor(9, 2));    // type past the third table
    EXPECT_EQ(0.0f, parser.GetCellItemFactorEx(9, 0));  // type 1 past the fourth table
    EXPECT_EQ(-1, parser.GetCellItemMaterialEx(9, 0));  // sprite type 1 without a texture
    EXPECT_EQ(0, parser.GetCellItemMaterialEx(9, 1));
    EXPECT_EQ(-1, parser.GetCellItemMaterialEx(9, 2));  // model type without a handle
    parser.SetCellItemMaterial(9, 0, 0);
    EXPECT_EQ(5, parser.GetCellItemMaterialEx(9, 0));
    EXPECT_NEAR(1.6f, parser.GetCellItemFactorEx(9, 0), 1e-6f);
}

TEST_F(CellGrid, HidingAndMaterialFollowTheTypeIndexCode)
{
    YCellItem typed;
    typed.m_type = 0;
    parser.m_cells[3].m_items.assign(6, YCellItem());
    parser.m_cells[3].m_items[0] = typed;
    const struct {
        DWORD item;
        int enable;
        int result;
        int16_t stored;
    } steps[] = {
        {1, 0, 0, -1},  // no type: unchanged
        {0, 0, 1, -2},  // hide type 0
        {0, 0, 0, -2},  // already hidden
        {0, 1, 0, 0},   // enable again: it was disabled
        {0, 1, 1, 0},
        {9, 1, 0, -1},  // no such slot
    };
    for (const auto& s : steps) {
        EXPECT_EQ(s.result, parser.SetCellItemHidden(3, s.item, s.enable));
        EXPECT_EQ(s.stored, parser.GetCellItemMaterial(3, s.item));
    }
    parser.SetCellItemMaterial(3, 5, 4);   // slot 5 is refused
    parser.SetCellItemMaterial(3, 4, -3);  // negative values too
    parser.SetCellItemMaterial(3, 4, 6);
    EXPECT_EQ(-1, parser.GetCellItemMaterial(3, 5));
    EXPECT_EQ(6, parser.GetCellItemMaterial(3, 4));
}

TEST_F(CellGrid, FlagsHeightSamplesAndMapRecords)
{
    parser.SetCellFlags(5, 0x81);
    EXPECT_EQ(int8_t(0x81), parser.GetCellFlags(5));
    parser.SetCellFlags(64, 1);  // past the grid: ignored
    EXPECT_EQ(-1, parser.GetCellFlags(64));
    EXPECT_EQ(YParser::kNoGround, parser.GetHeightSample(3));  // the hand-made map has no height table
    parser.m_heightTable.assign(65536, 0.0f);
    parser.m_heightTable[3] = 7.5f;
    EXPECT_EQ(7.5f, parser.GetHeightSample(3 + 0x10000));
    EXPECT_EQ(0, parser.GetMapSoundCount());
    EXPECT_EQ(nullptr, parser.GetMapSound(0));
    EXPECT_EQ(nullptr, parser.GetMapSound(-1));
    EXPECT_EQ(0, parser.GetMapRecordCount());
    EXPECT_EQ(nullptr, parser.GetMapRecord(0));
}

TEST(CellGridNone, WithoutAGridEveryAccessorAnswersEmpty)
{
    YD3D6Parser parser;
    DWORD_PTR out[4];
    EXPECT_EQ(0, parser.GetCellItemCount(0));
    EXPECT_EQ(-1, parser.GetCellItemMaterial(0, 0));
    EXPECT_EQ(0.0f, parser.GetCellItemFactor(0, 0));
    EXPECT_EQ(0, parser.SetCellItemHidden(0, 0, 1));
    EXPECT_EQ(-1, parser.GetCellFlags(0));
    EXPECT_EQ(YParser::kNoGround, parser.GetHeightSample(0));
    EXPECT_EQ(-1, parser.PickCellItem(1, 1));
    EXPECT_EQ(0, parser.PickCellItemEx(1, 1, 2));
    EXPECT_EQ(0, parser.CollectActorsNear(0, 0, 3, out, 4, 0));
    EXPECT_EQ(-1, parser.CellIndexOf(1, 1));
}

TEST(CellGridBuild, RefusesAScaleOfZeroAndMapsWithoutCells)
{
    YMapVT3 map;
    handmade::Build(map);
    YD3D6Parser parser;
    const float scales[] = {0.0f, -1.0f, std::numeric_limits<float>::infinity(), kNaN};
    for (float s : scales) {
        EXPECT_EQ(0, parser.BuildTerrainCells(map, s)) << s;
        EXPECT_FALSE(parser.HasGrid());
    }
    YMapVT3 empty;
    EXPECT_EQ(0, parser.BuildTerrainCells(empty, 16.0f));
    EXPECT_EQ(1, parser.BuildTerrainCells(map, 16.0f));
    EXPECT_EQ(11, parser.PickCellItem(5 * 16.0f, 5 * 16.0f));
    EXPECT_EQ(-1, parser.PickCellItem(85 * 16.0f, 5 * 16.0f));
}

TEST(CellGridBuild, WaterClassesCompareWaterAndGroundHeights)
{
    YD3D6Parser parser;
    handmade::SetUp(parser);
    EXPECT_EQ(0, parser.m_cells[0].m_water);           // slope only
    EXPECT_EQ(1, parser.m_cells[4].m_water);           // water at 2 over a bed at -5 and the slope's edge at 10
    EXPECT_EQ(2, parser.m_cells[6].m_water);           // water above the bed only
    EXPECT_EQ(2, parser.m_cells[7].m_water);           // water only
}

// Each cell's greatest water height stands at its index of the corner
// heights' copy: the water at 2 (render units 32) in the right half.
TEST(CellGridBuild, EachCellKeepsItsGreatestWaterHeight)
{
    YD3D6Parser parser;
    parser.m_waterHeights.assign(9 * 9, -1.0f);  // the map's corner heights, copied at level 0
    handmade::SetUp(parser, 16.0f);
    ASSERT_EQ(81u, parser.m_waterHeights.size());
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column)
            EXPECT_EQ(parser.m_waterHeights[row * 8 + column], column >= 3 ? 2.0f * 16.0f : 0.0f) << column << "," << row;
    for (size_t i = 64; i < 81; ++i) EXPECT_EQ(parser.m_waterHeights[i], -1.0f) << "past the cells: " << i;
    // Built without a map session, the copy is made as large as the grid.
    YD3D6Parser alone;
    handmade::SetUp(alone, 16.0f);
    ASSERT_EQ(64u, alone.m_waterHeights.size());
    EXPECT_EQ(alone.m_waterHeights[7], 32.0f);
    EXPECT_EQ(alone.m_waterHeights[0], 0.0f);
}

// A slope y = x / 4 as a triangle wound both ways and as a strip: every
// plane is the same and its normal points up.
TEST(CellGridBuild, PlanesPointUpWhicheverWayTheCornersWind)
{
    YMapVT3 map;
    map.m_gridWidth = map.m_gridHeight = 1;
    map.m_cellSize = 80.0f;
    handmade::AddVertex(map, 0, 0, 0), handmade::AddVertex(map, 40, 10, 0);
    handmade::AddVertex(map, 0, 0, 80), handmade::AddVertex(map, 40, 10, 80);
    handmade::AddGroup(map, YMapVT3Group::kTriangle, YMapVT3Group::kGround, {0, 1, 2}, 1);
    handmade::AddGroup(map, YMapVT3Group::kTriangle, YMapVT3Group::kGround, {0, 2, 1}, 1);
    handmade::AddGroup(map, YMapVT3Group::kStrip, YMapVT3Group::kGround, {0, 1, 2, 3}, 1);
    handmade::AddGroup(map, YMapVT3Group::kStrip, YMapVT3Group::kGround, {1, 0, 3, 2}, 1);
    handmade::ListGroupsInCells(map);
    YD3D6Parser parser;
    ASSERT_EQ(1, parser.BuildTerrainCells(map, 1.0f));
    const float len = std::sqrt(1.0f + 1.0f / 16.0f);
    int planes = 0;
    for (const YCellPolygon* poly : parser.m_cells[0].m_polygons) {
        poly->ForEachTriangle([&](const YCellCorner&, const YCellCorner&, const YCellCorner&, const YCellPlane& p) {
            EXPECT_NEAR(-0.25f / len, p.a, 1e-6f);
            EXPECT_NEAR(1.0f / len, p.b, 1e-6f);
            EXPECT_NEAR(0.0f, p.c, 1e-6f);
            EXPECT_NEAR(0.0f, p.d, 1e-5f);
            ++planes;
        });
    }
    EXPECT_EQ(6, planes);
}

struct Collect : CellGrid {
    static DWORD_PTR Test(void* object, DWORD) { return reinterpret_cast<DWORD_PTR>(object) == 0x300 ? 0 : 0x900; }
    int a, b, c, d;
    std::vector<DWORD_PTR> Run(int column, int row, int radius, int skipFlagged, int capacity = 64)
    {
        std::vector<DWORD_PTR> out(capacity + 1, 0xDEAD);
        const int n = parser.CollectActorsNear(column, row, radius, out.data(), capacity, skipFlagged);
        EXPECT_EQ(DWORD_PTR(0xDEAD), out[capacity]) << "wrote past the capacity";
        out.resize(n);
        return out;
    }
};

TEST_F(Collect, RowsThenColumnsWithinTheClampedRange)
{
    parser.SetObjectTest(Test);
    parser.AddActorToCell(&a, 0, 0, 0);
    parser.AddActorToCell(&b, 0, 2, 2);
    parser.AddActorToCell(&c, 0, 3, 0);   // outside radius 2 of (0, 0)
    parser.AddActorToCell(&d, 0, 1, 0);
    parser.AddActorToCell(reinterpret_cast<void*>(0x300), 3, 2, 0);  // test gives 0: nothing
    parser.AddActorToCell(reinterpret_cast<void*>(0x400), 3, 2, 1);  // test gives 0x900
    const DWORD_PTR A = DWORD_PTR(&a), B = DWORD_PTR(&b), C = DWORD_PTR(&c), D = DWORD_PTR(&d);
    EXPECT_EQ((std::vector<DWORD_PTR>{A, D, 0x900, B}), Run(0, 0, 2, 0));
    EXPECT_EQ((std::vector<DWORD_PTR>{A, D, B}), Run(0, 0, 2, 1));
    EXPECT_EQ((std::vector<DWORD_PTR>{A, D, C, 0x900, B}), Run(1, 1, 10, 0));
    EXPECT_EQ((std::vector<DWORD_PTR>{}), Run(12, 0, 2, 0));  // column - radius beyond the grid
    EXPECT_EQ((std::vector<DWORD_PTR>{A, D}), Run(0, 0, 2, 1, 2));  // bounded by the caller's room
    EXPECT_EQ((std::vector<DWORD_PTR>{}), Run(0, 0, 2, 1, 0));
}

TEST_F(Collect, WithoutAnObjectTestFlaggedNodesGiveNothing)
{
    parser.AddActorToCell(&a, 3, 0, 0);
    EXPECT_EQ((std::vector<DWORD_PTR>{}), Run(0, 0, 1, 0));
}

}  // namespace

// The per-cell actor registry: adds, moves and removes keep every cell's
// list consistent; out-of-grid cells are refused; the model viewer keeps a
// flat list.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <vector>

#include "HandMadeGrid.h"

namespace {

struct Registry : ::testing::Test {
    YD3D6Parser parser;
    int a = 0, b = 0, c = 0;
    void SetUp() override { handmade::SetUp(parser); }

    // The ids of a cell's list from the head.
    std::vector<void*> Cell(int column, int row)
    {
        std::vector<void*> ids;
        for (const YCellActor* n = parser.GetCellActors(row * 8 + column); n; n = n->m_next) ids.push_back(n->m_id);
        return ids;
    }
    // Every node of the grid, counted per id.
    std::map<void*, int> All()
    {
        std::map<void*, int> count;
        for (uint32_t i = 0; i < 64; ++i)
            for (const YCellActor* n = parser.GetCellActors(i); n; n = n->m_next) ++count[n->m_id];
        return count;
    }
};

TEST_F(Registry, AddMoveRemoveKeepTheCellsConsistent)
{
    parser.AddActorToCell(&a, 3, 1, 1);
    parser.AddActorToCell(&b, 0, 1, 1);
    parser.AddActorToCell(&a, 3, 1, 1);  // twice: two nodes
    EXPECT_EQ((std::vector<void*>{&a, &b, &a}), Cell(1, 1));
    EXPECT_EQ(3, parser.GetCellActors(9)->m_flags);

    const struct {
        int oc, orow, c, r;
        void* id;
        int result;
    } moves[] = {
        {1, 1, 1, 1, &c, 1},   // same cell: 1 without looking
        {1, 1, 2, 1, &c, 0},   // not there
        {1, 1, 2, 1, &b, 1},
        {1, 1, 8, 1, &a, 0},   // column = width
        {-1, 1, 2, 1, &a, 0},
        {1, 1, 7, 7, &a, 1},   // the first of the two
    };
    for (const auto& m : moves)
        EXPECT_EQ(m.result, parser.MoveActorBetweenCells(m.id, m.oc, m.orow, m.c, m.r)) << m.c << "," << m.r;
    EXPECT_EQ((std::vector<void*>{&a}), Cell(1, 1));
    EXPECT_EQ((std::vector<void*>{&b}), Cell(2, 1));
    EXPECT_EQ((std::vector<void*>{&a}), Cell(7, 7));
    EXPECT_EQ(2, All()[&a]);
    EXPECT_EQ(1, All()[&b]);

    EXPECT_EQ(0, parser.RemoveActorFromCell(&b, 1, 1));
    EXPECT_EQ(0, parser.RemoveActorFromCell(&b, 8, 1));
    EXPECT_EQ(1, parser.RemoveActorFromCell(&b, 2, 1));
    EXPECT_EQ(0, parser.RemoveActorFromCell(&b, 2, 1));
    EXPECT_EQ(1, parser.RemoveActorFromCell(&a, 7, 7));
    EXPECT_EQ(1, parser.RemoveActorFromCell(&a, 1, 1));
    EXPECT_TRUE(All().empty());
}

TEST_F(Registry, OutOfGridCellsAreRefusedNeverClamped)
{
    const int16_t cells[][2] = {{8, 0}, {0, 8}, {-1, 0}, {0, -1}, {32767, 32767}};
    for (const auto& cell : cells) parser.AddActorToCell(&a, 3, cell[0], cell[1]);
    EXPECT_TRUE(All().empty());
}

TEST_F(Registry, PositionsTruncateTowardZeroAndHugeOnesAreRefused)
{
    parser.AddActorAt(&a, 3, -5.0, 15.0);  // origin - half a cell: column 0
    EXPECT_EQ((std::vector<void*>{&a}), Cell(0, 1));
    EXPECT_EQ(1, parser.MoveActorTo(&a, -5.0, 15.0, -2.0, 19.0));  // same cell
    EXPECT_EQ(0, parser.MoveActorTo(&b, 5.0, 5.0, 25.0, 25.0));     // b is not there
    EXPECT_EQ(1, parser.MoveActorTo(&a, -5.0, 15.0, 75.0, 75.0));
    EXPECT_EQ((std::vector<void*>{&a}), Cell(7, 7));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double far[] = {1e300, -1e300, 4e9, std::numeric_limits<double>::infinity()};
    for (double x : far) {
        parser.AddActorAt(&b, 3, x, 5.0);
        EXPECT_EQ(0, parser.MoveActorTo(&a, 75.0, 75.0, x, 5.0)) << x;
        EXPECT_EQ(0, parser.RemoveActorAt(&a, x, 75.0)) << x;
    }
    parser.AddActorAt(&b, 3, nan, 5.0);  // NaN counts as 0
    EXPECT_EQ((std::vector<void*>{&b}), Cell(0, 0));
    EXPECT_EQ(1, parser.RemoveActorAt(&a, 75.0, 75.0));
    EXPECT_EQ(1, parser.RemoveActorAt(&b, 5.0, 5.0));
    EXPECT_TRUE(All().empty());
}

TEST(RegistryModes, TheViewerKeepsAFlatListOtherModesNothing)
{
    YD3D6Parser parser;
    int a = 0, b = 0;
    parser.AddActorAt(&a, 3, 1.0, 2.0);  // no session
    EXPECT_EQ(0, parser.RemoveActorAt(&a, 1.0, 2.0));
    EXPECT_EQ(0, parser.MoveActorTo(&a, 1.0, 2.0, 3.0, 4.0));
    parser.InitSession(1, nullptr, 1);
    parser.AddActorAt(&a, 3, 1.0, 2.0);
    parser.AddActorAt(&b, 0, 5.0, 6.0);
    EXPECT_EQ(1, parser.MoveActorTo(&a, 0, 0, 3.0, 4.0));
    ASSERT_EQ(2u, parser.m_viewerActors.size());
    EXPECT_EQ(3.0f, parser.m_viewerActors[0].x);
    EXPECT_EQ(4.0f, parser.m_viewerActors[0].z);
    EXPECT_EQ(1, parser.RemoveActorAt(&a, 0, 0));
    EXPECT_EQ(0, parser.RemoveActorAt(&a, 0, 0));
    ASSERT_EQ(1u, parser.m_viewerActors.size());
    EXPECT_EQ(&b, parser.m_viewerActors[0].id);
}

TEST_F(Registry, EndingTheSessionFreesEveryNode)
{
    parser.AddActorToCell(&a, 3, 1, 1);
    parser.AddActorToCell(&b, 0, 7, 7);
    parser.EndSession(0);
    EXPECT_EQ(nullptr, parser.GetCellActors(9));
    EXPECT_EQ(0, parser.RemoveActorFromCell(&a, 1, 1));
}

}  // namespace

// The map shot view: view distance, far distance, eye height and fog set
// and restored, and the lists and work buffers sized by the view distance.
#include <gtest/gtest.h>

#include "FrameFixture.h"

namespace {
class MapShot : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_EQ(1, MakeDevice());
        MapSession(22);
        parser->m_fogOn = 1;
        parser->m_fogRange[0] = 300.0f, parser->m_fogRange[1] = 4000.0f;
        parser->m_fogStartFactor = 0.5f;
        parser->SetProjection(60.0f, 55.0f, 1.0f, 2000.0f);
    }
    void TearDown() override
    {
        g_eyeOffset = 0;
        FrameTest::TearDown();
    }
    DWORD RenderState(D3DRENDERSTATETYPE state)
    {
        DWORD value = 0;
        parser->GetRaster()->GetDevice()->GetRenderState(state, &value);
        return value;
    }
    float FarPlane()
    {
        float p[4];
        parser->GetProjection(&p[0], &p[1], &p[2], &p[3]);
        return p[3];
    }
};
}  // namespace

TEST_F(MapShot, TwoHundredCellsGiveTheirListsBuffersFarPlaneAndFog)
{
    parser->SetMapShotView(200, 1000.5f, 2000, 20000);
    EXPECT_EQ(200, parser->m_viewCells);
    EXPECT_EQ(22809, parser->m_popUpDistance);
    EXPECT_EQ(22809.0f, FarPlane());
    EXPECT_EQ(1000, g_eyeOffset);
    for (const auto& list : parser->m_visibleCells) EXPECT_EQ(8942u, list.size());
    for (const auto& list : parser->m_visibleRecords) EXPECT_EQ(4u * 8942u, list.size());
    EXPECT_EQ(2000.0f, parser->m_fogRange[0]);
    EXPECT_EQ(20000.0f, parser->m_fogRange[1]);
    EXPECT_EQ(YD3D6Parser::FloatBits(1000.0f), RenderState(D3DRENDERSTATE_FOGSTART)) << "start x multiplier";
    EXPECT_EQ(YD3D6Parser::FloatBits(20000.0f), RenderState(D3DRENDERSTATE_FOGEND));
}

TEST_F(MapShot, WorkBuffersFollowTheViewDistanceBands)
{
    struct Case {
        int32_t d;
        uint32_t billboards, alphaVertices, alphaRecords, opaqueRecords;
        uint32_t work2, work4;
    } cases[] = {
        {99, 16384, 32768, 32768, 32768, 0x30000, 0x180000},
        {100, 65536, 131072, 131072, 131072, 0xC0000, 0x300000},
        {249, 65536, 131072, 131072, 131072, 0xC0000, 0x300000},
        {250, 262144, 262144, 262144, 262144, 0x300000, 0x600000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.d);
        parser->SetMapShotView(c.d, 100.0f, 1, 2);
        EXPECT_EQ(c.billboards, parser->m_frameBuffers[0].capacity);
        EXPECT_EQ(c.work2, parser->m_frameBuffers[1].size);
        EXPECT_EQ(c.alphaVertices, parser->m_frameBuffers[2].capacity);
        EXPECT_EQ(c.work4, parser->m_frameBuffers[3].size);
        EXPECT_EQ(c.alphaRecords, parser->m_frameBuffers[6].capacity);
        EXPECT_EQ(c.opaqueRecords, parser->m_frameBuffers[7].capacity);
        EXPECT_EQ(32768u, parser->m_vertexScratch.capacity);
        EXPECT_EQ(65536u, parser->m_indexScratch.capacity);
    }
}

TEST_F(MapShot, OneRestoreAfterTwoShotsBringsBackTheViewBeforeTheFirst)
{
    parser->SetMapShotView(200, 1000.0f, 2000, 20000);
    parser->SetMapShotView(120, 500.0f, 10, 20);
    EXPECT_EQ(120, parser->m_viewCells);
    EXPECT_EQ(500, g_eyeOffset);
    parser->SetMapShotView(0, 0.0f, 0, 0);
    EXPECT_EQ(22, parser->m_viewCells);
    EXPECT_EQ(int32_t(20 * 128 * 0.9f), parser->m_popUpDistance);
    EXPECT_EQ(float(parser->m_popUpDistance), FarPlane());
    EXPECT_EQ(300.0f, parser->m_fogRange[0]);
    EXPECT_EQ(4000.0f, parser->m_fogRange[1]);
    EXPECT_EQ(0, g_eyeOffset);
    EXPECT_EQ(size_t(YD3D6Parser::VisibleCellCapacity(22)), parser->m_visibleCells[0].size());
    EXPECT_EQ(YD3D6Parser::FloatBits(150.0f), RenderState(D3DRENDERSTATE_FOGSTART));
}

// Nothing saved: the view stays as it is (a restore would zero it).
TEST_F(MapShot, ARestoreWithNothingSavedChangesNothing)
{
    const std::vector<uint16_t>* lists = &parser->m_visibleCells[0];
    const size_t entries = lists->size();
    parser->SetMapShotView(0, 100.0f, 1, 2);
    parser->SetMapShotView(-3, 100.0f, 1, 2);
    EXPECT_EQ(22, parser->m_viewCells);
    EXPECT_EQ(int32_t(20 * 128 * 0.9f), parser->m_popUpDistance);
    EXPECT_EQ(300.0f, parser->m_fogRange[0]);
    EXPECT_EQ(2000.0f, FarPlane());
    EXPECT_EQ(entries, lists->size());
}

TEST_F(MapShot, WithFogOffTheFogIsNeitherStoredNorSent)
{
    parser->m_fogOn = 0;
    const DWORD start = RenderState(D3DRENDERSTATE_FOGSTART), end = RenderState(D3DRENDERSTATE_FOGEND);
    parser->SetMapShotView(60, 100.0f, 1234, 5678);
    EXPECT_EQ(300.0f, parser->m_fogRange[0]);
    EXPECT_EQ(4000.0f, parser->m_fogRange[1]);
    EXPECT_EQ(start, RenderState(D3DRENDERSTATE_FOGSTART));
    EXPECT_EQ(end, RenderState(D3DRENDERSTATE_FOGEND));
    EXPECT_EQ(60, parser->m_viewCells);
    EXPECT_EQ(size_t(YD3D6Parser::VisibleCellCapacity(60)), parser->m_visibleCells[0].size());
}

TEST_F(MapShot, OutsideMapModeNothingChanges)
{
    parser->EndSession(0);
    parser->InitSession(1, nullptr, 1);  // the model viewer
    parser->m_viewCells = 22;
    parser->SetMapShotView(200, 1000.0f, 2000, 20000);
    EXPECT_EQ(22, parser->m_viewCells);
    EXPECT_EQ(0, g_eyeOffset);
    EXPECT_TRUE(parser->m_visibleCells[0].empty());
}

// d <= 2 would put the far plane at or behind the eye; a huge d would
// allocate without bound and overflow the far distance and cell indices.
TEST_F(MapShot, ViewDistanceIsKeptToWhatTheGridAndCellIndicesAllow)
{
    struct Case {
        int32_t asked, got;
    } cases[] = {{1, 3}, {2, 3}, {3, 3}, {40, 40}, {100000, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        parser->SetMapShotView(c.asked, 10.0f, 1, 2);
        const int32_t want = c.got ? c.got : parser->MaxShotDistance();
        EXPECT_EQ(want, parser->m_viewCells);
        EXPECT_GT(parser->m_popUpDistance, 0);
        EXPECT_LE(parser->m_visibleCells[0].size(), 65535u);
    }
    EXPECT_LE(YD3D6Parser::VisibleCellCapacity(parser->MaxShotDistance()), 65535);
    EXPECT_GT(YD3D6Parser::VisibleCellCapacity(parser->MaxShotDistance() + 1), 65535);
}

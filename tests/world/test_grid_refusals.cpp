// A grid that will not let an actor go: nothing is deleted while the grid
// may hold it, and no slot is taken over from such an actor.
#include <gtest/gtest.h>

#include <string>

#include "renderer/YD3D6Parser.h"
#include "renderer/YMapVT3.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"

#if defined(RCV_DATA_DIR)
namespace {
// The renderer on "Tiny.zon", refusing every removal while told to.
class StubbornGrid : public YD3D6Parser {
public:
    int RemoveActorAt(void* identity, double x, double z) override
    {
        return m_refuse ? 0 : YD3D6Parser::RemoveActorAt(identity, x, z);
    }
    int RemoveActorFromCell(void* identity, int16_t column, int16_t row) override
    {
        return m_refuse ? 0 : YD3D6Parser::RemoveActorFromCell(identity, column, row);
    }
    bool m_refuse = false;
};

class CountedActor : public YActor {
public:
    explicit CountedActor(int* deleted) : m_deleted(deleted) {}
    ~CountedActor() override { ++*m_deleted; }
    int* m_deleted;
};

class GridRefusals : public ::testing::Test {
protected:
    void SetUp() override
    {
        YMapVT3 map;
        ASSERT_EQ(1, map.LoadFile(RCV_DATA_DIR "/maps/Tiny.zon", nullptr));
        m_grid.SetWorldScale(YActorWorld::kRenderScale);
        m_grid.InitSession(2, nullptr, 99);
        ASSERT_EQ(1, m_grid.BuildTerrainCells(map, YActorWorld::kRenderScale));
        m_world.GetScene() = &m_grid;
    }
    void TearDown() override
    {
        m_grid.m_refuse = false;
        m_world.Clear();
        m_world.GetScene() = nullptr;
    }
    CountedActor* Add(int slot = -1)
    {
        CountedActor* actor = new CountedActor(&m_deleted);
        actor->m_position = YVector(60, 0, 60);
        m_world.AddActor(actor, 1, slot);
        return actor;
    }
    int Listed(const YActor* actor) const
    {
        int found = 0;
        for (uint32_t cell = 0; cell < m_grid.GetGridWidth() * m_grid.GetGridHeight(); ++cell)
            for (const YCellActor* node = m_grid.GetCellActors(cell); node; node = node->m_next)
                found += node->m_id == actor;
        return found;
    }

    StubbornGrid m_grid;
    YActorWorld m_world;
    int m_deleted = 0;
};
}  // namespace

TEST_F(GridRefusals, AForcedRemovalWaitsUntilTheGridLetsGo)
{
    CountedActor* actor = Add();
    ASSERT_EQ(1, Listed(actor));
    m_grid.m_refuse = true;
    // Without force nothing changes.
    EXPECT_EQ(nullptr, m_world.RemoveActor(actor, 0));
    EXPECT_EQ(0, m_world.IndexOf(actor));
    // With force it leaves its slot but stays alive, registered.
    EXPECT_EQ(nullptr, m_world.RemoveActor(actor, 1));
    EXPECT_EQ(-1, m_world.IndexOf(actor));
    EXPECT_EQ(1, m_world.GetPendingCount());
    EXPECT_EQ(1, actor->m_inGrid);
    EXPECT_EQ(0, m_deleted);
    m_world.Clear();
    EXPECT_EQ(0, m_deleted) << "the grid still holds it";
    EXPECT_EQ(1, m_world.GetPendingCount());
    m_grid.m_refuse = false;
    m_world.Clear();
    EXPECT_EQ(1, m_deleted);
    EXPECT_EQ(0, m_world.GetPendingCount());
}

TEST_F(GridRefusals, ClearKeepsWhatTheGridHolds)
{
    CountedActor* held = Add();
    Add();
    m_grid.m_refuse = true;
    m_world.Clear();
    EXPECT_EQ(0, m_deleted);
    EXPECT_EQ(2, m_world.GetPendingCount());
    EXPECT_EQ(1, Listed(held));
    m_grid.m_refuse = false;
    m_world.Clear();
    EXPECT_EQ(2, m_deleted);
}

TEST_F(GridRefusals, AnOccupiedSlotIsNotTakenFromAnActorTheGridHolds)
{
    CountedActor* old = Add();
    m_grid.m_refuse = true;
    CountedActor* newcomer = new CountedActor(&m_deleted);
    EXPECT_EQ(-1, m_world.AddActor(newcomer, 1, 0));
    EXPECT_EQ(old, m_world.GetActor(0));
    EXPECT_EQ(1, m_world.GetCount());
    EXPECT_EQ(0, m_deleted);
    EXPECT_EQ(0, Listed(newcomer));
    m_grid.m_refuse = false;
    EXPECT_EQ(0, m_world.AddActor(newcomer, 1, 0));
    EXPECT_EQ(1, m_deleted);
    EXPECT_EQ(1, Listed(newcomer));
}

TEST_F(GridRefusals, AnActorTheGridLostTrackOfIsFoundByIdentity)
{
    CountedActor* actor = Add();
    // Registered where the world no longer thinks it is.
    actor->m_position = actor->m_previousPosition = YVector(150, 0, 150);
    actor->m_render.m_position[0] = actor->m_render.m_position[2] = 150 * 16.0f;
    EXPECT_EQ(nullptr, m_world.RemoveActor(actor, 0));
    EXPECT_EQ(1, m_deleted);
    EXPECT_EQ(0, Listed(actor));
}
#endif

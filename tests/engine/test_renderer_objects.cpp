// Clearing the renderer's placed map objects: each leaves the grid at the
// world x and z it stored, its attached block is freed, the list is emptied;
// the world lights handed back to the renderer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "engine/YGameObjects.h"
#include "renderer/YD3D6Parser.h"
#include "world/YRenderInstance.h"

namespace {

// Records every removal from the grid.
class GridRecorder : public YD3D6Parser {
public:
    struct Removal {
        void* identity;
        double x, z;
    };
    int RemoveActorAt(void* identity, double x, double z) override
    {
        m_removals.push_back({identity, x, z});
        return 1;
    }
    std::vector<Removal> m_removals;
};

// Three light records; writes down each one handed back.
class LightRecorder : public YD3D6Parser {
public:
    int GetLightCount() override { return 3; }
    void* GetLight(int index) override { return index == 1 ? nullptr : &m_records[index]; }
    void* SetLight(int index, const void* record) override
    {
        m_set.push_back({index, record});
        return nullptr;
    }
    int m_records[3] = {};
    std::vector<std::pair<int, const void*>> m_set;
};

YRenderBlock* NewBlock(size_t first, size_t second)
{
    YRenderBlock* block = new YRenderBlock;
    block->m_arrays[0] = first ? malloc(first) : nullptr;
    block->m_arrays[1] = second ? malloc(second) : nullptr;
    return block;
}

class RendererObjects : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_engine = YGameObjects::Instance();
        m_saved = m_engine->m_renderer;
        m_engine->m_renderer = &m_renderer;
    }
    void TearDown() override { m_engine->m_renderer = m_saved; }

    YGameObjects* m_engine = nullptr;
    YParser* m_saved = nullptr;
    GridRecorder m_renderer;
};

}  // namespace

TEST_F(RendererObjects, EachPlacedObjectLeavesTheGridAtItsStoredPlaceAndLosesItsBlock)
{
    struct Case {
        double x, z;
        size_t first, second;  // bytes of the block's arrays; both 0: no block
        bool block;
    } cases[] = {
        {12.5, -3.25, 64, 128, true},
        {1e9, 4097.75, 16, 0, true},  // doubles, not floats: kept to the last bit
        {-0.5, 0.0, 0, 0, false},
        {0.0, 0.0, 0, 0, true},  // a block without arrays
    };
    std::vector<YRenderInstance> records(sizeof cases / sizeof cases[0]);
    for (size_t i = 0; i < records.size(); ++i) {
        records[i].m_worldX = cases[i].x;
        records[i].m_worldZ = cases[i].z;
        if (cases[i].block) records[i].m_block = NewBlock(cases[i].first, cases[i].second);
        m_renderer.AddPlacedObject(&records[i]);
    }
    m_renderer.AddPlacedObject(nullptr);  // an empty slot is passed over

    m_engine->ClearRendererObjects();

    EXPECT_EQ(m_renderer.GetPlacedObjectCount(), 0);
    ASSERT_EQ(m_renderer.m_removals.size(), records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(m_renderer.m_removals[i].identity, &records[i]);
        EXPECT_EQ(m_renderer.m_removals[i].x, cases[i].x);
        EXPECT_EQ(m_renderer.m_removals[i].z, cases[i].z);
        EXPECT_EQ(records[i].m_block, nullptr);
    }

    // Cleared once, a second clear finds nothing to remove or free.
    m_engine->ClearRendererObjects();
    EXPECT_EQ(m_renderer.m_removals.size(), records.size());
}

TEST_F(RendererObjects, WithoutARendererNothingHappens)
{
    YRenderInstance record;
    record.m_block = NewBlock(8, 8);
    m_renderer.AddPlacedObject(&record);
    m_engine->m_renderer = nullptr;
    m_engine->ClearRendererObjects();
    EXPECT_NE(record.m_block, nullptr);
    EXPECT_EQ(m_renderer.GetPlacedObjectCount(), 1);

    m_engine->m_renderer = &m_renderer;
    m_engine->ClearRendererObjects();
    EXPECT_EQ(record.m_block, nullptr);
    EXPECT_TRUE(m_renderer.m_removals.size() == 1);
}

TEST(WorldLights, EachLightRecordGoesBackToItsOwnPlace)
{
    YGameObjects* engine = YGameObjects::Instance();
    YParser* saved = engine->m_renderer;
    LightRecorder lights;
    engine->m_renderer = &lights;
    engine->UpdateWorldLights();
    const std::vector<std::pair<int, const void*>> expected = {{0, &lights.m_records[0]},
                                                               {2, &lights.m_records[2]}};
    EXPECT_EQ(expected, lights.m_set) << "a missing record is skipped";
    engine->m_renderer = nullptr;
    engine->UpdateWorldLights();  // no renderer: nothing to do
    engine->m_renderer = saved;
}

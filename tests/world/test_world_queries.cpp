// The world's questions on "Meadow.zon" as the renderer sets it up: heights
// at and beyond the edges, the lake, free places, traces, the grid
// registration and the camera.
#include <cmath>
#include <vector>

#include "SampleMapWorld.h"
#include "engine/YEngineCallbacks.h"
#include "renderer/YTraceResult.h"

#if defined(RCV_DATA_DIR)
YCatalog* SampleMapWorld::s_catalog = nullptr;
YD3D6Parser* SampleMapWorld::s_parser = nullptr;
bool SampleMapWorld::s_loaded = false;

namespace {
class WorldQueries : public SampleMapWorld {
protected:
    static void SetUpTestSuite() { Load("Meadow"); }
    // The middle of the sample lake, where its bed lies 4 m under the water.
    YVector Lake() const { return YVector(Size() * 0.62f, 0.0f, Size() * 0.38f); }
    YActor* Add(const YVector& at, int place = 1)
    {
        YActor* actor = new YActor;
        actor->m_position = at;
        m_world.AddActor(actor, place);
        return actor;
    }
};
}  // namespace

TEST_F(WorldQueries, HeightsAreAskedOnTheMapAndZeroBeyondIt)
{
    const float size = Size();
    ASSERT_EQ(96 * 16.0f, size);
    ASSERT_EQ(16.0f, m_world.CellSize());
    // The plain is 1 m high at the edges.
    struct Case {
        float x, z;
        bool asked;
    };
    const Case cases[] = {{-1, 10, false},         {10, -0.01f, false}, {size + 0.01f, 10, false},
                          {10, size + 0.5f, false}, {0, 10, true},       {size, 10, true},
                          {10, size, true},         {size * 0.5f, size * 0.5f, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.z);
        const float renderer = s_parser->GetGroundHeight(c.x * 16.0f, c.z * 16.0f) / 16.0f;
        EXPECT_EQ(c.asked ? renderer : 0.0f, m_world.TerrainHeightAt(c.x, c.z));
        YActorWorld::GroundSample sample;
        m_world.TerrainSample(c.x, c.z, sample);
        EXPECT_NEAR(c.asked ? renderer : 0.0f, sample.ground, 1e-4);
        if (c.asked) EXPECT_NE(0.0f, renderer);
    }
    // Without a map every height is 0.
    YActorWorld bare;
    EXPECT_EQ(0.0f, bare.TerrainHeightAt(10, 10));
    EXPECT_EQ(0.0f, bare.GroundHeightAt(10, 10));
}

TEST_F(WorldQueries, TheLakeHoldsWalkersOnItsSurface)
{
    YVector lake = Lake();
    YActorWorld::GroundSample sample;
    m_world.SampleAtPoint(lake, sample);
    EXPECT_NEAR(-4.0, sample.ground, 0.05);
    EXPECT_NEAR(0.0, sample.water, 1e-4);
    EXPECT_TRUE(m_world.IsWaterNear(lake, 0));
    EXPECT_FALSE(m_world.IsWaterNear(YVector(Size() * 0.1f, 0, Size() * 0.9f), 16));
    const YVector shore(Size() * 0.62f - 160, 0, Size() * 0.38f);
    EXPECT_FALSE(m_world.IsWaterNear(shore, 0));
    EXPECT_TRUE(m_world.IsWaterNear(shore, 64)) << "four cells round";

    struct Case {
        float y;
        bool flying, ground, water;
        float expected;
    };
    const Case cases[] = {
        {10, false, true, true, 0},  // water wins over ground
        {10, true, true, true, 10},  // a flyer above stays
        {-2, true, true, true, 0},   // and is lifted out of the water
        {10, false, true, false, -4}, {-6, true, true, false, -4}, {-2, true, true, false, -2},
        {-6, false, false, false, -6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.y << " flying " << c.flying << " ground " << c.ground << " water "
                                        << c.water);
        YVector at(lake.x, c.y, lake.z);
        m_world.ClipToSurface(at, c.flying, c.ground, c.water);
        EXPECT_NEAR(c.expected, at.y, 0.05f);
    }
    // On the shore a walker never ends under the visible ground.
    YVector shoreline(1052.19f, 10, 597.61f);
    m_world.SampleAtPoint(shoreline, sample);
    m_world.ClipToSurface(shoreline, false, true, true);
    EXPECT_GE(shoreline.y, sample.ground - 1e-4);
    // An actor by its flags; a child is left alone.
    YActor* walker = Add(YVector(lake.x, 5, lake.z), 0);
    walker->SetFlag("ClipToWater", true);
    m_world.ClipActorToSurface(walker);
    EXPECT_NEAR(0.0f, walker->m_position.y, 1e-4f);
    YActor* parent = Add(YVector(10, 0, 10), 0);
    parent->AddChild(walker);
    walker->m_position.y = 5;
    m_world.ClipActorToSurface(walker);
    EXPECT_EQ(5.0f, walker->m_position.y);
    m_world.SampleUnder(walker, sample);
    EXPECT_EQ(0.0, sample.ground) << "children have no ground";
}

TEST_F(WorldQueries, TheCameraStaysAboveTheLake)
{
    YActor* diver = Add(YVector(Lake().x, -3, Lake().z));
    m_world.SetViewActor(diver);
    m_world.m_cameraOffset = YVector(0, 0, -5);
    YVector position, angles;
    ASSERT_TRUE(m_world.GetCameraTransform(position, angles));
    EXPECT_NEAR(0.2f, position.y, 1e-4f) << "on the water, 0.2 m up";
    EXPECT_NEAR(Lake().z - 5, position.z, 1e-3f);
    float x, y, z;
    m_world.UpdateCamera(-1.0f);
    s_parser->GetCameraPosition(&x, &y, &z);
    EXPECT_NEAR(0.2f * 16.0f, y - g_eyeOffset, 1e-2f);
}

TEST_F(WorldQueries, PlacedModelsAndActorsTakeTheirPlace)
{
    // The hangar stands at (0.15, 0.3) of the map.
    const YVector hangar(Size() * 0.15f, 0, Size() * 0.3f);
    EXPECT_FALSE(m_world.IsLocationClear(hangar, 5));
    EXPECT_FALSE(m_world.IsLocationClear(hangar + YVector(4, 0, 0), 5));
    EXPECT_TRUE(m_world.IsLocationClear(hangar + YVector(0, 0, 40), 5));
    const YVector open(Size() * 0.5f, 0, Size() * 0.1f);
    ASSERT_TRUE(m_world.IsLocationClear(open, 5));
    YActor* actor = Add(open + YVector(3, m_world.TerrainHeightAt(open.x + 3, open.z), 0));
    EXPECT_FALSE(m_world.IsLocationClear(YVector(open.x, actor->m_position.y, open.z), 5));
    m_world.RemoveActor(actor, 0);
    EXPECT_TRUE(m_world.IsLocationClear(open, 5));
    YActorWorld bare;
    EXPECT_TRUE(bare.IsLocationClear(hangar, 5));

    // On open dry ground the place comes back to within a metre of the start.
    YActor placed;
    YVector at = open;
    ASSERT_TRUE(m_world.FindPlacement(&placed, &at, 0));
    EXPECT_LE(at.DistanceSquared(open), 1.0f + 1e-3f);
    // In the lake one who does not wade needs the shore.
    at = Lake();
    ASSERT_TRUE(m_world.FindPlacement(&placed, &at, 0));
    YActorWorld::GroundSample sample;
    m_world.SampleAtPoint(at, sample);
    EXPECT_LE(sample.water - sample.ground, 0.0);
    EXPECT_GT(at.DistanceSquared(Lake()), 32.0f * 32.0f);
    // Beside the hangar every candidate comes back into it: the spiral ends
    // at a quarter of the map, the position kept.
    at = hangar;
    EXPECT_FALSE(m_world.FindPlacement(&placed, &at, 0));
    EXPECT_EQ(hangar, at);
}

TEST_F(WorldQueries, TracesStartInsideTheBorderAndHillsBlockThem)
{
    const float size = Size();
    // A start in the two-cell border comes in along the line.
    YVector from(8, 20, 400), to(208, 20, 600);
    EXPECT_EQ(1, m_world.LineTrace(nullptr, from, to, 0, 0, 0));
    EXPECT_FLOAT_EQ(32.0f, from.x);
    EXPECT_FLOAT_EQ(424.0f, from.z);
    EXPECT_EQ(1u, m_world.m_traceCount);
    // Along the border: only that coordinate moves (no division by zero).
    YVector along(10, 20, 100);
    m_world.LineTrace(nullptr, along, YVector(10, 20, 900), 0, 0, 0);
    EXPECT_EQ(YVector(32, 20, 100), along);
    YVector corner(size, 20, size);
    m_world.LineTrace(nullptr, corner, YVector(size, 20, size), 0, 0, 0);
    EXPECT_EQ(YVector(size - 32, 20, size - 32), corner);

    // The highest hill stands between two low points.
    YVector top;
    for (float x = 40; x < size - 40; x += 8)
        for (float z = 40; z < size - 40; z += 8)
            if (m_world.TerrainHeightAt(x, z) > top.y) top = YVector(x, m_world.TerrainHeightAt(x, z), z);
    ASSERT_GT(top.y, 20.0f);
    const float y = top.y * 0.5f;
    YVector west(top.x, y, top.z), east(top.x, y, top.z);
    while (m_world.TerrainHeightAt(west.x, west.z) >= y - 2) west.x -= 4;
    while (m_world.TerrainHeightAt(east.x, east.z) >= y - 2) east.x += 4;
    ASSERT_GT(west.x, 40.0f);
    ASSERT_LT(east.x, size - 40.0f);
    EXPECT_EQ(0, m_world.LineTrace(nullptr, west, east, 0, 0, 0x100));
    ASSERT_NE(nullptr, m_world.GetTraceHit());
    EXPECT_EQ(0x100u, m_world.GetTraceHit()->m_hitCode);
    YVector over(top.x - 100, top.y + 20, top.z);
    EXPECT_EQ(1, m_world.LineTrace(nullptr, over, YVector(top.x + 100, top.y + 20, top.z), 0, 0, 0x100));

    // The tracer is left out and its target marked only for the trace.
    YActor* tracer = Add(YVector(top.x - 60, y, top.z));
    YActor* target = Add(YVector(top.x + 60, y, top.z));
    tracer->m_target = target;
    const DWORD before = tracer->m_render.m_flags, targetBefore = target->m_render.m_flags;
    EXPECT_FALSE(tracer->CanSeePoint(YVector(top.x + 60, y, top.z), 500, 0x100));
    EXPECT_EQ(before, tracer->m_render.m_flags);
    EXPECT_EQ(targetBefore, target->m_render.m_flags);
}

TEST_F(WorldQueries, TheGridHoldsEachActorOnceInItsCell)
{
    const YVector start(300, 2, 300);
    YActor* actor = Add(start, 0);
    m_world.PlaceActor(actor, &start);
    m_world.PlaceActor(actor, &start);
    EXPECT_EQ(1, Registrations(actor)) << "placing twice registers once";
    EXPECT_TRUE(ListedAt(actor, start));

    // A move under 0.01 m changes nothing.
    m_world.MoveActor(actor, start + YVector(0.005f, 0, 0.005f));
    EXPECT_EQ(start, actor->m_previousPosition);
    // A longer one moves it into its new cell.
    const YVector next(340, 2, 300);
    actor->m_position = next;
    m_world.MoveActor(actor, next);
    EXPECT_EQ(next, actor->m_previousPosition);
    EXPECT_TRUE(ListedAt(actor, next));
    EXPECT_EQ(1, Registrations(actor));
    EXPECT_TRUE(m_world.UnplaceActor(actor));
    EXPECT_EQ(0, Registrations(actor));
    EXPECT_FALSE(m_world.UnplaceActor(actor)) << "not registered";
    EXPECT_TRUE(m_world.UnplaceActor(nullptr));

    // The grid lost track of it (moved behind the world's back): still found.
    m_world.PlaceActor(actor, &start);
    actor->m_position = actor->m_previousPosition = YVector(900, 0, 900);
    actor->m_render.m_position[0] = actor->m_render.m_position[2] = 900 * 16.0f;
    EXPECT_TRUE(m_world.UnplaceActor(actor));
    EXPECT_EQ(0, Registrations(actor));
}

namespace {
std::vector<YVector> g_moves;
void RecordMove(YActor*, const YVector& to, const YVector& from)
{
    g_moves.push_back(from);
    g_moves.push_back(to);
}
}  // namespace

TEST_F(WorldQueries, TheMoveCallbackHearsMovesButNotFromTheStartingPlaces)
{
    g_moves.clear();
    m_world.SetMoveCallback(RecordMove);
    struct Case {
        YVector from, to;
        bool heard;
    };
    const Case cases[] = {
        {YVector(300, 0, 300), YVector(301, 0, 300), true},
        {YVector(0.1f, 0.1f, 0.1f), YVector(301, 0, 300), false},  // near the origin
        {YVector(16, 0.2f, 16), YVector(301, 0, 300), false},      // near (16, 0, 16)
        {YVector(300, 0, 300), YVector(300.005f, 0, 300), false},  // too short a move
    };
    for (const Case& c : cases) {
        g_moves.clear();
        YActor* actor = Add(c.from);
        m_world.MoveActor(actor, c.to);
        EXPECT_EQ(c.heard ? 2u : 0u, g_moves.size()) << c.from.x;
        if (c.heard) {
            EXPECT_EQ(c.from, g_moves[0]);
            EXPECT_EQ(c.to, g_moves[1]);
        }
        m_world.RemoveActor(actor, 0);
    }
}

TEST_F(WorldQueries, ADyingChildIsNeverPlacedAgain)
{
    YActor* parent = Add(YVector(200, 2, 200));
    YActor* child = Add(YVector(210, 2, 200));
    parent->AddChild(child);
    EXPECT_EQ(0, Registrations(child)) << "a child leaves the grid";
    m_world.RemoveActor(child, 0);
    EXPECT_EQ(0, Registrations(child));
    EXPECT_EQ(0, parent->GetChildCount());

    // The parent goes first: its child, held by a slot, is placed again.
    YActor* second = Add(YVector(220, 2, 200));
    parent->AddChild(second);
    m_world.RemoveActor(parent, 0);
    EXPECT_EQ(1, Registrations(second));
    EXPECT_EQ(nullptr, second->GetParent());

    // Clear with a parent and its children in any order leaves the grid empty.
    YActor* a = Add(YVector(230, 2, 200));
    YActor* b = Add(YVector(240, 2, 200));
    b->AddChild(second);
    b->AddChild(a);
    const YActor* gone[] = {a, b, second};
    m_world.Clear();
    for (const YActor* actor : gone) EXPECT_EQ(0, Registrations(actor));
}
#endif

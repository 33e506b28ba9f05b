// One tick of a flying plane on the sample map "Meadow" (the mechanical pass
// moving it, with the collision pass sweeping its propeller and both wings,
// then its flight update), beside the yardstick: one 27.5 m world line trace
// (the bots' probe) from the plane on the same map.  The ratio comes last.
// bench_plane [<build>/data]
#include <benchmark/benchmark.h>

#include "FastestRunReporter.h"

#include <cstdio>
#include <ostream>
#include <string>

#include "engine/YGameObjects.h"
#include "foundation/YCatalog.h"
#include "game/YActorCollision.h"
#include "game/YPlane.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YMapVT3Model_Output.h"
#include "tools/YCatalogText.h"
#include "world/YActorWorld.h"
#include "world/YMechanicalUpdater.h"

namespace {
const float kStep = 0.016f;
const int kTicksPerFlight = 512;  // then the plane starts its run again
const float kProbe = 27.5f;
const DWORD kProbeFlags = 0x15C;
std::string g_data = RCV_DATA_DIR;

struct Setup {
    YCatalog* catalog = nullptr;
    YD3D6Parser parser;
    YActorWorld world;
    YMechanicalUpdater mech;
    YPlane* plane = nullptr;
    YVector start;
    bool ready = false;
    Setup()
    {
        YCatalogText::RegisterResourceClasses();
        YGameObjects* engine = YGameObjects::Instance();
        catalog = new YCatalog((g_data + "/RC Volaro.cat").c_str());
        catalog->GetSearchDirectories().Add(g_data.c_str());
        engine->m_catalog = catalog;
        parser.SetWorldScale(YActorWorld::kRenderScale);
        YSessionDesc desc;
        desc.m_mapPath = (g_data + "/maps/Meadow.zon").c_str();
        for (int i = 0; i < YSessionDesc::ParameterCount; ++i) desc.m_parameters[i] = engine->m_sessionDesc.m_parameters[i];
        ready = true;
        for (int level = 0; level < parser.GetInitLevelCount(2); ++level)
            ready = ready && parser.InitSession(2, level == 0 ? &desc : nullptr, level);
        if (!ready) return;
        engine->m_renderer = &parser;
        engine->m_world = &world;
        world.Init(nullptr, nullptr, "maps", YActorWorld::kDefaultCapacity);
        world.SetMoveCallback(CollideActorParts);
        start = YVector(world.MapWidth() * 0.2f, 0.0f, world.MapHeight() * 0.2f);
        start.y = world.TerrainHeightAt(start.x, start.z) + 30.0f;
        plane = new YPlane("p40plane");
        world.AddActor(plane);
        world.PlaceActor(plane, &start);
        plane->OnCommand(17, "", 1);
        engine->m_frameTime = kStep;
        Restart();
    }
    // Level flight at full speed north-east from the start.
    void Restart()
    {
        plane->m_position = plane->m_previousPosition = start;
        plane->m_angles = YVector(0.0f, 45.0f, 0.0f);
        plane->m_forward = plane->m_angles.FromAngles();
        plane->m_up = YVector(0.0f, 1.0f, 0.0f);
        plane->m_velocity = plane->m_forward * plane->GetHandling()->m_topAirSpeed;
        plane->m_flagsB &= ~YActor::FlagOnGround;
        world.UpdateActorCell(plane);
    }
};

Setup& World()
{
    static Setup setup;
    return setup;
}

void PlaneTick(benchmark::State& state)
{
    Setup& s = World();
    if (!s.ready) {
        state.SkipWithError("the sample map did not load");
        return;
    }
    int ticks = 0;
    YGameObjects* engine = YGameObjects::Instance();
    for (auto _ : state) {
        engine->m_gameClock += 16;
        s.mech.MoveActor(s.plane, kStep, 0);
        s.plane->Update(kStep);
        if (++ticks == kTicksPerFlight) {
            ticks = 0;
            s.Restart();
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(PlaneTick);

// Yardstick: the probe ahead of the plane.
void ProbeLineTrace(benchmark::State& state)
{
    Setup& s = World();
    if (!s.ready) {
        state.SkipWithError("the sample map did not load");
        return;
    }
    s.Restart();
    const YVector ahead = s.plane->m_angles.FromAngles() * kProbe;
    for (auto _ : state) {
        YVector from = s.plane->m_position;
        benchmark::DoNotOptimize(s.world.LineTrace(s.plane, from, s.plane->m_position + ahead, 0, 0, kProbeFlags));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ProbeLineTrace);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (argc > 1) g_data = argv[1];
    PairRatioReporter reporter(PairRatioReporter::Pairs{{"PlaneTick", "ProbeLineTrace"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // The world's actors go before the renderer that holds them.
    World().world.Clear();
    YGameObjects::Instance()->m_renderer = nullptr;
    YGameObjects::Instance()->m_world = nullptr;
    YGameObjects::Instance()->m_catalog = nullptr;
    return 0;
}

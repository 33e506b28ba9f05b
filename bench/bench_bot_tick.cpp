// One tick of a bot plane at skill 4 (its terrain look-ahead every 100 ms,
// its brain, its simplified air step, the mechanical and collision passes)
// and one tick of the player's plane, each beside the yardstick: one 27.5 m
// world line trace (the bots' probe) on the sample map "Meadow".  The
// ratios come last.  bench_bot_tick [<build>/data]
#include <benchmark/benchmark.h>

#include "FastestRunReporter.h"

#include <cstdio>
#include <ostream>
#include <string>

#include "engine/YGameConfig.h"
#include "engine/YGameObjects.h"
#include "foundation/YCatalog.h"
#include "game/YActorCollision.h"
#include "game/YBotAI.h"
#include "game/YBotPlane.h"
#include "game/YClientInfo.h"
#include "game/YClientPhysics.h"
#include "game/YPlane.h"
#include "renderer/YD3D6Parser.h"
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
    YGameConfig config;
    YPlane* plane = nullptr;
    YBotPlane* bot = nullptr;
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
        engine->m_gameConfig = &config;
        config.m_gameLevel = 8;  // skill 4
        world.Init(nullptr, nullptr, "maps", YActorWorld::kDefaultCapacity);
        world.SetMoveCallback(CollideActorParts);
        start = YVector(world.MapWidth() * 0.2f, 0.0f, world.MapHeight() * 0.2f);
        start.y = world.TerrainHeightAt(start.x, start.z) + 30.0f;
        plane = new YPlane("p40plane");
        world.AddActor(plane);
        world.PlaceActor(plane, &start);
        plane->OnCommand(17, "", 1);
        if (engine->m_localClient) engine->m_localClient->m_plane = plane;
        srand(5);
        bot = new YBotPlane(YBotAI::TaskDogfight);
        engine->m_frameTime = kStep;
        Restart();
    }
    // Level flight at full speed north-east from the start; the bot 100 m
    // behind, chasing the plane.
    void Restart()
    {
        plane->m_position = plane->m_previousPosition = start;
        plane->m_angles = YVector(0.0f, 45.0f, 0.0f);
        plane->m_forward = plane->m_angles.FromAngles();
        plane->m_up = YVector(0.0f, 1.0f, 0.0f);
        plane->m_velocity = plane->m_forward * plane->GetHandling()->m_topAirSpeed;
        plane->m_flagsB &= ~YActor::FlagOnGround;
        world.UpdateActorCell(plane);
        bot->m_position = bot->m_previousPosition = start - plane->m_forward * 100.0f;
        bot->m_angles = plane->m_angles;
        bot->m_velocity = plane->m_velocity;
        bot->m_flagsB &= ~(YActor::FlagOnGround | YPlane::FlagCrashing | YPlane::FlagDown);
        bot->m_crashState = 0;
        bot->m_target = plane;
        bot->m_vectorA = plane->m_position;
        bot->GetBrain()->m_altitude = 30.0f;
        bot->GetBrain()->m_takingOff = 0;
        world.UpdateActorCell(bot);
    }
};

Setup& World()
{
    static Setup setup;
    return setup;
}

void Tick(benchmark::State& state, bool bot)
{
    Setup& s = World();
    if (!s.ready) {
        state.SkipWithError("the sample map did not load");
        return;
    }
    s.Restart();
    int ticks = 0;
    YGameObjects* engine = YGameObjects::Instance();
    YPlane* plane = bot ? static_cast<YPlane*>(s.bot) : s.plane;
    for (auto _ : state) {
        engine->m_gameClock += 16;
        s.mech.MoveActor(plane, kStep, 0);
        plane->Update(kStep);
        if (bot) s.bot->Think();
        if (++ticks == kTicksPerFlight) {
            ticks = 0;
            s.Restart();
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BotTick(benchmark::State& state) { Tick(state, true); }
BENCHMARK(BotTick);

void PlayerTick(benchmark::State& state) { Tick(state, false); }
BENCHMARK(PlayerTick);

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
    PairRatioReporter reporter(
        PairRatioReporter::Pairs{{"BotTick", "ProbeLineTrace"}, {"PlayerTick", "ProbeLineTrace"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // The world's actors go before the renderer that holds them.
    World().world.Clear();
    YGameObjects* engine = YGameObjects::Instance();
    if (engine->m_localClient) engine->m_localClient->m_plane = nullptr;
    engine->m_renderer = nullptr;
    engine->m_world = nullptr;
    engine->m_catalog = nullptr;
    engine->m_gameConfig = nullptr;
    return 0;
}

// The session's playing tick on the sample map "Meadow" with 256 actors in
// the world (the round's planes and their actors, and moving actors up to
// 256), beside its world passes alone (mechanical, sound, think and the
// refresh) as the yardstick; the ratio comes last.
// Run: RCV_BACKEND=headless bench_session_tick <build>/data
#include <benchmark/benchmark.h>

#include "FastestRunReporter.h"

#include <cstdio>
#include <ostream>
#include <random>
#include <string>

#include "engine/YEngineCallbacks.h"
#include "engine/YGameConfig.h"
#include "engine/YGameObjects.h"
#include "foundation/YCatalog.h"
#include "renderer/YD3D6Parser.h"
#include "tools/YCatalogText.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"
#include "world/YActorWorldUpdater.h"
#include "world/YGameSession.h"

namespace {
const int kActors = 256;
const DWORD kStepMs = 20;
std::string g_data = ".";

struct Round {
    YCatalog* catalog = nullptr;
    YD3D6Parser parser;
    YActorWorld world;
    YActorWorld world2;
    YGameSession session;
    YGameConfig config;
    bool playing = false;

    Round()
    {
        YCatalogText::RegisterResourceClasses();
        YGameObjects* engine = YGameObjects::Instance();
        catalog = new YCatalog((g_data + "/RC Volaro.cat").c_str());
        catalog->GetSearchDirectories().Add(g_data.c_str());
        engine->m_catalog = catalog;
        parser.SetWorldScale(YActorWorld::kRenderScale);
        parser.SetObjectTest(ObjectTest);
        engine->m_renderer = &parser;
        engine->m_world = &world;
        engine->m_world2 = &world2;
        engine->m_session = &session;
        engine->m_gameConfig = &config;
        engine->m_interfaceMgr = nullptr;
        engine->CreatePopulationLists();
        config.m_gameType = "balloon";
        config.m_plane = "biplane";
        config.m_gameLevel = -1;
        platform::Clock::SetManual(true);
        platform::Seed::Fix(256);
        engine->m_sessionDesc.m_mapPath = (g_data + "/maps/Meadow.zon").c_str();
        playing = session.Action(YGameSession::ActionInit) && session.Action(YGameSession::ActionBegin);
        std::mt19937 random(256);
        const float size = world.MapWidth();
        std::uniform_real_distribution<float> along(60.0f, size - 60.0f), speed(-10.0f, 10.0f);
        while (world.GetCount() < kActors) {
            YActor* actor = new YActor;
            actor->m_position = YVector(along(random), 0, along(random));
            actor->m_velocity = YVector(speed(random), 0, speed(random));
            actor->m_flagsB = YActor::FlagSlopeEffect | YActor::FlagFalling;
            world.AddActor(actor, 1);
        }
    }
};

Round& TheRound()
{
    static Round round;
    return round;
}

void PlayingTick(benchmark::State& state)
{
    Round& r = TheRound();
    if (!r.playing) {
        state.SkipWithError("the round did not start");
        return;
    }
    for (auto _ : state) {
        platform::Clock::Advance(kStepMs);
        r.session.Tick();
    }
    state.SetItemsProcessed(state.iterations() * r.world.GetCount());
}
BENCHMARK(PlayingTick);

// Yardstick: the same passes over the same world, without the rest of the tick.
void WorldPassesAlone(benchmark::State& state)
{
    Round& r = TheRound();
    if (!r.playing) {
        state.SkipWithError("the round did not start");
        return;
    }
    const float dt = kStepMs * 0.001f;
    for (auto _ : state) {
        for (POSITION at = r.session.m_passes.GetHeadPosition(); at;)
            benchmark::DoNotOptimize(r.session.m_passes.GetNext(at)->Update(&r.world, dt));
        r.world.Refresh();
    }
    state.SetItemsProcessed(state.iterations() * r.world.GetCount());
}
BENCHMARK(WorldPassesAlone);

class RatioReporter : public FastestRunReporter {
public:
    void Finalize() override
    {
        if (m_time.count("PlayingTick") && m_time.count("WorldPassesAlone") && m_time["WorldPassesAlone"] > 0) {
            char line[128];
            snprintf(line, sizeof line, "PlayingTick %6.2f x WorldPassesAlone (%d actors)\n",
                     m_time["PlayingTick"] / m_time["WorldPassesAlone"], TheRound().world.GetCount());
            GetOutputStream() << line;
        }
        ConsoleReporter::Finalize();
    }
};
}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (argc > 1) g_data = argv[1];
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // The round ends and the engine lets go of what is ours before the
    // statics go.
    Round& r = TheRound();
    r.session.Action(YGameSession::ActionEnd);
    r.parser.EndSession(0);
    YGameObjects* engine = YGameObjects::Instance();
    engine->m_renderer = nullptr;
    engine->m_world = engine->m_world2 = nullptr;
    engine->m_session = nullptr;
    engine->m_gameConfig = nullptr;
    engine->m_catalog = nullptr;
    delete r.catalog;
    return 0;
}

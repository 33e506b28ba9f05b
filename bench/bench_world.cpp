// The world on the full-size sample map "Meadow": the mechanical pass over
// 256 actors beside the bare renderer ground-info queries those actors need
// (two a step: the clip to the surface and the on-ground sample), and the
// world's LineTrace beside the renderer's TraceWorld on the same segments.
// The ratios come last.
#include <benchmark/benchmark.h>

#include "FastestRunReporter.h"

#include <cstdio>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "engine/YGameObjects.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YMapVT3.h"
#include "tools/YSampleMaps.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"
#include "world/YMechanicalUpdater.h"

namespace {
const YSampleMaps::Shape kMeadow = {"Meadow", 1999, 30.0f * YSampleMaps::kUnitsPerMetre, true, 96};
const int kActors = 256;
const float kStep = 0.02f;

struct Setup {
    YMapVT3 map;
    YD3D6Parser parser;
    YActorWorld world;
    std::vector<float> segments;  // from, to in metres
    Setup()
    {
        YGameObjects* engine = YGameObjects::Instance();
        YSampleMaps::Make(kMeadow, map);
        parser.SetWorldScale(YActorWorld::kRenderScale);
        parser.InitSession(2, nullptr, 99);
        parser.BuildTerrainCells(map, YActorWorld::kRenderScale);
        engine->m_renderer = &parser;
        engine->m_world = &world;
        world.Init(nullptr, nullptr, "maps", YActorWorld::kDefaultCapacity);
        std::mt19937 random(256);
        const float size = world.MapWidth();
        std::uniform_real_distribution<float> along(60.0f, size - 60.0f), speed(-10.0f, 10.0f);
        for (int i = 0; i < kActors; ++i) {
            YActor* actor = new YActor;
            actor->m_position = YVector(along(random), 0, along(random));
            actor->m_velocity = YVector(speed(random), 0, speed(random));
            actor->m_flagsB = YActor::FlagSlopeEffect | YActor::FlagFalling;
            if (i % 3 == 0) actor->SetFlag("ClipToWater", true);
            world.AddActor(actor, 1);
        }
        std::uniform_real_distribution<float> step(-40.0f, 40.0f);
        for (int i = 0; i < 1024; ++i) {
            const float x = along(random), z = along(random), x1 = x + step(random), z1 = z + step(random);
            segments.insert(segments.end(), {x, world.TerrainHeightAt(x, z) + 30, z, x1,
                                             world.TerrainHeightAt(x1, z1) - 5, z1});
        }
    }
};

Setup& World()
{
    static Setup setup;
    return setup;
}

void MechanicalPass(benchmark::State& state)
{
    Setup& s = World();
    YMechanicalUpdater mech;
    for (auto _ : state) benchmark::DoNotOptimize(mech.Update(&s.world, kStep));
    state.SetItemsProcessed(state.iterations() * kActors);
}
BENCHMARK(MechanicalPass);

// Yardstick: the renderer's ground records at every actor, twice.
void GroundInfoYardstick(benchmark::State& state)
{
    Setup& s = World();
    double heights[8];
    for (auto _ : state) {
        for (int i = 0; i <= s.world.GetHighestIndex(); ++i) {
            const YActor* actor = s.world.GetActor(i);
            for (int k = 0; k < 2; ++k) {
                s.parser.GetGroundInfo(actor->m_position.x * 16.0, actor->m_position.z * 16.0, heights);
                benchmark::DoNotOptimize(heights[0]);
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kActors);
}
BENCHMARK(GroundInfoYardstick);

void WorldLineTrace(benchmark::State& state)
{
    Setup& s = World();
    size_t i = 0;
    for (auto _ : state) {
        YVector from(s.segments[i], s.segments[i + 1], s.segments[i + 2]);
        const YVector to(s.segments[i + 3], s.segments[i + 4], s.segments[i + 5]);
        benchmark::DoNotOptimize(s.world.LineTrace(nullptr, from, to, 0, 0, 0x300));
        i = (i + 6) % s.segments.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(WorldLineTrace);

// Yardstick: the renderer's trace of the same segments in its units.
void RendererTraceWorld(benchmark::State& state)
{
    Setup& s = World();
    size_t i = 0;
    for (auto _ : state) {
        const float from[3] = {s.segments[i] * 16, s.segments[i + 1] * 16, s.segments[i + 2] * 16};
        const float to[3] = {s.segments[i + 3] * 16, s.segments[i + 4] * 16, s.segments[i + 5] * 16};
        benchmark::DoNotOptimize(s.parser.TraceWorld(from, to, 0, 0, 0x300));
        i = (i + 6) % s.segments.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(RendererTraceWorld);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    PairRatioReporter reporter(
        PairRatioReporter::Pairs{{"MechanicalPass", "GroundInfoYardstick"}, {"WorldLineTrace", "RendererTraceWorld"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // The world's actors go before the renderer that holds them.
    World().world.Clear();
    YGameObjects::Instance()->m_renderer = nullptr;
    YGameObjects::Instance()->m_world = nullptr;
    return 0;
}

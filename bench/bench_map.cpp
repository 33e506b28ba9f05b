// Loading a full-size sample map (read, validate, build the strips) and the
// strip build alone.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "renderer/Stripper.h"
#include "renderer/YMapVT3.h"
#include "tools/YMapWriter.h"
#include "tools/YSampleMaps.h"

namespace {

const YSampleMaps::Shape kMeadow = {"Meadow", 1999, 30.0f * YSampleMaps::kUnitsPerMetre, true, 96};

void LoadMap(benchmark::State& state)
{
    YMapVT3 made;
    YSampleMaps::Make(kMeadow, made);
    const std::string path = "/tmp/rcv_bench_map_" + std::to_string(getpid()) + ".zon";
    std::string error;
    if (!YMapWriter::WriteFile(made, path, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        YMapVT3 map;
        benchmark::DoNotOptimize(map.LoadFile(path.c_str(), nullptr));
    }
    std::remove(path.c_str());
    state.SetLabel(std::to_string(made.m_groups.size()) + " groups");
}
BENCHMARK(LoadMap)->Unit(benchmark::kMillisecond);

void BuildStrips(benchmark::State& state)
{
    YMapVT3 map;
    YSampleMaps::Make(kMeadow, map);
    for (auto _ : state) {
        Stripper stripper;
        stripper.Setup(map.m_vertices, map.m_groups, map.m_cells);
        benchmark::DoNotOptimize(stripper.Clusters().data());
    }
}
BENCHMARK(BuildStrips)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

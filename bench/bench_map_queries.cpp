// Ground-height, surface and world-trace queries per second on the full-size
// sample map "Meadow", set up in render units; beside them the yardstick: the
// ground height found by testing every terrain triangle of the map, as it
// would be without the cell grid.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "renderer/YD3D6Parser.h"
#include "renderer/YMapVT3.h"
#include "tools/YSampleMaps.h"

namespace {

const YSampleMaps::Shape kMeadow = {"Meadow", 1999, 30.0f * YSampleMaps::kUnitsPerMetre, true, 96};
const float kScale = 16.0f;

struct Setup {
    YMapVT3 map;
    YD3D6Parser parser;
    std::vector<float> points;  // x, z pairs in render units
    Setup()
    {
        YSampleMaps::Make(kMeadow, map);
        parser.InitSession(2, nullptr, 99);
        parser.BuildTerrainCells(map, kScale);
        std::mt19937 random(11);
        const float size = map.m_gridWidth * map.m_cellSize * kScale;
        std::uniform_real_distribution<float> along(0.0f, size);
        for (int i = 0; i < 4096 * 2; ++i) points.push_back(along(random));
    }
};

Setup& Map()
{
    static Setup setup;
    return setup;
}

void GroundHeight(benchmark::State& state)
{
    Setup& s = Map();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.parser.GetGroundHeight(s.points[i], s.points[i + 1]));
        i = (i + 2) % s.points.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(GroundHeight);

void SurfaceHeight(benchmark::State& state)
{
    Setup& s = Map();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.parser.GetSurfaceHeight(s.points[i], s.points[i + 1]));
        i = (i + 2) % s.points.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SurfaceHeight);

// Yardstick: every ground triangle of the map against the point.
void GroundHeightEveryTriangle(benchmark::State& state)
{
    Setup& s = Map();
    const std::vector<YMapVT3Vertex>& v = s.parser.m_mapVertices;
    size_t i = 0;
    for (auto _ : state) {
        const float x = s.points[i], z = s.points[i + 1];
        float best = 0.0f;
        for (const YMapCell& cell : s.parser.m_cells) {
            for (const YCellPolygon* shared : cell.m_polygons) {
                const YCellPolygon& poly = *shared;
                if (poly.m_kind != YCellPolygon::kGround) continue;
                poly.ForEachTriangle([&](const YCellCorner& a, const YCellCorner& b, const YCellCorner& c,
                                         const YCellPlane& plane) {
                    float y;
                    if (YD3D6Parser::TestCellTriangle(x, z, plane, &v[a.m_vertex].m_x, &v[b.m_vertex].m_x,
                                                      &v[c.m_vertex].m_x, &y) &&
                        y > best)
                        best = y;
                });
            }
        }
        benchmark::DoNotOptimize(best);
        i = (i + 2) % s.points.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(GroundHeightEveryTriangle);

// Segments of about 50 m from 30 m above the ground down to the ground
// (terrain and water), inside the map.
std::vector<float> TraceSegments(Setup& s)
{
    const float size = s.map.m_gridWidth * s.map.m_cellSize * kScale;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> along(0.1f * size, 0.9f * size), step(-40.0f * kScale, 40.0f * kScale);
    std::vector<float> segments;
    for (int i = 0; i < 1024; ++i) {
        const float x = along(random), z = along(random);
        const float x1 = x + step(random), z1 = z + step(random);
        segments.insert(segments.end(), {x, s.parser.GetGroundHeight(x, z) + 30 * kScale, z, x1,
                                         s.parser.GetGroundHeight(x1, z1) - 5 * kScale, z1});
    }
    return segments;
}

void TraceTerrain(benchmark::State& state)
{
    Setup& s = Map();
    const std::vector<float> segments = TraceSegments(s);
    size_t i = 0;
    int64_t hits = 0;
    for (auto _ : state) {
        hits += s.parser.TraceWorld(&segments[i + 3], &segments[i], 0.0f, 0.0f, 0x300) == 0;
        i = (i + 6) % segments.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["hit share"] = double(hits) / state.iterations();
}
BENCHMARK(TraceTerrain);

// Yardstick: the same segments against every terrain triangle of the map.
void TraceEveryTriangle(benchmark::State& state)
{
    Setup& s = Map();
    const std::vector<float> segments = TraceSegments(s);
    const std::vector<YMapVT3Vertex>& v = s.parser.m_mapVertices;
    std::vector<char> seen(s.map.m_groups.size(), 0);
    size_t i = 0;
    int64_t hits = 0;
    for (auto _ : state) {
        const float* from = &segments[i];
        const float* to = &segments[i + 3];
        float u[3] = {to[0] - from[0], to[1] - from[1], to[2] - from[2]};
        const float length = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
        for (float& c : u) c /= length;
        float best = length;
        std::fill(seen.begin(), seen.end(), 0);
        for (const YMapCell& cell : s.parser.m_cells) {
            for (size_t k = 0; k < cell.m_polygons.size(); ++k) {
                const YCellPolygon& poly = *cell.m_polygons[k];
                if (!(poly.m_kind & 2) || seen[cell.m_keys[k]]) continue;  // each polygon once
                seen[cell.m_keys[k]] = 1;
                poly.ForEachTriangle([&](const YCellCorner& a, const YCellCorner& b, const YCellCorner& c,
                                         const YCellPlane&) {
                    float t;
                    if (YD3D6Parser::IntersectRayTriangle(from, u, &v[a.m_vertex].m_x, &v[b.m_vertex].m_x,
                                                          &v[c.m_vertex].m_x, &t, nullptr, nullptr) &&
                        t > 0.0f && t < best)
                        best = t;
                });
            }
        }
        hits += best < length;
        i = (i + 6) % segments.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["hit share"] = double(hits) / state.iterations();
}
BENCHMARK(TraceEveryTriangle);

}  // namespace

BENCHMARK_MAIN();

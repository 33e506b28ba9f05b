// The silhouette rasteriser on a 64 x 64 shadow texture: a fan of 48
// triangles (a rough plane outline), plain and at 2x and 4x samples.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "renderer/CTex2XAARen.h"
#include "renderer/CTex4XAARen.h"
#include "renderer/CTexRen.h"

namespace {
void RenderSilhouette(benchmark::State& state, CTexRen* ren)
{
    std::unique_ptr<CTexRen> owner(ren);
    const int size = 64;
    const float scale = (size - 1) * ren->GetSampleScaleX();
    std::vector<uint16_t> image(size * size), weights(size, 0xFF);
    uint16_t table[256];
    for (int i = 0; i < 256; ++i) table[i] = uint16_t(0xFFFF - i * 0x0101);
    std::vector<CTexRen::Point> points;
    std::vector<int32_t> triangles;
    points.push_back({int32_t(0.5f * scale), int32_t(0.5f * scale)});
    const int rim = 48;
    for (int i = 0; i < rim; ++i) {
        const float a = 6.2831853f * i / rim;
        const float r = 0.2f + 0.25f * std::fabs(std::sin(2 * a));
        points.push_back({int32_t((0.5f + r * std::cos(a)) * scale), int32_t((0.5f + r * std::sin(a)) * scale)});
        triangles.insert(triangles.end(), {0, 1 + i, 1 + (i + 1) % rim});
    }
    ren->SetTarget(image.data());
    ren->SetColorTable(table);
    ren->SetRowWeights(weights.data());
    ren->SetWidth(size);
    ren->SetHeight(size);
    ren->SetPoints(points.data(), int32_t(points.size()));
    ren->SetTriangles(triangles.data(), rim);
    for (auto _ : state) {
        ren->Render(180);
        benchmark::DoNotOptimize(image.data());
    }
    state.SetItemsProcessed(state.iterations() * rim);
}
}  // namespace

static void BM_TexRenPlain(benchmark::State& state) { RenderSilhouette(state, new CTexRen); }
static void BM_TexRen2x(benchmark::State& state) { RenderSilhouette(state, new CTex2XAARen); }
static void BM_TexRen4x(benchmark::State& state) { RenderSilhouette(state, new CTex4XAARen); }
BENCHMARK(BM_TexRenPlain);
BENCHMARK(BM_TexRen2x);
BENCHMARK(BM_TexRen4x);
BENCHMARK_MAIN();

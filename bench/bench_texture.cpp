// Texture resampling: a 256 x 256 picture halved with each filter, and the
// MIP chain of a 256 x 256 5-6-5 format with an alpha format beside it.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "assets3d/ResampleImage.h"
#include "assets3d/YTextureFormat.h"

namespace {

std::vector<uint8_t> Picture(int w, int h)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>((i * 2654435761u) >> 24);
    return pixels;
}

void Halve(benchmark::State& state)
{
    const int filter = static_cast<int>(state.range(0));
    std::vector<uint8_t> source = Picture(256, 256), dest(128 * 128 * 4);
    for (auto _ : state) {
        ResampleImage(source.data(), 256, 256, dest.data(), 128, 128, filter, filter);
        benchmark::DoNotOptimize(dest.data());
    }
    state.SetLabel(GetResampleFilter(filter).name);
    state.SetItemsProcessed(state.iterations() * 128 * 128);
}
BENCHMARK(Halve)->DenseRange(0, RESAMPLE_FILTER_COUNT - 1);

void MIPChain(benchmark::State& state)
{
    const char* line = state.range(0) ? "ARGB4444 16 4 2 4 4 4 4 8 4 0 12 15 15 15 15"
                                      : "RGB565 16 0 2 5 6 5 0 11 5 0 0 31 63 31 0";
    std::unique_ptr<YTextureFormat> format(YTextureFormat::ParseFormatLine(line));
    format->CreateLayers(256, 256, 7, true);
    std::vector<uint8_t> level0 = Picture(256, 256);
    format->SetLayerRGBA(0, level0.data());
    format->SetLayerRGBGenerated(0, 1);
    if (format->HasAlpha()) format->SetLayerAlphaGenerated(0, 1);
    for (auto _ : state) {
        format->GenerateRGBMIPs("Cubic", "Box");
        if (format->HasAlpha()) format->GenerateAlphaMIPs("Cubic", "Box");
    }
    state.SetLabel(format->m_strName.GetBuffer());
}
BENCHMARK(MIPChain)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();

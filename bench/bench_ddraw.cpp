// Full-screen 640 x 480 blits: colour-keyed and alpha-blended, at 16 and 32
// bits, each beside a memcpy of the same surface; the ratios come last.
#include "FastestRunReporter.h"
#include "foundation/YCpuInfo.h"
#include "foundation/YFastMath.h"
#include "graphics2d/YDXDraw.h"
#include "graphics2d/YDXSurface.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <ostream>
#include <string>
#include <unistd.h>

namespace {
// Benchmarks never open a window.
const int g_headless = setenv("RCV_BACKEND", "headless", 0);

DDPIXELFORMAT Format(int bits)
{
    DDPIXELFORMAT f;
    memset(&f, 0, sizeof f);
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_RGB;
    f.dwRGBBitCount = bits;
    f.dwRBitMask = bits == 16 ? 0xF800 : 0xFF0000;
    f.dwGBitMask = bits == 16 ? 0x07E0 : 0x00FF00;
    f.dwBBitMask = bits == 16 ? 0x001F : 0x0000FF;
    return f;
}

struct Scene {
    YDXDraw display;
    YDXSurface source{"source"}, dest{"dest"};
    explicit Scene(int bits)
    {
        GUID primary;
        memset(&primary, 0, sizeof primary);
        display.Create(primary);
        display.SetMode(0, nullptr);
        DDPIXELFORMAT f = Format(bits);
        dest.CreateSurface(&display, 640, 480, DDSCAPS_SYSTEMMEMORY, nullptr, 0, &f);
    }
};

// The yardstick: the destination's bytes copied from a source of the same size.
void Memcpy(benchmark::State& state)
{
    (void)g_headless;
    Scene scene(static_cast<int>(state.range(0)));
    DDPIXELFORMAT f = Format(static_cast<int>(state.range(0)));
    scene.source.CreateSurface(&scene.display, 640, 480, DDSCAPS_SYSTEMMEMORY, nullptr, 0, &f);
    DDSURFACEDESC2 from, to;
    scene.source.Lock(&from);
    scene.dest.Lock(&to);
    const size_t bytes = static_cast<size_t>(to.lPitch) * 480;
    for (auto _ : state) {
        memcpy(to.lpSurface, from.lpSurface, bytes);
        benchmark::ClobberMemory();
    }
    scene.dest.Unlock();
    scene.source.Unlock();
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(Memcpy)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

// Transparent and opaque runs of the second argument's length take turns.
void KeyedBlit(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)));
    DDPIXELFORMAT f = Format(static_cast<int>(state.range(0)));
    scene.source.CreateSurface(&scene.display, 640, 480, DDSCAPS_SYSTEMMEMORY, nullptr, 0, &f);
    scene.source.SetTransparentColor(0x00FF00FF);
    const int run = static_cast<int>(state.range(1));
    DDSURFACEDESC2 desc;
    scene.source.Lock(&desc);
    int bytes = static_cast<int>(state.range(0)) / 8;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            uint8_t* p = static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes;
            uint32_t v = ((x / run) & 1) ? scene.source.GetKeyValue() : 0x1234u;
            memcpy(p, &v, bytes);
        }
    scene.source.Unlock();
    for (auto _ : state) scene.dest.Blt(&scene.source, nullptr, nullptr, 1, 0, 0);
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(KeyedBlit)->Args({16, 8})->Args({32, 8})->Args({16, 3})->Args({32, 3})->Unit(benchmark::kMillisecond);

void AlphaBlit(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)));
    scene.source.CreateAlphaSource(&scene.display, 640, 480);
    DDSURFACEDESC2 desc;
    scene.source.Lock(&desc);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch)[x] =
                (static_cast<uint32_t>(x & 0xFF) << 24) | 0x00336699;
    scene.source.Unlock();
    for (auto _ : state) scene.dest.BltAlpha(&scene.source, 0, 0, nullptr);
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(AlphaBlit)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

// The console table, then each blit's speed as a share of the memcpy at its depth.
class RatioReporter : public FastestRunReporter {
public:
    void Finalize() override
    {
        for (const auto& entry : m_time) {
            const std::string& name = entry.first;
            const size_t slash = name.find('/');
            if (slash == std::string::npos || name.compare(0, slash, "Memcpy") == 0) continue;
            const std::string bits = name.substr(slash + 1, name.find('/', slash + 1) - slash - 1);
            const auto yardstick = m_time.find("Memcpy/" + bits);
            if (yardstick == m_time.end() || entry.second <= 0) continue;
            char line[96];
            snprintf(line, sizeof line, "%-20s %6.1f %% of memcpy\n", name.c_str(), 100.0 * yardstick->second / entry.second);
            GetOutputStream() << line;
        }
        ConsoleReporter::Finalize();
    }
};
}  // namespace

int main(int argc, char** argv)
{
    // The alpha blend runs in the form the game installs for this processor.
    InitMathDispatch(DetectCpuFeatures());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

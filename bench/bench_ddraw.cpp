// Full-screen 640 x 480 blits: colour-keyed and alpha-blended, at 16 and 32 bits.
#include "graphics2d/YDXDraw.h"
#include "graphics2d/YDXSurface.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

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

void KeyedBlit(benchmark::State& state)
{
    (void)g_headless;
    Scene scene(static_cast<int>(state.range(0)));
    DDPIXELFORMAT f = Format(static_cast<int>(state.range(0)));
    scene.source.CreateSurface(&scene.display, 640, 480, DDSCAPS_SYSTEMMEMORY, nullptr, 0, &f);
    scene.source.SetTransparentColor(0x00FF00FF);
    // Every other 8-pixel run is transparent.
    DDSURFACEDESC2 desc;
    scene.source.Lock(&desc);
    int bytes = static_cast<int>(state.range(0)) / 8;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            uint8_t* p = static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes;
            uint32_t v = ((x / 8) & 1) ? scene.source.GetKeyValue() : 0x1234u;
            memcpy(p, &v, bytes);
        }
    scene.source.Unlock();
    for (auto _ : state) scene.dest.Blt(&scene.source, nullptr, nullptr, 1, 0, 0);
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(KeyedBlit)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

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
}  // namespace

BENCHMARK_MAIN();

// The game layout's expression words as a HUD frame resolves them, beside
// atoi of the same texts (what the layout read before it knew any word).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "FastestRunReporter.h"
#include "engine/YGameObjects.h"
#include "foundation/YDataCollection.h"
#include "frontend/YAppLayout.h"
#include "game/YClientInfo.h"
#include "game/YPlane.h"
#include "gui/YDC.h"
#include "world/YActorWorld.h"

namespace {

// The arguments of a HUD screen's items: positions, sizes, markers and the
// compass, a few store values and the camera.
const char* const kHudArguments[] = {
    "0",         "0",          "640",          "480",        "10",         "xr -110",   "20",          "xr -10",
    "40",        "xthrottle",  "yb -30",       "xfuel",      "yb -30",     "compassx",  "compassy",    "75",
    "vxc -16",   "vyc -16",    "32",           "32",         "xc",         "12",        "str Lives",   "xr -60",
    "yb -60",    "setting 2",  "layout Panel", "cyaw",       "cpitch 90",  "vl 8",      "vt 8",        "vr -8",
    "vb -8",     "xc -100",    "yc 40",        "xc 100",     "yc 60",      "255",       "255",         "255",
    "0",         "128",        "0",            "xs 0.5",     "ys 0.25",    "-10 xc",    "xprogress 90", "380",
    "cheading",  "cthirdperson", "interfaceeditscore", "str 0 5", "16",    "24",        "92",          "12",
};
const int kArgumentCount = static_cast<int>(sizeof kHudArguments / sizeof kHudArguments[0]);

struct HudState {
    HudState()
    {
        YGameObjects* engine = YGameObjects::Instance();
        engine->m_values->Set("Lives", "3");
        engine->m_settings->Set("Speed", "7");
        engine->m_layoutValues->Set("Panel", "11");
        plane = new YPlane;
        engine->m_world->AddActor(plane);
        engine->m_world->SetViewActor(plane);
        engine->m_localClient->m_plane = plane;
        plane->m_throttle = 200;
        plane->m_fuel = 180.0f;
        RECT screen = {0, 0, 640, 480};
        layout.MoveTo(&screen);
    }
    YPlane* plane;
    YAppLayout layout;
    YDC dc;
};

HudState& Hud()
{
    static HudState* state = new HudState;
    return *state;
}

// One frame's arguments through the integer resolver.
void ResolveHudFrame(benchmark::State& state)
{
    HudState& hud = Hud();
    for (auto _ : state)
        for (const char* argument : kHudArguments)
            benchmark::DoNotOptimize(hud.layout.ResolveValue(argument, &hud.dc, nullptr));
    state.SetItemsProcessed(state.iterations() * kArgumentCount);
}
BENCHMARK(ResolveHudFrame);

// Yardstick: the same texts read as plain numbers.
void AtoiHudFrame(benchmark::State& state)
{
    for (auto _ : state)
        for (const char* argument : kHudArguments) benchmark::DoNotOptimize(atoi(argument));
    state.SetItemsProcessed(state.iterations() * kArgumentCount);
}
BENCHMARK(AtoiHudFrame);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    PairRatioReporter reporter(PairRatioReporter::Pairs{{"ResolveHudFrame", "AtoiHudFrame"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    YGameObjects::Instance()->m_localClient->m_plane = nullptr;
    return 0;
}

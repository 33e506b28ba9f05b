// Whole map frames of the sample map "Meadow" at 640 x 480 (16-bit target)
// along the map frame tool's camera path, through our device, with each
// stage's share (the day lights with the sun and moon going through a day,
// marks along the path, the sky of the hour and the shadows cast per frame); beside it the yardstick, a full-screen bilinear textured
// quad on the same device and surface, and the ratio frame / fill.
// Run it with the data folder as the first argument (default "data").
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>

#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "world/YRenderInstance.h"
#include "engine/YGameObjects.h"
#include "foundation/YCatalog.h"
#include "graphics2d/YDXDraw.h"
#include "graphics2d/YDXSurface.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"
#include "tools/YCatalogText.h"
#include "tools/map_frame/YMapFramePath.h"

namespace {
const int kWidth = 640, kHeight = 480;
std::string g_data = "data";

float Midsummer(LONG a, LONG b, LONG)
{
    const LONG day = 172;
    if (a <= b) return (a <= day && day <= b) ? 1.0f : 0.0f;
    return (day < b || day > a) ? 1.0f : 0.0f;
}

// The renderer, timing its model drawing from the top level down.
class TimedParser : public YD3D6Parser {
public:
    void DrawModelHandle(YD3D6DrawContext* context, int level) override
    {
        if (level != 0) return YD3D6Parser::DrawModelHandle(context, level);
        const auto start = std::chrono::steady_clock::now();
        YD3D6Parser::DrawModelHandle(context, level);
        m_modelMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    // Shadows cast by the shadow tick.
    void CastShadow(YD3D6ShadowCaster& caster, const float* light, YD3D6ShadowWorkTexture* work,
                    YD3D6ShadowEntry& entry, int32_t number) override
    {
        ++m_casts;
        YD3D6Parser::CastShadow(caster, light, work, entry, number);
    }
    double m_modelMs = 0.0;
    int64_t m_casts = 0;
};

// The display, the renderer on a 640 x 480 back surface and Meadow set up.
struct MeadowSession {
    YDXDraw display;
    YDXSurface primary{"Primary"}, back{"Back"};
    D3DDEVICEDESC7 caps;
    YDeviceDescriptor device;
    YDisplayDescriptor displayDesc;
    std::unique_ptr<YCatalog> catalog;
    std::unique_ptr<TimedParser> parser{new TimedParser};
    // The map frame tool's plane, standing in the grid.
    std::unique_ptr<YSMHandle> plane;
    YRenderInstance planeRecord;
    bool ready = false;

    MeadowSession()
    {
        YGameObjects* engine = YGameObjects::Instance();
        YCatalogText::RegisterResourceClasses();
        catalog.reset(new YCatalog((g_data + "/RC Volaro.cat").c_str()));
        catalog->GetSearchDirectories().Add(g_data.c_str());
        engine->m_catalog = catalog.get();
        GUID guid;
        memset(&guid, 0, sizeof guid);
        DDPIXELFORMAT k565;
        memset(&k565, 0, sizeof k565);
        k565.dwSize = sizeof k565;
        k565.dwFlags = DDPF_RGB;
        k565.dwRGBBitCount = 16;
        k565.dwRBitMask = 0xF800, k565.dwGBitMask = 0x07E0, k565.dwBBitMask = 0x001F;
        if (!display.Create(guid) || !display.SetMode(0, nullptr) || !primary.CreatePrimarySurface(&display, 2, 0) ||
            !back.CreateSurface(&display, kWidth, kHeight, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, nullptr, 0, &k565))
            return;
        memset(&displayDesc, 0, sizeof displayDesc);
        displayDesc.word1 = 20;
        parser->AttachDisplay(&displayDesc);
        parser->SetWorldScale(16.0f);
        parser->SetRangeTest(Midsummer);
        memset(&caps, 0, sizeof caps);
        device = {44, 0, &display, primary.GetSurface(), back.GetSurface(), &caps, 0, 16, {0, 0, 0}};
        if (!parser->CreateDevice(&device)) return;
        YSessionDesc session;
        session.m_mapPath = (g_data + "/maps/Meadow.zon").c_str();
        YMapFramePath::SessionWords(session.m_parameters);
        for (int level = 0; level < parser->GetInitLevelCount(2); ++level)
            if (!parser->InitSession(2, level == 0 ? &session : nullptr, level)) return;
        plane.reset(parser->CreateModelHandle((g_data + "/models/biplane.ysm").c_str()));
        if (plane) {
            plane->SetActiveGroup(plane->FindGroup("Camera"));
            plane->SetReferenceSize(16.0f);
            planeRecord.m_model = plane.get();
            planeRecord.m_flags = YD3D6Parser::kRecordVisible;
            YMapFramePath(*parser).ActorSpot(40, *parser, planeRecord.m_position);
            parser->AddActorAt(&planeRecord, 0, planeRecord.m_position[0], planeRecord.m_position[2]);
        }
        ready = true;
    }
    ~MeadowSession()
    {
        if (plane) parser->RemoveActorAt(&planeRecord, planeRecord.m_position[0], planeRecord.m_position[2]);
        parser.reset();
        YGameObjects::Instance()->m_catalog = nullptr;
    }
};

// The yardstick: one full-screen quad, bilinear, textured with the grass,
// depth tested and written, on the renderer's device.
double FillMilliseconds(YD3D6Parser& parser, int times)
{
    IDirect3DDevice7* device = parser.GetRaster()->GetDevice();
    const YD3D6Lock* grass = nullptr;
    for (int i = 0; i < parser.GetTextureCount() && !grass; ++i) {
        const YD3D6Lock* lock = parser.GetTextureLock(int16_t(i));
        if (lock && lock->m_pSurface && lock->m_iSortType == 0) grass = lock;
    }
    parser.ForgetCachedStates();
    device->SetTexture(0, grass ? grass->m_pSurface : nullptr);
    device->SetTexture(1, nullptr);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTFP_NONE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_WRAP);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(0, D3DTSS_MAXMIPLEVEL, 0);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, FALSE);
    device->SetRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID);
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, FALSE);
    device->SetRenderState(D3DRENDERSTATE_FOGENABLE, FALSE);
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_ALWAYS);
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    D3DTLVERTEX quad[4];
    memset(quad, 0, sizeof quad);
    for (int i = 0; i < 4; ++i) {
        quad[i].sx = (i & 1) ? float(kWidth) : 0.0f;
        quad[i].sy = (i & 2) ? float(kHeight) : 0.0f;
        quad[i].sz = 0.5f;
        quad[i].rhw = 1.0f;
        quad[i].color = 0xFFFFFFFFu;
        quad[i].tu = (i & 1) ? 4.0f : 0.0f;
        quad[i].tv = (i & 2) ? 3.0f : 0.0f;
    }
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < times; ++n) {
        device->BeginScene();
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, quad, 4, 0);
        device->EndScene();
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    parser.ForgetCachedStates();
    return ms / times;
}

void MapFrame(benchmark::State& state)
{
    MeadowSession session;
    if (!session.ready) {
        state.SkipWithError("Meadow cannot be set up (run with the data folder as the argument)");
        return;
    }
    TimedParser& parser = *session.parser;
    const YMapFramePath path(parser);
    parser.m_modelMs = 0.0;
    parser.m_casts = 0;
    path.LayMarks(parser);
    double stages[YD3D6Parser::kStageCount] = {};
    int step = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        // The sun and the moon move through a day every 30 frames.
        YMapFramePath::DayClock(step % 30, 30, parser);
        path.Draw(step++ * 8, parser, kWidth, kHeight);
        for (int i = 0; i < YD3D6Parser::kStageCount; ++i) stages[i] += parser.m_stageMs[i];
    }
    const double frame =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / double(step);
    // The best of three runs of the fill, as the frame's own time is a mean
    // over many frames.
    double fill = FillMilliseconds(parser, 20);
    for (int run = 0; run < 2; ++run) fill = std::min(fill, FillMilliseconds(parser, 20));
    state.counters["frame_ms"] = frame;
    state.counters["fill_ms"] = fill;
    state.counters["frame/fill"] = fill > 0.0 ? frame / fill : 0.0;
    for (int i = 0; i < YD3D6Parser::kStageCount; ++i) {
        std::string name = std::string("%") + YD3D6Parser::kStageNames[i];
        for (char& c : name)
            if (c == ' ') c = '_';
        state.counters[name] = frame > 0.0 ? 100.0 * stages[i] / double(step) / frame : 0.0;
    }
    // Inside the cell-object and scene-object stages.
    state.counters["%model_drawing"] = frame > 0.0 ? 100.0 * parser.m_modelMs / double(step) / frame : 0.0;
    // The sky and shadow stages' shares are "%sky" and "%shadows" above.
    state.counters["casts/frame"] = step > 0 ? double(parser.m_casts) / double(step) : 0.0;
}
BENCHMARK(MapFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void FullScreenFill(benchmark::State& state)
{
    MeadowSession session;
    if (!session.ready) {
        state.SkipWithError("Meadow cannot be set up (run with the data folder as the argument)");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(FillMilliseconds(*session.parser, 1));
}
BENCHMARK(FullScreenFill)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && argv[1][0] != '-') {
        g_data = argv[1];
        --argc, ++argv;
        argv[0] = argv[-1];
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The map frame: begin and end of the device scene around the visible
// cells, the stages of one frame in their fixed order, and a frame drawn
// into a texture.
#include <algorithm>
#include <chrono>
#include <cstring>

#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"
#include "renderer/YD3D6TextureItem.h"

namespace {
// Times one stage on the real clock, whatever the game's clock does.
class StageTimer {
public:
    explicit StageTimer(double* ms) : m_ms(ms), m_start(std::chrono::steady_clock::now()) {}
    ~StageTimer()
    {
        *m_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_start).count();
    }

private:
    double* m_ms;
    std::chrono::steady_clock::time_point m_start;
};
}  // namespace

const char* const YD3D6Parser::kStageNames[kStageCount] = {
    "day lights", "sky",   "z clears", "terrain",      "cell objects", "scene objects", "shadows",
    "sorts",      "opaque", "immediate", "alpha",      "camera space", "flares",        "visible cells"};

int YD3D6Parser::BeginMapScene()
{
    {
        StageTimer timer(&m_stageMs[kStageVisibleCells]);
        ComputeVisibleCells();
    }
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    return device && SUCCEEDED(device->BeginScene()) ? 1 : 0;
}

void YD3D6Parser::EndMapScene()
{
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (device) device->EndScene();
}

void YD3D6Parser::Hunt_RenderFrame()
{
    Log("[YD3D6Parser::Hunt_RenderFrame] Starting...");
    auto run = [this](int stage, void (YD3D6Parser::*step)()) {
        StageTimer timer(&m_stageMs[stage]);
        (this->*step)();
    };
    double clears[2] = {0.0, 0.0};
    auto clearDepth = [this, &clears](int which) {
        StageTimer timer(&clears[which]);
        if (m_raster) m_raster->ClearZBuffer();
    };
    run(kStageDayLights, &YD3D6Parser::UpdateDayLights);
    run(kStageSky, &YD3D6Parser::RenderSky);
    clearDepth(0);
    ResetFrameCounters();
    run(kStageTerrain, &YD3D6Parser::CollectTerrainPolygons);
    run(kStageCellObjects, &YD3D6Parser::DrawCellObjects);
    run(kStageSceneObjects, &YD3D6Parser::DrawSceneObjects);
    run(kStageShadows, &YD3D6Parser::UpdateShadows);
    {
        StageTimer timer(&m_stageMs[kStageSort]);
        SortOpaqueRecords();
        SortAlphaRecords();
    }
    run(kStageOpaque, &YD3D6Parser::DrawOpaqueRecords);
    run(kStageImmediate, &YD3D6Parser::DrawImmediateTriangles);
    run(kStageAlpha, &YD3D6Parser::DrawAlphaRecords);
    // The models of the camera-space pass lie in front of the world.
    clearDepth(1);
    m_stageMs[kStageClear] = clears[0] + clears[1];
    run(kStageCameraSpace, &YD3D6Parser::RenderCameraSpaceModels);
    run(kStageFlares, &YD3D6Parser::RenderFlaresAndOverlay);
    PopOverlayColor();
    Log("[YD3D6Parser::Hunt_RenderFrame] Finished");
}

int YD3D6Parser::RenderMapTextureFrame(int16_t texture, float projection1, float projection2, const float* fractions)
{
    if (texture < 0 || size_t(texture) >= m_textures.size() || !fractions) return 0;
    const YD3D6TextureItem* item = m_textures[size_t(texture)];
    if (!item || !item->m_surface) return 0;
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    IDirectDrawSurface7* target = nullptr;
    if (!device || FAILED(device->GetRenderTarget(&target)) || !target) return 0;
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    target->GetSurfaceDesc(&desc);

    const int32_t width = item->m_width, height = item->m_height;
    RECT savedA, savedB;
    GetViewRects(&savedA, &savedB);
    float saved[4];
    GetProjection(&saved[0], &saved[1], &saved[2], &saved[3]);
    float f[4];
    for (int i = 0; i < 4; ++i) f[i] = std::min(std::max(fractions[i], 0.0f), 1.0f);
    const int32_t x0 = int32_t(float(width) * f[0]), y0 = int32_t(float(height) * f[1]);
    const int32_t x1 = int32_t(float(width) * f[2]), y1 = int32_t(float(height) * f[3]);
    // An inverted rectangle would reach the blits with a negative size.
    if (x1 < x0 || y1 < y0) {
        target->Release();
        return 0;
    }
    const int32_t w = std::min(x1 - x0, int32_t(desc.dwWidth));
    const int32_t h = std::min(y1 - y0, int32_t(desc.dwHeight));

    int result = 1;
    RECT draw = {0, 0, w, h};
    if (w + 1 <= savedB.right - savedB.left && h + 1 <= savedB.bottom - savedB.top) {
        draw = {savedB.left, savedB.top, savedB.left + w, savedB.top + h};
        result = 0;
    }
    SetProjection(projection1, projection2, saved[2], saved[3]);
    SetViewRects(draw.left, draw.top, draw.right, draw.bottom, draw.left, draw.top, draw.right, draw.bottom);
    ApplyView();
    Hunt_RenderFrame();
    SetProjection(saved[0], saved[1], saved[2], saved[3]);
    SetViewRects(savedA.left, savedA.top, savedA.right, savedA.bottom, savedB.left, savedB.top, savedB.right,
                 savedB.bottom);
    ApplyView();

    if (item->m_copyMode == 1) {
        HDC dc = nullptr;
        if (SUCCEEDED(target->GetDC(&dc))) {
            IDirectDrawSurface7* surface = nullptr;
            if (SUCCEEDED(item->m_surface->QueryInterface(IID_IDirectDrawSurface7, reinterpret_cast<void**>(&surface))) &&
                surface) {
                HDC textureDc = nullptr;
                if (SUCCEEDED(surface->GetDC(&textureDc))) {
                    BitBlt(textureDc, x0, y0, w + 1, h + 1, dc, draw.left, draw.top, SRCCOPY);
                    surface->ReleaseDC(textureDc);
                }
                surface->Release();
            }
            target->ReleaseDC(dc);
        }
    } else {
        RECT source = draw;
        item->m_surface->BltFast(DWORD(x0), DWORD(y0), target, &source, DDBLTFAST_WAIT);
    }
    target->Release();
    return result;
}

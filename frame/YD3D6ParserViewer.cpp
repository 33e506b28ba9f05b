// The model viewer: the renderer's light session that draws a few models
// without terrain, sky, fog or shadows, straight to the view or into a
// texture.
#include <algorithm>
#include <cstring>

#include "assets3d/YSMHandle.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"
#include "renderer/YD3D6TextureItem.h"
#include "world/YRenderInstance.h"

namespace {
// Half the map's room.
const uint32_t kViewerVertices = 32768;
const DWORD kTwoStageCap = 0x10;
// Device lights switched off after the raster's own.
const DWORD kSpareLights = 5;
}  // namespace

int YD3D6Parser::YSMV_Init()
{
    Log("[YD3D6Parser::YSMV_Init] Starting...");
    if (!(m_deviceCaps.dpcTriCaps.dwTextureCaps & kTwoStageCap) || m_deviceCaps.wMaxTextureBlendStages < 2 ||
        m_deviceCaps.wMaxSimultaneousTextures < 2)
        m_twoStageTexturing = 0;
    for (int i = 0; i < 3; ++i) m_lightTint[i] = m_glareScales[i] = m_glareColourScales[i] = 1.0f;
    m_ambientLevel = 0.0f;
    ClearLights(1);
    m_iSoftenLevel = std::min(std::max(m_iSoftenLevel, int32_t(0)), int32_t(1));
    m_iTexQuality = std::min(std::max(m_iTexQuality, int32_t(0)), int32_t(2));
    ChooseTextureFormats();
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    IDirectDrawSurface7* target = nullptr;
    if (device && SUCCEEDED(device->GetRenderTarget(&target)) && target) {
        target->GetPixelFormat(&m_screenFormat);
        target->Release();
    }
    uint32_t bytes[kFrameBuffers];
    for (int i = 0; i < kFrameBuffers; ++i) bytes[i] = kFrameBufferBytes[i] / 2;
    bytes[2] = kViewerVertices * kFrameRecordBytes[2];
    AllocateFrameBuffers(bytes);
    Log("[YD3D6Parser::YSMV_Init] Finished");
    return 1;
}

void YD3D6Parser::SetViewerRenderStates()
{
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (device) {
        device->SetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
        device->SetRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID);
        device->SetRenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD);
        device->SetRenderState(D3DRENDERSTATE_MONOENABLE, FALSE);
        device->SetRenderState(D3DRENDERSTATE_DITHERENABLE, TRUE);
        device->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
        device->SetRenderState(D3DRENDERSTATE_SUBPIXEL, TRUE);
        device->SetRenderState(D3DRENDERSTATE_AMBIENT, 0x01010101);
    }
    // Not known: the next request for any state reaches the device.
    ForgetCachedStates();
    m_materialCache = MaterialCache();
}

void YD3D6Parser::SetViewerLights()
{
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (!device) return;
    const std::vector<YRasterLight>& lights = m_raster->m_globalLights;
    DWORD i = 0;
    for (; i < lights.size(); ++i) {
        if (lights[i].light) device->SetLight(i, lights[i].light);
        device->LightEnable(i, TRUE);
    }
    const DWORD last = i + DWORD(m_raster->m_sessionLights.size()) + kSpareLights;
    for (; i < last; ++i) device->LightEnable(i, FALSE);
}

void YD3D6Parser::ClearViewer()
{
    if (!m_raster) return;
    if (m_viewerClear) m_raster->ClearTarget(m_viewerClearColour);
    // Depth from an earlier frame (or a map) must not hide the models.
    m_raster->ClearZBuffer();
}

void YD3D6Parser::DrawViewerActors()
{
    YD3D6DrawContext context;
    memcpy(context.m_camera, m_cameraPosition, sizeof context.m_camera);
    ViewVector(context.m_viewDirection);
    MakeIdentityMatrix(&context.m_matrix);
    MakeIdentityMatrix(&context.m_rotation);
    context.m_scale = 1.0f;
    context.m_blend = m_mapSettings[kBlendWord];
    ObjectTest test = GetObjectTest();
    for (const ViewerActor& actor : m_viewerActors) {
        void* value = actor.id;
        if (actor.flags & 0x1) value = test ? reinterpret_cast<void*>(test(actor.id, actor.flags)) : nullptr;
        YRenderInstance* record = static_cast<YRenderInstance*>(value);
        if (!record || !(record->m_flags & kRecordVisible)) continue;
        context.m_record = record;
        DrawModelHandle(&context, 0);
    }
}

void YD3D6Parser::YSMV_RenderFrame()
{
    Log("[YD3D6Parser::YSMV_RenderFrame] Starting...");
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (!device) return;
    device->BeginScene();
    SetViewerLights();
    ClearViewer();
    ApplyView();
    ResetFrameCounters();
    DrawViewerActors();
    SortOpaqueRecords();
    SortAlphaRecords();
    DrawOpaqueRecords();
    DrawAlphaRecords();
    device->EndScene();
    Log("[YD3D6Parser::YSMV_RenderFrame] Finished");
}

int YD3D6Parser::RenderViewerTextureFrame(int16_t texture, float projection1, float projection2, const float* fractions)
{
    if (texture < 0 || texture >= GetTextureCount() || !fractions) return 0;
    const YD3D6TextureItem* item = m_textures[size_t(texture)];
    if (!item || !item->m_surface) return 0;
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    IDirectDrawSurface7* back = nullptr;
    if (!device || FAILED(device->GetRenderTarget(&back)) || !back) return 0;
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    back->GetSurfaceDesc(&desc);

    RECT savedA, savedB;
    GetViewRects(&savedA, &savedB);
    float saved[4];
    GetProjection(&saved[0], &saved[1], &saved[2], &saved[3]);
    float f[4];
    for (int i = 0; i < 4; ++i) f[i] = std::min(std::max(fractions[i], 0.0f), 1.0f);
    const int32_t width = item->m_width, height = item->m_height;
    const int32_t x0 = int32_t(float(width) * f[0]), y0 = int32_t(float(height) * f[1]);
    const int32_t x1 = int32_t(float(width) * f[2]), y1 = int32_t(float(height) * f[3]);
    if (x1 < x0 || y1 < y0) {
        back->Release();
        return 0;
    }
    const int32_t w = std::min(x1 - x0, int32_t(desc.dwWidth));
    const int32_t h = std::min(y1 - y0, int32_t(desc.dwHeight));

    // Drawn at the surface's corner when the rectangle does not fit the view,
    // else inside the view.
    int result = 1;
    RECT draw = {0, 0, w, h};
    if (w <= savedB.right - savedB.left && h <= savedB.bottom - savedB.top) {
        draw = {savedB.left, savedB.top, savedB.left + w, savedB.top + h};
        result = 0;
    }
    SetProjection(projection1, projection2, saved[2], saved[3]);
    SetViewRects(draw.left, draw.top, draw.right, draw.bottom, draw.left, draw.top, draw.right, draw.bottom);
    ApplyView();
    YSMV_RenderFrame();
    SetProjection(saved[0], saved[1], saved[2], saved[3]);
    SetViewRects(savedA.left, savedA.top, savedA.right, savedA.bottom, savedB.left, savedB.top, savedB.right,
                 savedB.bottom);
    ApplyView();

    IDirectDrawSurface7* surface = nullptr;
    if (SUCCEEDED(item->m_surface->QueryInterface(IID_IDirectDrawSurface7, reinterpret_cast<void**>(&surface))) &&
        surface) {
        RECT source = draw;
        surface->BltFast(DWORD(x0), DWORD(y0), back, &source, DDBLTFAST_WAIT);
        surface->Release();
    }
    back->Release();
    return result;
}

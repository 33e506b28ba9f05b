// Our IDirect3DDevice7: a software rasteriser drawing into a DirectDraw
// surface (16, 24 or 32 bits) with the Z buffer attached to it. It keeps
// the viewport, transforms, lights, material, render and texture-stage
// states and textures, and draws through the vertex and pixel pipelines.
#pragma once

#include "platform/Direct3DPixelPipeline.h"
#include "platform/Direct3DRasterizer.h"
#include "platform/Direct3DVertexPipeline.h"
#include "platform/d3d.h"

#include <vector>

namespace platform {
class DirectDrawDirect3D;
class DirectDrawSurface;
class Direct3DVertexBuffer;

class Direct3DDevice : public IDirect3DDevice7 {
public:
    static constexpr int kRenderStates = 256;
    static constexpr int kStages = Direct3DPixelPipeline::kStages;
    static constexpr int kStageStates = Direct3DPixelPipeline::kStageStates;
    static constexpr DWORD kMaxLights = 64;

    Direct3DDevice(DirectDrawDirect3D* direct3D, const GUID& guid, DirectDrawSurface* target);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetCaps(LPD3DDEVICEDESC7 desc) override;
    HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, LPVOID context) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT GetDirect3D(LPDIRECT3D7* direct3D) override;
    HRESULT SetRenderTarget(LPDIRECTDRAWSURFACE7 target, DWORD flags) override;
    HRESULT GetRenderTarget(LPDIRECTDRAWSURFACE7* target) override;
    HRESULT Clear(DWORD count, LPD3DRECT rects, DWORD flags, D3DCOLOR colour, D3DVALUE z, DWORD stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix) override;
    HRESULT SetViewport(LPD3DVIEWPORT7 viewport) override;
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix) override;
    HRESULT GetViewport(LPD3DVIEWPORT7 viewport) override;
    HRESULT SetMaterial(LPD3DMATERIAL7 material) override;
    HRESULT GetMaterial(LPD3DMATERIAL7 material) override;
    HRESULT SetLight(DWORD index, LPD3DLIGHT7 light) override;
    HRESULT GetLight(DWORD index, LPD3DLIGHT7 light) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, LPDWORD value) override;
    HRESULT PreLoad(LPDIRECTDRAWSURFACE7 texture) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices, DWORD count, DWORD flags) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices, DWORD vertexCount,
                                 LPWORD indices, DWORD indexCount, DWORD flags) override;
    HRESULT DrawPrimitiveVB(D3DPRIMITIVETYPE type, LPDIRECT3DVERTEXBUFFER7 buffer, DWORD start, DWORD count,
                            DWORD flags) override;
    HRESULT DrawIndexedPrimitiveVB(D3DPRIMITIVETYPE type, LPDIRECT3DVERTEXBUFFER7 buffer, DWORD start,
                                   DWORD vertexCount, LPWORD indices, DWORD indexCount, DWORD flags) override;
    HRESULT GetTexture(DWORD stage, LPDIRECTDRAWSURFACE7* texture) override;
    HRESULT SetTexture(DWORD stage, LPDIRECTDRAWSURFACE7 texture) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, LPDWORD value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override;
    HRESULT ValidateDevice(LPDWORD passes) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;

    // Transforms, lights and (unless only transforming) clips source
    // vertices into a buffer of screen vertices: ProcessVertices.
    HRESULT Process(DWORD operations, Direct3DVertexBuffer* dest, DWORD destIndex, DWORD count,
                    Direct3DVertexBuffer* source, DWORD sourceIndex);

private:
    ~Direct3DDevice() override;
    // Finds the Z buffer attached to the target (or none).
    void AttachTarget(DirectDrawSurface* target);
    HRESULT Draw(D3DPRIMITIVETYPE type, DWORD fvf, const void* vertices, DWORD vertexCount, const WORD* indices,
                 DWORD indexCount, DWORD flags);
    Direct3DVertexPipeline::State VertexState() const;
    void SetDefaults();

    ULONG m_refs = 1;
    DirectDrawDirect3D* m_direct3D;
    GUID m_guid;
    DirectDrawSurface* m_target = nullptr;
    DirectDrawSurface* m_zbuffer = nullptr;
    D3DVIEWPORT7 m_viewport = {0, 0, 0, 0, 0, 1};
    D3DMATRIX m_world, m_view, m_projection;
    D3DMATRIX m_textureTransform[kStages];
    D3DMATERIAL7 m_material;
    std::vector<Direct3DVertexPipeline::Light> m_lights;
    DWORD m_renderStates[kRenderStates];
    DWORD m_stageStates[kStages][kStageStates];
    DirectDrawSurface* m_textures[kStages] = {};
    bool m_inScene = false;
    bool m_pixelsDirty = true;
    Direct3DPixelPipeline m_pixels;
    Direct3DRasterizer m_rasterizer;
    Direct3DVertexPipeline m_vertices;
};
}  // namespace platform

#include "platform/Direct3DDevice.h"

#include "platform/Direct3DVertexBuffer.h"
#include "platform/DirectDrawDirect3D.h"
#include "platform/DirectDrawObject.h"
#include "platform/DirectDrawSurface.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {
D3DMATRIX Identity()
{
    D3DMATRIX m;
    std::memset(&m, 0, sizeof m);
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

DWORD FloatBits(float f)
{
    DWORD d;
    std::memcpy(&d, &f, 4);
    return d;
}

DDPIXELFORMAT RgbFormat(DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a)
{
    DDPIXELFORMAT f;
    std::memset(&f, 0, sizeof f);
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0);
    f.dwRGBBitCount = bits;
    f.dwRBitMask = r;
    f.dwGBitMask = g;
    f.dwBBitMask = b;
    f.dwRGBAlphaBitMask = a;
    return f;
}

// Clears one rectangle of a surface to a raw pixel value.
void FillRect(DirectDrawSurface* surface, const RECT& r, uint32_t value)
{
    const DirectDrawPixelFormat& format = surface->Format();
    const int bytes = format.Bytes();
    for (LONG y = r.top; y < r.bottom; ++y) {
        uint8_t* row = surface->MutableBits() + static_cast<size_t>(y) * surface->Pitch() +
                       static_cast<size_t>(r.left) * bytes;
        const LONG n = r.right - r.left;
        if (bytes == 4) {
            for (LONG x = 0; x < n; ++x) std::memcpy(row + x * 4, &value, 4);
        } else if (bytes == 2) {
            const uint16_t v = static_cast<uint16_t>(value);
            for (LONG x = 0; x < n; ++x) std::memcpy(row + x * 2, &v, 2);
        } else {
            for (LONG x = 0; x < n; ++x) format.Write(row + x * bytes, value);
        }
    }
}
}  // namespace

Direct3DDevice::Direct3DDevice(DirectDrawDirect3D* direct3D, const GUID& guid, DirectDrawSurface* target)
    : m_direct3D(direct3D), m_guid(guid), m_rasterizer(m_pixels), m_vertices(m_rasterizer)
{
    m_direct3D->AddRef();
    ++DirectDrawObject::LiveCounter();
    AttachTarget(target);
    m_viewport.dwWidth = static_cast<DWORD>(target->Width());
    m_viewport.dwHeight = static_cast<DWORD>(target->Height());
    SetDefaults();
}

Direct3DDevice::~Direct3DDevice()
{
    for (DirectDrawSurface*& texture : m_textures)
        if (texture) texture->Release();
    if (m_zbuffer) m_zbuffer->Release();
    if (m_target) m_target->Release();
    m_direct3D->Release();
    --DirectDrawObject::LiveCounter();
}

void Direct3DDevice::SetDefaults()
{
    m_world = m_view = m_projection = Identity();
    for (D3DMATRIX& m : m_textureTransform) m = Identity();
    std::memset(&m_material, 0, sizeof m_material);
    std::memset(m_renderStates, 0, sizeof m_renderStates);
    DWORD* rs = m_renderStates;
    rs[D3DRENDERSTATE_TEXTUREPERSPECTIVE] = TRUE;
    rs[D3DRENDERSTATE_ZENABLE] = m_zbuffer ? D3DZB_TRUE : D3DZB_FALSE;
    rs[D3DRENDERSTATE_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRENDERSTATE_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRENDERSTATE_ZWRITEENABLE] = TRUE;
    rs[D3DRENDERSTATE_LASTPIXEL] = TRUE;
    rs[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
    rs[D3DRENDERSTATE_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRENDERSTATE_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRENDERSTATE_FOGSTART] = FloatBits(0.0f);
    rs[D3DRENDERSTATE_FOGEND] = FloatBits(1.0f);
    rs[D3DRENDERSTATE_FOGDENSITY] = FloatBits(1.0f);
    rs[D3DRENDERSTATE_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRENDERSTATE_STENCILMASK] = 0xFFFFFFFFu;
    rs[D3DRENDERSTATE_STENCILWRITEMASK] = 0xFFFFFFFFu;
    rs[D3DRENDERSTATE_TEXTUREFACTOR] = 0xFFFFFFFFu;
    rs[D3DRENDERSTATE_CLIPPING] = TRUE;
    rs[D3DRENDERSTATE_LIGHTING] = TRUE;
    rs[D3DRENDERSTATE_COLORVERTEX] = TRUE;
    rs[D3DRENDERSTATE_LOCALVIEWER] = TRUE;
    rs[D3DRENDERSTATE_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    rs[D3DRENDERSTATE_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    rs[D3DRENDERSTATE_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    rs[D3DRENDERSTATE_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    std::memset(m_stageStates, 0, sizeof m_stageStates);
    for (int s = 0; s < kStages; ++s) {
        DWORD* ss = m_stageStates[s];
        ss[D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        ss[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        ss[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        ss[D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        ss[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        ss[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        ss[D3DTSS_TEXCOORDINDEX] = static_cast<DWORD>(s);
        ss[D3DTSS_ADDRESS] = ss[D3DTSS_ADDRESSU] = ss[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        ss[D3DTSS_MAGFILTER] = D3DTFG_POINT;
        ss[D3DTSS_MINFILTER] = D3DTFN_POINT;
        ss[D3DTSS_MIPFILTER] = D3DTFP_NONE;
        ss[D3DTSS_MAXANISOTROPY] = 1;
    }
}

void Direct3DDevice::AttachTarget(DirectDrawSurface* target)
{
    target->AddRef();
    if (m_target) m_target->Release();
    m_target = target;
    if (m_zbuffer) m_zbuffer->Release();
    m_zbuffer = nullptr;
    for (DirectDrawSurface* s : target->Attached()) {
        if (s->Caps() & DDSCAPS_ZBUFFER) {
            m_zbuffer = s;
            m_zbuffer->AddRef();
            break;
        }
    }
}

HRESULT Direct3DDevice::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirect3DDevice7)) {
        AddRef();
        *object = static_cast<IDirect3DDevice7*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG Direct3DDevice::AddRef()
{
    return ++m_refs;
}

ULONG Direct3DDevice::Release()
{
    ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

HRESULT Direct3DDevice::GetCaps(LPD3DDEVICEDESC7 desc)
{
    if (!desc) return DDERR_INVALIDPARAMS;
    *desc = DirectDrawDirect3D::DeviceDescription(m_guid, IsEqualGUID(m_guid, IID_IDirect3DHALDevice));
    return D3D_OK;
}

HRESULT Direct3DDevice::EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, LPVOID context)
{
    if (!callback) return DDERR_INVALIDPARAMS;
    DDPIXELFORMAT formats[] = {
        RgbFormat(16, 0xF800, 0x07E0, 0x001F, 0),           RgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0),
        RgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000),      RgbFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000),
        RgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u), RgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0),
    };
    for (DDPIXELFORMAT& format : formats)
        if (callback(&format, context) == D3DENUMRET_CANCEL) break;
    return D3D_OK;
}

HRESULT Direct3DDevice::BeginScene()
{
    if (m_inScene) return D3DERR_SCENE_IN_SCENE;
    if (m_target->Lost()) return DDERR_SURFACELOST;
    m_inScene = true;
    return D3D_OK;
}

HRESULT Direct3DDevice::EndScene()
{
    if (!m_inScene) return D3DERR_SCENE_NOT_IN_SCENE;
    m_inScene = false;
    return D3D_OK;
}

HRESULT Direct3DDevice::GetDirect3D(LPDIRECT3D7* direct3D)
{
    if (!direct3D) return DDERR_INVALIDPARAMS;
    m_direct3D->AddRef();
    *direct3D = m_direct3D;
    return D3D_OK;
}

HRESULT Direct3DDevice::SetRenderTarget(LPDIRECTDRAWSURFACE7 target, DWORD)
{
    if (!target) return DDERR_INVALIDPARAMS;
    DirectDrawSurface* surface = static_cast<DirectDrawSurface*>(target);
    if (!(surface->Caps() & DDSCAPS_3DDEVICE)) return DDERR_INVALIDCAPS;
    if (surface->Lost()) return DDERR_SURFACELOST;
    AttachTarget(surface);
    m_viewport = {0, 0, static_cast<DWORD>(surface->Width()), static_cast<DWORD>(surface->Height()), 0.0f, 1.0f};
    return D3D_OK;
}

HRESULT Direct3DDevice::GetRenderTarget(LPDIRECTDRAWSURFACE7* target)
{
    if (!target) return DDERR_INVALIDPARAMS;
    m_target->AddRef();
    *target = m_target;
    return D3D_OK;
}

HRESULT Direct3DDevice::Clear(DWORD count, LPD3DRECT rects, DWORD flags, D3DCOLOR colour, D3DVALUE z, DWORD)
{
    if (count && !rects) return DDERR_INVALIDPARAMS;
    if ((flags & D3DCLEAR_ZBUFFER) && !m_zbuffer) return D3DERR_ZBUFFER_NOTPRESENT;
    if (m_target->Lost()) return DDERR_SURFACELOST;
    if (m_target->Locked()) return DDERR_SURFACEBUSY;
    RECT view = {static_cast<LONG>(m_viewport.dwX), static_cast<LONG>(m_viewport.dwY),
                 static_cast<LONG>(m_viewport.dwX + m_viewport.dwWidth),
                 static_cast<LONG>(m_viewport.dwY + m_viewport.dwHeight)};
    RECT bounds = {0, 0, m_target->Width(), m_target->Height()};
    IntersectRect(&view, &view, &bounds);
    std::vector<RECT> areas;
    if (count == 0) {
        areas.push_back(view);
    } else {
        for (DWORD i = 0; i < count; ++i) {
            RECT r = {rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2};
            RECT clipped;
            if (IntersectRect(&clipped, &r, &view)) areas.push_back(clipped);
        }
    }
    if (flags & D3DCLEAR_TARGET) {
        const uint32_t pixel = m_target->Format().FromARGB(colour, m_target->PaletteEntries());
        for (const RECT& r : areas) FillRect(m_target, r, pixel);
        m_target->Touch();
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        uint32_t mask = m_zbuffer->Format().RedMask();
        if (!mask) mask = 0xFFFF;
        const float clamped = z < 0 ? 0.0f : (z > 1 ? 1.0f : z);
        const uint32_t value = static_cast<uint32_t>(static_cast<double>(clamped) * mask + 0.5);
        RECT zbounds = {0, 0, m_zbuffer->Width(), m_zbuffer->Height()};
        for (const RECT& r : areas) {
            RECT inside;
            if (IntersectRect(&inside, &r, &zbounds)) FillRect(m_zbuffer, inside, value);
        }
    }
    return D3D_OK;
}

HRESULT Direct3DDevice::SetTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix)
{
    if (!matrix) return DDERR_INVALIDPARAMS;
    switch (state) {
    case D3DTRANSFORMSTATE_WORLD: m_world = *matrix; return D3D_OK;
    case D3DTRANSFORMSTATE_VIEW: m_view = *matrix; return D3D_OK;
    case D3DTRANSFORMSTATE_PROJECTION: m_projection = *matrix; return D3D_OK;
    default:
        if (state >= D3DTRANSFORMSTATE_TEXTURE0 && state <= D3DTRANSFORMSTATE_TEXTURE7) {
            m_textureTransform[state - D3DTRANSFORMSTATE_TEXTURE0] = *matrix;
            return D3D_OK;
        }
        return DDERR_INVALIDPARAMS;
    }
}

HRESULT Direct3DDevice::GetTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix)
{
    if (!matrix) return DDERR_INVALIDPARAMS;
    switch (state) {
    case D3DTRANSFORMSTATE_WORLD: *matrix = m_world; return D3D_OK;
    case D3DTRANSFORMSTATE_VIEW: *matrix = m_view; return D3D_OK;
    case D3DTRANSFORMSTATE_PROJECTION: *matrix = m_projection; return D3D_OK;
    default:
        if (state >= D3DTRANSFORMSTATE_TEXTURE0 && state <= D3DTRANSFORMSTATE_TEXTURE7) {
            *matrix = m_textureTransform[state - D3DTRANSFORMSTATE_TEXTURE0];
            return D3D_OK;
        }
        return DDERR_INVALIDPARAMS;
    }
}

HRESULT Direct3DDevice::MultiplyTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix)
{
    if (!matrix) return DDERR_INVALIDPARAMS;
    D3DMATRIX current;
    HRESULT result = GetTransform(state, &current);
    if (result != D3D_OK) return result;
    const float* a = &current._11;
    const float* b = &matrix->_11;
    D3DMATRIX product;
    float* r = &product._11;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r[i * 4 + j] = a[i * 4] * b[j] + a[i * 4 + 1] * b[4 + j] + a[i * 4 + 2] * b[8 + j] + a[i * 4 + 3] * b[12 + j];
    return SetTransform(state, &product);
}

HRESULT Direct3DDevice::SetViewport(LPD3DVIEWPORT7 viewport)
{
    if (!viewport) return DDERR_INVALIDPARAMS;
    const uint64_t right = static_cast<uint64_t>(viewport->dwX) + viewport->dwWidth;
    const uint64_t bottom = static_cast<uint64_t>(viewport->dwY) + viewport->dwHeight;
    if (viewport->dwWidth == 0 || viewport->dwHeight == 0 || right > static_cast<uint64_t>(m_target->Width()) ||
        bottom > static_cast<uint64_t>(m_target->Height()))
        return DDERR_INVALIDPARAMS;
    if (!(viewport->dvMinZ >= 0.0f && viewport->dvMaxZ <= 1.0f && viewport->dvMinZ <= viewport->dvMaxZ))
        return DDERR_INVALIDPARAMS;
    m_viewport = *viewport;
    return D3D_OK;
}

HRESULT Direct3DDevice::GetViewport(LPD3DVIEWPORT7 viewport)
{
    if (!viewport) return DDERR_INVALIDPARAMS;
    *viewport = m_viewport;
    return D3D_OK;
}

HRESULT Direct3DDevice::SetMaterial(LPD3DMATERIAL7 material)
{
    if (!material) return DDERR_INVALIDPARAMS;
    m_material = *material;
    return D3D_OK;
}

HRESULT Direct3DDevice::GetMaterial(LPD3DMATERIAL7 material)
{
    if (!material) return DDERR_INVALIDPARAMS;
    *material = m_material;
    return D3D_OK;
}

HRESULT Direct3DDevice::SetLight(DWORD index, LPD3DLIGHT7 light)
{
    if (!light || index >= kMaxLights) return DDERR_INVALIDPARAMS;
    if (light->dltType != D3DLIGHT_POINT && light->dltType != D3DLIGHT_SPOT && light->dltType != D3DLIGHT_DIRECTIONAL)
        return DDERR_INVALIDPARAMS;
    if (light->dvRange < 0 || light->dvRange > D3DLIGHT_RANGE_MAX) return DDERR_INVALIDPARAMS;
    if (m_lights.size() <= index) m_lights.resize(index + 1);
    Direct3DVertexPipeline::Light& slot = m_lights[index];
    const bool enabled = slot.enabled;
    slot.light = *light;
    slot.enabled = enabled;
    return D3D_OK;
}

HRESULT Direct3DDevice::GetLight(DWORD index, LPD3DLIGHT7 light)
{
    if (!light || index >= m_lights.size()) return DDERR_INVALIDPARAMS;
    *light = m_lights[index].light;
    return D3D_OK;
}

HRESULT Direct3DDevice::LightEnable(DWORD index, BOOL enable)
{
    if (index >= kMaxLights) return DDERR_INVALIDPARAMS;
    if (m_lights.size() <= index) {
        // Enabling a light never set gives the default: white, directional, along +z.
        m_lights.resize(index + 1);
        D3DLIGHT7& l = m_lights[index].light;
        std::memset(&l, 0, sizeof l);
        l.dltType = D3DLIGHT_DIRECTIONAL;
        l.dcvDiffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        l.dvDirection = {0.0f, 0.0f, 1.0f};
    }
    m_lights[index].enabled = enable != FALSE;
    return D3D_OK;
}

HRESULT Direct3DDevice::GetLightEnable(DWORD index, BOOL* enable)
{
    if (!enable || index >= m_lights.size()) return DDERR_INVALIDPARAMS;
    *enable = m_lights[index].enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT Direct3DDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (state <= 0 || state >= kRenderStates) return DDERR_INVALIDPARAMS;
    m_renderStates[state] = value;
    return D3D_OK;
}

HRESULT Direct3DDevice::GetRenderState(D3DRENDERSTATETYPE state, LPDWORD value)
{
    if (!value || state <= 0 || state >= kRenderStates) return DDERR_INVALIDPARAMS;
    *value = m_renderStates[state];
    return D3D_OK;
}

HRESULT Direct3DDevice::PreLoad(LPDIRECTDRAWSURFACE7 texture)
{
    if (!texture) return DDERR_INVALIDPARAMS;
    return D3D_OK;
}

HRESULT Direct3DDevice::GetTexture(DWORD stage, LPDIRECTDRAWSURFACE7* texture)
{
    if (!texture || stage >= static_cast<DWORD>(kStages)) return DDERR_INVALIDPARAMS;
    *texture = m_textures[stage];
    if (*texture) (*texture)->AddRef();
    return D3D_OK;
}

HRESULT Direct3DDevice::SetTexture(DWORD stage, LPDIRECTDRAWSURFACE7 texture)
{
    if (stage >= static_cast<DWORD>(kStages)) return DDERR_INVALIDPARAMS;
    DirectDrawSurface* surface = static_cast<DirectDrawSurface*>(texture);
    if (surface && !(surface->Caps() & DDSCAPS_TEXTURE)) return DDERR_INVALIDCAPS;
    if (surface) surface->AddRef();
    if (m_textures[stage]) m_textures[stage]->Release();
    m_textures[stage] = surface;
    return D3D_OK;
}

HRESULT Direct3DDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, LPDWORD value)
{
    if (!value || stage >= static_cast<DWORD>(kStages) || state <= 0 || state >= kStageStates)
        return DDERR_INVALIDPARAMS;
    *value = m_stageStates[stage][state];
    return D3D_OK;
}

HRESULT Direct3DDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value)
{
    if (stage >= static_cast<DWORD>(kStages) || state <= 0 || state >= kStageStates) return DDERR_INVALIDPARAMS;
    m_stageStates[stage][state] = value;
    if (state == D3DTSS_ADDRESS) m_stageStates[stage][D3DTSS_ADDRESSU] = m_stageStates[stage][D3DTSS_ADDRESSV] = value;
    return D3D_OK;
}

HRESULT Direct3DDevice::ValidateDevice(LPDWORD passes)
{
    if (!passes) return DDERR_INVALIDPARAMS;
    const D3DDEVICEDESC7 caps = DirectDrawDirect3D::DeviceDescription(m_guid, false);
    for (int s = 0; s < kStages; ++s) {
        if (m_stageStates[s][D3DTSS_COLOROP] == D3DTOP_DISABLE) break;
        if (s >= caps.wMaxTextureBlendStages) return D3DERR_TOOMANYOPERATIONS;
        const DWORD colourOp = m_stageStates[s][D3DTSS_COLOROP];
        if (colourOp > D3DTOP_DOTPRODUCT3 || !(caps.dwTextureOpCaps & (1u << (colourOp - 1))))
            return D3DERR_UNSUPPORTEDCOLOROPERATION;
        const DWORD alphaOp = m_stageStates[s][D3DTSS_ALPHAOP];
        if (alphaOp < D3DTOP_DISABLE || alphaOp > D3DTOP_DOTPRODUCT3 || !(caps.dwTextureOpCaps & (1u << (alphaOp - 1))))
            return D3DERR_UNSUPPORTEDALPHAOPERATION;
    }
    *passes = 1;
    return D3D_OK;
}

Direct3DVertexPipeline::State Direct3DDevice::VertexState() const
{
    Direct3DVertexPipeline::State state;
    state.world = &m_world;
    state.view = &m_view;
    state.projection = &m_projection;
    state.viewport = m_viewport;
    state.renderStates = m_renderStates;
    state.lights = &m_lights;
    state.material = &m_material;
    return state;
}

HRESULT Direct3DDevice::Draw(D3DPRIMITIVETYPE type, DWORD fvf, const void* vertices, DWORD vertexCount,
                             const WORD* indices, DWORD indexCount, DWORD flags)
{
    if (!m_inScene) return D3DERR_SCENE_NOT_IN_SCENE;
    if (!vertices || (indexCount && !indices)) return DDERR_INVALIDPARAMS;
    if (type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN) return D3DERR_INVALIDPRIMITIVETYPE;
    if (vertexCount > D3DMAXNUMVERTICES) return D3DERR_TOOMANYVERTICES;
    Direct3DVertexPipeline::Layout layout;
    if (!Direct3DVertexPipeline::Layout::Decode(fvf, layout)) return D3DERR_INVALIDVERTEXTYPE;
    for (DWORD i = 0; i < indexCount; ++i)
        if (indices[i] >= vertexCount) return DDERR_INVALIDPARAMS;
    if (m_target->Lost()) return DDERR_SURFACELOST;
    if (m_target->Locked()) return DDERR_SURFACEBUSY;
    if (vertexCount == 0) return D3D_OK;

    Direct3DPixelPipeline::Settings settings;
    settings.renderStates = m_renderStates;
    settings.stageStates = m_stageStates;
    settings.textures = m_textures;
    settings.target = m_target;
    settings.zbuffer = m_zbuffer;
    if (!m_pixels.Configure(settings)) return DDERR_INVALIDPIXELFORMAT;
    const LONG right = std::min<LONG>(static_cast<LONG>(m_viewport.dwX + m_viewport.dwWidth), m_target->Width());
    const LONG bottom = std::min<LONG>(static_cast<LONG>(m_viewport.dwY + m_viewport.dwHeight), m_target->Height());
    m_rasterizer.SetScissor(static_cast<int>(m_viewport.dwX), static_cast<int>(m_viewport.dwY), right, bottom);

    const Direct3DVertexPipeline::State state = VertexState();
    m_vertices.Process(state, layout, static_cast<const uint8_t*>(vertices), static_cast<int>(vertexCount),
                       !(flags & D3DDP_DONOTLIGHT));
    m_vertices.Draw(state, type, indices, static_cast<int>(indices ? indexCount : vertexCount));
    m_target->Touch();
    return D3D_OK;
}

HRESULT Direct3DDevice::DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices, DWORD count, DWORD flags)
{
    return Draw(type, fvf, vertices, count, nullptr, 0, flags);
}

HRESULT Direct3DDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices, DWORD vertexCount,
                                             LPWORD indices, DWORD indexCount, DWORD flags)
{
    if (!indices || indexCount == 0) return DDERR_INVALIDPARAMS;
    return Draw(type, fvf, vertices, vertexCount, indices, indexCount, flags);
}

HRESULT Direct3DDevice::DrawPrimitiveVB(D3DPRIMITIVETYPE type, LPDIRECT3DVERTEXBUFFER7 buffer, DWORD start,
                                        DWORD count, DWORD flags)
{
    if (!buffer) return DDERR_INVALIDPARAMS;
    Direct3DVertexBuffer* vb = static_cast<Direct3DVertexBuffer*>(buffer);
    if (vb->IsLocked()) return D3DERR_VERTEXBUFFERLOCKED;
    if (start > vb->Count() || count > vb->Count() - start) return DDERR_INVALIDPARAMS;
    return Draw(type, vb->Layout().fvf, vb->Data() + static_cast<size_t>(start) * vb->Layout().stride, count,
                nullptr, 0, flags);
}

HRESULT Direct3DDevice::DrawIndexedPrimitiveVB(D3DPRIMITIVETYPE type, LPDIRECT3DVERTEXBUFFER7 buffer, DWORD start,
                                               DWORD vertexCount, LPWORD indices, DWORD indexCount, DWORD flags)
{
    if (!buffer || !indices || indexCount == 0) return DDERR_INVALIDPARAMS;
    Direct3DVertexBuffer* vb = static_cast<Direct3DVertexBuffer*>(buffer);
    if (vb->IsLocked()) return D3DERR_VERTEXBUFFERLOCKED;
    if (start > vb->Count() || vertexCount > vb->Count() - start) return DDERR_INVALIDPARAMS;
    return Draw(type, vb->Layout().fvf, vb->Data() + static_cast<size_t>(start) * vb->Layout().stride, vertexCount,
                indices, indexCount, flags);
}

HRESULT Direct3DDevice::Process(DWORD operations, Direct3DVertexBuffer* dest, DWORD destIndex, DWORD count,
                                Direct3DVertexBuffer* source, DWORD sourceIndex)
{
    if (!(operations & D3DVOP_TRANSFORM)) return DDERR_INVALIDPARAMS;
    if (dest->IsLocked() || source->IsLocked()) return D3DERR_VERTEXBUFFERLOCKED;
    if (!dest->Layout().transformed || source->Layout().transformed) return D3DERR_INVALIDVERTEXTYPE;
    if (destIndex > dest->Count() || count > dest->Count() - destIndex) return DDERR_INVALIDPARAMS;
    if (sourceIndex > source->Count() || count > source->Count() - sourceIndex) return DDERR_INVALIDPARAMS;
    const Direct3DVertexPipeline::State state = VertexState();
    m_vertices.Process(state, source->Layout(), source->Data() + static_cast<size_t>(sourceIndex) * source->Layout().stride,
                       static_cast<int>(count), (operations & D3DVOP_LIGHT) != 0);
    m_vertices.Store(state, dest->Layout(), dest->Data() + static_cast<size_t>(destIndex) * dest->Layout().stride,
                     static_cast<int>(count));
    return D3D_OK;
}
}  // namespace platform

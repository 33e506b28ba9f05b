#include "platform/DirectDrawDirect3D.h"

#include "platform/Direct3DDevice.h"
#include "platform/Direct3DVertexBuffer.h"
#include "platform/DirectDrawObject.h"
#include "platform/DirectDrawSurface.h"
#include "platform/backend/Environment.h"

namespace platform {
namespace {
struct DeviceEntry {
    const GUID* guid;
    const char* name;
    const char* description;
    bool hardware;
    const char* missingWhenForced;
};

const DeviceEntry kDevices[] = {
    {&IID_IDirect3DRGBDevice, "RGB Emulation", "Microsoft Direct3D RGB Software Emulation", false, "norgb"},
    {&IID_IDirect3DHALDevice, "Direct3D HAL", "Microsoft Direct3D Hardware acceleration through Direct3D HAL",
     true, "nohal"},
};
}  // namespace

DirectDrawDirect3D::DirectDrawDirect3D(DirectDrawObject* owner) : m_owner(owner)
{
    m_owner->AddRef();
    ++DirectDrawObject::LiveCounter();
}

DirectDrawDirect3D::~DirectDrawDirect3D()
{
    --DirectDrawObject::LiveCounter();
    m_owner->Release();
}

HRESULT DirectDrawDirect3D::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirect3D7)) {
        AddRef();
        *object = static_cast<IDirect3D7*>(this);
        return S_OK;
    }
    if (IsEqualGUID(iid, IID_IDirectDraw7)) return m_owner->QueryInterface(iid, object);
    return E_NOINTERFACE;
}

ULONG DirectDrawDirect3D::AddRef()
{
    return ++m_refs;
}

ULONG DirectDrawDirect3D::Release()
{
    ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

D3DDEVICEDESC7 DirectDrawDirect3D::DeviceDescription(const GUID& device, bool hardware)
{
    D3DDEVICEDESC7 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwDevCaps = D3DDEVCAPS_FLOATTLVERTEX | D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
                     D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_CANRENDERAFTERFLIP |
                     D3DDEVCAPS_DRAWPRIMITIVES2;
    if (hardware) desc.dwDevCaps |= D3DDEVCAPS_HWRASTERIZATION;

    D3DPRIMCAPS caps;
    memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof(D3DPRIMCAPS);
    caps.dwMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
    caps.dwRasterCaps = D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_SUBPIXEL | D3DPRASTERCAPS_FOGVERTEX |
                        D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_MIPMAPLODBIAS | D3DPRASTERCAPS_ZBIAS |
                        D3DPRASTERCAPS_FOGRANGE | D3DPRASTERCAPS_ANISOTROPY | D3DPRASTERCAPS_WFOG;
    caps.dwZCmpCaps = caps.dwAlphaCmpCaps = 0xFF;  // all eight comparisons
    caps.dwSrcBlendCaps = caps.dwDestBlendCaps = 0x1FFF;  // all thirteen factors
    caps.dwShadeCaps = D3DPSHADECAPS_COLORFLATRGB | D3DPSHADECAPS_COLORGOURAUDRGB |
                       D3DPSHADECAPS_SPECULARGOURAUDRGB | D3DPSHADECAPS_ALPHAFLATBLEND |
                       D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_FOGFLAT | D3DPSHADECAPS_FOGGOURAUD;
    caps.dwTextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_ALPHA |
                         D3DPTEXTURECAPS_TRANSPARENCY;
    caps.dwTextureFilterCaps = D3DPTFILTERCAPS_NEAREST | D3DPTFILTERCAPS_LINEAR | D3DPTFILTERCAPS_MIPNEAREST |
                               D3DPTFILTERCAPS_MIPLINEAR | D3DPTFILTERCAPS_LINEARMIPNEAREST |
                               D3DPTFILTERCAPS_LINEARMIPLINEAR | D3DPTFILTERCAPS_MINFPOINT |
                               D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MINFANISOTROPIC |
                               D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT |
                               D3DPTFILTERCAPS_MAGFLINEAR | D3DPTFILTERCAPS_MAGFANISOTROPIC;
    caps.dwTextureBlendCaps = D3DPTBLENDCAPS_MODULATE | D3DPTBLENDCAPS_MODULATEALPHA | D3DPTBLENDCAPS_ADD;
    caps.dwTextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                                D3DPTADDRESSCAPS_INDEPENDENTUV;
    desc.dwMaxAnisotropy = 1;
    desc.wMaxTextureBlendStages = 8;
    desc.wMaxSimultaneousTextures = 2;

    // Capabilities taken away on request, so that fall-backs can be tried.
    if (Environment::Forced("nobilinear"))
        caps.dwTextureFilterCaps &= ~(D3DPTFILTERCAPS_LINEAR | D3DPTFILTERCAPS_LINEARMIPNEAREST |
                                      D3DPTFILTERCAPS_LINEARMIPLINEAR | D3DPTFILTERCAPS_MINFLINEAR |
                                      D3DPTFILTERCAPS_MAGFLINEAR);
    if (Environment::Forced("nomipmap"))
        caps.dwTextureFilterCaps &= ~(D3DPTFILTERCAPS_MIPNEAREST | D3DPTFILTERCAPS_MIPLINEAR |
                                      D3DPTFILTERCAPS_LINEARMIPNEAREST | D3DPTFILTERCAPS_LINEARMIPLINEAR |
                                      D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR);
    if (Environment::Forced("nomiplinear"))
        caps.dwTextureFilterCaps &= ~(D3DPTFILTERCAPS_MIPLINEAR | D3DPTFILTERCAPS_LINEARMIPLINEAR |
                                      D3DPTFILTERCAPS_MIPFLINEAR);
    if (Environment::Forced("nofogtable")) caps.dwRasterCaps &= ~(D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_WFOG);
    if (Environment::Forced("noanisotropy")) {
        caps.dwRasterCaps &= ~D3DPRASTERCAPS_ANISOTROPY;
        caps.dwTextureFilterCaps &= ~(D3DPTFILTERCAPS_MINFANISOTROPIC | D3DPTFILTERCAPS_MAGFANISOTROPIC);
    }
    if (Environment::Forced("onestage")) desc.wMaxTextureBlendStages = desc.wMaxSimultaneousTextures = 1;
    desc.dpcLineCaps = caps;
    desc.dpcTriCaps = caps;

    desc.dwDeviceRenderBitDepth = Environment::Forced("only24") ? DDBD_24 : (DDBD_16 | DDBD_24 | DDBD_32);
    desc.dwDeviceZBufferBitDepth = DDBD_16 | DDBD_24 | DDBD_32;
    desc.dwMinTextureWidth = 1;
    desc.dwMinTextureHeight = 1;
    desc.dwMaxTextureWidth = 2048;
    desc.dwMaxTextureHeight = 2048;
    desc.dwMaxTextureRepeat = 2048;
    desc.dwMaxTextureAspectRatio = 2048;
    desc.dvGuardBandLeft = -2048.0f;
    desc.dvGuardBandTop = -2048.0f;
    desc.dvGuardBandRight = 2047.0f;
    desc.dvGuardBandBottom = 2047.0f;
    desc.dwFVFCaps = 2;  // texture coordinate sets the pipeline interpolates
    // Every operation but bump mapping: bits of D3DTOP_DISABLE to D3DTOP_MODULATEINVCOLOR_ADDALPHA and DOTPRODUCT3.
    desc.dwTextureOpCaps = 0x001FFFFF | D3DTEXOPCAPS_DOTPRODUCT3;
    desc.dwMaxActiveLights = 64;
    desc.dvMaxVertexW = 1.0e10f;
    desc.deviceGUID = device;
    desc.dwVertexProcessingCaps = D3DVTXPCAPS_MATERIALSOURCE7 | D3DVTXPCAPS_VERTEXFOG |
                                  D3DVTXPCAPS_DIRECTIONALLIGHTS | D3DVTXPCAPS_POSITIONALLIGHTS |
                                  D3DVTXPCAPS_LOCALVIEWER;
    return desc;
}

HRESULT DirectDrawDirect3D::EnumDevices(LPD3DENUMDEVICESCALLBACK7 callback, LPVOID context)
{
    if (!callback) return DDERR_INVALIDPARAMS;
    if (Environment::Forced("nodevice")) return DD_OK;
    for (const DeviceEntry& entry : kDevices) {
        if (Environment::Forced(entry.missingWhenForced)) continue;
        D3DDEVICEDESC7 desc = DeviceDescription(*entry.guid, entry.hardware);
        char name[64], description[128];
        strcpy(name, entry.name);
        strcpy(description, entry.description);
        if (callback(description, name, &desc, context) == D3DENUMRET_CANCEL) break;
    }
    return DD_OK;
}
namespace {
const DeviceEntry* FindDevice(REFCLSID guid)
{
    for (const DeviceEntry& entry : kDevices)
        if (IsEqualGUID(*entry.guid, guid) && !Environment::Forced(entry.missingWhenForced)) return &entry;
    return nullptr;
}

DDPIXELFORMAT ZFormat(DWORD bits, DWORD zmask, DWORD stencilBits, DWORD stencilMask)
{
    DDPIXELFORMAT f;
    memset(&f, 0, sizeof f);
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_ZBUFFER | (stencilBits ? DDPF_STENCILBUFFER : 0);
    f.dwZBufferBitDepth = bits;
    f.dwStencilBitDepth = stencilBits;
    f.dwZBitMask = zmask;
    f.dwStencilBitMask = stencilMask;
    return f;
}
}  // namespace

HRESULT DirectDrawDirect3D::CreateDevice(REFCLSID device, LPDIRECTDRAWSURFACE7 target, LPDIRECT3DDEVICE7* made)
{
    if (!made) return DDERR_INVALIDPARAMS;
    *made = nullptr;
    if (!target) return DDERR_INVALIDPARAMS;
    if (Environment::Forced("nodevice") || !FindDevice(device)) return DDERR_INVALIDPARAMS;
    DirectDrawSurface* surface = static_cast<DirectDrawSurface*>(target);
    if (!(surface->Caps() & DDSCAPS_3DDEVICE)) return DDERR_INVALIDCAPS;
    if (surface->Lost()) return DDERR_SURFACELOST;
    const DirectDrawPixelFormat& format = surface->Format();
    if (format.Palettised() || (format.Bytes() != 2 && format.Bytes() != 3 && format.Bytes() != 4))
        return DDERR_INVALIDPIXELFORMAT;
    // A card that wants the Z buffer as deep as the colour buffer.
    if (Environment::Forced("zmatchdepth")) {
        for (DirectDrawSurface* s : surface->Attached())
            if ((s->Caps() & DDSCAPS_ZBUFFER) && s->Format().Bits() != format.Bits()) return DDERR_INVALIDPIXELFORMAT;
    }
    *made = new Direct3DDevice(this, device, surface);
    return D3D_OK;
}

HRESULT DirectDrawDirect3D::CreateVertexBuffer(LPD3DVERTEXBUFFERDESC desc, LPDIRECT3DVERTEXBUFFER7* made, DWORD)
{
    if (!made) return DDERR_INVALIDPARAMS;
    *made = nullptr;
    if (!desc || desc->dwSize != sizeof(D3DVERTEXBUFFERDESC)) return DDERR_INVALIDPARAMS;
    Direct3DVertexBuffer* buffer = Direct3DVertexBuffer::Create(*desc);
    if (!buffer) return D3DERR_VBUF_CREATE_FAILED;
    *made = buffer;
    return D3D_OK;
}

HRESULT DirectDrawDirect3D::EnumZBufferFormats(REFCLSID device, LPD3DENUMPIXELFORMATSCALLBACK callback,
                                               LPVOID context)
{
    if (!callback) return DDERR_INVALIDPARAMS;
    if (!FindDevice(device)) return DDERR_INVALIDPARAMS;
    DDPIXELFORMAT formats[] = {ZFormat(16, 0xFFFF, 0, 0), ZFormat(24, 0xFFFFFF, 0, 0),
                               ZFormat(32, 0xFFFFFFFFu, 0, 0), ZFormat(32, 0xFFFFFF, 8, 0xFF000000u)};
    const size_t count = Environment::Forced("z16only") ? 1 : sizeof formats / sizeof formats[0];
    for (size_t i = 0; i < count; ++i)
        if (callback(&formats[i], context) == D3DENUMRET_CANCEL) break;
    return D3D_OK;
}

HRESULT DirectDrawDirect3D::EvictManagedTextures()
{
    // Textures live in system memory; there is nothing to give back.
    return D3D_OK;
}
}  // namespace platform

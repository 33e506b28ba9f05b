#include "platform/DirectDrawDirect3D.h"

#include "platform/DirectDrawObject.h"
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
    desc.dpcLineCaps.dwSize = sizeof(D3DPRIMCAPS);
    desc.dpcTriCaps.dwSize = sizeof(D3DPRIMCAPS);
    desc.dwDeviceRenderBitDepth = Environment::Forced("only24") ? DDBD_24 : (DDBD_16 | DDBD_32);
    desc.dwDeviceZBufferBitDepth = DDBD_16 | DDBD_24 | DDBD_32;
    desc.dwMinTextureWidth = 1;
    desc.dwMinTextureHeight = 1;
    desc.dwMaxTextureWidth = 2048;
    desc.dwMaxTextureHeight = 2048;
    desc.dwMaxTextureRepeat = 2048;
    desc.dwMaxTextureAspectRatio = 2048;
    desc.dwMaxAnisotropy = 1;
    desc.dvGuardBandLeft = -2048.0f;
    desc.dvGuardBandTop = -2048.0f;
    desc.dvGuardBandRight = 2047.0f;
    desc.dvGuardBandBottom = 2047.0f;
    desc.wMaxTextureBlendStages = 8;
    desc.wMaxSimultaneousTextures = 8;
    desc.dwMaxActiveLights = 8;
    desc.dvMaxVertexW = 1.0e10f;
    desc.deviceGUID = device;
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
}  // namespace platform

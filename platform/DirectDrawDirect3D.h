// Our IDirect3D7 as DirectDraw hands it out: the 3D devices of the display
// driver (the software rasteriser under two names), their Z-buffer
// formats, devices on 3D surfaces and vertex buffers.
#pragma once

#include "platform/d3d.h"

namespace platform {
class DirectDrawObject;

class DirectDrawDirect3D : public IDirect3D7 {
public:
    explicit DirectDrawDirect3D(DirectDrawObject* owner);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK7 callback, LPVOID context) override;
    HRESULT CreateDevice(REFCLSID device, LPDIRECTDRAWSURFACE7 target, LPDIRECT3DDEVICE7* made) override;
    HRESULT CreateVertexBuffer(LPD3DVERTEXBUFFERDESC desc, LPDIRECT3DVERTEXBUFFER7* made, DWORD flags) override;
    HRESULT EnumZBufferFormats(REFCLSID device, LPD3DENUMPIXELFORMATSCALLBACK callback, LPVOID context) override;
    HRESULT EvictManagedTextures() override;

    // The description of a device we offer; hardware marks the HAL name.
    // RCV_FORCE can take capabilities away one by one: "nobilinear",
    // "nomipmap", "nomiplinear", "nofogtable", "noanisotropy", "onestage".
    static D3DDEVICEDESC7 DeviceDescription(const GUID& device, bool hardware);

private:
    ~DirectDrawDirect3D() override;

    ULONG m_refs = 1;
    DirectDrawObject* m_owner;
};
}  // namespace platform

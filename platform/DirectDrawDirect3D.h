// Our IDirect3D7 as DirectDraw hands it out: for now it enumerates the 3D
// devices of the display driver (the software rasteriser under two names).
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

    // The description of a device we offer; hardware marks the HAL name.
    static D3DDEVICEDESC7 DeviceDescription(const GUID& device, bool hardware);

private:
    ~DirectDrawDirect3D() override;

    ULONG m_refs = 1;
    DirectDrawObject* m_owner;
};
}  // namespace platform

// Our IDirectDrawSurface7: pixels in memory in one layout, with colour
// keys, an attached palette and clipper, flip-chain attachments, locks,
// a GDI device context, and the lost state that Restore clears.
#pragma once

#include "platform/DirectDrawBlitter.h"
#include "platform/DirectDrawPixelFormat.h"

#include <memory>
#include <vector>

namespace platform {
class DirectDrawObject;
class DirectDrawPalette;
class DirectDrawClipper;

class DirectDrawSurface : public IDirectDrawSurface7 {
public:
    DirectDrawSurface(DirectDrawObject* owner, const DDSURFACEDESC2& desc, const DirectDrawPixelFormat& format);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT AddAttachedSurface(LPDIRECTDRAWSURFACE7 surface) override;
    HRESULT Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD flags, LPDDBLTFX fx) override;
    HRESULT BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD flags) override;
    HRESULT DeleteAttachedSurface(DWORD flags, LPDIRECTDRAWSURFACE7 surface) override;
    HRESULT Flip(LPDIRECTDRAWSURFACE7 target, DWORD flags) override;
    HRESULT GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE7* surface) override;
    HRESULT GetBltStatus(DWORD) override { return DD_OK; }
    HRESULT GetCaps(LPDDSCAPS2 caps) override;
    HRESULT GetClipper(LPDIRECTDRAWCLIPPER* clipper) override;
    HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) override;
    HRESULT GetDC(HDC* dc) override;
    HRESULT GetFlipStatus(DWORD) override { return DD_OK; }
    HRESULT GetPalette(LPDIRECTDRAWPALETTE* palette) override;
    HRESULT GetPixelFormat(LPDDPIXELFORMAT format) override;
    HRESULT GetSurfaceDesc(LPDDSURFACEDESC2 desc) override;
    HRESULT IsLost() override;
    HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) override;
    HRESULT ReleaseDC(HDC dc) override;
    HRESULT Restore() override;
    HRESULT SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
    HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) override;
    HRESULT SetPalette(LPDIRECTDRAWPALETTE palette) override;
    HRESULT Unlock(LPRECT rect) override;
    HRESULT GetDDInterface(LPVOID* directDraw) override;
    HRESULT PageLock(DWORD) override { return DD_OK; }
    HRESULT PageUnlock(DWORD) override { return DD_OK; }
    HRESULT SetSurfaceDesc(LPDDSURFACEDESC2, DWORD) override { return DDERR_UNSUPPORTED; }

    int Width() const { return static_cast<int>(m_desc.dwWidth); }
    int Height() const { return static_cast<int>(m_desc.dwHeight); }
    int Pitch() const { return m_desc.lPitch; }
    const DirectDrawPixelFormat& Format() const { return m_format; }
    const uint8_t* Bits() const { return m_memory.data(); }
    uint8_t* MutableBits() { return m_memory.data(); }
    DWORD Caps() const { return m_desc.ddsCaps.dwCaps; }
    bool Lost() const { return m_lost; }
    bool Locked() const { return m_locked || m_dc; }
    // Bumped whenever the pixels or the colour key may have changed, so
    // that copies kept elsewhere (the 3D device's textures) know to refresh.
    unsigned ContentVersion() const { return m_contentVersion; }
    void Touch() { ++m_contentVersion; }
    // What the 3D device keeps with a texture surface; dies with it.
    struct DeviceData {
        virtual ~DeviceData() = default;
    };
    DeviceData* GetDeviceData() const { return m_deviceData.get(); }
    void SetDeviceData(std::unique_ptr<DeviceData> data) { m_deviceData = std::move(data); }
    // The surfaces attached with AddAttachedSurface (MIP levels, Z buffer).
    const std::vector<DirectDrawSurface*>& Attached() const { return m_attached; }
    const PALETTEENTRY* PaletteEntries() const;
    bool IsPrimary() const { return (m_desc.ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0; }
    bool HasDC(HDC dc) const { return m_dc && m_dc == dc; }
    void MarkLost() { m_lost = true; }
    void DetachOwner() { m_owner = nullptr; }
    // The back buffer made with a primary chain; it is released with it.
    void AddChainSurface(DirectDrawSurface* back);

private:
    ~DirectDrawSurface() override;
    BlitImage Image();
    HRESULT Busy() const;
    // The destination rectangles left after the clipper, inside the surface.
    bool ClipRects(const RECT& dest, std::vector<RECT>& out, HRESULT& error) const;
    void AfterDraw();

    ULONG m_refs = 1;
    DirectDrawObject* m_owner;
    DDSURFACEDESC2 m_desc;
    DirectDrawPixelFormat m_format;
    std::vector<uint8_t> m_memory;
    bool m_hasSourceKey = false;
    bool m_hasDestKey = false;
    DDCOLORKEY m_sourceKey = {0, 0};
    DDCOLORKEY m_destKey = {0, 0};
    DirectDrawPalette* m_palette = nullptr;
    DirectDrawClipper* m_clipper = nullptr;
    std::vector<DirectDrawSurface*> m_attached;  // one reference each
    DirectDrawSurface* m_chain = nullptr;         // back buffer of a primary chain
    DirectDrawSurface* m_front = nullptr;         // for a back buffer: its primary
    bool m_lost = false;
    bool m_lostOnFirstBlt = false;  // RCV_FORCE=surfacelost
    unsigned m_generation;
    bool m_locked = false;
    HDC m_dc = nullptr;
    unsigned m_contentVersion = 0;
    std::unique_ptr<DeviceData> m_deviceData;
};
}  // namespace platform

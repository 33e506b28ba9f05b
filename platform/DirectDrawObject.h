// Our IDirectDraw7: the display mode, the cooperative level, and the
// surfaces, clippers and palettes made through it. Each of those holds a
// reference to it, so it lives as long as any of them.
#pragma once

#include "platform/DirectDrawPixelFormat.h"
#include "platform/d3d.h"

#include <vector>

namespace platform {
class DirectDrawSurface;

class DirectDrawObject : public IDirectDraw7 {
public:
    explicit DirectDrawObject(const GUID& driver);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT Compact() override { return DD_OK; }
    HRESULT CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) override;
    HRESULT CreatePalette(DWORD flags, LPPALETTEENTRY entries, LPDIRECTDRAWPALETTE* palette, IUnknown* outer) override;
    HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface, IUnknown* outer) override;
    HRESULT DuplicateSurface(LPDIRECTDRAWSURFACE7 source, LPDIRECTDRAWSURFACE7* copy) override;
    HRESULT EnumDisplayModes(DWORD flags, LPDDSURFACEDESC2 filter, LPVOID context,
                             LPDDENUMMODESCALLBACK2 callback) override;
    HRESULT EnumSurfaces(DWORD flags, LPDDSURFACEDESC2 desc, LPVOID context,
                         LPDDENUMSURFACESCALLBACK7 callback) override;
    HRESULT FlipToGDISurface() override { return DD_OK; }
    HRESULT GetCaps(LPDDCAPS driverCaps, LPDDCAPS helCaps) override;
    HRESULT GetDisplayMode(LPDDSURFACEDESC2 desc) override;
    HRESULT GetFourCCCodes(LPDWORD count, LPDWORD codes) override;
    HRESULT GetGDISurface(LPDIRECTDRAWSURFACE7* surface) override;
    HRESULT GetMonitorFrequency(LPDWORD frequency) override;
    HRESULT GetScanLine(LPDWORD line) override;
    HRESULT GetVerticalBlankStatus(LPBOOL inBlank) override;
    HRESULT Initialize(GUID*) override { return DDERR_ALREADYINITIALIZED; }
    HRESULT RestoreDisplayMode() override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate, DWORD flags) override;
    HRESULT WaitForVerticalBlank(DWORD, HANDLE) override { return DD_OK; }
    HRESULT GetAvailableVidMem(LPDDSCAPS2 caps, LPDWORD total, LPDWORD free) override;
    HRESULT GetSurfaceFromDC(HDC dc, LPDIRECTDRAWSURFACE7* surface) override;
    HRESULT RestoreAllSurfaces() override;
    HRESULT TestCooperativeLevel() override;
    HRESULT GetDeviceIdentifier(LPDDDEVICEIDENTIFIER2 identifier, DWORD flags) override;

    // The current display mode: the desktop while windowed.
    int ModeWidth() const { return m_width; }
    int ModeHeight() const { return m_height; }
    int ModeBits() const { return m_bits; }
    unsigned ModeGeneration() const { return m_modeGeneration; }
    bool FullScreen() const { return (m_cooperative & DDSCL_EXCLUSIVE) != 0; }
    const GUID& Driver() const { return m_driver; }

    void Attach(DirectDrawSurface* surface);
    void Detach(DirectDrawSurface* surface);
    void LoseSurfaces();
    // Shows the primary surface's pixels through the backend.
    void Present(DirectDrawSurface* primary);
    void AddMipLevels(DirectDrawSurface* top, const DDSURFACEDESC2& made);

    static std::vector<DirectDrawObject*>& Live();
    static HRESULT& CooperativeOverride();
    // Objects, surfaces, clippers and palettes alive.
    static int& LiveCounter();

private:
    ~DirectDrawObject() override;
    void ChangeMode(int width, int height, int bits);

    ULONG m_refs = 1;
    GUID m_driver;
    DWORD m_cooperative = 0;
    HWND m_window = nullptr;
    int m_width = 640;
    int m_height = 480;
    int m_bits = 32;
    unsigned m_modeGeneration = 0;
    std::vector<DirectDrawSurface*> m_surfaces;
    std::vector<uint32_t> m_presentBuffer;
};
}  // namespace platform

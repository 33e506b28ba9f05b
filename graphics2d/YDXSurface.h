// One DirectDraw 7 surface: creation with a video-memory request and a
// system-memory fall-back, transparent colours in the surface's format,
// blits that restore a lost surface and retry, and the alpha blend.
#pragma once

#include "foundation/YString.h"
#include "graphics2d/YDXDraw.h"

class YDXPalette;
class YDXClipper;
class YDXSurfaceSource;

class YDXSurface : public CObject {
    DECLARE_DYNAMIC(YDXSurface)

public:
    YDXSurface();
    explicit YDXSurface(const char* name);
    ~YDXSurface() override;

    int CreateSurface(YDXDraw* display, DWORD width, DWORD height, DWORD caps, YDXPalette* palette, int videoMemory,
                      const DDPIXELFORMAT* pixelFormat);
    int CreateAlphaSource(YDXDraw* display, DWORD width, DWORD height);
    int CreateSurfaceFromDesc(DDSURFACEDESC2* description, YDXDraw* display);
    int CreateSurfaceFromResource(YDXSurfaceSource* bitmap, YDXDraw* display, int palettised, int extra,
                                  int videoMemory);
    int CreatePrimarySurface(YDXDraw* display, int bufferCount, DWORD caps);
    int GetBackBuffer(YDXSurface* backBuffer);

    int Clear(RECT* rect, LONG colour);
    int Blt(YDXSurface* source, RECT* destRect, RECT* sourceRect, int useColourKey, int mirrorLeftRight,
            int mirrorUpDown);
    int BltAlpha(YDXSurface* source, int x, int y, RECT* sourceRect);
    int TextOut(int x, int y, const YString& text, int length);

    int Flip();
    int SetPalette(YDXPalette* palette);
    int SetClipper(YDXClipper* clipper);
    int RemoveClipper();
    int SetTransparentColor(COLORREF colour);
    int ResetTransparentColor();
    int Restore(YDXDraw* display);

    int Lock(DDSURFACEDESC2* description);
    int Unlock();
    int GetDC(HDC* hdcOut);
    int ReleaseDC(HDC hdc);
    DWORD GetWidth();
    DWORD GetHeight();
    LONG GetPitch();
    int Release();
    const char* GetErrorText();
    // The text as the last failure built it.
    const char* GetLastErrorText() const { return m_errorText; }

    IDirectDrawSurface7* GetSurface() const { return m_surface; }
    YDXDraw* GetDisplay() const { return m_display; }
    const DDSURFACEDESC2& GetDescription() const { return m_description; }
    DWORD GetKeyValue() const { return m_keyValue; }
    int HasKey() const { return m_hasKey != 0; }
    int IsPrimary() const { return m_primary != 0; }
    int IsAlphaSource() const { return m_alphaSource != 0; }
    void* GetLockPointer() const { return m_lockPointer; }
    HRESULT GetLastResult() const { return m_lastResult; }
    const char* GetMethod() const { return m_method; }
    const YString& GetName() const { return m_name; }
    // The interface belongs to another owner: Release keeps it, Restore does nothing.
    void SetExternal(IDirectDrawSurface7* surface, YDXDraw* display);

private:
    void Reset();
    int Fail();
    int BltOnce(YDXSurface* source, RECT* destRect, RECT* sourceRect, DWORD flags, DDBLTFX* fx);

    IDirectDrawSurface7* m_surface;
    uint32_t m_external;
    YDXDraw* m_display;
    DDSURFACEDESC2 m_description;
    uint32_t m_primary;
    YDXSurfaceSource* m_sourceBitmap;
    uint32_t m_width;
    uint32_t m_height;
    uint32_t m_keyValue;
    uint32_t m_hasKey;
    void* m_lockPointer;
    uint32_t m_restoring;
    YString m_name;
    uint32_t m_alphaSource;
    HRESULT m_lastResult;
    char m_errorText[YDX_ERROR_TEXT];
    char m_method[YDX_METHOD_TEXT];
};

// An 8-bit DirectDraw palette built from a bitmap's colour table.
#pragma once

#include "graphics2d/YDXDraw.h"

class YDXSurface;
class YDXSurfaceSource;

class YDXPalette : public CObject {
    DECLARE_DYNAMIC(YDXPalette)

public:
    YDXPalette();
    ~YDXPalette() override;

    int CreatePalette(YDXSurfaceSource* bitmap, YDXDraw* display, int setSystemColours);
    int Draw(YDXSurface* surface);
    const char* GetErrorText();
    // The text as the last failure built it.
    const char* GetLastErrorText() const { return m_errorText; }

    IDirectDrawPalette* GetPalette() const { return m_palette; }
    const PALETTEENTRY* GetEntries() const { return m_entries; }
    HRESULT GetLastResult() const { return m_lastResult; }

private:
    IDirectDrawPalette* m_palette;
    PALETTEENTRY m_entries[256];
    uint32_t m_unused;
    HRESULT m_lastResult;
    char m_errorText[YDX_ERROR_TEXT];
    char m_method[YDX_METHOD_TEXT];
};

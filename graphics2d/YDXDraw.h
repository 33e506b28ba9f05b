// The DirectDraw 7 object of one display driver, and the names of the
// DirectDraw results that every DirectX wrapper puts in its error text.
#pragma once

#include "platform/ddraw.h"
#include "platform/mfc.h"

// Error texts of the DirectDraw wrappers hold this many characters, terminator included.
const int YDX_ERROR_TEXT = 128;
const int YDX_METHOD_TEXT = 32;

// Appends the name of a result ("DDERR_SURFACELOST\n", or "UNIDENTIFIED\n")
// to text, which holds size characters in all; a name that does not fit is cut.
void DDErrorName(HRESULT result, char* text, int size = YDX_ERROR_TEXT);

class YDXDraw : public CObject {
    DECLARE_DYNAMIC(YDXDraw)

public:
    YDXDraw();
    ~YDXDraw() override;

    int Create(GUID guid);
    int SetMode(int mode, HWND window);
    int SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate, DWORD flags);
    int Cleanup();
    const char* GetErrorText();
    // The text as the last failure built it.
    const char* GetLastErrorText() const { return m_errorText; }
    static void GetResultName(HRESULT result, CString& out);

    IDirectDraw7* GetDirectDraw() const { return m_directDraw; }
    const GUID& GetDeviceGuid() const { return m_deviceGuid; }
    int GetMode() const { return m_mode; }
    HRESULT GetLastResult() const { return m_lastResult; }
    const char* GetMethod() const { return m_method; }

protected:
    void Reset();

    IDirectDraw7* m_directDraw;
    GUID m_deviceGuid;
    int32_t m_mode;
    HRESULT m_lastResult;
    char m_errorText[YDX_ERROR_TEXT];
    char m_method[YDX_METHOD_TEXT];
};

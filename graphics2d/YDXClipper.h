// A DirectDraw clipper: bound to a window or holding a clip list.
#pragma once

#include "graphics2d/YDXDraw.h"

class YDXSurface;

class YDXClipper : public CObject {
    DECLARE_DYNAMIC(YDXClipper)

public:
    YDXClipper();
    ~YDXClipper() override;
    void Init();

    int CreateClipper(YDXDraw* display);
    int SetHwnd(HWND window);
    int SetClipList(YDXSurface* surface, RGNDATA* regionData);
    int SetClipList(void* owner, const RECT* rectangles, int count);
    const char* GetErrorText();
    // The text as the last failure built it.
    const char* GetLastErrorText() const { return m_errorText; }

    IDirectDrawClipper* GetClipper() const { return m_clipper; }
    HRESULT GetLastResult() const { return m_lastResult; }

private:
    int SetBlock(RGNDATA* block);

    IDirectDrawClipper* m_clipper;
    HRESULT m_lastResult;
    char m_errorText[YDX_ERROR_TEXT];
    char m_method[YDX_METHOD_TEXT];
};

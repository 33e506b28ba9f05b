// One display mode of a display driver, as EnumDisplayModes reported it.
#pragma once

#include "platform/ddraw.h"
#include "platform/mfc.h"

class YDXMode : public CObject {
    DECLARE_DYNAMIC(YDXMode)

public:
    explicit YDXMode(const DDSURFACEDESC2& description) : m_description(description) {}
    // "%d x %d x %d": width, height, bits per pixel.
    CString GetText() const;
    DWORD GetBits() const { return m_description.ddpfPixelFormat.dwRGBBitCount; }

    DDSURFACEDESC2 m_description;
};

typedef CTypedPtrList<CPtrList, YDXMode*> YDXModeList;

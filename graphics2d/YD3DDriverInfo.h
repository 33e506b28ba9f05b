// One DirectDraw display driver: its caps, its modes and its 3D devices.
#pragma once

#include "graphics2d/YDXDevice.h"

class YD3DDriverInfo : public CObject {
    DECLARE_DYNAMIC(YD3DDriverInfo)

public:
    YD3DDriverInfo();
    ~YD3DDriverInfo() override;

    CString m_description;
    CString m_name;
    GUID m_guid;
    GUID* m_guidPointer;  // null for the primary display driver
    DDCAPS m_hardwareCaps;
    DDCAPS m_emulationCaps;
    YDXModeList m_modes;  // owned
    YDXMode* m_selectedMode;
    YDXDeviceList m_devices;  // owned
    YDXDevice* m_selectedDevice;
    uint8_t m_canRenderWindowed;
    uint32_t m_unused;
};

typedef CTypedPtrList<CPtrList, YD3DDriverInfo*> YD3DDriverList;

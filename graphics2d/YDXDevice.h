// One Direct3D 7 device of a display driver and the modes it renders into.
#pragma once

#include "graphics2d/YDXMode.h"
#include "platform/d3d.h"

class YDXDevice : public CObject {
    DECLARE_DYNAMIC(YDXDevice)

public:
    YDXDevice(const char* name, const char* description, const D3DDEVICEDESC7& deviceDescription);

    CString m_name;
    CString m_description;
    D3DDEVICEDESC7 m_deviceDescription;
    uint32_t m_hardware;
    uint32_t m_stereo;
    YDXModeList m_modes;  // the driver owns these
    YDXMode* m_selectedMode;
};

typedef CTypedPtrList<CPtrList, YDXDevice*> YDXDeviceList;

#include "graphics2d/YD3DDriverInfo.h"

IMPLEMENT_DYNAMIC(YDXMode, CObject)
IMPLEMENT_DYNAMIC(YDXDevice, CObject)
IMPLEMENT_DYNAMIC(YD3DDriverInfo, CObject)

CString YDXMode::GetText() const
{
    CString text;
    text.Format("%d x %d x %d", static_cast<int>(m_description.dwWidth), static_cast<int>(m_description.dwHeight),
                static_cast<int>(m_description.ddpfPixelFormat.dwRGBBitCount));
    return text;
}

YDXDevice::YDXDevice(const char* name, const char* description, const D3DDEVICEDESC7& deviceDescription)
    : m_name(name), m_description(description), m_deviceDescription(deviceDescription),
      m_hardware(deviceDescription.dwDevCaps & D3DDEVCAPS_HWRASTERIZATION), m_stereo(0), m_selectedMode(nullptr)
{
}

YD3DDriverInfo::YD3DDriverInfo()
    : m_guidPointer(nullptr), m_selectedMode(nullptr), m_selectedDevice(nullptr), m_canRenderWindowed(1),
      m_unused(1)
{
    memset(&m_guid, 0, sizeof m_guid);
    memset(&m_hardwareCaps, 0, sizeof m_hardwareCaps);
    memset(&m_emulationCaps, 0, sizeof m_emulationCaps);
    m_hardwareCaps.dwSize = sizeof m_hardwareCaps;
    m_emulationCaps.dwSize = sizeof m_emulationCaps;
}

YD3DDriverInfo::~YD3DDriverInfo()
{
    // A device's mode list refers to the driver's modes: empty it before deleting.
    while (!m_devices.IsEmpty()) {
        YDXDevice* device = m_devices.RemoveHead();
        device->m_modes.RemoveAll();
        delete device;
    }
    while (!m_modes.IsEmpty()) delete m_modes.RemoveHead();
    m_selectedMode = nullptr;
    m_selectedDevice = nullptr;
}

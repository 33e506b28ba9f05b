#include "graphics2d/YDXDrawDrivers.h"

#include <memory>

IMPLEMENT_DYNAMIC(YDXDrawDrivers, CObject)

YD3DDriverList YDXDrawDrivers::s_drivers(10);
YDXDeviceConfirm YDXDrawDrivers::s_confirm = nullptr;
DWORD YDXDrawDrivers::s_enumerated = 0;
DWORD YDXDrawDrivers::s_accepted = 0;
YD3DDriverInfo* YDXDrawDrivers::s_current = nullptr;

namespace {
// Empties the driver list when the program ends.
struct DriverListCleanup {
    ~DriverListCleanup() { YDXDrawDrivers::Clear(); }
} g_driverListCleanup;

bool SameGuid(const GUID& a, const GUID& b)
{
    const uint32_t* x = reinterpret_cast<const uint32_t*>(&a);
    const uint32_t* y = reinterpret_cast<const uint32_t*>(&b);
    return x[0] == y[0] && x[1] == y[1] && x[2] == y[2] && x[3] == y[3];
}
}  // namespace

YDXDrawDrivers* YDXDrawDrivers::Get()
{
    static std::unique_ptr<YDXDrawDrivers> instance(new YDXDrawDrivers());
    return instance.get();
}

void YDXDrawDrivers::Clear()
{
    while (!s_drivers.IsEmpty()) delete s_drivers.RemoveHead();
    s_current = nullptr;
}

HRESULT YDXDrawDrivers::Enumerate(YDXDeviceConfirm confirm)
{
    s_confirm = confirm;
    s_enumerated = 0;
    s_accepted = 0;
    s_current = nullptr;
    Clear();
    DirectDrawEnumerateExA(DriverCallback, nullptr,
                           DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES | DDENUM_NONDISPLAYDEVICES);
    if (s_enumerated == 0) return YDXDRIVERS_NODEVICE;
    if (s_accepted == 0) return YDXDRIVERS_NOACCEPTED;
    SetDevice("display", "Direct3D HAL", "640 x 480 x 16");
    if (!s_current) return YDXDRIVERS_NODISPLAY;
    if (!s_current->m_selectedDevice) SetDevice("display", "RGB Emulation", "640 x 480 x 16");
    if (!s_current->m_selectedDevice) SetDevice("display", "", "");
    return 0;
}

BOOL CALLBACK YDXDrawDrivers::DriverCallback(GUID* guid, LPSTR description, LPSTR name, LPVOID, HMONITOR)
{
    void* created = nullptr;
    if (FAILED(DirectDrawCreateEx(guid, &created, IID_IDirectDraw7, nullptr)) || !created) return FALSE;
    IDirectDraw7* directDraw = static_cast<IDirectDraw7*>(created);
    void* queried = nullptr;
    if (FAILED(directDraw->QueryInterface(IID_IDirect3D7, &queried)) || !queried) {
        directDraw->Release();
        return TRUE;
    }
    IDirect3D7* direct3D = static_cast<IDirect3D7*>(queried);
    YD3DDriverInfo* driver = new YD3DDriverInfo();
    s_drivers.AddTail(driver);
    driver->m_description = description;
    driver->m_name = name;
    directDraw->GetCaps(&driver->m_hardwareCaps, &driver->m_emulationCaps);
    if (guid) {
        driver->m_guid = *guid;
        driver->m_guidPointer = &driver->m_guid;
    }
    driver->m_canRenderWindowed = (driver->m_hardwareCaps.dwCaps2 & DDCAPS2_CANRENDERWINDOWED) ? 1 : 0;
    directDraw->EnumDisplayModes(0, nullptr, driver, ModeCallback);
    direct3D->EnumDevices(DeviceCallback, driver);
    direct3D->Release();
    directDraw->Release();
    return TRUE;
}

HRESULT CALLBACK YDXDrawDrivers::ModeCallback(LPDDSURFACEDESC2 desc, LPVOID context)
{
    static_cast<YD3DDriverInfo*>(context)->m_modes.AddTail(new YDXMode(*desc));
    return DDENUMRET_OK;
}

HRESULT CALLBACK YDXDrawDrivers::DeviceCallback(LPSTR description, LPSTR name, LPD3DDEVICEDESC7 desc, LPVOID context)
{
    YD3DDriverInfo* driver = static_cast<YD3DDriverInfo*>(context);
    ++s_enumerated;
    std::unique_ptr<YDXDevice> device(new YDXDevice(name, description, *desc));
    if (driver->m_guidPointer && !device->m_hardware) return D3DENUMRET_OK;
    if (s_confirm && s_confirm(nullptr) < 0) return D3DENUMRET_OK;
    POSITION pos = driver->m_modes.GetHeadPosition();
    while (pos) {
        YDXMode* mode = driver->m_modes.GetNext(pos);
        DWORD bits = mode->GetBits();
        if ((bits == 32 && (desc->dwDeviceRenderBitDepth & DDBD_32)) ||
            (bits == 16 && (desc->dwDeviceRenderBitDepth & DDBD_16))) {
            device->m_modes.AddTail(mode);
            if (mode->m_description.ddsCaps.dwCaps2 & DDSCAPS2_STEREOSURFACELEFT) device->m_stereo = 1;
        }
    }
    if (device->m_modes.IsEmpty()) return D3DENUMRET_OK;
    pos = device->m_modes.GetHeadPosition();
    while (pos) {
        YDXMode* mode = device->m_modes.GetNext(pos);
        if (mode->m_description.dwWidth == 640 && mode->m_description.dwHeight == 480 && mode->GetBits() == 16)
            device->m_selectedMode = mode;
    }
    driver->m_devices.AddTail(device.release());
    ++s_accepted;
    return D3DENUMRET_OK;
}

YD3DDriverInfo* YDXDrawDrivers::FindDriver(const char* name)
{
    POSITION pos = s_drivers.GetHeadPosition();
    while (pos) {
        YD3DDriverInfo* driver = s_drivers.GetNext(pos);
        if (name && driver->m_name == name) return driver;
    }
    return nullptr;
}

int YDXDrawDrivers::SetDevice(const char* driverName, const char* deviceName, const char* modeText)
{
    // An unknown driver name fails: the previous driver and its device stay as they were.
    YD3DDriverInfo* driver = FindDriver(driverName);
    if (!driver) return 0;
    s_current = driver;
    if (driver->m_devices.IsEmpty()) return 0;
    YDXDevice* chosen = nullptr;
    POSITION pos = driver->m_devices.GetHeadPosition();
    while (pos) {
        YDXDevice* device = driver->m_devices.GetNext(pos);
        if (!deviceName || !*deviceName || device->m_name == deviceName) {
            chosen = device;
            break;
        }
    }
    if (!chosen) return 0;
    driver->m_selectedDevice = chosen;
    pos = chosen->m_modes.GetHeadPosition();
    while (pos) {
        YDXMode* mode = chosen->m_modes.GetNext(pos);
        if (!modeText || !*modeText || mode->GetText() == modeText) {
            chosen->m_selectedMode = mode;
            return 1;
        }
    }
    return 0;
}

YD3DDriverList* YDXDrawDrivers::GetDriverList()
{
    return &s_drivers;
}

GUID* YDXDrawDrivers::GetSelectedDeviceGuid()
{
    if (!s_current || !s_current->m_selectedDevice) return nullptr;
    return &s_current->m_selectedDevice->m_deviceDescription.deviceGUID;
}

D3DDEVICEDESC7* YDXDrawDrivers::GetSelectedDeviceDesc()
{
    if (!s_current || !s_current->m_selectedDevice) return nullptr;
    return &s_current->m_selectedDevice->m_deviceDescription;
}

bool YDXDrawDrivers::CanRenderWindowed(const GUID& guid)
{
    POSITION pos = s_drivers.GetHeadPosition();
    while (pos) {
        YD3DDriverInfo* driver = s_drivers.GetNext(pos);
        if (SameGuid(driver->m_guid, guid)) return driver->m_canRenderWindowed != 0;
    }
    return true;
}

bool YDXDrawDrivers::CanRenderWindowedByName(const char* description)
{
    POSITION pos = s_drivers.GetHeadPosition();
    while (pos) {
        YD3DDriverInfo* driver = s_drivers.GetNext(pos);
        if (description && driver->m_description.CompareNoCase(description) == 0)
            return driver->m_canRenderWindowed != 0;
    }
    return true;
}

void YDXDrawDrivers::GetDriverNames(CStringArray& array)
{
    POSITION pos = s_drivers.GetHeadPosition();
    while (pos) array.Add(s_drivers.GetNext(pos)->m_name);
}

void YDXDrawDrivers::GetDriverDescriptions(CStringArray& array)
{
    POSITION pos = s_drivers.GetHeadPosition();
    while (pos) array.Add(s_drivers.GetNext(pos)->m_description);
}

void YDXDrawDrivers::GetSupportedModes(const char* driverName, CStringArray& array)
{
    YD3DDriverInfo* driver = FindDriver(driverName);
    if (!driver) return;
    if (!driver->m_selectedDevice && !driver->m_devices.IsEmpty()) driver->m_selectedDevice = driver->m_devices.GetHead();
    if (!driver->m_selectedDevice) return;
    POSITION pos = driver->m_selectedDevice->m_modes.GetHeadPosition();
    while (pos) array.Add(driver->m_selectedDevice->m_modes.GetNext(pos)->GetText());
}

CString YDXDrawDrivers::GetSelectedDeviceName(const char* driverName)
{
    YD3DDriverInfo* driver = FindDriver(driverName);
    if (!driver || !driver->m_selectedDevice) return CString();
    return driver->m_selectedDevice->m_name;
}

GUID* YDXDrawDrivers::GetDriverGuidPointer(const char* driverName)
{
    YD3DDriverInfo* driver = FindDriver(driverName);
    return driver ? driver->m_guidPointer : nullptr;
}

GUID YDXDrawDrivers::GetDriverGuid(const char* driverName)
{
    YD3DDriverInfo* driver = FindDriver(driverName);
    if (driver) return driver->m_guid;
    GUID none;
    memset(&none, 0, sizeof none);
    return none;
}

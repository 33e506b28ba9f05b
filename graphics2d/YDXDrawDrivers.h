// The catalogue of display drivers, their 3D devices and the modes each
// device renders into, with the selected driver, device and mode.
#pragma once

#include "graphics2d/YD3DDriverInfo.h"

// Results of Enumerate besides 0.
const HRESULT YDXDRIVERS_NODEVICE = static_cast<HRESULT>(0x81000002);    // no device enumerated at all
const HRESULT YDXDRIVERS_NOACCEPTED = static_cast<HRESULT>(0x81000003);  // none accepted
const HRESULT YDXDRIVERS_NODISPLAY = static_cast<HRESULT>(0x81000001);   // no driver named "display"

typedef LONG (*YDXDeviceConfirm)(void* argument);

class YDXDrawDrivers : public CObject {
    DECLARE_DYNAMIC(YDXDrawDrivers)

public:
    static YDXDrawDrivers* Get();

    static HRESULT Enumerate(YDXDeviceConfirm confirm);
    static int SetDevice(const char* driverName, const char* deviceName, const char* modeText);
    static YD3DDriverList* GetDriverList();
    static GUID* GetSelectedDeviceGuid();
    static D3DDEVICEDESC7* GetSelectedDeviceDesc();
    static bool CanRenderWindowed(const GUID& guid);
    static bool CanRenderWindowedByName(const char* description);
    static void GetDriverNames(CStringArray& array);
    static void GetDriverDescriptions(CStringArray& array);
    static void GetSupportedModes(const char* driverName, CStringArray& array);
    static CString GetSelectedDeviceName(const char* driverName);
    static GUID* GetDriverGuidPointer(const char* driverName);
    static GUID GetDriverGuid(const char* driverName);
    static void Clear();

    static YD3DDriverInfo* GetCurrentDriver() { return s_current; }
    static DWORD GetEnumeratedCount() { return s_enumerated; }
    static DWORD GetAcceptedCount() { return s_accepted; }

private:
    YDXDrawDrivers() = default;
    static YD3DDriverInfo* FindDriver(const char* name);
    static BOOL CALLBACK DriverCallback(GUID* guid, LPSTR description, LPSTR name, LPVOID context, HMONITOR monitor);
    static HRESULT CALLBACK ModeCallback(LPDDSURFACEDESC2 desc, LPVOID context);
    static HRESULT CALLBACK DeviceCallback(LPSTR description, LPSTR name, LPD3DDEVICEDESC7 desc, LPVOID context);

    static YD3DDriverList s_drivers;
    static YDXDeviceConfirm s_confirm;
    static DWORD s_enumerated;
    static DWORD s_accepted;
    static YD3DDriverInfo* s_current;
};

// The DirectDraw entry points, driver enumeration and the interface ids.
#include "platform/DirectDrawClipper.h"
#include "platform/DirectDrawObject.h"
#include "platform/backend/Environment.h"

namespace {
const GUID kSecondaryDriver = {0x52435644, 0x0002, 0x4449, {0x53, 0x50, 0x4C, 0x41, 0x59, 0x00, 0x00, 0x02}};
}  // namespace

const GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDirectDraw7 = {0x52435644, 0x0001, 0x0007, {0x44, 0x44, 0x52, 0x41, 0x57, 0x00, 0x00, 0x01}};
const IID IID_IDirectDrawSurface7 = {0x52435644, 0x0002, 0x0007, {0x44, 0x44, 0x53, 0x55, 0x52, 0x46, 0x00, 0x02}};
const IID IID_IDirectDrawClipper = {0x52435644, 0x0003, 0x0007, {0x44, 0x44, 0x43, 0x4C, 0x49, 0x50, 0x00, 0x03}};
const IID IID_IDirectDrawPalette = {0x52435644, 0x0004, 0x0007, {0x44, 0x44, 0x50, 0x41, 0x4C, 0x00, 0x00, 0x04}};
const CLSID CLSID_DirectDraw = {0x52435644, 0x0010, 0x0000, {0x43, 0x4C, 0x53, 0x49, 0x44, 0x00, 0x00, 0x10}};
const CLSID CLSID_DirectDraw7 = {0x52435644, 0x0011, 0x0007, {0x43, 0x4C, 0x53, 0x49, 0x44, 0x00, 0x00, 0x11}};
const IID IID_IDirect3D7 = {0x52435644, 0x0020, 0x0007, {0x44, 0x33, 0x44, 0x00, 0x00, 0x00, 0x00, 0x20}};
const IID IID_IDirect3DRGBDevice = {0x52435644, 0x0021, 0x0007, {0x44, 0x33, 0x44, 0x52, 0x47, 0x42, 0x00, 0x21}};
const IID IID_IDirect3DHALDevice = {0x52435644, 0x0022, 0x0007, {0x44, 0x33, 0x44, 0x48, 0x41, 0x4C, 0x00, 0x22}};
const IID IID_IDirect3DTnLHalDevice = {0x52435644, 0x0023, 0x0007, {0x44, 0x33, 0x44, 0x54, 0x4E, 0x4C, 0x00, 0x23}};
const IID IID_IDirect3DDevice7 = {0x52435644, 0x0024, 0x0007, {0x44, 0x33, 0x44, 0x44, 0x45, 0x56, 0x00, 0x24}};
const IID IID_IDirect3DVertexBuffer7 = {0x52435644, 0x0025, 0x0007, {0x44, 0x33, 0x44, 0x56, 0x42, 0x00, 0x00, 0x25}};

HRESULT WINAPI DirectDrawCreateEx(GUID* guid, LPVOID* directDraw, REFIID iid, IUnknown* outer)
{
    if (!directDraw) return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!IsEqualGUID(iid, IID_IDirectDraw7)) return DDERR_INVALIDPARAMS;
    if (platform::Environment::Forced("noddraw7")) return DDERR_NODIRECTDRAWSUPPORT;
    // Null, and the two small values that ask for hardware or emulation only, name the primary driver.
    GUID driver = GUID_NULL;
    if (reinterpret_cast<uintptr_t>(guid) > DDCREATE_EMULATIONONLY) {
        driver = *guid;
        bool secondary = platform::Environment::Forced("secondary") && IsEqualGUID(driver, kSecondaryDriver);
        if (!IsEqualGUID(driver, GUID_NULL) && !secondary) return DDERR_INVALIDDIRECTDRAWGUID;
    }
    *directDraw = static_cast<IDirectDraw7*>(new platform::DirectDrawObject(driver));
    return DD_OK;
}

HRESULT WINAPI DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, LPVOID context, DWORD flags)
{
    if (!callback) return DDERR_INVALIDPARAMS;
    if (platform::Environment::Forced("enumfail")) return DDERR_GENERIC;
    if (!platform::Environment::Forced("nodisplay")) {
        char description[] = "Primary Display Driver";
        char name[] = "display";
        if (!callback(nullptr, description, name, context, nullptr)) return DD_OK;
    }
    if (platform::Environment::Forced("secondary") && (flags & DDENUM_ATTACHEDSECONDARYDEVICES)) {
        GUID guid = kSecondaryDriver;
        char description[] = "Secondary Display Adapter";
        char name[] = "\\\\.\\DISPLAY2";
        callback(&guid, description, name, context, nullptr);
    }
    return DD_OK;
}

HRESULT WINAPI DirectDrawCreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer)
{
    if (!clipper || flags) return DDERR_INVALIDPARAMS;
    if (outer) return CLASS_E_NOAGGREGATION;
    *clipper = new platform::DirectDrawClipper(nullptr);
    return DD_OK;
}

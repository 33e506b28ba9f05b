#include "platform/dinput.h"

#include "platform/DirectInputJoystick.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

// Our own identifiers: "RCVI" and a running number.
const GUID IID_IDirectInput7A = {0x52435649, 0x0001, 0x0007, {0x44, 0x49, 0x4E, 0x50, 0x55, 0x54, 0x00, 0x01}};
const GUID IID_IDirectInputDevice7A = {0x52435649, 0x0002, 0x0007, {0x44, 0x49, 0x4E, 0x50, 0x55, 0x54, 0x00, 0x02}};
const GUID GUID_SysKeyboard = {0x52435649, 0x0003, 0x0000, {0x4B, 0x45, 0x59, 0x42, 0x00, 0x00, 0x00, 0x03}};
const GUID GUID_SysMouse = {0x52435649, 0x0004, 0x0000, {0x4D, 0x4F, 0x55, 0x53, 0x45, 0x00, 0x00, 0x04}};
const GUID GUID_XAxis = {0x52435649, 0x0010, 0x0000, {0x41, 0x58, 0x49, 0x53, 0x00, 0x00, 0x00, 0x10}};
const GUID GUID_YAxis = {0x52435649, 0x0011, 0x0000, {0x41, 0x58, 0x49, 0x53, 0x00, 0x00, 0x00, 0x11}};
const GUID GUID_ZAxis = {0x52435649, 0x0012, 0x0000, {0x41, 0x58, 0x49, 0x53, 0x00, 0x00, 0x00, 0x12}};
const GUID GUID_Button = {0x52435649, 0x0013, 0x0000, {0x42, 0x55, 0x54, 0x54, 0x00, 0x00, 0x00, 0x13}};
const GUID GUID_Key = {0x52435649, 0x0014, 0x0000, {0x4B, 0x45, 0x59, 0x00, 0x00, 0x00, 0x00, 0x14}};
const GUID DIPROP_BUFFERSIZE = {0x52435649, 0x0020, 0x0000, {0x50, 0x52, 0x4F, 0x50, 0x00, 0x00, 0x00, 0x01}};
const GUID DIPROP_AXISMODE = {0x52435649, 0x0021, 0x0000, {0x50, 0x52, 0x4F, 0x50, 0x00, 0x00, 0x00, 0x02}};
const GUID DIPROP_RANGE = {0x52435649, 0x0022, 0x0000, {0x50, 0x52, 0x4F, 0x50, 0x00, 0x00, 0x00, 0x03}};
const GUID DIPROP_DEADZONE = {0x52435649, 0x0023, 0x0000, {0x50, 0x52, 0x4F, 0x50, 0x00, 0x00, 0x00, 0x04}};
const GUID DIPROP_AUTOCENTER = {0x52435649, 0x0024, 0x0000, {0x50, 0x52, 0x4F, 0x50, 0x00, 0x00, 0x00, 0x05}};
const GUID DIPROP_CALIBRATIONMODE = {0x52435649, 0x0025, 0x0000, {0x50, 0x52, 0x4F, 0x50, 0x00, 0x00, 0x00, 0x06}};
// The generic joystick product, as DirectInput names it.
const GUID GUID_Joystick = {0x6F1D2B70, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_ConstantForce = {0x52435649, 0x0030, 0x0000, {0x46, 0x46, 0x42, 0x00, 0x00, 0x00, 0x00, 0x01}};
const GUID GUID_Sine = {0x52435649, 0x0031, 0x0000, {0x46, 0x46, 0x42, 0x00, 0x00, 0x00, 0x00, 0x02}};
const GUID GUID_CustomForce = {0x52435649, 0x0032, 0x0000, {0x46, 0x46, 0x42, 0x00, 0x00, 0x00, 0x00, 0x03}};

// The standard formats carry no object list: devices know them by address.
const DIDATAFORMAT c_dfDIKeyboard = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 256, 0, nullptr};
const DIDATAFORMAT c_dfDIMouse = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS,
                                  sizeof(DIMOUSESTATE), 0, nullptr};
const DIDATAFORMAT c_dfDIMouse2 = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS,
                                   sizeof(DIMOUSESTATE2), 0, nullptr};
const DIDATAFORMAT c_dfDIJoystick = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_ABSAXIS,
                                    sizeof(DIJOYSTATE), 0, nullptr};

namespace {
class Device;

// What all devices share: the keys and buttons held, the focus, the
// record sequence and the live devices to feed.
struct InputState {
    BYTE keys[256] = {};
    BYTE buttons[8] = {};
    bool focus = true;
    DWORD sequence = 0;
    std::vector<Device*> devices;
    int relativeHolders = 0;  // mice acquired exclusively
};

InputState& S()
{
    static InputState* state = new InputState;  // outlives static destruction
    return *state;
}

// The backend's relative mouse is on while any mouse is acquired exclusively.
void HoldRelativeMouse(bool hold)
{
    InputState& s = S();
    const int before = s.relativeHolders;
    s.relativeHolders = std::max(0, before + (hold ? 1 : -1));
    if ((before > 0) != (s.relativeHolders > 0)) platform::Backend::Get().SetRelativeMouse(s.relativeHolders > 0);
}

class Device : public IDirectInputDevice7A {
public:
    explicit Device(bool keyboard) : m_keyboard(keyboard) { S().devices.push_back(this); }
    ~Device() override
    {
        m_acquired = false;
        UpdateRelative();
        auto& devices = S().devices;
        devices.erase(std::remove(devices.begin(), devices.end(), this), devices.end());
    }

    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDirectInputDevice7A) return E_NOINTERFACE;
        AddRef();
        *object = this;
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        ULONG refs = --m_refs;
        if (refs == 0) delete this;
        return refs;
    }

    HRESULT GetCapabilities(LPDIDEVCAPS caps) override
    {
        if (!caps || caps->dwSize != sizeof(DIDEVCAPS)) return DIERR_INVALIDPARAM;
        std::memset(caps, 0, sizeof *caps);
        caps->dwSize = sizeof(DIDEVCAPS);
        caps->dwFlags = DIDC_ATTACHED;
        caps->dwDevType = m_keyboard ? DIDEVTYPE_KEYBOARD : DIDEVTYPE_MOUSE;
        caps->dwAxes = m_keyboard ? 0 : 3;
        caps->dwButtons = m_keyboard ? 256 : 3;
        return DI_OK;
    }

    HRESULT GetProperty(REFGUID property, LPDIPROPHEADER header) override
    {
        if (!ValidHeader(header)) return DIERR_INVALIDPARAM;
        DWORD& value = reinterpret_cast<LPDIPROPDWORD>(header)->dwData;
        if (property == DIPROP_BUFFERSIZE) {
            value = m_bufferSize;
            return DI_OK;
        }
        if (property == DIPROP_AXISMODE) {
            if (m_keyboard) return DIERR_UNSUPPORTED;
            value = m_absolute ? DIPROPAXISMODE_ABS : DIPROPAXISMODE_REL;
            return DI_OK;
        }
        return DIERR_UNSUPPORTED;
    }

    HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) override
    {
        if (!ValidHeader(header)) return DIERR_INVALIDPARAM;
        DWORD value = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
        if (property == DIPROP_BUFFERSIZE) {
            if (m_acquired) return DIERR_ACQUIRED;
            m_bufferSize = value;
            m_buffer.clear();
            return DI_OK;
        }
        if (property == DIPROP_AXISMODE) {
            if (m_keyboard) return DIERR_UNSUPPORTED;
            if (m_acquired) return DIERR_ACQUIRED;
            if (value != DIPROPAXISMODE_ABS && value != DIPROPAXISMODE_REL) return DIERR_INVALIDPARAM;
            m_absolute = value == DIPROPAXISMODE_ABS;
            return DI_OK;
        }
        return DIERR_UNSUPPORTED;
    }

    HRESULT Acquire() override
    {
        if (!m_format) return DIERR_INVALIDPARAM;
        if (m_acquired) return S_FALSE;
        if (m_foreground && !S().focus) return DIERR_OTHERAPPHASPRIO;
        m_acquired = true;
        m_lost = false;
        m_buffer.clear();
        m_overflow = false;
        m_dx = m_dy = m_dz = 0;
        UpdateRelative();
        return DI_OK;
    }

    HRESULT Unacquire() override
    {
        if (!m_acquired) return S_FALSE;
        m_acquired = false;
        m_lost = false;
        UpdateRelative();
        return DI_OK;
    }

    HRESULT GetDeviceState(DWORD size, LPVOID data) override
    {
        if (!data || !m_format || size != m_format->dwDataSize) return DIERR_INVALIDPARAM;
        HRESULT ready = Ready();
        if (ready != DI_OK) return ready;
        if (m_keyboard) {
            std::memcpy(data, S().keys, 256);
            return DI_OK;
        }
        // Both mouse states start with three LONGs and then the buttons.
        LONG axes[3];
        if (m_absolute) {
            axes[0] = m_x;
            axes[1] = m_y;
            axes[2] = m_z;
        } else {
            axes[0] = m_dx;
            axes[1] = m_dy;
            axes[2] = m_dz;
            m_dx = m_dy = m_dz = 0;
        }
        BYTE* out = static_cast<BYTE*>(data);
        std::memcpy(out, axes, sizeof axes);
        std::memcpy(out + sizeof axes, S().buttons, size - sizeof axes);
        return DI_OK;
    }

    HRESULT GetDeviceData(DWORD objectSize, LPDIDEVICEOBJECTDATA data, LPDWORD inOut, DWORD flags) override
    {
        if (!inOut || objectSize != sizeof(DIDEVICEOBJECTDATA) || (flags & ~DWORD(DIGDD_PEEK))) return DIERR_INVALIDPARAM;
        DWORD wanted = *inOut;
        *inOut = 0;
        if (!m_format) return DIERR_INVALIDPARAM;
        if (m_bufferSize == 0) return DIERR_NOTBUFFERED;
        HRESULT ready = Ready();
        if (ready != DI_OK) return ready;
        size_t count = std::min<size_t>(wanted, m_buffer.size());
        if (data)
            for (size_t i = 0; i < count; ++i) data[i] = m_buffer[i];
        if (!(flags & DIGDD_PEEK)) m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<long>(count));
        *inOut = static_cast<DWORD>(count);
        HRESULT result = m_overflow ? DI_BUFFEROVERFLOW : DI_OK;
        if (!(flags & DIGDD_PEEK)) m_overflow = false;
        return result;
    }

    HRESULT SetDataFormat(LPCDIDATAFORMAT format) override
    {
        if (!format) return DIERR_INVALIDPARAM;
        if (m_acquired) return DIERR_ACQUIRED;
        bool fits = m_keyboard ? format == &c_dfDIKeyboard : (format == &c_dfDIMouse || format == &c_dfDIMouse2);
        if (!fits) return DIERR_INVALIDPARAM;
        m_format = format;
        return DI_OK;
    }

    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override
    {
        bool exclusive = flags & DISCL_EXCLUSIVE, shared = flags & DISCL_NONEXCLUSIVE;
        bool foreground = flags & DISCL_FOREGROUND, background = flags & DISCL_BACKGROUND;
        if (exclusive == shared || foreground == background) return DIERR_INVALIDPARAM;
        if (!window && foreground) return DIERR_INVALIDPARAM;
        if (m_acquired) return DIERR_ACQUIRED;
        m_foreground = foreground;
        m_exclusive = exclusive;
        return DI_OK;
    }

    HRESULT GetDeviceInfo(LPDIDEVICEINSTANCEA info) override;

    HRESULT Poll() override { return m_acquired ? DI_NOEFFECT : DIERR_NOTACQUIRED; }
    HRESULT CreateEffect(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT* out, LPUNKNOWN) override
    {
        if (out) *out = nullptr;
        return DIERR_UNSUPPORTED;
    }
    HRESULT SendForceFeedbackCommand(DWORD) override { return DIERR_UNSUPPORTED; }

    void Feed(const platform::BackendEvent& e);
    void FocusLost()
    {
        if (m_acquired && m_foreground) {
            m_acquired = false;
            m_lost = true;
            UpdateRelative();
        }
    }

private:
    static bool ValidHeader(LPCDIPROPHEADER header)
    {
        return header && header->dwSize == sizeof(DIPROPDWORD) && header->dwHeaderSize == sizeof(DIPROPHEADER) &&
               header->dwHow == DIPH_DEVICE && header->dwObj == 0;
    }

    // An exclusive mouse takes the relative mouse while it is acquired.
    void UpdateRelative()
    {
        const bool hold = !m_keyboard && m_exclusive && m_acquired;
        if (hold == m_holdsRelative) return;
        m_holdsRelative = hold;
        HoldRelativeMouse(hold);
    }

    // Input lost is told once; afterwards the device is just not acquired.
    HRESULT Ready()
    {
        if (m_acquired) return DI_OK;
        if (m_lost) {
            m_lost = false;
            return DIERR_INPUTLOST;
        }
        return DIERR_NOTACQUIRED;
    }

    void Record(DWORD offset, DWORD data)
    {
        if (!m_acquired || m_bufferSize == 0) return;
        if (m_buffer.size() >= m_bufferSize) {
            m_overflow = true;
            return;
        }
        m_buffer.push_back(DIDEVICEOBJECTDATA{offset, data, platform::Clock::Now(), ++S().sequence});
    }

    bool m_keyboard;
    ULONG m_refs = 1;
    LPCDIDATAFORMAT m_format = nullptr;
    bool m_foreground = true;
    bool m_exclusive = false;
    bool m_holdsRelative = false;
    bool m_acquired = false;
    bool m_lost = false;
    DWORD m_bufferSize = 0;
    std::deque<DIDEVICEOBJECTDATA> m_buffer;
    bool m_overflow = false;
    bool m_absolute = false;
    LONG m_x = 0, m_y = 0, m_z = 0;     // absolute axes
    LONG m_dx = 0, m_dy = 0, m_dz = 0;  // motion since the last state
};

void FillInstance(DIDEVICEINSTANCEA& info, bool keyboard)
{
    std::memset(&info, 0, sizeof info);
    info.dwSize = sizeof info;
    info.guidInstance = keyboard ? GUID_SysKeyboard : GUID_SysMouse;
    info.guidProduct = info.guidInstance;
    info.dwDevType = keyboard ? DIDEVTYPE_KEYBOARD : DIDEVTYPE_MOUSE;
    const char* name = keyboard ? "Keyboard" : "Mouse";
    std::strncpy(info.tszInstanceName, name, MAX_PATH - 1);
    std::strncpy(info.tszProductName, name, MAX_PATH - 1);
    info.wUsagePage = 1;
    info.wUsage = keyboard ? 6 : 2;
}

HRESULT Device::GetDeviceInfo(LPDIDEVICEINSTANCEA info)
{
    if (!info || info->dwSize != sizeof(DIDEVICEINSTANCEA)) return DIERR_INVALIDPARAM;
    FillInstance(*info, m_keyboard);
    return DI_OK;
}

void Device::Feed(const platform::BackendEvent& e)
{
    using platform::BackendEvent;
    if (m_keyboard) {
        if ((e.kind == BackendEvent::KeyDown && !e.repeat) || e.kind == BackendEvent::KeyUp)
            Record(static_cast<DWORD>(e.scanCode & 0xFF), e.kind == BackendEvent::KeyDown ? 0x80 : 0);
        return;
    }
    switch (e.kind) {
    case BackendEvent::MouseMove:
        if (!m_acquired) break;
        m_x += e.dx;
        m_y += e.dy;
        m_dx += e.dx;
        m_dy += e.dy;
        if (e.dx) Record(DIMOFS_X, static_cast<DWORD>(m_absolute ? m_x : e.dx));
        if (e.dy) Record(DIMOFS_Y, static_cast<DWORD>(m_absolute ? m_y : e.dy));
        break;
    case BackendEvent::Wheel:
        if (!m_acquired) break;
        m_z += e.wheel;
        m_dz += e.wheel;
        Record(DIMOFS_Z, static_cast<DWORD>(m_absolute ? m_z : e.wheel));
        break;
    case BackendEvent::MouseDown:
    case BackendEvent::MouseUp:
        if (e.button >= 1 && e.button <= 3)
            Record(DIMOFS_BUTTON0 + static_cast<DWORD>(e.button - 1), e.kind == BackendEvent::MouseDown ? 0x80 : 0);
        break;
    default: break;
    }
}

class DirectInput : public IDirectInput7A {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDirectInput7A) return E_NOINTERFACE;
        AddRef();
        *object = this;
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        ULONG refs = --m_refs;
        if (refs == 0) delete this;
        return refs;
    }

    HRESULT CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICE* device, LPUNKNOWN outer) override
    {
        return CreateDeviceEx(instance, IID_IDirectInputDevice7A, reinterpret_cast<LPVOID*>(device), outer);
    }

    HRESULT EnumDevices(DWORD devType, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD flags) override
    {
        if (!callback) return DIERR_INVALIDPARAM;
        const bool forceFeedback = flags & DIEDFL_FORCEFEEDBACK;  // neither system device has it
        const bool kinds[2] = {true, false};
        for (bool keyboard : kinds) {
            DWORD type = keyboard ? DIDEVTYPE_KEYBOARD : DIDEVTYPE_MOUSE;
            if (forceFeedback || (devType != 0 && GET_DIDEVICE_TYPE(devType) != type)) continue;
            DIDEVICEINSTANCEA info;
            FillInstance(info, keyboard);
            if (callback(&info, context) == DIENUM_STOP) return DI_OK;
        }
        if (devType != 0 && GET_DIDEVICE_TYPE(devType) != DIDEVTYPE_JOYSTICK) return DI_OK;
        for (const platform::JoystickInfo& joystick : platform::Backend::Get().Joysticks()) {
            if (forceFeedback && !joystick.forceFeedback) continue;
            DIDEVICEINSTANCEA info;
            platform::DirectInputJoystick::FillInstance(info, joystick);
            if (callback(&info, context) == DIENUM_STOP) break;
        }
        return DI_OK;
    }

    HRESULT GetDeviceStatus(REFGUID instance) override
    {
        if (instance == GUID_SysKeyboard || instance == GUID_SysMouse) return DI_OK;
        return platform::DirectInputJoystick::Find(instance, nullptr) ? DI_OK : DIERR_DEVICENOTREG;
    }

    HRESULT Initialize(HINSTANCE, DWORD) override { return DI_OK; }

    HRESULT CreateDeviceEx(REFGUID instance, REFIID iid, LPVOID* device, LPUNKNOWN outer) override
    {
        if (!device) return DIERR_INVALIDPARAM;
        *device = nullptr;
        if (outer) return DIERR_NOAGGREGATION;
        if (iid != IID_IDirectInputDevice7A && iid != IID_IUnknown) return DIERR_NOINTERFACE;
        IDirectInputDevice7A* made = nullptr;
        platform::JoystickInfo joystick;
        if (instance == GUID_SysKeyboard || instance == GUID_SysMouse) made = new Device(instance == GUID_SysKeyboard);
        else if (platform::DirectInputJoystick::Find(instance, &joystick))
            made = new platform::DirectInputJoystick(joystick);
        else return DIERR_DEVICENOTREG;
        *device = made;
        return DI_OK;
    }

private:
    ULONG m_refs = 1;
};
}  // namespace

HRESULT WINAPI DirectInputCreateEx(HINSTANCE, DWORD version, REFIID iid, LPVOID* object, LPUNKNOWN outer)
{
    if (!object) return DIERR_INVALIDPARAM;
    *object = nullptr;
    if (outer) return DIERR_NOAGGREGATION;
    if (version < 0x0300) return DIERR_OLDDIRECTINPUTVERSION;
    if (version > 0x0700) return DIERR_BETADIRECTINPUTVERSION;
    if (iid != IID_IDirectInput7A && iid != IID_IUnknown) return DIERR_NOINTERFACE;
    *object = static_cast<IDirectInput7A*>(new DirectInput());
    return DI_OK;
}

HRESULT WINAPI DirectInputCreateA(HINSTANCE instance, DWORD version, LPDIRECTINPUT7A* object, LPUNKNOWN outer)
{
    return DirectInputCreateEx(instance, version, IID_IDirectInput7A, reinterpret_cast<LPVOID*>(object), outer);
}

namespace platform {
bool DirectInputHasFocus()
{
    return S().focus;
}

void FeedDirectInput(const BackendEvent& e)
{
    InputState& s = S();
    DirectInputJoystick::FeedAll(e);
    switch (e.kind) {
    case BackendEvent::KeyDown:
    case BackendEvent::KeyUp: s.keys[e.scanCode & 0xFF] = e.kind == BackendEvent::KeyDown ? 0x80 : 0; break;
    case BackendEvent::MouseDown:
    case BackendEvent::MouseUp:
        if (e.button >= 1 && e.button <= 3) s.buttons[e.button - 1] = e.kind == BackendEvent::MouseDown ? 0x80 : 0;
        break;
    case BackendEvent::FocusLost:
        s.focus = false;
        std::memset(s.keys, 0, sizeof s.keys);
        std::memset(s.buttons, 0, sizeof s.buttons);
        for (Device* device : s.devices) device->FocusLost();
        return;
    case BackendEvent::FocusGained: s.focus = true; return;
    default: break;
    }
    for (Device* device : s.devices) device->Feed(e);
}

const char* DirectInputResultName(HRESULT result)
{
    switch (result) {
    case DI_OK: return "DI_OK";
    case S_FALSE: return "DI_NOEFFECT";
    case DIERR_OLDDIRECTINPUTVERSION: return "DIERR_OLDDIRECTINPUTVERSION";
    case DIERR_BETADIRECTINPUTVERSION: return "DIERR_BETADIRECTINPUTVERSION";
    case DIERR_BADDRIVERVER: return "DIERR_BADDRIVERVER";
    case DIERR_DEVICENOTREG: return "DIERR_DEVICENOTREG";
    case DIERR_NOTFOUND: return "DIERR_NOTFOUND";
    case DIERR_INVALIDPARAM: return "DIERR_INVALIDPARAM";
    case DIERR_NOINTERFACE: return "DIERR_NOINTERFACE";
    case DIERR_GENERIC: return "DIERR_GENERIC";
    case DIERR_OUTOFMEMORY: return "DIERR_OUTOFMEMORY";
    case DIERR_UNSUPPORTED: return "DIERR_UNSUPPORTED";
    case DIERR_NOTINITIALIZED: return "DIERR_NOTINITIALIZED";
    case DIERR_ALREADYINITIALIZED: return "DIERR_ALREADYINITIALIZED";
    case DIERR_NOAGGREGATION: return "DIERR_NOAGGREGATION";
    case DIERR_OTHERAPPHASPRIO: return "DIERR_OTHERAPPHASPRIO";
    case DIERR_INPUTLOST: return "DIERR_INPUTLOST";
    case DIERR_ACQUIRED: return "DIERR_ACQUIRED";
    case DIERR_NOTACQUIRED: return "DIERR_NOTACQUIRED";
    case DIERR_NOTBUFFERED: return "DIERR_NOTBUFFERED";
    default: return "unknown";
    }
}

void ResetDirectInput()
{
    InputState& s = S();
    std::memset(s.keys, 0, sizeof s.keys);
    std::memset(s.buttons, 0, sizeof s.buttons);
    s.focus = true;
    DirectInputJoystick::ResetStates();
}
}  // namespace platform

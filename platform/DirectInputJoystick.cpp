#include "platform/DirectInputJoystick.h"

#include "platform/DirectInputEffect.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace platform {
namespace {
// What the backend's events have said about one joystick.
struct JoyState {
    LONG axes[JoystickInfo::kMaxAxes] = {};  // -32768..32767
    BYTE buttons[JoystickInfo::kMaxButtons] = {};
    DWORD hats[JoystickInfo::kMaxHats] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
};

struct Joysticks {
    std::map<int, JoyState> states;
    std::vector<DirectInputJoystick*> devices;
};

Joysticks& J()
{
    static Joysticks* joysticks = new Joysticks;  // outlives static destruction
    return *joysticks;
}

// The default range of an axis, before a program sets its own.
const LONG kDefaultMin = 0;
const LONG kDefaultMax = 65535;

// A backend axis value moved into [min, max], rounded to the nearest.
LONG Scale(LONG value, LONG min, LONG max)
{
    int64_t span = static_cast<int64_t>(max) - min;
    int64_t offset = static_cast<int64_t>(value) + 32768;
    return static_cast<LONG>(min + (offset * span + 32767) / 65535);
}

bool ValidDwordHeader(LPCDIPROPHEADER header)
{
    return header && header->dwSize == sizeof(DIPROPDWORD) && header->dwHeaderSize == sizeof(DIPROPHEADER) &&
           header->dwHow == DIPH_DEVICE && header->dwObj == 0;
}
}  // namespace

DirectInputJoystick::DirectInputJoystick(const JoystickInfo& info) : m_info(info)
{
    for (Range& range : m_ranges) range = Range{kDefaultMin, kDefaultMax};
    J().devices.push_back(this);
}

DirectInputJoystick::~DirectInputJoystick()
{
    auto& devices = J().devices;
    devices.erase(std::remove(devices.begin(), devices.end(), this), devices.end());
}

HRESULT DirectInputJoystick::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDirectInputDevice7A) return E_NOINTERFACE;
    AddRef();
    *object = this;
    return S_OK;
}

ULONG DirectInputJoystick::Release()
{
    ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

GUID DirectInputJoystick::InstanceGuid(int id)
{
    GUID guid = {0x52435649, 0x0100, 0x0000, {0x4A, 0x4F, 0x59, 0x00, 0x00, 0x00, 0x00, 0x00}};
    for (int i = 0; i < 4; ++i) guid.Data4[4 + i] = static_cast<BYTE>(static_cast<uint32_t>(id) >> (8 * i));
    return guid;
}

bool DirectInputJoystick::Find(REFGUID instance, JoystickInfo* info)
{
    for (const JoystickInfo& joystick : Backend::Get().Joysticks()) {
        if (InstanceGuid(joystick.id) == instance) {
            if (info) *info = joystick;
            return true;
        }
    }
    return false;
}

void DirectInputJoystick::FillInstance(DIDEVICEINSTANCEA& instance, const JoystickInfo& info)
{
    std::memset(&instance, 0, sizeof instance);
    instance.dwSize = sizeof instance;
    instance.guidInstance = InstanceGuid(info.id);
    instance.guidProduct = GUID_Joystick;
    instance.dwDevType = DIDEVTYPE_JOYSTICK | (DIDEVTYPEJOYSTICK_TRADITIONAL << 8);
    std::strncpy(instance.tszInstanceName, info.name.c_str(), MAX_PATH - 1);
    std::strncpy(instance.tszProductName, info.name.c_str(), MAX_PATH - 1);
    if (info.forceFeedback) instance.guidFFDriver = instance.guidInstance;
    instance.wUsagePage = 1;
    instance.wUsage = 4;
}

bool DirectInputJoystick::Attached() const
{
    for (const JoystickInfo& joystick : Backend::Get().Joysticks())
        if (joystick.id == m_info.id) return true;
    return false;
}

HRESULT DirectInputJoystick::GetCapabilities(LPDIDEVCAPS caps)
{
    if (!caps || caps->dwSize != sizeof(DIDEVCAPS)) return DIERR_INVALIDPARAM;
    std::memset(caps, 0, sizeof *caps);
    caps->dwSize = sizeof(DIDEVCAPS);
    caps->dwFlags = (Attached() ? DIDC_ATTACHED : 0) | (m_info.forceFeedback ? DIDC_FORCEFEEDBACK : 0);
    caps->dwDevType = DIDEVTYPE_JOYSTICK | (DIDEVTYPEJOYSTICK_TRADITIONAL << 8);
    caps->dwAxes = static_cast<DWORD>(m_info.axes);
    caps->dwButtons = static_cast<DWORD>(m_info.buttons);
    caps->dwPOVs = static_cast<DWORD>(m_info.hats);
    return DI_OK;
}

int DirectInputJoystick::AxisOf(const DIPROPHEADER& header) const
{
    if (header.dwHow != DIPH_BYOFFSET || header.dwObj % 4 != 0) return -1;
    int axis = static_cast<int>(header.dwObj / 4);
    return axis < m_info.axes ? axis : -1;
}

HRESULT DirectInputJoystick::GetProperty(REFGUID property, LPDIPROPHEADER header)
{
    if (!header || header->dwHeaderSize != sizeof(DIPROPHEADER)) return DIERR_INVALIDPARAM;
    if (property == DIPROP_RANGE) {
        if (header->dwSize != sizeof(DIPROPRANGE)) return DIERR_INVALIDPARAM;
        int axis = AxisOf(*header);
        if (axis < 0) return DIERR_OBJECTNOTFOUND;
        LPDIPROPRANGE range = reinterpret_cast<LPDIPROPRANGE>(header);
        range->lMin = m_ranges[axis].min;
        range->lMax = m_ranges[axis].max;
        return DI_OK;
    }
    if (!ValidDwordHeader(header)) return DIERR_INVALIDPARAM;
    DWORD& value = reinterpret_cast<LPDIPROPDWORD>(header)->dwData;
    if (property == DIPROP_AUTOCENTER) {
        if (!m_info.forceFeedback) return DIERR_UNSUPPORTED;
        value = m_autoCenter;
        return DI_OK;
    }
    if (property == DIPROP_CALIBRATIONMODE) {
        value = m_raw ? DIPROPCALIBRATIONMODE_RAW : DIPROPCALIBRATIONMODE_COOKED;
        return DI_OK;
    }
    return DIERR_UNSUPPORTED;
}

HRESULT DirectInputJoystick::SetProperty(REFGUID property, LPCDIPROPHEADER header)
{
    if (!header || header->dwHeaderSize != sizeof(DIPROPHEADER)) return DIERR_INVALIDPARAM;
    if (property == DIPROP_RANGE) {
        if (header->dwSize != sizeof(DIPROPRANGE)) return DIERR_INVALIDPARAM;
        const DIPROPRANGE* range = reinterpret_cast<const DIPROPRANGE*>(header);
        if (range->lMin >= range->lMax) return DIERR_INVALIDPARAM;
        if (m_acquired) return DIERR_ACQUIRED;
        Range wanted{range->lMin, range->lMax};
        if (header->dwHow == DIPH_DEVICE && header->dwObj == 0) {
            for (Range& each : m_ranges) each = wanted;
            return DI_OK;
        }
        int axis = AxisOf(*header);
        if (axis < 0) return DIERR_OBJECTNOTFOUND;
        m_ranges[axis] = wanted;
        return DI_OK;
    }
    if (!ValidDwordHeader(header)) return DIERR_INVALIDPARAM;
    DWORD value = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
    if (property == DIPROP_AUTOCENTER) {
        if (!m_info.forceFeedback) return DIERR_UNSUPPORTED;
        if (value != DIPROPAUTOCENTER_OFF && value != DIPROPAUTOCENTER_ON) return DIERR_INVALIDPARAM;
        if (m_acquired) return DIERR_ACQUIRED;
        m_autoCenter = value;
        return DI_OK;
    }
    if (property == DIPROP_CALIBRATIONMODE) {
        if (value != DIPROPCALIBRATIONMODE_COOKED && value != DIPROPCALIBRATIONMODE_RAW) return DIERR_INVALIDPARAM;
        if (m_acquired) return DIERR_ACQUIRED;
        m_raw = value == DIPROPCALIBRATIONMODE_RAW;
        return DI_OK;
    }
    return DIERR_UNSUPPORTED;
}

HRESULT DirectInputJoystick::Acquire()
{
    if (!m_format) return DIERR_INVALIDPARAM;
    if (m_acquired) return S_FALSE;
    if (!Attached()) return DIERR_INPUTLOST;
    if (m_foreground && !DirectInputHasFocus()) return DIERR_OTHERAPPHASPRIO;
    if (m_exclusive) {
        for (DirectInputJoystick* other : J().devices)
            if (other != this && other->m_info.id == m_info.id && other->ExclusivelyAcquired())
                return DIERR_OTHERAPPHASPRIO;
    }
    m_acquired = true;
    m_lost = false;
    return DI_OK;
}

HRESULT DirectInputJoystick::Unacquire()
{
    if (!m_acquired) return S_FALSE;
    StopEffects();
    m_acquired = false;
    m_lost = false;
    return DI_OK;
}

// Input lost is told once; afterwards the device is just not acquired.
HRESULT DirectInputJoystick::Ready()
{
    if (m_acquired) return DI_OK;
    if (m_lost) {
        m_lost = false;
        return DIERR_INPUTLOST;
    }
    return DIERR_NOTACQUIRED;
}

HRESULT DirectInputJoystick::GetDeviceState(DWORD size, LPVOID data)
{
    if (!data || !m_format || size != sizeof(DIJOYSTATE)) return DIERR_INVALIDPARAM;
    HRESULT ready = Ready();
    if (ready != DI_OK) return ready;
    const JoyState& held = J().states[m_info.id];
    DIJOYSTATE state;
    std::memset(&state, 0, sizeof state);
    LONG axes[JoystickInfo::kMaxAxes] = {};
    for (int axis = 0; axis < m_info.axes && axis < JoystickInfo::kMaxAxes; ++axis)
        axes[axis] = m_raw ? held.axes[axis] : Scale(held.axes[axis], m_ranges[axis].min, m_ranges[axis].max);
    state.lX = axes[0];
    state.lY = axes[1];
    state.lZ = axes[2];
    state.lRx = axes[3];
    state.lRy = axes[4];
    state.lRz = axes[5];
    state.rglSlider[0] = axes[6];
    state.rglSlider[1] = axes[7];
    for (int hat = 0; hat < JoystickInfo::kMaxHats; ++hat)
        state.rgdwPOV[hat] = hat < m_info.hats ? held.hats[hat] : 0xFFFFFFFF;
    for (int button = 0; button < m_info.buttons && button < JoystickInfo::kMaxButtons; ++button)
        state.rgbButtons[button] = held.buttons[button];
    std::memcpy(data, &state, sizeof state);
    return DI_OK;
}

HRESULT DirectInputJoystick::GetDeviceData(DWORD objectSize, LPDIDEVICEOBJECTDATA, LPDWORD inOut, DWORD)
{
    if (!inOut || objectSize != sizeof(DIDEVICEOBJECTDATA) || !m_format) return DIERR_INVALIDPARAM;
    *inOut = 0;
    return DIERR_NOTBUFFERED;
}

HRESULT DirectInputJoystick::SetDataFormat(LPCDIDATAFORMAT format)
{
    if (!format) return DIERR_INVALIDPARAM;
    if (m_acquired) return DIERR_ACQUIRED;
    if (format != &c_dfDIJoystick) return DIERR_INVALIDPARAM;
    m_format = format;
    return DI_OK;
}

HRESULT DirectInputJoystick::SetCooperativeLevel(HWND window, DWORD flags)
{
    bool exclusive = flags & DISCL_EXCLUSIVE, shared = flags & DISCL_NONEXCLUSIVE;
    bool foreground = flags & DISCL_FOREGROUND, background = flags & DISCL_BACKGROUND;
    if (exclusive == shared || foreground == background) return DIERR_INVALIDPARAM;
    if (!window && (foreground || exclusive)) return DIERR_INVALIDPARAM;
    if (m_acquired) return DIERR_ACQUIRED;
    m_exclusive = exclusive;
    m_foreground = foreground;
    return DI_OK;
}

HRESULT DirectInputJoystick::GetDeviceInfo(LPDIDEVICEINSTANCEA info)
{
    if (!info || info->dwSize != sizeof(DIDEVICEINSTANCEA)) return DIERR_INVALIDPARAM;
    FillInstance(*info, m_info);
    return DI_OK;
}

HRESULT DirectInputJoystick::Poll()
{
    if (m_acquired) return DI_NOEFFECT;  // the backend's events keep the state current
    return m_lost ? DIERR_INPUTLOST : DIERR_NOTACQUIRED;
}

HRESULT DirectInputJoystick::CreateEffect(REFGUID effect, LPCDIEFFECT parameters, LPDIRECTINPUTEFFECT* out,
                                          LPUNKNOWN outer)
{
    if (!out) return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (outer) return DIERR_NOAGGREGATION;
    if (!m_info.forceFeedback) return DIERR_UNSUPPORTED;
    if (!DirectInputEffect::Supported(effect)) return DIERR_DEVICENOTREG;
    DirectInputEffect* made = new DirectInputEffect(this, effect);
    if (parameters) {
        HRESULT result = made->SetParameters(parameters, DIEP_ALLPARAMS);
        if (FAILED(result)) {
            made->Release();
            return result;
        }
    }
    m_effects.push_back(made);
    *out = made;
    return DI_OK;
}

HRESULT DirectInputJoystick::SendForceFeedbackCommand(DWORD command)
{
    if (!m_info.forceFeedback) return DIERR_UNSUPPORTED;
    if (!ExclusivelyAcquired()) return DIERR_NOTEXCLUSIVEACQUIRED;
    if (command & (DISFFC_RESET | DISFFC_STOPALL)) StopEffects();
    return DI_OK;
}

void DirectInputJoystick::RemoveEffect(DirectInputEffect* effect)
{
    m_effects.erase(std::remove(m_effects.begin(), m_effects.end(), effect), m_effects.end());
}

void DirectInputJoystick::StopEffects()
{
    for (DirectInputEffect* effect : m_effects) effect->Halt();
}

void DirectInputJoystick::Lose()
{
    if (!m_acquired) return;
    StopEffects();
    m_acquired = false;
    m_lost = true;
}

void DirectInputJoystick::Feed(const BackendEvent& e)
{
    switch (e.kind) {
    case BackendEvent::FocusLost:
        if (m_foreground) Lose();
        break;
    case BackendEvent::JoyDetached:
        if (e.joystick == m_info.id) Lose();
        break;
    case BackendEvent::JoyButtonDown:
        if (e.joystick == m_info.id && m_acquired)
            for (DirectInputEffect* effect : m_effects) effect->ButtonDown(e.value);
        break;
    default: break;
    }
}

void DirectInputJoystick::FeedAll(const BackendEvent& e)
{
    Joysticks& j = J();
    switch (e.kind) {
    case BackendEvent::JoyAttached:
    case BackendEvent::JoyDetached: j.states.erase(e.joystick); break;
    case BackendEvent::JoyAxis:
        if (e.axis >= 0 && e.axis < JoystickInfo::kMaxAxes)
            j.states[e.joystick].axes[e.axis] = std::max(-32768, std::min(32767, e.value));
        break;
    case BackendEvent::JoyButtonDown:
    case BackendEvent::JoyButtonUp:
        if (e.value >= 0 && e.value < JoystickInfo::kMaxButtons)
            j.states[e.joystick].buttons[e.value] = e.kind == BackendEvent::JoyButtonDown ? 0x80 : 0;
        break;
    case BackendEvent::JoyHat:
        if (e.axis >= 0 && e.axis < JoystickInfo::kMaxHats)
            j.states[e.joystick].hats[e.axis] = e.value < 0 ? 0xFFFFFFFF : static_cast<DWORD>(e.value);
        break;
    default: break;
    }
    for (DirectInputJoystick* device : j.devices) device->Feed(e);
}

void DirectInputJoystick::ResetStates()
{
    J().states.clear();
}
}  // namespace platform

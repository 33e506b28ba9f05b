#include "input/YDXJoystick.h"

#include "input/YDXInput.h"

#include <cstring>

namespace {
bool IsJoystick(const DIDEVICEINSTANCEA& instance)
{
    return (instance.dwDevType & 0xF) == DIDEVTYPE_JOYSTICK;
}

// The first enumerated joystick whose type bits 4..7 are the given value;
// any joystick when typeBits is negative. Null when none qualifies.
const DIDEVICEINSTANCEA* FindJoystick(const YDXInput& input, int typeBits)
{
    for (const DIDEVICEINSTANCEA& instance : input.m_devices) {
        if (!IsJoystick(instance)) continue;
        if (typeBits >= 0 && static_cast<int>((instance.dwDevType >> 4) & 0xF) != typeBits) continue;
        return &instance;
    }
    return nullptr;
}

// Records the failing step under the method name and drops the device.
bool Fail(YDXJoystick& joystick, const char* method, HRESULT result)
{
    joystick.m_input->SetError(method, result);
    joystick.Release();
    return false;
}
}  // namespace

YDXJoystick::YDXJoystick()
    : m_input(nullptr), m_device(nullptr), m_forceFeedback(0), m_deadZoneX(0), m_deadZoneY(0), m_acquired(0)
{
    std::memset(&m_state, 0, sizeof m_state);
    std::memset(&m_previous, 0, sizeof m_previous);
}

YDXJoystick::~YDXJoystick()
{
    // Our own Release: a derived class has already released its device.
    YDXJoystick::Release();
}

bool YDXJoystick::CreateDevice(const DIDEVICEINSTANCEA& instance, const char* method)
{
    if (!m_input->m_di) {
        m_input->SetError(method, DIERR_NOTINITIALIZED);
        return false;
    }
    LPDIRECTINPUTDEVICE first = nullptr;
    HRESULT result = m_input->m_di->CreateDevice(instance.guidInstance, &first, nullptr);
    if (result == DI_OK) {
        result = first->QueryInterface(IID_IDirectInputDevice2, reinterpret_cast<void**>(&m_device));
        first->Release();
    }
    if (result != DI_OK) {
        m_device = nullptr;
        m_input->SetError(method, result);
        return false;
    }
    return true;
}

bool YDXJoystick::CreateFirst(YDXInput* input, int typeBits, const char* method)
{
    m_input = input;
    if (!input) return false;
    const DIDEVICEINSTANCEA* instance = FindJoystick(*input, typeBits);
    if (!instance) {
        input->SetError(method, DIERR_NOTFOUND);
        return false;
    }
    return CreateDevice(*instance, method);
}

bool YDXJoystick::CreateOfType(YDXInput* input, int typeBits)
{
    if (!CreateFirst(input, typeBits & 0xF, "YDXJoystick::Create")) return false;
    return SetProperties();
}

bool YDXJoystick::Create(YDXInput* input)
{
    if (!CreateFirst(input, -1, "YDXJoystick::Create")) return false;
    return SetProperties();
}

bool YDXJoystick::CreateFF(YDXInput* input)
{
    if (!CreateFirst(input, -1, "YDXJoystick::CreateFF")) return false;
    m_forceFeedback = 1;
    return SetFFProperties();
}

void YDXJoystick::Release()
{
    if (m_device) {
        m_device->Release();
        m_device = nullptr;
    }
    m_acquired = 0;
}

HRESULT YDXJoystick::SetRanges()
{
    const DWORD axes[2] = {DIJOFS_X, DIJOFS_Y};
    for (DWORD axis : axes) {
        DIPROPRANGE range;
        range.diph.dwSize = sizeof(DIPROPRANGE);
        range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
        range.diph.dwObj = axis;
        range.diph.dwHow = DIPH_BYOFFSET;
        range.lMin = AxisMin;
        range.lMax = AxisMax;
        HRESULT result = m_device->SetProperty(DIPROP_RANGE, &range.diph);
        if (result != DI_OK) return result;
    }
    return DI_OK;
}

bool YDXJoystick::SetProperties()
{
    const char* method = "YDXJoystick::SetProperties";
    if (!m_device) return false;
    HRESULT result = m_device->SetDataFormat(&c_dfDIJoystick);
    if (result != DI_OK) return Fail(*this, method, result);
    result = m_device->SetCooperativeLevel(m_input->m_window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    if (result != DI_OK) return Fail(*this, method, result);
    result = SetRanges();
    if (result != DI_OK) return Fail(*this, method, result);
    return true;
}

bool YDXJoystick::SetFFProperties()
{
    const char* method = "YDXJoystick::SetFFProperties";
    if (!m_device) return false;
    // Force feedback needs the device to itself.
    HRESULT result = m_device->SetCooperativeLevel(m_input->m_window, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    if (result != DI_OK) return Fail(*this, method, result);
    result = m_device->SetDataFormat(&c_dfDIJoystick);
    if (result != DI_OK) return Fail(*this, method, result);
    result = SetRanges();
    if (result != DI_OK) return Fail(*this, method, result);
    return true;
}

bool YDXJoystick::SetAutoCenter(bool on)
{
    if (!m_device) return false;
    DIPROPDWORD value;
    value.diph.dwSize = sizeof(DIPROPDWORD);
    value.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    value.diph.dwObj = 0;
    value.diph.dwHow = DIPH_DEVICE;
    value.dwData = on ? DIPROPAUTOCENTER_ON : DIPROPAUTOCENTER_OFF;
    HRESULT result = m_device->SetProperty(DIPROP_AUTOCENTER, &value.diph);
    if (result != DI_OK) {
        if (m_input) m_input->SetError("YDXJoystick::SetAutoCenter", result);
        return false;
    }
    return true;
}

bool YDXJoystick::Acquire()
{
    if (!m_device) return false;
    HRESULT result = m_device->Acquire();
    if (FAILED(result)) {
        if (m_input) m_input->SetError("YDXJoystick::Acquire", result);
        return false;
    }
    m_acquired = 1;
    return true;
}

bool YDXJoystick::Unacquire()
{
    if (!m_device) return false;
    HRESULT result = m_device->Unacquire();
    if (FAILED(result)) {
        if (m_input) m_input->SetError("YDXJoystick::Unacquire", result);
        return false;
    }
    m_acquired = 0;
    return true;
}

bool YDXJoystick::Update()
{
    const char* method = "YDXJoystick::Update";
    if (!Acquire()) return false;
    m_previous = m_state;
    HRESULT result = m_device->Poll();
    if (FAILED(result)) {
        m_input->SetError(method, result);
        return false;
    }
    result = m_device->GetDeviceState(sizeof m_state, &m_state);
    if (result == DIERR_INPUTLOST) {
        if (FAILED(m_device->Acquire())) {
            m_input->SetError(method, DIERR_INPUTLOST);
            return false;
        }
        result = m_device->GetDeviceState(sizeof m_state, &m_state);
        if (FAILED(result)) {
            m_input->SetError(method, result);
            return false;
        }
    }
    return true;
}

int32_t YDXJoystick::ApplyDeadZone(int32_t value, int32_t deadZone)
{
    if (deadZone <= 0) return value;
    // In double: the product of two axis values can pass 32 bits.
    double range = 1000.0 - deadZone;
    if (value < -deadZone) return static_cast<int32_t>((static_cast<double>(value) + deadZone) * range * 0.001);
    if (value > deadZone) return static_cast<int32_t>((static_cast<double>(value) - deadZone) * range * 0.001);
    return 0;
}

int32_t YDXJoystick::X()
{
    return ApplyDeadZone(m_state.lX, m_deadZoneX);
}

int32_t YDXJoystick::Y()
{
    return ApplyDeadZone(m_state.lY, m_deadZoneY);
}

int32_t YDXJoystick::Z()
{
    return m_state.lZ;
}

int32_t YDXJoystick::Rx()
{
    return m_state.lRx;
}

int32_t YDXJoystick::Ry()
{
    return m_state.lRy;
}

int32_t YDXJoystick::Rz()
{
    return m_state.lRz;
}

bool YDXJoystick::IsButtonDown(int button)
{
    return button >= 0 && button < 32 && (m_state.rgbButtons[button] & 0x80) != 0;
}

bool YDXJoystick::WasButtonDown(int button)
{
    return button >= 0 && button < 32 && (m_previous.rgbButtons[button] & 0x80) != 0;
}

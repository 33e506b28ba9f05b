#include "input/YDXInput.h"

#include "foundation/YFastMath.h"

#include <cstring>

namespace {
HRESULT SetBufferSize(IDirectInputDevice7* device, DWORD entries)
{
    DIPROPDWORD size;
    size.diph.dwSize = sizeof(DIPROPDWORD);
    size.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    size.diph.dwObj = 0;
    size.diph.dwHow = DIPH_DEVICE;
    size.dwData = entries;
    return device->SetProperty(DIPROP_BUFFERSIZE, &size.diph);
}

// Throws away every record the device has buffered.
void DropBufferedData(IDirectInputDevice7* device)
{
    DWORD all = INFINITE;
    device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), nullptr, &all, 0);
}
}  // namespace

// ---------------------------------------------------------------- YDXInput
YDXInput::YDXInput()
    : m_di(nullptr), m_keyboard(nullptr), m_mouse(nullptr), m_instance(nullptr), m_window(nullptr), m_lastDevice(-1),
      m_joystickFound(0), m_ffJoystickFound(0), m_lastResult(DI_OK)
{
    std::memset(m_devices, 0, sizeof m_devices);
}

YDXInput::~YDXInput()
{
    Release();
}

bool YDXInput::Create(HINSTANCE instance, HWND window)
{
    m_instance = instance;
    m_window = window;
    HRESULT result = DirectInputCreateA(instance, 0x0700, &m_di, nullptr);
    if (result != DI_OK) {
        SetError("YDXInput::Create", result);
        return false;
    }
    return true;
}

void YDXInput::Release()
{
    if (m_di) {
        m_di->Release();
        m_di = nullptr;
    }
}

bool YDXInput::Enumerate(DWORD type, DWORD flags, const char* method)
{
    if (!m_di) {
        SetError(method, DIERR_NOTINITIALIZED);
        return false;
    }
    m_enumeratingFF = (flags & DIEDFL_FORCEFEEDBACK) != 0;
    HRESULT result = m_di->EnumDevices(type, EnumCallback, this, flags);
    m_enumeratingFF = false;
    if (result != DI_OK) {
        SetError(method, result);
        return false;
    }
    return true;
}

bool YDXInput::EnumAttachedJoysticks()
{
    return Enumerate(DIDEVTYPE_JOYSTICK, DIEDFL_ATTACHEDONLY, "YDXInput::EnumAttachedJoysticks");
}

bool YDXInput::EnumAttachedFFJoysticks()
{
    return Enumerate(DIDEVTYPE_JOYSTICK, DIEDFL_ATTACHEDONLY | DIEDFL_FORCEFEEDBACK,
                     "YDXInput::EnumAttachedFFJoysticks");
}

bool YDXInput::EnumAttachedDevices()
{
    return Enumerate(0, DIEDFL_ATTACHEDONLY, "YDXInput::EnumAttachedDevices");
}

bool YDXInput::EnumDevices()
{
    return Enumerate(0, DIEDFL_ALLDEVICES, "YDXInput::EnumDevices");
}

BOOL CALLBACK YDXInput::EnumCallback(LPCDIDEVICEINSTANCEA instance, LPVOID context)
{
    YDXInput* self = static_cast<YDXInput*>(context);
    if (!self || !instance) return DIENUM_STOP;
    if ((instance->dwDevType & 0xF) == DIDEVTYPE_JOYSTICK) {
        if (self->m_enumeratingFF) self->m_ffJoystickFound = 1;
        else self->m_joystickFound = 1;
    }
    if (self->m_lastDevice >= kSlots - 1) return DIENUM_STOP;
    ++self->m_lastDevice;
    size_t size = instance->dwSize < sizeof(DIDEVICEINSTANCEA) ? instance->dwSize : sizeof(DIDEVICEINSTANCEA);
    std::memcpy(&self->m_devices[self->m_lastDevice], instance, size);
    return DIENUM_CONTINUE;
}

void YDXInput::SetError(const char* method, HRESULT result)
{
    m_methodName = method ? method : "";
    m_lastResult = result;
    m_resultName = ResultName(result);
}

const char* YDXInput::ResultName(HRESULT result)
{
    switch (result) {
    case DI_OK: return "DI_OK";
    case S_FALSE: return "S_FALSE";
    case DI_POLLEDDEVICE: return "DI_POLLEDDEVICE";
    case DI_DOWNLOADSKIPPED: return "DI_DOWNLOADSKIPPED";
    case DI_EFFECTRESTARTED: return "DI_EFFECTRESTARTED";
    case DI_TRUNCATED: return "DI_TRUNCATED";
    case DI_TRUNCATEDANDRESTARTED: return "DI_TRUNCATEDANDRESTARTED";
    case DIERR_ACQUIRED: return "DIERR_ACQUIRED";
    case DIERR_ALREADYINITIALIZED: return "DIERR_ALREADYINITIALIZED";
    case DIERR_BADDRIVERVER: return "DIERR_BADDRIVERVER";
    case DIERR_BETADIRECTINPUTVERSION: return "DIERR_BETADIRECTINPUTVERSION";
    case DIERR_DEVICEFULL: return "DIERR_DEVICEFULL";
    case DIERR_DEVICENOTREG: return "DIERR_DEVICENOTREG";
    case DIERR_EFFECTPLAYING: return "DIERR_EFFECTPLAYING";
    case DIERR_HASEFFECTS: return "DIERR_HASEFFECTS";
    case DIERR_GENERIC: return "DIERR_GENERIC";
    case DIERR_HANDLEEXISTS: return "DIERR_HANDLEEXISTS";
    case DIERR_INCOMPLETEEFFECT: return "DIERR_INCOMPLETEEFFECT";
    case DIERR_INPUTLOST: return "DIERR_INPUTLOST";
    case DIERR_INVALIDPARAM: return "DIERR_INVALIDPARAM";
    case DIERR_MOREDATA: return "DIERR_MOREDATA";
    case DIERR_NOAGGREGATION: return "DIERR_NOAGGREGATION";
    case DIERR_NOINTERFACE: return "DIERR_NOINTERFACE";
    case DIERR_NOTACQUIRED: return "DIERR_NOTACQUIRED";
    case DIERR_NOTBUFFERED: return "DIERR_NOTBUFFERED";
    case DIERR_NOTDOWNLOADED: return "DIERR_NOTDOWNLOADED";
    case DIERR_NOTEXCLUSIVEACQUIRED: return "DIERR_NOTEXCLUSIVEACQUIRED";
    case DIERR_NOTFOUND: return "DIERR_NOTFOUND";
    case DIERR_NOTINITIALIZED: return "DIERR_NOTINITIALIZED";
    case DIERR_OLDDIRECTINPUTVERSION: return "DIERR_OLDDIRECTINPUTVERSION";
    case DIERR_OUTOFMEMORY: return "DIERR_OUTOFMEMORY";
    case DIERR_UNSUPPORTED: return "DIERR_UNSUPPORTED";
    case E_PENDING: return "E_PENDING";
    default: return "Undefine Error";
    }
}

// ---------------------------------------------------------------- YDXKeyboard
YDXKeyboard::YDXKeyboard()
    : m_input(nullptr), m_device(nullptr), m_acquired(0), m_active(1), m_bufferSize(kBufferSize),
      m_buffer(new DIDEVICEOBJECTDATA[kBufferSize]())
{
    std::memset(m_previous, 0, sizeof m_previous);
    std::memset(m_current, 0, sizeof m_current);
}

YDXKeyboard::~YDXKeyboard()
{
    Release();
    delete[] m_buffer;
}

bool YDXKeyboard::Create(YDXInput* input)
{
    m_input = input;
    if (!input || !input->m_di) return false;
    HRESULT result = input->m_di->CreateDeviceEx(GUID_SysKeyboard, IID_IDirectInputDevice7,
                                                 reinterpret_cast<LPVOID*>(&m_device), nullptr);
    if (result == DI_OK) {
        input->m_keyboard = this;
        result = m_device->SetDataFormat(&c_dfDIKeyboard);
    }
    if (result == DI_OK) result = m_device->SetCooperativeLevel(input->m_window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    if (result != DI_OK) {
        input->SetError("YDXKeyboard::Create", result);
        return false;
    }
    SetBufferSize(m_device, kBufferSize);
    return true;
}

bool YDXKeyboard::Acquire()
{
    if (!m_device) return false;
    HRESULT result = m_device->Acquire();
    if (FAILED(result)) {
        if (m_input) m_input->SetError("YDXKeyboard::Acquire", result);
        return false;
    }
    m_acquired = 1;
    DropBufferedData(m_device);
    return true;
}

bool YDXKeyboard::Unacquire()
{
    if (!m_device) return false;
    HRESULT result = m_device->Unacquire();
    if (FAILED(result)) {
        if (m_input) m_input->SetError("YDXKeyboard::Unacquire", result);
        return false;
    }
    m_acquired = 0;
    return true;
}

void YDXKeyboard::SetActive(bool active)
{
    m_active = active ? 1 : 0;
    if (!active) Unacquire();
}

void YDXKeyboard::Flush()
{
    if (m_device) {
        DropBufferedData(m_device);
    }
    std::memset(m_previous, 0, sizeof m_previous);
    std::memset(m_current, 0, sizeof m_current);
}

void YDXKeyboard::Release()
{
    if (m_device) {
        m_device->Release();
        m_device = nullptr;
    }
}

bool YDXKeyboard::ReadState()
{
    HRESULT result = m_device->GetDeviceState(sizeof m_current, m_current);
    if (result == DIERR_INPUTLOST || result == DIERR_NOTACQUIRED) {
        if (!Acquire()) {
            m_input->SetError("YDXKeyboard::Update", m_input->m_lastResult);
            return false;
        }
        result = m_device->GetDeviceState(sizeof m_current, m_current);
    }
    if (FAILED(result)) {
        m_input->SetError("YDXKeyboard::Update", result);
        return false;
    }
    return true;
}

bool YDXKeyboard::Update()
{
    std::memcpy(m_previous, m_current, sizeof m_previous);
    if (!m_active || !m_device || !m_input) return false;
    DWORD count = static_cast<DWORD>(m_bufferSize);
    HRESULT result = m_device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), m_buffer, &count, 0);
    if (FAILED(result)) {
        if (result != DIERR_INPUTLOST && result != DIERR_NOTACQUIRED) {
            m_input->SetError("YDXKeyboard::Update", result);
            return false;
        }
        if (!Acquire()) {
            m_input->SetError("YDXKeyboard::Update", m_input->m_lastResult);
            return false;
        }
        result = m_device->GetDeviceState(sizeof m_current, m_current);
        if (FAILED(result)) {
            m_input->SetError("YDXKeyboard::Update", result);
            return false;
        }
        return true;
    }
    if (!ReadState()) return false;
    // A press seen in the buffer reads as fresh, even when released since.
    for (DWORD i = count; i-- > 0;) {
        const DIDEVICEOBJECTDATA& e = m_buffer[i];
        BYTE data = static_cast<BYTE>(e.dwData);
        if (data) {
            m_current[e.dwOfs & 0xFF] = data;
            m_previous[e.dwOfs & 0xFF] = 0;
        }
    }
    return true;
}

// ---------------------------------------------------------------- YDXMouse
YDXMouse::YDXMouse()
    : m_input(nullptr), m_device(nullptr), m_event(nullptr), m_x(0), m_y(0), m_z(0), m_acquired(0), m_smoothing(0),
      m_buffer(new DIDEVICEOBJECTDATA[kBufferSize]()), m_bufferSize(kBufferSize)
{
    for (int b = 0; b < 3; ++b) {
        m_previousButtons[b] = m_buttons[b] = m_down[b] = m_presses[b] = 0;
        m_eventDown[b] = 0;
    }
    std::memset(&m_state, 0, sizeof m_state);
}

YDXMouse::~YDXMouse()
{
    Release();
    delete[] m_buffer;
}

bool YDXMouse::Create(YDXInput* input)
{
    m_input = input;
    if (!input || !input->m_di) return false;
    HRESULT result = input->m_di->CreateDeviceEx(GUID_SysMouse, IID_IDirectInputDevice7,
                                                 reinterpret_cast<LPVOID*>(&m_device), nullptr);
    if (result == DI_OK) {
        input->m_mouse = this;
        result = m_device->SetDataFormat(&c_dfDIMouse);
    }
    if (result == DI_OK) result = m_device->SetCooperativeLevel(input->m_window, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    if (result != DI_OK) {
        input->SetError("YDXMouse::Create", result);
        return false;
    }
    result = SetBufferSize(m_device, kBufferSize);
    if (result != DI_OK) {
        input->SetError("YDXMouse::SetBufferedInput", result);
        return false;
    }
    return true;
}

void YDXMouse::Reset()
{
    m_x = m_y = m_z = 0;
    for (int b = 0; b < 3; ++b) {
        m_previousButtons[b] = m_buttons[b] = m_down[b] = m_presses[b] = 0;
        m_eventDown[b] = 0;
    }
    std::memset(&m_state, 0, sizeof m_state);
    if (m_device) {
        DropBufferedData(m_device);
    }
}

bool YDXMouse::Acquire()
{
    if (!m_device) return false;
    HRESULT result = m_device->Acquire();
    Reset();
    if (FAILED(result)) {
        if (m_input) m_input->SetError("YDXMouse::Acquire", result);
        return false;
    }
    m_acquired = 1;
    return true;
}

bool YDXMouse::Unacquire()
{
    if (!m_device) return false;
    HRESULT result = m_device->Unacquire();
    Reset();
    if (FAILED(result)) {
        if (m_input) m_input->SetError("YDXMouse::Unacquire", result);
        return false;
    }
    m_acquired = 0;
    return true;
}

int32_t YDXMouse::Smoothed(int32_t motion, int32_t value) const
{
    if (!m_smoothing || value == 1 || value == -1) return value;
    return FloatToInt(static_cast<float>(motion + value) * 0.5f);
}

bool YDXMouse::Update()
{
    if (!m_acquired || !m_device || !m_input) return false;
    // Smoothing keeps X and Y from the last poll; the wheel never carries over.
    if (!m_smoothing) m_x = m_y = 0;
    m_z = 0;
    for (int b = 0; b < 3; ++b) {
        m_previousButtons[b] = m_buttons[b];
        m_eventDown[b] = 0;
        m_down[b] = m_state.rgbButtons[b] != 0;
        m_presses[b] = 0;
        if (m_down[b]) m_buttons[b] = (m_buttons[b] == Up || m_buttons[b] == Released) ? Pressed : Held;
        else if (m_buttons[b] == Pressed || m_buttons[b] == Held) m_buttons[b] = Released;
        else if (m_buttons[b] == Released) m_buttons[b] = Up;
    }
    DWORD count = static_cast<DWORD>(m_bufferSize);
    HRESULT result = m_device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), m_buffer, &count, 0);
    if (result == DIERR_INPUTLOST) {
        Acquire();
        count = static_cast<DWORD>(m_bufferSize);
        result = m_device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), m_buffer, &count, 0);
    }
    if (FAILED(result)) {
        m_input->SetError("YDXMouse::Update", result);
        return false;
    }
    // Backwards: the oldest event of the poll sets each motion value.
    bool movedX = false, movedY = false;
    for (DWORD i = count; i-- > 0;) {
        const DIDEVICEOBJECTDATA& e = m_buffer[i];
        LONG value = static_cast<LONG>(e.dwData);
        switch (e.dwOfs) {
        case DIMOFS_X:
            m_x = Smoothed(m_x, value);
            movedX = true;
            break;
        case DIMOFS_Y:
            m_y = Smoothed(m_y, value);
            movedY = true;
            break;
        case DIMOFS_Z: m_z = value; break;
        case DIMOFS_BUTTON0:
        case DIMOFS_BUTTON1:
        case DIMOFS_BUTTON2:
            if (e.dwData & 0x80) m_eventDown[e.dwOfs - DIMOFS_BUTTON0] = 1;
            break;
        default: break;
        }
    }
    if (m_smoothing) {
        if (!movedX) m_x = FloatToInt(static_cast<float>(m_x) * 0.3333f);
        if (!movedY) m_y = FloatToInt(static_cast<float>(m_y) * 0.3333f);
    }
    for (int b = 0; b < 3; ++b) {
        if (!m_eventDown[b]) continue;
        if (!m_down[b]) ++m_presses[b];
        m_down[b] = 1;
        m_previousButtons[b] = m_buttons[b];
        m_buttons[b] = Up;
    }
    m_device->GetDeviceState(sizeof m_state, &m_state);
    return true;
}

void YDXMouse::Release()
{
    if (m_device) {
        m_device->Release();
        m_device = nullptr;
    }
    m_event = nullptr;  // nothing makes a notification event here
}

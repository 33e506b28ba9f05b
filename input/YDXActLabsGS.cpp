#include "input/YDXActLabsGS.h"

#include "input/YDXInput.h"

#include <cstring>

namespace {
const char* const kLibrary = "ActGSDev.dll";

// Bit 2 of the mask tells whether position 2 holds a reading.
const int kPositionTwoBit = 2;

template <typename Proc>
Proc Bind(HMODULE library, const char* name)
{
    // Through the generic function type, as procedure addresses are untyped.
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

int32_t PositionX(const DIJOYSTATE& state, int position)
{
    switch (position) {
    case 0: return state.lX;
    case 1: return state.lZ;
    case 2: return state.rglSlider[0];
    default: return 0;
    }
}

int32_t PositionY(const DIJOYSTATE& state, int position)
{
    switch (position) {
    case 0: return state.lY;
    case 1: return state.lRz;
    case 2: return state.rglSlider[1];
    default: return 0;
    }
}

// Group 0 starts at button byte 0, group 1 at byte 8, group 2 at byte 4.
uint8_t GroupButton(const DIJOYSTATE& state, int group, int index)
{
    static const int first[3] = {0, 8, 4};
    if (group < 0 || group > 2 || index < 0) return 0;
    int byte = first[group] + index;
    return byte < 32 ? state.rgbButtons[byte] : 0;
}

// The gun's buttons 0..6 as (group, index) pairs.
uint8_t MappedButton(const DIJOYSTATE& state, int button)
{
    if (button >= 0 && button <= 2) return GroupButton(state, 2, button);
    if (button >= 3 && button <= 4) return GroupButton(state, 0, button - 3);
    if (button >= 5 && button <= 6) return GroupButton(state, 1, button - 5);
    return 0;
}

bool MaskBit(const DIJOYSTATE& state, int bit)
{
    return bit >= 0 && bit < 32 && ((state.rgdwPOV[0] >> bit) & 1) != 0;
}
}  // namespace

YDXActLabsGS::YDXActLabsGS()
    : m_library(nullptr), m_setCalibrationMode(nullptr), m_unlockResolution(nullptr), m_setResolutionRange(nullptr),
      m_getHandheldRange(nullptr), m_setHandheldRange(nullptr), m_getHandheldMode(nullptr), m_setHandheldMode(nullptr)
{
    std::memset(&m_state, 0, sizeof m_state);
    std::memset(&m_previous, 0, sizeof m_previous);
    m_library = LoadLibraryA(kLibrary);
    if (m_library) {
        m_setCalibrationMode = Bind<TwoArgProc>(m_library, "GS_SetCalibrationMode");
        m_unlockResolution = Bind<NoArgProc>(m_library, "GS_UnlockResolution");
        m_setResolutionRange = Bind<TwoArgProc>(m_library, "GS_SetResolutionRange");
        m_getHandheldRange = Bind<TwoArgProc>(m_library, "GS_GetHandheldRange");
        m_setHandheldRange = Bind<TwoArgProc>(m_library, "GS_SetHandheldRange");
        m_getHandheldMode = Bind<OneArgProc>(m_library, "GS_GetHandheldMode");
        m_setHandheldMode = Bind<OneArgProc>(m_library, "GS_SetHandheldMode");
    }
}

YDXActLabsGS::~YDXActLabsGS()
{
    Release();
    if (m_library) {
        FreeLibrary(m_library);
        m_library = nullptr;
    }
}

bool YDXActLabsGS::CreateOfType(YDXInput* input, int)
{
    return Create(input);
}

bool YDXActLabsGS::CreateFF(YDXInput* input)
{
    return Create(input);
}

bool YDXActLabsGS::Create(YDXInput* input)
{
    const char* method = "YDXActLabsGS::Create";
    m_input = input;
    if (!input) return false;
    const DIDEVICEINSTANCEA* gun = nullptr;
    for (const DIDEVICEINSTANCEA& instance : input->m_devices) {
        if ((instance.dwDevType & 0xF) == DIDEVTYPE_JOYSTICK && instance.guidProduct == GUID_Joystick) {
            gun = &instance;
            break;
        }
    }
    if (!gun) {
        input->SetError(method, DIERR_NOTFOUND);
        return false;
    }
    if (!CreateDevice(*gun, method)) return false;
    return SetProperties();
}

bool YDXActLabsGS::SetProperties()
{
    const char* method = "YDXActLabsGS::SetProperties";
    if (!m_device) return false;
    HRESULT result = m_device->SetDataFormat(&c_dfDIJoystick);
    if (result == DI_OK) result = m_device->SetCooperativeLevel(m_input->m_window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    if (result == DI_OK) {
        DIPROPDWORD mode;
        mode.diph.dwSize = sizeof(DIPROPDWORD);
        mode.diph.dwHeaderSize = sizeof(DIPROPHEADER);
        mode.diph.dwObj = 0;
        mode.diph.dwHow = DIPH_DEVICE;
        mode.dwData = DIPROPCALIBRATIONMODE_RAW;
        result = m_device->SetProperty(DIPROP_CALIBRATIONMODE, &mode.diph);
    }
    if (result != DI_OK) {
        m_input->SetError(method, result);
        Release();
        return false;
    }
    SetHandheldRange(AxisMin, AxisMax);
    return true;
}

bool YDXActLabsGS::IsMaskBit(int bit)
{
    return MaskBit(m_state, bit);
}

bool YDXActLabsGS::WasMaskBit(int bit)
{
    return MaskBit(m_previous, bit);
}

int32_t YDXActLabsGS::GetX(int position)
{
    if (position == 2 && !IsMaskBit(kPositionTwoBit)) return 0;
    return PositionX(m_state, position);
}

int32_t YDXActLabsGS::GetY(int position)
{
    if (position == 2 && !IsMaskBit(kPositionTwoBit)) return 0;
    return PositionY(m_state, position);
}

uint8_t YDXActLabsGS::GetButton(int group, int index)
{
    return GroupButton(m_state, group, index);
}

int32_t YDXActLabsGS::GetPrevX(int position)
{
    return PositionX(m_previous, position);
}

int32_t YDXActLabsGS::GetPrevY(int position)
{
    return PositionY(m_previous, position);
}

uint8_t YDXActLabsGS::GetPrevButton(int group, int index)
{
    return GroupButton(m_previous, group, index);
}

int32_t YDXActLabsGS::X()
{
    return GetX(2);
}

int32_t YDXActLabsGS::Y()
{
    return GetY(2);
}

int32_t YDXActLabsGS::Z()
{
    return GetX(0);
}

int32_t YDXActLabsGS::Rx()
{
    return GetY(0);
}

int32_t YDXActLabsGS::Ry()
{
    return GetX(1);
}

int32_t YDXActLabsGS::Rz()
{
    return GetY(1);
}

bool YDXActLabsGS::IsButtonDown(int button)
{
    return MappedButton(m_state, button) != 0;
}

bool YDXActLabsGS::WasButtonDown(int button)
{
    return MappedButton(m_previous, button) != 0;
}

int YDXActLabsGS::SetResolutionRange(int a, int b)
{
    return m_setResolutionRange ? m_setResolutionRange(a, b) : 0;
}

int YDXActLabsGS::UnlockResolution()
{
    return m_unlockResolution ? m_unlockResolution() : 0;
}

int YDXActLabsGS::SetCalibrationMode(int a, int b)
{
    return m_setCalibrationMode ? m_setCalibrationMode(a, b) : 0;
}

int YDXActLabsGS::GetHandheldRange(int a, int b)
{
    return m_getHandheldRange ? m_getHandheldRange(a, b) : 0;
}

int YDXActLabsGS::SetHandheldRange(int low, int high)
{
    return m_setHandheldRange ? m_setHandheldRange(low, high) : 0;
}

int YDXActLabsGS::GetHandheldMode(int a)
{
    return m_getHandheldMode ? m_getHandheldMode(a) : 0;
}

int YDXActLabsGS::SetHandheldMode(int a)
{
    return m_setHandheldMode ? m_setHandheldMode(a) : 0;
}

// Thin wrappers over DirectInput 7: the DirectInput object with its device
// enumeration and last error, the system keyboard and the system mouse.
#pragma once

#include "platform/dinput.h"

#include <cstdint>
#include <string>

class YDXKeyboard;
class YDXMouse;

class YDXInput {
public:
    static const int kSlots = 16;

    YDXInput();
    virtual ~YDXInput();

    bool Create(HINSTANCE instance, HWND window);
    void Release();
    bool EnumAttachedJoysticks();
    bool EnumAttachedFFJoysticks();
    bool EnumAttachedDevices();
    bool EnumDevices();
    void SetError(const char* method, HRESULT result);
    // The name of a result as the game prints it; "Undefine Error" when unknown.
    static const char* ResultName(HRESULT result);
    // The enumeration callback; context is the YDXInput.
    static BOOL CALLBACK EnumCallback(LPCDIDEVICEINSTANCEA instance, LPVOID context);

    LPDIRECTINPUT7 m_di;
    YDXKeyboard* m_keyboard;
    YDXMouse* m_mouse;
    HINSTANCE m_instance;
    HWND m_window;
    DIDEVICEINSTANCEA m_devices[kSlots];
    int32_t m_lastDevice;
    uint8_t m_joystickFound;
    uint8_t m_ffJoystickFound;
    int32_t m_lastResult;
    std::string m_resultName;
    std::string m_methodName;

private:
    bool Enumerate(DWORD type, DWORD flags, const char* method);
    bool m_enumeratingFF = false;
};

class YDXKeyboard {
public:
    static const int kBufferSize = 20;

    YDXKeyboard();
    virtual ~YDXKeyboard();

    bool Create(YDXInput* input);
    bool Update();
    bool Acquire();
    bool Unacquire();
    void SetActive(bool active);
    void Flush();
    void Release();

    uint8_t m_previous[256];
    uint8_t m_current[256];  // by DIK code, bit 7 while down
    YDXInput* m_input;
    LPDIRECTINPUTDEVICE7 m_device;
    uint8_t m_acquired;
    uint8_t m_active;
    int32_t m_bufferSize;
    DIDEVICEOBJECTDATA* m_buffer;

private:
    bool ReadState();
};

class YDXMouse {
public:
    static const int kBufferSize = 128;
    // Button states.
    enum { Up = 0, Pressed = 1, Held = 2, Released = 3 };

    YDXMouse();
    virtual ~YDXMouse();

    bool Create(YDXInput* input);
    void Reset();
    bool Acquire();
    bool Unacquire();
    bool Update();
    void Release();

    YDXInput* m_input;
    LPDIRECTINPUTDEVICE7 m_device;
    HANDLE m_event;
    int32_t m_x, m_y, m_z;
    int32_t m_previousButtons[3];
    int32_t m_buttons[3];
    int32_t m_down[3];
    int32_t m_presses[3];
    uint8_t m_acquired;
    uint8_t m_smoothing;  // off unless set; see Smoothed
    uint8_t m_eventDown[3];
    DIMOUSESTATE m_state;
    DIDEVICEOBJECTDATA* m_buffer;
    int32_t m_bufferSize;

private:
    // An X or Y event's motion value: halfway from the last one while smoothing.
    int32_t Smoothed(int32_t motion, int32_t value) const;
};

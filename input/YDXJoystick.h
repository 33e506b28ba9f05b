// One DirectInput joystick: axes scaled to -1000..1000, a dead zone on X
// and Y, and 32 buttons read in this poll and in the previous one.
#pragma once

#include <cstdint>

#include "platform/dinput.h"

class YDXInput;

class YDXJoystick {
public:
    // Axis range set on the device.
    enum { AxisMin = -1000, AxisMax = 1000 };

    YDXJoystick();
    virtual ~YDXJoystick();
    YDXJoystick(const YDXJoystick&) = delete;
    YDXJoystick& operator=(const YDXJoystick&) = delete;

    // The first enumerated joystick whose subtype (bits 4..7) is the given one.
    virtual bool CreateOfType(YDXInput* input, int typeBits);
    virtual bool Create(YDXInput* input);
    virtual bool CreateFF(YDXInput* input);
    virtual void Release();
    virtual bool SetProperties();
    virtual bool SetFFProperties();
    virtual bool SetAutoCenter(bool on);
    virtual bool NoOperation() { return true; }
    virtual bool Acquire();
    virtual bool Unacquire();
    virtual bool Update();
    // X and Y with the dead zone applied.
    virtual int32_t X();
    virtual int32_t Y();
    virtual int32_t Z();
    virtual int32_t Rx();
    virtual int32_t Ry();
    virtual int32_t Rz();
    virtual bool IsButtonDown(int button);
    virtual bool IsFirstButtonDown() { return IsButtonDown(0); }
    virtual bool IsSecondButtonDown() { return IsButtonDown(1); }
    virtual bool WasButtonDown(int button);
    virtual bool WasFirstButtonDown() { return WasButtonDown(0); }
    virtual bool WasSecondButtonDown() { return WasButtonDown(1); }

    // A raw axis value through a dead zone, in axis units.
    static int32_t ApplyDeadZone(int32_t value, int32_t deadZone);

    YDXInput* m_input;
    LPDIRECTINPUTDEVICE2 m_device;
    uint8_t m_forceFeedback;
    int32_t m_deadZoneX;
    int32_t m_deadZoneY;
    DIJOYSTATE m_state;
    DIJOYSTATE m_previous;
    uint8_t m_acquired;

protected:
    // The device for an enumerated instance, queried for version 2;
    // records the failure under the given method name.
    bool CreateDevice(const DIDEVICEINSTANCEA& instance, const char* method);
    // The device of the first enumerated joystick (of the given type bits,
    // or any when negative); a missing one is recorded as DIERR_NOTFOUND.
    bool CreateFirst(YDXInput* input, int typeBits, const char* method);
    // Sets the X and Y ranges to -1000..1000.
    HRESULT SetRanges();
};

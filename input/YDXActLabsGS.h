// The light gun: a joystick that reports three positions and three button
// groups, switched to raw calibration, with the vendor's library loaded
// at run time when it is there.
#pragma once

#include "input/YDXJoystick.h"
#include "platform/win32.h"

class YDXActLabsGS : public YDXJoystick {
public:
    YDXActLabsGS();
    ~YDXActLabsGS() override;

    bool CreateOfType(YDXInput* input, int typeBits) override;
    bool Create(YDXInput* input) override;
    bool CreateFF(YDXInput* input) override;
    bool SetProperties() override;
    int32_t X() override;
    int32_t Y() override;
    int32_t Z() override;
    int32_t Rx() override;
    int32_t Ry() override;
    int32_t Rz() override;
    bool IsButtonDown(int button) override;
    bool WasButtonDown(int button) override;

    virtual bool IsMaskBit(int bit);
    virtual bool WasMaskBit(int bit);
    virtual int32_t GetX(int position);
    virtual int32_t GetY(int position);
    virtual uint8_t GetButton(int group, int index);
    virtual int32_t GetPrevX(int position);
    virtual int32_t GetPrevY(int position);
    virtual uint8_t GetPrevButton(int group, int index);

    // The vendor library's calls; 0 when the procedure is missing.
    virtual int SetResolutionRange(int a, int b);
    virtual int UnlockResolution();
    virtual int SetCalibrationMode(int a, int b);
    virtual int GetHandheldRange(int a, int b);
    virtual int SetHandheldRange(int low, int high);
    virtual int GetHandheldMode(int a);
    virtual int SetHandheldMode(int a);

    typedef int (*TwoArgProc)(int, int);
    typedef int (*OneArgProc)(int);
    typedef int (*NoArgProc)();

    HMODULE m_library;
    TwoArgProc m_setCalibrationMode;
    NoArgProc m_unlockResolution;
    TwoArgProc m_setResolutionRange;
    TwoArgProc m_getHandheldRange;
    TwoArgProc m_setHandheldRange;
    OneArgProc m_getHandheldMode;
    OneArgProc m_setHandheldMode;
};

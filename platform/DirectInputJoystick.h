// A DirectInput joystick over one of the backend's joysticks: the standard
// 80-byte state, axis ranges, calibration and auto-centre properties, and
// force-feedback effects played through the backend.
#pragma once

#include "platform/dinput.h"

#include <vector>

namespace platform {
class DirectInputEffect;

// Whether the program has the focus that foreground devices need.
bool DirectInputHasFocus();

class DirectInputJoystick : public IDirectInputDevice7A {
public:
    explicit DirectInputJoystick(const JoystickInfo& info);
    ~DirectInputJoystick() override;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override;

    HRESULT GetCapabilities(LPDIDEVCAPS caps) override;
    HRESULT GetProperty(REFGUID property, LPDIPROPHEADER header) override;
    HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) override;
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    HRESULT GetDeviceState(DWORD size, LPVOID data) override;
    HRESULT GetDeviceData(DWORD objectSize, LPDIDEVICEOBJECTDATA data, LPDWORD inOut, DWORD flags) override;
    HRESULT SetDataFormat(LPCDIDATAFORMAT format) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT GetDeviceInfo(LPDIDEVICEINSTANCEA info) override;
    HRESULT Poll() override;
    HRESULT CreateEffect(REFGUID effect, LPCDIEFFECT parameters, LPDIRECTINPUTEFFECT* out, LPUNKNOWN outer) override;
    HRESULT SendForceFeedbackCommand(DWORD command) override;

    int Id() const { return m_info.id; }
    bool HasForceFeedback() const { return m_info.forceFeedback; }
    // Effects play only while the device is acquired exclusively.
    bool ExclusivelyAcquired() const { return m_acquired && m_exclusive; }
    void RemoveEffect(DirectInputEffect* effect);

    // Events of the backend, for every live joystick device.
    void Feed(const BackendEvent& event);

    // The instance record and GUID of a backend joystick.
    static void FillInstance(DIDEVICEINSTANCEA& instance, const JoystickInfo& info);
    static GUID InstanceGuid(int id);
    // The attached joystick an instance GUID names; false when none is.
    static bool Find(REFGUID instance, JoystickInfo* info);
    // Keeps the joystick states up to date; the DirectInput pump calls it
    // for every event, focus changes included.
    static void FeedAll(const BackendEvent& event);
    // Forgets every joystick's state (tests).
    static void ResetStates();

private:
    struct Range {
        LONG min;
        LONG max;
    };

    HRESULT Ready();
    bool Attached() const;
    void Lose();
    void StopEffects();
    // The axis index of a range property's object; -1 when there is none.
    int AxisOf(const DIPROPHEADER& header) const;

    JoystickInfo m_info;
    ULONG m_refs = 1;
    LPCDIDATAFORMAT m_format = nullptr;
    bool m_exclusive = false;
    bool m_foreground = true;
    bool m_acquired = false;
    bool m_lost = false;
    bool m_raw = false;  // raw calibration: no range scaling
    DWORD m_autoCenter = DIPROPAUTOCENTER_ON;
    Range m_ranges[JoystickInfo::kMaxAxes];
    std::vector<DirectInputEffect*> m_effects;
};
}  // namespace platform

// A force-feedback effect of a DirectInput joystick: a constant force or a
// sine, played through the backend.
#pragma once

#include "platform/dinput.h"

namespace platform {
class DirectInputJoystick;

class DirectInputEffect : public IDirectInputEffect {
public:
    // Holds a reference to the device for as long as the effect lives.
    DirectInputEffect(DirectInputJoystick* device, REFGUID guid);
    ~DirectInputEffect() override;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override;

    HRESULT GetEffectGuid(LPGUID guid) override;
    HRESULT GetParameters(LPDIEFFECT parameters, DWORD flags) override;
    HRESULT SetParameters(LPCDIEFFECT parameters, DWORD flags) override;
    HRESULT Start(DWORD iterations, DWORD flags) override;
    HRESULT Stop() override;
    HRESULT Download() override;
    HRESULT Unload() override;

    // Whether the device can play this kind of effect.
    static bool Supported(REFGUID guid);
    // The device lost its exclusive access or its joystick: the effect ends.
    void Halt();
    // A button of the device went down; an armed effect with that trigger plays.
    void ButtonDown(int button);

private:
    HRESULT Play();

    DirectInputJoystick* m_device;
    GUID m_guid;
    ULONG m_refs = 1;
    JoystickEffect m_effect;
    bool m_hasForce = false;  // type-specific parameters are set
    DWORD m_triggerButton = DIEB_NOTRIGGER;
    DWORD m_samplePeriod = 0;
    DWORD m_triggerRepeat = 0;
    DWORD m_axisCount = 0;
    DWORD m_axes[2] = {};
    LONG m_directions[2] = {};
    bool m_armed = false;  // started, waiting for its trigger button
    int m_handle = 0;      // the backend's, while playing
};
}  // namespace platform

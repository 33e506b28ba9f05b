// The force-feedback effect holder: one effect description with its
// envelope, periodic and constant-force blocks.
#pragma once

#include <cstdint>

#include "platform/dinput.h"

class YDXJoystick;

class YDXEffect {
public:
    YDXEffect();
    virtual ~YDXEffect();
    YDXEffect(const YDXEffect&) = delete;
    YDXEffect& operator=(const YDXEffect&) = delete;

    // The four presets; each fills the blocks and chooses the effect type.
    void SetupVibration();   // sine, triggered by button 0
    void SetupPush();        // endless constant force
    void SetupKick();        // short constant force that fades
    void SetupRumble();      // short sine
    // Creates the effect on the joystick's device.
    bool CreateEffect(YDXJoystick* joystick);

    YDXJoystick* m_joystick;
    LPDIRECTINPUTEFFECT m_effect;
    DIEFFECT m_description;
    DIENVELOPE m_envelope;
    DIPERIODIC m_periodic;
    DICONSTANTFORCE m_constant;
    GUID m_guid;
    DWORD m_axes[2];
    LONG m_directions[2];
};

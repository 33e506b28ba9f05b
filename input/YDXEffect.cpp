#include "input/YDXEffect.h"

#include "input/YDXInput.h"
#include "input/YDXJoystick.h"

#include <cstring>

YDXEffect::YDXEffect() : m_joystick(nullptr), m_effect(nullptr), m_guid(GUID_CustomForce)
{
    std::memset(&m_description, 0, sizeof m_description);
    std::memset(&m_envelope, 0, sizeof m_envelope);
    std::memset(&m_periodic, 0, sizeof m_periodic);
    std::memset(&m_constant, 0, sizeof m_constant);
    m_envelope.dwSize = sizeof(DIENVELOPE);
    m_axes[0] = DIJOFS_X;
    m_axes[1] = DIJOFS_Y;
    m_directions[0] = 0;
    m_directions[1] = 0;
    m_description.dwSize = sizeof(DIEFFECT);
    m_description.dwFlags = DIEFF_POLAR | DIEFF_OBJECTOFFSETS;
    m_description.cAxes = 2;
    m_description.rgdwAxes = m_axes;
    m_description.rglDirection = m_directions;
}

YDXEffect::~YDXEffect()
{
    // A created effect would otherwise outlive its holder.
    if (m_effect) {
        m_effect->Release();
        m_effect = nullptr;
    }
}

namespace {
void SetEnvelope(DIENVELOPE& envelope, DWORD attackLevel, DWORD attackTime, DWORD fadeLevel, DWORD fadeTime)
{
    envelope.dwSize = sizeof(DIENVELOPE);
    envelope.dwAttackLevel = attackLevel;
    envelope.dwAttackTime = attackTime;
    envelope.dwFadeLevel = fadeLevel;
    envelope.dwFadeTime = fadeTime;
}
}  // namespace

void YDXEffect::SetupVibration()
{
    m_guid = GUID_Sine;
    m_periodic.dwMagnitude = DI_FFNOMINALMAX;
    m_periodic.lOffset = 0;
    m_periodic.dwPhase = 0;
    m_periodic.dwPeriod = 50000;
    SetEnvelope(m_envelope, 0, 500000, 0, 1000000);
    m_description.dwDuration = 2 * DI_SECONDS;
    m_description.dwSamplePeriod = 0;
    m_description.dwGain = DI_FFNOMINALMAX;
    m_description.dwTriggerButton = DIJOFS_BUTTON(0);
    m_description.dwTriggerRepeatInterval = 0;
    m_description.lpEnvelope = &m_envelope;
    m_description.cbTypeSpecificParams = sizeof(DIPERIODIC);
    m_description.lpvTypeSpecificParams = &m_periodic;
}

void YDXEffect::SetupPush()
{
    m_guid = GUID_ConstantForce;
    m_constant.lMagnitude = DI_FFNOMINALMAX;
    m_description.dwDuration = INFINITE_DURATION;
    m_description.dwSamplePeriod = 0;
    m_description.dwGain = DI_FFNOMINALMAX;
    m_description.dwTriggerButton = DIEB_NOTRIGGER;
    m_description.dwTriggerRepeatInterval = 0;
    m_description.lpEnvelope = nullptr;
    m_description.cbTypeSpecificParams = sizeof(DICONSTANTFORCE);
    m_description.lpvTypeSpecificParams = &m_constant;
}

void YDXEffect::SetupKick()
{
    m_guid = GUID_ConstantForce;
    m_constant.lMagnitude = DI_FFNOMINALMAX;
    SetEnvelope(m_envelope, DI_FFNOMINALMAX, 0, 0, 250000);
    m_description.dwDuration = 250000;
    m_description.dwSamplePeriod = 0;
    m_description.dwGain = DI_FFNOMINALMAX;
    m_description.dwTriggerButton = DIEB_NOTRIGGER;
    m_description.dwTriggerRepeatInterval = 0;
    m_description.lpEnvelope = &m_envelope;
    m_description.cbTypeSpecificParams = sizeof(DICONSTANTFORCE);
    m_description.lpvTypeSpecificParams = &m_constant;
}

void YDXEffect::SetupRumble()
{
    m_guid = GUID_Sine;
    m_periodic.dwMagnitude = 9000;
    m_periodic.lOffset = 0;
    m_periodic.dwPhase = 0;
    m_periodic.dwPeriod = 39000;
    SetEnvelope(m_envelope, 0, 19000, 0, 139000);
    m_description.dwDuration = 160000;
    m_description.dwSamplePeriod = 0;
    m_description.dwGain = DI_FFNOMINALMAX;
    m_description.dwTriggerButton = DIEB_NOTRIGGER;
    m_description.dwTriggerRepeatInterval = 0;
    m_description.lpEnvelope = &m_envelope;
    m_description.cbTypeSpecificParams = sizeof(DIPERIODIC);
    m_description.lpvTypeSpecificParams = &m_periodic;
}

bool YDXEffect::CreateEffect(YDXJoystick* joystick)
{
    const char* method = "YDXEffect::CreateEffect";
    m_joystick = joystick;
    if (!joystick || !joystick->m_device) {
        if (joystick && joystick->m_input) joystick->m_input->SetError(method, DIERR_NOTINITIALIZED);
        return false;
    }
    if (m_effect) {  // the holder keeps one effect at a time
        m_effect->Release();
        m_effect = nullptr;
    }
    HRESULT result = joystick->m_device->CreateEffect(m_guid, &m_description, &m_effect, nullptr);
    if (FAILED(result)) {
        m_effect = nullptr;
        if (joystick->m_input) joystick->m_input->SetError(method, result);
        return false;
    }
    return true;
}

#include "platform/DirectInputEffect.h"

#include "platform/DirectInputJoystick.h"

#include <algorithm>

namespace platform {
DirectInputEffect::DirectInputEffect(DirectInputJoystick* device, REFGUID guid) : m_device(device), m_guid(guid)
{
    m_device->AddRef();
    m_effect.kind = guid == GUID_Sine ? JoystickEffect::Sine : JoystickEffect::Constant;
}

DirectInputEffect::~DirectInputEffect()
{
    Halt();
    m_device->RemoveEffect(this);
    m_device->Release();
}

bool DirectInputEffect::Supported(REFGUID guid)
{
    return guid == GUID_ConstantForce || guid == GUID_Sine;
}

HRESULT DirectInputEffect::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown) return E_NOINTERFACE;
    AddRef();
    *object = this;
    return S_OK;
}

ULONG DirectInputEffect::Release()
{
    ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

HRESULT DirectInputEffect::GetEffectGuid(LPGUID guid)
{
    if (!guid) return DIERR_INVALIDPARAM;
    *guid = m_guid;
    return DI_OK;
}

HRESULT DirectInputEffect::GetParameters(LPDIEFFECT p, DWORD flags)
{
    if (!p || p->dwSize != sizeof(DIEFFECT)) return DIERR_INVALIDPARAM;
    const bool sine = m_effect.kind == JoystickEffect::Sine;
    if (flags & DIEP_TYPESPECIFICPARAMS) {
        size_t wanted = sine ? sizeof(DIPERIODIC) : sizeof(DICONSTANTFORCE);
        if (p->cbTypeSpecificParams < wanted) {
            p->cbTypeSpecificParams = static_cast<DWORD>(wanted);
            return DIERR_MOREDATA;
        }
        if (!p->lpvTypeSpecificParams) return DIERR_INVALIDPARAM;
    }
    if (flags & (DIEP_AXES | DIEP_DIRECTION)) {
        if (p->cAxes < m_axisCount) {
            p->cAxes = m_axisCount;
            return DIERR_MOREDATA;
        }
        if (((flags & DIEP_AXES) && !p->rgdwAxes) || ((flags & DIEP_DIRECTION) && !p->rglDirection))
            return DIERR_INVALIDPARAM;
    }

    if (flags & DIEP_TYPESPECIFICPARAMS) {
        if (sine) {
            DIPERIODIC* periodic = static_cast<DIPERIODIC*>(p->lpvTypeSpecificParams);
            periodic->dwMagnitude = static_cast<DWORD>(m_effect.magnitude);
            periodic->lOffset = 0;
            periodic->dwPhase = 0;
            periodic->dwPeriod = m_effect.period;
            p->cbTypeSpecificParams = sizeof(DIPERIODIC);
        } else {
            static_cast<DICONSTANTFORCE*>(p->lpvTypeSpecificParams)->lMagnitude = m_effect.magnitude;
            p->cbTypeSpecificParams = sizeof(DICONSTANTFORCE);
        }
    }
    if ((flags & DIEP_ENVELOPE) && p->lpEnvelope) {
        if (p->lpEnvelope->dwSize != sizeof(DIENVELOPE)) return DIERR_INVALIDPARAM;
        p->lpEnvelope->dwAttackLevel = m_effect.attackLevel;
        p->lpEnvelope->dwAttackTime = m_effect.attackTime;
        p->lpEnvelope->dwFadeLevel = m_effect.fadeLevel;
        p->lpEnvelope->dwFadeTime = m_effect.fadeTime;
    }
    if (flags & (DIEP_AXES | DIEP_DIRECTION)) {
        for (DWORD i = 0; i < m_axisCount; ++i) {
            if (flags & DIEP_AXES) p->rgdwAxes[i] = m_axes[i];
            if (flags & DIEP_DIRECTION) p->rglDirection[i] = m_directions[i];
        }
        p->cAxes = m_axisCount;
    }
    if (flags & DIEP_DURATION) p->dwDuration = m_effect.duration;
    if (flags & DIEP_SAMPLEPERIOD) p->dwSamplePeriod = m_samplePeriod;
    if (flags & DIEP_GAIN) p->dwGain = m_effect.gain;
    if (flags & DIEP_TRIGGERBUTTON) p->dwTriggerButton = m_triggerButton;
    if (flags & DIEP_TRIGGERREPEATINTERVAL) p->dwTriggerRepeatInterval = m_triggerRepeat;
    return DI_OK;
}

HRESULT DirectInputEffect::SetParameters(LPCDIEFFECT p, DWORD flags)
{
    if (!p || p->dwSize != sizeof(DIEFFECT)) return DIERR_INVALIDPARAM;
    // Check everything first, so that a bad block changes nothing.
    const bool sine = m_effect.kind == JoystickEffect::Sine;
    if (flags & DIEP_TYPESPECIFICPARAMS) {
        size_t wanted = sine ? sizeof(DIPERIODIC) : sizeof(DICONSTANTFORCE);
        if (!p->lpvTypeSpecificParams || p->cbTypeSpecificParams != wanted) return DIERR_INVALIDPARAM;
    }
    if ((flags & DIEP_ENVELOPE) && p->lpEnvelope && p->lpEnvelope->dwSize != sizeof(DIENVELOPE))
        return DIERR_INVALIDPARAM;
    if ((flags & (DIEP_AXES | DIEP_DIRECTION)) && (p->cAxes == 0 || p->cAxes > 2)) return DIERR_INVALIDPARAM;
    if ((flags & DIEP_AXES) && !p->rgdwAxes) return DIERR_INVALIDPARAM;
    if ((flags & DIEP_DIRECTION) && !p->rglDirection) return DIERR_INVALIDPARAM;
    if ((flags & DIEP_GAIN) && p->dwGain > DI_FFNOMINALMAX) return DIERR_INVALIDPARAM;

    if (flags & DIEP_TYPESPECIFICPARAMS) {
        if (sine) {
            const DIPERIODIC* periodic = static_cast<const DIPERIODIC*>(p->lpvTypeSpecificParams);
            m_effect.magnitude = static_cast<int>(std::min<DWORD>(periodic->dwMagnitude, DI_FFNOMINALMAX));
            m_effect.period = periodic->dwPeriod;
        } else {
            const DICONSTANTFORCE* constant = static_cast<const DICONSTANTFORCE*>(p->lpvTypeSpecificParams);
            m_effect.magnitude = std::max<LONG>(-DI_FFNOMINALMAX, std::min<LONG>(DI_FFNOMINALMAX, constant->lMagnitude));
        }
        m_hasForce = true;
    }
    if (flags & DIEP_ENVELOPE) {
        const DIENVELOPE* envelope = p->lpEnvelope;
        m_effect.attackLevel = envelope ? std::min<DWORD>(envelope->dwAttackLevel, DI_FFNOMINALMAX) : 0;
        m_effect.attackTime = envelope ? envelope->dwAttackTime : 0;
        m_effect.fadeLevel = envelope ? std::min<DWORD>(envelope->dwFadeLevel, DI_FFNOMINALMAX) : 0;
        m_effect.fadeTime = envelope ? envelope->dwFadeTime : 0;
    }
    if (flags & DIEP_DURATION) m_effect.duration = p->dwDuration;
    if (flags & DIEP_SAMPLEPERIOD) m_samplePeriod = p->dwSamplePeriod;
    if (flags & DIEP_GAIN) m_effect.gain = p->dwGain;
    if (flags & DIEP_TRIGGERBUTTON) m_triggerButton = p->dwTriggerButton;
    if (flags & DIEP_TRIGGERREPEATINTERVAL) m_triggerRepeat = p->dwTriggerRepeatInterval;
    if (flags & (DIEP_AXES | DIEP_DIRECTION)) {
        m_axisCount = p->cAxes;
        for (DWORD i = 0; i < m_axisCount; ++i) {
            if (flags & DIEP_AXES) m_axes[i] = p->rgdwAxes[i];
            if (flags & DIEP_DIRECTION) m_directions[i] = p->rglDirection[i];
        }
        m_effect.direction = static_cast<int>(m_directions[0]);  // polar: the angle comes first
    }
    if (flags & DIEP_START) return Start(1, 0);
    return DI_OK;
}

HRESULT DirectInputEffect::Play()
{
    m_armed = false;
    m_handle = Backend::Get().PlayJoystickEffect(m_device->Id(), m_effect);
    return m_handle > 0 ? DI_OK : DIERR_GENERIC;
}

HRESULT DirectInputEffect::Start(DWORD iterations, DWORD flags)
{
    if (!m_device->ExclusivelyAcquired()) return DIERR_NOTEXCLUSIVEACQUIRED;
    if (!m_hasForce) return DIERR_INCOMPLETEEFFECT;
    if (iterations == 0) return DIERR_INVALIDPARAM;
    Halt();
    if (flags & DIES_SOLO) m_device->SendForceFeedbackCommand(DISFFC_STOPALL);
    m_effect.iterations = iterations;
    if (m_triggerButton != DIEB_NOTRIGGER) {  // plays when its button goes down
        m_armed = true;
        return DI_OK;
    }
    return Play();
}

HRESULT DirectInputEffect::Stop()
{
    if (!m_device->ExclusivelyAcquired()) return DIERR_NOTEXCLUSIVEACQUIRED;
    Halt();
    return DI_OK;
}

HRESULT DirectInputEffect::Download()
{
    if (!m_device->ExclusivelyAcquired()) return DIERR_NOTEXCLUSIVEACQUIRED;
    return m_hasForce ? DI_OK : DIERR_INCOMPLETEEFFECT;
}

HRESULT DirectInputEffect::Unload()
{
    Halt();
    return DI_OK;
}

void DirectInputEffect::Halt()
{
    m_armed = false;
    if (m_handle > 0) Backend::Get().StopJoystickEffect(m_device->Id(), m_handle);
    m_handle = 0;
}

void DirectInputEffect::ButtonDown(int button)
{
    if (m_armed && m_triggerButton == static_cast<DWORD>(DIJOFS_BUTTON(button))) Play();
}
}  // namespace platform

// The plane's carried slots, its timed effects and the hand-over of touches
// to the sprite actors it flies through.
#include <algorithm>

#include "engine/YGameObjects.h"
#include "foundation/YDataCollection.h"
#include "game/YPlane.h"

namespace {

void SetTimed(uint8_t& flag, float& remaining, int on, float seconds)
{
    flag = on ? 1 : 0;
    remaining = on ? seconds : 0.0f;
}

bool EditMode()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine && engine->m_settings && engine->m_settings->GetInt("game_editmode") == 1;
}

}  // namespace

int32_t YPlane::GetCarried(int slot) const
{
    if (slot == -1) {
        int32_t sum = 0;
        for (int32_t value : m_carried) sum += value;
        return sum;
    }
    return slot >= 0 && slot < CarriedSlots ? m_carried[slot] : 0;
}

void YPlane::SetCarried(int32_t value, int slot)
{
    if (slot >= 0 && slot < CarriedSlots) {
        m_carried[slot] = value;
    } else if (slot == -1 && value == 0) {
        std::fill(m_carried, m_carried + CarriedSlots, 0);
    } else if (slot == -1) {
        int32_t* free = std::find(m_carried, m_carried + CarriedSlots, 0);
        if (free != m_carried + CarriedSlots) *free = value;
    }
}

void YPlane::SetDisrupted(int on, float seconds) { SetTimed(m_disrupted, m_disruptedTime, on, seconds); }
void YPlane::SetTornado(int on, float seconds) { SetTimed(m_tornado, m_tornadoTime, on, seconds); }
void YPlane::SetFlashed(int on, float seconds) { SetTimed(m_flashed, m_flashedTime, on, seconds); }
void YPlane::SetReversed(int on, float seconds) { SetTimed(m_reversed, m_reversedTime, on, seconds); }
void YPlane::SetMachineGun(int on, float seconds) { SetTimed(m_machineGun, m_machineGunTime, on, seconds); }
void YPlane::SetUnlimitedAmmo(int on, float seconds) { SetTimed(m_unlimitedAmmo, m_unlimitedAmmoTime, on, seconds); }
void YPlane::SetAmplifiedDamage(int on, float seconds)
{
    SetTimed(m_amplifiedDamage, m_amplifiedDamageTime, on, seconds);
}

bool YPlane::HandTouchOn(YActor* other)
{
    if (m_touchDisabled || !other || (other->m_flagsB & FlagPlaneKind)) return false;
    if (!(other->m_flagsA & FlagSpriteActor) || EditMode()) return false;
    other->Touch(this);
    return true;
}

void YPlane::Touch(YActor* other) { HandTouchOn(other); }

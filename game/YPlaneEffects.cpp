// Timed effects that power-ups and projectiles put on a plane, the hit
// counter with its knock-out, and the five carried-item slots.
#include <algorithm>

#include "engine/YGameObjects.h"
#include "game/YClientPhysics.h"
#include "game/YPlane.h"
#include "game/YSmoke.h"
#include "renderer/YParser.h"

namespace {

const float kFlashFade = 0.13333334f;  // overlay alpha a remaining second
const float kHitSmoke = 5.0f;
const float kAutoFirePeriod = 0.1f;
const int kKnockOutHits = 5;
const int kHeavyHits = 15;
const int kTornadoLevel = 765;
const float kTornadoSpeed = 3.0f;  // times the top air speed

// Stores the flag; on stores the time, off clears it.
void SetTimed(uint8_t& flag, float& time, bool on, float seconds)
{
    flag = on ? 1 : 0;
    time = on ? seconds : 0.0f;
}

// A timed effect runs down; true on the frame it runs out.
bool RunDown(uint8_t& flag, float& time, float dt)
{
    if (!(time > 0.0f)) return false;
    time -= dt;
    if (time > 0.0f) return false;
    time = 0.0f;
    flag = 0;
    return true;
}

YParser* Renderer()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_renderer : nullptr;
}

}  // namespace

void YPlane::SetDisrupted(bool on, float seconds) { SetTimed(m_disrupted, m_disruptedTime, on, seconds); }

void YPlane::SetTornado(bool on, float seconds)
{
    const float top = m_handling->m_topAirSpeed;
    if (on && !IsOnGround()) {
        SetTimed(m_tornado, m_tornadoTime, true, seconds);
        m_throttle = kTornadoLevel;
        SetEngineLevel(kTornadoLevel);
        m_velocity.SetLength(kTornadoSpeed * top);
        return;
    }
    // Off, and a start refused on the ground.
    SetTimed(m_tornado, m_tornadoTime, false, 0.0f);
    m_throttle = kMaxEngineLevel;
    m_velocity.SetLength(top);
    SetEngineLevel(kMaxEngineLevel);
}

void YPlane::SetFlashed(bool on, float seconds)
{
    SetTimed(m_flashed, m_flashedTime, on, seconds);
    if (on && !m_botFlown)
        if (YParser* renderer = Renderer()) renderer->SetOverlayColor(1.0f, 0.0f, 0.0f, 1.0f);
}

void YPlane::SetReversed(bool on, float seconds) { SetTimed(m_reversed, m_reversedTime, on, seconds); }

void YPlane::SetUnlimitedAmmo(bool on, float seconds)
{
    SetTimed(m_unlimitedAmmo, m_unlimitedAmmoTime, on, seconds);
    if (on) m_ammo = 5;
}

void YPlane::SetMachineGun(bool on, float seconds) { SetTimed(m_machineGun, m_machineGunTime, on, seconds); }

void YPlane::SetAmplifiedDamage(bool on, float seconds)
{
    SetTimed(m_amplifiedDamage, m_amplifiedDamageTime, on, seconds);
}

void YPlane::AgeEffects(float dt, bool view)
{
    RunDown(m_disrupted, m_disruptedTime, dt);
    if (m_tornadoTime > 0.0f) {
        m_tornadoTime -= dt;
        if (m_tornadoTime <= 0.0f) SetTornado(false, 0.0f);
    }
    if (RunDown(m_flashed, m_flashedTime, dt))
        if (YParser* renderer = Renderer()) renderer->SetOverlayColor(0.0f, 0.0f, 0.0f, 0.0f);
    RunDown(m_reversed, m_reversedTime, dt);
    RunDown(m_unlimitedAmmo, m_unlimitedAmmoTime, dt);
    if (RunDown(m_machineGun, m_machineGunTime, dt)) m_autoFire = 0;
    RunDown(m_amplifiedDamage, m_amplifiedDamageTime, dt);
    if (m_autoFire) {
        m_autoFireTime -= dt;
        if (m_autoFireTime <= 0.0f) {
            FirePaintball();
            m_autoFireTime = kAutoFirePeriod;
        }
    }
    if (m_flashed && view && !m_botFlown)
        if (YParser* renderer = Renderer()) {
            const float a = std::min(1.0f, m_flashedTime * kFlashFade);
            renderer->SetOverlayColor(a, 0.0f, 0.0f, a);
        }
}

void YPlane::Puff(float size)
{
    YGameObjects* engine = YGameObjects::Existing();
    if (engine && engine->m_world) new YSmoke(m_position, size, m_darkSmoke);
}

void YPlane::OnProjectileHit()
{
    ++m_hitCount;
    Puff(1.0f);
    m_smokeTime = kHitSmoke;
    if (m_hitCount >= kKnockOutHits) ResetEffects();
    if (m_hitCount >= kHeavyHits) m_fifteenHits = 1;
}

int YPlane::GetCarried(int slot) const
{
    if (slot >= 0 && slot < CarriedSlots) return m_carried[slot];
    if (slot != -1) return 0;
    int sum = 0;
    for (int value : m_carried) sum += value;
    return sum;
}

void YPlane::SetCarried(int value, int slot)
{
    if (slot >= 0 && slot < CarriedSlots) {
        m_carried[slot] = value;
        return;
    }
    if (slot != -1) return;
    if (value == 0) {
        std::fill(m_carried, m_carried + CarriedSlots, 0);
        return;
    }
    for (int& held : m_carried)
        if (held == 0) {
            held = value;
            return;
        }
}

void YPlane::UseHeldPowerUp()
{
    // The power-up's own use.
    if (m_heldPowerUp) m_heldPowerUp->PerformAction("use");
}

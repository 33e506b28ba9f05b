#include "game/YPowerUp.h"

#include <cstdlib>

#include "game/YActorServices.h"
#include "game/YPlane.h"
#include "game/YTunnix.h"

int YPowerUp::s_nameCounter = 0;

namespace {

int Roll() { return rand() % 100; }

// The kind picked for the game mode (0 dogfight, 2 tunnix, 3 balloon drop).
uint32_t ModePick(int mode)
{
    const int r = Roll();
    switch (mode) {
    case 0:
        return r < 20 ? YPowerUp::BBAmmo : r < 40 ? YPowerUp::Disruptor : r < 60 ? YPowerUp::Flash
               : r < 70 ? YPowerUp::MachineGun : r < 85 ? YPowerUp::UnlimitedAmmo : YPowerUp::AmplifiedDamage;
    case 3: return r < 34 ? YPowerUp::Disruptor : r < 67 ? YPowerUp::Flash : YPowerUp::BalloonSteal;
    case 2: return r < 10 ? YPowerUp::Disruptor : r < 20 ? YPowerUp::Flash : YPowerUp::StealTunnix;
    default: return r < 50 ? YPowerUp::Disruptor : YPowerUp::Flash;
    }
}

int GameMode()
{
    YGameRules* rules = YActorServices::Rules();
    return rules ? rules->m_mode : -1;
}

}  // namespace

YPowerUp::YPowerUp()
    : YSpriteActor(OrientSelf), m_owner(nullptr), m_opponentDistance(0.0f), m_type(Flash), m_respawnTimer(0.0f),
      m_effectRunning(0), m_effectRemaining(0.0f), m_flickerTimer(kFlickerSeconds), m_flicker(1)
{
}

YPowerUp::YPowerUp(const YVector& position, uint32_t type, bool resetNames) : YPowerUp()
{
    Init(position, type, resetNames);
    m_flagsB |= FlagPowerUpKind;
}

const char* YPowerUp::SpriteOf(uint32_t type)
{
    switch (type) {
    case RandomGood: case RandomBad: return "Powerup-wildcard_powerup--24-0";
    case Disruptor: return "Powerup-signal_disruptor--24-0";
    case BBAmmo: return "Powerup-bb_powerup--24-0";
    case Tornado: return "Powerup-tornado_powerup--24-0";
    case Congrats: return "Powerup-congrats_powerup--24-0";
    case Fuel: return "Powerup-fuel_powerup--24-0";
    default: return "Powerup-flash_powerup--24-0";
    }
}

void YPowerUp::Init(const YVector& position, uint32_t type, bool resetNames)
{
    m_type = type;
    m_effectRunning = 0;
    m_effectRemaining = 0.0f;
    m_flickerTimer = kFlickerSeconds;
    m_flicker = 1;
    m_spriteKey = SpriteOf(type);
    SetSprite(position, m_spriteKey);
    m_home = position;
    m_scale = 15.0f;
    if (resetNames) s_nameCounter = 0;
    m_flagsA |= FlagVisible;
    m_owner = nullptr;
    m_opponentDistance = 0.0f;
    m_name.Format("Powerup%02d", s_nameCounter++);
}

uint32_t YPowerUp::Resolve(uint32_t type, int mode)
{
    if (type == RandomGood || type == Fuel) {
        const int r1 = Roll();
        if (r1 < 80) return ModePick(mode);
        if (r1 < 90) return Roll() < 50 ? Tornado : StealPowerUp;
        return Roll() < 50 ? Reverse : ControlLoss;
    }
    if (type == RandomBad) {
        const int r1 = Roll();
        if (r1 < 80) return Roll() < 50 ? Reverse : ControlLoss;
        if (r1 < 90) return Roll() < 50 ? Tornado : StealPowerUp;
        return Roll() >= 50 ? RandomBad : ModePick(mode);
    }
    return type;
}

void YPowerUp::Touch(YActor* other)
{
    if (m_type == Congrats || !(m_flagsA & FlagVisible) || !other) return;
    YPlane* collector = dynamic_cast<YPlane*>(other);
    if (!collector || collector->m_heldPowerUp) return;
    const uint32_t kind = Resolve(m_type, GameMode());
    YActorServices::PlayAt(collector, "Impact:pi-powerup-taken", m_soundNear, m_soundFar);
    m_flagsA &= ~FlagVisible;
    m_position = YVector();
    Relocate();
    m_respawnTimer = kRespawnSeconds;
    if (kind == Reverse || kind == ControlLoss) {
        if (collector->m_heldPowerUp) collector->m_heldPowerUp->MarkForDestruction();
        if (kind == ControlLoss) collector->SetDisrupted(1, kEffectSeconds);
        else collector->SetReversed(1, kEffectSeconds);
    } else {
        YPowerUp* held = new YPowerUp(YVector(), kind, false);
        if (collector->m_heldPowerUp) collector->m_heldPowerUp->MarkForDestruction();
        collector->m_heldPowerUp = held;
        held->m_owner = collector;
    }
    if (YGameObjects* engine = YActorServices::Engine()) YActorServices::EmptyEntry(engine->m_powerUps, this);
}

void YPowerUp::Update(float dt)
{
    if (m_effectRunning) {
        if (m_effectRemaining <= 0.0f) {
            if (m_owner && m_owner->m_heldPowerUp == this) m_owner->m_heldPowerUp = nullptr;
            MarkForDestruction();
            return;
        }
        m_effectRemaining -= dt;
        m_flickerTimer -= dt;
        if (m_flickerTimer <= 0.0f) {
            m_flickerTimer = kFlickerSeconds;
            m_flicker = !m_flicker;
        }
        return;
    }
    m_angles.y += 180.0f * dt;
    if (m_respawnTimer <= 0.0f) {
        if (!(m_flagsA & FlagVisible)) {
            m_flagsA |= FlagVisible;
            m_position = m_home;
            Relocate();
        }
    } else {
        m_respawnTimer -= dt;
    }
    YGameObjects* engine = YActorServices::Engine();
    if (engine && engine->m_opponentPlane)
        m_opponentDistance = m_position.FastDistance(engine->m_opponentPlane->m_position);
}

void YPowerUp::StartEffect()
{
    m_effectRunning = 1;
    m_effectRemaining = kEffectSeconds;
    m_flicker = 1;
}

void YPowerUp::Consume()
{
    if (m_owner && m_owner->m_heldPowerUp == this) m_owner->m_heldPowerUp = nullptr;
    MarkForDestruction();
}

void YPowerUp::StealTunnixFrom(YPlane* target)
{
    // Only filled slots move: an earlier steal may have left gaps.
    int moved = 0;
    for (int slot = 0; slot < YPlane::CarriedSlots; ++slot) {
        if (m_owner->m_tunnixCount + moved >= YTunnix::kMaxCarried) break;
        const int32_t value = target->GetCarried(slot);
        if (value == 0) continue;
        m_owner->SetCarried(value, -1);
        target->SetCarried(0, slot);
        ++moved;
    }
    m_owner->m_tunnixCount += moved;
    target->m_tunnixCount -= moved;
}

void YPowerUp::ApplyEffect()
{
    if (m_effectRunning || !m_owner) return;
    YGameObjects* engine = YActorServices::Engine();
    YPlane* target = nullptr;
    if (engine) target = m_owner->m_botFlown ? YActorServices::LocalPlane() : engine->m_opponentPlane;
    YActorServices::PlayAt(m_owner, m_type == StealTunnix ? "Impact:pi-Tunnix-stolen" : "Impact:pi-powerup",
                           m_soundNear, m_soundFar);
    const bool inRange = m_owner->m_stealInRange != 0;
    switch (m_type) {
    case Disruptor:
        if (target) {
            target->SetDisrupted(1, kEffectSeconds);
            StartEffect();
        }
        break;
    case BBAmmo: m_owner->m_ammo = 5; break;
    case UnlimitedAmmo:
        m_owner->SetUnlimitedAmmo(1, kEffectSeconds);
        StartEffect();
        break;
    case Tornado:
        m_owner->SetTornado(1, kEffectSeconds);
        StartEffect();
        break;
    case Flash:
        if (target) {
            target->SetFlashed(1, kEffectSeconds);
            StartEffect();
        }
        break;
    case MachineGun:
        m_owner->SetMachineGun(1, kEffectSeconds);
        m_owner->SetUnlimitedAmmo(1, kEffectSeconds);
        StartEffect();
        break;
    case AmplifiedDamage:
        m_owner->SetAmplifiedDamage(1, kEffectSeconds);
        StartEffect();
        break;
    case StealPowerUp:
        if (target && inRange) {
            YPowerUp* taken = dynamic_cast<YPowerUp*>(target->m_heldPowerUp);
            m_owner->m_heldPowerUp = target->m_heldPowerUp;
            if (taken) taken->m_owner = m_owner;
            target->m_heldPowerUp = nullptr;
        }
        break;
    case StealTunnix:
        if (target && inRange) {
            if (m_owner->m_tunnixCount < YTunnix::kMaxCarried)
                YActorServices::PlayAt(m_owner, "Impact:pi-Tunnix-stolen", m_soundNear, m_soundFar);
            StealTunnixFrom(target);
        }
        break;
    case BalloonSteal:
        if (target && inRange) {
            for (int i = 0; i < 5; ++i) {
                if (target->m_balloons <= 0) continue;
                --target->m_balloons;
                ++m_owner->m_balloons;
            }
        }
        break;
    default: break;
    }
    if (m_type == BBAmmo || m_type == StealPowerUp || m_type == StealTunnix) Consume();
}

void YPowerUp::ForgetActor(YActor* actor)
{
    YSpriteActor::ForgetActor(actor);
    if (actor && static_cast<YActor*>(m_owner) == actor) m_owner = nullptr;
}

// The spinning pick-up that planes fly through. A world power-up is taken by
// touch and comes back home 30 s later; the plane then holds a power-up of
// the drawn kind (one at a time) and uses it on itself or the other plane.
#pragma once

#include <cstdint>

#include "game/YSpriteActor.h"

class YPlane;

class YPowerUp : public YSpriteActor {
public:
    enum : uint32_t {
        RandomGood = 0, RandomBad = 1, Disruptor = 2, BBAmmo = 3, Tornado = 4, Flash = 5, Reverse = 6,
        StealPowerUp = 7, ControlLoss = 8, BalloonSteal = 9, StealTunnix = 10, MachineGun = 11,
        UnlimitedAmmo = 12, AmplifiedDamage = 13, Congrats = 14, Fuel = 15,
    };
    static constexpr float kRespawnSeconds = 30.0f;
    static constexpr float kEffectSeconds = 15.0f;
    static constexpr float kFlickerSeconds = 0.5f;

    YPowerUp();
    YPowerUp(const YVector& position, uint32_t type, bool resetNames);

    virtual void Init(const YVector& position, uint32_t type, bool resetNames);
    void Update(float dt) override;
    void Touch(YActor* other) override;
    void ForgetActor(YActor* actor) override;
    // The held power-up's use by its owner.
    void ApplyEffect();

    // The kind a pick-up of the type becomes in the game mode (rand()).
    static uint32_t Resolve(uint32_t type, int mode);
    static const char* SpriteOf(uint32_t type);

    YPlane* m_owner;  // reference: the plane holding it; null in the world
    float m_opponentDistance;
    uint32_t m_type;
    float m_respawnTimer;
    YVector m_home;
    uint8_t m_effectRunning;
    float m_effectRemaining;
    float m_flickerTimer;
    uint8_t m_flicker;

    static int s_nameCounter;

private:
    void StartEffect();
    void Consume();
    void StealTunnixFrom(YPlane* target);
};

// The plane actor a pilot flies.
#pragma once

#include <cstdint>

#include "world/YActor.h"

class YClientPhysics;

class YPlane : public YActor {
    DECLARE_SERIAL(YPlane)
public:
    // Flag word B bits of a plane.
    enum : uint32_t {
        FlagCrashing = 0x1000,
        FlagDown = 0x2000,  // crashed; the collision pass also sweeps a tail
        FlagLiftOffReady = 0x4000,
        FlagScaledAuthority = 0x8000,  // the bot axes scale by control authority
    };

    YPlane();
    ~YPlane() override;

    using YActor::OnCommand;
    // A command verb with its argument text and phase (1 press, 2 held,
    // 3 release); 1 when handled.
    virtual int OnCommand(int id, const char* argument, int phase);

    YClientPhysics* GetHandling() const { return m_handling; }
    float GetSpeed() const { return m_velocity.Length(); }
    bool IsOnGround() const { return (m_flagsB & FlagOnGround) != 0; }
    bool IsCrashingOrDown() const { return (m_flagsB & (FlagCrashing | FlagDown)) != 0; }

    uint8_t m_disrupted = 0;  // the disruptor effect
    float m_disruptedTime = 0.0f;
    uint8_t m_reversed = 0;  // reversed controls
    float m_reversedTime = 0.0f;
    uint8_t m_controlEnabled = 1;  // 0 blocks the roll and pitch verbs
    float m_pitchImpulse = 0.0f;  // added once to the rates, then cleared
    float m_rollImpulse = 0.0f;
    uint8_t m_rollInputHeld = 0;  // set on release: the input recentres
    uint8_t m_rudderInputHeld = 0;
    uint8_t m_pitchInputHeld = 0;
    float m_pitchRate = 0.0f;  // degrees a second
    float m_yawRate = 0.0f;
    float m_rollRate = 0.0f;
    float m_rollInput = 0.0f;  // -30..30
    float m_pitchInput = 0.0f;
    float m_rudderInput = 0.0f;
    uint32_t m_lastTurnTime = 0;  // clock, ms
    uint8_t m_axisTurn = 0;  // set by the yaw axis in the air
    uint32_t m_axisTurnTime = 0;
    uint8_t m_botFlown = 0;

protected:
    YClientPhysics* m_handling;  // owned
};

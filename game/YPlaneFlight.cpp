// The plane's per-frame motion: the update step, the movement dispatcher,
// the air step that turns the inputs into rotations of the Forward/Up frame,
// the ground roll, gravity, the stall start and the part contact with the
// ground.  Degrees, metres, seconds.
#include <algorithm>
#include <cmath>

#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "game/YClientPhysics.h"
#include "game/YPlane.h"
#include "game/YCompass.h"
#include "input/YInputObj.h"
#include "renderer/YParser.h"
#include "world/YActorWorld.h"
#include "world/YGameCommands.h"

namespace {

const float kDegrees = 57.29578f;
const float kInputRecentre = 50.0f;  // input units a second
const float kLevelRate = 50.0f;      // wing levelling, degrees a second
const float kPitchLevelRate = 7.0f;
const float kLevelBand = 30.0f;      // levelling and bank turns only within this pitch
const uint32_t kTurnQuiet = 300;     // ms after the last turn before levelling
const uint32_t kAxisTurnHold = 500;
const uint32_t kBlinkPeriod = 400;
const uint32_t kStallMs = 10000;
const float kCeilingTest = 75.0f;
const float kContactReach = 3.0f;    // no part contact higher than this above the ground
const float kWheelReach = 0.5f;      // the wheels count as down this close to the ground
const float kNoClearance = 10000.0f;
const float kLiftOffRoll = 0.2f;
const float kEpsilon = 0.001f;
const float kLowFuel = 30.0f;

enum { CommandThrottleUp = 43, CommandThrottleDown = 44 };

float Clamp(float v, float limit) { return std::max(-limit, std::min(limit, v)); }

// Moves the value toward 0 by the step without crossing it.
float TowardZero(float value, float step)
{
    if (value > 0.0f) return std::max(0.0f, value - step);
    return std::min(0.0f, value + step);
}

struct PartGroup {
    int part;
    const char* group;
};
const PartGroup kContactParts[] = {
    {YPlane::ContactPropeller, "Normal_prop"},        {YPlane::ContactLeftWing, "Normal_wing_left"},
    {YPlane::ContactRightWing, "Normal_wing_right"},  {YPlane::ContactLeftWheel, "Normal_wheel_left"},
    {YPlane::ContactRightWheel, "Normal_wheel_right"}, {YPlane::ContactTail, "Normal_tail"},
};

}  // namespace

float YPlane::Authority(float speed) const
{
    const YClientPhysics& h = *m_handling;
    const float d = h.m_fullControlSpeed - speed;
    float k = 1.0f;
    if (d > 0.1f) {
        const float span = h.m_fullControlSpeed - h.m_minControlSpeed;
        k = m_botFlown ? d / span : 1.0f - d / span;
    }
    if (k < 0.1f) k = 0.1f;
    if (k >= 1.0f) k = 1.0f;
    return k;
}

void YPlane::RotateAbout(float angle, YVector& vector, const YVector& axis)
{
    // Turned as the rotation about x of the angle-triple turns, with the
    // axis brought onto x.
    YVector k = axis;
    const float length = k.Length();
    if (!(length > 0.0f)) return;
    k = k * (1.0f / length);
    const double a = -static_cast<double>(angle) / kDegrees;
    const double c = std::cos(a), s = std::sin(a);
    const YVector cross = YVector::Cross(k, vector);
    const double dot = k.Dot(vector);
    vector = YVector(static_cast<float>(vector.x * c + cross.x * s + k.x * dot * (1.0 - c)),
                     static_cast<float>(vector.y * c + cross.y * s + k.y * dot * (1.0 - c)),
                     static_cast<float>(vector.z * c + cross.z * s + k.z * dot * (1.0 - c)));
}

void YPlane::ApplyAngleLocks()
{
    auto hold = [](float& angle, float range) {
        if (range >= 360.0f) return;
        const float bound = range * 0.5f;
        const float folded = FoldAngle180(angle);
        if (folded > bound) angle = WrapAngle360(bound);
        else if (folded < -bound) angle = WrapAngle360(bound + 180.0f);
    };
    hold(m_angles.z, m_handling->m_rollRange);
    hold(m_angles.x, m_handling->m_pitchRange);
    // Going over onto the back ends the pitch-over of a strike.
    if (m_crashState == CrashSomersault || m_crashState == CrashNoseDown) {
        const float pitch = WrapAngle360(m_angles.x);
        if (pitch > 45.0f && pitch < 180.0f - m_crashTiltLimit) {
            m_noseDown = 1;
            m_angles.x = WrapAngle360(m_crashPose.x + (180.0f - m_crashTiltLimit));
        }
    }
}

void YPlane::Update(float dt)
{
    YGameObjects* engine = YGameObjects::Existing();
    const uint32_t clock = engine ? engine->m_gameClock : 0;
    YActorWorld* world = m_world;
    const bool view = world && world->GetViewActor() == this;

    if (!m_engineStarted && m_engineLevel > 0) m_engineStarted = 1;
    if (m_pendingRestart && IsOnGround()) {
        // Knocked out and landed: frozen where it is.
        m_restartReady = 1;
        m_velocity = m_vectorB = YVector();
        return;
    }
    // Where the target lies, for the HUD's indicators.
    if (!m_botFlown && m_target) {
        const YVector to = m_target->m_position - m_position;
        const YVector right = YVector::Cross(m_up, m_forward);
        const float ahead = to.Dot(m_forward), up = to.Dot(m_up), side = to.Dot(right);
        const float vertical = std::atan2(up, std::sqrt(ahead * ahead + side * side)) * kDegrees;
        const float horizontal = std::atan2(side, ahead) * kDegrees;
        m_targetAbove = vertical > 40.0f;
        m_targetBelow = vertical < -40.0f;
        m_targetRight = horizontal > 30.0f;
        m_targetLeft = horizontal < -30.0f;
    }
    if (clock >= m_shotTimer) {
        m_shotTimer = 0;
        m_shotFlag = 0;
    }
    m_previousPosition = m_position;
    // Damage smoke.
    if (m_smokeTime > 0.0f) {
        if (m_crashState != CrashNone) m_darkSmoke = 1;
        m_smokeTime -= dt;
        if (m_smokeTime > 3.0f) {
            Puff(0.2f);
            Puff(0.4f);
            Puff(0.8f);
        } else if (m_smokeTime > 1.0f) {
            Puff(1.2f);
            Puff(1.6f);
        }
        Puff(2.4f);
        Puff(3.0f);
    }
    if (engine && engine->m_opponentPlane && !m_botFlown) m_canUsePowerUp = m_heldPowerUp ? 1 : 0;
    if (m_axisTurn && clock - m_axisTurnTime >= kAxisTurnHold) m_axisTurn = 0;

    AgeEffects(dt, view);

    if (m_pitchInputHeld) m_pitchInput = TowardZero(m_pitchInput, kInputRecentre * dt);
    if (m_rollInputHeld) m_rollInput = TowardZero(m_rollInput, kInputRecentre * dt);
    if (m_rudderInputHeld) m_rudderInput = TowardZero(m_rudderInput, kInputRecentre * dt);

    if (m_crashState == CrashNone && m_angles.x > 90.0f && m_angles.x < 270.0f) {
        m_angles.x = 180.0f - m_angles.x;
        m_angles.y += 180.0f;
        m_angles.z += 180.0f;
        m_angles.WrapAngles360();
        if (view) UpdateCamera();
    }
    // The wheel's notches while the mouse is acquired; otherwise the frame
    // window's wheel message carries them.
    YInputObj* input = engine ? engine->m_input : nullptr;
    if (!m_botFlown && input && input->m_mouseAcquired) {
        if (input->m_wheelAxis > 0) OnCommand(CommandThrottleUp, "", 1);
        if (input->m_wheelAxis < 0) OnCommand(CommandThrottleDown, "", 1);
    }
    if (view && engine && engine->m_compass) engine->m_compass->PlaceMarkers(m_angles.y);
    if (m_worldIndex == -1 && world) m_worldIndex = world->IndexOf(this);
    {
        YVector direction = m_angles.FromAngles();
        m_upsideDown = std::fabs(FoldAngle180(direction.ToAngles().y - m_angles.y)) > 60.0f;
    }

    Move(dt);
    EngineSequencerStep();
    m_partHit[PartLeftWing] = m_partHit[PartRightWing] = m_partHit[PartPropeller] = 0;

    if (clock >= m_blinkTime) {
        m_blinkTime = clock + kBlinkPeriod;
        m_blink ^= 1;
    }
    if (m_fuel > 0.0f && m_fuel < kLowFuel && m_blink && view && engine && engine->m_gameCommands)
        engine->m_gameCommands->PlayActorSound(this, m_soundNames[SoundLowFuel], static_cast<float>(m_soundVolumeLow),
                                               static_cast<float>(m_soundVolumeHigh), YGameCommands::SoundOnce);
    if (m_fuel <= 0.0f) SetEngineLevel(0);
    if (IsOnGround()) {
        m_forward = YVector(0.0f, m_angles.y, 0.0f).FromAngles();
        m_up = YVector(0.0f, 1.0f, 0.0f);
        m_cameraForward = m_forward;
        m_cameraUp = m_up;
    }
    if (view) UpdateCamera();
    SignalStep();
    EngineToneStep(dt);
    m_lookAheadSkip = 0;
}

void YPlane::GetWorldTransform(YVector& position, YVector& angles)
{
    if (!m_viewStored || !m_world || m_world->GetViewActor() != this) {
        YActor::GetWorldTransform(position, angles);
        return;
    }
    position = m_viewPosition;
    angles = m_viewAngles;
}

void YPlane::Move(float dt)
{
    const float speed = m_velocity.Length();
    if (m_angles.x == 90.0f) m_angles.x = 90.1f;
    const bool crashState = m_crashState != CrashNone;
    if (!IsOnGround() && !crashState) m_vectorB = YVector();

    float d = FoldAngle180(m_angles.z - m_visualBank);
    if (std::fabs(d) > 160.0f || (d > 120.0f && !crashState)) d = 0.0f;
    m_visualBank = Clamp(m_visualBank + 2.0f * d * dt, 360.0f);

    PartContact();
    if (!crashState) m_vectorB = YVector();

    YGameObjects* engine = YGameObjects::Existing();
    const uint32_t clock = engine ? engine->m_gameClock : 0;
    if (!IsOnGround()) {
        // Air gravity: banked flight sinks, the stall starts below its speed.
        if (m_gravityOn) {
            const YClientPhysics& h = *m_handling;
            float sink;
            bool stallStarts = false;
            if (speed > h.m_stallSpeed && !crashState) {
                float f = std::fabs(FoldAngle180(m_angles.z)) / 90.0f;
                if (f > 1.0f) f = 1.2f;
                sink = f * m_gravity * 1.2f * dt;
            } else if (!crashState && m_velocity.IsNonZero() && !m_freezeVertical) {
                m_crashState = CrashStall;
                m_stallDeadline = clock + kStallMs;
                m_flagsB |= FlagCrashing;
                stallStarts = true;
                sink = m_sinkSpeed;
            } else {
                sink = dt * m_gravity * 0.75f + m_sinkSpeed;
            }
            if (!stallStarts) {
                m_sinkSpeed = sink;
                if (speed >= h.m_stallSpeed || crashState) m_contactByte = 0;
                float drop = dt * m_sinkSpeed;
                bool touched = false;
                if (drop >= m_groundClearance) {
                    drop = m_groundClearance;
                    m_flagsB |= FlagOnGround;
                    touched = true;
                }
                if (!m_freezeVertical) m_position.y -= drop;
                if (touched) GroundContact(m_contactPart);
            }
        }
    } else {
        m_contactByte = 0;
        if (m_gravityOn) {
            m_sinkSpeed += dt * m_gravity * 0.75f;
            float drop = dt * m_sinkSpeed;
            if (drop >= m_groundClearance) {
                drop = m_groundClearance;
                m_flagsB |= FlagOnGround;
            }
            if (!m_freezeVertical) m_position.y -= drop;
        }
        if (m_world) m_world->UpdateActorCell(this);
    }
    m_freezeVertical = 0;
    if (m_crashState != CrashNone) {
        CrashStep(dt);
        return;
    }
    if (IsOnGround())
        GroundRoll(speed, dt);
    else
        Fly(speed, dt);
}

void YPlane::Fly(float speed, float dt)
{
    const YClientPhysics& h = *m_handling;
    YGameObjects* engine = YGameObjects::Existing();
    const uint32_t clock = engine ? engine->m_gameClock : 0;
    const float k = Authority(speed);
    m_angles.WrapAngles360();

    m_rollRate += h.m_rollAccel * m_rollInput * k * dt;
    m_rollRate += m_rollImpulse;
    if (m_rollInput == 0.0f && m_rollImpulse == 0.0f) m_rollRate = 0.0f;
    m_rollImpulse = 0.0f;
    m_rollRate = Clamp(m_rollRate, h.m_maxRollRate);
    m_pitchRate += h.m_pitchAccel * m_pitchInput * k * dt;
    m_pitchRate += m_pitchImpulse;
    if (m_pitchInput == 0.0f && m_pitchImpulse == 0.0f) m_pitchRate = 0.0f;
    m_pitchImpulse = 0.0f;
    m_pitchRate = Clamp(m_pitchRate, h.m_maxPitchRate);
    m_yawRate += h.m_yawAccel * m_rudderInput * k * dt;
    if (m_rudderInput == 0.0f) m_yawRate = 0.0f;
    m_yawRate = Clamp(m_yawRate, h.m_maxYawRate);

    const float running = (m_flagsB & FlagRunning) ? 2.0f : 1.0f;
    float rollStep = m_rollRate * dt * running;
    const float pitchStep = m_pitchRate * dt * running;
    const float yawStep = m_yawRate * dt * running;

    const float pitch = FoldAngle180(m_angles.x);
    const bool quiet = clock - m_lastTurnTime > kTurnQuiet && !m_axisTurn;
    if (((m_autoLevel && quiet) || m_forceRollLevel) && pitch > -kLevelBand && pitch < kLevelBand) {
        const float roll = m_angles.z;
        if (roll <= 180.0f)
            rollStep += std::min(roll, kLevelRate * dt);
        else
            rollStep += std::max(roll - 360.0f, -kLevelRate * dt);
    }
    float level = 0.0f;
    if ((!m_botFlown && m_cameraMode == 2 && m_autoPitch && quiet) || m_forcePitchLevel) {
        if (pitch > 0.0f)
            level = pitch >= kPitchLevelRate * dt ? -kPitchLevelRate * dt : 0.0f;
        else
            level = kPitchLevelRate * dt;
    }

    RotateAbout(rollStep, m_up, m_forward);
    RotateAbout(yawStep, m_forward, m_up);
    YVector right = YVector::Cross(m_up, m_forward);
    RotateAbout(pitchStep + level, m_forward, right);
    RotateAbout(pitchStep + level, m_up, right);

    // Bank turn.
    if (pitch > -kLevelBand && pitch < kLevelBand) {
        float r = m_angles.z;
        if (r > 180.0f) r -= 360.0f;
        if (r > 90.0f) r = 180.0f - r;
        if (r < -90.0f) r = -180.0f - r;
        if (r > -90.0f && r < 90.0f) {
            const YVector turn(0.0f, -(r * h.m_bankYawFactor * dt), 0.0f);
            m_forward.Rotate(turn);
            m_up.Rotate(turn);
            right.Rotate(turn);
            m_velocity.Rotate(turn);
        }
    }
    m_forward.Normalize();
    right = YVector::Cross(m_up, m_forward);
    right.Normalize();
    m_up = YVector::Cross(m_forward, right);

    if (YActorWorld* world = m_world; world && world->GetViewActor() == this) {
        m_cameraLag -= YVector(pitchStep, yawStep, rollStep);
        m_cameraLag *= 0.7f;
        m_cameraUp = m_up;
        m_cameraForward = m_forward;
        RotateAbout(m_cameraLag.z, m_cameraUp, m_cameraForward);
        RotateAbout(m_cameraLag.y, m_cameraForward, m_cameraUp);
        const YVector planeRight = YVector::Cross(m_up, m_forward);
        RotateAbout(m_cameraLag.x, m_cameraForward, planeRight);
        RotateAbout(m_cameraLag.x, m_cameraUp, planeRight);
    }

    // The angles of record follow the frame.
    const float yaw = std::atan2(m_forward.x, m_forward.z) * kDegrees;
    YVector f = m_forward, u = m_up;
    f.Rotate(YVector(0.0f, -yaw, 0.0f));
    u.Rotate(YVector(0.0f, -yaw, 0.0f));
    const float framePitch = std::atan2(f.y, f.z) * kDegrees;
    u.Rotate(YVector(-framePitch, 0.0f, 0.0f));
    const float frameRoll = std::atan2(-u.x, u.y) * kDegrees;
    m_angles = YVector(framePitch, yaw, frameRoll);
    m_angles.WrapAngles360();

    DriveSpeed(h.m_topAirSpeed, h.m_airAccel, h.m_airBrake, speed, dt);
    PostMove(dt);
    ClampAltitude();
}

void YPlane::ClampAltitude()
{
    if (!m_world) return;
    const float ground = m_world->TerrainHeightAt(m_position.x, m_position.z);
    if (m_position.y > ground + kCeilingTest && m_position.y > ground + kCeiling) m_position.y = ground + kCeiling;
}

void YPlane::Accelerate(float target, float speed, float rate, float dt)
{
    YVector a = m_angles.FromAngles();
    a.Normalize();
    a *= rate;
    if (rate * dt + speed < 0.0f)
        m_velocity = YVector();
    else
        m_velocity += a * dt;
    const float length = m_velocity.Length();
    if ((rate > kEpsilon && length > target) || (rate < kEpsilon && length < target)) m_velocity.SetLength(target);
}

void YPlane::DriveSpeed(float top, float accel, float brake, float speed, float dt)
{
    const float target = static_cast<float>(m_engineLevel) * (1.0f / 255.0f) * top;
    if (target - speed > kEpsilon)
        Accelerate(target, speed, accel, dt);
    else if (target - speed < -kEpsilon)
        Accelerate(target, speed, -brake, dt);
}

void YPlane::GroundRoll(float speed, float dt)
{
    const YClientPhysics& h = *m_handling;
    const float d = FoldAngle180(m_angles.y - m_groundYaw);
    if (speed > 0.01f) {
        if (speed >= h.m_taxiSteerSpeed && speed >= 0.8f * h.m_minControlSpeed)
            m_vectorB.z += d * 35.0f;
        else if (speed >= h.m_taxiSteerSpeed)
            m_vectorB.z += d * 20.0f;
        else
            m_vectorB.z += d * 0.1f;
    }
    m_groundYaw = FoldAngle180(m_groundYaw + 2.0f * d * dt);

    DriveSpeed(h.m_topGroundSpeed, h.m_groundAccel, h.m_groundBrake, speed, dt);
    PostMove(dt);

    m_vectorB.x -= FoldAngle180(m_angles.x) * 4.0f;
    m_vectorB.z -= FoldAngle180(m_angles.z) * 4.0f;
    const float roll = FoldAngle180(m_angles.z);
    if (speed > h.m_minControlSpeed && roll > -kLiftOffRoll && roll < kLiftOffRoll)
        m_flagsB |= FlagLiftOffReady;
    else
        m_flagsB &= ~FlagLiftOffReady;
}

void YPlane::PostMove(float dt)
{
    if (m_crashState != CrashNone && m_crashState != CrashStall) return;
    YVector measured = m_velocity;
    if (IsOnGround()) measured.y = 0.0f;
    const float s = measured.Length();
    if (!(s > kEpsilon)) return;
    YVector forward = m_forward;
    forward.Normalize();
    m_velocity += (forward - m_velocity) * (5.0f * dt);
    m_velocity.SetLength(s);
}

void YPlane::PartContact()
{
    m_groundClearance = kNoClearance;
    m_contactPart = 0;
    YGameObjects* engine = YGameObjects::Existing();
    YSMHandle* model = GetModelInstance();
    if (!engine || !m_world || !m_world->HasMap()) return;
    if (!model) {
        OriginContact();
        return;
    }
    const float width = m_world->MapWidth(), depth = m_world->MapHeight();
    auto heightOf = [&](const YVector& p, float& height) {
        if (!(p.x >= 0.0f && p.x <= width && p.z >= 0.0f && p.z <= depth)) return false;
        height = p.y - m_world->TerrainHeightAt(p.x, p.z);
        return true;
    };
    YVector prop;
    float propHeight = 0.0f;
    if (!engine->ModelPointPosition(this, model->FindGroup("Normal_prop"), prop) || !heightOf(prop, propHeight) ||
        propHeight > kContactReach)
        return;

    float lowerWheel = kNoClearance;
    for (const PartGroup& part : kContactParts) {
        YVector point;
        float height = 0.0f;
        if (!engine->ModelPointPosition(this, model->FindGroup(part.group), point) || !heightOf(point, height))
            continue;
        if (part.part == ContactLeftWheel || part.part == ContactRightWheel)
            lowerWheel = std::min(lowerWheel, std::max(height, 0.0f));
        if (height > 0.0f) {
            if (height < m_groundClearance) {
                m_groundClearance = height;
                m_contactPart = part.part;
            }
            continue;
        }
        m_position.y -= height;
        m_contactByte = 1;
        GroundContact(part.part);
    }
    const bool liftOff = GetSpeed() > m_handling->m_liftOffSpeed && (m_flagsB & FlagLiftOffReady);
    if (lowerWheel <= (liftOff ? 0.0f : kWheelReach)) {
        m_flagsB |= FlagOnGround;
    } else {
        m_flagsB &= ~FlagOnGround;
        m_wheelsDown = 0;
    }
}

void YPlane::OriginContact()
{
    const YVector& p = m_position;
    if (!(p.x >= 0.0f && p.x <= m_world->MapWidth() && p.z >= 0.0f && p.z <= m_world->MapHeight())) return;
    const float height = p.y - m_world->TerrainHeightAt(p.x, p.z);
    if (height > kContactReach) return;
    if (height > 0.0f) {
        m_groundClearance = height;
        m_contactPart = ContactLeftWheel;
    } else {
        m_position.y -= height;
        m_contactByte = 1;
        GroundContact(ContactLeftWheel);
    }
    const bool liftOff = GetSpeed() > m_handling->m_liftOffSpeed && (m_flagsB & FlagLiftOffReady);
    if (std::max(height, 0.0f) <= (liftOff ? 0.0f : kWheelReach)) {
        m_flagsB |= FlagOnGround;
    } else {
        m_flagsB &= ~FlagOnGround;
        m_wheelsDown = 0;
    }
}


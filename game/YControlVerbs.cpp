#include "game/YControlVerbs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/YGameObjects.h"
#include "game/YClientInfo.h"
#include "game/YClientPhysics.h"
#include "game/YPlane.h"

namespace {

enum Phase { PhasePress = 1, PhaseHeld = 2, PhaseRelease = 3 };

const char* const kAxisUp = "3000";
const char* const kAxisDown = "-3000";

const float kWalkSpeed = 10.0f;
const float kRunSpeed = 20.0f;
const float kInputRate = 200.0f;  // input units a second
const float kInputLimit = 30.0f;
const float kImpulseShare = 0.35f;

bool IsPlaneKind(const YActor* actor) { return (actor->m_flagsB & YActor::FlagPlaneKind) != 0; }

// The controlled plane when it is one, else null.
YPlane* FlownPlane(YClientInfo* record)
{
    YPlane* plane = record ? record->m_controlledPlane : nullptr;
    return plane && IsPlaneKind(plane) ? plane : nullptr;
}

// The handling block of an actor that is not a plane; null when the index
// names none.
YClientPhysics* TableHandling(const YClientInfo* record)
{
    YGameObjects* engine = YGameObjects::Existing();
    if (!engine || !engine->m_clientPhysics) return nullptr;
    const int index = record->m_handlingIndex;
    if (index < 0 || index >= engine->m_clientPhysics->GetSize()) return nullptr;
    return engine->m_clientPhysics->GetAt(index);
}

// Ground steering factor from the speed.
float TaxiSteering(const YClientPhysics& h, float speed)
{
    float s = 0.0f;
    if (speed > h.m_steerFullSpeed)
        s = 1.0f;
    else if (speed >= h.m_steerStartSpeed)
        s = (speed - h.m_steerStartSpeed) / (h.m_steerFullSpeed - h.m_steerStartSpeed);
    return speed >= h.m_taxiSteerSpeed ? s * 0.125f : s * 2.0f;
}

// Control authority of a bot plane from its speed, with a bias.
float BotAuthority(const YPlane& plane, float bias)
{
    if (!(plane.m_flagsB & YPlane::FlagScaledAuthority)) return 1.0f;
    const YClientPhysics& h = *plane.GetHandling();
    return std::min(1.0f, (plane.GetSpeed() - h.m_minControlSpeed) / (h.m_fullControlSpeed - h.m_minControlSpeed) +
                              bias);
}

// Share of a bot's roll rate by the time since its last turn input.
float BotTurnShare(uint32_t sinceLastTurn)
{
    if (sinceLastTurn < 300) return 0.25f;
    if (sinceLastTurn < 600) return 0.25f + 0.0025f * static_cast<float>(sinceLastTurn - 300);
    return 1.0f;
}

// The yaw of the direction rebuilt from the angles is within 60 degrees of
// the yaw itself.
bool IsUpright(const YActor& actor)
{
    YVector direction = actor.m_angles.FromAngles();
    return std::fabs(FoldAngle180(direction.ToAngles().y - actor.m_angles.y)) < 60.0f;
}

// ---------------------------------------------------------------- walking
void Walk(YClientInfo* record, int phase, float yawTurn)
{
    YActor* body = record ? record->m_bodyActor : nullptr;
    if (!body || IsPlaneKind(body)) return;
    if (phase == PhaseRelease || body->GetParent()) {
        body->m_velocity = YVector();
        return;
    }
    YVector angles = body->m_angles;
    angles.y += yawTurn;
    body->m_velocity = angles.FromAngles();
    body->m_velocity.SetLength((body->m_flagsB & YActor::FlagRunning) ? kRunSpeed : kWalkSpeed);
}

void WalkForward(uint32_t, float, YClientInfo* r, const char*, int phase) { Walk(r, phase, 0.0f); }
void WalkBack(uint32_t, float, YClientInfo* r, const char*, int phase) { Walk(r, phase, 180.0f); }
void WalkLeft(uint32_t, float, YClientInfo* r, const char*, int phase) { Walk(r, phase, -90.0f); }
void WalkRight(uint32_t, float, YClientInfo* r, const char*, int phase) { Walk(r, phase, 90.0f); }

void Run(uint32_t, float, YClientInfo* record, const char*, int phase)
{
    YActor* body = record ? record->m_bodyActor : nullptr;
    if (!body) return;
    if (phase == PhaseRelease)
        body->m_flagsB &= ~YActor::FlagRunning;
    else
        body->m_flagsB |= YActor::FlagRunning;
}

// ---------------------------------------------------------------- axes
void PitchAxis(uint32_t clock, float, YClientInfo* record, const char* argument, int phase)
{
    if (!record || phase == PhaseRelease || !argument) return;
    int v = std::atoi(argument);
    if (v == 0) return;
    YActor* aim = record->m_aimActor;
    YPlane* plane = FlownPlane(record);
    if (!plane) {
        if (record->m_controlledPlane && record->m_controlledPlane->IsCrashingOrDown()) return;
        YClientPhysics* h = TableHandling(record);
        if (h && aim) aim->m_vectorB.x = static_cast<float>(v) / kControlAxisScale * h->m_pitchRange;
        return;
    }
    if (plane->IsCrashingOrDown() || plane->m_disrupted) return;
    if (plane->m_reversed) v = -v;
    const YClientPhysics& h = *plane->GetHandling();
    const float speed = plane->GetSpeed();
    const float deflection = static_cast<float>(-v) / kControlAxisScale;
    if (plane->IsOnGround()) {
        if (speed < h.m_minControlSpeed) return;
        if (!(plane->m_flagsB & YPlane::FlagLiftOffReady) || v >= 0 || !aim) return;
        aim->m_vectorB.x = deflection * h.m_pitchRange * (plane->m_botFlown ? 0.25f : 1.0f);
        return;
    }
    if (!plane->m_botFlown) {
        if (plane->m_controlEnabled) plane->m_pitchImpulse = deflection * h.m_pitchRange * kImpulseShare;
        return;
    }
    plane->m_lastTurnTime = clock;
    float m = deflection * h.m_pitchRange * BotAuthority(*plane, 0.0f) * 0.5f;
    if (plane->m_flagsB & YActor::FlagRunning) m *= 0.25f;
    if (!aim) return;
    const float r = FoldAngle180(plane->m_angles.z) * 0.017453292f;
    aim->m_vectorB.x = std::cos(r) * m;
    aim->m_vectorB.y = std::sin(r) * m * (IsUpright(*plane) ? -1.0f : 1.0f);
}

void YawAxis(uint32_t clock, float, YClientInfo* record, const char* argument, int phase)
{
    if (!record || phase == PhaseRelease || !argument) return;
    int v = std::atoi(argument);
    if (v == 0) return;
    YPlane* plane = FlownPlane(record);
    if (!plane) {
        YActor* actor = record->m_controlledPlane;
        if (!actor || record->m_controlledPlane->IsCrashingOrDown()) return;
        YClientPhysics* h = TableHandling(record);
        if (h) actor->m_vectorB.y = static_cast<float>(v) / kControlAxisScale * h->m_yawRange;
        return;
    }
    if (plane->IsCrashingOrDown() || plane->m_disrupted) return;
    if (plane->m_reversed) v = -v;
    const YClientPhysics& h = *plane->GetHandling();
    const float speed = plane->GetSpeed();
    const float deflection = static_cast<float>(v) / kControlAxisScale;
    if (plane->IsOnGround()) {
        if (!plane->m_botFlown && !plane->m_controlEnabled) return;
        plane->m_vectorB.y = deflection * h.m_yawRange * TaxiSteering(h, speed);
        if (!plane->m_botFlown) plane->m_lastTurnTime = clock;
        return;
    }
    if (!plane->m_botFlown) {
        if (!plane->m_controlEnabled) return;
        plane->m_rollInputHeld = 1;
        plane->m_axisTurn = 1;
        plane->m_axisTurnTime = clock;
        plane->m_rollImpulse = deflection * h.m_rollRange * kImpulseShare;
        return;
    }
    float z = -deflection * h.m_rollRange * BotAuthority(*plane, 0.2f) * BotTurnShare(clock - plane->m_lastTurnTime);
    if (plane->m_flagsB & YActor::FlagRunning) z *= 0.25f;
    plane->m_vectorB.z = z;
}

// ---------------------------------------------------------------- the plane's inputs
// The plane a roll or pitch verb changes; null when it takes nothing now.
// A bot's verb goes to the axis instead; dt becomes 0.1 when it is 0.
YPlane* InputPlane(uint32_t clock, float& dt, YClientInfo* record, int phase, YControlVerbHandler botAxis,
                   const char* axis)
{
    YPlane* plane = FlownPlane(record);
    if (!plane) return nullptr;
    if (plane->m_botFlown) {
        botAxis(clock, dt, record, axis, phase);
        return nullptr;
    }
    if (dt == 0.0f) dt = 0.1f;
    if (!plane->m_controlEnabled || plane->m_disrupted) return nullptr;
    return plane;
}

void RollInput(uint32_t clock, float dt, YClientInfo* record, int phase, float sign, const char* axis)
{
    YPlane* plane = InputPlane(clock, dt, record, phase, YawAxis, axis);
    if (!plane) return;
    if (plane->IsOnGround()) {
        YawAxis(clock, dt, record, axis, phase);
        return;
    }
    if (phase == PhaseRelease) {
        plane->m_rollInputHeld = 1;
        return;
    }
    plane->m_rollInputHeld = 0;
    if (plane->m_reversed) sign = -sign;
    plane->m_rollInput = sign * std::min(kInputRate * dt, kInputLimit);
    plane->m_lastTurnTime = clock;
}

void RollLeft(uint32_t clock, float dt, YClientInfo* r, const char*, int phase)
{
    RollInput(clock, dt, r, phase, -1.0f, kAxisDown);
}
void RollRight(uint32_t clock, float dt, YClientInfo* r, const char*, int phase)
{
    RollInput(clock, dt, r, phase, 1.0f, kAxisUp);
}

void PitchInput(uint32_t clock, float dt, YClientInfo* record, int phase, float sign, const char* axis)
{
    YPlane* plane = InputPlane(clock, dt, record, phase, PitchAxis, axis);
    if (!plane) return;
    if (phase == PhaseRelease) {
        plane->m_pitchInputHeld = 1;
        if (sign < 0.0f) PitchAxis(clock, dt, record, kAxisUp, phase);
        return;
    }
    plane->m_pitchInputHeld = 0;
    if (plane->m_reversed) sign = -sign;
    plane->m_pitchInput = std::max(-kInputLimit, std::min(kInputLimit, plane->m_pitchInput + sign * kInputRate * dt));
    plane->m_lastTurnTime = clock;
    if (plane->IsOnGround()) PitchAxis(clock, dt, record, axis, phase);
}

void PitchDown(uint32_t clock, float dt, YClientInfo* r, const char*, int phase)
{
    PitchInput(clock, dt, r, phase, 1.0f, kAxisDown);
}
void PitchUp(uint32_t clock, float dt, YClientInfo* r, const char*, int phase)
{
    PitchInput(clock, dt, r, phase, -1.0f, kAxisUp);
}

void Center(uint32_t, float, YClientInfo* record, const char*, int phase)
{
    if (record && record->m_aimActor && phase != PhaseRelease) record->m_aimActor->m_angles.x = 0.0f;
}

}  // namespace

const YControlVerb g_controlVerbs[] = {
    {1, WalkForward}, {2, WalkBack},  {4, WalkLeft},   {3, WalkRight}, {9, RollLeft},   {8, RollRight},
    {11, PitchDown},  {10, PitchUp},  {90, PitchAxis}, {91, YawAxis},  {13, Center},    {5, Run},
    {0, nullptr},
};

bool DispatchControlVerb(int id, uint32_t clock, float dt, YClientInfo* record, const char* argument, int phase,
                         const YControlVerb* table)
{
    if (!table) return false;
    for (const YControlVerb* row = table; row->m_handler; ++row) {
        if (row->m_id != id) continue;
        row->m_handler(clock, dt, record, argument, phase);
        return true;
    }
    return false;
}

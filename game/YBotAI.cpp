// The bot brain's think step: power-ups, the turn and climb choice, the
// steering by roll and pitch presses, take-off, the manoeuvres and the
// terrain look-ahead.  Degrees, metres, seconds; the clock in ms.
#include "game/YBotAI.h"

#include <cmath>
#include <cstdlib>

#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "game/YActorServices.h"
#include "game/YClientPhysics.h"
#include "game/YManeuvers.h"
#include "game/YPlane.h"
#include "game/YPowerUp.h"
#include "renderer/YTraceResult.h"
#include "world/YActorWorld.h"
#include "world/YGameRules.h"

namespace {

const double kDegrees = 57.29577951308232;
const int kCruiseLevel = 170;
const int kFullLevel = 255;
const int kManoeuvreLevel = 100;
const float kNearSq = 122500.0f;  // 350 m
const float kCloseSq = 2500.0f;   // 50 m
const float kTurnAroundCloseSq = 900.0f;  // 30 m
const DWORD kProbeFlags = 0x15C;
const DWORD kHitActor = 40;

float Wrapped(float angle) { return angle > 180.0f ? angle - 360.0f : angle; }

YVector WrappedAngles(const YVector& angles)
{
    return YVector(Wrapped(angles.x), Wrapped(angles.y), Wrapped(angles.z));
}

bool IsPlaneActor(const YActor* actor) { return actor && (actor->m_flagsB & YActor::FlagPlaneKind); }

}  // namespace

const YBotSkill YBotAI::kSkills[5] = {
    {0, 66.0f, 2, 10.0f, 5.0f, 127},
    {1, 72.0f, 4, 8.0f, 10.0f, 153},
    {2, 78.0f, 7, 6.0f, 15.0f, 179},
    {3, 84.0f, 10, 4.0f, 20.0f, 205},
    {4, 90.0f, 13, 2.0f, 25.0f, kFullLevel},
};

YBotAI::YBotAI() { Init(nullptr, 0, nullptr); }

YBotAI::~YBotAI() = default;

void YBotAI::Init(YActor* plane, int task, YManeuvers* maneuvers)
{
    m_plane = plane;
    m_task = task;
    m_maneuvers = maneuvers;
    m_skill = 0;
    m_savedTarget = m_target = nullptr;
    m_pitchToAim = m_yawToAim = m_rollToAim = 0.0f;
    m_rollSide = m_lastRollSide = m_turnSide = m_manoeuvreSide = m_lastRandomSide = -1;
    m_targetDistSq = m_evadeTime = -1.0f;
    m_altitude = m_targetAltitude = m_frameTime = 0.0f;
    m_obstacles = 0;
    m_takingOff = m_recovering = m_turnAroundWanted = m_randomWanted = m_evadeWanted = m_turning = 0;
    m_releaseNow = m_released = m_evading = 0;
    m_wingsLevel = m_pitchLevel = m_manoeuvreAllowed = 1;
    m_nextLookAhead = m_nextRetarget = 0;
    m_takeOffs = 0;
    m_reserved[0] = m_reserved[1] = 0;
}

const YBotSkill& YBotAI::Row() const
{
    const int s = m_skill < 0 ? 0 : m_skill > 4 ? 4 : m_skill;
    return kSkills[s];
}

YPlane* YBotAI::FlownPlane() const
{
    return IsPlaneActor(m_plane) ? static_cast<YPlane*>(m_plane) : nullptr;
}

bool YBotAI::Sees(YActor* actor, int range, uint32_t mask)
{
    if (!m_plane || !actor) return false;
    YActor* held = m_plane->m_target;
    m_plane->m_target = actor;
    const bool seen = m_plane->CanSeeActor(actor, range, mask);
    m_plane->m_target = held;
    return seen;
}

bool YBotAI::SeesPoint(const YVector& point, int range, uint32_t mask)
{
    return m_plane && m_plane->CanSeePoint(point, range, mask);
}

void YBotAI::ForgetActor(YActor* actor)
{
    if (!actor) return;
    if (m_savedTarget == actor) m_savedTarget = nullptr;
    if (m_target == actor) m_target = nullptr;
    if (m_plane == actor) m_plane = nullptr;
}

int YBotAI::RulesState() const
{
    YGameRules* rules = YActorServices::Rules();
    return rules ? rules->m_state : 0;
}

float YBotAI::HeightAboveGround(const YActor* actor) const
{
    if (!actor) return 0.0f;
    YGameObjects* engine = YGameObjects::Existing();
    YActorWorld* world = engine ? engine->m_world : nullptr;
    const float ground = world ? world->TerrainHeightAt(actor->m_position.x, actor->m_position.z) : 0.0f;
    return actor->m_position.y - ground;
}

YVector YBotAI::AimAngles(const YVector& position, const YVector& angles, const YVector& point)
{
    YVector d = point - position;
    const float length = d.Length();
    if (!(length > 0.0f) || !std::isfinite(length)) return YVector();
    d = d * (1.0f / length);
    const double yaw = angles.y / kDegrees, pitch = angles.x / kDegrees;
    const double x1 = d.x * std::cos(yaw) - d.z * std::sin(yaw);
    const double z1 = d.x * std::sin(yaw) + d.z * std::cos(yaw);
    const double y1 = d.y;
    const double y2 = y1 * std::cos(pitch) - z1 * std::sin(pitch);
    const double z2 = y1 * std::sin(pitch) + z1 * std::cos(pitch);
    const float yawTo = static_cast<float>(std::atan2(x1, z1) * kDegrees);
    const float pitchTo = static_cast<float>(std::atan2(y2, std::hypot(x1, z2)) * kDegrees);
    return YVector(std::isfinite(pitchTo) ? pitchTo : 0.0f, std::isfinite(yawTo) ? yawTo : 0.0f, 0.0f);
}

// ---------------------------------------------------------------- think step

void YBotAI::Think(float dt)
{
    if (!m_plane) return;
    YPlane* plane = FlownPlane();
    YGameObjects* engine = YGameObjects::Existing();
    const uint32_t clock = engine ? engine->m_gameClock : 0;

    if (m_rollSide != m_lastRollSide) {
        m_manoeuvreAllowed = 0;
        m_lastRollSide = m_rollSide;
    }
    if (m_evading) {
        if (m_evadeTime <= 0.0f)
            m_evading = 0;
        else
            m_evadeTime -= dt;
    }
    YActor* target = GetTarget();
    m_targetDistSq = target && target != m_plane ? m_plane->m_position.DistanceSquared(m_plane->m_vectorA) : kNoTarget;
    if (RulesState() == YGameRules::StateSecondRun) m_releaseNow = ReleaseTest() ? 1 : 0;
    if (plane) {
        float near = m_targetDistSq;
        if (!IsPlaneActor(target)) {
            YPlane* local = YActorServices::LocalPlane();
            near = local && local != plane ? plane->m_position.DistanceSquared(local->m_position) : kNoTarget;
        }
        plane->m_nearTarget = near < kNearSq && near > -1.0f ? 1 : 0;
    }
    m_frameTime = dt;
    if (clock >= m_nextLookAhead) {
        if (!plane || !plane->m_lookAheadSkip) m_obstacles = TerrainLookAhead();
        m_nextLookAhead = clock + 500 - 100 * m_skill;
    }
    if (plane) UsePowerUp();

    int turn = TurnNone, climb = ClimbNone;
    if (!m_takingOff && !m_recovering && !Decide(turn, climb)) return;
    if (plane && plane->m_reversed) {
        if (turn == TurnLeft) turn = TurnRight;
        else if (turn == TurnRight) turn = TurnLeft;
        if (climb == ClimbUp) climb = ClimbDown;
        else if (climb == ClimbDown) climb = ClimbUp;
    }
    Steer(turn, climb);
}

void YBotAI::UsePowerUp()
{
    YPlane* plane = FlownPlane();
    YPowerUp* held = plane ? dynamic_cast<YPowerUp*>(plane->m_heldPowerUp) : nullptr;
    if (!held) return;
    YPlane* local = YActorServices::LocalPlane();
    if (local == plane) local = nullptr;
    const float roll = plane->m_angles.z;
    switch (held->m_type) {
    case YPowerUp::Tornado:
        if ((roll < 1.0f || roll > 355.0f) && m_pitchToAim > -5.0f && m_pitchToAim < 5.0f && m_yawToAim > -5.0f &&
            m_yawToAim < 5.0f)
            plane->UseHeldPowerUp();
        return;
    case YPowerUp::BBAmmo:
    case YPowerUp::UnlimitedAmmo:
        if (plane->m_ammo < 1) held->ApplyEffect();
        return;
    case YPowerUp::Flash:
    case YPowerUp::Disruptor:
        if (local && ((local->m_angles.z > 45.0f && local->m_angles.z < 315.0f) ||
                      (local->m_angles.x > 305.0f && local->m_angles.x < 335.0f)))
            plane->UseHeldPowerUp();
        return;
    case YPowerUp::StealPowerUp:
        if (local && local->m_heldPowerUp) plane->UseHeldPowerUp();
        return;
    default:
        break;
    }
    if (!(m_targetDistSq < kCloseSq)) return;
    if (held->m_type == YPowerUp::StealTunnix) {
        if (IsPlaneActor(GetTarget())) plane->UseHeldPowerUp();
    } else if (held->m_type == YPowerUp::MachineGun || held->m_type == YPowerUp::AmplifiedDamage) {
        plane->UseHeldPowerUp();
    }
}

bool YBotAI::Decide(int& turn, int& climb)
{
    const YVector aim = AimAngles(m_plane->m_position, m_plane->m_angles, m_plane->m_vectorA);
    m_pitchToAim = aim.x;
    m_yawToAim = aim.y;
    m_rollToAim = 0.0f;
    YPlane* plane = FlownPlane();
    if (plane && plane->m_disrupted) return true;
    switch (m_task) {
    case TaskBalloonDrop: {
        const bool chose = Choose(turn, climb, false);
        YActor* target = GetTarget();
        if (!m_released && RulesState() == YGameRules::StateSecondRun && target && target != m_plane && m_releaseNow &&
            plane) {
            plane->ReleaseBalloon();
            m_released = 1;
        }
        return chose;
    }
    case TaskDogfight: {
        const bool chose = Choose(turn, climb, true);
        TryFire();
        return chose;
    }
    default:
        return Choose(turn, climb, false);
    }
}

bool YBotAI::Choose(int& turn, int& climb, bool dogfight)
{
    const uint32_t flags = m_plane->m_flagsB;
    if (!m_takingOff && !m_recovering && (flags & YActor::FlagOnGround) &&
        !(flags & (YPlane::FlagCrashing | YPlane::FlagDown)))
        m_takingOff = 1;
    if (m_takingOff || m_recovering) return true;
    turn = TurnNone;
    climb = ClimbNone;
    if (m_pitchLevel && m_turning) m_turnAroundWanted = m_randomWanted = 0;

    YActor* target = GetTarget();
    if (!target) return false;
    const float y = m_yawToAim;
    const float roll = m_plane->m_angles.z;
    const bool rollLevel = roll < 5.0f || roll > 355.0f;
    if (y > 10.0f && y < 90.0f) {
        m_turning = 1;
        turn = TurnLeft;
        m_turnSide = 1;
    } else if (y > -90.0f && y < -10.0f) {
        m_turning = 1;
        turn = TurnRight;
        m_turnSide = 0;
    } else if (y > 3.0f && y < 90.0f && m_turnSide == 1) {
        m_turning = 1;
        if (rollLevel) m_plane->m_angles.z = 0.0f;
        else turn = TurnRight;
    } else if (y > -90.0f && y < -3.0f && m_turnSide == 0) {
        m_turning = 1;
        if (rollLevel) m_plane->m_angles.z = 0.0f;
        else turn = TurnLeft;
    } else if (std::fabs(y) >= 135.0f && m_targetDistSq < kTurnAroundCloseSq) {
        m_turning = 0;
        m_turnSide = -1;
        m_randomWanted = dogfight ? 1 : 0;
        m_turnAroundWanted = dogfight ? 0 : 1;
    } else if (std::fabs(y) >= 90.0f) {
        m_turning = 0;
        m_turnAroundWanted = 1;
        m_randomWanted = 0;
        m_turnSide = -1;
    } else {
        m_turnSide = -1;
    }
    const float deadBand = static_cast<float>(6 - m_skill);
    if (m_pitchToAim > deadBand) climb = ClimbUp;
    else if (m_pitchToAim < -deadBand) climb = ClimbDown;

    if (dogfight) {
        if (m_turnAroundWanted && m_randomWanted) m_turnAroundWanted = 0;
    } else if (m_randomWanted == 1) {
        m_randomWanted = 0;
        m_turnAroundWanted = 1;
    }
    return true;
}

// ---------------------------------------------------------------- steering

void YBotAI::RollTo(float v, const YVector& angles)
{
    m_rollSide = 0;
    const float r = angles.z;
    if (r >= v + 5.0f) m_maneuvers->TRight(m_frameTime);
    else if (r <= v) m_maneuvers->TLeft(m_frameTime);
    else m_plane->m_angles.z = WrapAngle360(v);
}

void YBotAI::RollToNegative(float v, const YVector& angles)
{
    m_rollSide = 1;
    const float r = angles.z;
    if (r <= -(v + 5.0f)) m_maneuvers->TLeft(m_frameTime);
    else if (r > -v) m_maneuvers->TRight(m_frameTime);
    else m_plane->m_angles.z = WrapAngle360(-v);
}

void YBotAI::PitchUpTo(float v, const YVector& angles)
{
    if (angles.x < v) m_maneuvers->LDown(m_frameTime);
    else m_plane->m_angles.x = WrapAngle360(v);
}

void YBotAI::PitchDownTo(float v, const YVector& angles)
{
    if (angles.x > -v) m_maneuvers->LUp(m_frameTime);
    else m_plane->m_angles.x = WrapAngle360(-v);
}

void YBotAI::Steer(int turn, int climb)
{
    YPlane* plane = FlownPlane();
    if (!m_plane || !m_maneuvers || (plane && plane->m_disrupted)) return;
    const YVector angles = WrappedAngles(m_plane->m_angles);
    const bool flashed = plane && plane->m_flashed;
    if (m_takingOff) {
        TakeOff();
        if (m_takingOff) return;
    }
    SetThrottle();
    if ((m_evadeWanted || m_evading) && !flashed && m_manoeuvreAllowed) {
        EvasiveTurn(angles);
        return;
    }
    if (m_turnAroundWanted && m_manoeuvreAllowed) {
        TurnAround(angles);
        return;
    }
    if (m_randomWanted && !flashed && m_manoeuvreAllowed) {
        RandomManoeuvre(angles);
        return;
    }
    m_manoeuvreSide = -1;
    m_lastRandomSide = -1;
    const float dt = m_frameTime;
    if (turn == TurnNone && climb == ClimbNone) {
        const float r = angles.z;
        if (r > -180.0f && r < -5.0f) {
            m_maneuvers->TLeft(dt);
        } else if (r > 5.0f && r < 180.0f) {
            m_maneuvers->TRight(dt);
        } else {
            if (GetTarget() != m_plane) {
                m_plane->m_angles.z = 0.0f;
                if (std::fabs(m_pitchToAim) < 10.0f)
                    m_plane->m_angles.x = WrapAngle360(m_plane->m_angles.x + dt * m_pitchToAim * 0.5f);
                if (std::fabs(m_yawToAim) < 10.0f)
                    m_plane->m_angles.y = WrapAngle360(m_plane->m_angles.y + dt * m_yawToAim * 0.5f);
            }
            m_rollSide = -1;
        }
    }
    if (!m_manoeuvreAllowed) return;
    const float k = 85.0f - static_cast<float>(4 - m_skill) * 5.0f;
    const float h = m_altitude;
    const bool upsideDown = plane && plane->m_upsideDown;
    if (turn == TurnRight && climb == ClimbNone) {
        RollTo(k, angles);
        PitchUpTo(45.0f, angles);
    } else if (turn == TurnLeft && climb == ClimbNone) {
        RollToNegative(k, angles);
        PitchUpTo(45.0f, angles);
    } else if (turn != TurnNone && climb == ClimbUp) {
        if (turn == TurnRight) RollTo(45.0f, angles);
        else RollToNegative(45.0f, angles);
        PitchUpTo(static_cast<float>(4 - m_skill) * 5.0f + 50.0f, angles);
    } else if (turn == TurnRight && climb == ClimbDown) {
        if (h > 10.0f) {
            RollTo(135.0f, angles);
            if (std::fabs(angles.z) > 90.0f) PitchUpTo(85.0f, angles);
        } else if (h > 5.0f) {
            RollTo(91.0f, angles);
            if (std::fabs(angles.z) > 90.0f) PitchUpTo(85.0f, angles);
        } else if (h > 2.0f) {
            RollTo(89.0f, angles);
        } else {
            RollTo(50.0f, angles);
            PitchUpTo(45.0f, angles);
        }
    } else if (turn == TurnLeft && climb == ClimbDown) {
        if (h > 10.0f) {
            RollToNegative(135.0f, angles);
            if (std::fabs(angles.z) > 90.0f) PitchUpTo(85.0f, angles);
        } else if (h > 5.0f) {
            RollToNegative(91.0f, angles);
            PitchUpTo(85.0f, angles);
        } else if (h > 2.0f) {
            RollToNegative(89.0f, angles);
        } else {
            RollToNegative(50.0f, angles);
            PitchUpTo(45.0f, angles);
        }
    } else if (turn == TurnNone && climb == ClimbUp) {
        if (upsideDown) PitchDownTo(k, angles);
        else PitchUpTo(k, angles);
    } else if (turn == TurnNone && climb == ClimbDown) {
        if (upsideDown) PitchUpTo(k, angles);
        else PitchDownTo(k, angles);
    }
}

void YBotAI::TakeOff()
{
    YPlane* plane = FlownPlane();
    if (!plane) {
        m_takingOff = 0;
        return;
    }
    plane->m_angles.z = 0.0f;
    if (plane->m_hitCount > 4) {
        plane->SetEngineLevel(0);
        if (!(plane->m_pendingRestart && plane->m_restartReady)) plane->ResetEffects();
        return;
    }
    if (RulesState() >= YGameRules::StateRun) {
        plane->SetEngineLevel(YPlane::kMaxEngineLevel);
        if (plane->GetSpeed() >= plane->GetHandling()->m_minControlSpeed) {
            plane->m_flagsB |= YPlane::FlagLiftOffReady;
            PitchUpTo(45.0f, WrappedAngles(plane->m_angles));
        } else {
            plane->m_flagsB &= ~YPlane::FlagLiftOffReady;
        }
    }
    if (m_altitude > 5.0f) {
        m_takingOff = 0;
        ++m_takeOffs;
        if (m_task != TaskAirRace) SetTarget(nullptr);
    }
}

// ---------------------------------------------------------------- the base manoeuvres

int YBotAI::RandomSide()
{
    const int s = rand() % 2;
    if ((s != m_lastRandomSide && rand() % 100 < 25) || m_lastRandomSide == -1) m_lastRandomSide = s;
    return m_lastRandomSide;
}

void YBotAI::TurnAround(const YVector& angles)
{
    if (m_turning) return;
    if (m_manoeuvreSide == -1) m_manoeuvreSide = m_yawToAim < 0.0f ? 0 : 1;
    const float v = 90.0f - static_cast<float>(4 - m_skill) * 6.0f;
    if (m_manoeuvreSide == 0) RollTo(v, angles);
    else RollToNegative(v, angles);
    PitchUpTo(45.0f, angles);
}

void YBotAI::RandomManoeuvre(const YVector& angles)
{
    if (m_turning) return;
    const int side = RandomSide();
    const float v = 75.0f + static_cast<float>(rand() % (3 * m_skill + 1));
    if (side == 0) RollTo(v, angles);
    else RollToNegative(v, angles);
    PitchUpTo(15.0f + static_cast<float>(rand() % 30), angles);
}

void YBotAI::EvasiveTurn(const YVector& angles)
{
    if (m_obstacles == 0) {
        m_manoeuvreSide = -1;
        m_evadeWanted = 0;
        return;
    }
    if ((m_obstacles & (ObstacleAhead | ObstacleBelow | ObstacleAbove)) && m_manoeuvreSide == -1) {
        const bool below = (m_obstacles & ObstacleBelow) != 0, above = (m_obstacles & ObstacleAbove) != 0;
        if (below && !above) m_manoeuvreSide = 0;
        else if (above && !below) m_manoeuvreSide = 1;
        else if (!below && !above) m_manoeuvreSide = rand() % 2;
    }
    const float v = 90.0f - static_cast<float>(4 - m_skill) * 6.0f;
    if (m_manoeuvreSide == 0) RollTo(v, angles);
    else if (m_manoeuvreSide == 1) RollToNegative(v, angles);
    if ((m_obstacles & (ObstacleBelow | ObstacleAbove | ObstacleRight)) && !(m_obstacles & ObstacleLeft))
        PitchDownTo(45.0f, angles);
    else
        PitchUpTo(45.0f, angles);
}

void YBotAI::TryFire()
{
    YPlane* plane = FlownPlane();
    if (plane && IsPlaneActor(GetTarget()) && std::fabs(m_yawToAim) < 10.0f - 2.0f * m_skill) plane->FirePaintball();
}

void YBotAI::SetThrottle()
{
    YPlane* plane = FlownPlane();
    if (!plane || m_takingOff || plane->m_tornado || plane->m_disrupted) return;
    if (m_manoeuvreSide != -1) plane->SetEngineLevel(kCruiseLevel);
    else plane->SetEngineLevel(m_skill <= 2 ? kCruiseLevel : kFullLevel);
}

// ---------------------------------------------------------------- the skill classes' bodies

void YBotAI::SkillTurnAround(const YVector& angles)
{
    if (m_turning) return;
    if (m_manoeuvreSide == -1) m_manoeuvreSide = m_yawToAim < 0.0f ? 0 : 1;
    if (m_manoeuvreSide == 0) RollTo(Row().manoeuvreRoll, angles);
    else RollToNegative(Row().manoeuvreRoll, angles);
    PitchUpTo(15.0f, angles);
}

void YBotAI::SkillRandomManoeuvre(const YVector& angles)
{
    if (m_turning) return;
    const int side = RandomSide();
    const float v = 75.0f + static_cast<float>(rand() % Row().randomSpread);
    if (side == 0) RollTo(v, angles);
    else RollToNegative(v, angles);
    PitchUpTo(15.0f + static_cast<float>(rand() % 10), angles);
}

void YBotAI::SkillEvasiveTurn(const YVector& angles)
{
    if (!m_evading) {
        m_evading = 1;
        m_evadeTime = 2.5f;
    }
    float bonus = 0.0f;
    if (m_manoeuvreSide == -1) {
        if (m_yawToAim < -1.0f) m_manoeuvreSide = 0;
        else if (m_yawToAim > 1.0f) m_manoeuvreSide = 1;
        else if (m_obstacles & ObstacleBelow) m_manoeuvreSide = 0;
        else if (m_obstacles & ObstacleAbove) m_manoeuvreSide = 1;
        if (m_obstacles & (ObstacleBelow | ObstacleAbove)) bonus = 30.0f;
    }
    if (m_manoeuvreSide == 0) RollTo(Row().manoeuvreRoll, angles);
    else RollToNegative(Row().manoeuvreRoll, angles);
    PitchUpTo(15.0f + bonus, angles);
}

void YBotAI::SkillTryFire(bool planesOnly)
{
    YPlane* plane = FlownPlane();
    YActor* target = GetTarget();
    if (!plane || !target || target == m_plane) return;
    if (planesOnly && !dynamic_cast<YPlane*>(target)) return;
    if (std::fabs(m_yawToAim) < Row().fireCone && plane->m_position.FastDistance(target->m_position) < Row().fireRange)
        plane->FirePaintball();
}

void YBotAI::SkillSetThrottle()
{
    YPlane* plane = FlownPlane();
    if (!plane || m_takingOff) return;
    if (m_manoeuvreSide != -1) {
        plane->SetEngineLevel(kManoeuvreLevel);
        return;
    }
    if (m_task == TaskDogfight) {
        plane->SetEngineLevel(Row().throttle);
        return;
    }
    YPlane* local = YActorServices::LocalPlane();
    const bool trailing = local && local != plane && plane->m_score < local->m_score;
    plane->SetEngineLevel(trailing ? kFullLevel : Row().throttle);
}

void YBotAI::HardSetThrottle()
{
    YPlane* plane = FlownPlane();
    YActor* target = GetTarget();
    if (!plane || !target || m_takingOff || m_recovering) return;
    if (m_manoeuvreSide != -1) {
        plane->SetEngineLevel(kManoeuvreLevel);
    } else if (!m_evadeWanted && !m_randomWanted && target != m_plane && IsPlaneActor(target) &&
               plane->m_position.FastDistance(target->m_position) < 50.0f) {
        plane->SetEngineLevel(static_cast<YPlane*>(target)->m_throttle);
    } else {
        plane->SetEngineLevel(kFullLevel);
    }
    if (plane->m_engineLevel < kCruiseLevel) plane->SetEngineLevel(kCruiseLevel);
}

// ---------------------------------------------------------------- look-ahead and release

uint32_t YBotAI::TerrainLookAhead()
{
    YPlane* plane = FlownPlane();
    YGameObjects* engine = YGameObjects::Existing();
    YActorWorld* world = engine ? engine->m_world : nullptr;
    if (!world || !plane || !plane->m_nearTarget) return 0;

    const YVector a = plane->m_angles;
    const YVector directions[5] = {
        a.FromAngles(),
        YVector(WrapAngle360(a.x - 45.0f), a.y, a.z).FromAngles(),
        YVector(WrapAngle360(a.x + 45.0f), a.y, a.z).FromAngles(),
        YVector(a.x, WrapAngle360(a.y - 45.0f), a.z).FromAngles(),
        YVector(a.x, WrapAngle360(a.y + 45.0f), a.z).FromAngles(),
    };
    auto blocked = [&](const YVector& start, const YVector& direction, bool& stopped) {
        YVector from = start;
        const YVector to = start + direction * kProbeLength;
        stopped = world->LineTrace(plane, from, to, 0.0f, 0.0f, kProbeFlags) == 0;
        if (!stopped) return false;
        // Terrain and trees name no object but block all the same; only a
        // sprite actor (a pick-up) lets the probe through.
        const YTraceResult* hit = world->GetTraceHit();
        if (hit && hit->m_hitObject && hit->m_hitCode == kHitActor) {
            const YActor* actor = static_cast<const YActor*>(hit->m_hitObject);
            if (world->IndexOf(actor) >= 0 && (actor->m_flagsA & YActor::FlagSpriteActor)) return false;
        }
        return true;
    };
    uint32_t bits = 0;
    // Probe 0: from the plane, then from each wing point above 1 m while clear.
    {
        YVector starts[3] = {plane->m_position};
        int count = 1;
        YSMHandle* model = plane->GetModelInstance();
        for (const char* group : {"Normal_wing_left", "Normal_wing_right"}) {
            YVector point;
            const int16_t index = model ? model->FindGroup(group) : -1;
            if (index >= 0 && engine->ModelPointPosition(plane, index, point) && point.y > 1.0f) starts[count++] = point;
        }
        for (int i = 0; i < count; ++i) {
            bool stopped = false;
            const bool block = blocked(starts[i], directions[0], stopped);
            if (!stopped) continue;
            if (block) {
                bits |= ObstacleAhead;
                m_evadeWanted = 1;
            }
            break;
        }
    }
    if (m_evadeWanted) {
        for (int probe = 1; probe <= 4; ++probe) {
            bool stopped = false;
            if (!blocked(plane->m_position, directions[probe], stopped)) continue;
            m_evadeWanted = 1;
            switch (probe) {
            case 1: bits |= ObstacleBelow; break;
            case 2: bits = (bits & ObstacleBelow) | ObstacleAbove; break;
            case 3: bits |= ObstacleLeft; break;
            default: bits |= ObstacleBelow | ObstacleAbove | ObstacleRight; break;
            }
        }
    }
    if (bits == 0 || (!(bits & ObstacleAhead) && m_altitude >= 2.0f)) m_evadeWanted = 0;
    return bits;
}

bool YBotAI::ReleaseTest()
{
    YActor* target = GetTarget();
    float h = kFar;
    if (target && m_plane) {
        const float dx = target->m_position.x - m_plane->m_position.x;
        const float dz = target->m_position.z - m_plane->m_position.z;
        h = std::sqrt(dx * dx + dz * dz);
    }
    const int spread = 5 - m_skill;
    const int e = rand() % (11 - 2 * m_skill) - spread;
    const float speed = m_plane ? m_plane->m_velocity.Length() : 0.0f;
    return speed * (0.5f + 0.1f * static_cast<float>(e)) > h;
}

void YBotAI::Retarget()
{
    YGameObjects* engine = YGameObjects::Existing();
    const uint32_t clock = engine ? engine->m_gameClock : 0;
    if (clock < m_nextRetarget) return;
    m_nextRetarget = clock + 500;
    if (m_skill >= 4 || rand() % (5 - m_skill) == 0) m_manoeuvreAllowed = 1;
    UpdateTarget();
}

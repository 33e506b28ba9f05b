// The motion of a crashing or downed plane, state by state, the stall, and
// the restart at a clear spot that ends every crash.
#include <cmath>
#include <cstdlib>

#include "engine/YGameObjects.h"
#include "game/YClientPhysics.h"
#include "game/YPlane.h"
#include "world/YActorWorld.h"

namespace {

const uint32_t kRestMs = 3000;
const float kSpinSlowing = 5.0f;    // metres a second, each second
const float kSpinYaw = 80.0f;       // degrees a second per metre a second
const float kLevelPull = -4.0f;     // per degree of pitch or roll
const float kViewSwing = 100.0f;    // degrees a second
const float kSomersaultSlowing = 8.0f;
const float kNoseDrop = -250.0f;
const float kPitchOver = -400.0f;
const float kTurn = 400.0f;
const float kSinkRate = 4.0f;       // metres a second
const float kSignalFall = 6.0f;     // metres a second, each second
const float kTouchDownHeight = 0.2f;
const float kStallRoll = 20.0f;     // degrees a second
const float kRecoveryMargin = 6.5f;
const float kPlacedHeight = 0.5f;
// Restart spot search.
const float kEdgeStep = 35.0f;
const float kSpotRay = 35.0f;
const float kSpotClearRay = 3.0f;
const float kSpotMove = 37.0f;
const float kHeadingRay = 15.0f;
const int kSpotTries = 64;
const int kHeadingTries = 5;

uint32_t Clock()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_gameClock : 0;
}

// A rate set from an angle difference, cut to a tenth close to the target.
float Cut(float rate, float d, float dt) { return std::fabs(d) < 200.0f * dt ? rate * 0.1f : rate; }

}  // namespace

YVector YPlane::TargetDelta() const
{
    return YVector(FoldAngle180(FoldAngle180(m_angles.x) - FoldAngle180(m_crashTarget.x)),
                   FoldAngle180(FoldAngle180(m_angles.y) - FoldAngle180(m_crashTarget.y)),
                   FoldAngle180(FoldAngle180(m_angles.z) - FoldAngle180(m_crashTarget.z)));
}

void YPlane::CrashFirstFrame(bool holdSpeed)
{
    if (!m_crashPoseSet) {
        m_crashPoseSet = 1;
        m_crashPose = m_angles;
    } else if (holdSpeed) {
        m_velocity = YVector();
    }
}

void YPlane::Rest()
{
    m_velocity = m_vectorB = YVector();
    SetEngineLevel(0);
    m_engineState = EngineStopped;
    m_restEnd = Clock() + kRestMs;
    m_resting = 1;
}

void YPlane::ReturnCamera()
{
    if (!m_cameraRestore) return;
    m_cameraRestore = 0;
    m_cameraBlendStart = Clock();
    m_cameraMode = m_previousCameraMode;
}

bool YPlane::RestEnd()
{
    if (Clock() <= m_restEnd) return false;
    const int state = m_crashState;
    m_crashPoseSet = 0;
    m_crashState = CrashNone;
    m_resting = 0;
    m_noseDown = 0;
    if (state == CrashFlatLanding) {
        m_flagsB &= ~(FlagDown | FlagOnGround);
        m_frontHit = 0;
    } else {
        m_stallDeadline = m_restEnd = 0;
        if (m_world) m_position.y = m_world->TerrainHeightAt(m_position.x, m_position.z) + kPlacedHeight;
        m_angles.x = m_angles.z = 0.0f;
        m_flagsB &= ~(FlagDown | FlagOnGround);
        if (state != CrashNoseOverSink) m_flagsB &= ~FlagCrashing;
        if (state == CrashSomersault) m_tipped = 0;
        if (state == CrashNoseOverSink) m_frontHit = 0;
    }
    if (state == CrashSomersault) {
        Restart();
        ReturnCamera();
    } else {
        ReturnCamera();
        Restart();
    }
    return true;
}

bool YPlane::CrashStep(float dt)
{
    m_darkSmoke = 1;
    Puff(0.2f);
    Puff(0.4f);
    Puff(0.8f);
    if (m_velocity.LengthSquared() < 0.01f) {
        Puff(2.0f);
        Puff(3.0f);
    }
    const uint32_t clock = Clock();
    const bool passed = clock > m_stallDeadline;
    const float p = FoldAngle180(m_angles.x), r = FoldAngle180(m_angles.z);
    bool going = true;
    switch (m_crashState) {
    case CrashSpin: {
        const float s = m_velocity.Length() - kSpinSlowing * dt;
        if (s >= 0.0f && !passed) {
            m_velocity.SetLength(s);
            m_vectorB = YVector(kLevelPull * p, (m_struckLeft ? kSpinYaw : -kSpinYaw) * s, kLevelPull * r);
            break;
        }
        m_velocity = m_vectorB = YVector();
        if (!m_resting && !passed) {
            m_flagsB |= FlagOnGround;
            m_resting = 1;
            break;
        }
        const float dy = FoldAngle180(m_angles.y - m_crashPose.y);
        float step = kViewSwing * dt;
        if (dy <= 0.0f) step = -step;
        if (std::fabs(dy) >= std::fabs(step) && !passed) {
            m_crashPose.y = WrapAngle360(m_crashPose.y + step);
            m_crashPose.x += (step / dy) * FoldAngle180(m_angles.x - m_crashPose.x);
            SetEngineLevel(0);
            m_throttle = 0;
            m_flagsB |= FlagOnGround;
            m_resting = 1;
            break;
        }
        m_flagsB &= ~(FlagCrashing | FlagDown);
        m_stallDeadline = m_restEnd = 0;
        m_resting = 0;
        m_engineState = EngineStopped;
        ReturnCamera();
        Restart();
        going = false;
        break;
    }
    case CrashSomersault: {
        CrashFirstFrame(false);
        const float s = m_velocity.Length() - kSomersaultSlowing * dt;
        m_velocity.SetLength(s > 0.0f ? s : 0.0f);
        if (m_resting) {
            going = !RestEnd();
            break;
        }
        const float q = p + 90.0f;
        if (!(q > -1.0f && q < 1.0f) && !m_tipped && !passed) {
            if (q > 0.0f) m_vectorB.x = kNoseDrop;
            else m_tipped = 1;
            if (r != 0.0f) m_vectorB.z = kLevelPull * r;
            break;
        }
        m_tipped = 1;
        if (!m_noseDown && !passed) {
            m_vectorB = YVector(kPitchOver, 0.0f, 0.0f);
            if (r != 0.0f) m_vectorB.z = kLevelPull * r;
        } else {
            Rest();
        }
        break;
    }
    case CrashNoseDown:
    case CrashInverted:
        CrashFirstFrame(true);
        if (m_resting) {
            going = !RestEnd();
            break;
        }
        if (!m_noseDown && !passed) {
            const float z = m_crashState == CrashNoseDown ? (r != 0.0f ? kLevelPull * r : 0.0f)
                                                          : 180.0f - WrapAngle360(m_angles.z);
            m_vectorB = YVector(kPitchOver, 0.0f, z);
            if (m_crashState == CrashInverted && !(p + (-kPitchOver) * dt < 0.0f)) {
                m_vectorB = YVector();
                m_noseDown = 1;
            }
        }
        if (m_noseDown || passed) Rest();
        break;
    case CrashWingObject: {
        const float speed = m_velocity.Length();
        m_vectorB = YVector(p != 0.0f ? kLevelPull * p : 0.0f, (m_struckLeft ? kSpinYaw : -kSpinYaw) * speed,
                            r != 0.0f ? kLevelPull * r : 0.0f);
        if (passed) m_crashState = CrashSpin;
        break;
    }
    case CrashFlatLanding:
        CrashFirstFrame(true);
        if (m_resting) {
            going = !RestEnd();
            break;
        }
        if (passed || (m_noseDown && (m_frontHit || !m_inverted))) {
            Rest();
        } else if (!m_inverted) {
            m_vectorB = YVector(kPitchOver, 0.0f, r != 0.0f ? kLevelPull * r : 0.0f);
        } else {
            // On its back: over the nose, the wings levelled toward 180.
            m_vectorB = YVector(kTurn, 0.0f, kLevelPull * FoldAngle180(r - 180.0f));
        }
        break;
    case CrashNoseOverSink: {
        CrashFirstFrame(true);
        if (m_resting) {
            going = !RestEnd();
            break;
        }
        m_gravityOn = 0;
        m_velocity = YVector();
        SetEngineLevel(0);
        const YVector d = TargetDelta();
        if (std::fabs(d.x) > 2.0f) m_vectorB.x = Cut(d.x > 0.0f ? -kTurn : kTurn, d.x, dt);
        if (std::fabs(d.z) > 1.0f) m_vectorB.z = Cut(d.z > 0.0f ? -kTurn : kTurn, d.z, dt);
        if (passed || (std::fabs(d.x) < 3.0f && std::fabs(d.z) < 3.0f && m_sinkHeight == 0.0f)) {
            Rest();
            break;
        }
        float step = kSinkRate * dt;
        if (m_objectLanding) {
            if (step > m_sinkHeight) step = m_sinkHeight;
            m_sinkHeight -= step;
            m_position.y -= step;
        } else if (m_world) {
            const float gap = m_position.y - m_world->TerrainHeightAt(m_position.x, m_position.z) - m_restOffset;
            m_position.y -= gap < step ? gap : step;
        }
        break;
    }
    case CrashNoseOver: {
        CrashFirstFrame(true);
        if (m_resting) {
            going = !RestEnd();
            break;
        }
        const YVector d = TargetDelta();
        if (std::fabs(d.x) > 2.0f) {
            const float turn = m_inverted ? 350.0f : kTurn;
            m_vectorB.x = Cut(d.x > 0.0f ? -turn : turn, d.x, dt);
            if (m_inverted) m_velocity = YVector();
        }
        if (std::fabs(d.z) > 1.0f) {
            const float turn = m_inverted ? 75.0f : 200.0f;
            m_vectorB.z = Cut(d.z > 0.0f ? -turn : turn, d.z, dt);
        }
        if (passed || (std::fabs(d.x) < 3.0f && std::fabs(d.z) < 3.0f)) Rest();
        break;
    }
    case CrashTip: {
        m_vectorB = YVector();
        CrashFirstFrame(true);
        if (m_resting) {
            going = !RestEnd();
            break;
        }
        const YVector d = TargetDelta();
        if (std::fabs(d.x) > 2.0f) m_vectorB.x = Cut(d.x > 0.0f ? -m_tipRate : m_tipRate, d.x, dt);
        if (r != 0.0f) m_vectorB.z = kLevelPull * r;
        if (passed || (std::fabs(d.x) < 3.0f && std::fabs(d.z) < 3.0f)) Rest();
        break;
    }
    case CrashSignalLost:
        m_velocity.y -= kSignalFall * dt;
        if (r != 0.0f) m_vectorB.z = -2.0f * r;
        if (p != -90.0f) m_vectorB.x = -0.5f * (p + 90.0f);
        if (clock >= m_stallDeadline) {
            Restart();
            going = false;
            break;
        }
        if (m_world && m_position.y <= m_world->TerrainHeightAt(m_position.x, m_position.z) + kTouchDownHeight) {
            Restart();
            m_flagsB &= ~FlagCrashing;
            going = false;
        }
        break;
    case CrashStall: going = StallStep(dt); break;
    default: break;
    }
    m_darkSmoke = 0;
    return going;
}

bool YPlane::StallStep(float dt)
{
    m_sinkSpeed = 0.0f;
    const float s = m_velocity.FastLength();
    m_velocity.y -= dt * m_gravity * 0.1f;
    if (m_world && m_position.y <= m_world->TerrainHeightAt(m_position.x, m_position.z) + kTouchDownHeight) {
        Restart();
        m_flagsB &= ~FlagCrashing;
        return false;
    }
    float roll = FoldAngle180(m_angles.z);
    if (roll != 0.0f && std::fabs(roll) > kStallRoll * dt) {
        roll -= kStallRoll * dt;
        if (roll < 0.0f) roll += 360.0f;
    }
    if (m_velocity.IsNonZero() || m_velocity.LengthSquared() > 0.0f) {
        YVector direction = m_velocity;
        direction.Normalize();
        const YVector angles = direction.ToAngles();
        m_angles = YVector(angles.x, angles.y, WrapAngle360(roll));
    }
    if (s > m_handling->m_stallSpeed + kRecoveryMargin) {
        m_flagsB &= ~FlagCrashing;
        m_stallDeadline = 0;
        m_crashState = CrashNone;
        m_recoveryAngles = m_angles;
        m_recoveryFacing = m_forward.ToAngles();
        m_recoveryPose = 1;
        m_previousCameraMode = m_cameraMode;
        m_cameraBlendStart = Clock();
        m_forward = m_angles.FromAngles();
        YVector right = YVector::Cross(YVector(0.0f, 1.0f, 0.0f), m_forward);
        YVector rolled = right;
        RotateAbout(m_angles.z, rolled, m_forward);
        m_up = YVector::Cross(m_forward, rolled);
        m_up.Normalize();
    }
    if (m_audibleLevel > 0) m_velocity.SetLength(s + static_cast<float>(m_audibleLevel) * dt * 0.01f);
    return true;
}

bool YPlane::ClearSpot(const YVector& spot)
{
    const DWORD mask = static_cast<DWORD>(static_cast<int16_t>(m_auxShortA));
    int blocked = 0;
    for (int i = 0; i < 8; ++i) {
        YVector from = spot;
        const YVector to = spot + YVector(0.0f, static_cast<float>(i * 45), 0.0f).FromAngles() * kSpotRay;
        if (!m_world->LineTrace(this, from, to, 0.0f, 0.0f, mask)) ++blocked;
    }
    if (blocked == 8) return false;
    for (int i = 0; i < 4; ++i) {
        YVector from = spot;
        const YVector to = spot + YVector(0.0f, static_cast<float>(i * 90), 0.0f).FromAngles() * kSpotClearRay;
        if (!m_world->LineTrace(this, from, to, 0.0f, 0.0f, mask)) return false;
    }
    return true;
}

void YPlane::SpotSearch()
{
    const float width = m_world->MapWidth(), depth = m_world->MapHeight();
    const bool mapped = m_world->HasMap() && width > 2.0f * kNearEdgeMargin && depth > 2.0f * kNearEdgeMargin;
    auto inside = [&](float v, float extent) {
        if (!mapped) return v;
        return std::fmax(kNearEdgeMargin, std::fmin(extent - kNearEdgeMargin, v));
    };
    YVector spot(inside(m_position.x, width), 0.0f, inside(m_position.z, depth));
    spot.y = m_world->TerrainHeightAt(spot.x, spot.z) + kTouchDownHeight;
    bool found = ClearSpot(spot);
    for (int tries = 0; !found && tries < kSpotTries; ++tries) {
        const YVector step = YVector(0.0f, static_cast<float>(rand() % 360), 0.0f).FromAngles() * kSpotMove;
        spot.x = inside(spot.x + step.x, width);
        spot.z = inside(spot.z + step.z, depth);
        spot.y = m_world->TerrainHeightAt(spot.x, spot.z) + kTouchDownHeight;
        found = ClearSpot(spot);
    }
    const DWORD mask = static_cast<DWORD>(static_cast<int16_t>(m_auxShortA));
    auto fits = [&](float heading) {
        YVector from = spot;
        const YVector to = spot + YVector(0.0f, heading, 0.0f).FromAngles() * kHeadingRay;
        return m_world->LineTrace(this, from, to, 0.0f, 0.0f, mask) != 0;
    };
    float heading = -1.0f;
    if (found) {
        for (int i = 0; i < kHeadingTries && heading < 0.0f; ++i) {
            const float h = static_cast<float>(rand() % 360);
            if (fits(h)) heading = h;
        }
        for (int h = 0; h < 360 && heading < 0.0f; h += 3)
            if (fits(static_cast<float>(h))) heading = static_cast<float>(h);
    }
    if (heading < 0.0f) {
        m_position = m_startPosition;
        m_angles = m_startAngles;
    } else {
        m_position = spot;
        m_angles = YVector(0.0f, heading, 0.0f);
    }
}

void YPlane::Restart()
{
    m_flagsA = (m_flagsA | FlagExtendSweep | FlagCollide) & ~FlagCollidePush;
    m_rollInput = m_pitchInput = m_rudderInput = 0.0f;
    m_rollInputHeld = m_pitchInputHeld = m_rudderInputHeld = 1;
    m_inverted = 0;
    if (m_pendingRestart) {
        m_restartReady = 1;
        return;
    }
    m_smokeTime = 0.0f;
    m_pitchRate = m_yawRate = m_rollRate = 0.0f;
    m_touchDisabled = 1;
    m_crashPose = YVector();
    if (m_world) {
        const float width = m_world->MapWidth(), depth = m_world->MapHeight();
        if (m_world->HasMap()) {
            if (m_position.x < kNearEdgeMargin) m_position.x += kEdgeStep;
            if (m_position.x > width - kNearEdgeMargin) m_position.x -= kEdgeStep;
            if (m_position.z < kNearEdgeMargin) m_position.z += kEdgeStep;
            if (m_position.z > depth - kNearEdgeMargin) m_position.z -= kEdgeStep;
        }
        SpotSearch();
    }
    m_previousPosition = m_position;
    m_angles.WrapAngles360();
    m_forward = m_cameraForward = YVector(0.0f, m_angles.y, 0.0f).FromAngles();
    m_up = m_cameraUp = YVector(0.0f, 1.0f, 0.0f);
    m_groundYaw = FoldAngle180(m_angles.y);
    m_velocity = m_acceleration = m_vectorB = YVector();
    m_flagsB &= ~(FlagCrashing | FlagDown | FlagOnGround);
    m_gravityOn = 1;
    m_crashPoseSet = m_frontHit = m_noseDown = 0;
    m_crashState = CrashNone;
    m_stallDeadline = m_restEnd = 0;
    m_engineLevel = m_throttle = 0;
    StopPropeller();
    m_cameraBlendStart = 0;
    m_resting = 0;
    if (m_cameraRestore) {
        m_cameraRestore = 0;
        m_cameraMode = 1;
    }
    m_controlEnabled = 1;
    ++m_restarts;
    if (m_world) m_world->PlaceActor(this, &m_position);
}

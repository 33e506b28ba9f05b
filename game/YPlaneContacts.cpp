// The radio signal, the plane's contacts with the ground and with objects,
// and the entry into the crash states: the part strike rule and the
// touch-down classifier.
#include <cmath>

#include "engine/YGameObjects.h"
#include "foundation/YDataCollection.h"
#include "game/YClientPhysics.h"
#include "game/YPlane.h"
#include "game/YVoiceOvers.h"
#include "renderer/YTraceResult.h"
#include "world/YActorWorld.h"
#include "world/YGameCommands.h"

namespace {

const float kDegrees = 57.29578f;
const float kWeakBand = 50.0f;   // metres short of the range the signal weakens
const float kLostBand = 0.5f;
const uint32_t kSignalLostMs = 5000;
const uint32_t kStrikeMs = 7000;
const uint32_t kWallMs = 6000;
const uint32_t kFloorMs = 9000;
const uint32_t kLandingMs = 5000;
const float kFloorBounce = 8.0f;  // metres a second up after a wing meets a floor
const float kSurfaceBand = 20.0f;
const float kTipMinSpeed = 5.0f;
const DWORD kCellItemBits = 0x7;
const uint32_t kKeepPose = 0x8000;  // flag word B: a strike that keeps its pose
enum { VoiceOpponentStrike = 10, VoiceStrike = 11 };

YGameObjects* Engine() { return YGameObjects::Existing(); }
uint32_t Clock()
{
    YGameObjects* engine = Engine();
    return engine ? engine->m_gameClock : 0;
}

bool EditMode()
{
    YGameObjects* engine = Engine();
    return engine && engine->m_settings && engine->m_settings->GetInt("game_editmode") == 1;
}

}  // namespace

uint32_t YPlane::WingStrikeMs(float surfacePitch)
{
    if (surfacePitch > -kSurfaceBand && surfacePitch < kSurfaceBand) return kWallMs;
    if (surfacePitch > kSurfaceBand || surfacePitch < -kSurfaceBand) return kFloorMs;
    return 0;  // exactly 20 degrees either way
}

int YPlane::EdgeZone() const
{
    if (!m_world || !m_world->HasMap()) return 0;
    const float width = m_world->MapWidth(), depth = m_world->MapHeight();
    auto within = [&](float margin) {
        return m_position.x < margin || m_position.z < margin || m_position.x > width - margin ||
               m_position.z > depth - margin;
    };
    if (within(kEdgeMargin)) return 1;
    if (within(kNearEdgeMargin)) return 2;
    return 0;
}

void YPlane::SignalStep()
{
    YVector apart = m_position - m_startPosition;
    apart.y = 0.0f;
    const float d = apart.FastLength();
    m_signalState = 0;
    if (m_crashState != CrashNone) return;
    const int edge = EdgeZone();
    if (d >= m_signalRange - kLostBand || edge == 1) {
        m_controlEnabled = 0;
        SetEngineLevel(0);
        m_engineLevel = 0;
        m_crashState = CrashSignalLost;
        m_stallDeadline = Clock() + kSignalLostMs;
        m_flagsB |= FlagCrashing;
        m_signalState = 2;
        return;
    }
    YGameObjects* engine = Engine();
    YGameCommands* commands = engine ? engine->m_gameCommands : nullptr;
    if (d < m_signalRange - kWeakBand && edge == 0) {
        if (m_signalWarning) {
            if (commands) commands->StopActorSounds(this, m_soundNames[SoundLowFuel]);
            m_signalWarning = 0;
        }
        return;
    }
    m_signalState = 1;
    if (m_signalWarning) return;
    if (commands && m_world && m_world->GetViewActor() == this)
        commands->PlayActorSound(this, m_soundNames[SoundLowFuel], static_cast<float>(m_soundVolumeLow),
                                 static_cast<float>(m_soundVolumeHigh), YGameCommands::SoundOnce);
    m_signalWarning = 1;
}

void YPlane::EnterCrash(int state, uint32_t milliseconds, uint32_t flag)
{
    const uint32_t clock = Clock();
    m_stallDeadline = clock + milliseconds;
    m_flagsB |= flag;
    m_crashState = state;
    SetEngineLevel(0);
    if (m_engineStarted) {
        PlaySlot(SoundCrash, 1);
        m_soundEndTime = kNothingPending;
    }
    if (m_cameraMode == 1) {
        m_previousCameraMode = 1;
        m_cameraBlendStart = clock;
        m_cameraMode = 3;
        m_cameraRestore = 1;
    }
}

void YPlane::GroundContact(int part)
{
    if (m_touchDisabled || m_crashState == CrashTip || m_crashState == CrashTumble) return;
    if (m_tornado) {
        PlaySlot(m_isJet ? SoundJetStop : SoundStop, 1);
        m_tornado = 0;
        m_tornadoTime = 0.0f;
    }
    m_disrupted = 0;
    m_disruptedTime = 0.0f;
    if (m_crashState == CrashWingObject) m_velocity.y = 0.0f;
    switch (part) {
    case ContactLeftWing:
    case ContactRightWing:
        m_freezeVertical = 1;
        if (m_crashState != CrashFlatLanding) PartStrike(part);
        break;
    case ContactLeftWheel:
    case ContactRightWheel:
        m_flagsB |= FlagOnGround;
        m_wheelsDown = 1;
        m_freezeVertical = 1;
        m_sinkSpeed = 0.0f;
        if (IsDown() && m_crashState != CrashFlatLanding) PartStrike(part);
        break;
    case ContactTail:
        m_freezeVertical = 1;
        if (m_crashState == CrashSomersault || m_crashState == CrashNoseDown)
            m_noseDown = 1;
        else if (m_crashState == CrashFlatLanding)
            ObjectContact(ContactPropeller, nullptr);
        else
            PartStrike(part);
        break;
    case ContactPropeller:
        m_freezeVertical = 1;
        m_frontHit = 1;
        if (m_crashState == CrashFlatLanding)
            ObjectContact(ContactPropeller, nullptr);
        else
            PartStrike(part);
        break;
    default: break;
    }
}

void YPlane::Touch(YActor* other)
{
    if (m_touchDisabled) return;
    if (other && (other->m_flagsB & FlagPlaneKind)) return;
    YGameObjects* engine = Engine();
    if (other && engine && other == engine->m_directionArrow) return;
    const bool handOver = other && ((other->m_flagsA & FlagSpriteActor) || (m_botFlown && !m_nearTarget));
    if (handOver) {
        if (!EditMode()) other->Touch(this);
        return;
    }
    const YTraceResult* hit = m_world ? m_world->GetTraceHit() : nullptr;
    if (m_partHit[PartLeftWing]) ObjectContact(ContactLeftWing, hit);
    else if (m_partHit[PartRightWing]) ObjectContact(ContactRightWing, hit);
    else if (m_partHit[PartPropeller]) ObjectContact(ContactPropeller, hit);
    else if (m_partHit[PartTail]) ObjectContact(ContactTail, hit);
}

void YPlane::ObjectContact(int part, const YTraceResult* hit)
{
    if (m_crashState == CrashTip || m_crashState == CrashTumble || m_touchDisabled) return;
    if (m_tornado) {
        PlaySlot(m_isJet ? SoundJetStop : SoundStop, 1);
        m_tornado = 0;
        m_tornadoTime = 0.0f;
    }
    m_disrupted = 0;
    m_disruptedTime = 0.0f;
    switch (part) {
    case ContactLeftWing:
    case ContactRightWing:
    case ContactPropeller:
        m_frontHit = 1;
        m_freezeVertical = 1;
        ClassifyTouchDown(part, hit);
        break;
    case ContactLeftWheel:
    case ContactRightWheel:
        m_sinkSpeed = 0.0f;
        m_freezeVertical = 1;
        break;
    case ContactTail:
        m_noseDown = 1;
        m_sinkSpeed = 0.0f;
        m_freezeVertical = 1;
        break;
    default: break;
    }
}

void YPlane::PartStrike(int part)
{
    if (m_crashState == CrashTip || !(m_flagsB & FlagPlaneKind)) return;
    if (m_gravityOn && !m_velocity.IsNonZero() && !IsDown()) return;
    const bool wheel = part == ContactLeftWheel || part == ContactRightWheel;
    if (IsDown() && m_crashState == CrashWingObject && wheel) {
        m_crashState = CrashSpin;
        m_stallDeadline = Clock() + kStrikeMs;
        m_flagsB = (m_flagsB & ~FlagDown) | FlagCrashing | FlagOnGround;
        return;
    }
    if ((m_flagsB & FlagCrashing) && m_crashState != CrashStall) return;
    YGameObjects* engine = Engine();
    if (engine && engine->m_voiceOvers)
        engine->m_voiceOvers->OnEvent(engine->m_opponentPlane == this ? VoiceOpponentStrike : VoiceStrike);
    const float p = FoldAngle180(m_angles.x), r = FoldAngle180(m_angles.z);
    const float ar = std::fabs(r), ap = std::fabs(p);
    const bool wing = part == ContactLeftWing || part == ContactRightWing;
    auto noseStrike = [&](int state) {
        EnterCrash(state, kStrikeMs, FlagCrashing);
        m_resting = 0;
        m_noseDown = 0;
        m_gravityOn = 1;
        m_flagsB |= kKeepPose;
    };
    if (wing && ar < 50.0f && ap < 45.0f) {
        EnterCrash(CrashSpin, kStrikeMs, FlagCrashing);
        m_struckLeft = part == ContactLeftWing;
    } else if (wing && ar >= 50.0f && ar <= 90.0f && ap < 90.0f) {
        EnterCrash(CrashSomersault, kStrikeMs, FlagCrashing);
        m_struckLeft = part == ContactLeftWing;
    } else if ((wheel || part == ContactPropeller) && ar <= 90.0f && p > -180.0f && p < 0.0f) {
        // Knife-edge strikes (roll exactly 90, where a bot holds its
        // manoeuvre roll) crash like their neighbours: none would leave the
        // plane pressed into the ground.
        noseStrike(CrashNoseDown);
    } else if (part == ContactPropeller && ar > 90.0f && p > -180.0f && p < 0.0f) {
        noseStrike(CrashInverted);
    }
}

void YPlane::ClassifyTouchDown(int part, const YTraceResult* hit)
{
    if (m_crashState == CrashWingObject || m_crashState == CrashNoseOverSink) return;
    const float p = FoldAngle180(m_angles.x), r = FoldAngle180(m_angles.z);
    YVector surface(90.0f, 0.0f, 0.0f);
    int acute = 0;
    if (!hit) {
        m_crashTarget = part == ContactPropeller ? YVector(180.0f, 0.0f, 0.0f) : YVector();
    } else {
        const bool cellItem = (hit->m_hitCode & kCellItemBits) != 0;
        YVector n = cellItem ? m_motionDirection * -1.0f
                             : YVector(hit->m_normal[0], hit->m_normal[1], hit->m_normal[2]);
        n.Normalize();
        surface = n.ToAngles();
        m_previousNormal = n;
        if (part == ContactPropeller && m_crashState != CrashNoseOver)
            m_crashTarget = YVector(270.0f - surface.x, surface.y, surface.z);
        if (!cellItem) {
            float dot = n.Dot(m_motionDirection);
            dot = std::fmax(-1.0f, std::fmin(1.0f, dot));
            acute = std::acos(dot) * kDegrees < 90.0f ? 1 : 0;
        }
    }
    const float sp = FoldAngle180(surface.x), sy = FoldAngle180(surface.y), sr = FoldAngle180(surface.z);
    if (IsDown() && m_crashState != CrashFlatLanding && m_crashState != CrashStall) return;

    const YVector contact = hit ? YVector(hit->m_hitPoint[0], hit->m_hitPoint[1], hit->m_hitPoint[2]) : YVector();
    if (part == ContactPropeller) {
        const bool wall = (sp > -kSurfaceBand && sp < kSurfaceBand && !acute) || (sp > -kSurfaceBand && sp < 90.0f && acute);
        if (m_crashState == CrashFlatLanding && (sp > kSurfaceBand || sp < -kSurfaceBand)) {
            EnterCrash(CrashNoseOverSink, kLandingMs, FlagCrashing);
            m_velocity = YVector();
            m_gravityOn = 0;
            m_resting = m_noseDown = 0;
            m_flagsB &= ~kKeepPose;
            m_flagsA &= ~(FlagExtendSweep | FlagCollidePush);
            m_objectLanding = hit ? 1 : 0;
            m_sinkHeight = hit ? m_position.y - contact.y / YActorWorld::kRenderScale - m_restOffset : 0.0f;
        } else if (IsOnGround() && !(m_flagsB & FlagCrashing) && wall) {
            const float speed = m_velocity.FastLength();
            m_tipRate = speed >= kTipMinSpeed ? 30.0f * speed : 0.0f;
            float yaw = sy < 0.0f ? sy + 360.0f : sy;
            yaw += 180.0f;
            if (yaw > 360.0f) yaw -= 360.0f;
            m_crashTarget = YVector(sp - 90.0f, yaw, sr);
            EnterCrash(CrashTip, kLandingMs, FlagDown);
            m_velocity = YVector();
            m_gravityOn = 0;
            m_resting = m_noseDown = 0;
        } else if (m_crashState == CrashFlatLanding) {
        } else if (((sp > -90.0f && sp < kSurfaceBand && !acute) || (sp > -kSurfaceBand && sp < 90.0f && acute)) &&
                   p > -90.0f && p < 90.0f) {
            EnterCrash(CrashFlatLanding, kLandingMs, FlagDown);
            m_velocity = YVector();
            m_crashTarget = YVector();
            m_inverted = (r > 90.0f || r < -90.0f) ? 1 : 0;
        } else if (sp > kSurfaceBand) {
            EnterCrash(CrashNoseOver, kLandingMs, FlagDown);
            m_velocity = YVector();
            m_gravityOn = 0;
            m_resting = m_noseDown = 0;
            const float roll = WrapAngle360(m_angles.z);
            if (roll > 90.0f && roll < 270.0f) {
                m_inverted = 1;
                m_crashTarget.z += 180.0f;
                if (m_crashTarget.z > 360.0f) m_crashTarget.z -= 360.0f;
            }
        }
        return;
    }
    if (m_crashState == CrashFlatLanding) return;
    const uint32_t lasts = WingStrikeMs(sp);
    if (!lasts) return;
    EnterCrash(CrashWingObject, lasts, FlagDown);
    m_struckLeft = part == ContactLeftWing;
    if (lasts == kFloorMs) {
        m_velocity.y = kFloorBounce;
        m_gravityOn = 1;
    }
}

// The view plane's camera: the outside view from the transmitter, the tail
// view, the drop view and the chase view, blended when the mode changes;
// and the plane's own drawing: hidden in the tail view, nose up while it
// taxis, and its livery frame.
#include <cmath>

#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "game/YClientPhysics.h"
#include "game/YPlane.h"
#include "world/YActorWorld.h"

namespace {

const float kDegrees = 57.29578f;
const float kFollowReach = 15.0f;  // mode 0: the eye follows beyond this
const float kEyeHeight = 2.0f;
const float kNearest = 2.0f;       // the eye stays this far from the plane
const float kChaseBack = 2.0f;
const float kChaseLift = 0.2f;
const float kDropBelow = 0.5f;
const float kShortest = 1e-4f;     // shorter than this does not normalise
const uint32_t kBlendMs = 2000;
const uint32_t kChaseBlendMs = 1000;
const float kRadians = 0.017453292f;

uint32_t Clock()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_gameClock : 0;
}

// The angles of a direction; false when it is too short to have any.
bool AnglesOf(YVector direction, YVector& angles)
{
    const float length = direction.Length();
    if (!(length > kShortest)) return false;
    direction = direction * (1.0f / length);
    angles = direction.ToAngles();
    return true;
}

}  // namespace

void YPlane::ModeView(int mode, YVector& eye, YVector& angles)
{
    YActorWorld* world = m_world;
    const bool movingInAir = !IsOnGround() && m_velocity.LengthSquared() > 0.0f;
    switch (mode) {
    case 0: {
        const YVector d = m_position - m_startPosition;
        const float length = d.Length();
        angles = m_angles;
        YVector h = m_startPosition - m_position;
        h.y = 0.0f;
        if (length > kFollowReach && h.Length() > kShortest) {
            h.SetLength(kFollowReach);
            eye = YVector(m_position.x + h.x, 0.0f, m_position.z + h.z);
            eye.y = (world ? world->TerrainHeightAt(eye.x, eye.z) : 0.0f) + kEyeHeight;
            AnglesOf(m_position - eye, angles);
        } else if (length > kShortest && AnglesOf(d, angles)) {
            eye = m_startPosition;
            if (length < kNearest) eye = m_startPosition - d * ((kNearest - length) / length);
        } else {
            // Straight over (or at) the transmitter: behind the plane along its heading.
            eye = m_position - YVector(0.0f, m_angles.y, 0.0f).FromAngles() * kNearest;
            angles = YVector(0.0f, m_angles.y, 0.0f);
        }
        break;
    }
    case 1:
        eye = m_position;
        GroupPoint("Normal_tail", eye);
        angles = m_angles;
        break;
    case 2:
        eye = m_position;
        GroupPoint("Normal_wheels", eye);
        if (movingInAir) {
            eye.y -= kDropBelow;
            angles = YVector(270.0f, m_angles.y, 0.0f);
            m_groundYaw = FoldAngle180(m_angles.y);
        } else {
            angles = m_angles;
        }
        break;
    default: {
        angles = m_angles;
        if (movingInAir) {
            // The lagged camera frame: yaw and pitch of its forward, roll of its up.
            const float yaw = std::atan2(m_cameraForward.x, m_cameraForward.z) * kDegrees;
            YVector f = m_cameraForward, u = m_cameraUp;
            f.Rotate(YVector(0.0f, -yaw, 0.0f));
            u.Rotate(YVector(0.0f, -yaw, 0.0f));
            const float pitch = std::atan2(f.y, f.z) * kDegrees;
            u.Rotate(YVector(-pitch, 0.0f, 0.0f));
            const float roll = std::atan2(-u.x, u.y) * kDegrees;
            if (std::isfinite(yaw) && std::isfinite(pitch) && std::isfinite(roll)) {
                angles = YVector(pitch, yaw, roll);
                m_groundYaw = FoldAngle180(yaw);
            }
        }
        if (IsOnGround()) angles.y = m_groundYaw;
        if (m_recoveryPose) angles = m_recoveryAngles;
        if (m_crashPoseSet || m_resting)
            angles = m_crashPose;
        else if (IsCrashingOrDown())
            m_crashPose = angles;
        angles.WrapAngles360();
        eye = m_position - angles.FromAngles() * kChaseBack;
        eye.y += kChaseLift;
        if (world) {
            YActorWorld::GroundSample sample = {};
            world->TerrainSample(eye.x, eye.z, sample);
            const float floor = static_cast<float>(sample.ground > sample.water ? sample.ground : sample.water) +
                                kChaseLift;
            if (world->HasMap() && eye.y < floor) eye.y = floor;
        }
        break;
    }
    }
    angles.WrapAngles360();
}

uint32_t YPlane::BlendTime() const
{
    uint32_t time = kBlendMs;
    if (m_cameraMode == 3) time = kChaseBlendMs;
    if (m_cameraRestore) time = 0;
    if (m_recoveryPose) time = kBlendMs;
    return time;
}

void YPlane::UpdateCamera()
{
    if (m_dropHold) {
        if (IsOnGround()) {
            m_dropHold = 0;
        } else {
            ModeView(2, m_viewPosition, m_viewAngles);
            m_viewStored = 1;
            return;
        }
    }
    if (!m_cameraBlendStart) {
        m_angles.WrapAngles360();
        if (m_cameraMode != 2) {
            ModeView(m_cameraMode, m_viewPosition, m_viewAngles);
            m_viewStored = 1;
        }
        if (m_cameraMode == 3 || m_cameraMode == 0) m_visible = 1;
        if (m_cameraMode == 1) m_visible = 0;
        return;
    }
    m_visible = 1;
    const uint32_t time = BlendTime();
    const uint32_t elapsed = Clock() - m_cameraBlendStart;
    float t = time ? static_cast<float>(elapsed) / static_cast<float>(time) : 1.0f;
    if (!time || elapsed >= time) {
        t = 1.0f;
        m_cameraBlendStart = 0;
        m_recoveryPose = 0;
    }
    YVector oldEye, oldAngles, newEye, newAngles;
    ModeView(m_previousCameraMode, oldEye, oldAngles);
    ModeView(m_cameraMode, newEye, newAngles);
    m_viewPosition = oldEye + (newEye - oldEye) * t;
    const YVector turn(FoldAngle180(newAngles.x - oldAngles.x), FoldAngle180(newAngles.y - oldAngles.y),
                       FoldAngle180(newAngles.z - oldAngles.z));
    m_viewAngles = oldAngles + turn * t;
    m_viewAngles.WrapAngles360();
    m_viewStored = 1;
}

float YPlane::TaxiShare() const
{
    const YClientPhysics& h = *m_handling;
    const float speed = m_velocity.Length();
    if (speed <= h.m_taxiSteerSpeed) return 1.0f;
    if (speed >= h.m_liftOffSpeed || h.m_liftOffSpeed <= h.m_taxiSteerSpeed) return 0.0f;
    return (h.m_liftOffSpeed - speed) / (h.m_liftOffSpeed - h.m_taxiSteerSpeed);
}

YRenderInstance* YPlane::BuildRenderInstance()
{
    YRenderInstance* record = YActor::BuildRenderInstance();
    if (!record) return nullptr;
    // The plane places the camera itself: its own visible byte decides.
    if (m_visible && m_model)
        record->m_flags |= RenderDrawn;
    else
        record->m_flags &= ~RenderDrawn;
    if (IsOnGround()) record->m_angles[0] += m_taxiPitch * TaxiShare() * kRadians;
    return record;
}

void YPlane::PlaneModelDisplayName(int frame)
{
    YSMHandle* model = GetModelInstance();
    if (!model || m_modelKey.IsEmpty()) return;
    static const struct {
        const char* key;
        const char* group;
    } kLiveries[] = {
        {"biplane", "biplane"}, {"corsair_plane", "corsair"}, {"f15plane", "F15plane"},
        {"p40plane", "P40PLANE"}, {"sigcap231plane", "Sigcap231"},
    };
    for (const auto& livery : kLiveries) {
        if (m_modelKey.CompareNoCase(livery.key) != 0) continue;
        if (model->FindGroup(livery.group) >= 0) model->SetFrame(static_cast<int16_t>(frame));
        return;
    }
}

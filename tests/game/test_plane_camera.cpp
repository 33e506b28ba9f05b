// The chase camera's modes and blends, and the plane's drawing: hidden in
// the tail view, nose up on its wheels, and its livery frames.
#include <gtest/gtest.h>

#include <cmath>

#include "PlaneFlightFixture.h"
#include "assets3d/YSMHandle.h"
#include "game/YClientPhysics.h"

namespace {

class PlaneCamera : public PlaneFlight {
protected:
    void Fly(float height = 20.0f, float speed = 6.0f)
    {
        Start("Meadow");
        float yaw = 0.0f;
        ASSERT_TRUE(PlayerStart(m_at, yaw));
        Place(m_at, yaw, height, speed);
        m_plane->m_startPosition = m_at;
        m_plane->m_startPosition.y = Ground() + 0.3f;
    }
    static bool Finite(const YVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
    YVector m_at;
};

}  // namespace

TEST_F(PlaneCamera, OutsideViewFollowsFromFifteenMetres)
{
    Fly(10.0f);
    m_plane->m_cameraMode = 0;
    m_plane->m_position = m_plane->m_startPosition + YVector(40.0f, 5.0f, 0.0f);
    YVector eye, angles;
    m_plane->ModeView(0, eye, angles);
    EXPECT_NEAR(eye.x, m_plane->m_position.x - 15.0f, 1e-3f) << "on the line toward the start";
    EXPECT_NEAR(eye.z, m_plane->m_position.z, 1e-3f);
    EXPECT_NEAR(eye.y, m_world.TerrainHeightAt(eye.x, eye.z) + 2.0f, 1e-3f);
    YVector look = m_plane->m_position - eye;
    look.Normalize();
    EXPECT_NEAR(look.Dot(angles.FromAngles()), 1.0f, 1e-2f) << "looking at the plane";

    m_plane->m_position = m_plane->m_startPosition + YVector(6.0f, 8.0f, 0.0f);
    m_plane->ModeView(0, eye, angles);
    EXPECT_NEAR((eye - m_plane->m_startPosition).Length(), 0.0f, 1e-4f) << "within 15 m: the start itself";

    m_plane->m_position = m_plane->m_startPosition + YVector(1.0f, 0.0f, 0.0f);
    m_plane->ModeView(0, eye, angles);
    EXPECT_NEAR((eye - m_plane->m_position).Length(), 2.0f, 1e-3f) << "kept 2 m away";

    // At the transmitter itself (a restart with no heading): a finite eye 2 m behind.
    m_plane->m_position = m_plane->m_startPosition;
    m_plane->ModeView(0, eye, angles);
    EXPECT_TRUE(Finite(eye));
    EXPECT_TRUE(Finite(angles));
    EXPECT_NEAR((eye - m_plane->m_position).Length(), 2.0f, 1e-3f);
    // Straight above it, beyond 15 m.
    m_plane->m_position = m_plane->m_startPosition + YVector(0.0f, 20.0f, 0.0f);
    m_plane->ModeView(0, eye, angles);
    EXPECT_TRUE(Finite(eye));
    EXPECT_TRUE(Finite(angles));
}

TEST_F(PlaneCamera, ChaseViewSitsBehindAndAboveTheGround)
{
    Fly(20.0f);
    Run(0.5f);
    YVector eye, angles;
    m_plane->ModeView(3, eye, angles);
    const YVector back = m_plane->m_position - angles.FromAngles() * 2.0f + YVector(0.0f, 0.2f, 0.0f);
    EXPECT_NEAR((eye - back).Length(), 0.0f, 1e-3f);
    // Low over the ground the eye stays 0.2 above it.
    m_plane->m_angles.x = 60.0f;
    m_plane->m_cameraForward = m_plane->m_angles.FromAngles();
    m_plane->m_position.y = Ground() + 0.5f;
    m_plane->ModeView(3, eye, angles);
    EXPECT_GE(eye.y, m_world.TerrainHeightAt(eye.x, eye.z) + 0.2f - 1e-3f);
}

TEST_F(PlaneCamera, BlendTimes)
{
    Fly();
    struct Row {
        int from, to;
        bool restore;
        uint32_t ms;
    } rows[] = {{1, 3, false, 1000}, {3, 0, false, 2000}, {0, 1, false, 2000}, {1, 3, true, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.from << " -> " << row.to);
        m_plane->m_previousCameraMode = row.from;
        m_plane->m_cameraMode = row.to;
        m_plane->m_cameraRestore = row.restore;
        m_plane->m_cameraBlendStart = m_engine->m_gameClock;
        EXPECT_EQ(m_plane->BlendTime(), row.ms);
        // Halfway the stored eye lies between the two views.
        if (row.ms) {
            m_engine->m_gameClock += row.ms / 2;
            m_plane->UpdateCamera();
            EXPECT_NE(m_plane->m_cameraBlendStart, 0u);
            YVector oldEye, oldAngles, newEye, newAngles;
            m_plane->ModeView(row.from, oldEye, oldAngles);
            m_plane->ModeView(row.to, newEye, newAngles);
            EXPECT_NEAR((m_plane->m_viewPosition - (oldEye + newEye) * 0.5f).Length(), 0.0f, 1e-2f);
            m_engine->m_gameClock += row.ms / 2;
        }
        m_plane->UpdateCamera();
        EXPECT_EQ(m_plane->m_cameraBlendStart, 0u) << "the blend has ended";
        m_plane->m_cameraRestore = 0;
    }
    // A crash from the tail view switches to the chase view at once.
    m_plane->m_cameraMode = 1;
    m_plane->m_cameraBlendStart = 0;
    m_plane->m_engineStarted = 1;
    m_plane->PartStrike(YPlane::ContactLeftWing);
    EXPECT_EQ(m_plane->m_cameraMode, 3);
    EXPECT_EQ(m_plane->m_cameraRestore, 1);
    m_plane->UpdateCamera();
    EXPECT_EQ(m_plane->m_cameraBlendStart, 0u);
}

TEST_F(PlaneCamera, TheTailViewHidesThePlane)
{
    Fly();
    for (int mode : {0, 1, 3}) {
        SCOPED_TRACE(mode);
        m_plane->m_cameraMode = mode;
        m_plane->m_cameraBlendStart = 0;
        Tick();
        YRenderInstance* record = m_plane->BuildRenderInstance();
        ASSERT_NE(record, nullptr);
        EXPECT_EQ((record->m_flags & YActor::RenderDrawn) != 0, mode != 1);
    }
}

TEST_F(PlaneCamera, TaxiPitchRaisesTheNoseOnTheWheels)
{
    Fly();
    const YClientPhysics& h = *m_plane->GetHandling();
    m_plane->m_flagsB |= YActor::FlagOnGround;
    m_plane->m_angles = YVector(0.0f, 90.0f, 0.0f);
    struct Row {
        float speed, share;
    } rows[] = {{0.0f, 1.0f},
                {h.m_taxiSteerSpeed, 1.0f},
                {(h.m_taxiSteerSpeed + h.m_liftOffSpeed) * 0.5f, 0.5f},
                {h.m_liftOffSpeed + 1.0f, 0.0f}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.speed);
        m_plane->m_velocity = YVector(row.speed, 0.0f, 0.0f);
        YRenderInstance* record = m_plane->BuildRenderInstance();
        ASSERT_NE(record, nullptr);
        EXPECT_NEAR(record->m_angles[0], m_plane->m_taxiPitch * row.share * 0.017453292f, 1e-4f);
    }
    m_plane->m_flagsB &= ~YActor::FlagOnGround;
    m_plane->m_velocity = YVector();
    EXPECT_NEAR(m_plane->BuildRenderInstance()->m_angles[0], 0.0f, 1e-6f) << "in the air, its true pitch";
}

TEST_F(PlaneCamera, LiveryFrames)
{
    Start("Meadow");
    for (const char* key : {"biplane", "corsair_plane", "f15plane", "p40plane", "sigcap231plane"}) {
        SCOPED_TRACE(key);
        YPlane* plane = new YPlane(key);
        m_world.AddActor(plane);
        ASSERT_NE(plane->GetModelInstance(), nullptr);
        plane->PlaneModelDisplayName(1);
        EXPECT_EQ(plane->GetModelInstance()->GetFrame(), 1);
        plane->PlaneModelDisplayName(0);
        EXPECT_EQ(plane->GetModelInstance()->GetFrame(), 0);
    }
}

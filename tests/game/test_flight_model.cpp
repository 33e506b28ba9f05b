#include <gtest/gtest.h>

#include <cmath>

#include "engine/YGameObjects.h"
#include "game/YClientPhysics.h"
#include "game/YPlane.h"
#include "input/YInputObj.h"

namespace {

const float kStep = 0.016f;

// A p40 in the air with no world around it: the flight step alone.
class FlightModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_engine = YGameObjects::Instance();
        m_savedWorld = m_engine->m_world;
        m_engine->m_world = nullptr;
        m_savedClock = m_engine->m_gameClock;
        m_engine->m_gameClock = 50000;
        m_plane.reset(new YPlane("p40plane"));
        m_plane->m_flagsB &= ~YActor::FlagOnGround;
        m_plane->m_autoLevel = 0;
    }
    void TearDown() override
    {
        m_plane.reset();
        m_engine->m_world = m_savedWorld;
        m_engine->m_gameClock = m_savedClock;
    }
    // Level flight along z at the speed, banked by the roll.
    void Fly(float speed, float roll = 0.0f)
    {
        m_plane->m_angles = YVector(0.0f, 0.0f, roll);
        m_plane->m_forward = YVector(0.0f, 0.0f, 1.0f);
        m_plane->m_up = YVector(0.0f, 1.0f, 0.0f);
        YPlane::RotateAbout(-roll, m_plane->m_up, m_plane->m_forward);
        m_plane->m_velocity = YVector(0.0f, 0.0f, speed);
    }
    YGameObjects* m_engine = nullptr;
    YActorWorld* m_savedWorld = nullptr;
    uint32_t m_savedClock = 0;
    std::unique_ptr<YPlane> m_plane;
};

}  // namespace

TEST_F(FlightModel, AuthorityFollowsTheSpeed)
{
    struct Row {
        float speed;
        uint8_t bot;
        float authority;
    } rows[] = {
        {2.9f, 0, 0.5f}, {2.9f, 1, 0.5f}, {2.8f, 0, 0.25f}, {2.8f, 1, 0.75f},
        {3.0f, 0, 1.0f},  // within 0.1 of the full-control speed
        {5.0f, 1, 1.0f}, {2.0f, 0, 0.1f}, {2.72f, 0, 0.1f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.speed << " bot " << int(row.bot));
        m_plane->m_botFlown = row.bot;
        EXPECT_NEAR(m_plane->Authority(row.speed), row.authority, 1e-5f);
    }
}

TEST_F(FlightModel, WingsLevelAtFiftyDegreesASecond)
{
    struct Row {
        float roll;
        uint8_t autoLevel;
        uint32_t sinceTurn;  // ms since the last turn input
        float after;         // roll after one frame, folded
    } rows[] = {
        {20.0f, 1, 1000, 20.0f - 50.0f * kStep},
        {0.5f, 1, 1000, 0.0f},
        {-20.0f, 1, 1000, -20.0f + 50.0f * kStep},
        {20.0f, 1, 200, 20.0f},  // a turn input too recent
        {20.0f, 0, 1000, 20.0f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.roll << " auto " << int(row.autoLevel) << " " << row.sinceTurn);
        Fly(6.0f, row.roll);
        m_plane->m_autoLevel = row.autoLevel;
        m_plane->m_lastTurnTime = m_engine->m_gameClock - row.sinceTurn;
        m_plane->Fly(6.0f, kStep);
        EXPECT_NEAR(FoldAngle180(m_plane->m_angles.z), row.after, 0.01f);
    }
}

TEST_F(FlightModel, ReleasedInputsRecentre)
{
    m_plane->m_pitchInput = 30.0f;
    m_plane->m_rollInput = -30.0f;
    m_plane->m_rudderInput = 30.0f;
    m_plane->m_pitchInputHeld = m_plane->m_rollInputHeld = 1;  // the rudder is still held
    Fly(6.0f);
    float seconds = 0.0f;
    while (m_plane->m_pitchInput != 0.0f && seconds < 2.0f) {
        m_plane->Update(kStep);
        seconds += kStep;
    }
    EXPECT_NEAR(seconds, 0.6f, kStep);
    EXPECT_EQ(m_plane->m_rollInput, 0.0f);
    EXPECT_EQ(m_plane->m_rudderInput, 30.0f);
}

TEST_F(FlightModel, InvertedFlightIsTurnedUpright)
{
    struct Row {
        YVector angles;
        int crashState;
        YVector after;
    } rows[] = {
        {YVector(100.0f, 10.0f, 0.0f), 0, YVector(80.0f, 190.0f, 180.0f)},
        {YVector(260.0f, 300.0f, 30.0f), 0, YVector(280.0f, 120.0f, 210.0f)},
        {YVector(100.0f, 10.0f, 0.0f), YPlane::CrashStall, YVector(100.0f, 10.0f, 0.0f)},
        // Straight up is not inverted; the move then takes it off exactly 90.
        {YVector(90.0f, 10.0f, 0.0f), 0, YVector(90.1f, 10.0f, 0.0f)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.angles.x << " crash " << row.crashState);
        YPlane plane;
        plane.m_crashState = row.crashState;
        plane.m_gravityOn = 0;
        plane.m_flagsB |= YActor::FlagOnGround;  // no air step to rebuild the angles
        plane.m_angles = row.angles;
        plane.Update(0.0f);
        EXPECT_NEAR(plane.m_angles.x, row.after.x, 0.01f);
        EXPECT_NEAR(plane.m_angles.y, row.after.y, 0.01f);
        EXPECT_NEAR(plane.m_angles.z, row.after.z, 0.01f);
    }
}

TEST_F(FlightModel, TheEngineLevelSetsTheTopSpeed)
{
    struct Row {
        int level;
        float from, top;
    } rows[] = {{255, 5.0f, 7.5f}, {765, 7.0f, 22.5f}, {100, 7.5f, 100.0f / 255.0f * 7.5f}, {0, 6.0f, 0.0f}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.level);
        Fly(row.from);
        m_plane->m_gravityOn = 0;
        m_plane->m_engineLevel = row.level;
        for (int i = 0; i < 6000; ++i) m_plane->Fly(m_plane->GetSpeed(), kStep);
        EXPECT_NEAR(m_plane->GetSpeed(), row.top, 0.01f);
    }
}

TEST_F(FlightModel, OneWheelNotchIsOneThrottleStepWhileTheMouseIsAcquired)
{
    YInputObj* input = m_engine->m_input;
    ASSERT_NE(input, nullptr);
    const uint8_t savedAcquired = input->m_mouseAcquired;
    const int32_t savedWheel = input->m_wheelAxis;
    struct Row {
        uint8_t acquired;
        int32_t wheel;
        uint8_t bot;
        int32_t throttle;  // from 100
    } rows[] = {
        {1, 120, 0, 125}, {1, -120, 0, 75}, {1, 0, 0, 100},
        {0, 120, 0, 100},  // the wheel message carries it then
        {1, 120, 1, 100},  // a bot does not fly by the player's wheel
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << int(row.acquired) << " " << row.wheel << " bot " << int(row.bot));
        Fly(6.0f);
        m_plane->m_botFlown = row.bot;
        m_plane->OnCommand(15, "", 1);
        input->m_mouseAcquired = row.acquired;
        input->m_wheelAxis = row.wheel;
        m_plane->Update(kStep);
        EXPECT_EQ(m_plane->m_throttle, row.throttle);
    }
    input->m_mouseAcquired = savedAcquired;
    input->m_wheelAxis = savedWheel;
}

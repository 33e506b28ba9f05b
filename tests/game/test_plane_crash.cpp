// The radio signal, the crash states' entry by part strikes and by the
// touch-down classifier, their motion to the restart, the stall, and the
// restart's spot search on a sample map.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "PlaneFlightFixture.h"
#include "game/YClientPhysics.h"
#include "renderer/YTraceResult.h"

namespace {

class PlaneCrash : public PlaneFlight {
protected:
    void Fly(float height = 30.0f, float speed = 6.0f, const char* key = "p40plane")
    {
        Start("Meadow", key);
        float yaw = 0.0f;
        ASSERT_TRUE(PlayerStart(m_at, yaw));
        Place(m_at, yaw, height, speed);
        m_plane->m_startPosition = m_at;
        m_plane->m_startPosition.y = Ground() + 0.3f;
        m_plane->m_startAngles = YVector(0.0f, WrapAngle360(yaw), 0.0f);
        m_plane->m_engineStarted = 1;
        srand(7);
    }
    // The plane turned to the angles (pitch, yaw, roll).
    void Pose(float pitch, float roll)
    {
        m_plane->m_angles = YVector(WrapAngle360(pitch), m_plane->m_angles.y, WrapAngle360(roll));
    }
    // Runs until the plane restarts; false when it did not in the time.
    bool RunToRestart(float seconds)
    {
        const uint32_t before = m_plane->m_restarts;
        for (int i = 0; i < static_cast<int>(seconds / kStep) && m_plane->m_restarts == before; ++i) Tick();
        return m_plane->m_restarts != before;
    }
    // A restarted plane stands clear, or back at its start.
    void ExpectRestartedClear()
    {
        EXPECT_EQ(m_plane->m_crashState, YPlane::CrashNone);
        EXPECT_FALSE(m_plane->IsCrashingOrDown());
        EXPECT_EQ(m_plane->m_engineLevel, 0);
        EXPECT_TRUE(std::isfinite(m_plane->m_position.x) && std::isfinite(m_plane->m_position.z));
        const bool atStart = (m_plane->m_position - m_plane->m_startPosition).Length() < 1e-3f;
        EXPECT_TRUE(atStart || m_plane->ClearSpot(m_plane->m_position));
        EXPECT_NEAR(m_plane->m_angles.x, 0.0f, 1e-3f);
        EXPECT_NEAR(m_plane->m_angles.z, 0.0f, 1e-3f);
    }
    static YTraceResult Hit(const YVector& normal, float contactHeight = 0.0f)
    {
        YTraceResult hit;
        hit.m_normal[0] = normal.x;
        hit.m_normal[1] = normal.y;
        hit.m_normal[2] = normal.z;
        hit.m_hitPoint[1] = contactHeight * 16.0f;
        return hit;
    }
    YVector m_at;
};

}  // namespace

// Distances measured along the map's longer free axis from a transmitter
// placed off the plane.
TEST_F(PlaneCrash, SignalWeakensAndIsLost)
{
    Fly();
    const YVector plane = m_plane->m_position;
    m_plane->m_startPosition = YVector(plane.x - 1460.0f, plane.y, plane.z);
    m_plane->SignalStep();
    EXPECT_EQ(m_plane->m_signalState, 1);
    EXPECT_EQ(m_plane->m_signalWarning, 1);
    m_plane->SignalStep();
    EXPECT_EQ(m_plane->m_signalWarning, 1) << "one warning";
    m_plane->m_startPosition = YVector(plane.x - 1000.0f, plane.y, plane.z);
    m_plane->SignalStep();
    EXPECT_EQ(m_plane->m_signalState, 0);
    EXPECT_EQ(m_plane->m_signalWarning, 0);

    Throttle(ThrottleHigh);
    Run(4.0f);
    ASSERT_GT(m_plane->m_engineLevel, 0);
    m_plane->m_startPosition = YVector(m_plane->m_position.x - 1499.5f, plane.y, m_plane->m_position.z);
    m_plane->SignalStep();
    EXPECT_EQ(m_plane->m_signalState, 2);
    EXPECT_EQ(m_plane->m_crashState, YPlane::CrashSignalLost);
    EXPECT_EQ(m_plane->m_stallDeadline, m_engine->m_gameClock + 5000);
    EXPECT_EQ(m_plane->m_engineLevel, 0);
    EXPECT_EQ(m_plane->m_controlEnabled, 0);
}

TEST_F(PlaneCrash, SignalLostFallsNoseDownAndRestarts)
{
    struct Row {
        float height;
        bool byDeadline;
    } rows[] = {{80.0f, true}, {4.0f, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.height);
        Fly(row.height, 6.0f);
        m_plane->m_startPosition.x = m_plane->m_position.x - 1499.5f;
        m_plane->m_startPosition.z = m_plane->m_position.z;
        const uint32_t lost = m_engine->m_gameClock + static_cast<uint32_t>(kStep * 1000.0f);
        Tick();
        ASSERT_EQ(m_plane->m_crashState, YPlane::CrashSignalLost);
        Run(0.5f);
        EXPECT_LT(FoldAngle180(m_plane->m_angles.x), 0.0f) << "the nose drops";
        m_plane->m_startPosition = m_at;  // the restart falls back here
        // From high up the deadline comes first: let the clock run ahead to it.
        if (row.byDeadline) m_engine->m_gameClock = lost + 5000 - 2 * static_cast<uint32_t>(kStep * 1000.0f);
        float lowest = 1e9f;
        while (m_plane->m_restarts == 0 && m_engine->m_gameClock < lost + 6000) {
            lowest = std::min(lowest, Height());
            Tick();
        }
        ASSERT_EQ(m_plane->m_restarts, 1u);
        const uint32_t at = m_engine->m_gameClock - lost;
        if (row.byDeadline) {
            EXPECT_NEAR(static_cast<float>(at), 5000.0f, 20.0f);
            EXPECT_GT(lowest, 0.2f);
        } else {
            EXPECT_LT(at, 5000u);
        }
        ExpectRestartedClear();
        TearDown();
    }
}

TEST_F(PlaneCrash, EdgeMargins)
{
    Fly();
    const float width = m_world.MapWidth();
    ASSERT_GT(width, 200.0f);
    struct Row {
        float x;
        int zone;
    } rows[] = {{49.0f, 1}, {51.0f, 2}, {77.0f, 2}, {79.0f, 0}, {width - 49.0f, 1}, {width - 60.0f, 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.x);
        m_plane->m_position.x = row.x;
        m_plane->m_position.z = m_world.MapHeight() * 0.5f;
        EXPECT_EQ(m_plane->EdgeZone(), row.zone);
    }
    m_plane->m_position.x = 49.0f;
    m_plane->m_startPosition = m_plane->m_position;
    m_plane->SignalStep();
    EXPECT_EQ(m_plane->m_crashState, YPlane::CrashSignalLost);
}

TEST_F(PlaneCrash, PartStrikesByPose)
{
    struct Row {
        float pitch, roll;
        int part;
        int state;
    } rows[] = {
        {0, 30, YPlane::ContactLeftWing, YPlane::CrashSpin},
        {0, -60, YPlane::ContactRightWing, YPlane::CrashSomersault},
        {-30, 0, YPlane::ContactPropeller, YPlane::CrashNoseDown},
        {-20, 10, YPlane::ContactLeftWheel, YPlane::CrashNoseDown},
        {-30, 180, YPlane::ContactPropeller, YPlane::CrashInverted},
        {20, 0, YPlane::ContactPropeller, YPlane::CrashNone},
        {0, 100, YPlane::ContactLeftWing, YPlane::CrashNone},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.pitch << " " << row.roll << " part " << row.part);
        Fly(1.0f);
        Pose(row.pitch, row.roll);
        m_plane->PartStrike(row.part);
        EXPECT_EQ(m_plane->m_crashState, row.state);
        if (row.state != YPlane::CrashNone) {
            EXPECT_TRUE(m_plane->m_flagsB & YPlane::FlagCrashing);
            EXPECT_EQ(m_plane->m_stallDeadline, m_engine->m_gameClock + 7000);
            EXPECT_EQ(m_plane->m_soundEndTime, YPlane::kNothingPending) << "the crash sound";
        }
        if (row.state == YPlane::CrashSpin || row.state == YPlane::CrashSomersault)
            EXPECT_EQ(m_plane->m_struckLeft, row.part == YPlane::ContactLeftWing);
        TearDown();
    }
}

// A wing tip that touches the terrain in a bank: flown into the ground.
TEST_F(PlaneCrash, WingTipsTouchingTheGround)
{
    struct Row {
        float roll;
        int state;
    } rows[] = {{30.0f, YPlane::CrashSpin}, {60.0f, YPlane::CrashSomersault}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.roll);
        Fly(0.9f, 6.0f);
        Pose(0.0f, row.roll);
        m_plane->m_forward = m_plane->m_angles.FromAngles();
        for (int i = 0; i < 200 && m_plane->m_crashState == YPlane::CrashNone; ++i) {
            Pose(0.0f, row.roll);
            m_plane->m_position.y -= 0.02f;
            Tick();
        }
        EXPECT_EQ(m_plane->m_crashState, row.state);
        TearDown();
    }
}

TEST_F(PlaneCrash, TheClassifierSortsWallsFromFloors)
{
    struct Row {
        const char* name;
        YVector normal;
        uint32_t deadline;
        bool bounce;
    } rows[] = {
        {"wall", YVector(0.0f, 0.0f, -1.0f), 6000, false},
        {"floor", YVector(0.0f, 1.0f, 0.0f), 9000, true},
        {"steep wall", YVector(0.0f, 0.3f, -1.0f), 6000, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Fly(20.0f);
        m_plane->m_motionDirection = YVector(0.0f, 0.0f, 1.0f);
        const YTraceResult hit = Hit(row.normal);
        m_plane->ObjectContact(YPlane::ContactLeftWing, &hit);
        EXPECT_EQ(m_plane->m_crashState, YPlane::CrashWingObject);
        EXPECT_EQ(m_plane->m_stallDeadline, m_engine->m_gameClock + row.deadline);
        EXPECT_TRUE(m_plane->IsDown());
        EXPECT_EQ(m_plane->m_struckLeft, 1);
        if (row.bounce) EXPECT_FLOAT_EQ(m_plane->m_velocity.y, 8.0f);
        TearDown();
    }
    // The surface pitch's rows, the exact 20 degrees included (no normal
    // folds onto exactly 20 through the angle estimate).
    const struct {
        float pitch;
        uint32_t ms;
    } pitches[] = {{0.0f, 6000}, {19.9f, 6000}, {-19.9f, 6000}, {20.0f, 0}, {-20.0f, 0}, {20.1f, 9000}, {90.0f, 9000}};
    for (const auto& row : pitches) EXPECT_EQ(YPlane::WingStrikeMs(row.pitch), row.ms) << row.pitch;
}

TEST_F(PlaneCrash, SecondContactsLeaveStatesFiveAndSeven)
{
    for (int state : {static_cast<int>(YPlane::CrashWingObject), static_cast<int>(YPlane::CrashNoseOverSink)}) {
        SCOPED_TRACE(state);
        Fly(20.0f);
        m_plane->m_crashState = state;
        m_plane->m_stallDeadline = m_engine->m_gameClock + 4000;
        const YTraceResult wall = Hit(YVector(0.0f, 0.0f, -1.0f));
        m_plane->ObjectContact(YPlane::ContactLeftWing, &wall);
        m_plane->ObjectContact(YPlane::ContactPropeller, &wall);
        EXPECT_EQ(m_plane->m_crashState, state);
        EXPECT_EQ(m_plane->m_stallDeadline, m_engine->m_gameClock + 4000);
        TearDown();
    }
}

// Each crash state entered on the meadow and played to its restart.
TEST_F(PlaneCrash, EveryStatePlaysToItsRestart)
{
    const YVector wall(0.0f, 0.0f, -1.0f), floor(0.0f, 1.0f, 0.0f);
    struct Row {
        const char* name;
        int state;
        float pitch, roll, height;
        int part;
        bool object;
        YVector normal;
    } rows[] = {
        {"spin", YPlane::CrashSpin, 0, 30, 1.0f, YPlane::ContactLeftWing, false, wall},
        {"somersault", YPlane::CrashSomersault, 0, 60, 1.0f, YPlane::ContactRightWing, false, wall},
        {"nose down", YPlane::CrashNoseDown, -30, 0, 1.0f, YPlane::ContactPropeller, false, wall},
        {"inverted", YPlane::CrashInverted, -30, 180, 1.0f, YPlane::ContactPropeller, false, wall},
        {"wing on wall", YPlane::CrashWingObject, 0, 0, 1.0f, YPlane::ContactLeftWing, true, wall},
        {"flat landing", YPlane::CrashFlatLanding, 0, 0, 1.0f, YPlane::ContactPropeller, true,
         YVector(0.0f, 1.0f, 0.5f)},
        {"nose-over", YPlane::CrashNoseOver, 0, 0, 1.0f, YPlane::ContactPropeller, true, floor},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Fly(row.height, 6.0f);
        Pose(row.pitch, row.roll);
        m_plane->m_motionDirection = YVector(0.0f, -0.2f, 1.0f);
        m_plane->m_motionDirection.Normalize();
        if (row.object) {
            const YTraceResult hit = Hit(row.normal, Ground());
            m_plane->ObjectContact(row.part, &hit);
        } else {
            m_plane->PartStrike(row.part);
        }
        ASSERT_EQ(m_plane->m_crashState, row.state);
        EXPECT_TRUE(RunToRestart(25.0f));
        ExpectRestartedClear();
        TearDown();
    }
}

// The propeller's ground contact in a flat landing makes it a nose-over and
// sink, which settles the rest offset above the terrain.
TEST_F(PlaneCrash, FlatLandingTurnsIntoNoseOverAndSink)
{
    Fly(1.0f);
    // A slope facing the way the plane moves: the surface pitch below 90 with the acute flag.
    m_plane->m_motionDirection = YVector(0.0f, -0.2f, 1.0f);
    m_plane->m_motionDirection.Normalize();
    const YTraceResult floor = Hit(YVector(0.0f, 1.0f, 0.5f), Ground());
    m_plane->ObjectContact(YPlane::ContactPropeller, &floor);
    ASSERT_EQ(m_plane->m_crashState, YPlane::CrashFlatLanding);
    m_plane->GroundContact(YPlane::ContactPropeller);
    ASSERT_EQ(m_plane->m_crashState, YPlane::CrashNoseOverSink);
    EXPECT_EQ(m_plane->m_crashTarget.x, 180.0f);
    for (int i = 0; i < 400 && !m_plane->m_resting; ++i) Tick();
    EXPECT_EQ(m_plane->m_resting, 1);
    EXPECT_NEAR(Height(), m_plane->m_restOffset, 0.05f);
}

TEST_F(PlaneCrash, TipAgainstAnObstacleSlowlyRestsAtItsDeadline)
{
    Fly(1.0f, 0.0f);
    m_plane->m_flagsB |= YActor::FlagOnGround;
    m_plane->m_velocity = YVector(0.0f, 0.0f, 2.0f);
    m_plane->m_motionDirection = YVector(0.0f, 0.0f, 1.0f);
    const YTraceResult wall = Hit(YVector(0.0f, 0.0f, -1.0f));
    m_plane->ObjectContact(YPlane::ContactPropeller, &wall);
    ASSERT_EQ(m_plane->m_crashState, YPlane::CrashTip);
    EXPECT_EQ(m_plane->m_tipRate, 0.0f);
    const uint32_t deadline = m_plane->m_stallDeadline;
    for (int i = 0; i < 600 && !m_plane->m_resting; ++i) Tick();
    EXPECT_EQ(m_plane->m_resting, 1);
    EXPECT_GE(m_engine->m_gameClock, deadline);
}

TEST_F(PlaneCrash, SpinSlowsAndTheViewSwings)
{
    Fly(1.0f, 10.0f);
    Pose(0.0f, 0.0f);
    m_plane->PartStrike(YPlane::ContactLeftWing);
    ASSERT_EQ(m_plane->m_crashState, YPlane::CrashSpin);
    m_plane->m_velocity = m_plane->m_forward * 10.0f;
    m_plane->CrashStep(kStep);
    EXPECT_NEAR(m_plane->m_vectorB.y, 80.0f * (10.0f - 5.0f * kStep), 0.5f) << "left wing: positive yaw";
    uint32_t stopped = 0;
    const uint32_t start = m_engine->m_gameClock;
    for (int i = 0; i < 500 && !stopped; ++i) {
        Tick();
        if (m_plane->m_resting) stopped = m_engine->m_gameClock - start;
    }
    EXPECT_NEAR(static_cast<float>(stopped), 2000.0f, 100.0f);
    EXPECT_TRUE(RunToRestart(8.0f));
    ExpectRestartedClear();
}

TEST_F(PlaneCrash, StallRecoversOrMeetsTheGround)
{
    Fly(60.0f, 1.0f);
    Throttle(ThrottleHigh);
    Run(1.0f);
    const float stall = m_plane->GetHandling()->m_stallSpeed;
    m_plane->m_crashState = YPlane::CrashStall;
    m_plane->m_flagsB |= YPlane::FlagCrashing;
    m_plane->m_velocity = YVector(0.0f, -1.0f, 0.2f) * (stall + 7.0f);
    m_plane->m_velocity.SetLength(stall + 7.0f);
    EXPECT_TRUE(m_plane->StallStep(kStep));
    EXPECT_EQ(m_plane->m_crashState, YPlane::CrashNone);
    EXPECT_EQ(m_plane->m_recoveryPose, 1);
    EXPECT_NEAR(m_plane->m_forward.Dot(m_plane->m_angles.FromAngles()), 1.0f, 1e-3f);
    TearDown();

    Fly(3.0f, 0.5f);
    Run(3.0f);
    EXPECT_GE(m_plane->m_restarts, 1u) << "a slow plane stalls onto the ground and restarts";
    EXPECT_EQ(m_plane->m_crashState, YPlane::CrashNone);
    EXPECT_TRUE(std::isfinite(m_plane->m_angles.x) && std::isfinite(m_plane->m_angles.y));
}

// A world whose every line is blocked: the search gives up and goes home.
class BoxedWorld : public YActorWorld {
public:
    int LineTrace(YActor*, YVector&, const YVector&, float, float, DWORD) override { return 0; }
};

TEST_F(PlaneCrash, BoxedInTheRestartEndsAtTheStart)
{
    Fly(1.0f);
    BoxedWorld boxed;
    boxed.Init(nullptr, nullptr, "maps", YActorWorld::kDefaultCapacity);
    YActorWorld* own = m_plane->m_world;
    m_plane->m_world = &boxed;
    m_plane->m_position.x += 40.0f;
    m_plane->m_crashState = YPlane::CrashSignalLost;
    m_plane->Restart();
    m_plane->m_world = own;
    EXPECT_NEAR((m_plane->m_position - m_plane->m_startPosition).Length(), 0.0f, 1e-4f);
    EXPECT_NEAR(FoldAngle180(m_plane->m_angles.y - m_plane->m_startAngles.y), 0.0f, 1e-3f);
    EXPECT_EQ(m_plane->m_crashState, YPlane::CrashNone);
}

TEST_F(PlaneCrash, RestartsNearTheEdgeStayInsideTheMargins)
{
    Fly(1.0f);
    for (float x : {10.0f, m_world.MapWidth() - 10.0f}) {
        m_plane->m_position = YVector(x, 5.0f, m_world.MapHeight() - 5.0f);
        m_plane->Restart();
        EXPECT_GE(m_plane->m_position.x, YPlane::kNearEdgeMargin - 1e-3f);
        EXPECT_LE(m_plane->m_position.x, m_world.MapWidth() - YPlane::kNearEdgeMargin + 1e-3f);
        EXPECT_LE(m_plane->m_position.z, m_world.MapHeight() - YPlane::kNearEdgeMargin + 1e-3f);
    }
}

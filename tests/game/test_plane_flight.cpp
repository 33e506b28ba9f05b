#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "game/PlaneFlightFixture.h"
#include "game/YClientPhysics.h"

std::string PlaneFlight::s_map;

namespace {

enum Where { AtStart, OverLake, MapCentre };

// A stretch of a scripted flight: its length, the throttle command given at
// its start (0 none) and the verbs held through it.
struct Stretch {
    float seconds;
    int throttle;
    std::set<int> verbs;
};

// What a flight went through.
struct Trace {
    bool readyOnGround = false;  // lift-off readiness while still rolling
    bool leftGround = false;
    bool touchedDown = false;    // on the ground again after leaving it
    float highest = -1e9f;       // above the terrain
    float lowest = 1e9f;
    bool finite = true;
    uint32_t stallClock = 0;     // when the stall began
};

}  // namespace

TEST_F(PlaneFlight, ScriptedFlights)
{
    const int up = VerbDown, down = VerbUp;  // the stick: back lifts the nose
    // Nose down, then slow below the control speed so that the wheels stay
    // down once they come within reach; at rest the engine goes off.
    const std::vector<Stretch> kLanding = {{0.1f, 15, {}}, {0.3f, 0, {down}}, {0.1f, 49, {}},
                                           {8.0f, 0, {}},  {0.1f, ThrottleOff, {}}, {6.0f, 0, {}}};
    struct Row {
        const char* name;
        const char* map;
        Where where;
        float height, speed;  // 0: at rest on the ground
        std::vector<Stretch> script;
        std::function<void(PlaneFlight&, const Trace&)> check;
    };
    const Row rows[] = {
        {"take-off and climb", "Meadow", AtStart, 0, 0,
         {{4.0f, ThrottleHigh, {}}, {1.5f, 0, {up}}, {8.0f, 0, {}}},
         [](PlaneFlight& f, const Trace& t) {
             EXPECT_EQ(f.m_plane->m_engineLevel, 255);
             EXPECT_TRUE(t.readyOnGround) << "lift-off readiness before the wheels leave";
             EXPECT_TRUE(t.leftGround);
             EXPECT_FALSE(f.m_plane->IsOnGround());
             EXPECT_GT(f.Height(), 10.0f) << "climbed";
             EXPECT_GT(f.m_plane->m_velocity.y, 0.5f) << "still climbing";
             EXPECT_EQ(f.m_plane->m_crashState, 0);
         }},
        {"take-off on the flat map", "Flat", AtStart, 0, 0,
         {{1.0f, ThrottleHigh, {}}, {3.0f, 0, {}}, {1.5f, 0, {up}}, {4.0f, 0, {}}},
         [](PlaneFlight& f, const Trace& t) {
             EXPECT_GE(t.lowest, -0.01f) << "the wheels stand on ground at height 0";
             EXPECT_TRUE(t.leftGround);
             EXPECT_GT(f.Height(), 3.0f);
         }},
        {"no stick, no lift-off", "Meadow", AtStart, 0, 0, {{8.0f, ThrottleHigh, {}}},
         [](PlaneFlight& f, const Trace& t) {
             EXPECT_FALSE(t.leftGround);
             EXPECT_NEAR(f.m_plane->GetSpeed(), f.m_plane->GetHandling()->m_topGroundSpeed, 0.01f);
         }},
        {"banked turn to the right", "Meadow", AtStart, 40.0f, 6.0f, {{0.6f, ThrottleHigh, {VerbRight}}, {2.0f, 0, {}}},
         [](PlaneFlight& f, const Trace&) {
             const float r = FoldAngle180(f.m_plane->m_angles.z);
             ASSERT_GT(std::fabs(r), 10.0f) << "the bank holds once the key is let go";
             ASSERT_LT(std::fabs(r), 90.0f);
             const float yaw = f.m_plane->m_angles.y;
             f.Tick();
             const float turned = FoldAngle180(f.m_plane->m_angles.y - yaw);
             EXPECT_GT(turned, 0.0f) << "a right bank turns right";
             EXPECT_NEAR(turned, -r * f.m_plane->GetHandling()->m_bankYawFactor * PlaneFlight::kStep, 0.01f);
             EXPECT_NEAR(f.m_plane->m_sinkSpeed, std::fabs(r) / 90.0f * 9.8f * 1.2f * PlaneFlight::kStep, 1e-4f);
             EXPECT_EQ(f.m_plane->m_crashState, 0);
         }},
        {"stall below the stall speed", "Meadow", AtStart, 40.0f, 3.0f, {{3.0f, ThrottleOff, {}}},
         [](PlaneFlight& f, const Trace& t) {
             EXPECT_EQ(f.m_plane->m_crashState, YPlane::CrashStall);
             EXPECT_TRUE(f.m_plane->m_flagsB & YPlane::FlagCrashing);
             ASSERT_NE(t.stallClock, 0u);
             EXPECT_EQ(f.m_plane->m_stallDeadline, t.stallClock + 10000u);
             EXPECT_LT(t.stallClock - 100000u, 1000u) << "within the half second the brake needs, and a step";
         }},
        {"ceiling", "Meadow", AtStart, 80.0f, 6.0f, {{1.0f, ThrottleHigh, {up}}, {12.0f, 0, {}}},
         [](PlaneFlight&, const Trace& t) {
             // Held at the ceiling in the air step; the move after it climbs one step more.
             EXPECT_LE(t.highest, YPlane::kCeiling + 0.1f);
             EXPECT_GT(t.highest, YPlane::kCeiling - 0.5f) << "it climbed to the ceiling";
         }},
        {"landing rolls to rest", "Meadow", AtStart, 2.0f, 3.0f,
         kLanding,
         [](PlaneFlight& f, const Trace& t) {
             EXPECT_TRUE(t.touchedDown);
             EXPECT_TRUE(f.m_plane->IsOnGround());
             EXPECT_EQ(f.m_plane->m_crashState, 0);
             EXPECT_LT(f.m_plane->GetSpeed(), 0.01f) << "at rest";
             EXPECT_GE(t.lowest, -0.01f);
         }},
        {"landing on the lake bed", "Meadow", OverLake, 2.0f, 3.0f,
         kLanding,
         [](PlaneFlight& f, const Trace& t) {
             EXPECT_LT(f.Ground(), -1.0f)
                 << "over the bed, below the 1 m the contact once needed";
             EXPECT_TRUE(t.touchedDown);
             EXPECT_GE(t.lowest, -0.01f) << "never through the bed";
             EXPECT_LT(f.m_plane->GetSpeed(), 0.01f);
         }},
        {"landing on the flat map", "Flat", MapCentre, 2.0f, 3.0f,
         kLanding,
         [](PlaneFlight& f, const Trace& t) {
             EXPECT_TRUE(t.touchedDown);
             EXPECT_GE(t.lowest, -0.01f);
             EXPECT_NEAR(f.m_plane->m_position.y, 0.0f, 0.6f);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Start(row.map);
        YVector at;
        float yaw = 0.0f;
        ASSERT_TRUE(PlayerStart(at, yaw));
        if (row.where == OverLake) at = YVector(m_world.MapWidth() * 0.62f, 0.0f, m_world.MapHeight() * 0.38f);
        if (row.where == MapCentre) at = YVector(m_world.MapWidth() * 0.5f, 0.0f, m_world.MapHeight() * 0.5f);
        Place(at, yaw, row.height, row.speed);
        Trace trace;
        for (const Stretch& stretch : row.script) {
            if (stretch.throttle) Throttle(stretch.throttle);
            Hold(stretch.verbs);
            for (int i = 0; i < static_cast<int>(stretch.seconds / kStep + 0.5f); ++i) {
                const bool wasOnGround = m_plane->IsOnGround();
                if (wasOnGround && (m_plane->m_flagsB & YPlane::FlagLiftOffReady)) trace.readyOnGround = true;
                Tick();
                const float h = Height();
                trace.finite = trace.finite && std::isfinite(h);
                trace.highest = std::max(trace.highest, h);
                trace.lowest = std::min(trace.lowest, h);
                if (wasOnGround && !m_plane->IsOnGround()) trace.leftGround = true;
                if (!wasOnGround && m_plane->IsOnGround()) trace.touchedDown = true;
                if (!trace.stallClock && m_plane->m_crashState == YPlane::CrashStall)
                    trace.stallClock = m_engine->m_gameClock;
            }
        }
        EXPECT_TRUE(trace.finite);
        row.check(*this, trace);
        TearDown();
    }
}

TEST_F(PlaneFlight, TheViewPlaneAnswersWhereItsUpdateLeftIt)
{
    Start("Meadow");
    YVector at;
    float yaw = 0.0f;
    ASSERT_TRUE(PlayerStart(at, yaw));
    Place(at, yaw, 20.0f, 6.0f);
    Throttle(ThrottleHigh);
    for (bool view : {true, false}) {
        SCOPED_TRACE(view);
        m_world.SetViewActor(view ? m_plane : nullptr);
        Tick();
        // The update ran before the mechanical pass moved the plane on.
        const YVector updated = m_plane->m_position - m_plane->m_velocity * kStep;
        ++m_plane->m_transformStamp;
        YVector position, angles;
        m_plane->GetWorldTransform(position, angles);
        if (view) {
            // The chase camera: 2 m behind where the update left the plane, 0.2 m up.
            EXPECT_NEAR((position - updated).Length(), std::sqrt(2.0f * 2.0f + 0.2f * 0.2f), 0.25f);
            EXPECT_NEAR(FoldAngle180(angles.y - m_plane->m_angles.y), 0.0f, 5.0f);
        } else {
            EXPECT_NEAR(position.x, m_plane->m_position.x, 1e-3f);
            EXPECT_NEAR(position.z, m_plane->m_position.z, 1e-3f);
            EXPECT_NEAR(angles.y, m_plane->m_angles.y, 1e-3f);
        }
    }
}

// A plane whose model is not found has no wheels: its origin rests on the
// ground instead of sinking through it.
TEST_F(PlaneFlight, APlaneWithoutAModelRestsOnTheGround)
{
    struct Row {
        float height;  // above the ground when let go
        float seconds;
    } rows[] = {{0.0f, 3.0f}, {0.3f, 3.0f}, {2.0f, 4.0f}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.height);
        Start("Meadow", "no such plane");
        ASSERT_EQ(nullptr, m_plane->GetModelInstance());
        YVector at;
        float yaw = 0.0f;
        ASSERT_TRUE(PlayerStart(at, yaw));
        Place(at, yaw);
        m_plane->m_position.y = Ground() + row.height;
        Run(row.seconds);
        EXPECT_NEAR(Height(), 0.0f, 0.01f);
        EXPECT_TRUE(m_plane->IsOnGround());
        TearDown();
    }
}

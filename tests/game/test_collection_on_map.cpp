// On a sample map, a plane flown through each kind of mode actor by the
// mechanical pass and its collision sweep collects it.
#include <functional>

#include "game/ModeActorsFixture.h"
#include "game/PlaneFlightFixture.h"

namespace {

class Collection : public PlaneFlight {
protected:
    void SetUp() override
    {
        Start("Meadow");
        m_savedRules = m_engine->m_rules;
        m_engine->CreatePopulationLists();
        m_rules.m_state = YGameRules::StateRun;
        m_rules.m_mode = 1;
        m_engine->m_rules = &m_rules;
        m_savedLocal = m_engine->m_localClient->m_plane;
        m_engine->m_localClient->m_plane = m_plane;
    }
    void TearDown() override
    {
        m_engine->CreatePopulationLists();
        m_engine->m_rules = m_savedRules;
        m_engine->m_localClient->m_plane = m_savedLocal;
        PlaneFlight::TearDown();
    }
    // The plane in level flight at 30 m, 20 m/s; the point 15 m ahead.
    YVector Fly()
    {
        YVector at;
        float yaw = 0.0f;
        EXPECT_TRUE(PlayerStart(at, yaw));
        // Placed again: out of the grid cell the last flight left it in.
        m_world.UnplaceActor(m_plane);
        Place(at + YVector(40.0f, 0.0f, 40.0f), 45.0f, 30.0f, 20.0f);
        Throttle(ThrottleHigh);
        return m_plane->m_position + m_plane->m_forward * 15.0f;
    }
    YGameRules m_rules;
    YGameRules* m_savedRules = nullptr;
    YPlane* m_savedLocal = nullptr;
};

}  // namespace

TEST_F(Collection, FlyingThroughCollectsEachKind)
{
    const struct {
        const char* kind;
        std::function<YActor*(const YVector&)> make;
        std::function<bool(YPlane*, YActor*)> collected;
    } rows[] = {
        {"balloon",
         [&](const YVector& at) {
             YBalloon* b = new YBalloon(nullptr, at, YBalloon::Red, true, 0.0f);
             m_engine->m_balloons->AddTail(b);
             return b;
         },
         [](YPlane* plane, YActor* actor) { return plane->m_balloons == 1 && actor->IsMarkedForDestruction(); }},
        {"tunnix",
         [&](const YVector& at) {
             YTunnix* t = new YTunnix(at, YTunnix::Yellow, true);
             m_engine->m_tunnixes->AddTail(t);
             return t;
         },
         [](YPlane* plane, YActor*) { return plane->m_tunnixCount == 1 && plane->GetCarried(-1) == 100; }},
        {"power-up",
         [&](const YVector& at) {
             YPowerUp* p = new YPowerUp(at, YPowerUp::Tornado, true);
             m_engine->m_powerUps->AddTail(p);
             return p;
         },
         [](YPlane* plane, YActor* actor) {
             return plane->m_heldPowerUp && !(actor->m_flagsA & YActor::FlagVisible);
         }},
        {"goal",
         [&](const YVector& at) {
             m_plane->m_tunnixCount = 2;
             m_plane->SetCarried(25, 0);
             m_plane->SetCarried(50, 1);
             return new YGoal(at, true);
         },
         [](YPlane* plane, YActor*) { return plane->m_score == 75 && plane->m_tunnixCount == 0; }},
        {"waypoint",
         [&](const YVector& at) {
             YWaypoint* start = new YWaypoint(at + YVector(0.0f, 500.0f, 0.0f), -1, "Waypoint-start_banner--24-0", true);
             YWaypoint* first = new YWaypoint(at, 1, "", false);
             m_engine->m_waypoints->AddTail(start);
             m_engine->m_waypoints->AddTail(first);
             m_engine->m_waypoints->AddTail(new YWaypoint(at + YVector(0.0f, 500.0f, 0.0f), 1, "", false));
             m_engine->m_waypoints->AddTail(
                 new YWaypoint(at + YVector(0.0f, 600.0f, 0.0f), -1, "Waypoint-finish_banner--24-0", false));
             m_rules.m_currentWaypoint = first;
             return first;
         },
         [&](YPlane* plane, YActor* actor) {
             return plane->m_lap == 1 && plane->m_score == 100 && m_rules.m_currentWaypoint != actor;
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.kind);
        m_plane->m_balloons = m_plane->m_tunnixCount = m_plane->m_score = m_plane->m_lap = 0;
        m_plane->SetCarried(0, -1);
        m_plane->m_heldPowerUp = nullptr;
        const YVector ahead = Fly();
        YActor* actor = row.make(ahead);
        ASSERT_GE(m_world.IndexOf(actor), 0);
        EXPECT_FALSE(row.collected(m_plane, actor)) << "not before the flight";
        bool done = false;
        for (int i = 0; i < 120 && !done; ++i) {
            Tick();
            done = row.collected(m_plane, actor);
        }
        EXPECT_TRUE(done);
        EXPECT_LT(m_plane->m_crashState, 1) << "a pick-up is no crash";
        m_engine->ClearPopulation();
        m_world.PurgeDestroyed();
        m_engine->CreatePopulationLists();
    }
}

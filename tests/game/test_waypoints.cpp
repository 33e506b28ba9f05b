// The air-race course: laps, the finish, practice looping and the flashing
// of the active waypoint.
#include "game/ModeActorsFixture.h"

namespace {
const char* const kStart = "Waypoint-start_banner--24-0";
const char* const kFinish = "Waypoint-finish_banner--24-0";
}  // namespace

class Course : public ModeActors {
protected:
    // Start banner, the waypoints, finish banner, listed as the script does.
    void Build(int waypoints)
    {
        YWaypoint* start = new YWaypoint(YVector(), -1, kStart, true);
        start->m_flagsB &= ~YWaypoint::FlagWaypointKind;
        e->m_waypoints->AddHead(start);
        for (int i = 0; i < waypoints; ++i)
            e->m_waypoints->AddTail(new YWaypoint(YVector(100.0f * (i + 1), 20.0f, 0.0f), 1, "", false));
        e->m_waypoints->AddTail(new YWaypoint(YVector(), -1, kFinish, false));
    }
    YWaypoint* At(int element) { return e->m_waypoints->GetAt(e->m_waypoints->FindIndex(element)); }
    YWaypoint* Current() { return static_cast<YWaypoint*>(m_rules.m_currentWaypoint); }
};

TEST_F(Course, IndicesFollowCreationAndTheFirstWaypointLeads)
{
    Build(4);
    const int indices[] = {-1, 0, 1, 2, 3, 4};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(At(i)->m_index, indices[i]) << i;
    EXPECT_EQ(Current(), At(1));
    EXPECT_EQ(At(1)->m_active, 1u);
    for (int i : {0, 2, 3, 4, 5}) EXPECT_EQ(At(i)->m_active, 0u) << i;
    EXPECT_STREQ(At(5)->m_modelName, kFinish);
    EXPECT_STREQ(At(2)->m_modelName, "Waypoint-waypoint_on--24-0");
}

TEST_F(Course, ThreeLapsLeadToTheFinishAndPracticeLoops)
{
    const struct {
        int mode, practiceMarker;
        bool finishes;
    } rows[] = {{1, 0, true}, {YGameRules::ModePractice, 1, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mode);
        m_rules.m_mode = row.mode;
        m_rules.m_practice = row.practiceMarker;
        m_rules.m_currentWaypoint = nullptr;
        YPlane* plane = LocalPlane();
        Build(3);
        YWaypoint* finish = At(4);
        int passes = 0;
        std::vector<int> order;
        while (!plane->m_raceEnded && passes < 40) {
            YWaypoint* next = Current();
            ASSERT_NE(next, nullptr);
            // Flying through another waypoint changes nothing.
            YWaypoint* other = next == At(2) ? At(3) : At(2);
            other->Touch(plane);
            ASSERT_EQ(Current(), next);
            next->Touch(plane);
            order.push_back(next->m_index);
            ++passes;
        }
        if (row.finishes) {
            EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 0, 1, 2, 0, 1, 2, 3}));
            EXPECT_EQ(plane->m_lap, 3);
            EXPECT_EQ(plane->m_score, 1000);
            EXPECT_EQ(Current(), finish) << "the course ends at the finish banner";
        } else {
            EXPECT_EQ(passes, 40);
            EXPECT_EQ(plane->m_raceEnded, 0);
            for (int index : order) EXPECT_LT(index, 3) << "the finish banner never comes";
            EXPECT_EQ(plane->m_lap, 14);
        }
        EXPECT_EQ(SoundsNamed("Impact:pi-waypoint"), passes);
        e->CreatePopulationLists();
        m_world.Clear();
        m_commands.m_sounds.clear();
    }
}

TEST_F(Course, OnlyTheActiveWaypointFlashes)
{
    Build(2);
    YWaypoint* active = At(1);
    YWaypoint* idle = At(2);
    std::vector<int> states;
    for (int i = 0; i < 16; ++i) {
        for (int k = 0; k < e->m_waypoints->GetCount(); ++k) At(k)->Update(0.1f);
        states.push_back(active->m_state);
        EXPECT_EQ(idle->m_state, 1);
        EXPECT_STREQ(idle->m_modelName, "Waypoint-waypoint_on--24-0");
    }
    // Six steps of 0.1 s pass 0.5 s, the seventh flips the image.
    EXPECT_EQ(states, (std::vector<int>{1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1}));
    EXPECT_STREQ(active->m_modelName, "Waypoint-waypoint_on--24-0");
}

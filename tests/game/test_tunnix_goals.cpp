// Tunnix balls are carried up to five at a time and banked at goals.
#include "game/ModeActorsFixture.h"

TEST_F(ModeActors, PlanesCarryAtMostFiveBalls)
{
    YPlane* plane = Plane();
    const uint32_t colours[] = {YTunnix::Blue, YTunnix::Red, YTunnix::Yellow, 7, YTunnix::Red, YTunnix::Blue};
    const int32_t points[] = {25, 50, 100, 100, 50, 25};
    std::vector<YTunnix*> balls;
    for (uint32_t colour : colours) {
        balls.push_back(new YTunnix(YVector(10.0f * balls.size(), 20.0f, 0.0f), colour, balls.empty()));
        e->m_tunnixes->AddTail(balls.back());
    }
    EXPECT_STREQ(balls[0]->m_name, "Tunnix00");
    EXPECT_STREQ(balls[5]->m_name, "Tunnix05");
    for (YTunnix* ball : balls) ball->Touch(plane);
    EXPECT_EQ(plane->m_tunnixCount, 5);
    for (int slot = 0; slot < 5; ++slot) EXPECT_EQ(plane->GetCarried(slot), points[slot]) << slot;
    EXPECT_FALSE(balls[5]->IsMarkedForDestruction()) << "the sixth stays";
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(balls[i]->IsMarkedForDestruction());
    int empty = 0;
    for (POSITION at = e->m_tunnixes->GetHeadPosition(); at;) empty += e->m_tunnixes->GetNext(at) == nullptr;
    EXPECT_EQ(empty, 5);
    EXPECT_EQ(e->m_tunnixes->GetCount(), 6);
    EXPECT_EQ(SoundsNamed("Impact:pi-powerup-taken"), 5);
    EXPECT_EQ(m_voices.m_events, std::vector<int>(5, 20));
    // Something that is not a plane takes nothing.
    balls[5]->Touch(balls[0]);
    EXPECT_FALSE(balls[5]->IsMarkedForDestruction());
}

TEST_F(ModeActors, GoalsBankTheCarriedPoints)
{
    const struct {
        std::vector<uint32_t> colours;
        bool opponent;
        int32_t banked;
        std::vector<int> voices;
    } rows[] = {
        {{YTunnix::Red, YTunnix::Yellow}, false, 150, {20, 20, 18}},
        {{YTunnix::Blue}, true, 25, {19, 17}},
        {{}, false, 0, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.banked);
        m_voices.m_events.clear();
        m_commands.m_sounds.clear();
        YPlane* plane = Plane();
        plane->m_score = 7;
        if (row.opponent) e->m_opponentPlane = plane;
        for (uint32_t colour : row.colours) (new YTunnix(YVector(), colour, false))->Touch(plane);
        YGoal* goal = new YGoal(YVector(5.0f, 25.0f, 5.0f), true);
        EXPECT_STREQ(goal->m_name, "Goal00");
        EXPECT_EQ(goal->m_orientation, 6u);
        EXPECT_TRUE(goal->m_flagsB & 0x200000);
        goal->Touch(plane);
        EXPECT_EQ(plane->m_score, 7 + row.banked);
        EXPECT_EQ(plane->m_tunnixCount, 0);
        EXPECT_EQ(plane->GetCarried(-1), 0);
        EXPECT_FALSE(goal->IsMarkedForDestruction()) << "the goal stays";
        EXPECT_EQ(m_voices.m_events, row.voices);
        int banked = 0;
        for (const auto& sound : m_commands.m_sounds) banked += sound.name == "Impact:pi-waypoint" && sound.temporary;
        EXPECT_EQ(banked, row.banked ? 1 : 0);
        e->m_opponentPlane = nullptr;
        m_world.Clear();
    }
}

TEST_F(ModeActors, CarriedSlotsFillGapsAndSum)
{
    YPlane* plane = Plane();
    plane->SetCarried(1, 0);
    plane->SetCarried(2, 2);
    EXPECT_EQ(plane->GetCarried(-1), 3);
    plane->SetCarried(9, -1);
    EXPECT_EQ(plane->GetCarried(1), 9) << "the first empty slot";
    for (int32_t value : {4, 5, 6}) plane->SetCarried(value, -1);
    EXPECT_EQ(plane->GetCarried(-1), 1 + 9 + 2 + 4 + 5) << "five full slots drop the sixth";
    EXPECT_EQ(plane->GetCarried(5), 0);
    EXPECT_EQ(plane->GetCarried(-2), 0);
    plane->SetCarried(0, -1);
    EXPECT_EQ(plane->GetCarried(-1), 0);
}

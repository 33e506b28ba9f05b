// Balloons: the drift band, their strings, their life and the pop that
// counts for a plane only while the round runs.
#include "game/ModeActorsFixture.h"

namespace {
const float kStringDrop = 1.44f;
}

TEST_F(ModeActors, BalloonDriftTurnsBackIntoItsBand)
{
    const struct {
        float height;     // above the ground (0 here)
        float climb;      // vertical velocity
        int direction;    // of the next target: +1 up, -1 down, 0 any
    } rows[] = {
        {4.0f, -0.01f, 1}, {4.0f, 0.01f, 0}, {31.0f, 0.01f, -1}, {31.0f, -0.01f, 0}, {15.0f, -0.01f, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.height << " climbing " << row.climb);
        for (int trial = 0; trial < 20; ++trial) {
            YBalloon* balloon = new YBalloon(nullptr, YVector(100.0f, row.height, 100.0f), YBalloon::Blue, true, 0.0f);
            balloon->m_velocity = YVector(0.0f, row.climb, 0.0f);
            // Far from its wander target: only the band test makes it choose.
            balloon->m_wanderTarget = YVector(500.0f, 500.0f, 500.0f);
            balloon->Update(0.02f);
            const float step = balloon->m_wanderTarget.y - balloon->m_position.y;
            if (row.direction != 0) {
                EXPECT_EQ(step, static_cast<float>(row.direction));
                EXPECT_EQ(balloon->m_driftGoal, balloon->m_wanderTarget);
                EXPECT_NE(balloon->m_velocity.y * row.direction, 0.0f);
                EXPECT_GT(balloon->m_velocity.y * row.direction, 0.0f);
            } else {
                EXPECT_EQ(balloon->m_wanderTarget, YVector(500.0f, 500.0f, 500.0f)) << "keeps drifting";
            }
            balloon->Pop();
            Purge();
        }
    }
}

TEST_F(ModeActors, BalloonStringHangsBelowWhileItDrifts)
{
    YBalloon* balloon = new YBalloon(nullptr, YVector(50.0f, 12.0f, 60.0f), YBalloon::Red, true, 0.0f);
    ASSERT_NE(balloon->m_string, nullptr);
    EXPECT_EQ(balloon->m_string->m_balloon, balloon);
    EXPECT_STREQ(balloon->m_string->m_modelName, "Balloon-string--24-0");
    const YVector start = balloon->m_position;
    float moved = 0.0f;
    for (int i = 0; i < 2000; ++i) {
        balloon->Update(0.02f);
        balloon->m_string->Update(0.02f);
        const YVector below = balloon->m_position - balloon->m_string->m_position;
        ASSERT_NEAR(below.x, 0.0f, 1e-3f);
        ASSERT_NEAR(below.y, kStringDrop, 1e-3f);
        ASSERT_NEAR(below.z, 0.0f, 1e-3f);
        moved = std::max(moved, balloon->m_position.DistanceSquared(start));
    }
    EXPECT_GT(moved, 0.0f) << "it drifts";
    const float speed = balloon->m_velocity.Length();
    EXPECT_TRUE(speed == 0.0f || (speed > 1.0f / 260.0f && speed < 1.0f / 60.0f)) << speed;
}

TEST_F(ModeActors, BalloonLifeEndsInAPopUnlessItIsZero)
{
    YBalloon* forever = new YBalloon(nullptr, YVector(10.0f, 10.0f, 10.0f), YBalloon::Blue, true, 0.0f);
    YBalloon* brief = new YBalloon(nullptr, YVector(20.0f, 10.0f, 10.0f), YBalloon::Orange, false, 1.0f);
    e->m_balloons->AddTail(forever);
    e->m_balloons->AddTail(brief);
    EXPECT_FALSE(forever->m_timed);
    EXPECT_TRUE(brief->m_timed);
    for (int i = 0; i < 49; ++i) {
        forever->Update(0.02f);
        brief->Update(0.02f);
    }
    EXPECT_FALSE(brief->IsMarkedForDestruction()) << "0.98 s into a life of 1 s";
    for (int i = 0; i < 3; ++i) brief->Update(0.02f);
    EXPECT_TRUE(brief->IsMarkedForDestruction());
    for (int i = 0; i < 5000; ++i) forever->Update(0.02f);
    EXPECT_FALSE(forever->IsMarkedForDestruction());
    EXPECT_EQ(e->m_balloons->GetCount(), 2) << "the popped balloon leaves an empty entry";
    EXPECT_EQ(e->m_balloons->GetTail(), nullptr);
}

TEST_F(ModeActors, BalloonPopsCountOnlyWhileTheRoundRuns)
{
    const struct {
        int state;
        bool counts;
    } rows[] = {{0, false}, {1, false}, {2, true}, {3, false}, {5, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.state);
        m_rules.m_state = row.state;
        m_voices.m_events.clear();
        m_commands.m_sounds.clear();
        YPlane* plane = Plane();
        YPlane* opponent = Plane();
        e->m_opponentPlane = opponent;
        YBalloon* balloon = new YBalloon(nullptr, YVector(10.0f, 10.0f, 10.0f), YBalloon::Blue, true, 0.0f);
        YBalloonString* string = balloon->m_string;
        e->m_balloons->AddTail(balloon);

        balloon->Touch(plane);
        balloon->Touch(plane);  // the same plane again: nothing
        EXPECT_EQ(plane->m_balloons, row.counts ? 1 : 0);
        EXPECT_TRUE(balloon->IsMarkedForDestruction());
        EXPECT_EQ(balloon->m_lastPlane, plane);
        EXPECT_EQ(e->m_balloons->GetHead(), nullptr);
        EXPECT_EQ(SoundsNamed("Impact:pi-powerup-taken"), 1);
        EXPECT_EQ(m_voices.m_events, row.counts ? std::vector<int>{13} : std::vector<int>{});
        // The string falls free.
        EXPECT_EQ(string->m_balloon, nullptr);
        EXPECT_TRUE(string->m_flagsB & YActor::FlagFalling);
        EXPECT_FALSE(string->m_flagsA & YActor::FlagNoMech);
        // The opponent touching the popped balloon counts as the opponent.
        balloon->Touch(opponent);
        EXPECT_EQ(opponent->m_balloons, row.counts ? 1 : 0);
        if (row.counts) EXPECT_EQ(m_voices.m_events.back(), 12);
        EXPECT_EQ(SoundsNamed("Impact:pi-powerup-taken"), 1) << "a balloon pops once";

        // Not a plane: nothing.
        YBalloon* other = new YBalloon(nullptr, YVector(30.0f, 10.0f, 10.0f), YBalloon::Red, false, 0.0f);
        other->Touch(string);
        other->Touch(nullptr);
        EXPECT_FALSE(other->IsMarkedForDestruction());
        // The string goes 5 s after it was let go.
        for (int i = 0; i < 249; ++i) string->Update(0.02f);
        EXPECT_FALSE(string->IsMarkedForDestruction());
        string->Update(0.02f);
        string->Update(0.02f);
        EXPECT_TRUE(string->IsMarkedForDestruction());
        Purge();
        e->ClearPopulation();
        e->m_opponentPlane = nullptr;
        EXPECT_EQ(m_world.IndexOf(plane), 0) << "planes stay";
        m_world.Clear();
    }
}

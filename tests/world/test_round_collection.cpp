// A round started as the console starts it ("session init" on a sample map,
// the game type's script by the settings): the population is in the world, and the local
// plane flown by the session's own tick pops a balloon, takes a power-up and
// banks a Tunnix ball at a goal.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "ScratchFolder.h"
#include "SessionFixture.h"
#include "game/YGameActors.h"

#if defined(RCV_DATA_DIR)
namespace {

class RoundCollection : public SessionFixture {
protected:
    void Init(const char* type)
    {
        const std::string name = std::string(type) + "3.rcs";
        std::ifstream in(std::string(RCV_DATA_DIR "/") + name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        m_scratch.Write(name, text.str());
        m_config.m_gameType = type;
        m_config.m_gameLevel = 3;
        e->ExecuteCommand("session init flat");
    }
    // The local plane 15 m before the actor, flying at it; the session ticks
    // until the test holds (at most two seconds).
    bool FlyThrough(YActor* target, const std::function<bool()>& done)
    {
        YPlane* plane = LocalPlane();
        if (!plane || !target) return false;
        YVector toward(1.0f, 0.0f, 1.0f);
        toward.Normalize();
        m_world.UnplaceActor(plane);
        plane->m_position = target->m_position - toward * 15.0f;
        plane->m_angles = toward.ToAngles();
        plane->m_forward = toward;
        plane->m_up = YVector(0.0f, 1.0f, 0.0f);
        plane->m_velocity = toward * 20.0f;
        plane->m_flagsB &= ~YActor::FlagOnGround;
        m_world.PlaceActor(plane, &plane->m_position);
        for (int i = 0; i < 100; ++i) {
            platform::Clock::Advance(20);
            m_session.Tick();
            if (done()) return true;
        }
        return false;
    }
    void CopyScript(const std::string& name)
    {
        std::ifstream in(std::string(RCV_DATA_DIR "/") + name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        m_scratch.Write(name, text.str());
    }
    ScratchFolder m_scratch{ScratchFolder::Enter};
};

template <class T>
T* FirstOf(CTypedPtrList<CPtrList, T*>* list)
{
    for (POSITION at = list->GetHeadPosition(); at;)
        if (T* actor = list->GetNext(at)) return actor;
    return nullptr;
}

}  // namespace

TEST_F(RoundCollection, ScriptedFlightsCollectInARound)
{
    Init("balloon");
    ASSERT_EQ(m_session.m_state, YGameSession::Playing);
    ASSERT_FALSE(e->m_balloons->IsEmpty());
    ASSERT_FALSE(e->m_powerUps->IsEmpty());
    e->CreateRulesAndStart();
    e->m_rules->m_state = YGameRules::StateRun;

    YBalloon* balloon = FirstOf(e->m_balloons);
    EXPECT_TRUE(FlyThrough(balloon, [&] { return LocalPlane()->m_balloons == 1; }));
    EXPECT_EQ(e->m_balloons->GetHead(), nullptr) << "the popped balloon's entry is empty";

    YPowerUp* powerUp = FirstOf(e->m_powerUps);
    // Taken: held, or a bad kind (reversed controls, control loss) at once.
    EXPECT_TRUE(FlyThrough(powerUp, [&] {
        const YPlane* plane = LocalPlane();
        return plane->m_heldPowerUp != nullptr || plane->m_reversed || plane->m_disrupted;
    }));
    EXPECT_FALSE(powerUp->m_flagsA & YActor::FlagVisible) << "hidden until it respawns";

    Init("tunnix");
    ASSERT_EQ(m_session.m_state, YGameSession::Playing);
    YTunnix* ball = FirstOf(e->m_tunnixes);
    ASSERT_NE(ball, nullptr);
    const int32_t points = ball->Points();
    EXPECT_TRUE(FlyThrough(ball, [&] { return LocalPlane()->m_tunnixCount == 1; }));
    YGoal* goal = FirstOf(e->m_goals);
    EXPECT_TRUE(FlyThrough(goal, [&] { return LocalPlane()->m_tunnixCount == 0; }));
    EXPECT_EQ(LocalPlane()->m_score, points);
}

// An air race begun as the setup screen begins it: the local plane flies the
// course the rules point at, three laps to the finish banner.
TEST_F(RoundCollection, ThreeLapsOfTheSampleCourse)
{
    for (int n : {2, 3}) CopyScript("airrace" + std::to_string(n) + ".rcs");
    m_config.m_map = "Flat";
    m_config.m_gameLevel = -1;
    e->StartGame(2, 1, 0);
    ASSERT_EQ(m_session.m_state, YGameSession::Playing);
    ASSERT_NE(e->m_rules, nullptr);
    const int course = static_cast<int>(e->m_waypoints->GetCount());
    ASSERT_GE(course, 4);
    YWaypoint* finish = e->m_waypoints->GetTail();
    // The first waypoint makes itself the rules' current one on its first step.
    platform::Clock::Advance(20);
    m_session.Tick();
    int passes = 0;
    while (!LocalPlane()->m_raceEnded && passes < 3 * course) {
        YWaypoint* next = static_cast<YWaypoint*>(e->m_rules->m_currentWaypoint);
        ASSERT_NE(next, nullptr) << passes;
        const int lap = LocalPlane()->m_lap;
        const int32_t score = LocalPlane()->m_score;
        ASSERT_TRUE(FlyThrough(next, [&] { return LocalPlane()->m_score > score; })) << passes;
        EXPECT_EQ(LocalPlane()->m_lap, lap + (next->m_index == 0 ? 1 : 0));
        ++passes;
    }
    EXPECT_EQ(LocalPlane()->m_raceEnded, 1);
    EXPECT_EQ(LocalPlane()->m_lap, 3);
    EXPECT_EQ(passes, 3 * (course - 2) + 1) << "three laps of the waypoints, then the finish banner";
    EXPECT_EQ(e->m_rules->m_currentWaypoint, finish);
}
#endif

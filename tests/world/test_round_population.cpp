// Rounds without duplicates: after collections a RESTART, and an END
// followed by INIT, leave exactly the population of the script.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "ScratchFolder.h"
#include "SessionFixture.h"
#include "game/YGameActors.h"

#if defined(RCV_DATA_DIR)
namespace {

using S = YGameSession;

class RoundPopulation : public SessionFixture {
protected:
    // Entries of the script by kind word (balloon, tunnix, ...); "waypoint"
    // counts the banners too.
    static std::map<std::string, int> ScriptCounts(const std::string& path)
    {
        std::ifstream in(path);
        std::map<std::string, int> counts;
        std::string line;
        std::getline(in, line);
        for (int n = 0; std::getline(in, line); ++n) {
            if (n % 2) continue;
            std::istringstream words(line);
            std::string kind;
            words >> kind;
            if (kind == "start" || kind == "end") kind = "waypoint";
            if (kind != "file") ++counts[kind];
        }
        return counts;
    }
    template <class T>
    int InWorld() const
    {
        int found = 0;
        for (int i = 0; i <= m_world.GetHighestIndex(); ++i) {
            YActor* actor = m_world.GetActor(i);
            found += actor && dynamic_cast<T*>(actor) != nullptr;
        }
        return found;
    }
    template <class T>
    static int Listed(T* list, int* empty)
    {
        int found = 0;
        for (POSITION at = list->GetHeadPosition(); at;) {
            if (list->GetNext(at)) ++found;
            else ++*empty;
        }
        return found;
    }
    // Per kind: the script's count in the world and in the lists, nothing
    // empty, nothing marked, strings with their balloons only.
    void ExpectScriptPopulation(const std::map<std::string, int>& script)
    {
        auto want = [&](const char* kind) {
            auto found = script.find(kind);
            return found == script.end() ? 0 : found->second;
        };
        int empty = 0;
        EXPECT_EQ(InWorld<YBalloon>(), want("balloon"));
        EXPECT_EQ(Listed(e->m_balloons, &empty), want("balloon"));
        EXPECT_EQ(InWorld<YBalloonString>(), want("balloon"));
        EXPECT_EQ(InWorld<YTunnix>(), want("tunnix"));
        EXPECT_EQ(Listed(e->m_tunnixes, &empty), want("tunnix"));
        EXPECT_EQ(InWorld<YPowerUp>(), want("powerup"));
        EXPECT_EQ(Listed(e->m_powerUps, &empty), want("powerup"));
        EXPECT_EQ(InWorld<YWaypoint>(), want("waypoint"));
        EXPECT_EQ(Listed(e->m_waypoints, &empty), want("waypoint"));
        EXPECT_EQ(InWorld<YTarget>(), want("target"));
        EXPECT_EQ(Listed(e->m_targets, &empty), want("target"));
        EXPECT_EQ(InWorld<YGoal>(), want("goal"));
        EXPECT_EQ(Listed(e->m_goals, &empty), want("goal"));
        EXPECT_EQ(empty, 0);
        for (int i = 0; i <= m_world.GetHighestIndex(); ++i)
            if (YActor* actor = m_world.GetActor(i)) EXPECT_FALSE(actor->IsMarkedForDestruction()) << actor->m_name;
    }
    // The local plane takes one of each kind it can by touch.
    void Collect()
    {
        YPlane* plane = LocalPlane();
        ASSERT_NE(plane, nullptr);
        if (!e->m_balloons->IsEmpty()) e->m_balloons->GetHead()->Touch(plane);
        if (!e->m_tunnixes->IsEmpty()) e->m_tunnixes->GetHead()->Touch(plane);
        if (!e->m_powerUps->IsEmpty()) e->m_powerUps->GetHead()->Touch(plane);
        // Popped and taken actors leave the world with the next purge.
        m_world.PurgeDestroyed();
    }
};

}  // namespace

TEST_F(RoundPopulation, RestartAndEndThenInitLeaveTheScriptsPopulation)
{
    ScratchFolder scratch(ScratchFolder::Enter);
    for (const char* type : {"balloon", "dogfight", "airrace", "tunnix"}) {
        SCOPED_TRACE(type);
        const std::string name = std::string(type) + "3.rcs";
        std::ifstream in(std::string(RCV_DATA_DIR "/") + name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        ASSERT_FALSE(text.str().empty());
        scratch.Write(name, text.str());
        const std::map<std::string, int> script = ScriptCounts(scratch / name);
        m_config.m_gameType = type;
        m_config.m_gameLevel = 3;

        ASSERT_TRUE(Start("Flat"));
        ExpectScriptPopulation(script);
        Collect();
        if (script.count("balloon")) EXPECT_EQ(InWorld<YBalloon>(), script.at("balloon") - 1);
        if (script.count("powerup")) {
            ASSERT_NE(LocalPlane()->m_heldPowerUp, nullptr) << "the held one is one more power-up in the world";
        }

        ASSERT_EQ(1, m_session.Action(S::ActionRestart));
        ExpectScriptPopulation(script);
        EXPECT_EQ(LocalPlane()->m_heldPowerUp, nullptr);

        Collect();
        ASSERT_EQ(1, m_session.Action(S::ActionEnd));
        EXPECT_EQ(-1, m_world.GetHighestIndex());
        ASSERT_TRUE(Start("Flat"));
        ExpectScriptPopulation(script);
        ASSERT_EQ(1, m_session.Action(S::ActionEnd));
    }
}
#endif

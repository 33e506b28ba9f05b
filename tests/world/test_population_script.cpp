// Population scripts: recording, reading into the engine's lists, and the
// script input that must not hurt (no trailer, long labels, non-numbers).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "ScratchFolder.h"
#include "engine/YGameObjects.h"
#include "game/YGameActors.h"
#include "world/YActorWorld.h"
#include "world/YGameRules.h"
#include "world/YScriptor.h"

namespace {

class PopulationScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        e = YGameObjects::Instance();
        m_savedWorld = e->m_world;
        m_savedRules = e->m_rules;
        m_savedSeconds = e->m_roundSeconds;
        e->m_world = &m_world;
        e->m_rules = nullptr;
        e->CreatePopulationLists();
    }
    void TearDown() override
    {
        e->CreatePopulationLists();
        m_world.Clear();
        e->m_world = m_savedWorld;
        e->m_rules = m_savedRules;
        e->m_roundSeconds = m_savedSeconds;
    }
    void Read(const std::string& text)
    {
        m_scratch.Write("test.rcs", text);
        YScriptor scriptor;
        ASSERT_TRUE(scriptor.Open((m_scratch / "test.rcs").c_str(), YScriptor::ModeRead));
        scriptor.ReadAndSpawn();
    }
    template <class T>
    static int Count(T* list)
    {
        return list ? static_cast<int>(list->GetCount()) : 0;
    }
    int InWorld() const { return m_world.GetCount(); }

    YGameObjects* e = nullptr;
    YActorWorld m_world;
    ScratchFolder m_scratch;
    YActorWorld* m_savedWorld = nullptr;
    YGameRules* m_savedRules = nullptr;
    int32_t m_savedSeconds = 0;
};

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST_F(PopulationScript, ARecordedBalloonIsFiveLinesAndReadsBack)
{
    {
        YScriptor recorder;
        ASSERT_TRUE(recorder.Open((m_scratch / "script.rcs").c_str(), YScriptor::ModeWrite));
        recorder.WriteBalloon(1, YVector(1.5f, 20.25f, -3.0f));
        EXPECT_EQ(InWorld(), 2) << "placed at once: the balloon and its string";
        EXPECT_EQ(Count(e->m_balloons), 0);
    }
    EXPECT_EQ(Slurp(m_scratch / "script.rcs"),
              "120\nballoon red 1.500000 20.250000 -3.000000\nNULL\nfile done -1 -1 -1\nNULL\n");
    m_world.Clear();
    e->m_roundSeconds = 7;
    {
        YScriptor reader;
        ASSERT_TRUE(reader.Open((m_scratch / "script.rcs").c_str(), YScriptor::ModeRead));
        reader.ReadAndSpawn();
    }
    EXPECT_EQ(e->m_roundSeconds, 120);
    ASSERT_EQ(Count(e->m_balloons), 1);
    YBalloon* balloon = e->m_balloons->GetHead();
    EXPECT_EQ(balloon->m_colour, 1u);
    EXPECT_STREQ(balloon->m_name, "Balloon00") << "the first of its kind resets the names";
    EXPECT_STREQ(balloon->m_text, "NULL\n");
    EXPECT_EQ(balloon->m_position, YVector(1.5f, 20.25f, -3.0f));
    EXPECT_EQ(InWorld(), 2);
}

TEST_F(PopulationScript, EveryKindAndWord)
{
    YGameRules rules;
    e->m_rules = &rules;
    Read("90\n"
         "balloon blue 1 10 1\nNULL\n"
         "balloon orange 2 10 1\nNULL\n"
         "tunnix red 3 10 1\nNULL\n"
         "tunnix green 4 10 1\nNULL\n"
         "start blah 5 10 1\nfirst start\n"
         "waypoint on 6 10 1\nNULL\n"
         "waypoint off 7 10 1\nNULL\n"
         "start blah 8 10 1\nsecond start\n"
         "end blah 9 10 1\nNULL\n"
         "powerup randomgood 10 10 1\nNULL\n"
         "powerup flash 11 10 1\nNULL\n"
         "powerup whatever 12 10 1\nNULL\n"
         "powerup fuel 13 10 1\nNULL\n"
         "target 1 14 0 1\nNULL\n"
         "target 2 15 0 1\nNULL\n"
         "target 3 16 0 1\nNULL\n"
         "target big 17 0 1\nNULL\n"
         "goal blah 18 10 1\nNULL\n"
         "waypointpowerup on 19 10 1\nNULL\n"
         "bogus word 20 10 1\nNULL\n"
         "file done -1 -1 -1\nNULL\n");
    EXPECT_EQ(e->m_roundSeconds, 90);
    EXPECT_EQ(rules.m_roundSeconds, 90) << "the rules, when there are any";
    ASSERT_EQ(Count(e->m_balloons), 2);
    EXPECT_EQ(e->m_balloons->GetHead()->m_colour, 0u);
    EXPECT_EQ(e->m_balloons->GetTail()->m_colour, 2u);
    ASSERT_EQ(Count(e->m_tunnixes), 2);
    EXPECT_EQ(e->m_tunnixes->GetHead()->m_colour, 1u);
    EXPECT_EQ(e->m_tunnixes->GetTail()->m_colour, 2u);
    ASSERT_EQ(Count(e->m_powerUps), 4);
    const uint32_t types[] = {YPowerUp::RandomGood, YPowerUp::Flash, YPowerUp::Flash, YPowerUp::Fuel};
    int i = 0;
    for (POSITION at = e->m_powerUps->GetHeadPosition(); at; ++i) EXPECT_EQ(e->m_powerUps->GetNext(at)->m_type, types[i]);
    ASSERT_EQ(Count(e->m_targets), 4);
    const struct {
        float scale;
        int32_t points;
    } sizes[] = {{1.5f, 100}, {3.0f, 50}, {4.5f, 25}, {1.0f, 100}};
    i = 0;
    for (POSITION at = e->m_targets->GetHeadPosition(); at; ++i) {
        YTarget* target = e->m_targets->GetNext(at);
        EXPECT_EQ(target->m_scale, sizes[i].scale) << i;
        EXPECT_EQ(target->m_points, sizes[i].points) << i;
        EXPECT_STREQ(target->m_label, "NULL\n");
        EXPECT_TRUE(target->m_flagsB & YTarget::FlagTargetKind);
    }
    EXPECT_EQ(Count(e->m_goals), 1);
    // The course: the second start in front of the first; the waypoint that
    // also says "powerup" is a waypoint.
    ASSERT_EQ(Count(e->m_waypoints), 6);
    const char* labels[] = {"second start\n", "first start\n", "NULL\n", "NULL\n", "NULL\n", "NULL\n"};
    const float xs[] = {8, 5, 6, 7, 9, 19};
    i = 0;
    for (POSITION at = e->m_waypoints->GetHeadPosition(); at; ++i) {
        YWaypoint* waypoint = e->m_waypoints->GetNext(at);
        EXPECT_STREQ(waypoint->m_text, labels[i]) << i;
        EXPECT_EQ(waypoint->m_position.x, xs[i]) << i;
    }
    YWaypoint* first = e->m_waypoints->GetHead();
    EXPECT_STREQ(first->m_modelName, "Waypoint-start_banner--24-0");
    EXPECT_FALSE(first->m_flagsB & YWaypoint::FlagWaypointKind);
    EXPECT_EQ(first->m_scale, 40.5f);
    EXPECT_EQ(e->m_waypoints->GetAt(e->m_waypoints->FindIndex(2))->m_state, 1);
    EXPECT_EQ(e->m_waypoints->GetAt(e->m_waypoints->FindIndex(3))->m_state, 0);
    EXPECT_EQ(rules.m_currentWaypoint, e->m_waypoints->GetAt(e->m_waypoints->FindIndex(2)));
    // Each actor once; the unknown kind and the trailer make nothing.
    int made = 0;
    for (int k = 0; k <= m_world.GetHighestIndex(); ++k) made += m_world.GetActor(k) != nullptr;
    EXPECT_EQ(made, 2 * 2 + 2 + 6 + 4 + 4 + 1);
    e->m_rules = nullptr;
}

TEST_F(PopulationScript, BrokenInputIsReadSafely)
{
    const std::string longLabel(200, 'x');
    const struct {
        const char* what;
        std::string text;
        int balloons;
        int seconds;
    } rows[] = {
        {"no trailer: the last entry once", "60\nballoon red 1 10 1\nNULL\nballoon blue 2 10 1\nNULL\n", 2, 60},
        {"no label line at the end", "60\nballoon red 1 10 1\n", 1, 60},
        {"a long label is not an entry",
         "60\nballoon red 1 10 1\n" + longLabel + " balloon blue 9 9 9\nballoon blue 2 10 1\nNULL\n", 2, 60},
        {"not finite", "60\nballoon red nan 10 1\nNULL\nballoon red 1 inf 1\nNULL\nballoon red 1 10 -inf\nNULL\n"
                       "balloon blue 3 10 1\nNULL\n", 1, 60},
        {"a broken entry ends the script", "60\nballoon red 1 10\nNULL\nballoon blue 2 10 1\nNULL\n", 0, 60},
        {"a long word", "60\n" + std::string(300, 'b') + "balloon red 1 10 1\nNULL\n", 0, 60},
        {"no header", "balloon red 1 10 1\nNULL\n", 0, 5},
        {"empty", "", 0, 5},
        {"CR LF", "30\r\nballoon red 1 10 1\r\nNULL\r\nballoon red 2 10 1\r\nNULL\r\n", 2, 30},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        e->m_roundSeconds = 5;
        Read(row.text);
        EXPECT_EQ(Count(e->m_balloons), row.balloons);
        EXPECT_EQ(e->m_roundSeconds, row.seconds);
        EXPECT_EQ(InWorld(), 2 * row.balloons);
        if (row.balloons) {
            EXPECT_LE(e->m_balloons->GetTail()->m_text.GetLength(), YScriptor::LabelLength);
        }
        e->ClearPopulation();
        EXPECT_EQ(InWorld(), 0);
    }
}

TEST_F(PopulationScript, WritersRecordEveryKindAndNothingWhenClosed)
{
    YScriptor closed;
    closed.WriteGoal(YVector());
    EXPECT_EQ(InWorld(), 0);
    EXPECT_FALSE(closed.Open((m_scratch / "no/such/folder/x.rcs").c_str(), YScriptor::ModeWrite));
    closed.WriteTunnix(0, YVector());
    EXPECT_EQ(InWorld(), 0);
    {
        YScriptor recorder;
        ASSERT_TRUE(recorder.Open((m_scratch / "all.rcs").c_str(), YScriptor::ModeWrite));
        recorder.WriteTunnix(3, YVector(1, 2, 3));
        recorder.WriteWaypoint(0, YVector(1, 2, 3));
        for (int kind = 0; kind < 7; ++kind) recorder.WritePowerUp(kind, YVector(1, 2, 3));
        recorder.WriteTarget(YVector(1, 2, 3), 1);
        recorder.WriteTarget(YVector(1, 2, 3), 9);
        recorder.WriteGoal(YVector(1, 2, 3));
        recorder.WriteStart(YVector(1, 2, 3));
        recorder.WriteEnd(YVector(1, 2, 3));
    }
    EXPECT_EQ(InWorld(), 14);
    const std::string p = " 1.000000 2.000000 3.000000\nNULL\n";
    EXPECT_EQ(Slurp(m_scratch / "all.rcs"),
              "120\ntunnix yellow" + p + "waypoint off" + p + "powerup randomgood" + p + "powerup randombad" + p +
                  "powerup disruptor" + p + "powerup bbammo" + p + "powerup fuel" + p + "powerup tornado" + p +
                  "powerup flash" + p + "target 1" + p + "target 3" + p + "goal blah" + p + "start blah" + p +
                  "end blah" + p + "file done -1 -1 -1\nNULL\n");
    // What was written reads back as the same kinds.
    m_world.Clear();
    Read(Slurp(m_scratch / "all.rcs"));
    EXPECT_EQ(Count(e->m_tunnixes), 1);
    EXPECT_EQ(Count(e->m_powerUps), 7);
    EXPECT_EQ(Count(e->m_targets), 2);
    EXPECT_EQ(Count(e->m_goals), 1);
    EXPECT_EQ(Count(e->m_waypoints), 3);
}

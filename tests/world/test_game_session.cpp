// The game session: its actions in every state, the clock of the tick, the
// population script's name, the planes and preloads of a round on the
// sample maps, and the faults of beginning, ending and restarting.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "LoadLog.h"
#include "SessionFixture.h"
#include "assets3d/YSMHandle.h"
#include "frontend/YJukeBox.h"
#include "game/YVoiceOvers.h"
#include "game/YClientPhysics.h"
#include "game/YGameActors.h"
#include "world/YActorWorldUpdater.h"

#if defined(RCV_DATA_DIR)
YCatalog* SessionFixture::s_catalog = nullptr;

namespace {
typedef YGameSession S;
const int AllStates[] = {S::None, S::Loading, S::Loaded, S::Beginning, S::Playing, S::Paused, S::Demo, S::Ending};

class GameSession : public SessionFixture {};

// Preloading throws: BEGIN fails half way.
class ThrowingCommands : public YGameCommands {
public:
    void Preload(YDataCollection*) override { throw std::runtime_error("preload"); }
};
}  // namespace

TEST_F(GameSession, ActionsInEveryStateWithoutAMap)
{
    e->m_renderer = nullptr;  // INIT cannot load
    struct Case {
        int action;
        int after[8];  // -1: refused (result 0), the state stays
    };
    const int N = S::None, P = S::Playing, Q = S::Paused, D = S::Demo;
    const Case cases[] = {
        {S::ActionInit, {N, N, N, N, N, N, N, N}},
        {S::ActionEnd, {N, N, N, N, N, N, N, N}},
        {S::ActionPause, {-1, -1, -1, -1, Q, P, -1, -1}},
        {S::ActionDemo, {D, D, D, D, D, D, D, D}},
        {S::ActionRestart, {-1, -1, -1, -1, P, P, P, -1}},
        {S::ActionBegin, {-1, -1, P, -1, -1, -1, -1, -1}},
        {4, {-1, -1, -1, -1, -1, -1, -1, -1}},
        {-1, {-1, -1, -1, -1, -1, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        for (int state : AllStates) {
            SCOPED_TRACE(std::to_string(c.action) + " in " + std::to_string(state));
            m_session.m_state = state;
            const int expected = c.after[state];
            const int result = m_session.Action(c.action);
            if (c.action == S::ActionInit) EXPECT_EQ(0, result);
            else EXPECT_EQ(expected < 0 ? 0 : 1, result);
            EXPECT_EQ(expected < 0 ? state : expected, m_session.m_state);
            m_session.Action(S::ActionEnd);
        }
    }
}

TEST_F(GameSession, ClockStepsAndItsClipping)
{
    struct Step {
        uint32_t advance;  // ms of real time before the tick
        bool paused;
        uint32_t clock;
        float step;
    };
    // The first round after start-up: the first tick counts from one
    // millisecond back. Then gaps, pauses (their time counts at the resume)
    // and long gaps.
    const Step steps[] = {
        {0, false, 1, 0.001f},     {20, false, 22, 0.021f},    {1000, false, 1022, 1.0f},
        {1001, false, 1122, 0.1f}, {300, true, 1122, 0.1f},    {400, false, 1822, 0.7f},
        {600, true, 1822, 0.7f},   {500, false, 1922, 0.1f},   {50000, false, 2022, 0.1f},
        {16, false, 2038, 0.016f},
    };
    m_session.m_state = S::Playing;
    float lastStep = 0.0f;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.clock);
        platform::Clock::Advance(s.advance);
        if (s.paused) m_session.m_state = S::Paused;
        m_session.Tick();
        if (s.paused) {
            EXPECT_EQ(s.clock, e->m_gameClock);
            EXPECT_FLOAT_EQ(lastStep, e->m_frameTime) << "a paused tick leaves the step";
            m_session.m_state = S::Playing;
            continue;
        }
        EXPECT_EQ(s.clock, e->m_gameClock);
        EXPECT_NEAR(s.step, e->m_frameTime, 1e-6f);
        lastStep = e->m_frameTime;
    }
    EXPECT_EQ(8u, e->m_frameCount) << "the first tick counts from 0";

    // A new round after that one: the clock starts at 1 with a step of 0.01.
    e->m_gameClock = 0;
    platform::Clock::Advance(5);
    m_session.Tick();
    EXPECT_EQ(1u, e->m_gameClock);
    EXPECT_FLOAT_EQ(0.01f, e->m_frameTime);
    platform::Clock::Advance(30);
    m_session.Tick();
    EXPECT_EQ(32u, e->m_gameClock);
    EXPECT_NEAR(0.032f, e->m_frameTime, 1e-6f) << "the previous value was set to 1 - 1";
}

TEST_F(GameSession, DifferencesOverTenSecondsStepOneSecond)
{
    m_session.m_state = S::Playing;
    m_session.Tick();
    // Real gaps are clipped to 100 ms, so a long difference comes from the
    // clock set by hand.
    e->m_gameClock = 20000;
    m_session.Tick();
    EXPECT_FLOAT_EQ(1.0f, e->m_frameTime);
}

TEST_F(GameSession, PopulationScriptNames)
{
    struct Case {
        const char* type;
        int fixed;  // "sys_game_level"
        int level;
        std::set<std::string> names;
    };
    const Case cases[] = {
        {"balloon", 3, 0, {"balloon3.rcs"}},
        {"balloon", 3, 4, {"balloon3.rcs"}},
        {"dogfight", 0, 2, {"dogfight0.rcs"}},
        {"airrace", -1, 2, {"airrace4.rcs", "airrace5.rcs"}},
        {"tunnix", -1, 0, {"tunnix0.rcs", "tunnix1.rcs"}},
        {"practice", -1, 1, {""}},
        {"PRACTICE", 2, 1, {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        m_config.m_gameType = c.type;
        m_config.m_gameLevel = c.fixed;
        m_config.m_levelIndex = c.level;
        std::set<std::string> seen;
        for (int i = 0; i < 40; ++i) seen.insert(std::string(m_session.ChoosePopulationScript()));
        EXPECT_EQ(c.names, seen);
    }
}

TEST_F(GameSession, ScriptHeaderGivesTheRoundTime)
{
    ScratchFolder scratch(ScratchFolder::Enter);
    scratch.Write("balloon3.rcs", "45\nballoon red 1 2 3\nNULL\n");
    scratch.Write("dogfight3.rcs", "not a number\n");
    m_config.m_gameLevel = 3;
    const struct {
        const char* type;
        int seconds;
    } cases[] = {{"balloon", 45}, {"dogfight", 99}, {"tunnix", 99}, {"practice", 99}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        e->m_roundSeconds = 99;
        m_config.m_gameType = c.type;
        m_session.ChoosePopulationScript();
        EXPECT_EQ(c.seconds, e->m_roundSeconds);
    }
}

TEST_F(GameSession, RoundOnAMapWithStartsPlaysFromOneOfThem)
{
    ASSERT_TRUE(Start("Meadow"));
    YPlane* plane = LocalPlane();
    ASSERT_NE(nullptr, plane);
    EXPECT_EQ(plane, m_world.GetViewActor());
    EXPECT_EQ(plane, e->m_localClient->m_controlledPlane);
    EXPECT_NE(nullptr, m_world.m_moveCallback) << "the collision pass";
    EXPECT_GE(m_world.IndexOf(plane), 0);
    // The start is one of the map's, its height the ground's + 2.
    bool atAStart = false;
    for (POSITION at = e->m_gameServer->m_starts.GetHeadPosition(); at;) {
        const YPlayerStart* start = e->m_gameServer->m_starts.GetNext(at);
        if (start->m_position.x == plane->m_startPosition.x && start->m_position.z == plane->m_startPosition.z) {
            atAStart = true;
            EXPECT_FLOAT_EQ(start->m_angles.y, plane->m_startAngles.y);
        }
    }
    EXPECT_TRUE(atAStart);
    const YVector& s = plane->m_startPosition;
    EXPECT_NEAR(m_world.TerrainHeightAt(s.x, s.z) + 2.0f, s.y, 1e-3f);
    // The plane itself stands on the ground near there.
    EXPECT_LT(std::hypot(plane->m_position.x - s.x, plane->m_position.z - s.z), 200.0f);
    EXPECT_NEAR(m_world.GroundHeightAt(plane->m_position.x, plane->m_position.z), plane->m_position.y, 1e-3f);
    // The bot waits 75 m along x from the plane's spot, with it as its start.
    ASSERT_NE(nullptr, e->m_opponentPlane);
    EXPECT_FLOAT_EQ(plane->m_position.x + 75.0f, e->m_opponentPlane->m_position.x);
    EXPECT_FLOAT_EQ(plane->m_position.z, e->m_opponentPlane->m_position.z);
    EXPECT_FLOAT_EQ(plane->m_position.x, e->m_opponentPlane->m_startPosition.x);
    EXPECT_EQ(0, m_session.m_botKind) << "balloon";
    ASSERT_NE(nullptr, e->m_directionArrow);
    EXPECT_NE(nullptr, e->m_directionArrow->GetModelInstance()) << "the arrow model of the catalog";
    EXPECT_GE(m_world.IndexOf(e->m_directionArrow), 0);
    // The passes run in their order; the pilot blocks are five.
    std::vector<std::string> names;
    for (POSITION at = m_session.m_passes.GetHeadPosition(); at;)
        names.push_back(std::string(m_session.m_passes.GetNext(at)->m_name));
    EXPECT_EQ((std::vector<std::string>{"Mech", "Sound", "Think"}), names);
    EXPECT_EQ(2, m_session.m_passes2.GetCount());
    EXPECT_EQ(5, e->m_clientPhysics->GetSize());
    EXPECT_EQ(70 + 30, m_session.m_progress);
}

TEST_F(GameSession, WithoutStartsThePlaneComesBackAtTheCentre)
{
    ASSERT_TRUE(Start("Flat"));
    CTypedPtrList<CPtrList, YPlayerStart*>& starts = e->m_gameServer->m_starts;
    ASSERT_FALSE(starts.IsEmpty());
    while (!starts.IsEmpty()) delete starts.RemoveHead();
    ASSERT_EQ(1, m_session.Action(S::ActionRestart));
    YPlane* plane = LocalPlane();
    ASSERT_NE(nullptr, plane);
    EXPECT_FLOAT_EQ(m_world.MapWidth() * 0.5f, plane->m_startPosition.x);
    EXPECT_FLOAT_EQ(m_world.MapHeight() * 0.5f, plane->m_startPosition.z);
    EXPECT_FLOAT_EQ(m_world.TerrainHeightAt(plane->m_startPosition.x, plane->m_startPosition.z) + 2.0f,
                    plane->m_startPosition.y);
    EXPECT_FLOAT_EQ(0.0f, plane->m_startAngles.y);
    EXPECT_GT(m_world.MapWidth(), 1000.0f) << "metres, not cells";
}

TEST_F(GameSession, PracticeHasNoBotAndEndClearsTheFlag)
{
    m_config.m_practice = 1;
    m_config.m_gameType = "practice";
    ASSERT_TRUE(Start("Flat"));
    EXPECT_EQ(nullptr, e->m_opponentPlane);
    EXPECT_NE(nullptr, LocalPlane());
    // Absent planes are passed over.
    for (int action : {S::ActionPause, S::ActionPause, S::ActionDemo, S::ActionRestart, S::ActionPause})
        EXPECT_EQ(1, m_session.Action(action)) << action;
    EXPECT_EQ(S::Paused, m_session.m_state);
    EXPECT_EQ(YGameState::ScreenPracticePause, e->m_gameState.m_screenRequest) << "the practice pause screen";
    EXPECT_EQ(1, m_session.Action(S::ActionEnd));
    EXPECT_EQ(S::None, m_session.m_state);
    EXPECT_EQ(0, m_config.m_practice);
    EXPECT_EQ(nullptr, LocalPlane());
}

TEST_F(GameSession, GameTypeScalesTheSpeedAndPicksThePreloads)
{
    struct Case {
        const char* key;  // "ServerGameType", or null
        const char* type;  // "sys_game_type"
        float scale;       // stored in the handling block; only these two types scale the plane
        std::vector<std::string> extra;
        int botKind;
    };
    const Case cases[] = {
        {nullptr, "airrace", 0.8f * 1.5f * 1.5f, {"Impact:pi-waypoint"}, 1},
        {nullptr, "dogfight", 0.8f * 0.5f * 0.5f, {"Impact:pi-bb-fire"}, 2},
        {nullptr, "tunnix", 1.0f, {"Impact:pi-Tunnix-stolen"}, 3},
        {nullptr,
         "balloon",
         1.0f,
         {"Impact:pi-balloon-release", "Impact:pi-balloon-pop", "Impact:pi-balloon-splat", "Impact:pi-balloon-splat2"},
         0},
        {"airrace", "balloon", 0.8f * 1.5f * 1.5f, {"Impact:pi-waypoint"}, 1},
        {nullptr, "AirRace", 1.0f, {}, 1},  // the plane compares exactly, the bot without case
    };
    m_config.m_physicsScaler = 80;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + (c.key ? " over " : "") + (c.key ? c.key : ""));
        m_session.m_properties.Reset();
        if (c.key) m_session.m_properties.Set("ServerGameType", c.key);
        m_config.m_gameType = c.type;
        ASSERT_TRUE(Start("Flat"));
        ASSERT_NE(nullptr, LocalPlane());
        EXPECT_NEAR(c.scale, LocalPlane()->GetHandling()->m_speedScale, 1e-5f);
        EXPECT_EQ(c.botKind, m_session.m_botKind);
        const YDataCollection& preloads = e->m_gameServer->m_preloads;
        EXPECT_EQ(0, preloads.GetInt("Ambient:as-bird01"));
        EXPECT_EQ(0, preloads.GetInt("Ambient:as-windloop"));
        EXPECT_EQ("1", std::string(preloads.GetValue("Impact:pi-powerup")));
        EXPECT_EQ("1", std::string(preloads.GetValue("Impact:pi-powerup-taken")));
        int named = 0;
        // The plane sounds come once a program, with the first plane made.
        for (int i = 0; i <= preloads.GetLastIndex(); ++i)
            named += !preloads.GetName(i).IsEmpty() && preloads.GetName(i).Find("Plane:") != 0;
        EXPECT_EQ(16 + static_cast<int>(c.extra.size()), named);
        for (const std::string& name : c.extra) EXPECT_EQ("1", std::string(preloads.GetValue(name.c_str()))) << name;
        m_session.Action(S::ActionEnd);
    }
}

TEST_F(GameSession, TickRunsThePassesAndTheRules)
{
    ASSERT_TRUE(Start("Flat"));
    e->CreateRulesAndStart();
    YActor* mover = new YActor;
    mover->m_position = YVector(100.0f, 50.0f, 100.0f);
    mover->m_velocity = YVector(10.0f, 0.0f, 0.0f);
    mover->m_flagsA &= ~YActor::FlagNoMech;
    m_world.AddActor(mover);
    platform::Clock::Advance(10);
    m_session.Tick();  // clock 1
    for (int i = 0; i < 5; ++i) {
        platform::Clock::Advance(100);
        m_session.Tick();
    }
    EXPECT_EQ(502u, e->m_gameClock);
    EXPECT_EQ(6u, e->m_frameCount);
    EXPECT_GT(mover->m_position.x, 104.0f) << "the mechanical pass moved it";
}

TEST_F(GameSession, ExceptionInBeginTearsTheRoundDown)
{
    ThrowingCommands throwing;
    e->m_gameCommands = &throwing;
    e->m_sessionDesc.m_mapPath = MapPath("Flat").c_str();
    ASSERT_EQ(1, m_session.Action(S::ActionInit));
    EXPECT_EQ(0, m_session.Action(S::ActionBegin));
    EXPECT_EQ(S::None, m_session.m_state);
    EXPECT_TRUE(m_session.m_passes.IsEmpty());
    EXPECT_EQ(nullptr, LocalPlane());
    EXPECT_EQ(-1, m_world.GetHighestIndex());
    // INIT and END work again.
    e->m_gameCommands = SavedCommands();
    EXPECT_TRUE(Start("Flat"));
    EXPECT_EQ(1, m_session.Action(S::ActionEnd));
    EXPECT_EQ(S::None, m_session.m_state);
}

TEST_F(GameSession, EndAndRestartEmptyThePopulation)
{
    ASSERT_TRUE(Start("Flat"));
    auto populate = [&]() {
        YBalloon* balloon = new YBalloon;
        balloon->m_flagsB |= 0x80000;
        m_world.AddActor(balloon);
        e->m_balloons->AddTail(balloon);
        YWaypoint* waypoint = new YWaypoint;
        waypoint->m_flagsB |= 0x100000;
        m_world.AddActor(waypoint);
        e->m_waypoints->AddTail(waypoint);
        YActor* target = new YActor;  // unlisted
        target->m_flagsB |= 0x400000;
        m_world.AddActor(target);
    };
    auto population = [&]() {
        int found = 0;
        for (int i = 0; i <= m_world.GetHighestIndex(); ++i) {
            YActor* actor = m_world.GetActor(i);
            found += actor && (actor->m_flagsB & YActor::FlagsPopulationKinds) && !actor->IsMarkedForDestruction();
        }
        return found;
    };
    populate();
    EXPECT_EQ(3, population());
    ASSERT_NE(nullptr, e->m_opponentPlane);
    m_session.Action(S::ActionPause);
    ASSERT_EQ(1, m_session.Action(S::ActionRestart));
    EXPECT_EQ(S::Playing, m_session.m_state);
    EXPECT_EQ(0, population());
    EXPECT_TRUE(e->m_balloons->IsEmpty());
    EXPECT_TRUE(e->m_waypoints->IsEmpty());
    EXPECT_NE(nullptr, e->m_rules);
    ASSERT_NE(nullptr, LocalPlane());
    EXPECT_EQ(LocalPlane(), m_world.GetViewActor());
    int planes = 0;
    for (int i = 0; i <= m_world.GetHighestIndex(); ++i)
        planes += m_world.GetActor(i) && (m_world.GetActor(i)->m_flagsB & YActor::FlagPlaneKind);
    EXPECT_EQ(2, planes) << "one local plane and one bot";

    populate();
    ASSERT_EQ(1, m_session.Action(S::ActionEnd));
    EXPECT_TRUE(e->m_balloons->IsEmpty());
    EXPECT_TRUE(e->m_waypoints->IsEmpty());
    EXPECT_EQ(-1, m_world.GetHighestIndex());
    EXPECT_EQ(nullptr, e->m_rules);
    EXPECT_EQ(0u, e->m_gameClock);
    EXPECT_TRUE(m_session.m_passes.IsEmpty());
}

TEST_F(GameSession, VerbsReachTheCommandsOnlyWhilePlayingOrPaused)
{
    e->m_verbs->SetAt(7, "turn", "0", 0);
    for (int state : AllStates) {
        SCOPED_TRACE(state);
        m_session.m_state = state;
        EXPECT_EQ(1, m_session.HandleVerb(7, S::VerbPress, "turn"));
        const bool taken = state == S::Playing || state == S::Paused;
        EXPECT_EQ(taken ? 1 : 0, e->m_gameCommands->m_verbs.GetCount());
        EXPECT_EQ(1, m_session.HandleVerb(7, S::VerbRelease, ""));
        if (taken) {
            EXPECT_EQ(YActiveVerb::Released, e->m_gameCommands->m_verbs.GetHead()->m_phase);
        }
        while (!e->m_gameCommands->m_verbs.IsEmpty()) delete e->m_gameCommands->m_verbs.RemoveHead();
    }
    m_session.m_state = S::None;
}
#endif

#if defined(RCV_DATA_DIR)
namespace {
// Logs the calls of the game start, with the session state and whether
// rules exist at the time.
std::vector<std::string> g_log;

std::string Moment()
{
    YGameObjects* engine = YGameObjects::Instance();
    return "@" + std::to_string(engine->m_session->m_state) + (engine->m_rules ? "r" : "");
}

class LoggingJukeBox : public YJukeBox {
public:
    void Stop() override { g_log.push_back("stop" + Moment()); }
    void Clear() override { g_log.push_back("clear" + Moment()); }
    void SetTrack(int index, const char* name) override
    {
        g_log.push_back("track " + std::to_string(index) + " " + name + Moment());
    }
};

class LoggingVoiceOvers : public YVoiceOvers {
public:
    void LoadForSession() override { g_log.push_back("load" + Moment()); }
    void Say(const char* category, int chance, int gap, int pilot) override
    {
        g_log.push_back(std::string("say ") + category + " " + std::to_string(chance) + " " + std::to_string(gap) +
                        " " + std::to_string(pilot) + Moment());
    }
};

class GameStart : public SessionFixture {
protected:
    void SetUp() override
    {
        SessionFixture::SetUp();
        m_savedJukebox = e->m_jukebox;
        m_savedVoices = e->m_voiceOvers;
        e->m_jukebox = &m_jukebox;
        e->m_voiceOvers = &m_voices;
        m_config.m_map = "Flat";
        g_log.clear();
    }
    void TearDown() override
    {
        SessionFixture::TearDown();
        e->m_jukebox = m_savedJukebox;
        e->m_voiceOvers = m_savedVoices;
    }
    LoggingJukeBox m_jukebox;
    LoggingVoiceOvers m_voices;
    YJukeBox* m_savedJukebox = nullptr;
    YVoiceOvers* m_savedVoices = nullptr;
};
}  // namespace

TEST_F(GameStart, OutOfRangeStartsNothing)
{
    const struct {
        int type, level;
    } cases[] = {{4, 0}, {-1, 0}, {0, 5}, {0, -1}, {3, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.level));
        e->StartGame(c.type, c.level, 0);
        EXPECT_EQ("balloon", std::string(m_config.m_gameType));
        EXPECT_EQ(S::None, m_session.m_state);
        EXPECT_TRUE(g_log.empty());
    }
    e->m_gameConfig = nullptr;
    e->StartGame(0, 0, 0);
    EXPECT_EQ(S::None, m_session.m_state);
    e->m_gameConfig = &m_config;
}

TEST_F(GameStart, TypesLevelsAndTheOrderOfTheStart)
{
    const struct {
        int type, level, practice;
        const char* text;
        int botLevel;
        bool bot;
        const char* music;  // the rules' track 0, none in practice
    } cases[] = {
        {0, 0, 0, "balloon", 1, true, "Interface:Balloon-loop"},
        {1, 2, 0, "dogfight", 3, true, "Interface:Dogfight-loop"},
        {2, 4, 0, "airrace", 5, true, "Interface:Airrace-loop"},
        {3, 1, 0, "tunnix", 2, true, "Interface:Tunnix-loop"},
        {1, 3, 1, "dogfight", 0, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + std::to_string(c.practice));
        g_log.clear();
        e->StartGame(c.type, c.level, c.practice);
        EXPECT_EQ(c.text, std::string(m_config.m_gameType));
        EXPECT_EQ(c.level, m_config.m_levelIndex);
        EXPECT_EQ(c.practice, m_config.m_practice);
        EXPECT_EQ(c.botLevel, e->m_botLevel);
        EXPECT_EQ(S::Playing, m_session.m_state);
        EXPECT_EQ(c.bot, e->m_opponentPlane != nullptr);
        EXPECT_NE(nullptr, e->m_rules);
        // The jukebox stops, the voices load and introduce the bot before
        // the round, load again after it, and the rules come last, handing
        // the jukebox their music.
        std::vector<std::string> expected{"stop@0", "load@0", "say BotProfile 100 0 0@0", "load@4"};
        if (c.music) {
            expected.push_back("clear@4");
            expected.push_back(std::string("track 0 ") + c.music + "@4");
        }
        EXPECT_EQ(expected, g_log);
        m_session.Action(S::ActionEnd);
        EXPECT_EQ(nullptr, e->m_rules);
    }
}

TEST_F(GameStart, NoRulesWhenTheRoundFailsToStart)
{
    m_config.m_map = "nowhere";
    e->StartGame(2, 1, 0);
    EXPECT_EQ(S::None, m_session.m_state);
    EXPECT_EQ(nullptr, e->m_rules);
    EXPECT_EQ(nullptr, LocalPlane());
}

TEST_F(GameStart, BackgroundOfTheGameType)
{
    const struct {
        const char* type;
        const char* picture;
    } cases[] = {
        {"", "Interface2:default_bg_bs"},         {"balloon", "Interface2:default_bg_bs"},
        {"DogFight", "Interface2:default_bg_df"}, {"airrace", "Interface2:default_bg_ar"},
        {"TUNNIX", "Interface2:default_bg_g"},    {"practice", "Interface2:default_bg_bs"},
    };
    for (const auto& c : cases) {
        m_config.m_gameType = c.type;
        YString name = "before";
        e->GameTypeBackground(name);
        EXPECT_EQ(c.picture, std::string(name)) << c.type;
    }
}

TEST_F(GameStart, ModelHandlesByCatalogName)
{
    ASSERT_TRUE(Start("Flat"));
    YSMHandle* arrow = e->ModelHandleByName("Dynamic", "Planes", "YSM:arrow");
    ASSERT_NE(nullptr, arrow);
    EXPECT_TRUE(arrow->HasModel());
    delete arrow;
    YSMHandle* nothing = e->ModelHandleByName("Dynamic", "Planes", "YSM:nothing");
    EXPECT_TRUE(!nothing || !nothing->HasModel());
    delete nothing;
    e->m_renderer = nullptr;
    EXPECT_EQ(nullptr, e->ModelHandleByName("Dynamic", "Planes", "YSM:arrow"));
    e->m_renderer = &m_parser;
}
#endif

namespace {
// The loads of a preload, and the map levels it initialises.
class PreloadLog : public LoadLog {
public:
    int InitSession(int mode, void*, int level) override
    {
        m_calls.push_back("level " + std::to_string(mode) + " " + std::to_string(level));
        return 1;
    }
    int GetInitLevelCount(int) override { return m_levels; }
    int m_levels = 5;
};

class Preloads : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_engine = YGameObjects::Instance();
        m_savedRenderer = m_engine->m_renderer;
        m_savedSound = m_engine->m_sound;
        m_savedDataDir = m_engine->m_dataDir;
        m_engine->m_renderer = &m_log;
        m_engine->m_sound = nullptr;
        m_engine->m_dataDir = "data";
    }
    void TearDown() override
    {
        m_engine->m_renderer = m_savedRenderer;
        m_engine->m_sound = m_savedSound;
        m_engine->m_dataDir = m_savedDataDir;
    }
    YGameObjects* m_engine = nullptr;
    YParser* m_savedRenderer = nullptr;
    YSound* m_savedSound = nullptr;
    YString m_savedDataDir;
    PreloadLog m_log;
    YGameCommands m_commands;
};
}  // namespace

TEST_F(Preloads, ModelTextsSplitIntoCatalogNamesOrAFile)
{
    const struct {
        const char* text;
        std::vector<std::string> calls;
    } cases[] = {
        {"Dynamic:Planes:YSM:arrow", {"catalog Dynamic/Planes/YSM:arrow"}},
        {"Planes:arrow", {"named Planes/arrow"}},
        {"models\\none.ysm", {"file data\\models\\none.ysm"}},  // not found here: the data folder's
        {"", {}},
    };
    for (const auto& c : cases) {
        m_log.m_calls.clear();
        EXPECT_EQ(nullptr, m_commands.LoadModelHandle(c.text));
        EXPECT_EQ(c.calls, m_log.m_calls) << c.text;
    }
    m_engine->m_renderer = nullptr;
    EXPECT_EQ(nullptr, m_commands.LoadModelHandle("Dynamic:Planes:YSM:arrow"));
}

TEST_F(Preloads, EachKindLoadsItsResourceThenTheLastMapLevel)
{
    YDataCollection preloads;
    preloads.SetAt(0, "Dynamic:Planes:YSM:arrow", "2", 0);
    preloads.SetAt(1, "", "2", 0);  // no name: skipped
    preloads.SetAt(2, "GroundTexture-Meadow", "3", 0);
    preloads.SetAt(3, "Fonts:Interface", "4", 0);
    preloads.SetAt(4, "Ambient:as-bird01", "0", 0);
    preloads.SetAt(5, "Impact:pi-powerup", "1", 0);
    preloads.SetAt(7, "Planes:arrow", "2", 0);
    const struct {
        int levels;
        std::vector<std::string> calls;
    } cases[] = {
        {5, {"catalog Dynamic/Planes/YSM:arrow", "index GroundTexture-Meadow", "named Planes/arrow", "level 2 4"}},
        {4, {"catalog Dynamic/Planes/YSM:arrow", "index GroundTexture-Meadow", "named Planes/arrow"}},
    };
    for (const auto& c : cases) {
        m_log.m_calls.clear();
        m_log.m_levels = c.levels;
        m_commands.Preload(&preloads);
        EXPECT_EQ(c.calls, m_log.m_calls) << c.levels;
    }
}

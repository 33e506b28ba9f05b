// The game server: player starts and placed sounds of a sample map, the
// day windows, the game date, the wind, the weather element and the marks.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "SampleMapWorld.h"
#include "engine/YGameObjects.h"
#include "foundation/YUtility.h"
#include "game/YWeatherElement.h"
#include "renderer/YMapVT3Sound_Output.h"
#include "world/YActorSound.h"
#include "world/YGameServer.h"
#include "world/YGameSession.h"

namespace {
// The engine's settings, session state, date and frame time, restored after.
class ServerState : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_engine = YGameObjects::Instance();
        m_savedDate = m_engine->m_gameDate;
        m_savedState = m_engine->m_session->m_state;
        m_savedStep = m_engine->m_frameTime;
        m_engine->m_gameDate = CTime(2000, 10, 31, 12, 0, 0);
    }
    void TearDown() override
    {
        m_engine->m_gameDate = m_savedDate;
        m_engine->m_session->m_state = m_savedState;
        m_engine->m_frameTime = m_savedStep;
    }
    YGameObjects* m_engine = nullptr;
    CTime m_savedDate;
    int m_savedState = 0;
    float m_savedStep = 0.0f;
    YGameServer m_server;
};

YMapVT3Sound_Output Window(DWORD first, DWORD last)
{
    YMapVT3Sound_Output record;
    record.m_d = first;
    record.m_e = last;
    return record;
}
}  // namespace

TEST(GameServerSeason, DayWindowsWrapOverTheNewYear)
{
    const struct {
        DWORD first, last;
        int day;
        bool plays;
    } cases[] = {
        {350, 20, 10, true},  {350, 20, 360, true}, {350, 20, 100, false}, {350, 20, 350, true},
        {350, 20, 20, true},  {350, 20, 21, false}, {90, 300, 89, false},  {90, 300, 90, true},
        {90, 300, 300, true}, {90, 300, 301, false}, {50, 50, 200, true},  {0, 20, 200, true},
        {20, 366, 10, true},  {400, 20, 100, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << ".." << c.last << " day " << c.day);
        EXPECT_EQ(c.plays, YGameServer::SoundInSeason(Window(c.first, c.last), c.day));
    }
}

TEST(GameServerDaylight, FactorFallsNearSunriseAndSunset)
{
    const int rise = 400, set = 1100;
    const struct {
        int minutes;
        float factor;
    } cases[] = {
        {700, 1.0f},   {rise + 100, 1.0f}, {rise + 50, 1.0f - 50 * 0.009f}, {rise, 1.0f - 100 * 0.009f},
        {set - 100, 1.0f}, {set - 40, 1.0f - 60 * 0.006f}, {set, 1.0f - 100 * 0.006f}, {rise - 1, 0.25f},
        {set + 1, 0.25f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.minutes);
        EXPECT_NEAR(c.factor, YGameServer::DayFactorAt(c.minutes, rise, set), 1e-5);
    }
    // A day so short that both dips meet never goes below the floor.
    EXPECT_FLOAT_EQ(0.03f, YGameServer::DayFactorAt(700, 690, 710));
}

TEST_F(ServerState, GameDateAdvancesByTheRateOnlyWhilePlaying)
{
    const struct {
        int rate;
        int state;
        float step;
        int ticks;
        int seconds;  // game seconds added
    } cases[] = {
        {6, YGameSession::Playing, 0.5f, 1, 3},       {6, YGameSession::Playing, 0.1f, 10, 5},
        {0, YGameSession::Playing, 0.5f, 100, 0},     {6, YGameSession::Paused, 0.5f, 10, 0},
        {3600, YGameSession::Playing, 1.0f, 24, 86400}, {1, YGameSession::Playing, 0.25f, 4, 0},
        {1, YGameSession::Playing, 0.25f, 5, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "rate " << c.rate << " state " << c.state);
        YGameServer server;
        m_engine->m_settings->SetInt("game_timerate", c.rate);
        m_engine->m_session->m_state = c.state;
        m_engine->m_frameTime = c.step;
        const CTime start = m_engine->m_gameDate;
        for (int i = 0; i < c.ticks; ++i) server.AdvanceGameTime();
        EXPECT_EQ(c.seconds, static_cast<int>((m_engine->m_gameDate - start).GetTotalSeconds()));
        EXPECT_GE(server.m_gameTime, 0);
        EXPECT_LE(server.m_gameTime, 1000);
        m_engine->m_gameDate = start;
    }
}

TEST_F(ServerState, WindGoesToTheSettings)
{
    m_server.m_weather.m_wind = YVector(3.0f, 0.0f, 0.0f);
    m_server.UpdateWind(0);
    EXPECT_EQ(90, m_engine->m_settings->GetInt("game_wind_dir"));
    EXPECT_STREQ("3", m_engine->m_settings->GetValue("game_wind_mps"));
    EXPECT_STREQ("7 mph", m_engine->m_settings->GetValue("game_wind_mph"));
    m_server.m_weather.m_wind = YVector(0.0f, 0.0f, -9.8f);
    m_server.UpdateWind(0);
    EXPECT_EQ(180, m_engine->m_settings->GetInt("game_wind_dir"));
    EXPECT_STREQ("10", m_engine->m_settings->GetValue("game_wind_mps"));
    EXPECT_STREQ("22 mph", m_engine->m_settings->GetValue("game_wind_mph"));
}

TEST_F(ServerState, MarksBeyondTheCapGoOldestFirst)
{
    m_engine->m_settings->SetInt("game_holes", 2);
    YActor a, b, c;
    m_server.AddHole(&a);
    m_server.AddHole(&b);
    m_server.AddHole(&a);  // present: not again
    EXPECT_EQ(2, m_server.m_holes.GetSize());
    EXPECT_EQ(0, a.GetFlag("DestroyMe"));
    m_server.AddHole(&c);
    ASSERT_EQ(2, m_server.m_holes.GetSize());
    EXPECT_EQ(1, a.GetFlag("DestroyMe"));
    EXPECT_EQ(&b, m_server.m_holes[0]);
    // A mark deleted by its world is forgotten.
    m_server.ForgetActor(&b);
    ASSERT_EQ(1, m_server.m_holes.GetSize());
    EXPECT_EQ(&c, m_server.m_holes[0]);
}

#if defined(RCV_DATA_DIR)
namespace {
class MeadowServer : public SampleMapWorld {
protected:
    static void SetUpTestSuite() { Load("Meadow"); }
    void SetUp() override
    {
        SampleMapWorld::SetUp();
        m_savedDate = m_engine->m_gameDate;
    }
    void TearDown() override
    {
        m_engine->m_gameDate = m_savedDate;
        SampleMapWorld::TearDown();
    }
    // The names of the sounds of the world's actors named "Sound...".
    std::string PlacedSounds()
    {
        std::string names;
        for (int i = 0; i < YActorWorld::kDefaultCapacity; ++i) {
            YActor* actor = m_world.GetActor(i);
            if (!actor || actor->m_name.Find("Sound") != 0) continue;
            for (POSITION at = actor->m_sounds.GetHeadPosition(); at;)
                names += std::string(actor->m_sounds.GetNext(at)->GetName()) + " ";
        }
        return names;
    }
    CTime m_savedDate;
};
}  // namespace

TEST_F(MeadowServer, PlayerStartsLieOnTheGroundPlaneWithTheirHeading)
{
    YGameServer server;
    server.LoadFromMap();
    ASSERT_EQ(4, server.m_starts.GetCount());
    const float yaws[] = {0.785f, 2.356f, -2.356f, -0.785f};
    int i = 0;
    for (POSITION at = server.m_starts.GetHeadPosition(); at; ++i) {
        const YPlayerStart* start = server.m_starts.GetNext(at);
        EXPECT_EQ(0.0f, start->m_position.y);
        EXPECT_GT(start->m_position.x, 0.0f);
        EXPECT_NEAR(yaws[i] * 180.0 / 3.14159265, start->m_angles.y, 0.01);
        EXPECT_EQ(0.0f, start->m_angles.x);
    }
}

TEST_F(MeadowServer, PlacedSoundsInSeasonStandAboveTheGround)
{
    const struct {
        int month, day;
        const char* sounds;
    } cases[] = {{6, 1, "Ambient:Birds Ambient:Water "},
                   {10, 27, "Ambient:Birds Ambient:Water "},
                   {10, 28, "Ambient:Water "},
                   {1, 10, "Ambient:Water "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sounds);
        m_world.Clear();
        m_engine->m_gameDate = CTime(2000, c.month, c.day, 12, 0, 0);
        YGameServer server;
        server.AddPreload("old", 1);
        server.LoadFromMap();
        EXPECT_EQ(c.sounds, PlacedSounds());
        EXPECT_EQ(-1, server.m_preloads.IndexOf("old"));
    }
    for (int i = 0; i < YActorWorld::kDefaultCapacity; ++i) {
        YActor* actor = m_world.GetActor(i);
        if (!actor || actor->m_name.Find("Sound") != 0) continue;
        EXPECT_EQ(1, actor->GetFlag("NoMech"));
        EXPECT_EQ(1, actor->GetFlag("Flying"));
        EXPECT_NEAR(m_world.GroundHeightAt(actor->m_position.x, actor->m_position.z), actor->m_position.y, 1e-3);
        const YActorSound* sound = actor->m_sounds.GetHead();
        EXPECT_EQ(20.0f, sound->m_minDistance);
        EXPECT_EQ(200.0f, sound->m_maxDistance);
        EXPECT_EQ(2.0f, sound->m_repeatMin);
        EXPECT_EQ(9.0f, sound->m_repeatMax);
    }
}

TEST_F(MeadowServer, WeatherElementIsReplacedOrLeftToEnd)
{
    YGameServer server;
    WeatherElementParams rain;
    rain.m_name = "Rain";
    server.m_weather.m_elementParams = new WeatherElementParams(rain);
    server.m_weather.m_elementChanged = 1;
    server.m_weather.m_intensity = 0.5f;
    server.UpdateWind(0);
    YWeatherElement* first = server.m_element;
    ASSERT_NE(nullptr, first);
    EXPECT_STREQ("Rain", first->m_params.m_name);
    EXPECT_GE(m_world.IndexOf(first), 0);
    server.UpdateWind(0);  // a new element takes the old one's place
    EXPECT_NE(nullptr, server.m_element);
    EXPECT_EQ(server.m_element, m_world.GetActor(m_world.IndexOf(server.m_element)));
    server.SetWeatherIntensity(0.8f);
    EXPECT_FLOAT_EQ(0.8f, server.m_element->m_intensity);

    YWeatherElement* second = server.m_element;
    delete server.m_weather.m_elementParams;
    server.m_weather.m_elementParams = nullptr;
    server.UpdateWind(-1);
    EXPECT_EQ(nullptr, server.m_element);
    EXPECT_EQ(1, second->m_stop);
    EXPECT_EQ(0.0f, second->m_intensity);
    EXPECT_GE(m_world.IndexOf(second), 0);  // it ends by itself
}
#endif

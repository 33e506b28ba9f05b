#include "engine/EngineFixture.h"

namespace {
class ConsoleSetTest : public EngineTest {};
}  // namespace

TEST_F(ConsoleSetTest, SetsAndShowsThroughTheConfigurationChain)
{
    struct Case {
        const char* line;
        const char* output;
    };
    const Case cases[] = {
        {"set gfx_fog 1", ""},
        {"set gfx_fog", "gfx_fog is \"1\""},
        {"SET GFX_FILTER \"Trilinear\"", ""},
        {"set gfx_filter", "gfx_filter is \"Trilinear\""},
        {"set snd_maxsamebuffers 99", ""},
        {"set snd_maxsamebuffers", "snd_maxsamebuffers is \"16\""},
        {"set inp_slope 3", ""},
        {"set inp_slope", "inp_slope is \"3.000000\""},
        {"set sys_map \"Green Valley\"", ""},
        {"set sys_map", "sys_map is \"Green Valley\""},
        {"set sys_game_type dogfight", ""},
        {"set SYS_GAME_TYPE", "SYS_GAME_TYPE is \"dogfight\""},
        {"set nobody_knows 5", ""},
        {"set nobody_knows", "nobody_knows not found."},
        {"set", "Usage: SET settingname [\"value\"]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        bool taken = false;
        EXPECT_EQ(c.output, Run(c.line, &taken));
        EXPECT_TRUE(taken);
    }
    EXPECT_EQ(1, m_config->m_graphics->m_fog);
    EXPECT_EQ(3, m_config->m_graphics->m_filter);
    EXPECT_STREQ("Green Valley", m_game->m_map);
}

TEST_F(ConsoleSetTest, ValueWithAQuoteStopsAtTheQuote)
{
    Run("set sys_map \"bad\"; quit\"");
    EXPECT_STREQ("bad", m_game->m_map);
    EXPECT_EQ("sys_map is \"bad\"", Run("set sys_map"));
}

TEST_F(ConsoleSetTest, TraceAndLogFileBelongToTheInterpreter)
{
    bool* trace = m_interpreter->GetTraceSwitch();
    YString* log = m_interpreter->GetLogFileName();
    bool savedTrace = *trace;
    YString savedLog = *log;

    Run("set TRACE 5");
    EXPECT_EQ("trace is \"1\"", Run("set trace"));
    Run("set trace 0");
    EXPECT_EQ("TRACE is \"0\"", Run("set TRACE"));
    Run("set logfile \"my log.txt\"");
    EXPECT_STREQ("my log.txt", *log);
    EXPECT_EQ("LOGFILE is \"my log.txt\"", Run("set LOGFILE"));

    *trace = savedTrace;
    *log = savedLog;
}

TEST_F(ConsoleSetTest, DiagnosticSwitchesRefreshTheEngineCopies)
{
    YDataCollection* switches = m_engine->m_appSwitches;
    ASSERT_NE(nullptr, switches);
    EXPECT_STREQ("-1", switches->GetValue("APP_CLIENT"));
    EXPECT_STREQ("0", switches->GetValue("APP_FPS"));

    Run("set APP_FPS 1");
    Run("set app_client 3");
    EXPECT_EQ(1, m_engine->m_appFps);
    EXPECT_EQ(3, m_engine->m_appClient);
    EXPECT_EQ("APP_FPS not found.", Run("set APP_FPS"));

    Run("set APP_FPS 0");
    Run("set APP_CLIENT -1");
    EXPECT_EQ(0, m_engine->m_appFps);
    EXPECT_EQ(-1, m_engine->m_appClient);
}

TEST_F(ConsoleSetTest, EngineCollectionsTakeTheValueAndKeepTheirUserWord)
{
    YDataCollection* settings = m_engine->m_settings;
    YDataCollection* layout = m_engine->m_layoutValues;
    int index = settings->Set("game_timelimit", "120", 2);
    int layoutIndex = layout->Set("game_timelimit", "x", 7);

    EXPECT_EQ("game_timelimit is \"120\"", Run("set game_timelimit"));
    Run("set game_timelimit 300");
    EXPECT_STREQ("300", settings->GetValue(index));
    EXPECT_EQ(2u, settings->GetUser(index));
    EXPECT_STREQ("300", layout->GetValue(layoutIndex));
    EXPECT_EQ(7u, layout->GetUser(layoutIndex));

    settings->RemoveByName("game_timelimit");
    layout->RemoveByName("game_timelimit");
}

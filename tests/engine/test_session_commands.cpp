// SESSION, EXIT, PAUSE and ESCAPE steer the session through its states;
// QUIT closes the main window; SOUND and OBJECT reach their engine parts.
#include "engine/EngineCommandsFixture.h"
#include "foundation/YObjectDef.h"

namespace {
typedef YGameSession S;

// INIT loads when the map file exists and BEGIN plays (or fails when told
// to); the other actions are the session's own. The console's words are
// what these tests look at.
class MapFileSession : public RecordingSession {
public:
    int Action(int action, int parameter) override
    {
        m_actions.push_back(action);
        if (action == S::ActionInit) {
            const YString& map = YGameObjects::Instance()->m_sessionDesc.m_mapPath;
            const bool found = !map.IsEmpty() && GetFileAttributesA(map) != INVALID_FILE_ATTRIBUTES;
            m_state = found ? S::Loaded : S::None;
            return found ? 1 : 0;
        }
        if (action == S::ActionBegin && m_state == S::Loaded) {
            if (m_beginFails) {
                YGameSession::Action(S::ActionEnd, 0);
                return 0;
            }
            m_state = S::Playing;
            return 1;
        }
        return YGameSession::Action(action, parameter);
    }
    std::vector<int> m_actions;
    bool m_beginFails = false;
};

class SessionCommands : public EngineCommandsTest {
protected:
    void SetUp() override
    {
        EngineCommandsTest::SetUp();
        m_engine->m_session = &m_mapSession;
        m_engine->m_dataDir = "gamedata";
        m_scratch->Write("gamedata/maps/green.zon", "YMAP");
        m_scratch->Write("gamedata/mymaps/green.zon", "YMAP");
    }
    MapFileSession m_mapSession;
    MapFileSession& m_session = m_mapSession;
};

const int AllStates[] = {S::None, S::Loading, S::Loaded, S::Beginning, S::Playing, S::Paused, S::Demo, S::Ending};
}  // namespace

TEST_F(SessionCommands, InitBuildsTheMapPathAndStartsPlaying)
{
    struct Case {
        const char* line;
        const char* path;
        int state;
        const char* output;
    };
    const Case cases[] = {
        {"session init Green", "gamedata\\maps\\green.zon", S::Playing, ""},
        {"session init green.ZON", "gamedata\\maps\\green.zon", S::Playing, ""},
        {"session init MAPS\\Green.zon", "gamedata\\maps\\green.zon", S::Playing, ""},
        {"session init mymaps\\green", "gamedata\\mymaps\\green.zon", S::Playing, ""},
        // The quote is a delimiter: a quoted name ends at its first blank.
        {"session init \"Green Valley\"", "gamedata\\maps\\green.zon", S::Playing, ""},
        {"session init nowhere", "gamedata\\maps\\nowhere.zon", S::None, "Failed to initialize session"},
        {"session init", "gamedata\\maps\\.zon", S::None, "Failed to initialize session"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        m_session.m_state = S::None;
        EXPECT_EQ(c.output, Run(c.line));
        EXPECT_STREQ(c.path, m_engine->m_sessionDesc.m_mapPath);
        EXPECT_EQ(c.state, m_session.m_state);
    }
}

TEST_F(SessionCommands, ARoundThatFailsToBeginIsReportedAndGone)
{
    m_session.m_beginFails = true;
    m_session.m_state = S::None;
    EXPECT_EQ("Failed to initialize session", Run("session init green"));
    EXPECT_EQ(S::None, m_session.m_state);
    EXPECT_EQ((std::vector<int>{S::ActionInit, S::ActionBegin}), m_session.m_actions);
    // Nothing is left to refuse the next round.
    m_session.m_beginFails = false;
    m_session.m_actions.clear();
    EXPECT_EQ("", Run("session init green"));
    EXPECT_EQ(S::Playing, m_session.m_state);
    EXPECT_EQ((std::vector<int>{S::ActionInit, S::ActionBegin}), m_session.m_actions);
}

TEST_F(SessionCommands, InitEndsARunningRoundFirstAndLeavesOtherStatesAlone)
{
    for (int state : AllStates) {
        SCOPED_TRACE(state);
        m_session.m_state = state;
        m_engine->m_sessionDesc.m_mapPath = "before";
        EXPECT_EQ("", Run("session init green"));
        bool ends = state == S::None || state == S::Playing || state == S::Paused || state == S::Demo;
        EXPECT_EQ(ends ? S::Playing : state, m_session.m_state);
        EXPECT_STREQ(ends ? "gamedata\\maps\\green.zon" : "before", m_engine->m_sessionDesc.m_mapPath);
    }
}

TEST_F(SessionCommands, ActionsInEachState)
{
    struct Case {
        const char* line;
        int after[8];  // the state after the line, for each state before
    };
    const Case cases[] = {
        {"session end", {S::None, S::Loading, S::Loaded, S::Beginning, S::None, S::None, S::None, S::Ending}},
        {"session pause", {S::None, S::Loading, S::Loaded, S::Beginning, S::Paused, S::Playing, S::Demo, S::Ending}},
        {"session demo", {S::Demo, S::Demo, S::Demo, S::Demo, S::Demo, S::Demo, S::Demo, S::Demo}},
        {"session bogus", {S::None, S::Loading, S::Loaded, S::Beginning, S::Playing, S::Paused, S::Demo, S::Ending}},
        {"exit", {S::None, S::None, S::None, S::None, S::None, S::None, S::None, S::None}},
        {"pause", {S::None, S::Loading, S::Loaded, S::Beginning, S::Paused, S::Playing, S::Demo, S::Ending}},
        {"escape", {S::None, S::Loading, S::Loaded, S::Beginning, S::Paused, S::None, S::None, S::Ending}},
    };
    for (const Case& c : cases) {
        for (int state : AllStates) {
            SCOPED_TRACE(std::string(c.line) + " in state " + std::to_string(state));
            m_session.m_state = state;
            m_interpreter->m_escapeRequest = false;
            EXPECT_EQ("", Run(c.line));
            EXPECT_EQ(c.after[state], m_session.m_state);
            // Only ESCAPE with no session asks the screens to escape.
            EXPECT_EQ(std::string(c.line) == "escape" && state == S::None, m_interpreter->m_escapeRequest);
        }
    }
}

TEST_F(SessionCommands, EscapeTwicePausesThenEnds)
{
    m_session.m_state = S::Playing;
    Run("escape");
    EXPECT_EQ(S::Paused, m_session.m_state);
    Run("escape");
    EXPECT_EQ(S::None, m_session.m_state);
    EXPECT_FALSE(m_interpreter->m_escapeRequest);
    Run("escape");
    EXPECT_TRUE(m_interpreter->m_escapeRequest);
}

TEST_F(SessionCommands, EscapeWithoutASessionObjectAsksTheScreens)
{
    m_engine->m_session = nullptr;
    Run("escape");
    EXPECT_TRUE(m_interpreter->m_escapeRequest);
    EXPECT_EQ("", Run("pause"));
    EXPECT_EQ("", Run("session init green"));
}

TEST_F(SessionCommands, PauseWaitsForTheCelebrationAndNeedsNoRules)
{
    struct Case {
        bool rules;
        bool celebrating;
        int after;
    };
    const Case cases[] = {{false, false, S::Paused}, {true, false, S::Paused}, {true, true, S::Playing}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rules) + std::to_string(c.celebrating));
        YGameRules rules;
        YActor celebration;
        rules.m_celebration = c.celebrating ? &celebration : nullptr;
        m_engine->m_rules = c.rules ? &rules : nullptr;
        m_session.m_state = S::Playing;
        EXPECT_EQ("", Run("pause"));
        EXPECT_EQ(c.after, m_session.m_state);
        m_engine->m_rules = nullptr;
    }
}

TEST_F(SessionCommands, SetStoresSessionProperties)
{
    Run("session set weather rain");
    Run("session SET wind \"strong gusts\"");  // the quote and the blank both delimit
    Run("session set weather snow");
    EXPECT_STREQ("snow", m_session.m_properties.GetValue("weather"));
    EXPECT_STREQ("strong", m_session.m_properties.GetValue("wind"));
    EXPECT_EQ(2, m_session.m_properties.GetSize());
    Run("session set");
    EXPECT_EQ(2, m_session.m_properties.GetSize());
}

namespace {
std::vector<UINT> g_closed;
LRESULT CALLBACK CloseRecorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        g_closed.push_back(message);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

TEST_F(SessionCommands, QuitClosesTheMainWindow)
{
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = CloseRecorder;
    windowClass.lpszClassName = "CloseRecorder";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "CloseRecorder", "r", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    HWND saved = m_engine->m_hWnd;
    g_closed.clear();

    m_engine->m_hWnd = nullptr;
    EXPECT_EQ("", Run("quit"));
    m_engine->m_hWnd = window;
    EXPECT_EQ("", Run("QUIT"));
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    EXPECT_EQ(std::vector<UINT>{WM_CLOSE}, g_closed);

    m_engine->m_hWnd = saved;
    DestroyWindow(window);
}

TEST_F(SessionCommands, SoundShowToggles)
{
    m_engine->m_showSoundInfo = 0;
    const struct {
        const char* line;
        int shown;
    } cases[] = {{"sound show", 1}, {"sound other", 1}, {"SOUND SHOW", 0}, {"sound", 0}};
    for (const auto& c : cases) {
        Run(c.line);
        EXPECT_EQ(c.shown, m_engine->m_showSoundInfo) << c.line;
    }
}

TEST_F(SessionCommands, ObjectOpensADefinitionForTheFollowingLines)
{
    Run("object glider extra words");
    Run("{");
    Run("set speed 12");
    Run("}");
    Run("object");
    EXPECT_EQ(nullptr, m_parser.GetCurrent());
    YObjectDef* glider = m_definitions.Find("glider");
    ASSERT_NE(nullptr, glider);
    EXPECT_STREQ("12", glider->GetValue("speed"));
    EXPECT_EQ(1, m_definitions.GetCount());
}

// The main loop's frame rate, the engine callbacks, the pump and the frame
// window's procedure.
#include "EngineFixture.h"

#include <cmath>
#include <cstdlib>

#include "engine/YEngineCallbacks.h"
#include "engine/YKestrixFrame.h"
#include "engine/YMsgHandler.h"
#include "foundation/YObjectDefList.h"
#include "foundation/YObjectDef.h"
#include "foundation/YSineTable.h"
#include "game/YClientInfo.h"
#include "game/YPlane.h"

namespace {
struct ManualClock {
    ManualClock(DWORD start)
    {
        platform::Clock::SetManual(true);
        platform::Clock::Set(start);
    }
    ~ManualClock() { platform::Clock::SetManual(false); }
};
}  // namespace

TEST(EngineCallbacks, RangeTestWrapsWhenTheStartIsPastTheEnd)
{
    struct Row {
        LONG a, b, x;
        float expected;
    } rows[] = {
        {350, 10, 355, 1.0f}, {350, 10, 350, 0.0f}, {350, 10, 5, 1.0f},   {350, 10, 10, 0.0f},
        {10, 350, 10, 1.0f},  {10, 350, 350, 1.0f}, {10, 350, 351, 0.0f}, {10, 350, 9, 0.0f},
    };
    for (const Row& row : rows) EXPECT_EQ(RangeTest(row.a, row.b, row.x), row.expected) << row.a << " " << row.b << " " << row.x;
}

TEST_F(EngineTest, KeepAliveAdvancesTheProgressAboutOnceASecond)
{
    ManualClock clock(5000);
    ResetEngineCallbacks();
    LoadingKeepAlive();
    EXPECT_EQ(m_session.m_progress, 1) << "the first call always advances";
    for (int i = 0; i < 300; ++i) {
        platform::Clock::Advance(10);
        LoadingKeepAlive();
    }
    EXPECT_EQ(m_session.m_progress, 3);
}

TEST_F(EngineTest, AxisChangesBecomeVerbCommandsOnce)
{
    YGameConfig::RegisterControlVerbs(m_engine->m_verbs);
    m_engine->FindVerbName("3", m_engine->m_yawVerb);
    m_engine->FindVerbName("2", m_engine->m_pitchVerb);
    ResetEngineCallbacks();
    AxisCallback(5, 0);
    AxisCallback(5, 0);
    AxisCallback(0, -3);
    ASSERT_EQ(m_session.m_calls.size(), 3u);
    EXPECT_EQ(m_session.m_calls[0].id, 91);
    EXPECT_EQ(m_session.m_calls[0].kind, YGameSession::VerbPress);
    EXPECT_EQ(m_session.m_calls[1].id, 91);
    EXPECT_EQ(m_session.m_calls[1].kind, YGameSession::VerbRelease);
    EXPECT_EQ(m_session.m_calls[2].id, 90);
    EXPECT_EQ(m_session.m_calls[2].kind, YGameSession::VerbPress);
}

TEST_F(EngineTest, FrameRateIsMeasuredEveryQuarterSecondAndNeverBelowATenth)
{
    ManualClock clock(100000);
    YGameObjects::ResetFrameRate();
    m_engine->CountFrame();
    EXPECT_FLOAT_EQ(m_engine->m_fps, 0.1f) << "the first pass measures against tick 0";
    float seen = 0.0f;
    for (int pass = 1; pass <= 30; ++pass) {
        platform::Clock::Advance(20);
        m_engine->CountFrame();
        if (pass < 13) {
            EXPECT_FLOAT_EQ(m_engine->m_fps, 0.1f) << "pass " << pass;
        }
        seen = m_engine->m_fps;
    }
    EXPECT_NEAR(seen, 50.0f, 0.5f);
    // Across the wrap of the tick count the interval is the same.
    platform::Clock::Set(0xFFFFFFFFu - 100);
    YGameObjects::ResetFrameRate();
    m_engine->CountFrame();
    for (int pass = 0; pass < 26; ++pass) {
        platform::Clock::Advance(10);
        m_engine->CountFrame();
    }
    EXPECT_NEAR(m_engine->m_fps, 100.0f, 1.0f);
}

TEST_F(EngineTest, VerbTableLeavesJumpAndCrouchUnnamed)
{
    YGameConfig::RegisterControlVerbs(m_engine->m_verbs);
    YDataCollection* verbs = m_engine->m_verbs;
    EXPECT_TRUE(verbs->GetName(6).IsEmpty());
    EXPECT_TRUE(verbs->GetName(7).IsEmpty());
    EXPECT_EQ(verbs->IndexOf("jump"), -1);
    EXPECT_EQ(verbs->IndexOf("throttle0"), 47);
    EXPECT_EQ(verbs->IndexOf("throttle9"), 56);
    EXPECT_EQ(verbs->IndexOf("poweruprandombad"), 38);
    YString pitch, yaw;
    m_engine->FindVerbName("2", pitch);
    m_engine->FindVerbName("3", yaw);
    EXPECT_STREQ(pitch, "pitch");
    EXPECT_STREQ(yaw, "yaw");
}

TEST_F(EngineTest, ClientPhysicsBecomesSettingsOfKindOne)
{
    YDataCollection settings(32, 32);
    YObjectDefList definitions;
    YObjectDef* physics = new YObjectDef;
    physics->SetName("ClientPhysics");
    physics->Set("cl_fov", "75");
    physics->Set("drag", "0.5");
    definitions.AddTail(physics);
    YGameConfig::RegisterSessionKeys(&settings, &definitions);
    EXPECT_STREQ(settings.GetValue("cl_fov"), "75");
    EXPECT_EQ(settings.GetUser("cl_fov"), 1u);
    EXPECT_EQ(settings.IndexOf("cl_fov"), 128);
    EXPECT_STREQ(settings.GetValue("drag"), "0.5");
    EXPECT_EQ(settings.GetUser("game_timerate"), 0u);
    EXPECT_EQ(settings.GetUser("game_editmode"), 2u);
    EXPECT_TRUE(settings.GetName(21).IsEmpty());
    definitions.DeleteAll();
}

namespace {
std::vector<UINT> g_seen;
LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_USER) g_seen.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

TEST(MessagePump, QuitEndsThePumpBeforeLaterMessages)
{
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = Recorder;
    windowClass.lpszClassName = "Recorder";
    ASSERT_TRUE(RegisterClassA(&windowClass));
    HWND window = CreateWindowExA(0, "Recorder", "r", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    g_seen.clear();
    YMsgHandler handler;
    int any = 0;
    PostMessageA(window, WM_USER + 1, 0, 0);
    PostQuitMessage(0);
    PostMessageA(window, WM_USER + 2, 0, 0);
    EXPECT_EQ(handler.PumpMessages(any), 0);
    EXPECT_EQ(any, 1);
    EXPECT_EQ(g_seen, std::vector<UINT>{WM_USER + 1});
    EXPECT_EQ(handler.PumpMessages(any), 1);
    EXPECT_EQ(g_seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
    EXPECT_EQ(handler.PumpMessages(any), 1);
    EXPECT_EQ(any, 0);
    DestroyWindow(window);
}

TEST_F(EngineTest, FrameWindowHandlesWheelAltAndTheSystemMenu)
{
    YKestrixFrame* frame = new YKestrixFrame;
    ASSERT_TRUE(frame->Create(nullptr, "RC Volaro", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU));
    HWND window = frame->m_hWnd;
    YPlane plane;
    m_engine->m_localClient->m_plane = &plane;
    struct Row {
        int delta;
        int verb;
    } rows[] = {{120, 43}, {-120, 44}, {0, 44}, {240, 43}};
    for (const Row& row : rows) {
        EXPECT_EQ(SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, row.delta), 0), 0);
        EXPECT_EQ(plane.m_lastVerb, row.verb) << row.delta;
        EXPECT_EQ(plane.m_lastValue, 1);
    }
    m_engine->m_localClient->m_plane = nullptr;
    EXPECT_EQ(SendMessageA(window, WM_SYSKEYDOWN, VK_MENU, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_SYSKEYUP, VK_TAB, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, 0), 0);
    EXPECT_TRUE(IsWindow(window));
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window)) << "close destroys the frame, which deletes itself";
}

TEST(EngineStartUp, TheEngineObjectBuildsTheSineTable)
{
    // A fresh process: nothing fills the table before the engine object does.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const float* table = YSineTable::Table();
            const bool emptyBefore = table[YSineTable::kQuarter] == 0.0f && table[8192] == 0.0f;
            YGameObjects::Instance();
            const bool built = table[YSineTable::kQuarter] == 1.0f &&
                               std::fabs(table[8192] - 0.70710678f) < 1e-6f && YSineTable::AngleUnits().degToRad > 0.0f;
            std::_Exit(emptyBefore && built ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

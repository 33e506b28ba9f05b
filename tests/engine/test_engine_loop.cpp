// The main loop's frame rate, the engine callbacks, the pump and the frame
// window's procedure.
#include "EngineFixture.h"

#include <cmath>
#include <cstdlib>

#include "assets3d/YSMHandle.h"
#include "engine/YEngineCallbacks.h"
#include "engine/YKestrixFrame.h"
#include "engine/YMsgHandler.h"
#include "foundation/YObjectDefList.h"
#include "foundation/YObjectDef.h"
#include "foundation/YSineTable.h"
#include "game/YClientInfo.h"
#include "game/YPlane.h"
#include "input/YInputObj.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"

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
    // Each step shows the loading screen; without screens here.
    YInterfaceMgr* manager = m_engine->m_interfaceMgr;
    m_engine->m_interfaceMgr = nullptr;
    LoadingKeepAlive();
    EXPECT_EQ(m_session.m_progress, 1) << "the first call always advances";
    for (int i = 0; i < 300; ++i) {
        platform::Clock::Advance(10);
        LoadingKeepAlive();
    }
    EXPECT_EQ(m_session.m_progress, 3);
    m_engine->m_interfaceMgr = manager;
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

// Keeps the last command the plane was given.
class RecordingPlane : public YPlane {
public:
    using YPlane::OnCommand;
    int OnCommand(int id, const char*, int phase) override
    {
        m_lastVerb = id;
        m_lastValue = phase;
        return 1;
    }
    int m_lastVerb = 0;
    int m_lastValue = 0;
};

TEST_F(EngineTest, FrameWindowHandlesWheelAltAndTheSystemMenu)
{
    YKestrixFrame* frame = new YKestrixFrame;
    ASSERT_TRUE(frame->Create(nullptr, "RC Volaro", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU));
    HWND window = frame->m_hWnd;
    RecordingPlane plane;
    m_engine->m_localClient->m_plane = &plane;
    YInputObj* input = m_engine->m_input;
    ASSERT_NE(input, nullptr);
    const uint8_t acquired = input->m_mouseAcquired;
    struct Row {
        int delta;
        uint8_t acquired;  // then the plane reads the wheel from the input object
        int verb;
    } rows[] = {{120, 0, 43}, {-120, 0, 44}, {0, 0, 44}, {240, 0, 43}, {120, 1, 0}, {-120, 1, 0}};
    for (const Row& row : rows) {
        plane.m_lastVerb = plane.m_lastValue = 0;
        input->m_mouseAcquired = row.acquired;
        EXPECT_EQ(SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, row.delta), 0), 0);
        EXPECT_EQ(plane.m_lastVerb, row.verb) << row.delta;
        EXPECT_EQ(plane.m_lastValue, row.verb ? 1 : 0);
    }
    input->m_mouseAcquired = acquired;
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

namespace {
// The engine's worlds and local pilot swapped for the test's own.
class CallbackWorlds : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_saved[0] = m_engine->m_world;
        m_saved[1] = m_engine->m_world2;
        m_savedClient = m_engine->m_localClient;
        m_engine->m_world = &m_world;
        m_engine->m_world2 = &m_world2;
        m_engine->m_localClient = &m_client;
        m_client.m_plane = &m_plane;
        m_world.m_viewActor = reinterpret_cast<YActor*>(&m_plane);
    }
    void TearDown() override
    {
        m_engine->m_world = m_saved[0];
        m_engine->m_world2 = m_saved[1];
        m_engine->m_localClient = m_savedClient;
        m_world.m_viewActor = nullptr;  // the plane stands in for an actor here
        EngineTest::TearDown();
    }
    // A visible actor with a model of its own, added to the second world.
    YActor* AddActor(uint32_t flags = YActor::FlagVisible)
    {
        YActor* actor = new YActor;
        actor->m_flagsA = flags;
        actor->GetModelInstance() = new YSMHandle;
        m_world2.AddActor(actor);
        return actor;
    }
    // Calls the enumerator from cursor 0 until it gives -1; the models it returned.
    std::vector<void*> Enumerate(int* calls)
    {
        std::vector<void*> models;
        int cursor = 0;
        *calls = 0;
        while (cursor != -1 && *calls < 100) {
            ++*calls;
            if (void* model = ModelEnumerator(&cursor)) models.push_back(model);
        }
        return models;
    }

    YActorWorld m_world, m_world2;
    YClientInfo m_client;
    YPlane m_plane;
    YActorWorld* m_saved[2];
    YClientInfo* m_savedClient;
};
}  // namespace

TEST_F(CallbackWorlds, EnumeratorGivesEveryVisibleModelThenEnds)
{
    YActor* actors[3] = {AddActor(), AddActor(), AddActor()};
    int cursor = 0;
    for (YActor* actor : actors) {
        void* model = ModelEnumerator(&cursor);
        EXPECT_EQ(model, &actor->m_render);
        EXPECT_EQ(static_cast<YRenderInstance*>(model)->m_model, actor->GetModelInstance());
        EXPECT_NE(cursor, -1);
    }
    EXPECT_EQ(cursor, 3);
    EXPECT_EQ(ModelEnumerator(&cursor), nullptr);
    EXPECT_EQ(cursor, -1) << "the fourth call ends the walk";
    EXPECT_EQ(ModelEnumerator(&cursor), nullptr);
    EXPECT_EQ(cursor, -1);
}

TEST_F(CallbackWorlds, EnumeratorSkipsHiddenUnrenderedAndModelFreeActors)
{
    AddActor();
    AddActor(0);                           // not visible
    AddActor()->m_noRender = 1;            // left out of the camera-space pass
    YActor* bare = AddActor();             // a record without a model is none
    delete bare->GetModelInstance();
    bare->GetModelInstance() = nullptr;
    YActor* last = AddActor();
    last->m_position = YVector(1.0f, 2.0f, 3.0f);
    int calls = 0;
    std::vector<void*> models = Enumerate(&calls);
    ASSERT_EQ(models.size(), 2u);
    EXPECT_EQ(models[1], &last->m_render);
    EXPECT_EQ(last->m_render.m_position[2], 48.0f) << "render units are metres x 16";
    EXPECT_EQ(calls, 6);
}

TEST_F(CallbackWorlds, EnumeratorEndsAtOnceUnlessTheViewSitsInTheLocalPlane)
{
    AddActor();
    struct Case {
        const char* what;
        YVector view;
        bool localView;
        bool client;
        bool secondWorld;
        size_t models;
    };
    const Case cases[] = {
        {"cockpit view", YVector(0, 0, 0), true, true, true, 1},
        {"view pulled back", YVector(0, 0, 0.5f), true, true, true, 0},
        {"another actor viewed", YVector(0, 0, 0), false, true, true, 0},
        {"no local pilot", YVector(0, 0, 0), true, false, true, 0},
        {"no second world", YVector(0, 0, 0), true, true, false, 0},
    };
    YActor other;
    for (const Case& c : cases) {
        m_world.m_cameraOffset = c.view;
        m_world.m_viewActor = c.localView ? reinterpret_cast<YActor*>(&m_plane) : &other;
        m_engine->m_localClient = c.client ? &m_client : nullptr;
        m_engine->m_world2 = c.secondWorld ? &m_world2 : nullptr;
        int calls = 0;
        EXPECT_EQ(Enumerate(&calls).size(), c.models) << c.what;
        if (!c.models) {
            EXPECT_EQ(calls, 1) << c.what;
        }
    }
}

TEST_F(CallbackWorlds, ObjectTestAnswersTheActorsRenderRecordForFlagTwo)
{
    YActor* actor = AddActor();
    actor->m_angles = YVector(90.0f, 0.0f, 0.0f);
    EXPECT_EQ(ObjectTest(actor, 0x2), reinterpret_cast<DWORD_PTR>(&actor->m_render));
    EXPECT_NEAR(actor->m_render.m_angles[0], 1.5707963f, 1e-6f);
    EXPECT_EQ(actor->m_render.m_owner, actor);
    EXPECT_EQ(actor->m_render.m_flags & 1u, 1u);
    EXPECT_EQ(ObjectTest(actor, 0x1), 0u);
    EXPECT_EQ(ObjectTest(nullptr, 0x2), 0u);
    actor->m_flagsA = 0;
    ObjectTest(actor, 0x2);
    EXPECT_EQ(actor->m_render.m_flags & 1u, 0u) << "a hidden actor is not drawn";
}

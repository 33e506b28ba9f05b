// GRAPHICS, PARSER and the renderer's session options, on a started display.
#include "engine/EngineCommandsFixture.h"
#include "engine/YKestrixFrame.h"
#include "graphics2d/YDXDrawDrivers.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YGraphics.h"

namespace {
class DisplayCommands : public EngineCommandsTest {
protected:
    void SetUp() override
    {
        EngineCommandsTest::SetUp();
        m_frame = new YKestrixFrame;
        ASSERT_TRUE(m_frame->Create(nullptr, "RC Volaro", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU));
        m_savedWindow = m_engine->m_hWnd;
        m_engine->m_hWnd = m_frame->m_hWnd;
        m_graphics = m_engine->m_graphics;
        ASSERT_EQ(YDXDrawDrivers::Enumerate(nullptr), 0);
    }
    void TearDown() override
    {
        m_engine->DestroyRenderer();
        m_graphics->ReleaseSurfaces();
        m_engine->m_hWnd = m_savedWindow;
        DestroyWindow(m_frame->m_hWnd);
        EngineCommandsTest::TearDown();
    }

    YD3D6Parser* Renderer() const { return dynamic_cast<YD3D6Parser*>(m_engine->m_renderer); }

    YKestrixFrame* m_frame = nullptr;
    HWND m_savedWindow = nullptr;
    YGraphics* m_graphics = nullptr;
};
}  // namespace

TEST_F(DisplayCommands, SetModeStartsTheDisplayAndItsRenderer)
{
    m_engine->DestroyRenderer();
    m_graphics->ReleaseSurfaces();
    EXPECT_EQ("", Run("graphics SetMode"));
    EXPECT_EQ(1, m_graphics->m_started);
    EXPECT_NE(nullptr, Renderer());
}

TEST_F(DisplayCommands, ShotSetsTheViewAndSavesNumberedScreenshots)
{
    ASSERT_EQ("", Run("graphics setmode"));
    ASSERT_NE(nullptr, Renderer());
    struct Case {
        const char* line;
        int32_t distance;
        float height;
        int32_t fogStart;
        int32_t fogEnd;
        const char* file;
    };
    const Case cases[] = {
        {"parser shot", 200, 1000.0f, 2000, 20000, "ScreenShots/ScreenShot01.bmp"},
        {"parser SHOT 300", 300, 1000.0f, 2000, 20000, "ScreenShots/ScreenShot02.bmp"},
        {"parser shot 50,2500.5,100,900", 50, 2500.5f, 100, 900, "ScreenShots/ScreenShot03.bmp"},
        {"parser shot 0,0.5", 0, 0.5f, 2000, 20000, "ScreenShots/ScreenShot04.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ("", Run(c.line));
        const YD3D6Parser::MapShotView& view = Renderer()->m_mapShot;
        EXPECT_EQ(1, view.active);
        EXPECT_EQ(c.distance, view.viewDistance);
        EXPECT_FLOAT_EQ(c.height, view.height);
        EXPECT_EQ(c.fogStart, view.fogStart);
        EXPECT_EQ(c.fogEnd, view.fogEnd);
        EXPECT_EQ("BM", m_scratch->Read(c.file).substr(0, 2));
    }
}

TEST_F(DisplayCommands, LogWritesTheTextureSums)
{
    ASSERT_EQ("", Run("graphics setmode"));
    EXPECT_EQ("", Run("parser log"));
    std::string log = m_scratch->Read("Debug.log");
    EXPECT_NE(std::string::npos, log.find("[YD3D6Parser::GetTextureMemoryStats] Textures in use: 0, 0 bytes")) << log;
    EXPECT_NE(std::string::npos, log.find("[YD3D6Parser::GetTextureMemoryStats] Finished")) << log;
}

// In a map session the four switches reach the renderer's copy of the
// session words 31 to 34 at once; without a session they wait for the next
// map set-up.
TEST_F(DisplayCommands, ApplicationSwitchesReachTheRenderer)
{
    ASSERT_EQ("", Run("graphics setmode"));
    struct Case {
        const char* name;
        int parameter;
        int word;
    };
    const Case cases[] = {
        {"APP_PTREES", YSessionDesc::ParamPTrees, 31},
        {"app_strees", YSessionDesc::ParamSTrees, 32},
        {"APP_LOD", YSessionDesc::ParamLod, 33},
        {"APP_BILLBOARD", YSessionDesc::ParamBillboard, 34},
    };
    Run("set APP_LOD 9");
    EXPECT_EQ(9, m_engine->m_sessionDesc.m_parameters[YSessionDesc::ParamLod]);
    EXPECT_EQ(0, Renderer()->m_mapSettings[33]) << "no session takes the options";

    ASSERT_EQ(1, Renderer()->InitSession(2, nullptr, 5));  // a map session, nothing set up
    int value = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Run(std::string("set ") + c.name + " " + std::to_string(value));
        EXPECT_EQ(value, m_engine->m_sessionDesc.m_parameters[c.parameter]);
        EXPECT_EQ(value, Renderer()->m_mapSettings[c.word]);
        ++value;
    }
    // Only the option words go over, not the map's settings.
    m_engine->m_sessionDesc.m_parameters[0] = 77;
    for (const Case& c : cases) Run(std::string("set ") + c.name + " 0");
    EXPECT_EQ(0, Renderer()->m_mapSettings[33]);
    EXPECT_EQ(25, Renderer()->m_mapSettings[1]);
}

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
    YD3D6Parser* renderer = Renderer();
    ASSERT_NE(nullptr, renderer);
    // Outside a map session the view stays; the screenshot is still taken.
    const int32_t before = renderer->m_viewCells;
    EXPECT_EQ("", Run("parser shot 80"));
    EXPECT_EQ(before, renderer->m_viewCells);
    EXPECT_EQ("BM", m_scratch->Read("ScreenShots/ScreenShot01.bmp").substr(0, 2));

    ASSERT_EQ(1, renderer->InitSession(2, nullptr, 99));
    renderer->m_fogOn = 1;
    renderer->m_viewCells = 25;
    renderer->m_fogRange[0] = 7.0f, renderer->m_fogRange[1] = 8.0f;
    struct Case {
        const char* line;
        int32_t distance;
        int32_t eye;
        float fogStart;
        float fogEnd;
        const char* file;
    };
    const Case cases[] = {
        {"parser shot", 200, 1000, 2000.0f, 20000.0f, "ScreenShots/ScreenShot02.bmp"},
        {"parser SHOT 300", 300, 1000, 2000.0f, 20000.0f, "ScreenShots/ScreenShot03.bmp"},
        {"parser shot 50,2500.5,100,900", 50, 2500, 100.0f, 900.0f, "ScreenShots/ScreenShot04.bmp"},
        {"parser shot 0,0.5", 25, 0, 7.0f, 8.0f, "ScreenShots/ScreenShot05.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ("", Run(c.line));
        EXPECT_EQ(c.distance, renderer->m_viewCells);
        EXPECT_EQ(c.eye, g_eyeOffset);
        EXPECT_EQ(c.fogStart, renderer->m_fogRange[0]);
        EXPECT_EQ(c.fogEnd, renderer->m_fogRange[1]);
        EXPECT_EQ("BM", m_scratch->Read(c.file).substr(0, 2));
    }
    renderer->EndSession(0);
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

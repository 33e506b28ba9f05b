// The display set-up: full screen at the depth of "gfx_bitdepth" with the
// 32 -> 16 fall-back, an 8-bit desktop forcing full screen, the interface
// manager told before and after each change, and the frame step's branches
// for a lost display; the engine object's game-state record.
#include "engine/DisplayFixture.h"

#include <string>
#include <vector>

#include "ScopedForce.h"
#include "engine/FixedFont.h"
#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "foundation/YConfigData.h"
#include "foundation/YGraphicsData.h"
#include "foundation/YResource.h"
#include "graphics2d/YDXSurface.h"
#include "gui/YDC.h"
#include "gui/YEditBox.h"
#include "gui/YInterfaceMgr.h"
#include "platform/backend/Backend.h"

namespace {

// Writes "r" before and "c" after a display change, each with whether the
// display was up at that moment, and "s" for a restore after a loss.
class RecordingInterface : public YInterfaceMgr {
public:
    explicit RecordingInterface(YGraphics* graphics) : YInterfaceMgr(nullptr), m_graphics(graphics) {}
    BOOL ReleaseSurfaces() override
    {
        m_log += m_graphics->m_started && m_graphics->m_back ? "r+" : "r-";
        return YInterfaceMgr::ReleaseSurfaces();
    }
    BOOL RestoreSurfaces(YDXDraw* display) override
    {
        m_log += display == m_graphics ? (m_graphics->m_started ? "c+" : "c-") : "c?";
        return YInterfaceMgr::RestoreSurfaces(display);
    }
    YGraphics* m_graphics;
    std::string m_log;
};

// Draws an edit box into each frame, as a layout of it would.
class EditInterface : public YInterfaceMgr {
public:
    EditInterface() : YInterfaceMgr(nullptr)
    {
        RECT r = {10, 10, 200, 30};
        m_box.Create(0, &r, nullptr, 1);
    }
    int Draw(YDC* dc) override
    {
        m_contexts.push_back(dc);
        m_surfaces.push_back(dc ? dc->GetSurface() : nullptr);
        m_box.Draw(dc);
        return YInterfaceMgr::Draw(dc);
    }
    YEditBox m_box;
    std::vector<YDC*> m_contexts;
    std::vector<YDXSurface*> m_surfaces;
};

// Counts restores after a loss.
class RestoreCounter : public YResource {
public:
    BOOL Restore(YDXDraw*) override
    {
        ++m_restores;
        return TRUE;
    }
    BOOL CreateSurfaces(YDXDraw*) override
    {
        ++m_creations;
        return TRUE;
    }
    int m_restores = 0;
    int m_creations = 0;
};

// A font that lives in memory only: loading it through the catalog reads nothing.
class MemoryFont : public FixedFont {
public:
    MemoryFont() : FixedFont(6, 10) {}
    BOOL LoadFromDirectories(CStringArray*, DWORD_PTR) override { return TRUE; }
    BOOL LoadFromPath(const CString&, DWORD_PTR) override { return TRUE; }
    BOOL CreateSurfaces(YDXDraw*) override { return TRUE; }
};

class DisplaySetup : public StartedDisplay {
protected:
    void SetUp() override
    {
        StartedDisplay::SetUp();
        m_graphicsData = m_engine->m_configData ? m_engine->m_configData->m_graphics : nullptr;
        ASSERT_NE(m_graphicsData, nullptr);
        m_savedDepth = m_graphicsData->m_bitDepth;
        m_savedInterface = m_engine->m_interfaceMgr;
    }
    void TearDown() override
    {
        platform::DDrawSetCooperativeResult(DD_OK);
        unsetenv("RCV_FORCE");
        m_engine->m_interfaceMgr = m_savedInterface;
        m_graphicsData->m_bitDepth = m_savedDepth;
        m_graphics->SetFullScreenFlag(0);
        m_graphics->StartDisplay();
        StartedDisplay::TearDown();
    }
    DWORD DisplayBits()
    {
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        if (!m_graphics->GetDirectDraw() || m_graphics->GetDirectDraw()->GetDisplayMode(&desc) != DD_OK) return 0;
        return desc.ddpfPixelFormat.dwRGBBitCount;
    }

    YGraphicsData* m_graphicsData = nullptr;
    int m_savedDepth = 16;
    YInterfaceMgr* m_savedInterface = nullptr;
};

}  // namespace

TEST_F(DisplaySetup, FullScreenTakesTheSettingsDepthAndFallsBackFrom32To16Only)
{
    struct Case {
        int depth;
        const char* force;
        int started;
        DWORD bits;
    } cases[] = {
        {32, "", 1, 32},
        {24, "", 1, 24},
        {16, "", 1, 16},
        {32, "no32", 1, 16},  // the one fall-back
        {24, "no24", 0, 0},   // no fall-back from 24
        {32, "no32,only24", 0, 0},
    };
    for (const Case& c : cases) {
        ScopedForce force(c.force);
        m_graphicsData->m_bitDepth = c.depth;
        m_graphics->SetFullScreenFlag(1);
        EXPECT_EQ(m_graphics->StartDisplay(), c.started) << c.depth << " " << c.force;
        EXPECT_EQ(m_graphics->m_started, c.started) << c.depth << " " << c.force;
        if (c.started) {
            EXPECT_EQ(DisplayBits(), c.bits) << c.depth << " " << c.force;
            EXPECT_EQ(m_graphics->m_modeArgument, 16);
            ASSERT_NE(m_graphics->m_back, nullptr);
            EXPECT_EQ(m_graphics->m_back->GetWidth(), 640u);
            EXPECT_EQ(m_engine->m_borderless, 1);
        } else {
            EXPECT_EQ(m_graphics->m_primary, nullptr);
            EXPECT_EQ(m_engine->m_renderer, nullptr);
        }
    }
}

TEST_F(DisplaySetup, AnEightBitDesktopForcesFullScreen)
{
    ScopedForce force("bpp8");
    m_graphicsData->m_bitDepth = 16;
    m_graphics->SetFullScreenFlag(0);
    ASSERT_EQ(m_graphics->StartDisplay(), 1);
    EXPECT_EQ(m_graphics->m_fullScreen, 1);
    EXPECT_EQ(m_graphics->m_modeArgument, 16);
    EXPECT_EQ(DisplayBits(), 16u);
}

TEST_F(DisplaySetup, TheInterfaceManagerIsToldBeforeAndAfterEachChange)
{
    RecordingInterface interface(m_graphics);
    m_engine->m_interfaceMgr = &interface;
    ASSERT_EQ(m_graphics->StartDisplay(), 1);
    {
        ScopedForce force("no3dsurface");  // the start fails: told after all the same
        EXPECT_EQ(m_graphics->StartDisplay(), 0);
    }
    ASSERT_EQ(m_graphics->StartDisplay(), 1);
    EXPECT_EQ(interface.m_log, "r+c+r+c-r-c+");
    EXPECT_EQ(interface.m_redrawAll, 2);
}

TEST_F(DisplaySetup, TheFrameContextOutlivesTheFrameForWindowsThatKeepIt)
{
    EditInterface interface;
    m_engine->m_interfaceMgr = &interface;
    ASSERT_EQ(m_graphics->RunFrame(), 1);
    ASSERT_EQ(m_graphics->RunFrame(), 1);
    ASSERT_EQ(interface.m_contexts.size(), 2u);
    EXPECT_EQ(interface.m_contexts[0], interface.m_contexts[1]);
    EXPECT_EQ(interface.m_surfaces[0], m_graphics->m_back);
    // Between frames the context draws nowhere, and the box keeps none of it.
    EXPECT_EQ(interface.m_contexts[1]->GetSurface(), nullptr);
    EXPECT_EQ(interface.m_box.GetLastDC(), nullptr);
    interface.m_box.SetFocus();
    interface.m_box.HandleMessage(WM_CHAR, 'a', 1);
    CString text;
    interface.m_box.GetName(text);
    EXPECT_STREQ(text, "a");
    m_engine->m_interfaceMgr = m_savedInterface;
}

TEST_F(DisplaySetup, AWindowedFrameSkipsWhileAnotherProgramHoldsTheDisplayAndRestartsOnAModeChange)
{
    RestoreCounter client;
    m_graphics->AddDisplayClient(&client);
    platform::Backend& backend = platform::Backend::Get();

    platform::DDrawSetCooperativeResult(DDERR_EXCLUSIVEMODEALREADYSET);
    unsigned long presented = backend.PresentedFrames();
    EXPECT_EQ(m_graphics->RunFrame(), 0);
    EXPECT_EQ(m_graphics->m_lost, 1);
    EXPECT_EQ(backend.PresentedFrames(), presented);

    platform::DDrawSetCooperativeResult(DDERR_WRONGMODE);
    EXPECT_EQ(m_graphics->RunFrame(), 1);
    EXPECT_EQ(m_graphics->m_lost, 0);
    EXPECT_EQ(client.m_creations, 1);  // the display was started again
    EXPECT_EQ(client.m_restores, 0);
    EXPECT_GT(backend.PresentedFrames(), presented);
    m_graphics->RemoveDisplayClient(&client);
}

TEST_F(DisplaySetup, AFullScreenFrameWaitsWhileTheDisplayIsAwayAndRestoresItAfter)
{
    m_graphicsData->m_bitDepth = 16;
    m_graphics->SetFullScreenFlag(1);
    ASSERT_EQ(m_graphics->StartDisplay(), 1);
    RecordingInterface interface(m_graphics);
    m_engine->m_interfaceMgr = &interface;
    RestoreCounter client;
    m_graphics->AddDisplayClient(&client);

    platform::DDrawSetCooperativeResult(DDERR_NOEXCLUSIVEMODE);
    PostMessageA(m_frame->m_hWnd, WM_NULL, 0, 0);  // something to wait for
    EXPECT_EQ(m_graphics->RunFrame(), 0);
    EXPECT_EQ(m_graphics->m_lost, 1);
    EXPECT_EQ(client.m_restores, 0);

    platform::DDrawSetCooperativeResult(DD_OK);
    platform::DDrawLoseAllSurfaces();
    EXPECT_EQ(m_graphics->RunFrame(), 1);
    EXPECT_EQ(m_graphics->m_lost, 0);
    EXPECT_EQ(client.m_restores, 1);
    EXPECT_EQ(client.m_creations, 0);
    EXPECT_EQ(interface.m_log, "c+");
    EXPECT_EQ(m_graphics->m_back->GetSurface()->IsLost(), DD_OK);

    // A mode change in full screen starts the display again.
    platform::DDrawSetCooperativeResult(DDERR_WRONGMODE);
    EXPECT_EQ(m_graphics->RunFrame(), 1);
    EXPECT_EQ(client.m_creations, 1);
    EXPECT_EQ(interface.m_log, "c+r+c+");
    m_graphics->RemoveDisplayClient(&client);
}

TEST_F(DisplaySetup, TheInterfaceFontGetsItsColour)
{
    YCatalog catalog;
    YCatalogItem* item = new YCatalogItem(17, "Font", "small_yellow", "", 0, "", nullptr);
    item->SetResource(new MemoryFont);
    catalog.AddItem(item);
    YCatalog* saved = m_engine->m_catalog;
    m_engine->m_catalog = &catalog;
    YFont* held = dynamic_cast<YFont*>(catalog.GetResource(17, "Font", "small_yellow", 0));
    ASSERT_NE(held, nullptr);
    held->SetTransparentColor(0x00123456);
    m_graphics->SetFont("small_yellow");
    EXPECT_EQ(m_graphics->m_font, held);
    EXPECT_EQ(held->GetTransparentColor(), 0x00FF00FFu);
    m_graphics->SetFont("");
    EXPECT_EQ(m_graphics->m_font, nullptr);
    catalog.ReleaseResource(held);
    m_engine->m_catalog = saved;
}

TEST(GameState, StartsWithEmptyScoreTextsClearFlagsAndNoScreenRequest)
{
    YGameState state;
    for (int row = 0; row < YGameState::ScoreRows; ++row) {
        EXPECT_TRUE(state.m_scoreNames[row].IsEmpty());
        EXPECT_TRUE(state.m_scoreValues[row].IsEmpty());
        EXPECT_TRUE(state.m_scorePictures[row].IsEmpty());
    }
    EXPECT_EQ(state.m_showScoresOnReturn, 0);
    EXPECT_EQ(state.m_celebration, 0);
    EXPECT_EQ(state.m_portraitFlash, 0);
    EXPECT_EQ(state.m_scoreRank, 0);
    EXPECT_EQ(state.m_screenRequest, YGameState::ScreenNone);

    state.m_portraitFlash = 1;
    state.m_screenRequest = YGameState::ScreenOpponent;
    state.m_scoreRank = 3;
    state.m_scorePictures[4] = "kept";
    state.Reset();
    EXPECT_EQ(state.m_portraitFlash, 0);
    EXPECT_EQ(state.m_scoreRank, 0);
    EXPECT_EQ(state.m_screenRequest, -1);
    EXPECT_STREQ(state.m_scorePictures[4], "kept");
    EXPECT_EQ(YGameObjects::Instance()->m_gameState.m_screenRequest, -1);
}

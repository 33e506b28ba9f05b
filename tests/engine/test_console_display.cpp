// F2 over a started display: the console's drawing context is registered with
// the graphics object while the console runs, so a display restart typed in
// the console hands it a live surface; the console's height follows the
// interface font; each modal step puts the console last among the interface's
// windows.
#include "engine/DisplayFixture.h"
#include "engine/FixedFont.h"

#include <vector>

#include "engine/YCommandDialog.h"
#include "engine/YEngineCallbacks.h"
#include "engine/YMsgHandler.h"
#include "foundation/YResource.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YSurfaceDC.h"
#include "gui/YEditBox.h"
#include "gui/YInterfaceMgr.h"

namespace {

// Records where it is put and what it draws into; restarts the display from
// inside its first modal pass and closes after the second.
class RestartingConsole : public YCommandDialog {
public:
    explicit RestartingConsole(YGraphics* graphics) : YCommandDialog(""), m_graphics(graphics) {}
    void MoveTo(const RECT* rect) override
    {
        if (rect && m_moves++ == 0) m_placed = *rect;
        YCommandDialog::MoveTo(rect);
    }
    int Draw(YDC* dc) override
    {
        m_dc = dc;
        YDXSurface* surface = dc ? dc->GetSurface() : nullptr;
        m_drawnWidths.push_back(surface && surface->GetSurface() ? surface->GetWidth() : 0);
        return YCommandDialog::Draw(dc);
    }
    void ModalPass() override
    {
        ++m_passes;
        m_registered.push_back(m_dc && m_graphics->m_surfaceContexts.Find(static_cast<YSurfaceDC*>(m_dc)));
        YCommandDialog::ModalPass();
        if (m_passes == 1 && m_restart) Type("graphics setmode");
        if (m_passes == 2) Close();
    }
    void Type(const char* text)
    {
        for (const char* c = text; *c; ++c) GetEditBox()->OnChar(static_cast<unsigned char>(*c), 1, 0);
        GetEditBox()->OnKeyDown(VK_RETURN, 1, 0);
    }

    YGraphics* m_graphics;
    bool m_restart = true;
    int m_moves = 0;
    int m_passes = 0;
    RECT m_placed = {0, 0, 0, 0};
    YDC* m_dc = nullptr;
    std::vector<DWORD> m_drawnWidths;
    std::vector<bool> m_registered;
};

// Counts the display restarts it is told about.
class RestartCounter : public YResource {
public:
    BOOL CreateSurfaces(YDXDraw*) override
    {
        ++m_restarts;
        return TRUE;
    }
    int m_restarts = 0;
};

class ConsoleDisplay : public StartedDisplay {
protected:
    void SetUp() override
    {
        StartedDisplay::SetUp();
        m_savedConsole = m_engine->m_console;
        m_savedFont = m_graphics->m_font;
    }
    void TearDown() override
    {
        m_engine->m_console = m_savedConsole;
        m_graphics->m_font = m_savedFont;
        StartedDisplay::TearDown();
    }
    // F2 with a console of our own and an interface font of that height.
    void PressF2(RestartingConsole& console, FixedFont& font)
    {
        m_engine->m_console = &console;
        m_graphics->m_font = &font;
        YMsgHandler handler;
        handler.OpenConsole(m_frame);
        m_engine->m_console = m_savedConsole;
    }

    YCommandDialog* m_savedConsole = nullptr;
    YResource* m_savedFont = nullptr;
};

}  // namespace

TEST_F(ConsoleDisplay, ARestartTypedInTheConsoleGivesItsContextALiveSurface)
{
    ASSERT_NE(m_engine->m_interpreter, nullptr);
    const DWORD width = m_graphics->m_back->GetWidth();
    const int contexts = static_cast<int>(m_graphics->m_surfaceContexts.GetCount());
    FixedFont font(6, 10);
    RestartingConsole console(m_graphics);
    RestartCounter counter;
    m_graphics->AddDisplayClient(&counter);
    PressF2(console, font);
    m_graphics->RemoveDisplayClient(&counter);

    ASSERT_EQ(console.m_passes, 2);
    EXPECT_EQ(counter.m_restarts, 1);
    EXPECT_EQ(console.m_registered, (std::vector<bool>{true, true}));
    // Drawn on the back surface, then on the surface the context got after
    // the restart; the frames drawn meanwhile draw it above the layers too.
    EXPECT_GE(console.m_drawnWidths.size(), 2u);
    EXPECT_EQ(console.m_drawnWidths, std::vector<DWORD>(console.m_drawnWidths.size(), width));
    EXPECT_EQ(m_graphics->m_started, 1);
    EXPECT_EQ(static_cast<int>(m_graphics->m_surfaceContexts.GetCount()), contexts);
    EXPECT_FALSE(console.IsModal());
}

TEST_F(ConsoleDisplay, TheConsoleCoversHalfTheClientAreaWithTheFontsBitsCleared)
{
    RECT client;
    ASSERT_TRUE(GetClientRect(m_frame->m_hWnd, &client));
    ASSERT_EQ(client.bottom - client.top, 480);
    struct Case {
        int fontHeight;
        LONG bottom;  // (240 + h) with the bits of h cleared
    } cases[] = {{10, 240}, {16, 256}, {20, 256}, {13, 240}};
    for (const Case& c : cases) {
        FixedFont font(6, c.fontHeight);
        RestartingConsole console(m_graphics);
        console.m_restart = false;
        PressF2(console, font);
        EXPECT_EQ(console.m_placed.top, 0) << c.fontHeight;
        EXPECT_EQ(console.m_placed.right, client.right) << c.fontHeight;
        EXPECT_EQ(console.m_placed.bottom, c.bottom) << c.fontHeight;
    }
}

TEST_F(ConsoleDisplay, WithoutAnInterfaceFontF2OpensNothing)
{
    RestartingConsole console(m_graphics);
    m_engine->m_console = &console;
    m_graphics->m_font = nullptr;
    YMsgHandler handler;
    handler.OpenConsole(m_frame);
    m_engine->m_console = m_savedConsole;
    EXPECT_EQ(console.m_passes, 0);
}

TEST_F(ConsoleDisplay, EachModalStepPutsTheConsoleLastAmongTheInterfacesWindows)
{
    ASSERT_NE(m_engine->m_interfaceMgr, nullptr);
    YWindow* root = m_engine->m_interfaceMgr->GetRootWindow();
    RestartingConsole console(m_graphics);
    YWindow later, elsewhere;
    m_engine->m_console = &console;
    console.SetParent(root);
    later.SetParent(root);
    ASSERT_EQ(root->GetChild(root->GetChildCount() - 1), &later);
    ModalStep();
    EXPECT_EQ(root->GetChild(root->GetChildCount() - 1), &console);

    // A console hung elsewhere stays where it is.
    console.SetParent(&elsewhere);
    ModalStep();
    EXPECT_EQ(console.GetParent(), &elsewhere);
    EXPECT_EQ(root->GetChild(root->GetChildCount() - 1), &later);
    console.SetParent(nullptr);
    later.SetParent(nullptr);
    m_engine->m_console = m_savedConsole;
}

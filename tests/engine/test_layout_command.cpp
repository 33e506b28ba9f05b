// LAYOUT: action characters, layers with handlers, scripts from files,
// sections and the engine's collections, texture layouts, ordering and the
// debug-textures switch.
#include "engine/EngineCommandsFixture.h"
#include "engine/YEngineCommands.h"

namespace {
class LayoutCommand : public EngineCommandsTest {
protected:
    void SetUp() override
    {
        EngineCommandsTest::SetUp();
        m_scratch->Write("menu.scr", "button play\n");
        m_scratch->Write("screens.scr", "main {\nbutton start\n}\noptions\n{\nslider volume}\n");
        m_settings.SetAt(178, "hud_script", "from settings", 0);
        m_values.SetAt(2, "message_box", "from values", 0);
        m_layoutValues.SetAt(1, "score_box", "from layout values", 0);
    }

    // The manager's layouts, back to front: "layer(handler) flags [script]"
    // or "#id ..." for a texture layout.
    static std::string Layouts(const YInterfaceMgr& manager)
    {
        std::string text;
        for (const YInterfaceMgr::ActiveLayout& layout : manager.GetLayouts()) {
            if (!text.empty()) text += "; ";
            text += layout.texture ? "#" + std::to_string(layout.textureId) : std::string((const char*)layout.layer);
            text += "(" + std::string((const char*)layout.handler) + ") " + std::to_string(layout.flags) + " [" +
                    std::string((const char*)layout.script) + "]";
        }
        return text;
    }
};
}  // namespace

TEST_F(LayoutCommand, ActionsLayersAndScripts)
{
    struct Case {
        const char* before;  // run first, ";" separated
        const char* line;
        const char* layouts;
    };
    const Case cases[] = {
        {"", "layout s screen:mainmenu menu.scr", "screen(mainmenu) 1 [button play]"},
        {"", "LAYOUT SM dialog menu.scr", "dialog() 3 [button play]"},
        // h is tested after s: both together hide.
        {"", "layout sh screen menu.scr", ""},
        {"", "layout hs screen menu.scr", ""},
        {"layout s screen menu.scr", "layout h screen", ""},
        {"layout s screen menu.scr", "layout sh screen menu.scr", ""},
        {"layout s screen menu.scr", "layout s screen:other screens.scr:options", "screen(other) 1 [slider volume]"},
        {"", "layout s screen screens.scr:MAIN", "screen() 1 [button start]"},
        {"", "layout s screen missing.scr", "screen() 1 []"},
        // Without a file of that name the first "name.*" serves.
        {"", "layout s screen menu", "screen() 1 [button play]"},
        {"", "layout st 231 setting 178", "#231() 1 [from settings]"},
        {"", "layout s box string 2", "box() 1 [from values]"},
        {"", "layout s box LAYOUT 1", "box() 1 [from layout values]"},
        {"", "layout s box setting 999", "box() 1 []"},
        {"layout st 231 setting 178", "layout t 231", ""},
        {"layout s one menu.scr;layout s two menu.scr", "layout f one", "two() 1 [button play]; one() 1 [button play]"},
        {"layout s one menu.scr;layout s two menu.scr", "layout b two", "two() 1 [button play]; one() 1 [button play]"},
        // Front wins over back, and nothing else happens.
        {"layout s one menu.scr;layout s two menu.scr", "layout fbs one screens.scr:main",
         "two() 1 [button play]; one() 1 [button play]"},
        {"layout s one menu.scr;layout s two menu.scr", "layout f three", "one() 1 [button play]; two() 1 [button play]"},
        // No layer: nothing.
        {"", "layout s", ""},
        {"", "layout s :handler menu.scr", ""},
        {"", "layout s screen :main", "screen() 1 []"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        YInterfaceMgr manager(nullptr);
        m_engine->m_interfaceMgr = &manager;
        std::string before = c.before;
        if (!before.empty()) Run(before);
        EXPECT_EQ("", Run(c.line));
        EXPECT_EQ(c.layouts, Layouts(manager));
        EXPECT_EQ(0, manager.m_debugTextures);
        m_engine->m_interfaceMgr = &m_manager;
    }
}

TEST_F(LayoutCommand, DebugTexturesToggle)
{
    Run("layout d");
    EXPECT_EQ(1, m_manager.m_debugTextures);
    Run("layout SD screen menu.scr");
    EXPECT_EQ(0, m_manager.m_debugTextures);
    EXPECT_EQ("screen() 1 [button play]", Layouts(m_manager));
}

TEST_F(LayoutCommand, LongScriptsArriveWhole)
{
    // Files past the first buffer, a section of one, and a long collection value.
    // The reader joins the lines of a file without their line ends.
    std::string lines, body;
    for (int i = 0; body.size() < 20000; ++i) {
        lines += " item " + std::to_string(i) + "\n";
        body += " item " + std::to_string(i);
    }
    m_scratch->Write("big.scr", lines);
    m_scratch->Write("sections.scr", "small {\nx\n}\nbig {\n" + lines + "}\nafter {\ny\n}\n");
    m_settings.SetAt(3, "long_script", body.c_str(), 0);

    Run("layout s a big.scr");
    Run("layout s b sections.scr:big");
    Run("layout s c setting 3");
    ASSERT_NE(nullptr, m_manager.FindLayout("a"));
    EXPECT_EQ(body, std::string((const char*)m_manager.FindLayout("a")->script));
    EXPECT_EQ(body, std::string((const char*)m_manager.FindLayout("b")->script));
    EXPECT_EQ(body, std::string((const char*)m_manager.FindLayout("c")->script));
}

TEST_F(LayoutCommand, ScriptsPastTheLimitAreRefused)
{
    // The largest script the reader takes into the largest buffer (it keeps
    // one byte beyond the terminator free), and one byte more.
    const std::string fits(static_cast<size_t>(LayoutScriptLimit) - 2, 'x');
    m_scratch->Write("fits.scr", fits + "\n");
    m_scratch->Write("huge.scr", fits + "x\n");

    EXPECT_EQ("", Run("layout s a fits.scr"));
    ASSERT_NE(nullptr, m_manager.FindLayout("a"));
    EXPECT_EQ(fits.size(), static_cast<size_t>(m_manager.FindLayout("a")->script.GetLength()));
    EXPECT_EQ("Layout script huge.scr is too large.", Run("layout s b huge.scr"));
    EXPECT_EQ(nullptr, m_manager.FindLayout("b"));
}

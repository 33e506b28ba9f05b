// LAYOUT: action characters, layers with handlers, scripts from files,
// sections and the engine's collections, texture layouts, ordering and the
// debug-textures switch.
#include "engine/EngineCommandsFixture.h"
#include "engine/YEngineCommands.h"
#include "gui/YLayout.h"

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

    // The manager's layouts, back to front: "layer(handler) flags [script]",
    // then "#id ..." for the texture layouts.
    static std::string Layouts(const YInterfaceMgr& manager)
    {
        std::string text;
        auto add = [&](const YActiveLayout* record, const std::string& name) {
            if (!text.empty()) text += "; ";
            text += name + "(" + std::string((const char*)record->m_handler) + ") " + std::to_string(record->m_flags) +
                    " [" + std::string((const char*)record->m_layout->GetScript()) + "]";
        };
        for (POSITION at = manager.GetScreenLayers().GetHeadPosition(); at;) {
            const YActiveLayout* record = static_cast<const YActiveLayout*>(manager.GetScreenLayers().GetNext(at));
            add(record, (const char*)record->m_layer);
        }
        for (POSITION at = manager.GetTextureLayers().GetHeadPosition(); at;) {
            const YTextureLayout* record = static_cast<const YTextureLayout*>(manager.GetTextureLayers().GetNext(at));
            add(record, "#" + std::to_string(record->m_textureId));
        }
        return text;
    }
    static std::string ScriptOf(const YInterfaceMgr& manager, const char* layer)
    {
        const YActiveLayout* record = manager.FindLayout(layer);
        return record ? std::string((const char*)record->m_layout->GetScript()) : std::string("(none)");
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
        YAppInterfaceFactory factory;
        YInterfaceMgr manager(&factory);
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
    EXPECT_EQ(body, ScriptOf(m_manager, "a"));
    EXPECT_EQ(body, ScriptOf(m_manager, "b"));
    EXPECT_EQ(body, ScriptOf(m_manager, "c"));
}

TEST_F(LayoutCommand, ScriptsPastTheLimitAreRefused)
{
    // The largest script the reader takes into the largest buffer (it keeps
    // one byte beyond the terminator free), and one byte more.
    const std::string fits(static_cast<size_t>(LayoutScriptLimit) - 2, 'x');
    m_scratch->Write("fits.scr", fits + "\n");
    m_scratch->Write("huge.scr", fits + "x\n");

    EXPECT_EQ("", Run("layout s a fits.scr"));
    EXPECT_EQ(fits.size(), ScriptOf(m_manager, "a").size());
    EXPECT_EQ("Layout script huge.scr is too large.", Run("layout s b huge.scr"));
    EXPECT_EQ(nullptr, m_manager.FindLayout("b"));
}

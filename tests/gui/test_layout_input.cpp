// Player input reaching layouts as the game's pump delivers it: keys from the
// window system to an edit field, whose Enter and Escape become commands
// while the key is down; and points going to the layer drawn on top.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "LayoutFixture.h"
#include "MessagePump.h"
#include "gui/YDC.h"
#include "gui/YEditBox.h"
#include "gui/YLayoutGroup.h"
#include "gui/YLayoutItemEdit.h"
#include "platform/backend/Backend.h"
#include "platform/win32_window.h"

namespace {

// The edit box an edit item of the layout would make, with its record.
YEditBox* AddEditBox(TestLayout& layout, int index, const char* command, const char* text)
{
    const YLayoutGroup* root = static_cast<const YLayoutGroup*>(layout.GetItems().GetHead());
    YLayoutItemEdit* item = dynamic_cast<YLayoutItemEdit*>(root->GetChild(index));
    if (!item) return nullptr;
    YLayoutResSet* set = layout.GetResourceSet();
    YEditBox* box = new YEditBox;
    RECT r = {10, 10 + 30 * index, 300, 30 + 30 * index};
    box->Create(0, &r, layout.GetControlParent(), item->m_context + set->m_baseNumber);
    box->SetName(text);
    YLayoutRes* record = set->Add(layout.GetEditBoxList(), "", box, item);
    record->m_command = command;
    return box;
}

}  // namespace

TEST(LayoutInput, EnterAndEscapeInAnEditFieldBecomeCommands)
{
    struct Case {
        const char* what;
        const char* script;
        const char* command;  // the record's command text
        bool hideOnEnter;
        int key, scanCode;
        const char* ran;       // every command run, "" for none
        const char* textAfter;
        bool visibleAfter;
        const char* typed = nullptr;  // the field's text; "Ace", or "quit" without a command
        bool tapped = false;          // press and release reach the queue together
    };
    const Case cases[] = {
        {"enter runs the command with the typed text", "edit:3(x)", "name", true, VK_RETURN, 0x1C, "name <Ace>", "Ace",
         false},
        {"no command text: the typed text never runs alone", "edit:3(x)", "", true, VK_RETURN, 0x1C, "", "quit",
         false},
        {"no command text, kept on screen", "edit:3(x)", "", false, VK_RETURN, 0x1C, "", "quit", true},
        {"escape empties the field and leaves", "edit:3(x)", "name", true, VK_ESCAPE, 0x01, "+exit", "", true},
        {"an editfield gives no command", "editfield:3(x)", "name", true, VK_RETURN, 0x1C, "", "Ace", true},
        {"other keys give none", "edit:3(x)", "name", true, VK_HOME, 0x47, "", "Ace", true},
        // The text is the command's one last argument, whatever it holds.
        {"a ';' in the text is no command", "edit:3(x)", "set sys_opponent", true, VK_RETURN, 0x1C,
         "set sys_opponent <Ace;quit>", "Ace;quit", false, "Ace;quit"},
        {"quotes and blanks stay in the text", "edit:3(x)", "name", true, VK_RETURN, 0x1C, "name < \"A\" ;b >",
         " \"A\" ;b ", false, " \"A\" ;b "},
        // A tap within one frame: the key is up before its messages are read.
        {"a quick enter still runs", "edit:3(x)", "name", true, VK_RETURN, 0x1C, "name <Ace>", "Ace", false, nullptr,
         true},
        {"a quick escape still leaves", "edit:3(x)", "name", true, VK_ESCAPE, 0x01, "+exit", "", true, nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GuiMessagePump pump("LayoutInput");
        YWindow root;
        RECT screen = {0, 0, 640, 480};
        root.MoveTo(&screen);
        TestLayout* layout = new TestLayout;
        layout->Create(0, "hiscore", 0, &screen, &root, 0, 0);
        layout->SetScript(c.script);
        YEditBox* box = AddEditBox(*layout, 0, c.command, c.typed ? c.typed : *c.command ? "Ace" : "quit");
        ASSERT_NE(nullptr, box);
        const YLayoutGroup* items = static_cast<const YLayoutGroup*>(layout->GetItems().GetHead());
        static_cast<YLayoutItemEdit*>(items->GetChild(0))->m_hideOnEnter = c.hideOnEnter ? 1 : 0;
        // The player clicks into the field and presses the key.
        root.HandleMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
        root.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
        ASSERT_EQ(box, YWindow::GetFocusWindow());
        layout->m_commands.clear();
        layout->m_keyboard.clear();
        pump.Key(c.key, c.scanCode, true);
        if (!c.tapped) pump.Deliver(root);
        pump.Key(c.key, c.scanCode, false);
        pump.Deliver(root);

        if (*c.ran) {
            // The key and the character it makes both notify; the command
            // runs once a press.
            EXPECT_EQ(std::vector<std::string>{c.ran}, layout->m_commands);
        } else {
            EXPECT_TRUE(layout->m_commands.empty()) << layout->m_commands.front();
        }
        CString text;
        box->GetName(text);
        EXPECT_STREQ(c.textAfter, text);
        EXPECT_EQ(c.visibleAfter, box->m_visible != 0);
        const bool keyboardBack = std::string(c.script).rfind("edit:", 0) == 0 &&
                                  (c.key == VK_RETURN || c.key == VK_ESCAPE);
        EXPECT_EQ(keyboardBack, !layout->m_keyboard.empty() && layout->m_keyboard.front());
        // Once the key is up, the field's notifications run nothing.
        layout->m_commands.clear();
        box->m_visible = 1;
        root.HandleMessage(WM_CHAR, 'z', 1);
        EXPECT_TRUE(layout->m_commands.empty());
    }
}

TEST(LayoutInput, APointGoesToTheLayerDrawnOnTop)
{
    // The interface manager's layers: layouts on one shared set, children of
    // one window, the last drawn in front.
    YLayoutResSet shared;
    YWindow manager;
    RECT screen = {0, 0, 640, 480};
    manager.MoveTo(&screen);
    TestLayout* back = new TestLayout;
    TestLayout* front = new TestLayout;
    RECT backRect = {0, 0, 640, 480}, frontRect = {100, 100, 300, 300};
    back->SetResourceSet(&shared);
    front->SetResourceSet(&shared);
    back->Create(0, "back", 0, &backRect, &manager, 0, 0);
    front->Create(0, "front", 0, &frontRect, &manager, 0, 0);
    back->SetScript("probebutton:1(150,150,200,200,under)");
    front->SetScript("");
    YDC dc;
    manager.Draw(&dc);

    struct Case {
        int x, y;
        YWindow* hit;
    };
    // The back layer's button lies under the front layer, which takes the
    // point although it has no control there.
    YWindow* button = back->GetChild(0);
    ASSERT_NE(nullptr, button);
    const Case cases[] = {{160, 160, front}, {50, 50, back}, {299, 299, front}, {300, 300, back}, {700, 5, nullptr}};
    for (const Case& c : cases) EXPECT_EQ(c.hit, manager.ChildFromPoint(c.x, c.y, 0)) << c.x << "," << c.y;
    manager.HandleMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(160, 160));
    manager.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(160, 160));
    EXPECT_TRUE(back->m_commands.empty());
    EXPECT_EQ(front, YWindow::GetFocusWindow());

    // Brought to the front, the back layer takes the click on its button.
    back->BringToFront();
    EXPECT_EQ(button, manager.ChildFromPoint(160, 160, 0));
    manager.HandleMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(160, 160));
    manager.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(160, 160));
    EXPECT_EQ((std::vector<std::string>{"under"}), back->m_commands);
    EXPECT_EQ(button, YWindow::GetFocusWindow());
    EXPECT_EQ(back, manager.ChildFromPoint(250, 250, 0)) << "the whole layer lies in front now";
    // A hidden layer is passed over.
    back->m_visible = 0;
    EXPECT_EQ(front, manager.ChildFromPoint(160, 160, 0));
    for (TestLayout* layout : {back, front}) layout->DetachChildren();
}

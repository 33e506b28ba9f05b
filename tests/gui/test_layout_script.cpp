// The layout script language: tokens, contexts, quotes, blocks and their
// ends, item kinds and their arguments, conditions, block rectangles, and a
// layout read from a script file that routes a click to its control.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "LayoutFixture.h"
#include "ScratchFolder.h"
#include "gui/ReadScriptFile.h"
#include "gui/YDC.h"
#include "gui/YLayoutGroup.h"
#include "gui/YLayoutItemButton.h"
#include "gui/YLayoutItemDraw.h"
#include "gui/YLayoutItemEdit.h"
#include "gui/YLayoutItemImage.h"
#include "gui/YLayoutItemMake.h"
#include "gui/YLayoutItemMiscWindow.h"
#include "gui/YLayoutItemSlider.h"
#include "gui/YLayoutItemSprite.h"
#include "gui/YLayoutTokenizer.h"
#include "gui/YEditBox.h"
#include "gui/YSlider.h"
#include "platform/win32_window.h"

namespace {

// "Class:kind@context r[arg|arg]{children}" of every item, blank separated.
std::string Describe(const YLayoutItem* item)
{
    std::string text = item->GetRuntimeClass()->m_lpszClassName;
    text = text.substr(std::string("YLayout").size());
    int kind = -1;
    if (auto* i = dynamic_cast<const YLayoutItemDraw*>(item)) kind = i->m_kind;
    if (auto* i = dynamic_cast<const YLayoutItemImage*>(item)) kind = i->m_kind;
    if (auto* i = dynamic_cast<const YLayoutItemEdit*>(item)) kind = i->m_kind;
    if (auto* i = dynamic_cast<const YLayoutItemMiscWindow*>(item)) kind = i->m_kind;
    if (auto* i = dynamic_cast<const YLayoutItemSprite*>(item)) kind = i->m_kind;
    if (auto* i = dynamic_cast<const YLayoutItemMake*>(item)) kind = i->m_kind;
    if (auto* i = dynamic_cast<const YLayoutItemButton*>(item)) kind = i->m_text * 16 + i->m_buttonStyle;
    if (auto* g = dynamic_cast<const YLayoutGroup*>(item)) kind = g->m_blockKind;
    if (kind >= 0) text += ":" + std::to_string(kind);
    if (item->m_context != -1) text += "@" + std::to_string(item->m_context);
    if (item->m_trailingR) text += " r";
    text += "[";
    for (int i = 0; i < item->GetArgCount(); ++i) text += (i ? "|" : "") + std::string((const char*)item->GetArg(i));
    text += "]";
    if (auto* g = dynamic_cast<const YLayoutGroup*>(item)) {
        text += "{";
        for (int i = 0; i < g->GetChildCount(); ++i) text += (i ? " " : "") + Describe(g->GetChild(i));
        text += "}";
    }
    return text;
}

// The root group's children.
std::string Parsed(TestLayout& layout, const char* script)
{
    layout.SetScript(script);
    if (layout.GetItems().GetCount() != 1) return "no root";
    const YLayoutGroup* root = static_cast<const YLayoutGroup*>(layout.GetItems().GetHead());
    std::string text;
    for (int i = 0; i < root->GetChildCount(); ++i) text += (i ? " " : "") + Describe(root->GetChild(i));
    return text;
}

}  // namespace

TEST(LayoutScript, TokensContextsQuotesAndArguments)
{
    std::string fifty;
    for (int i = 0; i < 60; ++i) fifty += std::to_string(i) + ",";
    std::string first50;
    for (int i = 0; i < 50; ++i) first50 += (i ? "|" : "") + std::to_string(i);
    struct Case {
        std::string script;
        std::string tree;
    };
    const Case cases[] = {
        {"img:3(a,b,c)", "ItemImage:0@3[a|b|c]"},
        {"IMG(a)", "ItemImage:0[a]"},
        {"img (a)  img\t(b)", "ItemImage:0[a] ItemImage:0[b]"},
        {"imgr(a)", "ItemImage:0 r[a]"},
        {"buttonR(x)", "ItemButton:0 r[x]"},
        {"fontr(x)", ""},
        {"string(\"a,b\", c)", "ItemDraw:0[\"a,b\"|c]"},
        {"string(\"f(x) y\",z) img(q)", "ItemDraw:0[\"f(x) y\"|z] ItemImage:0[q]"},
        {"string(\"never closed) img(q)", "ItemDraw:0[\"never closed) img(q]"},
        {"group(,1,2,3,4)", "Group:0[1|2|3|4]{}"},
        {"rect(1,,2)", "ItemDraw:6[1|2]"},
        {"img a b(c)", "ItemImage:0[a b]"},
        {"img:2", "ItemImage:0@2[]"},
        {"img(" + fifty + ")", "ItemImage:0[" + first50 + "]"},
        {"unknown(a) img(b)", "ItemImage:0[b]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        TestLayout layout;
        EXPECT_EQ(c.tree, Parsed(layout, c.script.c_str()));
    }
}

namespace {
// Its game item parses another layout's script while its own parse runs, as
// a resolver or a nested layout would.
class NestingLayout : public TestLayout {
public:
    YLayoutItem* CreateAppItem(const char* token) override
    {
        if (_stricmp(token, "nested") == 0) m_inner.SetScript("img(i1) group(1,2,3,4) img(i2) endgroup");
        return TestLayout::CreateAppItem(_stricmp(token, "nested") == 0 ? "probe" : token);
    }
    TestLayout m_inner;
};
}  // namespace

TEST(LayoutScript, ParsesNestWithoutSharingTheirPlace)
{
    NestingLayout outer;
    EXPECT_EQ("ItemImage:0[a] Item[x|y] ItemImage:0[b]", Parsed(outer, "img(a) nested(x,y) img(b)"));
    const YLayoutGroup* inner = static_cast<const YLayoutGroup*>(outer.m_inner.GetItems().GetHead());
    ASSERT_NE(nullptr, inner);
    std::string text;
    for (int i = 0; i < inner->GetChildCount(); ++i) text += (i ? " " : "") + Describe(inner->GetChild(i));
    EXPECT_EQ("ItemImage:0[i1] Group:0[1|2|3|4]{ItemImage:0[i2]}", text);
    // Two tokenizers over one text keep their own places.
    YLayoutTokenizer one("a(b) c"), two("a(b) c");
    EXPECT_STREQ("a", one.Next(" ("));
    EXPECT_STREQ("a", two.Next(" ("));
    CString followers;
    EXPECT_STREQ("b", one.Next("()", &followers));
    EXPECT_STREQ(")", followers);
    EXPECT_STREQ("b)", two.Next(" ("));
    EXPECT_STREQ(" c", one.Next("()"));
    EXPECT_STREQ("", one.Next("()"));
    EXPECT_TRUE(one.AtEnd());
}

TEST(LayoutScript, EveryItemKeywordMakesItsKind)
{
    TestLayout layout;
    EXPECT_EQ("ItemMake:0[x] ItemMake:1[x] ItemMake:2[x] ItemMake:3[x] ItemMake:4[x] ItemMake:5[x] ItemDraw:0[x] "
              "ItemDraw:1[x] ItemDraw:2[x] ItemDraw:3[x] ItemDraw:4[x] ItemDraw:5[x] ItemEdit:0[x] ItemEdit:1[x] "
              "ItemMiscWindow:0[x] ItemMiscWindow:2[x] ItemMiscWindow:1[x] ItemImage:0[x] ItemImage:1[x] "
              "ItemImage:2[x] ItemImage:3[x] ItemImage:4[x] ItemButton:0[x] ItemButton:4[x] ItemButton:2[x] "
              "ItemButton:16[x] ItemButton:20[x] ItemButton:18[x] ItemSlider[x] ItemDraw:6[x] ItemDraw:7[x] "
              "ItemDraw:8[x] ItemDraw:9[x] ItemSprite:1[x] ItemSprite:0[x]",
              Parsed(layout, "makebutton(x) makebuttonwithfont(x) makefontbutton(x) makefont(x) makesprite(x) "
                             "makeslider(x) string(x) cstring(x) rstring(x) istring(x) bstring(x) bstringtick(x) "
                             "edit(x) editfield(x) textfield(x) listctrl(x) listbox(x) img(x) imgtile(x) imgdial(x) "
                             "imgscale(x) imgstretch(x) button(x) radiobutton(x) checkbutton(x) textbutton(x) "
                             "textradiobutton(x) textcheckbutton(x) slider(x) rect(x) framerect(x) grid(x) line(x) "
                             "dial(x) anim(x)"));
    const YLayoutGroup* root = static_cast<const YLayoutGroup*>(layout.GetItems().GetHead());
    const auto* slider = dynamic_cast<const YLayoutItemSlider*>(root->GetChild(28));
    ASSERT_NE(nullptr, slider);
    EXPECT_EQ((std::vector<int>{1, 100, 1, 1}),
              (std::vector<int>{slider->m_minimum, slider->m_maximum, slider->m_step, slider->m_value}));
    for (int i = 0; i < root->GetChildCount(); ++i) {
        EXPECT_EQ(root, root->GetChild(i)->m_parentGroup);
        EXPECT_EQ(&layout, root->GetChild(i)->m_layout);
    }
}

TEST(LayoutScript, BlocksNestAndAnyEndClosesTheInnermost)
{
    struct Case {
        const char* script;
        const char* tree;
    };
    const Case cases[] = {
        {"group(0,0,9,9) img(a) endgroup img(b)", "Group:0[0|0|9|9]{ItemImage:0[a]} ItemImage:0[b]"},
        {"fontwin(arial,120) img(a) endfont img(b)", "Group:5[arial|120]{ItemImage:0[a]} ItemImage:0[b]"},
        {"group(1,2,3,4) img(a) endif img(b)", "Group:0[1|2|3|4]{ItemImage:0[a]} ItemImage:0[b]"},
        {"endgroup endif img(a)", "ItemImage:0[a]"},
        {"if(x >= 3) depth(2) img(a) enddepth endif", "Group:1[x|>=|3]{Group:2[2]{ItemImage:0[a]}}"},
        {"if(a > b < c)", "Group:1[a|>|b|<|c]{}"},
        {"if(a,b)", "Group:1[a,b]{}"},
        {"if(a && b) cache:4(n,1,2,3) font(f,2) img(a)", "Group:1[a|&&|b]{Group:3@4[n|1|2|3]{"
                                                         "Group:4[f|2]{ItemImage:0[a]}}}"},
        {"if(a<=b) endif if(a|b) endif if(a||b)", "Group:1[a|<=|b]{} Group:1[a|||b]{} "
                                                  "Group:1[a||||b]{}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        TestLayout layout;
        EXPECT_EQ(c.tree, Parsed(layout, c.script));
    }
}

namespace {
// Blocks from the root down along the first child of each.
int BlockDepth(TestLayout& layout)
{
    int depth = 0;
    const YLayoutItem* item = static_cast<const YLayoutItem*>(layout.GetItems().GetHead());
    for (auto* g = dynamic_cast<const YLayoutGroup*>(item); g && g->GetChildCount() > 0;
         g = dynamic_cast<const YLayoutGroup*>(g->GetChild(0)))
        depth += dynamic_cast<const YLayoutGroup*>(g->GetChild(0)) ? 1 : 0;
    return depth;
}

std::string NestedIfs(int count, const char* inside)
{
    std::string script;
    for (int i = 0; i < count; ++i) script += " if(1)\r\n";
    return script + inside;
}
}  // namespace

TEST(LayoutScript, BlocksNestAsDeepAsTheLimitAndNoDeeper)
{
    struct Case {
        int ifs;
        int depth;     // blocks kept
        bool drawn;    // the probe inside the innermost block
        int messages;  // message boxes shown
    };
    const int limit = YLayout::kMaxBlockDepth;
    const Case cases[] = {
        {limit, limit, true, 0},
        {limit + 1, limit, false, 1},
        // 100,000 nested lines (800 KB) used to crash the game through LAYOUT.
        {100000, limit, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ifs);
        const int before = platform::MessageBoxCount();
        {
            TestLayout layout;
            layout.SetScript(NestedIfs(c.ifs, " probe(inner)").c_str());
            EXPECT_EQ(c.depth, BlockDepth(layout));
            YDC dc;
            layout.Draw(&dc);
            EXPECT_EQ(c.drawn ? 1u : 0u, layout.m_log.size());
            layout.ReloadAll();
        }
        EXPECT_EQ(before + c.messages, platform::MessageBoxCount());
        if (c.messages) {
            EXPECT_NE(nullptr, strstr(platform::LastMessageBox(), "nest deeper than 64"));
        }
    }
}

TEST(LayoutScript, AnUnclosedQuoteTakesTheRestInLinearTime)
{
    // 200 KB of parenthesised pieces after a quote that never closes: each
    // piece used to count the quotes of all the text before it (6 s).
    std::string tail;
    while (tail.size() < 200000) tail += " x(x)";
    const std::string script = "img(\"never closed, 20, 80)" + tail;
    TestLayout layout;
    const auto start = std::chrono::steady_clock::now();
    layout.SetScript(script.c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const YLayoutGroup* root = static_cast<const YLayoutGroup*>(layout.GetItems().GetHead());
    ASSERT_EQ(1, root->GetChildCount());
    const YLayoutItem* image = root->GetChild(0);
    ASSERT_EQ(1, image->GetArgCount());
    // All of it but the keyword and the last parenthesis.
    EXPECT_EQ(script.substr(4, script.size() - 5), std::string((const char*)image->GetArg(0)));
    EXPECT_LT(seconds, 2.0);
}

TEST(LayoutScript, ConditionsDrawHideOrSkipTheirBlocks)
{
    struct Case {
        const char* script;
        int depth;
        const char* log;
    };
    const Case cases[] = {
        {"if(3 >= 3) probe(a) endif", 0, "draw a"},
        {"if(2 >= 3) probe(a) endif", 0, "hide a"},
        {"if(2 > 3) probe(a) endif if(3 > 2) probe(b)", 0, "hide a,draw b"},
        {"if(2 == 2) probe(a) endif if(2 != 2) probe(b)", 0, "draw a,hide b"},
        {"if(1 < 2) probe(a) endif if(2 <= 1) probe(b)", 0, "draw a,hide b"},
        {"if(1 && 0) probe(a) endif if(1 || 0) probe(b)", 0, "hide a,draw b"},
        {"if(6 & 1) probe(a) endif if(0 | 0) probe(b)", 0, "hide a,hide b"},
        {"if(-1 < 0) probe(a)", 0, "draw a"},
        {"if(1) probe(a) endif if(0) probe(b) endif if(ten) probe(c)", 0, "draw a,hide b,draw c"},
        // Two operators: five arguments, always drawn.
        {"if(1 > 2 > 3) probe(a)", 0, "draw a"},
        // An operator the resolver turns into a text outside the table.
        {"if(1 != 2) probe(a)", 0, "hide a"},
        {"depth(5) probe(a)", 5, "draw a"},
        {"depth(5) probe(a) enddepth probe(b)", 4, "draw b"},
        {"group(0,0,1,1) font(none) fontwin(arial,100,1,2,3) probe(a)", 0, "draw a"},
        // A cache block without its surface draws nothing.
        {"cache(n,1,2,3) probe(a) endcache probe(b)", 0, "draw b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        TestLayout layout;
        layout.m_values["ten"] = 10;
        layout.m_texts["!="] = "=!";
        layout.SetDepth(c.depth);
        layout.SetScript(c.script);
        YDC dc;
        layout.Draw(&dc);
        std::string log;
        for (const std::string& line : layout.m_log) log += (log.empty() ? "" : ",") + line;
        EXPECT_EQ(c.log, log);
    }
}

TEST(LayoutScript, GroupRectanglesFollowTheirParentsAndOffsets)
{
    TestLayout layout;
    RECT where = {100, 50, 740, 530};
    layout.MoveTo(&where);
    layout.SetScript("group(10,20,110,120) group(1,2,3,4,7,8) probe(a) endgroup if(1) group(5,5,6,6)");
    YDC dc;
    layout.Draw(&dc);
    const YLayoutGroup* root = static_cast<const YLayoutGroup*>(layout.GetItems().GetHead());
    auto* outer = static_cast<YLayoutGroup*>(root->GetChild(0));
    auto* inner = static_cast<YLayoutGroup*>(outer->GetChild(0));
    auto* condition = static_cast<YLayoutGroup*>(outer->GetChild(1));
    auto* last = static_cast<YLayoutGroup*>(condition->GetChild(0));
    RECT r;
    EXPECT_TRUE(EqualRect(const_cast<YLayoutGroup*>(root)->GetRect(&dc, &r), &where));
    RECT expected = {110, 70, 210, 170};
    EXPECT_TRUE(EqualRect(outer->GetRect(&dc, &r), &expected));
    expected = RECT{111, 72, 113, 74};
    EXPECT_TRUE(EqualRect(inner->GetRect(&dc, &r), &expected));
    EXPECT_EQ(7, inner->m_offsetX);
    EXPECT_EQ(8, inner->m_offsetY);
    EXPECT_EQ(0, outer->m_offsetX);
    // An if block draws in its parent's rectangle.
    expected = RECT{110, 70, 210, 170};
    EXPECT_TRUE(EqualRect(condition->GetRect(&dc, &r), &expected));
    expected = RECT{115, 75, 116, 76};
    EXPECT_TRUE(EqualRect(last->GetRect(&dc, &r), &expected));
}

TEST(Layout, DrawsRefreshesOnceAndHiddenTouchesNothing)
{
    TestLayout layout;
    layout.SetScript("probe(a) probe(b)");
    EXPECT_EQ((std::vector<bool>{true}), layout.m_keyboard);
    YDC dc;
    layout.m_visible = 0;
    layout.m_groupTime = 77;
    EXPECT_EQ(0, layout.Draw(&dc));
    EXPECT_EQ(77, layout.m_groupTime);
    EXPECT_EQ(0, layout.m_refreshes);
    layout.m_visible = 1;
    layout.Draw(&dc);
    layout.Draw(&dc);
    EXPECT_EQ(1, layout.m_refreshes);
    EXPECT_EQ((std::vector<std::string>{"draw a", "draw b", "draw a", "draw b"}), layout.m_log);
    // Setting the script again replaces the tree.
    layout.SetScript("probe(c)");
    layout.m_log.clear();
    layout.Draw(&dc);
    EXPECT_EQ((std::vector<std::string>{"draw c"}), layout.m_log);
}

TEST(Layout, ScriptFromAFileRoutesAClickToTheControlOnTop)
{
    ScratchFolder scratch(ScratchFolder::Enter);
    scratch.Write("screens.scr", "main {\r\n"
                                 "  probebutton:1(10,10,100,100,first)\r\n"
                                 "  probebutton:2(50,50,150,150,second) // drawn on top\r\n"
                                 "  probebutton:3(200,200,220,220,)\r\n"
                                 "}\r\n");
    std::vector<char> buffer(4096);
    ASSERT_EQ(ScriptRead, ReadScriptSection("screens.scr", "main", buffer.data(), 4096, true));

    YWindow root;
    RECT screen = {0, 0, 640, 480};
    root.MoveTo(&screen);
    // As the interface manager opens it: on a shared resource set.
    YLayoutResSet shared;
    TestLayout* layout = new TestLayout;
    layout->SetResourceSet(&shared);
    layout->Create(0, "main", 0, &screen, &root, 0, 0);
    layout->SetScript(buffer.data());
    YDC dc;
    root.Draw(&dc);
    ASSERT_EQ(3, layout->GetChildCount());

    struct Case {
        int x, y;
        const char* command;  // "" for none
        int focus;            // id of the focus window, -1 for the layout
    };
    const Case cases[] = {
        {20, 20, "first", 1},
        {60, 60, "second", 2},  // both hold the point
        {140, 140, "second", 2},
        {210, 210, "", 3},      // no command text: nothing runs
        {300, 300, "", -1},     // no control: the layout's own rectangle
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        layout->m_commands.clear();
        root.HandleMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        root.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
        YWindow* focus = YWindow::GetFocusWindow();
        ASSERT_NE(nullptr, focus);
        EXPECT_EQ(c.focus, focus == layout ? -1 : focus->GetId());
        EXPECT_EQ(std::string(c.command).empty() ? std::vector<std::string>{}
                                                 : std::vector<std::string>{c.command},
                  layout->m_commands);
    }
    // On a shared set the control's click sound is not copied.
    EXPECT_EQ(0, layout->m_clickSound);
    layout->DetachChildren();
    EXPECT_EQ(0, layout->GetChildCount());
    // The shared set still owns the controls and deletes them.
}

TEST(Layout, OnItsOwnSetALayoutCopiesTheClickSoundAndLetsPointsThrough)
{
    YWindow root;
    RECT screen = {0, 0, 640, 480};
    root.MoveTo(&screen);
    TestLayout* layout = new TestLayout;
    layout->Create(0, "own", 0, &screen, &root, 0, 0);
    layout->SetScript("probebutton:4(10,10,20,20,go)");
    YDC dc;
    root.Draw(&dc);
    root.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(15, 15));
    root.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(15, 15));
    EXPECT_EQ((std::vector<std::string>{"go"}), layout->m_commands);
    EXPECT_EQ(1, layout->m_clickSound);
    root.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(300, 300));
    EXPECT_EQ(&root, YWindow::GetFocusWindow());
}

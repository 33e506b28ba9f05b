// Control items: buttons, sliders, edit boxes and list windows that layout
// scripts place, configure and hide, and the commands their clicks, slides
// and keys become.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "LayoutItemFixture.h"
#include "MessagePump.h"
#include "gui/YButton.h"
#include "gui/YEditBox.h"
#include "gui/YLayoutItemButton.h"
#include "gui/YLayoutItemEdit.h"
#include "gui/YLayoutItemMiscWindow.h"
#include "gui/YLayoutItemSlider.h"
#include "gui/YLayoutRes.h"
#include "gui/YListBox.h"
#include "gui/YSlider.h"
#include "gui/YTextCtrl.h"
#include "gui/YToolTipCtrl.h"
#include "platform/backend/Backend.h"
#include "platform/win32_window.h"

namespace {

// A slider that counts how often it is moved.
class CtlCountingSlider : public YSlider {
public:
    void MoveTo(const RECT* rect) override
    {
        ++m_moves;
        YSlider::MoveTo(rect);
    }
    int m_moves = 0;
};

class CtlCountingEdit : public YEditBox {
public:
    void MoveTo(const RECT* rect) override
    {
        ++m_moves;
        YEditBox::MoveTo(rect);
    }
    int Draw(YDC* dc) override
    {
        ++m_draws;
        return YEditBox::Draw(dc);
    }
    int m_moves = 0, m_draws = 0;
};

// A layout over (0, 0, 200, 100) under a root window, with free controls
// of the given names waiting in its own resource set.
class ControlItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RECT screen = {0, 0, 640, 480};
        m_root.MoveTo(&screen);
        m_layout = new ItemLayout;
        RECT area = {0, 0, 200, 100};
        m_layout->Create(0, "controls", 0, &area, &m_root, 0, 0);
        YWindow::SetCaptureWindow(nullptr);
    }
    void TearDown() override { YWindow::SetCaptureWindow(nullptr); }

    YButton* AddButton(const char* name, int width = 20, int height = 10)
    {
        YButton* button = new YButton;
        RECT r = {0, 0, width, height};
        button->Create("", 0, &r, nullptr, 0);
        Set()->Add(m_layout->GetButtonList(), name, button, nullptr);
        return button;
    }
    template <class Slider = YSlider>
    Slider* AddSlider(const char* name)
    {
        Slider* slider = new Slider;
        RECT r = {0, 0, 1, 1};
        slider->Create("", 0, &r, nullptr, 0);
        Set()->Add(m_layout->GetSliderList(), name, slider, nullptr);
        return slider;
    }
    YLayoutResSet* Set() { return m_layout->GetResourceSet(); }
    YLayoutItem* Item(int index)
    {
        const YLayoutGroup* root = static_cast<const YLayoutGroup*>(m_layout->GetItems().GetHead());
        return root->GetChild(index);
    }
    YLayoutItem* Inner(int outer, int index) { return static_cast<YLayoutGroup*>(Item(outer))->GetChild(index); }
    void Frame() { m_layout->Draw(&m_dc); }
    static std::string Rect(YWindow* window)
    {
        RECT r;
        window->GetRect(&r);
        return CallLogDC::Rect(r);
    }
    static std::string Text(YWindow* window)
    {
        CString text;
        window->GetName(text);
        return (const char*)text;
    }

    YWindow m_root;
    ItemLayout* m_layout = nullptr;  // owned by the root
    CallLogDC m_dc;
};

// ------------------------------------------------------------------ placement

TEST_F(ControlItemTest, ButtonsArePlacedInTheirGroupEveryFrameAndShownOnlyWhollyInside)
{
    struct Case {
        const char* script;
        const char* rect;
        bool visible;
    } cases[] = {
        {"button(ok, 5, 6)", "5,6,25,16", true},
        {"group(10, 20, 110, 70) button(ok, 5, 6) endgroup", "15,26,35,36", true},
        {"group(10, 20, 110, 70, 7, 8) button(ok, 5, 6) endgroup", "22,34,42,44", true},
        {"group(10, 20, 110, 70) button(ok, 80, 40) endgroup", "90,60,110,70", true},
        // One pixel outside: moved all the same, but hidden.
        {"group(10, 20, 110, 70) button(ok, 81, 40) endgroup", "91,60,111,70", false},
        {"group(10, 20, 110, 70) button(ok, 80, 41) endgroup", "90,61,110,71", false},
        {"group(10, 20, 110, 70) button(ok, -1, 0) endgroup", "9,20,29,30", false},
        {"group(10, 20, 110, 70) textbutton(ok, Hi, 5, 6) endgroup", "15,26,35,36", true},
        {"group(10, 20, 110, 70) radiobutton(ok, 3, 5, 6) endgroup", "15,26,35,36", true},
        {"group(10, 20, 110, 70) textradiobutton(ok, Hi, 3, 5, 6) endgroup", "15,26,35,36", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        SetUp();
        YButton* button = AddButton("ok");
        m_layout->SetScript(c.script);
        Frame();
        EXPECT_EQ(c.rect, Rect(button));
        EXPECT_EQ(c.visible, button->m_visible != 0);
        EXPECT_EQ(m_layout, button->GetParent());
        // A hidden button is not hit.
        RECT r;
        button->GetRect(&r);
        EXPECT_EQ(c.visible, m_root.ChildFromPoint(r.left, r.top, 0) == button);
        delete m_layout;
    }
    m_layout = nullptr;
    SetUp();
}

TEST_F(ControlItemTest, AButtonFollowsItsPositionFromFrameToFrame)
{
    YButton* button = AddButton("ok");
    m_layout->m_values["x"] = 5;
    m_layout->SetScript("group(10, 20, 110, 70) button(ok, x, 6) endgroup");
    Frame();
    EXPECT_EQ("15,26,35,36", Rect(button));
    // The position is read at load: a reload picks the new value up.
    m_layout->m_values["x"] = 85;
    m_layout->ReloadAll();
    Frame();
    EXPECT_EQ("95,26,115,36", Rect(button));
    EXPECT_EQ(0, button->m_visible);
    // Moved by hand, it goes back to its place in the next frame.
    RECT elsewhere = {300, 300, 320, 310};
    button->MoveTo(&elsewhere);
    Frame();
    EXPECT_EQ("95,26,115,36", Rect(button));
}

TEST_F(ControlItemTest, SlidersEditsAndListWindowsMoveOnlyWhenTheirRectangleChanges)
{
    CtlCountingSlider* slider = AddSlider<CtlCountingSlider>("vol");
    m_layout->m_values["left"] = 10;
    m_layout->m_values["right"] = 60;
    m_layout->SetScript(
        "group(10, 20, 190, 90) sliderr(vol, left, 2, right, 12) editfield(0, 20, 80, 30) "
        "listbox(100, 0, 170, 40) endgroup");
    Frame();
    Frame();
    Frame();
    EXPECT_EQ(1, slider->m_moves);
    EXPECT_EQ("20,22,70,32", Rect(slider));
    EXPECT_EQ(1, slider->m_visible);
    YLayoutItemEdit* field = dynamic_cast<YLayoutItemEdit*>(Inner(0, 1));
    YLayoutItemMiscWindow* list = dynamic_cast<YLayoutItemMiscWindow*>(Inner(0, 2));
    ASSERT_TRUE(field && field->m_window && list && list->m_window);
    EXPECT_EQ("10,40,90,50", Rect(field->m_window));
    EXPECT_EQ("110,20,180,60", Rect(list->m_window));
    EXPECT_TRUE(list->m_window->IsKindOf(RUNTIME_CLASS(YListBox)));
    EXPECT_EQ(1, field->m_window->m_visible);
    EXPECT_EQ(1, list->m_window->m_visible);

    // A refreshed slider reads its rectangle every frame.
    m_layout->m_values["left"] = 140;
    m_layout->m_values["right"] = 190;
    Frame();
    Frame();
    EXPECT_EQ(2, slider->m_moves);
    EXPECT_EQ("150,22,200,32", Rect(slider));
    EXPECT_EQ(0, slider->m_visible) << "past the group's right edge";
}

// ------------------------------------------------------------------ arguments

TEST_F(ControlItemTest, ButtonArgumentsByKeyword)
{
    struct Case {
        const char* script;
        const char* name;
        const char* caption;
        int value, x, y;
        const char* command;
        const char* tip;
        int silent;
        int style;
    } cases[] = {
        {"button(ok, 5, 6, go, tip, 1)", "ok", "", 0, 5, 6, "go", "tip", 1, 0},
        {"button(ok, 5, 6)", "ok", "", 0, 5, 6, "", "", 0, 0},
        {"checkbutton(ok, 5, 6, go)", "ok", "", 0, 5, 6, "go", "", 0, 2},
        {"radiobutton(ok, 7, 5, 6, go, tip, 0)", "ok", "", 7, 5, 6, "go", "tip", 0, 4},
        {"textbutton(ok, Hello, 5, 6, go, tip, 1)", "ok", "Hello", 0, 5, 6, "go", "tip", 1, 0},
        {"textcheckbutton(ok, Hello, 5, 6)", "ok", "Hello", 0, 5, 6, "", "", 0, 2},
        // Six arguments: the sixth is the command.
        {"textradiobutton(ok, Hello, 7, 5, 6, go)", "ok", "Hello", 7, 5, 6, "go", "", 0, 4},
        {"textradiobutton(ok, Hello, 7, 5, 6, go, tip, 1)", "ok", "Hello", 7, 5, 6, "go", "tip", 1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        SetUp();
        YButton* button = AddButton("ok");
        // What an earlier screen left on the button.
        button->SetStyle(YWindow::kDisabledStyle | 0x10);
        button->SetCheck(true);
        m_layout->SetScript(c.script);
        Frame();
        YLayoutItemButton* item = dynamic_cast<YLayoutItemButton*>(Item(0));
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(button, item->m_window);
        EXPECT_STREQ(c.name, item->m_name);
        EXPECT_STREQ(c.caption, item->m_caption);
        EXPECT_EQ(c.value, item->m_value);
        EXPECT_EQ(c.x, item->m_x);
        EXPECT_EQ(c.y, item->m_y);
        EXPECT_STREQ(c.command, item->m_command);
        EXPECT_STREQ(c.tip, item->m_toolTip);
        EXPECT_EQ(c.silent, item->m_silent);
        // The window takes them.
        EXPECT_EQ(c.caption, Text(button));
        EXPECT_EQ(c.value, button->GetGroup());
        EXPECT_EQ(c.style, button->GetStyle());
        EXPECT_FALSE(button->IsDisabled());
        EXPECT_EQ(c.style == 4, button->IsChecked()) << "only a radio button keeps its check";
        EXPECT_EQ(c.silent ? 0 : 1, button->m_clickSound);
        EXPECT_STREQ(c.command, Set()->FindControlRecord(button)->m_command);
        YToolTipCtrl::Tip* tip = m_layout->GetToolTips()->FindTip(button);
        ASSERT_NE(nullptr, tip);
        EXPECT_STREQ(c.tip, tip->m_text);
        delete m_layout;
    }
    m_layout = nullptr;
    SetUp();
}

TEST_F(ControlItemTest, TooFewArgumentsReadNothing)
{
    struct Case {
        const char* script;
    } cases[] = {{"button(ok, 5)"}, {"slider(ok, 1, 2, 3)"}, {"edit(1, 1, 2, 3)"}, {"editfield(1, 2, 3)"},
                 {"textfield(1, 2, 3)"}, {"listbox(1, 2, 3)"}, {"listctrl(1, 2, 3)"}, {"button()"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        SetUp();
        AddButton("ok");
        AddSlider("ok");
        m_layout->SetScript(c.script);
        Frame();
        Frame();
        EXPECT_EQ(1, Item(0)->m_loaded);
        for (int list = 0; list < 4; ++list)
            for (POSITION at = Set()->m_controls[list].GetHeadPosition(); at;)
                EXPECT_EQ(nullptr, static_cast<YLayoutRes*>(Set()->m_controls[list].GetNext(at))->m_owner);
        delete m_layout;
    }
    m_layout = nullptr;
    SetUp();
}

TEST_F(ControlItemTest, SilentDisabledAndSelectedAreReadEveryFrame)
{
    struct Case {
        const char* script;
        bool keepsCheck;
    } cases[] = {
        // A push button goes up again when drawn without the mouse on it.
        {"button(ok, 5, 6, go, tip, s, d, sel)", false},
        {"checkbutton(ok, 5, 6, go, tip, s, d, sel)", true},
        {"radiobutton(ok, 1, 5, 6, go, tip, s, d, sel)", true},
        {"textbutton(ok, Hi, 5, 6, go, tip, s, d, sel)", false},
        {"textcheckbutton(ok, Hi, 5, 6, go, tip, s, d, sel)", true},
        // Six arguments at load, 7, 8 and 9 every frame.
        {"textradiobutton(ok, Hi, 1, 5, 6, go, tip, s, d, sel)", true},
    };
    // The first frame's purge checks a radio button when none is: start checked.
    struct Step {
        int s, d, sel;
    } steps[] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 1}, {1, 1, 0}, {0, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        SetUp();
        YButton* button = AddButton("ok");
        m_layout->SetScript(c.script);
        for (const Step& s : steps) {
            m_layout->m_values["s"] = s.s;
            m_layout->m_values["d"] = s.d;
            m_layout->m_values["sel"] = s.sel;
            Frame();
            EXPECT_EQ(s.s ? 0 : 1, button->m_clickSound);
            EXPECT_EQ(s.d != 0, button->IsDisabled());
            if (c.keepsCheck) {
                EXPECT_EQ(s.sel != 0, button->IsChecked());
            }
        }
        delete m_layout;
    }
    m_layout = nullptr;
    SetUp();
}

TEST_F(ControlItemTest, AButtonWithoutWindowShowsItsNameUnmoved)
{
    m_layout->SetScript("group(10, 20, 110, 70) button(nobutton, 5, 6) endgroup");
    Frame();
    EXPECT_EQ((std::vector<std::string>{"text 5,6 nobutton"}), m_dc.m_log);
}

TEST_F(ControlItemTest, SliderArgumentsAndDefaults)
{
    struct Case {
        const char* script;
        int minimum, maximum, step, value;
        const char* command;
    } cases[] = {
        {"slider(vol, 10, 20, 110, 30)", 1, 100, 1, 1, ""},
        {"slider(vol, 10, 20, 110, 30, setvol)", 1, 100, 1, 1, "setvol"},
        {"slider(vol, 10, 20, 110, 30, setvol, 0, 50, 5, 25)", 0, 50, 5, 25, "setvol"},
        // Set in this order: the value is clamped into the range.
        {"slider(vol, 10, 20, 110, 30, setvol, 10, 20, 2, 99)", 10, 20, 2, 20, "setvol"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        SetUp();
        YSlider* slider = AddSlider("vol");
        m_layout->SetScript(c.script);
        Frame();
        EXPECT_EQ(c.minimum, slider->GetMin());
        EXPECT_EQ(c.maximum, slider->GetMax());
        EXPECT_EQ(c.step, slider->GetStep());
        EXPECT_EQ(c.value, slider->GetPos());
        EXPECT_STREQ(c.command, Set()->FindControlRecord(slider)->m_command);
        EXPECT_EQ("10,20,110,30", Rect(slider));
        delete m_layout;
    }
    m_layout = nullptr;
    SetUp();
}

TEST_F(ControlItemTest, ListWindowsAndFieldsTakeTheirStyleFontAndSpacing)
{
    YFont font;
    m_layout->m_fonts["small"] = &font;
    m_layout->SetScript(
        "textfield(0, 0, 50, 10) textfield(0, 10, 50, 20, 3) textfield(0, 20, 50, 30, 5, small, 2) "
        "listbox(0, 30, 50, 40, small, 4) listctrl(0, 40, 50, 50, small) editfield(0, 50, 50, 60, 1, small, 6) "
        "editfield(0, 60, 50, 70, 0)");
    Frame();
    struct Want {
        const char* kind;
        int style;
        bool font;
        int spacing;
    } want[] = {{"YTextCtrl", 0, false, 0}, {"YTextCtrl", 3, false, 0}, {"YTextCtrl", 5, true, 2},
                {"YListBox", -1, true, 4},  {"YListCtrl", -1, true, 0}, {"YEditBox", 4, true, 6},
                {"YEditBox", 0, false, 0}};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        YWindow* window = nullptr;
        if (auto* misc = dynamic_cast<YLayoutItemMiscWindow*>(Item(i))) {
            window = misc->m_window;
            EXPECT_EQ(want[i].spacing, misc->m_spacing);
        } else if (auto* edit = dynamic_cast<YLayoutItemEdit*>(Item(i))) {
            window = edit->m_window;
            EXPECT_EQ(want[i].spacing, edit->m_spacing);
        }
        ASSERT_NE(nullptr, window);
        EXPECT_STREQ(want[i].kind, window->GetRuntimeClass()->m_lpszClassName);
        if (want[i].style >= 0) {
            EXPECT_EQ(want[i].style, window->GetStyle());
        }
        EXPECT_EQ(want[i].font ? &font : nullptr, window->GetFont());
    }
    // The last font item set the spacing: an editfield's 6.
    EXPECT_EQ(6, font.GetSpacing());
    delete m_layout;
    m_layout = nullptr;
    SetUp();
}

TEST(ControlItemNames, EditNamesCountUpAndMiscWindowNamesRepeatAfterAThousand)
{
    YLayoutItemEdit first(0), second(1);
    const int a = atoi((const char*)first.m_name + 4), b = atoi((const char*)second.m_name + 4);
    EXPECT_EQ(0, strncmp(first.m_name, "Edit", 4));
    EXPECT_EQ(a + 1, b);

    std::vector<std::unique_ptr<YLayoutItemMiscWindow>> made;
    for (int i = 0; i < 1001; ++i) made.emplace_back(new YLayoutItemMiscWindow(i % 3));
    const CString& name = made[0]->m_name;
    EXPECT_EQ(0, strncmp(name, "~Misc_Window_", 13));
    const int number = atoi((const char*)name + 13);
    EXPECT_GE(number, 0);
    EXPECT_LT(number, 1000);
    EXPECT_STREQ(name, made[1000]->m_name) << "the 1,001st gets the first one's name";
    for (int i = 1; i < 1000; ++i) EXPECT_STRNE(name, made[i]->m_name);
}

TEST_F(ControlItemTest, TwoMiscWindowsOfOneNameEachGetTheirOwn)
{
    m_layout->SetScript("listbox(0, 0, 50, 10) listbox(0, 20, 50, 30)");
    auto* first = dynamic_cast<YLayoutItemMiscWindow*>(Item(0));
    auto* second = dynamic_cast<YLayoutItemMiscWindow*>(Item(1));
    ASSERT_TRUE(first && second);
    // As after the counter went round.
    second->m_name = first->m_name;
    Frame();
    ASSERT_TRUE(first->m_window && second->m_window);
    EXPECT_NE(first->m_window, second->m_window);
    EXPECT_EQ("0,0,50,10", Rect(first->m_window));
    EXPECT_EQ("0,20,50,30", Rect(second->m_window));
}

// ------------------------------------------------------------------ edit boxes

TEST_F(ControlItemTest, AnEditOpensEmptyWhenItsConditionTurnsAndTakesTheFocusFromItsParentOrGrandparent)
{
    struct Case {
        const char* what;
        int focusOn;  // 0 the layout, 1 the root, 2 a window outside, 3 the edit box's own child
        bool takes;
    } cases[] = {
        {"focus on the parent", 0, true},
        {"focus on the grandparent", 1, true},
        {"focus elsewhere", 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        m_layout->m_values["open"] = 0;
        m_layout->SetScript("group(10, 10, 190, 90) edit(open, 0, 0, 100, 20, say, Hello) endgroup");
        YLayoutItemEdit* item = dynamic_cast<YLayoutItemEdit*>(Inner(0, 0));
        ASSERT_NE(nullptr, item);
        CtlCountingEdit* box = new CtlCountingEdit;
        box->m_visible = 0;
        Set()->Add(m_layout->GetEditBoxList(), item->m_name, box, nullptr);
        YWindow outside;
        YWindow* focus[] = {m_layout, &m_root, &outside};
        for (int frame = 0; frame < 3; ++frame) Frame();
        // Loaded: the box holds the initial text and had the focus given, but
        // while the condition is 0 it stays closed and is never drawn.
        EXPECT_EQ(box, item->m_window);
        EXPECT_EQ(0, box->m_visible);
        EXPECT_EQ(0, box->m_draws);
        EXPECT_EQ(4, box->GetStyle());
        EXPECT_EQ("Hello", Text(box));
        EXPECT_STREQ("say", Set()->FindControlRecord(box)->m_command);

        focus[c.focusOn]->SetFocus();
        m_layout->m_keyboard.clear();
        m_layout->m_values["open"] = 1;
        Frame();
        EXPECT_EQ(1, box->m_visible);
        EXPECT_EQ(1, box->m_draws);
        EXPECT_EQ("", Text(box)) << "opens empty";
        EXPECT_EQ("10,10,110,30", Rect(box));
        EXPECT_EQ(c.takes, YWindow::GetFocusWindow() == box);
        EXPECT_EQ((std::vector<bool>{false}), m_layout->m_keyboard);

        // Typed text stays while it is open, whatever the condition.
        box->SetName("abc");
        m_layout->m_values["open"] = 0;
        Frame();
        EXPECT_EQ("abc", Text(box));
        EXPECT_EQ(2, box->m_draws);
        EXPECT_EQ(1, box->m_moves);
        delete m_layout;
    }
    m_layout = nullptr;
    SetUp();
}

TEST_F(ControlItemTest, AnEditLeavingItsGroupOrWithItsGroupHiddenClosesAndGivesTheKeysBack)
{
    m_layout->m_values["open"] = 1;
    m_layout->m_values["show"] = 1;
    m_layout->m_values["y"] = 0;
    m_layout->m_values["bottom"] = 20;
    m_layout->SetScript("if(show) group(10, 10, 190, 90) editr(open, 0, y, 100, bottom) endgroup endif");
    Frame();
    YLayoutGroup* group = dynamic_cast<YLayoutGroup*>(Inner(0, 0));
    ASSERT_NE(nullptr, group);
    YLayoutItemEdit* item = dynamic_cast<YLayoutItemEdit*>(group->GetChild(0));
    ASSERT_TRUE(item && item->m_window);
    YEditBox* box = item->m_window;
    Frame();
    ASSERT_EQ(1, box->m_visible);
    EXPECT_EQ(box, YWindow::GetFocusWindow());

    // Out of the group: hidden, the layout's parent takes the focus.
    m_layout->m_keyboard.clear();
    m_layout->m_values["y"] = 75;
    m_layout->m_values["bottom"] = 95;
    Frame();
    EXPECT_EQ(0, box->m_visible);
    EXPECT_EQ(&m_root, YWindow::GetFocusWindow());
    EXPECT_EQ((std::vector<bool>{true}), m_layout->m_keyboard);

    // Back in, then the block goes.
    m_layout->m_values["y"] = 0;
    m_layout->m_values["bottom"] = 20;
    Frame();
    ASSERT_EQ(1, box->m_visible);
    m_layout->m_keyboard.clear();
    m_layout->m_values["show"] = 0;
    Frame();
    EXPECT_EQ(0, box->m_visible);
    EXPECT_EQ((std::vector<bool>{true}), m_layout->m_keyboard);
    Frame();
    EXPECT_EQ((std::vector<bool>{true}), m_layout->m_keyboard) << "only once";
}

// ------------------------------------------------------------------ pixels

class ControlItemPixels : public ItemPixelTest {};

TEST_F(ControlItemPixels, ASliderWithoutWindowDrawsAWhiteBoxWithABlueOutline)
{
    std::unique_ptr<YDXSurface> target = Target(160, 140);
    YSurfaceDC dc(target.get(), 0);
    std::unique_ptr<ItemLayout> layout = Layout("group(10, 20, 150, 130) slider(q, 10, 20, 60, 40) endgroup");
    layout->Draw(&dc);
    const COLORREF white = 0xFFFFFF, blue = 0xFF0000, black = 0;
    struct Probe {
        int x, y;
        COLORREF colour;
    } probes[] = {{20, 40, blue},  {69, 40, blue},  {20, 59, blue},  {69, 59, blue}, {45, 40, blue},
                  {45, 50, white}, {68, 58, white}, {19, 40, black}, {70, 50, black}, {45, 60, black}};
    for (const Probe& p : probes) EXPECT_TRUE(Is(*target, p.x, p.y, p.colour)) << p.x << "," << p.y;
}

// ------------------------------------------------------------------ commands

TEST_F(ControlItemTest, ClicksSlidesAndKeysBecomeTheItemsCommands)
{
    GuiMessagePump pump("ControlItems");
    AddButton("go", 40, 20);
    AddButton("mute", 40, 20);
    YSlider* slider = AddSlider("vol");
    m_layout->m_values["open"] = 1;
    m_layout->SetScript(
        "button:3(go, 10, 10, detail 2) checkbutton:4(mute, 60, 10, mute) "
        "slider:5(vol, 10, 40, 110, 50, volume, 0, 100, 1, 10) edit:6(open, 10, 60, 190, 80, name, , , , 1)");
    Frame();
    YLayoutItemEdit* edit = dynamic_cast<YLayoutItemEdit*>(Item(3));
    ASSERT_TRUE(edit && edit->m_window);
    auto click = [&](int x, int y) {
        m_root.HandleMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        m_root.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    };
    click(20, 15);
    click(70, 15);
    // The thumb dragged along the track, released at 40.
    m_root.HandleMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(slider->ValueToX(10), 45));
    m_root.HandleMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(slider->ValueToX(30), 45));
    m_root.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(slider->ValueToX(40), 45));
    ASSERT_EQ(40, slider->GetPos());
    // Typed into the edit box, then Enter; opened again, then Escape.
    click(20, 70);
    ASSERT_EQ(edit->m_window, YWindow::GetFocusWindow());
    for (char ch : std::string("Ace")) m_root.HandleMessage(WM_CHAR, static_cast<WPARAM>(ch), 1);
    pump.Press(m_root, VK_RETURN, 0x1C);
    EXPECT_EQ(0, edit->m_window->m_visible) << "closes on Enter";
    Frame();
    click(20, 70);
    for (char ch : std::string("x")) m_root.HandleMessage(WM_CHAR, static_cast<WPARAM>(ch), 1);
    pump.Press(m_root, VK_ESCAPE, 0x01);
    // A second press is a command again.
    pump.Press(m_root, VK_ESCAPE, 0x01);
    // A click beside every control runs nothing.
    click(150, 15);
    // Enter and Escape notify with their key and again with their character;
    // each press runs its command once.
    const std::vector<std::string> want = {"detail 2", "mute", "volume 40", "name <Ace>", "+exit", "+exit"};
    EXPECT_EQ(want, m_layout->m_commands);
}

// ------------------------------------------------------------------ stale controls

TEST_F(ControlItemTest, HiddenItemsLeaveControlsAPurgeDeletedAlone)
{
    struct Case {
        const char* what;
        const char* script;
        bool detach;  // the picture the control draws is given up, else the set is marked afresh
    } cases[] = {
        {"button in a false block after a fresh marking", "if(show) button(ok, 5, 6) endif", false},
        {"slider in a false block after a fresh marking", "if(show) slider(ok, 5, 6, 50, 16) endif", false},
        {"list in a false block after a fresh marking", "if(show) listbox(5, 6, 50, 16) endif", false},
        {"field in a false block after a fresh marking", "if(show) editfield(5, 6, 50, 16) endif", false},
        {"button whose picture was detached", "if(show) button(ok, 5, 6) endif", true},
        {"slider whose picture was detached", "if(show) slider(ok, 5, 6, 50, 16) endif", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        YButton* button = AddButton("ok");
        YSlider* slider = AddSlider("ok");
        YResource* picture = new YResource;
        button->AddResource(picture, false);
        slider->AddResource(picture, false);
        m_layout->m_values["show"] = 1;
        m_layout->SetScript(c.script);
        Frame();
        Frame();
        if (c.detach) {
            EXPECT_TRUE(Set()->DetachResource(picture));
            // The purge that follows a detach.
            Set()->PurgeUnused();
        } else {
            // As the interface manager does before another layout opens.
            Set()->MarkAll(false);
            m_layout->ReloadAll();
        }
        m_layout->m_values["show"] = 0;
        Frame();  // the purge at its end deletes the control
        Frame();
        Frame();
        for (int list = 0; list < 4; ++list)
            for (POSITION at = Set()->m_controls[list].GetHeadPosition(); at;)
                EXPECT_EQ(nullptr, static_cast<YLayoutRes*>(Set()->m_controls[list].GetNext(at))->m_owner);
        // The block comes back: the item loads a control anew.
        AddButton("ok");
        AddSlider("ok");
        m_layout->m_values["show"] = 1;
        Frame();
        Frame();
        YLayoutItem* item = Inner(0, 0);
        EXPECT_EQ(1, item->m_loaded);
        EXPECT_NE(nullptr, Set()->FindControlRecord(m_layout->GetChild(0)));
        delete m_layout;
        delete picture;
    }
    m_layout = nullptr;
    SetUp();
}

// ------------------------------------------------------------------ tool tips

TEST_F(ControlItemTest, ATipShowsOverItsButtonAfterTheMouseRestsAndTheLayoutKeepsItsChildren)
{
    ManualClock clock(1000);
    AddButton("ok", 40, 20);
    AddButton("plain", 40, 20);
    m_layout->SetScript("button(ok, 50, 50, go, Press me) button(plain, 100, 50, go)");
    Frame();
    EXPECT_EQ(2, m_layout->GetChildCount());
    EXPECT_EQ(nullptr, m_layout->ChildFromPoint(5, 5, 0)) << "nothing under the point on its own set";

    m_root.HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(60, 55));
    ASSERT_EQ(m_layout->GetChild(0), YWindow::GetHoverWindow());
    m_dc.m_log.clear();
    Frame();
    clock.Set(1400);
    Frame();
    for (const std::string& line : m_dc.m_log) EXPECT_EQ(std::string::npos, line.find("Press me"));
    clock.Set(1600);
    m_dc.m_log.clear();
    Frame();
    ASSERT_GE(m_dc.m_log.size(), 2u);
    // Drawn last, above the button: 8 characters of 1 pixel, 10 high.
    EXPECT_EQ("rect 50,34,62,48", m_dc.m_log[m_dc.m_log.size() - 2]);
    EXPECT_EQ("text 52,36 Press me", m_dc.m_log.back());

    // A button without tip text shows none.
    m_root.HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(110, 55));
    clock.Set(3000);
    m_dc.m_log.clear();
    Frame();
    clock.Set(4000);
    Frame();
    for (const std::string& line : m_dc.m_log) EXPECT_EQ(std::string::npos, line.find("Press me"));
    EXPECT_EQ(2, m_layout->GetChildCount());

    // A new script drops the buttons, and their tips with them.
    m_layout->SetScript("string(x)");
    Frame();
    EXPECT_EQ(0, m_layout->GetChildCount());
    EXPECT_EQ(0, m_layout->GetToolTips()->GetTipCount());
}

}  // namespace

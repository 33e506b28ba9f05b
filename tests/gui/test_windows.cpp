// The window tree, message routing, the modal dialog and the edit and list
// boxes, drawn into a context that records what it is asked to draw.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/YDC.h"
#include "gui/YDialog.h"
#include "gui/YEditBox.h"
#include "gui/YListBox.h"
#include "gui/YWindow.h"

namespace {

// Text is 6 pixels a character and `height` high.
class RecordingDC : public YDC {
public:
    struct Text {
        int x, y;
        std::string text;
    };
    explicit RecordingDC(int height = 10) : m_height(height) {}
    void TextOut(int x, int y, const CString& text, int length) override
    {
        m_texts.push_back({x, y, std::string((const char*)text).substr(0, static_cast<size_t>(length))});
    }
    int DrawText(const CString& text, RECT* rect, UINT) override
    {
        m_drawn.push_back({rect->left, rect->top, (const char*)text});
        return 1;
    }
    int GetTextExtent(const CString& text, SIZE* out) override
    {
        *out = SIZE{6 * text.GetLength(), m_height};
        return 1;
    }
    int InvertRect(const RECT* rect) override
    {
        m_inverted.push_back(*rect);
        return 1;
    }
    void FrameRect(const RECT* rect, CBrush*) override { m_framed.push_back(*rect); }

    int m_height;
    std::vector<Text> m_texts, m_drawn;
    std::vector<RECT> m_inverted, m_framed;
};

// Records what reaches it from its children.
class Recorder : public YWindow {
public:
    void OnKeyDown(int key, int, int) override { m_keys.push_back(key); }
    int OnChar(int ch, int, int) override
    {
        m_chars.push_back(ch);
        return 0;
    }
    void OnNotify(int id, int code) override { m_notes.push_back({id, code}); }
    std::vector<int> m_keys, m_chars;
    std::vector<std::pair<int, int>> m_notes;
};

class Counted : public YWindow {
public:
    explicit Counted(int* deleted) : m_deleted(deleted) {}
    ~Counted() override { ++*m_deleted; }
    int* m_deleted;
};

RECT Rect(int l, int t, int r, int b) { return RECT{l, t, r, b}; }

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

}  // namespace

TEST(WindowTree, ParentsOwnTheirChildrenAndMoveThemAlong)
{
    YWindow a, b;
    RECT ra = Rect(10, 20, 110, 120);
    a.MoveTo(&ra);
    int deleted = 0;
    Counted* child = new Counted(&deleted);
    RECT inside = Rect(5, 5, 15, 15);
    ASSERT_EQ(child->Create(0, "c", 0, &inside, &a, 7, 0), 1);
    EXPECT_TRUE(Same(child->Rect(), Rect(15, 25, 25, 35)));  // relative to the parent
    EXPECT_EQ(child->GetParent(), &a);
    EXPECT_EQ(a.GetChildCount(), 1);

    EXPECT_EQ(child->SetParent(&b), &a);
    EXPECT_EQ(a.GetChildCount(), 0);
    EXPECT_EQ(b.GetChild(0), child);

    RECT rb = Rect(100, 100, 200, 200);
    b.MoveTo(&rb);
    EXPECT_TRUE(Same(child->Rect(), Rect(115, 125, 125, 135)));

    Counted* grandchild = new Counted(&deleted);
    grandchild->SetParent(child);
    grandchild->SetFocus();
    EXPECT_TRUE(b.HasFocus(false));
    EXPECT_FALSE(b.HasFocus(true));
    delete child;  // takes its child along and leaves no focus behind
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(b.GetChildCount(), 0);
    EXPECT_EQ(YWindow::GetFocusWindow(), nullptr);
}

TEST(WindowTree, MessagesGoToTheFocusOrToTheTopmostChildUnderThePoint)
{
    Recorder root;
    RECT all = Rect(0, 0, 100, 100);
    root.MoveTo(&all);
    YWindow* first = new YWindow;
    YWindow* second = new YWindow;
    RECT r1 = Rect(10, 10, 50, 50), r2 = Rect(30, 30, 80, 80);
    first->Create(0, "", 0, &r1, &root, 1, 0);
    second->Create(0, "", 0, &r2, &root, 2, 0);
    struct Case {
        int x, y;
        YWindow* focus;
    };
    // Overlaps go to the child drawn on top: the last in list order.
    const Case cases[] = {{40, 40, second}, {70, 70, second}, {5, 5, &root}, {15, 15, first}};
    for (const Case& c : cases) {
        root.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(c.x, c.y));
        EXPECT_EQ(YWindow::GetFocusWindow(), c.focus) << c.x << "," << c.y;
    }
    // The focus child passes keys and characters on to its parent...
    root.HandleMessage(WM_KEYDOWN, 'A', 0);
    root.HandleMessage(WM_CHAR, 'a', 0);
    EXPECT_EQ(root.m_keys, std::vector<int>{'A'});
    EXPECT_EQ(root.m_chars, std::vector<int>{'a'});
    // ...but not while disabled or hidden, and a click notifies the parent.
    first->Enable(false);
    root.HandleMessage(WM_KEYDOWN, 'B', 0);
    first->Enable(true);
    first->m_visible = 0;
    root.HandleMessage(WM_KEYDOWN, 'C', 0);
    EXPECT_EQ(root.m_keys, std::vector<int>{'A'});
    first->m_visible = 1;
    root.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(12, 12));
    ASSERT_EQ(root.m_notes.size(), 1u);
    EXPECT_EQ(root.m_notes[0], std::make_pair(1, static_cast<int>(YWindow::kNotifyClicked)));
    second->SetFocus();
    delete second;
    EXPECT_EQ(YWindow::GetFocusWindow(), nullptr);
    root.HandleMessage(WM_KEYDOWN, 'D', 0);  // no focus: dropped
    EXPECT_EQ(root.m_keys, std::vector<int>{'A'});
}

TEST(ListBox, CountsRowsThatFitAndWhatTheNextOneNeeds)
{
    struct Case {
        int height, row, rows, overflow;
    };
    const Case cases[] = {
        {100, 16, 6, 12}, {96, 16, 5, 0}, {81, 10, 8, 9}, {9, 10, 0, 1}, {0, 16, 0, 0}, {50, 0, 0, 0},
    };
    for (const Case& c : cases) {
        YListBox list;
        RECT rect = Rect(0, 0, 100, c.height);
        list.MoveTo(&rect);
        RecordingDC dc(c.row);
        int overflow = -1;
        EXPECT_EQ(list.GetVisibleRowCount(&overflow, &dc), c.rows) << c.height << "/" << c.row;
        EXPECT_EQ(overflow, c.overflow) << c.height << "/" << c.row;
        EXPECT_EQ(list.GetRowHeight(), c.row);
    }
}

TEST(ListBox, KeepsRowsSelectionAndTopWithinRange)
{
    YListBox list;
    for (const char* text : {"b", "c", "e"}) list.AddString(text);
    list.InsertString(0, "a");
    list.InsertString(3, "d");
    list.InsertString(99, "f");
    ASSERT_EQ(list.GetCount(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_STREQ(list.GetText(i), std::string(1, char('a' + i)).c_str());
    EXPECT_STREQ(list.GetText(6), "");
    struct Step {
        int select, answer, now;
    };
    const Step steps[] = {{2, -1, 2}, {5, 2, 5}, {6, -1, 5}, {-2, -1, 5}, {-1, 5, -1}};
    for (const Step& s : steps) {
        EXPECT_EQ(list.SetCurSel(s.select), s.answer) << s.select;
        EXPECT_EQ(list.GetCurSel(), s.now) << s.select;
    }
    EXPECT_EQ(list.SetTopIndex(5), 5);
    EXPECT_EQ(list.SetTopIndex(6), 5);
    EXPECT_EQ(list.SetTopIndex(-1), 5);
    EXPECT_EQ(list.DeleteString(0), 1);
    EXPECT_EQ(list.DeleteString(5), 0);
    EXPECT_STREQ(list.GetText(0), "b");
    EXPECT_EQ(list.GetCount(), 5);
}

TEST(ListBox, DrawsWholeRowsFromTheTopIndexAndPicksTheRowClicked)
{
    YListBox list;
    RECT rect = Rect(10, 20, 110, 55);  // room for three rows of 10 and a half
    list.MoveTo(&rect);
    list.SetTextInset(2);
    for (const char* text : {"zero", "one", "two", "three", "four", "five"}) list.AddString(text);
    list.SetTopIndex(1);
    list.SetCurSel(2);
    RecordingDC dc(10);
    list.Draw(&dc);
    ASSERT_EQ(dc.m_texts.size(), 3u);
    const char* shown[] = {"one", "two", "three"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(dc.m_texts[i].text, shown[i]);
        EXPECT_EQ(dc.m_texts[i].x, 13);
        EXPECT_EQ(dc.m_texts[i].y, 20 + 10 * i);
    }
    ASSERT_EQ(dc.m_inverted.size(), 1u);
    EXPECT_TRUE(Same(dc.m_inverted[0], Rect(13, 30, 107, 40)));

    struct Click {
        int y, selected;
    };
    const Click clicks[] = {{20, 1}, {39, 2}, {45, 3}, {19, -1}};
    for (const Click& c : clicks) {
        list.OnLButtonDown(0, 50, c.y);
        EXPECT_EQ(list.GetCurSel(), c.selected) << c.y;
    }
    list.ResetContent();
    list.OnLButtonDown(0, 50, 25);
    EXPECT_EQ(list.GetCurSel(), -1);
}

TEST(EditBox, EditsAtTheCaretAndTellsItsParentAboutEveryKey)
{
    struct Case {
        const char* text;
        int caret;
        int key;  // a key press, or 0 for the character
        int ch;
        const char* after;
        int caretAfter;
    };
    const Case cases[] = {
        {"abcd", 2, VK_BACK, 0, "acd", 1},   {"abcd", 0, VK_BACK, 0, "abcd", 0},
        {"abcd", 4, VK_DELETE, 0, "abc", 3}, {"abcd", 2, VK_HOME, 0, "abcd", 0},
        {"abcd", 2, VK_END, 0, "abcd", 4},   {"abcd", 0, VK_LEFT, 0, "abcd", 0},
        {"abcd", 4, VK_RIGHT, 0, "abcd", 4}, {"abcd", 1, VK_RIGHT, 0, "abcd", 2},
        {"abcd", 2, 0, 'x', "abxcd", 3},     {"abcd", 4, 0, '~', "abcd~", 5},
        {"abcd", 2, 0, 7, "abcd", 2},        {"", 0, 0, ' ', " ", 1},
    };
    for (const Case& c : cases) {
        Recorder parent;
        YEditBox* box = new YEditBox;
        RECT rect = Rect(0, 0, 500, 20);
        box->Create(0, &rect, &parent, 4);
        box->SetName(c.text);
        box->SetCaret(c.caret);
        if (c.key) box->OnKeyDown(c.key, 1, 0);
        else box->OnChar(c.ch, 1, 0);
        CString text;
        box->GetName(text);
        EXPECT_STREQ(text, c.after) << c.text << " " << c.key << " " << c.ch;
        EXPECT_EQ(box->GetCaret(), c.caretAfter) << c.text << " " << c.key << " " << c.ch;
        EXPECT_EQ(parent.m_keys, c.key ? std::vector<int>{c.key} : std::vector<int>{});
        ASSERT_EQ(parent.m_notes.size(), 1u);
        EXPECT_EQ(parent.m_notes[0], std::make_pair(4, static_cast<int>(YEditBox::kNotifyChanged)));
    }
}

TEST(EditBox, RefusesInputWhenFullReadOnlyOrDisabled)
{
    struct Case {
        int style;
        int maxLength;
        const char* after;
        size_t notes;
    };
    const Case cases[] = {
        {0, 3, "abc", 2},
        {YEditBox::kReadOnlyStyle, 100, "ab", 0},
        {YWindow::kDisabledStyle, 100, "ab", 0},
    };
    for (const Case& c : cases) {
        Recorder parent;
        YEditBox* box = new YEditBox;
        RECT rect = Rect(0, 0, 500, 20);
        box->Create(c.style, &rect, &parent, 0);
        box->SetMaxLength(c.maxLength);
        box->SetName("ab");
        box->SetCaret(2);
        box->OnChar('c', 1, 0);
        box->OnChar('d', 1, 0);
        CString text;
        box->GetName(text);
        EXPECT_STREQ(text, c.after) << c.style;
        EXPECT_EQ(parent.m_notes.size(), c.notes) << c.style;
    }
    YEditBox box;
    box.SetName("abc");
    box.SetCaret(9);
    EXPECT_EQ(box.GetCaret(), 3);
    box.SetCaret(-2);
    EXPECT_EQ(box.GetCaret(), 0);
    box.SetCaret(3);
    box.SetName("a");
    EXPECT_EQ(box.GetCaret(), 1);
}

TEST(EditBox, DrawsItsLabelThenItsTextAndACaretWhileFocused)
{
    struct Case {
        const char* text;
        bool focused;
        bool caretEnabled;
        bool caret;
    };
    const Case cases[] = {
        {"", true, false, true},    {"abc", true, false, false}, {"abc", true, true, true},
        {"", false, false, false},
    };
    platform::Clock::SetManual(true);
    for (const Case& c : cases) {
        YEditBox box;
        RECT rect = Rect(10, 20, 210, 32);
        box.MoveTo(&rect);
        box.SetLabel(">");
        box.SetName(c.text);
        box.SetCaret(2);
        box.ShowCaret(c.caretEnabled);
        if (c.focused) box.SetFocus();
        // The caret shows once its first flash interval has passed.
        platform::Clock::Advance(GetCaretBlinkTime() + 1);
        RecordingDC dc(12);
        box.Draw(&dc);
        ASSERT_EQ(dc.m_texts.size(), 1u);
        EXPECT_EQ(dc.m_texts[0].text, ">");
        EXPECT_EQ(dc.m_texts[0].x, 10);
        EXPECT_EQ(dc.m_texts[0].y, 20);
        ASSERT_EQ(dc.m_drawn.size(), 1u);
        EXPECT_EQ(dc.m_drawn[0].text, c.text);
        EXPECT_EQ(dc.m_drawn[0].x, 10 + 6 + 1);
        ASSERT_EQ(dc.m_framed.size(), c.caret ? 1u : 0u) << c.text;
        if (c.caret) {
            // After the label and the characters before the caret.
            const int x = 10 + 6 + 6 * box.GetCaret();
            EXPECT_TRUE(Same(dc.m_framed[0], Rect(x, 20, x + 1, 32))) << c.text;
        }
    }
    platform::Clock::SetManual(false);
}

namespace {

// Posts the messages of one pass from inside the modal loop.
class ScriptedDialog : public YDialog {
public:
    void ModalPass() override
    {
        ++m_passes;
        if (m_passes == 1) PostMessageA(nullptr, WM_KEYDOWN, m_key, 0);
        if (m_passes > 5) EndDialog(99);
    }
    WPARAM m_key = 0;
    int m_passes = 0;
};

}  // namespace

TEST(Dialog, EnterAndEscapeEndTheModalLoopAndClicksOnOneAndTwo)
{
    struct Case {
        WPARAM key;
        int result;
    };
    const Case cases[] = {{VK_RETURN, 1}, {VK_ESCAPE, 2}, {'A', 99}};
    for (const Case& c : cases) {
        ScriptedDialog dialog;
        dialog.SetFocus();
        dialog.m_key = c.key;
        EXPECT_EQ(dialog.DoModal(nullptr), c.result) << c.key;
        EXPECT_FALSE(dialog.IsModal());
        EXPECT_EQ(YWindow::GetFocusWindow(), nullptr);
    }
    struct Click {
        int id, code;
        bool ends;
    };
    const Click clicks[] = {{1, YWindow::kNotifyClicked, true}, {2, YWindow::kNotifyClicked, true},
                            {3, YWindow::kNotifyClicked, false}, {1, YWindow::kNotifyRightClicked, false}};
    for (const Click& c : clicks) {
        YDialog dialog;
        dialog.EndDialog(0);
        dialog.OnNotify(c.id, c.code);
        EXPECT_EQ(dialog.GetResult(), c.ends ? c.id : 0) << c.id << " " << c.code;
    }
}

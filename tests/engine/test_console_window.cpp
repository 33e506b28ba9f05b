#include "engine/EngineFixture.h"
#include "engine/FixedFont.h"

#include <cstring>

#include "engine/YCommandDialog.h"
#include "graphics2d/YFont.h"
#include "gui/YEditBox.h"
#include "gui/YInterfaceMgr.h"
#include "gui/YListBox.h"
#include "platform/win32.h"

namespace {

std::vector<std::string> Lines(const CStringList& list)
{
    std::vector<std::string> out;
    for (POSITION at = list.GetHeadPosition(); at;) out.push_back((const char*)list.GetNext(at));
    return out;
}

std::vector<std::string> Lines(const YListBox& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.GetCount(); ++i) out.push_back((const char*)list.GetText(i));
    return out;
}

// Keys go to the input line, which hands them on to the console.
void Type(YEditDialog& dialog, const char* text)
{
    for (const char* c = text; *c; ++c) dialog.GetEditBox()->OnChar(static_cast<unsigned char>(*c), 1, 0);
    dialog.GetEditBox()->OnKeyDown(VK_RETURN, 1, 0);
}

void Press(YEditDialog& dialog, UINT key) { dialog.GetEditBox()->OnKeyDown(static_cast<int>(key), 1, 0); }

// 6 pixels a character, 10 rows high; a 72-pixel console leaves 62 usable
// pixels, and a 100-pixel one grows to 109 so that its list holds whole rows.
struct ConsoleFixture {
    ConsoleFixture(int width = 72, int height = 100) : font(6, 10)
    {
        dialog.SetFont(&font);
        RECT rect = {0, 0, width, height};
        dialog.MoveTo(&rect);
    }
    FixedFont font;
    YEditDialog dialog;
};

}  // namespace

TEST(ConsoleWindow, WrapsWordsAtTheUsableWidth)
{
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {""}},
        {"abc def", {"abc def "}},
        {"  a   b  ", {"a b "}},
        {"aaaa bbbb", {"aaaa bbbb "}},
        {"aaaa bbbb ccc", {"aaaa bbbb ", "ccc "}},
        {"abcdefghijkl", {"", "abcdefghijkl "}},
        {"ab abcdefghijkl cd", {"ab ", "abcdefghijkl ", "cd "}},
        {"a b c d e f g", {"a b c d e ", "f g "}},
    };
    for (const Case& c : cases) {
        ConsoleFixture f;
        CStringList lines;
        f.dialog.WrapText(c.text, lines, &f.font);
        EXPECT_EQ(Lines(lines), c.lines) << c.text;
    }
}

TEST(ConsoleWindow, KeepsTheNewestTypedLines)
{
    struct Case {
        int typed;
        int kept;
        const char* newest;
        const char* oldest;
    };
    const Case cases[] = {
        {0, 0, "", ""},
        {1, 1, "line1", "line1"},
        {32, 32, "line32", "line1"},
        {33, 32, "line33", "line2"},
        {40, 32, "line40", "line9"},
    };
    for (const Case& c : cases) {
        ConsoleFixture f;
        for (int i = 1; i <= c.typed; ++i) Type(f.dialog, ("line" + std::to_string(i)).c_str());
        Type(f.dialog, "");
        Type(f.dialog, "   ");
        EXPECT_EQ(f.dialog.GetHistoryCount(), c.kept) << c.typed;
        EXPECT_STREQ(f.dialog.GetHistoryLine(0), c.newest) << c.typed;
        EXPECT_STREQ(f.dialog.GetHistoryLine(c.kept ? c.kept - 1 : 0), c.oldest) << c.typed;
        EXPECT_STREQ(f.dialog.GetHistoryLine(c.kept), "") << c.typed;
        EXPECT_TRUE(f.dialog.GetEditText().IsEmpty());
    }
}

TEST(ConsoleWindow, UpAndDownWalkTheHistory)
{
    ConsoleFixture f;
    Type(f.dialog, "one");
    Type(f.dialog, "two");
    Type(f.dialog, "three");
    struct Step {
        UINT key;
        int position;
        const char* shown;
    };
    const Step steps[] = {
        {VK_UP, 0, "three"}, {VK_UP, 1, "two"},   {VK_UP, 2, "one"},    {VK_UP, 3, ""},     {VK_UP, 3, ""},
        {VK_DOWN, 2, "one"}, {VK_DOWN, 1, "two"}, {VK_DOWN, 0, "three"}, {VK_DOWN, -1, ""}, {VK_DOWN, -1, ""},
        {0x72, 0, "three"},  {'A', -1, "three"},
    };
    for (const Step& s : steps) {
        Press(f.dialog, s.key);
        EXPECT_EQ(f.dialog.GetHistoryPosition(), s.position) << s.key;
        EXPECT_STREQ(f.dialog.GetEditText(), s.shown) << s.key;
        EXPECT_EQ(f.dialog.GetEditBox()->GetCaret(), static_cast<int>(std::strlen(s.shown)));
    }
}

TEST(ConsoleWindow, AddsLinesFromTheBottomUpToTheCap)
{
    struct Case {
        std::vector<const char*> texts;
        std::vector<std::string> tail;  // the last lines of the list
        int count;
    };
    // The list is 4..94: eight rows of 10, and a ninth drawn below them.
    const Case cases[] = {
        {{"one"}, {"", "one "}, 9},
        {{"a\nb\nc"}, {"", "a ", "b ", "c "}, 11},
        {{"a\nb\n"}, {"", "a ", "b "}, 10},
        {{"aaaa bbbb ccc\nd"}, {"", "aaaa bbbb ", "ccc ", "d "}, 11},
        {{""}, {}, 0},
    };
    for (const Case& c : cases) {
        ConsoleFixture f;
        for (const char* text : c.texts) f.dialog.AddText(text, &f.font);
        const std::vector<std::string> lines = Lines(*f.dialog.GetListBox());
        ASSERT_EQ(static_cast<int>(lines.size()), c.count) << c.texts[0];
        EXPECT_EQ(std::vector<std::string>(lines.end() - c.tail.size(), lines.end()), c.tail) << c.texts[0];
    }
}

TEST(ConsoleWindow, ListNeverHoldsMoreThanFiftyLines)
{
    struct Case {
        int added;
        int firstMessageAt;  // after the eight empty lines that start the list
        std::string first;
        std::string last;
    };
    const Case cases[] = {
        {42, 8, "m1 ", "m42 "}, {43, 7, "m1 ", "m43 "}, {50, 0, "m1 ", "m50 "},
        {51, 0, "m2 ", "m51 "}, {70, 0, "m21 ", "m70 "},
    };
    for (const Case& c : cases) {
        ConsoleFixture f;
        for (int i = 1; i <= c.added; ++i) f.dialog.AddText(("m" + std::to_string(i)).c_str(), &f.font);
        const std::vector<std::string> lines = Lines(*f.dialog.GetListBox());
        ASSERT_EQ(lines.size(), 50u) << c.added;
        for (int i = 0; i < c.firstMessageAt; ++i) EXPECT_EQ(lines[i], "") << c.added;
        EXPECT_EQ(lines[c.firstMessageAt], c.first) << c.added;
        EXPECT_EQ(lines.back(), c.last) << c.added;
        // The view follows the end: the row drawn below the counted ones holds the newest line.
        EXPECT_EQ(f.dialog.GetListBox()->GetTopIndex(), 50 - 8 - 1) << c.added;
    }
}

TEST(ConsoleWindow, QueuedTextsMoveIntoTheListWhenDrawn)
{
    ConsoleFixture f;
    for (int i = 0; i < 55; ++i) f.dialog.QueueText(("q" + std::to_string(i)).c_str());
    EXPECT_EQ(f.dialog.GetQueueCount(), 50);
    f.dialog.Draw(nullptr);
    EXPECT_EQ(f.dialog.GetQueueCount(), 0);
    const std::vector<std::string> lines = Lines(*f.dialog.GetListBox());
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines.front(), "q5 ");
    EXPECT_EQ(lines.back(), "q54 ");
}

TEST(ConsoleWindow, GrowsByWhatTheRowsLeaveOverAndSurvivesAFontWithoutHeight)
{
    struct Case {
        int fontHeight;
        int bottom;
        int grownBottom;
        int rows;  // as the list box counts them: one less than it draws
    };
    // Edit box 4 above the bottom, list from 4 to one above the edit box.
    const Case cases[] = {
        {10, 100, 109, 8},  // list 81 high: 9 more make 90
        {10, 99, 99, 7},    // list 80 high: whole rows already
        {16, 125, 137, 6},  // list 100 high: 12 more make 112
        {0, 100, 100, 0},   // no rows at all
        {0, 37, 37, 0},
    };
    for (const Case& c : cases) {
        FixedFont font(6, c.fontHeight);
        YEditDialog dialog;
        dialog.SetFont(&font);
        EXPECT_EQ(dialog.GetLineHeight(), c.fontHeight);
        RECT rect = {0, 0, 200, c.bottom};
        dialog.MoveTo(&rect);
        EXPECT_EQ(dialog.Rect().bottom, c.grownBottom) << c.fontHeight << " " << c.bottom;
        EXPECT_EQ(dialog.GetInnerDialog()->Rect().bottom, c.grownBottom);
        const RECT& edit = dialog.GetEditBox()->Rect();
        const RECT& list = dialog.GetListBox()->Rect();
        EXPECT_EQ(edit.bottom, c.grownBottom - 4);
        EXPECT_EQ(edit.bottom - edit.top, c.fontHeight);
        EXPECT_EQ(edit.left, 5);
        EXPECT_EQ(edit.right, 198);
        EXPECT_EQ(list.bottom, edit.top - 1);
        EXPECT_EQ(list.left, 4);
        EXPECT_EQ(list.top, 4);
        EXPECT_EQ(list.right, 196);
        dialog.AddText("still works", &font);
        EXPECT_EQ(dialog.GetListBox()->GetVisibleRowCount(nullptr, nullptr), c.rows);
        EXPECT_EQ(dialog.GetListBox()->GetCount(), c.rows + 1);
    }
}

TEST(ConsoleWindow, ClickOnAnEchoCopiesItIntoTheInputLine)
{
    ConsoleFixture f;
    f.dialog.AddText(">help", &f.font);
    f.dialog.AddText("no prompt", &f.font);
    const YListBox& list = *f.dialog.GetListBox();
    struct Case {
        int line;
        const char* edit;
    };
    const Case cases[] = {
        {list.GetCount() - 2, "help "},
        {list.GetCount() - 1, ""},
    };
    for (const Case& c : cases) {
        f.dialog.GetEditBox()->SetName("");
        const int x = 10, y = list.Rect().top + (c.line - list.GetTopIndex()) * list.GetRowHeight() + 2;
        f.dialog.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(x, y));
        f.dialog.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        EXPECT_EQ(list.GetCurSel(), c.line);
        EXPECT_STREQ(f.dialog.GetEditText(), c.edit);
        EXPECT_EQ(f.dialog.GetEditBox()->GetCaret(), static_cast<int>(std::strlen(c.edit)));
    }
    // A click below the list's rows selects nothing and copies nothing.
    f.dialog.GetEditBox()->SetName("");
    const int y = f.dialog.GetEditBox()->Rect().top + 2;
    f.dialog.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(10, y));
    f.dialog.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, y));
    EXPECT_STREQ(f.dialog.GetEditText(), "");
}

namespace {

// Presses keys from inside the modal loop and tries to run it again.
class ScriptedConsole : public YCommandDialog {
public:
    ScriptedConsole() : YCommandDialog("") {}
    void ModalPass() override
    {
        ++m_passes;
        m_nested = DoModal(nullptr);
        if (m_passes == 1) GetEditBox()->OnKeyDown(VK_F2, 1, 0);
        if (m_passes > 5) EndDialog(7);
    }
    void Submit(const char* text) override
    {
        ++m_submits;
        YCommandDialog::Submit(text);
    }
    int m_passes = 0;
    int m_nested = -1;
    int m_submits = 0;
};

class ConsoleCommandTest : public EngineTest {};

}  // namespace

TEST(ConsoleWindow, F2InsideTheModalLoopClosesItWithoutOpeningItAgain)
{
    FixedFont font(6, 10);
    ScriptedConsole console;
    console.SetFont(&font);
    RECT rect = {0, 0, 200, 100};
    console.MoveTo(&rect);
    EXPECT_EQ(console.DoModal(nullptr), 1);
    EXPECT_EQ(console.m_passes, 1);
    EXPECT_EQ(console.m_nested, 0);
    EXPECT_EQ(console.m_submits, 0);
    EXPECT_FALSE(console.IsModal());
}

TEST_F(ConsoleCommandTest, TypedLinesRunAndTheirAnswersShow)
{
    struct Case {
        const char* typed;
        const char* echo;
        bool answered;
    };
    const Case cases[] = {
        {"set gfx_fog 1", ">set gfx_fog 1 ", false},
        {"set gfx_fog", ">set gfx_fog ", true},
        {"help", ">help ", true},
    };
    for (const Case& c : cases) {
        FixedFont font(6, 10);
        YCommandDialog console("");
        console.SetFont(&font);
        RECT rect = {0, 0, 4000, 100};
        console.MoveTo(&rect);
        Type(console, c.typed);
        const std::vector<std::string> lines = Lines(*console.GetListBox());
        auto echo = std::find(lines.begin(), lines.end(), std::string(c.echo));
        ASSERT_NE(echo, lines.end()) << c.typed;
        EXPECT_EQ(echo + 1 != lines.end(), c.answered) << c.typed;
        EXPECT_STREQ(console.GetHistoryLine(0), c.typed);
    }
    YString value;
    ASSERT_TRUE(m_interpreter->ExecuteCommand("set gfx_fog", &value));
    EXPECT_NE(std::string((const char*)value).find("\"1\""), std::string::npos);
}

namespace {

// Looks at its place in the window tree from inside the modal loop.
class WatchingConsole : public YCommandDialog {
public:
    WatchingConsole() : YCommandDialog("") {}
    void ModalPass() override
    {
        m_parentWhileRunning = GetParent();
        m_parentModal = GetParent() ? GetParent()->m_modal : 0;
        EndDialog(1);
    }
    YWindow* m_parentWhileRunning = nullptr;
    int m_parentModal = 0;
};

}  // namespace

TEST_F(ConsoleCommandTest, AttachingHangsTheConsoleFromTheInterfaceWhileItRuns)
{
    ASSERT_NE(m_engine->m_interfaceMgr, nullptr);
    YCommandDialog* saved = m_engine->m_console;
    WatchingConsole* console = new WatchingConsole;
    m_engine->m_console = console;
    FixedFont font(6, 10);
    console->SetFont(&font);
    m_engine->m_interfaceMgr->m_redrawAll = 0;
    const RECT rect = {0, 0, 320, 99};
    EXPECT_EQ(m_engine->AttachConsole(&rect, nullptr), 1);
    YWindow* root = m_engine->m_interfaceMgr->GetRootWindow();
    EXPECT_EQ(console->m_parentWhileRunning, root);
    EXPECT_EQ(console->m_parentModal, 1);
    EXPECT_EQ(root->m_modal, 0);
    EXPECT_EQ(console->GetParent(), nullptr);
    EXPECT_EQ(root->GetChildCount(), 0);
    EXPECT_EQ(m_engine->m_interfaceMgr->m_redrawAll, 2);
    EXPECT_TRUE(EqualRect(&console->Rect(), &rect));
    m_engine->m_console = saved;
    delete console;
}

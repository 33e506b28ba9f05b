#include "engine/EngineFixture.h"

#include <cstring>

#include "engine/YCommandDialog.h"
#include "graphics2d/YFont.h"
#include "platform/win32.h"

namespace {

// Every character is the same width; the height is chosen by the test.
class FixedFont : public YFont {
public:
    FixedFont(int width, int height) : m_width(width), m_height(height) {}
    SIZE TextExtent(const char* text, int length) override
    {
        const int available = text ? static_cast<int>(std::strlen(text)) : 0;
        if (length < 0 || length > available) length = available;
        return SIZE{length * m_width, m_height};
    }
    int m_width;
    int m_height;
};

std::vector<std::string> Lines(const CStringList& list)
{
    std::vector<std::string> out;
    for (POSITION at = list.GetHeadPosition(); at;) out.push_back((const char*)list.GetNext(at));
    return out;
}

std::vector<std::string> Lines(const CStringArray& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.GetSize(); ++i) out.push_back((const char*)list[i]);
    return out;
}

void Type(YEditDialog& dialog, const char* text)
{
    for (const char* c = text; *c; ++c) dialog.OnChar(static_cast<unsigned char>(*c));
    dialog.OnKeyDown(VK_RETURN);
}

// 6 pixels a character, 10 rows high; a 72-pixel console leaves 60 usable pixels.
struct ConsoleFixture {
    ConsoleFixture(int width = 72, int height = 100) : font(6, 10)
    {
        dialog.SetFont(&font);
        RECT rect = {0, 0, width, height};
        dialog.Move(rect);
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
        EXPECT_TRUE(f.dialog.Edit().text.IsEmpty());
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
        f.dialog.OnKeyDown(s.key);
        EXPECT_EQ(f.dialog.GetHistoryPosition(), s.position) << s.key;
        EXPECT_STREQ(f.dialog.Edit().text, s.shown) << s.key;
        EXPECT_EQ(f.dialog.Edit().caret, static_cast<int>(std::strlen(s.shown)));
    }
}

TEST(ConsoleWindow, AddsLinesFromTheBottomUpToTheCap)
{
    struct Case {
        std::vector<const char*> texts;
        std::vector<std::string> tail;  // the last lines of the list
        int count;
    };
    // 100 pixels high: the list is 4..85, eight rows of 10.
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
        const std::vector<std::string> lines = Lines(f.dialog.List().lines);
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
        const std::vector<std::string> lines = Lines(f.dialog.List().lines);
        ASSERT_EQ(lines.size(), 50u) << c.added;
        for (int i = 0; i < c.firstMessageAt; ++i) EXPECT_EQ(lines[i], "") << c.added;
        EXPECT_EQ(lines[c.firstMessageAt], c.first) << c.added;
        EXPECT_EQ(lines.back(), c.last) << c.added;
        // The view follows the end.
        EXPECT_EQ(f.dialog.List().top, 50 - f.dialog.List().VisibleRows()) << c.added;
    }
}

TEST(ConsoleWindow, QueuedTextsMoveIntoTheListWhenDrawn)
{
    ConsoleFixture f;
    for (int i = 0; i < 55; ++i) f.dialog.QueueText(("q" + std::to_string(i)).c_str());
    EXPECT_EQ(f.dialog.GetQueueCount(), 50);
    f.dialog.Draw(nullptr);
    EXPECT_EQ(f.dialog.GetQueueCount(), 0);
    const std::vector<std::string> lines = Lines(f.dialog.List().lines);
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines.front(), "q5 ");
    EXPECT_EQ(lines.back(), "q54 ");
}

TEST(ConsoleWindow, GrowsByTheRowRemainderAndSurvivesAFontWithoutHeight)
{
    struct Case {
        int fontHeight;
        int bottom;
        int grownBottom;
    };
    // Edit box 4 above the bottom, list from 4 to one above the edit box.
    const Case cases[] = {
        {10, 100, 101},  // list 81 high
        {10, 99, 99},    // list 80 high
        {0, 100, 100},   // no rows at all
        {0, 37, 37},
    };
    for (const Case& c : cases) {
        FixedFont font(6, c.fontHeight);
        YEditDialog dialog;
        dialog.SetFont(&font);
        EXPECT_EQ(dialog.GetLineHeight(), c.fontHeight);
        RECT rect = {0, 0, 200, c.bottom};
        dialog.Move(rect);
        EXPECT_EQ(dialog.GetRect().bottom, c.grownBottom) << c.fontHeight << " " << c.bottom;
        EXPECT_EQ(dialog.Edit().rect.bottom, c.grownBottom - 4);
        EXPECT_EQ(dialog.List().rect.bottom, dialog.Edit().rect.top - 1);
        dialog.AddText("still works", &font);
        EXPECT_EQ(dialog.List().VisibleRows(), c.fontHeight ? (c.grownBottom - 4 - c.fontHeight - 1 - 4) / 10 : 0);
    }
}

TEST(ConsoleWindow, ClickOnAnEchoCopiesItIntoTheInputLine)
{
    ConsoleFixture f;
    f.dialog.AddText(">help", &f.font);
    f.dialog.AddText("no prompt", &f.font);
    const YEditDialog::LineList& list = f.dialog.List();
    struct Case {
        int line;
        const char* edit;
    };
    const Case cases[] = {
        {list.lines.GetSize() - 2, "help "},
        {list.lines.GetSize() - 1, ""},
    };
    for (const Case& c : cases) {
        f.dialog.Edit().text.Empty();
        POINT at = {10, list.rect.top + (c.line - list.top) * list.rowHeight + 2};
        f.dialog.OnLButtonUp(at);
        EXPECT_EQ(list.selected, c.line);
        EXPECT_STREQ(f.dialog.Edit().text, c.edit);
    }
}

namespace {

// Presses keys from inside the modal loop and tries to run it again.
class ScriptedConsole : public YCommandDialog {
public:
    ScriptedConsole() : YCommandDialog("") {}
    void ModalPass() override
    {
        ++m_passes;
        m_nested = RunModal(nullptr);
        if (m_passes == 1) OnKeyDown(VK_F2);
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
    console.Move(rect);
    EXPECT_EQ(console.RunModal(nullptr), 1);
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
        console.Move(rect);
        Type(console, c.typed);
        const std::vector<std::string> lines = Lines(console.List().lines);
        auto echo = std::find(lines.begin(), lines.end(), std::string(c.echo));
        ASSERT_NE(echo, lines.end()) << c.typed;
        EXPECT_EQ(echo + 1 != lines.end(), c.answered) << c.typed;
        EXPECT_STREQ(console.GetHistoryLine(0), c.typed);
    }
    YString value;
    ASSERT_TRUE(m_interpreter->ExecuteCommand("set gfx_fog", &value));
    EXPECT_NE(std::string((const char*)value).find("\"1\""), std::string::npos);
}

#include "LayoutItemFixture.h"

#include "gui/YLayoutItemDraw.h"

namespace {

typedef std::vector<std::string> Log;

// The script drawn once on a 200 x 100 layout with the recording context.
Log DrawOnce(const char* script, int charWidth = 1, int charHeight = 10)
{
    ItemLayout layout;
    RECT screen = {0, 0, 200, 100};
    layout.MoveTo(&screen);
    layout.SetScript(script);
    RecordingDC dc;
    dc.m_charWidth = charWidth;
    dc.m_charHeight = charHeight;
    layout.Draw(&dc);
    return dc.m_log;
}

TEST(TextItems, StringsAreAnchoredByTheirKindAndDrawnOnlyWhollyInside)
{
    struct Case {
        const char* script;
        int charWidth;
        Log want;
    } cases[] = {
        // 41 pixels wide: half is 20.
        {"string(ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNO, 100, 10)", 1,
         {"text 100,10 ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNO"}},
        {"cstring(ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNO, 100, 10)", 1,
         {"text 80,10 ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNO"}},
        {"rstring(ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNO, 100, 10)", 1,
         {"text 59,10 ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNO"}},
        {"istring(ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNO, 100, 50)", 1,
         {"text 80,45 ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNO"}},
        // 40 wide centred on 180 ends at 200, the layout's edge; on 181 it crosses it by one.
        {"istring(ABCD, 180, 50)", 10, {"text 160,45 ABCD"}},
        {"istring(ABCD, 181, 50)", 10, {}},
        {"istring(ABCD, 20, 5)", 10, {"text 0,0 ABCD"}},
        {"istring(ABCD, 20, 4)", 10, {}},
        {"rstring(ABCD, 39, 0)", 10, {}},
        // Only the text: drawn at the group's origin.
        {"string(Hi)", 3, {"text 0,0 Hi"}},
        {"string(Hi, 0)", 3, {"text 0,0 Hi"}},
        {"group(10, 20, 110, 90) string(Hi, 5, 6) endgroup", 3, {"text 15,26 Hi"}},
        {"group(10, 20, 110, 90, 7, 8) string(Hi, 5, 6) endgroup", 3, {"text 22,34 Hi"}},
        {"group(10, 20, 110, 90) string(Hi, 96, 6) endgroup", 3, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, DrawOnce(c.script, c.charWidth)) << c.script;
}

TEST(TextItems, AStringWithOnlyItsTextDrawsItsLiveTextAtTheGroupOrigin)
{
    // One argument is below the minimum: nothing else loads, the anchor stays at
    // the group's origin and the text is read again every frame.
    ItemLayout layout;
    RECT screen = {0, 0, 200, 100};
    layout.MoveTo(&screen);
    layout.m_texts["score"] = "12";
    layout.SetScript("group(30, 40, 200, 100) string(score) endgroup");
    RecordingDC dc;
    layout.Draw(&dc);
    layout.m_texts["score"] = "345";
    layout.Draw(&dc);
    EXPECT_EQ((Log{"text 30,40 12", "text 30,40 345"}), dc.m_log);
}

TEST(TextItems, BoxesDrawWithWordBreakOnlyInsideTheGroup)
{
    struct Case {
        const char* script;
        Log want;
    } cases[] = {
        {"bstring(Some words, 10, 10, 90, 40)", {"box 10,10,90,40 Some words 16"}},
        {"bstring(Some words, 10, 10, 201, 40)", {}},
        {"group(50, 50, 150, 90) bstring(Some words, 0, 0, 100, 40) endgroup", {"box 50,50,150,90 Some words 16"}},
        {"group(50, 50, 150, 90) bstring(Some words, 0, 0, 100, 41) endgroup", {}},
        // Two to four arguments keep an empty box.
        {"bstring(Some words, 10, 10, 90)", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, DrawOnce(c.script)) << c.script;
}

TEST(TextItems, TheTickerShowsItsRateOfCharactersASecond)
{
    struct Case {
        const char* script;
        std::vector<DWORD> times;
        Log want;
    } cases[] = {
        {"bstringtick(ABCDEFGHIJ, 0, 0, 100, 20, 5, 1)",
         {0, 100, 1000, 1400, 2000, 2000, 2100},
         // Never fewer than one; the whole text once, then it starts again.
         {"A", "A", "ABCDE", "ABCDEFG", "ABCDEFGHIJ", "A", "A"}},
        {"bstringtick(ABCDEFGHIJ, 0, 0, 100, 20, 5, 0)",
         {0, 1000, 2000, 2100, 9000},
         // Without repeat the whole text stays.
         {"A", "ABCDE", "ABCDEFGHIJ", "ABCDEFGHIJ", "ABCDEFGHIJ"}},
        {"bstringtick(ABCDEFGHIJ, 0, 0, 100, 20, 0, 1)", {0, 500}, {"ABCDEFGHIJ", "ABCDEFGHIJ"}},
        // The default rate is 5.
        {"bstringtick(ABCDEFGHIJ, 0, 0, 100, 20)", {0, 600}, {"A", "ABC"}},
        // A refresh ticker loads every frame and so starts again every frame.
        {"bstringtickr(ABCDEFGHIJ, 0, 0, 100, 20, 5, 1)", {0, 1000, 2000}, {"A", "A", "A"}},
    };
    for (const Case& c : cases) {
        ManualClock clock(50000);
        ItemLayout layout;
        RECT screen = {0, 0, 200, 100};
        layout.MoveTo(&screen);
        layout.SetScript(c.script);
        RecordingDC dc;
        Log shown;
        for (DWORD t : c.times) {
            clock.Set(50000 + t);
            dc.m_log.clear();
            layout.Draw(&dc);
            ASSERT_EQ(1u, dc.m_log.size()) << c.script << " at " << t;
            shown.push_back(dc.m_log[0].substr(dc.m_log[0].find(' ', 4) + 1, dc.m_log[0].rfind(' ') - dc.m_log[0].find(' ', 4) - 1));
        }
        EXPECT_EQ(c.want, shown) << c.script;
    }
}

TEST(TextItems, FontsAndSpacingApplyOnlyWhileTheItemDraws)
{
    YFont current, named;
    current.SetSpacing(3);
    named.SetSpacing(1);
    struct Case {
        const char* script;
        YFont* font;
        int spacing;
    } cases[] = {
        {"string(T, 0, 0)", &current, 3},
        // A named font gets no spacing from the context's font.
        {"string(T, 0, 0, Named)", &named, 0},
        {"string(T, 0, 0, Named, 7)", &named, 7},
        {"string(T, 0, 0, Unknown, 7)", &current, 7},
        {"bstring(T, 0, 0, 50, 20, Named, 4)", &named, 4},
        {"bstringtick(T, 0, 0, 50, 20, 5, 1, Named, 6)", &named, 6},
        {"bstringtick(T, 0, 0, 50, 20, 5, 1)", &current, 3},
    };
    for (const Case& c : cases) {
        ItemLayout layout;
        RECT screen = {0, 0, 200, 100};
        layout.MoveTo(&screen);
        layout.m_fonts["Named"] = &named;
        layout.SetScript(c.script);
        RecordingDC dc;
        dc.SwapFont(&current);
        layout.Draw(&dc);
        ASSERT_EQ(1u, dc.m_log.size()) << c.script;
        EXPECT_EQ(c.font, dc.m_fontsSeen[0]) << c.script;
        EXPECT_EQ(c.spacing, dc.m_spacingSeen[0]) << c.script;
        // Put back as they were.
        EXPECT_EQ(&current, dc.GetFont()) << c.script;
        EXPECT_EQ(3, current.GetSpacing()) << c.script;
        EXPECT_EQ(1, named.GetSpacing()) << c.script;
    }
}

TEST(TextItems, ShapesAndGridLines)
{
    struct Case {
        const char* script;
        Log want;
    } cases[] = {
        {"grid(10, 10, 35, 30, 10, 10)",
         {"frame 10,10,35,30", "line 10,10-10,30", "line 20,10-20,30", "line 30,10-30,30", "line 10,10-35,10",
          "line 10,20-35,20", "line 10,30-35,30"}},
        // A step of 0 or less would never end: the frame only.
        {"grid(10, 10, 35, 30, 0, 10)", {"frame 10,10,35,30"}},
        {"grid(10, 10, 35, 30, 10, -3)", {"frame 10,10,35,30"}},
        // No arguments: an empty rectangle at the origin is still inside.
        {"grid", {"frame 0,0,0,0", "line 0,0-0,0", "line 0,0-0,0"}},
        {"rect(1, 2, 3, 4)", {"rect 1,2,3,4"}},
        {"framerect(1, 2, 3, 4)", {"frame 1,2,3,4"}},
        {"framerect(1, 2, 3)", {"frame 0,0,0,0"}},
        {"rect(150, 50, 201, 60)", {}},
        // Lines are never tested against the group.
        {"line(-5, 5, 300, 500)", {"line -5,5-300,500"}},
        {"group(10, 10, 50, 50) line(0, 0, 5, 5) rect(0, 0, 41, 5) endgroup", {"line 10,10-15,15"}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, DrawOnce(c.script)) << c.script;
}

TEST_F(ItemPixelTest, ShapesColourTheirPixels)
{
    const COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);
    struct Case {
        const char* script;
        COLORREF colour;
        std::vector<std::string> want;
    } cases[] = {
        {"rect(2, 1, 6, 4, 255, 0, 0)", kRed, {"........", "..####..", "..####..", "..####..", "........"}},
        // Eight arguments: the colour is not read, black.
        {"rect(2, 1, 6, 4, 255, 0, 0, 1)", kBlack, {"........", "..####..", "..####..", "..####..", "........"}},
        // Colour parts keep their low 8 bits.
        {"framerect(1, 0, 6, 4, 256, 0, 511)", kBlue, {".#####..", ".#...#..", ".#...#..", ".#####..", "........"}},
        {"grid(0, 0, 7, 5, 3, 2, 255, 0, 0)", kRed, {"#######.", "#..#..#.", "#######.", "#..#..#.", "#######."}},
        {"grid(0, 0, 7, 5, 0, 2, 255, 0, 0)", kRed, {"#######.", "#.....#.", "#.....#.", "#.....#.", "#######."}},
        {"line(0, 4, 5, 4, 0, 0, 255)", kBlue, {"........", "........", "........", "........", "#####..."}},
        // Not wholly inside the layout: nothing.
        {"rect(2, 1, 9, 4, 255, 0, 0)", kRed, {"........", "........", "........", "........", "........"}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<YDXSurface> target = Target(8, 5);
        target->Clear(nullptr, static_cast<LONG>(PixelOf(*target, kWhite)));
        YSurfaceDC dc(target.get(), 0);
        std::unique_ptr<ItemLayout> layout = Layout(c.script, 8, 5);
        layout->Draw(&dc);
        EXPECT_EQ(c.want, Map(*target, c.colour)) << c.script;
    }
}

TEST(TextItems, ARefreshItemReadsItsArgumentsEveryFrame)
{
    for (const char* keyword : {"rect", "rectr"}) {
        ItemLayout layout;
        RECT screen = {0, 0, 200, 100};
        layout.MoveTo(&screen);
        layout.m_values["w"] = 10;
        layout.SetScript((std::string(keyword) + "(0, 0, w, 5)").c_str());
        RecordingDC dc;
        layout.Draw(&dc);
        layout.m_values["w"] = 20;
        layout.Draw(&dc);
        const bool refresh = keyword[4] == 'r';
        EXPECT_EQ((Log{"rect 0,0,10,5", refresh ? "rect 0,0,20,5" : "rect 0,0,10,5"}), dc.m_log) << keyword;
        // A reload reads them again either way.
        layout.ReloadAll();
        layout.Draw(&dc);
        EXPECT_EQ("rect 0,0,20,5", dc.m_log.back()) << keyword;
    }
}

TEST(TextItems, TheirCostIsAddedToTheLayoutsTextTime)
{
    ManualClock clock(1000);
    struct SlowDC : RecordingDC {
        void FrameRect(const RECT* r, CBrush* b) override
        {
            RecordingDC::FrameRect(r, b);
            platform::Clock::Advance(7);
        }
    } dc;
    ItemLayout layout;
    RECT screen = {0, 0, 200, 100};
    layout.MoveTo(&screen);
    layout.SetScript("framerect(0, 0, 5, 5) framerect(0, 0, 6, 6)");
    layout.Draw(&dc);
    EXPECT_EQ(14, layout.m_textTime);
}

}  // namespace

// The tool tip: its list of tips, the half-second delay under the mouse, the
// box above the hovered window kept on the surface, and the overlay pass.
#include <memory>

#include "ControlFixture.h"
#include "graphics2d/YDXDraw.h"
#include "graphics2d/YDXSurface.h"
#include "gui/YToolTipCtrl.h"

using namespace controls;

namespace {

YWindow* MakeWindow(YWindow* parent, RECT r)
{
    YWindow* window = new YWindow;
    window->Create(0, "w", 0, &r, parent, 0, 0);
    return window;
}

// A 640 x 480 surface for the context to report.
class ToolTipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GUID primary;
        memset(&primary, 0, sizeof primary);
        ASSERT_EQ(1, m_display.Create(primary));
        ASSERT_EQ(1, m_display.SetMode(0, nullptr));
        ASSERT_EQ(1, m_surface.CreateSurface(&m_display, 640, 480, DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr));
        m_dc.m_surface = &m_surface;
        m_root.MoveTo(&m_screen);
    }
    void TearDown() override { m_nowhere.SetHover(); }
    std::string Overlay()
    {
        m_dc.m_log.clear();
        m_root.DrawOverlay(&m_dc);
        return m_dc.Joined();
    }

    YDXDraw m_display;
    YDXSurface m_surface;
    LogDC m_dc;
    RECT m_screen = {0, 0, 640, 480};
    YWindow m_root;
    YWindow m_nowhere;
};

}  // namespace

TEST_F(ToolTipTest, TipsAreAddedReplacedAndRemoved)
{
    YToolTipCtrl tips;
    YWindow a, b;
    EXPECT_EQ(1, tips.AddTip(&a, "first", 0, 0));
    EXPECT_EQ(1, tips.AddTip(&a, "second", 100, 100));
    EXPECT_EQ(1, tips.GetTipCount());
    EXPECT_STREQ("second", tips.FindTip(&a)->m_text);
    tips.SetTip(&b, "b");
    tips.SetTip(&b, "bee");
    EXPECT_EQ(2, tips.GetTipCount());
    EXPECT_STREQ("bee", tips.FindTip(&b)->m_text);
    EXPECT_EQ(1, tips.RemoveTip(&a));
    EXPECT_EQ(0, tips.RemoveTip(&a));
    EXPECT_EQ(nullptr, tips.FindTip(&a));
    EXPECT_EQ(1, tips.GetTipCount());
}

TEST_F(ToolTipTest, TheTipShowsAfterHalfASecondAboveTheWindow)
{
    ManualClock clock(10000);
    YToolTipCtrl* tips = new YToolTipCtrl;
    tips->Create(&m_root, 0);
    YWindow* a = MakeWindow(&m_root, RECT{100, 200, 180, 220});
    YWindow* b = MakeWindow(&m_root, RECT{300, 200, 380, 220});
    YWindow* silent = MakeWindow(&m_root, RECT{400, 200, 480, 220});
    tips->AddTip(a, "Hello", 0, 0);
    tips->AddTip(b, "Bye", 0, 0);
    tips->AddTip(silent, "", 0, 0);
    const char* const kA = "rect 100,184,134,198 FFFFFF | text 102,186 Hello";
    const char* const kB = "rect 300,184,322,198 FFFFFF | text 302,186 Bye";
    struct Step {
        YWindow* hover;
        DWORD wait;
        const char* drawn;
    } steps[] = {
        {a, 0, ""},      {a, 500, ""},    {a, 1, kA},   {a, 1000, kA},
        {b, 0, ""},      {b, 400, ""},    {b, 100, ""}, {b, 1, kB},  // moving on restarts the delay
        {silent, 0, ""}, {silent, 900, ""},  // an empty text shows nothing
        {b, 0, ""},      {b, 501, kB},                                // and the delay starts over
        {&m_nowhere, 0, ""},  // no tip at all
        {b, 600, ""},    {b, 500, ""},    {b, 1, kB},  // timed from the first pass that sees it
    };
    for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
        SCOPED_TRACE(i);
        steps[i].hover->SetHover();
        clock.Advance(steps[i].wait);
        EXPECT_EQ(steps[i].drawn, Overlay());
    }
}

TEST_F(ToolTipTest, TheBoxIsKeptOnTheSurface)
{
    struct Case {
        const char* name;
        RECT window;
        const char* box;
    } cases[] = {
        {"room above", {100, 200, 150, 220}, "100,184,134,198"},
        {"at the top: moved down to 0", {50, 5, 100, 25}, "50,0,84,14"},
        {"at the right edge: moved left", {620, 100, 640, 120}, "606,84,640,98"},
        {"right edge exactly", {606, 100, 640, 120}, "606,84,640,98"},
        {"off the left: moved right", {-10, 100, 20, 120}, "0,84,34,98"},
        {"below the surface: moved up", {10, 490, 60, 500}, "10,466,44,480"},
        {"one correction only", {-10, 5, 20, 25}, "0,-11,34,3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ManualClock clock(0);
        YToolTipCtrl* tips = new YToolTipCtrl;
        tips->Create(&m_root, 0);
        YWindow* window = MakeWindow(&m_root, c.window);
        tips->AddTip(window, "Hello", 0, 0);
        window->SetHover();
        Overlay();
        clock.Advance(501);
        const std::string drawn = Overlay();
        ASSERT_FALSE(drawn.empty());
        EXPECT_EQ(std::string("rect ") + c.box + " FFFFFF", drawn.substr(0, drawn.find(" |")));
        delete window;
        delete tips;
    }
}

TEST_F(ToolTipTest, BackgroundAndFont)
{
    ManualClock clock(0);
    YToolTipCtrl* tips = new YToolTipCtrl(0x0014281C);
    tips->Create(&m_root, 0);
    TestFont font("tip");
    tips->SetFont(&font);
    YWindow* a = MakeWindow(&m_root, RECT{100, 200, 180, 220});
    tips->AddTip(a, "Hi", 0, 0);
    a->SetHover();
    Overlay();
    clock.Advance(501);
    EXPECT_EQ("rect 100,184,116,198 14281C | text 102,186 Hi [tip]", Overlay());
    EXPECT_EQ(nullptr, m_dc.GetFont());
    tips->SetBackground(RGB(1, 2, 3));
    EXPECT_EQ("rect 100,184,116,198 030201 | text 102,186 Hi [tip]", Overlay());
    // A hidden parent takes the tip out of the overlay pass.
    m_root.m_visible = 0;
    EXPECT_EQ("", Overlay());
    m_root.m_visible = 1;
}

TEST_F(ToolTipTest, TheOverlayPassReachesTipsDeepInTheTree)
{
    ManualClock clock(0);
    YWindow* panel = MakeWindow(&m_root, RECT{0, 0, 300, 300});
    YToolTipCtrl* tips = new YToolTipCtrl;
    tips->Create(panel, 0);
    YWindow* a = MakeWindow(panel, RECT{50, 50, 80, 70});
    tips->AddTip(a, "x", 0, 0);
    a->SetHover();
    Overlay();
    clock.Advance(501);
    EXPECT_EQ("rect 50,34,60,48 FFFFFF | text 52,36 x", Overlay());
    // The tip window itself is never under the point.
    EXPECT_EQ(a, m_root.ChildFromPoint(55, 55, 0));
    EXPECT_EQ(panel, m_root.ChildFromPoint(5, 5, 0));
}

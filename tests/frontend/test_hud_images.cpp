// The gauge frame, gauge bar and digit images a game layout makes on its
// first draw, read back by pixels, made again after ReleaseSurfaces; and the
// keyboard the layout gives back when it goes.
#include <gtest/gtest.h>

#include <memory>

#include "ScriptedInput.h"
#include "engine/YGameObjects.h"
#include "frontend/YAppLayout.h"
#include "graphics2d/Graphics2dFixture.h"
#include "graphics2d/YSurfaceDC.h"
#include "graphics2d/test_font_fixture.h"
#include "input/YInputObj.h"

namespace {

// The game layout drawing on the test's display.
class DisplayLayout : public YAppLayout {
public:
    explicit DisplayLayout(YDXDraw* display) : m_display(display) {}
    YDXDraw* GetDisplay() override { return m_display; }
    YDXDraw* m_display;
};

class HudImages : public Graphics2dTest {
protected:
    void SetUp() override
    {
        Graphics2dTest::SetUp();
        ASSERT_EQ(1, m_target.CreateSurface(&display, 640, 480, DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr));
    }
    uint32_t At(YDXSurface& s, int x, int y)
    {
        const DDPIXELFORMAT& f = s.GetDescription().ddpfPixelFormat;
        return Read(s)[static_cast<size_t>(y) * s.GetWidth() + x] & (f.dwRBitMask | f.dwGBitMask | f.dwBBitMask);
    }
    bool Is(YDXSurface& s, int x, int y, COLORREF colour) { return At(s, x, y) == PixelOf(s, colour); }
    int Count(YDXSurface& s, COLORREF colour)
    {
        int n = 0;
        for (int y = 0; y < static_cast<int>(s.GetHeight()); ++y)
            for (int x = 0; x < static_cast<int>(s.GetWidth()); ++x) n += Is(s, x, y, colour) ? 1 : 0;
        return n;
    }
    void CheckImages(DisplayLayout& layout)
    {
        const COLORREF magenta = RGB(255, 0, 255), blue = RGB(0, 0, 255);
        ASSERT_NE(nullptr, layout.m_pGuageFrame);
        YDXSurface& frame = *layout.m_pGuageFrame;
        EXPECT_EQ(92u, frame.GetWidth());
        EXPECT_EQ(12u, frame.GetHeight());
        EXPECT_EQ(2 * 92 + 2 * 10, Count(frame, blue)) << "a one-pixel blue frame";
        EXPECT_EQ(90 * 10, Count(frame, magenta)) << "a transparent inside";
        EXPECT_TRUE(frame.HasKey());
        EXPECT_EQ(PixelOf(frame, magenta), frame.GetKeyValue());

        ASSERT_NE(nullptr, layout.m_pGuageBar);
        YDXSurface& bar = *layout.m_pGuageBar;
        EXPECT_EQ(98u, bar.GetWidth());
        EXPECT_EQ(10u, bar.GetHeight());
        const struct {
            int x;
            COLORREF colour;
        } bands[] = {{0, RGB(253, 45, 25)},   {9, RGB(253, 45, 25)},  {10, RGB(248, 253, 47)},
                     {24, RGB(248, 253, 47)}, {25, RGB(31, 248, 96)}, {97, RGB(31, 248, 96)}};
        for (const auto& b : bands)
            for (int y : {0, 5, 9}) EXPECT_TRUE(Is(bar, b.x, y, b.colour)) << b.x << ", " << y;

        for (int n = 0; n < YAppLayout::kDigitCount; ++n) {
            ASSERT_NE(nullptr, layout.m_pDigits[n]) << n;
            YDXSurface& digit = *layout.m_pDigits[n];
            EXPECT_EQ(16u, digit.GetWidth());
            EXPECT_EQ(24u, digit.GetHeight());
            const int ink = Count(digit, blue);
            EXPECT_GT(ink, 20) << "digit " << n << " is written in blue";
            EXPECT_EQ(16 * 24, ink + Count(digit, magenta)) << "on magenta, digit " << n;
        }
        // Different digits, different ink.
        EXPECT_NE(Read(*layout.m_pDigits[1]), Read(*layout.m_pDigits[8]));
    }

    YDXSurface m_target;
};

}  // namespace

TEST_F(HudImages, TheFirstDrawMakesThemAndReleaseLetsThemGoUntilTheNext)
{
    DisplayLayout layout(&display);
    RECT screen = {0, 0, 640, 480};
    layout.MoveTo(&screen);
    layout.SetScript("rect(0, 0, 10, 10, 255, 255, 255)");
    YSurfaceDC dc(&m_target, 0);
    EXPECT_EQ(nullptr, layout.m_pGuageFrame);
    layout.Draw(&dc);
    CheckImages(layout);
    EXPECT_EQ(&m_target, dc.GetSurface()) << "the context draws on its own surface again";
    EXPECT_TRUE(Is(m_target, 5, 5, RGB(255, 255, 255))) << "the items drew there";

    YDXSurface* frame = layout.m_pGuageFrame;
    layout.Draw(&dc);
    EXPECT_EQ(frame, layout.m_pGuageFrame) << "made once";

    layout.ReleaseSurfaces();
    EXPECT_EQ(nullptr, layout.m_pGuageFrame);
    EXPECT_EQ(nullptr, layout.m_pGuageBar);
    for (YDXSurface* digit : layout.m_pDigits) EXPECT_EQ(nullptr, digit);
    layout.Draw(&dc);
    CheckImages(layout);
}

TEST_F(HudImages, WithoutADisplayTheyAreTriedAgainOnTheNextDraw)
{
    DisplayLayout layout(nullptr);
    YSurfaceDC dc(&m_target, 0);
    layout.Draw(&dc);
    EXPECT_EQ(nullptr, layout.m_pGuageFrame);
    EXPECT_EQ(nullptr, layout.m_pDigits[0]);
    layout.m_display = &display;
    layout.Draw(&dc);
    CheckImages(layout);
}

TEST(AppLayoutKeyboardOnExit, DestroyingALayoutSwitchesTheKeyboardOn)
{
    YGameObjects* engine = YGameObjects::Instance();
    platform::ResetDirectInput();
    CWinApp app;
    CFrameWnd* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "Keys", WS_OVERLAPPED | WS_CAPTION));
    app.m_pMainWnd = frame;
    YInputObj input(nullptr);
    ASSERT_TRUE(input.Create(&input.m_settings));
    YInputObj* former = engine->m_input;
    engine->m_input = &input;
    {
        std::unique_ptr<YLayout> layout(new YAppLayout);
        layout->KeyboardOn(false);
        EXPECT_EQ(0, input.m_keyboard.m_active);
    }
    EXPECT_EQ(1, input.m_keyboard.m_active);
    engine->m_input = former;
    input.Destroy();
    app.m_pMainWnd = nullptr;
    DestroyWindow(frame->m_hWnd);
    platform::ResetDirectInput();
}

#include <gtest/gtest.h>

#include "foundation/YResource.h"
#include "gui/YDC.h"

namespace {

// Fonts and surfaces are only stored by the base context, never used.
alignas(8) char fontA[8], fontB[8], surface[8];
YFont* const kFontA = reinterpret_cast<YFont*>(fontA);
YFont* const kFontB = reinterpret_cast<YFont*>(fontB);
YDXSurface* const kSurface = reinterpret_cast<YDXSurface*>(surface);

TEST(DrawingContext, TheBaseDrawsNothingAndReportsItsDefaults)
{
    YDC dc;
    CBrush brush(RGB(1, 2, 3));
    CPen pen(PS_SOLID, 1, RGB(4, 5, 6));
    CRgn region;
    region.CreateRectRgn(0, 0, 4, 4);
    YResource resource;
    RECT rect = {0, 0, 10, 10};
    struct Case {
        const char* name;
        int result, want;
    } cases[] = {
        {"BltSurfaceRect", dc.BltSurfaceRect(kSurface, 1, 2, 0, 0, 4, 4), 1},
        {"BltSurface", dc.BltSurface(kSurface, 1, 2), 1},
        {"DrawFromSource", dc.DrawFromSource(&rect, &resource, &dc, 0), 1},
        {"DrawFromSource without source", dc.DrawFromSource(&rect, &resource, nullptr, 0), 1},
        {"SpareWithTwo", dc.SpareWithTwo(1, 2), 1},
        {"DrawLine", dc.DrawLine(0, 0, 5, 5, &pen), 0},
        {"InvertRect", dc.InvertRect(&rect), 0},
        {"SpareWithOne", dc.SpareWithOne(3), 0},
        {"DrawText", dc.DrawText("text", &rect, DT_CENTER), 0},
        {"DrawResource", dc.DrawResource(&rect, &resource, 0, 0), 1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, c.result) << c.name;

    dc.FillRect(&rect, &brush, 0, 0);
    dc.FillRgn(&region, &brush, 0, 0);
    dc.FrameRect(&rect, &brush);
    dc.Rectangle(&rect, &brush, &pen);
    dc.TextOut(0, 0, "text", 4);
    EXPECT_EQ(nullptr, dc.CreateSource(16, 16));
    EXPECT_EQ(nullptr, dc.GetSurface());
    EXPECT_EQ(nullptr, dc.SetSurface(kSurface));
    EXPECT_EQ(nullptr, dc.GetSurface());
    EXPECT_EQ(10, rect.right);  // the box is left as it was
}

TEST(DrawingContext, TextMeasuresNothing)
{
    YDC dc;
    SIZE size = {123, 456};
    EXPECT_EQ(1, dc.GetTextExtent("a long text", &size));
    EXPECT_EQ(0, size.cx);
    EXPECT_EQ(0, size.cy);
    dc.SwapFont(kFontA);
    size = SIZE{7, 7};
    EXPECT_EQ(1, dc.GetTextExtent("a long text", &size));
    EXPECT_EQ(0, size.cx);
}

TEST(DrawingContext, SettersReturnWhatTheyReplace)
{
    YDC dc;
    EXPECT_EQ(nullptr, dc.GetFont());
    EXPECT_EQ(nullptr, dc.SwapFont(kFontA));
    EXPECT_EQ(kFontA, dc.SwapFont(kFontB));
    EXPECT_EQ(kFontB, dc.GetFont());
    EXPECT_EQ(kFontB, dc.SwapFont(nullptr));
    EXPECT_EQ(nullptr, dc.GetFont());

    CFont first, second;
    EXPECT_EQ(nullptr, dc.SetGdiFont(&first));
    EXPECT_EQ(&first, dc.SetGdiFont(&second));
    EXPECT_EQ(&second, dc.SetGdiFont(nullptr));

    EXPECT_EQ(0u, dc.GetTextColor());
    EXPECT_EQ(0u, dc.SetTextColor(RGB(10, 20, 30)));
    EXPECT_EQ(RGB(10, 20, 30), dc.SetTextColor(RGB(1, 1, 1)));
    EXPECT_EQ(RGB(1, 1, 1), dc.GetTextColor());
}

}  // namespace

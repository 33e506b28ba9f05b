#include <gtest/gtest.h>

#include <climits>

#include "platform/win32.h"

namespace {

// The text height of "Ag" in a font of that logical height.
LONG TextHeight(int height)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                             NONANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, "Ag", 2, &size);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return size.cy;
}

TEST(GdiFontSize, HugeHeightsAreKeptToAScreenSizedEm)
{
    const LONG normal = TextHeight(-20);
    ASSERT_GT(normal, 15);
    // Beyond any screen: drawn as the largest em, at once, with no overflow
    // of the cell-height arithmetic.
    const LONG largest = TextHeight(-1024);
    for (int height : {-100000, -INT_MAX, 100000000, INT_MAX}) EXPECT_EQ(largest, TextHeight(height)) << height;
    EXPECT_GT(largest, 1000);
    EXPECT_LT(largest, 1400);
}

}  // namespace

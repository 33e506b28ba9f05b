#include "Graphics2dFixture.h"

#include "graphics2d/YDXPalette.h"
#include "graphics2d/YDXSurfaceSource.h"

namespace {
// A colour table where entry i is (i, 255 - i, 7).
class RampBitmap : public YDXSurfaceSource {
public:
    int GetWidth() override { return 1; }
    int GetHeight() override { return 1; }
    int GetPaletteEntries(int first, int count, PALETTEENTRY* out) override
    {
        for (int i = 0; i < count; ++i)
            out[i] = {static_cast<BYTE>(first + i), static_cast<BYTE>(255 - first - i), 7, 0};
        return 1;
    }
    int DrawToSurface(YDXSurface*, int, int) override { return 1; }
};

class YDXPaletteTest : public Graphics2dTest {};

TEST_F(YDXPaletteTest, WindowedPaletteNamesTheSystemEntries)
{
    RampBitmap bitmap;
    YDXPalette palette;
    ASSERT_EQ(1, palette.CreatePalette(&bitmap, &display, 1));
    const PALETTEENTRY* e = palette.GetEntries();
    for (int k : {0, 9, 246, 255}) {
        EXPECT_EQ(PC_EXPLICIT, e[k].peFlags);
        EXPECT_EQ(k, e[k].peRed);
        EXPECT_EQ(0, e[k].peGreen);
        EXPECT_EQ(0, e[k].peBlue);
    }
    for (int k : {10, 128, 245}) {
        EXPECT_EQ(PC_NOCOLLAPSE, e[k].peFlags);
        EXPECT_EQ(255 - k, e[k].peGreen);
    }
}

TEST_F(YDXPaletteTest, FullScreenPaletteTakesTheBitmapOrTheSystemColours)
{
    ASSERT_EQ(1, display.SetMode(1, reinterpret_cast<HWND>(1)));
    RampBitmap bitmap;
    YDXPalette plain, system;
    ASSERT_EQ(1, plain.CreatePalette(&bitmap, &display, 0));
    for (int k : {0, 5, 250, 255}) {
        EXPECT_EQ(k, plain.GetEntries()[k].peRed);
        EXPECT_EQ(255 - k, plain.GetEntries()[k].peGreen);
        EXPECT_EQ(0, plain.GetEntries()[k].peFlags);
    }
    ASSERT_EQ(1, system.CreatePalette(&bitmap, &display, 1));
    const PALETTEENTRY* e = system.GetEntries();
    EXPECT_EQ(166, e[9].peRed);
    EXPECT_EQ(202, e[9].peGreen);
    EXPECT_EQ(240, e[9].peBlue);
    EXPECT_EQ(255, e[253].peRed);
    EXPECT_EQ(0, e[253].peGreen);
    EXPECT_EQ(255, e[253].peBlue);
    EXPECT_EQ(100, e[100].peRed);
    ASSERT_EQ(1, display.SetMode(0, reinterpret_cast<HWND>(1)));
}

TEST_F(YDXPaletteTest, DrawNeedsA256SquareSurface)
{
    RampBitmap bitmap;
    YDXPalette palette;
    ASSERT_EQ(1, palette.CreatePalette(&bitmap, &display, 0));
    YDXSurface small("small"), square("square");
    ASSERT_EQ(1, small.CreateSurface(&display, 255, 300, DDSCAPS_SYSTEMMEMORY, &palette, 0, nullptr));
    EXPECT_EQ(0, palette.Draw(&small));
    DDSURFACEDESC2 desc;
    EXPECT_EQ(1, small.Lock(&desc));  // it was left unlocked
    small.Unlock();
    ASSERT_EQ(1, square.CreateSurface(&display, 256, 256, DDSCAPS_SYSTEMMEMORY, &palette, 0, nullptr));
    ASSERT_EQ(1, palette.Draw(&square));
    ASSERT_EQ(1, square.Lock(&desc));
    const uint8_t* bits = static_cast<const uint8_t*>(desc.lpSurface);
    EXPECT_EQ(33, bits[33 * desc.lPitch + 17]);
    EXPECT_EQ(255, bits[255 * desc.lPitch + 255]);
    EXPECT_EQ(0, bits[15 * desc.lPitch + 15]);
    square.Unlock();
    YDXPalette empty;
    EXPECT_EQ(0, empty.Draw(&square));
}
}  // namespace

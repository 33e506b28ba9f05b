#include "Graphics2dFixture.h"

#include "foundation/SaveDCBitmap.h"

namespace {
uint32_t U32(const BYTE* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

class SaveDCBitmapTest : public Graphics2dTest {
protected:
    std::vector<BYTE> Save(YDXSurface& s, RECT rect)
    {
        CMemFile file;
        HDC dc = nullptr;
        EXPECT_EQ(1, s.GetDC(&dc));
        SaveDCBitmap(&file, dc, rect);
        s.ReleaseDC(dc);
        DWORD length = file.GetLength();
        BYTE* bytes = file.Detach();
        std::vector<BYTE> out(bytes, bytes + length);
        free(bytes);
        return out;
    }
};

TEST_F(SaveDCBitmapTest, SixteenBitScreenBecomesA24BitBottomUpBmp)
{
    YDXSurface s("screen");
    DDPIXELFORMAT f = RgbFormat(16, 0xF800, 0x07E0, 0x001F);
    ASSERT_EQ(1, s.CreateSurface(&display, 5, 4, DDSCAPS_SYSTEMMEMORY, nullptr, 0, &f));
    // Rows 1 and 2 of columns 1 to 3: red on the upper row, blue on the lower.
    Write(s, {0, 0, 0, 0, 0,  0, 0xF800, 0xF800, 0xF800, 0,  0, 0x001F, 0x001F, 0x001F, 0,  0, 0, 0, 0, 0});
    RECT rect = {1, 1, 4, 3};
    std::vector<BYTE> bmp = Save(s, rect);
    const uint32_t row = 12;  // 3 pixels of 3 bytes, padded to 4
    ASSERT_EQ(54 + 2 * row, bmp.size());
    EXPECT_EQ('B', bmp[0]);
    EXPECT_EQ('M', bmp[1]);
    EXPECT_EQ(54 + 2 * row, U32(&bmp[2]));
    EXPECT_EQ(0u, U32(&bmp[6]));
    EXPECT_EQ(54u, U32(&bmp[10]));
    EXPECT_EQ(40u, U32(&bmp[14]));
    EXPECT_EQ(3u, U32(&bmp[18]));
    EXPECT_EQ(2u, U32(&bmp[22]));  // positive: bottom-up
    EXPECT_EQ(1, bmp[26]);
    EXPECT_EQ(24, bmp[28]);
    EXPECT_EQ(0u, U32(&bmp[30]));
    EXPECT_EQ(2 * row, U32(&bmp[34]));
    // First stored row is the bottom one: blue, as blue, green, red bytes.
    EXPECT_EQ(0xFF, bmp[54 + 0]);
    EXPECT_EQ(0x00, bmp[54 + 2]);
    EXPECT_EQ(0xFF, bmp[54 + 6]);
    EXPECT_EQ(0x00, bmp[54 + 9]);  // padding
    EXPECT_EQ(0x00, bmp[54 + row + 0]);
    EXPECT_EQ(0xFF, bmp[54 + row + 2]);
}

TEST_F(SaveDCBitmapTest, EightBitScreenKeepsItsColourTable)
{
    YDXSurface s("screen8");
    DDPIXELFORMAT f;
    memset(&f, 0, sizeof f);
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    f.dwRGBBitCount = 8;
    ASSERT_EQ(1, s.CreateSurface(&display, 3, 1, DDSCAPS_SYSTEMMEMORY, nullptr, 0, &f));
    PALETTEENTRY entries[256];
    memset(entries, 0, sizeof entries);
    entries[2] = {10, 20, 30, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(DD_OK, display.GetDirectDraw()->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr));
    ASSERT_EQ(DD_OK, s.GetSurface()->SetPalette(palette));
    palette->Release();
    Write(s, {2, 0, 2});
    RECT rect = {0, 0, 3, 1};
    std::vector<BYTE> bmp = Save(s, rect);
    ASSERT_EQ(14u + 1064u + 4u, bmp.size());
    EXPECT_EQ(14u + 1064u, U32(&bmp[10]));
    EXPECT_EQ(8, bmp[28]);
    EXPECT_EQ(30, bmp[54 + 2 * 4 + 0]);  // entry 2: blue, green, red, 0
    EXPECT_EQ(20, bmp[54 + 2 * 4 + 1]);
    EXPECT_EQ(10, bmp[54 + 2 * 4 + 2]);
    EXPECT_EQ(2, bmp[1078]);
    EXPECT_EQ(0, bmp[1079]);
    EXPECT_EQ(2, bmp[1080]);
}
}  // namespace

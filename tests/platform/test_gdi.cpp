// GDI on surfaces: fills, frames, rectangles, lines, raster mixes, text in
// the built-in face and in FreeType fonts, DIB transfers and object lifetimes.
#include "platform/DirectDrawPixelFormat.h"
#include "platform/ddraw.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {
class GdiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("RCV_FORCE");
        gdiBaseline = platform::GdiLiveObjects();
        void* created = nullptr;
        ASSERT_EQ(DD_OK, DirectDrawCreateEx(nullptr, &created, IID_IDirectDraw7, nullptr));
        dd = static_cast<IDirectDraw7*>(created);
        ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL));
        Open(32, 16, 32, 0xFF0000, 0x00FF00, 0x0000FF);
    }
    void TearDown() override
    {
        Close();
        dd->Release();
        EXPECT_EQ(gdiBaseline, platform::GdiLiveObjects());
    }
    void Open(int w, int h, int bits, DWORD r, DWORD g, DWORD b)
    {
        Close();
        width = w;
        height = h;
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = w;
        desc.dwHeight = h;
        desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
        desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
        desc.ddpfPixelFormat.dwRGBBitCount = bits;
        desc.ddpfPixelFormat.dwRBitMask = r;
        desc.ddpfPixelFormat.dwGBitMask = g;
        desc.ddpfPixelFormat.dwBBitMask = b;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &surface, nullptr));
        ASSERT_EQ(DD_OK, surface->GetDC(&dc));
    }
    void Close()
    {
        if (dc) surface->ReleaseDC(dc);
        if (surface) surface->Release();
        dc = nullptr;
        surface = nullptr;
    }
    // Raw pixel values, read after handing the DC back; the new DC gets the old one's state.
    std::vector<uint32_t> Pixels()
    {
        HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH), pen = GetCurrentObject(dc, OBJ_PEN),
                font = GetCurrentObject(dc, OBJ_FONT);
        COLORREF text = GetTextColor(dc), back = GetBkColor(dc);
        int mode = GetBkMode(dc), rop = GetROP2(dc);
        EXPECT_EQ(DD_OK, surface->ReleaseDC(dc));
        dc = nullptr;
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        EXPECT_EQ(DD_OK, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
        platform::DirectDrawPixelFormat f(desc.ddpfPixelFormat);
        std::vector<uint32_t> out;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                out.push_back(f.Read(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * f.Bytes()));
        surface->Unlock(nullptr);
        EXPECT_EQ(DD_OK, surface->GetDC(&dc));
        SelectObject(dc, brush);
        SelectObject(dc, pen);
        SelectObject(dc, font);
        SetTextColor(dc, text);
        SetBkColor(dc, back);
        SetBkMode(dc, mode);
        SetROP2(dc, rop);
        return out;
    }
    // The set of pixels equal to value, as "x,y" strings.
    std::set<std::string> Where(const std::vector<uint32_t>& pixels, uint32_t value)
    {
        std::set<std::string> out;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (pixels[y * width + x] == value) out.insert(std::to_string(x) + "," + std::to_string(y));
        return out;
    }
    std::set<std::string> Box(int left, int top, int right, int bottom)
    {
        std::set<std::string> out;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) out.insert(std::to_string(x) + "," + std::to_string(y));
        return out;
    }
    void Clear(COLORREF colour)
    {
        HBRUSH brush = CreateSolidBrush(colour);
        RECT all = {0, 0, width, height};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }

    int gdiBaseline = 0;
    IDirectDraw7* dd = nullptr;
    IDirectDrawSurface7* surface = nullptr;
    HDC dc = nullptr;
    int width = 0, height = 0;
};

TEST_F(GdiTest, FillAndFrameCoverTheRectangleWithoutItsRightAndBottomEdges)
{
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT r = {2, 3, 6, 7};
    EXPECT_EQ(1, FillRect(dc, &r, red));
    EXPECT_EQ(Box(2, 3, 6, 7), Where(Pixels(), 0xFF0000));
    Clear(0);
    EXPECT_EQ(1, FrameRect(dc, &r, red));
    std::set<std::string> frame = Box(2, 3, 6, 7);
    for (const std::string& p : Box(3, 4, 5, 6)) frame.erase(p);
    EXPECT_EQ(frame, Where(Pixels(), 0xFF0000));
    EXPECT_EQ(0, FillRect(dc, &r, reinterpret_cast<HBRUSH>(intptr_t(6))));  // not a brush
    DeleteObject(red);
}

TEST_F(GdiTest, RectangleOutlinesWithThePenAndFillsWithTheBrush)
{
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
    EXPECT_FALSE(DeleteObject(pen));  // still selected
    ASSERT_TRUE(Rectangle(dc, 1, 1, 5, 4));
    std::vector<uint32_t> pixels = Pixels();
    EXPECT_EQ(Box(2, 2, 4, 3), Where(pixels, 0x00FF00));
    std::set<std::string> outline = Box(1, 1, 5, 4);
    for (const std::string& p : Box(2, 2, 4, 3)) outline.erase(p);
    EXPECT_EQ(outline, Where(pixels, 0x0000FF));
    // With the null pen the filled area loses its last row and column.
    Clear(0);
    SelectObject(dc, GetStockObject(NULL_PEN));
    ASSERT_TRUE(Rectangle(dc, 1, 1, 5, 4));
    EXPECT_EQ(Box(1, 1, 4, 3), Where(Pixels(), 0x00FF00));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
}

TEST_F(GdiTest, MergePenModeOrsTheBrushIntoEachPixel)
{
    for (int bits : {32, 16}) {
        if (bits == 16) Open(8, 4, 16, 0xF800, 0x07E0, 0x001F);
        else Open(8, 4, 32, 0xFF0000, 0x00FF00, 0x0000FF);
        Clear(RGB(0x80, 0x00, 0x40));
        HBRUSH brush = CreateSolidBrush(0x003F7F7F);
        HGDIOBJ old = SelectObject(dc, brush);
        SelectObject(dc, GetStockObject(NULL_PEN));
        EXPECT_EQ(R2_COPYPEN, SetROP2(dc, R2_MERGEPEN));
        Rectangle(dc, 0, 0, 3, 3);  // fills (0,0)-(2,2)
        std::vector<uint32_t> pixels = Pixels();
        // Red 0x80 | 0x7F, green 0x00 | 0x7F, blue 0x40 | 0x3F, in each layout.
        uint32_t merged = bits == 32 ? 0xFF7F7Fu : ((0x10u | 0x0Fu) << 11) | (0x1Fu << 5) | (0x08u | 0x07u);
        uint32_t untouched = bits == 32 ? 0x800040u : (0x10u << 11) | 0x08u;
        EXPECT_EQ(merged, pixels[0]);
        EXPECT_EQ(merged, pixels[1 * 8 + 1]);
        EXPECT_EQ(untouched, pixels[2]);
        SelectObject(dc, old);
        DeleteObject(brush);
    }
}

TEST_F(GdiTest, InvertRectFlipsEveryColourBit)
{
    Clear(RGB(0x12, 0x34, 0x56));
    RECT r = {0, 0, 2, 1};
    ASSERT_TRUE(InvertRect(dc, &r));
    std::vector<uint32_t> pixels = Pixels();
    EXPECT_EQ(0xEDCBA9u, pixels[0]);
    EXPECT_EQ(0xEDCBA9u, pixels[1]);
    EXPECT_EQ(0x123456u, pixels[2]);
}

TEST_F(GdiTest, LinesLeaveOutTheirEndPoint)
{
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, 1, 1, nullptr);
    LineTo(dc, 5, 1);
    LineTo(dc, 5, 4);
    POINT at;
    MoveToEx(dc, 0, 0, &at);
    EXPECT_EQ(5, at.x);
    EXPECT_EQ(4, at.y);
    std::set<std::string> expected = Box(1, 1, 5, 2);
    for (const std::string& p : Box(5, 1, 6, 4)) expected.insert(p);
    EXPECT_EQ(expected, Where(Pixels(), 0xFFFFFF));
    Clear(0);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 3, 3);
    EXPECT_EQ((std::set<std::string>{"0,0", "1,1", "2,2"}), Where(Pixels(), 0xFFFFFF));
    SelectObject(dc, old);
    DeleteObject(pen);
}

TEST_F(GdiTest, LinesFromFarOffDrawOnlyWhereTheyCrossThePixels)
{
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(dc, pen);
    struct Case {
        int x0, y0, x1, y1;
        std::set<std::string> lit;
    } cases[] = {
        // Along row 2 from beyond either side of the 32-bit range.
        {-2147483647 - 1, 2, 2147483647, 2, Box(0, 2, 32, 3)},
        {2147483647, 2, -2147483647 - 1, 2, Box(0, 2, 32, 3)},
        // The far end past the pixels, the near end drawn.
        {3, 1, 3, 2000000000, Box(3, 1, 4, 16)},
        // Diagonal through the corner: the same pixels as a short diagonal.
        {-1000000000, -1000000000, 1000000000, 1000000000, {}},
        // Nowhere near.
        {-2000000000, 5, -1000000000, 5000, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x0) + "," + std::to_string(c.y0));
        Clear(0);
        MoveToEx(dc, c.x0, c.y0, nullptr);
        ASSERT_TRUE(LineTo(dc, c.x1, c.y1));
        POINT at;
        MoveToEx(dc, 0, 0, &at);
        EXPECT_EQ(c.x1, at.x);
        EXPECT_EQ(c.y1, at.y);
        std::set<std::string> lit = Where(Pixels(), 0xFFFFFF);
        if (c.x0 == -1000000000) {
            std::set<std::string> diagonal;
            for (int i = 0; i < 16; ++i) diagonal.insert(std::to_string(i) + "," + std::to_string(i));
            EXPECT_EQ(diagonal, lit);
        } else {
            EXPECT_EQ(c.lit, lit);
        }
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

TEST_F(GdiTest, BuiltInFaceDrawsFiveBySevenGlyphsOnItsBaseline)
{
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    ASSERT_TRUE(TextOutA(dc, 3, 1, "H", 1));
    // Ascent 9: the glyph's top row is 2 below y, its baseline row 8 below.
    std::set<std::string> h;
    for (int row = 0; row < 7; ++row) {
        h.insert(std::to_string(3) + "," + std::to_string(3 + row));
        h.insert(std::to_string(7) + "," + std::to_string(3 + row));
    }
    for (int x = 4; x < 7; ++x) h.insert(std::to_string(x) + "," + std::to_string(6));
    EXPECT_EQ(h, Where(Pixels(), 0xFFFFFF));
    // Opaque mode fills the whole 6 x 12 cell behind the ink.
    Clear(0);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 0, 255));
    TextOutA(dc, 0, 0, "H", 1);
    std::vector<uint32_t> pixels = Pixels();
    EXPECT_EQ(6u * 12u - 17u, Where(pixels, 0x0000FF).size());
    EXPECT_EQ(0u, pixels[6]);
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "Hello", 5, &size));
    EXPECT_EQ(30, size.cx);
    EXPECT_EQ(12, size.cy);
}

TEST_F(GdiTest, DrawTextPlacesLinesByItsFlags)
{
    Open(40, 20, 32, 0xFF0000, 0x00FF00, 0x0000FF);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    struct Case {
        UINT format;
        int left, top;  // where the 12-pixel wide text box "II" starts
    } cases[] = {
        {DT_LEFT, 0, 0},
        {DT_CENTER, 14, 0},
        {DT_RIGHT, 28, 0},
        {DT_SINGLELINE | DT_VCENTER | DT_CENTER, 14, 4},
        {DT_SINGLELINE | DT_BOTTOM, 0, 8},
        {DT_VCENTER, 0, 0},  // VCENTER works only on a single line
    };
    for (const Case& c : cases) {
        Clear(0);
        RECT r = {0, 0, 40, 20};
        DrawTextA(dc, "II", -1, &r, c.format);
        // "I" is a 3-pixel bar on its top row (x + 1 .. x + 3), two below the cell top.
        std::vector<uint32_t> pixels = Pixels();
        EXPECT_EQ(0xFFFFFFu, pixels[(c.top + 2) * 40 + c.left + 1]) << c.format;
        EXPECT_EQ(0u, pixels[(c.top + 2) * 40 + c.left]) << c.format;
        EXPECT_EQ(0xFFFFFFu, pixels[(c.top + 2) * 40 + c.left + 7]) << c.format;
    }
}

TEST_F(GdiTest, DrawTextCalculatesWrappedLinesAndPrefixes)
{
    RECT r = {0, 0, 30, 0};
    EXPECT_EQ(24, DrawTextA(dc, "aa bb cc", -1, &r, DT_CALCRECT | DT_WORDBREAK));
    EXPECT_EQ(30, r.right);  // "aa bb" is exactly 30 pixels
    EXPECT_EQ(24, r.bottom);
    RECT one = {0, 0, 100, 0};
    DrawTextA(dc, "a\nbbb", -1, &one, DT_CALCRECT);
    EXPECT_EQ(18, one.right);
    EXPECT_EQ(24, one.bottom);
    RECT prefix = {0, 0, 100, 0};
    DrawTextA(dc, "&&&A", -1, &prefix, DT_CALCRECT);
    EXPECT_EQ(12, prefix.right);  // "&A"
    RECT raw = {0, 0, 100, 0};
    DrawTextA(dc, "&&&A", -1, &raw, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(24, raw.right);
    // Text is clipped to the rectangle unless DT_NOCLIP.
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    RECT narrow = {0, 0, 3, 12};
    DrawTextA(dc, "H", 1, &narrow, 0);
    std::set<std::string> clipped = Box(0, 2, 1, 9);
    clipped.insert("1,5");
    clipped.insert("2,5");  // the crossbar up to the rectangle's edge
    EXPECT_EQ(clipped, Where(Pixels(), 0xFFFFFF));
}

TEST_F(GdiTest, FontsResolveToDebianFacesAndDrawWithoutGreys)
{
    EXPECT_NE(std::string::npos, std::string(platform::GdiFontFile("Arial", FW_NORMAL, false)).find("LiberationSans-Regular"));
    EXPECT_NE(std::string::npos, std::string(platform::GdiFontFile("ARIAL", FW_BOLD, false)).find("LiberationSans-Bold"));
    EXPECT_NE(std::string::npos, std::string(platform::GdiFontFile("arial black", FW_NORMAL, false)).find("Bold"));
    EXPECT_NE(std::string::npos, std::string(platform::GdiFontFile("Times New Roman", FW_NORMAL, false)).find("DejaVuSans.ttf"));

    Open(200, 40, 32, 0xFF0000, 0x00FF00, 0x0000FF);
    // 12 points at 96 dots per inch: a 16-pixel character height.
    HFONT font = CreateFontA(-MulDiv(12, 96, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    ASSERT_NE(nullptr, font);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm;
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(16, tm.tmHeight - tm.tmInternalLeading);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    SIZE one, three;
    GetTextExtentPoint32A(dc, "W", 1, &one);
    GetTextExtentPoint32A(dc, "WWW", 3, &three);
    EXPECT_EQ(3 * one.cx, three.cx);
    EXPECT_EQ(tm.tmHeight, one.cy);
    SetTextColor(dc, RGB(255, 255, 0));
    SetBkColor(dc, RGB(0, 0, 128));
    SetBkMode(dc, OPAQUE);
    TextOutA(dc, 0, 0, "Volaro", 6);
    std::vector<uint32_t> pixels = Pixels();
    size_t ink = Where(pixels, 0xFFFF00).size(), back = Where(pixels, 0x000080).size();
    SIZE box;
    GetTextExtentPoint32A(dc, "Volaro", 6, &box);
    EXPECT_GT(ink, 50u);
    // Every pixel of the text box is ink or background: no blended edges.
    EXPECT_EQ(static_cast<size_t>(box.cx * box.cy), ink + back);
    SelectObject(dc, old);
    DeleteObject(font);
}

TEST_F(GdiTest, BitBltAppliesItsRasterOperation)
{
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 2, 1);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetPixel(memory, 0, 0, RGB(0xF0, 0x0F, 0xFF));
    SetPixel(memory, 1, 0, RGB(0x01, 0x02, 0x03));
    Clear(RGB(0x0F, 0x0F, 0x00));
    ASSERT_TRUE(BitBlt(dc, 0, 0, 2, 1, memory, 0, 0, SRCCOPY));
    ASSERT_TRUE(BitBlt(dc, 0, 1, 2, 1, memory, 0, 0, SRCINVERT));
    ASSERT_TRUE(BitBlt(dc, 0, 2, 2, 1, memory, 0, 0, SRCAND));
    std::vector<uint32_t> p = Pixels();
    EXPECT_EQ(0xF00FFFu, p[0]);
    EXPECT_EQ(0x010203u, p[1]);
    EXPECT_EQ(0xFF00FFu, p[width]);           // 0xF00FFF ^ 0x0F0F00
    EXPECT_EQ(0x000F00u, p[2 * width]);       // 0xF00FFF & 0x0F0F00
    EXPECT_EQ(0x0F0F00u, p[2 * width + 2]);   // outside the copy
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

TEST_F(GdiTest, StretchDIBitsReadsBottomUpAndTopDownRows)
{
    // 2 x 2, 24 bits: rows of 6 bytes padded to 8. Bottom-up: the first row in memory is the bottom one.
    const uint8_t bits[16] = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0, 0,    // bottom: red, green
                              0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0, 0};  // top: blue, white
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    EXPECT_EQ(2, StretchDIBits(dc, 0, 0, 2, 2, 0, 0, 2, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY));
    info.bmiHeader.biHeight = -2;
    StretchDIBits(dc, 4, 0, 2, 2, 0, 0, 2, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY);
    // Doubled in both directions from the top-down picture.
    StretchDIBits(dc, 8, 0, 4, 4, 0, 0, 2, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY);
    std::vector<uint32_t> p = Pixels();
    EXPECT_EQ(0x0000FFu, p[0]);
    EXPECT_EQ(0xFFFFFFu, p[1]);
    EXPECT_EQ(0xFF0000u, p[width]);
    EXPECT_EQ(0x00FF00u, p[width + 1]);
    EXPECT_EQ(0xFF0000u, p[4]);
    EXPECT_EQ(0x0000FFu, p[width + 4]);
    EXPECT_EQ(0xFF0000u, p[width + 9]);
    EXPECT_EQ(0x00FF00u, p[1 * width + 10]);
    EXPECT_EQ(0x0000FFu, p[2 * width + 8]);
    EXPECT_EQ(0xFFFFFFu, p[3 * width + 11]);

    // An 8-bit DIB takes its colours from the colour table.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } indexed;
    memset(&indexed, 0, sizeof indexed);
    indexed.header = info.bmiHeader;
    indexed.header.biBitCount = 8;
    indexed.header.biHeight = 1;
    indexed.colours[7] = {0x30, 0x20, 0x10, 0};
    const uint8_t row[4] = {7, 0, 0, 0};
    StretchDIBits(dc, 0, 5, 1, 1, 0, 0, 1, 1, row, reinterpret_cast<BITMAPINFO*>(&indexed), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(0x102030u, Pixels()[5 * width]);
}

TEST_F(GdiTest, GetDIBitsDescribesAndReadsBitmapsBottomUp)
{
    Open(4, 4, 16, 0xF800, 0x07E0, 0x001F);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 3, 2);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetPixel(memory, 0, 0, RGB(255, 0, 0));
    SetPixel(memory, 2, 1, RGB(0, 0, 255));
    SelectObject(memory, old);
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    ASSERT_EQ(2, GetDIBits(dc, bitmap, 0, 2, nullptr, &info, DIB_RGB_COLORS));
    EXPECT_EQ(16, info.bmiHeader.biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_BITFIELDS), info.bmiHeader.biCompression);
    EXPECT_EQ(3, info.bmiHeader.biWidth);
    EXPECT_EQ(8u * 2u, info.bmiHeader.biSizeImage);  // 6 bytes a row, padded to 8
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    uint8_t bits[24];
    memset(bits, 0xAA, sizeof bits);
    ASSERT_EQ(2, GetDIBits(dc, bitmap, 0, 2, bits, &info, DIB_RGB_COLORS));
    // First row in memory is the bottom one: blue at its third pixel; rows are 12 bytes.
    EXPECT_EQ(0xFF, bits[6]);
    EXPECT_EQ(0x00, bits[8]);
    EXPECT_EQ(0x00, bits[9]);  // padding is zeroed
    EXPECT_EQ(0xFF, bits[12 + 2]);
    EXPECT_EQ(0x00, bits[12 + 0]);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

TEST_F(GdiTest, ScreenReportsTheDesktopDepth)
{
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(32, GetDeviceCaps(screen, BITSPIXEL));
    setenv("RCV_FORCE", "bpp8", 1);
    EXPECT_EQ(8, GetDeviceCaps(screen, BITSPIXEL));
    unsetenv("RCV_FORCE");
    EXPECT_EQ(96, GetDeviceCaps(screen, LOGPIXELSY));
    EXPECT_EQ(32, GetDeviceCaps(dc, BITSPIXEL));
    EXPECT_EQ(1, ReleaseDC(nullptr, screen));
    EXPECT_EQ(-1, MulDiv(1, 1, 0));
    EXPECT_EQ(2, MulDiv(3, 1, 2));    // halves round away from zero
    EXPECT_EQ(-2, MulDiv(-3, 1, 2));
}
}  // namespace

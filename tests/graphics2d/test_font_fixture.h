// A tiny hand-made bitmap font for the font and drawing-context tests: 16
// columns of 4 x 5 cells (a 64 x 30 picture), white ink on magenta.  Each
// glyph's ink fills rows 0 to 3 of its first InkWidth columns; "D" has ink
// only in its last row, which the font never reads.
#pragma once

#include "Graphics2dFixture.h"
#include "test_image_bytes.h"

#include "graphics2d/YFont.h"

#include <memory>
#include <string>

namespace fixture_font {

const int kColumns = 16, kCellWidth = 4, kCellHeight = 5;
const int kWidth = kColumns * kCellWidth, kHeight = (96 / kColumns) * kCellHeight;

inline int InkWidth(int glyph)
{
    switch (glyph) {
    case 0: return 0;               // space
    case 'A' - 32: return 3;
    case 'B' - 32: return 1;
    case 'C' - 32: return 4;
    case 'D' - 32: return 0;        // last row only
    default: return 2;
    }
}

inline bool Ink(int x, int y)
{
    const int glyph = (y / kCellHeight) * kColumns + x / kCellWidth;
    const int column = x % kCellWidth, row = y % kCellHeight;
    if (glyph == 'D' - 32) return row == kCellHeight - 1;
    return row < kCellHeight - 1 && column < InkWidth(glyph);
}

// The picture as a 24-bit BMP, or 32-bit with ink opaque and the rest clear.
inline Bytes Picture(int bits = 24)
{
    std::vector<Bytes> rows;
    for (int y = 0; y < kHeight; ++y) {
        Bytes row;
        for (int x = 0; x < kWidth; ++x) {
            const bool ink = Ink(x, y);
            row.push_back(ink ? 0xFF : 0xFF);  // blue
            row.push_back(ink ? 0xFF : 0x00);  // green
            row.push_back(ink ? 0xFF : 0xFF);  // red
            if (bits == 32) row.push_back(ink ? 0xFF : 0x00);
        }
        rows.push_back(row);
    }
    return MakeBMP(bits, kWidth, kHeight, rows);
}

}  // namespace fixture_font

// Pixel value of a colour in a surface's own format.
inline uint32_t PixelOf(YDXSurface& surface, COLORREF colour)
{
    const DDPIXELFORMAT& f = surface.GetDescription().ddpfPixelFormat;
    auto put = [](uint32_t channel, uint32_t mask) -> uint32_t {
        if (!mask) return 0;
        int shift = 0, bits = 0;
        while (!((mask >> shift) & 1)) ++shift;
        while ((mask >> (shift + bits)) & 1) ++bits;
        return ((channel >> (8 - bits)) << shift) & mask;
    };
    return put(GetRValue(colour), f.dwRBitMask) | put(GetGValue(colour), f.dwGBitMask) |
           put(GetBValue(colour), f.dwBBitMask);
}

class FontTest : public Graphics2dTest {
protected:
    void SetUp() override
    {
        Graphics2dTest::SetUp();
        folder.Write("glyphs.bmp", fixture_font::Picture());
    }

    // A font over the fixture picture with that column count, loaded from the folder.
    std::unique_ptr<YFont> Font(LONG columns = fixture_font::kColumns, YDXDraw* on = nullptr)
    {
        std::unique_ptr<YFont> font(new YFont);
        font->m_imageName = "glyphs.bmp";
        font->m_columns = columns;
        font->LoadFontImage((folder / "").c_str(), on ? on : &display);
        return font;
    }

    // A surface of the display's format, black.
    std::unique_ptr<YDXSurface> Target(int width, int height)
    {
        std::unique_ptr<YDXSurface> s(new YDXSurface("target"));
        EXPECT_EQ(1, s->CreateSurface(&display, width, height, DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr));
        s->Clear(nullptr, 0);
        return s;
    }

    // The surface as rows of '#' (the colour) and '.' (anything else).
    static std::vector<std::string> Map(YDXSurface& s, COLORREF colour = RGB(255, 255, 255))
    {
        const DDPIXELFORMAT& f = s.GetDescription().ddpfPixelFormat;
        const uint32_t mask = f.dwRBitMask | f.dwGBitMask | f.dwBBitMask;
        const uint32_t want = PixelOf(s, colour);
        std::vector<uint32_t> pixels = Read(s);
        for (uint32_t& p : pixels) p &= mask;
        const int width = static_cast<int>(s.GetWidth());
        std::vector<std::string> rows;
        for (size_t i = 0; i < pixels.size(); ++i) {
            if (i % width == 0) rows.emplace_back();
            rows.back() += pixels[i] == want ? '#' : '.';
        }
        return rows;
    }

    ImageTempFolder folder;
};

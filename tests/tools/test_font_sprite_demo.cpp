// The builder's fonts and sprites, loaded from the sample catalog and drawn
// headless onto one surface; the picture is also written as
// "sample_fonts_sprites.bmp" in the test's build folder for a person to see.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "foundation/SaveDCBitmap.h"
#include "foundation/YCatalog.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFont.h"
#include "graphics2d/YSprite.h"
#include "graphics2d/YSurfaceDC.h"
#include "tools/YCatalogText.h"
#include "tools/YSampleSprites.h"

#if defined(RCV_DATA_DIR)
namespace {

const COLORREF kBackground = RGB(24, 40, 96), kWhite = RGB(255, 255, 255), kMagenta = RGB(255, 0, 255);

class Pixels {
public:
    explicit Pixels(YDXSurface& s) : m_width(static_cast<int>(s.GetWidth()))
    {
        const DDPIXELFORMAT& f = s.GetDescription().ddpfPixelFormat;
        m_r = f.dwRBitMask, m_g = f.dwGBitMask, m_b = f.dwBBitMask;
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        if (!s.Lock(&desc)) return;
        const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            for (DWORD x = 0; x < desc.dwWidth; ++x) {
                const uint8_t* p = static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes;
                uint32_t v = 0;
                for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
                m_pixels.push_back(v & (m_r | m_g | m_b));
            }
        s.Unlock();
    }
    uint32_t At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    uint32_t Of(COLORREF c) const { return Put(GetRValue(c), m_r) | Put(GetGValue(c), m_g) | Put(GetBValue(c), m_b); }

private:
    static uint32_t Put(uint32_t channel, uint32_t mask)
    {
        int shift = 0, bits = 0;
        while (mask && !((mask >> shift) & 1)) ++shift;
        while ((mask >> (shift + bits)) & 1) ++bits;
        return mask ? ((channel >> (8 - bits)) << shift) & mask : 0;
    }
    int m_width;
    uint32_t m_r, m_g, m_b;
    std::vector<uint32_t> m_pixels;
};

class FontSpriteDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite() { YCatalogText::RegisterResourceClasses(); }
    void SetUp() override
    {
        GUID primary;
        memset(&primary, 0, sizeof primary);
        ASSERT_EQ(1, display.Create(primary));
        ASSERT_EQ(1, display.SetMode(0, nullptr));
    }
    YDXDraw display;
};

TEST_F(FontSpriteDemo, TheCatalogHandsTheDisplayToFontsAndSprites)
{
    // The display goes through the catalog's context word: what the catalog
    // hands out already has its surface on that display.
    YCatalog catalog(RCV_DATA_DIR "/RC Volaro.cat");
    catalog.GetSearchDirectories().Add(RCV_DATA_DIR);
    const DWORD_PTR context = reinterpret_cast<DWORD_PTR>(&display);
    struct Case {
        int type;
        const char* section;
        const char* name;
    } cases[] = {{17, "Fonts", "Interface"}, {17, "Fonts", "Title"}, {3, "Sprites", "Cursor"}, {3, "Sprites", "Busy"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        YResource* resource = catalog.GetResource(c.type, c.section, c.name, context);
        ASSERT_NE(nullptr, resource);
        YDXSurface* surface = nullptr;
        if (YFont* font = DYNAMIC_DOWNCAST(YFont, resource)) surface = font->GetGlyphSurface();
        if (YSprite* sprite = DYNAMIC_DOWNCAST(YSprite, resource)) surface = sprite->GetSurface();
        ASSERT_NE(nullptr, surface);
        EXPECT_EQ(&display, surface->GetDisplay());
        EXPECT_NE(nullptr, surface->GetSurface());
        EXPECT_TRUE(catalog.ReleaseResource(resource));
    }
    // Without a display the surfaces wait for CreateSurfaces.
    YCatalog fresh(RCV_DATA_DIR "/RC Volaro.cat");
    fresh.GetSearchDirectories().Add(RCV_DATA_DIR);
    YFont* bare = DYNAMIC_DOWNCAST(YFont, fresh.GetResource(17, "Fonts", "Interface", 0));
    ASSERT_NE(nullptr, bare);
    EXPECT_EQ(nullptr, bare->GetGlyphSurface());
    EXPECT_EQ(TRUE, bare->CreateSurfaces(&display));
    EXPECT_NE(nullptr, bare->GetGlyphSurface());
}

TEST_F(FontSpriteDemo, TheSampleFontsAndSpritesDrawLegibly)
{
    YCatalog catalog(RCV_DATA_DIR "/RC Volaro.cat");
    catalog.GetSearchDirectories().Add(RCV_DATA_DIR);

    YFont* font = DYNAMIC_DOWNCAST(YFont, catalog.GetResource(17, "Fonts", "Interface", 0));
    YFont* title = DYNAMIC_DOWNCAST(YFont, catalog.GetResource(17, "Fonts", "Title", 0));
    YSprite* cursor = DYNAMIC_DOWNCAST(YSprite, catalog.GetResource(3, "Sprites", "Cursor", 0));
    YSprite* busy = DYNAMIC_DOWNCAST(YSprite, catalog.GetResource(3, "Sprites", "Busy", 0));
    ASSERT_NE(nullptr, font);
    ASSERT_NE(nullptr, title);
    ASSERT_NE(nullptr, cursor);
    ASSERT_NE(nullptr, busy);
    for (YResource* r : std::vector<YResource*>{font, title, cursor, busy}) EXPECT_EQ(TRUE, r->CreateSurfaces(&display));
    ASSERT_NE(nullptr, font->GetGlyphSurface());
    ASSERT_NE(nullptr, cursor->GetSurface());
    // Four pictures: the fifth frame shares the first.
    ASSERT_NE(nullptr, busy->GetSurface());
    EXPECT_EQ(128u, busy->GetSurface()->GetHeight());

    YSurfaceDC dc(new YDXSurface("demo"), 1);
    ASSERT_EQ(1, dc.Create(320, 100, &display));
    CBrush background(kBackground);
    RECT whole = {0, 0, 320, 100};
    dc.FillRect(&whole, &background, 0, 0);
    const char* line = "RC Volaro 1999: Fly!";
    dc.SwapFont(font);
    dc.TextOut(8, 8, line, -1);
    dc.SwapFont(title);
    RECT box = {0, 40, 200, 100};
    dc.DrawText("Bitmap fonts", &box, DT_CENTER | DT_VCENTER);
    dc.SwapFont(nullptr);
    ASSERT_EQ(1, cursor->DrawAt(dc.GetSurface(), 230, 30));
    busy->SetCurrentFrame(1);
    ASSERT_EQ(1, busy->DrawAt(dc.GetSurface(), 290, 60));

    // The picture for a person to look at.
    HDC hdc = nullptr;
    ASSERT_EQ(1, dc.GetSurface()->GetDC(&hdc));
    {
        CFile file("sample_fonts_sprites.bmp", CFile::modeCreate | CFile::modeWrite);
        SaveDCBitmap(&file, hdc, whole);
    }
    dc.GetSurface()->ReleaseDC(hdc);

    Pixels out(*dc.GetSurface());
    // Each character's first (cell width - blank columns) columns are its
    // glyph cell from the picture, white ink where the picture is white.
    YDIB glyphs;
    ASSERT_EQ(1, glyphs.LoadFromFile(RCV_DATA_DIR "/fonts/interface.bmp"));
    int x = 8, inked = 0;
    for (const char* c = line; *c; ++c) {
        const int glyph = font->GlyphIndex(*c);
        const RECT cell = font->GetGlyphRect(glyph);
        const int advance = font->GetCellWidth() - font->GetBlankColumns(glyph);
        int ink = 0;
        for (int row = 0; row < font->GetCellHeight(); ++row)
            for (int col = 0; col < advance && glyph != 0; ++col) {
                const bool inPicture = glyphs.GetPixel(cell.left + col, cell.top + row) != glyphs.GetPixel(0, 0);
                const uint32_t want = out.Of(inPicture ? kWhite : kBackground);
                EXPECT_EQ(want, out.At(x + col, 8 + row)) << "'" << *c << "' at " << col << "," << row;
                ink += inPicture;
            }
        if (*c != ' ') {
            EXPECT_GT(ink, 0) << "'" << *c << "' has no ink";
            ++inked;
        }
        x += advance;
    }
    EXPECT_EQ(17, inked);

    // The title line: white ink inside the box, centred both ways.
    SIZE extent = title->TextExtent("Bitmap fonts", -1);
    const int left = (200 - extent.cx) / 2, top = 40 + (60 - title->GetCellHeight()) / 2;
    int titleInk = 0;
    for (int py = 40; py < 100; ++py)
        for (int px = 0; px < 200; ++px)
            if (out.At(px, py) == out.Of(kWhite)) {
                ++titleInk;
                EXPECT_TRUE(px >= left && px < left + extent.cx && py >= top && py < top + title->GetCellHeight())
                    << px << "," << py;
            }
    EXPECT_GT(titleInk, 100);

    // The cursor's tip is at its position; magenta lets the background through.
    for (int py = 0; py < YSampleSprites::kCursorSize; ++py)
        for (int px = 0; px < YSampleSprites::kCursorSize; ++px) {
            const COLORREF c = YSampleSprites::CursorPixel(px, py);
            EXPECT_EQ(out.Of(c == kMagenta ? kBackground : c), out.At(230 + px, 30 + py)) << px << "," << py;
        }
    // Busy frame 1 around its hot spot (16, 16).
    for (int py = 0; py < YSampleSprites::kBusySize; ++py)
        for (int px = 0; px < YSampleSprites::kBusySize; ++px) {
            const COLORREF c = YSampleSprites::BusyPixel(1, px, py);
            EXPECT_EQ(out.Of(c == kMagenta ? kBackground : c), out.At(274 + px, 44 + py)) << px << "," << py;
        }

    // The file holds the same picture.
    YDIB saved;
    ASSERT_EQ(1, saved.LoadFromFile("sample_fonts_sprites.bmp"));
    EXPECT_EQ(320, saved.GetWidth());
    EXPECT_EQ(100, saved.GetHeight());
    EXPECT_EQ(RGB(0, 0, 0), saved.GetPixel(230, 30));
    EXPECT_EQ(RGB(255, 255, 255), saved.GetPixel(232, 36));

    for (YResource* r : std::vector<YResource*>{font, title, cursor, busy}) catalog.ReleaseResource(r);
}

}  // namespace
#endif

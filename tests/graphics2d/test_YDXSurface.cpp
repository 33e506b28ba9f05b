#include "Graphics2dFixture.h"

#include "graphics2d/YDXPalette.h"
#include "graphics2d/YDXSurfaceSource.h"

#include <string>

namespace {
const DDPIXELFORMAT k565 = RgbFormat(16, 0xF800, 0x07E0, 0x001F);
const DDPIXELFORMAT k555 = RgbFormat(16, 0x7C00, 0x03E0, 0x001F);
const DDPIXELFORMAT k444 = RgbFormat(16, 0x0F00, 0x00F0, 0x000F);
const DDPIXELFORMAT kX888 = RgbFormat(32, 0xFF0000, 0x00FF00, 0x0000FF);
const DDPIXELFORMAT kOther16 = RgbFormat(16, 0x001F, 0x07E0, 0xF800);

// A 2 x 2 bitmap whose pixels are its draw count: shows when it redraws.
class CountingBitmap : public YDXSurfaceSource {
public:
    int GetWidth() override { return 2; }
    int GetHeight() override { return 2; }
    int GetPaletteEntries(int first, int count, PALETTEENTRY* out) override
    {
        for (int i = 0; i < count; ++i) out[i] = {static_cast<BYTE>(first + i), 0, 0, 0};
        return 1;
    }
    int DrawToSurface(YDXSurface* surface, int, int) override
    {
        ++draws;
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        if (!surface->Lock(&desc)) return 0;
        for (int y = 0; y < 2; ++y) memset(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch, draws, 2 * (desc.ddpfPixelFormat.dwRGBBitCount / 8));
        surface->Unlock();
        return 1;
    }
    int draws = 0;
};

class YDXSurfaceTest : public Graphics2dTest {
protected:
    void Make(YDXSurface& s, int w, int h, const DDPIXELFORMAT& format)
    {
        ASSERT_EQ(1, s.CreateSurface(&display, w, h, DDSCAPS_SYSTEMMEMORY, nullptr, 0, &format));
    }
};

TEST_F(YDXSurfaceTest, TransparentColourIsConvertedToThePixelFormat)
{
    struct Case {
        DDPIXELFORMAT format;
        COLORREF colour;
        DWORD key;
    } cases[] = {
        {k565, 0x00FF00FF, 0xF81F}, {k555, 0x00FF00FF, 0x7C1F}, {k444, 0x00FF00FF, 0x0F0F},
        {kX888, 0x00FF00FF, 0x00FF00FF}, {kOther16, 0x00FF00FF, 0}, {k565, 0x000000FF, 0xF800},
        {kX888, 0x000000FF, 0x00FF0000}, {k565, 0x00FFFFFF, 0xFFFF},
    };
    for (const Case& c : cases) {
        YDXSurface s("key");
        Make(s, 2, 2, c.format);
        ASSERT_EQ(1, s.SetTransparentColor(c.colour));
        EXPECT_EQ(c.key, s.GetKeyValue()) << std::hex << c.colour << " on " << c.format.dwRBitMask;
        EXPECT_TRUE(s.HasKey());
        DDCOLORKEY key;
        ASSERT_EQ(DD_OK, s.GetSurface()->GetColorKey(DDCKEY_SRCBLT, &key));
        EXPECT_EQ(c.key, key.dwColorSpaceLowValue);
        EXPECT_EQ(c.key, key.dwColorSpaceHighValue);
        ASSERT_EQ(1, s.ResetTransparentColor());
        EXPECT_FALSE(s.HasKey());
        EXPECT_EQ(0u, s.GetKeyValue());
    }
}

TEST_F(YDXSurfaceTest, ClearFillsWithTheKeyUnlessGivenAPositiveColour)
{
    YDXSurface s("clear");
    Make(s, 2, 1, k565);
    s.SetTransparentColor(0x00FF00FF);
    ASSERT_EQ(1, s.Clear(nullptr, 0));
    EXPECT_EQ((std::vector<uint32_t>{0xF81F, 0xF81F}), Read(s));
    ASSERT_EQ(1, s.Clear(nullptr, 0x1234));
    RECT first = {0, 0, 1, 1};
    ASSERT_EQ(1, s.Clear(&first, -5));
    EXPECT_EQ((std::vector<uint32_t>{0xF81F, 0x1234}), Read(s));
    // All bits set is -1 in the game's 32-bit colour, so the key again.
    ASSERT_EQ(1, s.Clear(nullptr, 0x1234));
    const DWORD allBits = 0xFFFFFFFF;
    ASSERT_EQ(1, s.Clear(&first, allBits));
    EXPECT_EQ((std::vector<uint32_t>{0xF81F, 0x1234}), Read(s));
}

TEST_F(YDXSurfaceTest, BltUsesTheKeyOnlyWhenAskedAndTheSourceHasOne)
{
    YDXSurface source("source"), dest("dest");
    Make(source, 3, 1, kX888);
    Make(dest, 3, 1, kX888);
    Write(source, {0xFF00FF, 0x112233, 0x445566});
    dest.Clear(nullptr, 0x777777);
    ASSERT_EQ(1, dest.Blt(&source, nullptr, nullptr, 1, 0, 0));  // no key set: plain copy
    EXPECT_EQ((std::vector<uint32_t>{0xFF00FF, 0x112233, 0x445566}), Read(dest));
    source.SetTransparentColor(0x00FF00FF);
    dest.Clear(nullptr, 0x777777);
    ASSERT_EQ(1, dest.Blt(&source, nullptr, nullptr, 1, 1, 0));  // keyed and mirrored
    EXPECT_EQ((std::vector<uint32_t>{0x445566, 0x112233, 0x777777}), Read(dest));
    RECT part = {1, 0, 2, 1}, target = {0, 0, 2, 1};
    ASSERT_EQ(1, dest.Blt(&source, &target, &part, 0, 0, 0));  // stretched 1 -> 2
    EXPECT_EQ((std::vector<uint32_t>{0x112233, 0x112233, 0x777777}), Read(dest));
    EXPECT_EQ(0, dest.Blt(nullptr, nullptr, nullptr, 0, 0, 0));
}

TEST_F(YDXSurfaceTest, ForcedLossMakesBltRestoreBothSurfacesAndRetryOnce)
{
    ScopedForce force("surfacelost");
    CountingBitmap bitmap;
    YDXSurface source("source"), dest("dest");
    ASSERT_EQ(1, source.CreateSurfaceFromResource(&bitmap, &display, 0, 0, 0));
    Make(dest, 2, 2, kX888);
    ASSERT_EQ(1, bitmap.draws);
    platform::DDrawLoseAllSurfaces();
    ASSERT_EQ(1, dest.Blt(&source, nullptr, nullptr, 0, 0, 0));
    // The source was restored and redrawn from its bitmap before the retry.
    EXPECT_EQ(2, bitmap.draws);
    EXPECT_EQ(0x02020202u, Read(dest)[3]);
    EXPECT_STREQ("", dest.GetMethod());
}

TEST_F(YDXSurfaceTest, RestoreAfterAModeChangeRecreatesTheSurface)
{
    HWND window = reinterpret_cast<HWND>(1);
    ASSERT_EQ(1, display.SetMode(1, window));
    ASSERT_EQ(1, display.SetDisplayMode(640, 480, 16, 0, 0));
    CountingBitmap bitmap;
    YDXSurface image("image"), plain("plain"), dest("dest");
    ASSERT_EQ(1, image.CreateSurfaceFromResource(&bitmap, &display, 0, 0, 0));
    ASSERT_EQ(1, image.SetTransparentColor(0x00FF00FF));
    Make(plain, 2, 2, kX888);
    Make(dest, 2, 2, k565);
    const DWORD key = image.GetKeyValue();

    // Another mode loses every surface; plain Restore now says the mode is wrong.
    ASSERT_EQ(1, display.SetDisplayMode(800, 600, 32, 0, 0));
    EXPECT_EQ(0, plain.Restore(nullptr));
    EXPECT_EQ(DDERR_WRONGMODE, plain.GetLastResult());
    EXPECT_STREQ("[YDXSurface ( 2 x 2 )::Restore] { plain }:DDERR_WRONGMODE\n", plain.GetLastErrorText());

    ASSERT_EQ(1, image.Restore(&display));
    EXPECT_EQ(DD_OK, image.GetSurface()->IsLost());
    EXPECT_EQ(2, bitmap.draws);  // redrawn into the new surface
    EXPECT_EQ(2u, image.GetWidth());
    EXPECT_EQ(image.GetDescription().ddpfPixelFormat.dwRGBBitCount, 16u);
    DDCOLORKEY kept;
    ASSERT_EQ(DD_OK, image.GetSurface()->GetColorKey(DDCKEY_SRCBLT, &kept));
    EXPECT_EQ(key, kept.dwColorSpaceLowValue);

    // Blt re-creates a lost destination on its own (and redraws the source) before its one retry.
    ASSERT_EQ(1, dest.Blt(&image, nullptr, nullptr, 0, 0, 0));
    EXPECT_EQ(DD_OK, dest.GetSurface()->IsLost());
    EXPECT_EQ(3, bitmap.draws);
    EXPECT_EQ((std::vector<uint32_t>{0x0303, 0x0303, 0x0303, 0x0303}), Read(dest));
    EXPECT_EQ(1, display.SetMode(0, window));
}

TEST_F(YDXSurfaceTest, SetPaletteRestoresALostSurfaceAndRetriesOnce)
{
    CountingBitmap bitmap;
    YDXPalette palette;
    ASSERT_EQ(1, palette.CreatePalette(&bitmap, &display, 1));
    YDXSurface s("indexed");
    ASSERT_EQ(1, s.CreateSurfaceFromResource(&bitmap, &display, 1, 0, 0));
    platform::DDrawLoseAllSurfaces();
    ASSERT_EQ(1, s.SetPalette(&palette));
    EXPECT_EQ(DD_OK, s.GetSurface()->IsLost());
    EXPECT_EQ(2, bitmap.draws);
    IDirectDrawPalette* attached = nullptr;
    ASSERT_EQ(DD_OK, s.GetSurface()->GetPalette(&attached));
    EXPECT_EQ(palette.GetPalette(), attached);
    attached->Release();
    EXPECT_STREQ("", s.GetMethod());

    // A surface that Restore cannot bring back fails with the second result.
    YDXSurface borrowed("borrowed");
    borrowed.SetExternal(s.GetSurface(), &display);
    platform::DDrawLoseAllSurfaces();
    EXPECT_EQ(0, borrowed.SetPalette(&palette));
    EXPECT_EQ(DDERR_SURFACELOST, borrowed.GetLastResult());
    EXPECT_STREQ("[YDXSurface ( 2 x 2 )::SetPalette] { borrowed }:DDERR_SURFACELOST\n", borrowed.GetLastErrorText());
}

TEST_F(YDXSurfaceTest, ErrorTextNamesSizeMethodAndABoundedName)
{
    YDXSurface source("source"), dest("Dest");
    Make(source, 2, 2, kX888);
    Make(dest, 4, 3, kX888);
    RECT outside = {3, 2, 6, 6};
    EXPECT_EQ(0, dest.Blt(&source, &outside, nullptr, 0, 0, 0));
    EXPECT_STREQ("[YDXSurface ( 4 x 3 )::] { Dest }:DDERR_INVALIDRECT\n", dest.GetErrorText());

    std::string longName(300, 'n');
    YDXSurface named(longName.c_str());
    Make(named, 4, 3, kX888);
    EXPECT_EQ(0, named.Blt(&source, &outside, nullptr, 0, 0, 0));
    std::string text = named.GetErrorText();
    EXPECT_LT(text.size(), static_cast<size_t>(YDX_ERROR_TEXT));
    EXPECT_EQ(0u, text.find("[YDXSurface ( 4 x 3 )::] { nnn"));
    EXPECT_EQ(text.size() - strlen("DDERR_INVALIDRECT\n"), text.rfind("DDERR_INVALIDRECT\n"));
}

TEST_F(YDXSurfaceTest, CreationFormsAndTheirFailures)
{
    YDXSurface primary("Primary");
    EXPECT_EQ(0, primary.CreatePrimarySurface(&display, 0, DDSCAPS_3DDEVICE));
    EXPECT_EQ(0, primary.CreatePrimarySurface(&display, 3, DDSCAPS_3DDEVICE));
    EXPECT_EQ(nullptr, primary.GetSurface());
    EXPECT_EQ(0, primary.CreateSurface(nullptr, 4, 4, 0, nullptr, 0, nullptr));
    {
        ScopedForce force("novideomemory");
        YDXSurface target("target");
        ASSERT_EQ(1, target.CreateSurface(&display, 8, 8, DDSCAPS_VIDEOMEMORY | DDSCAPS_3DDEVICE, nullptr, 0, nullptr));
        EXPECT_TRUE(target.GetDescription().ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY);
        EXPECT_FALSE(target.GetDescription().ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY);
        EXPECT_EQ(8u, target.GetWidth());
    }
    YDXSurface s("s");
    Make(s, 3, 2, k565);
    EXPECT_EQ(3u, s.GetWidth());
    EXPECT_EQ(2u, s.GetHeight());
    EXPECT_EQ(8, s.GetPitch());
    DDSURFACEDESC2 desc;
    ASSERT_EQ(1, s.Lock(&desc));
    EXPECT_EQ(desc.lpSurface, s.GetLockPointer());
    EXPECT_EQ(1, s.Unlock());
    EXPECT_EQ(0, s.Unlock());
    s.Release();
    EXPECT_EQ(0u, s.GetWidth());
    EXPECT_EQ(0, s.Clear(nullptr, 1));
}

TEST_F(YDXSurfaceTest, PalettisedResourceGetsTheBitmapsColours)
{
    CountingBitmap bitmap;
    YDXSurface s("indexed");
    ASSERT_EQ(1, s.CreateSurfaceFromResource(&bitmap, &display, 1, 0, 0));
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(DD_OK, s.GetSurface()->GetPalette(&palette));
    PALETTEENTRY entries[256];
    palette->GetEntries(0, 0, 256, entries);
    palette->Release();
    // Windowed: 0-9 and 246-255 name system entries, the rest keep the bitmap's red.
    EXPECT_EQ(PC_EXPLICIT, entries[3].peFlags);
    EXPECT_EQ(PC_NOCOLLAPSE, entries[100].peFlags);
    EXPECT_EQ(100, entries[100].peRed);
    EXPECT_EQ((std::vector<uint32_t>{1, 1, 1, 1}), Read(s));
}

TEST_F(YDXSurfaceTest, FlipChainInFullScreen)
{
    HWND window = reinterpret_cast<HWND>(1);
    ASSERT_EQ(1, display.SetMode(1, window));
    ASSERT_EQ(1, display.SetDisplayMode(640, 480, 16, 0, 0));
    YDXSurface primary("Primary"), back("Back");
    ASSERT_EQ(1, primary.CreatePrimarySurface(&display, 2, DDSCAPS_3DDEVICE));
    EXPECT_TRUE(primary.GetDescription().ddsCaps.dwCaps & DDSCAPS_FLIP);
    ASSERT_EQ(1, primary.GetBackBuffer(&back));
    EXPECT_EQ(640u, back.GetWidth());
    ASSERT_EQ(1, back.Clear(nullptr, 0x07E0));
    ASSERT_EQ(1, primary.Flip());
    EXPECT_EQ(0x07E0u, Read(primary)[0]);
    EXPECT_EQ(0, back.Flip());
    back.Release();
    primary.Release();
    EXPECT_EQ(1, display.SetMode(0, window));
}

TEST_F(YDXSurfaceTest, WindowedChainHasNoFlip)
{
    ASSERT_EQ(1, display.SetMode(2, nullptr));
    YDXSurface primary("Primary");
    ASSERT_EQ(1, primary.CreatePrimarySurface(&display, 2, 0));
    EXPECT_FALSE(primary.GetDescription().ddsCaps.dwCaps & DDSCAPS_FLIP);
    EXPECT_EQ(0, primary.Flip());
    EXPECT_EQ(DDERR_NOTFLIPPABLE, primary.GetLastResult());
}

TEST_F(YDXSurfaceTest, AlphaBlendClipsToBothSurfaces)
{
    YDXSurface alpha("alpha"), dest("dest"), wide("wide");
    ASSERT_EQ(1, alpha.CreateAlphaSource(&display, 2, 2));
    EXPECT_TRUE(alpha.IsAlphaSource());
    Write(alpha, {0x00FFFFFF, 0xFFFFFFFF, 0x80FF0000, 0x80FF0000});
    Make(dest, 3, 3, k565);
    dest.Clear(nullptr, 0x001F);  // blue
    EXPECT_EQ(0, dest.BltAlpha(&alpha, -1, 0, nullptr));
    ASSERT_EQ(1, dest.BltAlpha(&alpha, 1, 1, nullptr));
    std::vector<uint32_t> p = Read(dest);
    EXPECT_EQ(0x001Fu, p[4]);  // alpha 0 keeps the destination
    EXPECT_EQ(0xFFFFu, p[5]);  // alpha 255 copies white
    // Red at 128 over blue: red (31*128)>>8 = 15, blue (31*128)>>8 = 15.
    EXPECT_EQ((15u << 11) | 15u, p[7]);
    // A source rectangle larger than the source and a position past the destination read and write nothing outside.
    RECT huge = {0, 0, 4000, 4000};
    EXPECT_EQ(1, dest.BltAlpha(&alpha, 2, 2, &huge));  // only source (0, 0), alpha 0, lands
    EXPECT_EQ(1, dest.BltAlpha(&alpha, 50, 1, &huge));
    EXPECT_EQ(p, Read(dest));
    // A 16-bit source does not blend.
    Make(wide, 2, 2, k565);
    wide.Clear(nullptr, 0xF800);
    dest.Clear(nullptr, 0x001F);
    EXPECT_EQ(1, dest.BltAlpha(&wide, 0, 0, nullptr));
    EXPECT_EQ(0x001Fu, Read(dest)[0]);
}

TEST_F(YDXSurfaceTest, TextOutDrawsThroughTheDeviceContext)
{
    YDXSurface s("text");
    Make(s, 16, 12, kX888);
    s.Clear(nullptr, 0x000001);
    ASSERT_EQ(1, s.TextOut(0, 0, YString("II"), 1));
    std::vector<uint32_t> p = Read(s);
    EXPECT_EQ(0u, p[2 * 16 + 1]);         // black ink of the first "I"
    EXPECT_EQ(0xFFFFFFu, p[2 * 16 + 5]);  // the opaque white cell of one letter
    EXPECT_EQ(0x000001u, p[2 * 16 + 7]);  // no second letter
}
}  // namespace

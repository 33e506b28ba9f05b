// Our DirectDraw: pixel formats, blits, clippers, locks, lost surfaces,
// flip chains and presentation, palettes, references and enumeration.
#include "platform/DirectDrawPixelFormat.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/ddraw.h"
#include "platform/d3d.h"

#include <gtest/gtest.h>

#include "ScopedForce.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {
using platform::DirectDrawPixelFormat;

DDPIXELFORMAT Rgb(int bits, DWORD r, DWORD g, DWORD b, DWORD a = 0)
{
    DDPIXELFORMAT f;
    memset(&f, 0, sizeof f);
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0);
    f.dwRGBBitCount = bits;
    f.dwRBitMask = r;
    f.dwGBitMask = g;
    f.dwBBitMask = b;
    f.dwRGBAlphaBitMask = a;
    return f;
}

const DDPIXELFORMAT k565 = Rgb(16, 0xF800, 0x07E0, 0x001F);
const DDPIXELFORMAT k555 = Rgb(16, 0x7C00, 0x03E0, 0x001F);
const DDPIXELFORMAT k444 = Rgb(16, 0x0F00, 0x00F0, 0x000F);
const DDPIXELFORMAT k888 = Rgb(24, 0xFF0000, 0x00FF00, 0x0000FF);
const DDPIXELFORMAT kX888 = Rgb(32, 0xFF0000, 0x00FF00, 0x0000FF);

class DirectDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("RCV_FORCE");
        baseline = platform::DDrawLiveObjects();
        void* created = nullptr;
        ASSERT_EQ(DD_OK, DirectDrawCreateEx(nullptr, &created, IID_IDirectDraw7, nullptr));
        dd = static_cast<IDirectDraw7*>(created);
        ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL));
    }
    void TearDown() override
    {
        for (IDirectDrawSurface7* s : surfaces) s->Release();
        if (dd) dd->Release();
        EXPECT_EQ(baseline, platform::DDrawLiveObjects());
        platform::DDrawSetCooperativeResult(DD_OK);
    }
    IDirectDrawSurface7* Make(int width, int height, const DDPIXELFORMAT& format)
    {
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddpfPixelFormat = format;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        IDirectDrawSurface7* s = nullptr;
        EXPECT_EQ(DD_OK, dd->CreateSurface(&desc, &s, nullptr));
        if (s) surfaces.push_back(s);
        return s;
    }
    // Raw pixel access through Lock.
    std::vector<uint32_t> Read(IDirectDrawSurface7* s)
    {
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        EXPECT_EQ(DD_OK, s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
        DirectDrawPixelFormat f(desc.ddpfPixelFormat);
        std::vector<uint32_t> out;
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            for (DWORD x = 0; x < desc.dwWidth; ++x)
                out.push_back(f.Read(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * f.Bytes()));
        s->Unlock(nullptr);
        return out;
    }
    void Write(IDirectDrawSurface7* s, const std::vector<uint32_t>& pixels)
    {
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        ASSERT_EQ(DD_OK, s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
        DirectDrawPixelFormat f(desc.ddpfPixelFormat);
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            for (DWORD x = 0; x < desc.dwWidth; ++x)
                f.Write(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * f.Bytes(),
                        pixels[y * desc.dwWidth + x]);
        s->Unlock(nullptr);
    }
    void Fill(IDirectDrawSurface7* s, DWORD value, RECT* rect = nullptr)
    {
        DDBLTFX fx;
        memset(&fx, 0, sizeof fx);
        fx.dwSize = sizeof fx;
        fx.dwFillColor = value;
        ASSERT_EQ(DD_OK, s->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
    }
    void Key(IDirectDrawSurface7* s, DWORD value)
    {
        DDCOLORKEY key = {value, value};
        ASSERT_EQ(DD_OK, s->SetColorKey(DDCKEY_SRCBLT, &key));
    }

    int baseline = 0;
    IDirectDraw7* dd = nullptr;
    std::vector<IDirectDrawSurface7*> surfaces;
};

// Magenta and red in each layout, by the bit widths of the masks.
TEST(DirectDrawPixelFormat, ConvertsColoursToEachLayoutAndBack)
{
    struct Case {
        DDPIXELFORMAT format;
        uint32_t magenta, red;
    } cases[] = {
        {k565, 0xF81F, 0xF800},
        {k555, 0x7C1F, 0x7C00},
        {k444, 0x0F0F, 0x0F00},
        {k888, 0xFF00FF, 0xFF0000},
        {kX888, 0x00FF00FF, 0x00FF0000},
    };
    for (const Case& c : cases) {
        DirectDrawPixelFormat f(c.format);
        ASSERT_TRUE(f.Valid());
        EXPECT_EQ(c.magenta, f.FromColorRef(RGB(255, 0, 255), nullptr));
        EXPECT_EQ(c.red, f.FromColorRef(RGB(255, 0, 0), nullptr));
        // Full channels widen back to 0xFF.
        EXPECT_EQ(0xFFFF00FFu, f.ToARGB(c.magenta, nullptr));
    }
    // A 5-bit channel of 0x10 widens by repeating its bits: 10000 -> 10000100.
    EXPECT_EQ(0xFF840000u, DirectDrawPixelFormat(k555).ToARGB(0x10 << 10, nullptr));
    EXPECT_FALSE(DirectDrawPixelFormat(Rgb(12, 0xF00, 0xF0, 0xF)).Valid());
}

TEST_F(DirectDrawTest, KeyedBlitSkipsKeyPixelsAtSixteenAndThirtyTwoBits)
{
    for (const DDPIXELFORMAT& format : {k565, kX888}) {
        DirectDrawPixelFormat f(format);
        uint32_t key = f.FromColorRef(RGB(255, 0, 255), nullptr), a = f.FromColorRef(RGB(255, 0, 0), nullptr),
                 b = f.FromColorRef(RGB(0, 0, 255), nullptr), c = f.FromColorRef(RGB(0, 255, 0), nullptr);
        IDirectDrawSurface7* source = Make(4, 1, format);
        IDirectDrawSurface7* dest = Make(4, 1, format);
        Write(source, {key, a, key, b});
        Fill(dest, c);
        Key(source, key);
        ASSERT_EQ(DD_OK, dest->Blt(nullptr, source, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr));
        EXPECT_EQ((std::vector<uint32_t>{c, a, c, b}), Read(dest));
        // Without DDBLT_KEYSRC the key pixels are copied too.
        ASSERT_EQ(DD_OK, dest->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
        EXPECT_EQ((std::vector<uint32_t>{key, a, key, b}), Read(dest));
    }
}

TEST_F(DirectDrawTest, StretchAndMirrorMapEachDestinationPixelToItsSource)
{
    IDirectDrawSurface7* source = Make(2, 2, kX888);
    Write(source, {1, 2, 3, 4});
    IDirectDrawSurface7* dest = Make(4, 4, kX888);
    ASSERT_EQ(DD_OK, dest->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ((std::vector<uint32_t>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}), Read(dest));

    IDirectDrawSurface7* row = Make(3, 2, kX888);
    Write(row, {1, 2, 3, 4, 5, 6});
    IDirectDrawSurface7* mirrored = Make(3, 2, kX888);
    DDBLTFX fx;
    memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwDDFX = DDBLTFX_MIRRORLEFTRIGHT;
    ASSERT_EQ(DD_OK, mirrored->Blt(nullptr, row, nullptr, DDBLT_DDFX | DDBLT_WAIT, &fx));
    EXPECT_EQ((std::vector<uint32_t>{3, 2, 1, 6, 5, 4}), Read(mirrored));
    fx.dwDDFX = DDBLTFX_MIRRORUPDOWN;
    ASSERT_EQ(DD_OK, mirrored->Blt(nullptr, row, nullptr, DDBLT_DDFX | DDBLT_WAIT, &fx));
    EXPECT_EQ((std::vector<uint32_t>{4, 5, 6, 1, 2, 3}), Read(mirrored));
    fx.dwDDFX = DDBLTFX_MIRRORLEFTRIGHT | DDBLTFX_MIRRORUPDOWN;
    ASSERT_EQ(DD_OK, mirrored->Blt(nullptr, row, nullptr, DDBLT_DDFX | DDBLT_WAIT, &fx));
    EXPECT_EQ((std::vector<uint32_t>{6, 5, 4, 3, 2, 1}), Read(mirrored));
}

TEST_F(DirectDrawTest, ClipperLimitsBlitsAndFillsToItsRectangles)
{
    IDirectDrawSurface7* source = Make(2, 2, kX888);
    Write(source, {1, 2, 3, 4});
    IDirectDrawSurface7* dest = Make(4, 4, kX888);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(DD_OK, dd->CreateClipper(0, &clipper, nullptr));
    struct {
        RGNDATAHEADER rdh;
        RECT rects[1];
    } list = {{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 1, sizeof(RECT), {2, 0, 4, 4}}, {{2, 0, 9, 4}}};
    ASSERT_EQ(DD_OK, clipper->SetClipList(reinterpret_cast<RGNDATA*>(&list), 0));
    ASSERT_EQ(DD_OK, dest->SetClipper(clipper));
    clipper->Release();
    // The stretch keeps its mapping; only the right half (and nothing past the surface) is written.
    ASSERT_EQ(DD_OK, dest->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ((std::vector<uint32_t>{0, 0, 2, 2, 0, 0, 2, 2, 0, 0, 4, 4, 0, 0, 4, 4}), Read(dest));
    // A destination partly outside the surface is clipped rather than refused.
    RECT wide = {-2, -2, 6, 6};
    Fill(dest, 9, &wide);
    EXPECT_EQ((std::vector<uint32_t>{0, 0, 9, 9, 0, 0, 9, 9, 0, 0, 9, 9, 0, 0, 9, 9}), Read(dest));
    // BltFast cannot clip.
    EXPECT_EQ(DDERR_BLTFASTCANTCLIP, dest->BltFast(0, 0, source, nullptr, DDBLTFAST_WAIT));
}

TEST_F(DirectDrawTest, RejectsRectanglesOutsideTheSurfaces)
{
    IDirectDrawSurface7* source = Make(2, 2, k565);
    IDirectDrawSurface7* dest = Make(4, 4, k565);
    RECT outside = {3, 3, 5, 5}, badSource = {0, 0, 3, 1}, inverted = {2, 2, 1, 1};
    EXPECT_EQ(DDERR_INVALIDRECT, dest->Blt(&outside, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DDERR_INVALIDRECT, dest->Blt(nullptr, source, &badSource, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DDERR_INVALIDRECT, dest->Blt(&inverted, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DDERR_INVALIDRECT, dest->BltFast(3, 3, source, nullptr, DDBLTFAST_WAIT));
    EXPECT_EQ(DDERR_INVALIDPARAMS, dest->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DDERR_INVALIDPARAMS, dest->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, nullptr));
}

TEST_F(DirectDrawTest, BltFastHonoursSourceKeyAndOverlappingCopies)
{
    IDirectDrawSurface7* s = Make(4, 1, kX888);
    Write(s, {1, 2, 3, 4});
    RECT first = {0, 0, 3, 1};
    ASSERT_EQ(DD_OK, s->BltFast(1, 0, s, &first, DDBLTFAST_WAIT));
    EXPECT_EQ((std::vector<uint32_t>{1, 1, 2, 3}), Read(s));
    Key(s, 1);
    IDirectDrawSurface7* dest = Make(4, 1, kX888);
    Fill(dest, 7);
    ASSERT_EQ(DD_OK, dest->BltFast(0, 0, s, nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT));
    EXPECT_EQ((std::vector<uint32_t>{7, 7, 2, 3}), Read(dest));
}

TEST_F(DirectDrawTest, LocksAndDeviceContextsMakeTheSurfaceBusy)
{
    IDirectDrawSurface7* s = Make(2, 2, k565);
    IDirectDrawSurface7* other = Make(2, 2, k565);
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    ASSERT_EQ(DD_OK, s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(4, desc.lPitch);  // rows are padded to 4 bytes
    EXPECT_EQ(DDERR_SURFACEBUSY, s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(DDERR_SURFACEBUSY, other->Blt(nullptr, s, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DD_OK, s->Unlock(nullptr));
    EXPECT_EQ(DDERR_NOTLOCKED, s->Unlock(nullptr));
    HDC dc = nullptr;
    ASSERT_EQ(DD_OK, s->GetDC(&dc));
    HDC second = nullptr;
    EXPECT_EQ(DDERR_DCALREADYCREATED, s->GetDC(&second));
    EXPECT_EQ(DDERR_SURFACEBUSY, s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(DD_OK, s->ReleaseDC(dc));
    EXPECT_EQ(DDERR_NODC, s->ReleaseDC(dc));
    desc.dwSize = 12;
    EXPECT_EQ(DDERR_INVALIDPARAMS, s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
}

TEST_F(DirectDrawTest, LostSurfacesRefuseWorkUntilRestored)
{
    IDirectDrawSurface7* source = Make(2, 1, kX888);
    IDirectDrawSurface7* dest = Make(2, 1, kX888);
    Write(dest, {5, 6});
    platform::DDrawLoseAllSurfaces();
    EXPECT_EQ(DDERR_SURFACELOST, dest->IsLost());
    EXPECT_EQ(DDERR_SURFACELOST, dest->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
    HDC dc = nullptr;
    EXPECT_EQ(DDERR_SURFACELOST, dest->GetDC(&dc));
    EXPECT_EQ(DD_OK, dest->Restore());
    EXPECT_EQ(DD_OK, dest->IsLost());
    // The memory did not survive the loss, and the source is still lost.
    EXPECT_EQ((std::vector<uint32_t>{0, 0}), Read(dest));
    EXPECT_EQ(DDERR_SURFACELOST, dest->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DD_OK, dd->RestoreAllSurfaces());
    EXPECT_EQ(DD_OK, dest->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
}

TEST_F(DirectDrawTest, ForcedLossHitsEachSurfaceOnItsFirstBlit)
{
    ScopedForce force("surfacelost");
    IDirectDrawSurface7* source = Make(1, 1, kX888);
    IDirectDrawSurface7* dest = Make(1, 1, kX888);
    EXPECT_EQ(DDERR_SURFACELOST, dest->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DD_OK, dest->Restore());
    EXPECT_EQ(DD_OK, dest->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
}

TEST_F(DirectDrawTest, ModeChangeLosesSurfacesForGood)
{
    IDirectDrawSurface7* s = Make(2, 2, k565);
    HWND window = reinterpret_cast<HWND>(1);
    ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
    EXPECT_EQ(DDERR_INVALIDMODE, dd->SetDisplayMode(641, 480, 16, 0, 0));
    ASSERT_EQ(DD_OK, dd->SetDisplayMode(800, 600, 16, 0, 0));
    EXPECT_EQ(DDERR_SURFACELOST, s->IsLost());
    EXPECT_EQ(DDERR_WRONGMODE, s->Restore());
    DDSURFACEDESC2 mode;
    memset(&mode, 0, sizeof mode);
    mode.dwSize = sizeof mode;
    ASSERT_EQ(DD_OK, dd->GetDisplayMode(&mode));
    EXPECT_EQ(800u, mode.dwWidth);
    EXPECT_EQ(16u, mode.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(DD_OK, dd->SetCooperativeLevel(window, DDSCL_NORMAL));
}

TEST_F(DirectDrawTest, FlipChainPresentsTheBackBuffer)
{
    HWND window = reinterpret_cast<HWND>(1);
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_COMPLEX | DDSCAPS_FLIP;
    IDirectDrawSurface7* primary = nullptr;
    // Flipping needs exclusive mode.
    EXPECT_EQ(DDERR_NOEXCLUSIVEMODE, dd->CreateSurface(&desc, &primary, nullptr));
    ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
    ASSERT_EQ(DD_OK, dd->SetDisplayMode(640, 480, 16, 0, 0));
    ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &primary, nullptr));
    surfaces.push_back(primary);
    IDirectDrawSurface7* duplicate = nullptr;
    EXPECT_EQ(DDERR_PRIMARYSURFACEALREADYEXISTS, dd->CreateSurface(&desc, &duplicate, nullptr));
    DDSCAPS2 caps = {DDSCAPS_BACKBUFFER, 0, 0, {0}};
    IDirectDrawSurface7* back = nullptr;
    ASSERT_EQ(DD_OK, primary->GetAttachedSurface(&caps, &back));
    surfaces.push_back(back);
    RECT corner = {0, 0, 1, 1};
    Fill(back, 0x001F);  // blue in 5-6-5
    Fill(back, 0xF800, &corner);
    ASSERT_EQ(DD_OK, primary->Flip(nullptr, DDFLIP_WAIT));
    const platform::HeadlessBackend::Frame* frame = platform::HeadlessBackend::Active()->LastFrame();
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(640, frame->width);
    EXPECT_EQ(0xFF0000u, frame->At(0, 0));
    EXPECT_EQ(0x0000FFu, frame->At(1, 0));
    EXPECT_EQ(0x0000FFu, frame->At(639, 479));
    // The old front is now the back buffer.
    EXPECT_EQ(0u, Read(back)[0]);
    EXPECT_EQ(DDERR_NOTFLIPPABLE, back->Flip(nullptr, DDFLIP_WAIT));
    ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(window, DDSCL_NORMAL));
}

TEST_F(DirectDrawTest, BlitToTheWindowedPrimaryPresentsIt)
{
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface7* primary = nullptr;
    ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &primary, nullptr));
    surfaces.push_back(primary);
    IDirectDrawSurface7* tile = Make(2, 2, k565);
    Fill(tile, 0x07E0);
    unsigned long before = platform::Backend::Get().PresentedFrames();
    RECT at = {10, 20, 12, 22};
    ASSERT_EQ(DD_OK, primary->Blt(&at, tile, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(before + 1, platform::Backend::Get().PresentedFrames());
    const platform::HeadlessBackend::Frame* frame = platform::HeadlessBackend::Active()->LastFrame();
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(0x00FF00u, frame->At(11, 21));
    EXPECT_EQ(0u, frame->At(12, 22));
    EXPECT_EQ("RC Volaro", platform::HeadlessBackend::Active()->Title());
}

TEST_F(DirectDrawTest, PalettesBelongToEightBitSurfaces)
{
    PALETTEENTRY entries[256];
    memset(entries, 0, sizeof entries);
    entries[1] = {255, 0, 0, 0};
    entries[2] = {0, 0, 255, 0};
    IDirectDrawPalette* palette = nullptr;
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->CreatePalette(DDPCAPS_8BIT, nullptr, &palette, nullptr));
    ASSERT_EQ(DD_OK, dd->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr));
    DDPIXELFORMAT eight;
    memset(&eight, 0, sizeof eight);
    eight.dwSize = sizeof eight;
    eight.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    eight.dwRGBBitCount = 8;
    IDirectDrawSurface7* indexed = Make(2, 1, eight);
    IDirectDrawSurface7* wide = Make(2, 1, kX888);
    EXPECT_EQ(DDERR_INVALIDPIXELFORMAT, wide->SetPalette(palette));
    ASSERT_EQ(DD_OK, indexed->SetPalette(palette));
    palette->Release();  // the surface keeps its own reference
    Write(indexed, {1, 2});
    ASSERT_EQ(DD_OK, wide->Blt(nullptr, indexed, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ((std::vector<uint32_t>{0xFF0000, 0x0000FF}), Read(wide));
    IDirectDrawPalette* got = nullptr;
    ASSERT_EQ(DD_OK, indexed->GetPalette(&got));
    PALETTEENTRY back[2];
    EXPECT_EQ(DDERR_INVALIDPARAMS, got->GetEntries(0, 255, 2, back));
    ASSERT_EQ(DD_OK, got->GetEntries(0, 1, 2, back));
    EXPECT_EQ(255, back[0].peRed);
    EXPECT_EQ(255, back[1].peBlue);
    got->Release();
    // Colours going into an 8-bit surface take the nearest entry.
    Fill(wide, 0x0000F0);
    ASSERT_EQ(DD_OK, indexed->Blt(nullptr, wide, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ((std::vector<uint32_t>{2, 2}), Read(indexed));
}

TEST_F(DirectDrawTest, ChildrenKeepTheirDirectDrawAlive)
{
    IDirectDrawSurface7* s = Make(2, 2, kX888);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(DD_OK, dd->CreateClipper(0, &clipper, nullptr));
    // Our own reference goes; the surface and the clipper hold theirs.
    EXPECT_EQ(2u, dd->Release());
    dd = nullptr;
    Fill(s, 3);
    EXPECT_EQ((std::vector<uint32_t>{3, 3, 3, 3}), Read(s));
    void* parent = nullptr;
    ASSERT_EQ(DD_OK, s->GetDDInterface(&parent));
    static_cast<IDirectDraw7*>(parent)->Release();
    clipper->Release();
}

TEST_F(DirectDrawTest, CreationChecksItsArguments)
{
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH;
    desc.dwWidth = 4;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface7* s = nullptr;
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->CreateSurface(&desc, &s, nullptr));
    desc.dwFlags |= DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwHeight = 4;
    desc.ddpfPixelFormat = Rgb(12, 0xF00, 0xF0, 0xF);
    EXPECT_EQ(DDERR_INVALIDPIXELFORMAT, dd->CreateSurface(&desc, &s, nullptr));
    desc.dwFlags &= ~DDSD_PIXELFORMAT;
    desc.ddsCaps.dwCaps |= DDSCAPS_VIDEOMEMORY;
    {
        ScopedForce force("novideomemory");
        EXPECT_EQ(DDERR_OUTOFVIDEOMEMORY, dd->CreateSurface(&desc, &s, nullptr));
    }
    // Without a pixel format the surface takes the display's: 32 bits on the desktop.
    ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &s, nullptr));
    surfaces.push_back(s);
    DDPIXELFORMAT format;
    memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    ASSERT_EQ(DD_OK, s->GetPixelFormat(&format));
    EXPECT_EQ(32u, format.dwRGBBitCount);
    EXPECT_EQ(0xFF0000u, format.dwRBitMask);

    void* other = nullptr;
    GUID unknown = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(DDERR_INVALIDDIRECTDRAWGUID, DirectDrawCreateEx(&unknown, &other, IID_IDirectDraw7, nullptr));
    ScopedForce force("noddraw7");
    EXPECT_NE(DD_OK, DirectDrawCreateEx(nullptr, &other, IID_IDirectDraw7, nullptr));
    EXPECT_EQ(nullptr, other);
}

TEST_F(DirectDrawTest, EnumeratesTheBackendModesAndTheThreeDDevices)
{
    std::vector<std::string> modes;
    auto collect = [](LPDDSURFACEDESC2 d, LPVOID context) -> HRESULT {
        static_cast<std::vector<std::string>*>(context)->push_back(
            std::to_string(d->dwWidth) + "x" + std::to_string(d->dwHeight) + "x" +
            std::to_string(d->ddpfPixelFormat.dwRGBBitCount));
        return DDENUMRET_OK;
    };
    ASSERT_EQ(DD_OK, dd->EnumDisplayModes(0, nullptr, &modes, collect));
    ASSERT_EQ(12u, modes.size());
    EXPECT_EQ("640x480x8", modes[0]);
    EXPECT_EQ("640x480x16", modes[1]);
    EXPECT_EQ("1024x768x32", modes[11]);
    {
        ScopedForce force("only24");
        modes.clear();
        ASSERT_EQ(DD_OK, dd->EnumDisplayModes(0, nullptr, &modes, collect));
        EXPECT_EQ((std::vector<std::string>{"640x480x24", "800x600x24", "1024x768x24"}), modes);
    }
    DDCAPS caps;
    memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    ASSERT_EQ(380u, sizeof caps);
    ASSERT_EQ(DD_OK, dd->GetCaps(&caps, nullptr));
    EXPECT_TRUE(caps.dwCaps2 & DDCAPS2_CANRENDERWINDOWED);

    void* queried = nullptr;
    ASSERT_EQ(S_OK, dd->QueryInterface(IID_IDirect3D7, &queried));
    IDirect3D7* d3d = static_cast<IDirect3D7*>(queried);
    std::vector<std::string> devices;
    auto device = [](LPSTR, LPSTR name, LPD3DDEVICEDESC7 desc, LPVOID context) -> HRESULT {
        static_cast<std::vector<std::string>*>(context)->push_back(
            std::string(name) + ((desc->dwDevCaps & D3DDEVCAPS_HWRASTERIZATION) ? " hw" : " sw"));
        return D3DENUMRET_OK;
    };
    ASSERT_EQ(DD_OK, d3d->EnumDevices(device, &devices));
    EXPECT_EQ((std::vector<std::string>{"RGB Emulation sw", "Direct3D HAL hw"}), devices);
    ASSERT_EQ(236u, sizeof(D3DDEVICEDESC7));
    d3d->Release();
}

TEST_F(DirectDrawTest, CooperativeLevelCanBeForcedLost)
{
    EXPECT_EQ(DD_OK, dd->TestCooperativeLevel());
    platform::DDrawSetCooperativeResult(DDERR_EXCLUSIVEMODEALREADYSET);
    EXPECT_EQ(DDERR_EXCLUSIVEMODEALREADYSET, dd->TestCooperativeLevel());
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE));
}
}  // namespace

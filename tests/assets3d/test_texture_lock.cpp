// The Direct3D texture lock: the stored format it picks for the device's
// texture pixel formats, sizing, the device texture with its MIP chain,
// the opacity mask and colour key, tags and regions, and its failures.
#include "LockFixture.h"

#include <algorithm>
#include <fstream>

namespace {
using namespace lock_test;
using d3dtest::k1555;
using d3dtest::k4444;
using d3dtest::k555;
using d3dtest::k565;
using d3dtest::kA888;
using d3dtest::kX888;

HRESULT CALLBACK CollectFormat(LPDDPIXELFORMAT format, LPVOID context)
{
    static_cast<std::vector<DDPIXELFORMAT>*>(context)->push_back(*format);
    return D3DENUMRET_OK;
}

bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b)
{
    return a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask && a.dwGBitMask == b.dwGBitMask &&
           a.dwBBitMask == b.dwBBitMask &&
           ((a.dwFlags & DDPF_ALPHAPIXELS) ? a.dwRGBAlphaBitMask : 0) ==
               ((b.dwFlags & DDPF_ALPHAPIXELS) ? b.dwRGBAlphaBitMask : 0);
}

std::string FormatName(const DDPIXELFORMAT& f)
{
    auto bits = [](DWORD m) { return std::to_string(__builtin_popcount(m)); };
    return bits((f.dwFlags & DDPF_ALPHAPIXELS) ? f.dwRGBAlphaBitMask : 0) + bits(f.dwRBitMask) + bits(f.dwGBitMask) +
           bits(f.dwBBitMask);
}

// Every texture pixel format the device offers, as the opaque format of a
// lock, picks the stored format nearest to it; the device texture has that
// pixel format and the texture keeps only the chosen format.
TEST_F(LockTest, EachDeviceTextureFormatPicksTheNearestStoredFormat)
{
    std::vector<DDPIXELFORMAT> offered;
    ASSERT_EQ(D3D_OK, scene.device->EnumTextureFormats(CollectFormat, &offered));
    ASSERT_EQ(6u, offered.size());
    // Stored 5-6-5, 4-4-4-4, 8-8-8-8 and 1-5-5-5; device formats named alpha, red, green, blue.
    struct Row {
        const char* device;
        const char* chosen;
    } rows[] = {
        {"0565", "RGB565"},    // exact
        {"0555", "RGB565"},    // 5-6-5 and 1-5-5-5 both score 1: the first wins
        {"1555", "ARGB1555"},  // exact
        {"4444", "ARGB4444"},  // exact
        {"8888", "ARGB8888"},  // the only one deep enough
        {"0888", "ARGB8888"},  // the only one deep enough, alpha to spare
    };
    ASSERT_EQ(offered.size(), sizeof rows / sizeof rows[0]);
    for (size_t i = 0; i < offered.size(); ++i) {
        const DDPIXELFORMAT& device = offered[i];
        SCOPED_TRACE(FormatName(device));
        EXPECT_EQ(rows[i].device, FormatName(device));
        std::unique_ptr<YTexture2> texture = Stored(*Build({"565", "4444", "8888", "1555"}));
        std::unique_ptr<YD3D6Lock> lock = NewLock();
        lock->m_opaqueFormat = lock->m_alphaFormat = device;
        ASSERT_EQ(1, lock->Upload(texture.get())) << lock->GetError().GetBuffer();
        ASSERT_EQ(1, texture->GetNumFormats());
        EXPECT_STREQ(rows[i].chosen, texture->GetFormat(0)->m_strName.GetBuffer());
        EXPECT_TRUE(SameFormat(device, Desc(lock->m_pSurface).ddpfPixelFormat));
        EXPECT_TRUE(SameFormat(device, lock->m_pixelFormat));
    }
}

TEST_F(LockTest, FormatChoicePassesAndScores)
{
    DDPIXELFORMAT eight;
    memset(&eight, 0, sizeof eight);
    eight.dwSize = sizeof eight;
    eight.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    eight.dwRGBBitCount = 8;
    struct Row {
        std::vector<std::string> stored;
        DDPIXELFORMAT device;
        int colorKey;
        int chosen;
    } rows[] = {
        {{"8888", "565"}, k565, 0, 1},           // 0 against 3² + 2² + 3² + 8² = 86
        {{"8888", "1555"}, k1555, 1, 1},         // colour key: one alpha bit wins at once
        {{"8888", "1555"}, k1555, 0, 1},         // and without the key, by score
        {{"8888", "1555"}, k565, 1, 0},          // 1-5-5-5 lacks a green bit: no pass-a match
        {{"565", "4444"}, kX888, 0, 0},          // none deep enough: nearest of all, 22 against 64
        {{"4444", "565"}, kA888, 0, 0},          // the same with alpha: 4-4-4-4 scores 64, 5-6-5 86
        {{"565", "pal8"}, eight, 0, 1},          // an 8-bit device takes the first 8-bit format
        {{"565", "4444"}, eight, 0, -1},         // and has none here
        {{"565", "pal8", "332"}, k565, 0, 0},    // 8-bit formats take no part in the passes
    };
    for (const Row& row : rows) {
        std::string stored;
        for (const std::string& s : row.stored) stored += s + " ";
        SCOPED_TRACE(stored + FormatName(row.device) + (row.colorKey ? " keyed" : ""));
        std::unique_ptr<YTexture2> texture = Build(row.stored);
        EXPECT_EQ(row.chosen, YD3D6Lock::ChooseFormat(texture.get(), row.device, row.colorKey));
    }
    // Only 8-bit formats: the last of them, whatever the device format.
    std::unique_ptr<YTexture2> texture = Build({"565", "pal8", "332"});
    delete texture->m_formats[0];
    texture->m_formats.erase(texture->m_formats.begin());
    --texture->m_iNumFormats;
    EXPECT_EQ(1, YD3D6Lock::ChooseFormat(texture.get(), k565, 0));
}

// The device's filter caps, switched off one by one, cap the filters the
// keywords ask for; a colour-keyed texture lowers its class to point filtering.
TEST_F(LockTest, FilterKeywordsAreCappedByTheDeviceCaps)
{
    struct Row {
        const char* force;
        DWORD mag, min, mip;
    } rows[] = {
        {"", D3DTFG_ANISOTROPIC, D3DTFN_ANISOTROPIC, D3DTFP_LINEAR},
        {"noanisotropy", D3DTFG_LINEAR, D3DTFN_LINEAR, D3DTFP_LINEAR},
        {"noanisotropy,nobilinear", D3DTFG_POINT, D3DTFN_POINT, D3DTFP_LINEAR},
        {"nomiplinear", D3DTFG_ANISOTROPIC, D3DTFN_ANISOTROPIC, D3DTFP_POINT},
        {"nomipmap", D3DTFG_ANISOTROPIC, D3DTFN_ANISOTROPIC, D3DTFP_NONE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.force);
        d3dtest::ScopedForce force(row.force);
        d3dtest::Scene device;
        ASSERT_EQ(D3D_OK, device.Open(16, 16, kX888));
        D3DDEVICEDESC7 caps;
        ASSERT_EQ(D3D_OK, device.device->GetCaps(&caps));
        opaqueClass = ClassFromCaps(caps);
        std::unique_ptr<YTexture2> texture = Stored(*Build({"565"}));
        std::unique_ptr<YD3D6Lock> lock = NewLock();
        lock->m_pD3D = device.d3d;
        lock->m_pDevice = device.device;
        lock->m_pDD = device.dd;
        ASSERT_EQ(1, lock->Upload(texture.get()));
        EXPECT_EQ(row.mag, lock->m_states.m_magFilter);
        EXPECT_EQ(row.min, lock->m_states.m_minFilter);
        EXPECT_EQ(row.mip, lock->m_states.m_mipFilter);
        lock->ReleaseSurface();
    }
    // Asked for less than the caps allow: kept.
    std::unique_ptr<YTexture2> texture =
        Tagged({"565"}, {{"TXT-TSMagFilt", "Linear"}, {"TXT-TSMinFilt", "point"}, {"TXT-TSMIPFilt", "NONE"}});
    std::unique_ptr<YD3D6Lock> lock = NewLock();
    ASSERT_EQ(1, lock->Upload(texture.get()));
    EXPECT_EQ(DWORD(D3DTFG_LINEAR), lock->m_states.m_magFilter);
    EXPECT_EQ(DWORD(D3DTFN_POINT), lock->m_states.m_minFilter);
    EXPECT_EQ(DWORD(D3DTFP_NONE), lock->m_states.m_mipFilter);

    // A colour-keyed texture of the opaque class points that class, for good.
    texture = Tagged({"565"}, {{"TXT-RSColorKey", "yes"}});
    lock = NewLock();
    ASSERT_EQ(1, lock->Upload(texture.get()));
    EXPECT_EQ(DWORD(D3DTFG_POINT), opaqueClass.m_magFilter);
    EXPECT_EQ(DWORD(D3DTFN_POINT), opaqueClass.m_minFilter);
    EXPECT_EQ(DWORD(D3DTFP_POINT), opaqueClass.m_mipFilter);
    EXPECT_EQ(DWORD(D3DTFG_POINT), lock->m_states.m_magFilter);
    EXPECT_EQ(DWORD(D3DTFP_POINT), lock->m_states.m_mipFilter);
    texture = Stored(*Build({"565"}));
    lock = NewLock();
    ASSERT_EQ(1, lock->Upload(texture.get()));
    EXPECT_EQ(DWORD(D3DTFG_POINT), lock->m_states.m_magFilter);
    EXPECT_EQ(DWORD(D3DTFN_ANISOTROPIC), alphaClass.m_minFilter);
}

// Class record and pixel format by alpha, colour key, tree and spare keywords.
TEST_F(LockTest, ClassAndPixelFormat)
{
    struct Row {
        const char* name;
        std::vector<std::string> layouts;
        std::vector<std::pair<std::string, std::string>> tags;
        DWORD alphaClassKey;
        const DDPIXELFORMAT* pixelFormat;
    } rows[] = {
        {"opaque", {"565"}, {}, 0, &k565},
        {"alpha", {"4444"}, {}, 0, &k4444},
        {"alpha, keyed", {"4444"}, {{"TXT-RSColorKey", "yes"}}, 0, &k565},
        {"alpha, class keyed", {"4444"}, {}, 1, &k565},
        {"tree", {"4444"}, {{"TXT-IsTree", "1"}}, 0, &kX888},
        {"spare", {"565"}, {{"TXT-UseBackPF", "Yes"}}, 0, &k1555},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        alphaClass.m_colorKeyEnable = row.alphaClassKey;
        std::unique_ptr<YTexture2> texture = Tagged(row.layouts, row.tags);
        std::unique_ptr<YD3D6Lock> lock = NewLock();
        ASSERT_EQ(1, lock->Upload(texture.get())) << lock->GetError().GetBuffer();
        EXPECT_TRUE(SameFormat(*row.pixelFormat, lock->m_pixelFormat)) << FormatName(lock->m_pixelFormat);
        EXPECT_EQ(row.alphaClassKey || (row.tags.size() == 1 && row.tags[0].first == "TXT-RSColorKey") ? 1u : 0u,
                  lock->m_states.m_colorKeyEnable);
    }
}

TEST_F(LockTest, Sizes)
{
    struct Row {
        const char* name;
        int w, h;
        int minimum, maximum, halve, square;
        const char* freeze;
        int16_t width, height;
        float reduceX, reduceY;
    } rows[] = {
        {"halved", 256, 256, 4, 2048, 1, 0, nullptr, 128, 128, 2.0f, 2.0f},
        {"frozen", 64, 64, 4, 2048, 1, 0, "yes", 64, 64, 1.0f, 1.0f},
        {"unmatched freeze word halves", 64, 32, 4, 2048, 1, 0, "maybe", 32, 16, 2.0f, 2.0f},
        {"not below the minimum", 4, 4, 4, 2048, 1, 0, nullptr, 4, 4, 1.0f, 1.0f},
        {"raised to the minimum", 4, 4, 8, 2048, 0, 0, nullptr, 8, 8, 0.0f, 0.0f},
        {"cut to the maximum", 64, 16, 4, 32, 0, 0, nullptr, 32, 16, 2.0f, 1.0f},
        {"square", 64, 256, 4, 2048, 0, 1, nullptr, 256, 256, 0.0f, 1.0f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<YTexture2> built = Build({"565"}, row.w, row.h);
        if (row.freeze) built->SetTag("TXT-FreezeSize", row.freeze);
        std::unique_ptr<YTexture2> texture = Stored(*built);
        std::unique_ptr<YD3D6Lock> lock = NewLock();
        lock->m_iMinWidth = lock->m_iMinHeight = row.minimum;
        lock->m_iMaxWidth = lock->m_iMaxHeight = row.maximum;
        lock->m_iHalveSize = row.halve;
        lock->m_iSquare = row.square;
        ASSERT_EQ(1, lock->Upload(texture.get())) << lock->GetError().GetBuffer();
        EXPECT_EQ(row.width, lock->GetWidth());
        EXPECT_EQ(row.height, lock->GetHeight());
        EXPECT_EQ(row.reduceX, lock->m_fReduceX);
        EXPECT_EQ(row.reduceY, lock->m_fReduceY);
        EXPECT_EQ(row.width * row.reduceX, lock->m_fFullWidth);
        EXPECT_EQ(row.height * row.reduceY, lock->m_fFullHeight);
        const DDSURFACEDESC2 desc = Desc(lock->m_pSurface);
        EXPECT_EQ(DWORD(row.width), desc.dwWidth);
        EXPECT_EQ(DWORD(row.height), desc.dwHeight);
        EXPECT_EQ(texture->GetFormat(0)->m_iMIPDepth, lock->GetMIPDepth());
        EXPECT_EQ(1, texture->GetNumFormats());
    }
}

// Every level of the device texture holds the converted colours of its layer.
TEST_F(LockTest, EveryMIPLevelIsConverted)
{
    auto pixel = [](int level, int x, int y) -> uint32_t {
        return 0xFF000000u | static_cast<uint32_t>(level * 60) << 16 | static_cast<uint32_t>(x * 16) << 8 |
               static_cast<uint32_t>(y * 16);
    };
    std::unique_ptr<YTexture2> texture = Stored(*Build({"8888"}, 16, 16, pixel));
    std::unique_ptr<YD3D6Lock> lock = NewLock();
    lock->m_opaqueFormat = lock->m_alphaFormat = kX888;
    ASSERT_EQ(1, lock->Upload(texture.get()));
    ASSERT_EQ(3, ChainLength(lock->m_pSurface));  // 16, 8, 4
    for (int level = 0; level < 3; ++level)
        for (int y = 0; y < (16 >> level); y += 3)
            for (int x = 0; x < (16 >> level); x += 3)
                EXPECT_EQ(pixel(level, x, y) & 0xFFFFFF, LevelPixel(lock->m_pSurface, level, x, y) & 0xFFFFFF)
                    << level << " " << x << " " << y;
    // 5-6-5 takes the top bits of each channel.
    texture = Stored(*Build({"8888"}, 16, 16, pixel));
    lock = NewLock();
    lock->m_alphaFormat = k565;
    ASSERT_EQ(1, lock->Upload(texture.get()));
    const uint32_t c = pixel(1, 5, 7);
    const uint32_t expected = ((c >> 19) & 0x1F) << 11 | ((c >> 10) & 0x3F) << 5 | ((c >> 3) & 0x1F);
    EXPECT_EQ(expected, LevelPixel(lock->m_pSurface, 1, 5, 7));
}

// Alpha 128 or more is opaque in the mask; the alpha bits of the device
// pixels come from the alpha plane; the mask level is 1 with a MIP chain.
TEST_F(LockTest, OpacityMaskAndAlphaBits)
{
    auto pixel = [](int, int x, int y) -> uint32_t {
        const uint32_t alpha = y < 2 ? 0 : (y < 4 ? 127 : (y < 6 ? 128 : 255));
        return alpha << 24 | 0x00306090u | static_cast<uint32_t>(x);
    };
    struct Row {
        const char* levels;
        int maskSize;
    } rows[] = {{"1", 16}, {"3", 8}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.levels);
        std::unique_ptr<YTexture2> built = Build({"8888"}, 16, 16, pixel);
        built->SetTag("TXT-TSMIPLevels", row.levels);
        std::unique_ptr<YTexture2> texture = Stored(*built);
        std::unique_ptr<YD3D6Lock> lock = NewLock();
        lock->m_alphaFormat = kA888;
        ASSERT_EQ(1, lock->Upload(texture.get()));
        EXPECT_EQ(float(row.maskSize), lock->m_fMaskWidth);
        EXPECT_EQ(float(row.maskSize), lock->m_fMaskHeight);
        EXPECT_EQ(size_t((row.maskSize * row.maskSize + 32) / 32), lock->m_mask.size());
        for (int y = 0; y < row.maskSize; ++y)
            for (int x = 0; x < row.maskSize; ++x) {
                const size_t bit = static_cast<size_t>(y) * row.maskSize + x;
                const uint32_t expected = (y < 4 ? 0u : 1u);
                ASSERT_EQ(expected, (lock->m_mask[bit / 32] >> (bit % 32)) & 1) << x << " " << y;
                EXPECT_EQ(int(expected), lock->IsOpaqueAt((x + 0.5f) / row.maskSize, (y + 0.5f) / row.maskSize));
            }
        EXPECT_EQ(0, lock->IsOpaqueAt(1.0f, 0.9f));
        EXPECT_EQ(0, lock->IsOpaqueAt(-0.1f, 0.9f));
    }
    std::unique_ptr<YTexture2> built = Build({"8888"}, 16, 16, pixel);
    built->SetTag("TXT-TSMIPLevels", "1");
    std::unique_ptr<YTexture2> texture = Stored(*built);
    std::unique_ptr<YD3D6Lock> lock = NewLock();
    lock->m_alphaFormat = kA888;
    ASSERT_EQ(1, lock->Upload(texture.get()));
    EXPECT_EQ(0x00306093u, LevelPixel(lock->m_pSurface, 0, 3, 0));
    EXPECT_EQ(0x7F306093u, LevelPixel(lock->m_pSurface, 0, 3, 2));
    EXPECT_EQ(0x80306093u, LevelPixel(lock->m_pSurface, 0, 3, 4));
    EXPECT_EQ(0xFF306093u, LevelPixel(lock->m_pSurface, 0, 3, 6));
    // Into 4-4-4-4: four alpha bits.
    texture = Stored(*Build({"8888"}, 16, 16, pixel));
    lock = NewLock();
    ASSERT_EQ(1, lock->Upload(texture.get()));
    EXPECT_EQ(0x7369u, LevelPixel(lock->m_pSurface, 0, 3, 2) & 0xFFFF);
    EXPECT_EQ(0x8369u, LevelPixel(lock->m_pSurface, 0, 3, 4) & 0xFFFF);
}

// With the colour key, texels of alpha 128 or less become the key colour
// (white here, the lock's colour-key colour) and the surface carries the key.
TEST_F(LockTest, ColourKeyReplacesTranslucentTexels)
{
    auto pixel = [](int, int x, int) -> uint32_t {
        const uint32_t alpha = x < 4 ? 0 : (x < 8 ? 128 : (x < 12 ? 129 : 255));
        return alpha << 24 | 0x00804020u;
    };
    std::unique_ptr<YTexture2> built = Build({"8888"}, 16, 16, pixel);
    built->SetTag("TXT-RSColorKey", "yes");
    built->SetTag("TXT-TSMIPLevels", "1");
    std::unique_ptr<YTexture2> texture = Stored(*built);
    std::unique_ptr<YD3D6Lock> lock = NewLock();
    ASSERT_EQ(1, lock->Upload(texture.get()));
    ASSERT_TRUE(SameFormat(k565, lock->m_pixelFormat));
    const uint32_t colour = (0x80 >> 3) << 11 | (0x40 >> 2) << 5 | (0x20 >> 3);
    EXPECT_EQ(0xFFFFu, LevelPixel(lock->m_pSurface, 0, 1, 1));
    EXPECT_EQ(0xFFFFu, LevelPixel(lock->m_pSurface, 0, 5, 1));  // 128: keyed...
    EXPECT_EQ(1, lock->IsOpaqueAt(5.5f / 16, 0.5f));             // ...though opaque in the mask
    EXPECT_EQ(colour, LevelPixel(lock->m_pSurface, 0, 9, 1));
    EXPECT_EQ(colour, LevelPixel(lock->m_pSurface, 0, 13, 1));
    EXPECT_EQ(0, lock->IsOpaqueAt(1.5f / 16, 0.5f));
    DDCOLORKEY key = {0, 0};
    ASSERT_EQ(DD_OK, lock->m_pSurface->GetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_EQ(0xFFFFu, key.dwColorSpaceLowValue);
    EXPECT_EQ(0xFFFFu, key.dwColorSpaceHighValue);
    EXPECT_EQ(1u, lock->m_states.m_colorKeyEnable);
}

TEST_F(LockTest, TagsAndRegionsAreCopiedTextureTagsFirst)
{
    std::unique_ptr<YTexture2> built = Build({"565"});
    built->SetTag("Shared", "texture");
    built->SetTag("Own", "1");
    built->GetFormat(0)->SetTag("Shared", "format");
    built->GetFormat(0)->SetTag("FormatOnly", "2");
    built->GetFormat(0)->SetTag("TXT-RSFog", "no");
    built->GetFormat(0)->SetTag("TXT-RSColorKey", "yes");  // never read from a format
    YTexRegion* region = new YTexRegion;
    region->m_strName = "Door";
    region->AddPoint(0.1f, 0.1f);
    region->AddPoint(0.5f, 0.1f);
    region->AddPoint(0.5f, 0.6f);
    region->SetTag("Kind", "wood");
    built->AddRegion(region);
    std::unique_ptr<YTexture2> texture = Stored(*built);
    std::unique_ptr<YD3D6Lock> lock = NewLock();
    ASSERT_EQ(1, lock->Upload(texture.get()));
    EXPECT_STREQ("texture", lock->GetTagValueByName("Shared", "").GetBuffer());
    EXPECT_STREQ("1", lock->GetTagValueByName("Own", "").GetBuffer());
    EXPECT_STREQ("2", lock->GetTagValueByName("FormatOnly", "").GetBuffer());
    EXPECT_EQ(0u, lock->m_states.m_fogEnable);
    EXPECT_EQ(0u, lock->m_states.m_colorKeyEnable);
    EXPECT_EQ(0, lock->FindTag("Shared"));
    ASSERT_EQ(1, lock->GetNumRegions());
    YTexRegion* copy = lock->GetRegion(0);
    ASSERT_NE(nullptr, copy);
    EXPECT_NE(texture->GetRegion(0), copy);
    EXPECT_STREQ("Door", copy->m_strName.GetBuffer());
    EXPECT_EQ(3, copy->GetPointCount());
    EXPECT_STREQ("wood", copy->GetTagValueByName("Kind", "").GetBuffer());
    EXPECT_EQ(1, lock->HitTestRegions(0.4f, 0.2f));
    EXPECT_EQ(1, copy->GetHit());
    // The accessors check their indexes.
    EXPECT_EQ(nullptr, lock->GetRegion(1));
    EXPECT_STREQ("Region Index >= m_iNumRegions", lock->GetError().GetBuffer());
    EXPECT_EQ(nullptr, lock->GetTag(-1));
    EXPECT_STREQ("Tag Index < 0", lock->GetError().GetBuffer());
    const int16_t count = lock->GetNumTags();
    EXPECT_EQ(count + 1, lock->SetTag("New", "x"));
    lock->Release();
    EXPECT_EQ(0, lock->GetNumTags());
    EXPECT_EQ(0, lock->GetNumRegions());
}

TEST_F(LockTest, SurfaceCreation)
{
    struct Row {
        const char* name;
        std::vector<std::pair<std::string, std::string>> tags;
        int videoMemory;
        int managed;
        DWORD caps, caps2, stage;
        int levels;
    } rows[] = {
        {"defaults", {}, 1, 1, DDSCAPS_TEXTURE | DDSCAPS_MIPMAP, DDSCAPS2_TEXTUREMANAGE | DDSCAPS2_OPAQUE, 0, 3},
        {"video memory", {{"TXT-NoManage", "yes"}}, 1, 0, DDSCAPS_VIDEOMEMORY, DDSCAPS2_OPAQUE, 0, 3},
        {"unmatched no-manage word", {{"TXT-NoManage", "sometimes"}}, 1, 0, DDSCAPS_VIDEOMEMORY, 0, 0, 3},
        {"video memory not allowed", {{"TXT-NoManage", "1"}}, 0, 1, DDSCAPS_TEXTURE, DDSCAPS2_TEXTUREMANAGE, 0, 3},
        {"static hint", {{"TXT-D3DHint", "STATIC"}}, 0, 1, 0, DDSCAPS2_HINTSTATIC, 0, 3},
        {"dynamic hint", {{"TXT-D3DHint", "dynamic"}}, 0, 1, 0, DDSCAPS2_HINTDYNAMIC, 0, 3},
        {"stage 5", {{"TXT-TSIndex", "5"}}, 0, 1, 0, 0, 5, 3},
        {"stage 8 refused", {{"TXT-TSIndex", "8"}}, 0, 1, 0, 0, 0, 3},
        {"stage -1 refused", {{"TXT-TSIndex", "-1"}}, 0, 1, 0, 0, 0, 3},
        {"levels -1", {{"TXT-TSMIPLevels", "-1"}}, 0, 1, 0, 0, 0, 3},
        {"levels 0", {{"TXT-TSMIPLevels", "0"}}, 0, 1, 0, 0, 0, 1},
        {"levels 2", {{"TXT-TSMIPLevels", "2"}}, 0, 1, 0, 0, 0, 2},
        {"levels 99", {{"TXT-TSMIPLevels", "99"}}, 0, 1, 0, 0, 0, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<YTexture2> texture = Tagged({"565"}, row.tags);
        std::unique_ptr<YD3D6Lock> lock = NewLock();
        lock->m_iVideoMemory = row.videoMemory;
        ASSERT_EQ(1, lock->Upload(texture.get()));
        EXPECT_EQ(row.managed, lock->m_iManaged);
        const DDSURFACEDESC2 desc = Desc(lock->m_pSurface);
        EXPECT_EQ(row.caps, desc.ddsCaps.dwCaps & row.caps);
        EXPECT_EQ(row.caps2, desc.ddsCaps.dwCaps2 & row.caps2);
        EXPECT_EQ(row.stage, desc.dwTextureStage);
        EXPECT_EQ(row.stage, lock->m_states.m_stage);
        EXPECT_EQ(row.levels, ChainLength(lock->m_pSurface));
    }
    // A video-memory surface that cannot be made fails the upload.
    d3dtest::ScopedForce force("novideomemory");
    std::unique_ptr<YTexture2> texture = Tagged({"565"}, {{"TXT-NoManage", "yes"}});
    std::unique_ptr<YD3D6Lock> lock = NewLock();
    lock->m_iVideoMemory = 1;
    EXPECT_EQ(0, lock->Upload(texture.get()));
    EXPECT_EQ(nullptr, lock->m_pSurface);
}

TEST_F(LockTest, RefusalsAndFailures)
{
    {
        std::unique_ptr<YTexture2> texture = Stored(*Build({"565", "8888"}));
        std::unique_ptr<YD3D6Lock> lock = NewLock();
        lock->m_pTreeClass = nullptr;
        EXPECT_EQ(0, lock->Upload(texture.get()));
        EXPECT_EQ(2, texture->GetNumFormats());  // nothing changed
        lock = NewLock();
        lock->m_pDD = nullptr;
        EXPECT_EQ(0, lock->Upload(texture.get()));
        lock = NewLock();
        EXPECT_EQ(0, lock->Upload(nullptr));
        YTexture2 empty;
        EXPECT_EQ(0, lock->Upload(&empty));
    }
    {
        // An 8-bit device pixel format: the texture has lost its other formats.
        std::unique_ptr<YTexture2> built = Build({"565", "pal8"});
        std::unique_ptr<YTexture2> texture = Stored(*built);
        std::unique_ptr<YD3D6Lock> lock = NewLock();
        DDPIXELFORMAT eight;
        memset(&eight, 0, sizeof eight);
        eight.dwSize = sizeof eight;
        eight.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
        eight.dwRGBBitCount = 8;
        lock->m_opaqueFormat = eight;
        EXPECT_EQ(0, lock->Upload(texture.get()));
        EXPECT_EQ(1, texture->GetNumFormats());
        EXPECT_EQ(nullptr, lock->m_pSurface);
    }
    {
        // The format's pixels cannot be read (the file lost them after the
        // headers were read): no device texture of empty layers.
        std::unique_ptr<YTexture2> built = Build({"565"}, 32, 32);
        std::unique_ptr<YTexture2> texture = Stored(*built, "cut.ytx");
        const std::string path = folder / "cut.ytx";
        const std::vector<uint8_t> bytes = texture_test::ReadFile(path);
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size() / 2));
        std::unique_ptr<YD3D6Lock> lock = NewLock();
        EXPECT_EQ(0, lock->Upload(texture.get()));
        EXPECT_EQ(nullptr, lock->m_pSurface);
        // And a texture that was never in a file has nothing to load from.
        std::unique_ptr<YTexture2> memory = Build({"565"});
        memory->m_strPath = "";
        lock = NewLock();
        EXPECT_EQ(0, lock->Upload(memory.get()));
    }
    {
        // A size the resampler refuses (below 4 x 4) fails the upload.
        std::unique_ptr<YTexture2> texture = Stored(*Build({"565"}, 4, 4));
        std::unique_ptr<YD3D6Lock> lock = NewLock();
        lock->m_iMinWidth = lock->m_iMinHeight = 1;
        lock->m_iHalveSize = 1;
        EXPECT_EQ(0, lock->Upload(texture.get()));
        EXPECT_EQ(nullptr, lock->m_pSurface);
        EXPECT_STREQ("Resize failed", lock->GetError().GetBuffer());
    }
    {
        // Reading from an open stream, as the loaders hand it over.
        std::unique_ptr<YTexture2> texture = Stored(*Build({"565"}), "open.ytx");
        CFile file((folder / "open.ytx").c_str(), CFile::modeRead | CFile::typeBinary);
        std::unique_ptr<YD3D6Lock> lock = NewLock();
        EXPECT_EQ(1, lock->Upload(texture.get(), &file));
        lock->ReleaseSurface();
        EXPECT_EQ(nullptr, lock->m_pSurface);
        EXPECT_TRUE(lock->m_mask.empty());
    }
}

}  // namespace

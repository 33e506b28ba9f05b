// Texture formats: packing and unpacking, status flags mirrored into tags,
// layer reads and writes with their checks, images and the colour key.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "TextureFixture.h"

namespace {

using namespace texture_test;

uint32_t Exchange(const BYTE* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

TEST(TextureFormatPixels, UnpackReplicatesBitsDownward)
{
    struct Case {
        const char* layout;
        DWORD packed;
        uint32_t exchange;  // 0xAARRGGBB, alpha always 0
    } cases[] = {
        {"565", 0xFFFF, 0x00FFFFFF},     {"565", 0x0000, 0x00000000},     {"565", 0xF800, 0x00FF0000},
        {"565", 0x07E0, 0x0000FF00},     {"565", 0x001F, 0x000000FF},     {"565", 0x8410, 0x00848284},
        {"4444", 0x0800, 0x00880000},    {"4444", 0xF0F0, 0x0000FF00},    {"1555", 0x7C00, 0x00FF0000},
        {"888", 0x123456, 0x00123456},   {"8888", 0xAB123456, 0x00123456},
    };
    for (const Case& c : cases) {
        std::unique_ptr<YTextureFormat> f(MakeFormat(c.layout));
        BYTE out[4] = {9, 9, 9, 9};
        f->UnpackPixel(c.packed, out);
        EXPECT_EQ(Exchange(out), c.exchange) << c.layout << " " << std::hex << c.packed;
    }
}

TEST(TextureFormatPixels, PackKeepsTheHighBitsAndNeverAlpha)
{
    struct Case {
        const char* layout;
        uint32_t exchange;
        DWORD packed;
    } cases[] = {
        {"565", 0x000000FF, 0x001F},  {"565", 0x00FF0000, 0xF800}, {"565", 0x0000FF00, 0x07E0},
        {"565", 0xFF848284, 0x8410},  {"4444", 0xFF123456, 0x0135}, {"888", 0x77ABCDEF, 0xABCDEF},
        {"8888", 0xFFABCDEF, 0xABCDEF},
    };
    for (const Case& c : cases) {
        std::unique_ptr<YTextureFormat> f(MakeFormat(c.layout));
        BYTE in[4];
        std::memcpy(in, &c.exchange, 4);
        EXPECT_EQ(f->PackPixel(in), c.packed) << c.layout << " " << std::hex << c.exchange;
    }
}

TEST(TextureFormatPixels, ZeroBitChannelsReadZeroAndOpaque)
{
    // A format with an alpha plane whose alpha and green bits are 0.
    std::unique_ptr<YTextureFormat> f(YTextureFormat::ParseFormatLine("Odd 16 1 2 5 0 5 0 10 0 0 0 31 0 31 0"));
    ASSERT_NE(f, nullptr);
    f->m_iNoAlpha = 0;
    BYTE out[4];
    f->UnpackPixel(0xFFFF, out);
    EXPECT_EQ(Exchange(out), 0x00FF00FFu);
    EXPECT_EQ(f->UnpackAlpha(0), 255);
    EXPECT_EQ(f->UnpackAlpha(1), 255);
    EXPECT_EQ(f->PackAlpha(200), 0);
}

TEST(TextureFormatPixels, AlphaPlaneHoldsReducedValues)
{
    auto f = FormatWithLayers("4444", 4, 4, 1);
    ASSERT_EQ(f->SetPixelAlpha(0, 1, 2, 0x9A), 1);
    EXPECT_EQ(f->GetLayer(0)->m_pAlpha[2 * 4 + 1], 0x9);
    EXPECT_EQ(f->GetPixelAlpha(0, 1, 2), 0x99);
    EXPECT_EQ(f->GetPixelAlpha(0, 0, 0), 255);  // new planes are opaque
    auto g = FormatWithLayers("1555", 4, 4, 1);
    g->SetPixelAlpha(0, 0, 0, 0x80);
    g->SetPixelAlpha(0, 1, 0, 0x7F);
    EXPECT_EQ(g->GetPixelAlpha(0, 0, 0), 255);
    EXPECT_EQ(g->GetPixelAlpha(0, 1, 0), 0);
}

TEST(TextureFormatParse, FieldsAndRefusals)
{
    std::unique_ptr<YTextureFormat> f(MakeFormat("4444"));
    EXPECT_STREQ(f->m_strName, "ARGB4444");
    EXPECT_EQ(f->m_iColorDepth, 16);
    EXPECT_EQ(f->m_iAlphaDepth, 4);
    EXPECT_EQ(f->m_iBytesPerPixel, 2);
    EXPECT_EQ(f->HasAlpha(), 1);
    EXPECT_EQ(f->m_shift[TEX_RED], 8);
    EXPECT_EQ(f->m_shift[TEX_ALPHA], 12);
    EXPECT_EQ(f->m_mask[TEX_GREEN], 15);
    std::unique_ptr<YTextureFormat> p(MakeFormat("pal8"));
    EXPECT_EQ(p->HasPalette(), 1);
    EXPECT_EQ(p->HasAlpha(), 0);
    // Alpha depth without alpha bits has no alpha plane.
    std::unique_ptr<YTextureFormat> n(YTextureFormat::ParseFormatLine("X 16 4 2 5 6 5 0 11 5 0 0 31 63 31 0"));
    EXPECT_EQ(n->HasAlpha(), 0);

    for (const char* bad : {"Short 16 0 2 5 6 5", "Bits 16 0 2 9 6 5 0 11 5 0 0 31 63 31 0",
                            "Shift 16 0 2 5 6 5 0 32 5 0 0 31 63 31 0", "Bytes 16 0 5 5 6 5 0 11 5 0 0 31 63 31 0",
                            "Bytes 16 0 0 5 6 5 0 11 5 0 0 31 63 31 0", "Mask 16 0 2 5 6 5 0 11 5 0 0 256 63 31 0"})
        EXPECT_EQ(YTextureFormat::ParseFormatLine(bad), nullptr) << bad;
    EXPECT_EQ(YTextureFormat::ParseFormatLine(nullptr), nullptr);
}

TEST(TextureFormatFlags, FlagsAreMirroredIntoStatusTags)
{
    auto f = FormatWithLayers("4444", 64, 64, 11);
    ASSERT_EQ(f->SetLayerRGBGenerated(2, 1), 1);
    ASSERT_EQ(f->SetLayerAlphaGenerated(2, 1), 1);
    ASSERT_EQ(f->SetLayerRGBLock(10, 1), 1);
    ASSERT_EQ(f->SetLayerAlphaLock(3, 0), 1);
    struct Case {
        const char* tag;
        const char* value;
    } cases[] = {{"GenRGBMIP-2", "1"}, {"GenAlphaMIP-2", "1"}, {"LockRGBMIP-:", "1"}, {"LockAlphaMIP-3", "0"}};
    for (const Case& c : cases) EXPECT_STREQ(f->GetTagValueByName(c.tag, "missing"), c.value) << c.tag;
    EXPECT_EQ(f->FindTag("GetAlphaMIP-2"), -1);
    EXPECT_EQ(f->GetNumTags(), 4);
    EXPECT_EQ(f->GetLayerRGBGenerated(2), 1);
    EXPECT_EQ(f->GetLayerAlphaGenerated(2), 1);
    EXPECT_EQ(f->GetLayerRGBLock(10), 1);
    EXPECT_EQ(f->GetLayerRGBLock(11), 0);
    EXPECT_STREQ(f->GetError(), "Layer Index >= m_iMIPDepth");

    auto plain = FormatWithLayers("565", 8, 8, 2);
    EXPECT_EQ(plain->SetLayerAlphaLock(0, 1), 0);
    EXPECT_STREQ(plain->GetError(), "No Alpha in Format");
    EXPECT_EQ(plain->SetLayerAlphaGenerated(1, 1), 0);
    EXPECT_EQ(plain->GetNumTags(), 0);
}

TEST(TextureFormatLayers, SizesAndPitches)
{
    auto f = FormatWithLayers("565", 8, 8, 2);
    EXPECT_EQ(f->GetLayerRGB(0, nullptr, 0), 256);
    EXPECT_EQ(f->GetLayerRGB(1, nullptr, 0), 64);
    auto p = FormatWithLayers("pal8", 3, 4, 1);
    EXPECT_EQ(p->GetLayer(0)->m_iPitch, 4);
    EXPECT_EQ(p->GetLayerRGB(0, nullptr, 0), 12);
    EXPECT_EQ(p->GetLayerRGB(0, nullptr, 1), 48);
    auto wide = FormatWithLayers("888", 10, 6, 2);
    EXPECT_EQ(wide->GetLayer(0)->m_iPitch, 32);
    EXPECT_EQ(wide->GetLayer(1)->m_iPitch, 16);
    EXPECT_EQ(wide->GetLayer(1)->m_iWidth, 5);
    EXPECT_EQ(wide->GetLayer(1)->m_iHeight, 3);
    // An 8-bit format without palette still hands out whole exchange pixels.
    std::unique_ptr<YTextureFormat> rgb332(YTextureFormat::ParseFormatLine("RGB332 8 0 1 3 3 2 0 5 2 0 0 7 7 3 0"));
    ASSERT_TRUE(rgb332->CreateLayers(4, 4, 1, true));
    ASSERT_EQ(rgb332->GetLayerRGB(0, nullptr, 0), 64);
    rgb332->SetPixel(0, 3, 3, 0x00FFFFFF);
    std::vector<BYTE> out(64, 1);
    ASSERT_EQ(rgb332->GetLayerRGB(0, out.data(), 0), 0);
    EXPECT_EQ(Exchange(&out[60]), 0x00FFFFFFu);
}

TEST(TextureFormatLayers, ReadWriteRoundTripAndPalette)
{
    auto f = FormatWithLayers("565", 5, 3, 1);
    std::vector<BYTE> in(5 * 3 * 4), out(5 * 3 * 4, 0xEE);
    for (size_t i = 0; i < in.size(); ++i) in[i] = (i % 4 == 3) ? 0 : static_cast<BYTE>((i * 40) | 0x7);
    ASSERT_EQ(f->SetLayerRGB(0, in.data()), 1);
    ASSERT_EQ(f->GetLayerRGB(0, out.data(), 0), 0);
    for (size_t i = 0; i < in.size(); ++i) {
        int bits = i % 4 == 1 ? 6 : 5;
        if (i % 4 == 3)
            EXPECT_EQ(out[i], 0);
        else
            EXPECT_EQ(out[i] >> (8 - bits), in[i] >> (8 - bits)) << i;
    }
    auto p = FormatWithLayers("pal8", 3, 2, 1);
    const BYTE indices[6] = {0, 10, 20, 30, 40, 255};
    ASSERT_EQ(p->SetLayerRGB(0, indices), 1);
    EXPECT_EQ(p->GetPixel(0, 2, 1), 255u);
    BYTE raw[6], wide[24];
    ASSERT_EQ(p->GetLayerRGB(0, raw, 0), 0);
    EXPECT_EQ(0, std::memcmp(raw, indices, 6));
    RGBQUAD palette[256];
    ASSERT_EQ(p->GetPalette(palette), 1);
    palette[30] = {1, 2, 3, 99};
    p->SetPalette(palette);
    ASSERT_EQ(p->GetLayerRGB(0, wide, 1), 0);
    EXPECT_EQ(Exchange(wide + 12), 0x00030201u);
    EXPECT_EQ(Exchange(wide + 4), 0x000A0A0Au);
    EXPECT_EQ(f->GetPalette(palette), 0);
    EXPECT_STREQ(f->GetError(), "Format has no Palette");
}

TEST(TextureFormatLayers, ChecksNameWhatStoppedThem)
{
    auto f = FormatWithLayers("4444", 4, 4, 2);
    auto plain = FormatWithLayers("565", 4, 4, 1);
    std::vector<BYTE> buffer(64, 0x55);
    struct Case {
        const char* what;
        std::function<int()> call;
        int result;
        const char* message;
    } cases[] = {
        {"layer -1", [&] { return f->SetLayerRGB(-1, buffer.data()); }, 0, "Layer Index < 0"},
        {"layer 2", [&] { return f->GetLayerRGB(2, nullptr, 0); }, -1, "Layer Index >= m_iMIPDepth"},
        {"null input", [&] { return f->SetLayerRGB(0, nullptr); }, 0, "Input Buffer is NULL"},
        {"null alpha input", [&] { return f->SetLayerAlpha(0, nullptr); }, 0, "Input Buffer is NULL"},
        {"no alpha", [&] { return plain->GetLayerAlpha(0, buffer.data()); }, -1, "No Alpha in Format"},
        {"no alpha set", [&] { return plain->SetLayerAlpha(0, buffer.data()); }, 0, "No Alpha in Format"},
        {"colour key", [&] { return plain->AlphaFromColorKey(); }, 0, "Format has no Alpha"},
        {"alpha mips", [&] { return plain->GenerateAlphaMIPs("Box", "Box"); }, 0, "Format has no Alpha"},
    };
    for (const Case& c : cases) {
        f->SetError("");
        plain->SetError("");
        EXPECT_EQ(c.call(), c.result) << c.what;
        std::string message = std::string(f->GetError()) + plain->GetError().GetBuffer();
        EXPECT_EQ(message, c.message) << c.what;
    }
    f->GetLayer(1)->FreePixels();
    EXPECT_EQ(f->SetLayerRGB(1, buffer.data()), 0);
    EXPECT_STREQ(f->GetError(), "RGB Buffer is NULL");
    EXPECT_EQ(f->GetLayerRGB(1, buffer.data(), 1), -1);
    EXPECT_EQ(f->SetLayerAlpha(1, buffer.data()), 0);
    EXPECT_STREQ(f->GetError(), "Alpha Buffer is NULL");
    EXPECT_EQ(f->GetPixel(1, 0, 0), 0u);
    EXPECT_EQ(f->SetPixel(0, 4, 0, 0), 0);
    EXPECT_EQ(f->SetPixel(0, 0, -1, 0), 0);
}

TEST(TextureFormatLayers, LocksRefuseAndLeaveThePixels)
{
    auto f = FormatWithLayers("4444", 2, 2, 1);
    std::vector<BYTE> white(16, 0xFF);
    f->SetLayerRGBLock(0, 1);
    EXPECT_EQ(f->SetLayerRGB(0, white.data()), 0);
    EXPECT_STREQ(f->GetError(), "RGB Buffer is Locked");
    EXPECT_EQ(f->GetPixel(0, 1, 1), 0u);
    // The colour is locked: RGBA writes the alpha alone.
    white[3] = 0x00;
    ASSERT_EQ(f->SetLayerRGBA(0, white.data()), 1);
    EXPECT_EQ(f->GetPixel(0, 0, 0), 0u);
    EXPECT_EQ(f->GetPixelAlpha(0, 0, 0), 0);
    EXPECT_EQ(f->GetPixelAlpha(0, 1, 0), 255);
    f->SetLayerAlphaLock(0, 1);
    EXPECT_EQ(f->SetLayerRGBA(0, white.data()), 0);
    EXPECT_STREQ(f->GetError(), "RGB and Alpha Buffers Locked");
    EXPECT_EQ(f->SetLayerAlpha(0, white.data()), 0);
    EXPECT_STREQ(f->GetError(), "Alpha Buffer is Locked");
    // The alpha is locked: RGBA writes the colour alone.
    f->SetLayerRGBLock(0, 0);
    ASSERT_EQ(f->SetLayerRGBA(0, white.data()), 1);
    EXPECT_EQ(f->GetPixel(0, 0, 0), 0x0FFFu);
    EXPECT_EQ(f->GetPixelAlpha(0, 0, 0), 0);
}

TEST(TextureFormatLayers, AlphaFromColorKeySkipsLockedLayers)
{
    auto f = FormatWithLayers("1555", 4, 4, 2);
    f->m_iColorKey = 0x7C1F;  // magenta
    f->SetPixel(0, 1, 1, 0x00FF00FF);
    f->SetPixel(0, 2, 1, 0x00FF00FE);
    f->SetPixel(1, 0, 0, 0x00FF00FF);
    f->SetLayerAlphaLock(1, 1);
    ASSERT_EQ(f->AlphaFromColorKey(), 1);
    EXPECT_EQ(f->GetPixelAlpha(0, 1, 1), 0);
    EXPECT_EQ(f->GetPixelAlpha(0, 2, 1), 0);  // the same colour once packed
    EXPECT_EQ(f->GetPixelAlpha(0, 0, 0), 255);
    EXPECT_EQ(f->GetPixelAlpha(1, 0, 0), 255);
}

class TextureFormatImages : public ::testing::Test {
protected:
    ScratchFolder m_folder;
};

TEST_F(TextureFormatImages, ImagesGoInWithTheirChecks)
{
    WriteTGA(m_folder / "big.tga", 8, 8, Pattern);
    WriteTGA(m_folder / "small.tga", 4, 4, [](int x, int) { return x == 0 ? 0x80FF0000u : 0xFF0000FFu; });
    WriteBMP8(m_folder / "indexed.bmp", 4, 4, [](int x, int y) { return static_cast<uint8_t>(x + 4 * y + 100); });

    auto f = FormatWithLayers("4444", 8, 8, 2);
    EXPECT_EQ(f->ExternLayerRGB(1, (m_folder / "none.tga").c_str()), 0);
    EXPECT_STREQ(f->GetError(), "Unable to load Filename");
    EXPECT_EQ(f->ExternLayerRGB(1, (m_folder / "big.tga").c_str()), 0);
    EXPECT_STREQ(f->GetError(), "Filename does not match Layer Resolution");
    ASSERT_EQ(f->ExternLayerRGBA(1, (m_folder / "small.tga").c_str()), 1);
    EXPECT_EQ(f->GetPixel(1, 0, 0), 0x0F00u);
    EXPECT_EQ(f->GetPixelAlpha(1, 0, 0), 0x88);
    EXPECT_EQ(f->GetPixel(1, 3, 3), 0x000Fu);
    EXPECT_STREQ(f->GetTagValueByName("ExternRGBMIP-1", ""), "small.tga");
    EXPECT_STREQ(f->GetTagValueByName("ExternAlphaMIP-1", ""), "small.tga");
    EXPECT_EQ(f->GetLayerRGBGenerated(1), 1);
    EXPECT_EQ(f->GetLayerAlphaGenerated(1), 1);
    EXPECT_EQ(f->GetLayerRGBGenerated(0), 0);

    // A palettised image into a true-colour format goes through its palette.
    ASSERT_EQ(f->ExternLayerRGB(1, (m_folder / "indexed.bmp").c_str()), 1);
    BYTE out[4];
    f->UnpackPixel(f->GetPixel(1, 1, 0), out);
    // Entry 101 is {101, 154, 50}: 4 bits each, replicated.
    EXPECT_EQ(Exchange(out), 0x00339966u);

    // A palettised format takes the indices and the palette; true colour is refused.
    auto p = FormatWithLayers("pal8", 4, 4, 1);
    EXPECT_EQ(p->ExternLayerRGB(0, (m_folder / "small.tga").c_str()), 0);
    EXPECT_STREQ(p->GetError(), "Format has Palette - Filename does not");
    ASSERT_EQ(p->ExternLayerRGB(0, (m_folder / "indexed.bmp").c_str()), 1);
    EXPECT_EQ(p->GetPixel(0, 3, 2), 111u);
    EXPECT_EQ(p->m_palette[111].rgbGreen, 144);
    EXPECT_EQ(p->ExternLayerAlpha(0, (m_folder / "indexed.bmp").c_str()), 0);
    EXPECT_STREQ(p->GetError(), "No Alpha in Format");
}

}  // namespace

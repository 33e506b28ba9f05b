// The texture container: adding and importing formats, and textures whose
// large levels live in external image files.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "TextureFixture.h"

namespace {

using namespace texture_test;

class TextureContainer : public ::testing::Test {
protected:
    ScratchFolder m_folder;
};

TEST_F(TextureContainer, AddFormatNeedsAnInitialisedTextureAndANewLayout)
{
    YTexture2 empty;
    empty.SetErrorMode(1);
    std::unique_ptr<YTextureFormat> f(MakeFormat("565"));
    EXPECT_EQ(empty.AddFormat(f.get()), 0);
    EXPECT_STREQ(empty.GetError(), "Texture isn't initialized");
    EXPECT_EQ(empty.AddFormat(nullptr), 0);
    EXPECT_STREQ(empty.GetError(), "Format is NULL");
    EXPECT_EQ(empty.FindFormat(nullptr), 0);

    auto texture = ImportedTexture(m_folder, "565", 10, 6);
    // The same packing under another name exists already.
    std::unique_ptr<YTextureFormat> twin(YTextureFormat::ParseFormatLine("Other 16 0 2 5 6 5 0 11 5 0 0 31 63 31 0"));
    EXPECT_EQ(texture->FindFormat(twin.get()), 1);
    EXPECT_EQ(texture->AddFormat(twin.get()), 0);
    EXPECT_STREQ(texture->GetError(), "Format already exists");

    texture->m_iMIPDepth = 2;
    YTextureFormat* added = MakeFormat("4444");
    ASSERT_EQ(texture->AddFormat(added), 1);
    ASSERT_EQ(texture->GetNumFormats(), 2);
    EXPECT_EQ(texture->GetFormat(1), added);
    struct Layer {
        int w, h, pitch;
    } layers[] = {{10, 6, 20}, {5, 3, 12}};
    for (int16_t l = 0; l < 2; ++l) {
        YTextureLayer* layer = added->GetLayer(l);
        EXPECT_EQ(layer->m_iWidth, layers[l].w);
        EXPECT_EQ(layer->m_iHeight, layers[l].h);
        EXPECT_EQ(layer->m_iPitch, layers[l].pitch);
        EXPECT_EQ(added->GetPixel(l, layers[l].w - 1, layers[l].h - 1), 0u);
        EXPECT_EQ(added->GetPixelAlpha(l, 0, 0), 255);
    }
    EXPECT_EQ(texture->GetFormat(2), nullptr);
    EXPECT_STREQ(texture->GetError(), "Format Index >= m_iNumFormats");
    EXPECT_EQ(texture->GetFormat(-1), nullptr);
    EXPECT_STREQ(texture->GetError(), "Format Index < 0");
    ASSERT_EQ(texture->FreeFormatPixels(1), 1);
    EXPECT_EQ(added->GetLayer(0)->m_pRGB, nullptr);
    EXPECT_EQ(added->GetLayer(0)->m_iWidth, 10);
}

TEST_F(TextureContainer, ImportMakesTheImageTheOnlyFormat)
{
    auto texture = ImportedTexture(m_folder, "8888", 64, 32, [](int x, int y) { return Pattern(x, y) & 0x7FFFFFFF; });
    ASSERT_EQ(texture->GetNumFormats(), 1);
    EXPECT_EQ(texture->m_iWidth, 64);
    EXPECT_EQ(texture->m_iHeight, 32);
    EXPECT_EQ(texture->m_iMIPDepth, 4);  // 64x32, 32x16, 16x8, 8x4
    YTextureFormat* f = texture->GetFormat(0);
    EXPECT_EQ(f->GetLayer(3)->m_iWidth, 8);
    EXPECT_EQ(f->GetPixel(0, 5, 7), Pattern(5, 7) & 0x00FFFFFF);
    EXPECT_EQ(f->GetPixelAlpha(0, 5, 7), 0x7F);
    EXPECT_EQ(f->GetLayerRGBGenerated(0), 1);
    EXPECT_EQ(f->GetLayerAlphaGenerated(0), 1);
    EXPECT_EQ(f->GetLayerRGBGenerated(1), 0);
    EXPECT_STREQ(f->GetTagValueByName("ExternRGBMIP-0", ""), "source.tga");
    EXPECT_STREQ(f->GetTagValueByName("ExternAlphaMIP-0", ""), "source.tga");

    // Refusals leave the texture as it was.
    texture->SetTag("Keep", "me");
    WriteTGA(m_folder / "thin.tga", 3, 200, Pattern);
    std::unique_ptr<YTextureFormat> other(MakeFormat("565"));
    struct Case {
        const char* file;
        const char* layout;
        const char* message;
    } cases[] = {
        {"thin.tga", "565", "Filename is too small"},
        {"missing.tga", "565", "Unable to load Filename"},
        {"source.tga", "pal8", "Format has Palette - Filename does not"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<YTextureFormat> format(MakeFormat(c.layout));
        EXPECT_EQ(texture->ImportImageFormat(format.get(), (m_folder / c.file).c_str()), 0) << c.file;
        EXPECT_STREQ(texture->GetError(), c.message) << c.file;
        EXPECT_EQ(texture->GetFormat(0), f) << c.file;
        EXPECT_EQ(texture->m_iWidth, 64) << c.file;
        EXPECT_STREQ(texture->GetTagValueByName("Keep", ""), "me") << c.file;
    }
}

TEST_F(TextureContainer, ImportOfAPalettisedImage)
{
    WriteBMP8(m_folder / "indexed.bmp", 8, 4, [](int x, int y) { return static_cast<uint8_t>(x * 8 + y); });
    YTexture2 texture;
    YTextureFormat* f = MakeFormat("pal8");
    ASSERT_EQ(texture.ImportImageFormat(f, (m_folder / "indexed.bmp").c_str()), 1);
    EXPECT_EQ(texture.m_iMIPDepth, 1);
    EXPECT_EQ(f->GetPixel(0, 7, 3), 59u);
    EXPECT_EQ(f->m_palette[59].rgbGreen, 196);
    EXPECT_EQ(f->GetLayerRGBGenerated(0), 1);
}

// A texture of a 32 x 16 image "wood.tga" saved as "wood.ytx" and externalised.
class ExternalTexture : public TextureContainer {
protected:
    void SetUp() override
    {
        m_texture = ImportedTexture(m_folder, "4444", 32, 16, Pattern, "wood.tga");
        m_texture->SetTag("UpFilter", "Box");
        m_texture->SetTag("DownFilter", "Box");
        ASSERT_EQ(m_texture->SaveFile(Path().c_str()), 1);
    }
    std::string Path() const { return m_folder / "wood.ytx"; }

    std::unique_ptr<YTexture2> m_texture;
};

TEST_F(ExternalTexture, ExternalizeKeepsOnlyTheSmallLevels)
{
    ASSERT_EQ(m_texture->Externalize(1), 1) << m_texture->GetError().GetBuffer();
    EXPECT_EQ(m_texture->m_iWidth, 4);
    EXPECT_EQ(m_texture->m_iHeight, 4);
    EXPECT_STREQ(m_texture->GetFormat(0)->GetTagValueByName("Externalized", ""), "Yes");
    ASSERT_EQ(m_texture->SaveFile(Path().c_str()), 1);

    // Read back, level 0 comes from the image and the rest is regenerated.
    YTexture2 back;
    back.SetErrorMode(1);
    ASSERT_EQ(back.LoadFile(Path().c_str(), 1), 1) << back.GetError().GetBuffer();
    ASSERT_EQ(back.GetNumFormats(), 1);
    EXPECT_EQ(back.m_iWidth, 32);
    EXPECT_EQ(back.m_iHeight, 16);
    EXPECT_EQ(back.m_iMIPDepth, 3);
    EXPECT_NE(back.m_iFlags & TEX2_HAS_EXTERNAL, 0);
    YTextureFormat* f = back.GetFormat(0);
    EXPECT_EQ(f->GetLayer(0)->m_iPitch, 64);
    const uint32_t corner = Pattern(31, 15);
    BYTE exchange[4];
    std::memcpy(exchange, &corner, 4);
    EXPECT_EQ(f->GetPixel(0, 31, 15), f->PackPixel(exchange));
    EXPECT_EQ(f->GetLayerRGBGenerated(0), 1);
    EXPECT_EQ(f->GetLayerRGBGenerated(1), 0);
    // Level 1 is the rounded box mean of level 0, kept to 4 bits.
    BYTE block[4][4];
    for (int i = 0; i < 4; ++i) f->UnpackPixel(f->GetPixel(0, 2 + i % 2, 4 + i / 2), block[i]);
    BYTE mean[4];
    f->UnpackPixel(f->GetPixel(1, 1, 2), mean);
    for (int k = 0; k < 3; ++k) {
        int sum = block[0][k] + block[1][k] + block[2][k] + block[3][k];
        EXPECT_EQ(mean[k], ((sum + 2) / 4 >> 4) * 17) << k;
    }

    // With the switch off the stream's own 4 x 4 levels are read.
    YTexture2 inside;
    inside.m_iFlags = 0;
    ASSERT_EQ(inside.LoadFile(Path().c_str(), 1), 1);
    EXPECT_EQ(inside.m_iWidth, 4);
    EXPECT_EQ(inside.GetNumFormats(), 1);
    EXPECT_EQ(inside.m_iFlags & TEX2_HAS_EXTERNAL, 0);

    // Without its image the format falls back on the stream too.
    std::filesystem::remove(m_folder / "wood.tga");
    YTexture2 fallback;
    ASSERT_EQ(fallback.LoadFile(Path().c_str(), 1), 1);
    EXPECT_EQ(fallback.m_iWidth, 4);
    EXPECT_EQ(fallback.GetNumFormats(), 1);
    EXPECT_NE(fallback.m_iFlags & TEX2_EXTERNAL_IMAGES, 0);
}

TEST_F(ExternalTexture, ExternalizeChecksTheImagesFirst)
{
    std::filesystem::remove(m_folder / "wood.tga");
    EXPECT_EQ(m_texture->Externalize(1), 0);
    EXPECT_STREQ(m_texture->GetError(), "Format 0, MIP 0 : external image failure");
    EXPECT_EQ(m_texture->m_iWidth, 32);
    EXPECT_EQ(m_texture->GetFormat(0)->FindTag("Externalized"), -1);
    // Unchecked, it goes ahead.
    ASSERT_EQ(m_texture->Externalize(0), 1);
    EXPECT_EQ(m_texture->m_iWidth, 4);
}

TEST_F(ExternalTexture, ClearExternalizedRemovesTheMarkAndTheStatusTags)
{
    YTextureFormat* f = m_texture->GetFormat(0);
    f->SetTag("Externalized", "Yes");
    f->SetLayerRGBLock(2, 1);
    f->SetTag("Other", "stays");
    m_texture->ClearExternalized();
    EXPECT_EQ(f->GetNumTags(), 1);
    EXPECT_STREQ(f->GetTagName(0), "Other");
    EXPECT_EQ(f->GetLayerRGBLock(2), 1);
}

TEST_F(ExternalTexture, ExternalLevelsMustHaveTheirSize)
{
    YTextureFormat* f = m_texture->GetFormat(0);
    WriteTGA(m_folder / "wood1.tga", 16, 8, [](int, int) { return 0xFF00FF00u; });
    WriteTGA(m_folder / "wrong.tga", 8, 8, [](int, int) { return 0xFF00FF00u; });
    f->SetTag("ExternRGBMIP-1", "wood1.tga");
    f->SetTag("ExternAlphaMIP-1", "wood1.tga");
    f->SetTag("GenRGBMIP-1", "1");
    f->SetTag("ExternRGBMIP-2", "wrong.tga");
    const std::string folder = m_folder.Path() + "/";
    ASSERT_EQ(m_texture->LoadExternalMIP(0, 0, folder.c_str()), 1);
    ASSERT_EQ(m_texture->LoadExternalMIP(0, 1, folder.c_str()), 1);
    EXPECT_EQ(f->GetPixel(1, 3, 3), 0x00F0u);
    EXPECT_EQ(f->GetLayerRGBGenerated(1), 1);
    EXPECT_EQ(f->GetLayerAlphaGenerated(1), 0);  // no tag says so
    EXPECT_EQ(f->FindTag("GenAlphaMIP-1"), -1);
    EXPECT_EQ(m_texture->LoadExternalMIP(0, 2, folder.c_str()), 0);
    EXPECT_EQ(m_texture->LoadExternalMIP(0, 3, folder.c_str()), 0);
    f->RemoveTag(f->FindTag("ExternRGBMIP-0"));
    EXPECT_EQ(m_texture->LoadExternalMIP(0, 0, folder.c_str()), 0);
}

}  // namespace

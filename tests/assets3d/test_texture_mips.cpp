// MIP generation from generator levels and resizing whole textures.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "TextureFixture.h"
#include "assets3d/ResampleImage.h"

namespace {

using namespace texture_test;

// An 8888 format of 16 x 16 with 3 levels, level l filled with grey 40 × (l + 1).
std::unique_ptr<YTextureFormat> Levels(const char* layout = "8888")
{
    auto f = FormatWithLayers(layout, 16, 16, 3);
    for (int16_t l = 0; l < 3; ++l) {
        YTextureLayer* layer = f->GetLayer(l);
        std::vector<BYTE> grey(layer->AlphaSize() * 4, static_cast<BYTE>(40 * (l + 1)));
        EXPECT_EQ(f->SetLayerRGBA(l, grey.data()), 1);
    }
    return f;
}

BYTE Grey(YTextureFormat* f, int16_t level)
{
    BYTE p[4];
    f->UnpackPixel(f->GetPixel(level, 0, 0), p);
    return p[1];
}

TEST(MIPGeneration, EachLevelComesFromTheLatestGeneratorAbove)
{
    struct Case {
        const char* what;
        int gen[3];
        int lock[3];
        BYTE grey[3];
    } cases[] = {
        {"level 0 alone", {1, 0, 0}, {0, 0, 0}, {40, 40, 40}},
        {"levels 0 and 1", {1, 1, 0}, {0, 0, 0}, {40, 80, 80}},
        {"level 1 enlarges into 0", {0, 1, 0}, {0, 0, 0}, {80, 80, 80}},
        {"a locked level stays", {1, 0, 0}, {0, 1, 0}, {40, 80, 40}},
        {"no generator: level 0", {0, 0, 0}, {0, 0, 0}, {40, 40, 40}},
    };
    for (const Case& c : cases) {
        auto f = Levels();
        for (int16_t l = 0; l < 3; ++l) {
            f->SetLayerRGBGenerated(l, c.gen[l]);
            f->SetLayerRGBLock(l, c.lock[l]);
        }
        ASSERT_EQ(f->GenerateRGBMIPs("Triangle", "Box"), 1) << c.what;
        for (int16_t l = 0; l < 3; ++l) EXPECT_EQ(Grey(f.get(), l), c.grey[l]) << c.what << " level " << l;
        // Alpha planes were left alone.
        EXPECT_EQ(f->GetPixelAlpha(2, 0, 0), 120) << c.what;
    }
}

TEST(MIPGeneration, ShrinksWithTheDownFilterAndEnlargesWithTheUpFilter)
{
    auto f = FormatWithLayers("8888", 8, 8, 2);
    // Level 0 stripes 0 / 200 across; level 1 a 4 x 4 picture of its own.
    std::vector<BYTE> stripes(8 * 8 * 4), small(4 * 4 * 4);
    for (size_t i = 0; i < stripes.size(); ++i) stripes[i] = ((i / 4) % 2) ? 200 : 0;
    for (size_t i = 0; i < small.size(); ++i) small[i] = static_cast<BYTE>(i * 3);
    f->SetLayerRGBA(0, stripes.data());
    f->SetLayerRGBA(1, small.data());
    f->SetLayerRGBGenerated(0, 1);
    ASSERT_EQ(f->GenerateRGBMIPs("Point", "Box"), 1);
    BYTE p[4];
    f->UnpackPixel(f->GetPixel(1, 2, 3), p);
    EXPECT_EQ(p[0], 100);  // the box mean, not a point sample
    ASSERT_EQ(f->GenerateRGBMIPs("Point", "Point"), 1);
    f->UnpackPixel(f->GetPixel(1, 2, 3), p);
    EXPECT_EQ(p[0], 0);  // source column 4
    f->UnpackPixel(f->GetPixel(1, 1, 3), p);
    EXPECT_EQ(p[0], 0);

    // Enlarging level 0 from a generator at level 1, with the up filter.
    f->SetLayerRGBGenerated(0, 0);
    f->SetLayerRGBGenerated(1, 1);
    f->SetLayerRGBA(1, small.data());
    ASSERT_EQ(f->GenerateRGBMIPs("Point", "Sinc"), 1);
    std::vector<BYTE> expected(8 * 8 * 4), level0(8 * 8 * 4);
    ResampleImage(small.data(), 4, 4, expected.data(), 8, 8, 0, 0);
    f->GetLayerRGB(0, level0.data(), 1);
    for (size_t i = 0; i < expected.size(); ++i)
        if (i % 4 != 3) {
            ASSERT_EQ(level0[i], expected[i]) << i;
        }
}

TEST(MIPGeneration, AlphaPlanesFollowTheirOwnFlags)
{
    auto f = Levels("4444");
    f->SetLayerAlphaGenerated(0, 1);
    f->SetLayerAlphaLock(2, 1);
    ASSERT_EQ(f->GenerateAlphaMIPs("Box", "Box"), 1);
    EXPECT_EQ(f->GetPixelAlpha(1, 3, 3), 34);  // 40 kept to 4 bits
    EXPECT_EQ(f->GetPixelAlpha(2, 0, 0), 119);
    EXPECT_EQ(Grey(f.get(), 1), 85);  // colour untouched
}

TEST(MIPGeneration, MissingDataBeforeTheFirstGeneratorFails)
{
    auto f = Levels();
    f->SetLayerRGBGenerated(2, 1);
    f->GetLayer(1)->FreePixels();
    EXPECT_EQ(f->GenerateRGBMIPs("Box", "Box"), 0);
    EXPECT_STREQ(f->GetError(), "Missing Layer RGB Data");
    EXPECT_EQ(f->GenerateAlphaMIPs("Box", "Box"), 0);
    EXPECT_STREQ(f->GetError(), "Missing Layer Alpha Data");
    EXPECT_EQ(Grey(f.get(), 0), 40);
    // A missing layer after the generator is passed over.
    auto g = Levels();
    g->SetLayerRGBGenerated(0, 1);
    g->GetLayer(2)->FreePixels();
    EXPECT_EQ(g->GenerateRGBMIPs("Box", "Box"), 1);
    EXPECT_EQ(Grey(g.get(), 1), 40);
}

TEST(MIPGeneration, PalettisedLevelsTakeTheNearestEntryInRange)
{
    auto f = FormatWithLayers("pal8", 4, 4, 2);
    for (int i = 0; i < 256; ++i) f->m_palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    std::vector<BYTE> indices(16);
    for (int i = 0; i < 16; ++i) indices[i] = (i % 2) ? 100 : 50;
    f->SetLayerRGB(0, indices.data());
    f->SetLayerRGBGenerated(0, 1);
    ASSERT_EQ(f->GenerateRGBMIPs("Box", "Box"), 1);
    EXPECT_EQ(f->GetPixel(1, 0, 0), 75u);
    f->m_iFirstPalette = 80;
    f->m_iLastPalette = 90;
    ASSERT_EQ(f->GenerateRGBMIPs("Box", "Box"), 1);
    EXPECT_EQ(f->GetPixel(1, 1, 1), 80u);
}

class TextureResize : public ::testing::Test {
protected:
    ScratchFolder m_folder;
};

TEST_F(TextureResize, ToALevelSizeDropsTheLargerLevels)
{
    auto texture = ImportedTexture(m_folder, "4444", 64, 64);
    ASSERT_EQ(texture->m_iMIPDepth, 5);
    ASSERT_EQ(texture->AddFormat(MakeFormat("565")), 1);
    YTextureFormat* f = texture->GetFormat(0);
    ASSERT_EQ(f->GenerateRGBMIPs("Box", "Box"), 1);
    f->SetLayerRGBLock(2, 1);
    std::vector<YTextureLayer*> old(f->m_layers.begin(), f->m_layers.end());
    ASSERT_EQ(texture->Resize(32, 32), 1);
    EXPECT_EQ(texture->m_iWidth, 32);
    EXPECT_EQ(texture->m_iMIPDepth, 4);
    for (int16_t l = 0; l < 4; ++l) EXPECT_EQ(f->GetLayer(l), old[static_cast<size_t>(l) + 1]) << l;
    EXPECT_EQ(f->m_iWidth, 32);
    EXPECT_EQ(texture->GetFormat(1)->m_iMIPDepth, 4);
    // No generator left: level 0 is one now; the tags follow the new numbers.
    EXPECT_EQ(f->GetLayerRGBGenerated(0), 1);
    EXPECT_EQ(f->GetLayerAlphaGenerated(0), 1);
    EXPECT_STREQ(f->GetTagValueByName("GenRGBMIP-0", ""), "1");
    EXPECT_STREQ(f->GetTagValueByName("LockRGBMIP-1", ""), "1");
    EXPECT_EQ(texture->GetFormat(1)->GetLayerRGBGenerated(0), 1);
}

TEST_F(TextureResize, RefusesWhatItCannotDo)
{
    auto texture = ImportedTexture(m_folder, "565", 64, 64);
    EXPECT_EQ(texture->Resize(3, 64), 0);
    EXPECT_EQ(texture->Resize(64, 2), 0);
    EXPECT_EQ(texture->Resize(64, 64), 1);
    texture->GetFormat(0)->GetLayer(3)->FreePixels();
    EXPECT_EQ(texture->Resize(32, 32), 0);
    EXPECT_EQ(texture->m_iWidth, 64);
    YTexture2 empty;
    EXPECT_EQ(empty.Resize(8, 8), 0);
}

TEST_F(TextureResize, ToAnyOtherSizeResamplesFromTheNearestLargerLevel)
{
    auto texture = ImportedTexture(m_folder, "8888", 64, 64);
    ASSERT_EQ(texture->GetFormat(0)->GenerateRGBMIPs("Box", "Box"), 1);
    ASSERT_EQ(texture->GetFormat(0)->GenerateAlphaMIPs("Box", "Box"), 1);
    YTextureFormat* f = texture->GetFormat(0);
    std::vector<std::vector<BYTE>> before;
    for (int16_t l = 0; l < 4; ++l) before.emplace_back(f->GetLayer(l)->m_pRGB, f->GetLayer(l)->m_pRGB + f->GetLayer(l)->RGBSize());

    // Doubling: the new levels 1 .. 4 are copies of the old 0 .. 3.
    ASSERT_EQ(texture->Resize(128, 128), 1);
    EXPECT_EQ(texture->m_iMIPDepth, 6);
    ASSERT_EQ(f->m_iMIPDepth, 6);
    for (int16_t l = 1; l < 5; ++l) {
        ASSERT_EQ(f->GetLayer(l)->RGBSize(), before[static_cast<size_t>(l) - 1].size()) << l;
        EXPECT_EQ(0, std::memcmp(f->GetLayer(l)->m_pRGB, before[static_cast<size_t>(l) - 1].data(), before[l - 1].size()));
    }
    // Level 0 is the old level 0 enlarged with "Point": each pixel twice.
    EXPECT_EQ(f->GetPixel(0, 9, 13), Pattern(4, 6) & 0x00FFFFFF);
    EXPECT_EQ(f->GetLayer(0)->m_iPitch, 512);
    EXPECT_EQ(f->GetLayer(5)->m_iWidth, 4);
    EXPECT_EQ(f->GetLayer(0)->m_iRGBOffset, -1);
    EXPECT_EQ(f->GetLayerRGBGenerated(0), 1);  // took the flags of its source
    EXPECT_EQ(f->GetLayerRGBGenerated(1), 1);
    EXPECT_EQ(f->GetLayerRGBGenerated(2), 0);

    // The texture's filters and MIP count rule a resize.
    texture->SetTag("MIPLevels", "2");
    texture->SetTag("DownFilter", "Box");
    ASSERT_EQ(texture->Resize(24, 20), 1);
    EXPECT_EQ(texture->m_iMIPDepth, 2);
    EXPECT_EQ(f->GetLayer(0)->m_iPitch, 96);
    EXPECT_EQ(f->GetLayer(1)->m_iWidth, 12);
    EXPECT_EQ(f->GetLayer(1)->m_iHeight, 10);
    EXPECT_EQ(f->GetPixelAlpha(1, 11, 9), 255);
}

}  // namespace

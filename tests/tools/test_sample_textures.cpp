// The sample textures: every ".ytx" the build wrote loads through the game's
// reader, the names the renderer asks for are there, the colour-keyed and the
// externalised textures behave, and the dump shows a texture whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "ScratchFolder.h"
#include "assets3d/YTexture2.h"
#include "tools/YSampleTextures.h"
#include "tools/YTextureDump.h"

namespace {

std::string Data(const std::string& name) { return std::string(RCV_DATA_DIR) + "/" + name; }

std::vector<uint8_t> Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(SampleTextures, EveryTextureLoadsWithItsPixels)
{
    struct Case {
        const char* file;
        int width, height;
        bool alpha;
    } cases[] = {
        {"textures\\GroundTexture-JetBlack.ytx", 64, 64, false},
        {"textures\\GroundTexture-Water1.ytx", 64, 64, false},
        {"textures\\GroundTexture-Grass1.ytx", 128, 128, false},
        {"textures\\sky\\clear_front.ytx", 128, 128, false},
        {"textures\\sky\\clear_left.ytx", 128, 128, false},
        {"textures\\sky\\clear_back.ytx", 128, 128, false},
        {"textures\\sky\\clear_right.ytx", 128, 128, false},
        {"textures\\sky\\clear_top.ytx", 128, 128, false},
        {"2D Art\\Overlays\\Generic_Flare.ytx", 64, 64, true},
        {"2D Art\\Overlays\\Generic_Shadow.ytx", 64, 64, false},  // a 5-6-5 grey that multiplies
        {"textures\\sprites\\tree1.ytx", 64, 128, true},
        {"textures\\sprites\\bush1.ytx", 64, 64, true},
        {"textures\\fence.ytx", 64, 32, true},
        {"textures\\billboard.ytx", 128, 64, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        YTexture2 texture;
        texture.SetErrorMode(1);
        ASSERT_EQ(texture.LoadFile(Data(c.file).c_str(), 1), 1) << texture.GetError().GetBuffer();
        EXPECT_EQ(texture.m_iWidth, c.width);
        EXPECT_EQ(texture.m_iHeight, c.height);
        ASSERT_EQ(texture.GetNumFormats(), 2);
        EXPECT_EQ(texture.GetFormat(0)->HasAlpha(), c.alpha ? 1 : 0);
        for (int16_t f = 0; f < 2; ++f)
            for (int16_t l = 0; l < texture.m_iMIPDepth; ++l) EXPECT_NE(texture.GetFormat(f)->GetLayer(l)->m_pRGB, nullptr);
    }
}

TEST(SampleTextures, TexturesSavedAgainAreTheSameFiles)
{
    ScratchFolder folder;
    for (const char* file : {"textures\\GroundTexture-Water1.ytx", "2D Art\\Overlays\\Generic_Shadow.ytx",
                             "textures\\fence.ytx"}) {
        YTexture2 texture;
        ASSERT_EQ(texture.LoadFile(Data(file).c_str(), 1), 1) << file;
        ASSERT_EQ(texture.SaveFile((folder / "again.ytx").c_str()), 1) << file;
        EXPECT_EQ(Bytes(folder / "again.ytx"), Bytes(platform::ResolvePath(Data(file)))) << file;
    }
}

TEST(SampleTextures, OverlaysSkyAndKeysHoldWhatTheGameReads)
{
    YTexture2 flare, fence, sky;
    ASSERT_EQ(flare.LoadFile(Data("2D Art\\Overlays\\Generic_Flare.ytx").c_str(), 1), 1);
    // The glare wash samples the corner texel: opaque there.
    YTextureFormat* glow = flare.GetFormat(1);
    EXPECT_EQ(glow->GetPixelAlpha(0, 0, 0), 255);
    EXPECT_LT(glow->GetPixelAlpha(0, 32, 32), 255);

    ASSERT_EQ(sky.LoadFile(Data("textures\\sky\\clear_front.ytx").c_str(), 1), 1);
    EXPECT_STREQ(sky.GetTagValueByName("FOG-ColorRGB", ""), "200 215 235");
    EXPECT_EQ(sky.GetTagFloatByName("FOG-RangeFar", 0), 6000.0f);

    // Magenta is transparent in every level, the planks are not.
    ASSERT_EQ(fence.LoadFile(Data("textures\\fence.ytx").c_str(), 1), 1);
    YTextureFormat* keyed = fence.GetFormat(0);
    EXPECT_EQ(keyed->m_iColorKey, 0x7C1F);
    for (int16_t l = 0; l < fence.m_iMIPDepth; ++l) {
        YTextureLayer* layer = keyed->GetLayer(l);
        int clear = 0;
        for (int y = 0; y < layer->m_iHeight; ++y)
            for (int x = 0; x < layer->m_iWidth; ++x) {
                bool key = keyed->GetPixel(l, x, y) == 0x7C1Fu;
                EXPECT_EQ(keyed->GetPixelAlpha(l, x, y), key ? 0 : 255) << l << " " << x << "," << y;
                clear += key;
            }
        EXPECT_GT(clear, 0) << l;
    }
    EXPECT_EQ(fence.GetFormat(1)->m_iColorKey, 0xF81F);
}

TEST(SampleTextures, TheExternalisedTextureReadsItsPictureOrItsOwnLevels)
{
    EXPECT_TRUE(std::filesystem::exists(platform::ResolvePath(Data("textures\\billboard.tga"))));
    YTexture2 inside;
    inside.m_iFlags = 0;
    ASSERT_EQ(inside.LoadFile(Data("textures\\billboard.ytx").c_str(), 1), 1);
    EXPECT_EQ(inside.m_iWidth, 4);
    EXPECT_STREQ(inside.GetFormat(0)->GetTagValueByName("Externalized", ""), "Yes");
    EXPECT_STREQ(inside.GetFormat(1)->GetTagValueByName("ExternRGBMIP-0", ""), "billboard.tga");
    YTexture2 outside;
    ASSERT_EQ(outside.LoadFile(Data("textures\\billboard.ytx").c_str(), 1), 1);
    EXPECT_EQ(outside.m_iWidth, 128);
    EXPECT_EQ(outside.m_iMIPDepth, 5);
    EXPECT_NE(outside.m_iFlags & TEX2_HAS_EXTERNAL, 0);
    // No source pictures of the other textures are left behind.
    EXPECT_FALSE(std::filesystem::exists(platform::ResolvePath(Data("textures\\fence.tga"))));
}

TEST(SampleTextures, DescriptionErrorsNameTheirLine)
{
    ScratchFolder folder;
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"\"a.ytx\" grass 8 8", "line 1: expected file, pattern, width, height and layouts"},
        {"# comment\n\"a.ytx\" lava 8 8 565", "line 2: no picture 'lava' of 8 x 8"},
        {"\"a.ytx\" grass 2 8 565", "line 1: no picture 'grass' of 2 x 8"},
        {"\"a.ytx\" grass 8 8 565,332", "line 1: unknown layout '332'"},
        {"\"a.ytx\" grass 8 8 565 shiny", "line 1: unknown option 'shiny'"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(YSampleTextures::WriteAll(c.text, folder.Path(), error)) << c.text;
        EXPECT_EQ(error, c.error);
    }
    std::string error;
    ASSERT_TRUE(YSampleTextures::WriteAll("\"sub\\\\b.ytx\" bush 16 8 8888 tag Kind leaf", folder.Path(), error)) << error;
    YTexture2 texture;
    ASSERT_EQ(texture.LoadFile((folder / "sub/b.ytx").c_str(), 1), 1);
    EXPECT_STREQ(texture.GetName(), "b");
    EXPECT_STREQ(texture.GetTagValueByName("Kind", ""), "leaf");
    EXPECT_EQ(texture.m_iMIPDepth, 2);
}

TEST(SampleTextures, TheDumpShowsTheWholeTexture)
{
    YTexture2 texture;
    ASSERT_EQ(texture.LoadFile(Data("textures\\GroundTexture-Water1.ytx").c_str(), 1), 1);
    YTexRegion* region = new YTexRegion;
    region->m_strName = "Dock";
    region->AddPoint(0.5f, 0.25f);
    region->SetTag("Kind", "harbour");
    texture.AddRegion(region);
    std::string text = YTextureDump::Write(texture);
    for (const char* line : {"texture \"GroundTexture-Water1\" 64 x 64, 5 levels, flags 1\n",
                             "  tag \"UpFilter\" \"Cubic\"\n", "  region \"Dock\", 1 points: (0.5, 0.25)\n",
                             "    tag \"Kind\" \"harbour\"\n",
                             "  format 1 \"RGB888\" 64 x 64, colour 32, alpha 0, 4 bytes, no alpha\n",
                             "    bits r5 g6 b5 a0, shifts r11 g5 b0 a0, colour key 0xffffffff, palette 0 .. 255\n",
                             "    level 4: 4 x 4 pitch 8, gen 0/0, lock 0/0"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    texture.GetFormat(0)->GetLayer(1)->FreePixels();
    text = YTextureDump::Write(texture);
    size_t at = text.find("    level 1: 32 x 32 pitch 64,");
    ASSERT_NE(at, std::string::npos);
    std::string line = text.substr(at, text.find('\n', at) - at);
    EXPECT_NE(line.find("rgb none, alpha none"), std::string::npos) << line;
}

}  // namespace

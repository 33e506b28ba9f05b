// The sample pictures: the writers' files read back through the game's
// readers, the picture description, and pictures embedded in a catalog.
#include <gtest/gtest.h>

#include <memory>

#include "foundation/YCatalog.h"
#include "graphics2d/LoadImageFile.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/test_image_bytes.h"
#include "tools/YCatalogText.h"
#include "tools/YImageWriter.h"
#include "tools/YSampleImages.h"

namespace {

// Pixel (x, y) of a record as blue, green, red, alpha.
uint32_t At(const YImage& image, int x, int y)
{
    const uint8_t* row = image.m_pixels + static_cast<size_t>(y) * image.m_stride;
    if (image.m_palettised) return row[x];
    int bytes = static_cast<int>(image.GetBitCount() / 8);
    const uint8_t* p = row + x * bytes;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (bytes == 4 ? (p[3] << 24) : 0xFF000000u);
}

TEST(SampleImages, EveryFormatReadsBackThroughTheGameReaders)
{
    ImageTempFolder folder;
    struct Case {
        const char* pattern;
        const char* file;
        int bits;
        bool tga, runLength, keepsAlpha;
    } cases[] = {
        {"gradient", "g.bmp", 24, false, false, false}, {"panel", "p.bmp", 32, false, false, true},
        {"cursor", "c.bmp", 8, false, false, true},     {"gradient", "g.tga", 24, true, false, false},
        {"panel", "p.tga", 32, true, false, true},      {"checker", "k.tga", 24, true, true, false},
        {"panel", "r.tga", 32, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::unique_ptr<YImage> made(YSampleImages::Make(c.pattern, 37, 21, c.bits == 8));
        ASSERT_NE(made, nullptr);
        std::string path = folder / c.file;
        ASSERT_TRUE(c.tga ? YImageWriter::WriteTGA(*made, path, c.bits, c.runLength)
                          : YImageWriter::WriteBMP(*made, path, c.bits));
        std::unique_ptr<YImage> read(LoadImageFile(path.c_str(), 0));
        ASSERT_NE(read, nullptr);
        ASSERT_EQ(read->m_width, 37);
        ASSERT_EQ(read->m_height, 21);
        EXPECT_EQ(read->m_palettised, made->m_palettised);
        if (c.bits == 8) {
            EXPECT_EQ(memcmp(read->m_palette, made->m_palette, sizeof made->m_palette), 0);
        }
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 37; ++x) {
                uint32_t expected = At(*made, x, y);
                if (!c.keepsAlpha) expected |= 0xFF000000u;
                ASSERT_EQ(At(*read, x, y), expected) << x << "," << y;
            }
    }
}

TEST(SampleImages, RunLengthPacketsShrinkFlatPictures)
{
    ImageTempFolder folder;
    std::unique_ptr<YImage> checker(YSampleImages::Make("checker", 64, 64, false));
    ASSERT_TRUE(YImageWriter::WriteTGA(*checker, folder / "raw.tga", 24, false));
    ASSERT_TRUE(YImageWriter::WriteTGA(*checker, folder / "rle.tga", 24, true));
    size_t raw = ImageTempFolder::ReadFile(folder / "raw.tga").size(), rle = ImageTempFolder::ReadFile(folder / "rle.tga").size();
    EXPECT_EQ(raw, 18u + 64 * 64 * 3);
    // 8 runs of 8 pixels a row: 4 bytes each.
    EXPECT_EQ(rle, 18u + 64 * 8 * 4);
}

TEST(SampleImages, WritersRefuseWhatTheyCannotWrite)
{
    ImageTempFolder folder;
    std::unique_ptr<YImage> colour(YSampleImages::Make("gradient", 4, 4, false));
    std::unique_ptr<YImage> indexed(YSampleImages::Make("gradient", 4, 4, true));
    EXPECT_FALSE(YImageWriter::WriteBMP(*colour, folder / "a.bmp", 8));
    EXPECT_FALSE(YImageWriter::WriteBMP(*indexed, folder / "b.bmp", 24));
    EXPECT_FALSE(YImageWriter::WriteBMP(*colour, folder / "c.bmp", 16));
    EXPECT_FALSE(YImageWriter::WriteTGA(*indexed, folder / "d.tga", 32, false));
    EXPECT_FALSE(YImageWriter::WriteTGA(*colour, folder / "e.tga", 16, false));
    EXPECT_EQ(YSampleImages::Make("stripes", 4, 4, false), nullptr);
    EXPECT_EQ(YSampleImages::Make("checker", 0, 4, false), nullptr);
}

TEST(SampleImages, DescriptionMistakesNameTheirLine)
{
    ImageTempFolder folder;
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"# pictures\n\"a.bmp\" bmp16 gradient 4 4\n", "line 2: unknown format 'bmp16'"},
        {"\"a.bmp\" png24 gradient 4 4\n", "line 1: unknown format 'png24'"},
        {"\"a.tga\" tga32zip gradient 4 4\n", "line 1: unknown format 'tga32zip'"},
        {"\"a.bmp\" bmp24 stripes 4 4\n", "line 1: no picture 'stripes' of 4 x 4"},
        {"\"a.bmp\" bmp24 gradient 0 4\n", "line 1: no picture 'gradient' of 0 x 4"},
        {"\"a.bmp\" bmp24 gradient 4\n", "line 1: expected file, format, pattern, width and height"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(YSampleImages::WriteAll(c.text, folder / "", error)) << c.text;
        EXPECT_EQ(error, c.error);
    }
    std::string error;
    ASSERT_TRUE(YSampleImages::WriteAll("\"Sub\\\\pic.tga\" tga24 checker 8 8  # in a folder\n", folder / "", error))
        << error;
    std::unique_ptr<YImage> read(LoadImageFile((folder / "Sub/pic.tga").c_str(), 0));
    EXPECT_NE(read, nullptr);
}

TEST(SampleImages, PictureLinesEmbedImageFilesInACatalog)
{
    YCatalogText::RegisterResourceClasses();
    ImageTempFolder folder;
    std::unique_ptr<YImage> logo(YSampleImages::Make("gradient", 5, 3, false));
    ASSERT_TRUE(YImageWriter::WriteBMP(*logo, folder / "logo.bmp", 24));
    std::string hex;
    ASSERT_TRUE(YSampleImages::StoredPicture(folder / "logo.bmp", hex));
    EXPECT_FALSE(YSampleImages::StoredPicture(folder / "missing.bmp", hex));
    ASSERT_TRUE(YSampleImages::StoredPicture(folder / "logo.bmp", hex));

    std::string text =
        "catalog\n    header-word 0\n    label-a \"\"\n    label-b \"\"\n    base-directory-0 \"\"\n"
        "    base-directory-1 \"\"\n    embedded \"Interface\"\nend\n\nitem 1\n    type 1\n    section \"Interface\"\n"
        "    name \"Logo\"\n    tag \"\"\n    sub-type 0\n    directory-0 \"\"\n    directory-1 \"\"\n    selector 0\n"
        "    word-a 0\n    word-b 0\n    body YDIB\n        version 1\n        transparent-index 4\n"
        "        transparent-color 0x00FF00FF\n        top-down 0\n        picture " + hex + "\n    end\nend\n";
    std::string error;
    {
        YCatalog built;
        ASSERT_TRUE(YCatalogText::Read(text, built, error)) << error;
        built.Store((folder / "pics.cat").c_str());
    }
    YCatalog loaded((folder / "pics.cat").c_str());
    YDIB* dib = DYNAMIC_DOWNCAST(YDIB, loaded.GetResource(1, "Interface", "Logo", 0));
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->GetTransparentIndex(), 4);
    YDIB original;
    ASSERT_EQ(original.LoadFromFile((folder / "logo.bmp").c_str()), 1);
    ASSERT_EQ(dib->GetWidth(), 5);
    ASSERT_EQ(dib->GetHeight(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(dib->GetPixel(x, y), original.GetPixel(x, y) | 0xFF000000u);
    std::string dumped;
    ASSERT_TRUE(YCatalogText::Write(loaded, dumped, error)) << error;
    EXPECT_EQ(dumped, text);

    // A picture that is no image is a mistake of the description.
    YCatalog bad;
    size_t at = text.find("picture ") + 8;
    std::string broken = text.substr(0, at) + "54474121" + text.substr(text.find('\n', at));
    EXPECT_FALSE(YCatalogText::Read(broken, bad, error));
    EXPECT_NE(error.find("unreadable picture"), std::string::npos) << error;
}

#if defined(RCV_SOURCE_DIR) && defined(RCV_DATA_DIR)
TEST(SampleImages, TheSampleDataHoldsTheListedPictures)
{
    struct Case {
        const char* file;
        int width, height;
        DWORD bits;
    } cases[] = {{"interface/logo.bmp", 64, 32, 32}, {"interface/cursor.bmp", 32, 32, 8},
                 {"interface/panel.tga", 64, 64, 32}, {"interface/checker.tga", 32, 32, 32}};
    for (const Case& c : cases) {
        std::unique_ptr<YImage> image(LoadImageFile((std::string(RCV_DATA_DIR) + "/" + c.file).c_str(), 0));
        ASSERT_NE(image, nullptr) << c.file;
        EXPECT_EQ(image->m_width, c.width) << c.file;
        EXPECT_EQ(image->m_height, c.height) << c.file;
        EXPECT_EQ(image->GetBitCount(), c.bits) << c.file;
    }
}
#endif

}  // namespace

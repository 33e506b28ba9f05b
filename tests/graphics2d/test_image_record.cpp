// The image record: the name hash, the vertical flip, resizing with palette
// ranges, and the TGA writer.
#include <gtest/gtest.h>

#include <memory>

#include "graphics2d/LoadImageFile.h"
#include "graphics2d/NameHash8.h"
#include "graphics2d/test_image_bytes.h"

namespace {

TEST(NameHash8, HandComputedValues)
{
    struct Case {
        const char* text;
        uint8_t hash;
    } cases[] = {
        {"", 0x00},     {"abc", 0xE9}, {"ABC", 0xE9}, {"a", 0x21}, {"@", 0x00},
        // positions 6 and 0 shift alike: 0x21 ^ 0x44 ^ 0x8C ^ 0x20 ^ 0x50 ^ 0xC0 ^ 0x27
        {"abcdefg", 0x7E}, {"AbCdEfG", 0x7E},
        // bytes below 0x40 wrap: ('0' - 0x40) & 0xFF = 0xF0
        {"0", 0xF0},
    };
    for (const Case& c : cases) EXPECT_EQ(NameHash8(c.text), c.hash) << c.text;
    EXPECT_EQ(NameHash8(nullptr), 0);
}

// A record of the given rows, owned pixels.
std::unique_ptr<YImage> Record(int width, int height, DWORD bits, uint32_t stride, const Bytes& pixels,
                               uint8_t kind = IMAGE_KIND_BITMAP)
{
    std::unique_ptr<YImage> image(new YImage);
    image->m_width = width;
    image->m_height = height;
    image->m_kind = kind;
    image->m_palettised = bits == 8;
    image->SetPixelFormat(bits);
    EXPECT_TRUE(image->AllocatePixels(stride));
    memcpy(image->m_pixels, pixels.data(), pixels.size());
    return image;
}

std::unique_ptr<YImage> GreyPalette(std::unique_ptr<YImage> image)
{
    for (int i = 0; i < 256; ++i) {
        image->m_palette[i].rgbBlue = image->m_palette[i].rgbGreen = image->m_palette[i].rgbRed = static_cast<BYTE>(i);
        image->m_palette[i].rgbReserved = 0;
    }
    return image;
}

TEST(ImageRecord, NewRecordDefaults)
{
    YImage image;
    EXPECT_EQ(image.m_width, -1);
    EXPECT_EQ(image.m_height, -1);
    EXPECT_EQ(image.m_pixels, nullptr);
    EXPECT_EQ(image.m_kind, 0);
    EXPECT_EQ(image.m_pixelFormat.dwSize, 32u);
    EXPECT_EQ(image.m_pixelFormat.dwFlags, static_cast<DWORD>(DDPF_RGB));
    EXPECT_EQ(image.GetBitCount(), 32u);
    image.SetPixelFormat(8);
    EXPECT_EQ(image.m_pixelFormat.dwFlags, 0x60u);
}

TEST(ImageRecord, FlipVerticalReversesRowsWithTheirPadding)
{
    auto image = Record(3, 3, 8, 4, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0});
    image->FlipVertical();
    EXPECT_EQ(Bytes(image->m_pixels, image->m_pixels + 12), Bytes({7, 8, 9, 0, 4, 5, 6, 0, 1, 2, 3, 0}));
    EXPECT_EQ(image->m_orientation, 1u);
    image->FlipVertical();
    EXPECT_EQ(Bytes(image->m_pixels, image->m_pixels + 12), Bytes({1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0}));
    EXPECT_EQ(image->m_orientation, 0u);

    YImage empty;
    empty.FlipVertical();
    EXPECT_EQ(empty.m_orientation, 0u);
}

TEST(ImageRecord, ResampleRefusesSizesBelowOne)
{
    auto image = Record(2, 1, 32, 8, {1, 2, 3, 4, 5, 6, 7, 8});
    for (auto size : {std::make_pair(0, 10), std::make_pair(10, 0), std::make_pair(-3, 4)}) {
        EXPECT_EQ(image->Resample(size.first, size.second, "Box", "Box", 0, 255), 0);
        EXPECT_EQ(image->m_width, 2);
        EXPECT_EQ(image->m_height, 1);
        EXPECT_EQ(Bytes(image->m_pixels, image->m_pixels + 8), Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
    }
}

TEST(ImageRecord, ResampleWithPointAndUnknownFilterNames)
{
    const Bytes two = {10, 20, 30, 40, 50, 60, 70, 80};
    const Bytes doubled = {10, 20, 30, 40, 10, 20, 30, 40, 50, 60, 70, 80, 50, 60, 70, 80};
    for (const char* name : {"Point", "point", "Lanczos", ""}) {
        auto image = Record(2, 1, 32, 8, two);
        ASSERT_EQ(image->Resample(4, 1, name, name, 0, 255), 1) << name;
        EXPECT_EQ(image->m_width, 4);
        EXPECT_EQ(image->m_stride, 16u);
        EXPECT_EQ(Bytes(image->m_pixels, image->m_pixels + 16), doubled) << name;
    }
}

TEST(ImageRecord, ResampleOf24BitRowsWidensThemFirst)
{
    // 2 x 1 of 24 bits in a padded row; doubled with Point.
    auto image = Record(2, 1, 24, 8, {1, 2, 3, 4, 5, 6, 0, 0});
    ASSERT_EQ(image->Resample(4, 1, "Point", "Point", 0, 0), 1);
    EXPECT_EQ(image->GetBitCount(), 32u);
    EXPECT_EQ(Bytes(image->m_pixels, image->m_pixels + 16),
              Bytes({1, 2, 3, 255, 1, 2, 3, 255, 4, 5, 6, 255, 4, 5, 6, 255}));
}

TEST(ImageRecord, PalettisedResampleKeepsItsIndexRange)
{
    // Grey palette; the left half black (index 0), the right half white (255).
    Bytes indices;
    for (int y = 0; y < 4; ++y) indices.insert(indices.end(), {0, 0, 255, 255});
    auto image = GreyPalette(Record(4, 4, 8, 4, indices));
    ASSERT_EQ(image->Resample(2, 2, "Box", "Box", 10, 20), 1);
    EXPECT_EQ(image->m_stride, 2u);
    EXPECT_EQ(image->GetBitCount(), 8u);
    // Black is nearest to grey 10, white to grey 20.
    EXPECT_EQ(Bytes(image->m_pixels, image->m_pixels + 4), Bytes({10, 20, 10, 20}));

    // Every filter, odd sizes: only indices 10 to 20 appear.
    for (const char* filter : {"Point", "Box", "Triangle", "Quadratic", "Cubic", "Catrom", "Gaussian", "Sinc", "Bessel"}) {
        auto other = GreyPalette(Record(4, 4, 8, 4, indices));
        ASSERT_EQ(other->Resample(7, 5, filter, "Cubic", 10, 20), 1) << filter;
        for (int i = 0; i < 35; ++i) {
            EXPECT_GE(other->m_pixels[i], 10) << filter;
            EXPECT_LE(other->m_pixels[i], 20) << filter;
        }
    }
}

TEST(ImageRecord, PaletteMappingTiesAndEmptyRanges)
{
    auto image = GreyPalette(Record(1, 1, 8, 4, {0}));
    image->m_palette[11] = RGBQUAD{255, 255, 255, 0};
    image->m_palette[12] = RGBQUAD{0, 0, 0, 0};
    image->m_palette[15] = RGBQUAD{0, 0, 0, 0};
    // Black ties between 12 and 15: the lower index wins.
    ASSERT_EQ(image->Resample(1, 1, "Box", "Box", 11, 20), 1);
    EXPECT_EQ(image->m_pixels[0], 12);
    // A range with first above last keeps the first index.
    ASSERT_EQ(image->Resample(2, 1, "Box", "Box", 30, 20), 1);
    EXPECT_EQ(Bytes(image->m_pixels, image->m_pixels + 2), Bytes({30, 30}));
}

TEST(ImageRecord, SaveTgaRefusesRecordsOfTheTgaReaderAndEmptyOnes)
{
    CMemFile file;
    auto tga = Record(1, 1, 32, 4, {1, 2, 3, 4}, IMAGE_KIND_TGA);
    EXPECT_EQ(tga->SaveTGA(file), 0);
    YImage empty;
    empty.m_kind = IMAGE_KIND_BITMAP;
    EXPECT_EQ(empty.SaveTGA(file), 0);
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(ImageRecord, SaveTgaWritesThirtyTwoBitsFromEveryDepth)
{
    const Bytes header = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 0x20};
    auto palettised = GreyPalette(Record(2, 2, 8, 4, {1, 2, 0, 0, 3, 4, 0, 0}));
    auto wide = Record(2, 2, 24, 8, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0});
    auto full = Record(2, 2, 32, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    struct Case {
        const char* label;
        YImage* image;
        Bytes pixels;
    } cases[] = {
        {"8 bits through the palette", palettised.get(), {1, 1, 1, 255, 2, 2, 2, 255, 3, 3, 3, 255, 4, 4, 4, 255}},
        {"24 bits, padded rows", wide.get(), {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255, 10, 11, 12, 255}},
        {"32 bits as they stand", full.get(), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
    };
    for (const Case& c : cases) {
        CMemFile file;
        ASSERT_EQ(c.image->SaveTGA(file), 1) << c.label;
        Bytes written(file.GetLength());
        file.SeekToBegin();
        file.Read(written.data(), static_cast<UINT>(written.size()));
        Bytes expected = header;
        expected.insert(expected.end(), c.pixels.begin(), c.pixels.end());
        EXPECT_EQ(written, expected) << c.label;
    }
}

TEST(ImageRecord, SavedTgaFileLoadsBackUnchanged)
{
    ImageTempFolder folder;
    auto image = Record(2, 2, 32, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    ASSERT_EQ(image->SaveTGAFile((folder / "out.tga").c_str()), 1);
    std::unique_ptr<YImage> loaded(LoadImageFile((folder / "out.tga").c_str(), 0));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->m_width, 2);
    EXPECT_EQ(loaded->m_orientation, 0u);
    EXPECT_EQ(Bytes(loaded->m_pixels, loaded->m_pixels + 16), Bytes(image->m_pixels, image->m_pixels + 16));
    EXPECT_EQ(image->SaveTGAFile((folder / "no/such/folder/out.tga").c_str()), 0);
}

}  // namespace

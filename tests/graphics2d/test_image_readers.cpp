// The BMP, TGA and JPEG readers on hand-built files: sizes, row order,
// pixel layouts, palettes, and the choice of reader by the file name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "graphics2d/LoadImageFile.h"
#include "graphics2d/test_image_bytes.h"

namespace {

typedef YImage* (*Reader)(CFile&, DWORD);

struct ReadCase {
    const char* label;
    Bytes file;
    Reader reader;
    DWORD flags;
    int width, height, bits;
    uint32_t palettised, orientation, stride;
    std::vector<Bytes> rows;  // memory rows in order, padding left out
};

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Colours of a 5 x 2 picture as blue, green, red.
const Bytes A = {0x01, 0x02, 0x03}, B = {0x11, 0x12, 0x13}, C = {0x21, 0x22, 0x23}, D = {0x31, 0x32, 0x33},
            E = {0x41, 0x42, 0x43}, F = {0x51, 0x52, 0x53}, G = {0x61, 0x62, 0x63}, H = {0x71, 0x72, 0x73},
            I = {0x81, 0x82, 0x83}, J = {0x91, 0x92, 0x93};
Bytes Opaque(const Bytes& bgr) { return {bgr[0], bgr[1], bgr[2], 0xFF}; }

// 2 x 2 pictures of 32 bits, top row first.
const Bytes P00 = {1, 2, 3, 4}, P01 = {5, 6, 7, 8}, P10 = {9, 10, 11, 12}, P11 = {13, 14, 15, 16};
Bytes NoAlpha(const Bytes& p) { return {p[0], p[1], p[2]}; }

std::vector<ReadCase> Cases()
{
    std::vector<ReadCase> cases;
    const std::vector<Bytes> rows24 = {Cat({A, B, C, D, E}), Cat({F, G, H, I, J})};
    const Bytes bmp24 = MakeBMP(24, 5, 2, rows24);
    const Bytes top32 = Cat({Opaque(A), Opaque(B), Opaque(C), Opaque(D), Opaque(E)});
    const Bytes bottom32 = Cat({Opaque(F), Opaque(G), Opaque(H), Opaque(I), Opaque(J)});
    cases.push_back({"24-bit BMP, 5 wide, top-down 32-bit", bmp24, LoadBMP, 0, 5, 2, 32, 0, 0, 20, {top32, bottom32}});
    cases.push_back({"24-bit BMP, bottom-up", bmp24, LoadBMP, 2, 5, 2, 32, 0, 1, 20, {bottom32, top32}});
    cases.push_back({"24-bit BMP kept at 24 bits", bmp24, LoadBMP, 4, 5, 2, 24, 0, 0, 16, rows24});
    cases.push_back({"24-bit BMP, 24 bits bottom-up", bmp24, LoadBMP, 6, 5, 2, 24, 0, 1, 16, {rows24[1], rows24[0]}});
    cases.push_back({"top-down 24-bit BMP", MakeBMP(24, 5, 2, rows24, {}, 0, true), LoadBMP, 6, 5, 2, 24, 0, 1, 16,
                     {rows24[1], rows24[0]}});

    std::vector<uint32_t> palette16;
    for (uint32_t i = 0; i < 16; ++i) palette16.push_back(0x00010203u * i + 0x00400000u);
    const Bytes bmp8 = MakeBMP(8, 3, 2, {{1, 2, 15}, {0, 3, 4}}, palette16, 16);
    cases.push_back({"8-bit BMP, 16 colours", bmp8, LoadBMP, 0, 3, 2, 8, 1, 0, 4, {{1, 2, 15}, {0, 3, 4}}});
    cases.push_back({"8-bit BMP, 16 colours, bottom-up", bmp8, LoadBMP, 6, 3, 2, 8, 1, 1, 4, {{0, 3, 4}, {1, 2, 15}}});
    std::vector<uint32_t> palette256(256, 0);
    palette256[255] = 0x00ABCDEF;
    cases.push_back({"8-bit BMP, colours used 0", MakeBMP(8, 4, 1, {{255, 0, 255, 7}}, palette256, 0), LoadBMP, 0, 4,
                     1, 8, 1, 0, 4, {{255, 0, 255, 7}}});

    const Bytes alpha1 = {1, 2, 3, 0x00}, alpha2 = {4, 5, 6, 0x80}, alpha3 = {7, 8, 9, 0xFF}, alpha4 = {10, 11, 12, 0x7F};
    cases.push_back({"32-bit BMP keeps alpha", MakeBMP(32, 2, 2, {Cat({alpha1, alpha2}), Cat({alpha3, alpha4})}),
                     LoadBMP, 0, 2, 2, 32, 0, 0, 8, {Cat({alpha1, alpha2}), Cat({alpha3, alpha4})}});

    // TGA type 2: files written top-left (0x20) and bottom-left (0) origin.
    const Bytes td32 = Cat({P00, P01, P10, P11}), bu32 = Cat({P10, P11, P00, P01});
    const Bytes top = Cat({P00, P01}), bottom = Cat({P10, P11});
    cases.push_back({"TGA 32, top-left, flags 0", MakeTGA(2, 32, 2, 2, 0x20, td32), LoadTGA, 0, 2, 2, 32, 0, 0, 8, {top, bottom}});
    cases.push_back({"TGA 32, bottom-left, flags 0", MakeTGA(2, 32, 2, 2, 0, bu32), LoadTGA, 0, 2, 2, 32, 0, 1, 8, {top, bottom}});
    cases.push_back({"TGA 32, top-left, flag 2", MakeTGA(2, 32, 2, 2, 0x20, td32), LoadTGA, 2, 2, 2, 32, 0, 1, 8, {bottom, top}});
    cases.push_back({"TGA 32, bottom-left, flag 2", MakeTGA(2, 32, 2, 2, 0, bu32), LoadTGA, 2, 2, 2, 32, 0, 0, 8, {bottom, top}});

    const Bytes td24 = Cat({NoAlpha(P00), NoAlpha(P01), NoAlpha(P10), NoAlpha(P11)});
    const Bytes bu24 = Cat({NoAlpha(P10), NoAlpha(P11), NoAlpha(P00), NoAlpha(P01)});
    const Bytes top24 = Cat({Opaque(P00), Opaque(P01)}), bottom24 = Cat({Opaque(P10), Opaque(P11)});
    cases.push_back({"TGA 24, top-left", MakeTGA(2, 24, 2, 2, 0x20, td24), LoadTGA, 0, 2, 2, 32, 0, 0, 8, {top24, bottom24}});
    cases.push_back({"TGA 24, bottom-left", MakeTGA(2, 24, 2, 2, 0, bu24), LoadTGA, 0, 2, 2, 32, 0, 1, 8, {top24, bottom24}});
    cases.push_back({"TGA 24, bottom-left, flag 2", MakeTGA(2, 24, 2, 2, 0, bu24), LoadTGA, 2, 2, 2, 32, 0, 0, 8, {bottom24, top24}});

    // 16 bits: 5 bits a channel, bit 15 ignored.
    ByteWriter w16;
    w16.U16(0x7FFF).U16(0x001F).U16(0x03E0).U16(0xFC00);
    const Bytes white = {0xF8, 0xF8, 0xF8, 0xFF}, blue = {0xF8, 0, 0, 0xFF}, green = {0, 0xF8, 0, 0xFF}, red = {0, 0, 0xF8, 0xFF};
    cases.push_back({"TGA 16, top-left", MakeTGA(2, 16, 2, 2, 0x20, w16.bytes), LoadTGA, 0, 2, 2, 32, 0, 0, 8,
                     {Cat({white, blue}), Cat({green, red})}});
    cases.push_back({"TGA 16, bottom-left", MakeTGA(2, 16, 2, 2, 0, w16.bytes), LoadTGA, 0, 2, 2, 32, 0, 1, 8,
                     {Cat({green, red}), Cat({white, blue})}});
    cases.push_back({"TGA with an ID field and a colour map to skip",
                     MakeTGA(2, 24, 2, 2, 0x20, td24, 3, 1, 2, 24), LoadTGA, 0, 2, 2, 32, 0, 0, 8, {top24, bottom24}});

    // Type 10: a run of 3 and 5 literal pixels across the rows of 4 x 2.
    const Bytes X = {0xAA, 0xBB, 0xCC};
    ByteWriter rle;
    rle.U8(0x82).Raw(X).U8(0x04).Raw(A).Raw(B).Raw(C).Raw(D).Raw(E);
    cases.push_back({"TGA 10, run and raw packets across rows", MakeTGA(10, 24, 4, 2, 0x20, rle.bytes), LoadTGA, 0, 4,
                     2, 32, 0, 0, 16,
                     {Cat({Opaque(X), Opaque(X), Opaque(X), Opaque(A)}), Cat({Opaque(B), Opaque(C), Opaque(D), Opaque(E)})}});
    // 0x85 repeats its pixel 6 times, 0x05 brings 6 literal pixels.
    ByteWriter rle32;
    rle32.U8(0x85).Raw(P00).U8(0x05).Raw(P01).Raw(P10).Raw(P11).Raw(P00).Raw(P01).Raw(P10);
    cases.push_back({"TGA 10, 32 bits, 0x85 and 0x05", MakeTGA(10, 32, 6, 2, 0, rle32.bytes), LoadTGA, 0, 6, 2, 32, 0,
                     1, 24,
                     {Cat({P01, P10, P11, P00, P01, P10}), Cat({P00, P00, P00, P00, P00, P00})}});
    return cases;
}

TEST(ImageReaders, FixtureTable)
{
    for (const ReadCase& c : Cases()) {
        SCOPED_TRACE(c.label);
        MemoryImage file(c.file);
        std::unique_ptr<YImage> image(c.reader(file.File(), c.flags));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->m_width, c.width);
        EXPECT_EQ(image->m_height, c.height);
        EXPECT_EQ(image->GetBitCount(), static_cast<DWORD>(c.bits));
        EXPECT_EQ(image->m_pixelFormat.dwFlags, static_cast<DWORD>(c.bits == 8 ? 0x60 : 0x40));
        EXPECT_EQ(image->m_palettised, c.palettised);
        EXPECT_EQ(image->m_orientation & 1, c.orientation);
        EXPECT_EQ(image->m_stride, c.stride);
        ASSERT_EQ(c.rows.size(), static_cast<size_t>(image->m_height));
        int bytes = c.bits == 8 ? 1 : c.bits / 8;
        for (int y = 0; y < image->m_height; ++y) EXPECT_EQ(RecordRow(*image, y, bytes), c.rows[y]) << "row " << y;
        // Row padding is zero, never left over memory.
        for (int y = 0; y < image->m_height; ++y)
            for (uint32_t x = static_cast<uint32_t>(image->m_width * bytes); x < image->m_stride; ++x)
                EXPECT_EQ(image->m_pixels[y * image->m_stride + x], 0) << "padding of row " << y;
    }
}

TEST(ImageReaders, BmpKindAndPalettes)
{
    std::vector<uint32_t> palette16;
    for (uint32_t i = 0; i < 16; ++i) palette16.push_back(0x00102030u + i);
    MemoryImage file16(MakeBMP(8, 1, 1, {{3}}, palette16, 16));
    std::unique_ptr<YImage> image(LoadBMP(file16.File(), 0));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->m_kind, IMAGE_KIND_BITMAP);
    EXPECT_EQ(image->m_palette[15].rgbBlue, 0x3F);
    EXPECT_EQ(image->m_palette[15].rgbGreen, 0x20);
    EXPECT_EQ(image->m_palette[15].rgbRed, 0x10);
    // Entries past the colour count stay zero.
    EXPECT_EQ(image->m_palette[16].rgbRed, 0);
    EXPECT_EQ(image->m_palette[255].rgbBlue, 0);

    std::vector<uint32_t> palette256(256, 0);
    palette256[255] = 0x00ABCDEF;
    MemoryImage file256(MakeBMP(8, 1, 1, {{255}}, palette256, 0));
    image.reset(LoadBMP(file256.File(), 0));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->m_palette[255].rgbBlue, 0xEF);
    EXPECT_EQ(image->m_palette[255].rgbGreen, 0xCD);
    EXPECT_EQ(image->m_palette[255].rgbRed, 0xAB);
}

TEST(ImageReaders, RefusedFormats)
{
    struct Case {
        const char* label;
        Bytes file;
        Reader reader;
    } cases[] = {
        {"colour-mapped TGA, type 1", MakeTGA(1, 8, 2, 2, 0, Bytes(4, 0), 0, 1, 2, 24), LoadTGA},
        {"colour-mapped RLE TGA, type 9", MakeTGA(9, 8, 2, 2, 0, Bytes(8, 0), 0, 1, 2, 24), LoadTGA},
        {"TGA of 8 bits", MakeTGA(2, 8, 2, 2, 0, Bytes(4, 0)), LoadTGA},
        {"BMP without BM", [] { Bytes b = MakeBMP(24, 1, 1, {{1, 2, 3}}); b[0] = 'X'; return b; }(), LoadBMP},
        {"BMP of 16 bits", MakeBMP(16, 2, 1, {{1, 2, 3, 4}}), LoadBMP},
        {"BMP of 4 bits", MakeBMP(4, 2, 1, {{0x12}}, std::vector<uint32_t>(16, 0)), LoadBMP},
    };
    for (const Case& c : cases) {
        MemoryImage file(c.file);
        std::unique_ptr<YImage> image(c.reader(file.File(), 0));
        EXPECT_EQ(image, nullptr) << c.label;
    }
}

// Samples of a 16 x 16 picture: the upper half one colour, the lower another.
Bytes Halves(int components, const Bytes& upper, const Bytes& lower)
{
    Bytes samples;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            for (int k = 0; k < components; ++k) samples.push_back(y < 8 ? upper[k] : lower[k]);
    return samples;
}

void ExpectNear(const uint8_t* pixel, std::initializer_list<int> expected, int tolerance, const char* what)
{
    int i = 0;
    for (int e : expected) {
        EXPECT_NEAR(pixel[i], e, tolerance) << what << " byte " << i;
        ++i;
    }
}

TEST(ImageReaders, GreyJpegGivesAlphaEqualToGrey)
{
    MemoryImage file(MakeJPEG(16, 16, 1, Halves(1, {200}, {40})));
    std::unique_ptr<YImage> image(LoadJPEG(file.File(), 0));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->m_width, 16);
    EXPECT_EQ(image->m_height, 16);
    EXPECT_EQ(image->m_kind, IMAGE_KIND_JPEG);
    EXPECT_EQ(image->GetBitCount(), 32u);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const uint8_t* p = image->m_pixels + y * image->m_stride + x * 4;
            EXPECT_EQ(p[0], p[1]);
            EXPECT_EQ(p[1], p[2]);
            EXPECT_EQ(p[3], p[0]);
        }
    }
    ExpectNear(image->m_pixels, {200, 200, 200, 200}, 3, "top-left");
    ExpectNear(image->m_pixels + 15 * image->m_stride, {40, 40, 40, 40}, 3, "bottom-left");
}

TEST(ImageReaders, RgbJpegInEveryLayout)
{
    // Red above, blue below; stored blue, green, red.
    Bytes jpeg = MakeJPEG(16, 16, 3, Halves(3, {250, 10, 10}, {10, 10, 250}));
    struct Case {
        DWORD flags;
        DWORD bits;
        uint32_t stride, orientation;
        bool redFirst;
    } cases[] = {{0, 32, 64, 0, true}, {2, 32, 64, 1, false}, {4, 24, 48, 0, true}, {6, 24, 48, 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        MemoryImage file(jpeg);
        std::unique_ptr<YImage> image(LoadJPEG(file.File(), c.flags));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->GetBitCount(), c.bits);
        EXPECT_EQ(image->m_stride, c.stride);
        EXPECT_EQ(image->m_orientation & 1, c.orientation);
        const uint8_t* first = image->m_pixels;
        const uint8_t* last = image->m_pixels + 15 * image->m_stride;
        if (c.bits == 32) {
            ExpectNear(c.redFirst ? first : last, {10, 10, 250, 255}, 4, "red");
            ExpectNear(c.redFirst ? last : first, {250, 10, 10, 255}, 4, "blue");
            EXPECT_EQ(first[3], 255);
        } else {
            ExpectNear(c.redFirst ? first : last, {10, 10, 250}, 4, "red");
            ExpectNear(c.redFirst ? last : first, {250, 10, 10}, 4, "blue");
        }
    }
}

TEST(ImageReaders, ReaderChosenByTheNameEnding)
{
    ImageTempFolder folder;
    Bytes tga = MakeTGA(2, 32, 1, 1, 0x20, {1, 2, 3, 4});
    Bytes bmp = MakeBMP(24, 1, 1, {{1, 2, 3}});
    Bytes jpg = MakeJPEG(8, 8, 1, Bytes(64, 128));
    struct Case {
        const char* name;
        const Bytes* data;
        bool loads;
        uint8_t kind;
    } cases[] = {
        {"upper.TGA", &tga, true, IMAGE_KIND_TGA}, {"mixed.Tga", &tga, true, IMAGE_KIND_TGA},
        {"lower.tga", &tga, true, IMAGE_KIND_TGA}, {"pic.BMP", &bmp, true, IMAGE_KIND_BITMAP},
        {"photo.jpeg", &jpg, true, IMAGE_KIND_JPEG}, {"photo.jpg", &jpg, true, IMAGE_KIND_JPEG},
        {"photo.JIF", &jpg, true, IMAGE_KIND_JPEG}, {"anim.gif", &tga, false, 0},
        {"ab", &tga, false, 0}, {"tga", &tga, false, 0},
        // The right reader for the name refuses the wrong content.
        {"wrong.bmp", &tga, false, 0},
    };
    for (const Case& c : cases) {
        std::string path = folder.Write(c.name, *c.data);
        std::unique_ptr<YImage> image(LoadImageFile(path.c_str(), 0));
        EXPECT_EQ(image != nullptr, c.loads) << c.name;
        if (image) {
            EXPECT_EQ(image->m_kind, c.kind) << c.name;
        }
    }
    EXPECT_EQ(LoadImageFile((folder / "missing.tga").c_str(), 0), nullptr);
    EXPECT_EQ(LoadImageFile(nullptr, 0), nullptr);
    EXPECT_EQ(LoadImageByExtension(nullptr, 0), nullptr);
}

}  // namespace

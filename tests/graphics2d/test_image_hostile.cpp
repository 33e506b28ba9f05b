// Damaged and hostile image files: every reader refuses them with none,
// without reading or writing past a buffer and without huge allocations.
#include <gtest/gtest.h>

#include <memory>

#include "graphics2d/LoadImageFile.h"
#include "graphics2d/test_image_bytes.h"

namespace {

typedef YImage* (*Reader)(CFile&, DWORD);

Bytes Truncated(Bytes b, size_t drop)
{
    b.resize(b.size() - drop);
    return b;
}

Bytes Patched(Bytes b, size_t at, std::initializer_list<uint8_t> values)
{
    for (uint8_t v : values) b[at++] = v;
    return b;
}

// Offset of the first byte after a marker (0xFF, code) in a JPEG.
size_t AfterMarker(const Bytes& jpeg, uint8_t code)
{
    for (size_t i = 2; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) return i + 2;
    return 0;
}

TEST(ImageHostileFiles, EveryOneIsRefused)
{
    const Bytes bmp24 = MakeBMP(24, 5, 2, {Bytes(15, 1), Bytes(15, 2)});
    const Bytes bmp8 = MakeBMP(8, 4, 2, {Bytes(4, 1), Bytes(4, 2)}, std::vector<uint32_t>(16, 0x00FFFFFF), 16);
    const Bytes jpeg = MakeJPEG(16, 16, 3, Bytes(16 * 16 * 3, 90));
    // The frame header's height follows its length and precision; the scan
    // header's first table selector follows its length, count and component.
    const size_t sof = AfterMarker(jpeg, 0xC0) + 3;
    const size_t sos = AfterMarker(jpeg, 0xDA) + 4;
    ASSERT_GT(sof, 3u);
    ASSERT_GT(sos, 4u);
    ByteWriter overrun, shortRun, shortRaw;
    overrun.U8(0x85).U8(1).U8(2).U8(3);                    // 6 pixels into a 2 x 2 picture
    shortRun.U8(0x81).U8(1).U8(2).U8(3);                   // 2 of 4 pixels, then the data ends
    shortRaw.U8(0x03).U8(1).U8(2).U8(3).U8(4).U8(5).U8(6); // 4 literal pixels announced, 2 given
    ByteWriter wideBmp;
    wideBmp.Raw(MakeBMP(24, 1, 1, {{1, 2, 3}}));

    struct Case {
        const char* label;
        Bytes file;
        Reader reader;
    } cases[] = {
        {"RLE run past the last pixel", MakeTGA(10, 24, 2, 2, 0, overrun.bytes), LoadTGA},
        {"RLE data ends inside the picture", MakeTGA(10, 24, 2, 2, 0, shortRun.bytes), LoadTGA},
        {"RLE literal packet past the data", MakeTGA(10, 24, 2, 2, 0, shortRaw.bytes), LoadTGA},
        {"RLE without any packet", MakeTGA(10, 32, 3, 3, 0, {}), LoadTGA},
        {"TGA pixels cut short", Truncated(MakeTGA(2, 24, 2, 2, 0, Bytes(12, 7)), 1), LoadTGA},
        {"TGA 32-bit pixels cut short", Truncated(MakeTGA(2, 32, 4, 4, 0x20, Bytes(64, 7)), 4), LoadTGA},
        {"TGA of 65535 x 65535 with four bytes", MakeTGA(2, 32, 65535, 65535, 0, Bytes(4, 1)), LoadTGA},
        {"TGA of width 0", MakeTGA(2, 32, 0, 5, 0, {}), LoadTGA},
        {"TGA ID field past the end", Truncated(MakeTGA(2, 24, 1, 1, 0, {1, 2, 3}, 200), 203), LoadTGA},
        {"TGA colour map past the end", Truncated(MakeTGA(2, 24, 1, 1, 0, {1, 2, 3}, 0, 1, 1000, 24), 3000), LoadTGA},
        {"TGA header cut short", Bytes{0, 0, 2, 0, 0, 0}, LoadTGA},
        {"BMP colour count 300", Patched(bmp8, 46, {0x2C, 0x01, 0, 0}), LoadBMP},
        {"BMP colour count 0xFFFFFFFF", Patched(bmp8, 46, {0xFF, 0xFF, 0xFF, 0xFF}), LoadBMP},
        {"BMP of 100000 x 100000", Patched(bmp24, 18, {0xA0, 0x86, 0x01, 0, 0xA0, 0x86, 0x01, 0}), LoadBMP},
        {"BMP of 65536 x 65536, 2^32 pixels", Patched(bmp24, 18, {0, 0, 1, 0, 0, 0, 1, 0}), LoadBMP},
        {"BMP of 0x7FFFFFFF x 1", Patched(bmp24, 18, {0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0}), LoadBMP},
        {"BMP of negative width", Patched(bmp24, 18, {0xFB, 0xFF, 0xFF, 0xFF}), LoadBMP},
        {"BMP of height 0x80000000", Patched(bmp24, 22, {0, 0, 0, 0x80}), LoadBMP},
        {"BMP pixels cut short", Truncated(bmp24, 1), LoadBMP},
        {"BMP 8-bit pixels cut short", Truncated(bmp8, 5), LoadBMP},
        {"BMP pixel offset past the end", Patched(bmp24, 10, {0xFF, 0xFF, 0xFF, 0x7F}), LoadBMP},
        {"BMP palette past the end", Patched(bmp8, 14, {0xFF, 0xFF, 0, 0}), LoadBMP},
        {"BMP information header cut short", Truncated(bmp24, bmp24.size() - 30), LoadBMP},
        {"BMP information header of 12 bytes", Patched(bmp24, 14, {12, 0, 0, 0}), LoadBMP},
        {"BMP with RLE8 compression", Patched(bmp8, 30, {1, 0, 0, 0}), LoadBMP},
        {"JPEG cut in half", Truncated(jpeg, jpeg.size() / 2), LoadJPEG},
        {"JPEG without its end marker", Truncated(jpeg, 2), LoadJPEG},
        {"JPEG scan naming a missing Huffman table", Patched(jpeg, sos, {0x33}), LoadJPEG},
        {"JPEG scan data overwritten by a marker", Patched(jpeg, sos + 8, {0xFF, 0xC4, 0xFF, 0xD0}), LoadJPEG},
        {"JPEG of 65000 x 65000", Patched(jpeg, sof, {0xFD, 0xE8, 0xFD, 0xE8}), LoadJPEG},
        {"JPEG frame of 0 x 0", Patched(jpeg, sof, {0, 0, 0, 0}), LoadJPEG},
        {"JPEG signature only", Bytes{0xFF, 0xD8, 0xFF}, LoadJPEG},
        {"not a JPEG", Bytes(100, 0x41), LoadJPEG},
        {"empty JPEG", Bytes{}, LoadJPEG},
        {"empty BMP", Bytes{}, LoadBMP},
        {"empty TGA", Bytes{}, LoadTGA},
    };
    for (const Case& c : cases) {
        for (DWORD flags : {0u, 6u}) {
            MemoryImage file(c.file);
            std::unique_ptr<YImage> image(c.reader(file.File(), flags));
            EXPECT_EQ(image, nullptr) << c.label << ", flags " << flags;
        }
    }
}

TEST(ImageHostileFiles, TheUndamagedOriginalsLoad)
{
    // The hostile cases above are small changes to these files.
    const Bytes bmp24 = MakeBMP(24, 5, 2, {Bytes(15, 1), Bytes(15, 2)});
    const Bytes bmp8 = MakeBMP(8, 4, 2, {Bytes(4, 1), Bytes(4, 2)}, std::vector<uint32_t>(16, 0x00FFFFFF), 16);
    const Bytes jpeg = MakeJPEG(16, 16, 3, Bytes(16 * 16 * 3, 90));
    struct Case {
        Bytes file;
        Reader reader;
    } cases[] = {{bmp24, LoadBMP}, {bmp8, LoadBMP}, {jpeg, LoadJPEG}};
    for (const Case& c : cases) {
        MemoryImage file(c.file);
        std::unique_ptr<YImage> image(c.reader(file.File(), 0));
        EXPECT_NE(image, nullptr);
    }
}

TEST(ImageHostileFiles, HostileFilesOnDiskThroughTheLoader)
{
    ImageTempFolder folder;
    ByteWriter overrun;
    overrun.U8(0xFF).U8(1).U8(2).U8(3);
    struct Case {
        const char* name;
        Bytes data;
    } cases[] = {
        {"overrun.tga", MakeTGA(10, 24, 2, 2, 0, overrun.bytes)},
        {"huge.bmp", Patched(MakeBMP(24, 1, 1, {{1, 2, 3}}), 18, {0, 0, 1, 0, 0, 0, 1, 0})},
        {"broken.jpg", Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A}},
        {"empty.tga", Bytes{}},
    };
    for (const Case& c : cases) {
        std::string path = folder.Write(c.name, c.data);
        std::unique_ptr<YImage> image(LoadImageFile(path.c_str(), 6));
        EXPECT_EQ(image, nullptr) << c.name;
    }
}

}  // namespace

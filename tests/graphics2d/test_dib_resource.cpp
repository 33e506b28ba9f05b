// Bitmaps from the program's resources: registered bytes are found by id
// and type, and only 8-bit uncompressed bitmaps load.
#include <gtest/gtest.h>

#include "graphics2d/YDIB.h"
#include "graphics2d/test_image_bytes.h"
#include "platform/win32_window.h"

namespace {
// A 40-byte header, 256 colours (index i is grey i, index 9 red) and
// width x 2 rows; bottom row bytes 1, 2, ..., top row 11, 12, ...
Bytes ResourceBitmap(int bits, int width)
{
    size_t rowBytes = (static_cast<size_t>(width) * bits / 8 + 3) & ~static_cast<size_t>(3);
    ByteWriter w;
    w.U32(40).U32(static_cast<uint32_t>(width)).U32(2).U16(1).U16(static_cast<uint32_t>(bits)).U32(0);
    w.U32(0).U32(0).U32(0).U32(0).U32(0);
    for (uint32_t i = 0; i < 256; ++i) w.U32(i == 9 ? 0x00FF0000u : i * 0x010101u);
    for (int row = 0; row < 2; ++row)
        for (size_t i = 0; i < rowBytes; ++i) w.U8(static_cast<uint32_t>(row * 10 + i + 1));
    return w.bytes;
}
}  // namespace

TEST(DIBResource, LoadsEightBitBitmapsOnly)
{
    const Bytes eight = ResourceBitmap(8, 3);
    const Bytes twentyFour = ResourceBitmap(24, 3);
    platform::RegisterBitmapResource(7101, eight.data(), eight.size());
    platform::RegisterBitmapResource(7102, twentyFour.data(), twentyFour.size());
    HMODULE module = GetModuleHandleA(nullptr);

    struct Case {
        UINT id;
        int result;
    } cases[] = {{7101, 1}, {7102, 0}, {7199, 0}, {0, 0}};
    for (const Case& c : cases) {
        YDIB dib;
        EXPECT_EQ(dib.LoadFromResource(c.id, module), c.result) << c.id;
    }

    YDIB dib;
    ASSERT_EQ(dib.LoadFromResource(7101, module), 1);
    EXPECT_EQ(dib.GetWidth(), 3);
    EXPECT_EQ(dib.GetHeight(), 2);
    EXPECT_EQ(*dib.GetPixelAddress(0, 0), 11) << "the top row is stored last";
    EXPECT_EQ(*dib.GetPixelAddress(2, 1), 3);
    RGBQUAD colour[1];
    ASSERT_EQ(dib.GetColorTable(9, 1, colour), 1);
    EXPECT_EQ(colour[0].rgbRed, 0xFF);
    EXPECT_EQ(colour[0].rgbGreen, 0);
}

TEST(DIBResource, TheResourceFunctionsFindByIdAndType)
{
    const uint8_t bytes[] = {1, 2, 3, 4, 5};
    platform::RegisterBitmapResource(7201, bytes, sizeof bytes);
    HMODULE module = GetModuleHandleA(nullptr);

    struct Case {
        LPCSTR name;
        LPCSTR type;
        bool found;
    } cases[] = {
        {MAKEINTRESOURCEA(7201), RT_BITMAP, true},
        {MAKEINTRESOURCEA(7202), RT_BITMAP, false},
        {MAKEINTRESOURCEA(7201), MAKEINTRESOURCEA(3), false},  // an icon of that id: none
        {"BITMAP7201", RT_BITMAP, false},                        // names are not kept
    };
    for (const Case& c : cases) EXPECT_EQ(FindResourceA(module, c.name, c.type) != nullptr, c.found);

    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(7201), RT_BITMAP);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(SizeofResource(module, found), 5u);
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[0], 1);
    EXPECT_EQ(data[4], 5);
    EXPECT_EQ(SizeofResource(module, nullptr), 0u);
    EXPECT_EQ(LockResource(nullptr), nullptr);
}

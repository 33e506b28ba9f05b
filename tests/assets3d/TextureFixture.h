// Helpers of the texture tests: pixel formats by name, image files written
// into a scratch folder, and textures imported from them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "assets3d/YTexture2.h"
#include "graphics2d/YImage.h"

namespace texture_test {

typedef std::vector<uint8_t> Bytes;

// Layouts: name colour alpha bytes, bits r g b a, shifts r g b a, masks r g b a.
inline const char* LayoutLine(const std::string& name)
{
    if (name == "565") return "RGB565 16 0 2 5 6 5 0 11 5 0 0 31 63 31 0";
    if (name == "555") return "RGB555 15 0 2 5 5 5 0 10 5 0 0 31 31 31 0";
    if (name == "4444") return "ARGB4444 16 4 2 4 4 4 4 8 4 0 12 15 15 15 15";
    if (name == "1555") return "ARGB1555 16 1 2 5 5 5 1 10 5 0 15 31 31 31 1";
    if (name == "8888") return "ARGB8888 32 8 4 8 8 8 8 16 8 0 24 255 255 255 255";
    if (name == "888") return "RGB888 24 0 3 8 8 8 0 16 8 0 0 255 255 255 0";
    if (name == "pal8") return "PAL8 1 0 1 0 0 0 0 0 0 0 0 0 0 0 0";
    return "";
}

inline YTextureFormat* MakeFormat(const std::string& name)
{
    YTextureFormat* format = YTextureFormat::ParseFormatLine(LayoutLine(name));
    EXPECT_NE(format, nullptr) << name;
    return format;
}

// A format of that layout with its own layers, outside any texture.
inline std::unique_ptr<YTextureFormat> FormatWithLayers(const std::string& name, int16_t w, int16_t h, int16_t depth)
{
    std::unique_ptr<YTextureFormat> format(MakeFormat(name));
    EXPECT_TRUE(format->CreateLayers(w, h, depth, true));
    format->SetErrorMode(1);
    return format;
}

typedef std::function<uint32_t(int x, int y)> PixelFn;  // 0xAARRGGBB

// A 32-bit TGA file of width x height exchange pixels.
inline void WriteTGA(const std::string& path, int w, int h, const PixelFn& pixel)
{
    YImage image;
    image.m_width = w;
    image.m_height = h;
    image.m_kind = IMAGE_KIND_BITMAP;
    ASSERT_TRUE(image.AllocatePixels(static_cast<uint32_t>(w) * 4));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t v = pixel(x, y);
            BYTE* p = image.m_pixels + (static_cast<size_t>(y) * w + x) * 4;
            for (int k = 0; k < 4; ++k) p[k] = static_cast<BYTE>(v >> (8 * k));
        }
    ASSERT_EQ(image.SaveTGAFile(path.c_str()), 1) << path;
}

// An 8-bit BMP whose palette entry i is {i, 255 - i, i / 2}, pixel index from the function.
inline void WriteBMP8(const std::string& path, int w, int h, const std::function<uint8_t(int, int)>& index)
{
    const int stride = (w + 3) & ~3;
    Bytes file;
    auto put = [&file](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) file.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    const uint32_t offset = 14 + 40 + 1024;
    file.push_back('B');
    file.push_back('M');
    put(offset + static_cast<uint32_t>(stride * h), 4);
    put(0, 4);
    put(offset, 4);
    put(40, 4);
    put(static_cast<uint32_t>(w), 4);
    put(static_cast<uint32_t>(h), 4);
    put(1, 2);
    put(8, 2);
    put(0, 4);
    put(static_cast<uint32_t>(stride * h), 4);
    put(2835, 4);
    put(2835, 4);
    put(256, 4);
    put(0, 4);
    for (int i = 0; i < 256; ++i) {
        file.push_back(static_cast<uint8_t>(i));
        file.push_back(static_cast<uint8_t>(255 - i));
        file.push_back(static_cast<uint8_t>(i / 2));
        file.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < stride; ++x) file.push_back(x < w ? index(x, y) : 0);
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
}

// Distinct, position-dependent pixels.
inline uint32_t Pattern(int x, int y)
{
    return 0xFF000000u | static_cast<uint32_t>((x * 37 + y * 11) & 0xFF) << 16 |
           static_cast<uint32_t>((x * 5 + y * 71) & 0xFF) << 8 | static_cast<uint32_t>((x * y * 3 + 17) & 0xFF);
}

// A texture imported from a TGA of the pattern in the given layout.
inline std::unique_ptr<YTexture2> ImportedTexture(const ScratchFolder& folder, const std::string& layout, int w, int h,
                                                  const PixelFn& pixel = Pattern, const char* file = "source.tga")
{
    WriteTGA(folder / file, w, h, pixel);
    std::unique_ptr<YTexture2> texture(new YTexture2);
    texture->SetErrorMode(1);
    YTextureFormat* format = MakeFormat(layout);
    EXPECT_EQ(texture->ImportImageFormat(format, (folder / file).c_str()), 1) << texture->GetError().GetBuffer();
    return texture;
}

inline Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace texture_test

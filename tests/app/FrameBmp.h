// Frames the headless program dumps as BMP, read back for pixel probes.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct Frame {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;  // 0xRRGGBB, top row first
    uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

inline uint32_t U32(const std::string& b, size_t at)
{
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 | static_cast<uint8_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

// A 24- or 32-bit BMP as the frame dump writes it.
inline Frame ReadBmp(const std::string& b)
{
    Frame f;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return f;
    const uint32_t offset = U32(b, 10);
    const int width = static_cast<int32_t>(U32(b, 18));
    const int rawHeight = static_cast<int32_t>(U32(b, 22));
    const int bits = static_cast<uint8_t>(b[28]) | static_cast<uint8_t>(b[29]) << 8;
    if ((bits != 24 && bits != 32) || width <= 0 || rawHeight == 0) return f;
    const int height = rawHeight < 0 ? -rawHeight : rawHeight;
    const size_t stride = (static_cast<size_t>(width) * bits / 8 + 3) & ~static_cast<size_t>(3);
    if (b.size() < offset + stride * height) return f;
    f.width = width;
    f.height = height;
    f.rgb.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const size_t row = offset + stride * (rawHeight < 0 ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const size_t p = row + static_cast<size_t>(x) * (bits / 8);
            f.rgb[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(b[p]) |
                                                        static_cast<uint8_t>(b[p + 1]) << 8 |
                                                        static_cast<uint8_t>(b[p + 2]) << 16;
        }
    }
    return f;
}

// 0xRRGGBB of a colour, with the display's precision of each part (the low
// bits of a 16-bit display are ignored by Near).
inline uint32_t Rgb(int r, int g, int b) { return static_cast<uint32_t>(r << 16 | g << 8 | b); }

inline bool Near(uint32_t a, uint32_t b)
{
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 8) return false;
    return true;
}

// The frame file of that path, or an empty frame.
inline Frame ReadBmpFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return ReadBmp(bytes.str());
}

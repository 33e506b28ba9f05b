// A surface's pixel layout: reading and writing pixels of 1 to 4 bytes and
// converting them to and from 0xAARRGGBB colours.
#pragma once

#include "platform/ddraw.h"

#include <cstdint>

namespace platform {
class DirectDrawPixelFormat {
public:
    DirectDrawPixelFormat() = default;
    // Takes the layout of a DDPIXELFORMAT; Valid() tells whether we keep
    // surfaces of that layout (RGB 8 to 32 bits, palettised 8, Z buffers).
    explicit DirectDrawPixelFormat(const DDPIXELFORMAT& format);
    // The display layout of a depth: 8 palettised, 16 as 5-6-5, 24 and 32
    // as 8-8-8 (32 with an unused top byte).
    static DirectDrawPixelFormat FromDepth(int bitsPerPixel);
    static DirectDrawPixelFormat FromMasks(int bitsPerPixel, uint32_t red, uint32_t green, uint32_t blue,
                                           uint32_t alpha);

    bool Valid() const { return m_bytes > 0; }
    int Bits() const { return m_bits; }
    int Bytes() const { return m_bytes; }
    bool Palettised() const { return m_palettised; }
    bool IsZBuffer() const { return m_zbuffer; }
    uint32_t RedMask() const { return m_mask[0]; }
    uint32_t GreenMask() const { return m_mask[1]; }
    uint32_t BlueMask() const { return m_mask[2]; }
    uint32_t AlphaMask() const { return m_mask[3]; }
    // The bits that carry colour: what colour keys compare.
    uint32_t ColourMask() const;
    DDPIXELFORMAT Describe() const;
    bool operator==(const DirectDrawPixelFormat& other) const;
    bool operator!=(const DirectDrawPixelFormat& other) const { return !(*this == other); }

    uint32_t Read(const uint8_t* p) const
    {
        switch (m_bytes) {
        case 1: return p[0];
        case 2: return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
        case 3: return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16);
        default:
            return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                   (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
        }
    }
    void Write(uint8_t* p, uint32_t value) const
    {
        p[0] = static_cast<uint8_t>(value);
        if (m_bytes > 1) p[1] = static_cast<uint8_t>(value >> 8);
        if (m_bytes > 2) p[2] = static_cast<uint8_t>(value >> 16);
        if (m_bytes > 3) p[3] = static_cast<uint8_t>(value >> 24);
    }

    // Pixel to 0xAARRGGBB; alpha is 0xFF when the layout has none.
    uint32_t ToARGB(uint32_t pixel, const PALETTEENTRY* palette) const;
    // 0x00RRGGBB (alpha taken from the top byte when the layout has one)
    // to a pixel; palettised layouts take the nearest palette entry.
    uint32_t FromARGB(uint32_t argb, const PALETTEENTRY* palette) const;
    // COLORREF (red in the low byte) to a pixel, alpha opaque.
    uint32_t FromColorRef(uint32_t colour, const PALETTEENTRY* palette) const;

private:
    void Analyse();

    int m_bits = 0;
    int m_bytes = 0;
    bool m_palettised = false;
    bool m_zbuffer = false;
    uint32_t m_mask[4] = {0, 0, 0, 0};
    int m_shift[4] = {0, 0, 0, 0};
    int m_width[4] = {0, 0, 0, 0};
};
}  // namespace platform

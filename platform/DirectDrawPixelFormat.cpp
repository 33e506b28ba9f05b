#include "platform/DirectDrawPixelFormat.h"

namespace platform {
namespace {
int LowestBit(uint32_t mask)
{
    int shift = 0;
    while (mask && !(mask & 1u)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

int BitCount(uint32_t mask)
{
    int count = 0;
    for (; mask; mask &= mask - 1) ++count;
    return count;
}

// Widens a channel of `width` bits to 8 by repeating its bits.
uint32_t Widen(uint32_t value, int width)
{
    if (width <= 0) return 0;
    if (width >= 8) return (value >> (width - 8)) & 0xFF;
    uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
        out = (out << width) | value;
        filled += width;
    }
    return (out >> (filled - 8)) & 0xFF;
}
}  // namespace

DirectDrawPixelFormat::DirectDrawPixelFormat(const DDPIXELFORMAT& format)
{
    if (format.dwFlags & DDPF_ZBUFFER) {
        m_zbuffer = true;
        m_bits = static_cast<int>(format.dwZBufferBitDepth);
        m_mask[0] = format.dwZBitMask;
    } else if (format.dwFlags & DDPF_PALETTEINDEXED8) {
        m_palettised = true;
        m_bits = 8;
    } else if (format.dwFlags & DDPF_RGB) {
        m_bits = static_cast<int>(format.dwRGBBitCount);
        m_mask[0] = format.dwRBitMask;
        m_mask[1] = format.dwGBitMask;
        m_mask[2] = format.dwBBitMask;
        m_mask[3] = (format.dwFlags & DDPF_ALPHAPIXELS) ? format.dwRGBAlphaBitMask : 0;
        if (m_mask[0] == 0 && m_mask[1] == 0 && m_mask[2] == 0) m_bits = 0;
    }
    if (m_bits == 8 || m_bits == 16 || m_bits == 24 || m_bits == 32) Analyse();
    else m_bits = 0;
}

DirectDrawPixelFormat DirectDrawPixelFormat::FromMasks(int bitsPerPixel, uint32_t red, uint32_t green, uint32_t blue,
                                                       uint32_t alpha)
{
    DirectDrawPixelFormat format;
    format.m_bits = bitsPerPixel;
    format.m_mask[0] = red;
    format.m_mask[1] = green;
    format.m_mask[2] = blue;
    format.m_mask[3] = alpha;
    format.Analyse();
    return format;
}

DirectDrawPixelFormat DirectDrawPixelFormat::FromDepth(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 8: {
        DirectDrawPixelFormat format;
        format.m_bits = 8;
        format.m_palettised = true;
        format.Analyse();
        return format;
    }
    case 16: return FromMasks(16, 0xF800, 0x07E0, 0x001F, 0);
    case 24: return FromMasks(24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    case 32: return FromMasks(32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    default: return DirectDrawPixelFormat();
    }
}

void DirectDrawPixelFormat::Analyse()
{
    m_bytes = (m_bits + 7) / 8;
    for (int i = 0; i < 4; ++i) {
        m_shift[i] = LowestBit(m_mask[i]);
        m_width[i] = BitCount(m_mask[i]);
    }
}

uint32_t DirectDrawPixelFormat::ColourMask() const
{
    if (m_palettised) return 0xFF;
    if (m_zbuffer) return m_bits >= 32 ? 0xFFFFFFFFu : ((1u << m_bits) - 1);
    return m_mask[0] | m_mask[1] | m_mask[2];
}

DDPIXELFORMAT DirectDrawPixelFormat::Describe() const
{
    DDPIXELFORMAT format;
    memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    if (m_zbuffer) {
        format.dwFlags = DDPF_ZBUFFER;
        format.dwZBufferBitDepth = m_bits;
        format.dwZBitMask = m_mask[0];
    } else if (m_palettised) {
        format.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
        format.dwRGBBitCount = 8;
    } else {
        format.dwFlags = DDPF_RGB | (m_mask[3] ? DDPF_ALPHAPIXELS : 0);
        format.dwRGBBitCount = m_bits;
        format.dwRBitMask = m_mask[0];
        format.dwGBitMask = m_mask[1];
        format.dwBBitMask = m_mask[2];
        format.dwRGBAlphaBitMask = m_mask[3];
    }
    return format;
}

bool DirectDrawPixelFormat::operator==(const DirectDrawPixelFormat& other) const
{
    return m_bits == other.m_bits && m_palettised == other.m_palettised && m_zbuffer == other.m_zbuffer &&
           m_mask[0] == other.m_mask[0] && m_mask[1] == other.m_mask[1] && m_mask[2] == other.m_mask[2] &&
           m_mask[3] == other.m_mask[3];
}

uint32_t DirectDrawPixelFormat::ToARGB(uint32_t pixel, const PALETTEENTRY* palette) const
{
    if (m_palettised) {
        if (!palette) return 0xFF000000u | (pixel * 0x010101u);
        const PALETTEENTRY& e = palette[pixel & 0xFF];
        return 0xFF000000u | (static_cast<uint32_t>(e.peRed) << 16) | (static_cast<uint32_t>(e.peGreen) << 8) |
               e.peBlue;
    }
    uint32_t c[4];
    for (int i = 0; i < 4; ++i) c[i] = Widen((pixel & m_mask[i]) >> m_shift[i], m_width[i]);
    if (!m_mask[3]) c[3] = 0xFF;
    return (c[3] << 24) | (c[0] << 16) | (c[1] << 8) | c[2];
}

uint32_t DirectDrawPixelFormat::FromARGB(uint32_t argb, const PALETTEENTRY* palette) const
{
    int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    if (m_palettised) {
        if (!palette) return static_cast<uint32_t>((r * 30 + g * 59 + b * 11) / 100);
        int best = 0;
        long bestDistance = 0x7FFFFFFF;
        for (int i = 0; i < 256; ++i) {
            long dr = palette[i].peRed - r, dg = palette[i].peGreen - g, db = palette[i].peBlue - b;
            long distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = i;
                if (distance == 0) break;
            }
        }
        return static_cast<uint32_t>(best);
    }
    uint32_t c[4] = {static_cast<uint32_t>(r), static_cast<uint32_t>(g), static_cast<uint32_t>(b), argb >> 24};
    uint32_t pixel = 0;
    for (int i = 0; i < 4; ++i) {
        if (!m_mask[i]) continue;
        uint32_t value = m_width[i] >= 8 ? (c[i] << (m_width[i] - 8)) : (c[i] >> (8 - m_width[i]));
        pixel |= (value << m_shift[i]) & m_mask[i];
    }
    return pixel;
}

uint32_t DirectDrawPixelFormat::FromColorRef(uint32_t colour, const PALETTEENTRY* palette) const
{
    uint32_t argb = 0xFF000000u | ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    return FromARGB(argb, palette);
}
}  // namespace platform

#include "platform/DirectDrawBlitter.h"

#include <vector>

namespace platform {
namespace {
struct KeyTest {
    bool on;
    uint32_t mask, low, high;
    KeyTest(bool enabled, const DDCOLORKEY& range, uint32_t colourMask)
        : on(enabled), mask(colourMask), low(range.dwColorSpaceLowValue & colourMask),
          high(range.dwColorSpaceHighValue & colourMask)
    {
        if (high < low) high = low;
    }
    bool Matches(uint32_t pixel) const
    {
        uint32_t value = pixel & mask;
        return value >= low && value <= high;
    }
};

// Source column for each destination column of the clip.
void MapColumns(const BlitParams& p, const RECT& clip, std::vector<int>& columns)
{
    int64_t dw = p.dest.right - p.dest.left, sw = p.source.right - p.source.left;
    columns.resize(clip.right - clip.left);
    for (int x = clip.left; x < clip.right; ++x) {
        int64_t offset = x - p.dest.left;
        if (p.mirrorLeftRight) offset = dw - 1 - offset;
        columns[x - clip.left] = static_cast<int>(p.source.left + offset * sw / dw);
    }
}

int MapRow(const BlitParams& p, int y)
{
    int64_t dh = p.dest.bottom - p.dest.top, sh = p.source.bottom - p.source.top;
    int64_t offset = y - p.dest.top;
    if (p.mirrorUpDown) offset = dh - 1 - offset;
    return static_cast<int>(p.source.top + offset * sh / dh);
}

// Same layout, no stretch, no mirror: the common sprite blit.
template <typename Pixel>
void CopyKeyedRows(const BlitImage& dest, const BlitImage& source, const BlitParams& p, const RECT& clip,
                   const KeyTest& sourceKey)
{
    int width = clip.right - clip.left;
    int sx = p.source.left + (clip.left - p.dest.left);
    for (int y = clip.top; y < clip.bottom; ++y) {
        int sy = p.source.top + (y - p.dest.top);
        const Pixel* in = reinterpret_cast<const Pixel*>(source.bits + static_cast<size_t>(sy) * source.pitch) + sx;
        Pixel* out = reinterpret_cast<Pixel*>(dest.bits + static_cast<size_t>(y) * dest.pitch) + clip.left;
        const uint32_t mask = sourceKey.mask, low = sourceKey.low, high = sourceKey.high;
        for (int i = 0; i < width; ++i) {
            uint32_t value = static_cast<uint32_t>(in[i]) & mask;
            if (value < low || value > high) out[i] = in[i];
        }
    }
}
}  // namespace

void DirectDrawBlitter::Fill(const BlitImage& dest, const RECT& clip, uint32_t value)
{
    const DirectDrawPixelFormat& f = *dest.format;
    int bytes = f.Bytes();
    for (int y = clip.top; y < clip.bottom; ++y) {
        uint8_t* row = dest.bits + static_cast<size_t>(y) * dest.pitch + static_cast<size_t>(clip.left) * bytes;
        int count = clip.right - clip.left;
        if (bytes == 1) {
            memset(row, static_cast<int>(value & 0xFF), count);
        } else if (bytes == 2) {
            uint16_t v = static_cast<uint16_t>(value);
            uint16_t* p = reinterpret_cast<uint16_t*>(row);
            for (int i = 0; i < count; ++i) p[i] = v;
        } else if (bytes == 4) {
            uint32_t* p = reinterpret_cast<uint32_t*>(row);
            for (int i = 0; i < count; ++i) p[i] = value;
        } else {
            for (int i = 0; i < count; ++i) f.Write(row + i * bytes, value);
        }
    }
}

void DirectDrawBlitter::Blit(const BlitImage& dest, const BlitImage& source, const BlitParams& p, const RECT& clip)
{
    if (clip.right <= clip.left || clip.bottom <= clip.top) return;
    const DirectDrawPixelFormat& df = *dest.format;
    const DirectDrawPixelFormat& sf = *source.format;
    const bool sameLayout = df == sf;
    const bool stretched = (p.dest.right - p.dest.left) != (p.source.right - p.source.left) ||
                           (p.dest.bottom - p.dest.top) != (p.source.bottom - p.source.top);
    KeyTest sourceKey(p.sourceKey, p.sourceKeyRange, sf.ColourMask());
    KeyTest destKey(p.destKey, p.destKeyRange, df.ColourMask());
    const int db = df.Bytes(), sb = sf.Bytes();

    if (sameLayout && !stretched && !p.mirrorLeftRight && !p.mirrorUpDown && !destKey.on) {
        if (!sourceKey.on) {
            int sx = p.source.left + (clip.left - p.dest.left);
            size_t bytes = static_cast<size_t>(clip.right - clip.left) * db;
            for (int y = clip.top; y < clip.bottom; ++y) {
                int sy = p.source.top + (y - p.dest.top);
                memmove(dest.bits + static_cast<size_t>(y) * dest.pitch + static_cast<size_t>(clip.left) * db,
                        source.bits + static_cast<size_t>(sy) * source.pitch + static_cast<size_t>(sx) * sb, bytes);
            }
            return;
        }
        if (db == 2) return CopyKeyedRows<uint16_t>(dest, source, p, clip, sourceKey);
        if (db == 4) return CopyKeyedRows<uint32_t>(dest, source, p, clip, sourceKey);
        if (db == 1) return CopyKeyedRows<uint8_t>(dest, source, p, clip, sourceKey);
    }

    std::vector<int> columns;
    MapColumns(p, clip, columns);
    const bool indexCopy = df.Palettised() && sf.Palettised();
    for (int y = clip.top; y < clip.bottom; ++y) {
        int sy = MapRow(p, y);
        const uint8_t* in = source.bits + static_cast<size_t>(sy) * source.pitch;
        uint8_t* out = dest.bits + static_cast<size_t>(y) * dest.pitch;
        for (int x = clip.left; x < clip.right; ++x) {
            uint32_t pixel = sf.Read(in + static_cast<size_t>(columns[x - clip.left]) * sb);
            if (sourceKey.on && sourceKey.Matches(pixel)) continue;
            uint8_t* target = out + static_cast<size_t>(x) * db;
            if (destKey.on && !destKey.Matches(df.Read(target))) continue;
            if (!sameLayout && !indexCopy) pixel = df.FromARGB(sf.ToARGB(pixel, source.palette), dest.palette);
            df.Write(target, pixel);
        }
    }
}
}  // namespace platform

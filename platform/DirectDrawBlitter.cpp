#include "platform/DirectDrawBlitter.h"

#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Copies the pixels of one row whose colour bits lie outside the key range.
template <typename Pixel>
void CopyKeyedSpan(Pixel* out, const Pixel* in, int count, const KeyTest& key)
{
    for (int i = 0; i < count; ++i) {
        const uint32_t value = static_cast<uint32_t>(in[i]) & key.mask;
        if (value < key.low || value > key.high) out[i] = in[i];
    }
}

#if defined(__SSE2__)
// Sixteen bytes of pixels at a time: (value & mask) - low, compared unsigned
// with high - low, gives the keyed lanes; all keyed skips the store, none
// keyed stores the source, a mix blends with the destination.
template <typename Pixel>
struct KeyLanes;

template <>
struct KeyLanes<uint8_t> {
    static __m128i Set(uint32_t v) { return _mm_set1_epi8(static_cast<char>(v)); }
    static __m128i Keyed(__m128i offset, __m128i range)
    {
        return _mm_cmpeq_epi8(_mm_subs_epu8(offset, range), _mm_setzero_si128());
    }
    static __m128i Sub(__m128i a, __m128i b) { return _mm_sub_epi8(a, b); }
    static __m128i Equal(__m128i a, __m128i b) { return _mm_cmpeq_epi8(a, b); }
};

template <>
struct KeyLanes<uint16_t> {
    static __m128i Set(uint32_t v) { return _mm_set1_epi16(static_cast<short>(v)); }
    static __m128i Keyed(__m128i offset, __m128i range)
    {
        return _mm_cmpeq_epi16(_mm_subs_epu16(offset, range), _mm_setzero_si128());
    }
    static __m128i Sub(__m128i a, __m128i b) { return _mm_sub_epi16(a, b); }
    static __m128i Equal(__m128i a, __m128i b) { return _mm_cmpeq_epi16(a, b); }
};

template <>
struct KeyLanes<uint32_t> {
    static __m128i Set(uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
    // No unsigned 32-bit compare: flip the sign bits and compare signed.
    static __m128i Keyed(__m128i offset, __m128i range)
    {
        const __m128i sign = _mm_set1_epi32(static_cast<int>(0x80000000u));
        return _mm_xor_si128(_mm_cmpgt_epi32(_mm_xor_si128(offset, sign), _mm_xor_si128(range, sign)),
                             _mm_set1_epi32(-1));
    }
    static __m128i Sub(__m128i a, __m128i b) { return _mm_sub_epi32(a, b); }
    static __m128i Equal(__m128i a, __m128i b) { return _mm_cmpeq_epi32(a, b); }
};

// A range of keys, or the usual single key, which one compare finds.
template <typename Pixel, bool Range>
int CopyKeyedVectors(Pixel* out, const Pixel* in, int count, const KeyTest& key)
{
    typedef KeyLanes<Pixel> Lanes;
    const int perVector = 16 / static_cast<int>(sizeof(Pixel));
    const __m128i mask = Lanes::Set(key.mask), low = Lanes::Set(key.low), range = Lanes::Set(key.high - key.low);
    int i = 0;
    for (; i + perVector <= count; i += perVector) {
        const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i colour = _mm_and_si128(source, mask);
        const __m128i keyed = Range ? Lanes::Keyed(Lanes::Sub(colour, low), range) : Lanes::Equal(colour, low);
        if (_mm_movemask_epi8(keyed) == 0xFFFF) continue;
        __m128i* target = reinterpret_cast<__m128i*>(out + i);
        const __m128i kept = _mm_and_si128(keyed, _mm_loadu_si128(target));
        _mm_storeu_si128(target, _mm_or_si128(kept, _mm_andnot_si128(keyed, source)));
    }
    return i;
}

template <typename Pixel>
void CopyKeyedRow(Pixel* out, const Pixel* in, int count, const KeyTest& key)
{
    const int i = key.high == key.low ? CopyKeyedVectors<Pixel, false>(out, in, count, key)
                                      : CopyKeyedVectors<Pixel, true>(out, in, count, key);
    CopyKeyedSpan(out + i, in + i, count - i, key);
}
#else
template <typename Pixel>
void CopyKeyedRow(Pixel* out, const Pixel* in, int count, const KeyTest& key)
{
    CopyKeyedSpan(out, in, count, key);
}
#endif

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
        CopyKeyedRow(out, in, width, sourceKey);
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

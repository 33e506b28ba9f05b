// The MMX forms and the MMX-extensions forms: 64-bit MMX stores for the
// word fills and copies (non-temporal with the extensions), packed-word
// blending, and the matrix fills.
#include "foundation/YFastMathForms.h"

#if RCV_X86
#include <cstddef>
#include <cstring>

#include <mmintrin.h>
#include <xmmintrin.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "foundation/YVector.h"

namespace {
// A word alone when dst is not 8-byte aligned, then blocks of eight words
// as 64-bit stores, then the rest one by one.
template <bool NonTemporal>
void FillDwords(uint32_t* dst, uint32_t count, uint32_t value)
{
    if (count && (reinterpret_cast<uintptr_t>(dst) & 7)) {
        *dst++ = value;
        --count;
    }
    size_t blocks = count / 8;
    if (blocks) {
        if (NonTemporal)
            asm volatile("movd %2, %%mm0\n\t"
                         "punpckldq %%mm0, %%mm0\n"
                         "1:\n\t"
                         "movntq %%mm0, (%0)\n\tmovntq %%mm0, 8(%0)\n\t"
                         "movntq %%mm0, 16(%0)\n\tmovntq %%mm0, 24(%0)\n\t"
                         "addq $32, %0\n\t"
                         "decq %1\n\t"
                         "jnz 1b\n\t"
                         "sfence\n\t"
                         "emms"
                         : "+r"(dst), "+r"(blocks)
                         : "r"(value)
                         : "mm0", "cc", "memory");
        else
            asm volatile("movd %2, %%mm0\n\t"
                         "punpckldq %%mm0, %%mm0\n"
                         "1:\n\t"
                         "movq %%mm0, (%0)\n\tmovq %%mm0, 8(%0)\n\t"
                         "movq %%mm0, 16(%0)\n\tmovq %%mm0, 24(%0)\n\t"
                         "addq $32, %0\n\t"
                         "decq %1\n\t"
                         "jnz 1b\n\t"
                         "emms"
                         : "+r"(dst), "+r"(blocks)
                         : "r"(value)
                         : "mm0", "cc", "memory");
    }
    for (uint32_t i = 0; i < (count & 7); ++i) dst[i] = value;
}

template <bool NonTemporal>
void CopyDwords(uint32_t* dst, const uint32_t* src, uint32_t count)
{
    if (count && (reinterpret_cast<uintptr_t>(dst) & 7)) {
        *dst++ = *src++;
        --count;
    }
    size_t blocks = count / 8;
    if (blocks) {
        if (NonTemporal)
            asm volatile("1:\n\t"
                         "movq (%1), %%mm0\n\tmovq 8(%1), %%mm1\n\t"
                         "movq 16(%1), %%mm2\n\tmovq 24(%1), %%mm3\n\t"
                         "movntq %%mm0, (%0)\n\tmovntq %%mm1, 8(%0)\n\t"
                         "movntq %%mm2, 16(%0)\n\tmovntq %%mm3, 24(%0)\n\t"
                         "addq $32, %0\n\taddq $32, %1\n\t"
                         "decq %2\n\t"
                         "jnz 1b\n\t"
                         "sfence\n\t"
                         "emms"
                         : "+r"(dst), "+r"(src), "+r"(blocks)
                         :
                         : "mm0", "mm1", "mm2", "mm3", "cc", "memory");
        else
            asm volatile("1:\n\t"
                         "movq (%1), %%mm0\n\tmovq 8(%1), %%mm1\n\t"
                         "movq 16(%1), %%mm2\n\tmovq 24(%1), %%mm3\n\t"
                         "movq %%mm0, (%0)\n\tmovq %%mm1, 8(%0)\n\t"
                         "movq %%mm2, 16(%0)\n\tmovq %%mm3, 24(%0)\n\t"
                         "addq $32, %0\n\taddq $32, %1\n\t"
                         "decq %2\n\t"
                         "jnz 1b\n\t"
                         "emms"
                         : "+r"(dst), "+r"(src), "+r"(blocks)
                         :
                         : "mm0", "mm1", "mm2", "mm3", "cc", "memory");
    }
    for (uint32_t i = 0; i < (count & 7); ++i) dst[i] = src[i];
}

// The matrix fills are plain stores whose width the compiler picks (64-bit
// or wider).  No MMX register is touched, so no EMMS is due, and the float
// arguments are stored from the registers they arrive in.
inline void Store64(float* at, uint64_t v)
{
    std::memcpy(at, &v, 8);
}

// A row of constants
inline void StoreRow(float* row, float a, float b, float c, float d)
{
    uint32_t w[4];
    std::memcpy(&w[0], &a, 4);
    std::memcpy(&w[1], &b, 4);
    std::memcpy(&w[2], &c, 4);
    std::memcpy(&w[3], &d, 4);
    Store64(row, uint64_t(w[1]) << 32 | w[0]);
    Store64(row + 2, uint64_t(w[3]) << 32 | w[2]);
}

// The colour words (b, g, r, alpha) of one pixel blended with weights a and
// 255 - a, without saturation; the sum stays below 65536.
inline __m64 BlendWords(__m64 s, __m64 d, __m64 wa, __m64 wd)
{
    return _mm_srli_pi16(_mm_add_pi16(_mm_mullo_pi16(s, wa), _mm_mullo_pi16(d, wd)), 8);
}

template <bool Extensions>
inline __m64 Broadcast(uint32_t w)
{
    __m64 v = _mm_cvtsi32_si64(static_cast<int>(w));
    if (Extensions) return _mm_shuffle_pi16(v, 0);
    v = _mm_unpacklo_pi16(v, v);
    return _mm_unpacklo_pi32(v, v);
}

#if defined(__SSE2__)
// Four pixels at a time in SSE2, with the same words as the packed-word
// blend below: (s * a + d * (255 - a)) >> 8 per channel, alpha 0 keeps the
// destination, alpha 255 takes the source.  The channels travel as 32-bit
// B, G, R, A lanes.
struct BlendLanes {
    __m128i zeroAlpha, fullAlpha, blended;
};

inline BlendLanes BlendFour(__m128i s, __m128i d)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i a = _mm_srli_epi32(s, 24);
    BlendLanes out;
    out.zeroAlpha = _mm_cmpeq_epi32(a, zero);
    out.fullAlpha = _mm_cmpeq_epi32(a, _mm_set1_epi32(255));
    const __m128i aWords = _mm_or_si128(a, _mm_slli_epi32(a, 16));
    const __m128i waLo = _mm_unpacklo_epi32(aWords, aWords), waHi = _mm_unpackhi_epi32(aWords, aWords);
    const __m128i w255 = _mm_set1_epi16(255);
    const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), waLo),
                                                    _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(w255, waLo))),
                                      8);
    const __m128i hi = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), waHi),
                                                    _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(w255, waHi))),
                                      8);
    out.blended = _mm_packus_epi16(lo, hi);
    return out;
}

inline __m128i Select(__m128i mask, __m128i yes, __m128i no)
{
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// 32-bit destination: the blended colour keeps the destination's top byte.
inline void BlendFour32(const uint8_t* src, uint8_t* dst)
{
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
    const BlendLanes b = BlendFour(s, d);
    const __m128i top = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i mixed = _mm_or_si128(_mm_andnot_si128(top, b.blended), _mm_and_si128(top, d));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), Select(b.zeroAlpha, d, Select(b.fullAlpha, s, mixed)));
}

// A 16-bit layout as masks and shifts known when compiling: a field moves
// left into its byte of the B, G, R lanes, and right out of it again.
template <uint32_t M0, uint32_t M1, uint32_t M2, int S0, int S1, int S2>
struct Layout16 {
    static __m128i Expand(__m128i p)
    {
        return _mm_or_si128(_mm_or_si128(_mm_slli_epi32(_mm_and_si128(p, _mm_set1_epi32(M0)), S0),
                                         _mm_slli_epi32(_mm_and_si128(p, _mm_set1_epi32(M1)), S1)),
                            _mm_slli_epi32(_mm_and_si128(p, _mm_set1_epi32(M2)), S2));
    }
    static __m128i Pack(__m128i x)
    {
        return _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_srli_epi32(x, S0), _mm_set1_epi32(M0)),
                                         _mm_and_si128(_mm_srli_epi32(x, S1), _mm_set1_epi32(M1))),
                            _mm_and_si128(_mm_srli_epi32(x, S2), _mm_set1_epi32(M2)));
    }
};
typedef Layout16<0xF800, 0x07E0, 0x001F, 8, 5, 3> Layout565;
typedef Layout16<0x7C00, 0x03E0, 0x001F, 9, 6, 3> Layout555;
typedef Layout16<0x0F00, 0x00F0, 0x000F, 12, 8, 4> Layout444;

// 32-bit lanes holding 16-bit values, sign-extended so that packing keeps
// their bits.
inline __m128i Extended(__m128i lanes)
{
    return _mm_srai_epi32(_mm_slli_epi32(lanes, 16), 16);
}

// Eight pixels: one 16-byte load and store of the destination.
template <class Layout>
inline void BlendEight16(const uint8_t* src, uint8_t* dst)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
    const __m128i d16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
    const BlendLanes b0 = BlendFour(s0, Layout::Expand(_mm_unpacklo_epi16(d16, zero)));
    const BlendLanes b1 = BlendFour(s1, Layout::Expand(_mm_unpackhi_epi16(d16, zero)));
    const __m128i packed = _mm_packs_epi32(Extended(Layout::Pack(Select(b0.fullAlpha, s0, b0.blended))),
                                           Extended(Layout::Pack(Select(b1.fullAlpha, s1, b1.blended))));
    const __m128i keep = _mm_packs_epi32(b0.zeroAlpha, b1.zeroAlpha);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), Select(keep, d16, packed));
}

template <class Layout>
inline int32_t BlendRow16(const uint8_t* srow, uint8_t* drow, int32_t width)
{
    int32_t i = 0;
    for (; i + 8 <= width; i += 8) BlendEight16<Layout>(srow + 4 * i, drow + 2 * i);
    return i;
}

// Pixels blended here, from the start of the row; the rest go one by one.
inline int32_t BlendRowVector(const uint8_t* srow, uint8_t* drow, int32_t width, fm_blend::Format format)
{
    switch (format) {
    case fm_blend::k32: {
        int32_t i = 0;
        for (; i + 4 <= width; i += 4) BlendFour32(srow + 4 * i, drow + 4 * i);
        return i;
    }
    case fm_blend::k555: return BlendRow16<Layout555>(srow, drow, width);
    case fm_blend::k444: return BlendRow16<Layout444>(srow, drow, width);
    default: return BlendRow16<Layout565>(srow, drow, width);
    }
}
#else
inline int32_t BlendRowVector(const uint8_t*, uint8_t*, int32_t, fm_blend::Format) { return 0; }
#endif

template <bool Extensions>
void BlendRect(const void* src, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
               int32_t srcPitch, void* dst, int32_t dstX, int32_t dstY, int32_t dstWidth,
               int32_t dstHeight, int32_t dstPitch, int32_t dstBitsPerPixel, uint32_t dstRedMask)
{
    using namespace fm_blend;
    if (width > dstWidth - dstX) width = dstWidth - dstX;
    if (height > dstHeight - dstY) height = dstHeight - dstY;
    if (width <= 0 || height <= 0) return;
    const Format format = FormatOf(dstBitsPerPixel, dstRedMask);
    const uint8_t* srow = static_cast<const uint8_t*>(src) + ptrdiff_t(srcY) * srcPitch + ptrdiff_t(srcX) * 4;
    uint8_t* drow = static_cast<uint8_t*>(dst) + ptrdiff_t(dstY) * dstPitch +
                    ptrdiff_t(dstX) * (dstBitsPerPixel / 8);
    const __m64 zero = _mm_setzero_si64();
    for (int32_t row = 0; row < height; ++row, srow += srcPitch, drow += dstPitch) {
        const int32_t vectored = BlendRowVector(srow, drow, width, format);
        if (format == k32) {
            for (int32_t i = vectored; i < width; ++i) {
                uint32_t s;
                std::memcpy(&s, srow + 4 * i, 4);
                const uint32_t a = s >> 24;
                if (a == 0) continue;
                uint8_t* d = drow + 4 * i;
                if (a != 255) {
                    uint32_t p;
                    std::memcpy(&p, d, 4);
                    const __m64 sw = _mm_unpacklo_pi8(_mm_cvtsi32_si64(static_cast<int>(s)), zero);
                    const __m64 dw = _mm_unpacklo_pi8(_mm_cvtsi32_si64(static_cast<int>(p)), zero);
                    const __m64 r = BlendWords(sw, dw, Broadcast<Extensions>(a), Broadcast<Extensions>(255 - a));
                    const uint32_t blended = static_cast<uint32_t>(_mm_cvtsi64_si32(_mm_packs_pu16(r, zero)));
                    s = (blended & 0x00FFFFFFu) | (p & 0xFF000000u);
                }
                std::memcpy(d, &s, 4);
            }
            continue;
        }
        for (int32_t i = vectored; i < width; ++i) {
            uint32_t s;
            std::memcpy(&s, srow + 4 * i, 4);
            const uint32_t a = s >> 24;
            if (a == 0) continue;
            uint8_t* d = drow + 2 * i;
            uint16_t p16;
            uint32_t r = (s >> 16) & 0xFF, g = (s >> 8) & 0xFF, b = s & 0xFF;
            if (a != 255) {
                std::memcpy(&p16, d, 2);
                uint32_t dr, dg, db;
                Expand(format, p16, dr, dg, db);
                const __m64 sw = _mm_unpacklo_pi8(_mm_cvtsi32_si64(static_cast<int>(s)), zero);
                const __m64 dw = _mm_set_pi16(0, static_cast<short>(dr), static_cast<short>(dg),
                                              static_cast<short>(db));
                const __m64 w = BlendWords(sw, dw, Broadcast<Extensions>(a), Broadcast<Extensions>(255 - a));
                const uint32_t bg = static_cast<uint32_t>(_mm_cvtsi64_si32(w));
                b = bg & 0xFFFF;
                g = bg >> 16;
                r = static_cast<uint32_t>(_mm_cvtsi64_si32(_mm_srli_si64(w, 32))) & 0xFFFF;
            }
            p16 = static_cast<uint16_t>(Pack(format, r, g, b));
            std::memcpy(d, &p16, 2);
        }
    }
    _mm_empty();
}
}  // namespace

namespace fm_mmx {
void MatrixZero(YMatrix* dst)
{
    for (int i = 0; i < 16; i += 2) Store64(dst->Data() + i, 0);
}

void MatrixIdentity(YMatrix* dst)
{
    StoreRow(dst->m[0], 1.0f, 0.0f, 0.0f, 0.0f);
    StoreRow(dst->m[1], 0.0f, 1.0f, 0.0f, 0.0f);
    StoreRow(dst->m[2], 0.0f, 0.0f, 1.0f, 0.0f);
    StoreRow(dst->m[3], 0.0f, 0.0f, 0.0f, 1.0f);
}

void MatrixTranslation(YMatrix* dst, float x, float y, float z)
{
    StoreRow(dst->m[0], 1.0f, 0.0f, 0.0f, 0.0f);
    StoreRow(dst->m[1], 0.0f, 1.0f, 0.0f, 0.0f);
    StoreRow(dst->m[2], 0.0f, 0.0f, 1.0f, 0.0f);
    dst->m[3][0] = x;
    dst->m[3][1] = y;
    dst->m[3][2] = z;
    dst->m[3][3] = 1.0f;
}

void MatrixTranslationV(YMatrix* dst, const YVector* v)
{
    fm_mmx::MatrixTranslation(dst, v->x, v->y, v->z);
}

void MatrixScaling(YMatrix* dst, float sx, float sy, float sz)
{
    fm_mmx::MatrixZero(dst);
    dst->m[0][0] = sx;
    dst->m[1][1] = sy;
    dst->m[2][2] = sz;
    dst->m[3][3] = 1.0f;
}

void MemClearDwords(uint32_t* dst, uint32_t count)
{
    FillDwords<false>(dst, count, 0);
}

void MemFillDwords(uint32_t* dst, uint32_t count, uint32_t value)
{
    FillDwords<false>(dst, count, value);
}

void MemCopyDwords(uint32_t* dst, const uint32_t* src, uint32_t count)
{
    CopyDwords<false>(dst, src, count);
}

void AlphaBlendRect(const void* src, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
                    int32_t srcPitch, void* dst, int32_t dstX, int32_t dstY, int32_t dstWidth,
                    int32_t dstHeight, int32_t dstPitch, int32_t dstBitsPerPixel,
                    uint32_t dstRedMask)
{
    BlendRect<false>(src, srcX, srcY, width, height, srcPitch, dst, dstX, dstY, dstWidth,
                     dstHeight, dstPitch, dstBitsPerPixel, dstRedMask);
}
}  // namespace fm_mmx

namespace fm_mmxext {
void MemClearDwords(uint32_t* dst, uint32_t count)
{
    FillDwords<true>(dst, count, 0);
}

void MemFillDwords(uint32_t* dst, uint32_t count, uint32_t value)
{
    FillDwords<true>(dst, count, value);
}

void MemCopyDwords(uint32_t* dst, const uint32_t* src, uint32_t count)
{
    CopyDwords<true>(dst, src, count);
}

void AlphaBlendRect(const void* src, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
                    int32_t srcPitch, void* dst, int32_t dstX, int32_t dstY, int32_t dstWidth,
                    int32_t dstHeight, int32_t dstPitch, int32_t dstBitsPerPixel,
                    uint32_t dstRedMask)
{
    BlendRect<true>(src, srcX, srcY, width, height, srcPitch, dst, dstX, dstY, dstWidth,
                    dstHeight, dstPitch, dstBitsPerPixel, dstRedMask);
}
}  // namespace fm_mmxext
#endif

// The MMX forms and the MMX-extensions forms: 64-bit MMX stores for the
// word fills and copies (non-temporal with the extensions), packed-word
// blending, and the matrix fills.
#include "foundation/YFastMathForms.h"

#if RCV_X86
#include <cstddef>
#include <cstring>

#include <mmintrin.h>
#include <xmmintrin.h>

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
        if (format == k32) {
            for (int32_t i = 0; i < width; ++i) {
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
        for (int32_t i = 0; i < width; ++i) {
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

// The forms behind the fast-math table, one namespace per form.  Only the
// table builder (YFastMath.cpp) and the benchmarks look at them directly.
#pragma once

#include "foundation/YFastMath.h"

#if defined(__x86_64__) || defined(__i386__)
#define RCV_X86 1
#else
#define RCV_X86 0
#endif

// The reference form of every entry, in portable C++.
namespace fm_portable {
#define FM_DECLARE(n, name, result, params, args) result name params;
YFASTMATH_ENTRIES(FM_DECLARE)
#undef FM_DECLARE
}  // namespace fm_portable

#if RCV_X86
// x87 and integer forms without conditional moves.
namespace fm_plain {
void MatrixMultiply(YMatrix* dst, const YMatrix* a, const YMatrix* b);
void MatrixMultiplyAffine(YMatrix* dst, const YMatrix* a, const YMatrix* b);
void MatrixRotationEuler1(YMatrix* dst, float ax, float ay, float az);
void MatrixRotationEuler2(YMatrix* dst, float ax, float ay, float az);
void MatrixRotationEuler3(YMatrix* dst, float ax, float ay, float az);
void MatrixRotationEuler4(YMatrix* dst, float ax, float ay, float az);
void MatrixRotationEuler5(YMatrix* dst, float ax, float ay, float az);
void MatrixRotationEuler6(YMatrix* dst, float ax, float ay, float az);
float FastSin(float angle);
float FastCos(float angle);
void FastSinCos(float* s, float* c, float angle);
float FastSinDeg(float angle);
float FastCosDeg(float angle);
void FastSinCosDeg(float* s, float* c, float angle);
float FastSqrt(float a);
float ApproxSqrt(float a);
float VectorLengthSq(const YVector* v);
float VectorLength(const YVector* v);
float VectorFastLength(const YVector* v);
float VectorDot(const YVector* a, const YVector* b);
void VectorCross(YVector* dst, const YVector* a, const YVector* b);
void VectorAdd(YVector* dst, const YVector* a, const YVector* b);
void VectorSubtract(YVector* dst, const YVector* a, const YVector* b);
int32_t VectorCompareLength(const YVector* a, const YVector* b);
void VectorScale(YVector* dst, const YVector* a, float s);
int32_t VectorDiffers(const YVector* a, const YVector* b);
void VectorTransform(YVector* dst, const YVector* v, const YMatrix* m);
void VectorNormalizeSafe(YVector* dst, const YVector* v);
void VectorRotateByAngles(YVector* dst, const YVector* v, const YVector* angles);
void MemClearDwords(uint32_t* dst, uint32_t count);
void MemFillDwords(uint32_t* dst, uint32_t count, uint32_t value);
void MemCopyDwords(uint32_t* dst, const uint32_t* src, uint32_t count);
int32_t MinInt(int32_t a, int32_t b);
int32_t MaxInt(int32_t a, int32_t b);
float MinFloat(float a, float b);
float MaxFloat(float a, float b);
int32_t FloatToInt(float f);
float IntToFloat(int32_t i);
float DivFloat(float a, float b);
float FastDivFloat(float a, float b);
float Reciprocal(float x);
float FastReciprocal(float x);
}  // namespace fm_plain

// Conditional-move forms: branch-free sign and index selection, FCOMI/FCMOV.
namespace fm_cmov {
void MatrixRotationEuler1(YMatrix* dst, float ax, float ay, float az);
void MatrixRotationEuler2(YMatrix* dst, float ax, float ay, float az);
void MatrixRotationEuler3(YMatrix* dst, float ax, float ay, float az);
void MatrixRotationEuler4(YMatrix* dst, float ax, float ay, float az);
void MatrixRotationEuler5(YMatrix* dst, float ax, float ay, float az);
void MatrixRotationEuler6(YMatrix* dst, float ax, float ay, float az);
float FastSin(float angle);
float FastCos(float angle);
void FastSinCos(float* s, float* c, float angle);
float FastSinDeg(float angle);
float FastCosDeg(float angle);
void FastSinCosDeg(float* s, float* c, float angle);
int32_t VectorCompareLength(const YVector* a, const YVector* b);
int32_t VectorDiffers(const YVector* a, const YVector* b);
void VectorNormalizeSafe(YVector* dst, const YVector* v);
int32_t MinInt(int32_t a, int32_t b);
int32_t MaxInt(int32_t a, int32_t b);
float MinFloat(float a, float b);
float MaxFloat(float a, float b);
}  // namespace fm_cmov

// MMX forms: 64-bit stores, packed-word blending.
namespace fm_mmx {
void MatrixZero(YMatrix* dst);
void MatrixIdentity(YMatrix* dst);
void MatrixTranslation(YMatrix* dst, float x, float y, float z);
void MatrixTranslationV(YMatrix* dst, const YVector* v);
void MatrixScaling(YMatrix* dst, float sx, float sy, float sz);
void MemClearDwords(uint32_t* dst, uint32_t count);
void MemFillDwords(uint32_t* dst, uint32_t count, uint32_t value);
void MemCopyDwords(uint32_t* dst, const uint32_t* src, uint32_t count);
void AlphaBlendRect(const void* src, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
                    int32_t srcPitch, void* dst, int32_t dstX, int32_t dstY, int32_t dstWidth,
                    int32_t dstHeight, int32_t dstPitch, int32_t dstBitsPerPixel,
                    uint32_t dstRedMask);
}  // namespace fm_mmx

// The MMX extensions: non-temporal stores, PSHUFW.
namespace fm_mmxext {
void MemClearDwords(uint32_t* dst, uint32_t count);
void MemFillDwords(uint32_t* dst, uint32_t count, uint32_t value);
void MemCopyDwords(uint32_t* dst, const uint32_t* src, uint32_t count);
void AlphaBlendRect(const void* src, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
                    int32_t srcPitch, void* dst, int32_t dstX, int32_t dstY, int32_t dstWidth,
                    int32_t dstHeight, int32_t dstPitch, int32_t dstBitsPerPixel,
                    uint32_t dstRedMask);
}  // namespace fm_mmxext

// SSE forms: packed matrix products, scalar vector arithmetic, the reciprocal
// and square-root estimates.
namespace fm_sse {
void MatrixMultiply(YMatrix* dst, const YMatrix* a, const YMatrix* b);
void MatrixMultiplyAffine(YMatrix* dst, const YMatrix* a, const YMatrix* b);
float FastSqrt(float a);
float ApproxSqrt(float a);
float VectorLength(const YVector* v);
float VectorFastLength(const YVector* v);
void VectorTransform(YVector* dst, const YVector* v, const YMatrix* m);
void VectorNormalizeSafe(YVector* dst, const YVector* v);
void VectorRotateByAngles(YVector* dst, const YVector* v, const YVector* angles);
int32_t FloatToInt(float f);
float IntToFloat(int32_t i);
float DivFloat(float a, float b);
float FastDivFloat(float a, float b);
float Reciprocal(float x);
float FastReciprocal(float x);
// For three floats, scalar SSE arithmetic is what the portable code compiles
// to; packed loads and shuffles cost more than they save.
using fm_portable::VectorLengthSq;
using fm_portable::VectorDot;
using fm_portable::VectorCross;
using fm_portable::VectorAdd;
using fm_portable::VectorSubtract;
using fm_portable::VectorCompareLength;
using fm_portable::VectorScale;
using fm_portable::VectorDiffers;
}  // namespace fm_sse
#endif

// The Euler-angle builders of every form: the non-zero single-axis matrices,
// from the form's own sine look-up, joined by the affine product in the
// builder's order.  Only the look-up differs between forms.
namespace fm_euler {
typedef void (*SinCosFn)(float* s, float* c, float angle);

void RotationX(YMatrix* dst, float angle, SinCosFn sinCos);
void RotationY(YMatrix* dst, float angle, SinCosFn sinCos);
void RotationZ(YMatrix* dst, float angle, SinCosFn sinCos);
// builder 1..6
void Build(int builder, YMatrix* dst, float ax, float ay, float az, SinCosFn sinCos);
}  // namespace fm_euler

// Pixel helpers shared by the blending forms.
namespace fm_blend {
enum Format { k565, k555, k444, k32 };
inline Format FormatOf(int32_t bitsPerPixel, uint32_t redMask)
{
    if (bitsPerPixel != 16) return k32;
    if (redMask == 0x7C00) return k555;
    if (redMask == 0x0F00) return k444;
    return k565;
}
// 16-bit pixel to 8-bit channels, each field at the top of its byte.
inline void Expand(Format f, uint32_t p, uint32_t& r, uint32_t& g, uint32_t& b)
{
    switch (f) {
    case k555: r = (p & 0x7C00) >> 7; g = (p & 0x03E0) >> 2; b = (p & 0x1F) << 3; break;
    case k444: r = (p & 0x0F00) >> 4; g = p & 0x00F0; b = (p & 0x000F) << 4; break;
    default: r = (p & 0xF800) >> 8; g = (p & 0x07E0) >> 3; b = (p & 0x1F) << 3; break;
    }
}
inline uint32_t Pack(Format f, uint32_t r, uint32_t g, uint32_t b)
{
    switch (f) {
    case k555: return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    case k444: return ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4);
    default: return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    }
}
}  // namespace fm_blend

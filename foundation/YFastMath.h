// The fast-math table: 50 routine slots filled once at start-up with the best
// form of each routine for the detected processor.  Every caller goes through
// the table (the inline functions at the bottom); none names a form directly.
#pragma once

#include <cstdint>

#include "foundation/YMatrix.h"

class YVector;

// X(entry, name, result, parameters, arguments)
#define YFASTMATH_ENTRIES(X)                                                                   \
    X(0, MatrixZero, void, (YMatrix * dst), (dst))                                              \
    X(1, MatrixIdentity, void, (YMatrix * dst), (dst))                                          \
    X(2, MatrixTranslation, void, (YMatrix * dst, float x, float y, float z), (dst, x, y, z))   \
    X(3, MatrixTranslationV, void, (YMatrix * dst, const YVector* v), (dst, v))                 \
    X(4, MatrixScaling, void, (YMatrix * dst, float sx, float sy, float sz), (dst, sx, sy, sz)) \
    X(5, MatrixTranspose, void, (YMatrix * m), (m))                                             \
    X(6, MathNoOp, void, (), ())                                                                \
    X(7, MatrixMultiply, void, (YMatrix * dst, const YMatrix* a, const YMatrix* b), (dst, a, b)) \
    X(8, MatrixMultiplyAffine, void, (YMatrix * dst, const YMatrix* a, const YMatrix* b), (dst, a, b)) \
    X(9, MatrixRotationEuler1, void, (YMatrix * dst, float ax, float ay, float az), (dst, ax, ay, az)) \
    X(10, MatrixRotationEuler2, void, (YMatrix * dst, float ax, float ay, float az), (dst, ax, ay, az)) \
    X(11, MatrixRotationEuler3, void, (YMatrix * dst, float ax, float ay, float az), (dst, ax, ay, az)) \
    X(12, MatrixRotationEuler4, void, (YMatrix * dst, float ax, float ay, float az), (dst, ax, ay, az)) \
    X(13, MatrixRotationEuler5, void, (YMatrix * dst, float ax, float ay, float az), (dst, ax, ay, az)) \
    X(14, MatrixRotationEuler6, void, (YMatrix * dst, float ax, float ay, float az), (dst, ax, ay, az)) \
    X(15, FastSin, float, (float angle), (angle))                                               \
    X(16, FastCos, float, (float angle), (angle))                                               \
    X(17, FastSinCos, void, (float* s, float* c, float angle), (s, c, angle))                   \
    X(18, FastSinDeg, float, (float angle), (angle))                                            \
    X(19, FastCosDeg, float, (float angle), (angle))                                            \
    X(20, FastSinCosDeg, void, (float* s, float* c, float angle), (s, c, angle))                \
    X(21, FastSqrt, float, (float a), (a))                                                      \
    X(22, ApproxSqrt, float, (float a), (a))                                                    \
    X(23, VectorLengthSq, float, (const YVector* v), (v))                                       \
    X(24, VectorLength, float, (const YVector* v), (v))                                         \
    X(25, VectorFastLength, float, (const YVector* v), (v))                                     \
    X(26, VectorDot, float, (const YVector* a, const YVector* b), (a, b))                       \
    X(27, VectorCross, void, (YVector * dst, const YVector* a, const YVector* b), (dst, a, b))  \
    X(28, VectorAdd, void, (YVector * dst, const YVector* a, const YVector* b), (dst, a, b))    \
    X(29, VectorSubtract, void, (YVector * dst, const YVector* a, const YVector* b), (dst, a, b)) \
    X(30, VectorCompareLength, int32_t, (const YVector* a, const YVector* b), (a, b))           \
    X(31, VectorScale, void, (YVector * dst, const YVector* a, float s), (dst, a, s))           \
    X(32, VectorDiffers, int32_t, (const YVector* a, const YVector* b), (a, b))                 \
    X(33, VectorTransform, void, (YVector * dst, const YVector* v, const YMatrix* m), (dst, v, m)) \
    X(34, VectorNormalizeSafe, void, (YVector * dst, const YVector* v), (dst, v))               \
    X(35, VectorRotateByAngles, void, (YVector * dst, const YVector* v, const YVector* angles), (dst, v, angles)) \
    X(36, MemClearDwords, void, (uint32_t * dst, uint32_t count), (dst, count))                 \
    X(37, MemFillDwords, void, (uint32_t * dst, uint32_t count, uint32_t value), (dst, count, value)) \
    X(38, MemCopyDwords, void, (uint32_t * dst, const uint32_t* src, uint32_t count), (dst, src, count)) \
    X(39, MinInt, int32_t, (int32_t a, int32_t b), (a, b))                                      \
    X(40, MaxInt, int32_t, (int32_t a, int32_t b), (a, b))                                      \
    X(41, MinFloat, float, (float a, float b), (a, b))                                          \
    X(42, MaxFloat, float, (float a, float b), (a, b))                                          \
    X(43, FloatToInt, int32_t, (float f), (f))                                                  \
    X(44, IntToFloat, float, (int32_t i), (i))                                                  \
    X(45, DivFloat, float, (float a, float b), (a, b))                                          \
    X(46, FastDivFloat, float, (float a, float b), (a, b))                                      \
    X(47, Reciprocal, float, (float x), (x))                                                    \
    X(48, FastReciprocal, float, (float x), (x))                                                \
    X(49, AlphaBlendRect, void,                                                                 \
      (const void* src, int32_t srcX, int32_t srcY, int32_t width, int32_t height,              \
       int32_t srcPitch, void* dst, int32_t dstX, int32_t dstY, int32_t dstWidth,               \
       int32_t dstHeight, int32_t dstPitch, int32_t dstBitsPerPixel, uint32_t dstRedMask),      \
      (src, srcX, srcY, width, height, srcPitch, dst, dstX, dstY, dstWidth, dstHeight,          \
       dstPitch, dstBitsPerPixel, dstRedMask))

// One slot per entry, in entry order.
struct YFastMath {
#define YFASTMATH_SLOT(n, name, result, params, args) result(*name) params;
    YFASTMATH_ENTRIES(YFASTMATH_SLOT)
#undef YFASTMATH_SLOT
};

enum MathEntry {
#define YFASTMATH_ENUM(n, name, result, params, args) kEntry##name = n,
    YFASTMATH_ENTRIES(YFASTMATH_ENUM)
#undef YFASTMATH_ENUM
    kMathEntryCount
};
static_assert(kMathEntryCount == 50, "the table has 50 slots");

// The forms a routine can take.  Portable is our C++ reference form; the
// others are the instruction-set forms the selection rule picks from.
enum class MathForm : uint8_t {
    Portable,
    Plain,        // x87 / integer, no conditional moves
    Cmov,         // x87 with conditional moves
    Mmx,
    MmxExt,       // the MMX extensions (non-temporal stores)
    Amd3DNow,
    Amd3DNowExt,  // extended 3DNow!
    Sse,
    CyrixMmx,     // the vendor-specific extended MMX
    Count
};

// The processor configuration the feature word describes.
enum class MathConfig : uint8_t {
    None,            // no usable floating-point unit
    Plain,
    Cmov,
    Mmx,
    MmxCmov,
    MmxExt,
    Sse,
    Amd3DNow,
    Amd3DNowExt,     // 3DNow! with extended 3DNow!
    Amd3DNowMmxExt,  // 3DNow! with the MMX extensions
    Amd3DNowFull,
};

// Feature-word bits (the detection result).
enum : uint32_t {
    kCpuHasCpuid = 0x00000001,
    kCpuHasFpu = 0x00000002,
    kCpuHasMmx = 0x00000004,
    kCpuHasCmov = 0x00000008,
    kCpuHas3DNow = 0x00000010,
    kCpuHas3DNowExt = 0x00000020,
    kCpuHasSse = 0x00000040,
    kCpuHasCyrixMmx = 0x00000100,
    kCpuHasMmxExt = 0x00000200,
    kCpuNoFpu = 0x80000000,
};

struct MathSelection {
    MathForm form[kMathEntryCount];
};

const char* MathEntryName(int entry);
const char* MathFormName(MathForm form);

MathConfig SelectMathConfig(uint32_t featureWord);
// The form each entry takes for a feature word; a pure function.
MathSelection SelectMathForms(uint32_t featureWord);

// The routines of one form; slots the form lacks, or that this build cannot
// run, are null.  The portable table is complete.
const YFastMath& MathFormTable(MathForm form);
bool MathFormBuilt(MathForm form);

// Stores the selection word; without 0x2 returns 0 and leaves the table as it
// was, otherwise fills all 50 slots and returns 1.  A selected form this
// build does not have is replaced by the portable one.
int InitMathDispatch(uint32_t featureWord);
// The form each slot holds now (Portable until InitMathDispatch fills it).
MathSelection InstalledMathForms();

// The table; it holds the portable forms until InitMathDispatch runs.
extern YFastMath g_fastMath;

#define YFASTMATH_CALL(n, name, result, params, args) \
    inline result name params { return g_fastMath.name args; }
YFASTMATH_ENTRIES(YFASTMATH_CALL)
#undef YFASTMATH_CALL

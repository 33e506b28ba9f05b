// The x87 forms, plain and with conditional moves (FCOMI, FCMOV, CMOV).
// Their arithmetic runs on the x87 stack at the precision detection set.
#include "foundation/YFastMathForms.h"

#if RCV_X86
#include <cstring>

#include "foundation/YVector.h"

#define X87_BELOW_TOP "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)"
#define X87_ALL "st", X87_BELOW_TOP

namespace {
const float kOne = 1.0f;
const float kHalf = 0.5f;
const float kThreeHalves = 1.5f;

// (v.x^2 + v.y^2) + v.z^2 left on the stack
#define X87_LENGTH_SQ(x, y, z)            \
    "flds " x "\n\t"                      \
    "fmul %%st(0), %%st\n\t"              \
    "flds " y "\n\t"                      \
    "fmul %%st(0), %%st\n\t"              \
    "faddp\n\t"                           \
    "flds " z "\n\t"                      \
    "fmul %%st(0), %%st\n\t"              \
    "faddp\n\t"

float LengthSq(const YVector* v)
{
    float r;
    asm(X87_LENGTH_SQ("%1", "%2", "%3") : "=t"(r) : "m"(v->x), "m"(v->y), "m"(v->z) : X87_BELOW_TOP);
    return r;
}

// ((r0*c0 + r1*c1) + r2*c2) + r3*c3
float Dot4(const float* row, const float* col)
{
    float r;
    asm("flds %1\n\tfmuls %5\n\t"
        "flds %2\n\tfmuls %6\n\tfaddp\n\t"
        "flds %3\n\tfmuls %7\n\tfaddp\n\t"
        "flds %4\n\tfmuls %8\n\tfaddp"
        : "=t"(r)
        : "m"(row[0]), "m"(row[1]), "m"(row[2]), "m"(row[3]),
          "m"(col[0]), "m"(col[4]), "m"(col[8]), "m"(col[12])
        : X87_BELOW_TOP);
    return r;
}

// ((r0*c0 + r1*c1) + r2*c2)
float Dot3(const float* row, const float* col)
{
    float r;
    asm("flds %1\n\tfmuls %4\n\t"
        "flds %2\n\tfmuls %5\n\tfaddp\n\t"
        "flds %3\n\tfmuls %6\n\tfaddp"
        : "=t"(r)
        : "m"(row[0]), "m"(row[1]), "m"(row[2]), "m"(col[0]), "m"(col[4]), "m"(col[8])
        : X87_BELOW_TOP);
    return r;
}

float AddX87(float a, float b)
{
    float r;
    asm("flds %1\n\tfadds %2" : "=t"(r) : "m"(a), "m"(b) : X87_BELOW_TOP);
    return r;
}

// (a*c + b*s, b*c - a*s)
void RotatePair(float& a, float& b, float c, float s)
{
    float na, nb;
    asm("flds %2\n\tfmuls %4\n\t"
        "flds %3\n\tfmuls %5\n\tfaddp\n\t"
        "fstps %0\n\t"
        "flds %2\n\tfmuls %5\n\tfchs\n\t"
        "flds %3\n\tfmuls %4\n\tfaddp\n\t"
        "fstps %1"
        : "=m"(na), "=m"(nb)
        : "m"(a), "m"(b), "m"(c), "m"(s)
        : X87_ALL);
    a = na;
    b = nb;
}

// x87 status word after comparing a with b: C3 equal, C0 below, C2 unordered.
uint16_t CompareStatus(float a, float b)
{
    uint16_t sw;
    asm("flds %2\n\tflds %1\n\tfucompp\n\tfnstsw %0" : "=a"(sw) : "m"(a), "m"(b) : X87_ALL);
    return sw;
}

constexpr uint16_t kC0 = 0x0100, kC2 = 0x0400, kC3 = 0x4000;

float SqrtX87(float a)
{
    float r;
    asm("flds %1\n\tfsqrt" : "=t"(r) : "m"(a) : X87_BELOW_TOP);
    return r;
}

// y1 = y0 * (1.5 - 0.5*a*y0*y0), then a*y1
float ApproxSqrtX87(float a)
{
    uint32_t bits;
    std::memcpy(&bits, &a, 4);
    bits = 0x5f3759dfu - (bits >> 1);
    float y0;
    std::memcpy(&y0, &bits, 4);
    float r;
    asm("flds %2\n\tfmuls %1\n\tfmuls %3\n\tfmuls %3\n\t"
        "fsubrs %4\n\t"
        "fmuls %3\n\tfmuls %1"
        : "=t"(r)
        : "m"(a), "m"(kHalf), "m"(y0), "m"(kThreeHalves)
        : X87_BELOW_TOP);
    return r;
}
}  // namespace

namespace fm_plain {
void MatrixMultiply(YMatrix* dst, const YMatrix* a, const YMatrix* b)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) dst->m[i][j] = Dot4(b->m[i], &a->m[0][j]);
}

void MatrixMultiplyAffine(YMatrix* dst, const YMatrix* a, const YMatrix* b)
{
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            float sum = Dot3(b->m[i], &a->m[0][j]);
            dst->m[i][j] = i == 3 ? AddX87(sum, a->m[3][j]) : sum;
        }
        dst->m[i][3] = i == 3 ? 1.0f : 0.0f;
    }
}

void MatrixRotationEuler1(YMatrix* d, float x, float y, float z) { fm_euler::Build(1, d, x, y, z, FastSinCos); }
void MatrixRotationEuler2(YMatrix* d, float x, float y, float z) { fm_euler::Build(2, d, x, y, z, FastSinCos); }
void MatrixRotationEuler3(YMatrix* d, float x, float y, float z) { fm_euler::Build(3, d, x, y, z, FastSinCos); }
void MatrixRotationEuler4(YMatrix* d, float x, float y, float z) { fm_euler::Build(4, d, x, y, z, FastSinCos); }
void MatrixRotationEuler5(YMatrix* d, float x, float y, float z) { fm_euler::Build(5, d, x, y, z, FastSinCos); }
void MatrixRotationEuler6(YMatrix* d, float x, float y, float z) { fm_euler::Build(6, d, x, y, z, FastSinCos); }

float FastSqrt(float a)
{
    return SqrtX87(a);
}

float ApproxSqrt(float a)
{
    return ApproxSqrtX87(a);
}

float VectorLengthSq(const YVector* v)
{
    return LengthSq(v);
}

float VectorLength(const YVector* v)
{
    float r;
    asm(X87_LENGTH_SQ("%1", "%2", "%3") "fsqrt"
        : "=t"(r) : "m"(v->x), "m"(v->y), "m"(v->z) : X87_BELOW_TOP);
    return r;
}

float VectorFastLength(const YVector* v)
{
    return ApproxSqrtX87(LengthSq(v));
}

float VectorDot(const YVector* a, const YVector* b)
{
    float r;
    asm("flds %1\n\tfmuls %4\n\t"
        "flds %2\n\tfmuls %5\n\tfaddp\n\t"
        "flds %3\n\tfmuls %6\n\tfaddp"
        : "=t"(r)
        : "m"(a->x), "m"(a->y), "m"(a->z), "m"(b->x), "m"(b->y), "m"(b->z)
        : X87_BELOW_TOP);
    return r;
}

void VectorCross(YVector* dst, const YVector* a, const YVector* b)
{
    // each component as p*q + (-(r*s)); all three stay on the stack until
    // the stores, so dst may be a source
    asm("flds %5\n\tfmuls %7\n\tfchs\n\tflds %4\n\tfmuls %8\n\tfaddp\n\t"
        "flds %3\n\tfmuls %8\n\tfchs\n\tflds %5\n\tfmuls %6\n\tfaddp\n\t"
        "flds %4\n\tfmuls %6\n\tfchs\n\tflds %3\n\tfmuls %7\n\tfaddp\n\t"
        "fstps %2\n\tfstps %1\n\tfstps %0"
        : "=m"(dst->x), "=m"(dst->y), "=m"(dst->z)
        : "m"(a->x), "m"(a->y), "m"(a->z), "m"(b->x), "m"(b->y), "m"(b->z)
        : X87_ALL);
}

void VectorAdd(YVector* dst, const YVector* a, const YVector* b)
{
    asm("flds %3\n\tfadds %6\n\t"
        "flds %4\n\tfadds %7\n\t"
        "flds %5\n\tfadds %8\n\t"
        "fstps %2\n\tfstps %1\n\tfstps %0"
        : "=m"(dst->x), "=m"(dst->y), "=m"(dst->z)
        : "m"(a->x), "m"(a->y), "m"(a->z), "m"(b->x), "m"(b->y), "m"(b->z)
        : X87_ALL);
}

void VectorSubtract(YVector* dst, const YVector* a, const YVector* b)
{
    asm("flds %3\n\tfsubs %6\n\t"
        "flds %4\n\tfsubs %7\n\t"
        "flds %5\n\tfsubs %8\n\t"
        "fstps %2\n\tfstps %1\n\tfstps %0"
        : "=m"(dst->x), "=m"(dst->y), "=m"(dst->z)
        : "m"(a->x), "m"(a->y), "m"(a->z), "m"(b->x), "m"(b->y), "m"(b->z)
        : X87_ALL);
}

int32_t VectorCompareLength(const YVector* a, const YVector* b)
{
    const uint16_t sw = CompareStatus(LengthSq(a), LengthSq(b));
    if (sw & kC2) return 2;
    if (sw & kC3) return 0;
    return (sw & kC0) ? 2 : 1;
}

void VectorScale(YVector* dst, const YVector* a, float s)
{
    asm("flds %3\n\tfmuls %6\n\t"
        "flds %4\n\tfmuls %6\n\t"
        "flds %5\n\tfmuls %6\n\t"
        "fstps %2\n\tfstps %1\n\tfstps %0"
        : "=m"(dst->x), "=m"(dst->y), "=m"(dst->z)
        : "m"(a->x), "m"(a->y), "m"(a->z), "m"(s)
        : X87_ALL);
}

int32_t VectorDiffers(const YVector* a, const YVector* b)
{
    const uint16_t kEqual = kC3;
    const uint16_t kMask = kC0 | kC2 | kC3;
    if ((CompareStatus(a->x, b->x) & kMask) != kEqual) return 1;
    if ((CompareStatus(a->y, b->y) & kMask) != kEqual) return 1;
    if ((CompareStatus(a->z, b->z) & kMask) != kEqual) return 1;
    return 0;
}

void VectorTransform(YVector* dst, const YVector* v, const YMatrix* m)
{
    float out[3];
    for (int j = 0; j < 3; ++j)
        asm("flds %1\n\tfmuls %4\n\t"
            "flds %2\n\tfmuls %5\n\tfaddp\n\t"
            "flds %3\n\tfmuls %6\n\tfadds %7\n\tfaddp"
            : "=t"(out[j])
            : "m"(v->x), "m"(v->y), "m"(v->z),
              "m"(m->m[0][j]), "m"(m->m[1][j]), "m"(m->m[2][j]), "m"(m->m[3][j])
            : X87_BELOW_TOP);
    dst->x = out[0];
    dst->y = out[1];
    dst->z = out[2];
}

void VectorNormalizeSafe(YVector* dst, const YVector* v)
{
    // FTST and the status word; a squared length of exactly 0 skips the stores
    asm(X87_LENGTH_SQ("%3", "%4", "%5")
        "ftst\n\t"
        "fnstsw %%ax\n\t"
        "andb $0x45, %%ah\n\t"
        "cmpb $0x40, %%ah\n\t"
        "je 1f\n\t"
        "fsqrt\n\t"
        "fdivrs %6\n\t"
        "flds %3\n\tfmul %%st(1), %%st\n\t"
        "flds %4\n\tfmul %%st(2), %%st\n\t"
        "flds %5\n\tfmul %%st(3), %%st\n\t"
        "fstps %2\n\tfstps %1\n\tfstps %0\n"
        "1:\n\t"
        "fstp %%st(0)"
        : "+m"(dst->x), "+m"(dst->y), "+m"(dst->z)
        : "m"(v->x), "m"(v->y), "m"(v->z), "m"(kOne)
        : "ax", "cc", X87_ALL);
}

void VectorRotateByAngles(YVector* dst, const YVector* v, const YVector* angles)
{
    float s, c;
    float x = v->x, y = v->y, z = v->z;
    ::FastSinCosDeg(&s, &c, angles->z);
    RotatePair(x, y, c, s);
    ::FastSinCosDeg(&s, &c, angles->x);
    RotatePair(y, z, c, s);
    ::FastSinCosDeg(&s, &c, angles->y);
    RotatePair(x, z, c, s);
    dst->y = y;
    dst->x = x;
    dst->z = z;
}

void MemClearDwords(uint32_t* dst, uint32_t count)
{
    size_t n = count;
    asm volatile("rep stosl" : "+D"(dst), "+c"(n) : "a"(0u) : "memory");
}

void MemFillDwords(uint32_t* dst, uint32_t count, uint32_t value)
{
    size_t n = count;
    asm volatile("rep stosl" : "+D"(dst), "+c"(n) : "a"(value) : "memory");
}

void MemCopyDwords(uint32_t* dst, const uint32_t* src, uint32_t count)
{
    size_t n = count;
    asm volatile("rep movsl" : "+D"(dst), "+S"(src), "+c"(n) : : "memory");
}

int32_t MinInt(int32_t a, int32_t b)
{
    if (b < a) return b;
    return a;
}

int32_t MaxInt(int32_t a, int32_t b)
{
    if (b > a) return b;
    return a;
}

float MinFloat(float a, float b)
{
    // b < a: C0 set when b is below a
    return (CompareStatus(b, a) & (kC0 | kC2 | kC3)) == kC0 ? b : a;
}

float MaxFloat(float a, float b)
{
    return (CompareStatus(b, a) & (kC0 | kC2 | kC3)) == 0 ? b : a;
}

int32_t FloatToInt(float f)
{
    int32_t r;
    asm("flds %1\n\tfistpl %0" : "=m"(r) : "m"(f) : X87_ALL);
    return r;
}

float IntToFloat(int32_t i)
{
    float r;
    asm("fildl %1" : "=t"(r) : "m"(i) : X87_BELOW_TOP);
    return r;
}

float DivFloat(float a, float b)
{
    float r;
    asm("flds %1\n\tfdivs %2" : "=t"(r) : "m"(a), "m"(b) : X87_BELOW_TOP);
    return r;
}

float FastDivFloat(float a, float b)
{
    return DivFloat(a, b);
}

float Reciprocal(float x)
{
    float r;
    asm("fld1\n\tfdivs %1" : "=t"(r) : "m"(x) : X87_BELOW_TOP);
    return r;
}

float FastReciprocal(float x)
{
    return Reciprocal(x);
}
}  // namespace fm_plain

namespace fm_cmov {
void MatrixRotationEuler1(YMatrix* d, float x, float y, float z) { fm_euler::Build(1, d, x, y, z, FastSinCos); }
void MatrixRotationEuler2(YMatrix* d, float x, float y, float z) { fm_euler::Build(2, d, x, y, z, FastSinCos); }
void MatrixRotationEuler3(YMatrix* d, float x, float y, float z) { fm_euler::Build(3, d, x, y, z, FastSinCos); }
void MatrixRotationEuler4(YMatrix* d, float x, float y, float z) { fm_euler::Build(4, d, x, y, z, FastSinCos); }
void MatrixRotationEuler5(YMatrix* d, float x, float y, float z) { fm_euler::Build(5, d, x, y, z, FastSinCos); }
void MatrixRotationEuler6(YMatrix* d, float x, float y, float z) { fm_euler::Build(6, d, x, y, z, FastSinCos); }

int32_t VectorCompareLength(const YVector* a, const YVector* b)
{
    // 1 when above, 2 when below or unordered, 0 when equal
    int32_t r = 0;
    const int32_t one = 1, two = 2;
    const float la = LengthSq(a), lb = LengthSq(b);
    asm("flds %4\n\tflds %3\n\t"
        "fucomip %%st(1), %%st\n\t"
        "fstp %%st(0)\n\t"
        "cmova %1, %0\n\t"
        "cmovb %2, %0"
        : "+r"(r)
        : "r"(one), "r"(two), "m"(la), "m"(lb)
        : "cc", X87_ALL);
    return r;
}

int32_t VectorDiffers(const YVector* a, const YVector* b)
{
    int32_t r = 0;
    const int32_t one = 1;
    asm("flds %5\n\tflds %2\n\tfucomip %%st(1), %%st\n\tfstp %%st(0)\n\t"
        "cmovne %1, %0\n\tcmovp %1, %0\n\t"
        "flds %6\n\tflds %3\n\tfucomip %%st(1), %%st\n\tfstp %%st(0)\n\t"
        "cmovne %1, %0\n\tcmovp %1, %0\n\t"
        "flds %7\n\tflds %4\n\tfucomip %%st(1), %%st\n\tfstp %%st(0)\n\t"
        "cmovne %1, %0\n\tcmovp %1, %0"
        : "+r"(r)
        : "r"(one), "m"(a->x), "m"(a->y), "m"(a->z), "m"(b->x), "m"(b->y), "m"(b->z)
        : "cc", X87_ALL);
    return r;
}

void VectorNormalizeSafe(YVector* dst, const YVector* v)
{
    // FUCOMI against 0 instead of the status word
    asm(X87_LENGTH_SQ("%3", "%4", "%5")
        "fldz\n\t"
        "fucomip %%st(1), %%st\n\t"
        "jnp 2f\n\t"
        "jmp 3f\n"
        "2:\n\t"
        "je 1f\n"
        "3:\n\t"
        "fsqrt\n\t"
        "fdivrs %6\n\t"
        "flds %3\n\tfmul %%st(1), %%st\n\t"
        "flds %4\n\tfmul %%st(2), %%st\n\t"
        "flds %5\n\tfmul %%st(3), %%st\n\t"
        "fstps %2\n\tfstps %1\n\tfstps %0\n"
        "1:\n\t"
        "fstp %%st(0)"
        : "+m"(dst->x), "+m"(dst->y), "+m"(dst->z)
        : "m"(v->x), "m"(v->y), "m"(v->z), "m"(kOne)
        : "cc", X87_ALL);
}

int32_t MinInt(int32_t a, int32_t b)
{
    asm("cmpl %0, %1\n\tcmovl %1, %0" : "+r"(a) : "r"(b) : "cc");
    return a;
}

int32_t MaxInt(int32_t a, int32_t b)
{
    asm("cmpl %0, %1\n\tcmovg %1, %0" : "+r"(a) : "r"(b) : "cc");
    return a;
}

float MinFloat(float a, float b)
{
    // st0 = a, st1 = b; take b only when a is above it (not when equal or
    // unordered), so one FCMOV does
    float r;
    asm("flds %2\n\tflds %1\n\t"
        "fucomi %%st(1), %%st\n\t"
        "fcmovnbe %%st(1), %%st\n\t"
        "fstp %%st(1)"
        : "=t"(r)
        : "m"(a), "m"(b)
        : "cc", X87_BELOW_TOP);
    return r;
}

float MaxFloat(float a, float b)
{
    // keep b only when b is above a
    float r;
    asm("flds %1\n\tflds %2\n\t"
        "fucomi %%st(1), %%st\n\t"
        "fcmovbe %%st(1), %%st\n\t"
        "fstp %%st(1)"
        : "=t"(r)
        : "m"(a), "m"(b)
        : "cc", X87_BELOW_TOP);
    return r;
}
}  // namespace fm_cmov
#endif

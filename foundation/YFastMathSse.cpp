// The SSE forms: packed matrix products, scalar SSE arithmetic on the
// three-component vectors, and the processor's reciprocal and
// reciprocal-square-root estimates, refined by one Newton step where the
// routine is not one of the approximate ones.
#include "foundation/YFastMathForms.h"

#if RCV_X86
#include <xmmintrin.h>

#include "foundation/YVector.h"

namespace {
inline void Store3(YVector* v, __m128 r)
{
    _mm_storel_pi(reinterpret_cast<__m64*>(&v->x), r);
    _mm_store_ss(&v->z, _mm_movehl_ps(r, r));
}

// The processor's estimates, in place on the scalar's own register: no
// zeroing of the upper lanes, no trip through a general register.
inline float RsqrtEstimate(float a)
{
    float r = a;
    asm("rsqrtss %0, %0" : "+x"(r));
    return r;
}

inline float RcpEstimate(float b)
{
    float r = b;
    asm("rcpss %0, %0" : "+x"(r));
    return r;
}

// r1 = 0.5 * r0 * (3 - a * r0 * r0)
inline float RefinedRsqrt(float a)
{
    const float r0 = RsqrtEstimate(a);
    return (0.5f * r0) * (3.0f - (a * r0) * r0);
}

// a * r1; a of 0 gives 0
inline float SqrtRefined(float a)
{
    const float r = a * RefinedRsqrt(a);
    return a != 0.0f ? r : 0.0f;
}

inline float SqrtEstimate(float a)
{
    const float r = a * RsqrtEstimate(a);
    return a != 0.0f ? r : 0.0f;
}

// r1 = r0 * (2 - b * r0)
inline float RefinedRcp(float b)
{
    const float r0 = RcpEstimate(b);
    return r0 * (2.0f - b * r0);
}

inline float LengthSq(const YVector* v)
{
    const float x = v->x, y = v->y, z = v->z;
    return (x * x + y * y) + z * z;
}

inline void Multiply(YMatrix* dst, const YMatrix* a, const YMatrix* b, bool affine)
{
    const __m128 a0 = _mm_load_ps(a->m[0]);
    const __m128 a1 = _mm_load_ps(a->m[1]);
    const __m128 a2 = _mm_load_ps(a->m[2]);
    const __m128 a3 = _mm_load_ps(a->m[3]);
    for (int i = 0; i < 4; ++i) {
        const float* bi = b->m[i];
        __m128 r = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(bi[0]), a0), _mm_mul_ps(_mm_set1_ps(bi[1]), a1));
        r = _mm_add_ps(r, _mm_mul_ps(_mm_set1_ps(bi[2]), a2));
        if (!affine)
            r = _mm_add_ps(r, _mm_mul_ps(_mm_set1_ps(bi[3]), a3));
        else if (i == 3)
            r = _mm_add_ps(r, a3);
        _mm_store_ps(dst->m[i], r);
    }
}
}  // namespace

namespace fm_sse {
void MatrixMultiply(YMatrix* dst, const YMatrix* a, const YMatrix* b)
{
    Multiply(dst, a, b, false);
}

void MatrixMultiplyAffine(YMatrix* dst, const YMatrix* a, const YMatrix* b)
{
    Multiply(dst, a, b, true);
}

float FastSqrt(float a)
{
    return SqrtRefined(a);
}

float ApproxSqrt(float a)
{
    return SqrtEstimate(a);
}

float VectorLength(const YVector* v)
{
    return SqrtRefined(LengthSq(v));
}

float VectorFastLength(const YVector* v)
{
    return SqrtEstimate(LengthSq(v));
}

void VectorTransform(YVector* dst, const YVector* v, const YMatrix* m)
{
    const __m128 xy = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(v->x), _mm_load_ps(m->m[0])),
                                 _mm_mul_ps(_mm_set1_ps(v->y), _mm_load_ps(m->m[1])));
    const __m128 zw = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(v->z), _mm_load_ps(m->m[2])),
                                 _mm_load_ps(m->m[3]));
    Store3(dst, _mm_add_ps(xy, zw));
}

void VectorNormalizeSafe(YVector* dst, const YVector* v)
{
    const float x = v->x, y = v->y, z = v->z;
    const float s = (x * x + y * y) + z * z;
    if (s == 0.0f) return;
    const float r = RefinedRsqrt(s);
    dst->x = x * r;
    dst->y = y * r;
    dst->z = z * r;
}

void VectorRotateByAngles(YVector* dst, const YVector* v, const YVector* angles)
{
    // the three (sine, cosine) pairs, then each plane rotation as two lanes
    float s[3], c[3];
    ::FastSinCosDeg(&s[0], &c[0], angles->z);
    ::FastSinCosDeg(&s[1], &c[1], angles->x);
    ::FastSinCosDeg(&s[2], &c[2], angles->y);
    // (a, b) -> (a*c + b*s, b*c - a*s)
    auto rotate = [](float& a, float& b, float cs, float sn) {
        const __m128 ab = _mm_setr_ps(a, b, 0.0f, 0.0f);
        const __m128 ba = _mm_setr_ps(b, -a, 0.0f, 0.0f);
        const __m128 r = _mm_add_ps(_mm_mul_ps(ab, _mm_set1_ps(cs)), _mm_mul_ps(ba, _mm_set1_ps(sn)));
        float out[4];
        _mm_storeu_ps(out, r);
        a = out[0];
        b = out[1];
    };
    float x = v->x, y = v->y, z = v->z;
    rotate(x, y, c[0], s[0]);
    rotate(y, z, c[1], s[1]);
    rotate(x, z, c[2], s[2]);
    dst->y = y;
    dst->x = x;
    dst->z = z;
}

int32_t FloatToInt(float f)
{
    return _mm_cvtt_ss2si(_mm_set_ss(f));
}

float IntToFloat(int32_t i)
{
    return _mm_cvtss_f32(_mm_cvtsi32_ss(_mm_setzero_ps(), i));
}

float DivFloat(float a, float b)
{
    return a * RefinedRcp(b);
}

float FastDivFloat(float a, float b)
{
    return a * RcpEstimate(b);
}

float Reciprocal(float x)
{
    return RefinedRcp(x);
}

float FastReciprocal(float x)
{
    return RcpEstimate(x);
}
}  // namespace fm_sse
#endif

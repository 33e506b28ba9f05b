// The SSE forms: packed products and the processor's reciprocal and
// reciprocal-square-root estimates, refined by one Newton step where the
// routine is not one of the approximate ones.
#include "foundation/YFastMathForms.h"

#if RCV_X86
#include <xmmintrin.h>

#include "foundation/YVector.h"

namespace {
inline __m128 Load3(const YVector* v)
{
    const __m128 xy = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(&v->x));
    return _mm_movelh_ps(xy, _mm_load_ss(&v->z));
}

inline void Store3(YVector* v, __m128 r)
{
    _mm_storel_pi(reinterpret_cast<__m64*>(&v->x), r);
    _mm_store_ss(&v->z, _mm_movehl_ps(r, r));
}

// (p0 + p1) + p2 of the lanes
inline __m128 Sum3(__m128 p)
{
    const __m128 p1 = _mm_shuffle_ps(p, p, _MM_SHUFFLE(1, 1, 1, 1));
    const __m128 p2 = _mm_movehl_ps(p, p);
    return _mm_add_ss(_mm_add_ss(p, p1), p2);
}

inline __m128 LengthSq(const YVector* v)
{
    const __m128 a = Load3(v);
    return Sum3(_mm_mul_ps(a, a));
}

// r1 = 0.5 * r0 * (3 - a * r0 * r0); lanes where a is 0 give 0
inline __m128 RefinedRsqrt(__m128 a)
{
    const __m128 r0 = _mm_rsqrt_ss(a);
    const __m128 t = _mm_sub_ss(_mm_set_ss(3.0f), _mm_mul_ss(_mm_mul_ss(a, r0), r0));
    return _mm_mul_ss(_mm_mul_ss(r0, t), _mm_set_ss(0.5f));
}

inline __m128 NonZero(__m128 a, __m128 value)
{
    return _mm_and_ps(value, _mm_cmpneq_ss(a, _mm_setzero_ps()));
}

inline float SqrtRefined(__m128 a)
{
    return _mm_cvtss_f32(NonZero(a, _mm_mul_ss(a, RefinedRsqrt(a))));
}

inline float SqrtEstimate(__m128 a)
{
    return _mm_cvtss_f32(NonZero(a, _mm_mul_ss(a, _mm_rsqrt_ss(a))));
}

// r1 = r0 * (2 - b * r0)
inline __m128 RefinedRcp(__m128 b)
{
    const __m128 r0 = _mm_rcp_ss(b);
    return _mm_mul_ss(r0, _mm_sub_ss(_mm_set_ss(2.0f), _mm_mul_ss(b, r0)));
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
    return SqrtRefined(_mm_set_ss(a));
}

float ApproxSqrt(float a)
{
    return SqrtEstimate(_mm_set_ss(a));
}

float VectorLengthSq(const YVector* v)
{
    return _mm_cvtss_f32(LengthSq(v));
}

float VectorLength(const YVector* v)
{
    return SqrtRefined(LengthSq(v));
}

float VectorFastLength(const YVector* v)
{
    return SqrtEstimate(LengthSq(v));
}

float VectorDot(const YVector* a, const YVector* b)
{
    return _mm_cvtss_f32(Sum3(_mm_mul_ps(Load3(a), Load3(b))));
}

void VectorCross(YVector* dst, const YVector* a, const YVector* b)
{
    const __m128 va = Load3(a), vb = Load3(b);
    const __m128 ayzx = _mm_shuffle_ps(va, va, _MM_SHUFFLE(3, 0, 2, 1));
    const __m128 bzxy = _mm_shuffle_ps(vb, vb, _MM_SHUFFLE(3, 1, 0, 2));
    const __m128 azxy = _mm_shuffle_ps(va, va, _MM_SHUFFLE(3, 1, 0, 2));
    const __m128 byzx = _mm_shuffle_ps(vb, vb, _MM_SHUFFLE(3, 0, 2, 1));
    Store3(dst, _mm_sub_ps(_mm_mul_ps(ayzx, bzxy), _mm_mul_ps(azxy, byzx)));
}

void VectorAdd(YVector* dst, const YVector* a, const YVector* b)
{
    Store3(dst, _mm_add_ps(Load3(a), Load3(b)));
}

void VectorSubtract(YVector* dst, const YVector* a, const YVector* b)
{
    Store3(dst, _mm_sub_ps(Load3(a), Load3(b)));
}

int32_t VectorCompareLength(const YVector* a, const YVector* b)
{
    const __m128 la = LengthSq(a), lb = LengthSq(b);
    if (_mm_comieq_ss(la, lb)) return 0;
    return _mm_comigt_ss(la, lb) ? 1 : 2;
}

void VectorScale(YVector* dst, const YVector* a, float s)
{
    Store3(dst, _mm_mul_ps(Load3(a), _mm_set1_ps(s)));
}

int32_t VectorDiffers(const YVector* a, const YVector* b)
{
    return (_mm_movemask_ps(_mm_cmpneq_ps(Load3(a), Load3(b))) & 7) ? 1 : 0;
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
    const __m128 s = LengthSq(v);
    if (_mm_cvtss_f32(s) == 0.0f) return;
    const __m128 r = RefinedRsqrt(s);
    Store3(dst, _mm_mul_ps(Load3(v), _mm_shuffle_ps(r, r, 0)));
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
    return _mm_cvtss_f32(_mm_mul_ss(_mm_set_ss(a), RefinedRcp(_mm_set_ss(b))));
}

float FastDivFloat(float a, float b)
{
    return _mm_cvtss_f32(_mm_mul_ss(_mm_set_ss(a), _mm_rcp_ss(_mm_set_ss(b))));
}

float Reciprocal(float x)
{
    return _mm_cvtss_f32(RefinedRcp(_mm_set_ss(x)));
}

float FastReciprocal(float x)
{
    return _mm_cvtss_f32(_mm_rcp_ss(_mm_set_ss(x)));
}
}  // namespace fm_sse
#endif

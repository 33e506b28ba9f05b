// The pixel steps of the software device and the choice among them. This
// file is built once for the baseline instruction set and once more, as
// Direct3DPixelStepsAvx2.cpp, for processors with AVX2; the pipeline picks
// the set at run time. Both give the same pixels.
#ifndef RCV_PIXEL_ISA
#define RCV_PIXEL_ISA sse2
#endif

#include "platform/Direct3DPixelPipelineWork.h"

#include "platform/Direct3DTexture.h"
#include "platform/DirectDrawSurface.h"

#include <cmath>
#include <cstring>
#include <emmintrin.h>
#ifdef __AVX2__
#include <immintrin.h>
#endif

namespace platform {
namespace RCV_PIXEL_ISA {
namespace {
constexpr int K = Direct3DPixelPipeline::kChunk;

// x * y / 255, rounded, for bytes.
inline int Mul8(int x, int y)
{
    int t = x * y + 128;
    return (t + (t >> 8)) >> 8;
}
inline uint8_t Sat(int v)
{
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}
inline int FloorInt(float f)
{
    int i = static_cast<int>(f);
    return i - (f < static_cast<float>(i));
}
// Mul8 in each 16-bit lane (bytes widened): exact, no lane overflows.
inline __m128i Mul8x8(__m128i x, __m128i y)
{
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(x, y), _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}
// Mul8 of sixteen bytes.
inline __m128i Mul8x16(__m128i x, __m128i y)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = Mul8x8(_mm_unpacklo_epi8(x, zero), _mm_unpacklo_epi8(y, zero));
    const __m128i hi = Mul8x8(_mm_unpackhi_epi8(x, zero), _mm_unpackhi_epi8(y, zero));
    return _mm_packus_epi16(lo, hi);
}
// Four mask bytes (0 or 1) as four 32-bit lane masks.
inline __m128i LaneMask4(const uint8_t* mask)
{
    int m;
    std::memcpy(&m, mask, 4);
    __m128i v = _mm_cvtsi32_si128(m);
    v = _mm_unpacklo_epi8(v, v);
    v = _mm_unpacklo_epi16(v, v);
    return _mm_cmpgt_epi32(v, _mm_setzero_si128());
}
}  // namespace

namespace {
typedef Direct3DPixelPipeline::Run Run;
typedef Direct3DPixelPipeline::Work Work;

// ---------------------------------------------------------------- Z
void ZValues(const Run& run, double scale, float offset, uint32_t* out)
{
    // Interpolated in double so that 32-bit buffers keep their precision.
    double z = static_cast<double>(run.z) - offset, dz = run.dz;
    const int n = run.n;
    for (int i = 0; i < n; ++i) {
        double v = (z + dz * i) * scale;
        v = v < 0 ? 0 : (v > scale ? scale : v);
        out[i] = static_cast<uint32_t>(v);
    }
}
void ZValuesFast(const Run& run, double scale, float offset, uint32_t* out)
{
    const float z = run.z - offset, dz = run.dz, s = static_cast<float>(scale);
    const int n = run.n;
    // Four at a time, the last four whole (out holds kChunk values; those
    // past the run are never read).
    const __m128 vz = _mm_set1_ps(z), vdz = _mm_set1_ps(dz), vs = _mm_set1_ps(s), zero = _mm_setzero_ps();
    for (int i = 0; i < n; i += 4) {
        const __m128 fi = _mm_add_ps(_mm_set1_ps(static_cast<float>(i)), _mm_set_ps(3, 2, 1, 0));
        __m128 v = _mm_mul_ps(_mm_add_ps(vz, _mm_mul_ps(vdz, fi)), vs);
        const __m128 below = _mm_cmplt_ps(v, zero), over = _mm_cmpgt_ps(v, vs);
        v = _mm_andnot_ps(below, v);
        v = _mm_or_ps(_mm_and_ps(over, vs), _mm_andnot_ps(over, v));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_cvttps_epi32(v));
    }
}

template <int Bytes>
inline uint32_t ZRead(const uint8_t* p)
{
    if (Bytes == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    if (Bytes == 3) return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16);
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
template <int Bytes>
inline void ZStore(uint8_t* p, uint32_t v)
{
    if (Bytes == 2) {
        uint16_t s = static_cast<uint16_t>(v);
        std::memcpy(p, &s, 2);
    } else if (Bytes == 3) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
    } else {
        std::memcpy(p, &v, 4);
    }
}
template <int Func>
inline bool Compare(uint32_t a, uint32_t b)
{
    switch (Func) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return a < b;
    case D3DCMP_EQUAL: return a == b;
    case D3DCMP_LESSEQUAL: return a <= b;
    case D3DCMP_GREATER: return a > b;
    case D3DCMP_NOTEQUAL: return a != b;
    case D3DCMP_GREATEREQUAL: return a >= b;
    default: return true;
    }
}
template <int Bytes, int Func>
int ZTest(const uint8_t* row, const uint32_t* z, uint8_t* mask, int n)
{
    int passed = 0;
    int i = 0;
    if (Bytes == 2 && (Func == D3DCMP_LESS || Func == D3DCMP_LESSEQUAL)) {
        // Eight at a time: the values fit in 16 bits, so signed 32-bit compares hold.
        const __m128i zero = _mm_setzero_si128();
        __m128i count = zero;
        for (; i + 8 <= n; i += 8) {
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i * 2));
            const __m128i d0 = _mm_unpacklo_epi16(d, zero), d1 = _mm_unpackhi_epi16(d, zero);
            const __m128i z0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(z + i));
            const __m128i z1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(z + i + 4));
            // Fail where z > d (LESSEQUAL) or z >= d (LESS).
            __m128i f0 = _mm_cmpgt_epi32(z0, d0), f1 = _mm_cmpgt_epi32(z1, d1);
            if (Func == D3DCMP_LESS) {
                f0 = _mm_or_si128(f0, _mm_cmpeq_epi32(z0, d0));
                f1 = _mm_or_si128(f1, _mm_cmpeq_epi32(z1, d1));
            }
            const __m128i fail = _mm_packs_epi32(f0, f1);  // -1 or 0 per value
            const __m128i pass = _mm_add_epi16(fail, _mm_set1_epi16(1));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(mask + i), _mm_packus_epi16(pass, pass));
            count = _mm_add_epi16(count, pass);
        }
        alignas(16) int16_t sums[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(sums), count);
        for (int k = 0; k < 8; ++k) passed += sums[k];
    }
    for (; i < n; ++i) {
        uint8_t m = Compare<Func>(z[i], ZRead<Bytes>(row + i * Bytes)) ? 1 : 0;
        mask[i] = m;
        passed += m;
    }
    return passed;
}
template <int Bytes>
void ZWrite(uint8_t* row, const uint32_t* z, const uint8_t* mask, int n)
{
    int i = 0;
    if (Bytes == 2) {
        // Eight at a time: the values (at most 0xFFFF) packed to 16 bits, kept where masked off.
        const __m128i bias = _mm_set1_epi32(0x8000), bias16 = _mm_set1_epi16(-0x8000), zero = _mm_setzero_si128();
        for (; i + 8 <= n; i += 8) {
            const __m128i z0 = _mm_sub_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(z + i)), bias);
            const __m128i z1 = _mm_sub_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(z + i + 4)), bias);
            const __m128i values = _mm_xor_si128(_mm_packs_epi32(z0, z1), bias16);
            const __m128i m = _mm_cmpgt_epi16(_mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(mask + i)), zero), zero);
            __m128i* at = reinterpret_cast<__m128i*>(row + i * 2);
            const __m128i old = _mm_loadu_si128(at);
            _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(m, values), _mm_andnot_si128(m, old)));
        }
    }
    for (; i < n; ++i)
        if (mask[i]) ZStore<Bytes>(row + i * Bytes, z[i]);
}
template <int Bytes>
Work::ZTestFn PickZTest(DWORD func)
{
    switch (func) {
    case D3DCMP_NEVER: return ZTest<Bytes, D3DCMP_NEVER>;
    case D3DCMP_LESS: return ZTest<Bytes, D3DCMP_LESS>;
    case D3DCMP_EQUAL: return ZTest<Bytes, D3DCMP_EQUAL>;
    case D3DCMP_LESSEQUAL: return ZTest<Bytes, D3DCMP_LESSEQUAL>;
    case D3DCMP_GREATER: return ZTest<Bytes, D3DCMP_GREATER>;
    case D3DCMP_NOTEQUAL: return ZTest<Bytes, D3DCMP_NOTEQUAL>;
    case D3DCMP_GREATEREQUAL: return ZTest<Bytes, D3DCMP_GREATEREQUAL>;
    default: return ZTest<Bytes, D3DCMP_ALWAYS>;
    }
}

// ---------------------------------------------------------------- colours
// Gouraud colours in 16.16 fixed point, four channels at once.
void Interpolate(const float* start, const float* step, uint8_t* out, int n)
{
    int s[4], d[4];
    for (int c = 0; c < 4; ++c) {
        const float v = start[c] < 0 ? 0 : (start[c] > 255.0f ? 255.0f : start[c]);
        s[c] = static_cast<int>(v * 65536.0f + 32768.0f);
        d[c] = static_cast<int>(step[c] * 65536.0f);
    }
    __m128i value = _mm_set_epi32(s[3], s[2], s[1], s[0]);
    const __m128i delta = _mm_set_epi32(d[3], d[2], d[1], d[0]);
    // The two saturating packs clamp each channel to 0..255. Four pixels at
    // a time, the last four whole (out holds kChunk pixels).
    const __m128i delta2 = _mm_add_epi32(delta, delta), delta4 = _mm_add_epi32(delta2, delta2);
    __m128i v0 = value, v1 = _mm_add_epi32(value, delta), v2 = _mm_add_epi32(value, delta2),
            v3 = _mm_add_epi32(v1, delta2);
    for (int i = 0; i < n; i += 4) {
        const __m128i a = _mm_packs_epi32(_mm_srai_epi32(v0, 16), _mm_srai_epi32(v1, 16));
        const __m128i b = _mm_packs_epi32(_mm_srai_epi32(v2, 16), _mm_srai_epi32(v3, 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 4), _mm_packus_epi16(a, b));
        v0 = _mm_add_epi32(v0, delta4);
        v1 = _mm_add_epi32(v1, delta4);
        v2 = _mm_add_epi32(v2, delta4);
        v3 = _mm_add_epi32(v3, delta4);
    }
}

// ---------------------------------------------------------------- texture sampling
// kByLod: linear when minified, point when magnified; kByLodMag the other way round.
enum { kPoint = 0, kLinear = 1, kByLod = 2, kByLodMag = 3 };
enum { kMipNone = 0, kMipPoint = 1, kMipLinear = 2 };

template <int Mode>
inline int Address(int i, int size, bool pow2)
{
    if (Mode == D3DTADDRESS_WRAP) {
        if (pow2) return i & (size - 1);
        int m = i % size;
        return m < 0 ? m + size : m;
    }
    if (Mode == D3DTADDRESS_MIRROR) {
        int period = size * 2;
        int m = pow2 ? (i & (period - 1)) : ((i % period) + period) % period;
        return m < size ? m : period - 1 - m;
    }
    return i < 0 ? 0 : (i >= size ? size - 1 : i);
}

// a + (b - a) x f / 256 in each byte, f in 0..256.
inline uint32_t Lerp8(uint32_t a, uint32_t b, int f)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i x = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(a)), zero);
    __m128i y = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(b)), zero);
    __m128i r = _mm_add_epi16(_mm_mullo_epi16(x, _mm_set1_epi16(static_cast<short>(256 - f))),
                              _mm_mullo_epi16(y, _mm_set1_epi16(static_cast<short>(f))));
    r = _mm_srli_epi16(r, 8);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(r, r)));
}

// Four texels weighted in 8-bit fractions: two rows of two, then across.
inline uint32_t Bilinear(uint32_t a0, uint32_t a1, uint32_t b0, uint32_t b1, int fu, int fv)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i a = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(a0)), _mm_cvtsi32_si128(static_cast<int>(a1))), zero);
    __m128i b = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(b0)), _mm_cvtsi32_si128(static_cast<int>(b1))), zero);
    __m128i c = _mm_add_epi16(_mm_mullo_epi16(a, _mm_set1_epi16(static_cast<short>(256 - fv))),
                              _mm_mullo_epi16(b, _mm_set1_epi16(static_cast<short>(fv))));
    c = _mm_srli_epi16(c, 8);
    const short gu = static_cast<short>(256 - fu), hu = static_cast<short>(fu);
    __m128i m = _mm_mullo_epi16(c, _mm_set_epi16(hu, hu, hu, hu, gu, gu, gu, gu));
    m = _mm_srli_epi16(_mm_add_epi16(m, _mm_srli_si128(m, 8)), 8);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(m, m)));
}

// Floor of four floats (clamped to +-1e9) as whole numbers.
inline __m128i Floor4(__m128 x)
{
    x = _mm_min_ps(_mm_max_ps(x, _mm_set1_ps(-1.0e9f)), _mm_set1_ps(1.0e9f));
    const __m128i t = _mm_cvttps_epi32(x);
    return _mm_add_epi32(t, _mm_castps_si128(_mm_cmpgt_ps(_mm_cvtepi32_ps(t), x)));
}

// Texel coordinates of four pixels on one level: whole texels for point
// sampling, 8.8 fixed point half a texel back for bilinear.
template <int Filter>
inline void Coordinates(const LevelView& lv, __m128 u, __m128 v, int* iu, int* iv)
{
    if (Filter == kPoint) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(iu), Floor4(_mm_mul_ps(u, _mm_set1_ps(lv.fw))));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(iv), Floor4(_mm_mul_ps(v, _mm_set1_ps(lv.fh))));
    } else {
        const __m128 half = _mm_set1_ps(128.0f);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(iu), Floor4(_mm_sub_ps(_mm_mul_ps(u, _mm_set1_ps(lv.fw * 256.0f)), half)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(iv), Floor4(_mm_sub_ps(_mm_mul_ps(v, _mm_set1_ps(lv.fh * 256.0f)), half)));
    }
}

template <int Filter, int AU, int AV, bool Key>
__attribute__((always_inline)) inline uint32_t Fetch(const LevelView& lv, int iu, int iv, uint8_t& keyed)
{
    if (Filter == kPoint) {
        const int x = Address<AU>(iu, lv.width, lv.pow2);
        const int y = Address<AV>(iv, lv.height, lv.pow2);
        const size_t at = static_cast<size_t>(y) * lv.width + x;
        if (Key) keyed = lv.keyed[at];
        return lv.texels[at];
    }
    const int x0 = iu >> 8, y0 = iv >> 8, fu = iu & 255, fv = iv & 255;
    const int xa = Address<AU>(x0, lv.width, lv.pow2), xb = Address<AU>(x0 + 1, lv.width, lv.pow2);
    const int ya = Address<AV>(y0, lv.height, lv.pow2), yb = Address<AV>(y0 + 1, lv.height, lv.pow2);
    const uint32_t* rowA = lv.texels + static_cast<size_t>(ya) * lv.width;
    const uint32_t* rowB = lv.texels + static_cast<size_t>(yb) * lv.width;
    if (Key) keyed = lv.keyed[static_cast<size_t>(fv >= 128 ? yb : ya) * lv.width + (fu >= 128 ? xb : xa)];
    return Bilinear(rowA[xa], rowA[xb], rowB[xa], rowB[xb], fu, fv);
}

// Four texels' channels split without moving bytes across lanes: b and r
// (the even bytes) and g and a (the odd bytes), each in the low half of a
// 16-bit lane; a pixel keeps its 32-bit lane throughout.
struct SplitTexels {
    __m128i even, odd;
};
inline SplitTexels Split(__m128i texels)
{
    return {_mm_and_si128(texels, _mm_set1_epi16(0xFF)), _mm_srli_epi16(texels, 8)};
}
inline __m128i Join(const SplitTexels& t)
{
    return _mm_or_si128(t.even, _mm_slli_epi16(t.odd, 8));
}
// (x wx + y wy) / 256 in each 16-bit lane, weights summing to 256.
inline __m128i Weigh(__m128i x, __m128i wx, __m128i y, __m128i wy)
{
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(x, wx), _mm_mullo_epi16(y, wy)), 8);
}
inline SplitTexels Weigh(const SplitTexels& x, __m128i wx, const SplitTexels& y, __m128i wy)
{
    return {Weigh(x.even, wx, y.even, wy), Weigh(x.odd, wx, y.odd, wy)};
}

// The texels of four pixels at (x, y) and (x + 1, y) on one level, y
// already a row offset: lefts and rights each as four 32-bit lanes. Where no
// pixel's x is the last column the two are neighbours in memory and come as
// one 64-bit load each; otherwise (the wrap) they are read one by one.
struct TexelPairs {
    __m128i left, right;
};
inline TexelPairs LoadPairs(const uint32_t* t, __m128i row, __m128i xa, __m128i xb, bool adjacent)
{
    alignas(16) int a[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(a), _mm_add_epi32(row, xa));
    if (adjacent) {
        const __m128i p0 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(t + a[0]));
        const __m128i p1 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(t + a[1]));
        const __m128i p2 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(t + a[2]));
        const __m128i p3 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(t + a[3]));
        const __m128 lo = _mm_castsi128_ps(_mm_unpacklo_epi64(p0, p1)), hi = _mm_castsi128_ps(_mm_unpacklo_epi64(p2, p3));
        return {_mm_castps_si128(_mm_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0))),
                _mm_castps_si128(_mm_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1)))};
    }
    alignas(16) int b[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(b), _mm_add_epi32(row, xb));
    return {_mm_set_epi32(static_cast<int>(t[a[3]]), static_cast<int>(t[a[2]]), static_cast<int>(t[a[1]]), static_cast<int>(t[a[0]])),
            _mm_set_epi32(static_cast<int>(t[b[3]]), static_cast<int>(t[b[2]]), static_cast<int>(t[b[1]]), static_cast<int>(t[b[0]]))};
}

// Bilinear samples of four pixels on a power-of-two level with wrapped
// addressing, all in SSE but the sixteen texel loads: 8.8 coordinates in,
// four texels out split (two rows of two weighted across, then down, with
// no byte shuffled: the baseline's shuffles all share one port).
inline SplitTexels BilinearWrap4(const LevelView& lv, const int* iu, const int* iv)
{
    const __m128i u = _mm_load_si128(reinterpret_cast<const __m128i*>(iu));
    const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(iv));
    const __m128i low8 = _mm_set1_epi32(255), one = _mm_set1_epi32(1);
    const __m128i wm = _mm_set1_epi32(lv.width - 1), hm = _mm_set1_epi32(lv.height - 1);
    const __m128i x0 = _mm_srai_epi32(u, 8), y0 = _mm_srai_epi32(v, 8);
    const __m128i xa = _mm_and_si128(x0, wm), xb = _mm_and_si128(_mm_add_epi32(x0, one), wm);
    const __m128i shift = _mm_cvtsi32_si128(lv.widthShift);
    const __m128i ya = _mm_sll_epi32(_mm_and_si128(y0, hm), shift);
    const __m128i yb = _mm_sll_epi32(_mm_and_si128(_mm_add_epi32(y0, one), hm), shift);
    const bool adjacent = _mm_movemask_epi8(_mm_cmpeq_epi32(xa, wm)) == 0;
    const TexelPairs rowA = LoadPairs(lv.texels, ya, xa, xb, adjacent);
    const TexelPairs rowB = LoadPairs(lv.texels, yb, xa, xb, adjacent);
    const __m128i ta0 = rowA.left, ta1 = rowA.right, tb0 = rowB.left, tb1 = rowB.right;
    // Each pixel's weights in both 16-bit halves of its lane.
    const __m128i fu = _mm_and_si128(u, low8), fv = _mm_and_si128(v, low8);
    const __m128i wu = _mm_or_si128(fu, _mm_slli_epi32(fu, 16)), wv = _mm_or_si128(fv, _mm_slli_epi32(fv, 16));
    const __m128i full = _mm_set1_epi16(256);
    const __m128i wu1 = _mm_sub_epi16(full, wu), wv1 = _mm_sub_epi16(full, wv);
    const SplitTexels top = Weigh(Split(ta0), wu1, Split(ta1), wu);
    const SplitTexels bottom = Weigh(Split(tb0), wu1, Split(tb1), wu);
    return Weigh(top, wv1, bottom, wv);
}

#ifdef __AVX2__
// BilinearWrap4 with AVX2: the texels gathered, the four pixels' sixteen
// channels weighted in one register (the same arithmetic, the same result).
inline __m256i BilinearWrap4x(const LevelView& lv, const int* iu, const int* iv)
{
    const __m128i u = _mm_load_si128(reinterpret_cast<const __m128i*>(iu));
    const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(iv));
    const __m128i low8 = _mm_set1_epi32(255), one = _mm_set1_epi32(1);
    const __m128i wm = _mm_set1_epi32(lv.width - 1), hm = _mm_set1_epi32(lv.height - 1);
    const __m128i x0 = _mm_srai_epi32(u, 8), y0 = _mm_srai_epi32(v, 8);
    const __m128i xa = _mm_and_si128(x0, wm), xb = _mm_and_si128(_mm_add_epi32(x0, one), wm);
    const __m128i shift = _mm_cvtsi32_si128(lv.widthShift);
    const __m128i ya = _mm_sll_epi32(_mm_and_si128(y0, hm), shift);
    const __m128i yb = _mm_sll_epi32(_mm_and_si128(_mm_add_epi32(y0, one), hm), shift);
    const bool adjacent = _mm_movemask_epi8(_mm_cmpeq_epi32(xa, wm)) == 0;
    const TexelPairs rowA = LoadPairs(lv.texels, ya, xa, xb, adjacent);
    const TexelPairs rowB = LoadPairs(lv.texels, yb, xa, xb, adjacent);
    const __m256i ta0 = _mm256_cvtepu8_epi16(rowA.left), ta1 = _mm256_cvtepu8_epi16(rowA.right);
    const __m256i tb0 = _mm256_cvtepu8_epi16(rowB.left), tb1 = _mm256_cvtepu8_epi16(rowB.right);
    // Each pixel's weight in its four channel lanes.
    const __m128i spread = _mm_setr_epi8(0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12);
    const __m256i wu = _mm256_cvtepu8_epi16(_mm_shuffle_epi8(_mm_and_si128(u, low8), spread));
    const __m256i wv = _mm256_cvtepu8_epi16(_mm_shuffle_epi8(_mm_and_si128(v, low8), spread));
    const __m256i full = _mm256_set1_epi16(256);
    const __m256i wu1 = _mm256_sub_epi16(full, wu), wv1 = _mm256_sub_epi16(full, wv);
    const __m256i top = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(ta0, wu1), _mm256_mullo_epi16(ta1, wu)), 8);
    const __m256i bottom = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(tb0, wu1), _mm256_mullo_epi16(tb1, wu)), 8);
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(top, wv1), _mm256_mullo_epi16(bottom, wv)), 8);
}
#endif

// Samples four pixels at a time: their coordinates in SSE, the MIP level and
// the magnification choice once per four (as hardware does per 2 x 2 quad).
template <int Filter, int AU, int AV, int Mip, bool Key>
void Sample(const StageSetup& stage, const Run& run, Work& w, int n)
{
    constexpr int kChunk = Direct3DPixelPipeline::kChunk;
    const int set = stage.coordSet;
    const int last = stage.lastLevel;
    const float uw = run.uw[set], duw = run.duw[set], vw = run.vw[set], dvw = run.dvw[set];
    const float rhw = run.rhw, drhw = run.drhw;
    const float duwdy = run.duwdy[set], dvwdy = run.dvwdy[set], drhwdy = run.drhwdy;
    const float W = stage.levels[0].fw, H = stage.levels[0].fh;
    constexpr bool kNeedLod = Mip != kMipNone || Filter >= kByLod;
    constexpr int kMinFilter = Filter == kByLod ? kLinear : (Filter == kByLodMag ? kPoint : Filter);
    constexpr int kMagFilter = Filter == kByLod ? kPoint : (Filter == kByLodMag ? kLinear : Filter);
    uint32_t* out = reinterpret_cast<uint32_t*>(stage.out);
    uint8_t* mask = w.mask;
    const __m128 steps = _mm_set_ps(3, 2, 1, 0);
    alignas(16) int iu[4], iv[4], ju[4], jv[4];
    // The MIP level of each group of four pixels (as hardware takes one per
    // 2 x 2 quad), four groups at a time: texels per pixel along x and y from
    // the derivatives of u/w, v/w and 1/w at each group's first pixel.
    alignas(16) float lods[kChunk / 4 + 4];
    // Along a row of one depth 1/w is the same at every pixel: divided once.
    const bool flat = drhw == 0;
    const __m128 flatInv = _mm_div_ps(_mm_set1_ps(1.0f), _mm_set1_ps(rhw));
    if (kNeedLod) {
        const __m128 groups = _mm_set_ps(12, 8, 4, 0);
        const __m128 vW = _mm_set1_ps(W), vH = _mm_set1_ps(H), vdrhw = _mm_set1_ps(drhw), vdrhwdy = _mm_set1_ps(drhwdy);
        for (int g = 0; g < n; g += 16) {
            const __m128 fi = _mm_add_ps(_mm_set1_ps(static_cast<float>(g)), groups);
            const __m128 inv = flat ? flatInv : _mm_div_ps(_mm_set1_ps(1.0f), _mm_add_ps(_mm_set1_ps(rhw), _mm_mul_ps(vdrhw, fi)));
            const __m128 u = _mm_mul_ps(_mm_add_ps(_mm_set1_ps(uw), _mm_mul_ps(_mm_set1_ps(duw), fi)), inv);
            const __m128 v = _mm_mul_ps(_mm_add_ps(_mm_set1_ps(vw), _mm_mul_ps(_mm_set1_ps(dvw), fi)), inv);
            const __m128 iw = _mm_mul_ps(inv, vW), ih = _mm_mul_ps(inv, vH);
            const __m128 dudx = _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(duw), _mm_mul_ps(u, vdrhw)), iw);
            const __m128 dvdx = _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(dvw), _mm_mul_ps(v, vdrhw)), ih);
            const __m128 dudy = _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(duwdy), _mm_mul_ps(u, vdrhwdy)), iw);
            const __m128 dvdy = _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(dvwdy), _mm_mul_ps(v, vdrhwdy)), ih);
            const __m128 r = _mm_max_ps(_mm_add_ps(_mm_mul_ps(dudx, dudx), _mm_mul_ps(dvdx, dvdx)),
                                        _mm_add_ps(_mm_mul_ps(dudy, dudy), _mm_mul_ps(dvdy, dvdy)));
            // log2 from the float's bits, as FastLog2.
            const __m128i bits = _mm_castps_si128(r);
            const __m128 e = _mm_cvtepi32_ps(_mm_sub_epi32(_mm_and_si128(_mm_srli_epi32(bits, 23), _mm_set1_epi32(0xFF)),
                                                           _mm_set1_epi32(127)));
            const __m128 t = _mm_sub_ps(_mm_castsi128_ps(_mm_or_si128(_mm_and_si128(bits, _mm_set1_epi32(0x007FFFFF)),
                                                                      _mm_set1_epi32(0x3F800000))),
                                        _mm_set1_ps(1.0f));
            const __m128 log2 = _mm_add_ps(e, _mm_mul_ps(t, _mm_sub_ps(_mm_set1_ps(1.3465557f), _mm_mul_ps(_mm_set1_ps(0.34655572f), t))));
            const __m128 lod = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(0.5f), log2), _mm_set1_ps(stage.lodBias));
            const __m128 positive = _mm_cmpgt_ps(r, _mm_setzero_ps());
            _mm_store_ps(lods + g / 4, _mm_or_ps(_mm_and_ps(positive, lod), _mm_andnot_ps(positive, _mm_set1_ps(-100.0f))));
        }
    }
    for (int i0 = 0; i0 < n; i0 += 4) {
        const __m128 fi = _mm_add_ps(_mm_set1_ps(static_cast<float>(i0)), steps);
        const __m128 inv = flat ? flatInv
                                : _mm_div_ps(_mm_set1_ps(1.0f), _mm_add_ps(_mm_set1_ps(rhw), _mm_mul_ps(_mm_set1_ps(drhw), fi)));
        const __m128 u = _mm_mul_ps(_mm_add_ps(_mm_set1_ps(uw), _mm_mul_ps(_mm_set1_ps(duw), fi)), inv);
        const __m128 v = _mm_mul_ps(_mm_add_ps(_mm_set1_ps(vw), _mm_mul_ps(_mm_set1_ps(dvw), fi)), inv);
        const float lod = kNeedLod ? lods[i0 / 4] : 0.0f;
        int level = stage.maxLevel;
        int frac = 0;
        if (Mip != kMipNone) {
            const float l = lod < 0 ? 0 : lod;
            float f = 0;
            if (Mip == kMipPoint) {
                level = static_cast<int>(l + 0.5f);
            } else {
                level = static_cast<int>(l);
                f = l - static_cast<float>(level);
            }
            if (level < stage.maxLevel) {
                level = stage.maxLevel;
                f = 0;
            }
            if (level >= last) {
                level = last;
                f = 0;
            }
            frac = static_cast<int>(f * 256.0f);
        }
        const LevelView& lv = stage.levels[level];
        const int count = n - i0 < 4 ? n - i0 : 4;
        const bool magnified = lod <= 0;
        if ((Filter == kByLod || Filter == kByLodMag) && magnified) {
            Coordinates<kMagFilter>(lv, u, v, iu, iv);
            for (int k = 0; k < count; ++k) {
                uint8_t keyed = 0;
                out[i0 + k] = Fetch<kMagFilter, AU, AV, Key>(lv, iu[k], iv[k], keyed);
                if (Key && keyed) mask[i0 + k] = 0;
            }
            continue;
        }
        Coordinates<kMinFilter>(lv, u, v, iu, iv);
        // Whole groups of four even at the end of the run: the texels past it
        // are never used, and wrapping keeps their addresses inside the level.
        if (kMinFilter == kLinear && AU == D3DTADDRESS_WRAP && AV == D3DTADDRESS_WRAP && !Key && lv.pow2) {
#ifdef __AVX2__
            __m256i r = BilinearWrap4x(lv, iu, iv);
            if (Mip == kMipLinear && frac > 0) {
                const LevelView& next = stage.levels[level + 1];
                Coordinates<kMinFilter>(next, u, v, ju, jv);
                const __m256i r2 = BilinearWrap4x(next, ju, jv);
                const __m256i f = _mm256_set1_epi16(static_cast<short>(frac)), g = _mm256_set1_epi16(static_cast<short>(256 - frac));
                r = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(r, g), _mm256_mullo_epi16(r2, f)), 8);
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i0),
                             _mm_packus_epi16(_mm256_castsi256_si128(r), _mm256_extracti128_si256(r, 1)));
            continue;
#endif
            SplitTexels texels = BilinearWrap4(lv, iu, iv);
            if (Mip == kMipLinear && frac > 0) {
                const LevelView& next = stage.levels[level + 1];
                Coordinates<kMinFilter>(next, u, v, ju, jv);
                texels = Weigh(texels, _mm_set1_epi16(static_cast<short>(256 - frac)), BilinearWrap4(next, ju, jv),
                               _mm_set1_epi16(static_cast<short>(frac)));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i0), Join(texels));
            continue;
        }
        if (Mip == kMipLinear && frac > 0) {
            const LevelView& next = stage.levels[level + 1];
            Coordinates<kMinFilter>(next, u, v, ju, jv);
            for (int k = 0; k < count; ++k) {
                uint8_t keyed = 0, unused = 0;
                const uint32_t a = Fetch<kMinFilter, AU, AV, Key>(lv, iu[k], iv[k], keyed);
                const uint32_t b = Fetch<kMinFilter, AU, AV, false>(next, ju[k], jv[k], unused);
                out[i0 + k] = Lerp8(a, b, frac);
                if (Key && keyed) mask[i0 + k] = 0;
            }
        } else {
            for (int k = 0; k < count; ++k) {
                uint8_t keyed = 0;
                out[i0 + k] = Fetch<kMinFilter, AU, AV, Key>(lv, iu[k], iv[k], keyed);
                if (Key && keyed) mask[i0 + k] = 0;
            }
        }
    }
}

template <int Filter, int AU, int AV, int Mip>
Work::SampleFn PickKey(bool key)
{
    return key ? Sample<Filter, AU, AV, Mip, true> : Sample<Filter, AU, AV, Mip, false>;
}
template <int Filter, int AU, int AV>
Work::SampleFn PickMip(int mip, bool key)
{
    switch (mip) {
    case kMipPoint: return PickKey<Filter, AU, AV, kMipPoint>(key);
    case kMipLinear: return PickKey<Filter, AU, AV, kMipLinear>(key);
    default: return PickKey<Filter, AU, AV, kMipNone>(key);
    }
}
template <int Filter, int AU>
Work::SampleFn PickV(int av, int mip, bool key)
{
    switch (av) {
    case D3DTADDRESS_WRAP: return PickMip<Filter, AU, D3DTADDRESS_WRAP>(mip, key);
    case D3DTADDRESS_MIRROR: return PickMip<Filter, AU, D3DTADDRESS_MIRROR>(mip, key);
    default: return PickMip<Filter, AU, D3DTADDRESS_CLAMP>(mip, key);
    }
}
template <int Filter>
Work::SampleFn PickU(int au, int av, int mip, bool key)
{
    switch (au) {
    case D3DTADDRESS_WRAP: return PickV<Filter, D3DTADDRESS_WRAP>(av, mip, key);
    case D3DTADDRESS_MIRROR: return PickV<Filter, D3DTADDRESS_MIRROR>(av, mip, key);
    default: return PickV<Filter, D3DTADDRESS_CLAMP>(av, mip, key);
    }
}
Work::SampleFn PickSampler(int filter, int au, int av, int mip, bool key)
{
    switch (filter) {
    case kLinear: return PickU<kLinear>(au, av, mip, key);
    case kByLod: return PickU<kByLod>(au, av, mip, key);
    case kByLodMag: return PickU<kByLodMag>(au, av, mip, key);
    default: return PickU<kPoint>(au, av, mip, key);
    }
}

// ---------------------------------------------------------------- stage operations
// Each runs over all four bytes of every pixel (the colour pass) or, with
// Alpha, over the alpha bytes only. c is the third input: the alpha source
// of the blend operations.
template <bool Alpha, typename F>
inline void ForBytes(const uint8_t* a, const uint8_t* b, const uint8_t* c, uint8_t* out, int n, F f)
{
    if (Alpha) {
        for (int i = 0; i < n; ++i) out[i * 4 + 3] = static_cast<uint8_t>(f(a[i * 4 + 3], b[i * 4 + 3], c[i * 4 + 3]));
    } else {
        for (int i = 0; i < n * 4; ++i) out[i] = static_cast<uint8_t>(f(a[i], b[i], c[i | 3]));
    }
}

// MODULATE and the selects, sixteen bytes (four pixels) at a time; the
// alpha pass keeps the colour bytes of out.
template <bool Alpha, int Op>
int StageOpVector(const uint8_t* a, const uint8_t* b, uint8_t* out, int n)
{
    const __m128i alphaBytes = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i * 4));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i * 4));
        __m128i r = Op == D3DTOP_MODULATE ? Mul8x16(x, y) : (Op == D3DTOP_SELECTARG1 ? x : y);
        __m128i* at = reinterpret_cast<__m128i*>(out + i * 4);
        if (Alpha) r = _mm_or_si128(_mm_and_si128(alphaBytes, r), _mm_andnot_si128(alphaBytes, _mm_loadu_si128(at)));
        _mm_storeu_si128(at, r);
    }
    return i;
}

template <bool Alpha, int Op>
void StageOp(const uint8_t* a, const uint8_t* b, const uint8_t* c, uint8_t* out, int n)
{
    if (Op == D3DTOP_MODULATE || Op == D3DTOP_SELECTARG1 || Op == D3DTOP_SELECTARG2) {
        const int done = StageOpVector<Alpha, Op>(a, b, out, n);
        a += done * 4;
        b += done * 4;
        c += done * 4;
        out += done * 4;
        n -= done;
    }
    switch (Op) {
    case D3DTOP_SELECTARG1: ForBytes<Alpha>(a, b, c, out, n, [](int x, int, int) { return x; }); break;
    case D3DTOP_SELECTARG2: ForBytes<Alpha>(a, b, c, out, n, [](int, int y, int) { return y; }); break;
    case D3DTOP_MODULATE: ForBytes<Alpha>(a, b, c, out, n, [](int x, int y, int) { return Mul8(x, y); }); break;
    case D3DTOP_MODULATE2X:
        ForBytes<Alpha>(a, b, c, out, n, [](int x, int y, int) { return Sat(Mul8(x, y) * 2); });
        break;
    case D3DTOP_MODULATE4X:
        ForBytes<Alpha>(a, b, c, out, n, [](int x, int y, int) { return Sat(Mul8(x, y) * 4); });
        break;
    case D3DTOP_ADD: ForBytes<Alpha>(a, b, c, out, n, [](int x, int y, int) { return Sat(x + y); }); break;
    case D3DTOP_ADDSIGNED: ForBytes<Alpha>(a, b, c, out, n, [](int x, int y, int) { return Sat(x + y - 128); }); break;
    case D3DTOP_ADDSIGNED2X:
        ForBytes<Alpha>(a, b, c, out, n, [](int x, int y, int) { return Sat((x + y - 128) * 2); });
        break;
    case D3DTOP_SUBTRACT: ForBytes<Alpha>(a, b, c, out, n, [](int x, int y, int) { return Sat(x - y); }); break;
    case D3DTOP_ADDSMOOTH:
        ForBytes<Alpha>(a, b, c, out, n, [](int x, int y, int) { return Sat(x + y - Mul8(x, y)); });
        break;
    case D3DTOP_BLENDDIFFUSEALPHA:
    case D3DTOP_BLENDTEXTUREALPHA:
    case D3DTOP_BLENDFACTORALPHA:
    case D3DTOP_BLENDCURRENTALPHA:
        ForBytes<Alpha>(a, b, c, out, n, [](int x, int y, int s) { return Mul8(x, s) + Mul8(y, 255 - s); });
        break;
    case D3DTOP_BLENDTEXTUREALPHAPM:
        ForBytes<Alpha>(a, b, c, out, n, [](int x, int y, int s) { return Sat(x + Mul8(y, 255 - s)); });
        break;
    case D3DTOP_MODULATEALPHA_ADDCOLOR:
        // c is arg1 here: its alpha scales arg2.
        ForBytes<Alpha>(a, b, c, out, n, [](int x, int y, int s) { return Sat(x + Mul8(s, y)); });
        break;
    case D3DTOP_MODULATEINVALPHA_ADDCOLOR:
        ForBytes<Alpha>(a, b, c, out, n, [](int x, int y, int s) { return Sat(x + Mul8(255 - s, y)); });
        break;
    case D3DTOP_MODULATECOLOR_ADDALPHA:
        ForBytes<Alpha>(a, b, c, out, n, [](int x, int y, int s) { return Sat(Mul8(x, y) + s); });
        break;
    case D3DTOP_MODULATEINVCOLOR_ADDALPHA:
        ForBytes<Alpha>(a, b, c, out, n, [](int x, int y, int s) { return Sat(Mul8(255 - x, y) + s); });
        break;
    case D3DTOP_DOTPRODUCT3:
        for (int i = 0; i < n; ++i) {
            int dot = 0;
            for (int k = 0; k < 3; ++k) dot += (a[i * 4 + k] - 128) * (b[i * 4 + k] - 128);
            uint8_t d = Sat(dot / 32);  // 4 x sum of signed products, back to bytes
            if (Alpha) {
                out[i * 4 + 3] = d;
            } else {
                for (int k = 0; k < 4; ++k) out[i * 4 + k] = d;
            }
        }
        break;
    default: break;
    }
}

template <bool Alpha>
Work::Combine::OpFn PickOp(DWORD op)
{
    switch (op) {
    case D3DTOP_SELECTARG1: return StageOp<Alpha, D3DTOP_SELECTARG1>;
    case D3DTOP_SELECTARG2: return StageOp<Alpha, D3DTOP_SELECTARG2>;
    case D3DTOP_MODULATE: return StageOp<Alpha, D3DTOP_MODULATE>;
    case D3DTOP_PREMODULATE: return StageOp<Alpha, D3DTOP_MODULATE>;
    case D3DTOP_MODULATE2X: return StageOp<Alpha, D3DTOP_MODULATE2X>;
    case D3DTOP_MODULATE4X: return StageOp<Alpha, D3DTOP_MODULATE4X>;
    case D3DTOP_ADD: return StageOp<Alpha, D3DTOP_ADD>;
    case D3DTOP_ADDSIGNED: return StageOp<Alpha, D3DTOP_ADDSIGNED>;
    case D3DTOP_ADDSIGNED2X: return StageOp<Alpha, D3DTOP_ADDSIGNED2X>;
    case D3DTOP_SUBTRACT: return StageOp<Alpha, D3DTOP_SUBTRACT>;
    case D3DTOP_ADDSMOOTH: return StageOp<Alpha, D3DTOP_ADDSMOOTH>;
    case D3DTOP_BLENDDIFFUSEALPHA:
    case D3DTOP_BLENDTEXTUREALPHA:
    case D3DTOP_BLENDFACTORALPHA:
    case D3DTOP_BLENDCURRENTALPHA: return StageOp<Alpha, D3DTOP_BLENDCURRENTALPHA>;
    case D3DTOP_BLENDTEXTUREALPHAPM: return StageOp<Alpha, D3DTOP_BLENDTEXTUREALPHAPM>;
    case D3DTOP_MODULATEALPHA_ADDCOLOR: return StageOp<Alpha, D3DTOP_MODULATEALPHA_ADDCOLOR>;
    case D3DTOP_MODULATECOLOR_ADDALPHA: return StageOp<Alpha, D3DTOP_MODULATECOLOR_ADDALPHA>;
    case D3DTOP_MODULATEINVALPHA_ADDCOLOR: return StageOp<Alpha, D3DTOP_MODULATEINVALPHA_ADDCOLOR>;
    case D3DTOP_MODULATEINVCOLOR_ADDALPHA: return StageOp<Alpha, D3DTOP_MODULATEINVCOLOR_ADDALPHA>;
    case D3DTOP_DOTPRODUCT3: return StageOp<Alpha, D3DTOP_DOTPRODUCT3>;
    default: return StageOp<Alpha, D3DTOP_SELECTARG1>;  // bump mapping is not offered
    }
}

void Complement(const uint8_t* in, uint8_t* out, int n)
{
    for (int i = 0; i < n * 4; ++i) out[i] = static_cast<uint8_t>(255 - in[i]);
}
void Replicate(const uint8_t* in, uint8_t* out, int n)
{
    for (int i = 0; i < n; ++i) {
        uint8_t a = in[i * 4 + 3];
        out[i * 4] = out[i * 4 + 1] = out[i * 4 + 2] = out[i * 4 + 3] = a;
    }
}
void ComplementReplicate(const uint8_t* in, uint8_t* out, int n)
{
    for (int i = 0; i < n; ++i) {
        uint8_t a = static_cast<uint8_t>(255 - in[i * 4 + 3]);
        out[i * 4] = out[i * 4 + 1] = out[i * 4 + 2] = out[i * 4 + 3] = a;
    }
}

// ---------------------------------------------------------------- specular, fog, alpha test
void AddSpecular(uint8_t* colour, const uint8_t* specular, int n)
{
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < 3; ++k) colour[i * 4 + k] = Sat(colour[i * 4 + k] + specular[i * 4 + k]);
}

void VertexFog(const Run&, const Work& w, uint8_t* fog, int n)
{
    for (int i = 0; i < n; ++i) fog[i] = w.specular[i * 4 + 3];
}

void ApplyFog(uint8_t* colour, const uint8_t* fog, const uint8_t* fogColour, int n)
{
    // Four pixels at a time in 16-bit lanes, two to a register; alpha is kept.
    const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(255);
    int fc;
    std::memcpy(&fc, fogColour, 4);
    const __m128i fogc = _mm_unpacklo_epi8(_mm_set1_epi32(fc), zero);
    const __m128i keepAlpha = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
    auto mix = [&](__m128i c, __m128i f) {
        const __m128i r = _mm_add_epi16(Mul8x8(c, f), Mul8x8(fogc, _mm_sub_epi16(full, f)));
        return _mm_or_si128(_mm_and_si128(keepAlpha, c), _mm_andnot_si128(keepAlpha, r));
    };
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i* at = reinterpret_cast<__m128i*>(colour + i * 4);
        const __m128i c = _mm_loadu_si128(at);
        int four;
        std::memcpy(&four, fog + i, 4);
        // Each pixel's factor in its four lanes.
        const __m128i f16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero);
        const __m128i pairs = _mm_unpacklo_epi16(f16, f16);
        const __m128i lo = mix(_mm_unpacklo_epi8(c, zero), _mm_unpacklo_epi32(pairs, pairs));
        const __m128i hi = mix(_mm_unpackhi_epi8(c, zero), _mm_unpackhi_epi32(pairs, pairs));
        _mm_storeu_si128(at, _mm_packus_epi16(lo, hi));
    }
    for (; i < n; ++i) {
        int f = fog[i];
        for (int k = 0; k < 3; ++k) colour[i * 4 + k] = static_cast<uint8_t>(Mul8(colour[i * 4 + k], f) + Mul8(fogColour[k], 255 - f));
    }
}

template <int Func>
int AlphaTest(const uint8_t* colour, uint8_t ref, uint8_t* mask, int n)
{
    int passed = 0;
    for (int i = 0; i < n; ++i) {
        uint8_t m = (mask[i] && Compare<Func>(colour[i * 4 + 3], ref)) ? 1 : 0;
        mask[i] = m;
        passed += m;
    }
    return passed;
}
Work::AlphaTestFn PickAlphaTest(DWORD func)
{
    switch (func) {
    case D3DCMP_NEVER: return AlphaTest<D3DCMP_NEVER>;
    case D3DCMP_LESS: return AlphaTest<D3DCMP_LESS>;
    case D3DCMP_EQUAL: return AlphaTest<D3DCMP_EQUAL>;
    case D3DCMP_LESSEQUAL: return AlphaTest<D3DCMP_LESSEQUAL>;
    case D3DCMP_GREATER: return AlphaTest<D3DCMP_GREATER>;
    case D3DCMP_NOTEQUAL: return AlphaTest<D3DCMP_NOTEQUAL>;
    case D3DCMP_GREATEREQUAL: return AlphaTest<D3DCMP_GREATEREQUAL>;
    default: return AlphaTest<D3DCMP_ALWAYS>;
    }
}

// ---------------------------------------------------------------- targets
enum { kTarget565, kTarget555, kTarget888, kTargetX888, kTargetA888 };

template <int Format>
void ReadTarget(const uint8_t* row, uint8_t* out, int n)
{
    int i = 0;
    if (Format == kTargetX888 || Format == kTargetA888) {
        const __m128i alpha = _mm_set1_epi32(Format == kTargetX888 ? static_cast<int>(0xFF000000u) : 0);
        for (; i + 4 <= n; i += 4)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 4),
                             _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i * 4)), alpha));
    }
    for (; i < n; ++i) {
        uint8_t* o = out + i * 4;
        if (Format == kTarget565 || Format == kTarget555) {
            uint16_t p;
            std::memcpy(&p, row + i * 2, 2);
            int r, g, b;
            if (Format == kTarget565) {
                r = (p >> 11) & 31;
                g = (p >> 5) & 63;
                b = p & 31;
                o[1] = static_cast<uint8_t>((g << 2) | (g >> 4));
            } else {
                r = (p >> 10) & 31;
                g = (p >> 5) & 31;
                b = p & 31;
                o[1] = static_cast<uint8_t>((g << 3) | (g >> 2));
            }
            o[0] = static_cast<uint8_t>((b << 3) | (b >> 2));
            o[2] = static_cast<uint8_t>((r << 3) | (r >> 2));
            o[3] = 255;
        } else if (Format == kTarget888) {
            o[0] = row[i * 3];
            o[1] = row[i * 3 + 1];
            o[2] = row[i * 3 + 2];
            o[3] = 255;
        } else {
            std::memcpy(o, row + i * 4, 4);
            if (Format == kTargetX888) o[3] = 255;
        }
    }
}
template <int Format>
void WriteTarget(uint8_t* row, const uint8_t* colour, const uint8_t* mask, int n)
{
    int i = 0;
    if (Format == kTargetX888 || Format == kTargetA888) {
        const __m128i alpha = _mm_set1_epi32(Format == kTargetX888 ? static_cast<int>(0xFF000000u) : 0);
        for (; i + 4 <= n; i += 4) {
            const __m128i m = LaneMask4(mask + i);
            const __m128i c = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(colour + i * 4)), alpha);
            __m128i* at = reinterpret_cast<__m128i*>(row + i * 4);
            _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(m, c), _mm_andnot_si128(m, _mm_loadu_si128(at))));
        }
    }
    for (; i < n; ++i) {
        if (!mask[i]) continue;
        const uint8_t* c = colour + i * 4;
        if (Format == kTarget565) {
            uint16_t p = static_cast<uint16_t>(((c[2] >> 3) << 11) | ((c[1] >> 2) << 5) | (c[0] >> 3));
            std::memcpy(row + i * 2, &p, 2);
        } else if (Format == kTarget555) {
            uint16_t p = static_cast<uint16_t>(((c[2] >> 3) << 10) | ((c[1] >> 3) << 5) | (c[0] >> 3));
            std::memcpy(row + i * 2, &p, 2);
        } else if (Format == kTarget888) {
            row[i * 3] = c[0];
            row[i * 3 + 1] = c[1];
            row[i * 3 + 2] = c[2];
        } else if (Format == kTargetX888) {
            uint32_t p;
            std::memcpy(&p, c, 4);
            p |= 0xFF000000u;
            std::memcpy(row + i * 4, &p, 4);
        } else {
            std::memcpy(row + i * 4, c, 4);
        }
    }
}

// ---------------------------------------------------------------- dithering
// The 4 x 4 ordered pattern, thresholds 0..15.
constexpr uint8_t kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Each pixel's bytes to add for a target keeping the top bits of b g r.
void MakeDitherRows(Work& w, int blueBits, int greenBits, int redBits)
{
    const int bits[4] = {blueBits, greenBits, redBits, 8};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            for (int k = 0; k < 4; ++k)
                w.ditherRows[y][x * 4 + k] = static_cast<uint8_t>((kBayer[y][x & 3] << (8 - bits[k])) >> 4);
}

// Adds the pattern at (x, y) onwards to a run's colours, saturating.
void Dither(const Work& w, uint8_t* colour, int x, int y, int n)
{
    const uint8_t* row = w.ditherRows[y & 3] + (x & 3) * 4;
    const __m128i add = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i* at = reinterpret_cast<__m128i*>(colour + i * 4);
        _mm_storeu_si128(at, _mm_adds_epu8(_mm_loadu_si128(at), add));
    }
    for (; i < n; ++i)
        for (int k = 0; k < 4; ++k) colour[i * 4 + k] = Sat(colour[i * 4 + k] + row[(i & 3) * 4 + k]);
}

// ---------------------------------------------------------------- blending
template <int Factor>
void BlendFactor(const uint8_t* s, const uint8_t* d, uint8_t* f, int n)
{
    for (int i = 0; i < n; ++i) {
        const uint8_t* sp = s + i * 4;
        const uint8_t* dp = d + i * 4;
        uint8_t* o = f + i * 4;
        for (int k = 0; k < 4; ++k) {
            int v;
            switch (Factor) {
            case D3DBLEND_ZERO: v = 0; break;
            case D3DBLEND_ONE: v = 255; break;
            case D3DBLEND_SRCCOLOR: v = sp[k]; break;
            case D3DBLEND_INVSRCCOLOR: v = 255 - sp[k]; break;
            case D3DBLEND_SRCALPHA: v = sp[3]; break;
            case D3DBLEND_INVSRCALPHA: v = 255 - sp[3]; break;
            case D3DBLEND_DESTALPHA: v = dp[3]; break;
            case D3DBLEND_INVDESTALPHA: v = 255 - dp[3]; break;
            case D3DBLEND_DESTCOLOR: v = dp[k]; break;
            case D3DBLEND_INVDESTCOLOR: v = 255 - dp[k]; break;
            case D3DBLEND_SRCALPHASAT: v = k == 3 ? 255 : (sp[3] < 255 - dp[3] ? sp[3] : 255 - dp[3]); break;
            default: v = 255; break;
            }
            o[k] = static_cast<uint8_t>(v);
        }
    }
}
Work::FactorFn PickFactor(DWORD factor)
{
    switch (factor) {
    case D3DBLEND_ZERO: return BlendFactor<D3DBLEND_ZERO>;
    case D3DBLEND_ONE: return BlendFactor<D3DBLEND_ONE>;
    case D3DBLEND_SRCCOLOR: return BlendFactor<D3DBLEND_SRCCOLOR>;
    case D3DBLEND_INVSRCCOLOR: return BlendFactor<D3DBLEND_INVSRCCOLOR>;
    case D3DBLEND_SRCALPHA: return BlendFactor<D3DBLEND_SRCALPHA>;
    case D3DBLEND_INVSRCALPHA: return BlendFactor<D3DBLEND_INVSRCALPHA>;
    case D3DBLEND_DESTALPHA: return BlendFactor<D3DBLEND_DESTALPHA>;
    case D3DBLEND_INVDESTALPHA: return BlendFactor<D3DBLEND_INVDESTALPHA>;
    case D3DBLEND_DESTCOLOR: return BlendFactor<D3DBLEND_DESTCOLOR>;
    case D3DBLEND_INVDESTCOLOR: return BlendFactor<D3DBLEND_INVDESTCOLOR>;
    case D3DBLEND_SRCALPHASAT: return BlendFactor<D3DBLEND_SRCALPHASAT>;
    default: return BlendFactor<D3DBLEND_ONE>;
    }
}
void BlendGeneric(const uint8_t* s, const uint8_t* d, const uint8_t* fs, const uint8_t* fd, uint8_t* out, int n)
{
    for (int i = 0; i < n * 4; ++i) out[i] = Sat(Mul8(s[i], fs[i]) + Mul8(d[i], fd[i]));
}
// The common case, source alpha over the target: one pass, no factor buffers.
void BlendSrcAlpha(const uint8_t* s, const uint8_t* d, const uint8_t*, const uint8_t*, uint8_t* out, int n)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(255);
    const __m128i half = _mm_set1_epi16(128);
    int i = 0;
    for (; i + 2 <= n; i += 2) {
        __m128i src = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + i * 4)), zero);
        __m128i dst = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(d + i * 4)), zero);
        // Each pixel's alpha in its four lanes.
        __m128i a = _mm_shufflelo_epi16(_mm_shufflehi_epi16(src, 0xFF), 0xFF);
        __m128i t = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(src, a), _mm_mullo_epi16(dst, _mm_sub_epi16(full, a))), half);
        t = _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i * 4), _mm_packus_epi16(t, t));
    }
    for (int k = i * 4; k < n * 4; ++k) {
        int a = s[k | 3];
        out[k] = static_cast<uint8_t>(Mul8(s[k], a) + Mul8(d[k], 255 - a));
    }
}
void BlendAdd(const uint8_t* s, const uint8_t* d, const uint8_t*, const uint8_t*, uint8_t* out, int n)
{
    for (int i = 0; i < n * 4; ++i) out[i] = Sat(s[i] + d[i]);
}
}  // namespace

// ---------------------------------------------------------------- table fog
namespace {
// Fog from the eye depth of each pixel (w, the inverse of the interpolated 1/w).
template <int Mode>
void TableFog(const Run& run, const Work& w, uint8_t* fog, int n)
{
    const float start = w.fogStart, end = w.fogEnd, density = w.fogDensity;
    const float inv = end != start ? 1.0f / (end - start) : 0.0f;
    int i = 0;
    if (Mode == D3DFOG_LINEAR && end != start) {
        // Four pixels at a time: (end - depth) / (end - start), depth = 1 / (1/w).
        const __m128 steps = _mm_set_ps(3, 2, 1, 0), scale = _mm_set1_ps(inv * 255.0f);
        for (; i + 4 <= n; i += 4) {
            const __m128 fi = _mm_add_ps(_mm_set1_ps(static_cast<float>(i)), steps);
            const __m128 depth = _mm_div_ps(_mm_set1_ps(1.0f), _mm_add_ps(_mm_set1_ps(run.rhw), _mm_mul_ps(_mm_set1_ps(run.drhw), fi)));
            __m128 f = _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(end), depth), scale);
            f = _mm_min_ps(_mm_max_ps(f, _mm_setzero_ps()), _mm_set1_ps(255.0f));
            const __m128i b = _mm_cvtps_epi32(f);
            const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(b, b), _mm_setzero_si128());
            const int four = _mm_cvtsi128_si32(packed);
            std::memcpy(fog + i, &four, 4);
        }
    }
    for (; i < n; ++i) {
        float depth = 1.0f / (run.rhw + run.drhw * static_cast<float>(i));
        float f;
        if (Mode == D3DFOG_LINEAR) {
            f = end != start ? (end - depth) * inv : (depth < end ? 1.0f : 0.0f);
        } else if (Mode == D3DFOG_EXP) {
            f = std::exp(-density * depth);
        } else {
            float t = density * depth;
            f = std::exp(-t * t);
        }
        f = f < 0 ? 0 : (f > 1 ? 1 : f);
        fog[i] = static_cast<uint8_t>(f * 255.0f + 0.5f);
    }
}
}  // namespace

// ---------------------------------------------------------------- whole runs
namespace {
// A run drawn in two passes over groups of four pixels, everything between
// the Z test and the writes kept in registers: the same arithmetic as the
// steps one by one (partial groups at the end of a run included, their
// lanes past the run masked off).
template <int Textures, bool Fog, bool Blend, bool Less, bool ZWrite, bool KeepAlpha>
void Span(Work& w, const Run& run)
{
    const int n = run.n;
    uint8_t* zrow = w.zBits + static_cast<size_t>(run.y) * w.zPitch + static_cast<size_t>(run.x) * 2;
    uint8_t* row = w.targetBits + static_cast<size_t>(run.y) * w.targetPitch + static_cast<size_t>(run.x) * 4;
    alignas(16) int32_t lanes[K];
    const int width = w.targetWidth;
    uint32_t* zv = w.zvalue;
    const __m128i zero = _mm_setzero_si128();
    const __m128 steps = _mm_set_ps(3, 2, 1, 0);
    const __m128i laneIndex = _mm_set_epi32(3, 2, 1, 0);
    // Z: the values as ZValuesFast, compared with the buffer.
    {
        const float z = run.z - w.zOffset, dz = run.dz, sc = static_cast<float>(w.zScale);
        const __m128 vz = _mm_set1_ps(z), vdz = _mm_set1_ps(dz), vs = _mm_set1_ps(sc), fzero = _mm_setzero_ps();
        int any = 0;
        for (int i = 0; i < n; i += 4) {
            const __m128 fi = _mm_add_ps(_mm_set1_ps(static_cast<float>(i)), steps);
            __m128 v = _mm_mul_ps(_mm_add_ps(vz, _mm_mul_ps(vdz, fi)), vs);
            const __m128 below = _mm_cmplt_ps(v, fzero), over = _mm_cmpgt_ps(v, vs);
            v = _mm_andnot_ps(below, v);
            v = _mm_or_ps(_mm_and_ps(over, vs), _mm_andnot_ps(over, v));
            const __m128i zi = _mm_cvttps_epi32(v);
            _mm_store_si128(reinterpret_cast<__m128i*>(zv + i), zi);
            __m128i d;
            if (run.x + i + 4 <= width) {
                d = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(zrow + i * 2));
            } else {
                // The last pixels of the row, read one by one.
                uint16_t z0, z1 = 0, z2 = 0;
                std::memcpy(&z0, zrow + i * 2, 2);
                if (n - i > 1) std::memcpy(&z1, zrow + i * 2 + 2, 2);
                if (n - i > 2) std::memcpy(&z2, zrow + i * 2 + 4, 2);
                d = _mm_set_epi16(0, 0, 0, 0, 0, static_cast<short>(z2), static_cast<short>(z1), static_cast<short>(z0));
            }
            d = _mm_unpacklo_epi16(d, zero);
            __m128i fail = _mm_cmpgt_epi32(zi, d);
            if (Less) fail = _mm_or_si128(fail, _mm_cmpeq_epi32(zi, d));
            const __m128i inside = _mm_cmpgt_epi32(_mm_set1_epi32(n - i), laneIndex);
            const __m128i pass = _mm_andnot_si128(fail, inside);
            _mm_store_si128(reinterpret_cast<__m128i*>(lanes + i), pass);
            any |= _mm_movemask_epi8(pass);
        }
        if (!any) return;
    }
    for (int s = 0; s < Textures; ++s) w.sample[s](w.stages[s], run, w, n);

    // Diffuse as Interpolate, the four channels' start and step converted at once.
    const __m128 start = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(run.diffuse), _mm_setzero_ps()), _mm_set1_ps(255.0f));
    const __m128 fixed = _mm_set1_ps(65536.0f);
    const __m128i delta = _mm_cvttps_epi32(_mm_mul_ps(_mm_loadu_ps(run.ddiffuse), fixed));
    const __m128i delta2 = _mm_add_epi32(delta, delta), delta4 = _mm_add_epi32(delta2, delta2);
    __m128i v0 = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(start, fixed), _mm_set1_ps(32768.0f)));
    __m128i v1 = _mm_add_epi32(v0, delta), v2 = _mm_add_epi32(v0, delta2), v3 = _mm_add_epi32(v1, delta2);

    // Fog as TableFog and ApplyFog.
    const float fogInv = w.fogEnd != w.fogStart ? 1.0f / (w.fogEnd - w.fogStart) : 0.0f;
    const __m128 fogScale = _mm_set1_ps(fogInv * 255.0f), fogEnd = _mm_set1_ps(w.fogEnd);
    const __m128 vrhw = _mm_set1_ps(run.rhw), vdrhw = _mm_set1_ps(run.drhw);
    const bool flat = run.drhw == 0;
    __m128i flatPairs = _mm_setzero_si128();
    int fcBits;
    std::memcpy(&fcBits, w.fogColour, 4);
    const __m128i fogc = _mm_unpacklo_epi8(_mm_set1_epi32(fcBits), zero);
    const __m128i full = _mm_set1_epi16(255), half = _mm_set1_epi16(128);
    const __m128i keepAlpha = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
    const __m128i alphaBits = _mm_set1_epi32(KeepAlpha ? 0 : static_cast<int>(0xFF000000u));

    for (int i = 0; i < n; i += 4) {
        const __m128i a = _mm_packs_epi32(_mm_srai_epi32(v0, 16), _mm_srai_epi32(v1, 16));
        const __m128i b = _mm_packs_epi32(_mm_srai_epi32(v2, 16), _mm_srai_epi32(v3, 16));
        __m128i colour = _mm_packus_epi16(a, b);
        v0 = _mm_add_epi32(v0, delta4);
        v1 = _mm_add_epi32(v1, delta4);
        v2 = _mm_add_epi32(v2, delta4);
        v3 = _mm_add_epi32(v3, delta4);
        const __m128i m = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes + i));
        if (_mm_movemask_epi8(m) == 0) continue;
        if (Textures >= 1)
            colour = Mul8x16(_mm_load_si128(reinterpret_cast<const __m128i*>(w.texel[0] + i * 4)), colour);
        if (Textures >= 2)
            colour = Mul8x16(_mm_load_si128(reinterpret_cast<const __m128i*>(w.texel[1] + i * 4)), colour);
        if (Fog) {
            // Runs of one depth (1/w flat along the row: overlays, walls,
            // a sky or ground seen level) take the factors of the first group.
            __m128i pairs = flatPairs;
            if (!flat || i == 0) {
                const __m128 fi = _mm_add_ps(_mm_set1_ps(static_cast<float>(i)), steps);
                const __m128 depth = _mm_div_ps(_mm_set1_ps(1.0f), _mm_add_ps(vrhw, _mm_mul_ps(vdrhw, fi)));
                __m128 f = _mm_mul_ps(_mm_sub_ps(fogEnd, depth), fogScale);
                f = _mm_min_ps(_mm_max_ps(f, _mm_setzero_ps()), _mm_set1_ps(255.0f));
                const __m128i f32 = _mm_cvtps_epi32(f);
                const __m128i f16 = _mm_packs_epi32(f32, f32);
                pairs = flatPairs = _mm_unpacklo_epi16(f16, f16);
            }
            auto mix = [&](__m128i c, __m128i fv) {
                const __m128i r = _mm_add_epi16(Mul8x8(c, fv), Mul8x8(fogc, _mm_sub_epi16(full, fv)));
                return _mm_or_si128(_mm_and_si128(keepAlpha, c), _mm_andnot_si128(keepAlpha, r));
            };
            const __m128i lo = mix(_mm_unpacklo_epi8(colour, zero), _mm_unpacklo_epi32(pairs, pairs));
            const __m128i hi = mix(_mm_unpackhi_epi8(colour, zero), _mm_unpackhi_epi32(pairs, pairs));
            colour = _mm_packus_epi16(lo, hi);
        }
        // Four pixels inside the row are read and written whole, those past
        // the run kept by the mask; at the row's end one by one.
        const bool whole = run.x + i + 4 <= width;
        __m128i old;
        if (whole) {
            old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i * 4));
        } else {
            uint32_t p0, p1 = 0, p2 = 0;
            std::memcpy(&p0, row + i * 4, 4);
            if (n - i > 1) std::memcpy(&p1, row + i * 4 + 4, 4);
            if (n - i > 2) std::memcpy(&p2, row + i * 4 + 8, 4);
            old = _mm_set_epi32(0, static_cast<int>(p2), static_cast<int>(p1), static_cast<int>(p0));
        }
        if (Blend) {
            // As BlendSrcAlpha, two pixels to a register.
            const __m128i dest = _mm_or_si128(old, alphaBits);
            auto blend = [&](__m128i src, __m128i dst) {
                const __m128i al = _mm_shufflelo_epi16(_mm_shufflehi_epi16(src, 0xFF), 0xFF);
                __m128i t = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(src, al), _mm_mullo_epi16(dst, _mm_sub_epi16(full, al))), half);
                return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
            };
            colour = _mm_packus_epi16(blend(_mm_unpacklo_epi8(colour, zero), _mm_unpacklo_epi8(dest, zero)),
                                      blend(_mm_unpackhi_epi8(colour, zero), _mm_unpackhi_epi8(dest, zero)));
        }
        colour = _mm_or_si128(colour, alphaBits);
        const __m128i out = _mm_or_si128(_mm_and_si128(m, colour), _mm_andnot_si128(m, old));
        const __m128i zvals = _mm_load_si128(reinterpret_cast<const __m128i*>(zv + i));
        if (whole) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i * 4), out);
            if (ZWrite) {
                // The values (at most 0xFFFF) packed to 16 bits, kept where masked off.
                const __m128i bias = _mm_set1_epi32(0x8000);
                const __m128i z16 = _mm_xor_si128(_mm_packs_epi32(_mm_sub_epi32(zvals, bias), zero), _mm_set1_epi16(-0x8000));
                const __m128i m16 = _mm_packs_epi32(m, zero);
                __m128i* at = reinterpret_cast<__m128i*>(zrow + i * 2);
                const __m128i oldz = _mm_loadl_epi64(at);
                _mm_storel_epi64(at, _mm_or_si128(_mm_and_si128(m16, z16), _mm_andnot_si128(m16, oldz)));
            }
        } else {
            alignas(16) uint32_t part[4];
            alignas(16) uint32_t zpart[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(part), out);
            _mm_store_si128(reinterpret_cast<__m128i*>(zpart), zvals);
            for (int k = 0; k < n - i; ++k) {
                if (!lanes[i + k]) continue;
                std::memcpy(row + (i + k) * 4, &part[k], 4);
                if (ZWrite) {
                    const uint16_t z16 = static_cast<uint16_t>(zpart[k]);
                    std::memcpy(zrow + (i + k) * 2, &z16, 2);
                }
            }
        }
    }
}

template <int Textures, bool Fog, bool Blend, bool Less, bool ZWrite>
Work::SpanFn PickSpanAlpha(bool keepAlpha)
{
    return keepAlpha ? Span<Textures, Fog, Blend, Less, ZWrite, true> : Span<Textures, Fog, Blend, Less, ZWrite, false>;
}
template <int Textures, bool Fog, bool Blend>
Work::SpanFn PickSpanZ(bool less, bool zwrite, bool keepAlpha)
{
    if (less) return zwrite ? PickSpanAlpha<Textures, Fog, Blend, true, true>(keepAlpha)
                            : PickSpanAlpha<Textures, Fog, Blend, true, false>(keepAlpha);
    return zwrite ? PickSpanAlpha<Textures, Fog, Blend, false, true>(keepAlpha)
                  : PickSpanAlpha<Textures, Fog, Blend, false, false>(keepAlpha);
}
template <int Textures>
Work::SpanFn PickSpanRest(bool fog, bool blend, bool less, bool zwrite, bool keepAlpha)
{
    if (fog) return blend ? PickSpanZ<Textures, true, true>(less, zwrite, keepAlpha)
                          : PickSpanZ<Textures, true, false>(less, zwrite, keepAlpha);
    return blend ? PickSpanZ<Textures, false, true>(less, zwrite, keepAlpha)
                 : PickSpanZ<Textures, false, false>(less, zwrite, keepAlpha);
}

// The whole-run routine for the chosen steps, or null when they are not
// one of the shapes it covers.
Work::SpanFn PickSpan(const Work& w, int kind, DWORD zfunc)
{
    if (kind != kTargetX888 && kind != kTargetA888) return nullptr;
    if (!w.zTest || w.zBytes != 2 || w.zValues != ZValuesFast) return nullptr;
    if (zfunc != D3DCMP_LESS && zfunc != D3DCMP_LESSEQUAL) return nullptr;
    if (w.specularAdd || w.alphaTest || w.dither) return nullptr;
    const bool fog = w.fogFactors != nullptr;
    if (fog && (w.fogFactors != TableFog<D3DFOG_LINEAR> || w.fogEnd == w.fogStart)) return nullptr;
    if (w.blend && w.blend != BlendSrcAlpha) return nullptr;
    // Stages: none (the diffuse colour), or each modulating its texture
    // with what came before, colour and alpha alike.
    int textures = 0;
    const uint8_t* current = w.diffuse;
    for (int s = 0; s < w.stageCount; ++s) {
        const Work::Combine& c = w.combine[s];
        if (!c.colour) {
            if (c.out != current) return nullptr;  // a select of anything but what came before
            continue;
        }
        if (s != textures || !w.sample[s] || w.stages[s].levels[0].keyed || c.colour != StageOp<false, D3DTOP_MODULATE> ||
            c.alpha || c.mods)
            return nullptr;
        const bool args = (c.colourArg[0] == w.texel[s] && c.colourArg[1] == current) ||
                          (c.colourArg[1] == w.texel[s] && c.colourArg[0] == current);
        if (!args) return nullptr;
        current = c.out;
        ++textures;
    }
    for (int s = 0; s < w.stageCount; ++s)
        if (w.sample[s] && s >= textures) return nullptr;  // sampled but unused, or keyed
    if (w.colour != current || textures > 2) return nullptr;
    const bool less = zfunc == D3DCMP_LESS, zwrite = w.zWrite != nullptr, keepAlpha = kind == kTargetA888;
    switch (textures) {
    case 0: return PickSpanRest<0>(fog, w.blend != nullptr, less, zwrite, keepAlpha);
    case 1: return PickSpanRest<1>(fog, w.blend != nullptr, less, zwrite, keepAlpha);
    default: return PickSpanRest<2>(fog, w.blend != nullptr, less, zwrite, keepAlpha);
    }
}
}  // namespace

namespace {
float AsFloat(DWORD bits)
{
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}
void FillColour(uint8_t* buffer, DWORD argb, int n)
{
    for (int i = 0; i < n; ++i) std::memcpy(buffer + i * 4, &argb, 4);
}
}  // namespace

namespace {
// What D3DTA_TEXTURE reads on a stage: its texels, or without a texture
// white for colour and the diffuse alpha for alpha.
const uint8_t* TextureSource(Work& w, int stage, bool textured, bool readsAlpha)
{
    if (textured) return w.texel[stage];
    return readsAlpha ? w.diffuse : w.white;
}

// The buffer an argument names; modifiers are applied into a spare buffer.
const uint8_t* ArgumentSource(Work& w, DWORD arg, int stage, const uint8_t* current, bool textured, bool readsAlpha)
{
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_CURRENT: return current;
    case D3DTA_TEXTURE: return TextureSource(w, stage, textured, readsAlpha);
    case D3DTA_TFACTOR: return w.tfactor;
    case D3DTA_SPECULAR: return w.specular;
    default: return w.diffuse;
    }
}

const uint8_t* Argument(Work& w, Work::Combine& c, DWORD arg, int stage, const uint8_t* current, bool textured,
                        bool alphaPass)
{
    const bool complement = (arg & D3DTA_COMPLEMENT) != 0;
    const bool replicate = !alphaPass && (arg & D3DTA_ALPHAREPLICATE) != 0;
    const uint8_t* source = ArgumentSource(w, arg, stage, current, textured, alphaPass || replicate);
    if (!complement && !replicate) return source;
    if (c.mods >= 5) return source;
    int k = c.mods++;
    c.mod[k] = complement ? (replicate ? ComplementReplicate : Complement) : Replicate;
    c.modIn[k] = source;
    c.modOut[k] = w.modified[k];
    return w.modified[k];
}

// The third input of an operation: the alpha it blends by.
const uint8_t* BlendSource(Work& w, DWORD op, int stage, const uint8_t* current, bool textured, const uint8_t* arg1)
{
    switch (op) {
    case D3DTOP_BLENDDIFFUSEALPHA: return w.diffuse;
    case D3DTOP_BLENDTEXTUREALPHA:
    case D3DTOP_BLENDTEXTUREALPHAPM: return TextureSource(w, stage, textured, true);
    case D3DTOP_BLENDFACTORALPHA: return w.tfactor;
    case D3DTOP_BLENDCURRENTALPHA: return current;
    default: return arg1;
    }
}

int TargetKind(const DirectDrawPixelFormat& f)
{
    if (f.Palettised() || f.IsZBuffer()) return -1;
    if (f.Bytes() == 2 && f.RedMask() == 0xF800 && f.GreenMask() == 0x07E0 && f.BlueMask() == 0x001F) return kTarget565;
    if (f.Bytes() == 2 && f.RedMask() == 0x7C00 && f.GreenMask() == 0x03E0 && f.BlueMask() == 0x001F) return kTarget555;
    if (f.RedMask() != 0xFF0000 || f.GreenMask() != 0xFF00 || f.BlueMask() != 0xFF) return -1;
    if (f.Bytes() == 3) return kTarget888;
    if (f.Bytes() == 4) return f.AlphaMask() == 0xFF000000u ? kTargetA888 : kTargetX888;
    return -1;
}

bool IsLinear(DWORD filter, bool mag)
{
    if (mag) return filter == D3DTFG_LINEAR || filter == D3DTFG_FLATCUBIC || filter == D3DTFG_GAUSSIANCUBIC ||
                    filter == D3DTFG_ANISOTROPIC;
    return filter == D3DTFN_LINEAR || filter == D3DTFN_ANISOTROPIC;
}
}  // namespace

bool Configure(Work& w, const Direct3DPixelPipeline::Settings& settings, int& coordSets, bool& needSpecular)
{
    const DWORD* rs = settings.renderStates;
    coordSets = 0;
    DirectDrawSurface* target = settings.target;
    if (!target) return false;
    const int kind = TargetKind(target->Format());
    if (kind < 0) return false;
    w.targetBits = target->MutableBits();
    w.targetPitch = target->Pitch();
    w.targetWidth = target->Width();
    w.targetHeight = target->Height();
    w.targetBytes = target->Format().Bytes();
    switch (kind) {
    case kTarget565: w.readTarget = ReadTarget<kTarget565>; w.writeTarget = WriteTarget<kTarget565>; break;
    case kTarget555: w.readTarget = ReadTarget<kTarget555>; w.writeTarget = WriteTarget<kTarget555>; break;
    case kTarget888: w.readTarget = ReadTarget<kTarget888>; w.writeTarget = WriteTarget<kTarget888>; break;
    case kTargetX888: w.readTarget = ReadTarget<kTargetX888>; w.writeTarget = WriteTarget<kTargetX888>; break;
    default: w.readTarget = ReadTarget<kTargetA888>; w.writeTarget = WriteTarget<kTargetA888>; break;
    }

    // Z.
    w.zTest = nullptr;
    w.zWrite = nullptr;
    DirectDrawSurface* z = settings.zbuffer;
    if (z && rs[D3DRENDERSTATE_ZENABLE] != D3DZB_FALSE && z->Width() >= w.targetWidth &&
        z->Height() >= w.targetHeight && z->Format().Bytes() >= 2) {
        w.zBits = z->MutableBits();
        w.zPitch = z->Pitch();
        w.zBytes = z->Format().Bytes();
        uint32_t mask = z->Format().RedMask();
        if (!mask) mask = w.zBytes == 2 ? 0xFFFFu : (w.zBytes == 3 ? 0xFFFFFFu : 0xFFFFFFFFu);
        w.zScale = static_cast<double>(mask);
        w.zValues = mask > 0xFFFFFFu ? ZValues : ZValuesFast;
        w.zOffset = static_cast<float>(rs[D3DRENDERSTATE_ZBIAS] & 31) * (1.0f / 16384.0f);
        const DWORD func = rs[D3DRENDERSTATE_ZFUNC];
        const bool write = rs[D3DRENDERSTATE_ZWRITEENABLE] != 0;
        switch (w.zBytes) {
        case 2: w.zTest = PickZTest<2>(func); w.zWrite = write ? ZWrite<2> : nullptr; break;
        case 3: w.zTest = PickZTest<3>(func); w.zWrite = write ? ZWrite<3> : nullptr; break;
        default: w.zTest = PickZTest<4>(func); w.zWrite = write ? ZWrite<4> : nullptr; break;
        }
    }

    // Texture stages.
    FillColour(w.tfactor, rs[D3DRENDERSTATE_TEXTUREFACTOR], K);
    FillColour(w.white, 0xFFFFFFFFu, K);
    w.stageCount = 0;
    w.colour = w.diffuse;
    const uint8_t* current = w.diffuse;
    for (int s = 0; s < Direct3DPixelPipeline::kStages; ++s) {
        const DWORD* ss = settings.stageStates[s];
        const DWORD colourOp = ss[D3DTSS_COLOROP];
        if (colourOp == D3DTOP_DISABLE || colourOp < D3DTOP_DISABLE || colourOp > D3DTOP_DOTPRODUCT3) break;
        StageSetup& stage = w.stages[s];
        stage = StageSetup();
        w.sample[s] = nullptr;
        DirectDrawSurface* surface = settings.textures[s];
        bool textured = false;
        const Direct3DTexture* texture = nullptr;
        if (surface && !surface->Lost() && (surface->Caps() & DDSCAPS_TEXTURE) && !surface->Format().Palettised()) {
            texture = Direct3DTexture::Of(surface);
            textured = texture->LevelCount() > 0;
        }
        if (textured) {
            stage.coordSet = static_cast<int>(ss[D3DTSS_TEXCOORDINDEX] & 0xFFFF) > 0 ? 1 : 0;
            stage.lodBias = AsFloat(ss[D3DTSS_MIPMAPLODBIAS]);
            const bool key = rs[D3DRENDERSTATE_COLORKEYENABLE] && texture->HasKey();
            const int levels = texture->LevelCount() < StageSetup::kMaxLevels ? texture->LevelCount()
                                                                               : StageSetup::kMaxLevels;
            for (int l = 0; l < levels; ++l) {
                const Direct3DTexture::Level& level = texture->GetLevel(l);
                LevelView& view = stage.levels[l];
                view.texels = key ? level.keyedTexels.data() : level.texels.data();
                view.keyed = key ? level.keyed.data() : nullptr;
                view.width = level.width;
                view.height = level.height;
                view.fw = static_cast<float>(level.width);
                view.fh = static_cast<float>(level.height);
                view.pow2 = level.pow2;
                view.widthShift = 0;
                while ((1 << view.widthShift) < level.width) ++view.widthShift;
            }
            stage.lastLevel = levels - 1;
            stage.maxLevel = static_cast<int>(ss[D3DTSS_MAXMIPLEVEL] < static_cast<DWORD>(levels)
                                                  ? ss[D3DTSS_MAXMIPLEVEL]
                                                  : static_cast<DWORD>(levels - 1));
            stage.out = w.texel[s];
            const bool magLinear = IsLinear(ss[D3DTSS_MAGFILTER], true);
            const bool minLinear = IsLinear(ss[D3DTSS_MINFILTER], false);
            int filter = magLinear == minLinear ? (magLinear ? kLinear : kPoint) : (minLinear ? kByLod : kByLodMag);
            int mip = kMipNone;
            if (levels > 1 && ss[D3DTSS_MIPFILTER] == D3DTFP_POINT) mip = kMipPoint;
            if (levels > 1 && ss[D3DTSS_MIPFILTER] == D3DTFP_LINEAR) mip = kMipLinear;
            w.sample[s] = PickSampler(filter, static_cast<int>(ss[D3DTSS_ADDRESSU]),
                                      static_cast<int>(ss[D3DTSS_ADDRESSV]), mip, key);
            if (stage.coordSet + 1 > coordSets) coordSets = stage.coordSet + 1;
        }
        Work::Combine& c = w.combine[s];
        c = Work::Combine();
        c.out = w.output[s & 1];
        const uint8_t* a1 = Argument(w, c, ss[D3DTSS_COLORARG1], s, current, textured, false);
        const uint8_t* a2 = Argument(w, c, ss[D3DTSS_COLORARG2], s, current, textured, false);
        c.colour = PickOp<false>(colourOp);
        c.colourArg[0] = a1;
        c.colourArg[1] = a2;
        c.colourArg[2] = BlendSource(w, colourOp, s, current, textured, a1);
        DWORD alphaOp = ss[D3DTSS_ALPHAOP];
        if (alphaOp == D3DTOP_DISABLE || alphaOp < D3DTOP_DISABLE || alphaOp > D3DTOP_DOTPRODUCT3) {
            c.alpha = PickOp<true>(D3DTOP_SELECTARG1);
            c.alphaArg[0] = c.alphaArg[1] = c.alphaArg[2] = current;
        } else {
            const uint8_t* b1 = Argument(w, c, ss[D3DTSS_ALPHAARG1], s, current, textured, true);
            const uint8_t* b2 = Argument(w, c, ss[D3DTSS_ALPHAARG2], s, current, textured, true);
            c.alpha = PickOp<true>(alphaOp);
            c.alphaArg[0] = b1;
            c.alphaArg[1] = b2;
            c.alphaArg[2] = BlendSource(w, alphaOp, s, current, textured, b1);
        }
        // The colour pass works on all four bytes: with the same operation on
        // the same arguments its alpha byte is already the alpha pass's.
        if (alphaOp == colourOp && c.alphaArg[0] == c.colourArg[0] && c.alphaArg[1] == c.colourArg[1] &&
            c.alphaArg[2] == c.colourArg[2])
            c.alpha = nullptr;
        // A stage that only passes one scratch buffer on runs no operation.
        const bool select = colourOp == D3DTOP_SELECTARG1 || colourOp == D3DTOP_SELECTARG2;
        const uint8_t* selected = colourOp == D3DTOP_SELECTARG1 ? c.colourArg[0] : c.colourArg[1];
        const bool sameAlpha = (alphaOp == D3DTOP_SELECTARG1 && c.alphaArg[0] == selected) ||
                               (alphaOp == D3DTOP_SELECTARG2 && c.alphaArg[1] == selected);
        if (select && sameAlpha && c.mods == 0 && (selected == w.diffuse || selected == w.texel[s])) {
            c.colour = nullptr;
            c.out = const_cast<uint8_t*>(selected);
        }
        current = c.out;
        w.colour = c.out;
        w.stageCount = s + 1;
    }

    // Specular, fog, alpha test, blending.
    w.specularAdd = rs[D3DRENDERSTATE_SPECULARENABLE] != 0;
    w.fogFactors = nullptr;
    if (rs[D3DRENDERSTATE_FOGENABLE]) {
        const DWORD table = rs[D3DRENDERSTATE_FOGTABLEMODE];
        w.fogStart = AsFloat(rs[D3DRENDERSTATE_FOGSTART]);
        w.fogEnd = AsFloat(rs[D3DRENDERSTATE_FOGEND]);
        w.fogDensity = AsFloat(rs[D3DRENDERSTATE_FOGDENSITY]);
        switch (table) {
        case D3DFOG_LINEAR: w.fogFactors = TableFog<D3DFOG_LINEAR>; break;
        case D3DFOG_EXP: w.fogFactors = TableFog<D3DFOG_EXP>; break;
        case D3DFOG_EXP2: w.fogFactors = TableFog<D3DFOG_EXP2>; break;
        default: w.fogFactors = VertexFog; break;
        }
        const DWORD fc = rs[D3DRENDERSTATE_FOGCOLOR];
        w.fogColour[0] = static_cast<uint8_t>(fc);
        w.fogColour[1] = static_cast<uint8_t>(fc >> 8);
        w.fogColour[2] = static_cast<uint8_t>(fc >> 16);
        w.fogColour[3] = static_cast<uint8_t>(fc >> 24);
    }
    needSpecular = w.specularAdd || w.fogFactors == VertexFog;
    w.alphaTest = rs[D3DRENDERSTATE_ALPHATESTENABLE] ? PickAlphaTest(rs[D3DRENDERSTATE_ALPHAFUNC]) : nullptr;
    w.alphaRef = static_cast<uint8_t>(rs[D3DRENDERSTATE_ALPHAREF]);

    w.dither = rs[D3DRENDERSTATE_DITHERENABLE] && (kind == kTarget565 || kind == kTarget555);
    if (w.dither) MakeDitherRows(w, 5, kind == kTarget565 ? 6 : 5, 5);

    w.blend = nullptr;
    if (rs[D3DRENDERSTATE_ALPHABLENDENABLE]) {
        DWORD src = rs[D3DRENDERSTATE_SRCBLEND], dst = rs[D3DRENDERSTATE_DESTBLEND];
        if (src == D3DBLEND_BOTHSRCALPHA) {
            src = D3DBLEND_SRCALPHA;
            dst = D3DBLEND_INVSRCALPHA;
        } else if (src == D3DBLEND_BOTHINVSRCALPHA) {
            src = D3DBLEND_INVSRCALPHA;
            dst = D3DBLEND_SRCALPHA;
        }
        if (src == D3DBLEND_SRCALPHA && dst == D3DBLEND_INVSRCALPHA) {
            w.blend = BlendSrcAlpha;
        } else if (src == D3DBLEND_ONE && dst == D3DBLEND_ONE) {
            w.blend = BlendAdd;
        } else if (!(src == D3DBLEND_ONE && dst == D3DBLEND_ZERO)) {
            w.blend = BlendGeneric;
            w.srcFactor = PickFactor(src);
            w.dstFactor = PickFactor(dst);
        }
    }
    w.span = PickSpan(w, kind, rs[D3DRENDERSTATE_ZFUNC]);
    return true;
}

void Draw(Work& w, const Run& run, bool needSpecular)
{
    if (w.span) {
        w.span(w, run);
        return;
    }
    const int n = run.n;
    uint8_t* zrow = nullptr;
    if (w.zTest) {
        zrow = w.zBits + static_cast<size_t>(run.y) * w.zPitch + static_cast<size_t>(run.x) * w.zBytes;
        w.zValues(run, w.zScale, w.zOffset, w.zvalue);
        if (!w.zTest(zrow, w.zvalue, w.mask, n)) return;
    } else {
        std::memset(w.mask, 1, static_cast<size_t>(n));
    }
    Interpolate(run.diffuse, run.ddiffuse, w.diffuse, n);
    if (needSpecular) Interpolate(run.specular, run.dspecular, w.specular, n);
    for (int s = 0; s < w.stageCount; ++s)
        if (w.sample[s]) w.sample[s](w.stages[s], run, w, n);
    for (int s = 0; s < w.stageCount; ++s) {
        const Work::Combine& c = w.combine[s];
        if (!c.colour) continue;
        for (int k = 0; k < c.mods; ++k) c.mod[k](c.modIn[k], c.modOut[k], n);
        c.colour(c.colourArg[0], c.colourArg[1], c.colourArg[2], c.out, n);
        if (c.alpha) c.alpha(c.alphaArg[0], c.alphaArg[1], c.alphaArg[2], c.out, n);
    }
    uint8_t* colour = w.colour;
    if (w.specularAdd) AddSpecular(colour, w.specular, n);
    if (w.fogFactors) {
        w.fogFactors(run, w, w.fog, n);
        ApplyFog(colour, w.fog, w.fogColour, n);
    }
    if (w.alphaTest && !w.alphaTest(colour, w.alphaRef, w.mask, n)) return;
    uint8_t* row = w.targetBits + static_cast<size_t>(run.y) * w.targetPitch + static_cast<size_t>(run.x) * w.targetBytes;
    if (w.blend) {
        w.readTarget(row, w.dest, n);
        if (w.blend == BlendGeneric) {
            w.srcFactor(colour, w.dest, w.factorSrc, n);
            w.dstFactor(colour, w.dest, w.factorDst, n);
        }
        w.blend(colour, w.dest, w.factorSrc, w.factorDst, w.dest, n);
        colour = w.dest;
    }
    if (w.dither) Dither(w, colour, run.x, run.y, n);
    w.writeTarget(row, colour, w.mask, n);
    if (w.zWrite) w.zWrite(zrow, w.zvalue, w.mask, n);
}
}  // namespace RCV_PIXEL_ISA
}  // namespace platform

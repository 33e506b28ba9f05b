#include "platform/Direct3DPixelPipeline.h"

#include "platform/Direct3DTexture.h"
#include "platform/DirectDrawSurface.h"

#include <cmath>
#include <cstring>
#include <emmintrin.h>

namespace platform {
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
// Approximate log2 from the float's bits (exact at powers of two).
inline float FastLog2(float x)
{
    uint32_t bits;
    std::memcpy(&bits, &x, 4);
    float e = static_cast<float>(static_cast<int>((bits >> 23) & 0xFF) - 127);
    bits = (bits & 0x007FFFFF) | 0x3F800000;
    float m;
    std::memcpy(&m, &bits, 4);
    return e + (m - 1.0f) * (1.3465557f - 0.34655572f * (m - 1.0f));
}
}  // namespace

// One texture stage as the pixel steps see it.
// One MIP level as the samplers read it.
struct LevelView {
    const uint32_t* texels = nullptr;  // the keyed copy when the key is on
    const uint8_t* keyed = nullptr;
    int width = 1, height = 1;
    float fw = 1, fh = 1;
    bool pow2 = true;
};

struct StageSetup {
    static constexpr int kMaxLevels = 16;
    int coordSet = 0;
    float lodBias = 0;
    int maxLevel = 0;  // MAXMIPLEVEL: the most detailed level allowed
    int lastLevel = 0;
    LevelView levels[kMaxLevels];
    uint8_t* out = nullptr;
};

struct Direct3DPixelPipeline::Work {
    alignas(16) uint8_t mask[K];
    alignas(16) uint32_t zvalue[K];
    alignas(16) uint8_t diffuse[K * 4];
    alignas(16) uint8_t specular[K * 4];
    alignas(16) uint8_t texel[kStages][K * 4];
    alignas(16) uint8_t current[K * 4];
    alignas(16) uint8_t tfactor[K * 4];
    alignas(16) uint8_t white[K * 4];
    alignas(16) uint8_t modified[5][K * 4];
    alignas(16) uint8_t output[2][K * 4];
    alignas(16) uint8_t result[K * 4];
    alignas(16) uint8_t dest[K * 4];
    alignas(16) uint8_t factorSrc[K * 4];
    alignas(16) uint8_t factorDst[K * 4];
    alignas(16) uint8_t fog[K];
    alignas(16) float u[K];
    alignas(16) float v[K];
    alignas(16) float lod[K];

    // Target and Z.
    uint8_t* targetBits = nullptr;
    int targetPitch = 0;
    int targetWidth = 0, targetHeight = 0;
    uint8_t* zBits = nullptr;
    int zPitch = 0;
    int zBytes = 0;
    double zScale = 0;
    float zOffset = 0;

    // Steps.
    typedef int (*ZTestFn)(const uint8_t* row, const uint32_t* z, uint8_t* mask, int n);
    typedef void (*ZWriteFn)(uint8_t* row, const uint32_t* z, const uint8_t* mask, int n);
    typedef void (*ZValueFn)(const Run& run, double scale, float offset, uint32_t* out);
    ZValueFn zValues = nullptr;
    ZTestFn zTest = nullptr;
    ZWriteFn zWrite = nullptr;

    typedef void (*SampleFn)(const StageSetup& stage, const Run& run, Work& w, int n);
    struct Combine {
        typedef void (*OpFn)(const uint8_t* a, const uint8_t* b, const uint8_t* c, uint8_t* out, int n);
        typedef void (*ModFn)(const uint8_t* in, uint8_t* out, int n);
        OpFn colour = nullptr;
        OpFn alpha = nullptr;
        const uint8_t* colourArg[3] = {nullptr, nullptr, nullptr};
        const uint8_t* alphaArg[3] = {nullptr, nullptr, nullptr};
        ModFn mod[5] = {};  // modifiers, each from modIn into modOut before the operations run
        const uint8_t* modIn[5] = {};
        uint8_t* modOut[5] = {};
        int mods = 0;
        uint8_t* out = nullptr;
    };
    int stageCount = 0;     // stages that run
    int sampledCount = 0;   // stages with a texture to sample
    StageSetup stages[kStages];
    SampleFn sample[kStages] = {};
    bool keyed[kStages] = {};
    Combine combine[kStages];
    uint8_t* colour = nullptr;  // where the combined colour ends up

    bool specularAdd = false;
    typedef void (*FogFn)(const Run& run, const Work& w, uint8_t* fog, int n);
    FogFn fogFactors = nullptr;
    uint8_t fogColour[4] = {0, 0, 0, 0};
    float fogStart = 0, fogEnd = 1, fogDensity = 1;
    typedef int (*AlphaTestFn)(const uint8_t* colour, uint8_t ref, uint8_t* mask, int n);
    AlphaTestFn alphaTest = nullptr;
    uint8_t alphaRef = 0;

    typedef void (*ReadFn)(const uint8_t* row, uint8_t* out, int n);
    typedef void (*WriteFn)(uint8_t* row, const uint8_t* colour, const uint8_t* mask, int n);
    typedef void (*FactorFn)(const uint8_t* src, const uint8_t* dst, uint8_t* out, int n);
    typedef void (*BlendFn)(const uint8_t* src, const uint8_t* dst, const uint8_t* fs, const uint8_t* fd,
                            uint8_t* out, int n);
    ReadFn readTarget = nullptr;
    WriteFn writeTarget = nullptr;
    FactorFn srcFactor = nullptr;
    FactorFn dstFactor = nullptr;
    BlendFn blend = nullptr;
    int targetBytes = 0;
};

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
    for (int i = 0; i < n; ++i) {
        float v = (z + dz * static_cast<float>(i)) * s;
        v = v < 0 ? 0 : (v > s ? s : v);
        out[i] = static_cast<uint32_t>(static_cast<int32_t>(v));
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
    for (int i = 0; i < n; ++i) {
        uint8_t m = Compare<Func>(z[i], ZRead<Bytes>(row + i * Bytes)) ? 1 : 0;
        mask[i] = m;
        passed += m;
    }
    return passed;
}
template <int Bytes>
void ZWrite(uint8_t* row, const uint32_t* z, const uint8_t* mask, int n)
{
    for (int i = 0; i < n; ++i)
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
    const __m128i top = _mm_set1_epi32(255);
    const __m128i zero = _mm_setzero_si128();
    for (int i = 0; i < n; ++i) {
        __m128i c = _mm_srai_epi32(value, 16);
        c = _mm_and_si128(c, _mm_cmpgt_epi32(c, zero));                         // below 0: 0
        const __m128i over = _mm_cmpgt_epi32(c, top);                            // above 255: 255
        c = _mm_or_si128(_mm_andnot_si128(over, c), _mm_and_si128(over, top));
        c = _mm_packs_epi32(c, c);
        const int packed = _mm_cvtsi128_si32(_mm_packus_epi16(c, c));
        std::memcpy(out + i * 4, &packed, 4);
        value = _mm_add_epi32(value, delta);
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

template <int Filter, int AU, int AV, bool Key>
__attribute__((always_inline)) inline uint32_t SampleLevel(const LevelView& lv, float u, float v, uint8_t& keyed)
{
    if (Filter == kPoint) {
        const float limit = 4194304.0f;
        float tu = u * lv.fw, tv = v * lv.fh;
        tu = tu < -limit ? -limit : (tu > limit ? limit : tu);
        tv = tv < -limit ? -limit : (tv > limit ? limit : tv);
        const int x = Address<AU>(FloorInt(tu), lv.width, lv.pow2);
        const int y = Address<AV>(FloorInt(tv), lv.height, lv.pow2);
        const size_t at = static_cast<size_t>(y) * lv.width + x;
        if (Key) keyed = lv.keyed[at];
        return lv.texels[at];
    }
    // 8.8 fixed point, half a texel back so that texel centres weigh fully.
    const float limit = 1.0e9f;
    float tu = u * lv.fw * 256.0f - 128.0f, tv = v * lv.fh * 256.0f - 128.0f;
    tu = tu < -limit ? -limit : (tu > limit ? limit : tu);
    tv = tv < -limit ? -limit : (tv > limit ? limit : tv);
    const int iu = FloorInt(tu), iv = FloorInt(tv);
    const int x0 = iu >> 8, y0 = iv >> 8, fu = iu & 255, fv = iv & 255;
    const int xa = Address<AU>(x0, lv.width, lv.pow2), xb = Address<AU>(x0 + 1, lv.width, lv.pow2);
    const int ya = Address<AV>(y0, lv.height, lv.pow2), yb = Address<AV>(y0 + 1, lv.height, lv.pow2);
    const uint32_t* rowA = lv.texels + static_cast<size_t>(ya) * lv.width;
    const uint32_t* rowB = lv.texels + static_cast<size_t>(yb) * lv.width;
    if (Key) keyed = lv.keyed[static_cast<size_t>(fv >= 128 ? yb : ya) * lv.width + (fu >= 128 ? xb : xa)];
    return Bilinear(rowA[xa], rowA[xb], rowB[xa], rowB[xb], fu, fv);
}

template <int Filter, int AU, int AV, int Mip, bool Key>
void Sample(const StageSetup& stage, const Run& run, Work& w, int n)
{
    const int set = stage.coordSet;
    const int last = stage.lastLevel;
    const float uw = run.uw[set], duw = run.duw[set], vw = run.vw[set], dvw = run.dvw[set];
    const float rhw = run.rhw, drhw = run.drhw;
    const float duwdy = run.duwdy[set], dvwdy = run.dvwdy[set], drhwdy = run.drhwdy;
    const float W = stage.levels[0].fw, H = stage.levels[0].fh;
    constexpr bool kNeedLod = Mip != kMipNone || Filter >= kByLod;
    constexpr int kMinFilter = Filter == kByLod ? kLinear : (Filter == kByLodMag ? kPoint : Filter);
    uint32_t* out = reinterpret_cast<uint32_t*>(stage.out);
    uint8_t* mask = w.mask;
    float lod = 0;
    for (int i = 0; i < n; ++i) {
        const float fi = static_cast<float>(i);
        const float inv = 1.0f / (rhw + drhw * fi);
        const float u = (uw + duw * fi) * inv, v = (vw + dvw * fi) * inv;
        if (kNeedLod && (i & 3) == 0) {
            // Once per four pixels, as hardware does per 2 x 2 quad: texels per
            // pixel along x and y, from the derivatives of u/w, v/w and 1/w.
            const float dudx = (duw - u * drhw) * inv * W, dvdx = (dvw - v * drhw) * inv * H;
            const float dudy = (duwdy - u * drhwdy) * inv * W, dvdy = (dvwdy - v * drhwdy) * inv * H;
            const float rx = dudx * dudx + dvdx * dvdx, ry = dudy * dudy + dvdy * dvdy;
            const float r = rx > ry ? rx : ry;
            lod = r > 0 ? 0.5f * FastLog2(r) + stage.lodBias : -100.0f;
        }
        int level = stage.maxLevel;
        float frac = 0;
        if (Mip != kMipNone) {
            const float l = lod < 0 ? 0 : lod;
            if (Mip == kMipPoint) {
                level = static_cast<int>(l + 0.5f);
            } else {
                level = static_cast<int>(l);
                frac = l - static_cast<float>(level);
            }
            if (level < stage.maxLevel) {
                level = stage.maxLevel;
                frac = 0;
            }
            if (level >= last) {
                level = last;
                frac = 0;
            }
        }
        const LevelView& lv = stage.levels[level];
        uint8_t keyed = 0;
        uint32_t texel;
        if (Filter == kByLod || Filter == kByLodMag) {
            const bool linear = (lod > 0) == (Filter == kByLod);
            texel = linear ? SampleLevel<kLinear, AU, AV, Key>(lv, u, v, keyed)
                           : SampleLevel<kPoint, AU, AV, Key>(lv, u, v, keyed);
        } else {
            texel = SampleLevel<Filter, AU, AV, Key>(lv, u, v, keyed);
        }
        if (Mip == kMipLinear && frac > 0) {
            uint8_t unused = 0;
            const uint32_t next = SampleLevel<kMinFilter, AU, AV, false>(stage.levels[level + 1], u, v, unused);
            texel = Lerp8(texel, next, static_cast<int>(frac * 256.0f));
        }
        out[i] = texel;
        if (Key && keyed) mask[i] = 0;
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

template <bool Alpha, int Op>
void StageOp(const uint8_t* a, const uint8_t* b, const uint8_t* c, uint8_t* out, int n)
{
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
    for (int i = 0; i < n; ++i) {
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
    for (int i = 0; i < n; ++i) {
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
    for (int i = 0; i < n; ++i) {
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
    for (int i = 0; i < n; ++i) {
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

Direct3DPixelPipeline::Direct3DPixelPipeline() : m_work(new Work) {}

Direct3DPixelPipeline::~Direct3DPixelPipeline()
{
    delete m_work;
}

namespace {
// The buffer an argument names; modifiers are applied into a spare buffer.
const uint8_t* ArgumentSource(Work& w, DWORD arg, int stage, const uint8_t* current, bool textured)
{
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_CURRENT: return current;
    case D3DTA_TEXTURE: return textured ? w.texel[stage] : w.white;
    case D3DTA_TFACTOR: return w.tfactor;
    case D3DTA_SPECULAR: return w.specular;
    default: return w.diffuse;
    }
}

const uint8_t* Argument(Work& w, Work::Combine& c, DWORD arg, int stage, const uint8_t* current, bool textured,
                        bool alphaPass)
{
    const uint8_t* source = ArgumentSource(w, arg, stage, current, textured);
    const bool complement = (arg & D3DTA_COMPLEMENT) != 0;
    const bool replicate = !alphaPass && (arg & D3DTA_ALPHAREPLICATE) != 0;
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
    case D3DTOP_BLENDTEXTUREALPHAPM: return textured ? w.texel[stage] : w.white;
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

bool Direct3DPixelPipeline::Configure(const Settings& settings)
{
    Work& w = *m_work;
    const DWORD* rs = settings.renderStates;
    m_drawable = false;
    m_coordSets = 0;
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
    for (int s = 0; s < kStages; ++s) {
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
            if (stage.coordSet + 1 > m_coordSets) m_coordSets = stage.coordSet + 1;
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
    m_needSpecular = w.specularAdd || w.fogFactors == VertexFog;
    w.alphaTest = rs[D3DRENDERSTATE_ALPHATESTENABLE] ? PickAlphaTest(rs[D3DRENDERSTATE_ALPHAFUNC]) : nullptr;
    w.alphaRef = static_cast<uint8_t>(rs[D3DRENDERSTATE_ALPHAREF]);

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
    m_drawable = true;
    return true;
}

void Direct3DPixelPipeline::Draw(const Run& run)
{
    Work& w = *m_work;
    const int n = run.n;
    if (n <= 0 || !m_drawable) return;
    uint8_t* zrow = nullptr;
    if (w.zTest) {
        zrow = w.zBits + static_cast<size_t>(run.y) * w.zPitch + static_cast<size_t>(run.x) * w.zBytes;
        w.zValues(run, w.zScale, w.zOffset, w.zvalue);
        if (!w.zTest(zrow, w.zvalue, w.mask, n)) return;
    } else {
        std::memset(w.mask, 1, static_cast<size_t>(n));
    }
    Interpolate(run.diffuse, run.ddiffuse, w.diffuse, n);
    if (m_needSpecular) Interpolate(run.specular, run.dspecular, w.specular, n);
    for (int s = 0; s < w.stageCount; ++s)
        if (w.sample[s]) w.sample[s](w.stages[s], run, w, n);
    for (int s = 0; s < w.stageCount; ++s) {
        const Work::Combine& c = w.combine[s];
        for (int k = 0; k < c.mods; ++k) c.mod[k](c.modIn[k], c.modOut[k], n);
        c.colour(c.colourArg[0], c.colourArg[1], c.colourArg[2], c.out, n);
        c.alpha(c.alphaArg[0], c.alphaArg[1], c.alphaArg[2], c.out, n);
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
        w.writeTarget(row, w.dest, w.mask, n);
    } else {
        w.writeTarget(row, colour, w.mask, n);
    }
    if (w.zWrite) w.zWrite(zrow, w.zvalue, w.mask, n);
}
}  // namespace platform

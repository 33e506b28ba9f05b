// Every built form of every fast-math routine against the portable form, and
// the routines' own edge cases.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <utility>
#include <vector>

#include "foundation/YFastMath.h"
#include "foundation/YFastMathForms.h"
#include "foundation/YSineTable.h"
#include "foundation/YVector.h"

namespace {
uint32_t Bits(float f)
{
    uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

const MathForm kBuilt[] = {MathForm::Plain, MathForm::Cmov, MathForm::Mmx, MathForm::MmxExt, MathForm::Sse};

// Forms whose results may differ from the portable form, and by how much.
enum class Precision { Exact, Refined, Estimate, Truncates, BlendWeights };

Precision PrecisionOf(MathForm form, int entry)
{
    if (form == MathForm::Sse) {
        switch (entry) {
        case kEntryFastSqrt: case kEntryVectorLength: case kEntryVectorNormalizeSafe:
        case kEntryDivFloat: case kEntryReciprocal:
            return Precision::Refined;
        case kEntryApproxSqrt: case kEntryVectorFastLength: case kEntryFastDivFloat:
        case kEntryFastReciprocal:
            return Precision::Estimate;
        case kEntryFloatToInt:
            return Precision::Truncates;
        default: break;
        }
    }
    if ((form == MathForm::Mmx || form == MathForm::MmxExt) && entry == kEntryAlphaBlendRect)
        return Precision::BlendWeights;
    return Precision::Exact;
}

constexpr double kRefined = 1e-6;             // one Newton step from a 12-bit estimate
constexpr double kEstimate = 1.5 / 4096.0;    // the raw SSE estimate
constexpr double kMagicSqrt = 0.002;          // 0x5f3759df and one Newton step

class FastMathForms : public ::testing::Test {
protected:
    // single precision on the x87, as at start-up
    static void SetUpTestSuite() { BuildSineTable(); }

    std::mt19937 rng{1234};
    float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }
    YVector RandomVector() { return YVector(Uniform(-100, 100), Uniform(-100, 100), Uniform(-100, 100)); }
    YMatrix RandomMatrix(bool affine)
    {
        YMatrix m;
        for (float& e : m.m[0]) e = Uniform(-4, 4);
        for (int i = 0; i < 16; ++i) m.Data()[i] = Uniform(-4, 4);
        if (affine) m.m[0][3] = m.m[1][3] = m.m[2][3] = 0.0f, m.m[3][3] = 1.0f;
        return m;
    }
};

void ExpectClose(double got, double want, Precision p, const char* what)
{
    switch (p) {
    case Precision::Exact: EXPECT_EQ(float(got), float(want)) << what; break;
    case Precision::Refined: EXPECT_NEAR(got, want, std::fabs(want) * kRefined) << what; break;
    default: EXPECT_NEAR(got, want, std::fabs(want) * (kEstimate + kMagicSqrt)) << what; break;
    }
}

void ExpectSame(const YVector& got, const YVector& want, Precision p, const char* what)
{
    ExpectClose(got.x, want.x, p, what);
    ExpectClose(got.y, want.y, p, what);
    ExpectClose(got.z, want.z, p, what);
}

void ExpectSame(const YMatrix& got, const YMatrix& want, const char* what)
{
    for (int i = 0; i < 16; ++i) EXPECT_EQ(got.Data()[i], want.Data()[i]) << what << " element " << i;
}

TEST_F(FastMathForms, MatrixRoutinesAgreeWithThePortableForm)
{
    const YFastMath& p = MathFormTable(MathForm::Portable);
    for (MathForm form : kBuilt) {
        const YFastMath& t = MathFormTable(form);
        const char* name = MathFormName(form);
        for (int round = 0; round < 200; ++round) {
            YMatrix got = RandomMatrix(false), want = RandomMatrix(false);
            const float x = Uniform(-50, 50), y = Uniform(-50, 50), z = Uniform(-50, 50);
            const YVector v(x, y, z);
            if (t.MatrixZero) { t.MatrixZero(&got); p.MatrixZero(&want); ExpectSame(got, want, name); }
            if (t.MatrixIdentity) { t.MatrixIdentity(&got); p.MatrixIdentity(&want); ExpectSame(got, want, name); }
            if (t.MatrixTranslation) { t.MatrixTranslation(&got, x, y, z); p.MatrixTranslation(&want, x, y, z); ExpectSame(got, want, name); }
            if (t.MatrixTranslationV) { t.MatrixTranslationV(&got, &v); p.MatrixTranslationV(&want, &v); ExpectSame(got, want, name); }
            if (t.MatrixScaling) { t.MatrixScaling(&got, x, y, z); p.MatrixScaling(&want, x, y, z); ExpectSame(got, want, name); }
            if (t.MatrixTranspose) { want = got = RandomMatrix(false); t.MatrixTranspose(&got); p.MatrixTranspose(&want); ExpectSame(got, want, name); }
            const YMatrix a = RandomMatrix(false), b = RandomMatrix(false);
            if (t.MatrixMultiply) { t.MatrixMultiply(&got, &a, &b); p.MatrixMultiply(&want, &a, &b); ExpectSame(got, want, name); }
            const YMatrix aa = RandomMatrix(true), ab = RandomMatrix(true);
            if (t.MatrixMultiplyAffine) { t.MatrixMultiplyAffine(&got, &aa, &ab); p.MatrixMultiplyAffine(&want, &aa, &ab); ExpectSame(got, want, name); }
            const float ax = Uniform(-7, 7), ay = Uniform(-7, 7), az = Uniform(-7, 7);
            if (t.MatrixRotationEuler1) {
                t.MatrixRotationEuler1(&got, ax, ay, az); p.MatrixRotationEuler1(&want, ax, ay, az); ExpectSame(got, want, name);
                t.MatrixRotationEuler2(&got, ax, ay, az); p.MatrixRotationEuler2(&want, ax, ay, az); ExpectSame(got, want, name);
                t.MatrixRotationEuler3(&got, ax, ay, az); p.MatrixRotationEuler3(&want, ax, ay, az); ExpectSame(got, want, name);
                t.MatrixRotationEuler4(&got, ax, ay, az); p.MatrixRotationEuler4(&want, ax, ay, az); ExpectSame(got, want, name);
                t.MatrixRotationEuler5(&got, ax, ay, az); p.MatrixRotationEuler5(&want, ax, ay, az); ExpectSame(got, want, name);
                t.MatrixRotationEuler6(&got, ax, ay, az); p.MatrixRotationEuler6(&want, ax, ay, az); ExpectSame(got, want, name);
            }
            if (HasFailure()) return;
        }
    }
}

TEST_F(FastMathForms, ScalarRoutinesAgreeWithThePortableForm)
{
    const YFastMath& p = MathFormTable(MathForm::Portable);
    for (MathForm form : kBuilt) {
        const YFastMath& t = MathFormTable(form);
        const char* name = MathFormName(form);
        for (int round = 0; round < 2000; ++round) {
            const float pos = std::exp(Uniform(-20, 20));
            const float a = Uniform(-1000, 1000), b = Uniform(-1000, 1000);
            if (t.FastSqrt) ExpectClose(t.FastSqrt(pos), p.FastSqrt(pos), PrecisionOf(form, kEntryFastSqrt), name);
            if (t.ApproxSqrt) {
                EXPECT_NEAR(t.ApproxSqrt(pos), std::sqrt(double(pos)),
                            std::sqrt(double(pos)) * (PrecisionOf(form, kEntryApproxSqrt) == Precision::Exact ? kMagicSqrt : kEstimate)) << name;
                ExpectClose(t.ApproxSqrt(pos), p.ApproxSqrt(pos), PrecisionOf(form, kEntryApproxSqrt), name);
            }
            if (t.MinInt) {
                const int32_t i = static_cast<int32_t>(rng()), j = round % 7 ? static_cast<int32_t>(rng()) : i;
                EXPECT_EQ(t.MinInt(i, j), p.MinInt(i, j)) << name;
                EXPECT_EQ(t.MaxInt(i, j), p.MaxInt(i, j)) << name;
            }
            if (t.MinFloat) {
                const float c = round % 5 ? b : a;
                EXPECT_EQ(Bits(t.MinFloat(a, c)), Bits(p.MinFloat(a, c))) << name;
                EXPECT_EQ(Bits(t.MaxFloat(a, c)), Bits(p.MaxFloat(a, c))) << name;
            }
            if (t.FloatToInt) {
                const float f = Uniform(-1e6f, 1e6f);
                if (PrecisionOf(form, kEntryFloatToInt) == Precision::Truncates)
                    EXPECT_EQ(t.FloatToInt(f), static_cast<int32_t>(std::trunc(f))) << name << " " << f;
                else
                    EXPECT_EQ(t.FloatToInt(f), p.FloatToInt(f)) << name << " " << f;
            }
            if (t.IntToFloat) {
                const int32_t i = static_cast<int32_t>(rng());
                EXPECT_EQ(Bits(t.IntToFloat(i)), Bits(p.IntToFloat(i))) << name;
            }
            if (t.DivFloat) {
                ExpectClose(t.DivFloat(a, pos), p.DivFloat(a, pos), PrecisionOf(form, kEntryDivFloat), name);
                ExpectClose(t.FastDivFloat(a, pos), p.FastDivFloat(a, pos), PrecisionOf(form, kEntryFastDivFloat), name);
                ExpectClose(t.Reciprocal(a), p.Reciprocal(a), PrecisionOf(form, kEntryReciprocal), name);
                ExpectClose(t.FastReciprocal(a), p.FastReciprocal(a), PrecisionOf(form, kEntryFastReciprocal), name);
            }
            if (HasFailure()) return;
        }
    }
}

TEST_F(FastMathForms, VectorRoutinesAgreeWithThePortableForm)
{
    const YFastMath& p = MathFormTable(MathForm::Portable);
    for (MathForm form : kBuilt) {
        const YFastMath& t = MathFormTable(form);
        const char* name = MathFormName(form);
        for (int round = 0; round < 2000; ++round) {
            const YVector a = RandomVector(), b = round % 9 ? RandomVector() : a;
            const YVector angles(Uniform(-720, 720), Uniform(-720, 720), Uniform(-720, 720));
            const YMatrix m = RandomMatrix(false);
            const float s = Uniform(-10, 10);
            YVector got, want;
            if (t.VectorLengthSq) ExpectClose(t.VectorLengthSq(&a), p.VectorLengthSq(&a), PrecisionOf(form, kEntryVectorLengthSq), name);
            if (t.VectorLength) ExpectClose(t.VectorLength(&a), p.VectorLength(&a), PrecisionOf(form, kEntryVectorLength), name);
            if (t.VectorFastLength) ExpectClose(t.VectorFastLength(&a), p.VectorFastLength(&a), PrecisionOf(form, kEntryVectorFastLength), name);
            if (t.VectorDot) ExpectClose(t.VectorDot(&a, &b), p.VectorDot(&a, &b), PrecisionOf(form, kEntryVectorDot), name);
            if (t.VectorCompareLength) {
                const YVector swapped(a.y, a.x, a.z);  // the same squared length
                EXPECT_EQ(t.VectorCompareLength(&a, &b), p.VectorCompareLength(&a, &b)) << name;
                EXPECT_EQ(t.VectorCompareLength(&a, &swapped), 0) << name;
            }
            if (t.VectorDiffers) {
                const YVector c = round % 3 ? b : YVector(a.x, a.y, std::nextafter(a.z, 1e9f));
                EXPECT_EQ(t.VectorDiffers(&a, &c), p.VectorDiffers(&a, &c)) << name;
            }
            // two-operand routines, also with dst as the first operand
            struct Op {
                void (*form)(YVector*, const YVector*, const YVector*);
                void (*portable)(YVector*, const YVector*, const YVector*);
                int entry;
            };
            const Op ops[] = {{t.VectorCross, p.VectorCross, kEntryVectorCross},
                              {t.VectorAdd, p.VectorAdd, kEntryVectorAdd},
                              {t.VectorSubtract, p.VectorSubtract, kEntryVectorSubtract},
                              {t.VectorRotateByAngles, p.VectorRotateByAngles, kEntryVectorRotateByAngles}};
            for (const Op& op : ops) {
                if (!op.form) continue;
                const YVector& second = op.entry == kEntryVectorRotateByAngles ? angles : b;
                op.form(&got, &a, &second);
                op.portable(&want, &a, &second);
                ExpectSame(got, want, PrecisionOf(form, op.entry), MathEntryName(op.entry));
                got = a;
                op.form(&got, &got, &second);
                ExpectSame(got, want, PrecisionOf(form, op.entry), MathEntryName(op.entry));
                if (op.entry == kEntryVectorRotateByAngles) continue;
                // dst as the second operand
                got = b;
                op.form(&got, &a, &got);
                ExpectSame(got, want, PrecisionOf(form, op.entry), MathEntryName(op.entry));
            }
            if (t.VectorScale) {
                t.VectorScale(&got, &a, s);
                p.VectorScale(&want, &a, s);
                ExpectSame(got, want, Precision::Exact, name);
                got = a;
                t.VectorScale(&got, &got, s);
                ExpectSame(got, want, Precision::Exact, name);
            }
            if (t.VectorTransform) {
                got = a;
                t.VectorTransform(&got, &got, &m);
                p.VectorTransform(&want, &a, &m);
                ExpectSame(got, want, Precision::Exact, name);
            }
            if (t.VectorNormalizeSafe) {
                t.VectorNormalizeSafe(&got, &a);
                p.VectorNormalizeSafe(&want, &a);
                ExpectSame(got, want, PrecisionOf(form, kEntryVectorNormalizeSafe), name);
                got = a;
                t.VectorNormalizeSafe(&got, &got);
                ExpectSame(got, want, PrecisionOf(form, kEntryVectorNormalizeSafe), name);
            }
            if (HasFailure()) return;
        }
    }
}

TEST_F(FastMathForms, MemoryRoutinesWriteExactlyTheirWords)
{
    const uint32_t counts[] = {0, 1, 2, 7, 8, 9, 15, 16, 17, 33, 100, 1001};
    std::vector<MathForm> forms = {MathForm::Portable};
    forms.insert(forms.end(), std::begin(kBuilt), std::end(kBuilt));
    for (MathForm form : forms) {
        const YFastMath& t = MathFormTable(form);
        if (!t.MemFillDwords) continue;
        for (uint32_t count : counts)
            for (int offset : {0, 1}) {
                const uint32_t guard = 0xDEADBEEF;
                std::vector<uint32_t> buffer(count + 4, guard), source(count + 2);
                for (uint32_t i = 0; i < source.size(); ++i) source[i] = i * 2654435761u;
                uint32_t* dst = buffer.data() + 1 + offset;

                t.MemFillDwords(dst, count, 0x12345678);
                for (uint32_t i = 0; i < count; ++i) ASSERT_EQ(dst[i], 0x12345678u) << MathFormName(form);
                EXPECT_EQ(dst[-1], guard);
                EXPECT_EQ(dst[count], guard) << MathFormName(form) << " " << count;

                t.MemCopyDwords(dst, source.data() + offset, count);
                for (uint32_t i = 0; i < count; ++i) ASSERT_EQ(dst[i], source[i + offset]) << MathFormName(form);
                EXPECT_EQ(dst[count], guard);

                t.MemClearDwords(dst, count);
                for (uint32_t i = 0; i < count; ++i) ASSERT_EQ(dst[i], 0u) << MathFormName(form);
                EXPECT_EQ(dst[-1], guard);
                EXPECT_EQ(dst[count], guard);
            }
    }
}

// ---------------------------------------------------------------- edge cases
std::vector<std::pair<MathForm, const YFastMath*>> EveryForm()
{
    std::vector<std::pair<MathForm, const YFastMath*>> forms = {{MathForm::Portable, &MathFormTable(MathForm::Portable)}};
    for (MathForm f : kBuilt) forms.push_back({f, &MathFormTable(f)});
    return forms;
}

TEST_F(FastMathForms, FloatToIntRoundsOrTruncatesByForm)
{
    struct Case {
        float f;
        int32_t nearest, truncated;
    };
    const Case cases[] = {{2.5f, 2, 2}, {3.5f, 4, 3}, {-1.7f, -2, -1}, {-2.5f, -2, -2},
                          {0.49f, 0, 0}, {-0.5f, 0, 0}, {1e9f, 1000000000, 1000000000},
                          {3e9f, INT32_MIN, INT32_MIN}, {NAN, INT32_MIN, INT32_MIN}};
    for (auto [form, t] : EveryForm()) {
        if (!t->FloatToInt) continue;
        const bool truncates = PrecisionOf(form, kEntryFloatToInt) == Precision::Truncates;
        for (const Case& c : cases)
            EXPECT_EQ(t->FloatToInt(c.f), truncates ? c.truncated : c.nearest) << MathFormName(form) << " " << c.f;
    }
}

TEST_F(FastMathForms, SpecialValues)
{
    for (auto [form, t] : EveryForm()) {
        const char* name = MathFormName(form);
        const YVector zero(0, 0, 0), negZero(0, 0, -0.0f);
        if (t->FastSqrt) {
            EXPECT_EQ(t->FastSqrt(0.0f), 0.0f) << name;
            EXPECT_EQ(t->ApproxSqrt(0.0f), 0.0f) << name;
            EXPECT_NEAR(t->ApproxSqrt(4.0f), 2.0f, 2.0f * kMagicSqrt) << name;
            EXPECT_EQ(t->VectorLength(&zero), 0.0f) << name;
            EXPECT_EQ(t->VectorFastLength(&zero), 0.0f) << name;
        }
        if (t->VectorCompareLength) {
            const YVector a(3, 4, 0), b(0, 0, 5), c(1, 0, 0), d(0, 2, 0);
            EXPECT_EQ(t->VectorCompareLength(&a, &b), 0) << name;
            EXPECT_EQ(t->VectorCompareLength(&c, &d), 2) << name;
            EXPECT_EQ(t->VectorCompareLength(&d, &c), 1) << name;
        }
        if (t->VectorDiffers) {
            const YVector a(1, 2, 3), b(1, 2, 3.0001f);
            EXPECT_EQ(t->VectorDiffers(&a, &a), 0) << name;
            EXPECT_EQ(t->VectorDiffers(&zero, &negZero), 0) << name;
            EXPECT_EQ(t->VectorDiffers(&a, &b), 1) << name;
        }
        if (t->VectorNormalizeSafe) {
            YVector dst(7, 8, 9);
            t->VectorNormalizeSafe(&dst, &zero);
            EXPECT_EQ(dst, YVector(7, 8, 9)) << name;
            const YVector v(0, -3, 4);
            t->VectorNormalizeSafe(&dst, &v);
            EXPECT_NEAR(dst.y, -0.6f, 1e-6f) << name;
            EXPECT_NEAR(dst.z, 0.8f, 1e-6f) << name;
        }
        if (t->MinFloat) {
            // equal values give a
            EXPECT_EQ(Bits(t->MinFloat(-0.0f, 0.0f)), Bits(-0.0f)) << name;
            EXPECT_EQ(Bits(t->MaxFloat(0.0f, -0.0f)), Bits(0.0f)) << name;
            EXPECT_EQ(t->MinFloat(-3.0f, 2.0f), -3.0f) << name;
            EXPECT_EQ(t->MaxFloat(-3.0f, 2.0f), 2.0f) << name;
            // unordered operands give a, as in the portable form
            const YFastMath& p = MathFormTable(MathForm::Portable);
            const float nan = std::nanf("");
            for (auto [a, b] : {std::pair<float, float>{nan, 1.0f}, {1.0f, nan}, {-nan, -1.0f}}) {
                EXPECT_EQ(Bits(t->MinFloat(a, b)), Bits(p.MinFloat(a, b))) << name;
                EXPECT_EQ(Bits(t->MaxFloat(a, b)), Bits(p.MaxFloat(a, b))) << name;
                EXPECT_EQ(Bits(t->MinFloat(a, b)), Bits(a)) << name;
            }
        }
        if (t->MinInt) {
            EXPECT_EQ(t->MinInt(INT32_MIN, 5), INT32_MIN) << name;
            EXPECT_EQ(t->MaxInt(INT32_MIN, 5), 5) << name;
        }
        if (t->MatrixTranspose) {
            YMatrix m;
            for (int i = 0; i < 16; ++i) m.Data()[i] = float(i);
            t->MatrixTranspose(&m);
            const float want[16] = {0, 4, 8, 3, 1, 5, 9, 7, 2, 6, 10, 11, 12, 13, 14, 15};
            EXPECT_EQ(std::memcmp(m.Data(), want, sizeof want), 0) << name;
        }
        if (t->MatrixMultiplyAffine) {
            YMatrix a, b, c;
            for (int i = 0; i < 16; ++i) a.Data()[i] = float(i % 7) - 2.0f, b.Data()[i] = float(i % 5) + 1.0f;
            a.m[0][3] = a.m[1][3] = a.m[2][3] = 0.0f;
            a.m[3][3] = 1.0f;
            t->MatrixMultiplyAffine(&c, &a, &b);
            // b's column 3 does not count
            for (int i = 0; i < 4; ++i) b.m[i][3] = 99.0f;
            YMatrix c2;
            t->MatrixMultiplyAffine(&c2, &a, &b);
            EXPECT_EQ(std::memcmp(&c, &c2, sizeof c), 0) << name;
            for (int i = 0; i < 4; ++i) EXPECT_EQ(c.m[i][3], i == 3 ? 1.0f : 0.0f) << name;
            // b x a, written out for one element of each kind
            EXPECT_EQ(c.m[1][2], b.m[1][0] * a.m[0][2] + b.m[1][1] * a.m[1][2] + b.m[1][2] * a.m[2][2]);
            EXPECT_EQ(c.m[3][0], b.m[3][0] * a.m[0][0] + b.m[3][1] * a.m[1][0] + b.m[3][2] * a.m[2][0] + a.m[3][0]);
        }
        if (t->MatrixMultiply) {
            YMatrix a, b, c;
            for (int i = 0; i < 16; ++i) a.Data()[i] = float(i), b.Data()[i] = float(16 - i);
            t->MatrixMultiply(&c, &a, &b);
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j) {
                    float want = 0.0f;
                    for (int k = 0; k < 4; ++k) want += b.m[i][k] * a.m[k][j];
                    EXPECT_EQ(c.m[i][j], want) << name;
                }
        }
    }
}

// ---------------------------------------------------------------- blending
struct Surface {
    int width, height, pitch, bpp;
    uint32_t redMask;
    std::vector<uint8_t> bytes;
    Surface(int w, int h, int bits, uint32_t red, int extraPitch = 8)
        : width(w), height(h), pitch(w * bits / 8 + extraPitch), bpp(bits), redMask(red),
          bytes(size_t(pitch) * (h + 1), 0xA5) {}
    uint32_t Pixel(int x, int y) const
    {
        uint32_t p = 0;
        std::memcpy(&p, &bytes[size_t(y) * pitch + x * bpp / 8], bpp / 8);
        return p;
    }
    void SetPixel(int x, int y, uint32_t p) { std::memcpy(&bytes[size_t(y) * pitch + x * bpp / 8], &p, bpp / 8); }
};

struct Format {
    const char* name;
    int bpp;
    uint32_t redMask;
    uint32_t white;
};
const Format kFormats[] = {{"5-6-5", 16, 0xF800, 0xFFFF},
                           {"5-5-5", 16, 0x7C00, 0x7FFF},
                           {"4-4-4", 16, 0x0F00, 0x0FFF},
                           {"32", 32, 0x00FF0000, 0xFFFFFFFF}};

void Blend(const YFastMath& t, const std::vector<uint32_t>& src, int srcWidth, int sx, int sy,
           int w, int h, Surface& dst, int dx, int dy)
{
    t.AlphaBlendRect(src.data(), sx, sy, w, h, srcWidth * 4, dst.bytes.data(), dx, dy, dst.width,
                     dst.height, dst.pitch, dst.bpp, dst.redMask);
}

int Tolerance(MathForm form)
{
    return PrecisionOf(form, kEntryAlphaBlendRect) == Precision::BlendWeights ? 2 : 0;
}

TEST_F(FastMathForms, BlendOpaqueTransparentAndHalf)
{
    // red destination, blue source at alpha 128; by hand:
    // red 248*128 >> 8 = 124 (5-6-5, 5-5-5), 240*128 >> 8 = 120 (4-4-4), 255*128 >> 8 = 127 (32)
    // blue 255*128 >> 8 = 127
    struct Half {
        uint32_t red, want;
    };
    const Half half[] = {{0xF800, (15u << 11) | 15u}, {0x7C00, (15u << 10) | 15u},
                         {0x0F00, (7u << 8) | 7u}, {0x00FF0000, 0x11000000u | (127u << 16) | 127u}};
    for (auto [form, t] : EveryForm()) {
        if (!t->AlphaBlendRect) continue;
        for (int f = 0; f < 4; ++f) {
            const Format& fmt = kFormats[f];
            const char* what = fmt.name;
            Surface dst(3, 1, fmt.bpp, fmt.redMask);
            const uint32_t red = fmt.bpp == 32 ? 0x11FF0000u : fmt.redMask;
            for (int x = 0; x < 3; ++x) dst.SetPixel(x, 0, red);
            const std::vector<uint32_t> src = {0x00FFFFFFu, 0xFFFFFFFFu, 0x800000FFu};
            Blend(*t, src, 3, 0, 0, 3, 1, dst, 0, 0);
            EXPECT_EQ(dst.Pixel(0, 0), red) << MathFormName(form) << " " << what << ": alpha 0 leaves it";
            EXPECT_EQ(dst.Pixel(1, 0), fmt.white) << MathFormName(form) << " " << what << ": alpha 255 writes the source";
            const uint32_t got = dst.Pixel(2, 0), want = half[f].want;
            if (Tolerance(form) == 0) {
                EXPECT_EQ(got, want) << MathFormName(form) << " " << what;
            } else {
                // the MMX weights (a, 255 - a) can lose one unit of a channel
                EXPECT_LE(want - got, fmt.bpp == 32 ? 0x010001u : (fmt.redMask == 0x0F00 ? 0x101u : 0x801u))
                    << MathFormName(form) << " " << what;
            }
        }
    }
}

TEST_F(FastMathForms, BlendClipsAtTheRightAndBottomEdges)
{
    for (auto [form, t] : EveryForm()) {
        if (!t->AlphaBlendRect) continue;
        for (const Format& fmt : kFormats) {
            Surface dst(4, 3, fmt.bpp, fmt.redMask);
            const std::vector<uint8_t> before = dst.bytes;
            std::vector<uint32_t> src(8 * 8, 0xFFFFFFFFu);
            // 6 x 5 at (2, 1) on a 4 x 3 surface: columns 2-3, rows 1-2 only
            Blend(*t, src, 8, 1, 1, 6, 5, dst, 2, 1);
            for (size_t i = 0; i < dst.bytes.size(); ++i) {
                const int y = int(i / dst.pitch), xByte = int(i % dst.pitch);
                const bool inside = y >= 1 && y <= 2 && xByte >= 2 * fmt.bpp / 8 && xByte < 4 * fmt.bpp / 8;
                if (!inside) {
                    ASSERT_EQ(dst.bytes[i], before[i]) << MathFormName(form) << " " << fmt.name << " byte " << i;
                }
            }
            for (int y = 1; y <= 2; ++y)
                for (int x = 2; x < 4; ++x) EXPECT_EQ(dst.Pixel(x, y), fmt.white) << MathFormName(form) << " " << fmt.name;
            // a rectangle starting past the edge writes nothing
            const std::vector<uint8_t> kept = dst.bytes;
            Blend(*t, src, 8, 0, 0, 2, 2, dst, 4, 0);
            Blend(*t, src, 8, 0, 0, 2, 2, dst, 0, 3);
            EXPECT_EQ(dst.bytes, kept) << MathFormName(form) << " " << fmt.name;
        }
    }
}

TEST_F(FastMathForms, BlendFormsAgreeOnRandomImages)
{
    const YFastMath& p = MathFormTable(MathForm::Portable);
    for (MathForm form : kBuilt) {
        const YFastMath& t = MathFormTable(form);
        if (!t.AlphaBlendRect) continue;
        for (const Format& fmt : kFormats) {
            Surface a(13, 7, fmt.bpp, fmt.redMask), b = a;
            for (size_t i = 0; i < a.bytes.size(); ++i) a.bytes[i] = b.bytes[i] = uint8_t(rng());
            std::vector<uint32_t> src(16 * 9);
            for (uint32_t& s : src) {
                s = rng();
                if (s % 5 == 0) s &= 0x00FFFFFF;
                if (s % 7 == 0) s |= 0xFF000000;
            }
            Blend(t, src, 16, 1, 1, 12, 7, a, 1, 0);
            Blend(p, src, 16, 1, 1, 12, 7, b, 1, 0);
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 13; ++x) {
                    uint32_t r1, g1, b1, r2, g2, b2;
                    const uint32_t pa = a.Pixel(x, y), pb = b.Pixel(x, y);
                    if (fmt.bpp == 32) {
                        EXPECT_EQ(pa >> 24, pb >> 24);
                        r1 = (pa >> 16) & 255, g1 = (pa >> 8) & 255, b1 = pa & 255;
                        r2 = (pb >> 16) & 255, g2 = (pb >> 8) & 255, b2 = pb & 255;
                    } else {
                        fm_blend::Format f = fm_blend::FormatOf(fmt.bpp, fmt.redMask);
                        fm_blend::Expand(f, pa, r1, g1, b1);
                        fm_blend::Expand(f, pb, r2, g2, b2);
                    }
                    const int tol = Tolerance(form) * 16;  // a unit in the packed field
                    EXPECT_LE(std::abs(int(r1) - int(r2)), tol) << MathFormName(form) << " " << fmt.name;
                    EXPECT_LE(std::abs(int(g1) - int(g2)), tol) << MathFormName(form) << " " << fmt.name;
                    EXPECT_LE(std::abs(int(b1) - int(b2)), tol) << MathFormName(form) << " " << fmt.name;
                }
            if (HasFailure()) return;
        }
    }
}

// The packed-word blend, one pixel at a time: weights a and 255 - a, alpha 0
// keeps the destination, 255 takes the source, a 32-bit destination keeps its
// top byte.
uint32_t PackedWordBlend(uint32_t s, uint32_t p, int bpp, uint32_t redMask)
{
    const uint32_t a = s >> 24;
    if (a == 0) return p;
    const uint32_t sr = (s >> 16) & 255, sg = (s >> 8) & 255, sb = s & 255;
    auto mix = [a](uint32_t from, uint32_t to) { return (from * a + to * (255 - a)) >> 8; };
    if (bpp == 32) {
        if (a == 255) return s;
        return (p & 0xFF000000u) | (mix(sr, (p >> 16) & 255) << 16) | (mix(sg, (p >> 8) & 255) << 8) | mix(sb, p & 255);
    }
    const fm_blend::Format f = fm_blend::FormatOf(bpp, redMask);
    uint32_t r = sr, g = sg, b = sb;
    if (a != 255) {
        uint32_t dr, dg, db;
        fm_blend::Expand(f, p, dr, dg, db);
        r = mix(sr, dr), g = mix(sg, dg), b = mix(sb, db);
    }
    return fm_blend::Pack(f, r, g, b);
}

TEST_F(FastMathForms, PackedWordBlendsMatchTheOnePixelRuleExactly)
{
    std::mt19937 rng(0x1999);
    for (MathForm form : kBuilt) {
        const YFastMath& t = MathFormTable(form);
        if (!t.AlphaBlendRect || PrecisionOf(form, kEntryAlphaBlendRect) != Precision::BlendWeights) continue;
        for (const Format& fmt : kFormats)
            for (int round = 0; round < 40; ++round) {
                // Widths 1 to 13 from odd offsets: whole groups of pixels and the rest.
                const int w = 1 + int(rng() % 13), h = 1 + int(rng() % 3), sx = int(rng() % 3), dx = int(rng() % 3);
                Surface dst(16, 4, fmt.bpp, fmt.redMask);
                for (uint8_t& byte : dst.bytes) byte = uint8_t(rng());
                Surface want = dst;
                std::vector<uint32_t> src(16 * 4);
                for (uint32_t& v : src) {
                    v = rng();
                    if (v % 4 == 0) v &= 0x00FFFFFF;
                    if (v % 4 == 1) v |= 0xFF000000;
                }
                Blend(t, src, 16, sx, 0, w, h, dst, dx, 1);
                for (int y = 0; y < h && 1 + y < want.height; ++y)
                    for (int x = 0; x < w && dx + x < want.width; ++x)
                        want.SetPixel(dx + x, 1 + y,
                                      PackedWordBlend(src[size_t(y) * 16 + sx + x], want.Pixel(dx + x, 1 + y), fmt.bpp,
                                                      fmt.redMask));
                ASSERT_EQ(dst.bytes, want.bytes) << MathFormName(form) << " " << fmt.name << " width " << w;
            }
    }
}

TEST(FastMathTable, DispatchedCallsReachTheInstalledForm)
{
    ASSERT_EQ(InitMathDispatch(0x24F), 1);
    const YVector v(3, 4, 12);
    EXPECT_NEAR(VectorLength(&v), 13.0f, 13.0f * kRefined);
    EXPECT_EQ(g_fastMath.VectorLength, MathFormTable(InstalledMathForms().form[kEntryVectorLength]).VectorLength);
    g_fastMath = MathFormTable(MathForm::Portable);
    EXPECT_EQ(VectorLength(&v), 13.0f);
}
}  // namespace

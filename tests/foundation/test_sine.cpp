// The sine table, its look-ups in every form, the exact routine and the
// matrix wrappers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "foundation/YFastMath.h"
#include "foundation/YFastMathForms.h"
#include "foundation/YMatrix.h"
#include "foundation/YSineTable.h"
#include "foundation/YVector.h"

namespace {
uint32_t Bits(float f)
{
    uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

std::vector<MathForm> LookupForms()
{
    std::vector<MathForm> forms = {MathForm::Portable};
    for (MathForm f : {MathForm::Plain, MathForm::Cmov})
        if (MathFormTable(f).FastSinDeg) forms.push_back(f);
    return forms;
}

class SineTable : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(BuildSineTable(), 1); }
};

TEST_F(SineTable, RowsHoldTheQuarterWave)
{
    const float* t = YSineTable::Table();
    EXPECT_EQ(Bits(t[0]), 0u);
    EXPECT_EQ(t[16384], 1.0f);
    EXPECT_EQ(t[8192], static_cast<float>(std::sqrt(0.5L)));
    // double arithmetic runs on SSE, untouched by the x87 precision
    const double pi = std::acos(-1.0);
    for (int k = 0; k < 16384; ++k) {
        const double exact = std::sin(k * pi / 32768.0);
        // the nearest float: within half a unit in the last place
        const double ulp = std::nextafter(t[k], 2.0f) - t[k];
        EXPECT_LE(std::fabs(double(t[k]) - exact), 0.5 * ulp + 1e-15) << k;
        if (k) {
            ASSERT_GE(t[k], t[k - 1]) << k;
        }
    }
}

TEST_F(SineTable, BuildLeavesTheX87InSinglePrecision)
{
#if RCV_X86
    uint16_t cw = 0x037F;
    asm volatile("fldcw %0" : : "m"(cw));
    BuildSineTable();
    asm volatile("fnstcw %0" : "=m"(cw));
    EXPECT_EQ(cw & 0x0300, 0);
    EXPECT_EQ(cw & 0x0C00, 0) << "round to nearest";
#else
    GTEST_SKIP();
#endif
}

TEST_F(SineTable, DegreeLookupsGiveTheTableRows)
{
    struct Case {
        float degrees;
        float sine, cosine;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 1.0f},     {90.0f, 1.0f, -0.0f},   {-90.0f, -1.0f, 0.0f},
        {450.0f, 1.0f, -0.0f},  {180.0f, -0.0f, -1.0f}, {270.0f, -1.0f, 0.0f},
        {360.0f, 0.0f, 1.0f},   {-360.0f, 0.0f, 1.0f},  {30.0f, YSineTable::Table()[5461], YSineTable::Table()[16384 - 5461]},
    };
    for (MathForm form : LookupForms()) {
        const YFastMath& t = MathFormTable(form);
        for (const Case& c : cases) {
            EXPECT_EQ(Bits(t.FastSinDeg(c.degrees)), Bits(c.sine)) << MathFormName(form) << " " << c.degrees;
            EXPECT_EQ(Bits(t.FastCosDeg(c.degrees)), Bits(c.cosine)) << MathFormName(form) << " " << c.degrees;
            float s, co;
            t.FastSinCosDeg(&s, &co, c.degrees);
            EXPECT_EQ(Bits(s), Bits(c.sine));
            EXPECT_EQ(Bits(co), Bits(c.cosine));
        }
        // pi as a float is exactly half a turn in table steps: quadrant 2, entry 0
        EXPECT_EQ(Bits(t.FastSin(3.14159265f)), Bits(-0.0f)) << MathFormName(form);
        EXPECT_EQ(t.FastCos(3.14159265f), -1.0f);
        EXPECT_EQ(t.FastSin(1.57079633f), 1.0f);
    }
}

TEST_F(SineTable, StepBoundariesRoundToTheNearestStep)
{
    const float step = 360.0f / 65536.0f;  // degrees
    const float* t = YSineTable::Table();
    struct Case {
        float steps;
        float sine;
    };
    const Case cases[] = {
        {0.4f, t[0]},        {0.6f, t[1]},        {0.5f, t[0]},  // ties to even
        {1.5f, t[2]},        {2.5f, t[2]},        {-0.6f, -t[1]},
        {16383.6f, 1.0f},    {16383.4f, t[16383]}, {16384.6f, t[16383]},
        {32767.6f, -0.0f},   {49151.6f, -1.0f},   {65535.6f, 0.0f},
    };
    for (MathForm form : LookupForms())
        for (const Case& c : cases)
            EXPECT_EQ(Bits(MathFormTable(form).FastSinDeg(c.steps * step)), Bits(c.sine))
                << MathFormName(form) << " " << c.steps << " steps";
}

TEST_F(SineTable, FormsAgreeAndStayWithinHalfAStep)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> radians(-400.0f, 400.0f);  // within 64 turns
    const std::vector<MathForm> forms = LookupForms();
    const double halfStep = 3.14159265358979 / 65536.0;
    for (int i = 0; i < 20000; ++i) {
        const float a = radians(rng);
        const float s = fm_portable::FastSin(a), c = fm_portable::FastCos(a);
        // the product a * (128/pi) is rounded to float before the look-up
        const double slack = halfStep + std::fabs(a) * 1.2e-7;
        EXPECT_NEAR(s, std::sin(double(a)), slack) << a;
        EXPECT_NEAR(c, std::cos(double(a)), slack) << a;
        for (MathForm form : forms) {
            float fs, fc;
            MathFormTable(form).FastSinCos(&fs, &fc, a);
            ASSERT_EQ(Bits(fs), Bits(s)) << MathFormName(form) << " " << a;
            ASSERT_EQ(Bits(fc), Bits(c)) << MathFormName(form) << " " << a;
            ASSERT_EQ(Bits(MathFormTable(form).FastSin(a)), Bits(s));
            ASSERT_EQ(Bits(MathFormTable(form).FastCos(a)), Bits(c));
        }
    }
}

TEST_F(SineTable, NonNumbersStillReadInsideTheTable)
{
    for (MathForm form : LookupForms())
        for (float a : {NAN, INFINITY, -INFINITY, 1e30f, -1e30f}) {
            const float s = MathFormTable(form).FastSin(a);
            EXPECT_LE(std::fabs(s), 1.0f) << MathFormName(form) << " " << a;
        }
}

TEST(SinCosExact, MatchesTheLibrary)
{
    for (double a : {0.0, 0.5, 1.0, -1.0, 3.14159265358979, 100.25, -1234.5}) {
        float s, c;
        SinCos(&s, &c, a);
        EXPECT_NEAR(s, std::sin(a), 2e-7) << a;
        EXPECT_NEAR(c, std::cos(a), 2e-7) << a;
    }
}

// ---------------------------------------------------------------- wrappers
YMatrix Product(const YMatrix& p, const YMatrix& q)
{
    YMatrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += p.m[i][k] * q.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

void ExpectNear(const YMatrix& a, const YMatrix& b, float tolerance, const char* what)
{
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.Data()[i], b.Data()[i], tolerance) << what << " element " << i;
}

YVector Apply(const YVector& p, const YMatrix& m)
{
    YVector r;
    r.x = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
    r.y = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
    r.z = p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2];
    return r;
}

TEST_F(SineTable, SingleAxisWrappersTurnRowVectors)
{
    const float angles[] = {0.3f, -1.2f, 2.5f};
    const YVector p(0.25f, -0.5f, 2.0f);
    for (float t : angles) {
        const double c = std::cos(t), s = std::sin(t);
        const float tol = 2e-4f;  // table resolution
        YMatrix m;
        YVector r = Apply(p, *MatrixRotationX(&m, t));
        EXPECT_NEAR(r.x, p.x, tol);
        EXPECT_NEAR(r.y, p.y * c + p.z * s, tol);
        EXPECT_NEAR(r.z, p.z * c - p.y * s, tol);
        r = Apply(p, *MatrixRotationY(&m, t));
        EXPECT_NEAR(r.x, p.x * c - p.z * s, tol);
        EXPECT_NEAR(r.y, p.y, tol);
        EXPECT_NEAR(r.z, p.x * s + p.z * c, tol);
        r = Apply(p, *MatrixRotationZ(&m, t));
        EXPECT_NEAR(r.x, p.x * c + p.y * s, tol);
        EXPECT_NEAR(r.y, p.y * c - p.x * s, tol);
        EXPECT_NEAR(r.z, p.z, tol);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(m.m[i][3], i == 3 ? 1.0f : 0.0f);
    }
}

TEST_F(SineTable, EulerBuildersAreTheirProducts)
{
    struct Case {
        int builder;
        const char* order;
        bool rightGrouped;
    };
    const Case cases[] = {{1, "YXZ", false}, {2, "ZXY", false}, {3, "XYZ", false},
                          {4, "ZYX", false}, {5, "YXZ", true},  {6, "YZX", false}};
    const float ax = 0.7f, ay = -1.9f, az = 2.8f;
    std::vector<MathForm> forms = {MathForm::Portable, MathForm::Plain, MathForm::Cmov};
    for (MathForm form : forms) {
        const YFastMath& t = MathFormTable(form);
        if (!t.MatrixRotationEuler1) continue;
        void (*builders[7])(YMatrix*, float, float, float) = {
            nullptr, t.MatrixRotationEuler1, t.MatrixRotationEuler2, t.MatrixRotationEuler3,
            t.MatrixRotationEuler4, t.MatrixRotationEuler5, t.MatrixRotationEuler6};
        for (const Case& c : cases) {
            YMatrix rot[3];
            for (int i = 0; i < 3; ++i) {
                const char axis = c.order[i];
                if (axis == 'X') MatrixRotationX(&rot[i], ax);
                if (axis == 'Y') MatrixRotationY(&rot[i], ay);
                if (axis == 'Z') MatrixRotationZ(&rot[i], az);
            }
            const YMatrix want = c.rightGrouped ? Product(rot[0], Product(rot[1], rot[2]))
                                                : Product(Product(rot[0], rot[1]), rot[2]);
            YMatrix got;
            builders[c.builder](&got, ax, ay, az);
            ExpectNear(got, want, 2e-6f, MathFormName(form));

            // zero angles drop out; none left gives the identity
            YMatrix identity, only;
            builders[c.builder](&got, 0.0f, 0.0f, 0.0f);
            MakeIdentityMatrix(&identity);
            EXPECT_EQ(std::memcmp(&got, &identity, sizeof got), 0);
            builders[c.builder](&got, 0.0f, 0.0f, az);
            MatrixRotationZRaw(&only, az);
            EXPECT_EQ(std::memcmp(&got, &only, sizeof got), 0) << c.builder;
            builders[c.builder](&got, ax, 0.0f, 0.0f);
            MatrixRotationXRaw(&only, ax);
            EXPECT_EQ(std::memcmp(&got, &only, sizeof got), 0) << c.builder;
        }
    }
}

TEST_F(SineTable, FillingWrappers)
{
    YMatrix m;
    std::memset(&m, 0x7F, sizeof m);
    MakeZeroMatrix(&m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(Bits(m.Data()[i]), 0u);
    MakeIdentityMatrix(&m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m.Data()[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
    MatrixTranslationOut(&m, 4.0f, 5.0f, 6.0f);
    const float translation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 4, 5, 6, 1};
    EXPECT_EQ(std::memcmp(m.Data(), translation, sizeof translation), 0);
    MatrixScalingOut(&m, 2.0f, 3.0f, 4.0f);
    const float scaling[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1};
    EXPECT_EQ(std::memcmp(m.Data(), scaling, sizeof scaling), 0);
}

TEST_F(SineTable, AffineProductAppliesBFirstAndMayOverwriteAnOperand)
{
    YMatrix translate, scale, out;
    MatrixTranslationOut(&translate, 10.0f, 20.0f, 30.0f);
    MatrixScalingOut(&scale, 2.0f, 2.0f, 2.0f);
    MatrixMultiplyAffineOut(&out, &translate, &scale);  // scale, then translate
    const YVector p = Apply(YVector(1.0f, 2.0f, 3.0f), out);
    EXPECT_EQ(p, YVector(12.0f, 24.0f, 36.0f));

    YMatrix a, b, separate;
    MatrixRotationY(&a, 0.9f);
    MatrixRotationX(&b, -0.4f);
    a.m[3][0] = 5.0f;
    MatrixMultiplyAffineOut(&separate, &a, &b);
    ExpectNear(separate, Product(b, a), 1e-6f, "b x a");
    MatrixMultiplyAffineOut(&a, &a, &b);
    EXPECT_EQ(std::memcmp(&a, &separate, sizeof a), 0);
}
}  // namespace

// YVector: arithmetic through the fast-math table, angles, wrapping, text
// and archives.  Runs over the portable table and this processor's forms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "foundation/YFastMath.h"
#include "foundation/YMatrix.h"
#include "foundation/YSineTable.h"
#include "foundation/YVector.h"
#include "platform/mfc.h"

namespace {
uint32_t Bits(float f)
{
    uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

void ExpectBits(const YVector& got, float x, float y, float z, const char* what)
{
    EXPECT_EQ(Bits(got.x), Bits(x)) << what << " x " << got.x;
    EXPECT_EQ(Bits(got.y), Bits(y)) << what << " y " << got.y;
    EXPECT_EQ(Bits(got.z), Bits(z)) << what << " z " << got.z;
}

void ExpectNear(const YVector& got, const YVector& want, float tol, const char* what = "")
{
    EXPECT_NEAR(got.x, want.x, tol) << what;
    EXPECT_NEAR(got.y, want.y, tol) << what;
    EXPECT_NEAR(got.z, want.z, tol) << what;
}

// 0x2: the x87 forms; 0x24F: an SSE processor's forms
class Vector : public ::testing::TestWithParam<uint32_t> {
protected:
    void SetUp() override
    {
        BuildSineTable();
        ASSERT_EQ(InitMathDispatch(GetParam()), 1);
    }
    void TearDown() override { g_fastMath = MathFormTable(MathForm::Portable); }
};

INSTANTIATE_TEST_SUITE_P(Forms, Vector, ::testing::Values(0x2u, 0x24Fu));

TEST_P(Vector, FromAnglesRows)
{
    ExpectBits(YVector(0, 0, 0).FromAngles(), 0.0f, 0.0f, 1.0f, "(0, 0, 0)");
    ExpectBits(YVector(0, 90, 0).FromAngles(), 1.0f, 0.0f, -0.0f, "(0, 90, 0)");
    ExpectBits(YVector(90, 0, 0).FromAngles(), -0.0f, 1.0f, -0.0f, "(90, 0, 0)");
    ExpectNear(YVector(45, 0, 77).FromAngles(), YVector(0, std::sqrt(0.5f), std::sqrt(0.5f)), 1e-4f, "roll ignored");
}

TEST_P(Vector, ToAnglesRows)
{
    struct Case {
        YVector v;
        YVector angles;
    };
    const Case cases[] = {
        {{0, 1, 0}, {90, 0, 0}},   {{0, -1, 0}, {270, 0, 0}}, {{0, 0, 0}, {270, 0, 0}},
        {{1, 0, 0}, {0, 90, 0}},   {{0, 0, -1}, {0, 180, 0}}, {{-1, 0, 0}, {0, 270, 0}},
        {{0, 0, 5}, {0, 0, 0}},    {{3, 0, 3}, {0, 45, 0}},   {{0, -2, 2}, {315, 0, 0}},
    };
    for (const Case& c : cases) {
        YVector v = c.v;
        const YVector angles = v.ToAngles();
        ExpectNear(angles, c.angles, 0.2f, "angles");
        EXPECT_GE(angles.x, 0.0f);
        EXPECT_LT(angles.x, 360.0f);
        EXPECT_GE(angles.y, 0.0f);
        EXPECT_LT(angles.y, 360.0f);
        // the vector keeps its direction and length
        ExpectNear(v, c.v, 1e-4f * (1 + c.v.Length()), "kept");
    }
}

TEST_P(Vector, AnglesRoundTrip)
{
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> deg(0.0f, 360.0f);
    for (int i = 0; i < 200; ++i) {
        YVector angles(deg(rng), deg(rng), 0.0f);
        if (angles.x > 80 && angles.x < 100) continue;  // yaw is lost near the vertical
        if (angles.x > 260 && angles.x < 280) continue;
        YVector dir = angles.FromAngles();
        YVector back = dir.ToAngles();
        // the same direction either way; compare directions
        ExpectNear(back.FromAngles(), dir, 5e-3f, "round trip");
    }
}

TEST(VectorWrap, Wrap360Table)
{
    struct Case {
        float in, out;
    };
    const Case cases[] = {
        {-30, 330},   {720, 0},     {360, 0},        {-0.00001f, 0}, {0, 0},
        {359.5f, 359.5f}, {725.5f, 5.5f}, {-725.5f, 354.5f}, {-360, 0}, {-1080, 0},
        {1e10f, std::fmod(1e10f, 360.0f)}, {-1e10f, 360.0f - std::fmod(1e10f, 360.0f)},
        {NAN, 0},     {INFINITY, 0}, {-INFINITY, 0},
    };
    for (const Case& c : cases) {
        YVector v(c.in, c.in, c.in);
        v.WrapAngles360();
        EXPECT_EQ(v.x, c.out) << c.in;
        EXPECT_EQ(v.z, c.out) << c.in;
        EXPECT_EQ(Bits(WrapAngle360(c.in)), Bits(c.out)) << c.in;
    }
    // huge values end, in range
    for (float big : {3.4e38f, -3.4e38f, 1e20f, 16777217.0f * 64}) {
        const float w = WrapAngle360(big);
        EXPECT_GE(w, 0.0f) << big;
        EXPECT_LT(w, 360.0f) << big;
        EXPECT_NEAR(w, std::fmod(std::fmod(double(big), 360.0) + 360.0, 360.0), 1e-3) << big;
    }
}

TEST(VectorWrap, Wrap180AndConversions)
{
    struct Case {
        float in, out;
    };
    const Case cases[] = {{270, -90}, {180, 180}, {90, 90}, {-200, -200}, {359, -1}, {180.0001f, 180.0001f - 360}};
    for (const Case& c : cases) {
        YVector v(c.in, 0, c.in);
        v.WrapAngles180();
        EXPECT_EQ(v.x, c.out) << c.in;
        EXPECT_EQ(v.z, c.out) << c.in;
    }
    YVector v(180, 90, -45);
    v.ToRadians();
    ExpectNear(v, YVector(3.14159265f, 1.5707963f, -0.78539816f), 1e-6f);
    v.ToDegrees();
    ExpectNear(v, YVector(180, 90, -45), 1e-4f);
}

TEST_P(Vector, Arithmetic)
{
    const YVector a(1, 2, 3), b(-4, 0.5f, 2);
    EXPECT_EQ(a + b, YVector(-3, 2.5f, 5));
    EXPECT_EQ(a - b, YVector(5, 1.5f, 1));
    EXPECT_EQ(a * 2.0f, YVector(2, 4, 6));
    ExpectNear(a / 4.0f, YVector(0.25f, 0.5f, 0.75f), 1e-6f);
    EXPECT_EQ(a.Dot(b), -4.0f + 1.0f + 6.0f);
    EXPECT_EQ(YVector::Cross(a, b), YVector(2 * 2 - 3 * 0.5f, 3 * -4 - 1 * 2, 1 * 0.5f - 2 * -4));
    EXPECT_EQ(a.Cross(b), YVector::Cross(a, b));
    YVector c = a;
    c.CrossWith(b);
    EXPECT_EQ(c, YVector::Cross(a, b));
    c = a;
    c += b;
    c -= a;
    EXPECT_EQ(c, b);
    c *= 3.0f;
    EXPECT_EQ(c, b * 3.0f);
    c.Negate();
    EXPECT_EQ(c, YVector(12, -1.5f, -6));
    EXPECT_TRUE(a != b);
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(YVector(0, 0, 0) == YVector(-0.0f, 0, -0.0f));
    EXPECT_FALSE(YVector(1, -1, 0).IsNonZero());
    EXPECT_TRUE(YVector(0, 0, 0.5f).IsNonZero());
}

TEST_P(Vector, MatrixProducts)
{
    YMatrix m;
    MatrixRotationY(&m, 0.6f);
    m.m[3][0] = 10;
    m.m[3][1] = -20;
    m.m[3][2] = 30;
    m.m[0][3] = 55;  // column 3 is ignored
    const YVector v(1.5f, -2.0f, 4.0f);
    YVector want;
    want.x = (v.x * m.m[0][0] + v.y * m.m[1][0]) + (v.z * m.m[2][0] + m.m[3][0]);
    want.y = (v.x * m.m[0][1] + v.y * m.m[1][1]) + (v.z * m.m[2][1] + m.m[3][1]);
    want.z = (v.x * m.m[0][2] + v.y * m.m[1][2]) + (v.z * m.m[2][2] + m.m[3][2]);
    EXPECT_EQ(v * m, want);
    YVector t;
    t.TransformFrom(v, m);
    EXPECT_EQ(t, want);
    t = v;
    t.TransformBy(m);
    EXPECT_EQ(t, want);
    t = v;
    t *= m;
    EXPECT_EQ(t, want);
}

TEST_P(Vector, LengthsAndNormalising)
{
    const YVector v(2, -3, 6);
    EXPECT_EQ(v.LengthSquared(), 49.0f);
    EXPECT_NEAR(v.Length(), 7.0f, 7e-6f);
    EXPECT_NEAR(v.FastLength(), 7.0f, 7.0f * 0.002f);
    EXPECT_EQ(v.DistanceSquared(YVector(2, -3, 0)), 36.0f);
    EXPECT_NEAR(v.FastDistance(YVector(2, 1, 6)), 4.0f, 4.0f * 0.002f);
    YVector n = v;
    n.Normalize();
    ExpectNear(n, YVector(2 / 7.0f, -3 / 7.0f, 6 / 7.0f), 1e-6f);
    n.SetLength(14.0f);
    ExpectNear(n, YVector(4, -6, 12), 1e-4f);
    YVector zero;
    zero.Normalize();
    ExpectBits(zero, 0, 0, 0, "zero normalised");
    zero.SetLength(5.0f);
    ExpectBits(zero, 0, 0, 0, "zero lengthened");
    YVector s(0, 0, 3);
    s.SetAngles(YVector(0, 90, 0));
    ExpectNear(s, YVector(3, 0, 0), 1e-5f);
}

TEST_P(Vector, Interpolate)
{
    const YVector a(0, 10, -2), b(4, 20, 2);
    YVector v;
    v.Interpolate(a, b, 1.0f, 1.0f, 7.0f);
    EXPECT_EQ(v, a);
    v.Interpolate(a, b, 1.0f, 3.0f, 2.0f);
    EXPECT_EQ(v, YVector(2, 15, 0));
    v.Interpolate(a, b, 0.0f, 1.0f, 1.5f);  // extrapolates
    EXPECT_EQ(v, YVector(6, 25, 4));
    v = a;
    v.Interpolate(v, b, 0.0f, 4.0f, 1.0f);  // from itself
    EXPECT_EQ(v, YVector(1, 12.5f, -1));
}

TEST_P(Vector, RotationsTurnTheAxesTheDocumentedWay)
{
    struct Case {
        YVector v, angles, want;
    };
    const Case cases[] = {
        {{0, 0, 1}, {0, 90, 0}, {1, 0, 0}},    // yaw raises towards +x
        {{0, 0, 1}, {90, 0, 0}, {0, 1, 0}},    // pitch raises towards +y
        {{1, 0, 0}, {0, 0, 90}, {0, -1, 0}},   // roll: (x, y) -> (x c + y s, y c - x s)
        {{0, 0, 1}, {90, 90, 0}, {0, 1, 0}},   // roll, pitch, yaw in that order
        {{1, 0, 0}, {0, 90, 90}, {0, -1, 0}},
    };
    for (const Case& c : cases) {
        YVector v = c.v;
        v.Rotate(c.angles);
        ExpectNear(v, c.want, 1e-6f);
    }
    YVector x(0, 0, 1);
    x.RotateX(1.5707963f);
    ExpectNear(x, YVector(0, 1, 0), 1e-4f);
    YVector y(0, 0, 1);
    y.RotateY(1.5707963f);
    ExpectNear(y, YVector(1, 0, 0), 1e-4f);
    YVector z(1, 0, 0);
    z.RotateZ(1.5707963f);
    ExpectNear(z, YVector(0, -1, 0), 1e-4f);
    // matches the angle conventions
    YVector dir = YVector(0, 0, 2);
    dir.Rotate(YVector(30, 0, 0));
    dir.Rotate(YVector(0, 50, 0));
    ExpectNear(dir, YVector(30, 50, 0).FromAngles() * 2.0f, 1e-4f);
}

TEST_P(Vector, TurnByAndTurnTowards)
{
    YVector v = YVector(0, 20, 0).FromAngles() * 3.0f;
    v.TurnBy(YVector(10, 15, 0));
    ExpectNear(v.ToAngles(), YVector(10, 35, 0), 0.05f, "turned");
    EXPECT_NEAR(v.Length(), 3.0f, 1e-4f);

    // yaw 30 away, pitch 5 away, step 10: only the yaw turns, by 10
    YVector me = YVector(0, 0, 0).FromAngles() * 2.0f;
    const YVector target = YVector(5, 30, 0).FromAngles();
    me.TurnTowards(target, 20.0f, 0.5f);
    ExpectNear(me.ToAngles(), YVector(0, 10, 0), 0.05f, "clamped");
    EXPECT_NEAR(me.Length(), 2.0f, 1e-4f);

    // both within the step: the target's direction, own length
    YVector near = YVector(0, 0, 0).FromAngles() * 4.0f;
    const YVector close = YVector(3, 6, 0).FromAngles() * 9.0f;
    near.TurnTowards(close, 10.0f, 1.0f);
    YVector want = close;
    want.SetLength(4.0f);
    ExpectNear(near, want, 1e-5f, "snapped");

    // pitch clamped downwards, yaw within the step
    YVector up = YVector(40, 0, 0).FromAngles();
    up.TurnTowards(YVector(0, 3, 0).FromAngles(), 10.0f, 1.0f);
    ExpectNear(up.ToAngles(), YVector(30, 0, 0), 0.05f, "pitch clamped");
}

TEST(VectorText, FormatAndArchive)
{
    EXPECT_STREQ(static_cast<const char*>(YVector(1, -2.5f, 1000).ToString()), "[   1.00000,   -2.50000, 1000.00000]");

    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        YVector a(1.5f, -2.0f, 1e-3f);
        a.Serialize(ar);
        ar << YVector(7, 8, 9);
    }
    EXPECT_EQ(file.GetLength(), 24u);
    file.SeekToBegin();
    uint8_t bytes[24];
    ASSERT_EQ(file.Read(bytes, 24), 24u);
    const float values[6] = {1.5f, -2.0f, 1e-3f, 7, 8, 9};
    for (int i = 0; i < 6; ++i) {
        const uint32_t b = Bits(values[i]);
        const uint8_t le[4] = {uint8_t(b), uint8_t(b >> 8), uint8_t(b >> 16), uint8_t(b >> 24)};
        EXPECT_EQ(std::memcmp(bytes + 4 * i, le, 4), 0) << "float " << i;
    }
    file.SeekToBegin();
    CArchive in(&file, CArchive::load);
    YVector a, b;
    a.Serialize(in);
    in >> b;
    EXPECT_EQ(a, YVector(1.5f, -2.0f, 1e-3f));
    EXPECT_EQ(b, YVector(7, 8, 9));
}
}  // namespace

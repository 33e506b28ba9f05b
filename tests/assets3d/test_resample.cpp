// The filtered resampler: the nine kernels, exact copies, box means,
// hand-computed triangle weights, constant pictures and clamped lobes.
#include <gtest/gtest.h>

#include <vector>

#include "assets3d/ResampleImage.h"

namespace {

typedef std::vector<uint8_t> Pixels;

TEST(ResampleFilters, TableNamesSupportsAndKernels)
{
    struct Case {
        const char* name;
        double support;
        double x, k;
    } cases[] = {
        {"Point", 0.0, 0.0, 1.0},          {"Point", 0.0, 0.5, 0.0},          {"Point", 0.0, -0.5, 1.0},
        {"Box", 0.5, 0.49, 1.0},           {"Box", 0.5, 0.5, 0.0},            {"Triangle", 1.0, 0.25, 0.75},
        {"Triangle", 1.0, -1.0, 0.0},      {"Quadratic", 1.5, 0.0, 0.75},     {"Quadratic", 1.5, 1.0, 0.125},
        {"Quadratic", 1.5, -1.0, 0.125},   {"Quadratic", 1.5, 1.5, 0.0},      {"Cubic", 2.0, 0.0, 4.0 / 6.0},
        {"Cubic", 2.0, -1.0, 1.0 / 6.0},   {"Cubic", 2.0, 0.5, 2.875 / 6.0},  {"Catrom", 2.0, 0.0, 1.0},
        {"Catrom", 2.0, 1.0, 0.0},         {"Catrom", 2.0, 0.5, 0.5625},      {"Catrom", 2.0, -1.5, -0.0625},
        {"Gaussian", 1.25, 0.0, 0.7978845608}, {"Gaussian", 1.25, 1.0, 0.1079819330},
        {"Sinc", 4.0, 0.0, 1.0},           {"Sinc", 4.0, 0.5, 0.6366197724},  {"Sinc", 4.0, 1.0, 0.0},
        {"Bessel", 3.2383, 0.0, 0.7853981634}, {"Bessel", 3.2383, 1.0, 0.1423076716},
        {"Bessel", 3.2383, 0.5, 0.5668240889},
    };
    for (const Case& c : cases) {
        int index = FindResampleFilter(c.name);
        const YResampleFilter& f = GetResampleFilter(index);
        EXPECT_STREQ(f.name, c.name);
        EXPECT_DOUBLE_EQ(f.support, c.support) << c.name;
        ASSERT_NE(f.kernel, nullptr) << c.name;
        EXPECT_NEAR(f.kernel(c.x), c.k, 1e-9) << c.name << " at " << c.x;
    }
    const char* order[] = {"Point", "Box", "Triangle", "Quadratic", "Cubic", "Catrom", "Gaussian", "Sinc", "Bessel"};
    for (int i = 0; i < RESAMPLE_FILTER_COUNT; ++i) EXPECT_EQ(FindResampleFilter(order[i]), i);
    EXPECT_EQ(FindResampleFilter("cubic"), 0);
    EXPECT_EQ(FindResampleFilter(nullptr), 0);
    EXPECT_STREQ(GetResampleFilter(-4).name, "Point");
    EXPECT_STREQ(GetResampleFilter(40).name, "Bessel");
}

Pixels Resampled(const Pixels& source, int sw, int sh, int dw, int dh, int fx, int fy)
{
    Pixels dest(static_cast<size_t>(dw) * dh * 4, 0xEE);
    ResampleImage(source.data(), sw, sh, dest.data(), dw, dh, fx, fy);
    return dest;
}

TEST(Resample, PointAtTheSameSizeCopiesExactly)
{
    Pixels source(4 * 4 * 4);
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 37 + 11);
    EXPECT_EQ(Resampled(source, 4, 4, 4, 4, 0, 0), source);
}

TEST(Resample, BoxHalvingGivesTheRoundedMeanOfEachBlock)
{
    // Blocks of one channel value each; their means 1.75, 0.25, 1.5 and 200.
    const int blocks[4][4] = {{1, 2, 2, 2}, {0, 0, 0, 1}, {1, 1, 2, 2}, {200, 200, 200, 200}};
    const uint8_t means[4] = {2, 0, 2, 200};
    Pixels source(8 * 8 * 4, 0);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            int block = ((y / 2) % 2) * 2 + (x / 2) % 2;
            int within = (y % 2) * 2 + x % 2;
            for (int k = 0; k < 4; ++k) source[(y * 8 + x) * 4 + k] = static_cast<uint8_t>(blocks[block][within]);
        }
    }
    Pixels dest = Resampled(source, 8, 8, 4, 4, 1, 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(dest[(y * 4 + x) * 4 + k], means[(y % 2) * 2 + x % 2]) << x << "," << y;
}

TEST(Resample, TriangleDoublingByHand)
{
    // 2 x 1 of 0 and 100: weights 3/4 and 1/4 between the two.
    Pixels source = {0, 0, 0, 0, 100, 100, 100, 100};
    Pixels dest = Resampled(source, 2, 1, 4, 1, 2, 2);
    const uint8_t expected[4] = {0, 25, 75, 100};
    for (int x = 0; x < 4; ++x)
        for (int k = 0; k < 4; ++k) EXPECT_EQ(dest[x * 4 + k], expected[x]) << x;
}

TEST(Resample, PointHalvingPicksEveryOtherPixel)
{
    Pixels source;
    for (uint8_t v : {10, 20, 30, 40})
        for (int k = 0; k < 4; ++k) source.push_back(v);
    Pixels dest = Resampled(source, 4, 1, 2, 1, 0, 0);
    EXPECT_EQ(dest, Pixels({10, 10, 10, 10, 30, 30, 30, 30}));
}

TEST(Resample, ConstantPicturesStayConstantUnderEveryFilter)
{
    const int sizes[][4] = {{8, 8, 3, 5}, {5, 3, 16, 11}, {7, 7, 7, 7}, {1, 1, 6, 4}, {9, 2, 1, 1}};
    const uint8_t colour[4] = {17, 128, 254, 90};
    for (int f = 0; f < RESAMPLE_FILTER_COUNT; ++f) {
        for (const auto& s : sizes) {
            Pixels source;
            for (int i = 0; i < s[0] * s[1]; ++i) source.insert(source.end(), colour, colour + 4);
            Pixels dest = Resampled(source, s[0], s[1], s[2], s[3], f, f);
            for (size_t i = 0; i < dest.size(); ++i)
                ASSERT_EQ(dest[i], colour[i % 4]) << GetResampleFilter(f).name << " " << s[0] << "x" << s[1]
                                                  << " to " << s[2] << "x" << s[3] << " byte " << i;
        }
    }
}

TEST(Resample, NegativeLobesAreClampedNotWrapped)
{
    // A step from black to white: ringing filters undershoot below 0 on the
    // dark side and overshoot past 255 on the bright side of the edge.
    Pixels source(8 * 4, 0);
    for (int x = 4; x < 8; ++x)
        for (int k = 0; k < 4; ++k) source[x * 4 + k] = 255;
    for (const char* name : {"Catrom", "Sinc", "Bessel"}) {
        int f = FindResampleFilter(name);
        Pixels dest = Resampled(source, 8, 1, 32, 1, f, f);
        for (int x = 0; x < 32; ++x) {
            uint8_t v = dest[x * 4];
            if (x <= 11) {
                EXPECT_LE(v, 30) << name << " x " << x;
            } else if (x >= 20) {
                EXPECT_GE(v, 225) << name << " x " << x;
            }
        }
        EXPECT_EQ(dest[0], 0) << name;
        EXPECT_EQ(dest[31 * 4], 255) << name;
    }
}

TEST(Resample, AlphaPlaneMatchesOneChannelOfTheColourPass)
{
    Pixels colour(5 * 3 * 4), alpha(5 * 3);
    for (size_t i = 0; i < alpha.size(); ++i) {
        alpha[i] = static_cast<uint8_t>(i * 53 % 251);
        for (int k = 0; k < 4; ++k) colour[i * 4 + k] = alpha[i];
    }
    for (int f = 0; f < RESAMPLE_FILTER_COUNT; ++f) {
        Pixels wide = Resampled(colour, 5, 3, 9, 7, f, 8 - f);
        Pixels plane(9 * 7, 0);
        ResampleAlphaImage(alpha.data(), 5, 3, plane.data(), 9, 7, f, 8 - f);
        for (size_t i = 0; i < plane.size(); ++i) ASSERT_EQ(plane[i], wide[i * 4 + 3]) << f << " " << i;
    }
}

TEST(Resample, NothingHappensWithoutBuffersOrSizes)
{
    Pixels source(16, 9), dest(16, 0xEE);
    ResampleImage(nullptr, 2, 2, dest.data(), 2, 2, 0, 0);
    ResampleImage(source.data(), 0, 2, dest.data(), 2, 2, 0, 0);
    ResampleImage(source.data(), 2, 2, dest.data(), 2, -1, 0, 0);
    EXPECT_EQ(dest, Pixels(16, 0xEE));
}

}  // namespace

// The silhouette rasteriser: plain, 2x and 4x against an exact inside test
// of the triangle, clipping at every border, resolve and row weights.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "renderer/CTex2XAARen.h"
#include "renderer/CTex4XAARen.h"
#include "renderer/CTexRen.h"

namespace {
typedef CTexRen::Point Pt;

struct Kind {
    const char* name;
    int k;
    std::function<CTexRen*()> make;
};

const Kind kKinds[] = {
    {"plain", 1, [] { return new CTexRen; }},
    {"2x", 2, [] { return new CTex2XAARen; }},
    {"4x", 4, [] { return new CTex4XAARen; }},
};

const uint16_t kUntouched = 0xBEEF;

// A renderer with a colour table that shows the index (offset so that 0 is
// told apart from an unwritten pixel) and a weight per row.
struct Canvas {
    Canvas(const Kind& kind, int width, int height, uint16_t weight = 255)
        : ren(kind.make()), k(kind.k), w(width), h(height), image(size_t(width) * height, kUntouched),
          weights(size_t(height), weight)
    {
        for (int i = 0; i < 256; ++i) table[i] = uint16_t(0x1000 + i);
        ren->SetTarget(image.data());
        ren->SetColorTable(table);
        ren->SetRowWeights(weights.data());
        ren->SetWidth(width);
        ren->SetHeight(height);
    }
    void Draw(const std::vector<Pt>& points, const std::vector<int32_t>& tris, int coverage)
    {
        pts = points;
        idx = tris;
        ren->SetPoints(pts.data(), int32_t(pts.size()));
        ren->SetTriangles(idx.data(), int32_t(idx.size() / 3));
        ren->Render(coverage);
    }
    uint16_t At(int x, int y) const { return image[size_t(y) * w + x]; }
    uint16_t Shade(int row, int v) const { return table[uint16_t((weights[row] & 0xFF) * v) >> 8]; }

    std::unique_ptr<CTexRen> ren;
    int k, w, h;
    std::vector<uint16_t> image;
    std::vector<uint16_t> weights;
    uint16_t table[256];
    std::vector<Pt> pts;
    std::vector<int32_t> idx;
};

// Signed distances of a sample point from the three edges, positive inside.
double InsideDistance(const Pt* t, double x, double y)
{
    double area = double(t[1].x - t[0].x) * (t[2].y - t[0].y) - double(t[2].x - t[0].x) * (t[1].y - t[0].y);
    double sign = area < 0 ? -1.0 : 1.0;
    double d = 1e30;
    for (int i = 0; i < 3; ++i) {
        const Pt& a = t[i];
        const Pt& b = t[(i + 1) % 3];
        double ex = b.x - a.x, ey = b.y - a.y;
        double len = std::sqrt(ex * ex + ey * ey);
        double cross = (ex * (y - a.y) - ey * (x - a.x)) * sign / len;
        d = std::min(d, cross);
    }
    return d;
}

// Every resolved pixel (borders excluded) well inside the triangle is fully
// covered, every pixel well outside is blank.
void ExpectSilhouette(const Canvas& c, const Pt* tri, int coverage, const char* what)
{
    const double margin = 1.5;
    int checkedIn = 0, checkedOut = 0;
    for (int y = 1; y < c.h - 1; ++y) {
        for (int x = 1; x < c.w - 1; ++x) {
            double lo = 1e30, hi = -1e30;
            for (int j = 0; j < c.k; ++j)
                for (int i = 0; i < c.k; ++i) {
                    double d = InsideDistance(tri, x * c.k + i, y * c.k + j);
                    lo = std::min(lo, d);
                    hi = std::max(hi, d);
                }
            if (lo > margin) {
                ++checkedIn;
                ASSERT_EQ(c.At(x, y), c.Shade(y, coverage)) << what << " inside at " << x << "," << y;
            } else if (hi < -margin) {
                ++checkedOut;
                ASSERT_EQ(c.At(x, y), c.table[0]) << what << " outside at " << x << "," << y;
            }
        }
    }
    EXPECT_GT(checkedIn, 0) << what;
    EXPECT_GT(checkedOut, 0) << what;
}
}  // namespace

// Triangles given in pixel units, scaled to samples; several reach past the
// borders so that the edge clippers cut them.
TEST(TexRen, SilhouettesMatchTheTriangle)
{
    struct Case {
        const char* what;
        double p[6];
    };
    const Case cases[] = {
        {"inside", {5, 4, 50, 12, 20, 58}},
        {"inside, other winding", {5, 4, 20, 58, 50, 12}},
        {"through left", {-30, 10, 40, 20, -10, 55}},
        {"through right", {10, 10, 200, 30, 10, 50}},
        {"through top", {8, -40, 55, 30, 12, 45}},
        {"through bottom", {30, 5, 60, 300, 2, 40}},
        {"over every border", {-100, -20, 250, 31, -40, 190}},
        {"starts on the left border", {0, 2, 40, 2, 0, 50}},
        {"one sample left of the border", {-0.25, 5, 30, 30, 0, 60}},
    };
    for (const Kind& kind : kKinds) {
        for (const Case& cs : cases) {
            Canvas c(kind, 64, 64);
            const double s = c.k;
            Pt tri[3];
            for (int i = 0; i < 3; ++i)
                tri[i] = {int32_t(std::lround(cs.p[2 * i] * s)), int32_t(std::lround(cs.p[2 * i + 1] * s))};
            c.Draw({tri[0], tri[1], tri[2]}, {0, 1, 2}, 255);
            std::string what = std::string(kind.name) + " " + cs.what;
            ExpectSilhouette(c, tri, 255, what.c_str());
        }
    }
}

// The pair (-1, 0) once made the clipper bisect forever.
TEST(TexRen, EdgeFromMinusOneToZeroEnds)
{
    for (const Kind& kind : kKinds) {
        Canvas c(kind, 16, 16);
        const int32_t last = 16 * kind.k - 1;
        c.Draw({{-1, 0}, {0, last}, {last, last}, {-1, last}, {last, -1}}, {0, 1, 2, 3, 4, 2}, 255);
        EXPECT_EQ(c.At(8, 14), c.Shade(14, 255)) << kind.name;
    }
}

TEST(TexRen, NothingOnTheImageDrawsNothing)
{
    struct Case {
        const char* what;
        std::vector<Pt> pts;
    };
    for (const Kind& kind : kKinds) {
        const int32_t lim = 32 * kind.k - 1;
        const Case cases[] = {
            {"left of 0", {{-50, 3}, {-1, 3}, {-1, 30}}},
            {"right of the last column", {{lim + 1, 3}, {lim + 40, 3}, {lim + 1, 30}}},
            {"above", {{3, -20}, {30, -1}, {3, -1}}},
            {"below", {{3, lim + 1}, {30, lim + 9}, {3, lim + 30}}},
            {"no width", {{10, 3}, {10, 40}, {10, 20}}},
        };
        for (const Case& cs : cases) {
            Canvas c(kind, 32, 32);
            c.Draw(cs.pts, {0, 1, 2}, 255);
            for (int y = 1; y < 31; ++y)
                for (int x = 1; x < 31; ++x)
                    ASSERT_EQ(c.At(x, y), c.table[0]) << kind.name << " " << cs.what << " at " << x << "," << y;
        }
    }
}

// Without triangles the plain class is colourTable[0] everywhere, border
// included; the anti-aliased classes leave the border as it was.
TEST(TexRen, NoTrianglesBlanksTheImage)
{
    for (const Kind& kind : kKinds) {
        Canvas c(kind, 20, 12);
        c.Draw({}, {}, 255);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 20; ++x) {
                bool border = x == 0 || y == 0 || x == 19 || y == 11;
                uint16_t expected = border && kind.k > 1 ? kUntouched : c.table[0];
                ASSERT_EQ(c.At(x, y), expected) << kind.name << " at " << x << "," << y;
            }
    }
}

// A rectangle of sample columns 0 to 6 (the right end is exclusive): pixel 3
// of the 2x class has 2 of 4 samples, pixel 1 of the 4x class 12 of 16.
TEST(TexRen, ResolveAveragesSamplesAndWeightsRows)
{
    for (const Kind& kind : kKinds) {
        Canvas c(kind, 8, 8);
        for (int y = 0; y < 8; ++y) c.weights[y] = uint16_t(0x3300 | (90 + 20 * y));  // high byte unused
        const int32_t bottom = 8 * kind.k - 1;
        c.Draw({{0, 0}, {7, 0}, {7, bottom}, {0, bottom}}, {0, 1, 2, 0, 2, 3}, 200);
        for (int y = 1; y < 7; ++y) {
            for (int x = 1; x < 7; ++x) {
                int covered = 0;
                for (int i = 0; i < kind.k; ++i) covered += (x * kind.k + i) < 7;
                int sum = covered * kind.k * 200;
                int v = sum / (kind.k * kind.k);
                ASSERT_EQ(c.At(x, y), c.Shade(y, v)) << kind.name << " at " << x << "," << y;
            }
        }
    }
    Canvas half(kKinds[1], 8, 8, 0x00C8);
    half.Draw({{0, 0}, {7, 0}, {7, 15}, {0, 15}}, {0, 1, 2, 0, 2, 3}, 255);
    EXPECT_EQ(half.At(3, 3), half.table[(200 * 127) >> 8]);
}

TEST(TexRen, AntiAliasedClassesRefuseImagesOver64)
{
    for (const Kind& kind : kKinds) {
        if (kind.k == 1) continue;
        for (int size : {64, 65}) {
            Canvas c(kind, size, size);
            const int32_t s = size * kind.k;
            c.Draw({{0, 0}, {s, 0}, {0, s}}, {0, 1, 2}, 255);
            bool untouched = true;
            for (uint16_t px : c.image) untouched = untouched && px == kUntouched;
            EXPECT_EQ(untouched, size == 65) << kind.name << " " << size;
        }
    }
}

// The edge tables hold 2048 sample rows; a taller image is refused.
TEST(TexRen, PlainRefusesMoreRowsThanTheTables)
{
    for (int height : {2048, 2049}) {
        Canvas c(kKinds[0], 4, height);
        c.Draw({{0, 0}, {4, 0}, {0, height}}, {0, 1, 2}, 255);
        EXPECT_EQ(c.At(0, 0) == kUntouched, height == 2049) << height;
    }
}

// A triangle naming a point that does not exist is skipped.
TEST(TexRen, TrianglesWithBadIndexesAreSkipped)
{
    Canvas c(kKinds[0], 16, 16);
    c.Draw({{1, 1}, {14, 1}, {1, 14}}, {0, 1, 3, -1, 1, 2, 0, 1, 2}, 99);
    EXPECT_EQ(c.At(3, 3), c.Shade(3, 99));
    EXPECT_EQ(c.At(13, 13), c.table[0]);
}

#include "assets3d/ResampleImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;
const int kWeightOne = 16384;  // 1.0 in the 14-bit weights

double PointKernel(double x) { return (x >= -0.5 && x < 0.5) ? 1.0 : 0.0; }

double TriangleKernel(double x) { return (x >= -1.0 && x < 1.0) ? 1.0 - std::fabs(x) : 0.0; }

double QuadraticKernel(double x)
{
    if (x < -1.5) return 0.0;
    if (x < -0.5) return 0.5 * (x + 1.5) * (x + 1.5);
    if (x < 0.5) return 0.75 - x * x;
    if (x < 1.5) return 0.5 * (x - 1.5) * (x - 1.5);
    return 0.0;
}

double CubicKernel(double x)
{
    if (x < -2.0) return 0.0;
    if (x < -1.0) return (2.0 + x) * (2.0 + x) * (2.0 + x) / 6.0;
    if (x < 0.0) return (4.0 - 6.0 * x * x - 3.0 * x * x * x) / 6.0;
    if (x < 1.0) return (4.0 - 6.0 * x * x + 3.0 * x * x * x) / 6.0;
    if (x < 2.0) return (2.0 - x) * (2.0 - x) * (2.0 - x) / 6.0;
    return 0.0;
}

double CatromKernel(double x)
{
    if (x < -2.0) return 0.0;
    if (x < -1.0) return 0.5 * (4.0 + 8.0 * x + 5.0 * x * x + x * x * x);
    if (x < 0.0) return 0.5 * (2.0 - 5.0 * x * x - 3.0 * x * x * x);
    if (x < 1.0) return 0.5 * (2.0 - 5.0 * x * x + 3.0 * x * x * x);
    if (x < 2.0) return 0.5 * (4.0 - 8.0 * x + 5.0 * x * x - x * x * x);
    return 0.0;
}

double GaussianKernel(double x) { return std::exp(-2.0 * x * x) * std::sqrt(2.0 / kPi); }

double SincKernel(double x)
{
    if (x == 0.0) return 1.0;
    return std::sin(kPi * x) / (kPi * x);
}

double BesselKernel(double x)
{
    if (x == 0.0) return kPi / 4.0;
    return ::j1(kPi * x) / (2.0 * x);
}

const YResampleFilter kFilters[RESAMPLE_FILTER_COUNT] = {
    {"Point", PointKernel, 0.0},       {"Box", PointKernel, 0.5},       {"Triangle", TriangleKernel, 1.0},
    {"Quadratic", QuadraticKernel, 1.5}, {"Cubic", CubicKernel, 2.0},   {"Catrom", CatromKernel, 2.0},
    {"Gaussian", GaussianKernel, 1.25}, {"Sinc", SincKernel, 4.0},      {"Bessel", BesselKernel, 3.2383},
};

// Source taps of one destination column or row.
struct Taps {
    int first = 0;
    std::vector<int16_t> weights;
    bool used = false;
};

// The reach of a filter along one axis.
struct Axis {
    double scale;   // destination size / source size
    double width;   // kernel argument divisor: 1 / scale when shrinking
    double support; // scaled support, at least 0.5
    const YResampleFilter* filter;

    Axis(int sourceSize, int destSize, const YResampleFilter& f)
    {
        scale = static_cast<double>(destSize) / sourceSize;
        width = scale < 1.0 ? 1.0 / scale : 1.0;
        support = std::max(width * f.support, 0.5);
        filter = &f;
    }

    // The destination indices the filter reaches, clipped to the image.
    void Window(int sourceSize, int destSize, int& low, int& high) const
    {
        double offset = 0.5 * scale - 0.5;
        double a = std::ceil(-support * scale + offset + 1e-7);
        double b = std::floor((sourceSize - 1 + support) * scale + offset - 1e-7);
        low = static_cast<int>(std::min(std::max(a, 0.0), static_cast<double>(destSize)));
        high = static_cast<int>(std::max(std::min(b, static_cast<double>(destSize - 1)), -1.0));
    }

    Taps Build(int index, int sourceSize) const
    {
        Taps taps;
        double centre = (index + 0.5) / scale;
        int i0 = static_cast<int>(centre - support + 0.49);
        int i1 = static_cast<int>(centre + support + 0.49);
        i0 = std::max(i0, 0);
        i1 = std::min(i1, sourceSize);
        if (i0 >= i1) return taps;
        taps.used = true;

        double sum = 0.0;
        for (int j = i0; j < i1; ++j) sum += filter->kernel((j + 0.5 - centre) / width);
        double factor = sum != 0.0 ? kWeightOne / sum : kWeightOne;

        std::vector<int> raw;
        int first = -1, last = -1;
        for (int j = i0; j < i1; ++j) {
            int t = static_cast<int>(std::floor(factor * filter->kernel((j + 0.5 - centre) / width) + 0.5));
            if (first < 0) {
                if (t == 0) continue;
                first = j;
            }
            raw.push_back(t);
            if (t != 0) last = j;
        }
        if (first < 0) {
            taps.first = (i0 + i1) / 2;
            taps.weights.assign(1, static_cast<int16_t>(kWeightOne));
            return taps;
        }
        raw.resize(static_cast<size_t>(last - first + 1));
        int total = 0;
        for (int t : raw) total += t;
        if (total != kWeightOne) {
            int at = static_cast<int>(centre + 0.5);
            at = std::min(std::max(at, first), last);
            raw[static_cast<size_t>(at - first)] += kWeightOne - total;
        }
        taps.first = first;
        taps.weights.reserve(raw.size());
        for (int t : raw) taps.weights.push_back(static_cast<int16_t>(std::min(std::max(t, -32768), 32767)));
        return taps;
    }
};

template <int Channels>
void Resample(const uint8_t* source, int sourceWidth, int sourceHeight, uint8_t* dest, int destWidth, int destHeight,
              int filterX, int filterY)
{
    if (!source || !dest || sourceWidth < 1 || sourceHeight < 1 || destWidth < 1 || destHeight < 1) return;
    Axis ax(sourceWidth, destWidth, GetResampleFilter(filterX));
    Axis ay(sourceHeight, destHeight, GetResampleFilter(filterY));
    int x0, x1, y0, y1;
    ax.Window(sourceWidth, destWidth, x0, x1);
    ay.Window(sourceHeight, destHeight, y0, y1);
    if (x0 > x1 || y0 > y1) return;
    const int columns = x1 - x0 + 1;

    std::vector<Taps> columnTaps(static_cast<size_t>(columns));
    for (int x = x0; x <= x1; ++x) columnTaps[static_cast<size_t>(x - x0)] = ax.Build(x, sourceWidth);

    std::vector<Taps> rowTaps(static_cast<size_t>(y1 - y0 + 1));
    size_t ringSize = static_cast<size_t>(std::max(1.0, std::ceil(2.0 * ay.support)));
    for (int y = y0; y <= y1; ++y) {
        Taps& t = rowTaps[static_cast<size_t>(y - y0)];
        t = ay.Build(y, sourceHeight);
        ringSize = std::max(ringSize, t.weights.size());
    }

    const size_t rowValues = static_cast<size_t>(columns) * Channels;
    std::vector<int16_t> ring(ringSize * rowValues, 0);
    std::vector<int> ringRow(ringSize, -1);
    const size_t destStride = static_cast<size_t>(destWidth) * Channels;
    const size_t sourceStride = static_cast<size_t>(sourceWidth) * Channels;

    for (int y = y0; y <= y1; ++y) {
        const Taps& rows = rowTaps[static_cast<size_t>(y - y0)];
        if (!rows.used) continue;
        // Filter each source row of this destination row horizontally, once.
        for (size_t r = 0; r < rows.weights.size(); ++r) {
            int sourceRow = rows.first + static_cast<int>(r);
            size_t slot = static_cast<size_t>(sourceRow) % ringSize;
            if (ringRow[slot] == sourceRow) continue;
            ringRow[slot] = sourceRow;
            const uint8_t* in = source + static_cast<size_t>(sourceRow) * sourceStride;
            int16_t* out = &ring[slot * rowValues];
            for (int c = 0; c < columns; ++c) {
                const Taps& taps = columnTaps[static_cast<size_t>(c)];
                for (int k = 0; k < Channels; ++k) {
                    int64_t sum = 128;
                    for (size_t i = 0; i < taps.weights.size(); ++i)
                        sum += static_cast<int64_t>(taps.weights[i]) *
                               in[static_cast<size_t>(taps.first + static_cast<int>(i)) * Channels + k];
                    int64_t h = sum >> 8;
                    out[static_cast<size_t>(c) * Channels + k] =
                        static_cast<int16_t>(std::min<int64_t>(std::max<int64_t>(h, -32768), 32767));
                }
            }
        }
        uint8_t* line = dest + static_cast<size_t>(y) * destStride;
        for (int c = 0; c < columns; ++c) {
            if (!columnTaps[static_cast<size_t>(c)].used) continue;
            for (int k = 0; k < Channels; ++k) {
                int64_t sum = 524288;
                for (size_t r = 0; r < rows.weights.size(); ++r) {
                    size_t slot = static_cast<size_t>(rows.first + static_cast<int>(r)) % ringSize;
                    sum += static_cast<int64_t>(rows.weights[r]) * ring[slot * rowValues + static_cast<size_t>(c) * Channels + k];
                }
                int64_t v = sum >> 20;
                line[static_cast<size_t>(x0 + c) * Channels + k] = static_cast<uint8_t>(std::min<int64_t>(std::max<int64_t>(v, 0), 255));
            }
        }
    }
}

}  // namespace

const YResampleFilter& GetResampleFilter(int index)
{
    return kFilters[std::min(std::max(index, 0), RESAMPLE_FILTER_COUNT - 1)];
}

int FindResampleFilter(const char* name)
{
    if (!name) return 0;
    for (int i = 0; i < RESAMPLE_FILTER_COUNT; ++i)
        if (std::strcmp(kFilters[i].name, name) == 0) return i;
    return 0;
}

void ResampleImage(const uint8_t* source, int sourceWidth, int sourceHeight, uint8_t* dest, int destWidth,
                   int destHeight, int filterX, int filterY)
{
    Resample<4>(source, sourceWidth, sourceHeight, dest, destWidth, destHeight, filterX, filterY);
}

void ResampleAlphaImage(const uint8_t* source, int sourceWidth, int sourceHeight, uint8_t* dest, int destWidth,
                        int destHeight, int filterX, int filterY)
{
    Resample<1>(source, sourceWidth, sourceHeight, dest, destWidth, destHeight, filterX, filterY);
}

uint8_t NearestPaletteIndex(const RGBQUAD* palette, int first, int last, const uint8_t* pixel)
{
    first = std::min(std::max(first, 0), 255);
    last = std::min(std::max(last, 0), 255);
    int best = 0x7FFFFFFF, index = first;
    for (int e = first; e <= last; ++e) {
        int db = pixel[0] - palette[e].rgbBlue, dg = pixel[1] - palette[e].rgbGreen, dr = pixel[2] - palette[e].rgbRed;
        int distance = db * db + dg * dg + dr * dr;
        if (distance < best) {
            best = distance;
            index = e;
        }
    }
    return static_cast<uint8_t>(index);
}

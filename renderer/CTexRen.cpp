#include "renderer/CTexRen.h"

#include <cstdint>
#include <cstring>

#include "foundation/YFastMath.h"

namespace {
const int32_t kEmptyLeft = 0x7FFFFFFF;
const int32_t kEmptyRight = INT32_MIN;

inline int32_t& Coord(CTexRen::Point& p, int axis) { return axis ? p.y : p.x; }

inline int32_t Abs(int32_t v) { return v < 0 ? -v : v; }


// Fills count 32-bit words; the fast-math fill when the address allows it.
void FillWords(int32_t* dst, int32_t count, int32_t value)
{
    if (count <= 0) return;
    if ((reinterpret_cast<uintptr_t>(dst) & 3) == 0) {
        MemFillDwords(reinterpret_cast<uint32_t*>(dst), static_cast<uint32_t>(count), static_cast<uint32_t>(value));
        return;
    }
    for (int32_t i = 0; i < count; ++i) dst[i] = value;
}

void ClearBytes(void* dst, int32_t bytes)
{
    if (bytes <= 0) return;
    uint8_t* p = static_cast<uint8_t*>(dst);
    if ((reinterpret_cast<uintptr_t>(p) & 3) == 0) {
        MemClearDwords(reinterpret_cast<uint32_t*>(p), static_cast<uint32_t>(bytes / 4));
        p += bytes & ~3;
        bytes &= 3;
    }
    for (int32_t i = 0; i < bytes; ++i) p[i] = 0;
}

// Moves `out` onto the line coordinate `target` of the segment (in, out) by
// bisection; `in` lies on the inner side.  The points are bisected with 8
// bits below the sample so that rounding does not drift off the line; it
// stops on the first point at the boundary, or when the two points are one
// step apart (the inner one then is on the boundary).
CTexRen::Point Bisect(CTexRen::Point inner, CTexRen::Point outer, int axis, int32_t target)
{
    int64_t in[2] = {int64_t(inner.x) * 256, int64_t(inner.y) * 256};
    int64_t out[2] = {int64_t(outer.x) * 256, int64_t(outer.y) * 256};
    const int64_t t = int64_t(target) * 256;
    const bool below = out[axis] < t;
    while (in[axis] != t && (in[axis] > out[axis] ? in[axis] - out[axis] : out[axis] - in[axis]) > 1) {
        const int64_t mid[2] = {(in[0] + out[0]) >> 1, (in[1] + out[1]) >> 1};
        int64_t* keep = (below ? mid[axis] < t : mid[axis] > t) ? out : in;
        keep[0] = mid[0];
        keep[1] = mid[1];
    }
    return {static_cast<int32_t>((in[0] + 128) >> 8), static_cast<int32_t>((in[1] + 128) >> 8)};
}
}  // namespace

CTexRen::CTexRen() : CTexRen(1, nullptr, 0) {}

CTexRen::CTexRen(int32_t scale, uint8_t* samples, int32_t maxSize)
    : m_top(kEmptyLeft), m_bottom(kEmptyRight), m_width(0), m_height(0), m_lastColumn(0), m_lastRow(0),
      m_sampleWidth(0), m_sampleHeight(0), m_sampleXLimit(0), m_sampleYLimit(0), m_clipped(0), m_target(nullptr),
      m_colorTable(nullptr), m_rowWeights(nullptr), m_points(nullptr), m_pointCount(0), m_triangles(nullptr),
      m_triangleCount(0), m_scale(scale), m_samples(samples), m_maxSize(maxSize)
{
    ResetEdgeTables();
}

CTexRen::~CTexRen() = default;

uint8_t* CTexRen::Aligned8(uint8_t* p)
{
    return p + ((8 - (reinterpret_cast<uintptr_t>(p) & 7)) & 7);
}

uint16_t* CTexRen::SetTarget(uint16_t* image)
{
    m_target = image;
    return image;
}

uint16_t* CTexRen::SetColorTable(uint16_t* table)
{
    m_colorTable = table;
    return table;
}

uint16_t* CTexRen::SetRowWeights(uint16_t* weights)
{
    m_rowWeights = weights;
    return weights;
}

float CTexRen::GetSampleScaleX() { return static_cast<float>(m_scale); }

float CTexRen::GetSampleScaleY() { return static_cast<float>(m_scale); }

void CTexRen::SetWidth(int32_t width)
{
    m_width = width;
    m_lastColumn = width - 1;
    m_sampleWidth = width * m_scale;
    m_sampleXLimit = m_sampleWidth - 1;
}

void CTexRen::SetHeight(int32_t height)
{
    m_height = height;
    m_lastRow = height - 1;
    m_sampleHeight = height * m_scale;
    m_sampleYLimit = m_sampleHeight - 1;
}

void CTexRen::SetPoints(const Point* points, int32_t count)
{
    m_points = points;
    m_pointCount = count;
}

void CTexRen::SetTriangles(const int32_t* indexes, int32_t count)
{
    m_triangles = indexes;
    m_triangleCount = count;
}

bool CTexRen::ClipEdge(Point& a, Point& b, int axis, int32_t limit)
{
    const bool swapped = Coord(b, axis) < Coord(a, axis);
    Point& lo = swapped ? b : a;
    Point& hi = swapped ? a : b;
    if (Coord(lo, axis) > limit || Coord(hi, axis) < 0) return false;
    if (Coord(lo, axis) < 0) {
        lo = Bisect(hi, lo, axis, 0);
        if (!swapped) m_clipped = 1;
    }
    if (Coord(hi, axis) > limit) {
        hi = Bisect(lo, hi, axis, limit);
        if (swapped) m_clipped = 1;
    }
    return true;
}

int CTexRen::ClipPolygonX(const Point* tri, Point* out)
{
    int n = 0;
    for (int i = 0; i < 3; ++i) {
        Point a = tri[i];
        Point b = tri[(i + 1) % 3];
        m_clipped = 0;
        if (!ClipEdge(a, b, 0, m_sampleXLimit)) continue;
        if (m_clipped) out[n++] = a;
        out[n++] = b;
    }
    if (n == 0) return 0;
    out[n] = out[0];
    return n;
}

// Bresenham from a to b, keeping the smallest and largest x of every row.
void CTexRen::WalkEdge(Point a, Point b)
{
    m_clipped = 0;
    if (!ClipEdge(a, b, 1, m_sampleYLimit)) return;
    if (a.y < m_top) m_top = a.y;
    if (b.y < m_top) m_top = b.y;
    if (a.y > m_bottom) m_bottom = a.y;
    if (b.y > m_bottom) m_bottom = b.y;

    const int32_t dx = Abs(b.x - a.x), sx = a.x < b.x ? 1 : -1;
    const int32_t dy = -Abs(b.y - a.y), sy = a.y < b.y ? 1 : -1;
    int32_t err = dx + dy;
    int32_t x = a.x, y = a.y;
    for (;;) {
        if (x < m_left[y]) m_left[y] = x;
        if (x > m_right[y]) m_right[y] = x;
        if (x == b.x && y == b.y) break;
        const int32_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void CTexRen::FillSpans(int32_t coverage)
{
    for (int32_t y = m_top; y <= m_bottom; ++y) {
        const int32_t left = m_left[y], right = m_right[y];
        if (left <= right) {
            if (m_samples) {
                memset(m_samples + y * m_sampleWidth + left, static_cast<uint8_t>(coverage), right - left);
            } else {
                uint16_t* row = m_target + y * m_width;
                for (int32_t x = left; x < right; ++x) row[x] = static_cast<uint16_t>(coverage);
            }
        }
        m_left[y] = kEmptyLeft;
        m_right[y] = kEmptyRight;
    }
}

void CTexRen::ResetEdgeTables()
{
    const int32_t rows = m_sampleHeight < kTableRows ? m_sampleHeight : kTableRows;
    FillWords(m_left, rows > 0 ? rows : kTableRows, kEmptyLeft);
    FillWords(m_right, rows > 0 ? rows : kTableRows, kEmptyRight);
}

void CTexRen::ClearTarget()
{
    if (m_samples) ClearBytes(m_samples, m_sampleWidth * m_sampleHeight);
    else ClearBytes(m_target, m_width * m_height * 2);
}

void CTexRen::Resolve()
{
    const int32_t k = m_scale;
    const int shift = k == 1 ? 0 : (k == 2 ? 2 : 4);
    for (int32_t y = 1; y < m_lastRow; ++y) {
        const uint32_t w = m_rowWeights[y] & 0xFF;
        uint16_t* row = m_target + y * m_width;
        for (int32_t x = 1; x < m_lastColumn; ++x) {
            uint32_t v;
            if (m_samples) {
                const uint8_t* s = m_samples + (y * k) * m_sampleWidth + x * k;
                uint32_t sum = 0;
                for (int32_t j = 0; j < k; ++j, s += m_sampleWidth)
                    for (int32_t i = 0; i < k; ++i) sum += s[i];
                v = sum >> shift;
            } else {
                v = row[x];
            }
            row[x] = m_colorTable[static_cast<uint16_t>(w * v) >> 8];
        }
    }
    if (m_samples) return;
    const uint16_t blank = m_colorTable[0];
    for (int32_t y = 0; y < m_height; ++y) {
        uint16_t* row = m_target + y * m_width;
        if (y == 0 || y == m_lastRow) {
            for (int32_t x = 0; x < m_width; ++x) row[x] = blank;
        } else {
            row[0] = blank;
            row[m_lastColumn] = blank;
        }
    }
}

void CTexRen::Render(int32_t coverage)
{
    m_top = kEmptyLeft;
    m_bottom = kEmptyRight;
    if (m_maxSize && (m_width > m_maxSize || m_height > m_maxSize)) return;
    // The edge tables hold one entry per sample row.
    if (m_width <= 0 || m_height <= 0 || m_sampleHeight > kTableRows) return;
    if (!m_target || !m_colorTable || !m_rowWeights) return;
    ResetEdgeTables();
    ClearTarget();

    for (int32_t t = 0; t < m_triangleCount && m_triangles && m_points; ++t) {
        const int32_t* index = m_triangles + 3 * t;
        if (index[0] < 0 || index[1] < 0 || index[2] < 0 || index[0] >= m_pointCount ||
            index[1] >= m_pointCount || index[2] >= m_pointCount)
            continue;
        const Point tri[3] = {m_points[index[0]], m_points[index[1]], m_points[index[2]]};
        Point outline[8];
        const int edges = ClipPolygonX(tri, outline);
        for (int e = 0; e < edges; ++e) WalkEdge(outline[e], outline[e + 1]);
        FillSpans(coverage);
    }
    Resolve();
}

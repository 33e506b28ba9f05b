// A small software rasteriser for shadow silhouettes: integer triangles are
// filled with one coverage value into a 16-bit image, then every pixel is
// mapped through a 256-entry colour table scaled by a per-row weight.  The
// anti-aliased subclasses render k x k samples per pixel into a byte buffer
// and average them.
#pragma once

#include <cstdint>

class CTexRen {
public:
    struct Point {
        int32_t x;
        int32_t y;
    };

    enum { kTableRows = 2048 };

    CTexRen();
    virtual ~CTexRen();

    virtual uint16_t* SetTarget(uint16_t* image);
    virtual uint16_t* SetColorTable(uint16_t* table);
    virtual uint16_t* SetRowWeights(uint16_t* weights);
    virtual float GetSampleScaleX();
    virtual float GetSampleScaleY();
    virtual void SetWidth(int32_t width);
    virtual void SetHeight(int32_t height);
    // Points in sample coordinates; borrowed until the next call.
    virtual void SetPoints(const Point* points, int32_t count);
    // Three point indexes per triangle.
    virtual void SetTriangles(const int32_t* indexes, int32_t count);
    virtual void Render(int32_t coverage);

protected:
    // k samples per pixel and axis; samples is k*k bytes per pixel of the
    // largest image the buffer takes (null for the plain class).
    CTexRen(int32_t scale, uint8_t* samples, int32_t maxSize);
    enum { kMaxAASize = 64 };
    // The first 8-byte-aligned address of a buffer.
    static uint8_t* Aligned8(uint8_t* p);

    // Clips the edge (a, b) to 0..limit on one axis (0 x, 1 y); false when
    // nothing of it is left.  Sets m_clipped when the start point moved.
    bool ClipEdge(Point& a, Point& b, int axis, int32_t limit);
    // Clips triangle (p0, p1, p2) in x; writes the closed outline, returns
    // its edge count.
    int ClipPolygonX(const Point* tri, Point* out);
    void WalkEdge(Point a, Point b);
    void FillSpans(int32_t coverage);
    void ResetEdgeTables();
    void ClearTarget();
    void Resolve();

    int32_t m_left[kTableRows];
    int32_t m_right[kTableRows];
    int32_t m_top;
    int32_t m_bottom;
    int32_t m_width;
    int32_t m_height;
    int32_t m_lastColumn;
    int32_t m_lastRow;
    int32_t m_sampleWidth;
    int32_t m_sampleHeight;
    int32_t m_sampleXLimit;
    int32_t m_sampleYLimit;
    int32_t m_clipped;
    uint16_t* m_target;
    uint16_t* m_colorTable;
    uint16_t* m_rowWeights;
    const Point* m_points;
    int32_t m_pointCount;
    const int32_t* m_triangles;
    int32_t m_triangleCount;

    const int32_t m_scale;
    uint8_t* const m_samples;
    const int32_t m_maxSize;
};

// A named polygon in texture coordinates with its own tags, hit-tested
// against points on the texture.
#pragma once

#include <cstdint>
#include <vector>

#include "assets3d/YTextureTagList.h"

class YTexRegion : public YTextureTagList {
public:
    struct Point {
        float x, y;
    };

    YTexRegion() = default;

    // The new point count.
    int16_t AddPoint(float x, float y);
    // Drops the last point; with fewer than 2 points drops them all.
    int16_t RemoveLastPoint();
    int GetPoint(int16_t index, float* x, float* y) const;
    int SetPoint(int16_t index, float x, float y);
    int16_t GetPointCount() const { return m_iNumPoints; }
    void ClearPoints();
    // Even-odd point-in-polygon test; fewer than 3 points contain nothing.
    int Contains(float x, float y) const;
    void SetHit(int32_t hit) { m_iHit = hit; }
    int32_t GetHit() const { return m_iHit; }

    YString m_strName;

private:
    int16_t m_iNumPoints = 0;
    std::vector<Point> m_points;
    int32_t m_iHit = 0;
};

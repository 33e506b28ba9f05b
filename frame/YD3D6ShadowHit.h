// A terrain triangle a shadow falls on: the polygon, the plane and the
// three corner positions in it, and the point where a ray met it.
#pragma once

#include <cstdint>

struct YCellPolygon;
struct YCellPlane;

struct YD3D6ShadowHit {
    const YCellPolygon* item = nullptr;
    const YCellPlane* plane = nullptr;
    int32_t corners[3] = {0, 0, 0};
    float point[3] = {0.0f, 0.0f, 0.0f};
};

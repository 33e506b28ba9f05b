// One vertex of a posed model instance: world position and normal.
#pragma once

struct YTransformedVertex {
    float x, y, z;
    float nx, ny, nz;
};
static_assert(sizeof(YTransformedVertex) == 24, "six floats");

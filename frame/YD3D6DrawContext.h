// What the model drawing is handed: the record to draw, the parent's
// transforms and scale, and the camera and water of its cell.
#pragma once

#include <cstdint>

#include "foundation/YMatrix.h"

struct YRenderInstance;

struct YD3D6DrawContext {
    YRenderInstance* m_record = nullptr;
    YMatrix m_matrix;
    YMatrix m_rotation;
    float m_scale = 1.0f;
    float m_viewDirection[3] = {0.0f, 0.0f, 0.0f};
    float m_camera[3] = {0.0f, 0.0f, 0.0f};
    int32_t m_blend = 0;
    int32_t m_water = 0;
    float m_waterHeight = 0.0f;
};

// Triangle and line set-up of the software device: screen-space vertices
// become runs of pixels on each row (top-left fill rule, pixel centres on
// whole coordinates), scissored to the viewport, handed to the pixel
// pipeline.
#pragma once

#include "platform/Direct3DPixelPipeline.h"

namespace platform {
// A vertex after transform, lighting and projection.
struct Direct3DScreenVertex {
    float x = 0, y = 0, z = 0, rhw = 1;
    float diffuse[4] = {0, 0, 0, 0};   // b g r a, 0..255
    float specular[4] = {0, 0, 0, 0};  // b g r and the fog factor, 0..255
    float tex[2][2] = {{0, 0}, {0, 0}};
};

class Direct3DRasterizer {
public:
    explicit Direct3DRasterizer(Direct3DPixelPipeline& pixels) : m_pixels(pixels) {}

    // Pixels outside [left, right) x [top, bottom) are never drawn.
    void SetScissor(int left, int top, int right, int bottom);
    void SetFlat(bool flat) { m_flat = flat; }
    // What the pixels read besides depth, 1/w and diffuse colour: specular
    // (and the fog factor) and 0 to 2 texture coordinate sets.
    void SetNeeds(bool specular, int coordinateSets)
    {
        m_attributes = coordinateSets > 0 ? 10 + 2 * coordinateSets : (specular ? 10 : 6);
        m_specular = specular;
    }

    void DrawTriangle(const Direct3DScreenVertex& a, const Direct3DScreenVertex& b, const Direct3DScreenVertex& c);
    // The first vertex gives the colours of a flat-shaded line.
    void DrawLine(const Direct3DScreenVertex& a, const Direct3DScreenVertex& b);
    void DrawPoint(const Direct3DScreenVertex& a);

private:
    Direct3DPixelPipeline& m_pixels;
    int m_left = 0, m_top = 0, m_right = 0, m_bottom = 0;
    bool m_flat = false;
    int m_attributes = 14;
    bool m_specular = true;
};
}  // namespace platform

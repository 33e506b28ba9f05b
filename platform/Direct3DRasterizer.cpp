#include "platform/Direct3DRasterizer.h"

#include <cmath>
#include <utility>

namespace platform {
namespace {
// The interpolated values of a vertex, in the order Load and Fill use:
// depth, 1/w, diffuse, specular, then u/w and v/w of two sets. Only the
// first Direct3DRasterizer::m_attributes are set up.
constexpr int kAttributes = 14;

void Load(const Direct3DScreenVertex& v, const Direct3DScreenVertex& colours, float* out)
{
    out[0] = v.z;
    out[1] = v.rhw;
    for (int k = 0; k < 4; ++k) {
        out[2 + k] = colours.diffuse[k];
        out[6 + k] = colours.specular[k];
    }
    out[10] = v.tex[0][0] * v.rhw;
    out[11] = v.tex[0][1] * v.rhw;
    out[12] = v.tex[1][0] * v.rhw;
    out[13] = v.tex[1][1] * v.rhw;
}

// Values at the pixel (ox, oy) away from where v holds them, with their
// steps per pixel along x and per row. Written straight into the run: read
// back from a scratch array, the wide loads stalled on the narrow stores.
// The steps are the triangle's own: FillSteps once, FillStarts per run.
void FillSteps(Direct3DPixelPipeline::Run& run, const float* dx, const float* dy, int attributes, bool specular)
{
    run.dz = dx[0];
    run.drhw = dx[1];
    run.drhwdy = dy[1];
    for (int k = 0; k < 4; ++k) run.ddiffuse[k] = dx[2 + k];
    if (attributes <= 6) return;
    if (specular)
        for (int k = 0; k < 4; ++k) run.dspecular[k] = dx[6 + k];
    for (int s = 0; 10 + 2 * s < attributes; ++s) {
        run.duw[s] = dx[10 + 2 * s];
        run.duwdy[s] = dy[10 + 2 * s];
        run.dvw[s] = dx[11 + 2 * s];
        run.dvwdy[s] = dy[11 + 2 * s];
    }
}
void FillStarts(Direct3DPixelPipeline::Run& run, const float* v, const float* dx, const float* dy, float ox, float oy,
                int attributes, bool specular)
{
    auto at = [&](int k) { return v[k] + ox * dx[k] + oy * dy[k]; };
    run.z = at(0);
    run.rhw = at(1);
    for (int k = 0; k < 4; ++k) run.diffuse[k] = at(2 + k);
    if (attributes <= 6) return;
    if (specular)
        for (int k = 0; k < 4; ++k) run.specular[k] = at(6 + k);
    for (int s = 0; 10 + 2 * s < attributes; ++s) {
        run.uw[s] = at(10 + 2 * s);
        run.vw[s] = at(11 + 2 * s);
    }
}
void Fill(Direct3DPixelPipeline::Run& run, const float* v, const float* dx, const float* dy, float ox, float oy,
          int attributes)
{
    FillSteps(run, dx, dy, attributes, true);
    FillStarts(run, v, dx, dy, ox, oy, attributes, true);
}

// The ceiling as a whole number, f held within +-2^30 (NaN at the low end).
inline int CeilInt(float f)
{
    const float limit = 1073741824.0f;
    f = f > -limit ? (f < limit ? f : limit) : -limit;
    const int i = static_cast<int>(f);
    return i + (static_cast<float>(i) < f);
}
}  // namespace

void Direct3DRasterizer::SetScissor(int left, int top, int right, int bottom)
{
    m_left = left;
    m_top = top;
    m_right = right;
    m_bottom = bottom;
}

void Direct3DRasterizer::DrawTriangle(const Direct3DScreenVertex& a, const Direct3DScreenVertex& b,
                                      const Direct3DScreenVertex& c)
{
    const float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    if (!(std::fabs(area) > 1e-8f)) return;  // also refuses NaN
    float va[kAttributes], vb[kAttributes], vc[kAttributes];
    Load(a, a, va);
    Load(b, m_flat ? a : b, vb);
    Load(c, m_flat ? a : c, vc);
    float dx[kAttributes], dy[kAttributes];
    const float inv = 1.0f / area;
    const float e1x = b.x - a.x, e1y = b.y - a.y, e2x = c.x - a.x, e2y = c.y - a.y;
    const int attributes = m_attributes;
    for (int k = 0; k < attributes; ++k) {
        if (k == 6 && !m_specular) k = 10;
        if (k >= attributes) break;
        const float d1 = vb[k] - va[k], d2 = vc[k] - va[k];
        dx[k] = (d1 * e2y - d2 * e1y) * inv;
        dy[k] = (d2 * e1x - d1 * e2x) * inv;
    }

    const Direct3DScreenVertex* top = &a;
    const Direct3DScreenVertex* mid = &b;
    const Direct3DScreenVertex* bot = &c;
    if (mid->y < top->y) std::swap(top, mid);
    if (bot->y < mid->y) std::swap(mid, bot);
    if (mid->y < top->y) std::swap(top, mid);

    int y0 = CeilInt(top->y), y1 = CeilInt(bot->y);
    if (y0 < m_top) y0 = m_top;
    if (y1 > m_bottom) y1 = m_bottom;
    const float longSlope = (bot->x - top->x) / (bot->y - top->y);
    const float upperSlope = mid->y > top->y ? (mid->x - top->x) / (mid->y - top->y) : 0.0f;
    const float lowerSlope = bot->y > mid->y ? (bot->x - mid->x) / (bot->y - mid->y) : 0.0f;

    Direct3DPixelPipeline::Run run;
    FillSteps(run, dx, dy, attributes, m_specular);
    for (int y = y0; y < y1; ++y) {
        const float fy = static_cast<float>(y);
        float xl = top->x + (fy - top->y) * longSlope;
        float xr = fy < mid->y ? top->x + (fy - top->y) * upperSlope : mid->x + (fy - mid->y) * lowerSlope;
        if (xr < xl) std::swap(xl, xr);
        int xs = CeilInt(xl), xe = CeilInt(xr);
        if (xs < m_left) xs = m_left;
        if (xe > m_right) xe = m_right;
        while (xs < xe) {
            const int n = xe - xs < Direct3DPixelPipeline::kChunk ? xe - xs : Direct3DPixelPipeline::kChunk;
            const float ox = static_cast<float>(xs) - a.x, oy = fy - a.y;
            FillStarts(run, va, dx, dy, ox, oy, attributes, m_specular);
            run.x = xs;
            run.y = y;
            run.n = n;
            m_pixels.Draw(run);
            xs += n;
        }
    }
}

void Direct3DRasterizer::DrawLine(const Direct3DScreenVertex& a, const Direct3DScreenVertex& b)
{
    float va[kAttributes], vb[kAttributes], at[kAttributes], zero[kAttributes] = {};
    Load(a, a, va);
    Load(b, m_flat ? a : b, vb);
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length = std::fabs(dx) > std::fabs(dy) ? std::fabs(dx) : std::fabs(dy);
    if (!(length < 16384.0f)) return;
    const int steps = static_cast<int>(length + 0.5f);
    Direct3DPixelPipeline::Run run;
    for (int i = 0; i <= steps; ++i) {
        const float t = steps ? static_cast<float>(i) / static_cast<float>(steps) : 0.0f;
        const int x = static_cast<int>(std::floor(a.x + dx * t + 0.5f));
        const int y = static_cast<int>(std::floor(a.y + dy * t + 0.5f));
        if (x < m_left || x >= m_right || y < m_top || y >= m_bottom) continue;
        for (int k = 0; k < kAttributes; ++k) at[k] = va[k] + (vb[k] - va[k]) * t;
        Fill(run, at, zero, zero, 0, 0, kAttributes);
        run.x = x;
        run.y = y;
        run.n = 1;
        m_pixels.Draw(run);
    }
}

void Direct3DRasterizer::DrawPoint(const Direct3DScreenVertex& a)
{
    float va[kAttributes], zero[kAttributes] = {};
    Load(a, a, va);
    const int x = static_cast<int>(std::floor(a.x + 0.5f));
    const int y = static_cast<int>(std::floor(a.y + 0.5f));
    if (x < m_left || x >= m_right || y < m_top || y >= m_bottom) return;
    Direct3DPixelPipeline::Run run;
    Fill(run, va, zero, zero, 0, 0, kAttributes);
    run.x = x;
    run.y = y;
    run.n = 1;
    m_pixels.Draw(run);
}
}  // namespace platform

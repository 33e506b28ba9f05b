#include "platform/Direct3DVertexPipeline.h"

#include <cmath>
#include <cstring>

namespace platform {
namespace {
// Clip-space outcode bits; x and y are clipped only beyond a guard band
// (the rasteriser scissors the rest).
enum { kNear = 1, kFar = 2, kLeft = 4, kRight = 8, kBottom = 16, kTop = 32 };
constexpr float kGuard = 8.0f;

struct Matrix {
    float m[4][4];
};

Matrix FromD3D(const D3DMATRIX* d)
{
    Matrix r;
    std::memcpy(r.m, d, sizeof r.m);
    return r;
}

Matrix Multiply(const Matrix& a, const Matrix& b)
{
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

void TransformPoint(const Matrix& m, const float* p, float* out)
{
    for (int j = 0; j < 4; ++j) out[j] = p[0] * m.m[0][j] + p[1] * m.m[1][j] + p[2] * m.m[2][j] + m.m[3][j];
}

void TransformVector(const Matrix& m, const float* v, float* out)
{
    for (int j = 0; j < 3; ++j) out[j] = v[0] * m.m[0][j] + v[1] * m.m[1][j] + v[2] * m.m[2][j];
}

float Dot(const float* a, const float* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void Normalise(float* v)
{
    float l = std::sqrt(Dot(v, v));
    if (l > 0) {
        v[0] /= l;
        v[1] /= l;
        v[2] /= l;
    }
}

uint8_t Outcode(const float* p)
{
    uint8_t code = 0;
    if (p[2] < 0) code |= kNear;
    if (p[2] > p[3]) code |= kFar;
    if (p[0] < -kGuard * p[3]) code |= kLeft;
    if (p[0] > kGuard * p[3]) code |= kRight;
    if (p[1] < -kGuard * p[3]) code |= kBottom;
    if (p[1] > kGuard * p[3]) code |= kTop;
    return code;
}

// Signed distance of a clip-space point to a plane; inside is >= 0.
float PlaneDistance(int plane, const float* p)
{
    switch (plane) {
    case kNear: return p[2];
    case kFar: return p[3] - p[2];
    case kLeft: return p[0] + kGuard * p[3];
    case kRight: return kGuard * p[3] - p[0];
    case kBottom: return p[1] + kGuard * p[3];
    default: return kGuard * p[3] - p[1];
    }
}

Direct3DVertexPipeline::ClipVertex Mix(const Direct3DVertexPipeline::ClipVertex& a,
                                       const Direct3DVertexPipeline::ClipVertex& b, float t)
{
    Direct3DVertexPipeline::ClipVertex r;
    for (int k = 0; k < 4; ++k) {
        r.pos[k] = a.pos[k] + (b.pos[k] - a.pos[k]) * t;
        r.diffuse[k] = a.diffuse[k] + (b.diffuse[k] - a.diffuse[k]) * t;
        r.specular[k] = a.specular[k] + (b.specular[k] - a.specular[k]) * t;
    }
    for (int s = 0; s < 2; ++s)
        for (int k = 0; k < 2; ++k) r.tex[s][k] = a.tex[s][k] + (b.tex[s][k] - a.tex[s][k]) * t;
    return r;
}

void ColourToFloats(DWORD colour, float* out)
{
    out[0] = static_cast<float>(colour & 0xFF);
    out[1] = static_cast<float>((colour >> 8) & 0xFF);
    out[2] = static_cast<float>((colour >> 16) & 0xFF);
    out[3] = static_cast<float>(colour >> 24);
}

DWORD FloatsToColour(const float* c)
{
    DWORD out = 0;
    for (int k = 0; k < 4; ++k) {
        float v = c[k] < 0 ? 0 : (c[k] > 255 ? 255 : c[k]);
        out |= static_cast<DWORD>(v + 0.5f) << (8 * k);
    }
    return out;
}

float AsFloat(DWORD bits)
{
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

DWORD ReadDword(const uint8_t* p)
{
    DWORD v;
    std::memcpy(&v, p, 4);
    return v;
}

// The fog factor (1 clear, 0 all fog) of an eye depth.
float FogFactor(DWORD mode, float depth, const DWORD* rs)
{
    const float start = AsFloat(rs[D3DRENDERSTATE_FOGSTART]), end = AsFloat(rs[D3DRENDERSTATE_FOGEND]);
    const float density = AsFloat(rs[D3DRENDERSTATE_FOGDENSITY]);
    float f = 1.0f;
    switch (mode) {
    case D3DFOG_LINEAR: f = end != start ? (end - depth) / (end - start) : (depth < end ? 1.0f : 0.0f); break;
    case D3DFOG_EXP: f = std::exp(-density * depth); break;
    case D3DFOG_EXP2: f = std::exp(-(density * depth) * (density * depth)); break;
    default: break;
    }
    return f < 0 ? 0 : (f > 1 ? 1 : f);
}

}  // namespace

bool Direct3DVertexPipeline::Layout::Decode(DWORD fvf, Layout& layout)
{
    layout = Layout();
    layout.fvf = fvf;
    int offset = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ: offset = 12; break;
    case D3DFVF_XYZRHW:
        layout.transformed = true;
        layout.rhw = 12;
        offset = 16;
        break;
    default: return false;
    }
    if (fvf & D3DFVF_NORMAL) {
        if (layout.transformed) return false;
        layout.normal = offset;
        offset += 12;
    }
    if (fvf & D3DFVF_RESERVED1) offset += 4;
    if (fvf & D3DFVF_DIFFUSE) {
        layout.diffuse = offset;
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        layout.specular = offset;
        offset += 4;
    }
    layout.texCount = static_cast<int>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    if (layout.texCount > 8) return false;
    for (int i = 0; i < layout.texCount; ++i) {
        // The size bits above bit 16: 0 two floats, 1 three, 2 four, 3 one.
        static const int kFloats[4] = {2, 3, 4, 1};
        layout.tex[i] = offset;
        layout.texFloats[i] = kFloats[(fvf >> (16 + 2 * i)) & 3];
        offset += 4 * layout.texFloats[i];
    }
    layout.stride = offset;
    return true;
}

void Direct3DVertexPipeline::Layout::ReadCoordinates(const uint8_t* vertex, int i, float* uv) const
{
    uv[1] = 0;
    std::memcpy(uv, vertex + tex[i], texFloats[i] > 1 ? 8 : 4);
}

void Direct3DVertexPipeline::Layout::WriteCoordinates(uint8_t* vertex, int i, const float* uv) const
{
    std::memcpy(vertex + tex[i], uv, texFloats[i] > 1 ? 8 : 4);
}

void Direct3DVertexPipeline::LightVertex(const State& state, const float* position, const float* normal,
                                         const uint8_t* vertex, const Layout& layout, ClipVertex& out) const
{
    const DWORD* rs = state.renderStates;
    const D3DMATERIAL7& m = *state.material;
    float vertexDiffuse[4] = {255, 255, 255, 255}, vertexSpecular[4] = {0, 0, 0, 0};
    if (layout.diffuse >= 0) ColourToFloats(ReadDword(vertex + layout.diffuse), vertexDiffuse);
    if (layout.specular >= 0) ColourToFloats(ReadDword(vertex + layout.specular), vertexSpecular);
    // Material colours as 0..1 in b g r a order, from the material or the vertex.
    auto source = [&](DWORD which, const D3DCOLORVALUE& material, float* c) {
        const bool vertexColours = rs[D3DRENDERSTATE_COLORVERTEX] != 0;
        if (vertexColours && which == D3DMCS_COLOR1 && layout.diffuse >= 0) {
            for (int k = 0; k < 4; ++k) c[k] = vertexDiffuse[k] / 255.0f;
        } else if (vertexColours && which == D3DMCS_COLOR2 && layout.specular >= 0) {
            for (int k = 0; k < 4; ++k) c[k] = vertexSpecular[k] / 255.0f;
        } else {
            c[0] = material.b;
            c[1] = material.g;
            c[2] = material.r;
            c[3] = material.a;
        }
    };
    float diffuse[4], ambient[4], specular[4], emissive[4];
    source(rs[D3DRENDERSTATE_DIFFUSEMATERIALSOURCE], m.diffuse, diffuse);
    source(rs[D3DRENDERSTATE_AMBIENTMATERIALSOURCE], m.ambient, ambient);
    source(rs[D3DRENDERSTATE_SPECULARMATERIALSOURCE], m.specular, specular);
    source(rs[D3DRENDERSTATE_EMISSIVEMATERIALSOURCE], m.emissive, emissive);

    const DWORD global = rs[D3DRENDERSTATE_AMBIENT];
    float ambientSum[3] = {static_cast<float>(global & 0xFF) / 255.0f, static_cast<float>((global >> 8) & 0xFF) / 255.0f,
                           static_cast<float>((global >> 16) & 0xFF) / 255.0f};
    float diffuseSum[3] = {0, 0, 0}, specularSum[3] = {0, 0, 0};
    const bool wantSpecular = rs[D3DRENDERSTATE_SPECULARENABLE] != 0;
    float view[3] = {0, 0, -1};
    if (rs[D3DRENDERSTATE_LOCALVIEWER]) {
        view[0] = -position[0];
        view[1] = -position[1];
        view[2] = -position[2];
        Normalise(view);
    }
    for (const EyeLight& e : m_eyeLights) {
        const D3DLIGHT7& l = *e.light;
        float toLight[3];
        float attenuation = 1.0f;
        if (l.dltType == D3DLIGHT_DIRECTIONAL) {
            std::memcpy(toLight, e.direction, sizeof toLight);
        } else {
            for (int k = 0; k < 3; ++k) toLight[k] = e.position[k] - position[k];
            const float distance = std::sqrt(Dot(toLight, toLight));
            if (distance > l.dvRange) continue;
            if (distance > 0) {
                for (int k = 0; k < 3; ++k) toLight[k] /= distance;
            }
            const float denominator = l.dvAttenuation0 + l.dvAttenuation1 * distance +
                                      l.dvAttenuation2 * distance * distance;
            attenuation = denominator > 0 ? 1.0f / denominator : 1.0f;
            if (l.dltType == D3DLIGHT_SPOT) {
                const float rho = -Dot(toLight, e.direction);
                if (rho <= e.cosPhi) continue;
                if (rho < e.cosTheta && e.cosTheta > e.cosPhi) {
                    const float t = (rho - e.cosPhi) / (e.cosTheta - e.cosPhi);
                    attenuation *= l.dvFalloff == 1.0f ? t : std::pow(t, l.dvFalloff);
                }
            }
        }
        const float lightAmbient[3] = {l.dcvAmbient.b, l.dcvAmbient.g, l.dcvAmbient.r};
        const float lightDiffuse[3] = {l.dcvDiffuse.b, l.dcvDiffuse.g, l.dcvDiffuse.r};
        const float lightSpecular[3] = {l.dcvSpecular.b, l.dcvSpecular.g, l.dcvSpecular.r};
        for (int k = 0; k < 3; ++k) ambientSum[k] += lightAmbient[k] * attenuation;
        const float nDotL = normal ? Dot(normal, toLight) : 0.0f;
        if (nDotL <= 0) continue;
        for (int k = 0; k < 3; ++k) diffuseSum[k] += lightDiffuse[k] * nDotL * attenuation;
        if (wantSpecular && m.power > 0) {
            float half[3] = {toLight[0] + view[0], toLight[1] + view[1], toLight[2] + view[2]};
            Normalise(half);
            const float nDotH = Dot(normal, half);
            if (nDotH > 0) {
                const float s = std::pow(nDotH, m.power) * attenuation;
                for (int k = 0; k < 3; ++k) specularSum[k] += lightSpecular[k] * s;
            }
        }
    }
    for (int k = 0; k < 3; ++k) {
        out.diffuse[k] = 255.0f * (emissive[k] + ambient[k] * ambientSum[k] + diffuse[k] * diffuseSum[k]);
        out.specular[k] = wantSpecular ? 255.0f * specular[k] * specularSum[k] : 0.0f;
    }
    out.diffuse[3] = 255.0f * diffuse[3];
    out.specular[3] = 255.0f;
}

void Direct3DVertexPipeline::Process(const State& state, const Layout& layout, const uint8_t* vertices, int count,
                                     bool light)
{
    const DWORD* rs = state.renderStates;
    m_transformed = layout.transformed;
    m_clip.resize(static_cast<size_t>(count));
    m_outcode.assign(static_cast<size_t>(count), 0);
    if (layout.transformed) {
        m_screen.resize(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            const uint8_t* v = vertices + static_cast<size_t>(i) * layout.stride;
            Direct3DScreenVertex& s = m_screen[static_cast<size_t>(i)];
            std::memcpy(&s.x, v, 4);
            std::memcpy(&s.y, v + 4, 4);
            std::memcpy(&s.z, v + 8, 4);
            std::memcpy(&s.rhw, v + 12, 4);
            if (!(s.rhw > 0)) s.rhw = 1.0f;
            ColourToFloats(layout.diffuse >= 0 ? ReadDword(v + layout.diffuse) : 0xFFFFFFFFu, s.diffuse);
            ColourToFloats(layout.specular >= 0 ? ReadDword(v + layout.specular) : 0xFF000000u, s.specular);
            for (int t = 0; t < 2 && t < layout.texCount; ++t) layout.ReadCoordinates(v, t, s.tex[t]);
            if (layout.texCount == 1) std::memcpy(s.tex[1], s.tex[0], 8);
        }
        return;
    }

    const Matrix world = FromD3D(state.world), view = FromD3D(state.view), projection = FromD3D(state.projection);
    const Matrix worldView = Multiply(world, view);
    const Matrix all = Multiply(worldView, projection);
    const bool lighting = light && rs[D3DRENDERSTATE_LIGHTING] != 0;
    m_eyeLights.clear();
    if (lighting && state.lights) {
        for (const Light& l : *state.lights) {
            if (!l.enabled) continue;
            EyeLight e = {};
            e.light = &l.light;
            const float p[3] = {l.light.dvPosition.x, l.light.dvPosition.y, l.light.dvPosition.z};
            float eye[4];
            TransformPoint(view, p, eye);
            std::memcpy(e.position, eye, sizeof e.position);
            const float d[3] = {l.light.dvDirection.x, l.light.dvDirection.y, l.light.dvDirection.z};
            TransformVector(view, d, e.direction);
            Normalise(e.direction);
            if (l.light.dltType == D3DLIGHT_DIRECTIONAL)
                for (float& c : e.direction) c = -c;
            e.cosTheta = std::cos(l.light.dvTheta * 0.5f);
            e.cosPhi = std::cos(l.light.dvPhi * 0.5f);
            m_eyeLights.push_back(e);
        }
    }
    const bool fog = rs[D3DRENDERSTATE_FOGENABLE] && rs[D3DRENDERSTATE_FOGTABLEMODE] == D3DFOG_NONE &&
                     rs[D3DRENDERSTATE_FOGVERTEXMODE] != D3DFOG_NONE;
    const bool needEye = lighting || fog;
    for (int i = 0; i < count; ++i) {
        const uint8_t* v = vertices + static_cast<size_t>(i) * layout.stride;
        ClipVertex& out = m_clip[static_cast<size_t>(i)];
        float p[3];
        std::memcpy(p, v, 12);
        TransformPoint(all, p, out.pos);
        m_outcode[static_cast<size_t>(i)] = Outcode(out.pos);
        float eye[4] = {0, 0, 0, 1};
        if (needEye) TransformPoint(worldView, p, eye);
        if (lighting) {
            float normal[3];
            const float* n = nullptr;
            if (layout.normal >= 0) {
                float raw[3];
                std::memcpy(raw, v + layout.normal, 12);
                TransformVector(worldView, raw, normal);
                Normalise(normal);
                n = normal;
            }
            LightVertex(state, eye, n, v, layout, out);
        } else {
            ColourToFloats(layout.diffuse >= 0 ? ReadDword(v + layout.diffuse) : 0xFFFFFFFFu, out.diffuse);
            ColourToFloats(layout.specular >= 0 ? ReadDword(v + layout.specular) : 0xFF000000u, out.specular);
            if (layout.specular < 0) out.specular[3] = 255.0f;
        }
        if (fog) {
            const float depth = rs[D3DRENDERSTATE_RANGEFOGENABLE] ? std::sqrt(Dot(eye, eye)) : eye[2];
            out.specular[3] = 255.0f * FogFactor(rs[D3DRENDERSTATE_FOGVERTEXMODE], depth, rs);
        }
        for (int t = 0; t < 2 && t < layout.texCount; ++t) layout.ReadCoordinates(v, t, out.tex[t]);
        if (layout.texCount == 1) std::memcpy(out.tex[1], out.tex[0], 8);
    }
}

Direct3DScreenVertex Direct3DVertexPipeline::Project(const State& state, const ClipVertex& v) const
{
    Direct3DScreenVertex s;
    const D3DVIEWPORT7& vp = state.viewport;
    const float w = v.pos[3];
    const float inv = w != 0 ? 1.0f / w : 1.0f;
    s.x = static_cast<float>(vp.dwX) + (1.0f + v.pos[0] * inv) * 0.5f * static_cast<float>(vp.dwWidth);
    s.y = static_cast<float>(vp.dwY) + (1.0f - v.pos[1] * inv) * 0.5f * static_cast<float>(vp.dwHeight);
    s.z = vp.dvMinZ + v.pos[2] * inv * (vp.dvMaxZ - vp.dvMinZ);
    s.rhw = inv;
    std::memcpy(s.diffuse, v.diffuse, sizeof s.diffuse);
    std::memcpy(s.specular, v.specular, sizeof s.specular);
    std::memcpy(s.tex, v.tex, sizeof s.tex);
    return s;
}

void Direct3DVertexPipeline::Store(const State& state, const Layout& layout, uint8_t* out, int count) const
{
    for (int i = 0; i < count && i < Processed(); ++i) {
        Direct3DScreenVertex s = m_transformed ? m_screen[static_cast<size_t>(i)]
                                               : Project(state, m_clip[static_cast<size_t>(i)]);
        uint8_t* v = out + static_cast<size_t>(i) * layout.stride;
        std::memcpy(v, &s.x, 4);
        std::memcpy(v + 4, &s.y, 4);
        std::memcpy(v + 8, &s.z, 4);
        if (layout.rhw >= 0) std::memcpy(v + layout.rhw, &s.rhw, 4);
        if (layout.diffuse >= 0) {
            DWORD c = FloatsToColour(s.diffuse);
            std::memcpy(v + layout.diffuse, &c, 4);
        }
        if (layout.specular >= 0) {
            DWORD c = FloatsToColour(s.specular);
            std::memcpy(v + layout.specular, &c, 4);
        }
        for (int t = 0; t < 2 && t < layout.texCount; ++t) layout.WriteCoordinates(v, t, s.tex[t]);
    }
}

void Direct3DVertexPipeline::DrawPolygon(const State& state, std::vector<ClipVertex>& polygon)
{
    if (polygon.size() < 3) return;
    std::vector<Direct3DScreenVertex>& screen = m_projected;
    screen.clear();
    for (const ClipVertex& v : polygon) screen.push_back(Project(state, v));
    // Culling by the winding on the screen (y down): positive area is clockwise.
    float area = 0;
    for (size_t i = 1; i + 1 < screen.size(); ++i)
        area += (screen[i].x - screen[0].x) * (screen[i + 1].y - screen[0].y) -
                (screen[i + 1].x - screen[0].x) * (screen[i].y - screen[0].y);
    if (m_cull == D3DCULL_CW && area > 0) return;
    if (m_cull == D3DCULL_CCW && area < 0) return;
    if (m_fill == D3DFILL_WIREFRAME) {
        for (size_t i = 0; i < screen.size(); ++i) m_rasterizer.DrawLine(screen[i], screen[(i + 1) % screen.size()]);
    } else if (m_fill == D3DFILL_POINT) {
        for (const Direct3DScreenVertex& v : screen) m_rasterizer.DrawPoint(v);
    } else {
        for (size_t i = 1; i + 1 < screen.size(); ++i) m_rasterizer.DrawTriangle(screen[0], screen[i], screen[i + 1]);
    }
}

void Direct3DVertexPipeline::Triangle(const State& state, int a, int b, int c)
{
    if (m_transformed) {
        const Direct3DScreenVertex* v[3] = {&m_screen[static_cast<size_t>(a)], &m_screen[static_cast<size_t>(b)],
                                            &m_screen[static_cast<size_t>(c)]};
        const float area = (v[1]->x - v[0]->x) * (v[2]->y - v[0]->y) - (v[2]->x - v[0]->x) * (v[1]->y - v[0]->y);
        if (m_cull == D3DCULL_CW && area > 0) return;
        if (m_cull == D3DCULL_CCW && area < 0) return;
        if (m_fill == D3DFILL_WIREFRAME) {
            for (int i = 0; i < 3; ++i) m_rasterizer.DrawLine(*v[i], *v[(i + 1) % 3]);
        } else if (m_fill == D3DFILL_POINT) {
            for (int i = 0; i < 3; ++i) m_rasterizer.DrawPoint(*v[i]);
        } else {
            m_rasterizer.DrawTriangle(*v[0], *v[1], *v[2]);
        }
        return;
    }
    const uint8_t ca = m_outcode[static_cast<size_t>(a)], cb = m_outcode[static_cast<size_t>(b)],
                  cc = m_outcode[static_cast<size_t>(c)];
    if (ca & cb & cc) return;
    m_polygon.clear();
    m_polygon.push_back(m_clip[static_cast<size_t>(a)]);
    m_polygon.push_back(m_clip[static_cast<size_t>(b)]);
    m_polygon.push_back(m_clip[static_cast<size_t>(c)]);
    const uint8_t planes = ca | cb | cc;
    for (int plane = 1; plane <= kTop; plane <<= 1) {
        if (!(planes & plane)) continue;
        m_scratch.clear();
        for (size_t i = 0; i < m_polygon.size(); ++i) {
            const ClipVertex& p = m_polygon[i];
            const ClipVertex& q = m_polygon[(i + 1) % m_polygon.size()];
            const float dp = PlaneDistance(plane, p.pos), dq = PlaneDistance(plane, q.pos);
            if (dp >= 0) m_scratch.push_back(p);
            if ((dp >= 0) != (dq >= 0)) m_scratch.push_back(Mix(p, q, dp / (dp - dq)));
        }
        m_polygon.swap(m_scratch);
        if (m_polygon.size() < 3) return;
    }
    DrawPolygon(state, m_polygon);
}

void Direct3DVertexPipeline::Line(const State& state, int a, int b)
{
    if (m_transformed) {
        m_rasterizer.DrawLine(m_screen[static_cast<size_t>(a)], m_screen[static_cast<size_t>(b)]);
        return;
    }
    ClipVertex p = m_clip[static_cast<size_t>(a)], q = m_clip[static_cast<size_t>(b)];
    const uint8_t planes = m_outcode[static_cast<size_t>(a)] | m_outcode[static_cast<size_t>(b)];
    if (m_outcode[static_cast<size_t>(a)] & m_outcode[static_cast<size_t>(b)]) return;
    for (int plane = 1; plane <= kTop; plane <<= 1) {
        if (!(planes & plane)) continue;
        const float dp = PlaneDistance(plane, p.pos), dq = PlaneDistance(plane, q.pos);
        if (dp < 0 && dq < 0) return;
        if (dp < 0) p = Mix(p, q, dp / (dp - dq));
        else if (dq < 0) q = Mix(p, q, dp / (dp - dq));
    }
    m_rasterizer.DrawLine(Project(state, p), Project(state, q));
}

void Direct3DVertexPipeline::Point(const State& state, int a)
{
    if (m_transformed) {
        m_rasterizer.DrawPoint(m_screen[static_cast<size_t>(a)]);
        return;
    }
    if (m_outcode[static_cast<size_t>(a)]) return;
    m_rasterizer.DrawPoint(Project(state, m_clip[static_cast<size_t>(a)]));
}

bool Direct3DVertexPipeline::Draw(const State& state, D3DPRIMITIVETYPE type, const WORD* indices, int count)
{
    const DWORD* rs = state.renderStates;
    m_cull = static_cast<int>(rs[D3DRENDERSTATE_CULLMODE]);
    m_fill = static_cast<int>(rs[D3DRENDERSTATE_FILLMODE]);
    m_rasterizer.SetFlat(rs[D3DRENDERSTATE_SHADEMODE] == D3DSHADE_FLAT);
    auto at = [&](int i) { return indices ? static_cast<int>(indices[i]) : i; };
    switch (type) {
    case D3DPT_TRIANGLELIST:
        for (int i = 0; i + 2 < count; i += 3) Triangle(state, at(i), at(i + 1), at(i + 2));
        return true;
    case D3DPT_TRIANGLESTRIP:
        for (int i = 0; i + 2 < count; ++i) {
            if (i & 1) Triangle(state, at(i + 1), at(i), at(i + 2));
            else Triangle(state, at(i), at(i + 1), at(i + 2));
        }
        return true;
    case D3DPT_TRIANGLEFAN:
        for (int i = 1; i + 1 < count; ++i) Triangle(state, at(0), at(i), at(i + 1));
        return true;
    case D3DPT_LINELIST:
        for (int i = 0; i + 1 < count; i += 2) Line(state, at(i), at(i + 1));
        return true;
    case D3DPT_LINESTRIP:
        for (int i = 0; i + 1 < count; ++i) Line(state, at(i), at(i + 1));
        return true;
    case D3DPT_POINTLIST:
        for (int i = 0; i < count; ++i) Point(state, at(i));
        return true;
    default: return false;
    }
}
}  // namespace platform

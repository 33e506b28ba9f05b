// The sky stage of the map frame: the sky box of the time-of-day period
// (cross-faded into the next one while two overlap), the period's fog, the
// sun and moon squares and the drifting cloud layers, all around an eye
// at the origin so that they lie behind the world.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "assets3d/YD3D6Lock.h"
#include "foundation/YFastMath.h"
#include "platform/mfc.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"

namespace {
// Position, normal, diffuse and one texture pair.
struct SkyVertex {
    float x, y, z;
    float nx, ny, nz;
    uint32_t diffuse;
    float u, v;
};
const DWORD kSkyVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct SkyFace {
    int texture;  // index into the period's faces
    float corners[4][3];
    float uv[4][2];
};
const float kFaceUV[4][2] = {{0.0f, 0.0f}, {0.0f, 0.999f}, {0.999f, 0.0f}, {0.999f, 0.999f}};
const SkyFace kSkyFaces[5] = {
    {YD3D6SkyPeriod::kTop, {{-1, 1, 1}, {1, 1, 1}, {-1, 1, -1}, {1, 1, -1}}, {{0, 0.999f}, {0.999f, 0.999f}, {0, 0}, {0.999f, 0}}},
    {YD3D6SkyPeriod::kFront, {{-1, 1, 1}, {-1, -1, 1}, {1, 1, 1}, {1, -1, 1}}, {}},
    {YD3D6SkyPeriod::kRight, {{1, 1, 1}, {1, -1, 1}, {1, 1, -1}, {1, -1, -1}}, {}},
    {YD3D6SkyPeriod::kBack, {{1, 1, -1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, -1}}, {}},
    {YD3D6SkyPeriod::kLeft, {{-1, 1, -1}, {-1, -1, -1}, {-1, 1, 1}, {-1, -1, 1}}, {}},
};

// The cloud disc: centre, then an inner and an outer ring of eight.
struct CloudMeshVertex {
    float x, z;
    uint32_t diffuse;
};
const CloudMeshVertex kCloudMesh[YD3D6Parser::kCloudVertices] = {
    {0, 0, 0xFFFFFFFF},         {0, 0.5f, 0x80FFFFFF},       {0, 1, 0x00FFFFFF},          {0.35f, 0.35f, 0x80FFFFFF},
    {0.7f, 0.7f, 0x00FFFFFF},   {0.5f, 0, 0x80FFFFFF},       {1, 0, 0x00FFFFFF},          {0.35f, -0.35f, 0x80FFFFFF},
    {0.7f, -0.7f, 0x00FFFFFF},  {0, -0.5f, 0x80FFFFFF},      {0, -1, 0x00FFFFFF},         {-0.35f, -0.35f, 0x80FFFFFF},
    {-0.7f, -0.7f, 0x00FFFFFF}, {-0.5f, 0, 0x80FFFFFF},      {-1, 0, 0x00FFFFFF},         {-0.35f, 0.35f, 0x80FFFFFF},
    {-0.7f, 0.7f, 0x00FFFFFF},
};

// Drawn before the depth clear, from both sides, unlit.
void SkyStates(YTexStates& s)
{
    s.m_zEnable = FALSE;
    s.m_zWriteEnable = FALSE;
    s.m_cullMode = D3DCULL_NONE;
    s.m_lighting = 0;
}

// Source-alpha over inverse source-alpha with the texture's alpha times
// the diffuse alpha.
void BlendedStates(YTexStates& s)
{
    SkyStates(s);
    s.m_alphaBlendEnable = TRUE;
    s.m_srcBlend = D3DBLEND_SRCALPHA;
    s.m_destBlend = D3DBLEND_INVSRCALPHA;
    s.m_alphaOp = D3DTOP_MODULATE;
    s.m_alphaArg1 = D3DTA_TEXTURE;
    s.m_alphaArg2 = D3DTA_DIFFUSE;
}

uint8_t Byte(float v)
{
    return uint8_t(int32_t(v));
}
}  // namespace

const uint16_t YD3D6Parser::kCloudIndices[kCloudIndexCount] = {
    0, 1, 3,  1, 2, 3,  2, 4, 3,     0, 3, 5,   3, 4, 5,   4, 6, 5,     0, 5, 7,   5, 6, 7,   6, 8, 7,
    0, 7, 9,  7, 8, 9,  8, 10, 9,    0, 9, 11,  9, 10, 11, 10, 12, 11,  0, 11, 13, 11, 12, 13, 12, 14, 13,
    0, 13, 15, 13, 14, 15, 14, 16, 15, 0, 15, 1, 15, 16, 1, 16, 2, 1};

int YD3D6Parser::SecondOfDay() const
{
    const CTime now(m_clock);
    return now.GetSecond() + (now.GetMinute() + now.GetHour() * 60) * 60;
}

void YD3D6Parser::FindTimeOfDayPeriods(uint8_t* blend, int32_t pair[2]) const
{
    const int64_t t = SecondOfDay();
    const int32_t n = int32_t(m_backgrounds.size());
    auto inside = [&](int32_t k) {
        const YD3D6SkyPeriod& p = m_backgrounds[size_t(k)];
        return int64_t(p.start) * 60 <= t && t <= int64_t(p.end) * 60;
    };
    pair[0] = 0;
    for (int32_t k = 0; k < n; ++k)
        if (inside(k)) {
            pair[0] = k;
            break;
        }
    pair[1] = pair[0];
    float weight = 0.0f;
    if (pair[0] + 1 < n && inside(pair[0] + 1)) {
        pair[1] = pair[0] + 1;
        const YD3D6SkyPeriod& current = m_backgrounds[size_t(pair[0])];
        const YD3D6SkyPeriod& next = m_backgrounds[size_t(pair[1])];
        if (current.end > next.start)
            weight = float(t - int64_t(next.start) * 60) / float((int64_t(current.end) - next.start) * 60);
    }
    weight = std::min(std::max(weight, 0.0f), 1.0f);
    *blend = uint8_t(int32_t(weight * 255.0f));
}

void YD3D6Parser::DrawSkyVertices(YD3D6Lock* lock, bool blended, const void* vertices)
{
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (!device || !lock) return;
    const YTexStates saved = lock->m_states;
    if (blended)
        BlendedStates(lock->m_states);
    else
        SkyStates(lock->m_states);
    ApplyMaterialStates(lock);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kSkyVertexFormat, const_cast<void*>(vertices), 4, 0);
    lock->m_states = saved;
}

void YD3D6Parser::DrawSkyBox(int32_t period, float radius, uint32_t colour, uint8_t alpha)
{
    if (period < 0 || size_t(period) >= m_backgrounds.size()) return;
    const YD3D6SkyPeriod& p = m_backgrounds[size_t(period)];
    const uint32_t diffuse = (uint32_t(alpha) << 24) | (colour & 0xFFFFFF);
    for (const SkyFace& face : kSkyFaces) {
        SkyVertex v[4];
        for (int k = 0; k < 4; ++k) {
            const float* uv = face.texture == YD3D6SkyPeriod::kTop ? face.uv[k] : kFaceUV[k];
            v[k] = {face.corners[k][0] * radius, face.corners[k][1] * radius, face.corners[k][2] * radius,
                    0.0f, 1.0f, 0.0f, diffuse, uv[0], uv[1]};
        }
        DrawSkyVertices(p.faces[face.texture], alpha < 255, v);
    }
}

uint8_t YD3D6Parser::CelestialAlpha(const YD3D6CelestialObject& object)
{
    if (!(object.m_flags & YFlareElement::kFlagMoon)) return 255;
    const int64_t t = object.m_current.m_timeKey;
    if (t < 21600) return uint8_t((21600 - t) * 255 / 21600);
    if (t < 43200) return 0;
    if (t < 64800) return uint8_t((t - 43200) * 255 / 21600);
    return 255;
}

void YD3D6Parser::CelestialSquare(const YD3D6CelestialObject& object, float radius, void* out)
{
    SkyVertex* v = static_cast<SkyVertex*>(out);
    // The square stands where the object's light comes from.
    float f[3] = {object.m_current.m_direction[0], object.m_current.m_direction[1], object.m_current.m_direction[2]};
    const float length = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    if (length > 0.0f)
        for (float& c : f) c /= length;
    else
        f[0] = 0.0f, f[1] = 1.0f, f[2] = 0.0f;
    float side[3] = {0.0f, 0.0f, 1.0f};
    if (f[0] != 0.0f || f[2] != 0.0f) {
        const float h = std::sqrt(f[2] * f[2] + f[0] * f[0]);
        side[0] = f[2] / h, side[1] = 0.0f, side[2] = -f[0] / h;
    }
    const float up[3] = {f[1] * side[2] - f[2] * side[1], f[2] * side[0] - f[0] * side[2], f[0] * side[1] - f[1] * side[0]};
    const float roll = object.m_current.m_rotation;
    const float c = std::cos(roll), s = std::sin(roll);
    const bool fades = (object.m_flags & YFlareElement::kFlagMoon) != 0;
    const float half = fades ? 32.0f : 64.0f;
    const uint32_t colour = (uint32_t(CelestialAlpha(object)) << 24) | (uint32_t(Byte(object.m_current.m_valuesA[0] * 255.0f)) << 16) |
                            (uint32_t(Byte(object.m_current.m_valuesA[1] * 255.0f)) << 8) |
                            uint32_t(Byte(object.m_current.m_valuesA[2] * 255.0f));
    const float corners[4][2] = {{-half, half}, {-half, -half}, {half, half}, {half, -half}};
    const float uv[4][2] = {{0.01f, 0.01f}, {0.01f, 0.99f}, {0.99f, 0.01f}, {0.99f, 0.99f}};
    for (int k = 0; k < 4; ++k) {
        const float x = corners[k][0] * c - corners[k][1] * s;
        const float y = corners[k][0] * s + corners[k][1] * c;
        v[k] = {x * side[0] + y * up[0] + radius * f[0], x * side[1] + y * up[1] + radius * f[1],
                x * side[2] + y * up[2] + radius * f[2], 0.0f, 1.0f, 0.0f, colour, uv[k][0], uv[k][1]};
    }
}

void YD3D6Parser::DrawCelestialObject(float radius, int index)
{
    const YD3D6CelestialObject* object = GetCelestialObject(index);
    if (!object || !(object->m_flags & YFlareElement::kFlagShown) ||
        object->m_currentImage == YD3D6CelestialObject::kNoImage)
        return;
    YD3D6Lock* lock = GetTextureLock(int16_t(object->m_currentImage));
    if (!lock) return;
    SkyVertex v[4];
    CelestialSquare(*object, radius, v);
    DrawSkyVertices(lock, true, v);
}

void YD3D6Parser::DrawCelestialObjects(float radius)
{
    for (int i = 0; i < GetFlareSourceCount(); ++i) DrawCelestialObject(radius, i);
}

void YD3D6Parser::CloudVertices(const YD3D6CloudPlane& cloud, float radius, YAlphaVertex* out)
{
    for (int i = 0; i < kCloudVertices; ++i) {
        const CloudMeshVertex& m = kCloudMesh[i];
        YAlphaVertex& v = out[i];
        v.x = m.x * radius, v.y = radius * cloud.height * 0.01f, v.z = m.z * radius;
        v.nx = 0.0f, v.ny = 1.0f, v.nz = 0.0f;
        v.diffuse = m.diffuse;
        const float u = 0.5f + m.x / 2.0f, t = 0.5f + m.z / 2.0f;
        v.u0 = cloud.uScale * u + cloud.uOffset;
        v.v0 = cloud.vScale * t + cloud.vOffset;
        v.u1 = u, v.v1 = t;
    }
}

void YD3D6Parser::DrawCloudPlanes(float radius)
{
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    for (YD3D6CloudPlane& cloud : m_clouds) {
        if (cloud.texture == YD3D6CloudPlane::kNoTexture) continue;
        YD3D6Lock* lock = GetTextureLock(int16_t(cloud.texture));
        if (lock && device) {
            const YTexStates saved = lock->m_states;
            BlendedStates(lock->m_states);
            ApplyMaterialStates(lock);
            YAlphaVertex v[kCloudVertices];
            CloudVertices(cloud, radius, v);
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, YD3D6Raster::kVertexFormat, v, kCloudVertices,
                                         const_cast<uint16_t*>(kCloudIndices), kCloudIndexCount, 0);
            lock->m_states = saved;
        }
        cloud.uOffset += cloud.speed * 0.01f;
        cloud.vOffset += cloud.speed * 0.015f;
    }
}

void YD3D6Parser::RenderSky()
{
    const float radius = 0.5f * m_projection[3];
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (!m_mapSettings[kSkyWord] || m_backgrounds.empty()) {
        if (m_raster) m_raster->ClearTarget(m_clearColour);
        return;
    }
    const uint32_t colour = (uint32_t(Byte(m_fogFactors[0] * m_lightTint[2] * 255.0f)) << 16) |
                            (uint32_t(Byte(m_fogFactors[1] * m_lightTint[1] * 255.0f)) << 8) |
                            uint32_t(Byte(m_fogFactors[2] * m_lightTint[0] * 255.0f));
    const bool fog = m_fogOn == 1;
    if (fog) SetRenderStateCached(D3DRENDERSTATE_FOGENABLE, FALSE);
    const float savedPosition[3] = {m_cameraPosition[0], m_cameraPosition[1] - float(g_eyeOffset), m_cameraPosition[2]};
    if (m_raster) m_raster->SetCameraPosition(0.0f, 0.0f, 0.0f);
    ApplyView();

    uint8_t blend = 0;
    int32_t pair[2];
    FindTimeOfDayPeriods(&blend, pair);
    DrawSkyBox(pair[0], radius, colour, 255);
    const YD3D6SkyPeriod& first = m_backgrounds[size_t(pair[0])];
    float values[5] = {first.fogNear, first.fogFar, float(first.fog[0]), float(first.fog[1]), float(first.fog[2])};
    if (blend != 0) {
        DrawSkyBox(pair[1], radius, colour, blend);
        const YD3D6SkyPeriod& second = m_backgrounds[size_t(pair[1])];
        const float other[5] = {second.fogNear, second.fogFar, float(second.fog[0]), float(second.fog[1]),
                                float(second.fog[2])};
        for (int i = 0; i < 5; ++i) values[i] += (other[i] - values[i]) * float(blend) / 255.0f;
    }
    if (fog && device) {
        SetRenderStateCached(D3DRENDERSTATE_FOGENABLE, TRUE);
        const uint32_t fogColour = (uint32_t(Byte(values[2] * m_lightTint[0])) << 16) |
                                   (uint32_t(Byte(values[3] * m_lightTint[1])) << 8) | uint32_t(Byte(values[4] * m_lightTint[2]));
        m_fogRange[0] = values[0];
        m_fogRange[1] = values[1];
        SetRenderStateCached(D3DRENDERSTATE_FOGCOLOR, fogColour);
        SetRenderStateCached(D3DRENDERSTATE_FOGSTART, FloatBits(values[0] * m_fogStartFactor));
        SetRenderStateCached(D3DRENDERSTATE_FOGEND, FloatBits(values[1]));
        SetRenderStateCached(D3DRENDERSTATE_FOGENABLE, FALSE);
    }
    DrawCelestialObjects(radius);
    DrawCloudPlanes(radius);

    if (m_raster) m_raster->SetCameraPosition(savedPosition[0], savedPosition[1], savedPosition[2]);
    ApplyView();
    if (fog) SetRenderStateCached(D3DRENDERSTATE_FOGENABLE, TRUE);
}

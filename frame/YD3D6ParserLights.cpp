// The light list of the raster device, the sun, the fog setters, the day
// lights stage and the two vertex colour rules.
#include <algorithm>
#include <cstring>

#include "foundation/YFastMath.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"

namespace {
// A light as a new slot of the array holds it, and as a reset makes it.
YRasterLight MakeLight(float range)
{
    YRasterLight light;
    memset(&light, 0, sizeof light);
    light.type = D3DLIGHT_DIRECTIONAL;
    light.direction[1] = -1.0f;
    light.range = range;
    light.color[0] = light.color[1] = light.color[2] = 1.0f;
    light.words[1] = 1;  // enabled
    return light;
}

const float kNewSlotRange = 2.0f;
const float kResetRange = 10000.0f;

// The Direct3D light of a record, with the renderer's ambient level.
void FillDeviceLight(const YRasterLight& record, float ambient, D3DLIGHT7* out)
{
    memset(out, 0, sizeof *out);
    out->dltType = D3DLIGHTTYPE(record.type);
    out->dcvDiffuse = {record.color[0], record.color[1], record.color[2], 0.0f};
    out->dcvAmbient = {ambient, ambient, ambient, 0.0f};
    out->dvDirection = {record.direction[0], record.direction[1], record.direction[2]};
    out->dvRange = record.range;
    out->dvFalloff = 1.0f;
}
}  // namespace

int YD3D6Parser::ClearLights(int count)
{
    if (!m_raster) return 0;
    std::vector<YRasterLight>& lights = m_raster->m_globalLights;
    IDirect3DDevice7* device = m_raster->GetDevice();
    m_raster->DisableAllLights();
    for (size_t i = 0; i < lights.size(); ++i) {
        delete lights[i].light;
        if (device) device->LightEnable(DWORD(i), FALSE);
    }
    lights.clear();
    for (int i = 0; i < count; ++i) {
        YRasterLight light = MakeLight(kResetRange);
        light.light = new D3DLIGHT7;
        FillDeviceLight(light, m_ambientLevel, light.light);
        lights.push_back(light);
        if (device) {
            device->SetLight(DWORD(i), light.light);
            device->LightEnable(DWORD(i), TRUE);
        }
    }
    return 1;
}

int YD3D6Parser::GetLightCount()
{
    return m_raster ? int(m_raster->m_globalLights.size()) : 0;
}

void* YD3D6Parser::GetLight(int index)
{
    if (index < 0 || index >= GetLightCount()) return nullptr;
    return &m_raster->m_globalLights[size_t(index)];
}

void* YD3D6Parser::SetLight(int index, const void* record)
{
    if (index < 0 || index >= GetLightCount() || !record) return nullptr;
    YRasterLight& light = m_raster->m_globalLights[size_t(index)];
    const YRasterLight& source = *static_cast<const YRasterLight*>(record);
    memcpy(light.color, source.color, sizeof light.color);
    light.type = source.type;
    memcpy(light.direction, source.direction, sizeof light.direction);
    light.range = source.range;
    if (!light.light) light.light = new D3DLIGHT7;
    FillDeviceLight(light, m_ambientLevel, light.light);
    return light.light;
}

int YD3D6Parser::AddLight(const void* record)
{
    if (!m_raster) return -1;
    YRasterLight light = MakeLight(kNewSlotRange);
    light.light = new D3DLIGHT7;
    memset(light.light, 0, sizeof *light.light);
    m_raster->m_globalLights.push_back(light);
    const int index = GetLightCount() - 1;
    SetLight(index, record);
    return index;
}

void YD3D6Parser::RemoveLight(int index)
{
    if (index < 0 || index >= GetLightCount()) return;
    std::vector<YRasterLight>& lights = m_raster->m_globalLights;
    delete lights[size_t(index)].light;
    lights.erase(lights.begin() + index);
    if (lights.empty()) std::vector<YRasterLight>().swap(lights);
}

void YD3D6Parser::SetSunDirection(const float* direction)
{
    if (!direction) return;
    for (int i = 0; i < 3; ++i) m_sunVector[i] = -direction[i];
}

void YD3D6Parser::SetFog(const DWORD* factors, const float* multipliers)
{
    if (factors) memcpy(m_fogFactorWords, factors, sizeof m_fogFactorWords);
    if (multipliers) memcpy(m_fogFactors, multipliers, sizeof m_fogFactors);
    if (m_sessionMode != 2 || m_fogOn != 1 || m_backgrounds.empty()) return;
    const uint8_t* fog = m_backgrounds[0].fog;
    DWORD colour = 0;
    for (int i = 0; i < 3; ++i) colour = (colour << 8) | (DWORD(int(float(fog[i]) * m_fogFactors[i])) & 0xFF);
    SetRenderStateCached(D3DRENDERSTATE_FOGCOLOR, colour);
}

void YD3D6Parser::SetFogStart(float multiplier)
{
    m_fogStartFactor = multiplier;
    if (m_sessionMode != 2 || m_fogOn != 1 || m_backgrounds.empty()) return;
    SetRenderStateCached(D3DRENDERSTATE_FOGSTART, FloatBits(multiplier * m_backgrounds[0].fogNear));
}

// The day lights of the frame: the fixed lights go to the device as they
// are; the flare sources come to the time of day and each one that owns a
// light drives device light n + k, k its place in the source-light list.
// The five lights after the source lights go dark.
void YD3D6Parser::UpdateDayLights()
{
    const CTime now(m_clock);
    const int seconds = (now.GetHour() * 60 + now.GetMinute()) * 60 + now.GetSecond();
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    const std::vector<YRasterLight>* fixed = m_raster ? &m_raster->m_globalLights : nullptr;
    const DWORD n = fixed ? DWORD(fixed->size()) : 0;
    for (DWORD i = 0; device && i < n; ++i) {
        if ((*fixed)[i].light) device->SetLight(i, (*fixed)[i].light);
        device->LightEnable(i, TRUE);
    }
    std::vector<YRasterLight>* sources = m_raster ? &m_raster->m_sessionLights : nullptr;
    const int c = sources ? int(sources->size()) : 0;
    for (int j = 0; j < GetFlareSourceCount(); ++j) {
        UpdateFlareSource(j, seconds, nullptr);
        const YD3D6CelestialObject& source = *m_celestials[size_t(j)];
        if (source.m_light == -1) continue;
        const int k = int16_t(source.m_light & 0xFFFF);
        // An index from the map beyond the list drives nothing.
        if (k < 0 || k >= c) continue;
        YRasterLight& light = (*sources)[size_t(k)];
        const YFlareElement& e = source.m_current;
        for (int i = 0; i < 3; ++i) {
            light.color[i] = m_lightTint[i] * e.m_valuesA[i];
            // The source's direction points at it; its light travels the other way.
            light.direction[i] = -e.m_direction[i];
        }
        light.range = 10000.0f;
        light.type = D3DLIGHT_DIRECTIONAL;
        if (!light.light) {
            light.light = new D3DLIGHT7;
            memset(light.light, 0, sizeof *light.light);
        }
        D3DLIGHT7& d = *light.light;
        d.dltType = D3DLIGHT_DIRECTIONAL;
        d.dcvDiffuse = {light.color[0], light.color[1], light.color[2], 0.0f};
        d.dcvAmbient = {m_ambientLevel, m_ambientLevel, m_ambientLevel, 0.0f};
        d.dvDirection = {light.direction[0], light.direction[1], light.direction[2]};
        d.dvRange = 10000.0f;
        d.dvFalloff = 1.0f;
        d.dvAttenuation0 = d.dvAttenuation1 = d.dvAttenuation2 = 0.0f;
        if (!device) continue;
        device->SetLight(n + DWORD(k), light.light);
        device->LightEnable(n + DWORD(k), TRUE);
    }
    for (DWORD i = 0; device && i < 5; ++i) device->LightEnable(n + DWORD(c) + i, FALSE);
}

namespace {
// 255 less the shade's darkness by the strength, low 8 bits.
uint32_t ShadeScale(uint8_t shade, float strength)
{
    return uint32_t(255 - int(float(255 - shade) * strength)) & 0xFF;
}

uint32_t ScaleColour(uint32_t colour, uint32_t s)
{
    const uint32_t r = (((colour >> 16) & 0xFF) * s) >> 8;
    const uint32_t g = (((colour >> 8) & 0xFF) * s) >> 8;
    const uint32_t b = ((colour & 0xFF) * s) >> 8;
    return (r << 16) | (g << 8) | b;
}
}  // namespace

uint32_t YD3D6Parser::ShadeTerrainVertexColor(const YCellCorner& corner, uint8_t shade, uint8_t fog) const
{
    const uint32_t s = ShadeScale(shade, m_shadeStrength);
    int32_t f = 255;
    if (corner.m_vertex < m_mapVertices.size()) {
        const YMapVT3Vertex& v = m_mapVertices[corner.m_vertex];
        const double dx = double(m_cameraPosition[0]) - v.m_x, dy = double(m_cameraPosition[1]) - v.m_y,
                     dz = double(m_cameraPosition[2]) - v.m_z;
        // Compared before it becomes a whole number, which far points overflow.
        const double d2 = dx * dx + dy * dy + dz * dz;
        if (d2 < 1327104.0) f = int32_t(float(int32_t(FastSqrt(float(int32_t(d2))))) * 0.33333333f);
    }
    int32_t a = 255 - ((255 - int32_t(fog)) * (255 - f)) / 255;
    a = std::min(std::max(a, int32_t(112)), int32_t(255));
    return (uint32_t(a) << 24) | ScaleColour(corner.m_colour, s);
}

uint32_t YD3D6Parser::ShadeModelVertexColor(uint32_t colour, uint8_t shade, uint8_t grey, uint8_t alpha) const
{
    const uint32_t s = ShadeScale(shade, m_shadeStrength);
    if (grey) return (uint32_t(alpha) << 24) | (s << 16) | (s << 8) | s;
    return (uint32_t(alpha) << 24) | ScaleColour(colour, s);
}

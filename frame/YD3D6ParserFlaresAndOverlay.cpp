// The last stage of the map frame: the glare of every sky object the camera
// looks towards with nothing in between, then the overlay colour, each a
// wash over the whole view.
#include <cmath>

#include "foundation/YFastMath.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"

namespace {
// Position and diffuse colour, as the wash is drawn.
struct WashVertex {
    float x, y, z;
    uint32_t diffuse;
};
const DWORD kWashFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE;
// In front of the stage's camera the triangle covers the whole view.
const float kWash[3][3] = {{-3.0f, -1.0f, 5.0f}, {0.0f, 3.0f, 5.0f}, {3.0f, -1.0f, 5.0f}};
// What may block the line of sight to a sky object.
const DWORD kSightFlags = 0x173B;

uint32_t Byte(float v) { return uint32_t(int32_t(v)) & 0xFFu; }
}  // namespace

float YD3D6Parser::GlareAlpha(float d, float reach, float exponent, float strength)
{
    if (!(reach > 0.0f) || !(d > 0.0f)) return 0.0f;
    // Seen within an angle that grows with the reach.
    const float k = (1.0f - d) * 90.0f;
    if (!(k < reach)) return 0.0f;
    const float alpha = strength * 255.0f * (1.0f - std::pow(k / reach, exponent));
    return alpha > 0.0f ? alpha : 0.0f;
}

void YD3D6Parser::DrawScreenWash(uint32_t colour)
{
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (!device) return;
    WashVertex v[3];
    for (int i = 0; i < 3; ++i) v[i] = {kWash[i][0], kWash[i][1], kWash[i][2], colour};
    device->DrawPrimitive(D3DPT_TRIANGLELIST, kWashFormat, v, 3, 0);
}

void YD3D6Parser::RenderFlaresAndOverlay()
{
    if (m_flareTexture < 0 || !GetTextureLock(m_flareTexture) || !m_raster) return;
    const YD3D6Raster::Camera saved = m_raster->GetCamera();

    // The camera's forward axis in the world: the third column of its view
    // rotation.
    YMatrix turn;
    MatrixRotationEuler1(&turn, -saved.angles[0], saved.angles[1], -saved.angles[2]);
    const float forward[3] = {turn.m[0][2], turn.m[1][2], turn.m[2][2]};

    YD3D6Raster::Camera unit = {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {0.5f, 1.0f, 10.0f}, {1.0f, 1.0f, 1.0f}};
    m_raster->SetCamera(unit);
    ApplyView();
    ApplyMaterialStates(GetTextureLock(m_flareTexture));

    bool marksCleared = false;
    for (const std::unique_ptr<YD3D6CelestialObject>& source : m_celestials) {
        const YFlareElement& e = source->m_current;
        if (!(e.m_flags & YFlareElement::kFlagShown)) continue;
        const float strength = e.m_valuesB[0] * m_glareScales[0];
        const float reach = e.m_valuesB[1] * m_glareScales[1];
        const float exponent = e.m_valuesB[2] * m_glareScales[2];
        // The direction points at the source.
        const float d = forward[0] * e.m_direction[0] + forward[1] * e.m_direction[1] + forward[2] * e.m_direction[2];
        const float alpha = GlareAlpha(d, reach, exponent, strength);
        if (!(alpha > 0.0f)) continue;
        const float farDistance = m_projection[3];
        const float sky[3] = {saved.position[0] + farDistance * e.m_direction[0],
                              saved.position[1] + farDistance * e.m_direction[1],
                              saved.position[2] + farDistance * e.m_direction[2]};
        if (!marksCleared) {
            ClearVisitedMarks();
            marksCleared = true;
        }
        if (TraceWorld(sky, saved.position, 0.0f, 0.0f, kSightFlags) == 0) continue;
        const uint32_t colour = Byte(alpha) << 24 | Byte(m_glareColourScales[0] * e.m_valuesC[0] * 255.0f) << 16 |
                                Byte(m_glareColourScales[1] * e.m_valuesC[1] * 255.0f) << 8 |
                                Byte(m_glareColourScales[2] * e.m_valuesC[2] * 255.0f);
        DrawScreenWash(colour);
    }

    float red, green, blue, alpha;
    GetOverlayColor(&red, &green, &blue, &alpha);
    if (alpha != 0.0f)
        DrawScreenWash(Byte(alpha * 255.0f) << 24 | Byte(red * 255.0f) << 16 | Byte(green * 255.0f) << 8 |
                       Byte(blue * 255.0f));

    m_raster->SetCamera(saved);
    ApplyView();
}

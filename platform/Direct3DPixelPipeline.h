// The per-pixel half of the software device: for a run of pixels on one
// row it tests Z, interpolates colours, samples the texture stages,
// combines them, adds specular and fog, tests alpha, blends into the target
// and writes Z. Configure picks one function per step from the states, so
// the loops over pixels never look at a state again.
#pragma once

#include "platform/d3d.h"

#include <cstdint>

namespace platform {
class Direct3DTexture;
class DirectDrawSurface;

class Direct3DPixelPipeline {
public:
    static constexpr int kChunk = 128;
    static constexpr int kStages = 8;
    static constexpr int kStageStates = 25;

    // Start values at the run's first pixel and their steps per pixel (x)
    // and per row (y, for the MIP level).
    struct Run {
        int x = 0, y = 0, n = 0;
        float z = 0, dz = 0;
        float rhw = 1, drhw = 0, drhwdy = 0;
        float uw[2] = {0, 0}, duw[2] = {0, 0}, duwdy[2] = {0, 0};
        float vw[2] = {0, 0}, dvw[2] = {0, 0}, dvwdy[2] = {0, 0};
        float diffuse[4] = {0, 0, 0, 0}, ddiffuse[4] = {0, 0, 0, 0};  // b g r a, 0..255
        float specular[4] = {0, 0, 0, 0}, dspecular[4] = {0, 0, 0, 0};  // b g r fog
    };

    struct Settings {
        const DWORD* renderStates = nullptr;            // indexed by D3DRENDERSTATETYPE, 256 entries
        const DWORD (*stageStates)[kStageStates] = nullptr;  // [stage][D3DTEXTURESTAGESTATETYPE]
        DirectDrawSurface* const* textures = nullptr;   // kStages entries
        DirectDrawSurface* target = nullptr;
        DirectDrawSurface* zbuffer = nullptr;
    };

    Direct3DPixelPipeline();
    ~Direct3DPixelPipeline();
    Direct3DPixelPipeline(const Direct3DPixelPipeline&) = delete;
    Direct3DPixelPipeline& operator=(const Direct3DPixelPipeline&) = delete;

    // Chooses the steps; false when the target cannot be drawn into.
    bool Configure(const Settings& settings);
    // Texture coordinate sets the stages read (0, 1 or 2) and whether
    // specular colour or the vertex fog factor is interpolated.
    int CoordinateSets() const { return m_coordSets; }
    bool UsesSpecular() const { return m_needSpecular; }
    bool WritesAnything() const { return m_drawable; }

    // Draws the run: at most kChunk pixels, inside the target.
    void Draw(const Run& run);

    struct Work;

private:
    Work* m_work;
    int m_coordSets = 0;
    bool m_needSpecular = false;
    bool m_drawable = false;
    bool m_avx2 = false;  // the steps built for AVX2 run
};
}  // namespace platform

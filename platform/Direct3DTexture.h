// What the 3D device keeps of a texture surface: every MIP level as
// 0xAARRGGBB texels (colour-keyed texels marked), refreshed when the
// surface's pixels or key change, and the samplers that read it.
#pragma once

#include "platform/DirectDrawSurface.h"

#include <cstdint>
#include <vector>

namespace platform {
class Direct3DTexture : public DirectDrawSurface::DeviceData {
public:
    struct Level {
        int width = 0;
        int height = 0;
        bool pow2 = false;
        std::vector<uint32_t> texels;
        std::vector<uint32_t> keyedTexels;  // with a source key: the texels, keyed ones 0
        std::vector<uint8_t> keyed;         // 1 where the texel matches the source colour key (empty: no key)
        unsigned version = 0;
        const DirectDrawSurface* surface = nullptr;
    };

    // The copy of a texture surface (and its MIP chain), made or refreshed.
    static Direct3DTexture* Of(DirectDrawSurface* surface);

    int LevelCount() const { return static_cast<int>(m_levels.size()); }
    const Level& GetLevel(int i) const { return m_levels[static_cast<size_t>(i)]; }
    bool HasKey() const { return m_hasKey; }

private:
    bool Current(DirectDrawSurface* surface) const;
    void Build(DirectDrawSurface* surface);

    std::vector<Level> m_levels;
    bool m_hasKey = false;
};
}  // namespace platform

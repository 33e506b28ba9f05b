#include "platform/Direct3DTexture.h"

namespace platform {
namespace {
// The next smaller level of a MIP chain, without keeping a reference.
DirectDrawSurface* NextLevel(DirectDrawSurface* surface)
{
    for (DirectDrawSurface* s : surface->Attached())
        if (s->Caps() & DDSCAPS_MIPMAP) return s;
    return nullptr;
}
}  // namespace

Direct3DTexture* Direct3DTexture::Of(DirectDrawSurface* surface)
{
    Direct3DTexture* texture = dynamic_cast<Direct3DTexture*>(surface->GetDeviceData());
    if (!texture) {
        texture = new Direct3DTexture;
        surface->SetDeviceData(std::unique_ptr<DirectDrawSurface::DeviceData>(texture));
    }
    if (!texture->Current(surface)) texture->Build(surface);
    return texture;
}

bool Direct3DTexture::Current(DirectDrawSurface* surface) const
{
    size_t i = 0;
    for (DirectDrawSurface* s = surface; s; s = NextLevel(s), ++i) {
        if (i >= m_levels.size() || m_levels[i].surface != s || m_levels[i].version != s->ContentVersion())
            return false;
    }
    return i == m_levels.size();
}

void Direct3DTexture::Build(DirectDrawSurface* surface)
{
    m_levels.clear();
    DDCOLORKEY key = {0, 0};
    m_hasKey = surface->GetColorKey(DDCKEY_SRCBLT, &key) == DD_OK;
    for (DirectDrawSurface* s = surface; s && m_levels.size() < 16; s = NextLevel(s)) {
        Level level;
        level.surface = s;
        level.version = s->ContentVersion();
        level.width = s->Width();
        level.height = s->Height();
        level.pow2 = (level.width & (level.width - 1)) == 0 && (level.height & (level.height - 1)) == 0;
        const DirectDrawPixelFormat& format = s->Format();
        const uint32_t colourBits = format.ColourMask();
        const size_t count = static_cast<size_t>(level.width) * level.height;
        level.texels.resize(count);
        if (m_hasKey) {
            level.keyed.assign(count, 0);
            level.keyedTexels.assign(count, 0);
        }
        const int bytes = format.Bytes();
        for (int y = 0; y < level.height; ++y) {
            const uint8_t* row = s->Bits() + static_cast<size_t>(y) * s->Pitch();
            for (int x = 0; x < level.width; ++x) {
                const uint32_t pixel = format.Read(row + static_cast<size_t>(x) * bytes);
                const size_t at = static_cast<size_t>(y) * level.width + x;
                const uint32_t colour = pixel & colourBits;
                level.texels[at] = format.ToARGB(pixel, s->PaletteEntries());
                if (!m_hasKey) continue;
                if (colour >= key.dwColorSpaceLowValue && colour <= key.dwColorSpaceHighValue) level.keyed[at] = 1;
                else level.keyedTexels[at] = level.texels[at];
            }
        }
        m_levels.push_back(std::move(level));
    }
}
}  // namespace platform

// Resizing a whole texture: dropping levels when the new size is one of its
// MIP levels, else resampling every format from its nearest larger level.
#include "assets3d/YTexture2.h"

#include <cstring>

#include "assets3d/ResampleImage.h"

namespace {

bool Whole(const YTextureFormat& format, int16_t width, int16_t height, int16_t depth)
{
    if (format.m_iWidth != width || format.m_iHeight != height || format.m_iMIPDepth != depth ||
        format.m_layers.size() != static_cast<size_t>(depth))
        return false;
    for (const YTextureLayer* layer : format.m_layers)
        if (!layer->m_pRGB || (format.HasAlpha() && !layer->m_pAlpha)) return false;
    return true;
}

// With no generator layer left, level 0 becomes one; the status tags follow
// the levels' new numbers.
void MarkGenerators(YTextureFormat& format)
{
    bool colour = false, alpha = false;
    for (const YTextureLayer* layer : format.m_layers) {
        colour = colour || layer->m_iRGBGen == 1;
        alpha = alpha || layer->m_iAlphaGen == 1;
    }
    if (!format.m_layers.empty()) {
        if (!colour) format.m_layers[0]->m_iRGBGen = 1;
        if (!alpha && format.HasAlpha()) format.m_layers[0]->m_iAlphaGen = 1;
    }
    for (int16_t l = 0; l < format.m_iMIPDepth; ++l) format.WriteStatusTags(l);
}

}  // namespace

int YTexture2::Resize(int16_t width, int16_t height)
{
    if (width == m_iWidth && height == m_iHeight) return 1;
    if (width < 4 || height < 4 || m_iMIPDepth < 1 || m_iNumFormats < 1) return 0;
    for (const YTextureFormat* format : m_formats)
        if (!Whole(*format, m_iWidth, m_iHeight, m_iMIPDepth)) return 0;

    for (int16_t k = 1; k < m_iMIPDepth; ++k) {
        if (YTextureFormat::LevelSize(m_iWidth, k) != width || YTextureFormat::LevelSize(m_iHeight, k) != height) continue;
        for (YTextureFormat* format : m_formats) {
            for (int16_t l = 0; l < k; ++l) delete format->m_layers[static_cast<size_t>(l)];
            format->m_layers.erase(format->m_layers.begin(), format->m_layers.begin() + k);
            format->m_iWidth = width;
            format->m_iHeight = height;
            format->m_iMIPDepth = static_cast<int16_t>(format->m_iMIPDepth - k);
            MarkGenerators(*format);
        }
        m_iWidth = width;
        m_iHeight = height;
        m_iMIPDepth = static_cast<int16_t>(m_iMIPDepth - k);
        return 1;
    }

    const int up = FindResampleFilter(GetTagValueByName("UpFilter", "Point"));
    const int down = FindResampleFilter(GetTagValueByName("DownFilter", "Point"));
    const int most = GetTagIntByName("MIPLevels", 10);
    const int16_t depth = YTextureFormat::DepthFor(width, height, most);
    for (const YTextureFormat* format : m_formats)
        if (static_cast<int32_t>(width) * format->m_iBytesPerPixel > INT16_MAX) return 0;
    for (YTextureFormat* format : m_formats) ResizeFormat(format, width, height, depth, up, down);
    m_iWidth = width;
    m_iHeight = height;
    m_iMIPDepth = depth;
    return 1;
}

bool YTexture2::ResizeFormat(YTextureFormat* format, int16_t width, int16_t height, int16_t depth, int up, int down)
{
    std::vector<YTextureLayer*> layers;
    std::vector<BYTE> from, to;
    for (int16_t l = 0; l < depth; ++l) {
        const int16_t w = YTextureFormat::LevelSize(width, l), h = YTextureFormat::LevelSize(height, l);
        int16_t source = 0;
        for (int16_t s = static_cast<int16_t>(format->m_iMIPDepth - 1); s >= 0; --s) {
            const YTextureLayer* old = format->m_layers[static_cast<size_t>(s)];
            if (old->m_iWidth >= w && old->m_iHeight >= h) {
                source = s;
                break;
            }
        }
        const YTextureLayer* src = format->m_layers[static_cast<size_t>(source)];
        YTextureLayer* layer = new YTextureLayer;
        layer->m_iWidth = w;
        layer->m_iHeight = h;
        layer->m_iRGBLock = src->m_iRGBLock;
        layer->m_iAlphaLock = src->m_iAlphaLock;
        layer->m_iRGBGen = src->m_iRGBGen;
        layer->m_iAlphaGen = src->m_iAlphaGen;
        layers.push_back(layer);
        if (src->m_iWidth == w && src->m_iHeight == h) {
            layer->m_iPitch = src->m_iPitch;
            layer->AllocateRGB();
            std::memcpy(layer->m_pRGB, src->m_pRGB, src->RGBSize());
            if (format->HasAlpha()) {
                layer->AllocateAlpha(0);
                std::memcpy(layer->m_pAlpha, src->m_pAlpha, src->AlphaSize());
            }
            continue;
        }
        layer->m_iPitch = static_cast<int16_t>(w * format->m_iBytesPerPixel);
        layer->AllocateRGB();
        const int fx = src->m_iWidth > w ? down : up, fy = src->m_iHeight > h ? down : up;
        from.assign(src->AlphaSize() * 4, 0);
        to.assign(layer->AlphaSize() * 4, 0);
        format->GetLayerRGB(source, from.data(), 1);
        ResampleImage(from.data(), src->m_iWidth, src->m_iHeight, to.data(), w, h, fx, fy);
        format->StoreRGB(*layer, to.data());
        if (format->HasAlpha()) {
            layer->AllocateAlpha(0);
            format->GetLayerAlpha(source, from.data());
            ResampleAlphaImage(from.data(), src->m_iWidth, src->m_iHeight, to.data(), w, h, fx, fy);
            format->StoreAlpha(*layer, to.data());
        }
    }
    format->DeleteLayers();
    format->m_layers = layers;
    format->m_iWidth = width;
    format->m_iHeight = height;
    format->m_iMIPDepth = depth;
    MarkGenerators(*format);
    return true;
}

#include "assets3d/YD3D6Lock.h"

#include <cstring>

#include "assets3d/YTexture2.h"

namespace {

int CountBits(DWORD mask)
{
    int bits = 0;
    for (; mask; mask &= mask - 1) ++bits;
    return bits;
}

int LowestBit(DWORD mask)
{
    if (!mask) return 0;
    int bit = 0;
    while (!((mask >> bit) & 1)) ++bit;
    return bit;
}

bool EightBit(const YTextureFormat* format) { return format->m_iBytesPerPixel <= 1; }

// Every level holds its colour and, with alpha, its alpha plane.
bool Whole(const YTextureFormat* format)
{
    if (format->m_iMIPDepth < 1 || format->m_layers.size() != static_cast<size_t>(format->m_iMIPDepth)) return false;
    for (const YTextureLayer* layer : format->m_layers)
        if (!layer->m_pRGB || (format->HasAlpha() && !layer->m_pAlpha)) return false;
    return true;
}

// How a channel of the device pixel goes from 8 bits into place.
struct Shift {
    int down = 8;
    int up = 0;
    void From(DWORD mask)
    {
        const int bits = CountBits(mask);
        down = bits >= 8 ? 0 : 8 - bits;
        up = LowestBit(mask);
    }
    DWORD Place(DWORD value8) const { return (value8 >> down) << up; }
};

void WritePixel(BYTE* at, DWORD value, int bytes)
{
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<BYTE>(value >> (8 * i));
}

DWORD ReadPixel(const BYTE* at, int bytes)
{
    DWORD value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<DWORD>(at[i]) << (8 * i);
    return value;
}

DDPIXELFORMAT EmptyFormat()
{
    DDPIXELFORMAT format;
    std::memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    return format;
}

}  // namespace

YD3D6Lock::YD3D6Lock()
    : m_pixelFormat(EmptyFormat()),
      m_alphaFormat(EmptyFormat()),
      m_opaqueFormat(EmptyFormat()),
      m_defaultFormat(EmptyFormat()),
      m_spareFormat(EmptyFormat()),
      m_material()
{
    m_material.diffuse.r = m_material.diffuse.g = m_material.diffuse.b = 1.0f;
}

YD3D6Lock::~YD3D6Lock()
{
    // A lock deleted without ReleaseSurface would keep its device texture.
    ReleaseSurface();
}

int YD3D6Lock::Fail(const char* message)
{
    SetError(message);
    return 0;
}

void YD3D6Lock::ReleaseSurface()
{
    if (m_pSurface) m_pSurface->Release();
    m_pSurface = nullptr;
    m_mask.clear();
    m_mask.shrink_to_fit();
    m_pDetail = nullptr;
}

int YD3D6Lock::IsOpaqueAt(float u, float v) const
{
    if (m_mask.empty() || m_fMaskWidth <= 0.0f || m_fMaskHeight <= 0.0f) return 0;
    if (!(u >= 0.0f && u < 1.0f && v >= 0.0f && v < 1.0f)) return 0;
    const int width = static_cast<int>(m_fMaskWidth), height = static_cast<int>(m_fMaskHeight);
    const int x = static_cast<int>(u * m_fMaskWidth), y = static_cast<int>(v * m_fMaskHeight);
    if (x >= width || y >= height) return 0;
    const size_t bit = static_cast<size_t>(y) * width + x;
    return (m_mask[bit / 32] >> (bit % 32)) & 1;
}

int YD3D6Lock::ChooseFormat(YTexture2* texture, const DDPIXELFORMAT& pixelFormat, int colorKey)
{
    const int16_t count = texture->m_iNumFormats;
    if (pixelFormat.dwRGBBitCount <= 8) {
        for (int16_t i = 0; i < count; ++i)
            if (EightBit(texture->m_formats[static_cast<size_t>(i)])) return i;
        return -1;
    }
    const int want[4] = {CountBits(pixelFormat.dwRBitMask), CountBits(pixelFormat.dwGBitMask),
                         CountBits(pixelFormat.dwBBitMask),
                         (pixelFormat.dwFlags & DDPF_ALPHAPIXELS) ? CountBits(pixelFormat.dwRGBAlphaBitMask) : 0};
    // Pass 0 only with the colour key: one alpha bit and at least the colour
    // depths; pass 1: every depth at least the device's; pass 2: any.
    for (int pass = colorKey ? 0 : 1; pass < 3; ++pass) {
        int best = -1;
        long bestScore = 0;
        for (int16_t i = 0; i < count; ++i) {
            const YTextureFormat* format = texture->m_formats[static_cast<size_t>(i)];
            if (EightBit(format)) continue;
            const int have[4] = {format->m_bitCount[TEX_RED], format->m_bitCount[TEX_GREEN],
                                 format->m_bitCount[TEX_BLUE], format->HasAlpha() ? format->m_bitCount[TEX_ALPHA] : 0};
            bool fits = true;
            if (pass == 0) fits = have[3] == 1 && want[3] <= 1;
            for (int c = 0; c < (pass == 0 ? 3 : 4) && pass < 2; ++c) fits = fits && have[c] >= want[c];
            if (!fits) continue;
            long score = 0;
            for (int c = 0; c < 4; ++c) score += static_cast<long>(have[c] - want[c]) * (have[c] - want[c]);
            if (best < 0 || score < bestScore) {
                best = i;
                bestScore = score;
            }
        }
        if (best >= 0) return best;
    }
    for (int16_t i = static_cast<int16_t>(count - 1); i >= 0; --i)
        if (EightBit(texture->m_formats[static_cast<size_t>(i)])) return i;
    return -1;
}

int YD3D6Lock::Upload(YTexture2* texture, CFile* source)
{
    if (!m_pOpaqueClass || !m_pAlphaClass || !m_pTreeClass || !m_pD3D || !m_pDevice || !m_pDD)
        return Fail("Device not set up");
    if (!texture || texture->m_iNumFormats < 1 || texture->m_iMIPDepth < 1) return Fail("Texture has no formats");
    const YTextureTagList& tags = *texture;

    int colorKey = static_cast<int>(ReadBoolean(tags, "TXT-RSColorKey", "No", 0));
    bool alpha = false;
    for (const YTextureFormat* format : texture->m_formats)
        alpha = alpha || format->HasAlpha() || (EightBit(format) && format->m_iColorKey != -1);

    YTexStates* classRecord = m_pOpaqueClass;
    if (ReadBoolean(tags, "TXT-IsTree", "No", 0) == 1) {
        m_pixelFormat = m_defaultFormat;
        classRecord = m_pTreeClass;
    } else if (alpha) {
        classRecord = m_pAlphaClass;
        m_pixelFormat = !colorKey && m_pAlphaClass->m_colorKeyEnable == 0 ? m_alphaFormat : m_opaqueFormat;
    } else {
        m_pixelFormat = m_opaqueFormat;
    }
    m_iSpriteCollide = static_cast<int32_t>(ReadBoolean(tags, "TXT-SpriteCollide", "No", 1));
    m_bSwamp = static_cast<uint8_t>(tags.GetTagIntByName("TXT-SwampMucker", 0));
    if (ReadBoolean(tags, "TXT-UseBackPF", "No", 0) == 1) m_pixelFormat = m_spareFormat;
    if (classRecord->m_colorKeyEnable == 1) colorKey = 1;
    if (colorKey) {
        // A colour-keyed texture of this class is never filtered.
        classRecord->m_magFilter = D3DTFG_POINT;
        classRecord->m_minFilter = D3DTFN_POINT;
        classRecord->m_mipFilter = D3DTFP_POINT;
    }
    m_states.m_colorKeyEnable = static_cast<DWORD>(colorKey);

    const int chosen = ChooseFormat(texture, m_pixelFormat, colorKey);
    if (chosen < 0) return Fail("No usable format");
    for (int16_t i = static_cast<int16_t>(texture->m_iNumFormats - 1); i >= 0; --i) {
        if (i == chosen) continue;
        YTextureFormat* other = texture->m_formats[static_cast<size_t>(i)];
        other->FreePixels();
        delete other;
        texture->m_formats.erase(texture->m_formats.begin() + i);
        --texture->m_iNumFormats;
    }
    if (!texture->LoadFormatData(0, source) || !Whole(texture->m_formats[0])) return Fail("Format data not loaded");

    YTextureFormat* format = texture->m_formats[0];
    int w = format->m_iWidth, h = format->m_iHeight;
    w = w < m_iMinWidth ? m_iMinWidth : (w > m_iMaxWidth ? m_iMaxWidth : w);
    h = h < m_iMinHeight ? m_iMinHeight : (h > m_iMaxHeight ? m_iMaxHeight : h);
    if (m_iHalveSize && ReadBoolean(tags, "TXT-FreezeSize", "No", 0) != 1) {
        if (w / 2 >= m_iMinWidth) w /= 2;
        if (h / 2 >= m_iMinHeight) h /= 2;
    }
    if (m_iSquare) w = h = (w > h ? w : h);
    if (w < 1 || h < 1 || w > INT16_MAX || h > INT16_MAX) return Fail("Bad texture size");
    m_fReduceX = static_cast<float>(format->m_iWidth / w);
    m_fReduceY = static_cast<float>(format->m_iHeight / h);
    if (w != format->m_iWidth || h != format->m_iHeight) {
        if (!texture->Resize(static_cast<int16_t>(w), static_cast<int16_t>(h))) return Fail("Resize failed");
    }
    if (texture->m_iNumFormats < 1) return Fail("Texture has no formats");
    if (m_pixelFormat.dwRGBBitCount <= 8) return Fail("Palettized device textures are not made");
    format = texture->m_formats[0];
    if (!Whole(format) || format->m_iWidth != w || format->m_iHeight != h) return Fail("Resize failed");

    const DWORD noManage = ReadBoolean(tags, "TXT-NoManage", "No", 1);
    const DWORD stage = static_cast<DWORD>(ReadStage(tags));
    const DWORD mipCount = ReadMIPLevels(tags, format->m_iMIPDepth);
    const DWORD hint = ReadHint(tags);
    m_states.m_stage = stage;
    if (!CreateSurface(format, mipCount, stage, hint, noManage)) return Fail("Surface not created");

    ConvertLevels(format, mipCount, colorKey);
    ReadMaterial(tags);

    m_iWidth = format->m_iWidth;
    m_iHeight = format->m_iHeight;
    m_iMIPDepth = format->m_iMIPDepth;
    m_fFullWidth = m_iWidth * m_fReduceX;
    m_fFullHeight = m_iHeight * m_fReduceY;
    CopyTagsAndRegions(texture, format);
    ReadStates(classRecord, colorKey);
    return 1;
}

bool YD3D6Lock::CreateSurface(YTextureFormat* format, DWORD mipCount, DWORD stage, DWORD hint, DWORD noManage)
{
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_MIPMAPCOUNT | DDSD_TEXTURESTAGE;
    desc.dwWidth = static_cast<DWORD>(format->m_iWidth);
    desc.dwHeight = static_cast<DWORD>(format->m_iHeight);
    desc.dwMipMapCount = mipCount;
    desc.ddpfPixelFormat = m_pixelFormat;
    desc.ddsCaps.dwCaps2 = hint;
    desc.dwTextureStage = stage;

    if (m_pSurface) m_pSurface->Release();
    m_pSurface = nullptr;
    if (m_iVideoMemory && noManage != 0) {
        m_iManaged = 0;
        m_pD3D->EvictManagedTextures();
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;
        if (FAILED(m_pDD->CreateSurface(&desc, &m_pSurface, nullptr)) || !m_pSurface) {
            m_pSurface = nullptr;
            return false;
        }
        HDC dc = nullptr;
        if (SUCCEEDED(m_pSurface->GetDC(&dc))) {
            m_pSurface->ReleaseDC(dc);
            return true;
        }
        m_pSurface->Release();
        m_pSurface = nullptr;
    }
    m_iManaged = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;
    desc.ddsCaps.dwCaps2 = hint | DDSCAPS2_TEXTUREMANAGE;
    if (FAILED(m_pDD->CreateSurface(&desc, &m_pSurface, nullptr)) || !m_pSurface) {
        m_pSurface = nullptr;
        return false;
    }
    return true;
}

void YD3D6Lock::BuildMask(const BYTE* alpha, int width, int height)
{
    const size_t pixels = static_cast<size_t>(width) * height;
    m_mask.assign((pixels + 32) / 32, 0);
    for (size_t i = 0; i < pixels; ++i)
        if (alpha[i] >= 128) m_mask[i / 32] |= 1u << (i % 32);
    m_fMaskWidth = static_cast<float>(width);
    m_fMaskHeight = static_cast<float>(height);
}

void YD3D6Lock::ConvertLevels(YTextureFormat* format, DWORD mipCount, int colorKey)
{
    const DDPIXELFORMAT& pf = m_pixelFormat;
    const DWORD bits = pf.dwRGBBitCount;
    const int bytes = bits <= 8 ? 1 : (bits <= 16 ? 2 : (bits <= 24 ? 3 : 4));
    const bool pixelAlpha = (pf.dwFlags & DDPF_ALPHAPIXELS) != 0;
    Shift blue, green, red, alphaShift;
    blue.From(pf.dwBBitMask);
    green.From(pf.dwGBitMask);
    red.From(pf.dwRBitMask);
    if (pixelAlpha) alphaShift.From(pf.dwRGBAlphaBitMask);
    const DWORD opaque = alphaShift.Place(255);
    const DWORD maskLevel = mipCount >= 2 ? 1 : 0;

    std::vector<BYTE> colour(static_cast<size_t>(format->m_iWidth) * format->m_iHeight * 4);
    std::vector<BYTE> alpha(static_cast<size_t>(format->m_iWidth) * format->m_iHeight);

    IDirectDrawSurface7* level = m_pSurface;
    level->AddRef();
    for (DWORD l = 0; l < mipCount && level; ++l) {
        const int16_t index = static_cast<int16_t>(l);
        YTextureLayer* layer = format->GetLayer(index);
        DDSURFACEDESC2 desc;
        std::memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        if (layer && SUCCEEDED(level->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) {
            const int w = layer->m_iWidth < static_cast<int>(desc.dwWidth) ? layer->m_iWidth : static_cast<int>(desc.dwWidth);
            const int h = layer->m_iHeight < static_cast<int>(desc.dwHeight) ? layer->m_iHeight : static_cast<int>(desc.dwHeight);
            BYTE* surface = static_cast<BYTE*>(desc.lpSurface);
            const size_t rowBytes = static_cast<size_t>(layer->m_iWidth) * 4;
            format->GetLayerRGB(index, colour.data(), 1);
            for (int y = 0; y < h; ++y) {
                const BYTE* in = colour.data() + y * rowBytes;
                BYTE* out = surface + static_cast<size_t>(y) * desc.lPitch;
                for (int x = 0; x < w; ++x, in += 4)
                    WritePixel(out + x * bytes, blue.Place(in[0]) + green.Place(in[1]) + red.Place(in[2]) + opaque, bytes);
            }
            const bool alphaPlane = format->HasAlpha() && layer->m_pAlpha;
            if (alphaPlane) format->GetLayerAlpha(index, alpha.data());
            if (pixelAlpha && alphaPlane) {
                if (l == maskLevel) BuildMask(alpha.data(), layer->m_iWidth, layer->m_iHeight);
                for (int y = 0; y < h; ++y) {
                    BYTE* out = surface + static_cast<size_t>(y) * desc.lPitch;
                    const BYTE* a = alpha.data() + static_cast<size_t>(y) * layer->m_iWidth;
                    for (int x = 0; x < w; ++x) {
                        const DWORD pixel = ReadPixel(out + x * bytes, bytes);
                        WritePixel(out + x * bytes, (pixel & ~opaque) + alphaShift.Place(a[x]), bytes);
                    }
                }
            }
            if (colorKey && alphaPlane) {
                if (l == maskLevel) BuildMask(alpha.data(), layer->m_iWidth, layer->m_iHeight);
                const DWORD keyColour = static_cast<DWORD>(m_iColorKey);
                const DWORD key = blue.Place(keyColour & 0xFF) + green.Place((keyColour >> 8) & 0xFF) +
                                  red.Place((keyColour >> 16) & 0xFF) + opaque;
                for (int y = 0; y < h; ++y) {
                    BYTE* out = surface + static_cast<size_t>(y) * desc.lPitch;
                    const BYTE* a = alpha.data() + static_cast<size_t>(y) * layer->m_iWidth;
                    for (int x = 0; x < w; ++x)
                        if (a[x] <= 128) WritePixel(out + x * bytes, key, bytes);
                }
                level->Unlock(nullptr);
                DDCOLORKEY colourKey = {key, key};
                level->SetColorKey(DDCKEY_SRCBLT, &colourKey);
            } else {
                level->Unlock(nullptr);
            }
        }
        DDSCAPS2 caps;
        std::memset(&caps, 0, sizeof caps);
        caps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP;
        IDirectDrawSurface7* next = nullptr;
        if (FAILED(level->GetAttachedSurface(&caps, &next))) next = nullptr;
        level->Release();
        level = next;
    }
    if (level) level->Release();
}

void YD3D6Lock::CopyTagsAndRegions(YTexture2* texture, YTextureFormat* format)
{
    ClearTags();
    for (int16_t i = 0; i < texture->GetNumTags(); ++i) {
        const YTextureTag* tag = texture->GetTag(i);
        AppendTag(tag->m_strName, tag->m_strValue);
    }
    for (int16_t i = 0; i < format->GetNumTags(); ++i) {
        const YTextureTag* tag = format->GetTag(i);
        if (FindTag(tag->m_strName) < 0) AppendTag(tag->m_strName, tag->m_strValue);
    }
    for (int16_t r = 0; r < texture->GetNumRegions(); ++r) {
        YTexRegion* from = texture->GetRegion(r);
        YTexRegion* copy = new YTexRegion;
        copy->m_strName = from->m_strName;
        for (int16_t p = 0; p < from->GetPointCount(); ++p) {
            float x = 0.0f, y = 0.0f;
            from->GetPoint(p, &x, &y);
            copy->AddPoint(x, y);
        }
        for (int16_t t = 0; t < from->GetNumTags(); ++t) {
            const YTextureTag* tag = from->GetTag(t);
            copy->AppendTag(tag->m_strName, tag->m_strValue);
        }
        const int16_t before = GetNumRegions();
        if (AddRegion(copy) == before) delete copy;
    }
}

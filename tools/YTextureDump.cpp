#include "tools/YTextureDump.h"

#include <cstdarg>
#include <cstdio>

#include "assets3d/YTexture2.h"

namespace {

void Add(std::string& out, const char* format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out += line;
}

void Tags(std::string& out, YTextureTagList& tags, const char* indent)
{
    for (int16_t i = 0; i < tags.GetNumTags(); ++i)
        Add(out, "%stag \"%s\" \"%s\"\n", indent, tags.GetTagName(i).GetBuffer(), tags.GetTagValue(i).GetBuffer());
}

// FNV-1a of a buffer, "none" without one.
std::string Sum(const BYTE* data, size_t size)
{
    if (!data) return "none";
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
    char text[16];
    snprintf(text, sizeof text, "%08x", h);
    return text;
}

}  // namespace

std::string YTextureDump::Write(YTexture2& texture)
{
    std::string out;
    Add(out, "texture \"%s\" %d x %d, %d levels, flags %d\n", texture.GetName().GetBuffer(), texture.m_iWidth,
        texture.m_iHeight, texture.m_iMIPDepth, texture.m_iFlags);
    Tags(out, texture, "  ");
    for (int16_t r = 0; r < texture.GetNumRegions(); ++r) {
        YTexRegion* region = texture.GetRegion(r);
        Add(out, "  region \"%s\", %d points:", region->m_strName.GetBuffer(), region->GetPointCount());
        for (int16_t p = 0; p < region->GetPointCount(); ++p) {
            float x = 0, y = 0;
            region->GetPoint(p, &x, &y);
            Add(out, " (%g, %g)", x, y);
        }
        out += "\n";
        Tags(out, *region, "    ");
    }
    for (int16_t f = 0; f < texture.GetNumFormats(); ++f) {
        YTextureFormat* format = texture.GetFormat(f);
        Add(out, "  format %d \"%s\" %d x %d, colour %d, alpha %d, %d bytes, %s\n", f, format->m_strName.GetBuffer(),
            format->m_iWidth, format->m_iHeight, format->m_iColorDepth, format->m_iAlphaDepth, format->m_iBytesPerPixel,
            format->HasPalette() ? "palette" : (format->HasAlpha() ? "alpha plane" : "no alpha"));
        Add(out, "    bits r%d g%d b%d a%d, shifts r%d g%d b%d a%d, colour key 0x%08x, palette %d .. %d\n",
            format->m_bitCount[TEX_RED], format->m_bitCount[TEX_GREEN], format->m_bitCount[TEX_BLUE],
            format->m_bitCount[TEX_ALPHA], format->m_shift[TEX_RED], format->m_shift[TEX_GREEN],
            format->m_shift[TEX_BLUE], format->m_shift[TEX_ALPHA], static_cast<uint32_t>(format->m_iColorKey),
            format->m_iFirstPalette, format->m_iLastPalette);
        Tags(out, *format, "    ");
        for (int16_t l = 0; l < format->m_iMIPDepth; ++l) {
            YTextureLayer* layer = format->GetLayer(l);
            Add(out, "    level %d: %d x %d pitch %d, gen %d/%d, lock %d/%d, at %d/%d, rgb %s, alpha %s\n", l,
                layer->m_iWidth, layer->m_iHeight, layer->m_iPitch, layer->m_iRGBGen, layer->m_iAlphaGen,
                layer->m_iRGBLock, layer->m_iAlphaLock, layer->m_iRGBOffset, layer->m_iAlphaOffset,
                Sum(layer->m_pRGB, layer->RGBSize()).c_str(), Sum(layer->m_pAlpha, layer->AlphaSize()).c_str());
        }
    }
    return out;
}

#include "assets3d/YTexture2.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "graphics2d/LoadImageFile.h"

namespace {

const char* const kBadExtern = "BadExtern!";
const char* const kStatusPrefixes[4] = {"GenAlphaMIP-", "GenRGBMIP-", "LockAlphaMIP-", "LockRGBMIP-"};
const char* const kAllStatusPrefixes[6] = {"LockRGBMIP-",  "LockAlphaMIP-", "GenRGBMIP-",
                                           "GenAlphaMIP-", "ExternRGBMIP-", "ExternAlphaMIP-"};

bool FileExists(const std::string& path) { return GetFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The four flags of a level as its format's tags hold them, and puts them back.
struct StatusTags {
    bool present[4];
    YString value[4];

    StatusTags(YTextureFormat& format, int16_t level)
    {
        for (int i = 0; i < 4; ++i) {
            int16_t at = format.FindTag(YTextureFormat::StatusTagName(kStatusPrefixes[i], level));
            present[i] = at >= 0;
            if (present[i]) value[i] = format.GetTagValue(at);
        }
    }

    void Restore(YTextureFormat& format, int16_t level) const
    {
        YTextureLayer* layer = format.GetLayer(level);
        int32_t YTextureLayer::*flags[4] = {&YTextureLayer::m_iAlphaGen, &YTextureLayer::m_iRGBGen,
                                             &YTextureLayer::m_iAlphaLock, &YTextureLayer::m_iRGBLock};
        for (int i = 0; i < 4; ++i) {
            YString name = YTextureFormat::StatusTagName(kStatusPrefixes[i], level);
            layer->*flags[i] = present[i] ? std::atoi(value[i]) : 0;
            int16_t at = format.FindTag(name);
            if (present[i])
                format.SetTag(name, value[i]);
            else if (at >= 0)
                format.RemoveTag(at);
        }
    }
};

// A format's layer chain with its size and palette, taken out of the format
// while a new chain is made: unless dropped, it goes back in when this ends.
class KeptChain {
public:
    explicit KeptChain(YTextureFormat& format) : m_format(format) {}
    ~KeptChain()
    {
        if (!m_taken) return;
        m_format.DeleteLayers();
        m_format.m_layers.swap(m_layers);
        m_format.m_iWidth = m_width;
        m_format.m_iHeight = m_height;
        m_format.m_iMIPDepth = m_depth;
        std::memcpy(m_format.m_palette, m_palette, sizeof m_palette);
    }
    KeptChain(const KeptChain&) = delete;
    KeptChain& operator=(const KeptChain&) = delete;

    void Take()
    {
        m_taken = true;
        m_layers.swap(m_format.m_layers);
        m_width = m_format.m_iWidth;
        m_height = m_format.m_iHeight;
        m_depth = m_format.m_iMIPDepth;
        std::memcpy(m_palette, m_format.m_palette, sizeof m_palette);
    }
    // The new chain stays: the old layers go.
    void Drop()
    {
        if (!m_taken) return;
        for (YTextureLayer* layer : m_layers) delete layer;
        m_layers.clear();
        m_taken = false;
    }

private:
    YTextureFormat& m_format;
    bool m_taken = false;
    std::vector<YTextureLayer*> m_layers;
    int16_t m_width = 0, m_height = 0, m_depth = 0;
    RGBQUAD m_palette[256];
};

}  // namespace

YTexture2::YTexture2() : YTextureTagList(this), YTexRegionList(this) {}

YTexture2::~YTexture2() { Clear(); }

int YTexture2::Fail(const char* message)
{
    SetError(message);
    return 0;
}

void YTexture2::Clear()
{
    for (YTextureFormat* format : m_formats) delete format;
    m_formats.clear();
    m_iNumFormats = 0;
    ClearTags();
    ClearRegions();
}

YTextureFormat* YTexture2::GetFormat(int16_t index)
{
    if (index < 0) {
        SetError("Format Index < 0");
        return nullptr;
    }
    if (index >= m_iNumFormats) {
        SetError("Format Index >= m_iNumFormats");
        return nullptr;
    }
    return m_formats[static_cast<size_t>(index)];
}

int YTexture2::FindFormat(const YTextureFormat* format)
{
    if (!format) return Fail("Format is NULL");
    for (const YTextureFormat* mine : m_formats)
        if (mine->SameLayout(*format)) return 1;
    return 0;
}

int YTexture2::AddFormat(YTextureFormat* format)
{
    if (!format) return Fail("Format is NULL");
    if (FindFormat(format)) return Fail("Format already exists");
    if (m_iNumFormats < 1 || m_iWidth < 1 || m_iHeight < 1 || m_iMIPDepth < 1 || m_iNumFormats == INT16_MAX)
        return Fail("Texture isn't initialized");
    if (!format->CreateLayers(m_iWidth, m_iHeight, m_iMIPDepth, true)) return 0;
    format->SetErrorMode(m_iErrorMode);
    m_formats.push_back(format);
    ++m_iNumFormats;
    return 1;
}

int YTexture2::FreeFormatPixels(int16_t index)
{
    YTextureFormat* format = GetFormat(index);
    if (!format) return 0;
    format->FreePixels();
    return 1;
}

void YTexture2::RemoveFormat(int16_t index)
{
    delete m_formats[static_cast<size_t>(index)];
    m_formats.erase(m_formats.begin() + index);
    --m_iNumFormats;
}

int YTexture2::ImportImageFormat(YTextureFormat* format, const char* fileName)
{
    if (!format) return Fail("Format is NULL");
    std::unique_ptr<YImage> image(fileName ? LoadImageFile(fileName, 0) : nullptr);
    if (!image) return Fail("Unable to load Filename");
    if (format->m_iColorDepth <= 8 && !image->m_palettised) return Fail("Format has Palette - Filename does not");
    if (image->m_width < 4 || image->m_height < 4) return Fail("Filename is too small");
    const int64_t row = static_cast<int64_t>(image->m_width) * format->m_iBytesPerPixel;
    if (format->m_iBytesPerPixel < 1 || format->m_iBytesPerPixel > 4 || ((row + 3) & ~3) > INT16_MAX ||
        image->m_height > INT16_MAX)
        return Fail("Unable to load Filename");
    std::vector<BYTE> exchange;
    if (!format->HasPalette() && !image->ExpandTo32(exchange)) return Fail("Unable to load Filename");

    Clear();
    format->SetErrorMode(m_iErrorMode);
    const int16_t width = static_cast<int16_t>(image->m_width), height = static_cast<int16_t>(image->m_height);
    format->CreateLayers(width, height, YTextureFormat::DepthFor(width, height, INT16_MAX), true);
    m_formats.push_back(format);
    m_iNumFormats = 1;
    m_iWidth = width;
    m_iHeight = height;
    m_iMIPDepth = format->m_iMIPDepth;

    int ok;
    if (format->HasPalette()) {
        ok = format->HasAlpha() ? format->SetLayerRGBAFromImage(0, image.get())
                                : format->SetLayerRGBFromImage(0, image.get());
    } else {
        ok = format->SetLayerRGBA(0, exchange.data()) && format->SetLayerRGBGenerated(0, 1) &&
             (!format->HasAlpha() || format->SetLayerAlphaGenerated(0, 1));
    }
    if (!ok) return Fail(format->GetError());
    std::string name(fileName);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    format->SetTag("ExternRGBMIP-0", name.c_str());
    format->SetTag("ExternAlphaMIP-0", name.c_str());
    return 1;
}

int YTexture2::LoadExternalMIP(int16_t formatIndex, int16_t level, const char* folder)
{
    YTextureFormat* format = GetFormat(formatIndex);
    if (!format || level < 0) return 0;
    if (level > 0 && level >= format->m_iMIPDepth) return 0;
    const std::string base = folder ? folder : "";
    YString rgbName = format->GetTagValueByName(YTextureFormat::StatusTagName("ExternRGBMIP-", level), kBadExtern);
    YString alphaName = format->GetTagValueByName(YTextureFormat::StatusTagName("ExternAlphaMIP-", level), kBadExtern);
    if (level > 0 && rgbName.Compare(kBadExtern) == 0) return 0;

    std::unique_ptr<YImage> colour(LoadImageFile((base + rgbName.GetBuffer()).c_str(), 0));
    if (!colour) return 0;
    const bool separateAlpha = format->HasAlpha() && rgbName.Compare(alphaName) != 0;
    std::unique_ptr<YImage> alpha;
    if (separateAlpha) {
        alpha.reset(LoadImageFile((base + alphaName.GetBuffer()).c_str(), 0));
        if (!alpha || alpha->m_width != colour->m_width || alpha->m_height != colour->m_height) return 0;
    }
    if (format->m_iColorDepth <= 8 && !colour->m_palettised) return 0;

    // Level 0 makes a new chain; the old one stays until the images went in.
    KeptChain kept(*format);
    if (level == 0) {
        const int64_t row = static_cast<int64_t>(colour->m_width) * format->m_iBytesPerPixel;
        if (colour->m_width < 1 || colour->m_height < 1 || row > INT16_MAX || colour->m_height > INT16_MAX) return 0;
        const int16_t width = static_cast<int16_t>(colour->m_width), height = static_cast<int16_t>(colour->m_height);
        kept.Take();
        if (!format->CreateLayers(width, height, YTextureFormat::DepthFor(width, height, format->GetTagIntByName("MIPLevels", 10)),
                                  false))
            return 0;
    } else {
        const YTextureLayer* layer = format->GetLayer(level);
        if (!layer || colour->m_width != layer->m_iWidth || colour->m_height != layer->m_iHeight) return 0;
    }

    StatusTags status(*format, level);
    YTextureLayer* layer = format->GetLayer(level);
    layer->m_iRGBLock = layer->m_iAlphaLock = 0;
    int ok;
    if (format->HasAlpha() && !separateAlpha) {
        ok = format->SetLayerRGBAFromImage(level, colour.get());
    } else {
        ok = format->SetLayerRGBFromImage(level, colour.get());
        if (ok && separateAlpha) ok = format->SetLayerAlphaFromImage(level, alpha.get());
    }
    status.Restore(*format, level);
    if (!ok) return 0;
    kept.Drop();
    if (level == 0) {
        m_iWidth = format->m_iWidth;
        m_iHeight = format->m_iHeight;
        m_iMIPDepth = format->m_iMIPDepth;
    }
    return 1;
}

int YTexture2::Externalize(int check)
{
    std::string folder(m_strPath.GetBuffer());
    size_t slash = folder.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    if (check == 1) {
        for (int16_t f = 0; f < m_iNumFormats; ++f) {
            YTextureFormat* format = m_formats[static_cast<size_t>(f)];
            for (int16_t l = 0; l < format->m_iMIPDepth; ++l) {
                bool colour = l == 0 || format->GetLayerRGBGenerated(l) == 1;
                YString rgb = format->GetTagValueByName(YTextureFormat::StatusTagName("ExternRGBMIP-", l), "");
                YString alpha = format->GetTagValueByName(YTextureFormat::StatusTagName("ExternAlphaMIP-", l), "");
                bool missing = (colour && (rgb.IsEmpty() || !FileExists(folder + rgb.GetBuffer()))) ||
                               (!alpha.IsEmpty() && !FileExists(folder + alpha.GetBuffer()));
                if (missing) {
                    char message[64];
                    std::snprintf(message, sizeof message, "Format %d, MIP %d : external image failure", f, l);
                    return Fail(message);
                }
            }
        }
    }
    for (YTextureFormat* format : m_formats)
        if (format->FindTag("Externalized") < 0) format->SetTag("Externalized", "Yes");
    return Resize(4, 4);
}

void YTexture2::ClearExternalized()
{
    for (YTextureFormat* format : m_formats) {
        int16_t at = format->FindTag("Externalized");
        if (at >= 0) format->RemoveTag(at);
        for (int16_t l = 0; l < format->m_iMIPDepth; ++l) {
            for (const char* prefix : kAllStatusPrefixes) {
                at = format->FindTag(YTextureFormat::StatusTagName(prefix, l));
                if (at >= 0) format->RemoveTag(at);
            }
        }
    }
}

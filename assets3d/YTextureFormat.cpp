#include "assets3d/YTextureFormat.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "assets3d/ResampleImage.h"
#include "graphics2d/LoadImageFile.h"

namespace {

const char* const kNoAlpha = "No Alpha in Format";

// The file name after its last "\" or "/".
const char* BaseName(const char* path)
{
    const char* base = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/') base = p + 1;
    return base;
}

}  // namespace

YTextureFormat::YTextureFormat() : YTextureTagList(this)
{
    for (int i = 0; i < 256; ++i) {
        BYTE v = static_cast<BYTE>(i);
        m_palette[i] = {v, v, v, 0};
    }
}

YTextureFormat::~YTextureFormat() { DeleteLayers(); }

YTextureFormat* YTextureFormat::ParseFormatLine(const char* line)
{
    if (!line) return nullptr;
    char name[256];
    int v[15];
    if (std::sscanf(line, "%255s %d %d %d %d %d %d %d %d %d %d %d %d %d %d %d", name, &v[0], &v[1], &v[2], &v[3],
                    &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11], &v[12], &v[13], &v[14]) != 16)
        return nullptr;
    if (v[0] < -32768 || v[0] > 32767 || v[1] < -32768 || v[1] > 32767 || v[2] < 1 || v[2] > 4) return nullptr;
    for (int c = 0; c < 4; ++c) {
        if (v[3 + c] < 0 || v[3 + c] > TEX_MAX_CHANNEL_BITS || v[7 + c] < 0 || v[7 + c] > 31 || v[11 + c] < 0 ||
            v[11 + c] > 255)
            return nullptr;
    }
    YTextureFormat* format = new YTextureFormat;
    format->m_strName = name;
    format->m_iColorDepth = static_cast<int16_t>(v[0]);
    format->m_iAlphaDepth = static_cast<int16_t>(v[1]);
    format->m_iBytesPerPixel = static_cast<int16_t>(v[2]);
    for (int c = 0; c < 4; ++c) {
        format->m_bitCount[c] = static_cast<BYTE>(v[3 + c]);
        format->m_shift[c] = static_cast<BYTE>(v[7 + c]);
        format->m_mask[c] = static_cast<BYTE>(v[11 + c]);
    }
    format->m_iNoAlpha = (format->m_iAlphaDepth > 0 && format->m_bitCount[TEX_ALPHA] > 0) ? 0 : 1;
    return format;
}

int YTextureFormat::Fail(const char* message)
{
    SetError(message);
    return 0;
}

YTextureLayer* YTextureFormat::Layer(int16_t index)
{
    if (index < 0) {
        SetError("Layer Index < 0");
        return nullptr;
    }
    if (index >= m_iMIPDepth || static_cast<size_t>(index) >= m_layers.size()) {
        SetError("Layer Index >= m_iMIPDepth");
        return nullptr;
    }
    return m_layers[static_cast<size_t>(index)];
}

YTextureLayer* YTextureFormat::GetLayer(int16_t index) { return Layer(index); }

int16_t YTextureFormat::DepthFor(int width, int height, int most)
{
    int16_t depth = 1;
    while (depth < most && depth < 15 && (width >> depth) >= 4 && (height >> depth) >= 4) ++depth;
    return depth;
}

YString YTextureFormat::StatusTagName(const char* prefix, int16_t index)
{
    YString name(prefix);
    name += static_cast<char>('0' + index);
    return name;
}

int YTextureFormat::SetFlag(int16_t index, int32_t YTextureLayer::*flag, const char* prefix, bool alpha, int32_t state)
{
    YTextureLayer* layer = Layer(index);
    if (!layer) return 0;
    if (alpha && !HasAlpha()) return Fail(kNoAlpha);
    layer->*flag = state;
    char value[16];
    std::snprintf(value, sizeof value, "%d", static_cast<int>(state));
    SetTag(StatusTagName(prefix, index), value);
    return 1;
}

int32_t YTextureFormat::GetFlag(int16_t index, int32_t YTextureLayer::*flag)
{
    YTextureLayer* layer = Layer(index);
    return layer ? layer->*flag : 0;
}

int YTextureFormat::SetLayerRGBLock(int16_t index, int32_t state)
{
    return SetFlag(index, &YTextureLayer::m_iRGBLock, "LockRGBMIP-", false, state);
}
int32_t YTextureFormat::GetLayerRGBLock(int16_t index) { return GetFlag(index, &YTextureLayer::m_iRGBLock); }
int YTextureFormat::SetLayerAlphaLock(int16_t index, int32_t state)
{
    return SetFlag(index, &YTextureLayer::m_iAlphaLock, "LockAlphaMIP-", true, state);
}
int32_t YTextureFormat::GetLayerAlphaLock(int16_t index) { return GetFlag(index, &YTextureLayer::m_iAlphaLock); }
int YTextureFormat::SetLayerRGBGenerated(int16_t index, int32_t state)
{
    return SetFlag(index, &YTextureLayer::m_iRGBGen, "GenRGBMIP-", false, state);
}
int32_t YTextureFormat::GetLayerRGBGenerated(int16_t index) { return GetFlag(index, &YTextureLayer::m_iRGBGen); }
int YTextureFormat::SetLayerAlphaGenerated(int16_t index, int32_t state)
{
    return SetFlag(index, &YTextureLayer::m_iAlphaGen, "GenAlphaMIP-", true, state);
}
int32_t YTextureFormat::GetLayerAlphaGenerated(int16_t index) { return GetFlag(index, &YTextureLayer::m_iAlphaGen); }

void YTextureFormat::WriteStatusTags(int16_t index)
{
    YTextureLayer* layer = Layer(index);
    if (!layer) return;
    SetLayerRGBLock(index, layer->m_iRGBLock);
    SetLayerRGBGenerated(index, layer->m_iRGBGen);
    if (!HasAlpha()) return;
    SetLayerAlphaLock(index, layer->m_iAlphaLock);
    SetLayerAlphaGenerated(index, layer->m_iAlphaGen);
}

// ---------------------------------------------------------------- pixels

BYTE YTextureFormat::UnpackChannel(DWORD packed, int channel) const
{
    int bits = m_bitCount[channel];
    if (bits == 0) return 0;
    if (bits > TEX_MAX_CHANNEL_BITS) bits = TEX_MAX_CHANNEL_BITS;
    DWORD v = (((packed >> (m_shift[channel] & 31)) & m_mask[channel]) << (8 - bits)) & 0xFF;
    DWORD t = v;
    for (int i = 0; i < 8 / bits; ++i) {
        t >>= bits;
        v = (v + t) & 0xFF;
    }
    return static_cast<BYTE>(v);
}

DWORD YTextureFormat::PackPixel(const BYTE* exchange) const
{
    static const int byteOf[3] = {2, 1, 0};  // red, green, blue in the exchange pixel
    DWORD packed = 0;
    for (int c = TEX_RED; c <= TEX_BLUE; ++c) {
        int bits = m_bitCount[c] > TEX_MAX_CHANNEL_BITS ? TEX_MAX_CHANNEL_BITS : m_bitCount[c];
        packed += (static_cast<DWORD>(exchange[byteOf[c]]) >> (8 - bits)) << (m_shift[c] & 31);
    }
    return packed;
}

void YTextureFormat::UnpackPixel(DWORD packed, BYTE* exchange) const
{
    exchange[0] = UnpackChannel(packed, TEX_BLUE);
    exchange[1] = UnpackChannel(packed, TEX_GREEN);
    exchange[2] = UnpackChannel(packed, TEX_RED);
    exchange[3] = 0;
}

BYTE YTextureFormat::PackAlpha(BYTE alpha) const
{
    int bits = m_bitCount[TEX_ALPHA] > TEX_MAX_CHANNEL_BITS ? TEX_MAX_CHANNEL_BITS : m_bitCount[TEX_ALPHA];
    return static_cast<BYTE>(alpha >> (8 - bits));
}

BYTE YTextureFormat::UnpackAlpha(BYTE stored) const
{
    int bits = m_bitCount[TEX_ALPHA];
    if (bits == 0) return 255;
    if (bits > TEX_MAX_CHANNEL_BITS) bits = TEX_MAX_CHANNEL_BITS;
    DWORD v = (static_cast<DWORD>(stored) << (8 - bits)) & 0xFF;
    DWORD t = v;
    for (int i = 0; i < 8 / bits; ++i) {
        t >>= bits;
        v = (v + t) & 0xFF;
    }
    return static_cast<BYTE>(v);
}

DWORD YTextureFormat::ReadPacked(const BYTE* at) const
{
    DWORD value = 0;
    for (int i = 0; i < m_iBytesPerPixel && i < 4; ++i) value |= static_cast<DWORD>(at[i]) << (8 * i);
    return value;
}

void YTextureFormat::WritePacked(BYTE* at, DWORD value) const
{
    for (int i = 0; i < m_iBytesPerPixel && i < 4; ++i) at[i] = static_cast<BYTE>(value >> (8 * i));
}

bool YTextureFormat::SameLayout(const YTextureFormat& other) const
{
    return m_iColorDepth == other.m_iColorDepth && m_iAlphaDepth == other.m_iAlphaDepth &&
           m_iBytesPerPixel == other.m_iBytesPerPixel && std::memcmp(m_shift, other.m_shift, 4) == 0 &&
           std::memcmp(m_mask, other.m_mask, 4) == 0 && std::memcmp(m_bitCount, other.m_bitCount, 4) == 0;
}

// ---------------------------------------------------------------- layers

void YTextureFormat::DeleteLayers()
{
    for (YTextureLayer* layer : m_layers) delete layer;
    m_layers.clear();
}

void YTextureFormat::FreePixels()
{
    for (YTextureLayer* layer : m_layers) layer->FreePixels();
}

bool YTextureFormat::CreateLayers(int16_t width, int16_t height, int16_t depth, bool roundPitch)
{
    if (width < 1 || height < 1 || depth < 0 || m_iBytesPerPixel < 1 || m_iBytesPerPixel > 4) return false;
    int32_t row = static_cast<int32_t>(width) * m_iBytesPerPixel;
    if (roundPitch) row = (row + 3) & ~3;
    if (row > INT16_MAX) return false;
    DeleteLayers();
    for (int l = 0; l < depth; ++l) {
        YTextureLayer* layer = new YTextureLayer;
        layer->m_iWidth = LevelSize(width, l);
        layer->m_iHeight = LevelSize(height, l);
        int32_t pitch = static_cast<int32_t>(layer->m_iWidth) * m_iBytesPerPixel;
        layer->m_iPitch = static_cast<int16_t>(roundPitch ? (pitch + 3) & ~3 : pitch);
        layer->AllocateRGB();
        if (HasAlpha()) layer->AllocateAlpha(PackAlpha(255));
        m_layers.push_back(layer);
    }
    m_iWidth = width;
    m_iHeight = height;
    m_iMIPDepth = depth;
    return true;
}

int YTextureFormat::GetLayerRGB(int16_t index, BYTE* buffer, int expand)
{
    YTextureLayer* layer = Layer(index);
    if (!layer) return -1;
    if (!layer->m_pRGB) {
        SetError("RGB Buffer is NULL");
        return -1;
    }
    const bool indices = HasPalette() && expand != 1;
    const size_t pixels = layer->AlphaSize();
    if (!buffer) return static_cast<int>(indices ? pixels : pixels * 4);
    const int width = layer->m_iWidth;
    for (int y = 0; y < layer->m_iHeight; ++y) {
        const BYTE* row = layer->m_pRGB + static_cast<size_t>(y) * layer->m_iPitch;
        if (indices) {
            std::memcpy(buffer + static_cast<size_t>(y) * width, row, static_cast<size_t>(width));
            continue;
        }
        BYTE* out = buffer + static_cast<size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x, out += 4) {
            if (HasPalette()) {
                const RGBQUAD& q = m_palette[row[x]];
                out[0] = q.rgbBlue;
                out[1] = q.rgbGreen;
                out[2] = q.rgbRed;
                out[3] = 0;
            } else {
                UnpackPixel(ReadPacked(row + static_cast<size_t>(x) * m_iBytesPerPixel), out);
            }
        }
    }
    return 0;
}

int YTextureFormat::GetLayerAlpha(int16_t index, BYTE* buffer)
{
    YTextureLayer* layer = Layer(index);
    if (!layer) return -1;
    if (!HasAlpha()) {
        SetError(kNoAlpha);
        return -1;
    }
    if (!layer->m_pAlpha) {
        SetError("Alpha Buffer is NULL");
        return -1;
    }
    const size_t size = layer->AlphaSize();
    if (!buffer) return static_cast<int>(size);
    for (size_t i = 0; i < size; ++i) buffer[i] = UnpackAlpha(layer->m_pAlpha[i]);
    return 0;
}

DWORD YTextureFormat::GetPixel(int16_t index, int x, int y)
{
    YTextureLayer* layer = Layer(index);
    if (!layer || !layer->m_pRGB || x < 0 || y < 0 || x >= layer->m_iWidth || y >= layer->m_iHeight) return 0;
    return ReadPacked(layer->m_pRGB + static_cast<size_t>(layer->m_iPitch) * y + static_cast<size_t>(x) * m_iBytesPerPixel);
}

int YTextureFormat::SetPixel(int16_t index, int x, int y, DWORD exchange)
{
    YTextureLayer* layer = Layer(index);
    if (!layer || !layer->m_pRGB || x < 0 || y < 0 || x >= layer->m_iWidth || y >= layer->m_iHeight) return 0;
    BYTE* at = layer->m_pRGB + static_cast<size_t>(layer->m_iPitch) * y + static_cast<size_t>(x) * m_iBytesPerPixel;
    if (HasPalette()) {
        *at = static_cast<BYTE>(exchange & 0xFF);
        return 1;
    }
    const BYTE bytes[4] = {static_cast<BYTE>(exchange), static_cast<BYTE>(exchange >> 8),
                           static_cast<BYTE>(exchange >> 16), static_cast<BYTE>(exchange >> 24)};
    WritePacked(at, PackPixel(bytes));
    return 1;
}

BYTE YTextureFormat::GetPixelAlpha(int16_t index, int x, int y)
{
    YTextureLayer* layer = Layer(index);
    if (!layer || !HasAlpha() || !layer->m_pAlpha || x < 0 || y < 0 || x >= layer->m_iWidth || y >= layer->m_iHeight)
        return 0;
    return UnpackAlpha(layer->m_pAlpha[static_cast<size_t>(layer->m_iWidth) * y + x]);
}

int YTextureFormat::SetPixelAlpha(int16_t index, int x, int y, BYTE alpha)
{
    YTextureLayer* layer = Layer(index);
    if (!layer || !HasAlpha() || !layer->m_pAlpha || x < 0 || y < 0 || x >= layer->m_iWidth || y >= layer->m_iHeight)
        return 0;
    layer->m_pAlpha[static_cast<size_t>(layer->m_iWidth) * y + x] = PackAlpha(alpha);
    return 1;
}

int YTextureFormat::SetLayerRGB(int16_t index, const BYTE* exchange)
{
    YTextureLayer* layer = Layer(index);
    if (!layer) return 0;
    if (!exchange) return Fail("Input Buffer is NULL");
    if (!layer->m_pRGB) return Fail("RGB Buffer is NULL");
    if (layer->m_iRGBLock == 1) return Fail("RGB Buffer is Locked");
    WriteRows(*layer, exchange);
    return 1;
}

void YTextureFormat::WriteRows(YTextureLayer& layer, const BYTE* data) const
{
    const int width = layer.m_iWidth;
    for (int y = 0; y < layer.m_iHeight; ++y) {
        BYTE* row = layer.m_pRGB + static_cast<size_t>(y) * layer.m_iPitch;
        if (HasPalette()) {
            std::memcpy(row, data + static_cast<size_t>(y) * width, static_cast<size_t>(width));
            continue;
        }
        const BYTE* in = data + static_cast<size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) WritePacked(row + static_cast<size_t>(x) * m_iBytesPerPixel, PackPixel(in + x * 4));
    }
}

void YTextureFormat::StoreRGB(YTextureLayer& layer, const BYTE* exchange) const
{
    if (!HasPalette()) {
        WriteRows(layer, exchange);
        return;
    }
    std::vector<BYTE> indices(layer.AlphaSize());
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = NearestPaletteIndex(m_palette, m_iFirstPalette, m_iLastPalette, exchange + i * 4);
    WriteRows(layer, indices.data());
}

void YTextureFormat::StoreAlpha(YTextureLayer& layer, const BYTE* alpha) const
{
    const size_t size = layer.AlphaSize();
    for (size_t i = 0; i < size; ++i) layer.m_pAlpha[i] = PackAlpha(alpha[i]);
}

int YTextureFormat::SetLayerAlpha(int16_t index, const BYTE* alpha)
{
    YTextureLayer* layer = Layer(index);
    if (!layer) return 0;
    if (!HasAlpha()) return Fail(kNoAlpha);
    if (!alpha) return Fail("Input Buffer is NULL");
    if (!layer->m_pAlpha) return Fail("Alpha Buffer is NULL");
    if (layer->m_iAlphaLock == 1) return Fail("Alpha Buffer is Locked");
    StoreAlpha(*layer, alpha);
    return 1;
}

int YTextureFormat::StoreLayerRGB(int16_t index, const BYTE* exchange)
{
    YTextureLayer* layer = Layer(index);
    if (!layer) return 0;
    if (!HasPalette()) return SetLayerRGB(index, exchange);
    if (!exchange) return Fail("Input Buffer is NULL");
    if (!layer->m_pRGB) return Fail("RGB Buffer is NULL");
    if (layer->m_iRGBLock == 1) return Fail("RGB Buffer is Locked");
    StoreRGB(*layer, exchange);
    return 1;
}

int YTextureFormat::SetLayerRGBA(int16_t index, const BYTE* exchange)
{
    YTextureLayer* layer = Layer(index);
    if (!layer) return 0;
    if (!exchange) return Fail("Input Buffer is NULL");
    const bool alphaLocked = HasAlpha() && layer->m_iAlphaLock == 1;
    if (layer->m_iRGBLock == 1 && (alphaLocked || !HasAlpha()))
        return Fail(alphaLocked ? "RGB and Alpha Buffers Locked" : "RGB Buffer is Locked");
    if (HasAlpha() && !layer->m_pAlpha) return Fail("Alpha Buffer is NULL");
    if (!layer->m_pRGB) return Fail("RGB Buffer is NULL");
    if (HasAlpha() && !alphaLocked) {
        const size_t size = layer->AlphaSize();
        for (size_t i = 0; i < size; ++i) layer->m_pAlpha[i] = PackAlpha(exchange[i * 4 + 3]);
    }
    if (layer->m_iRGBLock != 1) return StoreLayerRGB(index, exchange);
    return 1;
}

// ---------------------------------------------------------------- images

int YTextureFormat::FromImage(int16_t index, YImage* image, bool colour, bool alpha)
{
    YTextureLayer* layer = Layer(index);
    if (!layer) return 0;
    if (!image || !image->m_pixels) return Fail("Input Buffer is NULL");
    if (alpha && !HasAlpha()) return Fail(kNoAlpha);
    if (colour && !layer->m_pRGB) return Fail("RGB Buffer is NULL");
    if (alpha && !layer->m_pAlpha) return Fail("Alpha Buffer is NULL");
    if (colour && alpha && layer->m_iRGBLock == 1 && layer->m_iAlphaLock == 1)
        return Fail("RGB and Alpha Buffers Locked");
    if (colour && !alpha && layer->m_iRGBLock == 1) return Fail("RGB Buffer is Locked");
    if (alpha && !colour && layer->m_iAlphaLock == 1) return Fail("Alpha Buffer is Locked");
    if (colour && m_iColorDepth <= 8 && !image->m_palettised) return Fail("Format has Palette - Filename does not");
    if (image->m_width != layer->m_iWidth || image->m_height != layer->m_iHeight)
        return Fail("Filename does not match Layer Resolution");

    const size_t width = static_cast<size_t>(image->m_width);
    std::vector<BYTE> exchange;
    if (colour && image->m_palettised && HasPalette()) {
        // The indices and the palette go in as they are.
        if (image->m_stride < width) return Fail("Filename does not match Layer Resolution");
        std::vector<BYTE> indices(width * static_cast<size_t>(image->m_height));
        for (int32_t y = 0; y < image->m_height; ++y)
            std::memcpy(&indices[static_cast<size_t>(y) * width], image->m_pixels + static_cast<size_t>(y) * image->m_stride,
                        width);
        if (alpha && !image->ExpandTo32(exchange)) return Fail("Filename does not match Layer Resolution");
        SetPalette(image->m_palette);
        SetLayerRGBGenerated(index, 1);
        if (layer->m_iRGBLock != 1) SetLayerRGB(index, indices.data());
        colour = false;
    } else if (!image->ExpandTo32(exchange)) {
        return Fail("Filename does not match Layer Resolution");
    } else if (colour && image->m_palettised) {
        // Palette entries become exchange pixels in the record itself.
        BYTE* pixels = new BYTE[exchange.size()];
        std::memcpy(pixels, exchange.data(), exchange.size());
        image->FreePixels();
        image->m_pixels = pixels;
        image->m_stride = static_cast<uint32_t>(width * 4);
        image->m_palettised = 0;
        image->SetPixelFormat(32);
    }
    if (colour) {
        SetLayerRGBGenerated(index, 1);
        if (layer->m_iRGBLock != 1) StoreLayerRGB(index, exchange.data());
    }
    if (alpha) {
        SetLayerAlphaGenerated(index, 1);
        if (layer->m_iAlphaLock != 1) {
            std::vector<BYTE> plane(width * static_cast<size_t>(image->m_height));
            for (size_t i = 0; i < plane.size(); ++i) plane[i] = exchange[i * 4 + 3];
            SetLayerAlpha(index, plane.data());
        }
    }
    return 1;
}

int YTextureFormat::SetLayerRGBFromImage(int16_t index, YImage* image) { return FromImage(index, image, true, false); }
int YTextureFormat::SetLayerAlphaFromImage(int16_t index, YImage* image) { return FromImage(index, image, false, true); }
int YTextureFormat::SetLayerRGBAFromImage(int16_t index, YImage* image) { return FromImage(index, image, true, true); }

int YTextureFormat::ExternLayer(int16_t index, const char* fileName, bool colour, bool alpha)
{
    YTextureLayer* layer = Layer(index);
    if (!layer) return 0;
    if (alpha && !HasAlpha()) return Fail(kNoAlpha);
    if (colour && !layer->m_pRGB) return Fail("RGB Buffer is NULL");
    if (colour && layer->m_iRGBLock == 1) return Fail("RGB Buffer is Locked");
    if (alpha && !layer->m_pAlpha) return Fail("Alpha Buffer is NULL");
    if (alpha && layer->m_iAlphaLock == 1) return Fail("Alpha Buffer is Locked");
    std::unique_ptr<YImage> image(fileName ? LoadImageFile(fileName, 0) : nullptr);
    if (!image) return Fail("Unable to load Filename");
    if (!FromImage(index, image.get(), colour, alpha)) return 0;
    if (colour) SetTag(StatusTagName("ExternRGBMIP-", index), BaseName(fileName));
    if (alpha) SetTag(StatusTagName("ExternAlphaMIP-", index), BaseName(fileName));
    return 1;
}

int YTextureFormat::ExternLayerRGB(int16_t index, const char* fileName) { return ExternLayer(index, fileName, true, false); }
int YTextureFormat::ExternLayerAlpha(int16_t index, const char* fileName) { return ExternLayer(index, fileName, false, true); }
int YTextureFormat::ExternLayerRGBA(int16_t index, const char* fileName) { return ExternLayer(index, fileName, true, true); }

int YTextureFormat::GetPalette(RGBQUAD* palette)
{
    if (!HasPalette()) return Fail("Format has no Palette");
    if (!palette) return 0;
    std::memcpy(palette, m_palette, sizeof m_palette);
    return 1;
}

int YTextureFormat::SetPalette(const RGBQUAD* palette)
{
    if (!palette) return 0;
    std::memmove(m_palette, palette, sizeof m_palette);
    return 1;
}

int YTextureFormat::AlphaFromColorKey()
{
    if (!HasAlpha()) return Fail("Format has no Alpha");
    for (int16_t l = 0; l < m_iMIPDepth && static_cast<size_t>(l) < m_layers.size(); ++l) {
        YTextureLayer* layer = m_layers[static_cast<size_t>(l)];
        if (!layer->m_pRGB || !layer->m_pAlpha || layer->m_iAlphaLock != 0) continue;
        for (int y = 0; y < layer->m_iHeight; ++y)
            for (int x = 0; x < layer->m_iWidth; ++x)
                layer->m_pAlpha[static_cast<size_t>(layer->m_iWidth) * y + x] =
                    PackAlpha(GetPixel(l, x, y) == static_cast<DWORD>(m_iColorKey) ? 0 : 255);
    }
    return 1;
}

// ---------------------------------------------------------------- MIP levels

int YTextureFormat::GenerateMIPs(bool alpha, const char* upFilter, const char* downFilter)
{
    if (alpha && !HasAlpha()) return Fail("Format has no Alpha");
    const int16_t depth = static_cast<int16_t>(std::min<size_t>(static_cast<size_t>(std::max<int16_t>(m_iMIPDepth, 0)), m_layers.size()));
    auto generator = [alpha](const YTextureLayer* layer) { return (alpha ? layer->m_iAlphaGen : layer->m_iRGBGen) == 1; };
    auto locked = [alpha](const YTextureLayer* layer) { return (alpha ? layer->m_iAlphaLock : layer->m_iRGBLock) == 1; };
    auto data = [alpha](const YTextureLayer* layer) { return alpha ? layer->m_pAlpha : layer->m_pRGB; };

    int16_t source = 0;
    for (int16_t l = 0; l < depth; ++l) {
        if (!data(m_layers[static_cast<size_t>(l)])) return Fail(alpha ? "Missing Layer Alpha Data" : "Missing Layer RGB Data");
        if (generator(m_layers[static_cast<size_t>(l)])) {
            source = l;
            break;
        }
    }
    const int up = FindResampleFilter(upFilter), down = FindResampleFilter(downFilter);
    const size_t bytes = alpha ? 1 : 4;
    std::vector<BYTE> from, to;
    for (int16_t l = 0; l < depth; ++l) {
        YTextureLayer* layer = m_layers[static_cast<size_t>(l)];
        if (generator(layer)) {
            source = l;
            continue;
        }
        if (locked(layer) || !data(layer) || !data(m_layers[static_cast<size_t>(source)])) continue;
        const YTextureLayer* src = m_layers[static_cast<size_t>(source)];
        if (src->m_iWidth < 1 || src->m_iHeight < 1 || layer->m_iWidth < 1 || layer->m_iHeight < 1) continue;
        from.assign(src->AlphaSize() * bytes, 0);
        to.assign(layer->AlphaSize() * bytes, 0);
        const int fx = src->m_iWidth > layer->m_iWidth ? down : up;
        const int fy = src->m_iHeight > layer->m_iHeight ? down : up;
        if (alpha) {
            GetLayerAlpha(source, from.data());
            ResampleAlphaImage(from.data(), src->m_iWidth, src->m_iHeight, to.data(), layer->m_iWidth, layer->m_iHeight, fx, fy);
            SetLayerAlpha(l, to.data());
        } else {
            GetLayerRGB(source, from.data(), 1);
            ResampleImage(from.data(), src->m_iWidth, src->m_iHeight, to.data(), layer->m_iWidth, layer->m_iHeight, fx, fy);
            StoreLayerRGB(l, to.data());
        }
    }
    return 1;
}

int YTextureFormat::GenerateRGBMIPs(const char* upFilter, const char* downFilter)
{
    return GenerateMIPs(false, upFilter, downFilter);
}

int YTextureFormat::GenerateAlphaMIPs(const char* upFilter, const char* downFilter)
{
    return GenerateMIPs(true, upFilter, downFilter);
}

void YTextureFormat::HeaderSize()
{
    int64_t header = 1116 + m_strName.GetLength() + 36 * static_cast<int64_t>(m_layers.size());
    for (const YTextureTag& tag : m_tags) header += 4 + tag.m_strName.GetLength() + tag.m_strValue.GetLength();
    int64_t data = 0;
    for (const YTextureLayer* layer : m_layers) {
        data += static_cast<int64_t>(layer->RGBSize());
        if (HasAlpha()) data += static_cast<int64_t>(layer->AlphaSize());
    }
    m_iHeaderSize = static_cast<int32_t>(header);
    m_iDataSize = static_cast<int32_t>(data);
}
